#pragma once
// The registry stand-in: string values under key paths such as
// "SOFTWARE\\Company\\Product\\Dure3V", kept in one small XML file
// ("registry.xml") in a folder the owner names (the application's data folder).
//
// Owns: the file and an in-memory copy of it, read on first use.
// Promises: every successful set is on disk before it returns, written whole
// through a temporary file and a rename, so a crash never leaves half a file;
// any text (quotes, angle brackets, control characters, non-ASCII bytes)
// reads back byte for byte; a damaged or foreign file reads as empty and is
// replaced whole by the next set. Key paths and value names compare without
// regard to ASCII case, as the original registry's do; the spelling of the
// first set is kept. Failures are false or an empty optional, never a crash.
// Callers must not: point two Registry objects of one process at one folder
// (each would overwrite the other's values).
// Threads: every member may be called from any thread.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

struct RegistryValue {
    std::string key;
    std::string name;
    std::string data;
};

class Registry {
public:
    explicit Registry(std::string folder);

    // Stores `data` (any bytes) as the value `name` under `key`; the folder
    // is created when missing. False when the file could not be written; the
    // value is then not kept in memory either.
    bool SetString(std::string_view key, std::string_view name, std::string_view data);
    std::optional<std::string> GetString(std::string_view key, std::string_view name);

    const std::string& FilePath() const { return path_; }

private:
    void LoadLocked();
    bool SaveLocked() const;

    std::string folder_;
    std::string path_;
    std::mutex mutex_;
    bool loaded_ = false;
    std::map<std::string, RegistryValue> entries_;  // by lower-cased key + '\n' + name
};

// The file text for `entries` and back; reading yields nothing unless the
// whole text has exactly the written form.
std::string WriteRegistryText(const std::map<std::string, RegistryValue>& entries);
bool ReadRegistryText(std::string_view text, std::map<std::string, RegistryValue>& out);
std::string RegistryLookupKey(std::string_view key, std::string_view name);

}  // namespace plat
