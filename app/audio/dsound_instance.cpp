#include "app/audio/dsound_instance.h"

#include <algorithm>

#include "app/audio/dsound_manager.h"
#include "app/audio/sound_volume.h"
#include "foundation/system/diagnostics.h"
#include "foundation/system/log.h"
#include "foundation/system/text.h"

DSoundInstance::DSoundInstance(DSoundManager* owner, const plat::SoundBuffer* source, int id) : owner_(owner), id_(id) {
    if (source && owner_->Device()) {
        const plat::SoundResult r = owner_->Device()->DuplicateSoundBuffer(*source, &buffer_);
        if (plat::SoundFailed(r)) {
            // One sound that cannot be copied is not worth the program: it plays silently.
            buffer_.reset();
            LogWrite(text::WFormat(L"Sound %d: duplicating its buffer failed (%ls)", id,
                                   text::Widen(HResultToText(r)).c_str()),
                     true);
        } else {
            buffer_->GetFrequency(&nativeFrequency_);
        }
    }
    ApplyVolume();
}

DSoundInstance::~DSoundInstance() = default;

void DSoundInstance::Release() {
    Stop();
    released_ = true;
}

void DSoundInstance::SetBaseVolume(double volume) {
    baseVolume_ = volume;
    ApplyVolume();
}

void DSoundInstance::SetVolume(double volume) {
    volume_ = volume;
    ApplyVolume();
}

void DSoundInstance::ApplyVolume() {
    attenuation_ = VolumeToAttenuation(volume_ * baseVolume_ * owner_->MasterVolume());
    if (buffer_) buffer_->SetVolume(attenuation_);
}

void DSoundInstance::SetBasePan(int pan) {
    basePan_ = pan;
    ApplyPan();
}

void DSoundInstance::SetPan(int pan) {
    pan_ = pan;
    ApplyPan();
}

void DSoundInstance::ApplyPan() {
    // The sum goes through as it is; the buffer refuses what lies outside its range.
    if (buffer_)
        buffer_->SetPan(static_cast<int32_t>(std::clamp<int64_t>(int64_t{pan_} + basePan_, INT32_MIN, INT32_MAX)));
}

void DSoundInstance::SetPitch(double semitones) {
    if (buffer_) buffer_->SetFrequency(PitchedFrequency(nativeFrequency_, semitones));
}

uint32_t DSoundInstance::Frequency() const {
    uint32_t hz = 0;
    if (buffer_) buffer_->GetFrequency(&hz);
    return hz;
}

bool DSoundInstance::Play(bool looping, bool releaseWhenFinished) {
    Stop();
    hasPlayed_ = true;
    releaseWhenFinished_ = releaseWhenFinished;
    if (!buffer_) return false;
    return !plat::SoundFailed(buffer_->Play(looping ? plat::kSoundPlayLooping : 0));
}

void DSoundInstance::Stop() {
    if (buffer_) {
        buffer_->Stop();
        buffer_->SetCurrentPosition(0);
    }
    releaseWhenFinished_ = false;
}

bool DSoundInstance::IsPlaying() {
    if (!hasPlayed_ || !buffer_) return false;
    uint32_t status = 0;
    buffer_->GetStatus(&status);
    return (status & plat::kSoundStatusPlaying) != 0;
}

bool DSoundInstance::IsReleased() {
    if (!released_ && releaseWhenFinished_ && hasPlayed_ && !IsPlaying()) Release();
    return released_;
}
