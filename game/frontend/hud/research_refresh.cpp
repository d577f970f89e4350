// A research finished: the research or marketing panel that stands is
// brought up to date, and a popup announces what the research gave. A new
// marketing slot seen in its open panel needs no popup.

#include "game/data/catalogues/item_stats.h"
#include "game/data/catalogues/item_types.h"
#include "game/data/catalogues/research_option.h"
#include "game/frontend/hud/user_interface.h"

namespace {

// The display's script object of that name, when it still stands.
DynamicWidget* StandingObject(const AnimationWidget& ui, std::wstring_view name) {
    const PropertyValue& value = ui.GetLocalVariable(name);
    if (!value.Is(PropertyValue::Tag::Widget)) return nullptr;
    return dynamic_cast<DynamicWidget*>(value.ToPropertyInterface());
}

void SetOrErase(AnimationWidget& popup, const wchar_t* name, bool present, const std::wstring& value) {
    if (present)
        popup.SetVariable(name, PropertyValue::FromWString(value));
    else
        popup.UndefineVariable(name);
}

}  // namespace

void UserInterface::UpdateResearchAndMarketing(const RESEARCH_OPTION& finished) {
    if (finished.effect == RESEARCH_OPTION::kUnlockMarketing && StandingObject(*this, L"lyr_marketing_menu_data")) {
        RunAnimationNamed(L"refresh_marketing_menu_slot_data");
        return;
    }
    if (StandingObject(*this, L"lyr_research_menu")) {
        RunAnimationNamed(L"close_research_menu");
        RunAnimationNamed(L"show_research_menu");
    }
    // Only the popup of the latest purchase goes: two finished at once both stay.
    if (DynamicWidget* purchased = StandingObject(*this, L"lyr_purchased_research_callback")) purchased->RemoveSelf();

    auto* popup = new AnimationWidget(L"finished_research_callback", 0, 0, false);
    popup->SetPriority(kPopupPriority);
    popup->Variables() = Variables();
    popup->SetVariable(L"self", PropertyValue::FromWidget(popup));
    Watch(popup);
    const bool building = finished.effect == RESEARCH_OPTION::kUnlockBuilding;
    const bool combo = finished.effect == RESEARCH_OPTION::kLearnCombo;
    if (building || combo || finished.effect == RESEARCH_OPTION::kUnlockMarketing)
        popup->SetVariable(L"researched_effect",
                           PropertyValue::FromWString(std::wstring(RESEARCH_OPTION::EffectName(finished.effect))));
    ITEM_TYPE* type = building ? FindRecordByName(ItemStats::Current(), finished.param) : nullptr;
    SetOrErase(*popup, L"researched_buildingtype", building, finished.param);
    SetOrErase(*popup, L"researched_buildingcategory", building, type ? type->category : std::wstring());
    SetOrErase(*popup, L"researched_zone", combo, finished.param);
    AddWidget(popup);
    KeepResearchNote(*popup);
}
