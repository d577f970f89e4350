#include "game/frontend/menus/profile_menu.h"

#include <array>

#include "foundation/expression/format.h"
#include "foundation/expression/localization_map.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/frontend/menus/name_rule.h"
#include "game/frontend/menus/profile_book.h"
#include "rendering/font/fonts_xml.h"
#include "widgets/screens/menu_host.h"
#include "widgets/screens/notice_menu.h"
#include "widgets/tree/widget_manager.h"

namespace {

ProfileBook* Profiles() { return Service<FrontendHost>::Get().GetProfiles(); }

}  // namespace

// --- ProfileNameWidget --------------------------------------------------------------

ProfileNameWidget::ProfileNameWidget(int x, int y, std::wstring_view type, const std::wstring& name, ProfileMenu* owner)
    : ButtonWidget(x, y, type, L"", false), isPlaceholder_(name.empty()), owner_(owner) {
    SetLabel(isPlaceholder_ ? LocalizeLookup(L"no_name") : name);
    SetTextOffset(0, 0);
}

void ProfileNameWidget::Select() {
    if (isPlaceholder_) SetLabel(LocalizeLookup(L"enter_your_name"));
    SetVariable(L"up_frame", PropertyValue::FromInt(1));
    SetVariable(L"down_frame", PropertyValue::FromInt(1));
    RunAnimationNamed(L"button_refresh");
}

void ProfileNameWidget::Deselect() {
    if (isPlaceholder_) SetLabel(LocalizeLookup(L"no_name"));
    RunAnimationNamed(L"button_init");
    RunAnimationNamed(L"button_refresh");
}

void ProfileNameWidget::ClearName() {
    isPlaceholder_ = true;
    Deselect();
}

void ProfileNameWidget::KeyChar(wchar_t c) {
    if (isPlaceholder_) SetLabel(L"");
    std::wstring label = GetLabel();
    if (AllowNameChar(label, c)) {
        SetLabel(label + c);
        isPlaceholder_ = false;
    } else if (c == 8 && !label.empty()) {
        label.pop_back();
        isPlaceholder_ = label.empty();
        SetLabel(label);
    } else if (c == 13) {
        if (owner_) owner_->FinishEditing();
    }
    if (GetLabel().empty()) SetLabel(LocalizeLookup(L"enter_your_name"));
    MarkDirty();
}

// --- ProfileMenu -------------------------------------------------------------------

ProfileMenu::ProfileMenu() : Menu(L"profile_menu") {
    SetUseTransition(true);
    SetPausable(false);
    const ProfileBook* profiles = Profiles();
    selected_ = profiles ? profiles->GetSelectedSlot() : -1;
    Service<FrontendHost>::Get().LoadDynamicAssets({L"nighttime"});
}

ProfileMenu::~ProfileMenu() { Service<FrontendHost>::Get().UnloadDynamicAssets({L"nighttime"}); }

int ProfileMenu::HandleCustomCommand(const AnimationStep& step) {
    if (step.name != L"add-profile") return Menu::HandleCustomCommand(step);
    AddProfileRow();
    return 2;
}

void ProfileMenu::AddProfileRow() {
    const int row = static_cast<int>(nameWidgets_.size());
    const ProfileBook* profiles = Profiles();
    auto* widget = new ProfileNameWidget(StepAttributeInt(L"x"), StepAttributeInt(L"y"), StepAttributeString(L"type"),
                                         profiles ? profiles->GetProfileName(row) : std::wstring(), this);
    const std::wstring fontName = StepHasAttribute(L"font") ? StepAttributeString(L"font") : L"hud_button_small";
    if (const Font* font = GetFontMap().Find(fontName)) widget->SetStateFont(ButtonWidget::kNormal, font);
    nameWidgets_.push_back(widget);
    if (StepHasAttribute(L"id"))
        RegisterObject(StepAttributeString(L"id"), widget);
    else
        AddWidget(widget);
    auto* button = GetLocalVariable(L"button").ToWidget<ButtonWidget>();
    if (button) button->SetVisible(false);
    rowButtons_.push_back(button);
}

bool ProfileMenu::SelectedRowIsNamed() const {
    return selected_ >= 0 && selected_ < static_cast<int>(nameWidgets_.size()) &&
           !nameWidgets_[selected_]->IsPlaceholder();
}

void ProfileMenu::AnimationFinished() {
    Menu::AnimationFinished();
    if (selected_ < 0 || selected_ >= static_cast<int>(nameWidgets_.size())) return;
    nameWidgets_[selected_]->Select();
    ApplySelectedName();
}

