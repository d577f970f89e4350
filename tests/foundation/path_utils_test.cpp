#include "foundation/files/path_utils.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/platform/temp_folder.h"

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

TEST(PathText, FileNameDirAndTrailingSlashes) {
    EXPECT_EQ(GetFileName("a\\b/c.png"), "c.png");
    EXPECT_EQ(GetFileName("a/b/"), "");
    EXPECT_EQ(GetFileName("bare"), "bare");
    EXPECT_EQ(GetFileDir("a\\b/c.png"), "a\\b");
    EXPECT_EQ(GetFileDir("bare"), "");
    EXPECT_EQ(RemoveTrailingSlash("a/b/"), "a/b");
    EXPECT_EQ(RemoveTrailingSlash("a/b//"), "a/b/");  // one separator only
    EXPECT_EQ(RemoveTrailingSlash(""), "");
    EXPECT_EQ(AddTrailingSlash("a/b"), "a/b/");
    EXPECT_EQ(AddTrailingSlash("a\\b"), "a\\b\\");
    EXPECT_EQ(AddTrailingSlash("ab"), "ab\\");
    EXPECT_EQ(AddTrailingSlash("a\\b/c"), "a\\b/c/");  // follows the last separator
    EXPECT_EQ(AddTrailingSlash("a/"), "a/");
    EXPECT_EQ(AddTrailingSlash(""), "");
    std::string path = "x/y";
    AddTrailingSlashInto(path);
    EXPECT_EQ(path, "x/y/");
}

struct RelativeCase {
    const char* relative;
    const char* base;
    const char* expected;
};

void PrintTo(const RelativeCase& c, std::ostream* os) { *os << c.relative << " from " << c.base; }

class ResolveRelative : public ::testing::TestWithParam<RelativeCase> {};

