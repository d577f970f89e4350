// properties/assets.xml as the application reads it: the intro pass, then the
// game pass, into one registry. Image paths are taken inside the scratch
// folder, where the only picture is the glyph sheet ("glyphs.png"), so what
// an input names is found there or nowhere.
#include "app/assets/asset_host.h"
#include "app/assets/asset_manager.h"
#include "app/assets/asset_registry.h"
#include "fuzz/harness.h"
#include "rendering/image/image_surface.h"

namespace {

class ScratchImages : public AssetHost {
public:
    std::unique_ptr<ImageSurface> LoadImageFile(const ImageRecord& record) override {
        ImageRecord inScratch = record;
        inScratch.path = fuzz::ScratchFolder() + "/" + record.path;
        return AssetHost::LoadImageFile(inScratch);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool sheet = (fuzz::WriteGlyphSheet(), true);
    (void)sheet;
    fuzz::ResetSharedState();
    const std::string path = fuzz::WriteScratchFile("assets.xml", data, size);
    ScratchImages host;
    AssetRegistry registry(&host);
    { AssetManager intro(registry, true, path); }
    { AssetManager game(registry, false, path); }
    fuzz::Keep(static_cast<double>(registry.CountImages()));
    return 0;
}
