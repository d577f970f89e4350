#pragma once
// Plain value types shared by the graphics device: pixel formats, rectangles,
// viewports, display modes, device capabilities and the enumerations of
// render, sampler and texture-stage states, with its result codes from
// result_codes.h. The numeric values of formats are the published ones the
// engine stores and compares.

#include <cstdint>

#include "platform/system/result_codes.h"

namespace plat {

enum class Format : uint32_t {
    Unknown = 0,
    A8R8G8B8 = 21,
    X8R8G8B8 = 22,
    R5G6B5 = 23,
    A4R4G4B4 = 26,
    D24S8 = 75,
};

enum class Pool : uint32_t { Default = 0, Managed = 1, SystemMem = 2 };

// Usage bits of textures and surfaces.
constexpr uint32_t kUsageRenderTarget = 0x1;
constexpr uint32_t kUsageDepthStencil = 0x2;
constexpr uint32_t kUsageDynamic = 0x200;

enum class ResourceType : uint32_t { Surface = 1, Texture = 3 };

// LockRect flags.
constexpr uint32_t kLockReadOnly = 0x10;
constexpr uint32_t kLockDiscard = 0x2000;

// Clear flags.
constexpr uint32_t kClearTarget = 0x1;
constexpr uint32_t kClearZBuffer = 0x2;
constexpr uint32_t kClearStencil = 0x4;

// Flexible vertex format bits; the layout follows the bit order:
// position, normal, diffuse, texture coordinate pairs.
constexpr uint32_t kFvfXyz = 0x002;
constexpr uint32_t kFvfNormal = 0x010;
constexpr uint32_t kFvfDiffuse = 0x040;
constexpr uint32_t kFvfTex1 = 0x100;
constexpr uint32_t kFvfTex2 = 0x200;

enum class PrimitiveType : uint32_t {
    PointList = 1,
    LineList = 2,
    LineStrip = 3,
    TriangleList = 4,
    TriangleStrip = 5,
    TriangleFan = 6,
};

enum class IndexFormat : uint32_t { Index16 = 101 };

enum class TextureFilter : uint32_t { None = 0, Point = 1, Linear = 2 };

enum class TransformState : uint32_t { View = 2, Projection = 3, World = 256 };

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct Point {
    int32_t x = 0, y = 0;
};

struct LockedRect {
    int32_t pitch = 0;
    void* bits = nullptr;
};

struct Viewport {
    uint32_t x = 0, y = 0, width = 0, height = 0;
    float minZ = 0.0f, maxZ = 1.0f;
};

struct DisplayMode {
    uint32_t width = 0, height = 0, refreshRate = 0;
    Format format = Format::Unknown;
};

struct SurfaceDesc {
    Format format = Format::Unknown;
    ResourceType type = ResourceType::Surface;
    uint32_t usage = 0;
    Pool pool = Pool::Default;
    uint32_t width = 0, height = 0;
};

// What a device can do. Shader versions are packed as (major << 8) | minor.
constexpr uint32_t kShaderVersionNone = 0;
constexpr uint32_t kShaderVersion2 = 0x0200;

struct DeviceCaps {
    bool hardwareTransformAndLight = true;
    bool texturePow2Only = false;
    bool textureNonPow2Conditional = false;
    uint32_t maxTextureWidth = 4096;
    uint32_t maxTextureHeight = 4096;
    uint32_t maxTextureAspectRatio = 0;  // 0: no limit
    uint32_t maxTextureBlendStages = 8;
    uint32_t maxSimultaneousTextures = 2;
    uint32_t vertexShaderVersion = kShaderVersion2;
    uint32_t pixelShaderVersion = kShaderVersion2;
};

enum class RenderState : uint32_t {
    ZEnable,
    ZWriteEnable,
    AlphaTestEnable,
    SrcBlend,
    DestBlend,
    CullMode,
    DitherEnable,
    AlphaBlendEnable,
    SpecularEnable,
    StencilEnable,
    StencilFail,
    StencilZFail,
    StencilPass,
    StencilFunc,
    StencilRef,
    StencilMask,
    StencilWriteMask,
    Lighting,
    BlendOp,
    ScissorTestEnable,
    AntialiasedLineEnable,
    SeparateAlphaBlendEnable,
    SrcBlendAlpha,
    DestBlendAlpha,
    BlendOpAlpha,
    Count
};

enum class Blend : uint32_t {
    Zero = 1,
    One = 2,
    SrcColor = 3,
    InvSrcColor = 4,
    SrcAlpha = 5,
    InvSrcAlpha = 6,
    DestAlpha = 7,
    InvDestAlpha = 8,
    DestColor = 9,
    InvDestColor = 10,
    SrcAlphaSat = 11,
};

enum class BlendOp : uint32_t { Add = 1, Subtract = 2, RevSubtract = 3, Min = 4, Max = 5 };

enum class Cull : uint32_t { None = 1, Clockwise = 2, CounterClockwise = 3 };

enum class Compare : uint32_t {
    Never = 1,
    Less = 2,
    Equal = 3,
    LessEqual = 4,
    Greater = 5,
    NotEqual = 6,
    GreaterEqual = 7,
    Always = 8,
};

enum class StencilOp : uint32_t {
    Keep = 1,
    Zero = 2,
    Replace = 3,
    IncrSat = 4,
    DecrSat = 5,
    Invert = 6,
    Incr = 7,
    Decr = 8,
};

enum class SamplerState : uint32_t { AddressU, AddressV, MagFilter, MinFilter, MipFilter, Count };

enum class TextureAddress : uint32_t { Wrap = 1, Clamp = 3 };

enum class StageState : uint32_t { ColorOp, ColorArg1, ColorArg2, AlphaOp, AlphaArg1, AlphaArg2, Count };

enum class StageOp : uint32_t {
    Disable = 1,
    SelectArg1 = 2,
    SelectArg2 = 3,
    Modulate = 4,
    Add = 7,
};

enum class StageArg : uint32_t { Diffuse = 0, Current = 1, Texture = 2 };

constexpr int kMaxTextureStages = 2;

}  // namespace plat
