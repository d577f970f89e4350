// Texts checked against a pattern with the C library's extended regular
// expressions: <regex> costs a test file three times its compile time, and
// the checks here only need classes, repeats and groups ("\d" is "[0-9]").
#pragma once

#include <regex.h>

#include <string>
#include <vector>

namespace testsupport {

// Whether `pattern` matches somewhere in `text` ("^"/"$" anchor it; "." also
// matches line ends). On a match, `groups` (if given) receives group 1 onwards.
inline bool FindPattern(const std::string& text, const char* pattern, std::vector<std::string>* groups = nullptr) {
    regex_t compiled;
    if (regcomp(&compiled, pattern, REG_EXTENDED) != 0) return false;
    std::vector<regmatch_t> found(compiled.re_nsub + 1);
    const bool matched = regexec(&compiled, text.c_str(), found.size(), found.data(), 0) == 0;
    if (matched && groups) {
        groups->clear();
        for (size_t i = 1; i < found.size(); ++i)
            groups->push_back(found[i].rm_so < 0 ? std::string()
                                                 : text.substr(found[i].rm_so, found[i].rm_eo - found[i].rm_so));
    }
    regfree(&compiled);
    return matched;
}

// Whether `pattern` matches the whole of `text`.
inline bool MatchesPattern(const std::string& text, const std::string& pattern) {
    return FindPattern(text, ("^(" + pattern + ")$").c_str());
}

}  // namespace testsupport
