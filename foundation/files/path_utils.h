#pragma once
// Path helpers and folder operations on narrow data paths; '\\' and '/' are
// both separators. Paths reach the disk through the platform file layer, so
// '\\' works and names are found whatever their case.

#include <string>
#include <string_view>

std::string GetAppDataFolder();
void SetAppDataFolder(std::string_view folder);

// The part after the last separator; the whole path when there is none.
std::string GetFileName(std::string_view path);
// The part before the last separator; empty when there is none.
std::string GetFileDir(std::string_view path);
std::string RemoveTrailingSlash(std::string_view path);
// Appends '\\' (or '/' when the path's last separator is '/'), unless the path
// is empty or already ends in a separator.
std::string AddTrailingSlash(std::string_view path);
void AddTrailingSlashInto(std::string& path);
// `relative` taken from the folder `base`: "." skipped, ".." climbs.
std::string ResolveRelativePath(std::string_view relative, std::string_view base);

// A file or folder of that name, or matching that wildcard pattern, exists.
bool FileExists(std::string_view path);
// Creates every folder along the path; errors (such as existing folders) are ignored.
void MakeDirectories(std::string_view path);
// Deletes the folder and everything in it, never following symbolic links.
// Only the data folder and folders inside it are deleted; any other path is
// refused with false. A path shorter than 2 characters is left alone (true).
bool DeleteDirectoryTree(std::string_view folder);
// Leaves permissions unchanged: the data folder belongs to the user already,
// and opening it to every account would expose the player's files.
void GrantEveryoneFullAccess(std::string_view path);
// Renames a file unless the new name is taken: an existing file is never
// replaced. False when the name is taken or the rename failed.
bool RenameFileNoReplace(std::string_view from, std::string_view to);
// Keeps a file the program could not read out of the way of the next save:
// renames it to PATH.bad (.bad2, .bad3 ... .bad1000 when taken; once all
// are, the oldest file of them is replaced, never a folder).
// The name it took; empty when the file stays where it was (or is missing).
std::string MoveFileAside(std::string_view path);
// The same for a file the program read only in part: a copy of it takes the
// first free name of those (or the oldest's), and the file stays. Empty when no copy was made.
std::string CopyFileAside(std::string_view path);
// Removes what writes of this file that were cut short (their process died)
// left beside it; the files of a writer still running stay.
int RemoveInterruptedWrites(std::string_view path);
// True when a file can be made in the folder (a probe is written and removed).
bool CanWriteInFolder(std::string_view folder);
// Writes U+FEFF and the text as UTF-16LE, replacing the file in one step and
// creating its folders first; false when the file could not be written.
bool WriteWStringToFile(std::string_view path, std::wstring_view text);
