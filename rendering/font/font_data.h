#pragma once
// Font descriptors: the parsed form of a bitmap font's descriptor file.
//
// FontData runs the descriptor's commands (the descriptor language of
// DescParser) and keeps what they build: layers of glyphs cut from images,
// each with per-character rectangles, advance widths, offsets, kerning and
// drawing orders, the layer selection data (tags, point ranges, point size),
// the 256-entry character map and the defines. Image fonts turn it into
// drawable layers; several fonts share one FontData through its reference
// count, and the last Release deletes it, so a FontData lives on the heap and
// is never deleted directly. It is loaded once; a second Load is refused.
// Errors go to the error window given to Load (the "FATAL ERROR" box) with
// the file, line number and line text; without one nothing is shown.
// Layer images are taken from the application's image registry when the
// descriptor names them (decoded here when no registry is installed) and
// shared by every layer that names the same file. Loading happens on one thread (the loading
// thread); afterwards the data is only read.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/files/desc_parser.h"
#include "rendering/image/image_data.h"

class AppServices;
class FontData;
class Image;

class CharData {
public:
    CharData() = default;
    CharData(const CharData&) = default;
    CharData& operator=(const CharData&) = default;
    virtual ~CharData() = default;

    // The amount added between this character and `next`; 0 when none is stored.
    float GetKerning(wchar_t next) const;
    // Stores the amount for `next`; pairs are only ever set through here.
    void SetKerning(wchar_t next, float amount);

    // Whole numbers: the glyph's place in the layer image.
    float imageX = 0;
    float imageY = 0;
    float imageWidth = 0;
    float imageHeight = 0;
    float offsetX = 0;
    float offsetY = 0;
    std::map<wchar_t, float> kerning;  // every pair
    // The same amounts for the first 256 following characters, looked up
    // once per drawn character: empty while no such pair is stored.
    std::vector<float> firstKerning;
    float advanceWidth = 0;
    float order = 0;
};

// The image a layer's glyphs are cut from, as the descriptor named it. With
// an image registry installed (image_registry_host.h) the image is the
// registry's, registered under the descriptor's file name and borrowed;
// without one the pixels are kept here as decoded (straight alpha, as stored
// in the file), and whoever makes a drawable surface of them premultiplies
// them, as for every image file, and applies `flags`.
struct FontLayerImage {
    std::wstring name;                      // the file name as the descriptor wrote it
    std::string path;                       // resolved against the descriptor's folder
    Image* registered = nullptr;            // the registry's image, not owned
    std::shared_ptr<const ImageData> data;  // without a registry; null when the file could not be read
    int flags = 0;                          // 1: whole-image power-of-two texture pieces (batching fonts)

    int GetWidth() const;
    int GetHeight() const;
};

class FontLayer {
public:
    explicit FontLayer(FontData* owner) : owner(owner) {}
    FontLayer(const FontLayer&) = default;
    FontLayer& operator=(const FontLayer&) = default;
    virtual ~FontLayer() = default;

    // The character's data, created on first reference.
    CharData& GetCharData(wchar_t c) { return chars_[c]; }
    // Null when the layer has no data for the character.
    const CharData* FindCharData(wchar_t c) const;
    // Every character of the layer, in ascending character code.
    const std::map<wchar_t, CharData>& GetChars() const { return chars_; }
    // The glyph image; null until the descriptor sets one (or when its file
    // could not be read).
    const FontLayerImage* GetImage() const { return image_.get(); }
    void SetImage(std::shared_ptr<const FontLayerImage> image) { image_ = std::move(image); }
    // The largest image height + offset y over the layer's characters.
    void RecomputeGlyphHeight();

    FontData* owner;
    std::vector<std::wstring> requiredTags;  // upper case
    std::vector<std::wstring> excludedTags;  // upper case
    int drawMode = -1;                       // -1 keeps the drawing context's mode
    int offsetX = 0;
    int offsetY = 0;
    float spacing = 0;
    float minPointSize = -1;
    float maxPointSize = -1;  // -1: no upper bound
    float pointSize = 0;      // 0: drawn for any size
    float ascent = 0;
    float ascentPadding = 0;
    float height = 0;
    float lineSpacingOffset = 0;
    float glyphHeight = 0;
    int baseOrder = 0;

private:
    std::map<wchar_t, CharData> chars_;
    std::shared_ptr<const FontLayerImage> image_;
};

class FontData : public DescParser {
public:
    // Bounds of the numbers a descriptor gives, checked where they are read: a
    // number beyond them (a long digit string reads as infinity) is refused
    // with "Invalid Parameter Type", as one that does not convert. Every
    // amount lies within plus or minus kMaxNumber pixels (four times the
    // largest texture side devices offer); a point size is 0 ("any", for a
    // layer) or from kMinPointSize up, so that no size factor divides by a
    // vanishing size.
    static constexpr float kMaxNumber = 65536;
    static constexpr float kMinPointSize = 1;

