#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "game/data/catalogues/game_stats.h"
#include "tests/game/data/catalogue_test_support.h"

namespace {

struct Placed : ComboBuilding {
    Placed(std::wstring t, std::wstring c, uint32_t bits = 0) : type(std::move(t)), category(std::move(c)), set(bits) {}
    const std::wstring& TypeName() const override { return type; }
    const std::wstring& Category() const override { return category; }
    const KivraCharacteristics& Characteristics() const override { return set; }
    std::wstring type, category;
    KivraCharacteristics set;
};

bool Matches(const KivraComboStats& combo, const std::vector<Placed>& placed,
             const std::set<std::wstring>& names = {}) {
    std::vector<const ComboBuilding*> group;
    for (const Placed& p : placed) group.push_back(&p);
    return combo.MatchesBuildings(group, names);
}

constexpr uint32_t kNoisyBright = KivraCharacteristics::kNoisy | KivraCharacteristics::kBright;

class Combos : public CatalogueTest {
protected:
    void SetUp() override {
        WriteProperty("game.xml", R"(<anything>
            <building type="stray"/>
            <combo name="trio" appeal_offset="1.75" money_offset="-40">
                <building type="a"/><building type="b"/><building type="a"/><note type="ignored"/>
            </combo>
            <combo name="switched">
                <building type="x"/><building category="snack"/><building category="store"/>
            </combo>
            <combo name="glow">
                <building characteristic="noisy"/><building characteristic="bright"/>
            </combo>
            <combo name="one_type"><building type="a"/></combo>
            <combo name="one_category"><building category="ride"/></combo>
            <combo name="empty"><building/></combo>
            <combo name="trio" money_offset="1"/>
        </anything>)");
        stats_.Load();
    }
    KivraComboStats& Combo(std::wstring_view name) {
        KivraComboStats* combo = stats_.FindCombo(name);
        EXPECT_NE(combo, nullptr) << text::ToUtf8(name);
        return *combo;
    }
    static std::wstring Text(KivraComboStats& combo, std::wstring_view property) {
        return combo.GetProperty(property).ToString();
    }

