#pragma once
// NoticeMenu: a dialog playing the "notice_menu" script with the texts of a
// key (its "_title" and "_text" entries) and the name of the text's font.
// The script word "notice-menu" opens one (OpenNoticeMenu, script_menu.h).
// Main thread only.

#include <span>
#include <string_view>

#include "foundation/values/property_value.h"

#include "widgets/screens/dialog_menu.h"

class NoticeMenu : public DialogMenu {
public:
    // `textArguments` fill the text's "%s" and "%d" places (the text is never
    // handed to the C library as a format).
    NoticeMenu(std::wstring_view key, Menu* parent, std::wstring_view textFont,
               std::span<const PropertyValue> textArguments = {});
};
