#pragma once
// The music library's state: its output, its options and its channels. One
// engine exists while the library is loaded (music_library.cpp); the entry
// points forward to it.
//
// Threads: every member takes `mutex_`, and MixInto takes it on the output
// thread while the sound device's own lock is held. So no member may call
// into the device with `mutex_` held (attaching and detaching happen
// outside it), and channels are created and destroyed outside it too.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/music/music_channel_internal.h"
#include "platform/music/music_types.h"
#include "platform/sound/sound_device.h"
#include "platform/sound/sound_source.h"

namespace plat::music_detail {

class MusicEngine : public SoundSource {
public:
    MusicEngine() = default;
    ~MusicEngine() override;
    MusicEngine(const MusicEngine&) = delete;
    MusicEngine& operator=(const MusicEngine&) = delete;

    // Null output: a device of the engine's own, fed to the audio device.
    bool Init(SoundDevice* output, uint32_t rate);
    bool Free();
    bool Stop();
    bool Start();
    bool SetConfig(uint32_t option, uint32_t value);
    uint32_t GetConfig(uint32_t option);

    MusicHandle StreamCreate(const void* data, uint64_t offset, uint64_t length, uint32_t flags);
    MusicHandle MusicLoad(const void* data, uint64_t offset, uint32_t length, uint32_t flags);
    bool StreamFree(MusicHandle handle);
    bool MusicFree(MusicHandle handle);

    bool ChannelPlay(MusicHandle handle, bool restart);
    bool ChannelStop(MusicHandle handle);
    bool ChannelPause(MusicHandle handle);
    uint32_t ChannelIsActive(MusicHandle handle);
    bool ChannelSetAttribute(MusicHandle handle, uint32_t attribute, float value);
    bool ChannelGetAttribute(MusicHandle handle, uint32_t attribute, float* value);
    uint32_t ChannelFlags(MusicHandle handle, uint32_t flags, uint32_t mask);
    bool ChannelSetPosition(MusicHandle handle, uint64_t position, uint32_t mode);
    uint64_t ChannelGetPosition(MusicHandle handle, uint32_t mode);

    int ErrorCode();

    void MixInto(float* mix, std::size_t frames) override;

private:
    MusicHandle Add(std::unique_ptr<MusicChannel> channel, uint32_t flags);
    bool FreeChannel(MusicHandle handle, bool module);
    // With `mutex_` held: the channel, or null with the handle error set.
    MusicChannel* Find(MusicHandle handle);
    // With `mutex_` held: note the error and answer false, or no handle.
    bool Fail(MusicError error);
    MusicHandle FailHandle(MusicError error);
    bool Succeed();

    std::mutex mutex_;
    bool initialised_ = false;
    bool started_ = false;
    SoundDevice* output_ = nullptr;
    std::unique_ptr<SoundDevice> ownOutput_;
    uint32_t bufferMs_ = 500;
    uint32_t streamVolume_ = 10000;
    uint32_t musicVolume_ = 10000;
    MusicError error_ = kMusicOk;
    MusicHandle nextHandle_ = 1;
    std::map<MusicHandle, std::unique_ptr<MusicChannel>> channels_;
};

}  // namespace plat::music_detail
