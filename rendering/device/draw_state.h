#pragma once
// The per-draw device state every draw carries: how source pixels combine
// with the target (the draw mode), a stencil test, a cull flag, an optional
// shader program and an optional view matrix. Copied and compared whole.

#include <cstdint>

#include "foundation/values/matrix4.h"

class DeviceShaderProgram;

enum DrawMode : int {
    kDrawNormal = 0,  // premultiplied alpha
    kDrawAdditive = 1,
    kDrawMultiply = 2,
    kDrawOverlay = 3,
    kDrawSoftlight = 4,
    kDrawSubtractive = 5,
    kDrawStencilSet = 6,  // modes 6..8 write only the stencil buffer
    kDrawStencilClear = 7,
    kDrawStencilInvert = 8,
    kDrawStraightAlpha = 9,  // also used for mode 0 on images without premultiplied pixels
    kDrawOpaque = 10,
};

// What SetupDrawMode is told about the primitives that follow.
enum DrawKind : int {
    kDrawKindUntextured = 0,
    kDrawKindBlit = 1,
    kDrawKindMaskedBlit = 2,
    kDrawKindGridMesh = 3,
};

struct DrawState {
    int mode = kDrawNormal;
    // 0 none; 1 draw only where the stencil value is not 0; 2 only where it is 0.
    int stencilTest = 0;
    // Non-zero: clockwise triangles are culled.
    uint8_t cull = 0;
    DeviceShaderProgram* shader = nullptr;  // null: the fixed pipeline
    // When false the view transform is the identity and `matrix` is unused.
    uint8_t matrixSet = 0;
    Matrix4 matrix;

    bool SameMatrix(const DrawState& o) const {
        return matrixSet == o.matrixSet && (!matrixSet || matrix.Equals(o.matrix));
    }
    bool operator==(const DrawState& o) const {
        return mode == o.mode && stencilTest == o.stencilTest && cull == o.cull && shader == o.shader && SameMatrix(o);
    }
};
