// The registries: dynamic groups, the intro release, font pages, and lookups
// while another thread loads and unloads.
#include <gtest/gtest.h>

#include <thread>

#include "app/assets/asset_manager.h"
#include "app/assets/asset_registry.h"
#include "rendering/font/image_font.h"
#include "rendering/image/image_atlas_region.h"
#include "rendering/image/image_surface.h"
#include "tests/app/asset_test_support.h"

using namespace testsupport;

namespace {

// Counts the files it is asked to load.
class CountingHost : public AssetHost {
public:
    std::unique_ptr<ImageSurface> LoadImageFile(const ImageRecord& record) override {
        ++loads;
        return AssetHost::LoadImageFile(record);
    }
    std::atomic<int> loads{0};
};

class AssetRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.Png("images/levels/Farm.png", 32, 16);
        folder.Png("images/levels/Field.png", 4, 4);
        folder.Png("images/Logo.png", 4, 4);
        sounds.files = {"sounds/levels/moo", "sounds/whoosh"};
        tracks.files = {"music/levels/farm.ogg"};
        folder.AssetsXml(R"(<dynamic path="levels"/>
          <intro><image name="Logo" path="images"/><sound name="whoosh" path="sounds"/></intro>
          <game>
            <image name="Farm" path="images/levels">
              <piece name="Cow"><frame width="8" height="8" dest-offset-x="0" dest-offset-y="0"
                source-x="0" source-y="0" source-width="8" source-height="8"/></piece>
              <piece name="Barn"><frame width="16" height="16" dest-offset-x="0" dest-offset-y="0"
                source-x="8" source-y="0" source-width="16" source-height="16"/></piece>
            </image>
            <image name="Field" path="images/levels"/>
            <sound name="moo" path="sounds/levels"/>
            <track name="farm" path="music/levels"/>
            <alias name="Pasture" image="Field"/>
          </game>)");
        AssetManager intro(registry, true);
        fileCount = intro.GetFileCount();
        AssetManager game(registry, false);
    }

    AssetFolder folder;
    SoundLoadRecorder sounds;
    RecordingTracks tracks;
    LoadingStepCounter steps;
    CountingHost host;
    AssetRegistry registry{&host};
    int fileCount = -1;
};

TEST_F(AssetRegistryTest, DynamicAssetsWaitForTheirGroupAndAPieceLoadsItsWholeAtlas) {
    EXPECT_EQ(fileCount, 0);
    EXPECT_EQ(steps.steps, 0);
    EXPECT_EQ(registry.FindImageByName(L"Cow"), nullptr);
    EXPECT_EQ(registry.FindSoundId(L"moo"), -1);
    const int loadsBefore = host.loads;

    AssetNameSets group;
    group.images = {L"Barn", L"Field"};
    group.sounds = {L"moo"};
    group.tracks = {L"farm"};
    registry.LoadDynamicAssets(group, nullptr);
    EXPECT_EQ(host.loads - loadsBefore, 2);
    auto* cow = dynamic_cast<ImageAtlasPiece*>(registry.FindImageByName(L"Cow"));
    ASSERT_NE(cow, nullptr);
    EXPECT_EQ(cow->GetAtlas(), registry.FindImageByName(L"Farm"));
    EXPECT_NE(registry.FindImageByName(L"Barn"), nullptr);
    EXPECT_GT(registry.FindSoundId(L"moo"), 0);
    EXPECT_GT(registry.FindTrackId(L"farm"), 0);

    // A second load finds everything there and loads nothing.
    registry.LoadDynamicAssets(group, nullptr);
    EXPECT_EQ(host.loads - loadsBefore, 2);

    const int moo = registry.FindSoundId(L"moo");
    registry.UnloadDynamicAssets(group, nullptr);
    for (const wchar_t* name : {L"Farm", L"Cow", L"Barn", L"Field"})
        EXPECT_EQ(registry.FindImageByName(name), nullptr) << name;
    EXPECT_EQ(registry.FindSoundId(L"moo"), -1);
    EXPECT_EQ(registry.FindTrackId(L"farm"), -1);
    EXPECT_EQ(sounds.released, std::vector<int>{moo});
    EXPECT_EQ(tracks.unloaded.size(), 1u);
}

