#pragma once
// One playing copy of a loaded sound: a duplicate of the id's buffer with
// its own position, volume, pan and pitch. An instance made without a
// device, or whose duplicate failed, is silent: it keeps its settings and
// answers, and nothing is heard.

#include <cstdint>
#include <memory>

#include "foundation/system/sound_manager.h"
#include "platform/sound/sound.h"

class DSoundManager;

class DSoundInstance : public SoundInstance {
public:
    // `source` null makes a silent instance.
    DSoundInstance(DSoundManager* owner, const plat::SoundBuffer* source, int id);
    ~DSoundInstance() override;
    DSoundInstance(const DSoundInstance&) = delete;
    DSoundInstance& operator=(const DSoundInstance&) = delete;

    void Release() override;
    void SetBaseVolume(double volume) override;
    void SetBasePan(int pan) override;
    void SetPitch(double semitones) override;
    void SetVolume(double volume) override;
    void SetPan(int pan) override;
    bool Play(bool looping, bool releaseWhenFinished) override;
    void Stop() override;
    bool IsPlaying() override;
    bool IsReleased() override;
    double GetVolume() override { return volume_; }

    int SoundId() const { return id_; }
    bool IsSilent() const { return !buffer_; }
    bool ReleaseWhenFinished() const { return releaseWhenFinished_; }
    void SetReleaseWhenFinished(bool release) { releaseWhenFinished_ = release; }
    // The volume the buffer was last given, in hundredths of a decibel.
    int32_t Attenuation() const { return attenuation_; }
    uint32_t Frequency() const;
    // (Re)applies the volume with the manager's current master volume.
    void ApplyVolume();

private:
    void ApplyPan();

    DSoundManager* owner_;
    std::unique_ptr<plat::SoundBuffer> buffer_;
    bool releaseWhenFinished_ = false;
    bool hasPlayed_ = false;
    bool released_ = false;
    int id_;
    int32_t basePan_ = 0;
    int32_t pan_ = 0;
    double baseVolume_ = 1.0;
    double volume_ = 1.0;
    uint32_t nativeFrequency_ = 44100;
    int32_t attenuation_ = 0;
};
