#include "platform/crash/report_output.h"

#include <fcntl.h>
#include <unistd.h>

namespace plat {
namespace {

void WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written <= 0) return;
        text.remove_prefix(static_cast<size_t>(written));
    }
}

}  // namespace

void WriteReportFile(const char* path, std::string_view text) {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    WriteAll(fd, text);
    ::close(fd);
}

void WriteReportToStandardError(std::string_view text) { WriteAll(STDERR_FILENO, text); }

}  // namespace plat
