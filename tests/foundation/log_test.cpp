#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "platform/system/desktop_folder.h"
#include "test_support.h"

using namespace testsupport;

namespace {

const std::string kBom("\xFF\xFE", 2);

std::string Utf16(std::wstring_view text) { return text::ToUtf16LE(text); }

class LogTest : public testing::Test {
protected:
    void SetUp() override { LogSetProductName("LogProbe"); }
    void TearDown() override {
        LogDisable();
        LogSetProductName("Halvaro");
    }

    TempFolder desktop_;
    ScopedEnv xdg_{"XDG_DESKTOP_DIR", desktop_.Path().c_str()};
};

TEST_F(LogTest, OffUnlessEnabledAndCreatesNoFile) {
    LogWrite(L"never", false);
    LogInit(false);
    EXPECT_FALSE(IsLogEnabled());
    LogWrite(L"never", true);
    EXPECT_FALSE(std::filesystem::exists(desktop_ / "LogProbe.log"));
    EXPECT_TRUE(std::filesystem::is_empty(desktop_.Path()));
}

TEST_F(LogTest, NewFileGetsOneByteOrderMarkAndCrlfLines) {
    LogInit(true);
    ASSERT_TRUE(IsLogEnabled());
    EXPECT_EQ(GetLogPath(), (desktop_ / "LogProbe.log"));
    LogWrite(L"Started Halvaro, version v1.3", false);
    LogWrite(L"caf\u00e9 \U0001F600", false);
    EXPECT_EQ(ReadBytes(desktop_ / "LogProbe.log"),
              kBom + Utf16(L"Started Halvaro, version v1.3\r\n") + Utf16(L"caf\u00e9 \U0001F600\r\n"));
}

TEST_F(LogTest, ExistingFileIsAppendedWithoutASecondMark) {
    std::string earlier = kBom + Utf16(L"earlier run\r\n");
    WriteBytes((desktop_ / "LogProbe.log"), earlier);
    LogInit(true);
    LogWrite(L"next", false);
    EXPECT_EQ(ReadBytes(desktop_ / "LogProbe.log"), earlier + Utf16(L"next\r\n"));
}

TEST_F(LogTest, TimedLinesCarryTheLocalDateAndTimePrefix) {
    LogInit(true);
    std::time_t before = std::time(nullptr);
    LogWrite(L"tick", true);
    std::time_t after = std::time(nullptr);
    std::wstring written = text::FromUtf16LE(ReadBytes(desktop_ / "LogProbe.log"));
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written[0], wchar_t{0xFEFF});
    std::string line;
    ASSERT_TRUE(text::NarrowAscii(written.substr(1), line));
    ASSERT_TRUE(MatchesShape(line, "[99/99/99 99:99:99] tick\r\n")) << line;
    // The stamp must be one of the seconds the write spanned.
    bool matched = false;
    for (std::time_t t = before; t <= after && !matched; ++t) {
        std::tm local{};
        localtime_r(&t, &local);
        char expected[32];
        std::strftime(expected, sizeof expected, "[%m/%d/%y %H:%M:%S] ", &local);
        matched = line.rfind(expected, 0) == 0;
    }
    EXPECT_TRUE(matched) << line;
}

TEST_F(LogTest, DisableStopsWriting) {
    LogInit(true);
    LogWrite(L"one", false);
    LogDisable();
    EXPECT_FALSE(IsLogEnabled());
    LogWrite(L"two", false);
    EXPECT_EQ(ReadBytes(desktop_ / "LogProbe.log"), kBom + Utf16(L"one\r\n"));
}

TEST_F(LogTest, UnwritableFolderLosesTheLineQuietly) {
    ScopedEnv gone("XDG_DESKTOP_DIR", (desktop_ / "no/such/folder").c_str());
    LogInit(true);
    LogWrite(L"lost", true);
    EXPECT_FALSE(std::filesystem::exists(desktop_ / "no"));
}

// Main and loading thread log at once: every line must arrive whole and the
// new file must start with exactly one mark.
TEST_F(LogTest, ConcurrentWritersNeverInterleaveOrDoubleTheMark) {
    LogInit(true);
    constexpr int kThreads = 4;
    constexpr int kLines = 150;
    std::vector<std::thread> writers;
    for (int w = 0; w < kThreads; ++w) {
        writers.emplace_back([w] {
            std::wstring body(40, static_cast<wchar_t>(L'a' + w));
            for (int i = 0; i < kLines; ++i) LogWrite(body, false);
        });
    }
    for (auto& writer : writers) writer.join();

    std::wstring written = text::FromUtf16LE(ReadBytes(desktop_ / "LogProbe.log"));
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written[0], wchar_t{0xFEFF});
    EXPECT_EQ(written.find(wchar_t{0xFEFF}, 1), std::wstring::npos);
    std::vector<int> counts(kThreads, 0);
    size_t at = 1;
    int lines = 0;
    while (at < written.size()) {
        size_t end = written.find(L"\r\n", at);
        ASSERT_NE(end, std::wstring::npos);
        std::wstring line = written.substr(at, end - at);
        ASSERT_EQ(line.size(), 40u);
        int w = line[0] - L'a';
        ASSERT_TRUE(w >= 0 && w < kThreads);
        EXPECT_EQ(line, std::wstring(40, line[0]));
        ++counts[w];
        ++lines;
        at = end + 2;
    }
    EXPECT_EQ(lines, kThreads * kLines);
    for (int count : counts) EXPECT_EQ(count, kLines);
}

TEST(DesktopFolderTest, FallsBackFromXdgToDesktopToHome) {
    TempFolder home;
    ScopedEnv homeEnv("HOME", home.Path().c_str());
    {
        ScopedEnv xdg("XDG_DESKTOP_DIR", (home.Path().string() + "/Schreibtisch/").c_str());
        EXPECT_EQ(plat::GetDesktopFolder(), home.Path().string() + "/Schreibtisch");
    }
    ScopedEnv noXdg("XDG_DESKTOP_DIR", nullptr);
    EXPECT_EQ(plat::GetDesktopFolder(), home.Path().string());
    std::filesystem::create_directory(home / "Desktop");
    EXPECT_EQ(plat::GetDesktopFolder(), (home / "Desktop"));
}

TEST(DesktopFolderTest, LogFileIsNamedAfterTheProduct) {
    TempFolder home;
    ScopedEnv homeEnv("HOME", home.Path().c_str());
    ScopedEnv noXdg("XDG_DESKTOP_DIR", nullptr);
    LogSetProductName("Halvaro");
    LogInit(true);
    LogWrite(L"x", false);
    LogDisable();
    EXPECT_EQ(ReadBytes(home / "Halvaro.log"), kBom + Utf16(L"x\r\n"));
}

}  // namespace
