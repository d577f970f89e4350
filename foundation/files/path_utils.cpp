#include "foundation/files/path_utils.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <utility>

#include "foundation/system/text.h"
#include "platform/system/directory_search.h"
#include "platform/system/file_system.h"

namespace {

// Set once at start-up, before other threads run; see utilities.h.
std::string gAppDataFolder;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

size_t LastSeparator(std::string_view path) { return path.find_last_of("\\/"); }

bool HasDrive(std::string_view path) { return path.size() > 1 && path[1] == ':'; }

// True when `inner` is `outer` or lies inside it (both canonical).
bool IsSameOrInside(const std::string& inner, const std::string& outer) {
    if (inner == outer) return true;
    return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 && inner[outer.size()] == '/';
}

}  // namespace

std::string GetAppDataFolder() { return gAppDataFolder; }

void SetAppDataFolder(std::string_view folder) { gAppDataFolder = folder; }

std::string GetFileName(std::string_view path) {
    size_t sep = LastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string GetFileDir(std::string_view path) {
    size_t sep = LastSeparator(path);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep));
}

std::string RemoveTrailingSlash(std::string_view path) {
    if (!path.empty() && IsSeparator(path.back())) path.remove_suffix(1);
    return std::string(path);
}

std::string AddTrailingSlash(std::string_view path) {
    std::string out(path);
    AddTrailingSlashInto(out);
    return out;
}

void AddTrailingSlashInto(std::string& path) {
    if (path.empty() || IsSeparator(path.back())) return;
    size_t sep = LastSeparator(path);
    path += (sep != std::string::npos && path[sep] == '/') ? '/' : '\\';
}

std::string ResolveRelativePath(std::string_view relative, std::string_view base) {
    if (HasDrive(relative)) return std::string(relative);
    const char separator =
        (base.find('\\') != std::string_view::npos || relative.find('\\') != std::string_view::npos) ? '\\' : '/';
    std::string_view drive;
    if (HasDrive(base)) {
        drive = base.substr(0, 2);
        base.remove_prefix(2);
    }
    std::string out(base);
    AddTrailingSlashInto(out);

    size_t start = 0;
    for (size_t end; (end = relative.find_first_of("\\/", start)) != std::string_view::npos; start = end + 1) {
        std::string_view component = relative.substr(start, end - start);
        if (component.empty() || component == ".") continue;
        if (component == "..") {
            // `out` is empty or ends in a separator; find its last component.
            size_t cut = out.size() < 2 ? std::string::npos : out.find_last_of("\\/", out.size() - 2);
            size_t begin = cut == std::string::npos ? 0 : cut + 1;
            std::string_view last = std::string_view(out).substr(begin, out.empty() ? 0 : out.size() - 1 - begin);
            if (last.empty() && begin == 0 && out.size() == 1) continue;  // the root has no parent
            if (last.empty() || last == "..") {
                out += "..";
                out += separator;
            } else {
                out.resize(begin);
            }
            continue;
        }
        out += component;
        out += separator;
    }
    out += relative.substr(start);
    for (char& c : out)
        if (IsSeparator(c)) c = separator;
    out.insert(0, drive);
    return out;
}

bool FileExists(std::string_view path) {
    plat::DirectorySearch search;
    plat::FindData found;
    return search.First(path, found);
}

void MakeDirectories(std::string_view path) {
    for (size_t i = 1; i < path.size(); ++i)
        if (IsSeparator(path[i]) && !IsSeparator(path[i - 1])) plat::CreateDirectory(path.substr(0, i));
    plat::CreateDirectory(path);
}

bool DeleteDirectoryTree(std::string_view folder) {
    if (folder.size() < 2) return true;
    // Only the application's own data may go: a wrong path here would wipe
    // the player's other files. A link is refused outright, so the check and
    // the deletion cannot be pointed at two different places.
    if (gAppDataFolder.empty() || plat::IsSymbolicLink(folder)) return false;
    std::string target = plat::CanonicalPath(folder);
    std::string data = plat::CanonicalPath(gAppDataFolder);
    if (target.empty() || data.empty() || data == "/" || !IsSameOrInside(target, data)) return false;
    return plat::RemoveDirectoryTree(target);
}

void GrantEveryoneFullAccess(std::string_view) {}

bool RenameFileNoReplace(std::string_view from, std::string_view to) { return plat::RenameNoReplace(from, to); }

namespace {

constexpr int kAsideNames = 1000;

// Puts the file at the first of PATH.bad, .bad2 ... .bad1000 that `keep` can
// take. When every name is taken, the oldest file among them makes way: a
// full set of old copies must not stop the program from keeping the newest
// damage (nor, behind it, from saving).
template <class Keep>
std::string KeepFileAside(std::string_view path, Keep keep) {
    if (!FileExists(path)) return {};
    std::string oldest;
    uint64_t oldestTime = 0;
    for (int n = 1; n <= kAsideNames; ++n) {
        std::string aside = std::string(path) + ".bad" + (n == 1 ? std::string() : std::to_string(n));
        plat::DirectorySearch search;
        plat::FindData found;
        if (search.First(aside, found)) {
            // A folder of that name is no copy of ours: it is never removed.
            const bool folder = (found.attributes & plat::kFileAttributeDirectory) != 0;
            if (!folder && (oldest.empty() || found.lastWriteTime < oldestTime)) {
                oldest = std::move(aside);
                oldestTime = found.lastWriteTime;
            }
            continue;
        }
        if (keep(aside)) return aside;
        if (!FileExists(aside)) return {};  // not taken: keeping it failed itself
    }
    if (oldest.empty() || !plat::RemoveFile(oldest)) return {};
    return keep(oldest) ? oldest : std::string();
}

}  // namespace

std::string MoveFileAside(std::string_view path) {
    return KeepFileAside(path, [&](const std::string& aside) { return RenameFileNoReplace(path, aside); });
}

std::string CopyFileAside(std::string_view path) {
    std::unique_ptr<FILE, decltype(&std::fclose)> file(plat::OpenFile(path, "rb"), &std::fclose);
    if (!file) return {};
    std::string bytes;
    char buffer[1 << 14];
    while (size_t read = std::fread(buffer, 1, sizeof buffer, file.get())) bytes.append(buffer, read);
    if (std::ferror(file.get())) return {};
    return KeepFileAside(path, [&](const std::string& aside) { return plat::ReplaceFileContents(aside, bytes); });
}

int RemoveInterruptedWrites(std::string_view path) { return plat::RemoveStaleReplaceTemps(path); }

bool CanWriteInFolder(std::string_view folder) {
    const std::string probe = AddTrailingSlash(folder) + "write_probe.tmp";
    if (!plat::ReplaceFileContents(probe, "")) return false;
    plat::RemoveFile(probe);
    return true;
}

bool WriteWStringToFile(std::string_view path, std::wstring_view text) {
    std::string dir = GetFileDir(path);
    if (!dir.empty()) MakeDirectories(dir);
    std::string bytes = text::ToUtf16LE(std::wstring(1, L'\xFEFF'));
    bytes += text::ToUtf16LE(text);
    return plat::ReplaceFileContents(path, bytes);
}
