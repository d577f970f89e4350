#pragma once
// The reading modules' way to their data files: each call goes to the
// published pack interface (disk first, then "main.pak"), or to plain files
// when no interface exists, so a module works the same with or without one.
// A handle from PakOpenFile must be closed with PakCloseFile.

#include <cstddef>
#include <string>
#include <string_view>

struct PakFile;

PakFile* PakOpenFile(std::string_view name, const char* mode);
int PakCloseFile(PakFile* file);
int PakSeek(PakFile* file, long offset, int origin);
long PakTell(PakFile* file);
size_t PakRead(void* buffer, size_t elementSize, size_t count, PakFile* file);
int PakGetChar(PakFile* file);
int PakUngetChar(int character, PakFile* file);
char* PakReadLine(char* buffer, int size, PakFile* file);
bool PakAtEnd(PakFile* file);
// The path of the pack the open file is read from, as it was mounted; empty
// for a loose file.
std::string PakFileContainer(const PakFile* file);
