#pragma once
// Utilities: text conversion and parsing, formatting, paths and folders,
// entity decoding, UTF-16 file writing and reduced ratios.
//
// Owns: the application's data folder, one process-wide string set once at
// start-up by the application (before any other thread starts) and read-only
// afterwards. Everything else here is stateless.
// Promises: nothing throws and nothing crashes on bad text; parsers report
// failure through their bool result, file operations through false.
// Callers must not: expect `DeleteDirectoryTree` to delete anything outside the
// data folder - it refuses - or `WStringToString` to keep characters beyond
// 7-bit ASCII (the result is then empty).
// Threads: any thread, except `SetAppDataFolder`, which runs before the others.

#include "foundation/files/path_utils.h"
#include "foundation/system/string_utils.h"
#include "foundation/values/ratio.h"
