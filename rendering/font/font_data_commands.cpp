// The commands of a font descriptor. Each checks its parameter count, then
// converts its parameters in order, reporting the first that fails.

#include <cmath>

#include "foundation/files/path_utils.h"
#include "foundation/system/string_utils.h"
#include "foundation/system/text.h"
#include "foundation/values/saturate.h"
#include "rendering/font/font_data.h"
#include "rendering/image/image_registry_host.h"
#include "rendering/image/image_surface.h"
#include "rendering/imagefile/image_files.h"

namespace {

// File names in descriptors are wide; paths are 8-bit text. Each character
// up to 255 becomes the byte of that value, anything above '?', and the
// result is as long as the name.
std::string ToEightBit(std::wstring_view name) {
    std::string out;
    out.reserve(name.size());
    for (wchar_t c : name) out += (c >= 0 && c < 256) ? static_cast<char>(static_cast<unsigned char>(c)) : '?';
    return out;
}

}  // namespace

int FontLayerImage::GetWidth() const {
    if (registered) return registered->width;
    return data ? data->GetWidth() : 0;
}

int FontLayerImage::GetHeight() const {
    if (registered) return registered->height;
    return data ? data->GetHeight() : 0;
}

bool FontData::CheckPairedSizes(size_t charCount, size_t valueCount) {
    return charCount == valueCount || Error("List Size Mismatch");
}

template <typename Apply>
bool FontData::ApplyPaired(const std::vector<std::wstring>& chars, size_t valueCount, size_t charLength, Apply apply) {
    if (!CheckPairedSizes(chars.size(), valueCount)) return false;
    bool skipped = false;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (chars[i].size() != charLength) {
            skipped = true;
            continue;
        }
        EntryResult result = apply(i);
        if (result == EntryResult::Abort) return false;
        if (result == EntryResult::Skipped) skipped = true;
    }
    return !skipped || Error("Invalid Parameter Type");
}

bool FontData::CommandDefine(const Params& p) {
    if (!CheckCount(p, 2)) return false;
    if (p[1]->IsList()) return Error("Invalid Parameter Type");
    const std::wstring& name = static_cast<const SingleDataElement&>(*p[1]).text;
    if (IsImmediate(name)) return Error("Invalid Parameter Type");
    defines_.erase(StringToUpper(name));
    if (p[2]->IsList()) {
        auto list = std::make_unique<ListDataElement>();
        if (!DereferenceList(static_cast<const ListDataElement&>(*p[2]), *list)) return false;
        AddDefine(name, std::move(list));
        return true;
    }
    const DataElement* named = FindDefine(static_cast<const SingleDataElement&>(*p[2]).text);
    AddDefine(name, named != nullptr ? named->Duplicate() : p[2]->Duplicate());
    return true;
}

bool FontData::CommandCreateHorzSpanRectList(const Params& p) {
    if (!CheckCount(p, 3)) return false;
    if (p[1]->IsList()) return Error("Invalid Parameter Type");
    std::vector<float> rect;
    std::vector<float> widths;
    if (!GetNumbers(*p[2], rect)) return false;
    if (rect.size() != 4) return Error("Invalid Parameter Type");
    if (!GetNumbers(*p[3], widths)) return false;
    auto list = std::make_unique<ListDataElement>();
    float offset = 0;
    for (float width : widths) {
        ListDataElement& entry = list->AddList();
        for (float value : {rect[0] + offset, rect[1], width, rect[3]})
            entry.AddSingle(text::WFormat(L"%g", static_cast<double>(value)));
        offset = std::trunc(offset + width);
    }
    AddDefine(static_cast<const SingleDataElement&>(*p[1]).text, std::move(list));
    return true;
}

bool FontData::CommandSetCharMap(const Params& p) {
    if (!CheckCount(p, 2)) return false;
    std::vector<std::wstring> from;
    std::vector<std::wstring> to;
    if (!GetStrings(*p[1], from) || !GetStrings(*p[2], to)) return false;
    return ApplyPaired(from, to.size(), 1, [&](size_t i) {
        if (to[i].size() != 1) return EntryResult::Skipped;
        charMap_[static_cast<size_t>(from[i][0]) & 0xFF] = static_cast<uint16_t>(to[i][0] & 0xFF);
        return EntryResult::Applied;
    });
}

