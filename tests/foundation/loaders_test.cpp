#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/expression/constants.h"
#include "foundation/expression/constants_map.h"
#include "foundation/expression/expression.h"
#include "foundation/expression/localization.h"
#include "foundation/expression/localization_map.h"
#include "foundation/files/config_stats.h"
#include "foundation/files/pak_interface.h"
#include "foundation/files/pak_writer.h"
#include "foundation/files/parser.h"
#include "foundation/system/app_services.h"
#include "foundation/system/utilities.h"
#include "tests/support/recording_services.h"

namespace {

namespace fs = std::filesystem;

// Records fatal errors and keeps the application fields the loaders write.
class RecordingServices : public testsupport::ErrorBoxRecorder {
public:
    int GetStoredDataVersion() override { return version; }
    void SetStoredDataVersion(int v) override { version = v; }
    void SetAppTitle(std::wstring_view t) override { title = t; }

    std::vector<std::wstring>& errors = boxes;
    int version = 0;
    std::wstring title;
};

// Runs each test in a fresh folder that holds properties/ and a data folder.
class Loaders : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("halvaro_loaders_" + std::to_string(::getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(root_ / "properties");
        previous_ = fs::current_path();
        fs::current_path(root_);
        ConstantsMap().clear();
        LocalizationMap().clear();
        CursorHotspots().clear();
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(root_);
    }
    void WriteProperty(const std::string& name, const std::string& bytes) {
        std::ofstream(root_ / "properties" / name, std::ios::binary) << bytes;
    }

    RecordingServices services_;
    fs::path root_, previous_;
};

TEST_F(Loaders, ConstantsEvaluateInNameOrder) {
    WriteProperty("constants.xml",
                  "<constants><define a=\"1\"/><define b=\"a + 1\"/><define z=\"1\" y=\"z + 1\"/>"
                  "<define real=\"2.9\" text=\"literal(12)\"/></constants>");
    Constants constants;
    EXPECT_EQ(GetConstant(L"b").GetTag(), PropertyValue::Tag::Int);
    EXPECT_EQ(GetConstantInt(L"b"), 2);
    // y sorts before z, so z is still undefined and reads as its own text.
    EXPECT_EQ(GetConstant(L"y").ToString(), L"z1");
    EXPECT_EQ(GetConstantInt(L"real"), 2);
    EXPECT_EQ(GetConstantInt(L"text"), 12);
    EXPECT_EQ(GetConstantInt(L"never"), 0);
    EXPECT_TRUE(ConstantsMap().count(L"never"));
    // Expressions anywhere can read them.
    VariableMap vars;
    ExpressionEvaluator eval(vars);
    EXPECT_EQ(eval.Evaluate(L"constant(b) * 10").ToInt(), 20);
    EXPECT_TRUE(services_.errors.empty());
}

TEST_F(Loaders, ConstantsReloadKeepsOtherEntries) {
    WriteProperty("constants.xml", "<c><define a=\"1\"/></c>");
    { Constants first; }
    ConstantsMap()[L"kept"] = PropertyValue(5);
    WriteProperty("constants.xml", "<c><define a=\"7\"/></c>");
    { Constants again; }
    EXPECT_EQ(GetConstantInt(L"a"), 7);
    EXPECT_EQ(GetConstantInt(L"kept"), 5);
}

TEST_F(Loaders, BrokenFileReportsLineAndFileAndKeepsWhatWasRead) {
    WriteProperty("constants.xml", "<c>\n<define a=\"1\"/>\n</x>");
    Constants constants;
    EXPECT_EQ(GetConstantInt(L"a"), 1);
    ASSERT_EQ(services_.errors.size(), 1u);
    EXPECT_EQ(services_.errors[0], L"End 'x' Doesn't Match Start 'c' on Line 3 in File 'properties/constants.xml'");
}

TEST_F(Loaders, TruncatedFileIsReportedNotSilentlyComplete) {
    WriteProperty("constants.xml", "<c><define a=\"1\"/>");
    Constants constants;
    EXPECT_EQ(GetConstantInt(L"a"), 1);
    ASSERT_EQ(services_.errors.size(), 1u);
    EXPECT_EQ(services_.errors[0], L"Unexpected End of File on Line 1 in File 'properties/constants.xml'");
}

TEST_F(Loaders, MissingConstantsFileChangesNothingSilently) {
    ConstantsMap()[L"x"] = PropertyValue(3);
    Constants constants;
    EXPECT_EQ(GetConstantInt(L"x"), 3);
    EXPECT_TRUE(services_.errors.empty());
}

// A loader that refuses "bad" elements with an error of its own.
struct RefusingLoader : Parser {
    void ElementStart(const std::wstring& name) override {
        if (name == L"bad") errorText_ = L"Bad Element";
    }
};

TEST_F(Loaders, LoaderErrorIsNotReportedAgainForTheNextGoodFile) {
    WriteProperty("first.xml", "<r><bad/></r>");
    WriteProperty("second.xml", "<r><good/></r>");
    RefusingLoader loader;
    loader.LoadPropertiesXml("first.xml");
    loader.LoadPropertiesXml("second.xml");
    ASSERT_EQ(services_.errors.size(), 1u);
    EXPECT_EQ(services_.errors[0], L"Bad Element on Line 1 in File 'properties/first.xml'");
}

TEST_F(Loaders, LocalizationKeys) {
    WriteProperty("strings.xml",
                  "<strings><id tag=\"hello\" value=\"Hi[br]there\"/>"
                  "<pair tag=\"quit\" title=\"Quit\" text=\"Really quit?\"/>"
                  "<greeting>Welcome</greeting><id tag=\"upper\" value=\"a[BR]b\"/><pair/></strings>");
    Localization loader;
    loader.LoadPropertiesXml("strings.xml");
    EXPECT_EQ(LocalizationMap()[L"hello"], L"Hi\nthere");
    EXPECT_EQ(LocalizationMap()[L"quit_title"], L"Quit");
    EXPECT_EQ(LocalizationMap()[L"quit_text"], L"Really quit?");
    EXPECT_EQ(LocalizationMap()[L"greeting"], L"Welcome");
    EXPECT_EQ(LocalizationMap()[L"upper"], L"a[BR]b");
    EXPECT_TRUE(LocalizationMap().count(L"_title"));
    VariableMap vars;
    ExpressionEvaluator eval(vars);
    EXPECT_EQ(eval.Evaluate(L"localize(hello)").ToString(), L"Hi\nthere");
    EXPECT_EQ(eval.Evaluate(L"localize(nowhere)").ToString(), L"");
}

TEST_F(Loaders, ConstantsAreReadFromThePackWhenNoLooseFileExists) {
    fs::create_directories(root_ / "packsrc" / "properties");
    std::ofstream(root_ / "packsrc" / "properties" / "constants.xml", std::ios::binary)
        << "\xEF\xBB\xBF<c><define packed=\"5\"/></c>";
    ASSERT_TRUE(BuildPack((root_ / "packsrc").string(), (root_ / "main.pak").string()).ok);
    PakInterface pak;
    pak.Mount("main.pak");
    { Constants fromPack; }
    EXPECT_EQ(GetConstantInt(L"packed"), 5);
    // A loose file of the same name wins over the packed one.
    WriteProperty("constants.xml", "<c><define packed=\"6\"/></c>");
    { Constants loose; }
    EXPECT_EQ(GetConstantInt(L"packed"), 6);
    EXPECT_TRUE(services_.errors.empty());
}

TEST(StringReplaceAllTest, ReplacementIsNotSearchedAgain) {
    EXPECT_EQ(StringReplaceAll(L"a[br]b[br]", L"[br]", L"\n"), L"a\nb\n");
    EXPECT_EQ(StringReplaceAll(L"aaa", L"a", L"aa"), L"aaaaaa");
    EXPECT_EQ(StringReplaceAll(L"abc", L"", L"x"), L"abc");
}

class ConfigVersions : public Loaders {
protected:
    void SetUp() override {
        Loaders::SetUp();
        data_ = root_ / "appdata";
        fs::create_directories(data_);
        std::ofstream(data_ / "profiles.xml") << "<profiles/>";
        SetAppDataFolder(data_.string() + "/");
    }
    void TearDown() override {
        SetAppDataFolder("");
        Loaders::TearDown();
    }
    fs::path data_;
};

TEST_F(ConfigVersions, EqualVersionLeavesTheDataFolder) {
    services_.version = 3;
    WriteProperty("config.xml", "<config version=\"3\"/>");
    LoadConfigXml();
    EXPECT_TRUE(fs::exists(data_ / "profiles.xml"));
    EXPECT_EQ(services_.version, 3);
}

TEST_F(ConfigVersions, KnownDifferentVersionEmptiesTheDataFolder) {
    services_.version = 2;
    WriteProperty("config.xml", "<config version=\"3\"/>");
    LoadConfigXml();
    EXPECT_FALSE(fs::exists(data_ / "profiles.xml"));
    EXPECT_EQ(services_.version, 3);
}

TEST_F(ConfigVersions, MissingSettingsAdoptTheVersionWithoutDeletingProfiles) {
    services_.version = 0;  // settings.xml was missing or unreadable
    WriteProperty("config.xml", "<config version=\"3\"/>");
    LoadConfigXml();
    EXPECT_TRUE(fs::exists(data_ / "profiles.xml"));
    EXPECT_EQ(services_.version, 3);
}

TEST_F(ConfigVersions, TitleCursorsAndNoVersion) {
    services_.version = 2;
    WriteProperty("config.xml",
                  "<config><title name=\"Halvaro\"/><cursor name=\"hand\" x=\"1\" y=\"2\"/>"
                  "<cursor name=\"hand\" x=\"5\" y=\"6\"/></config>");
    LoadConfigXml();
    EXPECT_EQ(services_.title, L"Halvaro");
    EXPECT_EQ(CursorHotspots()[L"hand"].x, 5);
    EXPECT_EQ(CursorHotspots()[L"hand"].y, 6);
    EXPECT_EQ(services_.version, 2);
    EXPECT_TRUE(fs::exists(data_ / "profiles.xml"));
}

}  // namespace
