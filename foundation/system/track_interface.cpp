#include "foundation/system/track_interface.h"

TrackInterface& TrackInterface::Fallback() {
    static TrackInterface silent;
    return silent;
}

bool TrackInterface::LoadTrack(int, std::string_view, std::wstring_view) { return false; }
void TrackInterface::PlayTrack(int, int, bool) {}
void TrackInterface::StopTrack(int) {}
void TrackInterface::PauseTrack(int) {}
void TrackInterface::ResumeTrack(int) {}
void TrackInterface::StopAllTracks() {}
void TrackInterface::UnloadTrack(int) {}
void TrackInterface::UnloadAllTracks() {}
void TrackInterface::PauseAllTracks() {}
void TrackInterface::ResumeAllTracks() {}
void TrackInterface::PauseTracksNamed(std::wstring_view) {}
void TrackInterface::ResumeTracksNamed(std::wstring_view) {}
std::wstring TrackInterface::GetTrackName(int) { return std::wstring(); }
void TrackInterface::FadeInTrack(int, int, double, bool) {}
void TrackInterface::FadeOutTrack(int, bool, double) {}
void TrackInterface::FadeOutAllTracks(bool, double) {}
void TrackInterface::FadeOutTracksNamed(std::wstring_view, bool, double) {}
bool TrackInterface::IsTrackPlaying(int) { return false; }
void TrackInterface::SetMasterMusicVolume(double) {}
void TrackInterface::SetVolumeForName(std::wstring_view, double) {}
double TrackInterface::GetVolumeForName(std::wstring_view) { return 0.0; }
void TrackInterface::SetTrackAttribute(int, double) {}
void TrackInterface::UpdateFades() {}
