#pragma once
// Opening a web page in the desktop's browser, as the original platform's
// shell "open" verb did.
//
// Promises: the page is handed to "xdg-open" (found on PATH) as one argument
// of an argument vector; no shell ever sees it, so quotes, semicolons, "$(...)"
// and spaces in a URL are passed on as text. A URL that is empty, starts with
// '-' (it would read as an option) or holds a control character is refused.
// The child is reaped by a detached waiter, so no zombie stays behind.
// Threads: any thread.

#include <string_view>

namespace plat {

// True when the opener was started; false when the URL was refused or the
// program could not be started. Says nothing about whether a browser showed
// the page (the caller watches for that).
bool OpenWebPage(std::string_view url);

}  // namespace plat
