// The linked music library: its entry points by name, and the one engine
// they work on, made when the first handle loads the library and destroyed
// with the last one, as a shared library's state would be.

#include "platform/music/music_library.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/music/music_engine_internal.h"

namespace plat {

namespace {

using music_detail::MusicEngine;

std::mutex gLoadMutex;
int gLoadCount = 0;
// Owned by the handles, not by a static: a process that ends through exit()
// with a handle still held (Xlib does so when the display goes away) would
// otherwise free the engine at exit and again when that handle is released.
MusicEngine* gEngineOwner = nullptr;
std::atomic<MusicEngine*> gEngine{nullptr};

// Every entry point fails like a library that was never initialised once
// the last handle is gone.
MusicEngine* Engine() { return gEngine.load(std::memory_order_acquire); }

bool Init(SoundDevice* output, uint32_t rate) { return Engine() && Engine()->Init(output, rate); }
bool Free() { return Engine() && Engine()->Free(); }
bool Stop() { return Engine() && Engine()->Stop(); }
bool Start() { return Engine() && Engine()->Start(); }
bool SetConfig(uint32_t option, uint32_t value) { return Engine() && Engine()->SetConfig(option, value); }
uint32_t GetConfig(uint32_t option) { return Engine() ? Engine()->GetConfig(option) : ~0u; }
bool ChannelStop(MusicHandle h) { return Engine() && Engine()->ChannelStop(h); }
bool ChannelPlay(MusicHandle h, bool restart) { return Engine() && Engine()->ChannelPlay(h, restart); }
bool ChannelPause(MusicHandle h) { return Engine() && Engine()->ChannelPause(h); }
bool ChannelSetAttribute(MusicHandle h, uint32_t attribute, float value) {
    return Engine() && Engine()->ChannelSetAttribute(h, attribute, value);
}
bool ChannelGetAttribute(MusicHandle h, uint32_t attribute, float* value) {
    return Engine() && Engine()->ChannelGetAttribute(h, attribute, value);
}
bool ChannelSetPosition(MusicHandle h, uint64_t position, uint32_t mode) {
    return Engine() && Engine()->ChannelSetPosition(h, position, mode);
}
uint64_t ChannelGetPosition(MusicHandle h, uint32_t mode) {
    return Engine() ? Engine()->ChannelGetPosition(h, mode) : kMusicPositionInvalid;
}
uint32_t ChannelIsActive(MusicHandle h) { return Engine() ? Engine()->ChannelIsActive(h) : kMusicStopped; }
uint32_t ChannelFlags(MusicHandle h, uint32_t flags, uint32_t mask) {
    return Engine() ? Engine()->ChannelFlags(h, flags, mask) : ~0u;
}
MusicHandle MusicLoad(const void* data, uint64_t offset, uint32_t length, uint32_t flags, uint32_t) {
    return Engine() ? Engine()->MusicLoad(data, offset, length, flags) : 0;
}
bool MusicFree(MusicHandle h) { return Engine() && Engine()->MusicFree(h); }
MusicHandle StreamCreateFile(const void* data, uint64_t offset, uint64_t length, uint32_t flags) {
    return Engine() ? Engine()->StreamCreate(data, offset, length, flags) : 0;
}
bool StreamFree(MusicHandle h) { return Engine() && Engine()->StreamFree(h); }
int ErrorGetCode() { return Engine() ? Engine()->ErrorCode() : kMusicErrInit; }

struct EntryPoint {
    std::string_view name;
    MusicProc proc;
};

template <class Fn>
MusicProc Proc(Fn fn) {
    return reinterpret_cast<MusicProc>(fn);
}

// The table checks each function against the type its users cast it to.
const EntryPoint kEntryPoints[] = {
    {"BASS_Init", Proc<MusicInitFn>(Init)},
    {"BASS_Free", Proc<MusicVoidFn>(Free)},
    {"BASS_Stop", Proc<MusicVoidFn>(Stop)},
    {"BASS_Start", Proc<MusicVoidFn>(Start)},
    {"BASS_SetConfig", Proc<MusicSetConfigFn>(SetConfig)},
    {"BASS_GetConfig", Proc<MusicGetConfigFn>(GetConfig)},
    {"BASS_ChannelStop", Proc<MusicChannelFn>(ChannelStop)},
    {"BASS_ChannelPlay", Proc<MusicChannelPlayFn>(ChannelPlay)},
    {"BASS_ChannelPause", Proc<MusicChannelFn>(ChannelPause)},
    {"BASS_ChannelSetAttribute", Proc<MusicSetAttributeFn>(ChannelSetAttribute)},
    {"BASS_ChannelGetAttribute", Proc<MusicGetAttributeFn>(ChannelGetAttribute)},
    {"BASS_ChannelSetPosition", Proc<MusicSetPositionFn>(ChannelSetPosition)},
    {"BASS_ChannelGetPosition", Proc<MusicGetPositionFn>(ChannelGetPosition)},
    {"BASS_ChannelIsActive", Proc<MusicIsActiveFn>(ChannelIsActive)},
    {"BASS_ChannelFlags", Proc<MusicFlagsFn>(ChannelFlags)},
    {"BASS_MusicLoad", Proc<MusicLoadFn>(MusicLoad)},
    {"BASS_MusicFree", Proc<MusicChannelFn>(MusicFree)},
    {"BASS_StreamCreateFile", Proc<MusicStreamCreateFn>(StreamCreateFile)},
    {"BASS_StreamFree", Proc<MusicChannelFn>(StreamFree)},
    {"BASS_ErrorGetCode", Proc<MusicErrorFn>(ErrorGetCode)},
};

class LinkedMusicLibrary : public MusicLibrary {
public:
    LinkedMusicLibrary() {
        std::lock_guard<std::mutex> lock(gLoadMutex);
        if (gLoadCount++ == 0) {
            gEngineOwner = new MusicEngine();
            gEngine.store(gEngineOwner, std::memory_order_release);
        }
    }
    ~LinkedMusicLibrary() override {
        std::unique_ptr<MusicEngine> last;
        {
            std::lock_guard<std::mutex> lock(gLoadMutex);
            if (--gLoadCount > 0) return;
            gEngine.store(nullptr, std::memory_order_release);
            last.reset(std::exchange(gEngineOwner, nullptr));
        }
    }
    LinkedMusicLibrary(const LinkedMusicLibrary&) = delete;
    LinkedMusicLibrary& operator=(const LinkedMusicLibrary&) = delete;

    MusicProc Find(std::string_view name) const override {
        for (const EntryPoint& e : kEntryPoints)
            if (e.name == name) return e.proc;
        return nullptr;
    }
};

}  // namespace

std::unique_ptr<MusicLibrary> LinkedMusicLibraryLoader::Load(std::string_view) {
    return std::make_unique<LinkedMusicLibrary>();
}

}  // namespace plat
