#include "game/frontend/menus/main_menu.h"

#include <array>

#include "app/assets/asset_collector.h"
#include "foundation/expression/format.h"
#include "foundation/expression/localization_map.h"
#include "foundation/system/string_utils.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/frontend/menus/options_menu.h"
#include "game/frontend/menus/profile_book.h"
#include "game/frontend/menus/profile_menu.h"
#include "rendering/font/font.h"
#include "rendering/font/fonts_xml.h"
#include "widgets/screens/confirm_menu.h"
#include "widgets/screens/menu_host.h"

MainMenu::MainMenu() : Menu(L"main_menu") {
    SetUseTransition(true);
    SetPausable(false);
    const ProfileBook* profiles = Service<FrontendHost>::Get().GetProfiles();
    const std::wstring name = profiles ? profiles->GetProfileName(profiles->GetSelectedSlot()) : std::wstring();
    SetVariable(L"player_name", PropertyValue::FromWString(name));
    const std::array<PropertyValue, 1> args{PropertyValue::FromWString(name)};
    const std::wstring greeting = FormatWithArguments(LocalizeLookup(L"main_welcome"), args);
    SetVariable(L"welcome_font", PropertyValue::FromWString(GreetingFont(greeting)));
}

std::wstring MainMenu::GreetingFont(const std::wstring& greeting) {
    static constexpr std::array<const wchar_t*, 3> kFonts{L"heading", L"plain2", L"hud_button_small"};
    for (const wchar_t* name : kFonts) {
        Font* font = GetFontMap().Find(name);
        if (font && font->StringWidth(greeting) <= kGreetingWidth) return name;
    }
    return kFonts.back();
}

void MainMenu::DoAction(std::wstring_view action, std::wstring_view parameter, int number) {
    if (action == L"play") {
        Service<FrontendHost>::Get().ShowPlayMenu();
        RemoveSelf();
    } else if (action == L"profile") {
        ShowMenu(new ProfileMenu());
        RemoveSelf();
    } else if (action == L"options") {
        ShowMenu(new OptionsMenu(L"main_menu", nullptr));
    } else if (action == L"credits") {
        ShowMenu(new CreditsMenu());
        RemoveSelf();
    } else if (action == L"quit") {
        ShowMenu(new ConfirmQuitMenu());
    } else {
        AnimationWidget::DoAction(action, parameter, number);
    }
}

CreditsMenu::CreditsMenu() : Menu(L"credits_menu") {
    SetUseTransition(true);
    FrontendHost& host = Service<FrontendHost>::Get();
    int hours = 0, minutes = 0;
    host.GetPlayTime(hours, minutes);
    const std::array<PropertyValue, 2> args{PropertyValue::FromInt(hours), PropertyValue::FromInt(minutes)};
    SetVariable(L"time", PropertyValue::FromWString(FormatWithArguments(LocalizeLookup(L"elapsed_time"), args)));
    SetVariable(L"version", PropertyValue::FromWString(StringToWString(host.GetVersion())));
    host.LoadDynamicAssets({L"credits_screen"});
}

void CreditsMenu::DoAction(std::wstring_view action, std::wstring_view, int) {
    if (action != L"main") return;
    RemoveSelf();
    FrontendHost& host = Service<FrontendHost>::Get();
    host.UnloadDynamicAssets({L"credits_screen"});
    host.ShowMainMenu();
}

std::set<std::wstring> MainMenuAssetNames() {
    AssetNameSets used;
    // Asked first: looking a name up enters it.
    if (AnimationExists(L"main_menu")) AssetCollector::MergeAssets(*FindAnimation(L"main_menu"), used, nullptr);
    std::set<std::wstring> names = used.images;
    names.insert(L"hotdog_idle");
    return names;
}

void LoadMainMenuAssets(bool load) {
    const std::set<std::wstring> names = MainMenuAssetNames();
    if (load)
        Service<FrontendHost>::Get().LoadDynamicAssets(names);
    else
        Service<FrontendHost>::Get().UnloadDynamicAssets(names);
}
