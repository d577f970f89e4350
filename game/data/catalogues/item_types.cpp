#include "game/data/catalogues/item_types.h"

#include <algorithm>

#include "foundation/values/property_value.h"
#include "game/data/catalogues/property_containers.h"

namespace {

const PropertyTable<ITEM_TYPE>& ItemProperties() {
    using R = ITEM_TYPE;
    using T = PropertyTable<R>;
    static const T table{
        T::Value(L"type", [](R& r) { return PropertyValue::FromWString(r.type); }),
        T::Value(L"category", [](R& r) { return PropertyValue::FromWString(r.category); }),
        T::Value(L"image", [](R& r) { return PropertyValue::FromWString(r.image); }),
        T::Int(L"width", [](R& r) { return &r.width; }),
        T::Int(L"height", [](R& r) { return &r.height; }),
        T::Value(L"auto_flip_x", [](R& r) { return PropertyValue::FromBool(r.auto_flip_x); }),
    };
    return table;
}

const PropertyTable<PERSON_TYPE>& PersonProperties() {
    using R = PERSON_TYPE;
    using T = PropertyTable<R>;
    static const T table{
        T::FloatReadOnly(L"path_speed", [](R& r) { return &r.path_speed; }),
        T::FloatReadOnly(L"foot_offset", [](R& r) { return &r.foot_offset; }),
    };
    return table;
}

const PropertyTable<BUILDING_TYPE>& BuildingProperties() {
    using R = BUILDING_TYPE;
    using T = PropertyTable<R>;
    static const T table{
        T::Value(L"doors", [](R& r) { return PropertyValue::FromInt(static_cast<int32_t>(r.doors.size())); }),
    };
    return table;
}

const PropertyTable<KIVRA_BUILDING_TYPE>& KivraBuildingProperties() {
    using R = KIVRA_BUILDING_TYPE;
    using T = PropertyTable<R>;
    static const T table{
        T::Int(L"capacity", [](R& r) { return &r.capacity; }),
        T::Int(L"buycost", [](R& r) { return &r.buycost; }),
        T::Int(L"costperuse", [](R& r) { return &r.costperuse; }),
        T::Int(L"timeperuse", [](R& r) { return &r.timeperuse; }),
        T::Int(L"ticketprice", [](R& r) { return &r.ticketprice; }),
        T::FloatReadOnly(L"appeal", [](R& r) { return &r.appeal; }),
        T::FloatReadOnly(L"energyperuse", [](R& r) { return &r.energyperuse; }),
        T::FloatReadOnly(L"appealbuff", [](R& r) { return &r.appealbuff; }),
        T::Value(L"availabletobuy", [](R& r) { return PropertyValue::FromBool(r.availabletobuy); }),
        // A zone size that was never given reads as 0.
        T::Value(L"zone_width", [](R& r) { return PropertyValue::FromInt(std::max(r.zone_width, 0)); }),
        T::Value(L"zone_height", [](R& r) { return PropertyValue::FromInt(std::max(r.zone_height, 0)); }),
    };
    return table;
}

}  // namespace

PropertyValue ITEM_TYPE::GetProperty(std::wstring_view name) {
    if (auto value = ReadRecordProperty(ItemProperties(), *this, name)) return *value;
    return ExtendedPropertyInterface::GetProperty(name);
}

PropertyValue PERSON_TYPE::GetProperty(std::wstring_view name) {
    if (auto value = ReadRecordProperty(PersonProperties(), *this, name)) return *value;
    return ITEM_TYPE::GetProperty(name);
}

PropertyValue BUILDING_TYPE::GetProperty(std::wstring_view name) {
    if (auto value = ReadRecordProperty(BuildingProperties(), *this, name)) return *value;
    return ITEM_TYPE::GetProperty(name);
}

PropertyValue KIVRA_PERSON_TYPE::GetProperty(std::wstring_view name) {
    if (std::optional<PropertyValue> value = preferred.GetProperty(name)) return *value;
    constexpr std::wstring_view kMax = L"_max";
    if (name.size() >= kMax.size() && name.substr(name.size() - kMax.size()) == kMax) {
        auto it = maxima.find(std::wstring(name.substr(0, name.size() - kMax.size())));
        return PropertyValue(static_cast<int>(it == maxima.end() ? 0 : it->second));
    }
    return PERSON_TYPE::GetProperty(name);
}

PropertyValue KIVRA_BUILDING_TYPE::GetProperty(std::wstring_view name) {
    if (auto value = ReadRecordProperty(KivraBuildingProperties(), *this, name)) return *value;
    if (std::optional<PropertyValue> value = characteristics.GetProperty(name)) return *value;
    return BUILDING_TYPE::GetProperty(name);
}