TEST_P(ResolveRelative, Resolves) {
    EXPECT_EQ(ResolveRelativePath(GetParam().relative, GetParam().base), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ResolveRelative,
    ::testing::Values(RelativeCase{"../img/x.png", "fonts\\sub", "fonts\\img\\x.png"},
                      RelativeCase{"./a/b.png", "x/y", "x/y/a/b.png"}, RelativeCase{"../../a.png", "x", "../a.png"},
                      RelativeCase{"../a.png", "../up", "../a.png"}, RelativeCase{"../a.png", "../", "../../a.png"},
                      RelativeCase{"a.png", "C:\\fonts", "C:\\fonts\\a.png"},
                      RelativeCase{"..\\a.png", "C:/fonts/sub", "C:\\fonts\\a.png"},
                      RelativeCase{"D:\\a.png", "x", "D:\\a.png"}, RelativeCase{"../a.png", "/", "/a.png"},
                      RelativeCase{"b.png", "", "b.png"}));

class FolderTest : public ::testing::Test {
protected:
    void TearDown() override { SetAppDataFolder(""); }
    TempFolder tmp;
};

TEST_F(FolderTest, MakeDirectoriesAndFileExists) {
    MakeDirectories(tmp / "one\\two\\three");
    EXPECT_TRUE(fs::is_directory(tmp.Path() / "one/two/three"));
    MakeDirectories(tmp / "ONE\\two\\four");  // finds the existing folders whatever their case
    EXPECT_TRUE(fs::is_directory(tmp.Path() / "one/two/four"));
    WriteBytes(tmp.Path() / "one/file.txt", "x");
    EXPECT_TRUE(FileExists(tmp / "one\\FILE.TXT"));
    EXPECT_TRUE(FileExists(tmp / "one\\two"));
    EXPECT_TRUE(FileExists(tmp / "one\\*.txt"));
    EXPECT_FALSE(FileExists(tmp / "one\\*.png"));
    EXPECT_FALSE(FileExists(tmp / "none"));
}

TEST_F(FolderTest, WriteWStringToFileWritesMarkedUtf16AndReplaces) {
    std::string path = tmp / "new\\folder\\log.txt";
    ASSERT_TRUE(WriteWStringToFile(path, std::wstring(L"A\n\xE9") + wchar_t(0x1F600)));
    // FF FE, 'A', LF (no CR added), U+00E9, and U+1F600 as the pair D83D DE00.
    const char expected[] = {'\xFF', '\xFE', 'A', 0, '\n', 0, '\xE9', 0, '\x3D', '\xD8', '\x00', '\xDE'};
    EXPECT_EQ(ReadBytes(tmp.Path() / "new/folder/log.txt"), std::string(expected, sizeof expected));
    ASSERT_TRUE(WriteWStringToFile(path, L"B"));
    EXPECT_EQ(ReadBytes(tmp.Path() / "new/folder/log.txt"), std::string("\xFF\xFE"
                                                                        "B\0",
                                                                        4));
}

TEST_F(FolderTest, DeleteDirectoryTreeDeletesInsideTheDataFolder) {
    SetAppDataFolder(tmp / "AppData");
    EXPECT_EQ(GetAppDataFolder(), tmp / "AppData");
    WriteBytes(tmp.Path() / "AppData/profiles/p1/park.xml", "x");
    WriteBytes(tmp.Path() / "AppData/settings.xml", "y");
    EXPECT_TRUE(DeleteDirectoryTree(tmp / "AppData\\profiles"));
    EXPECT_FALSE(fs::exists(tmp.Path() / "AppData/profiles"));
    EXPECT_TRUE(fs::exists(tmp.Path() / "AppData/settings.xml"));
    EXPECT_TRUE(DeleteDirectoryTree(tmp / "AppData"));
    EXPECT_FALSE(fs::exists(tmp.Path() / "AppData"));
    EXPECT_TRUE(DeleteDirectoryTree("x"));  // too short: left alone
}

TEST_F(FolderTest, DeleteDirectoryTreeRefusesEverythingOutsideTheDataFolder) {
    WriteBytes(tmp.Path() / "AppData/keep.txt", "x");
    WriteBytes(tmp.Path() / "Documents/letter.txt", "precious");
    WriteBytes(tmp.Path() / "AppDataOther/file.txt", "precious");
    EXPECT_FALSE(DeleteDirectoryTree(tmp / "Documents"));  // no data folder set: nothing may go
    SetAppDataFolder(tmp / "AppData");
    EXPECT_FALSE(DeleteDirectoryTree(tmp / "Documents"));
    EXPECT_FALSE(DeleteDirectoryTree(tmp / "AppData/../Documents"));
    EXPECT_FALSE(DeleteDirectoryTree(tmp / "AppDataOther"));  // a shared prefix is not inside
    EXPECT_FALSE(DeleteDirectoryTree(tmp.Path().string()));   // the parent of the data folder
    EXPECT_EQ(ReadBytes(tmp.Path() / "Documents/letter.txt"), "precious");
    EXPECT_EQ(ReadBytes(tmp.Path() / "AppDataOther/file.txt"), "precious");
}

TEST_F(FolderTest, DeleteDirectoryTreeNeverFollowsSymbolicLinks) {
    SetAppDataFolder(tmp / "AppData");
    WriteBytes(tmp.Path() / "Documents/letter.txt", "precious");
    WriteBytes(tmp.Path() / "AppData/cache/x.bin", "x");
    fs::create_directory_symlink(tmp.Path() / "Documents", tmp.Path() / "AppData/cache/docs");
    fs::create_directory_symlink(tmp.Path() / "Documents", tmp.Path() / "AppData/docs_link");
    // A link inside the data folder that points out of it is refused as a whole...
    EXPECT_FALSE(DeleteDirectoryTree(tmp / "AppData/docs_link"));
    // ...and a tree holding such a link loses the link, not what it points to.
    EXPECT_TRUE(DeleteDirectoryTree(tmp / "AppData/cache"));
    EXPECT_FALSE(fs::exists(tmp.Path() / "AppData/cache"));
    EXPECT_EQ(ReadBytes(tmp.Path() / "Documents/letter.txt"), "precious");
}

TEST_F(FolderTest, GrantEveryoneFullAccessLeavesThePlayersPermissionsAlone) {
    fs::path file = tmp.Path() / "profiles.xml";
    WriteBytes(file, "x");
    ::chmod(file.c_str(), 0600);
    GrantEveryoneFullAccess(file.string());
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

}  // namespace
