#pragma once
// ImageAtlasPiece: a named run of cels inside an atlas surface, made from one
// of the atlas's cel-data records, chosen by index or by the piece's name (a
// name the atlas lacks gives an empty piece that draws nothing). It holds no pixels: every cel operation
// goes to the atlas with the cel moved by the run's first cel. The atlas is
// not owned and must outlive the piece. Drawing thread only.

#include "rendering/image/image.h"
#include "rendering/image/image_surface.h"

class ImageAtlasPiece : public Image {
public:
    ImageAtlasPiece(ImageSurface* atlas, int celDataIndex);
    ImageAtlasPiece(ImageSurface* atlas, std::wstring_view pieceName);

    int GetCelWidth() const override { return width; }
    int GetCelHeight() const override { return height; }
    int GetSourceCelWidth() const override { return sourceWidth; }
    int GetSourceCelHeight() const override { return sourceHeight; }
    uint32_t GetFlags() const override { return atlas_->GetFlags(); }
    ImageSurface* GetSurface() override { return atlas_; }
    ImageSurface* ResolveCel(int cel, float* x, float* y, FRect* source, Matrix4* matrix) override;
    uint32_t GetPixel(int x, int y, int cel) override;
    bool LocateCelPixel(int x, int y, int cel, int* surfaceX, int* surfaceY) const override;
    bool IsPlain() const override { return atlas_->IsPlain(); }
    Image* Duplicate() override;
    Rect GetCelRect(int col, int row) const override;
    Rect GetCelRectByIndex(int n) const override;
    FRect GetSourceCelRect(int col, int row) const override;
    FRect GetSourceCelRectByIndex(int n) const override;
    int GetCelCount() const override;
    bool GetCelBox(int cel, FRect* box) const override;

    int FirstCel() const { return firstCel_; }
    ImageSurface* GetAtlas() const { return atlas_; }

private:
    ImageSurface* atlas_;
    int firstCel_ = 0;
    std::vector<CelRectRecord> cels_;
};
