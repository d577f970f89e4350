#include "app/audio/bass_instance.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "foundation/system/text.h"
#include "platform/window/window.h"

namespace {

constexpr const char* kLibraryPath = ".\\bass.dll";

std::mutex gInstanceMutex;
int gInstanceUsers = 0;
std::unique_ptr<BASS_INSTANCE> gInstance;

[[noreturn]] void FailFatally(const std::string& message) {
    const std::wstring text = text::Widen(message);
    if (plat::WindowSystem* windows = plat::WindowSystem::Instance()) {
        windows->MessageBox(0, text, L"Error", plat::mb::kOk | plat::mb::kIconError);
    } else {
        std::fprintf(stderr, "Error: %s\n", message.c_str());
        std::fflush(stderr);
    }
    std::exit(1);
}

template <class Fn>
void Resolve(const plat::MusicLibrary& library, const char* name, Fn* out, bool required) {
    *out = reinterpret_cast<Fn>(library.Find(name));
    if (!*out && required) FailFatally(std::string(name) + " function not found in bass.dll");
}

std::unique_ptr<BASS_INSTANCE> LoadInstance(plat::MusicLibraryLoader& loader) {
    auto bass = std::make_unique<BASS_INSTANCE>();
    bass->library = loader.Load(kLibraryPath);
    if (!bass->library) FailFatally("Can't find bass.dll.");
    const plat::MusicLibrary& lib = *bass->library;
    Resolve(lib, "BASS_Init", &bass->Init, true);
    Resolve(lib, "BASS_Free", &bass->Free, true);
    Resolve(lib, "BASS_Stop", &bass->Stop, true);
    Resolve(lib, "BASS_Start", &bass->Start, true);
    Resolve(lib, "BASS_SetConfig", &bass->SetConfig, false);
    Resolve(lib, "BASS_GetConfig", &bass->GetConfig, false);
    Resolve(lib, "BASS_ChannelStop", &bass->ChannelStop, true);
    Resolve(lib, "BASS_ChannelPlay", &bass->ChannelPlay, true);
    Resolve(lib, "BASS_ChannelPause", &bass->ChannelPause, true);
    Resolve(lib, "BASS_ChannelSetAttribute", &bass->ChannelSetAttribute, true);
    Resolve(lib, "BASS_ChannelGetAttribute", &bass->ChannelGetAttribute, true);
    Resolve(lib, "BASS_ChannelSetPosition", &bass->ChannelSetPosition, true);
    Resolve(lib, "BASS_ChannelGetPosition", &bass->ChannelGetPosition, true);
    Resolve(lib, "BASS_ChannelIsActive", &bass->ChannelIsActive, true);
    Resolve(lib, "BASS_ChannelFlags", &bass->ChannelFlags, true);
    Resolve(lib, "BASS_MusicLoad", &bass->MusicLoad, true);
    Resolve(lib, "BASS_MusicFree", &bass->MusicFree, true);
    Resolve(lib, "BASS_StreamCreateFile", &bass->StreamCreateFile, true);
    Resolve(lib, "BASS_StreamFree", &bass->StreamFree, true);
    Resolve(lib, "BASS_ErrorGetCode", &bass->ErrorGetCode, true);
    return bass;
}

}  // namespace

BASS_INSTANCE* AcquireBassInstance(plat::MusicLibraryLoader& loader) {
    std::lock_guard<std::mutex> lock(gInstanceMutex);
    if (!gInstance) gInstance = LoadInstance(loader);
    ++gInstanceUsers;
    return gInstance.get();
}

void ReleaseBassInstance() {
    std::unique_ptr<BASS_INSTANCE> last;
    {
        std::lock_guard<std::mutex> lock(gInstanceMutex);
        if (gInstanceUsers == 0 || --gInstanceUsers > 0) return;
        last = std::move(gInstance);
    }
}
