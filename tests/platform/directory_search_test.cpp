#include "platform/system/directory_search.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/system/path_case.h"
#include "tests/platform/temp_folder.h"

namespace fs = std::filesystem;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

std::vector<std::string> Names(const std::string& pattern, std::vector<plat::FindData>* all = nullptr) {
    std::vector<std::string> names;
    plat::DirectorySearch search;
    plat::FindData found;
    for (bool ok = search.First(pattern, found); ok; ok = search.Next(found)) {
        names.push_back(found.fileName);
        if (all) all->push_back(found);
    }
    return names;
}

TEST(DirectorySearch, MatchesWildcardsWithoutRegardToCaseInByteOrder) {
    TempFolder tmp;
    WriteBytes(tmp.Path() / "Images/b.PNG", "12345");
    WriteBytes(tmp.Path() / "Images/a.png", "1");
    WriteBytes(tmp.Path() / "Images/c.jpg", "");
    WriteBytes(tmp.Path() / "Images/noext", "");
    fs::create_directories(tmp.Path() / "Images/sub.png");
    std::string images = (tmp.Path() / "IMAGES").string();

    std::vector<plat::FindData> all;
    EXPECT_EQ(Names(images + "\\*.png", &all), (std::vector<std::string>{"a.png", "b.PNG", "sub.png"}));
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1].size, 5u);
    EXPECT_EQ(all[1].attributes, plat::kFileAttributeNormal);
    EXPECT_EQ(all[2].attributes, plat::kFileAttributeDirectory);
    EXPECT_GT(all[0].lastWriteTime, 0u);

    EXPECT_EQ(Names(images + "\\*.*").size(), 5u);  // "*.*" includes the name without a dot
    EXPECT_EQ(Names(images + "/?.jpg"), std::vector<std::string>{"c.jpg"});
    EXPECT_EQ(Names(images + "/A.PNG"), std::vector<std::string>{"a.png"});
    EXPECT_TRUE(Names(images + "/*.gif").empty());
    EXPECT_TRUE(Names(images + "/").empty());
    EXPECT_TRUE(Names((tmp.Path() / "missing/*").string()).empty());
}

TEST(DirectorySearch, PatternWithoutFolderSearchesTheCurrentDirectory) {
    TempFolder tmp;
    WriteBytes(tmp.Path() / "main.pak", "x");
    testsupport::CurrentDirectoryGuard cwd(tmp.Path());
    EXPECT_EQ(Names("MAIN.*"), std::vector<std::string>{"main.pak"});
}

struct WildcardCase {
    const char* pattern;
    const char* name;
    bool matches;
};

void PrintTo(const WildcardCase& c, std::ostream* os) { *os << '"' << c.pattern << "\" vs \"" << c.name << '"'; }

class WildcardMatchTest : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(WildcardMatchTest, Matches) {
    EXPECT_EQ(plat::WildcardMatch(GetParam().pattern, GetParam().name), GetParam().matches)
        << GetParam().pattern << " vs " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Patterns, WildcardMatchTest,
                         ::testing::Values(WildcardCase{"*", "anything", true}, WildcardCase{"*.*", "noext", true},
                                           WildcardCase{"*.png", "A.PNG", true}, WildcardCase{"*.png", "a.pngx", false},
                                           WildcardCase{"a*b*c", "aXXbYYc", true},
                                           WildcardCase{"a*b*c", "aXXbYY", false}, WildcardCase{"?", "", false},
                                           WildcardCase{"??", "ab", true}, WildcardCase{"a**", "a", true},
                                           WildcardCase{"x.*", "x", true}, WildcardCase{"", "", true},
                                           WildcardCase{"", "a", false}));

}  // namespace
