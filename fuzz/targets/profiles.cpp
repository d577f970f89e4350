// profiles.xml as the game reads it, from a data folder of its own in the
// scratch folder. The profiles read are saved and read again: they must come
// back as the same text, or a player's profile would change on every save;
// a difference stops the run. Files an unreadable input leaves moved aside
// are removed before the next input.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/files/path_utils.h"
#include "foundation/system/text.h"
#include "fuzz/harness.h"
#include "game/data/progress/kivra_profile_manager.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ResetSharedState();
    const fs::path folder = fs::path(fuzz::ScratchFolder()) / "profiles";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    SetAppDataFolder(folder.string() + "/");
    fuzz::WriteScratchFile("profiles/profiles.xml", data, size);

    std::wstring first;
    {
        KivraProfileManager profiles;
        profiles.Load();
        first = profiles.ProfilesText();
        if (!profiles.Save()) {
            std::fprintf(stderr, "halvaro fuzz: the profiles could not be saved\n");
            std::abort();
        }
    }
    KivraProfileManager again;
    again.Load();
    if (again.ProfilesText() != first) {
        std::fprintf(stderr, "halvaro fuzz: saved profiles read back differently:\n%s\n", text::ToUtf8(first).c_str());
        std::abort();
    }
    return 0;
}
