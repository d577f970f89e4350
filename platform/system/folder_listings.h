#pragma once
// Which loose files may exist, from listings of their folders instead of a
// probe per name. Reading data looks for a loose file before the pack, and
// nearly every such look fails; a failed probe costs an open, a stat and a
// case-blind folder scan, where a folder listed once answers from memory.
//
// Owns: one listing per folder looked into, its names folded to upper case.
// Promises: never says "absent" for a file this process made through the
// file layer, nor for one another process made more than a tenth of a
// second ago: a listing is used while its folder's change time is the one
// it was read at (looked at again after 100 ms, and at once after any
// change through the file layer), and only when that time lay well before
// the reading, so a name added within the file system's clock tick cannot
// hide; otherwise the answer is "may exist" and the caller probes as
// before. Paths with "." or ".." steps are not looked into, nor folders
// holding names that differ only in case ("may exist").
// Threads: any thread; the listings are guarded by one lock.

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace plat {

class FolderListings {
public:
    // False when a folder on the way to `path` ('\\' or '/' separated) has no
    // entry of the next name, ignoring ASCII case; true otherwise.
    bool MayExist(std::string_view path);

private:
    struct Listing {
        uint64_t device = 0, inode = 0;
        int64_t changedSec = 0, changedNsec = 0;
        int64_t checkedMs = 0;                               // when the folder was last looked at
        uint64_t changes = 0;                                // FileChangeCount() then
        std::unordered_map<std::string, std::string> names;  // upper case -> as on disk; empty when several
    };
    // The current listing of `folder`, or null when it cannot be trusted.
    const Listing* Current(const std::string& folder);

    std::mutex lock_;
    std::unordered_map<std::string, Listing> listings_;
};

}  // namespace plat
