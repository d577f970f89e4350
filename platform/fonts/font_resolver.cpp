#include "platform/fonts/font_resolver_internal.h"

#include <fontconfig/fontconfig.h>

#include <cctype>
#include <memory>

namespace plat::fonts_internal {
namespace {

constexpr std::string_view kDejaVuFolder = "/usr/share/fonts/truetype/dejavu/";

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

struct ConfigDeleter {
    void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};
using ConfigPtr = std::unique_ptr<FcConfig, ConfigDeleter>;

std::string DejaVuSansFile(bool bold, bool italic) {
    std::string name = "DejaVuSans";
    if (bold && italic)
        name += "-BoldOblique";
    else if (bold)
        name += "-Bold";
    else if (italic)
        name += "-Oblique";
    return std::string(kDejaVuFolder) + name + ".ttf";
}

bool HasFamily(FcPattern* match, std::string_view face) {
    FcChar8* family = nullptr;
    for (int n = 0; FcPatternGetString(match, FC_FAMILY, n, &family) == FcResultMatch; ++n)
        if (SameFamily(reinterpret_cast<const char*>(family), face)) return true;
    return false;
}

struct Match {
    bool found = false;
    bool sameFamily = false;  // the match is the requested face, not a substitute
    FontFile file;
};

// Fontconfig's own best choice for the request, with its substitutions applied.
// Each lookup loads a configuration of its own and frees it (after copying out
// what it needs, as match values may point into the configuration's caches):
// the library's implicit process-wide one is never released, and avoiding it
// costs only a few milliseconds per font.
Match BestMatch(std::string_view face, bool bold, bool italic) {
    Match out;
    ConfigPtr config(FcInitLoadConfigAndFonts());
    if (!config) return out;
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return out;
    const std::string family(face);
    if (!family.empty()) FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (!FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern)) return out;
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(config.get(), pattern.get(), &result));
    if (!match || result != FcResultMatch) return out;

    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file) return out;
    int index = 0;
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    out.found = true;
    out.file = {reinterpret_cast<const char*>(file), index, true};
    out.sameFamily = !face.empty() && HasFamily(match.get(), face);
    out.file.fallback = !out.sameFamily;
    return out;
}

}  // namespace

bool SameFamily(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    for (;;) {
        while (i < a.size() && a[i] == ' ') ++i;
        while (j < b.size() && b[j] == ' ') ++j;
        if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[j])))
            return false;
        ++i;
        ++j;
    }
}

std::vector<FontFile> CandidateFiles(std::string_view face, bool bold, bool italic) {
    std::vector<FontFile> files;
    const Match match = BestMatch(face, bold, italic);
    if (match.found && match.sameFamily) files.push_back(match.file);

    files.push_back({DejaVuSansFile(bold, italic), 0, true});
    // The plain file serves every style by synthesis when a variant is gone.
    if (bold || italic) files.push_back({DejaVuSansFile(false, false), 0, true});

    if (match.found && !match.sameFamily) files.push_back(match.file);
    return files;
}

}  // namespace plat::fonts_internal
