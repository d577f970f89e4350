#include "foundation/expression/constants_map.h"

VariableMap& ConstantsMap() {
    static VariableMap map;
    return map;
}

namespace {

PropertyValue& Entry(std::wstring_view name) {
    VariableMap& map = ConstantsMap();
    auto it = map.find(name);
    if (it == map.end()) it = map.emplace(std::wstring(name), PropertyValue(0)).first;
    return it->second;
}

}  // namespace

PropertyValue GetConstant(std::wstring_view name) { return Entry(name); }

int32_t GetConstantInt(std::wstring_view name) { return Entry(name).ToInt(); }
