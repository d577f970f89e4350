#include "foundation/files/pak_interface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "tests/foundation/pak_test_support.h"
#include "tests/platform/temp_folder.h"

namespace fs = std::filesystem;
using testsupport::RawEntry;
using testsupport::RawPack;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

class PakTest : public ::testing::Test {
protected:
    bool MountPack(const RawPack& pack, const std::string& name = "main.pak") {
        WriteBytes(tmp.Path() / name, testsupport::Encode(pack));
        return pak.Mount(name);
    }

    // Everything from the handle's position on, through Read.
    std::string ReadRest(PakFile* file) {
        std::string out;
        char chunk[7];  // odd size: reads end mid-chunk
        for (size_t n; (n = pak.Read(chunk, 1, sizeof chunk, file)) > 0;) out.append(chunk, n);
        return out;
    }

    std::string ReadWhole(const std::string& name) {
        PakFile* file = pak.OpenFile(name, "rb");
        if (!file) return "<not found>";
        std::string out = ReadRest(file);
        pak.CloseFile(file);
        return out;
    }

    TempFolder tmp;
    testsupport::CurrentDirectoryGuard cwd{tmp.Path()};
    PakInterface pak;
};

std::string AllByteValues() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    return bytes;
}

TEST_F(PakTest, MountedEntriesReadBackByteForByte) {
    EXPECT_TRUE(
        MountPack({{{"data\\x.xml", "<x a=\"1\"/>\r\n"}, {"Images\\Bytes.bin", AllByteValues()}, {"empty.txt", ""}}}));
    EXPECT_EQ(ReadWhole("data\\x.xml"), "<x a=\"1\"/>\r\n");
    EXPECT_EQ(ReadWhole("images\\bytes.bin"), AllByteValues());
    EXPECT_EQ(ReadWhole("empty.txt"), "");
    EXPECT_EQ(ReadWhole("missing.txt"), "<not found>");

    PakFile* file = pak.OpenFile("IMAGES/BYTES.BIN", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->record_->fileName_, "Images\\Bytes.bin");  // stored case kept
    EXPECT_FALSE(pak.AtEnd(file));
    EXPECT_EQ(pak.Seek(file, 250, SEEK_SET), 0);
    EXPECT_EQ(pak.Tell(file), 250);
    EXPECT_EQ(ReadRest(file), AllByteValues().substr(250));
    EXPECT_TRUE(pak.AtEnd(file));
    EXPECT_EQ(pak.CloseFile(file), 0);
}

TEST_F(PakTest, LooseFileOnDiskAlwaysWins) {
    MountPack({{{"data\\x.xml", "packed"}, {"data\\only_packed.xml", "packed"}}});
    WriteBytes(tmp.Path() / "Data/X.XML", "loose");
    EXPECT_EQ(ReadWhole("data\\x.xml"), "loose");
    EXPECT_EQ(ReadWhole("data/only_packed.xml"), "packed");
    PakFile* file = pak.OpenFile("data\\x.xml", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->record_, nullptr);
    EXPECT_NE(file->fp_, nullptr);
    pak.CloseFile(file);
}

class PakSpellings : public PakTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PakSpellings, FindTheEntryStoredAsDataBackslashX) {
    MountPack({{{"data\\x.xml", "found"}}});
    std::string name = GetParam();
    if (name.starts_with("<cwd>")) name = fs::current_path().string() + name.substr(5);
    EXPECT_EQ(ReadWhole(name), "found") << name;
}

INSTANTIATE_TEST_SUITE_P(Names, PakSpellings,
                         ::testing::Values("data/x.xml", "DATA\\X.XML", "data//x.xml", "data\\sub\\..\\x.xml",
                                           "<cwd>/data/x.xml", "<cwd>\\Data\\X.xml"));

struct HeaderCase {
    uint32_t magic;
    uint32_t version;
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << std::hex << c.magic << " v" << c.version; }

class PakBadHeader : public PakTest, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(PakBadHeader, ContributesNoEntries) {
    RawPack pack{{{"data\\x.xml", "x"}}};
    pack.magic = GetParam().magic;
    pack.version = GetParam().version;
    EXPECT_FALSE(MountPack(pack));
    EXPECT_EQ(pak.OpenFile("data\\x.xml", "rb"), nullptr);
    EXPECT_EQ(pak.EntryCount(), 1u);  // only the pack file itself
}

INSTANTIATE_TEST_SUITE_P(Headers, PakBadHeader,
                         ::testing::Values(HeaderCase{0xBAC04AC1, 0}, HeaderCase{0xC04AC0BA, 0},
                                           HeaderCase{0xBAC04AC0, 1}));

