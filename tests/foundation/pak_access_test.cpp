#include "foundation/files/pak_access.h"

#include <gtest/gtest.h>

#include "foundation/files/pak_interface.h"
#include "tests/foundation/pak_test_support.h"
#include "tests/platform/temp_folder.h"

using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

// Reads a file the way the XML reader does, through every wrapper.
std::string ReadThroughWrappers(const std::string& name) {
    PakFile* file = PakOpenFile(name, "rb");
    if (!file) return "<not found>";
    std::string out;
    char line[16];
    if (PakReadLine(line, sizeof line, file)) out += line;
    int c = PakGetChar(file);
    if (c != -1) {
        PakUngetChar(c, file);
        out += '[' + std::to_string(PakTell(file)) + ']';
    }
    char rest[64];
    size_t n = PakRead(rest, 1, sizeof rest, file);
    out.append(rest, n);
    out += PakAtEnd(file) ? "<end>" : "";
    PakSeek(file, 0, SEEK_SET);
    out += static_cast<char>(PakGetChar(file));
    EXPECT_EQ(PakCloseFile(file), 0);
    return out;
}

TEST(PakAccess, WithoutAnInterfaceReadsDiskFilesByDataPath) {
    ASSERT_EQ(GetPakPtr(), nullptr);
    TempFolder tmp;
    testsupport::CurrentDirectoryGuard cwd(tmp.Path());
    WriteBytes(tmp.Path() / "Properties/Text.txt", "line\nrest");
    EXPECT_EQ(ReadThroughWrappers("properties\\text.txt"), "line\n[5]rest<end>l");
    EXPECT_EQ(ReadThroughWrappers("properties\\missing.txt"), "<not found>");
}

TEST(PakAccess, WithAnInterfaceReadsPackEntries) {
    TempFolder tmp;
    testsupport::CurrentDirectoryGuard cwd(tmp.Path());
    testsupport::RawPack pack{{{"properties\\text.txt", "line\r\nrest"}}};
    WriteBytes(tmp.Path() / "main.pak", testsupport::Encode(pack));
    PakInterface pak;
    pak.Mount("main.pak");
    // ReadLine drops the carriage return; Read does not see it as it lies before.
    EXPECT_EQ(ReadThroughWrappers("properties\\text.txt"), "line\n[6]rest<end>l");
}

}  // namespace
