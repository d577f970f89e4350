#include "app/assets/asset_host.h"

#include "app/assets/image_prefetch.h"
#include "foundation/system/text.h"
#include "rendering/image/image_surface.h"
#include "rendering/imagefile/image_files.h"

namespace {

CelDataRecord ToCelData(const AssetPiece& piece) {
    CelDataRecord record;
    record.name = piece.name;
    record.cols = piece.cols;
    record.rows = piece.rows;
    for (const AssetFrame& frame : piece.frames) {
        CelRectRecord cel;
        cel.x = frame.sourceX;
        cel.y = frame.sourceY;
        cel.w = frame.sourceWidth;
        cel.h = frame.sourceHeight;
        cel.offsetX = frame.destOffsetX;
        cel.offsetY = frame.destOffsetY;
        cel.fullWidth = frame.width;
        cel.fullHeight = frame.height;
        record.cels.push_back(cel);
    }
    return record;
}

}  // namespace

std::unique_ptr<ImageSurface> AssetHost::LoadImageFile(const ImageRecord& record) {
    std::unique_ptr<ImageData> pixels;
    if (ImagePrefetch* prefetch = ImagePrefetch::Current()) pixels = prefetch->Take(record.path);
    if (!pixels) pixels = GetImage(record.path, true);
    if (!pixels) return nullptr;
    auto image = std::make_unique<ImageSurface>();
    image->name = record.name;
    image->path = record.path;
    // The grid and the flags come first: packed images cut their cels while
    // the pixels are set. A grid of no cels would make every cel number
    // invalid, so it counts as one.
    image->SetRowsCols(record.rows > 0 ? record.rows : 1, record.cols > 0 ? record.cols : 1);
    image->SetFlags(static_cast<uint32_t>(record.flags));
    std::vector<CelDataRecord> pieces;
    for (const AssetPiece& piece : record.pieces) pieces.push_back(ToCelData(piece));
    if (!pieces.empty()) image->SetCelRects(pieces);
    if (!image->SetBits(pixels->GetBits(), pixels->GetWidth(), pixels->GetHeight(), record.premultiply)) return nullptr;
    return image;
}