TEST_F(AssetRegistryTest, UnloadingAnImageTakesItsAliasWithIt) {
    // "Field" was not loaded when the game pass resolved the alias: the alias is absent.
    EXPECT_EQ(registry.FindImageByName(L"Pasture"), nullptr);
    AssetNameSets group;
    group.images = {L"Field"};
    registry.LoadDynamicAssets(group, nullptr);
    registry.ResolveAliases();
    ASSERT_NE(registry.FindImageByName(L"Pasture"), nullptr);
    registry.UnloadDynamicAssets(group, nullptr);
    // No name is left pointing at the deleted image.
    EXPECT_EQ(registry.FindImageByName(L"Pasture"), nullptr);
}

TEST_F(AssetRegistryTest, CancelFlagStopsTheGroupBeforeTheNextMember) {
    AssetNameSets group;
    group.images = {L"Field"};
    group.sounds = {L"moo"};
    std::atomic<bool> cancel{true};
    registry.LoadDynamicAssets(group, &cancel);
    EXPECT_EQ(registry.FindImageByName(L"Field"), nullptr);
    EXPECT_EQ(registry.FindSoundId(L"moo"), -1);
}

TEST_F(AssetRegistryTest, AssetsMatchingAPatternCollectDeferredNamesAndTheAtlasOfPieces) {
    AssetNameSets group;
    registry.CollectAssetsMatching(L"a", group);
    EXPECT_EQ(group.images, (std::set<std::wstring>{L"Farm"}));  // Farm itself, and Barn's atlas
    EXPECT_EQ(group.tracks, (std::set<std::wstring>{L"farm"}));
    EXPECT_TRUE(group.sounds.empty());
    AssetNameSets cows;
    registry.CollectAssetsMatching(L"Cow", cows);
    EXPECT_EQ(cows.images, (std::set<std::wstring>{L"Farm"}));
}

TEST_F(AssetRegistryTest, DrainingReleasesTheIntroAssetsOnce) {
    ASSERT_NE(registry.FindImageByName(L"Logo"), nullptr);
    const int whoosh = registry.FindSoundId(L"whoosh");
    ASSERT_GT(whoosh, 0);
    registry.DrainPendingAssets();
    EXPECT_EQ(registry.FindImageByName(L"Logo"), nullptr);
    EXPECT_EQ(registry.FindSoundId(L"whoosh"), -1);
    registry.DrainPendingAssets();
    EXPECT_EQ(sounds.released, std::vector<int>{whoosh});
}

// The loading thread loads and unloads a group while the main thread looks
// names up and registers font pages: every lock is taken in one order, so
// neither waits for ever, and each lookup sees a whole entry or none.
TEST_F(AssetRegistryTest, TwoThreadsShareTheRegistries) {
    AssetNameSets group;
    group.images = {L"Cow", L"Field"};
    group.sounds = {L"moo"};
    group.tracks = {L"farm"};
    std::atomic<bool> done{false};
    std::thread loader([&] {
        for (int i = 0; i < 40; ++i) {
            registry.LoadDynamicAssets(group, nullptr);
            registry.UnloadDynamicAssets(group, nullptr);
        }
        registry.LoadDynamicAssets(group, nullptr);
        done = true;
    });
    while (!done) {
        registry.FindImageByName(L"Barn");
        registry.FindSoundId(L"moo");
        registry.FindTrackId(L"farm");
        EXPECT_NE(registry.RegisterImageEntry(L"page", "images/Logo.png"), nullptr);
    }
    loader.join();
    EXPECT_NE(registry.FindImageByName(L"Barn"), nullptr);
    EXPECT_GT(registry.FindSoundId(L"moo"), 0);
    EXPECT_EQ(registry.FindImageByName(L"page"), registry.RegisterImageEntry(L"page", "nowhere.png"));
}

TEST(FontPagesTest, FontsBorrowTheirPagesFromTheRegistry) {
    CountingHost host;
    AssetRegistry registry(&host);
    ScopedService<ImageRegistryHost> wired(&registry);
    const std::string descriptor = std::string(HALVARO_SOURCE_DIR) + "/data/fonts/dejavu_sans_16.txt";
    ImageFont first(descriptor, false);
    ImageFont second(descriptor, true);
    Image* page = registry.FindImageByName(L"dejavu_sans_16.png");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(host.loads, 1);
    ASSERT_FALSE(first.GetActiveLayers().empty());
    EXPECT_EQ(first.GetActiveLayers()[0].image, page);
    EXPECT_EQ(second.GetActiveLayers()[0].image, page);
    // The batching font marks the shared page for whole-image texture pieces.
    EXPECT_TRUE(page->GetFlags() & kImageWholePieces);
    EXPECT_GT(first.StringWidth(L"Halvaro"), 0);
}

}  // namespace
