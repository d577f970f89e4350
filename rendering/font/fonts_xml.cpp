// fonts.xml: the Fonts handler and the global font map.
#include "rendering/font/fonts_xml.h"

#include "foundation/system/app_services.h"
#include "foundation/system/text.h"
#include "rendering/font/font.h"
#include "rendering/font/image_font.h"
#include "rendering/font/sys_font.h"

Font* FontMap::Find(const std::wstring& name) const {
    auto found = fonts_.find(name);
    return found != fonts_.end() ? found->second.get() : nullptr;
}

void FontMap::Set(const std::wstring& name, std::unique_ptr<Font> font) {
    std::unique_ptr<Font>& slot = fonts_[name];
    if (slot) replaced_.push_back(std::move(slot));
    slot = std::move(font);
}

void FontMap::Clear() {
    fonts_.clear();
    replaced_.clear();
}

FontMap& GetFontMap() {
    static FontMap map;
    return map;
}

void Fonts::ElementStart(const std::wstring& name) {
    const bool font = name == L"font";
    if (!font && name != L"alias") return;
    ++count_;
    if (counting_) {
        // The loading pass will want these faces: they are looked up meanwhile.
        if (font && GetAttribute(L"path").empty()) {
            const SystemFace f = ReadSystemFace();
            SysFont::PrepareFromDesc(f.face, f.pointSize, f.italic, f.underline, f.bold);
        }
        return;
    }
    if (font)
        LoadFont();
    else
        LoadAlias();
    AdvanceLoadingStep();
}

Fonts::SystemFace Fonts::ReadSystemFace() {
    return {text::ToUtf8(GetAttribute(L"face")), GetAttributeIntOr(L"size", 0), GetAttribute(L"italics") == L"true",
            GetAttribute(L"underline") == L"true", GetAttribute(L"bold") == L"true"};
}

std::unique_ptr<Font> Fonts::MakeImageFont(const std::string& path) {
    const double scale = GetAttributeFloatOr(L"scale", 1.0f);
    const bool batch = HasAttribute(L"batch") ? GetAttributeBool(L"batch") : true;
    auto cached = cache_.find(path);
    if (cached != cache_.end() && cached->second.scale == scale && cached->second.batch == batch)
        return std::make_unique<ImageFont>(*cached->second.font);
    auto made = std::make_unique<ImageFont>("fonts/" + path, batch, scale);
    // The map keeps every font it was given alive until shutdown, so the
    // cached pointer stays valid for the rest of the file.
    cache_[path] = CachedFont{made.get(), scale, batch};
    return made;
}

void Fonts::LoadFont() {
    const std::wstring fontName = GetAttribute(L"name");
    const std::string path = text::ToUtf8(GetAttribute(L"path"));
    std::unique_ptr<Font> font;
    if (!path.empty()) {
        font = MakeImageFont(path);
    } else {
        const SystemFace f = ReadSystemFace();
        std::unique_ptr<SysFont> sys = SysFont::SysFontFromDesc(f.face, f.pointSize, f.italic, f.underline, f.bold);
        sys->shadow = GetAttribute(L"shadow") == L"true";
        font = std::move(sys);
    }
    if (HasAttribute(L"line-spacing-offset")) font->lineSpacingOffset = GetAttributeFloat(L"line-spacing-offset");
    font->color = Color::FromRGBA(GetAttributeIntOr(L"red", 255), GetAttributeIntOr(L"green", 255),
                                  GetAttributeIntOr(L"blue", 255), GetAttributeIntOr(L"alpha", 255));
    FontMap& map = GetFontMap();
    Font* entered = font.get();
    map.Set(fontName, std::move(font));
    if (!map.Has(L"")) map.Set(L"", std::unique_ptr<Font>(entered->Duplicate()));
}

void Fonts::LoadAlias() {
    FontMap& map = GetFontMap();
    // An alias of a font not (yet) defined names nothing: it is left out
    // rather than entered as an empty font that every user would trip over.
    Font* target = map.Find(GetAttribute(L"font"));
    if (target) map.Set(GetAttribute(L"name"), std::unique_ptr<Font>(target->Duplicate()));
}

int LoadFontsXml(bool counting) {
    Fonts handler(counting);
    handler.ParseFile("fonts.xml");
    return handler.GetCount();
}

void UnloadFonts() { GetFontMap().Clear(); }
