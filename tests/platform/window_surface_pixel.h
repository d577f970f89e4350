#pragma once
// Reads one pixel of an SDL window's surface as 0xRRGGBB, whatever the
// surface's format: how the window tests see what a present put on screen.
#include <SDL.h>

#include <cstdint>
#include <cstring>

namespace testsupport {

inline uint32_t WindowSurfacePixel(SDL_Surface* shown, int x, int y) {
    uint32_t raw = 0;
    SDL_LockSurface(shown);
    std::memcpy(&raw, static_cast<uint8_t*>(shown->pixels) + y * shown->pitch + x * shown->format->BytesPerPixel,
                shown->format->BytesPerPixel);
    SDL_UnlockSurface(shown);
    uint8_t r, g, b;
    SDL_GetRGB(raw, shown->format, &r, &g, &b);
    return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}

}  // namespace testsupport
