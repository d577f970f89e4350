#pragma once
// OptionsMenu: the settings dialog, opened from the main menu and from the
// in-game display. Three sliders set the music volume, the sound-effect
// volume and the mouse speed at once; three check boxes (custom cursors,
// full screen, stretch screen) take effect when the dialog closes ("close",
// or "close_quit", which also leaves the level of the display that opened
// it). The full-screen box shows and hides the mouse and stretch controls;
// stretching is offered only where the desktop's shape differs from the
// game's. Main thread only.

#include <string>

#include "widgets/controls/checkbox.h"
#include "widgets/controls/slider.h"
#include "widgets/screens/dialog_menu.h"

class InGameDisplay;

class OptionsMenu : public DialogMenu, public CheckboxListener, public SliderListener {
public:
    // The script variable named `openerName` becomes true; `opener` is the display, or null.
    OptionsMenu(const std::wstring& openerName, InGameDisplay* opener);

    void Draw(Graphics* g) override;
    void DoAction(std::wstring_view action, std::wstring_view parameter, int number) override;
    void CloseDialog() override;

    void SliderChanged(Slider* slider, double value) override;
    void SliderCommitted(Slider* slider, double value) override;
    void CheckboxChecked(int widgetId, bool checked) override;

    Checkbox* GetFullScreenBox() const { return fullScreenBox_; }
    Checkbox* GetStretchBox() const { return stretchBox_; }
    Checkbox* GetCursorsBox() const { return cursorsBox_; }
    Slider* GetMusicSlider() const { return musicSlider_; }
    Slider* GetSoundSlider() const { return soundSlider_; }
    Slider* GetMouseSlider() const { return mouseSlider_; }

    // Mouse speed (1..20) and slider value (0..1), each way.
    static double MouseSpeedToValue(int speed);
    static int ValueToMouseSpeed(double value);

private:
    Checkbox* fullScreenBox_;
    Checkbox* stretchBox_;
    Checkbox* cursorsBox_;
    Slider* musicSlider_;
    Slider* soundSlider_;
    Slider* mouseSlider_;
    std::wstring openerName_;
    InGameDisplay* opener_;
};
