#include "foundation/files/pak_interface.h"

namespace {

// Pack entries match a pattern with a '*': the text before the first '*' must
// begin the key; the text after it must be empty, ".*", or end the key.
bool MatchPattern(std::string_view pattern, std::string_view key) {
    size_t star = pattern.find('*');
    if (star == std::string_view::npos) return false;
    std::string_view prefix = pattern.substr(0, star);
    std::string_view suffix = pattern.substr(star + 1);
    if (!key.starts_with(prefix)) return false;
    if (suffix.empty() || suffix == ".*") return true;
    return key.size() >= prefix.size() + suffix.size() && key.ends_with(suffix);
}

void Describe(const PakRecord& record, std::string_view pattern, plat::FindData& found) {
    found = plat::FindData();
    std::string_view afterStar = pattern.substr(pattern.find('*') + 1);
    found.attributes = afterStar.find('\\') != std::string_view::npos ? plat::kFileAttributeDirectory : 0;
    size_t sep = record.fileName_.find_last_of("\\/");
    found.fileName = sep == std::string::npos ? record.fileName_ : record.fileName_.substr(sep + 1);
    found.size = static_cast<uint64_t>(record.size_);
    found.creationTime = found.lastAccessTime = found.lastWriteTime = record.fileTime_;
}

}  // namespace

PakFindData* PakInterface::FindFirst(std::string_view pattern, plat::FindData* found) {
    if (!found) return nullptr;
    auto search = std::make_unique<PakFindData>();
    search->findCriteria_ = NormalizeName(pattern);
    if (SearchDirectory(search.get(), found, true) || SearchDisk(search.get(), found, true)) return search.release();
    return nullptr;
}

bool PakInterface::FindNext(PakFindData* search, plat::FindData* found) {
    if (!search || !found) return false;
    if (search->diskSearch_.IsOpen()) return SearchDisk(search, found, false);
    return SearchDirectory(search, found, false) || SearchDisk(search, found, true);
}

bool PakInterface::FindClose(PakFindData* search) {
    delete search;
    return search != nullptr;
}

bool PakInterface::SearchDirectory(PakFindData* search, plat::FindData* found, bool fromStart) {
    const std::string& pattern = search->findCriteria_;
    size_t star = pattern.find('*');
    if (!search->packDone_ && star != std::string::npos && pattern.size() <= kPakMaxNameLength) {
        // Keys are ordered, so every match lies in the run that begins with the prefix.
        std::string_view prefix = std::string_view(pattern).substr(0, star);
        auto it = fromStart ? directory_.lower_bound(std::string(prefix)) : directory_.upper_bound(search->lastFind_);
        for (; it != directory_.end() && it->first.starts_with(prefix); ++it) {
            if (MatchPattern(pattern, it->first)) {
                Describe(it->second, pattern, *found);
                search->lastFind_ = it->first;
                return true;
            }
        }
    }
    search->packDone_ = true;
    return false;
}

bool PakInterface::SearchDisk(PakFindData* search, plat::FindData* found, bool first) {
    const std::string& pattern = search->findCriteria_;
    bool ok = first ? search->diskSearch_.First(pattern, *found) : search->diskSearch_.Next(*found);
    // A file in both places was reported with the pack's entries already.
    size_t sep = pattern.rfind('\\');
    std::string folder = sep == std::string::npos ? std::string() : pattern.substr(0, sep + 1);
    while (ok) {
        std::string key = NormalizeName(folder + found->fileName);
        if (key.size() > kPakMaxNameLength || !directory_.contains(key) || !MatchPattern(pattern, key)) return true;
        ok = search->diskSearch_.Next(*found);
    }
    return false;
}
