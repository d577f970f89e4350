#pragma once
// A music interface that records what reaches it: loads (a track loads when
// its path, with extension, is in `files`), unloads, volumes, pauses and
// plays. One class for every app test, so no two doubles share a name.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "foundation/system/service.h"
#include "foundation/system/track_interface.h"

namespace testsupport {

struct TrackLoad {
    int id;
    std::string path;
    std::wstring volumeName;
};

class RecordingTracks : public TrackInterface {
public:
    // `install`: reachable through Service<TrackInterface> for its lifetime
    // (an application wires its own music interface itself).
    explicit RecordingTracks(bool install = true) : installed_(install ? this : nullptr) {}

    bool LoadTrack(int id, std::string_view path, std::wstring_view name) override {
        loads.push_back({id, std::string(path), std::wstring(name)});
        return files.count(std::string(path)) > 0;
    }
    void UnloadTrack(int id) override { unloaded.push_back(id); }
    void SetMasterMusicVolume(double volume) override { master = volume; }
    void SetVolumeForName(std::wstring_view name, double volume) override { sent[std::wstring(name)] = volume; }
    void PauseAllTracks() override { ++pauses; }
    void ResumeAllTracks() override { ++resumes; }
    void PlayTrack(int id, int, bool) override { played.push_back(id); }

    std::set<std::string> files;
    std::vector<TrackLoad> loads;
    std::vector<int> unloaded;
    double master = 1.0;
    std::map<std::wstring, double> sent;
    int pauses = 0;
    int resumes = 0;
    std::vector<int> played;

private:
    ScopedService<TrackInterface> installed_;
};

}  // namespace testsupport
