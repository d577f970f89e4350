#pragma once
// The scratch render targets of the blend-shader draws, shared between the
// drawing context's files. Callers hold the device lock.

class D3DInterface;
class ImageSurface;

// The device's scratch target `index` (0: the image drawn alone, 1: the
// destination's pixels under the draw), made or enlarged to at least w x h;
// null when no image may be that large. The device deletes both when it
// releases itself.
ImageSurface* BlendScratchTarget(D3DInterface& d3d, int index, int w, int h);
