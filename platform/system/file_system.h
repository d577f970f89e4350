#pragma once
// Files and folders as the engine expects them from its original platform.
//
// Owns: the mapping from data paths to Linux paths. Data files write paths
// with '\\' separators and were authored for a case-insensitive file system,
// so every function here maps '\\' to '/' and, when the exact name is missing,
// looks each path component up without regard to ASCII case (the first match
// in byte order wins when several names differ only in case).
// Promises: no function throws; failures are false, null or an empty string.
// `RemoveDirectoryTree` never follows a symbolic link: a link inside the tree
// is removed as a link, and its target is left alone.
// Callers must not: hand these functions paths that came from untrusted input
// expecting them to stay inside a folder; confining a path is the caller's job.
// Threads: every function may be called from any thread.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace plat {

// '\\' becomes '/'; nothing else changes.
std::string NativePath(std::string_view path);

// The native path of an existing file or folder, found case-insensitively when
// the exact name is missing. Components that do not exist are kept as written,
// so the result of a missing path names where it would be created.
std::string ResolvePath(std::string_view path);

// fopen on the resolved path; null on failure.
FILE* OpenFile(std::string_view path, const char* mode);

bool PathExists(std::string_view path);
bool IsDirectory(std::string_view path);
bool IsSymbolicLink(std::string_view path);

// One folder (its parent must exist); false when it could not be made,
// including when it exists already.
bool CreateDirectory(std::string_view path);
bool RemoveFile(std::string_view path);

// Removes the folder and everything below it without following symbolic
// links. False when anything could not be removed; the walk goes on past
// failures. A path that is itself a symbolic link is refused (false).
bool RemoveDirectoryTree(std::string_view path);

// The absolute path with every symbolic link resolved; empty when it does not exist.
std::string CanonicalPath(std::string_view path);

// The working directory, of any length; empty if it cannot be read.
std::string CurrentDirectory();

// How a replaced file reaches the disk: `Sync` flushes an open file or
// folder (fsync). Tests hand their own to watch the order of the flushes.
class DiskSync {
public:
    virtual ~DiskSync() = default;
    virtual bool Sync(int fd);
    static DiskSync& System();
};

// Replaces the file's contents as one step: the bytes go to a temporary file
// beside it, which is flushed to disk and renamed over the target, and the
// folder is flushed after the rename, so neither a crash, a power cut nor a
// full disk leaves the old file half overwritten or the new one empty.
bool ReplaceFileContents(std::string_view path, std::string_view bytes, DiskSync& sync = DiskSync::System());

// Removes the temporary files a ReplaceFileContents of `path` left behind
// when its process was killed mid-write. Files of processes still running are
// kept (they may be writing now). Returns how many were removed.
int RemoveStaleReplaceTemps(std::string_view path);

// Renames the file, unless a file or folder of the new name exists: an
// existing one is never replaced (false then, and on any other failure).
bool RenameNoReplace(std::string_view from, std::string_view to);

// Grows with every call here that may add, remove or rename a file (opening
// for writing included), so a listing of folders kept elsewhere can tell
// when this process may have changed them.
uint64_t FileChangeCount();

// Windows file time: 100-nanosecond intervals since 1601-01-01 UTC.
uint64_t FileTimeFromUnix(int64_t seconds, int64_t nanoseconds);

// The last-write time of a regular file as a Windows file time; false (and
// 0) when there is no such file.
bool GetFileWriteTime(std::string_view path, uint64_t* fileTime);

}  // namespace plat
