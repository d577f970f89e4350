#pragma once
// The game's sound-effect player on top of the sound manager. It drops a
// replay of a sound that played too recently, and keeps looping sounds
// shared by several users: each start counts one more user, each stop one
// fewer, and the loop ends (at once, or fading out) when the last user
// stops it. Loops fade in and out by a volume step per update and play at
// the effects volume times their own.
// The application creates one and calls Update once per fixed update,
// before anything else of that update. Threads: main thread only.

#include <cstdint>
#include <map>
#include <set>

class SoundInstance;
class SoundManager;

// What the player needs of the application.
class SoundPlayerOwner {
public:
    virtual ~SoundPlayerOwner() = default;
    // Null while there is none.
    virtual SoundManager* GetSoundManager() = 0;
    virtual double GetSfxVolume() = 0;
};

class SoundPlayer {
public:
    explicit SoundPlayer(SoundPlayerOwner* owner) : owner_(owner) {}
    virtual ~SoundPlayer() = default;
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Plays the sound once at its volume x `volume`, unless it played no
    // more than `minimumGap` updates ago. The play counts for the gap rule
    // even when no channel was free.
    void PlaySound(int id, int minimumGap, double volume);
    // `fadeRate` 0 starts at full volume; otherwise the loop fades in by
    // that much per update.
    void StartLoop(int id, float fadeRate);
    // `fadeRate` 0 ends the loop at once when this was its last user.
    void StopLoop(int id, float fadeRate);
    void StopAllLoops();
    // Mutes (or restores) the loops of these ids; they keep running.
    void SilenceLoops(bool silence, const std::set<int>& ids);
    void Update();

    // For inspection: the loop's volume 0..1 and users; false without a loop.
    bool GetLoop(int id, float* volume, int* useCount) const;
    uint32_t UpdateCount() const { return updateCount_; }

private:
    struct Loop {
        SoundInstance* instance = nullptr;
        float fadeRate = 0.0f;
        float volume = 0.0f;
        int useCount = 0;
    };

    SoundPlayerOwner* owner_;
    std::map<int, uint32_t> lastPlayed_;
    std::map<int, Loop> loops_;
    uint32_t updateCount_ = 0;
};
