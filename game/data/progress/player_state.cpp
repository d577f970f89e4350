#include "game/data/progress/player_state.h"

#include "game/data/progress/level_assets.h"
#include "game/data/progress/wrapping_add.h"

LevelAssets& LevelAssets::Fallback() {
    static NullLevelAssets none;
    return none;
}

void PlayerState::WriteProfileAttributes(std::wstring& out) {
    out += L' ';
    out += FormatPlayTime();
}

LEVEL* PlayerState::CurrentLevelRecord() {
    if (playLevel_ == nullptr) playLevel_ = FindLevel(playLevelName_);
    return playLevel_;
}

void PlayerState::SetCurrentLevel(std::wstring_view name) {
    if (name == playLevelName_) return;
    if (LEVEL* old = CurrentLevelRecord()) {
        AssetNameSets group;
        CollectLevelResources(*old, group);
        Service<LevelAssets>::Get().UnloadDynamicAssets(group);
    }
    playLevelName_ = std::wstring(name);
    playLevel_ = FindLevel(playLevelName_);
    if (playLevel_ == nullptr) return;
    AssetNameSets group;
    CollectLevelResources(*playLevel_, group);
    Service<LevelAssets>::Get().LoadDynamicAssets(group);
}

void PlayerState::CollectLevelResources(LEVEL& level, AssetNameSets& group) { group.images.insert(level.background); }

void PlayerState::SetMetric(std::wstring_view name, int32_t value, bool add) {
    LEVEL* level = CurrentLevelRecord();
    if (level == nullptr) return;
    int32_t& metric = level->metrics[std::wstring(name)];
    metric = add ? WrappingAdd(metric, value) : value;
}

int32_t PlayerState::GetMetric(std::wstring_view name) {
    LEVEL* level = CurrentLevelRecord();
    if (level == nullptr) return 0;
    const int32_t* metric = level->metrics.Find(name);
    return metric ? *metric : 0;
}
