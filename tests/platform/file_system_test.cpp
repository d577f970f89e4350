#include "platform/system/file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/platform/temp_folder.h"

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::string root = tmp.Path().string();
};

TEST_F(FileSystemTest, BackslashPathWithWrongCaseResolvesToTheFileOnDisk) {
    WriteBytes(tmp.Path() / "Data/Sub/File.TXT", "hello");
    EXPECT_EQ(plat::ResolvePath(root + "\\data\\SUB\\file.txt"), root + "/Data/Sub/File.TXT");
    // Components that do not exist are kept as written after the last one found.
    EXPECT_EQ(plat::ResolvePath(root + "\\DATA\\new\\x.txt"), root + "/Data/new/x.txt");
    // An exact name is taken as it is, without reading the folder.
    EXPECT_EQ(plat::ResolvePath(root + "/Data/Sub/File.TXT"), root + "/Data/Sub/File.TXT");

    FILE* f = plat::OpenFile(root + "\\data\\sub\\FILE.txt", "rb");
    ASSERT_NE(f, nullptr);
    char buffer[8] = {};
    EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, f), 5u);
    EXPECT_STREQ(buffer, "hello");
    std::fclose(f);
}

TEST_F(FileSystemTest, ExactCaseWinsWhenSeveralNamesDifferOnlyInCase) {
    WriteBytes(tmp.Path() / "b.txt", "lower");
    WriteBytes(tmp.Path() / "B.TXT", "upper");
    EXPECT_EQ(plat::ResolvePath(root + "/b.txt"), root + "/b.txt");
    // Neither spelling matches exactly: the first in byte order is taken.
    EXPECT_EQ(plat::ResolvePath(root + "/b.TXT"), root + "/B.TXT");
}

TEST_F(FileSystemTest, FolderDoesNotOpenAsAFile) {
    fs::create_directories(tmp.Path() / "folder");
    EXPECT_EQ(plat::OpenFile(root + "/folder", "rb"), nullptr);
    EXPECT_EQ(plat::OpenFile(root + "/missing.txt", "rb"), nullptr);
    EXPECT_EQ(plat::OpenFile("", "rb"), nullptr);
}

TEST_F(FileSystemTest, CreateDirectoryAndQueries) {
    EXPECT_TRUE(plat::CreateDirectory(root + "\\made"));
    EXPECT_FALSE(plat::CreateDirectory(root + "\\MADE"));  // exists already, whatever its case
    EXPECT_TRUE(plat::IsDirectory(root + "/made"));
    EXPECT_TRUE(plat::PathExists(root + "\\Made"));
    EXPECT_FALSE(plat::PathExists(root + "/other"));
    WriteBytes(tmp.Path() / "made/f.txt", "x");
    EXPECT_FALSE(plat::IsDirectory(root + "/made/f.txt"));
    EXPECT_TRUE(plat::RemoveFile(root + "\\MADE\\F.TXT"));
    EXPECT_FALSE(fs::exists(tmp.Path() / "made/f.txt"));
}

TEST_F(FileSystemTest, RemoveDirectoryTreeNeverFollowsSymbolicLinks) {
    WriteBytes(tmp.Path() / "outside/keep.txt", "precious");
    WriteBytes(tmp.Path() / "tree/a/b/file.txt", "x");
    WriteBytes(tmp.Path() / "tree/top.txt", "y");
    fs::create_directory_symlink(tmp.Path() / "outside", tmp.Path() / "tree/a/link_to_outside");
    fs::create_symlink(tmp.Path() / "outside/keep.txt", tmp.Path() / "tree/file_link");

    EXPECT_TRUE(plat::RemoveDirectoryTree(root + "\\tree\\"));
    EXPECT_FALSE(fs::exists(tmp.Path() / "tree"));
    EXPECT_EQ(ReadBytes(tmp.Path() / "outside/keep.txt"), "precious");
}

TEST_F(FileSystemTest, RemoveDirectoryTreeRefusesALinkAndAFile) {
    WriteBytes(tmp.Path() / "real/keep.txt", "precious");
    fs::create_directory_symlink(tmp.Path() / "real", tmp.Path() / "link");
    EXPECT_FALSE(plat::RemoveDirectoryTree(root + "/link"));
    EXPECT_FALSE(plat::RemoveDirectoryTree(root + "/link/"));
    EXPECT_FALSE(plat::RemoveDirectoryTree(root + "/real/keep.txt"));
    EXPECT_EQ(ReadBytes(tmp.Path() / "real/keep.txt"), "precious");
    EXPECT_TRUE(fs::is_symlink(tmp.Path() / "link"));
}

TEST_F(FileSystemTest, ReplaceFileContentsKeepsModeAndLeavesNoTemporaryFile) {
    fs::path file = tmp.Path() / "settings.xml";
    WriteBytes(file, "old contents that are longer");
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(plat::ReplaceFileContents(root + "\\SETTINGS.xml", "new"));
    EXPECT_EQ(ReadBytes(file), "new");
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.Path()), fs::directory_iterator()), 1);

    EXPECT_TRUE(plat::ReplaceFileContents(root + "/fresh.bin", std::string("\0\1\2", 3)));
    EXPECT_EQ(ReadBytes(tmp.Path() / "fresh.bin"), std::string("\0\1\2", 3));
    EXPECT_FALSE(plat::ReplaceFileContents(root + "/no/such/folder/x", "x"));
}

