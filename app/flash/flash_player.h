#pragma once
// FlashPlayer: one Flash control hosted for one widget, painting into the
// widget's surface. It keeps the movie's state (0 idle, 1 playing, 2
// finished), counts pauses, and tells its listener when the movie finishes
// and when the movie sends a command.
//
// A movie the control accepts starts playing; the update after the control
// stops playing it is finished, and the listener hears MovieFinished unless
// the player is paused. Pauses nest: the first stops the movie, the last
// resume plays it again (a finished movie stays finished). Without a control
// every operation does nothing and the surface stays as it is.
// Main thread only.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/flash/flash_control.h"

class ImageSurface;

class FlashListener {
public:
    virtual ~FlashListener() = default;
    virtual void MovieFinished() = 0;
    virtual void FlashCommand(const std::string& command, const std::string& arguments) = 0;
};

// One argument of a control event: text, or some other kind the host ignores.
struct FlashEventArgument {
    bool isText = false;
    std::wstring text;
};

class FlashPlayer {
public:
    enum State { kIdle = 0, kPlaying = 1, kFinished = 2 };
    // Answers to control events.
    static constexpr long kEventHandled = 0;
    static constexpr long kEventUnknown = static_cast<long>(0x80020003);  // member not found
    static constexpr int kFsCommandEvent = 150;

    FlashPlayer(FlashListener* listener, ImageSurface* target,
                std::unique_ptr<FlashControl> control = CreateFlashControl());
    FlashPlayer(const FlashPlayer&) = delete;
    FlashPlayer& operator=(const FlashPlayer&) = delete;

    // The path is made absolute against the current folder first.
    bool LoadMovie(std::wstring_view path);
    void SetLoop(bool loop) { control_->PutLoop(loop); }
    void SetQualityHigh() { control_->PutQuality(L"High"); }
    bool IsMoviePlaying() { return control_->IsPlaying(); }
    void Restart();
    void Pause();
    void Resume();
    // Asks the next update to pause (true) or resume (false), once each way.
    void RequestPause(bool pause) { pauseRequest_ = pause; }
    void SetActive(bool active) { active_ = active; }

    void Update();
    void Paint();
    long OnControlEvent(int dispatchId, const std::vector<FlashEventArgument>& arguments);

    int GetState() const { return state_; }
    int PauseCount() const { return pauseCount_; }
    bool HasControl() const { return control_->Installed(); }

private:
    std::unique_ptr<FlashControl> control_;
    FlashListener* listener_;
    ImageSurface* target_;
    int state_ = kIdle;
    int pauseCount_ = 0;
    bool active_ = true;
    bool paused_ = false;
    bool pauseRequest_ = false;
};

// The movie path made absolute against `base` (a folder): a path with a drive
// letter is taken whole; otherwise its components, split at '\\' or '/', are
// appended, "." dropped and ".." taking off the base's last folder, joined
// with the separator the base uses.
std::wstring MakeAbsoluteMoviePath(std::wstring_view base, std::wstring_view path);