    FontData();

    // Reference counting: a new FontData has count 0; Release deletes it when
    // the count drops to 0. Both return the new count.
    int AddRef();
    int Release();
    int GetRefCount() const { return refCount_; }

    // Reads the descriptor once. False when it was loaded before, or when a
    // command failed (what the earlier commands built stays). Errors are shown
    // through `errorWindow` (null: shown nowhere).
    bool Load(const std::string& path, AppServices* errorWindow);
    bool IsLoaded() const { return loaded_; }

    // Set by the owning font before loading: layer images get flag 1.
    void SetBatch(bool batch) { batch_ = batch; }
    bool GetBatch() const { return batch_; }

    float GetDefaultPointSize() const { return defaultPointSize_; }
    // Character codes below 256 go through the character map; others are unchanged.
    wchar_t MapChar(wchar_t c) const;
    const std::array<uint16_t, 256>& GetCharMap() const { return charMap_; }

    // In creation order: the order of drawing and of metrics.
    const std::vector<std::unique_ptr<FontLayer>>& GetLayers() const { return layers_; }
    // A layer by name (any case); null when none has it.
    FontLayer* GetLayerByName(std::wstring_view name) const;
    // A scalar naming a layer; a list fails silently, an unknown name reports
    // "Undefined Layer". Define names are not looked through.
    bool FindLayer(const DataElement& value, FontLayer*& layer);

    const std::string& GetDescriptorPath() const { return path_; }

protected:
    // Deleted by Release only.
    ~FontData() override;

    bool HandleCommand(ListDataElement& params) override;
    // Shows the message with the file, line number and line text; always false.
    virtual bool Error(std::string_view message);

private:
    using Params = std::vector<std::unique_ptr<DataElement>>;

    bool RunCommand(const Params& p);
    bool CheckCount(const Params& p, size_t count);
    bool GetLayer(const DataElement& value, FontLayer*& layer);
    static bool InBounds(float value);
    bool GetNumber(const DataElement& value, float& out);
    bool GetPointSize(const DataElement& value, float& out);
    bool GetInteger(const DataElement& value, int& out);
    bool GetString(const DataElement& value, std::wstring& out);
    bool GetStrings(const DataElement& value, std::vector<std::wstring>& out);
    // A list of numbers within the bounds; ToNumbers reports nothing.
    bool ToNumbers(const DataElement& value, std::vector<float>& out);
    bool GetNumbers(const DataElement& value, std::vector<float>& out);
    bool GetList(const DataElement& value, ListDataElement& out);

    bool CommandDefine(const Params& p);
    bool CommandCreateHorzSpanRectList(const Params& p);
    bool CommandSetCharMap(const Params& p);
    bool CommandCreateLayer(const Params& p, bool fromLayer);
    bool CommandLayerTags(const Params& p, bool required);
    bool CommandLayerPointRange(const Params& p);
    bool CommandLayerNumber(const Params& p, float FontLayer::*field);
    bool CommandLayerPointSize(const Params& p);
    bool CommandLayerInteger(const Params& p, int FontLayer::*field);
    bool CommandLayerSetImage(const Params& p);
    bool CommandLayerSetOffset(const Params& p);
    bool CommandLayerCharNumbers(const Params& p, float CharData::*field);
    bool CommandLayerSetImageMap(const Params& p);
    bool CommandLayerSetCharOffsets(const Params& p);
    bool CommandLayerSetKerningPairs(const Params& p);

    enum class EntryResult { Applied, Skipped, Abort };
    // Runs `apply` for each entry of paired lists (characters and values):
    // sizes must match ("List Size Mismatch"); a character entry of another
    // length than `charLength` or a skipped value is passed over, and the
    // command then fails with "Invalid Parameter Type".
    template <typename Apply>
    bool ApplyPaired(const std::vector<std::wstring>& chars, size_t valueCount, size_t charLength, Apply apply);
    bool CheckPairedSizes(size_t charCount, size_t valueCount);
    void NameLayer(const std::wstring& name, FontLayer* layer);
    void ShowError(std::wstring_view text);
    std::shared_ptr<const FontLayerImage> LoadLayerImage(const std::wstring& file);

    bool loaded_ = false;
    int refCount_ = 0;
    AppServices* errorWindow_ = nullptr;
    bool batch_ = false;
    bool loadStarted_ = false;
    bool errorShown_ = false;
    float defaultPointSize_ = 0;
    std::array<uint16_t, 256> charMap_{};
    std::vector<std::unique_ptr<FontLayer>> layers_;
    std::map<std::wstring, FontLayer*> layerNames_;
    std::map<std::wstring, std::shared_ptr<const FontLayerImage>> images_;
    std::string path_;
    std::string errorPrefix_;
};
