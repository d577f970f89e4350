#pragma once
// Doubles for the start-up screen tests: the menus' named assets with images
// made here and the fatal-error boxes recorded, and a start-up host that
// counts the requests for the next screen.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "rendering/image/image_surface.h"
#include "tests/widgets/menu_test_support.h"
#include "widgets/screens/startup_host.h"

namespace testsupport {

// The menus' named assets, with images made here and fatal-error boxes kept.
class StartupAssets : public NamedAssets {
public:
    void ShowFatalError(std::string_view message) override { boxes.emplace_back(message); }

    // A blank image of w x h cels in a grid of `cols` columns.
    ImageSurface* AddImage(const std::wstring& name, int w, int h, int cols = 1) {
        auto image = std::make_unique<ImageSurface>();
        image->name = name;
        image->Create(w * cols, h);
        image->SetRowsCols(1, cols);
        images[name] = image.get();
        owned.push_back(std::move(image));
        return owned.back().get();
    }
    // The ids of the effects played, in order.
    std::vector<int> Played() const {
        std::vector<int> ids;
        for (const std::string& effect : effects) ids.push_back(std::stoi(effect));
        return ids;
    }

    std::vector<std::unique_ptr<ImageSurface>> owned;
    std::vector<std::string> boxes;
};

class SplashCounter : public NullStartupHost {
public:
    void ShowNextSplashScreen() override { ++nextScreens; }
    int nextScreens = 0;

private:
    ScopedService<StartupHost> installed_{this};
};

}  // namespace testsupport