// A power cut right after a save must find the new contents: the data is
// flushed before the rename makes it the file, and the folder after it.
TEST_F(FileSystemTest, ReplaceFileContentsFlushesTheDataBeforeTheRenameAndTheFolderAfter) {
    struct Watcher : plat::DiskSync {
        explicit Watcher(fs::path target) : target(std::move(target)) {}
        bool Sync(int fd) override {
            std::error_code error;
            const fs::path synced = fs::read_symlink("/proc/self/fd/" + std::to_string(fd), error);
            seen.push_back({synced, ReadBytes(target)});
            return plat::DiskSync::Sync(fd);
        }
        fs::path target;
        std::vector<std::pair<fs::path, std::string>> seen;  // what was flushed, and the file then
    };
    const fs::path file = tmp.Path() / "profiles.xml";
    WriteBytes(file, "old");
    Watcher watcher(file);
    ASSERT_TRUE(plat::ReplaceFileContents(root + "/profiles.xml", "new", watcher));
    ASSERT_EQ(watcher.seen.size(), 2u);
    EXPECT_EQ(watcher.seen[0].first.parent_path(), fs::canonical(tmp.Path()));
    EXPECT_NE(watcher.seen[0].first.filename(), "profiles.xml");
    EXPECT_EQ(watcher.seen[0].second, "old");
    EXPECT_EQ(watcher.seen[1].first, fs::canonical(tmp.Path()));
    EXPECT_EQ(watcher.seen[1].second, "new");
}

TEST_F(FileSystemTest, StaleReplaceTemporariesOfDeadWritersAreRemoved) {
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string deadTemp = "settings.xml.tmp" + std::to_string(dead) + "_0";
    const std::string liveTemp = "settings.xml.tmp" + std::to_string(::getpid()) + "_1";
    for (const std::string& name : {deadTemp, liveTemp, std::string("settings.xml"), std::string("settings.xml.tmpx_1"),
                                    "profiles.xml.tmp" + std::to_string(dead) + "_0"})
        WriteBytes(tmp.Path() / name, "x");
    EXPECT_EQ(plat::RemoveStaleReplaceTemps(root + "/settings.xml"), 1);
    EXPECT_FALSE(fs::exists(tmp.Path() / deadTemp));
    for (const std::string& kept : {liveTemp, std::string("settings.xml"), std::string("settings.xml.tmpx_1"),
                                    "profiles.xml.tmp" + std::to_string(dead) + "_0"})
        EXPECT_TRUE(fs::exists(tmp.Path() / kept)) << kept;
    EXPECT_EQ(plat::RemoveStaleReplaceTemps(root + "/missing/settings.xml"), 0);
}

TEST_F(FileSystemTest, CanonicalAndCurrentDirectory) {
    fs::create_directories(tmp.Path() / "Real");
    fs::create_directory_symlink(tmp.Path() / "Real", tmp.Path() / "alias");
    std::string real = fs::canonical(tmp.Path() / "Real").string();
    EXPECT_EQ(plat::CanonicalPath(root + "\\alias"), real);
    EXPECT_EQ(plat::CanonicalPath(root + "\\real"), real);
    EXPECT_EQ(plat::CanonicalPath(root + "/missing"), "");

    testsupport::CurrentDirectoryGuard cwd(tmp.Path() / "Real");
    EXPECT_EQ(plat::CurrentDirectory(), real);
}

TEST(FileTime, CountsHundredNanosecondsFrom1601) {
    // 1970-01-01 lies 369 years (89 of them leap) after 1601-01-01.
    const uint64_t epoch = (369ull * 365 + 89) * 86400 * 10000000;
    EXPECT_EQ(plat::FileTimeFromUnix(0, 0), epoch);
    EXPECT_EQ(plat::FileTimeFromUnix(1, 250), epoch + 10000000 + 2);
}

TEST_F(FileSystemTest, WriteTimeOfARegularFileFoundLikeEveryPath) {
    WriteBytes(tmp.Path() / "Sounds/Pop.ogg", "x");
    struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 500}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (tmp.Path() / "Sounds/Pop.ogg").c_str(), times, 0), 0);
    uint64_t time = 0;
    ASSERT_TRUE(plat::GetFileWriteTime(root + "\\sounds\\pop.ogg", &time));
    EXPECT_EQ(time, plat::FileTimeFromUnix(1000000000, 500));
    time = 7;
    EXPECT_FALSE(plat::GetFileWriteTime(root + "\\sounds", &time));  // a folder is no file
    EXPECT_EQ(time, 0u);
    EXPECT_FALSE(plat::GetFileWriteTime(root + "/missing", &time));
}

}  // namespace
