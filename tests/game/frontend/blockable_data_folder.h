#pragma once
// The game's data folder for a test, in a temporary folder of its own that
// can be blocked: blocked, a file stands where the folder should be, so no
// save can be written. The folder before is put back at the end.

#include <string>

#include "foundation/files/path_utils.h"
#include "tests/platform/temp_folder.h"

namespace testsupport {

class BlockableDataFolder {
public:
    BlockableDataFolder() {
        WriteBytes(folder_ / "blocked", "");
        Block(false);
    }
    ~BlockableDataFolder() { SetAppDataFolder(previous_); }
    BlockableDataFolder(const BlockableDataFolder&) = delete;
    BlockableDataFolder& operator=(const BlockableDataFolder&) = delete;

    void Block(bool blocked) { SetAppDataFolder(folder_ / (blocked ? "blocked/" : "data/")); }

private:
    const std::string previous_ = GetAppDataFolder();
    TempFolder folder_;
};

}  // namespace testsupport
