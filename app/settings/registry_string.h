#pragma once
// The one string value the application writes to its registry key on behalf
// of lower layers (the graphics layer records its run-time errors this way).
//
// Promises: nothing is written without a key name; failures are silent, as
// a missing registry must never stop the program.
// Threads: any; the registry serialises its own writes.

#include <string>
#include <string_view>

namespace plat {
class Registry;
}

struct RegistryValuePath {
    std::string key;   // "SOFTWARE\\<key name>[\\sub key]"
    std::string name;  // the value's name
};

// Splits "<valuePath>" under the application's key into key and value name;
// a trailing backslash is dropped first.
RegistryValuePath SplitRegistryValuePath(std::string_view keyName, std::string_view valuePath);

bool WriteRegistryString(plat::Registry& registry, std::string_view keyName, std::string_view valuePath,
                         std::string_view data);
