#pragma once
// Diagnostics: readable texts for device and sound result codes, formatted
// output to the debug channel, and the memory-leak report written when the
// process ends.
//
// The leak table is one process-wide object; it is filled only by callers
// that choose to track allocations. When the process exits with blocks still
// listed, their report goes to the debug channel; no file is written then. Every function here may be called from any
// thread; none of them may be called from the leak report's own output path.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/system/text.h"

// Result codes as the device and sound layers return them (platform/system/result_codes.h).
std::string HResultToText(int32_t code);

// Narrows the text to UTF-8 and sends it to the debug channel unchanged
// (callers supply their own line ends).
void DebugOutput(std::wstring_view text);

// printf-style; wide strings are passed with "%ls".
template <class... Args>
void DebugPrint(const wchar_t* format, Args... args) {
    DebugOutput(text::WFormat(format, args...));
}

// Optional allocation tracking: a tracked block still listed at exit is a leak.
void TrackAllocation(const void* address, const char* file, int line, size_t size);
void UntrackAllocation(const void* address);

// The report text for the tracked blocks at this moment, stamped with the
// given asctime-style date line (which ends in a line feed).
std::string FormatLeakReport(std::string_view dateLine);
// Writes the report stamped with the current local time to `path`, replacing
// it, and echoes it to the debug channel; false when the file cannot be
// created.
bool WriteLeakReport(const std::string& path);
