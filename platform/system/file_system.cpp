#include "platform/system/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/system/path_case.h"

namespace plat {
namespace {

std::atomic<uint64_t> gChanges{0};

// Called before anything here that may add, remove or rename a file.
void NoteChange() { gChanges.fetch_add(1, std::memory_order_relaxed); }

bool LStat(const std::string& path, struct stat& st) { return ::lstat(path.c_str(), &st) == 0; }

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Removes every entry of the open folder `fd`, then the folder `name` itself
// from `parentFd`. Symbolic links are unlinked, never entered.
bool RemoveTreeAt(int parentFd, const char* name) {
    int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    // Collect first: POSIX leaves open what readdir returns after a removal.
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view n = entry->d_name;
        if (n != "." && n != "..") names.emplace_back(n);
    }
    bool ok = true;
    for (const std::string& n : names) {
        struct stat st;
        if (::fstatat(fd, n.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            ok = false;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            ok = RemoveTreeAt(fd, n.c_str()) && ok;
        } else if (::unlinkat(fd, n.c_str(), 0) != 0) {
            ok = false;
        }
    }
    ::closedir(dir);
    if (::unlinkat(parentFd, name, AT_REMOVEDIR) != 0) ok = false;
    return ok;
}

}  // namespace

std::string NativePath(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

std::string ResolvePath(std::string_view path) {
    std::string native = NativePath(path);
    struct stat st;
    if (native.empty() || LStat(native, st)) return native;

    std::string out;
    size_t i = 0;
    if (native[0] == '/') {
        out = "/";
        i = 1;
    }
    bool missing = false;
    while (i < native.size()) {
        size_t end = native.find('/', i);
        if (end == std::string::npos) end = native.size();
        std::string component = native.substr(i, end - i);
        i = end + 1;
        if (component.empty()) continue;  // a doubled separator
        if (!missing && component != "." && component != ".." && !LStat(out + component, st)) {
            std::string found = FindNameIgnoringCase(out.empty() ? "." : out, component);
            if (found.empty())
                missing = true;
            else
                component = found;
        }
        out += component;
        if (end < native.size()) out += '/';
    }
    return out;
}

FILE* OpenFile(std::string_view path, const char* mode) {
    std::string native = NativePath(path);
    if (native.empty() || !mode) return nullptr;
    if (std::string_view(mode).find_first_of("wa+") != std::string_view::npos) NoteChange();
    FILE* f = std::fopen(native.c_str(), mode);
    if (!f && errno == ENOENT) {
        std::string resolved = ResolvePath(native);
        if (resolved != native) f = std::fopen(resolved.c_str(), mode);
    }
    // A folder opens for reading here but not on the original platform,
    // where callers then go on to look in the pack.
    struct stat st;
    if (f && ::fstat(::fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(f);
        errno = EISDIR;
        return nullptr;
    }
    return f;
}

bool PathExists(std::string_view path) {
    struct stat st;
    return LStat(ResolvePath(path), st);
}

bool GetFileWriteTime(std::string_view path, uint64_t* fileTime) {
    *fileTime = 0;
    struct stat st;
    if (::stat(ResolvePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    *fileTime = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return true;
}

bool IsDirectory(std::string_view path) {
    struct stat st;
    return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsSymbolicLink(std::string_view path) {
    struct stat st;
    return LStat(WithoutTrailingSlashes(ResolvePath(path)), st) && S_ISLNK(st.st_mode);
}

bool CreateDirectory(std::string_view path) {
    NoteChange();
    std::string resolved = ResolvePath(path);
    return !resolved.empty() && ::mkdir(resolved.c_str(), 0777) == 0;
}

bool RemoveFile(std::string_view path) {
    NoteChange();
    std::string resolved = ResolvePath(path);
    return !resolved.empty() && ::unlink(resolved.c_str()) == 0;
}

bool RemoveDirectoryTree(std::string_view path) {
    NoteChange();
    std::string resolved = WithoutTrailingSlashes(ResolvePath(path));
    struct stat st;
    if (resolved.empty() || !LStat(resolved, st) || !S_ISDIR(st.st_mode)) return false;
    return RemoveTreeAt(AT_FDCWD, resolved.c_str());
}

std::string CanonicalPath(std::string_view path) {
    std::string resolved = ResolvePath(path);
    if (resolved.empty()) return std::string();
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(resolved.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

std::string CurrentDirectory() {
    std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    return cwd ? std::string(cwd.get()) : std::string();
}

bool DiskSync::Sync(int fd) { return ::fsync(fd) == 0; }

DiskSync& DiskSync::System() {
    static DiskSync sync;
    return sync;
}

namespace {

// The rename lives in the folder's entries: until they are on the disk too,
// a power cut may bring back the old name, or an empty file under the new.
// The contents are replaced by then, so a folder that cannot be flushed (a
// file system without the call) does not turn the save into a failure.
void SyncFolderOf(const std::string& target, DiskSync& sync) {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    sync.Sync(fd);
    ::close(fd);
}

}  // namespace

bool ReplaceFileContents(std::string_view path, std::string_view bytes, DiskSync& sync) {
    NoteChange();
    std::string target = ResolvePath(path);
    if (target.empty()) return false;
    struct stat st;
    bool existed = LStat(target, st);
    if (existed && S_ISLNK(st.st_mode)) {
        // Write through the link, as opening the file for writing would.
        std::string real = CanonicalPath(target);
        if (real.empty() || ::stat(real.c_str(), &st) != 0) return false;
        target = real;
    }

    static std::atomic<unsigned> counter{0};
    // The name "<target>.tmp<pid>_<n>" lets RemoveStaleReplaceTemps tell a
    // dead writer's leftovers from a live one's.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    if (existed) ::fchmod(fd, st.st_mode & 07777);

    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<size_t>(n);
    }
    if (ok && !sync.Sync(fd)) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolderOf(target, sync);
    return true;
}

bool RenameNoReplace(std::string_view from, std::string_view to) {
    NoteChange();
    const std::string source = ResolvePath(from);
    const std::string target = NativePath(to);
    if (source.empty() || target.empty()) return false;
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace rename: a hard link fails just the
    // same when the name is taken.
    if (::link(source.c_str(), target.c_str()) != 0) return false;
    return ::unlink(source.c_str()) == 0;
}

uint64_t FileChangeCount() { return gChanges.load(std::memory_order_relaxed); }

uint64_t FileTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
    constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
    int64_t ticks = (seconds + kSecondsFrom1601To1970) * 10000000 + nanoseconds / 100;
    return ticks < 0 ? 0 : static_cast<uint64_t>(ticks);
}

int RemoveStaleReplaceTemps(std::string_view path) {
    NoteChange();
    const std::string target = ResolvePath(path);
    if (target.empty()) return 0;
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string prefix = (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp";
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return 0;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const size_t underscore = name.find('_', prefix.size());
        if (underscore == std::string::npos || underscore == prefix.size()) continue;
        char* end = nullptr;
        const std::string digits = name.substr(prefix.size(), underscore - prefix.size());
        const long pid = std::strtol(digits.c_str(), &end, 10);
        if (*end != '\0' || pid <= 0) continue;
        const bool alive = ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
        if (!alive) stale.push_back(folder + "/" + name);
    }
    int removed = 0;
    for (const std::string& file : stale)
        if (::unlink(file.c_str()) == 0) ++removed;
    return removed;
}

}  // namespace plat
