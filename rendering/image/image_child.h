#pragma once
// ImageChild: a surface of its own that presents another image's cels: its
// parent surface's, or, made from an atlas piece, the piece's run of the
// atlas (cel sizes, cel records). Until something draws into the child it
// shows the pixels it presents; once it holds pixels of its own it shows
// those, through the same cels. Drawing (ResolveCel) and hit tests
// (GetPixel) always read the same pixels. Made by Duplicate; the parent (the
// atlas) is not owned and must outlive the child. Drawing thread only.

#include <memory>

#include "rendering/image/image_surface.h"

class ImageAtlasPiece;

class ImageChild : public ImageSurface {
public:
    explicit ImageChild(ImageSurface* parent);
    // A child of the piece's atlas that presents the piece's cels.
    explicit ImageChild(const ImageAtlasPiece& piece);
    ~ImageChild() override;

    int GetCelWidth() const override { return cels_->GetCelWidth(); }
    int GetCelHeight() const override { return cels_->GetCelHeight(); }
    int GetSourceCelWidth() const override { return cels_->GetSourceCelWidth(); }
    int GetSourceCelHeight() const override { return cels_->GetSourceCelHeight(); }
    int GetCelCount() const override { return cels_->GetCelCount(); }
    bool GetCelBox(int cel, FRect* box) const override { return cels_->GetCelBox(cel, box); }
    ImageSurface* ResolveCel(int cel, float* x, float* y, FRect* source, Matrix4* matrix) override;
    uint32_t GetPixel(int x, int y, int cel) override;
    bool LocateCelPixel(int x, int y, int cel, int* surfaceX, int* surfaceY) const override {
        return cels_->LocateCelPixel(x, y, cel, surfaceX, surfaceY);
    }
    bool IsPlain() const override { return cels_->IsPlain(); }
    Image* Duplicate() override { return new ImageChild(this); }
    Rect GetCelRect(int col, int row) const override { return cels_->GetCelRect(col, row); }
    Rect GetCelRectByIndex(int n) const override { return cels_->GetCelRectByIndex(n); }
    FRect GetSourceCelRect(int col, int row) const override { return cels_->GetSourceCelRect(col, row); }
    FRect GetSourceCelRectByIndex(int n) const override { return cels_->GetSourceCelRectByIndex(n); }
    ImageSurface* GetOwnerSurface() override { return parent_->GetOwnerSurface(); }
    // Only the child's own textures go.
    void ReleaseExtraCopies() override { FreeTextures(); }

    ImageSurface* GetParent() const { return parent_; }

private:
    bool HasOwnPixels() const;

    ImageSurface* parent_;
    std::unique_ptr<Image> piece_;  // the piece's cels, for a child made from a piece
    Image* cels_;                   // the image whose cels the child presents: the parent or the piece
};
