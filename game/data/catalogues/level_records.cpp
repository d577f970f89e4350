#include "game/data/catalogues/level_records.h"

namespace {

const PropertyTable<LEVEL_ITEM>& ItemProperties() {
    using R = LEVEL_ITEM;
    using T = PropertyTable<R>;
    static const T table{
        T::Value(L"type", [](R& r) { return PropertyValue::FromWString(r.type); }),
        T::Value(L"action", [](R& r) { return PropertyValue::FromWString(r.action); }),
        T::Int(L"col", [](R& r) { return &r.col; }),
        T::Int(L"row", [](R& r) { return &r.row; }),
        T::Int(L"orientation", [](R& r) { return &r.orientation; }),
    };
    return table;
}

const PropertyTable<LEVEL_GOAL>& GoalProperties() {
    using R = LEVEL_GOAL;
    using T = PropertyTable<R>;
    static const T table{
        T::Value(L"name", [](R& r) { return PropertyValue::FromWString(r.name); }),
        T::Value(L"metric", [](R& r) { return PropertyValue::FromWString(r.metric); }),
        T::FloatReadOnly(L"requirement", [](R& r) { return &r.requirement; }),
        T::Value(L"completed", [](R& r) { return PropertyValue::FromBool(r.completed); }),
    };
    return table;
}

const PropertyTable<LEVEL>& LevelProperties() {
    using R = LEVEL;
    using T = PropertyTable<R>;
    static const T table{
        T::Value(L"name", [](R& r) { return PropertyValue::FromWString(r.name); }),
        T::Value(L"background", [](R& r) { return PropertyValue::FromWString(r.background); }),
        T::Int(L"cols", [](R& r) { return &r.cols; }),
        T::Int(L"rows", [](R& r) { return &r.rows; }),
        T::Int(L"grid_x", [](R& r) { return &r.grid_x; }),
        T::Int(L"grid_y", [](R& r) { return &r.grid_y; }),
        T::Int(L"camera_x", [](R& r) { return &r.camera_x; }),
        T::Int(L"camera_y", [](R& r) { return &r.camera_y; }),
        T::Value(L"metric", [](R& r) { return PropertyValue::FromPropertyInterface(&r.metrics); }),
        T::Value(L"goals", [](R& r) { return PropertyValue::FromPropertyInterface(&r.goals); }),
        T::Value(L"items", [](R& r) { return PropertyValue::FromPropertyInterface(&r.items); }),
    };
    return table;
}

}  // namespace

PropertyValue LEVEL_ITEM::GetProperty(std::wstring_view property) {
    if (auto value = ReadRecordProperty(ItemProperties(), *this, property)) return *value;
    return ExtendedPropertyInterface::GetProperty(property);
}

PropertyValue LEVEL_GOAL::GetProperty(std::wstring_view property) {
    if (auto value = ReadRecordProperty(GoalProperties(), *this, property)) return *value;
    return ExtendedPropertyInterface::GetProperty(property);
}

PropertyValue LEVEL::GetProperty(std::wstring_view property) {
    if (auto value = ReadRecordProperty(LevelProperties(), *this, property)) return *value;
    return ExtendedPropertyInterface::GetProperty(property);
}
