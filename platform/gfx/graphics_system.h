#pragma once
// The graphics system: adapters with their display modes, formats and
// capabilities, and device creation. What the adapters report comes from a
// GraphicsConfig, so tests can describe any machine (power-of-two-only
// textures, small texture limits, odd refresh rates, a failing display-mode
// query). Modes enumerate in the order the configuration lists them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/gfx_types.h"
#include "platform/gfx/resources.h"

struct SDL_Window;

namespace plat {

using NativeWindow = SDL_Window;
class Device;

struct AdapterConfig {
    std::string description = "Software rasterizer";
    std::vector<Format> displayFormats{Format::X8R8G8B8, Format::R5G6B5};
    std::vector<Format> textureFormats{Format::A8R8G8B8, Format::X8R8G8B8, Format::R5G6B5, Format::A4R4G4B4};
    std::vector<DisplayMode> modes;  // any format; filtered per query
    DisplayMode desktop{1024, 768, 60, Format::X8R8G8B8};
    bool displayModeQueryFails = false;
    bool deviceCreationFails = false;
    DeviceCaps caps;
    uint32_t textureMemory = 256u << 20;
};

struct GraphicsConfig {
    std::vector<AdapterConfig> adapters;
};

// One adapter with the desktop as SDL reports it (1024 x 768 at 60 Hz when
// SDL's video is not running) and the usual modes in both display formats.
GraphicsConfig DefaultGraphicsConfig();

constexpr uint32_t kCreateMultithreaded = 0x4;
constexpr uint32_t kCreateSoftwareVertexProcessing = 0x20;
constexpr uint32_t kCreateHardwareVertexProcessing = 0x40;

// PresentParams::flags: the back buffer may be locked.
constexpr uint32_t kPresentLockableBackBuffer = 0x1;

enum class SwapEffect : uint32_t { Discard = 1, Flip = 2, Copy = 3 };

struct PresentParams {
    uint32_t backBufferWidth = 0, backBufferHeight = 0;  // 0: the window's size (windowed)
    Format backBufferFormat = Format::X8R8G8B8;
    uint32_t backBufferCount = 1;
    SwapEffect swapEffect = SwapEffect::Discard;
    NativeWindow* window = nullptr;  // may be null: frames are only kept in memory
    bool windowed = true;
    bool autoDepthStencil = false;
    Format autoDepthStencilFormat = Format::D24S8;
    uint32_t flags = 0;
    uint32_t refreshRate = 0;
    uint32_t presentationInterval = 0;
};

class GraphicsSystem : public RefCounted {
public:
    // With the configuration set by SetConfigForTesting, else the default one.
    static GraphicsSystem* Create();
    static GraphicsSystem* Create(const GraphicsConfig& config);
    // Makes every later Create() use `config` (nullopt restores the default);
    // for tests of code that creates its own graphics system.
    static void SetConfigForTesting(std::optional<GraphicsConfig> config);

    uint32_t GetAdapterCount() const { return static_cast<uint32_t>(config_.adapters.size()); }
    HResult CheckDeviceType(uint32_t adapter, Format display, Format backBuffer, bool windowed) const;
    HResult CheckDeviceFormat(uint32_t adapter, Format display, uint32_t usage, ResourceType type, Format check) const;
    HResult GetAdapterDisplayMode(uint32_t adapter, DisplayMode* out) const;
    uint32_t GetAdapterModeCount(uint32_t adapter, Format format) const;
    HResult EnumAdapterModes(uint32_t adapter, Format format, uint32_t index, DisplayMode* out) const;
    HResult GetDeviceCaps(uint32_t adapter, DeviceCaps* out) const;
    HResult CreateDevice(uint32_t adapter, NativeWindow* focus, uint32_t behaviorFlags, PresentParams* params,
                         Device** out);

private:
    explicit GraphicsSystem(GraphicsConfig config) : config_(std::move(config)) {}
    const AdapterConfig* Adapter(uint32_t index) const;

    GraphicsConfig config_;
};

}  // namespace plat
