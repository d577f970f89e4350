#pragma once
// FlashWidget: a widget that shows a Flash movie ("flash/<name>.swf") in a
// surface of its own size. Scripts make it with a movie name, a size and a
// loop flag; it owns its player and surface. A looping widget restarts its
// movie whenever it is not playing. With no Flash control (always the case
// here) it shows its empty surface and never animates on the movie's account.

#include <memory>
#include <string_view>

#include "app/flash/flash_player.h"
#include "widgets/dynamic/dynamic_widget.h"

class ImageSurface;

class FlashWidget : public DynamicWidget, public FlashListener {
public:
    FlashWidget(std::wstring_view movie, int width, int height, bool loop,
                std::unique_ptr<FlashControl> control = CreateFlashControl());
    ~FlashWidget() override;

    void Update() override;
    void Draw(Graphics* g) override;
    bool IsAnimating() const override;

    // The widget itself does nothing with the movie's events.
    void MovieFinished() override {}
    void FlashCommand(const std::string&, const std::string&) override {}

    FlashPlayer& Player() { return *player_; }
    ImageSurface& Surface() { return *surface_; }

private:
    std::unique_ptr<ImageSurface> surface_;
    std::unique_ptr<FlashPlayer> player_;
    bool loop_;
};
