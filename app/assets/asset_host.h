#pragma once
// What the asset registry asks of the application beyond the services every
// layer reaches (the sound manager, the music interface and the loading-step
// counter, all through Service<X>): making an image from a record of
// assets.xml, and keeping the per-name music volumes.
//
// The base class is complete: it decodes the record's file through the image
// files of rendering, and leaves music volumes alone. The application
// overrides what it keeps itself (its table of track volumes); tests
// override the image loading to count or refuse loads.
// Threads: called from the main thread and the loading thread, possibly at
// once, and for group loads with the image lock held: it must not take a
// registry lock itself.

#include <memory>
#include <string_view>

#include "app/assets/asset_records.h"

class ImageSurface;

class AssetHost {
public:
    AssetHost() = default;
    virtual ~AssetHost() = default;
    AssetHost(const AssetHost&) = delete;
    AssetHost& operator=(const AssetHost&) = delete;

    // A new image of the record's file with its cel grid, flags and atlas
    // pieces; null when the file cannot be read.
    virtual std::unique_ptr<ImageSurface> LoadImageFile(const ImageRecord& record);
    // Called for every track assets.xml declares, with its volume name.
    virtual void RegisterTrackVolume(std::wstring_view /*volumeName*/) {}
};
