// parkart draws the same bytes on every run: each part, drawn afresh into a
// scratch folder, matches what data/ holds file for file, and the atlas's
// entry it writes into assets.xml is the one committed. A stale picture, a
// forgotten regeneration or any dependence on time or memory fails here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/platform/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ParkartTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ParkartTest, RedrawsTheCommittedPicturesByteForByte) {
    const fs::path data = fs::path(HALVARO_SOURCE_DIR) / "data";
    testsupport::TempFolder scratch;
    fs::create_directories(scratch.Path() / "properties");
    fs::copy_file(data / "properties/assets.xml", scratch.Path() / "properties/assets.xml");
    const std::string command = std::string(PARKART_PATH) + " '" + scratch.Path().string() + "' --part " + GetParam();
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    int pictures = 0;
    for (const auto& entry : fs::recursive_directory_iterator(scratch.Path())) {
        if (!entry.is_regular_file()) continue;
        const fs::path relative = fs::relative(entry.path(), scratch.Path());
        if (relative.extension() != ".xml") ++pictures;
        ASSERT_TRUE(fs::exists(data / relative)) << relative << " is drawn but not in data/";
        EXPECT_TRUE(Bytes(entry.path()) == Bytes(data / relative)) << relative << " differs from data/";
    }
    EXPECT_GT(pictures, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryPart, ParkartTest,
                         ::testing::Values("ground", "backdrops", "buildings", "visitors", "hud", "screens"));

}  // namespace
