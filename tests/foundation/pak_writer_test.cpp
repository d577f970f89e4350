#include "foundation/files/pak_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>

#include "foundation/files/pak_interface.h"
#include "tests/platform/temp_folder.h"

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

const fs::path kSource = fs::path(HALVARO_TEST_DATA_DIR) / "pack_source";

struct DecodedEntry {
    uint32_t size;
    uint64_t time;
};

// Reads the directory by the format, independently of the reader under test.
std::map<std::string, DecodedEntry> DecodeDirectory(std::string bytes, std::vector<std::string>& order) {
    for (char& c : bytes) c = static_cast<char>(c ^ 0xA3);
    auto u = [&bytes](size_t at, int n) {
        uint64_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
        return v;
    };
    EXPECT_EQ(u(0, 4), 0xBAC04AC0u);
    EXPECT_EQ(u(4, 4), 0u);
    std::map<std::string, DecodedEntry> entries;
    size_t at = 8;
    while (!(static_cast<unsigned char>(bytes.at(at)) & 0x80)) {
        size_t length = static_cast<unsigned char>(bytes.at(at + 1));
        std::string name = bytes.substr(at + 2, length);
        at += 2 + length;
        entries[name] = {static_cast<uint32_t>(u(at, 4)), u(at + 4, 8)};
        order.push_back(name);
        at += 12;
    }
    return entries;
}

TEST(PakWriter, PacksAFolderThatReadsBackByteForByte) {
    TempFolder tmp;
    std::string packPath = tmp / "main.pak";
    PakBuildResult result = BuildPack(kSource.string(), packPath);
    ASSERT_TRUE(result.ok) << result.error;

    // Every regular file of the fixture, named relative to it with '\\'.
    std::map<std::string, fs::path> expected;
    uint64_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kSource)) {
        if (!entry.is_regular_file()) continue;
        std::string name = entry.path().lexically_relative(kSource).string();
        std::replace(name.begin(), name.end(), '/', '\\');
        expected[name] = entry.path();
        total += entry.file_size();
    }
    ASSERT_GE(expected.size(), 4u);
    EXPECT_EQ(result.files, expected.size());
    EXPECT_EQ(result.dataBytes, total);

    std::vector<std::string> order;
    auto directory = DecodeDirectory(ReadBytes(packPath), order);
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    ASSERT_EQ(directory.size(), expected.size());
    for (const auto& [name, path] : expected) {
        ASSERT_TRUE(directory.contains(name)) << name;
        struct stat st;
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(directory[name].size, static_cast<uint64_t>(st.st_size)) << name;
        // Windows file time: 100 ns units from 1601, which lies 11644473600 s before 1970.
        uint64_t fileTime = (static_cast<uint64_t>(st.st_mtim.tv_sec) + 11644473600ull) * 10000000ull +
                            static_cast<uint64_t>(st.st_mtim.tv_nsec) / 100;
        EXPECT_EQ(directory[name].time, fileTime) << name;
    }

    // The folder holds only the pack, so every read comes from it.
    testsupport::CurrentDirectoryGuard cwd(tmp.Path());
    PakInterface pak;
    pak.Mount("main.pak");
    for (const auto& [name, path] : expected) {
        PakFile* file = pak.OpenFile(name, "rb");
        ASSERT_NE(file, nullptr) << name;
        ASSERT_NE(file->record_, nullptr) << name;
        std::string read(static_cast<size_t>(fs::file_size(path)) + 8, '\0');
        read.resize(pak.Read(read.data(), 1, read.size(), file));
        EXPECT_EQ(read, ReadBytes(path)) << name;
        pak.CloseFile(file);
    }
}

TEST(PakWriter, FailsCleanlyAndKeepsTheEarlierPack) {
    TempFolder tmp;
    WriteBytes(tmp.Path() / "main.pak", "old pack");
    // 200 + 1 + 100 bytes: too long for a one-byte name length.
    WriteBytes(tmp.Path() / "src" / std::string(200, 'd') / std::string(100, 'f'), "x");
    PakBuildResult result = BuildPack(tmp / "src", tmp / "main.pak");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("longer than 255"), std::string::npos) << result.error;
    EXPECT_EQ(ReadBytes(tmp.Path() / "main.pak"), "old pack");

    result = BuildPack(tmp / "no_such_folder", tmp / "main.pak");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("is not a folder"), std::string::npos) << result.error;
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.Path()), fs::directory_iterator()), 2);
}

TEST(PakWriter, PackInsideItsOwnFolderIsNotPackedIntoItself) {
    TempFolder tmp;
    WriteBytes(tmp.Path() / "a.txt", "a");
    ASSERT_TRUE(BuildPack(tmp.Path().string(), tmp / "main.pak").ok);
    PakBuildResult again = BuildPack(tmp.Path().string(), tmp / "main.pak");
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_EQ(again.files, 1u);
}

}  // namespace
