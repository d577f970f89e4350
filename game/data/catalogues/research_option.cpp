#include "game/data/catalogues/research_option.h"

#include "foundation/values/property_value.h"
#include "game/data/catalogues/item_stats.h"

namespace {
constexpr std::wstring_view kEffectNames[] = {L"unlock_marketing", L"unlock_building", L"learn_combo"};
}

std::wstring_view RESEARCH_OPTION::EffectName(int32_t effect) {
    return effect >= 0 && effect < 3 ? kEffectNames[effect] : std::wstring_view();
}

int32_t RESEARCH_OPTION::EffectFromName(std::wstring_view text) {
    for (int32_t i = 0; i < 3; ++i)
        if (kEffectNames[i] == text) return i;
    return -1;
}

PropertyValue RESEARCH_OPTION::GetProperty(std::wstring_view property) {
    if (property == L"name") return PropertyValue::FromWString(name);
    if (property == L"param") return PropertyValue::FromWString(param);
    if (property == L"unlocked") return PropertyValue::FromBool(unlocked);
    if (property == L"coincost") return PropertyValue::FromInt(coincost);
    if (property == L"heartcost") return PropertyValue::FromInt(heartcost);
    if (property == L"coinincrement") return PropertyValue::FromInt(coinincrement);
    if (property == L"heartincrement") return PropertyValue::FromInt(heartincrement);
    if (property == L"cycles") return PropertyValue::FromInt(cycles);
    if (property == L"effect") return PropertyValue::FromWString(std::wstring(EffectName(effect)));
    if (property == L"category") {
        if (effect == kUnlockBuilding) {
            if (const ITEM_TYPE* type = FindRecordByName(ItemStats::Current(), param))
                return PropertyValue::FromWString(type->category);
        }
        return PropertyValue::FromBool(false);
    }
    return Countdown::GetProperty(property);
}
