#include "platform/music/music_engine_internal.h"

#include <algorithm>
#include <utility>

namespace plat::music_detail {

namespace {

constexpr std::size_t kMixFrames = 256;
constexpr uint32_t kFullGlobalVolume = 10000;

}  // namespace

MusicEngine::~MusicEngine() { Free(); }

bool MusicEngine::Fail(MusicError error) {
    error_ = error;
    return false;
}

MusicHandle MusicEngine::FailHandle(MusicError error) {
    error_ = error;
    return 0;
}

bool MusicEngine::Succeed() {
    error_ = kMusicOk;
    return true;
}

bool MusicEngine::Init(SoundDevice* output, uint32_t rate) {
    std::unique_ptr<SoundDevice> own;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (initialised_) return Fail(kMusicErrAlready);
        if (rate == 0) return Fail(kMusicErrIllegalParam);
    }
    if (!output) {
        own = SoundDevice::Create(SoundOutput::Device);
        output = own.get();
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        output_ = output;
        ownOutput_ = std::move(own);
        initialised_ = true;
        started_ = true;
        Succeed();
    }
    output->AttachSource(this);
    return true;
}

bool MusicEngine::Free() {
    SoundDevice* output;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!initialised_) return Fail(kMusicErrInit);
        output = output_;
    }
    output->DetachSource(this);  // no block is being mixed after this
    std::map<MusicHandle, std::unique_ptr<MusicChannel>> channels;
    std::unique_ptr<SoundDevice> own;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        channels.swap(channels_);
        own = std::move(ownOutput_);
        output_ = nullptr;
        initialised_ = false;
        started_ = false;
        Succeed();
    }
    return true;
}

bool MusicEngine::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!initialised_) return Fail(kMusicErrInit);
    started_ = false;
    return Succeed();
}

bool MusicEngine::Start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!initialised_) return Fail(kMusicErrInit);
    started_ = true;
    return Succeed();
}

bool MusicEngine::SetConfig(uint32_t option, uint32_t value) {
    std::lock_guard<std::mutex> lock(mutex_);
    switch (option) {
        case kMusicConfigBufferMs: bufferMs_ = value; return Succeed();
        case kMusicConfigGlobalStreamVolume:
        case kMusicConfigGlobalMusicVolume:
            if (value > kFullGlobalVolume) return Fail(kMusicErrIllegalParam);
            (option == kMusicConfigGlobalStreamVolume ? streamVolume_ : musicVolume_) = value;
            return Succeed();
        default: return Fail(kMusicErrIllegalType);
    }
}

uint32_t MusicEngine::GetConfig(uint32_t option) {
    std::lock_guard<std::mutex> lock(mutex_);
    uint32_t value = 0;
    switch (option) {
        case kMusicConfigBufferMs: value = bufferMs_; break;
        case kMusicConfigGlobalStreamVolume: value = streamVolume_; break;
        case kMusicConfigGlobalMusicVolume: value = musicVolume_; break;
        default: Fail(kMusicErrIllegalType); return ~0u;
    }
    Succeed();
    return value;
}

MusicHandle MusicEngine::Add(std::unique_ptr<MusicChannel> channel, uint32_t flags) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!initialised_) return FailHandle(kMusicErrInit);
    channel->flags = flags;
    while (nextHandle_ == 0 || channels_.count(nextHandle_)) ++nextHandle_;
    const MusicHandle handle = nextHandle_++;
    channels_[handle] = std::move(channel);
    Succeed();
    return handle;
}

MusicHandle MusicEngine::StreamCreate(const void* data, uint64_t offset, uint64_t length, uint32_t flags) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!initialised_) return FailHandle(kMusicErrInit);
        if (!data || length == 0) return FailHandle(kMusicErrIllegalParam);
    }
    MusicError error = kMusicOk;
    auto channel =
        CreateStreamChannel(static_cast<const uint8_t*>(data) + offset, static_cast<std::size_t>(length), &error);
    if (!channel) {
        std::lock_guard<std::mutex> lock(mutex_);
        return FailHandle(error);
    }
    return Add(std::move(channel), flags);
}

MusicHandle MusicEngine::MusicLoad(const void* data, uint64_t offset, uint32_t length, uint32_t flags) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!initialised_) return FailHandle(kMusicErrInit);
        // libxmp needs the length to parse from memory.
        if (!data || length == 0) return FailHandle(kMusicErrIllegalParam);
    }
    MusicError error = kMusicOk;
    auto channel = CreateModuleChannel(static_cast<const uint8_t*>(data) + offset, length, &error);
    if (!channel) {
        std::lock_guard<std::mutex> lock(mutex_);
        return FailHandle(error);
    }
    return Add(std::move(channel), flags);
}

bool MusicEngine::FreeChannel(MusicHandle handle, bool module) {
    std::unique_ptr<MusicChannel> gone;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        MusicChannel* channel = Find(handle);
        if (!channel) return false;
        if (channel->IsModule() != module) return Fail(kMusicErrHandle);
        gone = std::move(channels_[handle]);
        channels_.erase(handle);
        Succeed();
    }
    return true;  // the channel's decoder goes outside the lock
}

bool MusicEngine::StreamFree(MusicHandle handle) { return FreeChannel(handle, false); }
bool MusicEngine::MusicFree(MusicHandle handle) { return FreeChannel(handle, true); }

MusicChannel* MusicEngine::Find(MusicHandle handle) {
    auto it = channels_.find(handle);
    if (it == channels_.end()) {
        Fail(kMusicErrHandle);
        return nullptr;
    }
    return it->second.get();
}

