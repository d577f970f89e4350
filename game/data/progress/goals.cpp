#include "game/data/progress/goals.h"

#include "foundation/values/property_value.h"
#include "game/data/catalogues/text_lists.h"
#include "game/data/progress/goal_display.h"

PropertyValue KivraGoal::GetProperty(std::wstring_view property) {
    if (property == L"name") return PropertyValue::FromWString(name);
    if (property == L"completed") return PropertyValue::FromBool(completed);
    return ExtendedPropertyInterface::GetProperty(property);
}

PropertyValue Objective::GetProperty(std::wstring_view property) {
    if (property == L"description") {
        std::wstring text;
        Describe(text, false);
        return PropertyValue::FromWString(std::move(text));
    }
    return KivraGoal::GetProperty(property);
}

void Objective::WriteAttributes(std::wstring&) const {}

bool Objective::CompleteWhenReached(uint32_t progress) {
    if (challenge == nullptr || !challenge->unlocked || completed) return false;
    completed = static_cast<uint32_t>(required) <= progress;
    return completed;
}

void Objective::Notify() {
    if (GoalDisplay* display = GoalDisplay::Current()) display->MarkGoalChanged(*this);
}

std::wstring MetalName(int32_t metal) {
    switch (metal) {
        case 0: return L"bronze";
        case 1: return L"silver";
        case 2: return L"gold";
        default: return {};
    }
}

std::wstring MagazineNameFromChallenge(std::wstring_view challenge) {
    for (int32_t metal = 0; metal < 3; ++metal) {
        const std::wstring suffix = L"_" + MetalName(metal);
        if (challenge.size() >= suffix.size() && challenge.ends_with(suffix))
            return std::wstring(challenge.substr(0, challenge.size() - suffix.size()));
    }
    return {};
}

PropertyValue Challenge::GetProperty(std::wstring_view property) {
    if (property == L"magazine_name") return PropertyValue::FromWString(magazine);
    if (property == L"unlocked") return PropertyValue::FromBool(unlocked);
    if (property == L"metal") return PropertyValue::FromWString(MetalName(metal));
    if (property.starts_with(L"objective")) {
        const auto index = ParseDecimalIndex(property.substr(9));
        if (index && *index < objectives.size()) return PropertyValue::FromPropertyInterface(objectives[*index]);
        return ExtendedPropertyInterface::GetProperty(property);
    }
    return KivraGoal::GetProperty(property);
}
