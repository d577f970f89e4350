#include "rendering/image/image_atlas_region.h"

#include "foundation/values/saturate.h"
#include "rendering/image/image_child.h"

ImageAtlasPiece::ImageAtlasPiece(ImageSurface* atlas, int celDataIndex) : atlas_(atlas) {
    const std::vector<CelDataRecord>& records = atlas->GetCelData();
    premultiplied = atlas->premultiplied;
    if (celDataIndex < 0 || celDataIndex >= static_cast<int>(records.size())) {
        // No such record: an empty piece that draws nothing.
        rows = cols = 0;
        return;
    }
    const CelDataRecord& record = records[static_cast<size_t>(celDataIndex)];
    name = record.name;
    path = atlas->path;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    path += std::string(record.name.begin(), record.name.end());
    rows = record.rows;
    cols = record.cols;
    firstCel_ = record.firstCel;
    cels_ = record.cels;
    if (!cels_.empty()) SetSize(SaturateCast(cels_[0].fullWidth), SaturateCast(cels_[0].fullHeight));
}

namespace {

int FindCelData(const ImageSurface* atlas, std::wstring_view pieceName) {
    const std::vector<CelDataRecord>& records = atlas->GetCelData();
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i].name == pieceName) return static_cast<int>(i);
    return -1;
}

}  // namespace

ImageAtlasPiece::ImageAtlasPiece(ImageSurface* atlas, std::wstring_view pieceName)
    : ImageAtlasPiece(atlas, FindCelData(atlas, pieceName)) {}

int ImageAtlasPiece::GetCelCount() const {
    const int grid = rows * cols;
    const int stored = static_cast<int>(cels_.size());
    return grid < stored ? grid : stored;
}

bool ImageAtlasPiece::GetCelBox(int cel, FRect* box) const {
    if (!IsValidCel(cel)) return Image::GetCelBox(cel, box);
    return atlas_->GetCelBox(cel + firstCel_, box);
}

ImageSurface* ImageAtlasPiece::ResolveCel(int cel, float* x, float* y, FRect* source, Matrix4* matrix) {
    if (!IsValidCel(cel)) return nullptr;
    return atlas_->ResolveCel(cel + firstCel_, x, y, source, matrix);
}

uint32_t ImageAtlasPiece::GetPixel(int x, int y, int cel) {
    if (!IsValidCel(cel)) return 0;
    return atlas_->GetPixel(x, y, cel + firstCel_);
}

bool ImageAtlasPiece::LocateCelPixel(int x, int y, int cel, int* surfaceX, int* surfaceY) const {
    if (!IsValidCel(cel)) return false;
    return atlas_->LocateCelPixel(x, y, cel + firstCel_, surfaceX, surfaceY);
}

// A child of the atlas alone would start at the atlas's first cel and draw
// another piece's frames: the child presents this piece's cels.
Image* ImageAtlasPiece::Duplicate() { return new ImageChild(*this); }

Rect ImageAtlasPiece::GetCelRect(int col, int row) const {
    return atlas_->GetCelRectByIndex(row * cols + col + firstCel_);
}

Rect ImageAtlasPiece::GetCelRectByIndex(int n) const { return atlas_->GetCelRectByIndex(n + firstCel_); }

FRect ImageAtlasPiece::GetSourceCelRect(int col, int row) const {
    return atlas_->GetSourceCelRectByIndex(row * cols + col + firstCel_);
}

FRect ImageAtlasPiece::GetSourceCelRectByIndex(int n) const { return atlas_->GetSourceCelRectByIndex(n + firstCel_); }
