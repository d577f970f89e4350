#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/system/registry.h"
#include "temp_folder.h"

namespace {

using testsupport::TempFolder;

constexpr std::string_view kKey = "SOFTWARE\\Maker\\Product\\Dure3V";

TEST(SystemRegistry, AwkwardTextRoundTripsThroughTheFile) {
    TempFolder folder;
    const std::string awkward[] = {
        "plain",
        "",
        "quote \" apostrophe ' amp & lt < gt > &amp; literal",
        "line one\nline two\r\n\ttab",
        "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xA2",
        std::string("nul\0inside", 10),
        "\x01\x1F\x7F control",
        "</value></registry>",
    };
    {
        plat::Registry registry(folder.Path().string());
        for (size_t i = 0; i < std::size(awkward); ++i)
            ASSERT_TRUE(registry.SetString(kKey, "Value" + std::to_string(i), awkward[i]));
        ASSERT_TRUE(registry.SetString("SOFTWARE\\Maker\\<odd \"key\">", "name & more", "x"));
    }
    // A fresh object reads only what reached the disk.
    plat::Registry reread(folder.Path().string());
    for (size_t i = 0; i < std::size(awkward); ++i) {
        auto value = reread.GetString(kKey, "Value" + std::to_string(i));
        ASSERT_TRUE(value.has_value()) << i;
        EXPECT_EQ(*value, awkward[i]) << i;
    }
    EXPECT_EQ(reread.GetString("SOFTWARE\\Maker\\<odd \"key\">", "name & more"), "x");
    EXPECT_FALSE(reread.GetString(kKey, "Missing").has_value());
}

TEST(SystemRegistry, KeysIgnoreCaseAndLaterSetsReplace) {
    TempFolder folder;
    plat::Registry registry(folder.Path().string());
    ASSERT_TRUE(registry.SetString(kKey, "RuntimeError", "first"));
    ASSERT_TRUE(registry.SetString("software\\maker\\product\\dure3v", "runtimeerror", "second"));
    EXPECT_EQ(registry.GetString(kKey, "RUNTIMEERROR"), "second");
    plat::Registry reread(folder.Path().string());
    EXPECT_EQ(reread.GetString(kKey, "RuntimeError"), "second");
    // One value, kept under its first spelling.
    std::string text = testsupport::ReadBytes(reread.FilePath());
    EXPECT_NE(text.find("key=\"SOFTWARE\\Maker\\Product\\Dure3V\""), std::string::npos);
    EXPECT_EQ(text.find("second"), text.rfind("second"));
}

TEST(SystemRegistry, DamagedFileReadsEmptyAndNextSetRepairsIt) {
    const std::string damaged[] = {
        "",
        "garbage \x00\xFF",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<registry>\n <value key=\"a\" name=\"b\">cut",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<registry>\n <value key=\"a\" "
        "name=\"b\">&#xZZ;</value>\n</registry>\n",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<registry>\n <value key=\"a\" "
        "name=\"b\">&bogus;</value>\n</registry>\n",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<registry>\n <value key=\"a\" "
        "name=\"b\">x</value>\n</registry>\ntrailing",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<registry>\n <value name=\"b\" key=\"a\">x</value>\n</registry>\n",
    };
    for (const std::string& bytes : damaged) {
        TempFolder folder;
        testsupport::WriteBytes(folder.Path() / "registry.xml", bytes);
        plat::Registry registry(folder.Path().string());
        EXPECT_FALSE(registry.GetString("a", "b").has_value()) << bytes;
        ASSERT_TRUE(registry.SetString(kKey, "RuntimeError", "after"));
        plat::Registry reread(folder.Path().string());
        EXPECT_EQ(reread.GetString(kKey, "RuntimeError"), "after") << bytes;
    }
}

TEST(SystemRegistry, MissingFolderIsCreatedAndUnwritableFolderFailsCleanly) {
    TempFolder folder;
    std::string nested = folder / "Maker/Product";
    plat::Registry registry(nested);
    ASSERT_TRUE(registry.SetString(kKey, "v", "1"));
    EXPECT_TRUE(std::filesystem::exists(nested + "/registry.xml"));

    // A folder that cannot exist: its parent is a file.
    testsupport::WriteBytes(folder.Path() / "plain", "x");
    plat::Registry refused(folder / "plain/sub");
    EXPECT_FALSE(refused.SetString(kKey, "v", "1"));
    // What was not written is not reported as stored.
    EXPECT_FALSE(refused.GetString(kKey, "v").has_value());
}

TEST(SystemRegistry, ConcurrentWritersFromTwoThreadsLoseNothing) {
    TempFolder folder;
    constexpr int kPerThread = 60;
    {
        plat::Registry registry(folder.Path().string());
        auto writer = [&](const std::string& prefix) {
            for (int i = 0; i < kPerThread; ++i)
                EXPECT_TRUE(registry.SetString(kKey, prefix + std::to_string(i), prefix + "=" + std::to_string(i * 7)));
        };
        std::thread a(writer, "main");
        std::thread b(writer, "loader");
        a.join();
        b.join();
    }
    plat::Registry reread(folder.Path().string());
    for (const char* prefix : {"main", "loader"})
        for (int i = 0; i < kPerThread; ++i)
            EXPECT_EQ(reread.GetString(kKey, prefix + std::to_string(i)),
                      std::string(prefix) + "=" + std::to_string(i * 7));
    // Nothing but the file itself is left behind by the atomic replacement.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

}  // namespace
