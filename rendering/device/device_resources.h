#pragma once
// What the device wrapper needs of the objects that hold device resources:
// images (the image family), system fonts and shader programs. The device
// keeps a registry of each so that all of them give up their device objects
// before the device is released and take them back after it is made again.
//
// An implementation registers itself with D3DInterface (AddImage,
// AddSysFont, AddShaderProgram) when it is made and unregisters before it is
// gone. The device calls these operations with its device lock held; they
// must not delete other registered objects.

#include <cstdint>
#include <memory>
#include <string>

namespace plat {
class Surface;
}

// An image as the device sees it: its pixels in system memory or on the
// device, and the one operation that makes it the render target.
class DeviceImage {
public:
    virtual ~DeviceImage() = default;

    virtual const std::wstring& GetImageName() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    // The size of one cel (the cursor is drawn at this size).
    virtual int GetCelWidth() const = 0;
    virtual int GetCelHeight() const = 0;
    virtual bool IsPremultiplied() const = 0;

    // The system pixels (GetWidth x GetHeight ARGB words), read back from the
    // device when needed; null when there are none to be had (packed cels, or
    // a locked image without a copy in memory).
    virtual uint32_t* GetBits() = 0;
    // The device surface, made on demand; null when none can be made.
    virtual plat::Surface* GetD3DSurface() = 0;
    // Makes this image the render target (surface, viewport, projection) and
    // tells the device (D3DInterface::SetRenderTargetImage, then
    // D3DInterface::RenderTargetChanged); false on failure.
    virtual bool BindRenderTarget() = 0;
    // Clears every pixel to transparent black.
    virtual void Clear() = 0;

    // Residency, driven by the device's release and recovery.
    virtual void CommitBits() = 0;
    virtual void MoveToSystemMemory() = 0;
    virtual void ReleaseExtraCopies() = 0;
};

// Makes the device's own images: the back buffer's wrapper, the draw buffers
// and screen captures. The image family installs a factory that makes its
// image surfaces (D3DInterface::SetImageFactory); until then the device uses
// plain surface wrappers.
class DeviceImageFactory {
public:
    virtual ~DeviceImageFactory() = default;
    // Wraps the device back buffer; the image never moves its pixels to
    // system memory. The image takes its own reference on the surface.
    virtual std::unique_ptr<DeviceImage> WrapBackBuffer(plat::Surface* backBuffer) = 0;
    // A render-target image of the given size, flagged like the back buffer.
    virtual std::unique_ptr<DeviceImage> CreateDrawBuffer(int width, int height) = 0;
    // A plain image holding a copy of the given pixels (width x height ARGB,
    // premultiplied, as the device holds them); it draws as premultiplied.
    virtual std::unique_ptr<DeviceImage> CreateImage(int width, int height, const uint32_t* argb) = 0;
};

// A system font: gives up its device font on device loss and makes it again
// on next use.
class DeviceSysFont {
public:
    virtual ~DeviceSysFont() = default;
    virtual void ReleaseDeviceFont() = 0;
};

// A shader program: bound by D3DInterface::SetupDrawMode, released on device
// loss and created again on its next Apply.
class DeviceShaderProgram {
public:
    virtual ~DeviceShaderProgram() = default;
    virtual void Apply() = 0;
    virtual void Release() = 0;
};
