#include "app/audio/sound_player.h"

#include "foundation/system/sound_manager.h"

void SoundPlayer::PlaySound(int id, int minimumGap, double volume) {
    auto last = lastPlayed_.find(id);
    if (last != lastPlayed_.end() && static_cast<int64_t>(updateCount_ - last->second) <= minimumGap) return;
    SoundManager* manager = owner_->GetSoundManager();
    if (SoundInstance* instance = manager ? manager->GetSoundInstance(id) : nullptr) {
        instance->SetVolume(instance->GetVolume() * volume);
        instance->Play(false, true);
    }
    lastPlayed_[id] = updateCount_;
}

void SoundPlayer::StartLoop(int id, float fadeRate) {
    auto it = loops_.find(id);
    if (it != loops_.end()) {
        Loop& loop = it->second;
        ++loop.useCount;
        // A loop fading out after its last user left is wanted again: it
        // comes back instead of ending under its new user.
        if (loop.fadeRate < 0.0f) {
            loop.fadeRate = fadeRate;
            if (fadeRate == 0.0f) {
                loop.volume = 1.0f;
                loop.instance->SetVolume(owner_->GetSfxVolume() * loop.volume);
            }
        }
        return;
    }
    SoundManager* manager = owner_->GetSoundManager();
    SoundInstance* instance = manager ? manager->GetSoundInstance(id) : nullptr;
    if (!instance) return;
    instance->Play(true, false);
    Loop loop{instance, fadeRate, 1.0f, 1};
    if (fadeRate != 0.0f) {
        instance->SetVolume(0.0);
        loop.volume = 0.0f;
    }
    loops_[id] = loop;
}

void SoundPlayer::StopLoop(int id, float fadeRate) {
    auto it = loops_.find(id);
    if (it == loops_.end()) return;
    Loop& loop = it->second;
    if (--loop.useCount > 0) return;
    if (fadeRate != 0.0f) {
        loop.fadeRate = -fadeRate;
        return;
    }
    loop.instance->Release();
    loops_.erase(it);
}

void SoundPlayer::StopAllLoops() {
    for (auto& [id, loop] : loops_) loop.instance->Release();
    loops_.clear();
}

void SoundPlayer::SilenceLoops(bool silence, const std::set<int>& ids) {
    for (int id : ids) {
        auto it = loops_.find(id);
        if (it == loops_.end()) continue;
        it->second.instance->SetVolume(owner_->GetSfxVolume() * (silence ? 0.0 : it->second.volume));
    }
}

void SoundPlayer::Update() {
    ++updateCount_;
    for (auto it = loops_.begin(); it != loops_.end(); ++it) {
        Loop& loop = it->second;
        if (loop.fadeRate == 0.0f) continue;
        loop.volume += loop.fadeRate;
        if (loop.volume >= 1.0f) {
            loop.volume = 1.0f;
            loop.fadeRate = 0.0f;
        }
        if (loop.volume <= 0.0f) {
            // One loop ends per update; the others fade on the next one.
            loop.instance->Release();
            loops_.erase(it);
            return;
        }
        loop.instance->SetVolume(owner_->GetSfxVolume() * loop.volume);
    }
}

bool SoundPlayer::GetLoop(int id, float* volume, int* useCount) const {
    auto it = loops_.find(id);
    if (it == loops_.end()) return false;
    *volume = it->second.volume;
    *useCount = it->second.useCount;
    return true;
}
