#include "platform/system/desktop_folder.h"

#include "platform/system/file_system.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace plat {

namespace {

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::string GetHomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return WithoutTrailingSlash(home);
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr)
        return WithoutTrailingSlash(found->pw_dir);
    return std::string();
}

std::string GetDesktopFolder() {
    if (const char* desktop = std::getenv("XDG_DESKTOP_DIR"); desktop != nullptr && *desktop != '\0')
        return WithoutTrailingSlash(desktop);
    std::string home = GetHomeFolder();
    if (home.empty()) return ".";
    std::string desktop = home + "/Desktop";
    if (IsDirectory(desktop)) return desktop;
    return home;
}

}  // namespace plat
