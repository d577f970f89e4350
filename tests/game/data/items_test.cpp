#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "game/data/catalogues/item_stats.h"
#include "tests/game/data/catalogue_test_support.h"

namespace {

class Items : public CatalogueTest {
protected:
    void Load(const std::string& body) {
        WriteProperty("items.xml", "<items>" + body + "</items>");
        stats_.Load();
    }
    template <class T = ITEM_TYPE>
    T& Type(std::wstring_view name) {
        T* record = dynamic_cast<T*>(FindRecordByName(&stats_, name));
        EXPECT_NE(record, nullptr) << text::ToUtf8(name);
        return *record;
    }
    KIVRA_BUILDING_TYPE& Building(std::wstring_view name) { return Type<KIVRA_BUILDING_TYPE>(name); }
    KIVRA_PERSON_TYPE& Person(std::wstring_view name) { return Type<KIVRA_PERSON_TYPE>(name); }

    KivraItemStats stats_;
};

TEST_F(Items, OneGroupLevelNamesTheCategory) {
    Load(R"(<building type="loose"/>
            <ride>
                <building type="wheel"/>
                <fancy><building type="inner"/></fancy>
                <building type="after_inner"/>
            </ride>
            <person type="walker"/>
            <snack><building type="cart"/></snack>)");
    EXPECT_EQ(ItemStats::Current(), &stats_);
    EXPECT_EQ(Type(L"loose").category, L"");
    EXPECT_EQ(Type(L"wheel").category, L"ride");
    // A group inside a group is ignored, and its end tag closes nothing.
    EXPECT_EQ(Type(L"inner").category, L"ride");
    EXPECT_EQ(Type(L"after_inner").category, L"ride");
    EXPECT_EQ(Type(L"walker").category, L"");
    EXPECT_EQ(Type(L"cart").category, L"snack");
    EXPECT_EQ(FindRecordByName(&stats_, L"Wheel"), nullptr);
    EXPECT_EQ(FindRecordByName(static_cast<const ItemStats*>(nullptr), L"wheel"), nullptr);
    EXPECT_TRUE(Errors().empty());
}

TEST_F(Items, TypeStaysCurrentUntilAnEndTagSpellsItsName) {
    Load(R"(<store>
                <building type="kiosk">A</building>
                ABc
                <building type="booth">A</building>
                <booth/>
                ABCD
            </store>)");
    // Text after the kiosk's end tag is still the kiosk's footprint.
    EXPECT_EQ(Building(L"kiosk").width, 2);
    EXPECT_EQ(Building(L"kiosk").doors, (std::vector<Door>{{1, 0, L'c'}}));
    // The element named like the booth ends it: the later text lands nowhere.
    EXPECT_EQ(Building(L"booth").width, 1);
}

struct FootprintCase {
    const char* text;
    int width, height;
    std::vector<Door> doors;
};

class Footprints : public Items, public ::testing::WithParamInterface<FootprintCase> {};

// Expectations worked out by hand from the rule: the far corner is the cell
// with the largest col+row (the first in column-by-column order on a tie),
// and doors are relative to it.
const FootprintCase kFootprints[] = {
    {"AB AB", 2, 2, {}},
    {"ABx AB_", 2, 2, {{1, -1, L'x'}}},
    {"ABx\n\t\t   AB_", 2, 2, {{1, -1, L'x'}}},
    // Only the two corners count: here the near one is (0,1), so the height is 1.
    {"_A AA", 2, 1, {}},
    {"AAA AAA AAA _e_", 3, 3, {{-1, 1, L'e'}}},
    // Corner ties: the cell found first in column order stays, (1,1) before (2,0).
    {"dAA AA2", 2, 1, {{-1, -1, L'd'}, {1, 0, L'2'}}},
    {"_B B_", 1, 1, {}},
    // A row longer than the first loses its extra characters; a shorter one is empty ground.
    {"AA AAzz", 2, 2, {}},
    {"AAq A", 1, 2, {{2, -1, L'q'}}},
};

TEST_P(Footprints, SizeAndDoorsFollowTheCorners) {
    const FootprintCase& c = GetParam();
    Load(std::string(R"(<building type="b" width="9" height="9">)") + c.text + "</building>");
    EXPECT_EQ(Building(L"b").width, c.width) << c.text;
    EXPECT_EQ(Building(L"b").height, c.height) << c.text;
    EXPECT_EQ(Building(L"b").doors, c.doors) << c.text;
    EXPECT_EQ(Building(L"b").GetProperty(L"doors").ToInt(), static_cast<int>(c.doors.size()));
}

INSTANTIATE_TEST_SUITE_P(Items, Footprints, ::testing::ValuesIn(kFootprints));

TEST_F(Items, FootprintWithoutCellIsReportedAndTheAttributesKept) {
    Load(R"(<building type="plain" width="3" height="2"/>
            <building type="doorway" width="4" height="5">xy__</building>
            <building type="later"/>)");
    EXPECT_EQ(Building(L"plain").width, 3);
    EXPECT_EQ(Building(L"doorway").width, 4);
    EXPECT_EQ(Building(L"doorway").height, 5);
    EXPECT_TRUE(Building(L"doorway").doors.empty());
    EXPECT_NE(FindRecordByName(&stats_, L"later"), nullptr);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find(L"'doorway' has no cell"), std::wstring::npos);
    EXPECT_NE(Errors()[0].find(L"in File 'properties/items.xml'"), std::wstring::npos);
}

