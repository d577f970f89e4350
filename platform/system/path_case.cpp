#include "platform/system/path_case.h"

#include <dirent.h>

namespace plat {
namespace {

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool MatchFrom(std::string_view pattern, std::string_view name) {
    // Iterative glob with one back-track point: linear in practice, no recursion.
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    if (MatchFrom(pattern, name)) return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*")
        return MatchFrom(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

std::string FindNameIgnoringCase(const std::string& folder, std::string_view name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return std::string();
    std::string best;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view candidate = entry->d_name;
        if (EqualsIgnoringCase(candidate, name) && (!found || candidate < best)) {
            best = candidate;
            found = true;
        }
    }
    ::closedir(dir);
    return best;
}

}  // namespace plat
