#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "app/player/basic_player_state.h"
#include "foundation/system/text.h"
#include "tests/game/data/profile_test_support.h"
#include "widgets/screens/board.h"

namespace {

using testsupport::ReadBytes;

// Records what the profiles ask of the application.
class RecordingProfileHost : public ProfileHost {
public:
    void SetCurrentProfileName(std::wstring_view name) override { names.emplace_back(name); }
    void SaveSettingsFile() override { ++settingsSaves; }

    std::vector<std::wstring> names;
    int settingsSaves = 0;

private:
    ScopedService<ProfileHost> installed_{this};
};

class Profiles : public testsupport::ProfileTest {
protected:
    std::wstring FileText() const {
        const std::string bytes = ReadBytes(ProfilesFile());
        EXPECT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
        return text::FromUtf16LE(bytes.substr(2));
    }
    void WriteProfiles(const std::wstring& body) { testsupport::WriteBytes(ProfilesFile(), text::ToUtf8(body)); }
    // A second manager reading what the first saved.
    std::unique_ptr<KivraProfileManager> Reload() {
        auto manager = std::make_unique<KivraProfileManager>();
        manager->Load();
        return manager;
    }

    RecordingProfileHost host_;
};

TEST_F(Profiles, NoProfileWritesTheMarkedDeclarationAndFourFreeSlots) {
    KivraProfileManager manager;
    manager.Load();
    ASSERT_TRUE(manager.Save());
    EXPECT_EQ(FileText(),
              L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<profiles selected=\"-1\">\n\n"
              L"\t<profile name=\"\"/>\n\n\t<profile name=\"\"/>\n\n\t<profile name=\"\"/>\n\n"
              L"\t<profile name=\"\"/>\n\n</profiles>\n");
    EXPECT_EQ(host_.settingsSaves, 1);  // settings.xml follows every save
}

TEST_F(Profiles, ANamedProfileCarriesItsPlayTimeTutorialStepLevelsAndASymbolLine) {
    KivraProfileManager manager;
    manager.Load();
    ASSERT_EQ(manager.CreateProfile(L"Ann", -1, true), 0);
    KivraPlayerState& ann = *manager.KivraPlayer(0);
    ann.started_ = true;
    ann.hours_ = 2;
    ann.minutes_ = 3;
    ann.centiseconds_ = -4;
    ann.tutorial_step = 7;
    std::wstring levels;
    ann.WriteLevels(levels, L"\t\t");
    const std::wstring start = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<profiles selected=\"0\">\n\n";
    const std::wstring profile =
        L"\t<profile name=\"Ann\" started=\"1\" hours=\"2\" minutes=\"3\" centiseconds=\"-4\""
        L" tutorial_step=\"7\">\n\n";
    const std::wstring free = L"\t<profile name=\"\"/>\n\n";
    EXPECT_EQ(manager.ProfilesText(),
              start + profile + levels + L"\t\t\n\n\t</profile>\n\n" + free + free + free + L"</profiles>\n");
    ann.symbols_[L"b"] = PropertyValue(true);
    ann.symbols_[L"a"] = PropertyValue(5);
    EXPECT_NE(manager.ProfilesText().find(
                  L"\t\t<symbol name=\"a\" value=\"5\"/><symbol name=\"b\" value=\"true\"/>\n\n\t</profile>"),
              std::wstring::npos);
    EXPECT_EQ(host_.names, (std::vector<std::wstring>{L"Ann"}));
}

// A name with quotes, ampersands and angle brackets made the file unreadable,
// and every profile was lost at the next start.
TEST_F(Profiles, SavedProgressComesBackWhateverTheNamesHold) {
    {
        KivraProfileManager manager;
        manager.Load();
        manager.CreateProfile(L"Tom \"T\" & Co", -1, false);
        manager.CreateProfile(L"<b>x</b> 'y'", -1, true);
        KivraPlayerState& player = *manager.KivraPlayer(1);
        player.hours_ = 12;
        player.tutorial_step = -1;
        player.SetCurrentLevel(L"bay");
        player.ChangeResource(L"money", 300, false, nullptr);  // wins bronze
        RESEARCH_OPTION bought;
        ASSERT_TRUE(player.PurchaseResearch(L"r1", bought));
        ASSERT_TRUE(manager.Save());
    }
    std::unique_ptr<KivraProfileManager> reloaded = Reload();
    EXPECT_EQ(reloaded->GetProfileName(0), L"Tom \"T\" & Co");
    EXPECT_EQ(reloaded->GetProfileName(1), L"<b>x</b> 'y'");
    EXPECT_EQ(reloaded->Selected(), 1);
    KivraPlayerState& player = *reloaded->KivraPlayer(1);
    EXPECT_EQ(BasicPlayerState::Current(), &player);
    EXPECT_EQ(player.hours_, 12);
    EXPECT_EQ(player.tutorial_step, -1);
    const KIVRA_LEVEL& bay = *player.FindParkLevel(L"bay");
    EXPECT_EQ(bay.money, 1000 + 300 + 50 - 100);
    EXPECT_EQ(bay.ticketprice, bay.ticketprice_base);
    EXPECT_TRUE(bay.goals_tracker.FindChallenge(L"funbooks_bronze")->completed);
    EXPECT_EQ(bay.bought_research.size(), 1u);
    // The first player's park is untouched by the second's.
    EXPECT_EQ(reloaded->KivraPlayer(0)->FindParkLevel(L"bay")->money, 1000);
    std::wstring before = FileText();
    ASSERT_TRUE(reloaded->Save());
    EXPECT_EQ(FileText(), before);
}

// Texts were written raw and evaluated when read; reals were written with
// "%g", whose exponent the expression language cannot read.
TEST_F(Profiles, EverySymbolReadsBackAsTheValueItWas) {
    const std::vector<PropertyValue> values = {PropertyValue(true),
                                               PropertyValue(false),
                                               PropertyValue(0),
                                               PropertyValue(-17),
                                               PropertyValue::FromInt(INT32_MIN),
                                               PropertyValue::FromInt(INT32_MAX),
                                               PropertyValue(0.1f),
                                               PropertyValue(1e6f),
                                               PropertyValue(-2.5f),
                                               PropertyValue(-0.0f),
                                               PropertyValue(3.0f),
                                               PropertyValue(1.17549435e-38f),
                                               PropertyValue(1.4e-45f),
                                               PropertyValue(3.40282347e38f),
                                               PropertyValue(std::numeric_limits<float>::infinity()),
                                               PropertyValue(-std::numeric_limits<float>::infinity()),
                                               PropertyValue(L"word"),
                                               PropertyValue(L""),
                                               PropertyValue(L"true"),
                                               PropertyValue(L"42"),
                                               PropertyValue(L"1.5"),
                                               PropertyValue(L" padded "),
                                               PropertyValue(L"two words"),
                                               PropertyValue(L"a+b"),
                                               PropertyValue(L"f(x)"),
                                               PropertyValue(L"(("),
                                               PropertyValue(L"))"),
                                               PropertyValue(L":-) and (-:"),
                                               PropertyValue(L")a(b)c("),
                                               PropertyValue(L"literal(x)"),
                                               PropertyValue(L"\"q\" & <t>\n\ttab"),
                                               PropertyValue(L"Gr\u00fc\u00dfe \u6f22\u5b57 \U0001F600"),
                                               PropertyValue(Color::FromRGBA(1, 2, 3, 4))};
    {
        KivraProfileManager manager;
        manager.Load();
        manager.CreateProfile(L"S", 0, true);
        for (size_t i = 0; i < values.size(); ++i) manager.Player(0)->symbols_[std::to_wstring(1000 + i)] = values[i];
        ASSERT_TRUE(manager.Save());
    }
    std::unique_ptr<KivraProfileManager> reloaded = Reload();
    const VariableMap& symbols = reloaded->Player(0)->symbols_;
    ASSERT_EQ(symbols.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const PropertyValue& read = symbols.at(std::to_wstring(1000 + i));
        SCOPED_TRACE(text::ToUtf8(SymbolValueText(values[i])));
        EXPECT_EQ(read.GetTag(), values[i].GetTag());
        if (values[i].Is(PropertyValue::Tag::Real)) {
            const float a = read.ToReal(), b = values[i].ToReal();
            EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
        } else {
            EXPECT_EQ(read.ToString(), values[i].ToString());
        }
    }
    EXPECT_EQ(SymbolValueText(PropertyValue(1e6f)), L"1000000.0");
    EXPECT_EQ(SymbolValueText(PropertyValue(0.1f)), L"0.1");
    EXPECT_EQ(SymbolValueText(PropertyValue(L"word")), L"word");  // plain words stay as they were written
    EXPECT_EQ(SymbolValueText(PropertyValue(L"a)b")), L"literal(a)+substring(literal(()),1)+literal(b)");
}

// The player's hand: new profiles fill the free slots, the fifth is refused,
// choosing renames, deleting the selected one leaves no selection, and a
// reset starts the same name over.
TEST_F(Profiles, SlotOperationsAsAPlayerPerformsThem) {
    KivraProfileManager manager;
    manager.Load();
    EXPECT_EQ(manager.CreateProfile(L"Ann", -1, true), 0);
    EXPECT_EQ(manager.CreateProfile(L"Bob", -1, true), 1);
    EXPECT_EQ(BasicPlayerState::Current(), manager.Player(1));
    EXPECT_EQ(manager.CreateProfile(L"Cy", 3, false), 3);
    EXPECT_EQ(manager.Selected(), 1);
    EXPECT_EQ(manager.CreateProfile(L"Di", -1, true), 2);
    EXPECT_EQ(manager.CreateProfile(L"Ed", -1, true), -1);  // every slot taken
    EXPECT_EQ(manager.CreateProfile(L"Ed", 4, true), -1);
    EXPECT_EQ(manager.CreateProfile(L"", 0, true), -1);
    EXPECT_EQ(manager.Selected(), 2);
    for (int32_t slot = 0; slot < 4; ++slot) EXPECT_NE(manager.Player(slot), nullptr);

    manager.ChooseProfile(L"Bobby", 1);
    EXPECT_EQ(manager.GetProfileName(1), L"Bobby");
    EXPECT_EQ(manager.Selected(), 1);
    EXPECT_EQ(host_.names.back(), L"Bobby");

    // Creating over the current player frees it; the slot's new player takes its place.
    manager.KivraPlayer(1)->hours_ = 9;
    EXPECT_EQ(manager.CreateProfile(L"Bea", 1, false), 1);
    EXPECT_EQ(manager.Player(1)->hours_, 0);
    EXPECT_EQ(BasicPlayerState::Current(), manager.Player(1));

    manager.KivraPlayer(1)->hours_ = 5;
    manager.ResetProfile(1);
    EXPECT_EQ(manager.GetProfileName(1), L"Bea");
    EXPECT_EQ(manager.Player(1)->hours_, 0);
    EXPECT_EQ(manager.Selected(), 1);

    std::filesystem::create_directories(folder_.Path() / "1" / "parks");
    manager.DeleteProfile(1);
    EXPECT_EQ(manager.Selected(), -1);
    EXPECT_EQ(manager.Player(1), nullptr);
    EXPECT_EQ(BasicPlayerState::Current(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "1"));
    ASSERT_TRUE(manager.Save());
    EXPECT_NE(FileText().find(L"<profiles selected=\"-1\">\n\n\t<profile name=\"Ann\""), std::wstring::npos);
    EXPECT_EQ(manager.CreateProfile(L"Flo", -1, false), 1);  // the freed slot is the first free one
}

// Levels read for one profile leaked into the next and into free slots, and
// a level added to the game after the save was missing from it.
TEST_F(Profiles, EachProfileGetsItsOwnLevelsAndEveryLevelOfTheGame) {
    WriteProfiles(
        LR"(<?xml version="1.0" encoding="utf-8"?>
<profiles selected="2">
  <profile name="A" hours="3" tutorial_step="4">
    <level name="bay" money="7"><tiles>..</tiles></level>
    <level name="gone" money="8"><tiles>..</tiles></level>
    <symbol name="s" value="1+2"/>
  </profile>
  <profile name=""><level name="bay" money="9"><tiles>..</tiles></level></profile>
  <profile name="B"/>
  <profile name=""/>
</profiles>)");
    KivraProfileManager manager;
    manager.Load();
    KivraPlayerState& a = *manager.KivraPlayer(0);
    EXPECT_EQ(a.hours_, 3);
    EXPECT_EQ(a.tutorial_step, 4);
    EXPECT_EQ(a.symbols_.at(L"s").ToInt(), 3);
    EXPECT_EQ(a.FindParkLevel(L"bay")->money, 7);
    EXPECT_NE(a.FindParkLevel(L"gone"), nullptr);  // a saved park is never dropped
    EXPECT_EQ(a.FindParkLevel(L"cove")->money, 500);
    EXPECT_EQ(manager.Player(1), nullptr);  // a free slot holds no player
    KivraPlayerState& b = *manager.KivraPlayer(2);
    EXPECT_EQ(b.FindParkLevel(L"bay")->money, 1000);
    EXPECT_EQ(b.FindParkLevel(L"gone"), nullptr);
    EXPECT_EQ(manager.Selected(), 2);
    EXPECT_EQ(BasicPlayerState::Current(), &b);
    EXPECT_EQ(ProfileManager::Current(), &manager);
}

// Extra profile elements and a selection outside the slots wrote past the
// four slots.
TEST_F(Profiles, ExtraProfilesAndAStraySelectionStayInsideTheFourSlots) {
    for (const wchar_t* selected : {L"7", L"-2", L"1"}) {
        std::wstring file = L"<profiles selected=\"" + std::wstring(selected) + L"\">";
        for (int i = 0; i < 6; ++i) file += L"<profile name=\"P" + std::to_wstring(i) + L"\"/>";
        WriteProfiles(file.replace(file.find(L"P1"), 2, L"") + L"</profiles>");
        KivraProfileManager manager;
        manager.Load();
        EXPECT_EQ(manager.Selected(), -1) << text::ToUtf8(selected);  // slot 1 is free
        EXPECT_EQ(manager.GetProfileName(3), L"P3");
        EXPECT_EQ(manager.Player(1), nullptr);
        ASSERT_TRUE(manager.Save());
        EXPECT_EQ(FileText().find(L"P4"), std::wstring::npos);
    }
}

TEST_F(Profiles, PlayTimeOutsideItsRangeIsTakenAtTheNearestEndWhenRead) {
    struct Case {
        const wchar_t* attributes;
        int hours, minutes, centiseconds;
    };
    for (const Case& c : {Case{L"hours=\"2147483647\" minutes=\"2147483647\" centiseconds=\"2147483647\"",
                               KivraPlayerState::kMaxHours, 59, 5999},
                          Case{L"hours=\"-2147483648\" minutes=\"-1\" centiseconds=\"-4\"", 0, 0, 0},
                          Case{L"hours=\"7\" minutes=\"59\" centiseconds=\"5999\"", 7, 59, 5999}}) {
        WriteProfiles(L"<profiles selected=\"0\"><profile name=\"Ann\" " + std::wstring(c.attributes) +
                      L"/></profiles>");
        KivraProfileManager manager;
        manager.Load();
        const PlayerState* ann = manager.Player(0);
        ASSERT_NE(ann, nullptr);
        EXPECT_EQ(ann->hours_, c.hours) << text::ToUtf8(c.attributes);
        EXPECT_EQ(ann->minutes_, c.minutes) << text::ToUtf8(c.attributes);
        EXPECT_EQ(ann->centiseconds_, c.centiseconds) << text::ToUtf8(c.attributes);
        // A whole minute of updates on top of the largest: no overflow, and the time moves on.
        PlayTime time{ann->hours_, ann->minutes_, ann->centiseconds_};
        for (int tick = 0; tick < KivraPlayerState::kCentisecondsPerMinute * 61; ++tick) AdvancePlayTime(time);
        EXPECT_GT(time.hours, ann->hours_);
    }
}

// A malformed file stopped the program for good; now it is moved aside
// (never over an earlier one) and the game starts with free slots.
TEST_F(Profiles, AnUnreadableFileIsMovedAsideAndNeverOverwritten) {
    const std::vector<std::string> damaged = {
        "<profiles selected=\"0\"><profile name=\"A\" hours=\"1\"><level name=\"bay\">",  // cut short
        "<profiles><profile name=\"A\"></profiles>",                                      // bad nesting
        std::string("\xFF\xFE<\x00\x00\xD8", 6),                                          // a lone surrogate
        "<settings version=\"3\"/>",                                                      // no profiles in it
    };
    for (size_t i = 0; i < damaged.size(); ++i) {
        testsupport::WriteBytes(ProfilesFile(), damaged[i]);
        KivraProfileManager manager;
        manager.Load();
        for (int32_t slot = 0; slot < 4; ++slot) EXPECT_EQ(manager.Player(slot), nullptr);
        EXPECT_EQ(manager.Selected(), -1);
        const std::string aside = ProfilesFile() + ".bad" + (i == 0 ? "" : std::to_string(i + 1));
        EXPECT_EQ(manager.MovedAsideTo(), aside);
        EXPECT_EQ(ReadBytes(aside), damaged[i]);
        EXPECT_FALSE(std::filesystem::exists(ProfilesFile()));
        manager.CreateProfile(L"New", -1, true);
        ASSERT_TRUE(manager.Save());
    }
    EXPECT_TRUE(Errors().empty());  // no fatal box
    EXPECT_EQ(ReadBytes(ProfilesFile() + ".bad"), damaged[0]);
}

// A save cut short by a crash leaves its temporary file; the next start
// clears it away and touches nothing else.
TEST_F(Profiles, TheNextStartClearsWhatAnInterruptedSaveLeft) {
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string left = "profiles.xml.tmp" + std::to_string(dead) + "_4";
    const std::vector<std::string> kept = {"profiles.xml.tmpx", "profiles.xml.bad",
                                           "other.xml.tmp" + std::to_string(dead) + "_1"};
    testsupport::WriteBytes(folder_.Path() / left, "partial");
    for (const std::string& name : kept) testsupport::WriteBytes(folder_.Path() / name, "partial");
    KivraProfileManager manager;
    manager.Load();
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / left));
    for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(folder_.Path() / name)) << name;
}

}  // namespace
