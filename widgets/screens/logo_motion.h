#pragma once
// The moving parts of the logo screen, animated by hand with velocities and
// springs rather than scripts: letters that drop into place and a ball that
// bounces across them. Velocities are in pixels per fixed update; the
// per-frame update moves by the frame's share of updates (dt), and gravity
// adds 0.1 x dt to a velocity each frame. Main thread only.

#include <array>

#include "widgets/dynamic/dynamic_widget.h"

// A letter of the studio word. Launched, it falls to its resting line,
// overshoots and springs back up, and reports that it arrived. A linked
// widget (the ball sitting on a tilted letter) moves along with it.
class LogoLetter : public DynamicWidget {
public:
    LogoLetter(int x, int y, Image* image);

    // Falls towards the middle of the screen with the "whoosh" sound.
    void Launch();
    // The ball has landed on it: shows the tilted image, moves left by
    // `shiftLeft`, lowers its resting line by `lowerBy` and sinks with the
    // ball's speed, carrying the ball.
    void Tilt(Image* tilted, float shiftLeft, float lowerBy, DynamicWidget& ball, double ballVelocity);

    void UpdateFraction(float dt) override;

    // Whether it came to rest since the flag was last cleared.
    bool HasArrived() const { return arrived_; }
    void ClearArrived() { arrived_ = false; }
    double Velocity() const { return velocity_; }
    double TargetY() const { return targetY_; }

private:
    double velocity_ = 0;
    double targetY_ = 0;
    double spring_ = 0;
    bool falling_ = false;
    bool arrived_ = false;
    DynamicWidget* linked_ = nullptr;
    double linkOffset_ = 0;
};

// The ball that stands for the word's last letter: three bounces across the
// letters, each landing squashing it for three cel periods (cels 1 and 2 in
// turn) before it flies on, the last one leaving it at rest.
class LogoBall : public DynamicWidget {
public:
    // The cels the ball image needs: in flight, and the two squash cels.
    static constexpr int kCels = 3;

    // `image` must have at least kCels columns (the screen checks).
    explicit LogoBall(Image* image);

    void UpdateFraction(float dt) override;
    void Update() override;

    // Set on each landing; whoever reads it clears it.
    bool TakeLandedEvent();
    int BounceIndex() const { return bounce_; }
    double VerticalVelocity() const { return vy_; }
    bool IsSquashing() const { return squash_ >= 0; }
    bool HasStopped() const { return bounce_ >= 3 && vx_ == 0 && vy_ == 0; }

private:
    double vx_ = 4.41;
    double vy_ = -9.6;
    int bounce_ = 0;
    bool landed_ = false;
    int squash_ = -1;
    int squashFrameLength_ = 0;
    std::array<int, 3> floors_{};
};
