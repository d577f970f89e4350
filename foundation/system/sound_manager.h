#pragma once
// Sound effects as the program sees them: sounds loaded by name into ids
// 0..1023, and instances (one playing copy of a sound each) handed out on
// 32 channels. DSoundManager (dsound_manager.h) implements both interfaces
// on plat::SoundDevice (app/audio); the sound player and the application
// play through them. Layers below the application reach the installed manager
// through Service<SoundManager> (service.h); while none is installed a
// NullSoundManager answers: nothing loads, nothing plays.
//
// Volumes are 0..1, multiplied together (instance x sound's base x master)
// and heard as an attenuation in hundredths of a decibel (sound_volume.h);
// pans are -10000 (left) .. 10000 (right).
// Callers must not: destroy an instance; they Release it, or play it with
// release-when-finished, and the manager reclaims its channel.
// Threads: main thread only.

#include <string_view>

#include "platform/sound/sound_device.h"

class SoundInstance;

class SoundManager {
public:
    virtual ~SoundManager() = default;

    // What answers while nothing is installed: a NullSoundManager.
    static SoundManager& Fallback();

    virtual bool IsInitialized() = 0;
    // The id already holding this name, else a free id from the top loaded
    // with it; -1 when it does not load or no id is free.
    virtual int LoadSoundByName(std::string_view name) = 0;
    virtual bool LoadSound(int id, std::string_view name) = 0;
    virtual void ReleaseSound(int id) = 0;
    virtual void SetMasterVolume(double volume) = 0;
    virtual bool SetBaseVolume(int id, double volume) = 0;
    virtual bool SetBasePan(int id, int pan) = 0;
    // A channel's instance of the sound, owned by the manager; null when no
    // channel is free or the id holds nothing.
    virtual SoundInstance* GetSoundInstance(int id) = 0;
    virtual SoundInstance* FindPlayingInstance(int id) = 0;
    virtual void ReleaseAllSounds() = 0;
    virtual void ReleaseAllChannels() = 0;
    // The output level, 0..1.
    virtual double GetMixerVolume() = 0;
    virtual void SetMixerVolume(double volume) = 0;
    virtual void SetCooperativeWindow(plat::NativeWindow* window) = 0;
    virtual void StopAllSounds() = 0;
    virtual void StopSound(int id) = 0;
    virtual int GetFreeSoundId() = 0;
    virtual int CountLoadedSounds() = 0;
};

class SoundInstance {
public:
    virtual ~SoundInstance() = default;

    // Stops it and lets the manager reclaim its channel.
    virtual void Release() = 0;
    virtual void SetBaseVolume(double volume) = 0;
    virtual void SetBasePan(int pan) = 0;
    // Semitones up (or down, negative) from the sound's own rate.
    virtual void SetPitch(double semitones) = 0;
    virtual void SetVolume(double volume) = 0;
    virtual void SetPan(int pan) = 0;
    // From the start; false when nothing can be heard.
    virtual bool Play(bool looping, bool releaseWhenFinished) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() = 0;
    // A finished instance played with release-when-finished releases itself here.
    virtual bool IsReleased() = 0;
    virtual double GetVolume() = 0;
};

// No sound device: every load fails, no instance is handed out, volumes read 0.
class NullSoundManager : public SoundManager {
public:
    bool IsInitialized() override { return false; }
    int LoadSoundByName(std::string_view) override { return -1; }
    bool LoadSound(int, std::string_view) override { return false; }
    void ReleaseSound(int) override {}
    void SetMasterVolume(double) override {}
    bool SetBaseVolume(int, double) override { return false; }
    bool SetBasePan(int, int) override { return false; }
    SoundInstance* GetSoundInstance(int) override { return nullptr; }
    SoundInstance* FindPlayingInstance(int) override { return nullptr; }
    void ReleaseAllSounds() override {}
    void ReleaseAllChannels() override {}
    double GetMixerVolume() override { return 0.0; }
    void SetMixerVolume(double) override {}
    void SetCooperativeWindow(plat::NativeWindow*) override {}
    void StopAllSounds() override {}
    void StopSound(int) override {}
    int GetFreeSoundId() override { return -1; }
    int CountLoadedSounds() override { return 0; }
};
