#pragma once
// The calls the Flash host makes on a Flash control, and the answers it uses:
// whether a movie was accepted and whether it is playing. Events the control
// raises go to its player's OnControlEvent.
//
// No Flash control exists on this system: CreateFlashControl gives the
// control that is not installed, on which every operation does nothing, no
// movie is accepted and nothing ever plays. Tests hand the player a fake.

#include <memory>
#include <string>
#include <string_view>

class ImageSurface;

class FlashControl {
public:
    virtual ~FlashControl() = default;

    // True when a control is actually there to play movies.
    virtual bool Installed() const = 0;
    // The movie file, an absolute path; false when the control refuses it.
    virtual bool PutMovie(const std::wstring& path) = 0;
    virtual void PutLoop(bool loop) = 0;
    virtual void PutQuality(std::wstring_view quality) = 0;
    virtual bool IsPlaying() = 0;
    virtual void GotoFrame(int frame) = 0;
    virtual void Play() = 0;
    virtual void StopPlay() = 0;
    // Paints the movie's current frame into the surface, over what it holds.
    virtual void Draw(ImageSurface& target) = 0;
};

// The control that is not installed.
class NoFlashControl : public FlashControl {
public:
    bool Installed() const override { return false; }
    bool PutMovie(const std::wstring&) override { return false; }
    void PutLoop(bool) override {}
    void PutQuality(std::wstring_view) override {}
    bool IsPlaying() override { return false; }
    void GotoFrame(int) override {}
    void Play() override {}
    void StopPlay() override {}
    void Draw(ImageSurface&) override {}
};

// What a new player gets: the installed control, which here is always none.
std::unique_ptr<FlashControl> CreateFlashControl();
