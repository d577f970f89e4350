// Folder listings against the probe they stand in for: for every name, a
// file the probe finds on disk (PathExists, case-blind) is never reported
// absent, in settled folders (listed and trusted) and in fresh ones.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/system/file_system.h"
#include "platform/system/folder_listings.h"
#include "temp_folder.h"

namespace {

using testsupport::CurrentDirectoryGuard;
using testsupport::TempFolder;
using testsupport::WriteBytes;

// Folder times an hour back: listings of them are trusted.
void Settle(const std::filesystem::path& root) {
    const timespec old[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
    ::utimensat(AT_FDCWD, root.c_str(), old, 0);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_directory()) ::utimensat(AT_FDCWD, entry.path().c_str(), old, 0);
}

const char* const kNames[] = {
    "data/images/logo.png",
    "DATA\\Images\\LOGO.PNG",
    "data\\images\\missing.png",
    "data/sounds/click.ogg",
    "data/missing/x.png",
    "nothing.xml",
    "top.xml",
    "TOP.XML",
    "data\\\\images//logo.png",
    "data/../top.xml",
    "data/images",
    "data/images/logo.png/x",
};

class FolderListingsTest : public ::testing::TestWithParam<bool> {};

TEST_P(FolderListingsTest, NeverHidesAFileTheProbeFinds) {
    TempFolder folder;
    CurrentDirectoryGuard inside(folder.Path());
    WriteBytes(folder.Path() / "data/images/logo.png", "png");
    WriteBytes(folder.Path() / "data/sounds/click.ogg", "ogg");
    WriteBytes(folder.Path() / "top.xml", "<a/>");
    if (GetParam()) Settle(folder.Path());
    plat::FolderListings listings;
    for (int round = 0; round < 2; ++round)
        for (const char* name : kNames) {
            const bool onDisk = plat::PathExists(name) && !plat::IsDirectory(name);
            if (onDisk) {
                EXPECT_TRUE(listings.MayExist(name)) << name;
            }
            // Settled folders are trusted: a name none of them lists is absent.
            if (GetParam() && std::string_view(name).find("missing") != std::string_view::npos) {
                EXPECT_FALSE(listings.MayExist(name)) << name;
            }
        }
}

TEST_P(FolderListingsTest, FilesMadeThroughTheFileLayerAreSeenAtOnce) {
    TempFolder folder;
    CurrentDirectoryGuard inside(folder.Path());
    WriteBytes(folder.Path() / "data/a.xml", "<a/>");
    if (GetParam()) Settle(folder.Path());
    plat::FolderListings listings;
    ASSERT_EQ(!GetParam(), listings.MayExist("data/b.xml"));
    ASSERT_TRUE(plat::ReplaceFileContents("data/b.xml", "<b/>"));
    EXPECT_TRUE(listings.MayExist("data/b.xml"));
    ASSERT_TRUE(plat::CreateDirectory("more"));
    FILE* f = plat::OpenFile("more/c.xml", "wb");
    ASSERT_NE(nullptr, f);
    std::fclose(f);
    EXPECT_TRUE(listings.MayExist("MORE\\C.XML"));
}

INSTANTIATE_TEST_SUITE_P(Folders, FolderListingsTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "Settled" : "Fresh"; });

}  // namespace
