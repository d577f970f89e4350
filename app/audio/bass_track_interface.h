#pragma once
// Music tracks on the music library (bass_instance.h): every track is a
// stream or a module played from its file's bytes in memory, at the volume
// of its name x its own (faded) volume x the music master volume, scaled
// once more by the library's global volume (40 %).
// A track whose name never got a volume plays silently. Operations on an id
// without a track do nothing.
// Threads: main thread only.

#include <map>
#include <string>

#include "app/audio/bass_instance.h"
#include "app/audio/track_record.h"
#include "foundation/system/track_interface.h"

namespace plat {
class SoundDevice;
}

class BassTrackInterface : public TrackInterface {
public:
    // Mixes into `output` (the sound effects' device), or a device of the
    // library's own when null; `output` must outlive this object. `loader`
    // null loads the linked library.
    explicit BassTrackInterface(plat::SoundDevice* output, plat::MusicLibraryLoader* loader = nullptr);
    ~BassTrackInterface() override;
    BassTrackInterface(const BassTrackInterface&) = delete;
    BassTrackInterface& operator=(const BassTrackInterface&) = delete;

    bool LoadTrack(int id, std::string_view path, std::wstring_view name) override;
    void PlayTrack(int id, int position, bool loop) override;
    void StopTrack(int id) override;
    void PauseTrack(int id) override;
    void ResumeTrack(int id) override;
    void StopAllTracks() override;
    void UnloadTrack(int id) override;
    void UnloadAllTracks() override;
    void PauseAllTracks() override;
    void ResumeAllTracks() override;
    void PauseTracksNamed(std::wstring_view name) override;
    void ResumeTracksNamed(std::wstring_view name) override;
    std::wstring GetTrackName(int id) override;
    void FadeInTrack(int id, int position, double rate, bool loop) override;
    void FadeOutTrack(int id, bool stop, double rate) override;
    void FadeOutAllTracks(bool stop, double rate) override;
    void FadeOutTracksNamed(std::wstring_view name, bool stop, double rate) override;
    bool IsTrackPlaying(int id) override;
    void SetMasterMusicVolume(double volume) override;
    void SetVolumeForName(std::wstring_view name, double volume) override;
    double GetVolumeForName(std::wstring_view name) override;
    void SetTrackAttribute(int id, double value) override;
    void UpdateFades() override;

    void SetTrackVolumeById(int id, double volume);
    void SetTrackMaxVolumeById(int id, double volume);

    // The track's record, null for an id without one.
    const TrackRecord* FindTrack(int id) const;
    // name volume x track volume x master volume.
    double EffectiveTrackVolume(const TrackRecord& track) const;
    BASS_INSTANCE& Library() { return *bass_; }

private:
    TrackRecord* Find(int id);
    void ApplyVolume(const TrackRecord& track);
    // What PlayTrack and FadeInTrack share once their fade is set.
    void StartChannel(TrackRecord& track, int position, bool loop, bool fadeIn);
    void FreeChannel(const TrackRecord& track);
    // Every track, or those of one name (null: all).
    void PauseWhere(const std::wstring_view* name);
    void ResumeWhere(const std::wstring_view* name);

    BASS_INSTANCE* bass_;
    std::map<int, TrackRecord> tracks_;
    std::map<std::wstring, double, std::less<>> nameVolumes_;
    double masterVolume_ = 1.0;
    int streamGlobalVolume_ = 40;
    uint32_t musicFlags_ = plat::kMusicFlagLoop | plat::kMusicFlagRamp;
};
