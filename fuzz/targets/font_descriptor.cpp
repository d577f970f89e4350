// Font descriptors: the input is loaded as a descriptor file beside the
// glyph sheet it may name, and what it built is walked as an image font
// walks it (character map, layers, glyphs and their kerning).
#include "foundation/system/app_services.h"
#include "fuzz/harness.h"
#include "rendering/font/font_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteGlyphSheet();
    const std::string path = fuzz::WriteScratchFile("input.txt", data, size);
    FontData* font = new FontData;
    font->AddRef();
    font->Load(path, Service<AppServices>::Installed());
    float sum = font->GetDefaultPointSize();
    for (wchar_t c = 0; c < 256; ++c) sum += static_cast<float>(font->MapChar(c));
    for (const auto& layer : font->GetLayers()) {
        if (const FontLayerImage* image = layer->GetImage()) sum += static_cast<float>(image->GetWidth());
        for (const auto& [c, glyph] : layer->GetChars()) {
            for (const auto& [next, amount] : glyph.kerning) sum += glyph.GetKerning(next) + amount;
            sum += layer->FindCharData(c)->advanceWidth;
        }
    }
    font->Release();
    fuzz::Keep(sum);
    return 0;
}
