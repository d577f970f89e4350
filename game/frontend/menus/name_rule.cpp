#include "game/frontend/menus/name_rule.h"

bool AllowTypedChar(std::wstring_view text, wchar_t c, int maxLength) {
    if (static_cast<long long>(text.size()) >= maxLength) return false;
    if (c < (text.empty() ? 33 : 32)) return false;
    return c != L'"' && c != L'\\';
}

bool AllowNameChar(std::wstring_view text, wchar_t c) { return AllowTypedChar(text, c, kMaxNameLength); }

bool AllowNameText(std::wstring_view text) {
    for (size_t i = 0; i < text.size(); ++i)
        if (!AllowNameChar(text.substr(0, i), text[i])) return false;
    return true;
}
