#include "foundation/expression/localization_map.h"

LocalizationTable& LocalizationMap() {
    static LocalizationTable map;
    return map;
}

const std::wstring& LocalizeLookup(std::wstring_view key) {
    LocalizationTable& map = LocalizationMap();
    auto it = map.find(key);
    if (it == map.end()) it = map.emplace(std::wstring(key), std::wstring()).first;
    return it->second;
}
