#pragma once
// The seam between the application and its asset registries: what the lower
// layers ask by name (an image's property interface, a sound's or a track's
// id) the application answers from whichever registries are plugged in here.
// Without registries nothing is found (null, -1).
// Threads: the registries' own locks make lookups safe from the loading thread.

#include <string_view>

class ExtendedPropertyInterface;

class AssetLookup {
public:
    virtual ~AssetLookup() = default;
    virtual ExtendedPropertyInterface* FindImage(std::wstring_view name) = 0;
    virtual int FindSound(std::wstring_view name) = 0;
    virtual int FindTrack(std::wstring_view name) = 0;
};
