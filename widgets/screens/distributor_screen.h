#pragma once
// DistributorScreen: a splash picture shown whole, fitted to the screen with
// its aspect ratio kept (bars of white where it does not fill the screen).
// It ends after 400 updates, or on a left click once 100 have passed, and
// asks the application for the next start-up screen; without a picture it
// ends as soon as it is shown. Main thread only.

#include <memory>
#include <string>

#include "foundation/values/rect.h"
#include "widgets/screens/menu.h"

class ImageSurface;

class DistributorScreen : public Menu {
public:
    // `path` names the picture's file (the loaders pick the extension).
    explicit DistributorScreen(const std::string& path);
    ~DistributorScreen() override;

    void AddedToManager(WidgetManager* manager) override;
    void Update() override;
    void MouseDown(int x, int y, int clickCode) override;
    void Draw(Graphics* g) override;

    const Rect& Destination() const { return destination_; }
    int UpdateCount() const { return updates_; }

private:
    void End();

    std::unique_ptr<ImageSurface> picture_;
    int updates_ = 0;
    Rect destination_;
    bool ended_ = false;
};

// Where a picture of the given size lands on the screen: as large as fits
// with its aspect ratio kept, centred along the other axis.
Rect FitPicture(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight);
