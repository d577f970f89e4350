#pragma once
// How a player state loads and unloads the assets of the level it switches
// to, without knowing the asset registries: the game application implements
// this over its registries (each call with no cancel flag and the ordinary
// bookkeeping of dynamically loaded names) and installs it with
// ScopedService<LevelAssets>. While nothing is installed, switching levels
// loads and unloads nothing.

#include "foundation/system/service.h"
#include "widgets/script/animation_stats.h"

class LevelAssets {
public:
    virtual ~LevelAssets() = default;
    // Loads every member of the group that is not loaded yet.
    virtual void LoadDynamicAssets(const AssetNameSets& group) = 0;
    // Unloads every member of the group.
    virtual void UnloadDynamicAssets(const AssetNameSets& group) = 0;

    static LevelAssets& Fallback();
};

class NullLevelAssets : public LevelAssets {
public:
    void LoadDynamicAssets(const AssetNameSets&) override {}
    void UnloadDynamicAssets(const AssetNameSets&) override {}
};
