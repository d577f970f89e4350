#pragma once
// platform/crash: where a crash report's text goes besides its window: a file
// in the working folder and the standard error stream. Plain system writes,
// no buffering and no lock of the C library, since a fault may have left one
// held. A failure is ignored: the report still reaches the other places.

#include <string_view>

namespace plat {

// Creates or overwrites the file.
void WriteReportFile(const char* path, std::string_view text);
void WriteReportToStandardError(std::string_view text);

}  // namespace plat
