#include "platform/system/web_page.h"

#include <spawn.h>
#include <sys/wait.h>
#include <cerrno>

#include <string>
#include <thread>

extern char** environ;

namespace plat {

namespace {

bool AcceptableUrl(std::string_view url) {
    if (url.empty() || url.front() == '-') return false;
    for (char c : url)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    return true;
}

}  // namespace

bool OpenWebPage(std::string_view url) {
    if (!AcceptableUrl(url)) return false;
    std::string program = "xdg-open";
    std::string argument(url);
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
    std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    }).detach();
    return true;
}

}  // namespace plat
