#pragma once
// Remaining time of something that takes weeks (research, a building's
// boost), counted in ticks: one week is the constant "week_duration" times
// 100 ticks and has 7 days. Scripts read the time left through the
// "timetofinish" properties; the HUD shows it as localised text such as
// "2 weeks, 1 day".
//
// The week length and the six time texts are read on first use and kept
// (the constants and texts do not change after loading; the game forgets
// them each time it loads them). A week_duration of 0 or less is not valid
// data: it counts as 1 and is logged once.

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/values/property_interface.h"

class Countdown : public ExtendedPropertyInterface {
public:
    PropertyValue GetProperty(std::wstring_view name) override;

    // Whole weeks of the ticks, and whole days of the rest.
    static void SplitWeeksDays(int32_t ticks, int32_t& weeks, int32_t& days);
    void GetWeeksDays() { SplitWeeksDays(ticks, weeks, days); }
    // "2 weeks, 1 day"; nothing left reads as the no-time text, or as
    // "0 days" without it.
    static void FormatTime(int32_t weeks, int32_t days, std::wstring& out, bool useNoTimeText);
    void FormatRemaining(std::wstring& out, bool useNoTimeText);

    // The week_duration in use (at least 1).
    static int32_t WeekDuration();
    // Forgets the kept week length and texts, for a reload of the constants
    // and texts (and for tests).
    static void ForgetCachedValues();

    int32_t ticks = 0;
    int32_t weeks = 0;
    int32_t days = 0;
};
