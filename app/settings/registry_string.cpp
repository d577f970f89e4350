#include "app/settings/registry_string.h"

#include "platform/system/registry.h"

RegistryValuePath SplitRegistryValuePath(std::string_view keyName, std::string_view valuePath) {
    std::string full = "SOFTWARE\\" + std::string(keyName) + "\\" + std::string(valuePath);
    if (!full.empty() && full.back() == '\\') full.pop_back();
    size_t last = full.rfind('\\');
    return {full.substr(0, last), full.substr(last + 1)};
}

bool WriteRegistryString(plat::Registry& registry, std::string_view keyName, std::string_view valuePath,
                         std::string_view data) {
    if (keyName.empty()) return false;
    RegistryValuePath path = SplitRegistryValuePath(keyName, valuePath);
    return registry.SetString(path.key, path.name, data);
}
