#pragma once
// An application base for the services tests: its own data folder, a sound
// manager and a music interface that record what reaches them, and the
// protected parts a test drives by hand (the fixed update, the window
// procedure, screensaver mode).

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/vorn_app_base.h"
#include "foundation/files/path_utils.h"
#include "foundation/system/sound_manager.h"
#include "foundation/system/track_interface.h"
#include "tests/app/recording_tracks.h"
#include "tests/platform/temp_folder.h"

namespace testsupport {

class RecordingSoundManager : public NullSoundManager {
public:
    void SetMasterVolume(double volume) override { masterVolumes.push_back(volume); }
    double GetMixerVolume() override { return mixer; }
    void SetMixerVolume(double volume) override { mixer = volume; }
    std::vector<double> masterVolumes;
    double mixer = 0.5;
};

// Points the data folder at a fresh temporary folder for its lifetime.
class ScopedDataFolder {
public:
    ScopedDataFolder() : previous_(GetAppDataFolder()) { SetAppDataFolder(folder_.Path().string() + "/"); }
    ~ScopedDataFolder() { SetAppDataFolder(previous_); }
    const TempFolder& Folder() const { return folder_; }

private:
    TempFolder folder_;
    std::string previous_;
};

class ServicesApp : public VornAppBase {
public:
    explicit ServicesApp(std::string product = "ServicesTest") {
        productName_ = std::move(product);
        auto sounds = std::make_unique<RecordingSoundManager>();
        sound = sounds.get();
        soundManager_ = std::move(sounds);
    }
    std::unique_ptr<TrackInterface> CreateMusicInterface() override {
        auto made = std::make_unique<RecordingTracks>(false);
        tracks = made.get();
        return made;
    }
    int ShowMessageBox(std::wstring_view caption, std::wstring_view message) override {
        boxes.push_back(std::wstring(caption) + L": " + std::wstring(message));
        return 1;
    }
    void KeyDown(int key) override {
        keys.push_back(key);
        VornAppBase::KeyDown(key);
    }

    // Hands a message to the window procedure and drains the queue.
    void Feed(uint32_t id, plat::WParam wParam, plat::LParam lParam = 0) {
        HandleWindowMessage(mainWindow_, id, wParam, lParam);
        while (DispatchQueuedInput()) {}
    }
    bool Step() { return UpdateStep(); }
    bool Draw() { return Redraw(); }
    void SetScreensaverMode(bool on) { commandLine_.screensaverMode = on; }
    void SetForceFullscreen(bool on) { forceFullscreen_ = on; }
    bool Throttled() { return LoadingThrottle(); }
    plat::WindowHandle MainWindow() const { return mainWindow_; }
    void SetScreenSize(int w, int h) {
        width_ = w;
        height_ = h;
    }

    RecordingSoundManager* sound = nullptr;
    RecordingTracks* tracks = nullptr;
    std::vector<std::wstring> boxes;
    std::vector<int> keys;
};

}  // namespace testsupport
