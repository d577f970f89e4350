#include "game/data/catalogues/countdown.h"

#include <array>
#include <optional>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/localization_map.h"
#include "foundation/system/log.h"
#include "foundation/system/text.h"
#include "foundation/values/property_value.h"

namespace {

struct CachedValues {
    std::optional<int32_t> weekDuration;
    // separator, week singular, week plural, day singular, day plural, no time
    std::array<std::optional<std::wstring>, 6> texts;
};

CachedValues& Cache() {
    static CachedValues cache;
    return cache;
}

enum TimeText { kSeparator, kWeek, kWeeks, kDay, kDays, kNoTime };

const std::wstring& Text(TimeText which) {
    static constexpr const wchar_t* kKeys[] = {L"time_separator",    L"time_week_singular", L"time_week_plural",
                                               L"time_day_singular", L"time_day_plural",    L"time_no_time"};
    std::optional<std::wstring>& text = Cache().texts[which];
    if (!text) text = LocalizeLookup(kKeys[which]);
    return *text;
}

void AppendAmount(std::wstring& out, int32_t amount, const std::wstring& unit) {
    out =
        text::WFormat(L"%ls%ls%d %ls", out.c_str(), out.empty() ? L"" : Text(kSeparator).c_str(), amount, unit.c_str());
}

}  // namespace

int32_t Countdown::WeekDuration() {
    std::optional<int32_t>& duration = Cache().weekDuration;
    if (!duration) {
        duration = GetConstantInt(L"week_duration");
        if (*duration <= 0) {
            // Dividing by it would trap: a missing constant must not stop the game.
            LogWrite(text::WFormat(L"week_duration is %d; counting weeks of 1", *duration), true);
            duration = 1;
        }
    }
    return *duration;
}

void Countdown::ForgetCachedValues() { Cache() = CachedValues{}; }

void Countdown::SplitWeeksDays(int32_t ticks, int32_t& weeks, int32_t& days) {
    const int64_t weekTicks = int64_t{WeekDuration()} * 100;
    weeks = static_cast<int32_t>(ticks / weekTicks);
    const int64_t rest = ticks % weekTicks;
    days = static_cast<int32_t>(static_cast<double>(rest) / static_cast<double>(weekTicks) * 7.0);
}

void Countdown::FormatTime(int32_t weeks, int32_t days, std::wstring& out, bool useNoTimeText) {
    out.clear();
    if (weeks > 0) AppendAmount(out, weeks, Text(weeks == 1 ? kWeek : kWeeks));
    if (days > 0) AppendAmount(out, days, Text(days == 1 ? kDay : kDays));
    if (!out.empty()) return;
    out = useNoTimeText ? Text(kNoTime) : L"0 " + Text(kDays);
}

void Countdown::FormatRemaining(std::wstring& out, bool useNoTimeText) {
    GetWeeksDays();
    FormatTime(weeks, days, out, useNoTimeText);
}

PropertyValue Countdown::GetProperty(std::wstring_view name) {
    if (name == L"timetofinish") return PropertyValue::FromInt(ticks / 100 / WeekDuration());
    if (name == L"timetofinish_string") {
        std::wstring text;
        FormatRemaining(text, true);
        return PropertyValue::FromWString(std::move(text));
    }
    if (name == L"timetofinish_weeks") {
        GetWeeksDays();
        return PropertyValue::FromInt(weeks);
    }
    if (name == L"timetofinish_days") {
        GetWeeksDays();
        return PropertyValue::FromInt(days);
    }
    return ExtendedPropertyInterface::GetProperty(name);
}
