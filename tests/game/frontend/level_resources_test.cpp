// The shipped parks' resources through the real asset registry: what a
// player state asks for when a level becomes current is declared to wait for
// its level, loads whole (the buildings as atlas pieces that know each cel's
// visible box), and leaves again when the level does, while the pictures the
// whole game shares stay.
#include <gtest/gtest.h>

#include "app/assets/asset_manager.h"
#include "app/assets/asset_registry.h"
#include "foundation/expression/constants.h"
#include "foundation/expression/constants_map.h"
#include "foundation/system/text.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/data/progress/kivra_player_state.h"
#include "game/park/grid/park_tile_materials.h"
#include "rendering/image/image.h"
#include "tests/app/asset_test_support.h"

namespace {

TEST(ShippedLevelResources, EachParkLoadsItsPicturesWithTheirBoxesAndUnloadsThemWithTheLevel) {
    testsupport::CurrentDirectoryGuard cwd(HALVARO_SOURCE_DIR "/data");
    testsupport::SoundLoadRecorder sounds;
    testsupport::RecordingTracks tracks;
    testsupport::LoadingStepCounter steps;
    ParkTileMaterials materials;
    ScopedService<TileMaterials> installed(&materials);
    ConstantsMap().clear();
    Constants constants;
    KivraItemStats items;
    items.Load();
    KivraLevelStats levels;
    levels.Load();
    AssetRegistry registry;
    { AssetManager intro(registry, true); }
    { AssetManager game(registry, false); }
    ASSERT_NE(registry.FindImageByName(L"tile_materials"), nullptr);  // shared: loaded at start

    KivraPlayerState player;
    for (const wchar_t* name : {L"maple_green", L"saltwind_bay"}) {
        SCOPED_TRACE(text::ToUtf8(name));
        KIVRA_LEVEL* level = levels.FindParkLevel(name);
        ASSERT_NE(level, nullptr);
        AssetNameSets group;
        player.CollectLevelResources(*level, group);
        ASSERT_FALSE(group.images.empty());
        // Nothing of the level is there before it is loaded...
        for (const std::wstring& image : group.images) EXPECT_EQ(registry.FindImageByName(image), nullptr);
        registry.LoadDynamicAssets(group, nullptr);
        // ...then every picture is, each building with a visible box per cel
        // inside the cel, and the level's music was asked for.
        for (const std::wstring& image : group.images) {
            Image* loaded = registry.FindImageByName(image);
            ASSERT_NE(loaded, nullptr) << text::ToUtf8(image);
            if (!dynamic_cast<BUILDING_TYPE*>(FindRecordByName(&items, image))) continue;
            for (int cel = 0; cel < loaded->GetCelCount(); ++cel) {
                FRect box;
                ASSERT_TRUE(loaded->GetCelBox(cel, &box)) << text::ToUtf8(image);
                EXPECT_GT(box.w * box.h, 0.0f);
                EXPECT_GE(box.x, 0.0f);
                EXPECT_GE(box.y, 0.0f);
                EXPECT_LE(box.x + box.w, static_cast<float>(loaded->GetCelWidth()));
                EXPECT_LE(box.y + box.h, static_cast<float>(loaded->GetCelHeight()));
            }
        }
        bool music = false;
        for (const auto& load : tracks.loads) music |= load.path.find(text::ToUtf8(name) + "_bgm") != std::string::npos;
        EXPECT_TRUE(music);
        registry.UnloadDynamicAssets(group, nullptr);
        for (const std::wstring& image : group.images)
            EXPECT_EQ(registry.FindImageByName(image), nullptr) << text::ToUtf8(image);
        EXPECT_NE(registry.FindImageByName(L"tile_materials"), nullptr);
        EXPECT_NE(registry.FindImageByName(L"hud_btn_build"), nullptr);
    }
    ConstantsMap().clear();
}

}  // namespace
