#include "game/frontend/menus/options_menu.h"

#include <cmath>

#include "foundation/expression/localization_map.h"
#include "foundation/system/app_services.h"
#include "game/frontend/menus/frontend_host.h"
#include "game/frontend/menus/in_game_display.h"
#include "rendering/draw/graphics.h"
#include "rendering/font/fonts_xml.h"
#include "rendering/image/image.h"
#include "widgets/screens/menu_host.h"
#include "widgets/screens/notice_menu.h"

namespace {

Image* FindImage(std::wstring_view name) { return dynamic_cast<Image*>(FindImageByName(name)); }
int CelWidth(const Image* image) { return image ? image->GetCelWidth() : 0; }
int CelHeight(const Image* image) { return image ? image->GetCelHeight() : 0; }

}  // namespace

double OptionsMenu::MouseSpeedToValue(int speed) { return (speed - 1) / 19.0; }

int OptionsMenu::ValueToMouseSpeed(double value) { return static_cast<int>(std::trunc(value * 19 + 1.5)); }

OptionsMenu::OptionsMenu(const std::wstring& openerName, InGameDisplay* opener)
    : DialogMenu(nullptr), openerName_(openerName), opener_(opener) {
    FrontendHost& host = Service<FrontendHost>::Get();
    SetVariable(openerName_, PropertyValue::FromBool(true));
    RunAnimationNamed(L"options_menu");
    SetFloatProperty(L"y", -60, true);
    host.StopAllSoundLoops();

    Image* track = FindImage(L"Slider");
    Image* thumb = FindImage(L"Slider_Thumb");
    const int cx = GetWidth() / 2;
    const int sx = cx - CelWidth(track) / 2 + 110;
    const int sliderW = CelWidth(track), sliderH = CelHeight(thumb);
    auto makeSlider = [&](int y, double value) {
        auto* slider = new Slider(track, thumb, this);
        slider->Resize(static_cast<float>(sx), static_cast<float>(y), sliderW, sliderH);
        slider->SetValue(value);
        AddWidget(slider);
        return slider;
    };
    musicSlider_ = makeSlider(110, host.GetTrackVolume(L"music"));
    soundSlider_ = makeSlider(158, host.GetSfxVolume());
    mouseSlider_ = makeSlider(206, MouseSpeedToValue(host.GetMouseSpeed()));
    mouseSlider_->SetVisible(!host.IsWindowed());

    Image* box = FindImage(L"check_box");
    Image* checkedBox = FindImage(L"check_box_checked");
    const float boxX = musicSlider_->GetX() - 110;
    auto makeBox = [&](int y, bool checked) {
        auto* checkbox = new Checkbox(box, box, checkedBox, checkedBox, this);
        checkbox->Resize(boxX, static_cast<float>(y), CelWidth(box), CelHeight(box));
        checkbox->SetChecked(checked, false);
        AddWidget(checkbox);
        return checkbox;
    };
    cursorsBox_ = makeBox(256, host.UsesCustomCursors());
    fullScreenBox_ = makeBox(309, !host.IsWindowed());
    stretchBox_ = makeBox(362, host.IsStretchScreen());
    stretchBox_->SetDisabled(host.GameHasDesktopShape());
    stretchBox_->SetVisible(!stretchBox_->IsDisabled() && fullScreenBox_->IsChecked());
}

void OptionsMenu::Draw(Graphics* g) {
    DialogMenu::Draw(g);
    Font* font = GetFontMap().Find(L"plain2");
    if (!font) return;
    g->SetFont(font);
    g->SetColor(Color::White);
    auto sliderLabel = [&](const Slider* slider, const wchar_t* key) {
        const int x = static_cast<int>(slider->GetX()) - 10;
        const int y = static_cast<int>(slider->GetY()) + slider->GetHeight() - 10;
        g->WriteString(LocalizeLookup(key), x, y, -1, 1);
    };
    sliderLabel(musicSlider_, L"music_volume");
    sliderLabel(soundSlider_, L"sound_volume");
    if (mouseSlider_->IsVisible()) sliderLabel(mouseSlider_, L"mouse_speed");
    auto boxLabel = [&](const Checkbox* box, const wchar_t* key) {
        const int x = static_cast<int>(box->GetX()) + fullScreenBox_->GetWidth() + 7;
        g->DrawString(LocalizeLookup(key), x, static_cast<int>(box->GetY()) + 26);
    };
    boxLabel(cursorsBox_, L"custom_cursors");
    boxLabel(fullScreenBox_, L"full_screen");
    if (stretchBox_->IsVisible()) boxLabel(stretchBox_, L"stretch_screen");
}

void OptionsMenu::SliderChanged(Slider* slider, double value) {
    FrontendHost& host = Service<FrontendHost>::Get();
    if (slider == musicSlider_)
        host.SetTrackVolume(L"music", value);
    else if (slider == soundSlider_)
        host.SetSfxVolume(value);
    else if (slider == mouseSlider_)
        host.SetMouseSpeed(ValueToMouseSpeed(value));
}

void OptionsMenu::SliderCommitted(Slider* slider, double) {
    FrontendHost& host = Service<FrontendHost>::Get();
    if (slider == soundSlider_)
        host.PlaySoundEffectByName(L"feedback_general");
    else if (slider == mouseSlider_)
        mouseSlider_->SetValue(MouseSpeedToValue(host.GetMouseSpeed()));
}

void OptionsMenu::CheckboxChecked(int widgetId, bool checked) {
    if (widgetId != fullScreenBox_->GetId()) return;
    mouseSlider_->SetVisible(checked);
    stretchBox_->SetVisible(!stretchBox_->IsDisabled() && checked);
    if (!Service<FrontendHost>::Get().HasWindowedMode() && !checked) {
        ShowMenu(new NoticeMenu(L"no_windowed_mode", nullptr, L"menu"));
        fullScreenBox_->SetChecked(true, true);
    }
}

void OptionsMenu::CloseDialog() {
    FrontendHost& host = Service<FrontendHost>::Get();
    host.SwitchScreenMode(!fullScreenBox_->IsChecked(), false);
    host.SetStretchScreen(stretchBox_->IsChecked());
    host.SetCustomCursors(cursorsBox_->IsChecked());
    // The choices are kept now, not only at the end of a run that may never end well.
    host.SaveSettings();
    RemoveSelf();
}

void OptionsMenu::DoAction(std::wstring_view action, std::wstring_view parameter, int number) {
    if (action == L"close_quit") {
        CloseDialog();
        if (opener_) opener_->ExitToMenu(nullptr);
        return;
    }
    DialogMenu::DoAction(action, parameter, number);
}
