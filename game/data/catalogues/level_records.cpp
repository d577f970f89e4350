#include "game/data/catalogues/level_records.h"

PropertyValue LEVEL_ITEM::GetProperty(std::wstring_view property) {
    if (property == L"type") return PropertyValue(type);
    if (property == L"action") return PropertyValue(action);
    if (property == L"col") return PropertyValue(static_cast<int>(col));
    if (property == L"row") return PropertyValue(static_cast<int>(row));
    if (property == L"orientation") return PropertyValue(static_cast<int>(orientation));
    return ExtendedPropertyInterface::GetProperty(property);
}

PropertyValue LEVEL_GOAL::GetProperty(std::wstring_view property) {
    if (property == L"name") return PropertyValue(name);
    if (property == L"metric") return PropertyValue(metric);
    if (property == L"requirement") return PropertyValue(requirement);
    if (property == L"completed") return PropertyValue(completed);
    return ExtendedPropertyInterface::GetProperty(property);
}

PropertyValue LEVEL::GetProperty(std::wstring_view property) {
    if (property == L"name") return PropertyValue(name);
    if (property == L"background") return PropertyValue(background);
    if (property == L"cols") return PropertyValue(static_cast<int>(cols));
    if (property == L"rows") return PropertyValue(static_cast<int>(rows));
    if (property == L"grid_x") return PropertyValue(static_cast<int>(grid_x));
    if (property == L"grid_y") return PropertyValue(static_cast<int>(grid_y));
    if (property == L"camera_x") return PropertyValue(static_cast<int>(camera_x));
    if (property == L"camera_y") return PropertyValue(static_cast<int>(camera_y));
    if (property == L"metric") return PropertyValue::FromInterface(&metrics);
    if (property == L"goals") return PropertyValue::FromInterface(&goals);
    if (property == L"items") return PropertyValue::FromInterface(&items);
    return ExtendedPropertyInterface::GetProperty(property);
}
