#include "app/audio/dsound_manager.h"

#include <chrono>
#include <cmath>

#include "app/audio/dsound_instance.h"

namespace {

uint32_t SteadyTicks() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

constexpr uint32_t kSweepIntervalMs = 1000;

}  // namespace

DSoundManager::DSoundManager(plat::NativeWindow* window, plat::SoundOutput output) : ticks_(SteadyTicks) {
    if (!window) return;
    device_ = plat::SoundDevice::Create(output);
    if (plat::SoundFailed(device_->SetCooperativeLevel(window, plat::SoundCooperation::Priority))) {
        device_->SetCooperativeLevel(window, plat::SoundCooperation::Normal);
        return;
    }
    if (plat::SoundFailed(device_->CreatePrimaryBuffer(&primary_))) return;
    primary_->SetFormat(MakePcmFormat(2, 44100, 16));
}

DSoundManager::~DSoundManager() {
    ReleaseAllChannels();
    ReleaseAllSounds();
    primary_.reset();
    device_.reset();
}

bool DSoundManager::IsInitialized() { return device_ != nullptr; }

std::string DSoundManager::SoundName(int id) const { return ValidId(id) ? slots_[id].name : std::string(); }

int DSoundManager::LoadSoundByName(std::string_view name) {
    // Every free id has an empty name: an empty name must not find one.
    for (int id = 0; id < kSoundIds && !name.empty(); ++id)
        if (slots_[id].name == name) return id;
    for (int id = kSoundIds - 1; id >= 0; --id) {
        if (slots_[id].buffer) continue;
        return LoadSound(id, name) ? id : -1;
    }
    return -1;
}

void DSoundManager::ReleaseSound(int id) {
    if (!ValidId(id) || !slots_[id].buffer) return;
    slots_[id].buffer.reset();
    slots_[id].bytes = 0;
    slots_[id].name.clear();
}

bool DSoundManager::LoadSound(int id, std::string_view name) {
    if (!ValidId(id)) return false;
    ReleaseSound(id);
    if (!device_) return true;
    slots_[id].name = std::string(name);
    if (LoadFromFiles(id, name)) return true;
    // A name left behind would answer the next load with this empty id.
    slots_[id].name.clear();
    return false;
}

bool DSoundManager::LoadInto(int id, const PcmSound& sound) {
    plat::SoundBufferDesc desc;
    desc.flags = plat::kSoundBufferStatic | plat::kSoundBufferSoftware | plat::kSoundBufferCtrlFrequency |
                 plat::kSoundBufferCtrlPan | plat::kSoundBufferCtrlVolume | plat::kSoundBufferPreciseCursor;
    desc.bytes = static_cast<uint32_t>(sound.data.size());
    desc.format = sound.format;
    if (sound.data.size() > UINT32_MAX) return false;
    std::unique_ptr<plat::SoundBuffer> buffer;
    if (plat::SoundFailed(device_->CreateSoundBuffer(desc, &buffer))) return false;
    plat::SoundLock lock;
    if (plat::SoundFailed(buffer->Lock(0, 0, plat::kSoundLockEntireBuffer, &lock))) return false;
    std::copy(sound.data.begin(), sound.data.end(), static_cast<uint8_t*>(lock.part1));
    if (plat::SoundFailed(buffer->Unlock(lock))) return false;
    slots_[id].buffer = std::move(buffer);
    slots_[id].bytes = desc.bytes;
    return true;
}

void DSoundManager::SetMasterVolume(double volume) {
    masterVolume_ = volume;
    for (auto& channel : channels_)
        if (channel) channel->ApplyVolume();
}

bool DSoundManager::SetBaseVolume(int id, double volume) {
    if (id >= kSoundIds) return false;
    if (id >= 0) slots_[id].baseVolume = volume;
    return id >= 0;
}

bool DSoundManager::SetBasePan(int id, int pan) {
    if (id >= kSoundIds) return false;
    if (id >= 0) slots_[id].basePan = pan;
    return id >= 0;
}

void DSoundManager::SweepReleased() {
    const uint32_t now = ticks_();
    if (now - lastSweep_ <= kSweepIntervalMs) return;
    for (auto& channel : channels_)
        if (channel && channel->IsReleased()) channel.reset();
    lastSweep_ = now;
}

SoundInstance* DSoundManager::GetSoundInstance(int id) {
    if (!ValidId(id)) return nullptr;
    SweepReleased();
    std::unique_ptr<DSoundInstance>* free = nullptr;
    for (auto& channel : channels_) {
        if (!channel || channel->IsReleased()) {
            free = &channel;
            break;
        }
    }
    if (!free) return nullptr;
    const plat::SoundBuffer* source = slots_[id].buffer.get();
    if (device_ && !source) return nullptr;
    free->reset();  // the released instance that held the channel
    *free = std::make_unique<DSoundInstance>(this, source, id);
    DSoundInstance* instance = free->get();
    instance->SetBasePan(slots_[id].basePan);
    instance->SetBaseVolume(slots_[id].baseVolume);
    return instance;
}

SoundInstance* DSoundManager::FindPlayingInstance(int id) {
    for (auto& channel : channels_)
        if (channel && channel->SoundId() == id && channel->IsPlaying()) return channel.get();
    return nullptr;
}

void DSoundManager::ReleaseAllSounds() {
    for (Slot& slot : slots_) {
        slot.buffer.reset();
        slot.bytes = 0;
    }
}

void DSoundManager::ReleaseAllChannels() {
    for (auto& channel : channels_) channel.reset();
}

double DSoundManager::GetMixerVolume() { return device_ ? device_->OutputLevel() / 65535.0 : 0.0; }

void DSoundManager::SetMixerVolume(double volume) {
    if (!device_) return;
    const double level = std::round(std::clamp(volume, 0.0, 1.0) * 65535.0);
    device_->SetOutputLevel(static_cast<uint16_t>(level));
}

void DSoundManager::SetCooperativeWindow(plat::NativeWindow* window) {
    if (device_) device_->SetCooperativeLevel(window, plat::SoundCooperation::Normal);
}

void DSoundManager::StopAllSounds() {
    for (auto& channel : channels_) {
        if (!channel) continue;
        const bool release = channel->ReleaseWhenFinished();
        channel->Stop();
        channel->SetReleaseWhenFinished(release);
    }
}

void DSoundManager::StopSound(int id) {
    for (auto& channel : channels_) {
        if (!channel || channel->SoundId() != id) continue;
        const bool release = channel->ReleaseWhenFinished();
        channel->Stop();
        channel->SetReleaseWhenFinished(release);
    }
}

int DSoundManager::GetFreeSoundId() {
    for (int id = 0; id < kSoundIds; ++id)
        if (!slots_[id].buffer) return id;
    return -1;
}

int DSoundManager::CountOccupiedChannels() const {
    int count = 0;
    for (const auto& channel : channels_) count += channel ? 1 : 0;
    return count;
}

int DSoundManager::CountLoadedSounds() {
    int count = 0;
    for (const Slot& slot : slots_) count += slot.buffer ? 1 : 0;
    return count;
}
