#pragma once
// D3DInterface: the one owner of the graphics device in the process. It
// creates the device for the main window (windowed or full screen), picks the
// display and surface formats, owns the back buffer's image and the two draw
// buffers every frame is drawn into, composes the finished frame into the
// back buffer (letterboxed or stretched) and presents it. It keeps registries
// of every object holding device resources (images, system fonts, shader
// programs) so that a lost device is brought back by a full release and
// re-creation, records the last failed device call in the registry, and
// provides the mouse cursor (hardware, or drawn at present time).
//
// One instance: the constructor stores it in the process-wide pointer
// (Instance), the destructor clears it. Callers must hold GetDeviceLock()
// around every device call they make themselves, and take it before the
// surface-set lock when they need both.
// Threads: the main thread calls everything, except that the cursor thread
// calls SetCursorPos without a lock.

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/system/critical_section.h"
#include "foundation/values/color.h"
#include "foundation/values/matrix4.h"
#include "foundation/values/ratio.h"
#include "foundation/values/rect.h"
#include "platform/gfx/gfx.h"
#include "rendering/device/blend_shader_table.h"
#include "rendering/device/device_host.h"
#include "rendering/device/device_resources.h"
#include "rendering/device/display_layout.h"
#include "rendering/device/draw_state.h"

// Results of D3DInterface::Init.
enum InitResult : int {
    RESULT_OK = 0,
    RESULT_FAIL = 1,
    RESULT_DIRECTX_CREATE_FAIL = 2,
    RESULT_SURFACE_FAIL = 3,
    RESULT_EXCLUSIVE_FAIL = 4,
    RESULT_DISPCHANGE_FAIL = 5,
    RESULT_INVALID_COLORDEPTH = 6,
};

// The vertex every untextured and single-texture draw uses (24 bytes).
struct DeviceVertex {
    float x, y, z;
    uint32_t diffuse;
    float s, t;
};
static_assert(sizeof(DeviceVertex) == 24);

// The shared vertex and index arrays of the drawing operations; they grow to
// the largest draw and are reused (FreeBlitBuffers gives the memory back).
struct BlitBuffers {
    std::vector<DeviceVertex> single;  // one texture coordinate pair
    std::vector<uint8_t> twoTexture;   // 32-byte vertices
    std::vector<uint8_t> grid;         // 36-byte vertices
    std::vector<uint16_t> indices;
    void Free();
};

class D3DInterface {
public:
    using DeviceLock = CriticalSection;

    explicit D3DInterface(DeviceHost* host = Service<DeviceHost>::Installed());
    virtual ~D3DInterface();
    D3DInterface(const D3DInterface&) = delete;
    D3DInterface& operator=(const D3DInterface&) = delete;

    static D3DInterface* Instance();

    // Creates the device; 0 on success, else an InitResult failure with the
    // device not ready.
    int Init(plat::NativeWindow* window, bool windowed, bool stretch);
    static const char* ResultName(int code);
    // Reports the sizes and computes the presentation rectangle.
    void LogDisplayMode(bool stretch);

    DeviceImage* GetDrawBuffer() const { return drawBufferB_.get(); }
    plat::HResult CreateRenderTarget(int width, int height, plat::Format format, plat::Surface** out);

    void AddImage(DeviceImage* image);
    void RemoveImage(DeviceImage* image);
    void AddSysFont(DeviceSysFont* font);
    void RemoveSysFont(DeviceSysFont* font);
    void AddShaderProgram(DeviceShaderProgram* program);
    void RemoveShaderProgram(DeviceShaderProgram* program);

    // Release and recovery.
    void Cleanup();
    void ReleaseDeviceObjects(bool flushOnly);
    void ReleaseDevice();

    // Per-frame presentation; false when nothing could be presented (the
    // application then recovers with Cleanup and Init).
    bool Redraw();
    plat::HResult Present();

    // Cursor.
    bool SetCursorImage(DeviceImage* image, bool* software);
    void SetCursorPos(int x, int y) {
        cursorX_.store(x, std::memory_order_relaxed);
        cursorY_.store(y, std::memory_order_relaxed);
    }
    int DrawnCursorX() const { return drawnCursorX_; }
    int DrawnCursorY() const { return drawnCursorY_; }
    bool IsSoftwareCursor() const { return softwareCursor_; }

