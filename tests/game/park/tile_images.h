#pragma once
// The tile images the park draws from, made in the test: "tile_materials"
// with 13 cels and "tile_states" with 6, each kCelW x kCelH in one row, cel
// n filled with the colour CelColour(n) so a drawn frame can be told by its
// source rectangle or its pixels. While it lives, an application double
// finds them by name (and nothing else); the tiles' shared images are
// forgotten when it starts and when it ends, so no test sees another's.

#include <memory>
#include <string_view>

#include "foundation/system/app_services.h"
#include "rendering/image/image_surface.h"

namespace testsupport {

// A strip of `cels` cels of TileImages::kCelW x kCelH in one row, cel n
// filled with TileImages::CelColour(n), named `name`.
std::unique_ptr<ImageSurface> MakeTileStrip(const wchar_t* name, int cels);

class TileImages : public NullAppServices {
public:
    static constexpr int kCelW = 20;
    static constexpr int kCelH = 12;
    static constexpr int kMaterialCels = 13;
    static constexpr int kStateCels = 6;

    // Without `registered`, neither image is found until Register.
    explicit TileImages(bool registered = true);
    ~TileImages() override;

    ExtendedPropertyInterface* FindImageByName(std::wstring_view name) override;

    void Register() { findMaterials = findStates = true; }
    static uint32_t CelColour(int cel) { return 0xFF000000u | static_cast<uint32_t>(cel + 1) * 0x0F0B07u; }

    std::unique_ptr<ImageSurface> materials;
    std::unique_ptr<ImageSurface> states;
    bool findMaterials = false;
    bool findStates = false;
    int lookups = 0;

private:
    ScopedService<AppServices> installed_{this};
};

}  // namespace testsupport
