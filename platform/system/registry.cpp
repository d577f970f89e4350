#include "platform/system/registry.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/system/file_system.h"

namespace plat {

Registry::Registry(std::string folder) : folder_(std::move(folder)) {
    path_ = folder_;
    if (!path_.empty() && path_.back() != '/' && path_.back() != '\\') path_ += '/';
    path_ += "registry.xml";
    path_ = NativePath(path_);
}

void Registry::LoadLocked() {
    if (loaded_) return;
    loaded_ = true;
    std::ifstream in(ResolvePath(path_), std::ios::binary);
    if (!in) return;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A damaged file leaves the map empty; the next set rewrites it whole.
    ReadRegistryText(text, entries_);
}

bool Registry::SaveLocked() const {
    std::error_code ec;
    std::filesystem::create_directories(NativePath(folder_), ec);
    return ReplaceFileContents(path_, WriteRegistryText(entries_));
}

bool Registry::SetString(std::string_view key, std::string_view name, std::string_view data) {
    std::lock_guard lock(mutex_);
    LoadLocked();
    std::string lookup = RegistryLookupKey(key, name);
    auto it = entries_.find(lookup);
    std::optional<RegistryValue> previous;
    if (it != entries_.end()) {
        previous = it->second;
        it->second.data = std::string(data);
    } else {
        entries_.emplace(lookup, RegistryValue{std::string(key), std::string(name), std::string(data)});
    }
    if (SaveLocked()) return true;
    // Keep memory and disk in step: what was not written is not kept.
    if (previous)
        entries_[lookup] = std::move(*previous);
    else
        entries_.erase(lookup);
    return false;
}

std::optional<std::string> Registry::GetString(std::string_view key, std::string_view name) {
    std::lock_guard lock(mutex_);
    LoadLocked();
    auto it = entries_.find(RegistryLookupKey(key, name));
    if (it == entries_.end()) return std::nullopt;
    return it->second.data;
}

}  // namespace plat