// A damaged side is cut to the longest one and reported: a building of
// 100000 by 100000 tiles once hung the park that bought it, walking its tiles.
TEST_F(Items, SidesLongerThanAnyParkAreCutAndReported) {
    Load(R"(<building type="giant" width="100000" height="2147483647" zone_width="99999" zone_height="-1"/>
            <building type="longest" width="256" height="256" zone_width="256" zone_height="0"/>)");
    const KIVRA_BUILDING_TYPE& giant = Building(L"giant");
    const KIVRA_BUILDING_TYPE& longest = Building(L"longest");
    constexpr int32_t kSide = ItemStats::kLongestSide;
    EXPECT_EQ(std::tie(giant.width, giant.height, giant.zone_width, giant.zone_height),
              std::make_tuple(kSide, kSide, kSide, -1));
    EXPECT_EQ(std::tie(longest.width, longest.height, longest.zone_width, longest.zone_height),
              std::make_tuple(kSide, kSide, kSide, 0));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find(L"The width of item type 'giant' is 100000"), std::wstring::npos);
}

TEST_F(Items, BuildingFieldsTakeTheirDefaultsAndScriptNames) {
    Load(R"(<building type="bare"/>
            <building type="full" image="full_img" capacity="3" appeal="2.5" buycost="40"
                      availabletobuy="0" appealbuff="0.25" ticketprice="7" zone_width="5"
                      zone_height="0" stationary="1" timeperuse="90" costperuse="4"
                      energyperuse="12.5" auto_flip_x="true"
                      characteristic=" dark ,noisy, Bright"/>)");
    KIVRA_BUILDING_TYPE& bare = Building(L"bare");
    KIVRA_BUILDING_TYPE& full = Building(L"full");
    // Script name, value without the attribute, value from the attribute.
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> table[] = {{L"image", L"", L"full_img"},
                                                                                {L"capacity", L"8", L"3"},
                                                                                {L"appeal", L"1", L"2.5"},
                                                                                {L"buycost", L"100", L"40"},
                                                                                {L"availabletobuy", L"true", L"false"},
                                                                                {L"appealbuff", L"0", L"0.25"},
                                                                                {L"ticketprice", L"0", L"7"},
                                                                                {L"zone_width", L"0", L"5"},
                                                                                {L"zone_height", L"0", L"0"},
                                                                                {L"timeperuse", L"500", L"90"},
                                                                                {L"costperuse", L"0", L"4"},
                                                                                {L"energyperuse", L"-10", L"12.5"},
                                                                                {L"width", L"1", L"1"},
                                                                                {L"auto_flip_x", L"false", L"true"},
                                                                                {L"characteristic0", L"none", L"noisy"},
                                                                                {L"characteristic1", L"none", L"dark"},
                                                                                {L"characteristic2", L"none", L"none"}};
    for (const auto& [name, without, with] : table) {
        EXPECT_EQ(bare.GetProperty(name).ToString(), without) << text::ToUtf8(name);
        EXPECT_EQ(full.GetProperty(name).ToString(), with) << text::ToUtf8(name);
    }
    EXPECT_EQ(bare.zone_width, -1);  // kept as "not given", read by scripts as 0
    EXPECT_EQ(std::tie(bare.stationary, full.stationary), std::make_tuple(false, true));
    EXPECT_EQ(full.characteristics.GetBits(), KivraCharacteristics::kNoisy | KivraCharacteristics::kDark);
    for (const wchar_t* unknown : {L"stationary", L"characteristic", L"characteristic-1", L"doorz"})
        EXPECT_TRUE(full.GetProperty(unknown).Is(PropertyValue::Tag::Bool)) << text::ToUtf8(unknown);
}

