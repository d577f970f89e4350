// The registry file's text: read as the registry reads "registry.xml". What
// reads back must survive being written and read again unchanged, as the
// registry promises for any value; a difference stops the run.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "platform/system/registry.h"

namespace {

bool Same(const std::map<std::string, plat::RegistryValue>& a, const std::map<std::string, plat::RegistryValue>& b) {
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
        if (i->first != j->first || i->second.key != j->second.key || i->second.name != j->second.name ||
            i->second.data != j->second.data)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::map<std::string, plat::RegistryValue> read;
    if (!plat::ReadRegistryText(std::string_view(reinterpret_cast<const char*>(data), size), read)) return 0;
    std::map<std::string, plat::RegistryValue> again;
    if (!plat::ReadRegistryText(plat::WriteRegistryText(read), again) || !Same(read, again)) {
        std::fprintf(stderr, "halvaro fuzz: the registry text did not survive being written again\n");
        std::abort();
    }
    return 0;
}
