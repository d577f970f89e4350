#include "game/frontend/menus/loading_menu.h"

#include <cmath>

#include "foundation/system/app_services.h"
#include "foundation/system/track_interface.h"
#include "game/frontend/menus/enter_name_menu.h"
#include "game/frontend/menus/frontend_host.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image.h"
#include "widgets/controls/button_widget.h"
#include "widgets/motion/waves.h"
#include "widgets/screens/menu_host.h"
#include "widgets/script/animation_stats.h"

namespace {

Image* FindImage(std::wstring_view name) { return dynamic_cast<Image*>(FindImageByName(name)); }

// The logo's top is clear: it is drawn partly above the screen on purpose.
constexpr float kLogoY = -158.0f;
constexpr float kBarY = 603.0f;

// The theme starts with the title, faded in at the scripts' default rate; the
// main menu's script carries it on from where it has got to.
void StartTheme() {
    const int track = FindTrackId(L"theme");
    if (track < 0) return;
    TrackInterface& music = Service<TrackInterface>::Get();
    if (!music.IsTrackPlaying(track)) music.FadeInTrack(track, 0, 0.004, true);
}

}  // namespace

LoadingMenu::LoadingMenu()
    : TitleScreen(FindImage(L"TitleBackground")),
      gameLogo_(FindImage(L"GameLogo")),
      loadingBarBase_(FindImage(L"Loadingbar_base")),
      loadingBarTop_(FindImage(L"Loadingbar_Top")) {
    StartTheme();
}

void LoadingMenu::Draw(Graphics* g) {
    TitleScreen::Draw(g);
    const int width = GetWidth();
    if (showLogo_ && gameLogo_) {
        const float x = static_cast<float>((width - gameLogo_->GetCelWidth()) / 2 + 5);
        g->DrawImageWhole(gameLogo_, x, kLogoY);
    }
    if (playButton_) return;
    if (loadingBarBase_) {
        const float x = static_cast<float>((width - loadingBarBase_->GetCelWidth()) / 2 + 5);
        g->DrawImageWhole(loadingBarBase_, x, kBarY);
    }
    if (!loadingBarTop_) return;
    const double progress = Service<FrontendHost>::Get().GetLoadingProgress();
    const int filled = static_cast<int>(std::trunc(progress * loadingBarTop_->GetCelWidth()));
    if (filled <= 0) return;
    const float x = static_cast<float>((width - loadingBarTop_->GetCelWidth()) / 2 - 4);
    g->DrawImage(loadingBarTop_, x, kBarY, 0,
                 FRect(0, 0, static_cast<float>(filled), static_cast<float>(loadingBarTop_->GetCelHeight())));
}

void LoadingMenu::LoadingFinished() {
    TitleScreen::LoadingFinished();
    if (playButton_) return;
    playButton_ = AddButton(GetWidth() / 2 - 133, GetHeight() / 2 + 30, L"PlayGame", L"", false);
    playButton_->SetTextOffset(0, 0);
    for (const wchar_t* channel : {L"red", L"green", L"blue"}) {
        playButton_->Oscillate(std::wstring(L"pulse_") + channel, channel, 0.25f, 150.0f,
                               PropertyValue::FromFloat(0.0f), std::make_unique<SineWave>());
    }
}

void LoadingMenu::ButtonRelease(int id) {
    if (!playButton_ || id != playButton_->GetId()) return;
    if (!Service<FrontendHost>::Get().GetPlayerName().empty()) {
        Close();
        return;
    }
    playButton_->StopOscillations(false);
    playButton_->TweenProperty(L"fade_out", L"opacity", 0.0f, 22.0f, nullptr, false);
    showLogo_ = false;
    ShowMenu(new EnterNameMenu(this));
}

IntroMenu::IntroMenu() : Menu(L"intro_menu") {}

void IntroMenu::AnimationFinished() {
    Menu::AnimationFinished();
    RemoveSelf();
    Service<FrontendHost>::Get().ShowPlayMenu();
}

void IntroMenu::MenuOpened() {
    // Without steps (the script missing from the data) nothing would ever end
    // the intro, and the player would face an empty screen for good.
    const AnimationDefinition* script = GetDefinition();
    if (!script || script->steps.empty()) AnimationFinished();
}
