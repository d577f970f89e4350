#pragma once
// LogoScreen: the studio logo that opens the program. The letters of the
// studio word drop in one after the other; once the first has landed a ball
// flies in and bounces across them (tilting the two letters it lands on),
// revealing a dotted trail behind it, and comes to rest in the place of the
// word's last letter, where the TM mark appears. The screen ends after 500
// updates or on a left click and asks the application for the next start-up
// screen. Every image comes from the image registry ("P", "E", "L", "M",
// "A", "E_Tilt", "M_Tilt", "Ball" with three cels, "Trail", "PelmarTM");
// a ball image with fewer cels is reported and ends the screen.
// Main thread only.

#include <vector>

#include "widgets/screens/logo_motion.h"
#include "widgets/screens/menu.h"

class LogoScreen : public Menu {
public:
    static constexpr int kLetterCount = 5;
    static constexpr int kEndUpdate = 500;

    LogoScreen();

    void Update() override;
    void UpdateFraction(float dt) override;
    void MouseDown(int x, int y, int clickCode) override;
    void Draw(Graphics* g) override;

    const std::vector<LogoLetter*>& Letters() const { return letters_; }
    LogoBall* Ball() const { return ball_; }
    int UpdateCount() const { return updates_; }
    bool HasEnded() const { return ended_; }

private:
    void End();
    void StartBall();
    void TiltLetter(int index, float shiftLeft, float lowerBy);

    std::vector<LogoLetter*> letters_;
    LogoBall* ball_ = nullptr;
    Image* trail_ = nullptr;
    Image* mark_ = nullptr;
    int updates_ = 0;
    bool ended_ = false;
};
