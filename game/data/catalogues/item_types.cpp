#include "game/data/catalogues/item_types.h"

#include <algorithm>

#include "foundation/values/property_value.h"
#include "game/data/catalogues/property_containers.h"

namespace {

// "characteristic<n>": the n-th set characteristic's name; absent for other names.
std::optional<PropertyValue> CharacteristicAt(const KivraCharacteristics& set,
                                              std::wstring_view name) {
    constexpr std::wstring_view kPrefix = L"characteristic";
    if (name.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
    const std::optional<size_t> n = ParseDecimalIndex(name.substr(kPrefix.size()));
    if (!n) return std::nullopt;
    return PropertyValue(set.GetNameAt(static_cast<int>(std::min<size_t>(*n, 64))));
}

}  // namespace

PropertyValue ITEM_TYPE::GetProperty(std::wstring_view name) {
    if (name == L"type") return PropertyValue(type);
    if (name == L"category") return PropertyValue(category);
    if (name == L"image") return PropertyValue(image);
    if (name == L"width") return PropertyValue(static_cast<int>(width));
    if (name == L"height") return PropertyValue(static_cast<int>(height));
    if (name == L"auto_flip_x") return PropertyValue(auto_flip_x);
    return ExtendedPropertyInterface::GetProperty(name);
}

PropertyValue PERSON_TYPE::GetProperty(std::wstring_view name) {
    if (name == L"path_speed") return PropertyValue(path_speed);
    if (name == L"foot_offset") return PropertyValue(foot_offset);
    return ITEM_TYPE::GetProperty(name);
}

PropertyValue BUILDING_TYPE::GetProperty(std::wstring_view name) {
    if (name == L"doors") return PropertyValue(static_cast<int>(doors.size()));
    return ITEM_TYPE::GetProperty(name);
}

PropertyValue KIVRA_PERSON_TYPE::GetProperty(std::wstring_view name) {
    if (std::optional<PropertyValue> value = CharacteristicAt(preferred, name)) return *value;
    constexpr std::wstring_view kMax = L"_max";
    if (name.size() >= kMax.size() && name.substr(name.size() - kMax.size()) == kMax) {
        auto it = maxima.find(std::wstring(name.substr(0, name.size() - kMax.size())));
        return PropertyValue(static_cast<int>(it == maxima.end() ? 0 : it->second));
    }
    return PERSON_TYPE::GetProperty(name);
}

PropertyValue KIVRA_BUILDING_TYPE::GetProperty(std::wstring_view name) {
    if (name == L"capacity") return PropertyValue(static_cast<int>(capacity));
    if (name == L"buycost") return PropertyValue(static_cast<int>(buycost));
    if (name == L"costperuse") return PropertyValue(static_cast<int>(costperuse));
    if (name == L"timeperuse") return PropertyValue(static_cast<int>(timeperuse));
    if (name == L"ticketprice") return PropertyValue(static_cast<int>(ticketprice));
    if (name == L"appeal") return PropertyValue(appeal);
    if (name == L"energyperuse") return PropertyValue(energyperuse);
    if (name == L"appealbuff") return PropertyValue(appealbuff);
    if (name == L"availabletobuy") return PropertyValue(availabletobuy);
    // A zone size that was never given reads as 0.
    if (name == L"zone_width") return PropertyValue(static_cast<int>(std::max(zone_width, 0)));
    if (name == L"zone_height") return PropertyValue(static_cast<int>(std::max(zone_height, 0)));
    if (std::optional<PropertyValue> value = CharacteristicAt(characteristics, name)) return *value;
    return BUILDING_TYPE::GetProperty(name);
}
