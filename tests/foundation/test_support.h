#pragma once
// Test helpers: an environment variable set (or unset) for one scope and
// restored after it, and a shape match for texts holding dates and numbers.
// Temporary folders and whole-file reads come from the shared helpers.

#include <cctype>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "tests/platform/temp_folder.h"

namespace testsupport {

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

}  // namespace testsupport
