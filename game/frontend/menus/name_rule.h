#pragma once
// The rule for the characters of a profile name, shared by every screen that
// takes one: names are 1 to 10 characters, none a control character, the
// first not a space, and no double quote or backslash (profiles.xml keeps
// them in attributes).

#include <string_view>

inline constexpr int kMaxNameLength = 10;

// Whether `c` may be appended to `text`.
bool AllowNameChar(std::wstring_view text, wchar_t c);

// Whether the whole text could have been typed under the rule, character by
// character (the empty text of a field being edited included).
bool AllowNameText(std::wstring_view text);

// The shared filter of the name rule and the text field: whether `c` may be
// appended to `text` that may grow to `maxLength` characters.
bool AllowTypedChar(std::wstring_view text, wchar_t c, int maxLength);
