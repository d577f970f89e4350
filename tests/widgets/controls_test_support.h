#pragma once
// Doubles for the controls' tests: an application that finds images and
// sounds by the names the test gives and records every sound effect played,
// and fonts entered in the global font map for the test's life.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/system/app_services.h"
#include "rendering/font/fonts_xml.h"
#include "rendering/image/image.h"
#include "tests/rendering/graphics_test_support.h"

namespace testsupport {

class ControlsApp : public NullAppServices {
public:
    ExtendedPropertyInterface* FindImageByName(std::wstring_view name) override {
        auto it = images.find(name);
        return it == images.end() ? nullptr : it->second;
    }
    int FindSoundId(std::wstring_view name) override {
        auto it = sounds.find(name);
        return it == sounds.end() ? -1 : it->second;
    }
    void PlaySoundEffect(int id, int, double volume) override {
        played.push_back(id);
        volumes.push_back(volume);
    }

    std::map<std::wstring, Image*, std::less<>> images;
    std::map<std::wstring, int, std::less<>> sounds;
    std::vector<int> played;
    std::vector<double> volumes;

private:
    ScopedService<AppServices> installed_{this};
};

// Fonts of fixed character widths under the names the test gives; the map is
// emptied when the set ends.
class ScopedFonts {
public:
    ScopedFonts() = default;
    ~ScopedFonts() { GetFontMap().Clear(); }
    ScopedFonts(const ScopedFonts&) = delete;
    ScopedFonts& operator=(const ScopedFonts&) = delete;

    FixedFont* Add(const std::wstring& name, float charWidth = 10, float spaceWidth = 5) {
        auto font = std::make_unique<FixedFont>(charWidth, spaceWidth);
        FixedFont* kept = font.get();
        GetFontMap().Set(name, std::move(font));
        return kept;
    }
};

}  // namespace testsupport
