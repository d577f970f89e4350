// Font descriptor seeds, shared by the descriptor and the image font targets:
// each names the harness's glyph sheet ("glyphs.png", 64 x 32, cells of
// 8 x 8) and is checked by loading it beside that sheet, as the fuzzers do.
#include "fuzz/harness.h"
#include "fuzz/seeds/seeds.h"
#include "rendering/font/font_data.h"

namespace seeds {
namespace {

constexpr std::pair<const char*, std::string_view> kDescriptors[] = {
    {"one_layer.txt",
     "# One layer cut from the sheet, with kerning.\n"
     "SetDefaultPointSize 12;\n"
     "SetCharMap (\"a\" \"b\") (\"A\" \"B\");\n"
     "CreateLayer Main;\n"
     "LayerSetPointSize Main 12;\n"
     "LayerSetAscent Main 7;\n"
     "LayerSetHeight Main 9;\n"
     "LayerSetImage Main \"glyphs.png\";\n"
     "Define Chars (\"A\" \"B\" \"V\" \"W\" \"T\" \"o\" \"g\" \"y\" \",\" \" \");\n"
     "LayerSetImageMap Main Chars ((0 0 8 8) (8 0 8 8) (16 0 8 8) (24 0 8 8) (32 0 8 8)\n"
     "    (40 0 8 8) (48 0 8 8) (56 0 8 8) (0 8 8 8) (8 8 1 1));\n"
     "LayerSetCharWidths Main Chars (8 8 8 9 7 6 7 7 3 4);\n"
     "LayerSetCharOffsets Main Chars ((0 0) (0 0) (0 0) (0 0) (0 0) (0 1) (0 2) (0 2) (0 6) (0 0));\n"
     "LayerSetKerningPairs Main ('AV' 'To' 'Wy') (-2 -1 -1);\n"
     "LayerSetSpacing Main 1;\n"},
    {"layers_and_tags.txt",
     "SetDefaultPointSize 16;\n"
     "CreateHorzSpanRectList Cells (0 16 8 8) (8 8 16);\n"
     "CreateLayer Body;\n"
     "LayerSetImage Body \"glyphs.png\";\n"
     "LayerSetAscent Body 8;\n"
     "LayerSetImageMap Body ('A' 'g' '9') Cells;\n"
     "LayerSetCharWidths Body ('A' 'g' '9') (8 8 16);\n"
     "LayerPointRange Body 10 -1;\n"
     "LayerSetPointSize Body 16;\n"
     "LayerSetDrawMode Body 1;\n"
     "LayerSetBaseOrder Body 2;\n"
     "LayerSetCharOrders Body ('A' 'g') (1 -1);\n"
     "CreateLayerFrom Shadow Body;\n"
     "LayerRequireTags Shadow ('bold');\n"
     "LayerExcludeTags Body ('Bold' 'outline');\n"
     "LayerSetOffset Shadow (1 1);\n"
     "LayerSetAscentPadding Shadow 2;\n"
     "LayerSetLineSpacingOffset Shadow -1;\n"},
};

bool LoadsBesideTheSheet(std::string_view descriptor) {
    fuzz::WriteGlyphSheet();
    const std::string path =
        fuzz::WriteScratchFile("input.txt", reinterpret_cast<const uint8_t*>(descriptor.data()), descriptor.size());
    FontData* font = new FontData;
    font->AddRef();
    const bool loaded =
        font->Load(path, nullptr) && !font->GetLayers().empty() && font->GetLayers().front()->GetImage() != nullptr;
    font->Release();
    return loaded;
}

}  // namespace

void WriteFontSeeds(Corpus& corpus) {
    for (const char* target : {"font_descriptor", "image_font"}) {
        corpus.Begin(target);
        for (const auto& [name, bytes] : kDescriptors) {
            corpus.Write(name, bytes);
            corpus.Expect(LoadsBesideTheSheet(bytes), name);
        }
    }
}

}  // namespace seeds
