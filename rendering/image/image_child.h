#pragma once
// ImageChild: a surface of its own that presents its parent's cel geometry
// (cel sizes, cel records, pixels for hit tests). Made by Duplicate; the
// parent is not owned and must outlive the child. Drawing thread only.

#include "rendering/image/image_surface.h"

class ImageChild : public ImageSurface {
public:
    explicit ImageChild(ImageSurface* parent);

    int GetCelWidth() const override { return parent_->GetCelWidth(); }
    int GetCelHeight() const override { return parent_->GetCelHeight(); }
    int GetSourceCelWidth() const override { return parent_->GetSourceCelWidth(); }
    int GetSourceCelHeight() const override { return parent_->GetSourceCelHeight(); }
    int GetCelCount() const override { return parent_->GetCelCount(); }
    ImageSurface* ResolveCel(int cel, float* x, float* y, FRect* source, Matrix4* matrix) override;
    uint32_t GetPixel(int x, int y, int cel) override { return parent_->GetPixel(x, y, cel); }
    bool IsPlain() const override { return parent_->IsPlain(); }
    Image* Duplicate() override { return new ImageChild(this); }
    Rect GetCelRect(int col, int row) const override { return parent_->GetCelRect(col, row); }
    Rect GetCelRectByIndex(int n) const override { return parent_->GetCelRectByIndex(n); }
    FRect GetSourceCelRect(int col, int row) const override { return parent_->GetSourceCelRect(col, row); }
    FRect GetSourceCelRectByIndex(int n) const override { return parent_->GetSourceCelRectByIndex(n); }
    ImageSurface* GetOwnerSurface() override { return parent_->GetOwnerSurface(); }
    // Only the child's own textures go.
    void ReleaseExtraCopies() override { FreeTextures(); }

    ImageSurface* GetParent() const { return parent_; }

private:
    ImageSurface* parent_;
};
