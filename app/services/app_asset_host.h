#pragma once
// The application as the asset registry sees it: images decoded as the base
// does, and every declared track's volume registered in the application's
// table of track volumes. Forwards to the application base, which outlives it.

#include "app/assets/asset_host.h"

class VornAppBase;

class AppAssetHost : public AssetHost {
public:
    explicit AppAssetHost(VornAppBase& app) : app_(app) {}
    void RegisterTrackVolume(std::wstring_view volumeName) override;

private:
    VornAppBase& app_;
};
