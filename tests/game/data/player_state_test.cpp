#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/expression/localization_map.h"
#include "game/data/progress/level_assets.h"
#include "game/data/progress/my_localization.h"
#include "game/data/progress/player_state.h"
#include "tests/game/data/catalogue_test_support.h"

namespace {

// Records every group handed to the registries, in order.
class AssetRecorder : public NullLevelAssets {
public:
    void LoadDynamicAssets(const AssetNameSets& group) override { calls.push_back({true, group.images}); }
    void UnloadDynamicAssets(const AssetNameSets& group) override { calls.push_back({false, group.images}); }

    struct Call {
        bool load;
        std::set<std::wstring> images;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls;

private:
    ScopedService<LevelAssets> installed_{this};
};

// A player owning two plain levels.
class TwoLevelPlayer : public PlayerState {
public:
    TwoLevelPlayer() {
        for (const wchar_t* name : {L"bay", L"cove"}) {
            auto level = std::make_unique<LEVEL>();
            level->name = name;
            level->background = std::wstring(name) + L"_sky";
            levels_[name] = std::move(level);
        }
    }
    void WriteLevels(std::wstring&, const std::wstring&) override {}
    void CopyLevelsFrom(const LevelStats&) override {}
    LEVEL* FindLevel(std::wstring_view name) override {
        ++lookups;
        auto it = levels_.find(std::wstring(name));
        return it == levels_.end() ? nullptr : it->second.get();
    }
    LEVEL& Level(const wchar_t* name) { return *levels_.at(name); }

    int lookups = 0;

private:
    std::map<std::wstring, std::unique_ptr<LEVEL>> levels_;
};

using Call = AssetRecorder::Call;

TEST(PlayerStateLevels, SwitchingUnloadsTheOldLevelsAssetsAndLoadsTheNewOnes) {
    AssetRecorder assets;
    TwoLevelPlayer player;
    player.SetCurrentLevel(L"bay");
    EXPECT_EQ(assets.calls, (std::vector<Call>{{true, {L"bay_sky"}}}));
    player.SetCurrentLevel(L"bay");  // already current: nothing
    EXPECT_EQ(assets.calls.size(), 1u);
    player.SetCurrentLevel(L"cove");
    EXPECT_EQ(assets.calls, (std::vector<Call>{{true, {L"bay_sky"}}, {false, {L"bay_sky"}}, {true, {L"cove_sky"}}}));
    EXPECT_EQ(player.CurrentLevelRecord(), &player.Level(L"cove"));
}

TEST(PlayerStateLevels, SwitchingToAnUnknownNameUnloadsAndLeavesNoLevel) {
    AssetRecorder assets;
    TwoLevelPlayer player;
    player.SetCurrentLevel(L"cove");
    player.SetCurrentLevel(L"atlantis");
    EXPECT_EQ(assets.calls, (std::vector<Call>{{true, {L"cove_sky"}}, {false, {L"cove_sky"}}}));
    EXPECT_EQ(player.CurrentLevelName(), L"atlantis");
    EXPECT_EQ(player.CurrentLevelRecord(), nullptr);
    // Leaving a level that never existed has nothing to unload.
    player.SetCurrentLevel(L"bay");
    EXPECT_EQ(assets.calls.back(), (Call{true, {L"bay_sky"}}));
    EXPECT_EQ(assets.calls.size(), 3u);
}

TEST(PlayerStateMetrics, AddingStartsAtZeroAndNoLevelReadsZeroAndIgnoresWrites) {
    TwoLevelPlayer player;
    player.SetMetric(L"visitors", 5, true);  // no current level: dropped
    EXPECT_EQ(player.GetMetric(L"visitors"), 0);
    player.SetCurrentLevel(L"bay");
    player.SetMetric(L"visitors", 5, true);
    player.SetMetric(L"visitors", 5, true);
    EXPECT_EQ(player.GetMetric(L"visitors"), 10);
    player.SetMetric(L"visitors", 3, false);
    EXPECT_EQ(player.Level(L"bay").metrics.Entries().at(L"visitors"), 3);
    EXPECT_EQ(player.GetMetric(L"absent"), 0);
    // A sum past the int range wraps as the stored 32-bit counter does.
    player.SetMetric(L"cash", 2147483647, false);
    player.SetMetric(L"cash", 1, true);
    EXPECT_EQ(player.GetMetric(L"cash"), -2147483647 - 1);
}

TEST(PlayerStateProfile, AttributesFollowOneBlank) {
    TwoLevelPlayer player;
    player.hours_ = 2;
    std::wstring out = L"<profile";
    player.WriteProfileAttributes(out);
    EXPECT_EQ(out, L"<profile " + player.FormatPlayTime());
}

class Localisation : public CatalogueTest {};

TEST_F(Localisation, LoadFillsTheTableAndDestroyingTheCatalogueEmptiesIt) {
    LocalizationMap().clear();
    WriteProperty("localization.xml", R"(<strings><pair tag="intro" title="Hi" text="A[br]B"/>
        <id tag="time_separator" value=", "/></strings>)");
    {
        MyLocalization texts;
        texts.Load();
        EXPECT_TRUE(texts.IsLoaded());
        EXPECT_EQ(LocalizeLookup(L"intro_text"), L"A\nB");
        EXPECT_EQ(LocalizeLookup(L"time_separator"), L", ");
    }
    EXPECT_TRUE(LocalizationMap().empty());
}

}  // namespace
