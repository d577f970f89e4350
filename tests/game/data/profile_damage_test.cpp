// A profiles.xml damaged inside its values still reads, but what the reading
// dropped or changed is never lost: the file is kept aside before anything
// is saved over it, and the player is told where.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "foundation/system/text.h"
#include "game/data/progress/resource_range.h"
#include "tests/game/data/profile_test_support.h"

namespace {

using testsupport::ReadBytes;

class ProfileDamageTest : public testsupport::ProfileTest {
protected:
    // The text a save of one player, who has been to the bay and bought its wheel's lights, writes.
    std::wstring SavedText() {
        KivraProfileManager manager;
        manager.Load();
        manager.CreateProfile(L"Ann", -1, true);
        dynamic_cast<KIVRA_BUILDING_LEVEL_ITEM&>(*Wheel(manager)).upgrades[L"lights"] = true;
        EXPECT_TRUE(manager.Save());
        return text::FromUtf16LE(ReadBytes(ProfilesFile()).substr(2));
    }
    static int32_t Bay(const KivraProfileManager& manager, int32_t KIVRA_LEVEL::*field) {
        const KivraPlayerState* ann = manager.KivraPlayer(0);
        const KIVRA_LEVEL* bay = ann ? ann->FindParkLevel(L"bay") : nullptr;
        return bay ? bay->*field : -1;
    }
    static std::string Numbered(int n) { return n == 1 ? std::string() : std::to_string(n); }
    void RemoveCopies() const {
        for (int n = 1; n <= 1000; ++n) std::filesystem::remove(ProfilesFile() + ".bad" + Numbered(n));
    }
    static LEVEL_ITEM* Wheel(const KivraProfileManager& manager) {
        return manager.KivraPlayer(0)->FindParkLevel(L"bay")->items.At(0);
    }
    static size_t BayItems(const KivraProfileManager& manager) {
        const KIVRA_LEVEL* bay = manager.KivraPlayer(0)->FindParkLevel(L"bay");
        return bay ? bay->items.Size() : 0;
    }
};

TEST_F(ProfileDamageTest, WhatReadingDropsOrChangesIsKeptAsideAndToldBeforeAnySave) {
    const std::wstring saved = SavedText();
    struct Row {
        const char* damage;
        std::wstring from, to;
        std::function<void(const KivraProfileManager&)> check;
        bool fullSetOfCopies = false;  // profiles.xml.bad to .bad1000 taken, .bad500 the oldest
        std::function<void(const std::wstring& damaged, std::wstring saved)> afterSave = nullptr;
    };
    const std::vector<Row> rows = {
        {"a damaged type name", L"type=\"wheel\" col", L"type=\"whee1\" col", nullptr},
        {"a damaged col", L"col=\"1\"", L"col=\"l\"", nullptr},
        {"a challenge un-won", L"<challenge unlocked=\"true\"", L"<challenge unlocked=\"trie\"", nullptr},
        {"a damaged element name", L"<upgrade ", L"<upgradf ", nullptr},
        {"an item outside the grid", L"col=\"1\"", L"col=\"9\"", nullptr},
        {"a level written twice", L"</level>", L"</level>\n<level name=\"bay\" money=\"0\"></level>",
         [](const KivraProfileManager& m) {
             EXPECT_EQ(BayItems(m), 1u);  // the fuller first copy stays
             EXPECT_EQ(Bay(m, &KIVRA_LEVEL::money), 1000);
         }},
        {"a fifth profile", L"</profiles>", L"<profile name=\"Eve\"/></profiles>", nullptr},
        {"money out of range", L"money=\"1000\"", L"money=\"99999999999999\"",
         [](const KivraProfileManager& m) { EXPECT_EQ(Bay(m, &KIVRA_LEVEL::money), kMostResource); }},
        {"money that is no number", L"money=\"1000\"", L"money=\"lots\"", nullptr},
        {"hearts below the range", L"hearts=\"10\"", L"hearts=\"-2147483648\"",
         [](const KivraProfileManager& m) { EXPECT_EQ(Bay(m, &KIVRA_LEVEL::hearts), kLeastResource); }},
        {"a building whose '<' was lost, after the tile map", L"</tiles>",
         L"</tiles>\nxitem type=\"cart\" col=\"0\" row=\"1\" orientation=\"0\" action=\"\"/>",
         [](const KivraProfileManager& m) { EXPECT_EQ(Bay(m, &KIVRA_LEVEL::cols), 2); }},
        {"a building on another", L"<tiles>", L"<item type=\"cart\" col=\"1\" row=\"1\"/><tiles>",
         [](const KivraProfileManager& m) { EXPECT_EQ(BayItems(m), 2u); }},  // kept, to be left out
        {"a selection of no saved player", L"selected=\"0\"", L"selected=\"99\"",
         [](const KivraProfileManager& m) { EXPECT_EQ(m.Selected(), -1); }},
        {"a type the catalogue lost, beside a full set of copies", L"type=\"wheel\" col", L"type=\"whee1\" col",
         nullptr, true},
        {"a building of a lost type loses no upgrade, kept or back", L"type=\"wheel\" col", L"type=\"gone\" col",
         nullptr, false,
         [this](const std::wstring& damaged, std::wstring saved) {
             const size_t item = damaged.find(L"<item"), end = damaged.find(L"</item>", item);
             EXPECT_NE(saved.find(damaged.substr(item, end - item)), std::wstring::npos) << text::ToUtf8(saved);
             saved.replace(saved.find(L"\"gone\""), 6, L"\"wheel\"");  // the type comes back
             testsupport::WriteBytes(ProfilesFile(), "\xFF\xFE" + text::ToUtf16LE(saved));
             KivraProfileManager back;
             back.Load();
             const auto* wheel = dynamic_cast<const KIVRA_BUILDING_LEVEL_ITEM*>(Wheel(back));
             EXPECT_TRUE(wheel != nullptr && wheel->upgrades.at(L"lights"));
         }},
        {"a comment inside the tile map, rows dropped", L"@.\n", L"@.<!-- a note -->\n",
         [](const KivraProfileManager& m) { EXPECT_EQ(Bay(m, &KIVRA_LEVEL::rows), 2); }},
        {"an orientation out of range", L"orientation=\"0\"", L"orientation=\"99\"",
         [](const KivraProfileManager& m) { EXPECT_EQ(Wheel(m)->orientation, 3); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.damage);
        RemoveCopies();
        std::string copy = ProfilesFile() + ".bad";
        if (row.fullSetOfCopies) {
            for (int n = 1; n <= 1000; ++n) testsupport::WriteBytes(ProfilesFile() + ".bad" + Numbered(n), "old");
            copy += "500";
            std::filesystem::last_write_time(copy, std::filesystem::last_write_time(copy) - std::chrono::hours(1));
        }
        std::wstring damaged = saved;
        const size_t at = damaged.find(row.from);
        ASSERT_NE(at, std::wstring::npos);
        damaged.replace(at, row.from.size(), row.to);
        const std::string bytes = "\xFF\xFE" + text::ToUtf16LE(damaged);
        testsupport::WriteBytes(ProfilesFile(), bytes);

        KivraProfileManager manager;
        manager.Load();
        ASSERT_NE(manager.KivraPlayer(0), nullptr);  // the rest of the file stands
        EXPECT_TRUE(manager.MovedAsideTo().empty());
        EXPECT_TRUE(manager.Damage().Any());
        EXPECT_NE(manager.Damage().Places(), L"");
        EXPECT_EQ(manager.DamagedCopy(), copy);
        EXPECT_EQ(ReadBytes(copy), bytes);
        if (row.check) row.check(manager);
        ASSERT_TRUE(manager.Save());
        EXPECT_EQ(ReadBytes(copy), bytes);  // the copy outlives the save
        // What was told is not told again, nor copied: the save marked what it kept.
        KivraProfileManager next;
        next.Load();
        EXPECT_FALSE(next.Damage().Any()) << text::ToUtf8(next.Damage().Notes().front().what);
        EXPECT_TRUE(next.DamagedCopy().empty());
        if (row.afterSave) row.afterSave(damaged, text::FromUtf16LE(ReadBytes(ProfilesFile()).substr(2)));
    }
    RemoveCopies();

    // What a save writes reads back without a word, however far money went in play.
    testsupport::WriteBytes(ProfilesFile(), "\xFF\xFE" + text::ToUtf16LE(saved));
    KivraProfileManager manager;
    manager.Load();
    EXPECT_FALSE(manager.Damage().Any()) << text::ToUtf8(manager.Damage().Notes().front().what);
    EXPECT_TRUE(manager.DamagedCopy().empty());
    KivraPlayerState& ann = *manager.KivraPlayer(0);
    ann.SetCurrentLevel(L"bay");
    ann.ChangeResource(L"hearts", kMostResource, false, nullptr);
    ann.ChangeResource(L"hearts", 5, false, nullptr);
    ann.ChangeResource(L"money", -kMostResource, false, nullptr);
    ann.ChangeResource(L"money", -kMostResource, false, nullptr);
    EXPECT_EQ(Bay(manager, &KIVRA_LEVEL::hearts), kMostResource);
    EXPECT_EQ(Bay(manager, &KIVRA_LEVEL::money), kLeastResource);
    ASSERT_TRUE(manager.Save());
    KivraProfileManager again;
    again.Load();
    EXPECT_FALSE(again.Damage().Any());
    EXPECT_EQ(Bay(again, &KIVRA_LEVEL::money), kLeastResource);
}

// The copy could not be made: the damaged file is all there is of what was
// dropped, and no save replaces it.
TEST_F(ProfileDamageTest, NoSaveWritesOverADamagedFileWithoutItsCopy) {
    std::wstring damaged = SavedText();
    damaged.replace(damaged.find(L"col=\"1\""), 7, L"col=\"x\"");
    const std::string bytes = "\xFF\xFE" + text::ToUtf16LE(damaged);
    testsupport::WriteBytes(ProfilesFile(), bytes);
    std::filesystem::create_directory(ProfilesFile() + ".bad");  // every name taken
    for (int n = 2; n <= 1000; ++n) std::filesystem::create_directory(ProfilesFile() + ".bad" + std::to_string(n));
    KivraProfileManager manager;
    manager.Load();
    EXPECT_TRUE(manager.DamagedCopy().empty());
    EXPECT_FALSE(manager.Save());
    EXPECT_EQ(ReadBytes(ProfilesFile()), bytes);
    std::filesystem::remove(ProfilesFile() + ".bad700");
    EXPECT_TRUE(manager.Save());
    EXPECT_EQ(ReadBytes(ProfilesFile() + ".bad700"), bytes);
}

}  // namespace
