// The sentences that describe objectives to the player, built from
// localised texts, and the names of appeal levels.
#include <cmath>

#include "foundation/expression/constants_map.h"
#include "foundation/expression/localization_map.h"
#include "foundation/system/string_utils.h"
#include "foundation/system/text.h"
#include "foundation/values/saturate.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/goal_display.h"
#include "game/data/progress/kivra_level.h"
#include "game/data/progress/objectives.h"

namespace {

constexpr const wchar_t* kAppealWords[] = {L"average", L"above_average", L"high", L"amazing"};
constexpr const wchar_t* kAppealConstants[] = {L"appeal_average_threshold", L"appeal_above_average_threshold",
                                               L"appeal_high_threshold", L"appeal_amazing_threshold"};

const std::wstring& L(std::wstring_view key) { return LocalizeLookup(key); }

// "_plural" unless exactly one is asked for.
std::wstring_view Plural(int32_t required) { return required == 1 ? L"" : L"_plural"; }

// The opening every description shares: the prefix text and the count.
void Open(std::wstring& out, std::wstring_view prefixKey, int32_t required) {
    out = L(prefixKey);
    out += L' ';
    out += std::to_wstring(required);
    out += L' ';
}

void AppendRemaining(std::wstring& out, bool withRemaining, int64_t remaining) {
    if (!withRemaining) return;
    out += L' ';
    out += L(L"goal_remaining_prefix");
    out += std::to_wstring(remaining);
    out += L' ';
    out += L(L"goal_remaining_postfix");
}

std::wstring Key(std::wstring_view a, std::wstring_view b = {}, std::wstring_view c = {}) {
    std::wstring key(a);
    key += b;
    key += c;
    return key;
}

}  // namespace

std::wstring AppealLevelName(float appeal, bool numeric) {
    for (size_t i = 0; i < 4; ++i) {
        if (std::fabs(GetConstant(kAppealConstants[i]).ToReal() - appeal) < 0.01f) return kAppealWords[i];
    }
    if (!numeric) return text::WFormat(L"%f", static_cast<double>(appeal));
    const double whole = std::trunc(static_cast<double>(appeal));
    const double hundredths = std::trunc((static_cast<double>(appeal) - whole) * 100.0);
    return text::WFormat(L"%d.%d", SaturateCast<int>(whole), SaturateCast<int>(hundredths));
}

float AppealRequirementFromText(std::wstring_view text) {
    for (size_t i = 0; i < 4; ++i)
        if (text == kAppealWords[i]) return GetConstant(kAppealConstants[i]).ToReal();
    // A requirement between the named levels is saved as its number: read it
    // back as that number rather than losing it.
    float number = 0.0f;
    return WStringToFloat(text, number) ? number : kNoAppealRequirement;
}

void BuildingsExist::Describe(std::wstring& out, bool withRemaining) {
    Open(out, L"buildings_exist_prefix", required);
    if (fully_upgraded) out += L(L"buildings_exist_fully_upgraded") + L' ';
    if (!type.empty()) {
        // A building's own name says what it is ("1 Cotton Candy Cart", "2
        // Red Flower Beds"); only a type without a plural of its own is
        // counted in its category's word.
        const std::wstring& own = L(Key(L"label_", type, Plural(required)));
        if (!own.empty()) {
            out += own;
        } else {
            const ITEM_TYPE* record = FindRecordByName(ItemStats::Current(), type);
            out += L(Key(L"label_", type));
            out += L' ';
            out += L(Key(L"label_", record ? record->category : std::wstring(), Plural(required)));
        }
    } else if (!category.empty()) {
        out += L(Key(L"label_", category, Plural(required)));
    } else {
        out += L(Key(L"buildings_exist_general", Plural(required)));
    }
    out += L' ';
    if (appeal > 0.0f) {
        out += L(L"buildings_exist_appeal_prefix") + L' ';
        out += L(Key(L"label_", AppealLevelName(appeal, true))) + L' ';
        out += L(L"buildings_exist_appeal_postfix") + L' ';
    }
    out += L(L"buildings_exist_postfix");
    AppendRemaining(out, withRemaining, int64_t{required} - static_cast<int64_t>(CountedBuildings()));
}

void CombosExist::Describe(std::wstring& out, bool withRemaining) {
    Open(out, L"zones_exist_prefix", required);
    if (zone_name.empty()) {
        if (unique) out += L(L"zones_exist_unique") + L' ';
        out += L(required == 1 ? L"zones_exist_general" : L"zones_exist_general_plural");
    } else {
        out += L(Key(L"label_", zone_name, Key(L"_zone", Plural(required))));
    }
    out += L' ';
    out += L(L"zones_exist_postfix");
    AppendRemaining(out, withRemaining, int64_t{required} - int64_t{Progress()});
}

void WeeklyEarnings::Describe(std::wstring& out, bool withRemaining) {
    Open(out, L"weekly_earnings_prefix", required);
    out += L(required == 1 ? L"weekly_earnings_postfix" : L"weekly_earnings_postfix_plural");
    AppendRemaining(out, withRemaining, int64_t{required} - int64_t{Earned()});
}

void TrophiesEarned::Describe(std::wstring& out, bool withRemaining) {
    Open(out, L"trophies_earned_prefix", required);
    if (!type.empty())
        out += L(Key(L"trophies_earned_", type, Plural(required)));
    else
        out += L(Key(L"trophies_earned_general", Plural(required)));
    AppendRemaining(out, withRemaining, int64_t{required} - int64_t{Trophies()});
}

void MarketingSlotsFilled::Describe(std::wstring& out, bool withRemaining) {
    Open(out, L"marketing_slots_prefix", required);
    out += L(required == 1 ? L"marketing_slots_postfix" : L"marketing_slots_postfix_plural");
    // Without a current level no slot is filled.
    ParkPlayer* player = ParkPlayer::Current();
    const KIVRA_LEVEL* level = player ? player->GetCurrentLevel() : nullptr;
    const int64_t filled = level ? static_cast<int64_t>(FilledSlots(*level)) : 0;
    AppendRemaining(out, withRemaining, int64_t{required} - filled);
}