bool MusicEngine::ChannelPlay(MusicHandle handle, bool restart) {
    std::lock_guard<std::mutex> lock(mutex_);
    MusicChannel* channel = Find(handle);
    if (!channel) return false;
    if (restart) channel->Rewind();
    channel->state = kMusicPlaying;
    return Succeed();
}

bool MusicEngine::ChannelStop(MusicHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    MusicChannel* channel = Find(handle);
    if (!channel) return false;
    channel->state = kMusicStopped;
    return Succeed();
}

bool MusicEngine::ChannelPause(MusicHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    MusicChannel* channel = Find(handle);
    if (!channel) return false;
    if (channel->state != kMusicPlaying) return Fail(kMusicErrNotPlaying);
    channel->state = kMusicPaused;
    return Succeed();
}

uint32_t MusicEngine::ChannelIsActive(MusicHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    MusicChannel* channel = Find(handle);
    if (!channel) return kMusicStopped;
    Succeed();
    return channel->state;
}

bool MusicEngine::ChannelSetAttribute(MusicHandle handle, uint32_t attribute, float value) {
    std::lock_guard<std::mutex> lock(mutex_);
    MusicChannel* channel = Find(handle);
    if (!channel) return false;
    switch (attribute) {
        case kMusicAttribFrequency: return channel->SetFrequency(value) ? Succeed() : Fail(kMusicErrIllegalParam);
        case kMusicAttribVolume:
            if (!(value >= 0.0f && value <= 1.0f)) return Fail(kMusicErrIllegalParam);
            channel->volume = value;
            return Succeed();
        case kMusicAttribPan:
            if (!(value >= -1.0f && value <= 1.0f)) return Fail(kMusicErrIllegalParam);
            channel->pan = value;
            return Succeed();
        case kMusicAttribAmplify:
            if (!channel->IsModule()) return Fail(kMusicErrIllegalType);
            if (!(value >= 0.0f && value <= 100.0f)) return Fail(kMusicErrIllegalParam);
            channel->amplify = value;
            return Succeed();
        default: return Fail(kMusicErrIllegalType);
    }
}

bool MusicEngine::ChannelGetAttribute(MusicHandle handle, uint32_t attribute, float* value) {
    std::lock_guard<std::mutex> lock(mutex_);
    MusicChannel* channel = Find(handle);
    if (!channel) return false;
    if (!value) return Fail(kMusicErrIllegalParam);
    switch (attribute) {
        case kMusicAttribFrequency: *value = channel->Frequency(); return Succeed();
        case kMusicAttribVolume: *value = channel->volume; return Succeed();
        case kMusicAttribPan: *value = channel->pan; return Succeed();
        case kMusicAttribAmplify:
            if (!channel->IsModule()) return Fail(kMusicErrIllegalType);
            *value = channel->amplify;
            return Succeed();
        default: return Fail(kMusicErrIllegalType);
    }
}

uint32_t MusicEngine::ChannelFlags(MusicHandle handle, uint32_t flags, uint32_t mask) {
    std::lock_guard<std::mutex> lock(mutex_);
    MusicChannel* channel = Find(handle);
    if (!channel) return ~0u;
    channel->flags = (channel->flags & ~mask) | (flags & mask);
    Succeed();
    return channel->flags;
}

bool MusicEngine::ChannelSetPosition(MusicHandle handle, uint64_t position, uint32_t mode) {
    std::lock_guard<std::mutex> lock(mutex_);
    MusicChannel* channel = Find(handle);
    if (!channel) return false;
    if (mode != kMusicPosByte) return Fail(kMusicErrIllegalType);
    return channel->SetPosition(position) ? Succeed() : Fail(kMusicErrPosition);
}

uint64_t MusicEngine::ChannelGetPosition(MusicHandle handle, uint32_t mode) {
    std::lock_guard<std::mutex> lock(mutex_);
    MusicChannel* channel = Find(handle);
    if (!channel) return kMusicPositionInvalid;
    if (mode != kMusicPosByte) {
        Fail(kMusicErrIllegalType);
        return kMusicPositionInvalid;
    }
    Succeed();
    return channel->GetPosition();
}

int MusicEngine::ErrorCode() {
    std::lock_guard<std::mutex> lock(mutex_);
    return error_;
}

void MusicEngine::MixInto(float* mix, std::size_t frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!started_) return;
    float rendered[2 * kMixFrames];
    for (auto& [handle, channel] : channels_) {
        MusicChannel& c = *channel;
        if (c.state != kMusicPlaying) continue;
        const uint32_t global = c.IsModule() ? musicVolume_ : streamVolume_;
        float gain = c.volume * static_cast<float>(global) / kFullGlobalVolume;
        if (c.IsModule()) gain *= c.amplify / 50.0f;
        const float left = gain * (c.pan > 0.0f ? 1.0f - c.pan : 1.0f);
        const float right = gain * (c.pan < 0.0f ? 1.0f + c.pan : 1.0f);
        const bool loop = (c.flags & kMusicFlagLoop) != 0;
        for (std::size_t done = 0; done < frames;) {
            const std::size_t want = std::min(frames - done, kMixFrames);
            const std::size_t made = c.Render(rendered, want, loop);
            float* out = mix + 2 * done;
            for (std::size_t i = 0; i < made; ++i) {
                out[2 * i] += rendered[2 * i] * left;
                out[2 * i + 1] += rendered[2 * i + 1] * right;
            }
            if (made < want) {
                // Played to its end: stopped, and the next play starts over.
                c.state = kMusicStopped;
                c.Rewind();
                break;
            }
            done += made;
        }
    }
}

}  // namespace plat::music_detail
