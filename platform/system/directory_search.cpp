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

    mFolder = folder.empty() ? std::string() : ResolvePath(folder);
    if (!mFolder.empty() && mFolder.back() != '/') mFolder += '/';
    DIR* dir = ::opendir(mFolder.empty() ? "." : mFolder.c_str());
    if (!dir) return false;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name != "." && name != ".." && WildcardMatch(namePattern, name)) mNames.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(mNames.begin(), mNames.end());
    mOpen = true;
    if (Report(out)) return true;
    Close();
    return false;
}

bool DirectorySearch::Next(FindData& out) { return mOpen && Report(out); }

void DirectorySearch::Close() {
    mOpen = false;
    mFolder.clear();
    mNames.clear();
    mNext = 0;
}

bool DirectorySearch::Report(FindData& out) {
    while (mNext < mNames.size()) {
        const std::string& name = mNames[mNext++];
        struct stat st;
        // An entry removed since the folder was read is skipped.
        if (::stat((mFolder + name).c_str(), &st) != 0 && ::lstat((mFolder + name).c_str(), &st) != 0) continue;
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
