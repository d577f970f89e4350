// The command line: skipping the program name, splitting options, and the
// framework's own options; and the registry value path.

#include <gtest/gtest.h>

#include "app/settings/command_line.h"
#include "app/settings/registry_string.h"
#include "platform/system/registry.h"
#include "tests/platform/temp_folder.h"

namespace {

using Options = std::vector<std::pair<std::string, std::string>>;

Options Split(std::string_view text, bool screensaver = false) {
    Options out;
    SplitCommandLineOptions(text, screensaver,
                            [&](const std::string& n, const std::string& v) { out.emplace_back(n, v); });
    return out;
}

TEST(CommandLine, ProgramNameIsSkipped) {
    EXPECT_EQ(CommandLineArguments("\"C:\\Program Files\\game.exe\" -crash"), "-crash");
    EXPECT_EQ(CommandLineArguments("game.exe -a -b"), "-a -b");
    EXPECT_EQ(CommandLineArguments("game.exe"), "");
    EXPECT_EQ(CommandLineArguments("\"game x.exe\""), "");
    EXPECT_EQ(CommandLineArguments(JoinCommandLine({"/opt/my game/run", "-changedir=/a b"})), "\"-changedir=/a b\"");
}

TEST(CommandLine, OptionsSplitOnSpacesQuotesAndSeparators) {
    EXPECT_EQ(Split("-changedir=D:\\x"), (Options{{"-changedir", "D\\x"}}));
    EXPECT_EQ(Split("\"-changedir=C:\\My Games\" -crash"), (Options{{"-changedir", "C\\My Games"}, {"-crash", ""}}));
    EXPECT_EQ(Split("  -a   -b:1  "), (Options{{"-a", ""}, {"-b", "1"}}));
    EXPECT_EQ(Split("/p 4242"), (Options{{"/p", ""}, {"4242", ""}}));
    EXPECT_EQ(Split("/p 4242", true), (Options{{"/p", "4242"}}));
    EXPECT_EQ(Split("/P:4242 /s", true), (Options{{"/P", "4242"}, {"/s", ""}}));
    EXPECT_EQ(Split("\"unterminated value"), (Options{{"unterminated value", ""}}));
    EXPECT_TRUE(Split("").empty());
}

TEST(CommandLine, StandardOptions) {
    CommandLineState state;
    EXPECT_EQ(ApplyStandardCommandLineOption("-Crash", "", state), CommandLineOptionResult::kInvalid);
    EXPECT_EQ(ApplyStandardCommandLineOption("/p", "1", state), CommandLineOptionResult::kInvalid);
    EXPECT_EQ(ApplyStandardCommandLineOption("-crash", "", state), CommandLineOptionResult::kApplied);
    EXPECT_TRUE(state.crashRequested);
    ApplyStandardCommandLineOption("-changedir", "/games/x", state);
    EXPECT_TRUE(state.startFolderChanged);
    EXPECT_EQ(state.startFolder, "/games/x");

    ApplyStandardCommandLineOption("-screensaver", "", state);
    EXPECT_TRUE(state.screensaverMode);
    EXPECT_EQ(ApplyStandardCommandLineOption("/P", "4242", state), CommandLineOptionResult::kApplied);
    EXPECT_EQ(state.previewParent, 4242);
    EXPECT_EQ(ApplyStandardCommandLineOption("/s", "", state), CommandLineOptionResult::kIgnored);
    EXPECT_FALSE(state.configureRequested);
    ApplyStandardCommandLineOption("/c", "", state);
    EXPECT_TRUE(state.configureRequested);
}

TEST(RegistryString, ValuePathSplitsIntoKeyAndName) {
    auto check = [](std::string_view path, std::string key, std::string name) {
        RegistryValuePath split = SplitRegistryValuePath("Maker\\Game", path);
        EXPECT_EQ(split.key, key) << path;
        EXPECT_EQ(split.name, name) << path;
    };
    check("Dure3V\\RuntimeError", "SOFTWARE\\Maker\\Game\\Dure3V", "RuntimeError");
    check("Plain", "SOFTWARE\\Maker\\Game", "Plain");
    check("Sub\\Value\\", "SOFTWARE\\Maker\\Game\\Sub", "Value");

    testsupport::TempFolder dir;
    plat::Registry registry(dir.Path().string());
    EXPECT_FALSE(WriteRegistryString(registry, "", "Dure3V\\RuntimeError", "x"));
    ASSERT_TRUE(WriteRegistryString(registry, "Maker\\Game", "Dure3V\\RuntimeError", "boom"));
    EXPECT_EQ(registry.GetString("software\\maker\\game\\dure3v", "runtimeerror"), "boom");
}

}  // namespace