void FontData::NameLayer(const std::wstring& name, FontLayer* layer) {
    // A taken name is reported, yet the command goes on: the new layer stays
    // in the drawing order without a name.
    if (!layerNames_.emplace(StringToUpper(name), layer).second) Error("Layer Already Exists");
}

bool FontData::CommandCreateLayer(const Params& p, bool fromLayer) {
    if (!CheckCount(p, fromLayer ? 2 : 1)) return false;
    if (p[1]->IsList()) return Error("Invalid Parameter Type");
    const std::wstring& name = static_cast<const SingleDataElement&>(*p[1]).text;
    if (fromLayer) {
        FontLayer* source = nullptr;
        if (!GetLayer(*p[2], source)) return false;
        layers_.push_back(std::make_unique<FontLayer>(*source));
    } else {
        layers_.push_back(std::make_unique<FontLayer>(this));
    }
    NameLayer(name, layers_.back().get());
    return true;
}

bool FontData::CommandLayerTags(const Params& p, bool required) {
    if (!CheckCount(p, 2)) return false;
    FontLayer* layer = nullptr;
    std::vector<std::wstring> tags;
    if (!GetLayer(*p[1], layer) || !GetStrings(*p[2], tags)) return false;
    std::vector<std::wstring>& into = required ? layer->requiredTags : layer->excludedTags;
    for (const std::wstring& tag : tags) into.push_back(StringToUpper(tag));
    return true;
}

bool FontData::CommandLayerPointRange(const Params& p) {
    if (!CheckCount(p, 3)) return false;
    FontLayer* layer = nullptr;
    float minimum = 0;
    float maximum = 0;
    if (!GetLayer(*p[1], layer) || !GetNumber(*p[2], minimum) || !GetNumber(*p[3], maximum)) return false;
    layer->minPointSize = minimum;
    layer->maxPointSize = maximum;
    return true;
}

bool FontData::CommandLayerNumber(const Params& p, float FontLayer::*field) {
    if (!CheckCount(p, 2)) return false;
    FontLayer* layer = nullptr;
    float value = 0;
    if (!GetLayer(*p[1], layer) || !GetNumber(*p[2], value)) return false;
    layer->*field = value;
    return true;
}

bool FontData::CommandLayerPointSize(const Params& p) {
    if (!CheckCount(p, 2)) return false;
    FontLayer* layer = nullptr;
    float value = 0;
    if (!GetLayer(*p[1], layer) || !GetPointSize(*p[2], value)) return false;
    layer->pointSize = value;
    return true;
}

bool FontData::CommandLayerInteger(const Params& p, int FontLayer::*field) {
    if (!CheckCount(p, 2)) return false;
    FontLayer* layer = nullptr;
    int value = 0;
    if (!GetLayer(*p[1], layer) || !GetInteger(*p[2], value)) return false;
    if (field == &FontLayer::drawMode && (value < 0 || value > 10)) return Error("Invalid Parameter Type");
    layer->*field = value;
    return true;
}

std::shared_ptr<const FontLayerImage> FontData::LoadLayerImage(const std::wstring& file) {
    // One image per file name, shared by every layer that names it.
    auto known = images_.find(file);
    if (known != images_.end()) return known->second;
    std::string name = ToEightBit(file);
    std::string path = (!name.empty() && name.front() == '/') ? name : ResolveRelativePath(name, GetFileDir(path_));
    auto image = std::make_shared<FontLayerImage>();
    image->name = file;
    image->path = path;
    image->flags = batch_ ? 1 : 0;
    if (ImageRegistryHost* registry = Service<ImageRegistryHost>::Installed()) {
        image->registered = registry->RegisterImageEntry(file, path);
        if (auto* surface = dynamic_cast<ImageSurface*>(image->registered); surface && batch_)
            surface->SetFlags(surface->GetFlags() | kImageWholePieces);
    } else {
        image->data = GetImage(path, true);
    }
    if (!image->registered && !image->data) {
        // Like an image the registry could not load: the layer keeps no image,
        // and a later image map reports it. The box says why.
        Error("Unable to Load Image \"" + path + "\"");
        return nullptr;
    }
    images_.emplace(file, image);
    return image;
}

bool FontData::CommandLayerSetImage(const Params& p) {
    if (!CheckCount(p, 2)) return false;
    FontLayer* layer = nullptr;
    std::wstring file;
    if (!GetLayer(*p[1], layer) || !GetString(*p[2], file)) return false;
    layer->SetImage(LoadLayerImage(file));
    return true;
}

