#pragma once
// Test helpers: a fresh temporary folder removed with everything in it at the
// end of the test, a guard that works inside it as the current directory, and
// whole-file writes and reads.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

class TempFolder {
public:
    TempFolder() : TempFolder(std::filesystem::temp_directory_path()) {}
    // A folder inside `base` (say a memory file system, where a test that
    // writes thousands of files does not wait for the disk).
    explicit TempFolder(const std::filesystem::path& base) {
        std::string pattern = (base / "halvaro_test_XXXXXX").string();
        // Without its own folder a test would work in the build tree: stop instead.
        if (!::mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string operator/(std::string_view relative) const { return (path_ / relative).string(); }

private:
    std::filesystem::path path_;
};

class CurrentDirectoryGuard {
public:
    explicit CurrentDirectoryGuard(const std::filesystem::path& folder) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~CurrentDirectoryGuard() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
    }
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

private:
    std::filesystem::path previous_;
};

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    WriteBytes(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<uint8_t> ReadByteVector(const std::filesystem::path& path) {
    const std::string bytes = ReadBytes(path);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace testsupport
