#include "platform/system/mapped_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "tests/platform/temp_folder.h"

using testsupport::TempFolder;
using testsupport::WriteBytes;

TEST(MappedFile, ViewHoldsTheFileBytesAndSurvivesAMove) {
    TempFolder tmp;
    std::string bytes;
    for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i * 7);
    WriteBytes(tmp.Path() / "Pack.bin", bytes);

    plat::MappedFile view;
    ASSERT_TRUE(view.Open(tmp / "pack.BIN"));
    ASSERT_EQ(view.Size(), bytes.size());
    EXPECT_EQ(std::memcmp(view.Data(), bytes.data(), bytes.size()), 0);

    plat::MappedFile moved = std::move(view);
    EXPECT_FALSE(view.IsOpen());
    ASSERT_TRUE(moved.IsOpen());
    EXPECT_EQ(std::memcmp(moved.Data(), bytes.data(), bytes.size()), 0);
}

TEST(MappedFile, EmptyMissingAndFolderFailToOpen) {
    TempFolder tmp;
    WriteBytes(tmp.Path() / "empty", "");
    plat::MappedFile view;
    EXPECT_FALSE(view.Open(tmp / "empty"));
    EXPECT_FALSE(view.Open(tmp / "missing"));
    EXPECT_FALSE(view.Open(tmp.Path().string()));
    EXPECT_FALSE(view.IsOpen());
    EXPECT_EQ(view.Size(), 0u);
}
