#pragma once
// The user's desktop folder, where the log file is written.
//
// Resolved at each call from the environment so that tests can point it at
// a temporary folder: $XDG_DESKTOP_DIR when set and non-empty, else
// "$HOME/Desktop" when that folder exists, else the home folder itself
// ($HOME, or the password database's entry when HOME is unset). The result
// has no trailing slash. Safe to call from any thread.

#include <string>

namespace plat {

std::string GetDesktopFolder();

// The home folder as above; empty only when the system knows none.
std::string GetHomeFolder();

}  // namespace plat
