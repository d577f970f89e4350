#pragma once
// The game's named fonts: fonts.xml and the global font map.
//
// LoadFontsXml reads "fonts.xml" (loose or from the pack) on the loading
// thread and enters every "font" (an image font from a descriptor under
// "fonts/", or a system font) and every "alias" into the global font map,
// where widgets and scene scripts look fonts up by name; the empty name
// holds the default font, a copy of the first font of the file. Each element
// counts one loading step through the application.
// Owns: every font in the map. A font replaced by a later one of the same
// name stays alive (callers may hold it) until UnloadFonts deletes them all
// at shutdown. Callers must not delete fonts they got from the map; they
// Duplicate them to keep their own.
// Threads: the map has no lock. It is filled on the loading thread before
// the main thread reads it, and emptied at shutdown.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/files/parser.h"

class Font;
class ImageFont;

class FontMap {
public:
    // Null when no font has the name.
    Font* Find(const std::wstring& name) const;
    bool Has(const std::wstring& name) const { return fonts_.count(name) != 0; }
    // Enters the font under the name; a font it replaces is kept until Clear.
    void Set(const std::wstring& name, std::unique_ptr<Font> font);
    // Deletes every font.
    void Clear();
    const std::map<std::wstring, std::unique_ptr<Font>>& Entries() const { return fonts_; }

private:
    std::map<std::wstring, std::unique_ptr<Font>> fonts_;
    std::vector<std::unique_ptr<Font>> replaced_;
};

// The process-wide font map.
FontMap& GetFontMap();

// The fonts.xml handler. In counting mode it only counts the "font" and
// "alias" elements; otherwise it makes the fonts.
class Fonts : public Parser {
public:
    explicit Fonts(bool counting) : counting_(counting) {}

    void ElementStart(const std::wstring& name) override;
    int GetCount() const { return count_; }

private:
    // What a "font" without a path says of its system face, as both passes read it.
    struct SystemFace {
        std::string face;
        int pointSize = 0;
        bool italic = false;
        bool underline = false;
        bool bold = false;
    };
    SystemFace ReadSystemFace();
    void LoadFont();
    void LoadAlias();
    std::unique_ptr<Font> MakeImageFont(const std::string& path);

    struct CachedFont {
        ImageFont* font;
        double scale;
        bool batch;
    };

    bool counting_;
    int count_ = 0;
    // The last image font made for each descriptor path while the file is read.
    std::map<std::string, CachedFont> cache_;
};

// Reads "fonts.xml"; returns the number of "font" and "alias" elements.
int LoadFontsXml(bool counting);
// Deletes every font of the global font map (application shutdown).
void UnloadFonts();