    // A new image (owned by the caller) holding a copy of draw buffer B.
    std::unique_ptr<DeviceImage> CaptureScreen();

    // Scenes: every drawing operation calls BeginScene first and draws
    // nothing when it returns false.
    bool BeginScene();
    void EndScene();

    // True when the result is a failure; records "operation: text" as the
    // registry value "Dure3V\RuntimeError".
    bool CheckResult(std::string_view operation, plat::HResult result);

    // Draw state and clipping.
    void SetupDrawMode(int drawKind, bool imagePremultiplied, const DrawState* state);
    void SetClip(const FRect* clip);
    // What every textured draw does first, under one hold of the lock:
    // BeginScene, then SetupDrawMode and SetClip where they would change
    // anything. False, nothing set, when BeginScene fails or there is no device.
    bool BeginTexturedDraw(int drawKind, bool imagePremultiplied, const DrawState& state, const FRect* clip);
    // The device's current view-projection matrix (its view transform times
    // its projection, points as row vectors, as the device keeps them);
    // false, leaving `out` alone, while there is no device.
    bool GetViewProjection(Matrix4* out);

    // Untextured drawing into the current render target.
    void DrawLine(const FRect* clip, const Color* color, const DrawState* state, const std::vector<float>& xy);
    void FillRect(const Color* color, const DrawState* state, const Rect& rect);
    void FillPolygon(const FRect* clip, const Color* color, const DrawState* state, const std::vector<float>& xy,
                     const std::vector<uint16_t>& indices, float dx, float dy);
    void ClearRect(const Rect& rect);
    void ClearStencil();

    // Unbinds the current shader program, if any.
    void DisableShaders();
    // Return one programmable stage to the fixed pipeline.
    void DisablePixelShader();
    void DisableVertexShader();
    // Whether the program is registered (deleted by this wrapper at its end
    // unless its owner deletes it first).
    bool HoldsShaderProgram(const DeviceShaderProgram* program);
    DeviceShaderProgram* CurrentShader() const { return currentShader_; }
    void SetCurrentShader(DeviceShaderProgram* program) { currentShader_ = program; }

    // The render target BeginScene binds; set by DeviceImage::BindRenderTarget.
    void SetRenderTargetImage(DeviceImage* image);
    DeviceImage* GetRenderTargetImage() const { return currentRenderTarget_; }
    // Re-applies the scissor rectangle after the device's render target
    // changed (binding a target resets the device's scissor rectangle), and
    // hands the new projection to the current shader program.
    void RenderTargetChanged();

    void SetImageFactory(std::unique_ptr<DeviceImageFactory> factory);
    // The two shared scratch targets of the blend-shader draws (index 0 or 1),
    // made on demand by the drawing context and deleted with the device.
    void SetScratchRenderTarget(int index, std::unique_ptr<DeviceImage> image) {
        scratchRenderTargets_[index ? 1 : 0] = std::move(image);
    }
    DeviceImage* GetScratchRenderTarget(int index) const { return scratchRenderTargets_[index ? 1 : 0].get(); }
    // The blend-shader table the drawing context composes draw modes with;
    // it lasts as long as this wrapper, across device restarts.
    BlendShaderTable& GetBlendShaders() { return blendShaders_; }