bool FontData::CommandLayerSetOffset(const Params& p) {
    if (!CheckCount(p, 2)) return false;
    FontLayer* layer = nullptr;
    std::vector<float> offset;
    if (!GetLayer(*p[1], layer) || !GetNumbers(*p[2], offset)) return false;
    if (offset.size() != 2) return Error("Invalid Parameter Type");
    layer->offsetX = SaturateCast<int>(offset[0]);
    layer->offsetY = SaturateCast<int>(offset[1]);
    return true;
}

bool FontData::CommandLayerCharNumbers(const Params& p, float CharData::*field) {
    if (!CheckCount(p, 3)) return false;
    FontLayer* layer = nullptr;
    std::vector<std::wstring> chars;
    std::vector<float> values;
    if (!GetLayer(*p[1], layer) || !GetStrings(*p[2], chars) || !GetNumbers(*p[3], values)) return false;
    return ApplyPaired(chars, values.size(), 1, [&](size_t i) {
        layer->GetCharData(chars[i][0]).*field = values[i];
        return EntryResult::Applied;
    });
}

bool FontData::CommandLayerSetImageMap(const Params& p) {
    if (!CheckCount(p, 3)) return false;
    FontLayer* layer = nullptr;
    std::vector<std::wstring> chars;
    ListDataElement rects;
    if (!GetLayer(*p[1], layer) || !GetStrings(*p[2], chars) || !GetList(*p[3], rects)) return false;
    if (!CheckPairedSizes(chars.size(), rects.elements.size())) return false;
    const FontLayerImage* image = layer->GetImage();
    if (image == nullptr) return Error("Layer image not set");
    const double imageWidth = image->GetWidth();
    const double imageHeight = image->GetHeight();
    bool aborted = false;
    bool ok = ApplyPaired(chars, rects.elements.size(), 1, [&](size_t i) {
        CharData& glyph = layer->GetCharData(chars[i][0]);
        std::vector<float> r;
        if (!DataToFloatVector(*rects.elements[i], r) || r.size() != 4) return EntryResult::Skipped;
        const double x = std::trunc(r[0]), y = std::trunc(r[1]), w = std::trunc(r[2]), h = std::trunc(r[3]);
        // A negative size would reach the glyph strips of scaled fonts as a
        // negative width; it is out of bounds as much as a negative corner.
        if (x < 0 || y < 0 || w < 0 || h < 0 || x + w > imageWidth || y + h > imageHeight) {
            aborted = true;
            Error("ImageSurface rectangle out of bounds");
            return EntryResult::Abort;
        }
        glyph.imageX = static_cast<float>(x);
        glyph.imageY = static_cast<float>(y);
        glyph.imageWidth = static_cast<float>(w);
        glyph.imageHeight = static_cast<float>(h);
        return EntryResult::Applied;
    });
    if (!aborted) layer->RecomputeGlyphHeight();
    return ok;
}

bool FontData::CommandLayerSetCharOffsets(const Params& p) {
    if (!CheckCount(p, 3)) return false;
    FontLayer* layer = nullptr;
    std::vector<std::wstring> chars;
    ListDataElement offsets;
    if (!GetLayer(*p[1], layer) || !GetStrings(*p[2], chars) || !GetList(*p[3], offsets)) return false;
    return ApplyPaired(chars, offsets.elements.size(), 1, [&](size_t i) {
        CharData& glyph = layer->GetCharData(chars[i][0]);
        std::vector<float> offset;
        if (!ToNumbers(*offsets.elements[i], offset) || offset.size() != 2) return EntryResult::Skipped;
        glyph.offsetX = offset[0];
        glyph.offsetY = offset[1];
        return EntryResult::Applied;
    });
}

bool FontData::CommandLayerSetKerningPairs(const Params& p) {
    if (!CheckCount(p, 3)) return false;
    FontLayer* layer = nullptr;
    std::vector<std::wstring> pairs;
    std::vector<float> amounts;
    if (!GetLayer(*p[1], layer) || !GetStrings(*p[2], pairs) || !GetNumbers(*p[3], amounts)) return false;
    return ApplyPaired(pairs, amounts.size(), 2, [&](size_t i) {
        layer->GetCharData(pairs[i][0]).SetKerning(pairs[i][1], amounts[i]);
        return EntryResult::Applied;
    });
}
