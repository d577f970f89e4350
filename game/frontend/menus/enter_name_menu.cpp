#include "game/frontend/menus/enter_name_menu.h"

#include "foundation/expression/constants_map.h"
#include "foundation/expression/format.h"
#include "foundation/expression/localization_map.h"
#include "foundation/system/app_services.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/frontend/menus/name_rule.h"
#include "game/frontend/menus/profile_book.h"
#include "platform/window/virtual_keys.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/fonts_xml.h"
#include "rendering/image/image.h"
#include "widgets/controls/button_widget.h"
#include "widgets/screens/menu_host.h"
#include "widgets/screens/notice_menu.h"
#include "widgets/screens/title_screen.h"
#include "widgets/tree/widget_manager.h"

EnterNameMenu::EnterNameMenu(TitleScreen* title)
    : Menu(dynamic_cast<Image*>(FindImageByName(L"EnterName")), true, true), title_(title) {
    SetFloatProperty(L"y", 80, true);
    nameEdit_ = new EditWidget(this);
    nameEdit_->SetFont(GetFontMap().Find(L"plain2"), false);
    nameEdit_->SetMaxChars(kMaxNameLength);
    nameEdit_->SetColor(EditWidget::kBackground, Color::FromRGBA(0, 0, 0, 0));
    nameEdit_->SetColor(EditWidget::kOutline, Color::FromRGBA(0, 0, 0, 0));
    nameEdit_->SetColor(EditWidget::kText, Color::White);
    nameEdit_->SetColor(EditWidget::kSelection, GetConstant(L"enter_name_cursor").ToColor());
    nameEdit_->Resize(35, 58, 224, 50);
    nameEdit_->SetVisible(true);
    AddWidget(nameEdit_);
    okButton_ = AddButton(278, 50, L"EnterNameOk", L"", false);
}

void EnterNameMenu::AddedToManager(WidgetManager* manager) {
    Menu::AddedToManager(manager);
    if (manager) manager->SetFocus(nameEdit_);
}

void EnterNameMenu::Draw(Graphics* g) {
    Menu::Draw(g);
    Font* font = GetFontMap().Find(L"plain2_white");
    if (!font) return;
    g->SetFont(font);
    g->SetColor(Color::White);
    g->WriteString(Heading(), GetWidth() / 2, 36, -1, 0);
}

std::wstring EnterNameMenu::Heading() const {
    if (nameEdit_->GetText().size() < static_cast<size_t>(kMaxNameLength)) return LocalizeLookup(L"enter_name_menu");
    const PropertyValue limit = PropertyValue::FromInt(kMaxNameLength);
    return FormatWithArguments(LocalizeLookup(L"enter_name_full"), {&limit, 1});
}

bool EnterNameMenu::AllowKeyDown(int editId, int key) {
    if (editId != nameEdit_->GetId() || key != static_cast<int>(plat::vk::kReturn)) return true;
    if (nameEdit_->GetText().empty()) return true;
    Accept();
    return false;
}

bool EnterNameMenu::AllowKey(int editId, wchar_t c) {
    if (editId != nameEdit_->GetId()) return true;
    return AllowNameChar(nameEdit_->GetText(), c);
}

bool EnterNameMenu::AllowText(int editId, const std::wstring& text) {
    return editId != nameEdit_->GetId() || AllowNameText(text);
}

void EnterNameMenu::ButtonRelease(int id) {
    if (id == okButton_->GetId())
        Accept();
    else
        Menu::ButtonRelease(id);
}

void EnterNameMenu::Accept() {
    const std::wstring name = nameEdit_->GetText();
    if (name.empty()) return;
    ProfileBook* profiles = Service<FrontendHost>::Get().GetProfiles();
    if (!profiles || !profiles->CreateProfile(name, -1, true)) {
        // Every slot holds a profile: say so, keep the name for another try.
        ShowMenu(new NoticeMenu(L"profiles_full", nullptr, L"menu"));
        return;
    }
    const bool saved = profiles->ChangeSaved();
    RemoveSelf();
    if (title_) title_->Close();
    // The player plays on, told (over the menu the title opens) that nothing
    // will be kept, as the profile screen tells it.
    if (!saved) ShowMenu(new NoticeMenu(L"profiles_not_written", nullptr, L"menu"));
}
