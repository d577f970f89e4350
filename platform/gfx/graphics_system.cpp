#include "platform/gfx/graphics_system.h"

#include <SDL.h>

#include <algorithm>
#include <utility>

#include "platform/gfx/device.h"
#include "platform/gfx/formats.h"

namespace plat {

namespace {

std::optional<GraphicsConfig>& ConfigOverride() {
    static std::optional<GraphicsConfig> config;
    return config;
}

}  // namespace

GraphicsConfig DefaultGraphicsConfig() {
    AdapterConfig a;
    SDL_DisplayMode dm;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &dm) == 0 && dm.w > 0 && dm.h > 0) {
        a.desktop.width = static_cast<uint32_t>(dm.w);
        a.desktop.height = static_cast<uint32_t>(dm.h);
        a.desktop.refreshRate = dm.refresh_rate > 0 ? static_cast<uint32_t>(dm.refresh_rate) : 60;
    }
    static const uint32_t kSizes[][2] = {{640, 480},   {800, 600},   {1024, 768}, {1280, 720}, {1280, 800},
                                         {1280, 1024}, {1366, 768},  {1440, 900}, {1600, 900}, {1680, 1050},
                                         {1920, 1080}, {1920, 1200}, {2560, 1440}};
    for (Format f : a.displayFormats) {
        bool haveDesktop = false;
        for (const auto& s : kSizes) {
            a.modes.push_back({s[0], s[1], a.desktop.refreshRate, f});
            haveDesktop = haveDesktop || (s[0] == a.desktop.width && s[1] == a.desktop.height);
        }
        if (!haveDesktop) a.modes.push_back({a.desktop.width, a.desktop.height, a.desktop.refreshRate, f});
    }
    GraphicsConfig c;
    c.adapters.push_back(std::move(a));
    return c;
}

GraphicsSystem* GraphicsSystem::Create() {
    const auto& o = ConfigOverride();
    return new GraphicsSystem(o ? *o : DefaultGraphicsConfig());
}

GraphicsSystem* GraphicsSystem::Create(const GraphicsConfig& config) { return new GraphicsSystem(config); }

void GraphicsSystem::SetConfigForTesting(std::optional<GraphicsConfig> config) { ConfigOverride() = std::move(config); }

const AdapterConfig* GraphicsSystem::Adapter(uint32_t index) const {
    return index < config_.adapters.size() ? &config_.adapters[index] : nullptr;
}

HResult GraphicsSystem::CheckDeviceType(uint32_t adapter, Format display, Format backBuffer, bool) const {
    const AdapterConfig* a = Adapter(adapter);
    if (!a) return kErrInvalidCall;
    const auto& f = a->displayFormats;
    if (std::find(f.begin(), f.end(), display) == f.end()) return kErrNotAvailable;
    if (backBuffer != display && !(display == Format::X8R8G8B8 && backBuffer == Format::A8R8G8B8))
        return kErrNotAvailable;
    return kOk;
}

HResult GraphicsSystem::CheckDeviceFormat(uint32_t adapter, Format display, uint32_t usage, ResourceType,
                                          Format check) const {
    const AdapterConfig* a = Adapter(adapter);
    if (!a) return kErrInvalidCall;
    const auto& d = a->displayFormats;
    if (std::find(d.begin(), d.end(), display) == d.end()) return kErrNotAvailable;
    if (usage & kUsageDepthStencil) return check == Format::D24S8 ? kOk : kErrNotAvailable;
    const auto& t = a->textureFormats;
    return std::find(t.begin(), t.end(), check) != t.end() ? kOk : kErrNotAvailable;
}

HResult GraphicsSystem::GetAdapterDisplayMode(uint32_t adapter, DisplayMode* out) const {
    const AdapterConfig* a = Adapter(adapter);
    if (!a || !out) return kErrInvalidCall;
    if (a->displayModeQueryFails) return kErrNotAvailable;
    *out = a->desktop;
    return kOk;
}

uint32_t GraphicsSystem::GetAdapterModeCount(uint32_t adapter, Format format) const {
    const AdapterConfig* a = Adapter(adapter);
    if (!a) return 0;
    return static_cast<uint32_t>(
        std::count_if(a->modes.begin(), a->modes.end(), [format](const DisplayMode& m) { return m.format == format; }));
}

HResult GraphicsSystem::EnumAdapterModes(uint32_t adapter, Format format, uint32_t index, DisplayMode* out) const {
    const AdapterConfig* a = Adapter(adapter);
    if (!a || !out) return kErrInvalidCall;
    for (const DisplayMode& m : a->modes) {
        if (m.format != format) continue;
        if (index-- == 0) {
            *out = m;
            return kOk;
        }
    }
    return kErrInvalidCall;
}

HResult GraphicsSystem::GetDeviceCaps(uint32_t adapter, DeviceCaps* out) const {
    const AdapterConfig* a = Adapter(adapter);
    if (!a || !out) return kErrInvalidCall;
    *out = a->caps;
    return kOk;
}

HResult GraphicsSystem::CreateDevice(uint32_t adapter, NativeWindow* focus, uint32_t behaviorFlags,
                                     PresentParams* params, Device** out) {
    const AdapterConfig* a = Adapter(adapter);
    if (!a || !params || !out) return kErrInvalidCall;
    *out = nullptr;
    if (a->deviceCreationFails) return kErrNotAvailable;
    if (!(behaviorFlags & (kCreateHardwareVertexProcessing | kCreateSoftwareVertexProcessing))) return kErrInvalidCall;
    NativeWindow* window = params->window ? params->window : focus;
    PresentParams p = *params;
    p.window = window;
    if (p.windowed && (p.backBufferWidth == 0 || p.backBufferHeight == 0) && window) {
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        if (p.backBufferWidth == 0) p.backBufferWidth = static_cast<uint32_t>(std::max(w, 1));
        if (p.backBufferHeight == 0) p.backBufferHeight = static_cast<uint32_t>(std::max(h, 1));
    }
    if (p.backBufferWidth == 0 || p.backBufferHeight == 0) return kErrInvalidCall;
    if (Failed(CheckDeviceType(adapter, p.backBufferFormat, p.backBufferFormat, p.windowed))) return kErrInvalidCall;
    if (!p.windowed) {
        // Full screen needs a mode the adapter offers.
        bool found = std::any_of(a->modes.begin(), a->modes.end(), [&p](const DisplayMode& m) {
            return m.format == p.backBufferFormat && m.width == p.backBufferWidth && m.height == p.backBufferHeight;
        });
        if (!found) return kErrInvalidCall;
    }
    Device* d = Device::Create(*a, p);
    if (!d) return kErrOutOfVideoMemory;
    params->backBufferWidth = p.backBufferWidth;
    params->backBufferHeight = p.backBufferHeight;
    *out = d;
    return kOk;
}

}  // namespace plat
