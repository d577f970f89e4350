#include "widgets/screens/notice_menu.h"

#include <string>

#include "foundation/expression/format.h"
#include "foundation/expression/localization_map.h"
#include "widgets/screens/menu_host.h"

NoticeMenu::NoticeMenu(std::wstring_view key, Menu* parent, std::wstring_view textFont,
                       std::span<const PropertyValue> textArguments)
    : DialogMenu(parent) {
    const std::wstring name(key);
    SetVariable(L"title", PropertyValue(LocalizeLookup(name + L"_title")));
    const std::wstring text = LocalizeLookup(name + L"_text");
    SetVariable(L"text", PropertyValue(textArguments.empty() ? text : FormatWithArguments(text, textArguments)));
    SetVariable(L"text_font", PropertyValue(std::wstring(textFont)));
    PlayAnimationNamed(L"notice_menu");
}

DynamicWidget* OpenNoticeMenu(std::wstring_view key, RemovalListener* watcher) {
    auto* menu = new NoticeMenu(key, nullptr, L"menu");
    menu->SetRemovalListener(watcher);
    ShowMenu(menu);
    // A menu nobody took was deleted, and the watch ended with it.
    return watcher && watcher->IsWatching(menu) ? menu : nullptr;
}