TEST_F(Items, PersonsReadConstantsCategoriesAndLimits) {
    ConstantsMap()[L"person_path_speed"] = PropertyValue(1.25f);
    ConstantsMap()[L"person_foot_offset"] = PropertyValue(3);
    Load(R"(<person type="plain"/>
            <person type="snacker" path_speed="2" auto_flip_x="false"
                    preferred_building_category="concession" snack_max="3" store_max="0"
                    energy="70" preferred_characteristic="quiet"/>
            <person type="picky" preferred_building_category="ride , store"/>
            <person type="eater" preferred_building_category="restaurant"/>)");
    KIVRA_PERSON_TYPE& plain = Person(L"plain");
    EXPECT_FLOAT_EQ(plain.path_speed, 1.25f);
    EXPECT_FLOAT_EQ(plain.foot_offset, 3.0f);
    EXPECT_TRUE(plain.auto_flip_x);  // people flip unless told not to
    EXPECT_FLOAT_EQ(plain.energy, 50.0f);
    EXPECT_EQ(plain.ride_preference_percentage, 5);
    EXPECT_EQ(plain.preferred_categories,
              (std::set<std::wstring>{L"attraction", L"restaurant", L"ride", L"snack", L"store"}));
    EXPECT_EQ(plain.maxima,
              (std::map<std::wstring, int32_t>{
                  {L"attraction", -1}, {L"restaurant", -1}, {L"ride", -1}, {L"snack", -1}, {L"store", -1}}));

    KIVRA_PERSON_TYPE& snacker = Person(L"snacker");
    EXPECT_FLOAT_EQ(snacker.path_speed, 2.0f);
    EXPECT_FALSE(snacker.auto_flip_x);
    EXPECT_EQ(snacker.preferred_categories, (std::set<std::wstring>{L"restaurant", L"snack"}));
    EXPECT_EQ(snacker.GetProperty(L"snack_max").ToInt(), 3);
    EXPECT_EQ(snacker.GetProperty(L"store_max").ToInt(), 0);
    EXPECT_EQ(snacker.GetProperty(L"ride_max").ToInt(), -1);
    EXPECT_EQ(snacker.GetProperty(L"coaster_max").ToInt(), 0);
    EXPECT_EQ(snacker.GetProperty(L"characteristic0").ToString(), L"quiet");
    EXPECT_EQ(snacker.GetProperty(L"path_speed").ToString(), L"2");
    EXPECT_EQ(Person(L"picky").preferred_categories, (std::set<std::wstring>{L"ride", L"store"}));
    EXPECT_EQ(Person(L"eater").preferred_categories, (std::set<std::wstring>{L"restaurant"}));
}

TEST_F(Items, UpgradesAndBoostsBelongToTheirBuilding) {
    Load(R"(<upgrade label="orphan" coincost="1"/>
            <building type="mill">
                AA
                <upgrade label="sails" coincost="300" heartcost="2"
                         property="appeal , capacity,ticketprice" offset="1, 4"/>
                <upgrade label="gears" coinincrement="50" heartincrement="0" property="capacity"
                         offset="2"/>
                <boost label="wind" duration="4" property="appeal" offset="-3"/>
                <boost label="calm"/>
                <upgrade label="gears" coincost="9"/>
            </building>
            <person type="miller"><upgrade label="lost"/></person>)");
    KIVRA_BUILDING_TYPE& mill = Building(L"mill");
    ASSERT_EQ(mill.upgrades.size(), 2u);
    const UPGRADE_STATS& sails = mill.upgrades.at(L"sails");
    EXPECT_EQ(sails.label, L"sails");
    EXPECT_EQ(sails.coincost, 300);
    EXPECT_EQ(sails.heartcost, 2);
    EXPECT_EQ(sails.coinincrement, 1000);
    EXPECT_EQ(sails.heartincrement, 10);
    // The third property has no offset: it adds nothing.
    EXPECT_EQ(sails.offsets, (std::map<std::wstring, int32_t>{{L"appeal", 1}, {L"capacity", 4}, {L"ticketprice", 0}}));
    // A later improvement of the same label replaces the earlier one whole.
    const UPGRADE_STATS& gears = mill.upgrades.at(L"gears");
    EXPECT_EQ(gears.coincost, 9);
    EXPECT_EQ(gears.coinincrement, 1000);
    EXPECT_TRUE(gears.offsets.empty());
    ASSERT_EQ(mill.boosts.size(), 2u);
    EXPECT_EQ(mill.boosts.at(L"wind").duration, 4);
    EXPECT_EQ(mill.boosts.at(L"wind").offsets, (std::map<std::wstring, int32_t>{{L"appeal", -3}}));
    EXPECT_EQ(mill.boosts.at(L"calm").duration, 1);
    EXPECT_EQ(mill.width, 2);
    EXPECT_TRUE(Errors().empty());
}

TEST_F(Items, LaterTypeOfTheSameNameWinsTheLookup) {
    Load(R"(<ride><building type="twin" buycost="1"/></ride>
            <store><building type="twin" buycost="2"/></store>)");
    EXPECT_EQ(Building(L"twin").buycost, 2);
    EXPECT_EQ(Building(L"twin").category, L"store");
    EXPECT_EQ(stats_.Types().Size(), 1u);
    // Scripts reach the record through the catalogue's map.
    ExtendedPropertyInterface* record = stats_.Types().GetProperty(L"twin").ToPropertyInterface();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->GetProperty(L"buycost").ToInt(), 2);
}

TEST_F(Items, DamagedFileKeepsWhatCameBeforeTheFault) {
    WriteProperty("items.xml",
                  R"(<items><ride><building type="first"/><building type="second" <oops/></ride></items>)");
    stats_.Load();
    EXPECT_NE(FindRecordByName(&stats_, L"first"), nullptr);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find(L"Unexpected '<'"), std::wstring::npos);
    EXPECT_TRUE(stats_.IsLoaded());
}

TEST_F(Items, DestroyedCatalogueIsNoLongerCurrent) {
    {
        KivraItemStats gone;
        gone.Load();
        EXPECT_EQ(ItemStats::Current(), &gone);
    }
    EXPECT_EQ(ItemStats::Current(), nullptr);
}

}  // namespace
