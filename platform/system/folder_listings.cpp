#include "platform/system/folder_listings.h"

#include <dirent.h>
#include <sys/stat.h>

#include <ctime>

#include "platform/system/file_system.h"

namespace plat {
namespace {

// A folder changed less than this long before it was listed may change again
// within the same tick of the file system's clock, unseen.
constexpr int64_t kSettledSeconds = 2;

// How long a listing is taken as it stands before its folder is looked at
// again; changes this process makes through the file layer end it at once.
constexpr int64_t kRecheckMs = 100;

std::string Upper(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace

const FolderListings::Listing* FolderListings::Current(const std::string& folder) {
    timespec coarse;
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &coarse);
    const int64_t nowMs = static_cast<int64_t>(coarse.tv_sec) * 1000 + coarse.tv_nsec / 1'000'000;
    const uint64_t changes = FileChangeCount();
    auto it = listings_.find(folder);
    if (it != listings_.end() && it->second.changes == changes && nowMs - it->second.checkedMs < kRecheckMs)
        return &it->second;
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
    if (it != listings_.end() && it->second.device == st.st_dev && it->second.inode == st.st_ino &&
        it->second.changedSec == st.st_mtim.tv_sec && it->second.changedNsec == st.st_mtim.tv_nsec) {
        it->second.checkedMs = nowMs;
        it->second.changes = changes;
        return &it->second;
    }
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    if (now.tv_sec - st.st_mtim.tv_sec < kSettledSeconds) {
        if (it != listings_.end()) listings_.erase(it);
        return nullptr;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return nullptr;
    Listing listing{static_cast<uint64_t>(st.st_dev),
                    static_cast<uint64_t>(st.st_ino),
                    st.st_mtim.tv_sec,
                    st.st_mtim.tv_nsec,
                    nowMs,
                    changes,
                    {}};
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        // Names that differ only in case: which one a path means is left to
        // the probe (kept empty).
        auto [slot, added] = listing.names.try_emplace(Upper(name), name);
        if (!added) slot->second.clear();
    }
    ::closedir(dir);
    // Listed after the stat: a change in between shows as a newer time next call.
    return &(listings_[folder] = std::move(listing));
}

bool FolderListings::MayExist(std::string_view path) {
    if (path.empty()) return true;
    std::string folder = path.front() == '/' || path.front() == '\\' ? "/" : ".";
    std::lock_guard guard(lock_);
    size_t i = 0;
    while (i < path.size()) {
        size_t end = path.find_first_of("/\\", i);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view component = path.substr(i, end - i);
        i = end + 1;
        if (component.empty()) continue;  // a doubled separator
        if (component == "." || component == "..") return true;
        const Listing* listing = Current(folder);
        if (!listing) return true;
        auto found = listing->names.find(Upper(component));
        if (found == listing->names.end()) return false;
        if (found->second.empty()) return true;
        if (folder == ".")
            folder = found->second;
        else
            folder += (folder == "/" ? "" : "/") + found->second;
    }
    return true;
}

}  // namespace plat
