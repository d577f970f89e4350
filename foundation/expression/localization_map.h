#pragma once
// The process-wide localisation table: key to the text shown to the player.
// Filled while the string tables load, read for the rest of the run; the
// game's string-table reader may empty it before loading again.
//
// Looking up an absent key enters it with the empty text and yields that.
// Not locked: written during loading, read afterwards by the main thread.

#include <functional>
#include <map>
#include <string>
#include <string_view>

using LocalizationTable = std::map<std::wstring, std::wstring, std::less<>>;

LocalizationTable& LocalizationMap();

// The text of the key; an absent key is entered with the empty text.
const std::wstring& LocalizeLookup(std::wstring_view key);
