#include "widgets/screens/title_screen.h"

#include "rendering/draw/graphics.h"
#include "widgets/screens/startup_host.h"

TitleScreen::TitleScreen(Image* image) : Menu(image, false, false) { Service<StartupHost>::Get().SetTitleScreen(this); }

TitleScreen::~TitleScreen() { Service<StartupHost>::Get().TitleScreenGone(this); }

void TitleScreen::LoadingFinished() { MarkDirty(); }

void TitleScreen::Close() {
    Service<StartupHost>::Get().TitleScreenDone();
    RemoveSelf();
}

void TitleScreen::DrawAll(PassFlags& flags, Graphics* g) {
    if (LoadingState() != 2) {
        Menu::DrawAll(flags, g);
        return;
    }
    g->SetColor(Color::Black);
    g->FillRect(0, 0, width_, height_);
}
