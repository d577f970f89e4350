#include <gtest/gtest.h>

#include <string>

#include "foundation/expression/localization_map.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/research_option.h"
#include "tests/game/data/catalogue_test_support.h"

namespace {

class Countdowns : public CatalogueTest {
protected:
    Countdowns() {
        Countdown::ForgetCachedValues();
        LocalizationMap().clear();
        LocalizationMap() = {{L"time_separator", L", "},      {L"time_week_singular", L"week"},
                             {L"time_week_plural", L"weeks"}, {L"time_day_singular", L"day"},
                             {L"time_day_plural", L"days"},   {L"time_no_time", L"done"}};
    }
    ~Countdowns() override {
        Countdown::ForgetCachedValues();
        LocalizationMap().clear();
    }
    static void SetWeekDuration(int duration) { ConstantsMap()[L"week_duration"] = PropertyValue(duration); }
    static std::wstring Remaining(int ticks) {
        Countdown countdown;
        countdown.ticks = ticks;
        return countdown.GetProperty(L"timetofinish_string").ToString();
    }
};

TEST_F(Countdowns, TicksSplitIntoWeeksAndTruncatedDays) {
    SetWeekDuration(10);
    struct Case {
        int ticks, weeks, days;
    };
    // One week is 1000 ticks; a day is a seventh of it, truncated.
    for (const Case c : {Case{1000, 1, 0}, Case{1500, 1, 3}, Case{142, 0, 0}, Case{2143, 2, 1}, Case{999, 0, 6}}) {
        Countdown countdown;
        countdown.ticks = c.ticks;
        EXPECT_EQ(countdown.GetProperty(L"timetofinish_weeks").ToInt(), c.weeks) << c.ticks;
        EXPECT_EQ(countdown.GetProperty(L"timetofinish_days").ToInt(), c.days) << c.ticks;
        EXPECT_EQ(countdown.GetProperty(L"timetofinish").ToInt(), c.ticks / 100 / 10) << c.ticks;
    }
}

TEST_F(Countdowns, TextsJoinWeeksAndDaysWithTheSeparator) {
    SetWeekDuration(10);
    EXPECT_EQ(Remaining(2143), L"2 weeks, 1 day");
    EXPECT_EQ(Remaining(1000), L"1 week");
    EXPECT_EQ(Remaining(300), L"2 days");
    EXPECT_EQ(Remaining(142), L"done");
    std::wstring text;
    Countdown::FormatTime(0, 0, text, false);
    EXPECT_EQ(text, L"0 days");
    Countdown::FormatTime(1, 1, text, false);  // the text is started afresh
    EXPECT_EQ(text, L"1 week, 1 day");
}

TEST_F(Countdowns, WeekLengthIsKeptFromTheFirstUse) {
    SetWeekDuration(10);
    EXPECT_EQ(Remaining(1000), L"1 week");
    SetWeekDuration(20);
    EXPECT_EQ(Remaining(1000), L"1 week");
}

TEST_F(Countdowns, MissingWeekDurationCountsAsOneInsteadOfDividingByZero) {
    for (int duration : {0, -3}) {
        Countdown::ForgetCachedValues();
        SetWeekDuration(duration);
        Countdown countdown;
        countdown.ticks = 250;  // 2.5 weeks of 100 ticks
        EXPECT_EQ(countdown.GetProperty(L"timetofinish").ToInt(), 2);
        EXPECT_EQ(countdown.GetProperty(L"timetofinish_weeks").ToInt(), 2);
        EXPECT_EQ(countdown.GetProperty(L"timetofinish_days").ToInt(), 3);
        EXPECT_EQ(Countdown::WeekDuration(), 1);
    }
}

TEST_F(Countdowns, ResearchOptionAnswersItsFieldsAndTheUnlockedBuildingsCategory) {
    SetWeekDuration(10);
    WriteProperty("items.xml", R"(<items><ride><building type="wheel"/></ride></items>)");
    KivraItemStats items;
    items.Load();
    RESEARCH_OPTION option;
    option.name = L"wheel_research";
    option.effect = RESEARCH_OPTION::kUnlockBuilding;
    option.param = L"wheel";
    option.coincost = 300;
    option.heartincrement = 4;
    option.cycles = -1;
    option.ticks = 1500;
    EXPECT_EQ(option.GetProperty(L"effect").ToString(), L"unlock_building");
    EXPECT_EQ(option.GetProperty(L"category").ToString(), L"ride");
    EXPECT_EQ(option.GetProperty(L"coincost").ToInt(), 300);
    EXPECT_EQ(option.GetProperty(L"heartincrement").ToInt(), 4);
    EXPECT_EQ(option.GetProperty(L"cycles").ToInt(), -1);
    EXPECT_EQ(option.GetProperty(L"timetofinish_string").ToString(), L"1 week, 3 days");
    option.param = L"nothing";
    const PropertyValue unknown = option.GetProperty(L"category");
    EXPECT_TRUE(unknown.Is(PropertyValue::Tag::Bool) && !unknown.ToBool());
    option.effect = 7;
    EXPECT_EQ(option.GetProperty(L"effect").ToString(), L"");
    option.effect = RESEARCH_OPTION::kLearnCombo;
    EXPECT_EQ(option.GetProperty(L"effect").ToString(), L"learn_combo");
    EXPECT_FALSE(option.GetProperty(L"category").ToBool());
}

}  // namespace
