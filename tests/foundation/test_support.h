#pragma once
// Test helpers: a fresh temporary folder removed afterwards, an environment
// variable set (or unset) for one scope and restored after it, whole-file
// reads and writes, and a shape match for texts holding dates and numbers.

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

class ScopedTempFolder {
public:
    ScopedTempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "halvaro_test_XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScopedTempFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_.c_str(), old_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file << bytes;
}

// True when `text` has the `shape`: '9' stands for a digit, '_' for a digit
// or a blank, 'a' for a letter, '*' for one or more digits and dots; every
// other character stands for itself.
inline bool MatchesShape(std::string_view text, std::string_view shape) {
    size_t t = 0;
    for (char s : shape) {
        if (s == '*') {
            size_t start = t;
            while (t < text.size() && (std::isdigit(static_cast<unsigned char>(text[t])) || text[t] == '.')) ++t;
            if (t == start) return false;
            continue;
        }
        if (t >= text.size()) return false;
        unsigned char c = static_cast<unsigned char>(text[t++]);
        bool ok = s == '9'   ? std::isdigit(c) != 0
                  : s == '_' ? (std::isdigit(c) != 0 || c == ' ')
                  : s == 'a' ? std::isalpha(c) != 0
                             : c == static_cast<unsigned char>(s);
        if (!ok) return false;
    }
    return t == text.size();
}
