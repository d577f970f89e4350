#include "app/audio/bass_track_interface.h"

#include <cctype>
#include <cstdio>

#include "app/audio/sound_file_internal.h"
#include "foundation/system/log.h"
#include "foundation/system/text.h"

namespace {

constexpr uint32_t kOutputRate = 44100;
constexpr uint32_t kBufferMs = 2000;
constexpr uint32_t kFullMusicGlobalVolume = 4000;
constexpr uint32_t kAllFlags = 0xFFFFFFFFu;
// "Keep the frequency" and "keep the pan": values outside their attributes' ranges.
constexpr float kKeepFrequency = -1.0f;
constexpr float kKeepPan = -101.0f;

std::string LowerExtension(std::string_view path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return std::string();
    std::string ext(path.substr(dot + 1));
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

// A module position: order `position` at row 0, sign-extended from 32 bits as
// the library reads it.
uint64_t ModuleOrderPosition(int position) {
    const auto value = static_cast<int32_t>(0x80000000u | (static_cast<uint32_t>(position) & 0xFFFFu));
    return static_cast<uint64_t>(static_cast<int64_t>(value));
}

}  // namespace

BassTrackInterface::BassTrackInterface(plat::SoundDevice* output, plat::MusicLibraryLoader* loader) {
    plat::LinkedMusicLibraryLoader linked;
    bass_ = AcquireBassInstance(loader ? *loader : linked);
    // The library never touches the output level, so nothing needs saving around its start.
    bass_->Init(output, kOutputRate);
    if (bass_->SetConfig) bass_->SetConfig(plat::kMusicConfigBufferMs, kBufferMs);
    bass_->Start();
    if (bass_->SetConfig) {
        bass_->SetConfig(plat::kMusicConfigGlobalMusicVolume, kFullMusicGlobalVolume);
        bass_->SetConfig(plat::kMusicConfigGlobalStreamVolume, static_cast<uint32_t>(streamGlobalVolume_ * 100));
    }
}

BassTrackInterface::~BassTrackInterface() {
    bass_->Stop();
    bass_->Free();  // every channel goes; the records' bytes go after them
    ReleaseBassInstance();
    tracks_.clear();
    nameVolumes_.clear();
}

TrackRecord* BassTrackInterface::Find(int id) {
    auto it = tracks_.find(id);
    return it == tracks_.end() ? nullptr : &it->second;
}

const TrackRecord* BassTrackInterface::FindTrack(int id) const {
    auto it = tracks_.find(id);
    return it == tracks_.end() ? nullptr : &it->second;
}

double BassTrackInterface::EffectiveTrackVolume(const TrackRecord& track) const {
    auto it = nameVolumes_.find(track.name);
    const double nameVolume = it == nameVolumes_.end() ? 0.0 : it->second;
    return nameVolume * track.volume * masterVolume_;
}

void BassTrackInterface::ApplyVolume(const TrackRecord& track) {
    bass_->ChannelSetAttribute(track.Channel(), plat::kMusicAttribVolume,
                               static_cast<float>(EffectiveTrackVolume(track)));
}

bool BassTrackInterface::LoadTrack(int id, std::string_view path, std::wstring_view name) {
    const std::string ext = LowerExtension(path);
    std::vector<uint8_t> block;
    {
        sound_files::PakFilePtr file = sound_files::OpenForReading(path);
        if (!file) return false;
        const uint64_t size = sound_files::BytesLeft(file.get());
        if (size == 0 || size > UINT32_MAX) return false;
        block.resize(static_cast<size_t>(size));
        if (!sound_files::ReadBytes(file.get(), block.data(), block.size())) return false;
    }
    // A track loaded over another would leave the old channel playing with nobody to stop it.
    UnloadTrack(id);

    TrackRecord track;
    if (ext == "wav" || ext == "ogg" || ext == "mp3") {
        track.stream = bass_->StreamCreateFile(block.data(), 0, block.size(), 0);
    } else {
        // The library needs the length to read a module from memory.
        track.music = bass_->MusicLoad(block.data(), 0, static_cast<uint32_t>(block.size()), musicFlags_, 0);
    }
    if (track.Channel() == 0) {
        LogWrite(text::WFormat(L"Music track %d: \"%ls\" did not load (error %d)", id, text::Widen(path).c_str(),
                               bass_->ErrorGetCode()),
                 true);
        return false;
    }
    track.name = std::wstring(name);
    track.block = std::move(block);  // the vector's bytes stay where the channel reads them
    tracks_.emplace(id, std::move(track));
    return true;
}

void BassTrackInterface::StartChannel(TrackRecord& track, int position, bool loop, bool fadeIn) {
    const plat::MusicHandle channel = track.Channel();
    track.stopWhenFaded = !loop;
    if (fadeIn) bass_->ChannelStop(channel);
    bass_->ChannelSetAttribute(channel, plat::kMusicAttribFrequency, kKeepFrequency);
    ApplyVolume(track);
    bass_->ChannelSetAttribute(channel, plat::kMusicAttribPan, kKeepPan);
    if (!fadeIn) bass_->ChannelStop(channel);

    const uint32_t loopFlag = loop ? plat::kMusicFlagLoop : 0;
    if (track.music != 0) {
        if (fadeIn && position == -1) {
            bass_->ChannelPlay(channel, true);
            return;
        }
        bass_->ChannelStop(channel);
        bass_->ChannelSetPosition(channel, ModuleOrderPosition(position), plat::kMusicPosByte);
        const uint32_t flags = (fadeIn ? 0 : plat::kMusicFlagPosReset) | plat::kMusicFlagRamp | loopFlag;
        bass_->ChannelFlags(channel, flags, kAllFlags);
        bass_->ChannelPlay(channel, false);
        return;
    }
    bass_->ChannelFlags(channel, loopFlag, kAllFlags);
    bass_->ChannelPlay(channel, position != -1);
    if (position > 0) bass_->ChannelSetPosition(channel, static_cast<uint64_t>(position), plat::kMusicPosByte);
}

void BassTrackInterface::PlayTrack(int id, int position, bool loop) {
    TrackRecord* track = Find(id);
    if (!track) return;
    track->volume = track->maxVolume;
    track->fadeStep = 0.0;
    StartChannel(*track, position, loop, false);
}

void BassTrackInterface::FadeInTrack(int id, int position, double rate, bool loop) {
    TrackRecord* track = Find(id);
    if (!track) return;
    track->fadeStep = rate;
    StartChannel(*track, position, loop, true);
}

void BassTrackInterface::StopTrack(int id) {
    TrackRecord* track = Find(id);
    if (!track) return;
    track->volume = 0.0;
    bass_->ChannelStop(track->Channel());
}

void BassTrackInterface::PauseTrack(int id) {
    if (TrackRecord* track = Find(id)) bass_->ChannelPause(track->Channel());
}

void BassTrackInterface::ResumeTrack(int id) {
    if (TrackRecord* track = Find(id)) bass_->ChannelPlay(track->Channel(), false);
}

void BassTrackInterface::StopAllTracks() {
    for (auto& [id, track] : tracks_) {
        track.volume = 0.0;
        bass_->ChannelStop(track.Channel());
    }
}

void BassTrackInterface::FreeChannel(const TrackRecord& track) {
    if (track.stream != 0) {
        bass_->StreamFree(track.stream);
    } else {
        bass_->MusicFree(track.music);
    }
}

void BassTrackInterface::UnloadTrack(int id) {
    auto it = tracks_.find(id);
    if (it == tracks_.end()) return;
    StopTrack(id);
    FreeChannel(it->second);
    tracks_.erase(it);  // its bytes go only now that nothing plays from them
}

void BassTrackInterface::UnloadAllTracks() {
    StopAllTracks();
    for (auto& [id, track] : tracks_) FreeChannel(track);
    tracks_.clear();
}

void BassTrackInterface::PauseWhere(const std::wstring_view* name) {
    for (auto& [id, track] : tracks_) {
        if (name && track.name != *name) continue;
        if (bass_->ChannelIsActive(track.Channel()) == plat::kMusicPlaying) bass_->ChannelPause(track.Channel());
    }
}

void BassTrackInterface::ResumeWhere(const std::wstring_view* name) {
    for (auto& [id, track] : tracks_) {
        if (name && track.name != *name) continue;
        if (bass_->ChannelIsActive(track.Channel()) == plat::kMusicPaused) bass_->ChannelPlay(track.Channel(), false);
    }
}

void BassTrackInterface::PauseAllTracks() { PauseWhere(nullptr); }
void BassTrackInterface::ResumeAllTracks() { ResumeWhere(nullptr); }
void BassTrackInterface::PauseTracksNamed(std::wstring_view name) { PauseWhere(&name); }
void BassTrackInterface::ResumeTracksNamed(std::wstring_view name) { ResumeWhere(&name); }

std::wstring BassTrackInterface::GetTrackName(int id) {
    const TrackRecord* track = Find(id);
    return track ? track->name : std::wstring();
}

void BassTrackInterface::FadeOutTrack(int id, bool stop, double rate) {
    TrackRecord* track = Find(id);
    if (!track) return;
    if (track->volume != 0.0) track->fadeStep = -rate;
    track->stopWhenFaded = stop;
}

void BassTrackInterface::FadeOutAllTracks(bool stop, double rate) {
    for (auto& [id, track] : tracks_) {
        track.fadeStep = -rate;
        track.stopWhenFaded = stop;
    }
}

void BassTrackInterface::FadeOutTracksNamed(std::wstring_view name, bool stop, double rate) {
    for (auto& [id, track] : tracks_) {
        if (track.name != name) continue;
        track.fadeStep = -rate;
        track.stopWhenFaded = stop;
    }
}

bool BassTrackInterface::IsTrackPlaying(int id) {
    const TrackRecord* track = Find(id);
    return track && bass_->ChannelIsActive(track->Channel()) == plat::kMusicPlaying;
}

void BassTrackInterface::SetMasterMusicVolume(double volume) {
    masterVolume_ = volume;
    for (auto& [id, track] : tracks_) ApplyVolume(track);
}

void BassTrackInterface::SetVolumeForName(std::wstring_view name, double volume) {
    nameVolumes_[std::wstring(name)] = volume;
    for (auto& [id, track] : tracks_)
        if (track.name == name) ApplyVolume(track);
}

double BassTrackInterface::GetVolumeForName(std::wstring_view name) {
    auto it = nameVolumes_.find(name);
    return it == nameVolumes_.end() ? 0.0 : it->second;
}

void BassTrackInterface::SetTrackAttribute(int id, double value) {
    if (TrackRecord* track = Find(id))
        bass_->ChannelSetAttribute(track->Channel(), plat::kMusicAttribAmplify, static_cast<float>(value));
}

void BassTrackInterface::UpdateFades() {
    for (auto& [id, track] : tracks_) {
        if (track.fadeStep == 0.0) continue;
        track.volume += track.fadeStep;
        if (track.volume > track.maxVolume) {
            track.volume = track.maxVolume;
            track.fadeStep = 0.0;
        } else if (track.volume < 0.0) {
            track.volume = 0.0;
            track.fadeStep = 0.0;
            if (track.stopWhenFaded) bass_->ChannelStop(track.Channel());
        }
        ApplyVolume(track);
    }
}

void BassTrackInterface::SetTrackVolumeById(int id, double volume) {
    TrackRecord* track = Find(id);
    if (!track) return;
    track->volume = volume;
    ApplyVolume(*track);
}

void BassTrackInterface::SetTrackMaxVolumeById(int id, double volume) {
    TrackRecord* track = Find(id);
    if (!track) return;
    track->maxVolume = volume;
    if (track->volume > volume) track->volume = volume;
    ApplyVolume(*track);
}
