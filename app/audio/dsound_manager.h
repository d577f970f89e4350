#pragma once
// The sound manager on a plat::SoundDevice: 1024 sound ids, each holding a
// loaded buffer, the name it was loaded under, a base volume and pan; and
// 32 channels, each holding a DSoundInstance the manager owns.
//
// Loading a name tries, in order: the cached WAV of a decoded sound
// (cached_wav.h), name.wav, name.ogg, name.au; a sound decoded from Ogg
// Vorbis or AU is cached for the next time. Released instances are swept
// from their channels at most once a second, and otherwise reclaimed when a
// channel is needed.
// Without a window no device is made: every load then succeeds without
// data and every instance is silent, so the program runs unchanged and
// quietly.
// Threads: the main thread; the loading thread only loads and releases
// sounds through the asset registry (under its sound lock), in ids that
// nothing plays yet. Channels and volumes are the main thread's alone.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/audio/pcm_sound.h"
#include "foundation/system/sound_manager.h"
#include "platform/sound/sound.h"

class DSoundInstance;

class DSoundManager : public SoundManager {
public:
    static constexpr int kSoundIds = 1024;
    static constexpr int kChannels = 32;

    // `output` Manual lets tests pull the mix themselves.
    explicit DSoundManager(plat::NativeWindow* window, plat::SoundOutput output = plat::SoundOutput::Device);
    ~DSoundManager() override;
    DSoundManager(const DSoundManager&) = delete;
    DSoundManager& operator=(const DSoundManager&) = delete;

    bool IsInitialized() override;
    int LoadSoundByName(std::string_view name) override;
    bool LoadSound(int id, std::string_view name) override;
    void ReleaseSound(int id) override;
    void SetMasterVolume(double volume) override;
    bool SetBaseVolume(int id, double volume) override;
    bool SetBasePan(int id, int pan) override;
    SoundInstance* GetSoundInstance(int id) override;
    SoundInstance* FindPlayingInstance(int id) override;
    void ReleaseAllSounds() override;
    void ReleaseAllChannels() override;
    double GetMixerVolume() override;
    void SetMixerVolume(double volume) override;
    void SetCooperativeWindow(plat::NativeWindow* window) override;
    void StopAllSounds() override;
    void StopSound(int id) override;
    int GetFreeSoundId() override;
    int CountLoadedSounds() override;

    // The device effects are mixed on (music joins it), null without one.
    plat::SoundDevice* Device() const { return device_.get(); }
    double MasterVolume() const { return masterVolume_; }
    // The name an id was loaded under; empty when free or out of range.
    std::string SoundName(int id) const;
    // Channels holding an instance, released or not.
    int CountOccupiedChannels() const;
    // Milliseconds for the once-a-second sweep; a steady clock unless replaced.
    void SetTickSource(std::function<uint32_t()> ticks) { ticks_ = std::move(ticks); }

private:
    struct Slot {
        std::unique_ptr<plat::SoundBuffer> buffer;
        std::string name;
        double baseVolume = 1.0;
        int32_t basePan = 0;
        uint32_t bytes = 0;
    };

    static bool ValidId(int id) { return id >= 0 && id < kSoundIds; }
    bool LoadInto(int id, const PcmSound& sound);
    bool LoadFromFiles(int id, std::string_view name);
    void SweepReleased();

    std::unique_ptr<plat::SoundDevice> device_;
    std::unique_ptr<plat::PrimarySoundBuffer> primary_;
    std::array<Slot, kSoundIds> slots_;
    std::array<std::unique_ptr<DSoundInstance>, kChannels> channels_;
    double masterVolume_ = 1.0;
    uint32_t lastSweep_ = 0;
    std::function<uint32_t()> ticks_;
};
