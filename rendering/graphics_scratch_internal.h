#pragma once
// The scratch render targets of the blend-shader draws, shared between the
// drawing context's files. Callers hold the device lock.

class D3DInterface;
class ImageSurface;

// The device's first scratch target, made or enlarged to at least w x h.
ImageSurface* BlendScratchTarget(D3DInterface& d3d, int w, int h);
// The second one (the destination's pixels under the draw), likewise.
ImageSurface* BlendBackgroundTarget(int w, int h);
// Deletes the second one; the device deletes the first with its objects.
void FreeBlendBackgroundTarget();
