#pragma once
// Music tracks: numbered pieces of music (streams or module music), each
// with a name that selects a per-name volume. TrackInterface itself plays
// nothing, so a program without music runs on it unchanged; the music
// library's implementation is BassTrackInterface (app/audio). Layers below
// the application reach the installed one through Service<TrackInterface>
// (service.h); while none is installed a plain TrackInterface answers.
// Threads: main thread only.

#include <string>
#include <string_view>

class TrackInterface {
public:
    virtual ~TrackInterface() = default;

    // What answers while nothing is installed: a TrackInterface, silent.
    static TrackInterface& Fallback();

    // `path` is read through the pack layer; the extension chooses stream
    // ("wav", "ogg", "mp3") or module music (anything else).
    virtual bool LoadTrack(int id, std::string_view path, std::wstring_view name);
    // `position` -1 continues where the track stood; for module music it is
    // an order, for streams a byte offset.
    virtual void PlayTrack(int id, int position, bool loop);
    virtual void StopTrack(int id);
    virtual void PauseTrack(int id);
    virtual void ResumeTrack(int id);
    virtual void StopAllTracks();
    virtual void UnloadTrack(int id);
    virtual void UnloadAllTracks();
    virtual void PauseAllTracks();
    virtual void ResumeAllTracks();
    virtual void PauseTracksNamed(std::wstring_view name);
    virtual void ResumeTracksNamed(std::wstring_view name);
    virtual std::wstring GetTrackName(int id);
    // `rate` is a volume change per update.
    virtual void FadeInTrack(int id, int position, double rate, bool loop);
    virtual void FadeOutTrack(int id, bool stop, double rate);
    virtual void FadeOutAllTracks(bool stop, double rate);
    virtual void FadeOutTracksNamed(std::wstring_view name, bool stop, double rate);
    virtual bool IsTrackPlaying(int id);
    virtual void SetMasterMusicVolume(double volume);
    virtual void SetVolumeForName(std::wstring_view name, double volume);
    virtual double GetVolumeForName(std::wstring_view name);
    // Module music's amplification.
    virtual void SetTrackAttribute(int id, double value);
    // Steps every fade once; called once per application update.
    virtual void UpdateFades();
};
