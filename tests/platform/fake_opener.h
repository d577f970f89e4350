#pragma once
// A stand-in "xdg-open" put first on PATH for as long as it lives. Each run
// records the number of its arguments and each argument in brackets, one per
// line, in a file of its own ("call-<pid>"), written whole before it appears.

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/platform/temp_folder.h"

namespace testsupport {

class FakeOpener {
public:
    FakeOpener() : previousPath_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        const std::string dir = bin_.Path().string();
        const std::string script =
            "#!/bin/sh\n{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; "
            "done; } > '" +
            dir + "/tmp.$$'\nmv '" + dir + "/tmp.$$' '" + dir + "/call-$$'\n";
        WriteBytes(bin_ / "xdg-open", script);
        ::chmod((bin_ / "xdg-open").c_str(), 0755);
        ::setenv("PATH", (dir + ":" + previousPath_).c_str(), 1);
    }
    ~FakeOpener() { ::setenv("PATH", previousPath_.c_str(), 1); }
    FakeOpener(const FakeOpener&) = delete;
    FakeOpener& operator=(const FakeOpener&) = delete;

    int Calls() const {
        int n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(bin_.Path()))
            if (entry.path().filename().string().rfind("call-", 0) == 0) ++n;
        return n;
    }
    // The records of the first call, once it has run; empty after 10 s without.
    std::string WaitForCall() const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (Calls() == 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (const auto& entry : std::filesystem::directory_iterator(bin_.Path()))
            if (entry.path().filename().string().rfind("call-", 0) == 0) return ReadBytes(entry.path());
        return {};
    }

private:
    TempFolder bin_;
    std::string previousPath_;
};

}  // namespace testsupport