    DeviceLock& GetDeviceLock() { return deviceLock_; }
    plat::Device* GetDevice() const { return device_; }
    bool IsReady() const { return ready_; }
    bool IsWindowed() const { return windowed_; }
    bool ShadersAvailable() const { return shadersAvailable_; }
    const TextureLimits& GetTextureLimits() const { return textureLimits_; }
    plat::Format GetDisplayFormat() const { return displayFormat_; }
    plat::Format GetSurfaceFormat() const { return surfaceFormat_; }
    const plat::DeviceCaps& GetCaps() const { return caps_; }
    unsigned GetRefreshRate() const { return refreshRate_; }
    unsigned GetFrameInterval() const { return frameInterval_; }
    DisplaySize GetDisplaySize() const { return display_; }
    // The desktop's size as the device found it when it was made.
    DisplaySize GetDesktopSize() const { return desktop_; }
    // The shapes of the game's screen and of the desktop, in lowest terms.
    Ratio GetGameAspectRatio() const;
    Ratio GetDesktopAspectRatio() const { return Ratio(desktop_.width, desktop_.height); }
    const DisplayLayout& GetDisplayLayout() const { return layout_; }
    BlitBuffers& GetBlitBuffers() { return blitBuffers_; }
    void FreeBlitBuffers() { blitBuffers_.Free(); }

private:
    int InitDevice(plat::NativeWindow* window, bool windowed, bool stretch);
    bool ChooseFormats();
    void ApplyDefaultStates();
    bool MakeBuffers();
    void CopyImage(DeviceImage& target, DeviceImage& source, const Rect& to, bool filter);
    void DrawSoftwareCursor();
    plat::Texture* CursorTexture(DeviceImage& image);
    void FreeCursors();
    bool BeginUntextured(const FRect* clip, const DrawState* state);
    // Whether the device's states are already those SetupDrawMode would set.
    bool DrawModeHolds(int drawKind, int effectiveMode, const DrawState& state) const {
        return cachedState_.mode == state.mode && cachedState_.stencilTest == state.stencilTest &&
               cachedState_.cull == state.cull && cachedState_.shader == state.shader &&
               cachedState_.SameMatrix(state) && effectiveMode == state.mode &&
               (state.shader || drawKind == lastDrawKindNoShader_);
    }

    DeviceHost* host_;
    DeviceLock deviceLock_;
    DeviceLock surfaceSetLock_;

    plat::GraphicsSystem* direct3d_ = nullptr;
    uint32_t adapter_ = 0;
    plat::Device* device_ = nullptr;
    plat::DeviceCaps caps_;
    plat::Format displayFormat_ = plat::Format::Unknown;
    plat::Format surfaceFormat_ = plat::Format::Unknown;

    std::unique_ptr<DeviceImageFactory> imageFactory_;
    std::unique_ptr<DeviceImage> backBufferImage_;
    std::unique_ptr<DeviceImage> drawBufferA_;
    std::unique_ptr<DeviceImage> drawBufferB_;
    DeviceImage* currentRenderTarget_ = nullptr;
    std::unique_ptr<DeviceImage> scratchRenderTargets_[2];

    int lastDrawKindNoShader_ = -1;
    DisplaySize requested_, desktop_, display_;
    DisplayLayout layout_;
    bool stretchOption_ = false;

    bool scissorOn_ = false;
    FRect lastScissor_;

    unsigned refreshRate_ = 60;
    unsigned frameInterval_ = 16;
    bool ready_ = false;
    bool shadersAvailable_ = false;
    TextureLimits textureLimits_;
    plat::NativeWindow* window_ = nullptr;
    bool windowed_ = true;

    std::set<DeviceImage*> surfaces_;
    std::set<DeviceSysFont*> sysFonts_;
    std::set<DeviceShaderProgram*> shaderPrograms_;
    DeviceShaderProgram* currentShader_ = nullptr;
    // Destroyed after the destructor's body has deleted every registered
    // program and cleared the process-wide pointer, so it deletes nothing twice.
    BlendShaderTable blendShaders_;

    bool sceneOpen_ = false;

    std::atomic<int> cursorX_{0}, cursorY_{0};
    int drawnCursorX_ = 0, drawnCursorY_ = 0;
    DeviceImage* cursorImage_ = nullptr;
    bool softwareCursor_ = false;
    int hotSpotX_ = 0, hotSpotY_ = 0;
    std::map<DeviceImage*, DeviceHost::CursorHandle> cursorCache_;
    std::map<DeviceImage*, plat::Texture*> cursorTextures_;

    DrawState cachedState_;
    BlitBuffers blitBuffers_;
    std::vector<DeviceVertex> lineVertices_;
    std::vector<uint16_t> polygonIndices_;
};
