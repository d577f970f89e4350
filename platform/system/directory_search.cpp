#include "platform/system/directory_search.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/system/file_system.h"
#include "platform/system/path_case.h"

namespace plat {

bool DirectorySearch::First(std::string_view pattern, FindData& out) {
    Close();
    std::string native = NativePath(pattern);
    size_t slash = native.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
    std::string namePattern = slash == std::string::npos ? native : native.substr(slash + 1);
    if (namePattern.empty()) return false;

    folder_ = folder.empty() ? std::string() : ResolvePath(folder);
    if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
    DIR* dir = ::opendir(folder_.empty() ? "." : folder_.c_str());
    if (!dir) return false;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name != "." && name != ".." && WildcardMatch(namePattern, name)) names_.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names_.begin(), names_.end());
    open_ = true;
    if (Report(out)) return true;
    Close();
    return false;
}

bool DirectorySearch::Next(FindData& out) { return open_ && Report(out); }

void DirectorySearch::Close() {
    open_ = false;
    folder_.clear();
    names_.clear();
    next_ = 0;
}

bool DirectorySearch::Report(FindData& out) {
    while (next_ < names_.size()) {
        const std::string& name = names_[next_++];
        struct stat st;
        // An entry removed since the folder was read is skipped.
        if (::stat((folder_ + name).c_str(), &st) != 0 && ::lstat((folder_ + name).c_str(), &st) != 0) continue;
        out = FindData();
        out.attributes = S_ISDIR(st.st_mode) ? kFileAttributeDirectory : kFileAttributeNormal;
        out.creationTime = FileTimeFromUnix(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
        out.lastAccessTime = FileTimeFromUnix(st.st_atim.tv_sec, st.st_atim.tv_nsec);
        out.lastWriteTime = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
        out.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
        out.fileName = name;
        return true;
    }
    return false;
}

}  // namespace plat
