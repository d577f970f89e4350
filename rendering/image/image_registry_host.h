#pragma once
// What rendering asks of the application's image registry: images shared by
// name. A font descriptor's layer image is registered under the file name
// the descriptor gives and borrowed from the registry, so every font naming
// the same page draws from one surface and the page lives as long as the
// registry keeps it, not as long as the font.
//
// Reached through Service<ImageRegistryHost> (foundation/system/service.h).
// While nothing is installed NullImageRegistryHost registers nothing and
// answers null; callers then keep a private copy of what they need.
// Threads: safe from the loading thread (the registry takes its lock).

#include <string_view>

#include "foundation/system/service.h"

class Image;

class ImageRegistryHost {
public:
    ImageRegistryHost() = default;
    virtual ~ImageRegistryHost() = default;
    ImageRegistryHost(const ImageRegistryHost&) = delete;
    ImageRegistryHost& operator=(const ImageRegistryHost&) = delete;

    static ImageRegistryHost& Fallback();

    // The registry's image of that name. When the name is new, the file at
    // `path` is loaded first (one cel, no flags, premultiplied) and registered
    // under it. Null when the file cannot be read. The registry owns the image.
    virtual Image* RegisterImageEntry(std::wstring_view name, std::string_view path) = 0;
};

class NullImageRegistryHost : public ImageRegistryHost {
public:
    Image* RegisterImageEntry(std::wstring_view, std::string_view) override { return nullptr; }
};
