// Sound and music as the application offers them: one-shot effects, tracks,
// the volumes kept in the settings and the mute counter.

#include <string>

#include "app/shell/vorn_app_base.h"
#include "foundation/system/app_services.h"
#include "foundation/system/sound_manager.h"
#include "foundation/system/track_interface.h"

namespace {

constexpr double kDefaultTrackVolume = 0.85;

}  // namespace

void VornAppBase::PlaySound(int id) {
    if (!soundManager_) return;
    // Released by the manager when it ends; no one keeps the instance.
    if (SoundInstance* instance = soundManager_->GetSoundInstance(id)) instance->Play(false, true);
}

void VornAppBase::PlaySoundWithPan(int id, int pan) {
    if (!soundManager_) return;
    if (SoundInstance* instance = soundManager_->GetSoundInstance(id)) {
        instance->SetPan(pan);
        instance->Play(false, true);
    }
}

void VornAppBase::PlayTrack(int id, int position, bool loop) {
    if (music_) music_->PlayTrack(id, position, loop);
}

void VornAppBase::PlayTrackByName(std::wstring_view name, int position, bool loop) {
    PlayTrack(FindTrackId(name), position, loop);
}

void VornAppBase::Mute() {
    ++muteCount_;
    SetSfxVolume(GetSfxVolume());
    if (music_) {
        music_->SetMasterMusicVolume(0.0);
        music_->PauseAllTracks();
    }
}

void VornAppBase::Unmute() {
    if (muteCount_ > 0) --muteCount_;
    if (!IsMuted() && music_) {
        music_->SetMasterMusicVolume(1.0);
        // Track volumes set while muted went out as 0: send what was stored.
        if (settings_)
            for (const auto& [name, volume] : settings_->Values().trackVolumes) music_->SetVolumeForName(name, volume);
        music_->ResumeAllTracks();
    }
    SetSfxVolume(GetSfxVolume());
}

double VornAppBase::GetSfxVolume() const { return settings_ ? settings_->Values().sfxVolume : 0.85; }

void VornAppBase::SetSfxVolume(double volume) {
    if (settings_) settings_->Values().sfxVolume = volume;
    if (soundManager_) soundManager_->SetMasterVolume(IsMuted() ? 0.0 : volume);
}

double VornAppBase::GetTrackVolume(std::wstring_view name) const {
    if (!settings_) return 0.0;
    const auto& volumes = settings_->Values().trackVolumes;
    auto found = volumes.find(std::wstring(name));
    return found == volumes.end() ? 0.0 : found->second;
}

void VornAppBase::SetTrackVolume(std::wstring_view name, double volume) {
    if (settings_) settings_->Values().trackVolumes[std::wstring(name)] = volume;
    if (music_) music_->SetVolumeForName(name, IsMuted() ? 0.0 : volume);
}

void VornAppBase::RegisterTrackVolume(std::wstring_view name) {
    if (!settings_) return;
    auto& volumes = settings_->Values().trackVolumes;
    if (volumes.count(std::wstring(name))) return;
    volumes[std::wstring(name)] = kDefaultTrackVolume;
    if (music_) music_->SetVolumeForName(name, IsMuted() ? 0.0 : kDefaultTrackVolume);
}

double VornAppBase::GetMixerVolume() { return soundManager_ ? soundManager_->GetMixerVolume() : 0.0; }

void VornAppBase::SetMixerVolume(double volume) {
    if (soundManager_) soundManager_->SetMixerVolume(volume);
    if (settings_) settings_->Values().sfxVolume = volume;
}

int VornAppBase::GetMouseSpeed() const { return settings_ ? settings_->Values().mouseSpeed : 0; }

void VornAppBase::SetMouseSpeed(int speed) {
    if (settings_) settings_->Values().mouseSpeed = speed;
    ApplyMouseSpeed(false);
}