TEST_F(PakTest, MissingOrEmptyPackMountsNothing) {
    EXPECT_FALSE(pak.Mount("no_such.pak"));
    WriteBytes(tmp.Path() / "empty.pak", "");
    EXPECT_FALSE(pak.Mount("empty.pak"));
    WriteBytes(tmp.Path() / "short.pak", "\x19");
    EXPECT_FALSE(pak.Mount("short.pak"));
    EXPECT_EQ(pak.EntryCount(), 1u);  // the one-byte file is mapped, and enters itself
}

TEST_F(PakTest, SeekClampsToTheEntry) {
    MountPack({{{"ten.bin", "0123456789"}}});
    PakFile* file = pak.OpenFile("ten.bin", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(pak.Seek(file, -5, SEEK_SET), 0);
    EXPECT_EQ(pak.Tell(file), 0);
    EXPECT_EQ(pak.Seek(file, 20, SEEK_SET), 0);
    EXPECT_EQ(pak.Tell(file), 10);
    pak.Seek(file, -3, SEEK_END);
    EXPECT_EQ(pak.Tell(file), 7);
    pak.Seek(file, -2, SEEK_CUR);
    EXPECT_EQ(pak.Tell(file), 5);
    pak.Seek(file, -100, SEEK_CUR);
    EXPECT_EQ(pak.Tell(file), 0);
    pak.Seek(file, 4, SEEK_SET);
    pak.Seek(file, 3, 7);  // an unknown origin leaves the position
    EXPECT_EQ(pak.Tell(file), 4);
    // Offsets from damaged files: no overflow, just the bounds.
    pak.Seek(file, LONG_MAX, SEEK_CUR);
    EXPECT_EQ(pak.Tell(file), 10);
    pak.Seek(file, LONG_MIN, SEEK_END);
    EXPECT_EQ(pak.Tell(file), 0);
    pak.CloseFile(file);
}

TEST_F(PakTest, ReadCountsWholeElementsOnly) {
    MountPack({{{"ten.bin", "0123456789"}}});
    PakFile* file = pak.OpenFile("ten.bin", "rb");
    ASSERT_NE(file, nullptr);
    pak.Seek(file, 4, SEEK_SET);
    char buffer[40];
    std::memset(buffer, '-', sizeof buffer);
    EXPECT_EQ(pak.Read(buffer, 4, 10, file), 1u);  // 6 bytes left: one whole element
    EXPECT_EQ(std::string(buffer, 7), "456789-");  // the partial element is copied too
    EXPECT_EQ(pak.Tell(file), 10);
    EXPECT_EQ(pak.Read(buffer, 1, 1, file), 0u);
    pak.CloseFile(file);
}

TEST_F(PakTest, ReadWithElementSizeZeroReadsNothingInsteadOfDividingByZero) {
    MountPack({{{"ten.bin", "0123456789"}}});
    PakFile* file = pak.OpenFile("ten.bin", "rb");
    ASSERT_NE(file, nullptr);
    char buffer[4] = {'-', '-', '-', '-'};
    EXPECT_EQ(pak.Read(buffer, 0, 4, file), 0u);
    EXPECT_EQ(pak.Tell(file), 0);
    EXPECT_EQ(buffer[0], '-');
    // An element count whose byte total overflows reads what is left.
    char big[10];
    EXPECT_EQ(pak.Read(big, 2, SIZE_MAX, file), 5u);
    pak.CloseFile(file);
}

TEST_F(PakTest, GetCharAndReadLineDropCarriageReturnsButReadKeepsThem) {
    const std::string text = "one\r\ntwo\r\n\r\nlast\r";
    MountPack({{{"t.txt", text}}});
    PakFile* file = pak.OpenFile("t.txt", "rt");
    ASSERT_NE(file, nullptr);
    std::string viaGetChar;
    for (int c; (c = pak.GetChar(file)) != -1;) viaGetChar += static_cast<char>(c);
    EXPECT_EQ(viaGetChar, "one\ntwo\n\nlast");
    EXPECT_EQ(pak.GetChar(file), -1);

    pak.Seek(file, 0, SEEK_SET);
    char line[64];
    std::vector<std::string> lines;
    while (pak.ReadLine(line, sizeof line, file)) lines.emplace_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one\n", "two\n", "\n", "last"}));

    pak.Seek(file, 0, SEEK_SET);
    char small[3];
    ASSERT_NE(pak.ReadLine(small, sizeof small, file), nullptr);
    EXPECT_STREQ(small, "on");
    ASSERT_NE(pak.ReadLine(small, sizeof small, file), nullptr);
    EXPECT_STREQ(small, "e\n");

    pak.Seek(file, 0, SEEK_SET);
    EXPECT_EQ(ReadRest(file), text);
    pak.CloseFile(file);
}

TEST_F(PakTest, UngetCharStepsBackOneByteNotBelowZero) {
    MountPack({{{"u.txt", "ab"}}});
    PakFile* file = pak.OpenFile("u.txt", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(pak.UngetChar('z', file), 'z');
    EXPECT_EQ(pak.Tell(file), 0);
    EXPECT_EQ(pak.GetChar(file), 'a');
    EXPECT_EQ(pak.UngetChar('z', file), 'z');  // not stored: the pack's byte comes again
    EXPECT_EQ(pak.GetChar(file), 'a');
    EXPECT_EQ(pak.ReadLineNoOp(nullptr, 0, file), nullptr);
    pak.CloseFile(file);
}

TEST_F(PakTest, WritingModesNeverReachThePack) {
    MountPack({{{"data\\x.xml", "x"}}});
    EXPECT_EQ(pak.OpenFile("data\\x.xml", "r+"), nullptr);
    EXPECT_EQ(pak.OpenFile("data\\x.xml", "rb+"), nullptr);
    EXPECT_EQ(pak.FindEntry("data\\x.xml", "wb"), nullptr);
    PakFile* file = pak.FindEntry("data\\x.xml", "r");
    ASSERT_NE(file, nullptr);
    pak.CloseFile(file);
}

TEST_F(PakTest, LaterEntryReplacesEarlierInOnePackAndAcrossPacks) {
    MountPack({{{"a.txt", "first"}, {"A.TXT", "second"}, {"b.txt", "b1"}}});
    EXPECT_EQ(ReadWhole("a.txt"), "second");
    MountPack({{{"B.txt", "b2"}}}, "patch.pak");
    EXPECT_EQ(ReadWhole("b.txt"), "b2");
    EXPECT_EQ(ReadWhole("a.txt"), "second");
}

TEST_F(PakTest, OpenHandleWhoseEntryALaterPackReplacesNeverReadsPastTheNewEntry) {
    MountPack({{{"b.txt", std::string(100, 'x')}}});
    PakFile* file = pak.OpenFile("b.txt", "rb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(pak.Seek(file, 90, SEEK_SET), 0);
    MountPack({{{"b.txt", "b2"}}}, "patch.pak");  // the open handle now names a 2-byte entry
    char buffer[16];
    EXPECT_EQ(pak.Read(buffer, 1, sizeof buffer, file), 0u);
    EXPECT_TRUE(pak.AtEnd(file));
    pak.CloseFile(file);
}

TEST_F(PakTest, DamagedEntriesOutsideTheFileAreDropped) {
    RawPack pack{{{"good.txt", "good"}, {"bad.txt", "bad", 0, 1000}, {"after.txt", "after"}}};
    MountPack(pack);
    EXPECT_EQ(ReadWhole("good.txt"), "good");
    EXPECT_EQ(ReadWhole("bad.txt"), "<not found>");    // would read 1000 bytes past the view
    EXPECT_EQ(ReadWhole("after.txt"), "<not found>");  // starts beyond the end
}

TEST_F(PakTest, HugeDeclaredSizeIsDropped) {
    EXPECT_FALSE(MountPack({{{"a.txt", "aaa"}, {"huge.bin", "x", 0, 0xFFFFFFFF}}}));  // damaged, read in part
    EXPECT_EQ(ReadWhole("a.txt"), "aaa");
    EXPECT_EQ(ReadWhole("huge.bin"), "<not found>");
}

TEST_F(PakTest, TruncatedDirectoryGivesNoReadableEntries) {
    RawPack pack{{{"one.txt", "1111"}, {"two.txt", "2222"}}};
    pack.cutDirectoryAfter = 8 + 21 + 6;  // header, the first record whole, part of the second's name
    EXPECT_FALSE(MountPack(pack));
    EXPECT_EQ(ReadWhole("one.txt"), "<not found>");
    EXPECT_EQ(ReadWhole("two.txt"), "<not found>");
}

TEST_F(PakTest, EntryStoredWithForwardSlashesIsFound) {
    MountPack({{{"images/ui/button.png", "png"}}});
    EXPECT_EQ(ReadWhole("images\\ui\\button.png"), "png");
    EXPECT_EQ(ReadWhole("images/ui/button.png"), "png");
}

TEST_F(PakTest, NameTooLongForTheLimitIsNotFoundAndDoesNotOverflow) {
    std::string stored = "d\\" + std::string(248, 'n');
    MountPack({{{stored, "long"}}});
    // Longer as written, but within the limit once doubled separators fold.
    std::string spelled = "d";
    spelled.append(60, '/').append(248, 'n');
    EXPECT_EQ(ReadWhole(spelled), "long");
    EXPECT_EQ(ReadWhole(std::string(300, 'n')), "<not found>");
    EXPECT_EQ(ReadWhole(std::string(10000, 'n')), "<not found>");
    plat::FindData found;
    EXPECT_EQ(pak.FindFirst(std::string(10000, 'n') + "*", &found), nullptr);
}

struct NameCase {
    const char* name;
    const char* key;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class PakNormalize : public ::testing::TestWithParam<NameCase> {};

TEST_P(PakNormalize, GivesTheKey) { EXPECT_EQ(PakInterface::NormalizeName(GetParam().name), GetParam().key); }

INSTANTIATE_TEST_SUITE_P(Names, PakNormalize,
                         ::testing::Values(NameCase{"data/x.xml", "DATA\\X.XML"}, NameCase{"a\\\\/b", "A\\B"},
                                           NameCase{"a\\b\\..\\..\\c", "C"}, NameCase{"a\\..", ""},
                                           NameCase{"\\..\\x", "\\X"}, NameCase{"..\\x", "..\\X"},
                                           NameCase{"a\\.\\b", "A\\.\\B"}, NameCase{"a\\..b\\c", "A\\..B\\C"},
                                           NameCase{"caf\xE9.txt", "CAF\xE9.TXT"}));

std::vector<std::string> SearchNames(PakInterface& pak, const std::string& pattern,
                                     std::vector<plat::FindData>* all = nullptr) {
    std::vector<std::string> names;
    plat::FindData found;
    PakFindData* search = pak.FindFirst(pattern, &found);
    for (bool ok = search != nullptr; ok; ok = pak.FindNext(search, &found)) {
        names.push_back(found.fileName);
        if (all) all->push_back(found);
    }
    if (search) {
        EXPECT_TRUE(pak.FindClose(search));
    }
    return names;
}

TEST_F(PakTest, WildcardSearchListsPackEntriesThenDiskFiles) {
    MountPack({{{"images\\b.png", "bb", 0x01D0000000000000},
                {"images\\a.png", "a"},
                {"images\\c.jpg", "c"},
                {"other\\d.png", "d"}}});
    WriteBytes(tmp.Path() / "Images/z_disk.png", "zzz");
    WriteBytes(tmp.Path() / "Images/y_disk.txt", "y");

    std::vector<plat::FindData> all;
    EXPECT_EQ(SearchNames(pak, "images\\*.png", &all), (std::vector<std::string>{"a.png", "b.png", "z_disk.png"}));
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1].size, 2u);
    EXPECT_EQ(all[1].lastWriteTime, 0x01D0000000000000u);
    EXPECT_EQ(all[1].creationTime, 0x01D0000000000000u);
    EXPECT_EQ(all[1].attributes, 0u);
    EXPECT_EQ(all[2].size, 3u);

    EXPECT_EQ(SearchNames(pak, "images/*.*").size(), 5u);
    EXPECT_EQ(SearchNames(pak, "IMAGES\\*"),
              (std::vector<std::string>{"a.png", "b.png", "c.jpg", "y_disk.txt", "z_disk.png"}));
    // Without a '*' the pack never matches; the disk still does.
    EXPECT_TRUE(SearchNames(pak, "images\\a.png").empty());
    EXPECT_EQ(SearchNames(pak, "images\\z_disk.png"), std::vector<std::string>{"z_disk.png"});
    plat::FindData found;
    EXPECT_EQ(pak.FindFirst("nothing\\*.png", &found), nullptr);
}

TEST_F(PakTest, WildcardSearchReportsAFileInPackAndOnDiskOnce) {
    MountPack({{{"images\\a.png", "packed"}, {"images\\b.png", "packed"}}});
    WriteBytes(tmp.Path() / "images/A.PNG", "loose");
    WriteBytes(tmp.Path() / "images/c.png", "loose");
    EXPECT_EQ(SearchNames(pak, "images\\*.png"), (std::vector<std::string>{"a.png", "b.png", "c.png"}));
}

TEST_F(PakTest, SearchWithASeparatorAfterTheStarFlagsAFolder) {
    MountPack({{{"levels\\one\\map.xml", "m"}, {"levels\\two\\map.xml", "m"}}});
    std::vector<plat::FindData> all;
    EXPECT_EQ(SearchNames(pak, "levels\\*\\map.xml", &all), (std::vector<std::string>{"map.xml", "map.xml"}));
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].attributes, plat::kFileAttributeDirectory);
}

TEST(PakPublishing, FirstInterfaceWinsAndIsClearedWhenDestroyed) {
    EXPECT_EQ(GetPakPtr(), nullptr);
    {
        auto first = std::make_unique<PakInterface>();
        EXPECT_EQ(GetPakPtr(), first.get());
        {
            PakInterface second;
            EXPECT_EQ(GetPakPtr(), first.get());
        }
        EXPECT_EQ(GetPakPtr(), first.get());
        first.reset();
        EXPECT_EQ(GetPakPtr(), nullptr);
    }
}

}  // namespace
