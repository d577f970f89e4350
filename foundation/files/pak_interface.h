#pragma once
// Pack files: stdio-like reading of data files, from disk or from "main.pak".
//
// Owns: the mounted packs (memory-mapped, read-only) and the directory of
// their entries, keyed by the normalised upper-case name. Every open looks
// for a loose file first, so a file on disk always wins over a packed one;
// the loose folders are listed rather than probed name by name.
// Packed bytes are stored XORed with 0xA3 and unscrambled on every read.
// Promises: a damaged pack never makes a read leave its mapped view (entries
// that do not lie inside the file are dropped when mounting); reads past the
// end return what is left; bad input gives null, 0 or -1, never a crash.
// Callers must not: use a handle after CloseFile, or a search after FindClose;
// mount after loading threads have started (the directory has no lock).
// Threads: mount during start-up; afterwards any thread may open and read,
// each handle belonging to one reader at a time.
//
// One interface is published per process (the first one constructed); the
// reading modules reach it through GetPakPtr() and the Pak* wrappers of
// pak_access.h, which fall back to plain files when none is published.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/directory_search.h"
#include "platform/system/folder_listings.h"
#include "platform/system/mapped_file.h"

constexpr uint32_t kPakMagic = 0xBAC04AC0;
constexpr uint32_t kPakVersion = 0;
constexpr uint8_t kPakXorKey = 0xA3;
constexpr uint8_t kPakEndOfDirectory = 0x80;
// The longest normalised name the directory can be searched with; longer
// names are simply not found.
constexpr size_t kPakMaxNameLength = 255;

struct PakCollection {
    plat::MappedFile view_;
    std::string path_;  // as mounted
};

struct PakRecord {
    PakCollection* collection_ = nullptr;
    std::string fileName_;   // as stored in the pack
    uint64_t fileTime_ = 0;  // Windows file time
    int64_t startPos_ = 0;   // from the start of the pack file
    int64_t size_ = 0;
};

// A handle from OpenFile: a pack entry (record_ set) or a disk file (fp_ set).
struct PakFile {
    const PakRecord* record_ = nullptr;
    int64_t pos_ = 0;
    FILE* fp_ = nullptr;
};

// A running wildcard search: the pack's directory first, then the disk.
struct PakFindData {
    plat::DirectorySearch diskSearch_;
    std::string lastFind_;      // the last matched directory key
    std::string findCriteria_;  // the normalised pattern
    bool packDone_ = false;
};

class PakInterfaceBase {
public:
    virtual ~PakInterfaceBase() = default;
    virtual PakFile* OpenFile(std::string_view name, std::string_view mode) = 0;
    virtual int CloseFile(PakFile* file) = 0;
    virtual int Seek(PakFile* file, long offset, int origin) = 0;
    virtual long Tell(PakFile* file) = 0;
    virtual size_t Read(void* buffer, size_t elementSize, size_t count, PakFile* file) = 0;
    virtual int GetChar(PakFile* file) = 0;
    virtual int UngetChar(int character, PakFile* file) = 0;
    virtual char* ReadLineNoOp(char* buffer, int size, PakFile* file) = 0;
    virtual char* ReadLine(char* buffer, int size, PakFile* file) = 0;
    virtual bool AtEnd(PakFile* file) = 0;
    virtual PakFindData* FindFirst(std::string_view pattern, plat::FindData* found) = 0;
    virtual bool FindNext(PakFindData* search, plat::FindData* found) = 0;
    virtual bool FindClose(PakFindData* search) = 0;
};

// The published interface, or null when none exists.
PakInterfaceBase* GetPakPtr();

class PakInterface : public PakInterfaceBase {
public:
    PakInterface();
    ~PakInterface() override;
    PakInterface(const PakInterface&) = delete;
    PakInterface& operator=(const PakInterface&) = delete;

    // Adds the pack's entries to the directory; a later entry of the same
    // name replaces an earlier one. True when the pack opened and its whole
    // directory was read, every entry inside the file; a damaged pack still
    // adds what could be read of it.
    bool Mount(std::string_view path);

    // Disk first; for "r", "rb" and "rt" then the pack. Null when neither has it.
    PakFile* OpenFile(std::string_view name, std::string_view mode) override;
    int CloseFile(PakFile* file) override;
    // Origins as fseek (0 start, 1 current, 2 end); pack positions clamp to the entry.
    int Seek(PakFile* file, long offset, int origin) override;
    long Tell(PakFile* file) override;
    // Whole elements read; a trailing partial element is copied but not counted.
    size_t Read(void* buffer, size_t elementSize, size_t count, PakFile* file) override;
    // Packed text has its carriage returns dropped by these two (not by Read).
    int GetChar(PakFile* file) override;
    int UngetChar(int character, PakFile* file) override;
    char* ReadLineNoOp(char* buffer, int size, PakFile* file) override;
    char* ReadLine(char* buffer, int size, PakFile* file) override;
    bool AtEnd(PakFile* file) override;
    // Matching pack entries, then matching disk files not already reported.
    PakFindData* FindFirst(std::string_view pattern, plat::FindData* found) override;
    bool FindNext(PakFindData* search, plat::FindData* found) override;
    bool FindClose(PakFindData* search) override;

    // The directory key of a name: separators folded to one '\\', ".." steps
    // applied, upper case, the current directory taken off an absolute path.
    static std::string NormalizeName(std::string_view name);
    PakFile* FindEntry(std::string_view name, std::string_view mode);

    size_t EntryCount() const { return directory_.size(); }

private:
    bool SearchDirectory(PakFindData* search, plat::FindData* found, bool fromStart);
    bool SearchDisk(PakFindData* search, plat::FindData* found, bool first);

    std::vector<std::unique_ptr<PakCollection>> collections_;
    std::map<std::string, PakRecord> directory_;
    plat::FolderListings loose_;
};

// Copies `size` bytes, XORing each with the pack key.
void PakUnscramble(uint8_t* destination, const uint8_t* source, size_t size);
