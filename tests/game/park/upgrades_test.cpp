// Upgrades and boosts on the shipped park: buying with money and hearts,
// the offsets on the statistics and the level's entry fee, a boost over its
// whole run, bought again while it runs or started with no time, and withdrawal that gives back
// exactly what was added.
#include <gtest/gtest.h>

#include "foundation/system/text.h"
#include "tests/game/park/shipped_park.h"

namespace {

using Lines = std::vector<std::wstring>;

class Upgrades : public testsupport::ShippedPark {
protected:
    KivraBuilding* Place(std::wstring_view type) {
        EnterPark();
        return grid->CreateAndPlaceBuilding(type, 4, 22, 1, L"");
    }

    // Every statistic an offset may move, and the level's entry fee.
    struct Stats {
        float appeal;
        int32_t time, cost, ticket, capacity, vacancies, fee;
        float energy;
        bool operator==(const Stats&) const = default;
    };
    Stats Read(KivraBuilding& b) const {
        return {b.GetAppeal(), b.TimePerUse(),   b.CostPerUse(),     b.TicketPrice(),
                b.Capacity(),  b.GetVacancies(), level->ticketprice, b.EnergyPerUse()};
    }
};

TEST_F(Upgrades, BuyingChargesBothResourcesOrNamesTheOneShortMoneyFirst) {
    KivraBuilding* castle = Place(L"bouncy_castle");
    ASSERT_NE(castle, nullptr);
    ASSERT_EQ(castle->Upgrades().size(), 1u);
    ASSERT_EQ(castle->Boosts().size(), 1u);
    EXPECT_FALSE(castle->IsFullyUpgraded());
    EXPECT_FALSE(castle->GetProperty(L"fully_upgraded").ToBool());
    const Stats before = Read(*castle);

    // extra_towers: 600 coins, 2 hearts; appeal +2, capacity +4.
    level->money = 100;
    level->hearts = 0;
    EXPECT_EQ(castle->PurchaseUpgrade(L"extra_towers"), nullptr);
    level->money = 6000;
    level->hearts = 1;
    EXPECT_EQ(castle->PurchaseUpgrade(L"extra_towers"), nullptr);
    EXPECT_EQ(castle->PurchaseUpgrade(L"no_such_upgrade"), nullptr);
    EXPECT_EQ(display.TakeLog(),
              (Lines{L"show_no_resources_dialog: label=label_extra_towers lookup=true resource=money",
                     L"show_no_resources_dialog: label=label_extra_towers lookup=true resource=hearts"}));
    EXPECT_EQ(Read(*castle), before);
    EXPECT_EQ(level->money, 6000);

    level->hearts = 5;
    Upgrade* towers = castle->PurchaseUpgrade(L"extra_towers");
    ASSERT_NE(towers, nullptr);
    EXPECT_TRUE(towers->purchased);
    EXPECT_EQ(level->money, 5400);
    EXPECT_EQ(level->hearts, 3);
    EXPECT_EQ(level->stats.week.money_spent, 600);
    EXPECT_EQ(level->stats.allTime.hearts_spent, 2);
    Stats upgraded = before;
    upgraded.appeal += 2.0f;
    upgraded.capacity += 4;
    upgraded.vacancies += 4;
    EXPECT_EQ(Read(*castle), upgraded);
    EXPECT_EQ(castle->UpgradesPurchased(), 1);
    EXPECT_TRUE(castle->GetProperty(L"fully_upgraded").ToBool());
    EXPECT_TRUE(towers->GetProperty(L"purchased").ToBool());
    EXPECT_EQ(towers->GetProperty(L"capacity").ToInt(), 4);
    EXPECT_EQ(towers->GetProperty(L"heartcost").ToInt(), 2);

    // Bought once: a second purchase is neither charged nor counted.
    EXPECT_EQ(castle->PurchaseUpgrade(L"extra_towers"), nullptr);
    EXPECT_EQ(level->money, 5400);
    EXPECT_EQ(castle->UpgradesPurchased(), 1);
    EXPECT_EQ(Read(*castle), upgraded);
}

TEST_F(Upgrades, ABoostRunsItsWeeksIsRestartedWhenBoughtAgainAndEndsOnItsLastStepOrAtOnceWithNoTime) {
    KivraBuilding* castle = Place(L"bouncy_castle");
    const Stats before = Read(*castle);
    Stats boosted = before;
    boosted.appeal += 2.0f;

    // party_balloons: 2 weeks of week_duration 60, appeal +2, 150 coins, 1 heart.
    Boost* balloons = castle->PurchaseBoost(L"party_balloons");
    ASSERT_NE(balloons, nullptr);
    EXPECT_EQ(balloons->TimeRemaining(), 12000);
    EXPECT_TRUE(balloons->GetProperty(L"active").ToBool());
    EXPECT_EQ(balloons->GetProperty(L"duration").ToInt(), 2);
    EXPECT_EQ(Read(*castle), boosted);
    Advance(10);
    EXPECT_EQ(balloons->TimeRemaining(), 11990);

    // Again while it runs: paid again, the full time again, added once.
    ASSERT_EQ(castle->PurchaseBoost(L"party_balloons"), balloons);
    EXPECT_EQ(level->money, 6000 - 300);
    EXPECT_EQ(level->hearts, 5 - 2);
    EXPECT_EQ(balloons->TimeRemaining(), 12000);
    EXPECT_EQ(Read(*castle), boosted);

    // A new time on a running boost only replaces its time.
    castle->SetBoostActive(*balloons, 3);
    EXPECT_EQ(Read(*castle), boosted);
    // The panel showing this building's upgrades is told when the boost ends.
    auto panel = std::make_unique<AnimationWidget>(0, 0, nullptr, 1.0f);
    display.widget.SetVariable(L"building_info_upgrades", PropertyValue::FromWidget(panel.get()));
    display.widget.SetVariable(L"upgrade_or_boost_building", PropertyValue::FromWidget(castle));
    display.TakeLog();
    Advance(2);
    EXPECT_EQ(balloons->TimeRemaining(), 1);
    EXPECT_EQ(Read(*castle), boosted);
    Advance(1);
    EXPECT_EQ(balloons->TimeRemaining(), -1);
    EXPECT_FALSE(balloons->GetProperty(L"active").ToBool());
    EXPECT_EQ(Read(*castle), before);
    EXPECT_EQ(display.TakeLog(),
              (Lines{L"build_building_upgrades_data: building_info_upgrades= upgrade_or_boost_building="}));
    Advance(5);
    EXPECT_EQ(balloons->TimeRemaining(), -1);
    EXPECT_EQ(Read(*castle), before);

    // Started with no time: it ends on the next step and withdraws its offsets.
    castle->SetBoostActive(*balloons, 0);
    EXPECT_TRUE(balloons->Running());
    EXPECT_EQ(Read(*castle), boosted);
    Advance(1);
    EXPECT_FALSE(balloons->Running());
    EXPECT_EQ(Read(*castle), before);
}

// Each statistic's offset, either sign, added then withdrawn: the building
// and the level's entry fee are as before; the time per use falls by the
// offset's size and a stay is never read as negative.
TEST_F(Upgrades, EveryOffsetWithdrawsExactlyWhatItAdded) {
    KivraBuilding* cups = Place(L"teacup_twirl");  // time per use 700
    // Standing in the zones, as a building set down does: its ticket is in the fee.
    grid->UpdateZones(*cups, false);
    struct Case {
        const wchar_t* property;
        int32_t offset;
        Stats (*expect)(Stats, int32_t);
    };
    const auto appeal = +[](Stats s, int32_t d) { return s.appeal += static_cast<float>(d), s; };
    const auto faster = +[](Stats s, int32_t) { return s.time -= 100, s; };
    const Case cases[] = {
        {L"appeal", 3, appeal},
        {L"appeal", -2, appeal},
        {L"time", 100, faster},
        {L"time", -100, faster},
        {L"time", 900, [](Stats s, int32_t) { return s.time = 0, s; }},
        {L"energy", 7, [](Stats s, int32_t d) { return s.energy += static_cast<float>(d), s; }},
        {L"cost", -2, [](Stats s, int32_t d) { return s.cost += d, s; }},
        {L"ticketcost", 3, [](Stats s, int32_t d) { return s.ticket += d, s.fee += d, s; }},
        {L"capacity", 6, [](Stats s, int32_t d) { return s.capacity += d, s.vacancies += d, s; }},
        {L"open", 1, [](Stats s, int32_t) { return s; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << text::ToUtf8(c.property) << " " << c.offset);
        BOOST_STATS record;
        record.label = L"test";
        record.offsets[c.property] = c.offset;
        Boost boost(&record);
        const Stats before = Read(*cups);
        cups->SetBoostActive(boost, 50);
        EXPECT_EQ(Read(*cups), c.expect(before, c.offset));
        EXPECT_EQ(cups->GetProperty(L"timeperuse").ToInt(), Read(*cups).time);
        cups->SetBoostActive(boost, -1);
        EXPECT_EQ(Read(*cups), before);
    }
}

}  // namespace