void ProfileMenu::ButtonRelease(int id) {
    for (int row = 0; row < static_cast<int>(nameWidgets_.size()); ++row) {
        ProfileNameWidget* widget = nameWidgets_[row];
        if (widget->GetId() == id) {
            if (row == selected_) return;
            if (selected_ >= 0 && selected_ < static_cast<int>(nameWidgets_.size())) {
                nameWidgets_[selected_]->Deselect();
                nameWidgets_[selected_]->FadeToFrame(0, 20);
                FinishEditing();
            }
            selected_ = row;
            widget->Select();
            WidgetManager* manager = GetManager();
            if (!widget->IsPlaceholder()) {
                Service<FrontendHost>::Get().SetPlayerName(widget->GetLabel());
                if (manager) manager->SetFocus(this);
            } else {
                if (manager) manager->SetFocus(widget);
                if (rowButtons_[row]) rowButtons_[row]->SetVisible(true);
            }
            ApplySelectedName();
            return;
        }
        if (rowButtons_[row] && rowButtons_[row]->GetId() == id) {
            FinishEditing();
            return;
        }
    }
    Menu::ButtonRelease(id);
}

void ProfileMenu::ApplySelectedName() {
    ProfileBook* profiles = Profiles();
    if (!profiles || selected_ < 0 || selected_ >= static_cast<int>(nameWidgets_.size())) return;
    if (SelectedRowIsNamed())
        profiles->ChooseProfile(nameWidgets_[selected_]->GetLabel(), selected_);
    else
        profiles->DeleteProfile(selected_);
}

void ProfileMenu::FinishEditing() {
    if (selected_ < 0 || selected_ >= static_cast<int>(nameWidgets_.size())) return;
    if (rowButtons_[selected_]) rowButtons_[selected_]->SetVisible(false);
    if (WidgetManager* manager = GetManager()) manager->SetFocus(this);
    ApplySelectedName();
    if (SelectedRowIsNamed()) {
        Service<FrontendHost>::Get().SetPlayerName(nameWidgets_[selected_]->GetLabel());
    } else {
        nameWidgets_[selected_]->Deselect();
        selected_ = -1;
    }
}

void ProfileMenu::DoAction(std::wstring_view action, std::wstring_view, int) {
    // Without a chosen profile the screen cannot be left; Done says why
    // rather than seeming not to work.
    if (!SelectedRowIsNamed()) {
        if (action == L"main") ShowMenu(new NoticeMenu(L"profile_none_chosen", nullptr, L"menu"));
        return;
    }
    ProfileBook* profiles = Profiles();
    if (action == L"main") {
        if (profiles && profiles->GetSelectedSlot() != selected_) FinishEditing();
        // A failed write is told and the screen stays, for Done to try again;
        // once told, a second failure goes on, the players kept for this run
        // only (a folder that can never be written must not lock the game here).
        if (profiles && !profiles->Save() && !unsavedTold_) {
            unsavedTold_ = true;
            ShowMenu(new NoticeMenu(L"profiles_not_saved", nullptr, L"menu"));
            return;
        }
        RemoveSelf();
        Service<FrontendHost>::Get().ShowMainMenu();
    } else if (action == L"delete") {
        ShowMenu(new ConfirmDeleteMenu(nameWidgets_[selected_]->GetLabel(), this));
    }
}

void ProfileMenu::DeleteSelected() {
    if (selected_ < 0 || selected_ >= static_cast<int>(nameWidgets_.size())) return;
    nameWidgets_[selected_]->ClearName();
    // The row the confirmation named is the one deleted, whatever the book has selected.
    if (ProfileBook* profiles = Profiles()) profiles->DeleteProfile(selected_);
    ApplySelectedName();
    selected_ = -1;
}

// --- ConfirmDeleteMenu --------------------------------------------------------------

namespace {

std::wstring DeleteText(const std::wstring& name) {
    const std::array<PropertyValue, 1> args{PropertyValue::FromWString(name)};
    return FormatWithArguments(LocalizeLookup(L"delete_text"), args);
}

}  // namespace

ConfirmDeleteMenu::ConfirmDeleteMenu(const std::wstring& name, ProfileMenu* owner)
    : ConfirmMenu(LocalizeLookup(L"delete_title"), DeleteText(name), L"delete_confirm", L"delete_cancel", nullptr),
      owner_(owner) {}

void ConfirmDeleteMenu::Confirm() {
    if (owner_) owner_->DeleteSelected();
    ConfirmMenu::Confirm();
}
