#include "widgets/screens/distributor_screen.h"

#include <cstdint>

#include "rendering/device/device_host.h"
#include "rendering/draw/graphics.h"
#include "rendering/image/image_surface.h"
#include "rendering/imagefile/image_files.h"
#include "widgets/screens/startup_host.h"

namespace {

std::unique_ptr<ImageSurface> LoadPicture(const std::string& path) {
    std::unique_ptr<ImageData> pixels = GetImage(path, true);
    if (!pixels) return nullptr;
    auto picture = std::make_unique<ImageSurface>();
    picture->path = path;
    if (!picture->SetBits(pixels->GetBits(), pixels->GetWidth(), pixels->GetHeight(), true)) return nullptr;
    return picture;
}

}  // namespace

Rect FitPicture(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return Rect(0, 0, screenWidth, screenHeight);
    // Compared as cross products: screen w/h against picture w/h.
    const int64_t screenSide = int64_t{screenWidth} * pictureHeight;
    const int64_t pictureSide = int64_t{pictureWidth} * screenHeight;
    if (screenSide < pictureSide) {
        // The screen is relatively taller: full width, bars above and below.
        const int h = static_cast<int>(int64_t{screenWidth} * pictureHeight / pictureWidth);
        return Rect(0, (screenHeight - h) / 2, screenWidth, h);
    }
    if (screenSide > pictureSide) {
        const int w = static_cast<int>(int64_t{screenHeight} * pictureWidth / pictureHeight);
        return Rect((screenWidth - w) / 2, 0, w, screenHeight);
    }
    return Rect(0, 0, screenWidth, screenHeight);
}

DistributorScreen::DistributorScreen(const std::string& path)
    : Menu(nullptr, false, false), picture_(LoadPicture(path)) {
    if (!picture_) return;
    const DeviceHost& screen = Service<DeviceHost>::Get();
    Resize(0.0f, 0.0f, screen.ScreenWidth(), screen.ScreenHeight());
    destination_ = FitPicture(picture_->width, picture_->height, width_, height_);
}

DistributorScreen::~DistributorScreen() = default;

void DistributorScreen::AddedToManager(WidgetManager* manager) {
    Menu::AddedToManager(manager);
    // Nothing to show: on to the next screen.
    if (!picture_ && manager_ == manager) End();
}

void DistributorScreen::End() {
    if (ended_) return;
    ended_ = true;
    RemoveSelf();
    Service<StartupHost>::Get().ShowNextSplashScreen();
}

void DistributorScreen::Update() {
    Menu::Update();
    if (++updates_ > 400) End();
}

void DistributorScreen::MouseDown(int x, int y, int clickCode) {
    Menu::MouseDown(x, y, clickCode);
    if (clickCode > 0 && updates_ > 100) End();
}

void DistributorScreen::Draw(Graphics* g) {
    if (!picture_) return;
    if (picture_->width < width_ || picture_->height < height_) {
        g->SetColor(Color::White);
        g->FillRect(0, 0, width_, height_);
    }
    g->DrawImageStretched(picture_.get(), FRect::FromRect(destination_),
                          FRect(0, 0, static_cast<float>(picture_->width), static_cast<float>(picture_->height)));
}
