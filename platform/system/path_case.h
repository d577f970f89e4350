#pragma once
// Case-blind name matching shared by the file layer and the directory search.
// ASCII letters only: the data names are ASCII, and the original file system's
// own folding of other characters is not reproduced.

#include <string>
#include <string_view>

namespace plat {

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Wildcard match without regard to case: '*' matches any run, '?' one byte.
// A trailing ".*" also matches names without a dot, as "*.*" matches every name.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// The entry of `folder` whose name equals `name` ignoring case (the first in
// byte order when several do); empty when there is none.
std::string FindNameIgnoringCase(const std::string& folder, std::string_view name);

}  // namespace plat
