// ImageFont: construction and copies, pages, tags, point size and widths.
#include "rendering/font/image_font.h"

#include <algorithm>
#include <limits>

#include "foundation/system/app_services.h"
#include "foundation/system/string_utils.h"
#include "rendering/font/font_data.h"
#include "rendering/image/image_surface.h"

FontPages::FontPages(const FontData& data) {
    for (const auto& layer : data.GetLayers()) {
        const FontLayerImage* image = layer->GetImage();
        if (!image || pages_.count(image)) continue;
        if (image->registered) {
            pages_.emplace(image, image->registered);
            continue;
        }
        if (!image->data) continue;
        const ImageData& pixels = *image->data;
        auto page = std::make_unique<ImageSurface>();
        page->name = image->name;
        page->path = image->path;
        page->SetFlags(static_cast<uint32_t>(image->flags));
        // Decoded files hold straight alpha; every page is drawn premultiplied.
        page->SetBits(pixels.GetBits(), pixels.GetWidth(), pixels.GetHeight(), true);
        pages_.emplace(image, page.get());
        owned_.push_back(std::move(page));
    }
}

FontPages::~FontPages() = default;

Image* FontPages::Find(const FontLayerImage* image) const {
    auto found = pages_.find(image);
    return found != pages_.end() ? found->second : nullptr;
}

ImageFont::ImageFont(const std::string& path, bool batch, double scale) : data_(new FontData), scale_(scale) {
    this->batch = batch;
    data_->AddRef();
    data_->SetBatch(batch);
    data_->Load(path, Service<AppServices>::Installed());
    pages_ = std::make_shared<const FontPages>(*data_);
    pointSize_ = data_->GetDefaultPointSize();
    GenerateActiveLayers();
    layersReady_ = true;
}

ImageFont::ImageFont(const ImageFont& other)
    : Font(other),
      data_(other.data_),
      pages_(other.pages_),
      pointSize_(other.pointSize_),
      tags_(other.tags_),
      layersReady_(other.layersReady_),
      scale_(other.scale_) {
    data_->AddRef();
    if (layersReady_) activeLayers_ = other.activeLayers_;
}

ImageFont::~ImageFont() {
    // The strips go before the pages and the descriptor they were cut from.
    activeLayers_.clear();
    pages_.reset();
    data_->Release();
}

Font* ImageFont::Duplicate() const { return new ImageFont(*this); }

void ImageFont::SetPointSize(float pointSize) {
    pointSize_ = pointSize;
    layersReady_ = false;
}

void ImageFont::SetScale(double scale) {
    scale_ = scale;
    layersReady_ = false;
}

float ImageFont::GetDefaultPointSize() { return data_->GetDefaultPointSize(); }

void ImageFont::AddTag(const std::wstring& tag) {
    if (HasTag(tag)) return;
    tags_.push_back(StringToUpper(tag));
    layersReady_ = false;
}

void ImageFont::RemoveTag(const std::wstring& tag) {
    auto found = std::find(tags_.begin(), tags_.end(), StringToUpper(tag));
    if (found == tags_.end()) return;
    tags_.erase(found);
    layersReady_ = false;
}

bool ImageFont::HasTag(const std::wstring& tag) {
    return std::find(tags_.begin(), tags_.end(), StringToUpper(tag)) != tags_.end();
}

std::wstring ImageFont::GetDefine(const std::wstring& name) {
    const DataElement* define = data_->FindDefine(name);
    return define ? DescParser::DataElementToText(*define) : std::wstring();
}

void ImageFont::Prepare() {
    if (layersReady_) return;
    GenerateActiveLayers();
    layersReady_ = true;
}

float ImageFont::LayerSizeFactor(const FontLayer& layer) const {
    if (layer.pointSize == 0) return static_cast<float>(scale_);
    return static_cast<float>(pointSize_ * scale_ / layer.pointSize);
}

float ImageFont::CharWidthKern(wchar_t c, wchar_t previous) {
    Prepare();
    c = data_->MapChar(c);
    if (previous != 0) previous = data_->MapChar(previous);
    if (activeLayers_.empty()) return 0;
    float widest = -std::numeric_limits<float>::infinity();
    for (const ActiveFontLayer& active : activeLayers_) {
        const FontLayer& layer = *active.layer;
        const CharData* glyph = active.Find(c).data;
        float total = 0;
        if (glyph) {
            const float s = LayerSizeFactor(layer);
            total = glyph->advanceWidth * s;
            if (previous != 0) {
                const CharData* before = active.Find(previous).data;
                const float kerning = before ? before->GetKerning(c) : 0;
                total += (layer.spacing + kerning) * s;
            }
        }
        widest = std::max(widest, total);
    }
    return widest;
}

float ImageFont::CharWidth(wchar_t c) { return CharWidthKern(c, 0); }

float ImageFont::StringWidth(const std::wstring& text) {
    float width = 0;
    wchar_t previous = 0;
    for (wchar_t c : text) {
        width += CharWidthKern(c, previous);
        previous = c;
    }
    return width;
}

void ImageFont::DrawString(Graphics& g, float x, float y, const std::wstring& text, const Color& color,
                           const FRect& clip) {
    DrawStringEx(g, x, y, text, color, clip, nullptr, nullptr);
}
