// fontsheet FONT PIXELS OUTPUT: renders the typeface FONT at PIXELS pixels per
// em into the glyph sheet OUTPUT.png and writes the matching font descriptor
// OUTPUT.txt beside it. The characters are printable ASCII and the printable
// Latin-1 range; the no-break space and the soft hyphen are mapped onto the
// space and the hyphen.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/files/path_utils.h"
#include "foundation/system/text.h"
#include "rendering/imagefile/image_files.h"
#include "tools/fontsheet/font_descriptor_writer.h"
#include "tools/fontsheet/glyph_sheet.h"

namespace {

constexpr int kSheetWidth = 256;

std::vector<wchar_t> SheetCharacters() {
    std::vector<wchar_t> codes;
    for (wchar_t c = 0x20; c <= 0x7E; ++c) codes.push_back(c);
    for (wchar_t c = 0xA1; c <= 0xFF; ++c)
        if (c != 0xAD) codes.push_back(c);
    return codes;
}

int Usage(const char* program) {
    std::fprintf(stderr,
                 "Usage: %s FONT PIXELS OUTPUT\n"
                 "Renders FONT at PIXELS pixels per em into OUTPUT.png and writes the font\n"
                 "descriptor OUTPUT.txt.\n",
                 program);
    return 2;
}

bool WriteText(const std::string& path, const std::wstring& content) {
    // UTF-8 behind a byte-order mark, so the Latin-1 characters read back as
    // themselves.
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "\xEF\xBB\xBF" << text::ToUtf8(content);
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Usage(argv[0]);
    const std::string fontFile = argv[1];
    char* end = nullptr;
    const long pixels = std::strtol(argv[2], &end, 10);
    if (end == argv[2] || *end != '\0' || pixels < 4 || pixels > 256) return Usage(argv[0]);
    const std::string output = argv[3];

    GlyphSheet sheet;
    std::string error;
    if (!RenderGlyphSheet(fontFile, static_cast<int>(pixels), SheetCharacters(), kSheetWidth, sheet, error)) {
        std::fprintf(stderr, "fontsheet: %s\n", error.c_str());
        return 1;
    }

    DescriptorOptions options;
    options.imageName = GetFileName(output) + ".png";
    options.commandLine =
        "fontsheet " + GetFileName(fontFile) + " " + std::to_string(pixels) + " " + GetFileName(output);
    options.charMap = {{0xA0, L' '}, {0xAD, L'-'}};

    const std::string imagePath = output + ".png";
    const std::string descriptorPath = output + ".txt";
    if (!WritePNGImage(imagePath, *sheet.image)) {
        std::fprintf(stderr, "fontsheet: cannot write %s\n", imagePath.c_str());
        return 1;
    }
    if (!WriteText(descriptorPath, BuildFontDescriptor(sheet, options))) {
        std::fprintf(stderr, "fontsheet: cannot write %s\n", descriptorPath.c_str());
        return 1;
    }
    std::printf("%s: %zu glyphs, %dx%d; %s: %zu kerning pairs\n", imagePath.c_str(), sheet.glyphs.size(),
                sheet.image->GetWidth(), sheet.image->GetHeight(), descriptorPath.c_str(), sheet.kerning.size());
    return 0;
}
