// Opening a web page: the opener gets the URL as one argument and no shell
// ever reads it. A stand-in "xdg-open" early on PATH records its arguments.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/system/web_page.h"
#include "tests/platform/fake_opener.h"
#include "tests/platform/temp_folder.h"

namespace {

using testsupport::FakeOpener;
using testsupport::TempFolder;

TEST(WebPage, TheUrlReachesTheOpenerAsOneArgumentAndNoShellRunsIt) {
    FakeOpener opener;
    TempFolder work;
    testsupport::CurrentDirectoryGuard here(work.Path());
    const std::string url = "http://example.org/a b?x=1;touch pwned&y=$(touch pwned2)`touch pwned3`'\"|cat";
    ASSERT_TRUE(plat::OpenWebPage(url));
    EXPECT_EQ(opener.WaitForCall(), "1\n[" + url + "]\n");
    EXPECT_FALSE(std::filesystem::exists(work / "pwned"));
    EXPECT_FALSE(std::filesystem::exists(work / "pwned2"));
    EXPECT_FALSE(std::filesystem::exists(work / "pwned3"));
}

TEST(WebPage, UrlsTheOpenerWouldMisreadAreRefused) {
    FakeOpener opener;
    EXPECT_FALSE(plat::OpenWebPage(""));
    EXPECT_FALSE(plat::OpenWebPage("--help"));
    EXPECT_FALSE(plat::OpenWebPage("http://example.org/\nsecond"));
    EXPECT_FALSE(plat::OpenWebPage(std::string("http://example.org/\0x", 21)));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(opener.Calls(), 0);
}

TEST(WebPage, AMissingOpenerIsAFailure) {
    const std::string previous = std::getenv("PATH") ? std::getenv("PATH") : "";
    TempFolder empty;
    ::setenv("PATH", empty.Path().c_str(), 1);
    EXPECT_FALSE(plat::OpenWebPage("http://example.org/"));
    ::setenv("PATH", previous.c_str(), 1);
}

}  // namespace