    GameStats stats_;
};

TEST_F(Combos, GameFileGivesCombosInOrderWithTheirRequirements) {
    EXPECT_EQ(GameStats::Current(), &stats_);
    ASSERT_EQ(stats_.Combos().size(), 7u);
    KivraComboStats& trio = Combo(L"trio");
    EXPECT_EQ(&trio, stats_.Combos().front().get());  // the first of that name
    EXPECT_FLOAT_EQ(trio.appeal_offset, 1.75f);
    EXPECT_EQ(trio.money_offset, -40);
    EXPECT_EQ(trio.RequirementKind(), KivraComboStats::kTypes);
    EXPECT_EQ(*trio.RequirementList(), (std::vector<std::wstring>{L"a", L"b", L"a"}));

    // Switching from types to categories drops the entries before the switch.
    KivraComboStats& switched = Combo(L"switched");
    EXPECT_EQ(switched.RequirementKind(), KivraComboStats::kCategories);
    EXPECT_EQ(*switched.RequirementList(), (std::vector<std::wstring>{L"snack", L"store"}));

    KivraComboStats& glow = Combo(L"glow");
    EXPECT_EQ(glow.RequirementKind(), KivraComboStats::kCharacteristic);
    EXPECT_EQ(glow.RequiredCharacteristics()->GetBits(), kNoisyBright);

    KivraComboStats& empty = Combo(L"empty");
    EXPECT_EQ(empty.RequirementKind(), KivraComboStats::kTypes);
    EXPECT_EQ(empty.RequirementList(), nullptr);
    EXPECT_EQ(stats_.FindCombo(L"Trio"), nullptr);
    EXPECT_TRUE(Errors().empty());
}

TEST_F(Combos, DestroyedCatalogueIsNoLongerCurrent) {
    {
        GameStats gone;
        gone.Load();
        EXPECT_EQ(GameStats::Current(), &gone);
    }
    EXPECT_EQ(GameStats::Current(), nullptr);
}

TEST_F(Combos, TypeListIsConsumedOnePerBuilding) {
    KivraComboStats& trio = Combo(L"trio");
    EXPECT_TRUE(Matches(trio, {{L"a", L"ride"}, {L"a", L"ride"}, {L"b", L"ride"}}));
    // One a left over: a failure only when the caller names it.
    EXPECT_TRUE(Matches(trio, {{L"b", L"ride"}, {L"a", L"ride"}}, {L"b", L"c"}));
    EXPECT_FALSE(Matches(trio, {{L"b", L"ride"}, {L"a", L"ride"}}, {L"a"}));
    EXPECT_FALSE(Matches(trio, {{L"a", L"ride"}, {L"c", L"ride"}}));
    EXPECT_FALSE(Matches(trio, {{L"a", L"x"}, {L"a", L"x"}, {L"a", L"x"}}));
}

TEST_F(Combos, MatchingLeavesTheDefinitionAndItsTextsUnchanged) {
    KivraComboStats& trio = Combo(L"trio");
    const std::vector<std::wstring> before = *trio.RequirementList();
    EXPECT_TRUE(Matches(trio, {{L"b", L"ride"}, {L"a", L"ride"}}));
    EXPECT_EQ(*trio.RequirementList(), before);
    EXPECT_EQ(Text(trio, L"building_1"), L"a");
    EXPECT_EQ(Text(trio, L"building_2"), L"b");
}

TEST_F(Combos, SingleEntriesAndCharacteristicsFollowTheirOwnRules) {
    KivraComboStats& oneType = Combo(L"one_type");
    EXPECT_TRUE(Matches(oneType, {{L"a", L"ride"}, {L"a", L"snack"}}));
    EXPECT_FALSE(Matches(oneType, {{L"a", L"ride"}, {L"b", L"ride"}}));

    // One category: every building of it, and no type twice.
    KivraComboStats& oneCategory = Combo(L"one_category");
    EXPECT_TRUE(Matches(oneCategory, {{L"a", L"ride"}, {L"b", L"ride"}}));
    EXPECT_FALSE(Matches(oneCategory, {{L"a", L"ride"}, {L"a", L"ride"}}));
    EXPECT_FALSE(Matches(oneCategory, {{L"a", L"ride"}, {L"b", L"store"}}));

    KivraComboStats& glow = Combo(L"glow");
    EXPECT_TRUE(Matches(glow, {{L"a", L"ride", kNoisyBright}, {L"b", L"store", 15}}));
    EXPECT_FALSE(Matches(glow, {{L"a", L"ride", kNoisyBright}, {L"a", L"ride", kNoisyBright}}));
    EXPECT_FALSE(Matches(glow, {{L"a", L"ride", kNoisyBright}, {L"b", L"ride", 1}}));

    EXPECT_FALSE(Matches(Combo(L"empty"), {{L"a", L"ride"}}));
}

TEST_F(Combos, EqualityComparesKindAndPayload) {
    KivraComboStats left, right;
    EXPECT_TRUE(left.Equals(right));  // neither has a payload
    left.AddType(L"a");
    EXPECT_TRUE(left.NotEquals(right));
    right.AddType(L"a");
    EXPECT_TRUE(left.Equals(right));
    right.AddType(L"b");
    EXPECT_FALSE(left.Equals(right));
    left.AddType(L"b");
    right.ClearRequirement();
    right.AddCategory(L"a");
    right.AddCategory(L"b");
    EXPECT_FALSE(left.Equals(right));  // same texts, other kind

    KivraComboStats noisyBright, brightNoisy;
    noisyBright.SetCharacteristic(L"noisy");
    noisyBright.SetCharacteristic(L"bright");
    brightNoisy.SetCharacteristic(L"bright");
    brightNoisy.SetCharacteristic(L"noisy");
    EXPECT_TRUE(noisyBright.Equals(brightNoisy));
    brightNoisy.SetCharacteristic(L"dark");
    EXPECT_FALSE(noisyBright.Equals(brightNoisy));
    EXPECT_TRUE(noisyBright.Equals(noisyBright));
}

TEST_F(Combos, ScriptTextsNameTheRequirement) {
    KivraComboStats& trio = Combo(L"trio");
    EXPECT_EQ(Text(trio, L"name"), L"trio");
    EXPECT_EQ(Text(trio, L"building_0"), L"a");
    EXPECT_EQ(Text(trio, L"building_3"), L"a");
    EXPECT_EQ(Text(trio, L"building_4"), L"");
    EXPECT_EQ(Text(Combo(L"switched"), L"building_2"), L"any_store");
    EXPECT_EQ(Text(Combo(L"glow"), L"building_1"), L"any_noisy, bright");
    EXPECT_EQ(Text(Combo(L"empty"), L"building_1"), L"");
    for (const wchar_t* other : {L"building_", L"building_x", L"buildings", L"appeal_offset"}) {
        const PropertyValue value = trio.GetProperty(other);
        EXPECT_TRUE(value.Is(PropertyValue::Tag::Bool) && !value.ToBool()) << text::ToUtf8(other);
    }
}

}  // namespace
