// assets.xml: the intro and game passes, counting, image flags, atlases,
// aliases and tracks, through the real registry.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "app/assets/asset_manager.h"
#include "app/assets/asset_registry.h"
#include "app/audio/bass_track_interface.h"
#include "app/audio/dsound_manager.h"
#include "foundation/files/config_stats.h"
#include "foundation/files/path_utils.h"
#include "foundation/system/text.h"
#include "rendering/image/image_atlas_region.h"
#include "rendering/image/image_surface.h"
#include "rendering/imagefile/image_files.h"
#include "tests/app/asset_test_support.h"

using namespace testsupport;

namespace {

class AssetsXmlTest : public ::testing::Test {
protected:
    AssetFolder folder;
    SoundLoadRecorder sounds;
    RecordingTracks tracks;
    LoadingStepCounter steps;
    AssetRegistry registry;
};

// Three sections; the game section holds one dynamic image (under "levels"),
// one missing image, one sound and one track.
constexpr const char* kSections = R"(
<dynamic path="levels"/>
<intro>
  <image name="Logo" path="images"/>
  <sound name="whoosh" path="sounds"/>
</intro>
<persistent>
  <image name="Cursor" path="images"/>
</persistent>
<game>
  <image name="Board" path="images"/>
  <image name="Gone" path="images"/>
  <image name="Farm" path="images/levels"/>
  <sound name="click" path="sounds"/>
  <track name="theme" path="sounds/music"/>
</game>)";

TEST_F(AssetsXmlTest, IntroPassLoadsItsSectionsAndCountsWhatTheGamePassWillStep) {
    folder.Png("images/Logo.png", 8, 4);
    folder.Png("images/Cursor.png", 2, 2);
    folder.Png("images/Board.png", 4, 4);
    folder.Png("images/levels/Farm.png", 4, 4);
    sounds.files = {"sounds/whoosh", "sounds/click"};
    folder.AssetsXml(kSections);

    AssetManager intro(registry, true);
    EXPECT_NE(registry.FindImageByName(L"Logo"), nullptr);
    EXPECT_NE(registry.FindImageByName(L"Cursor"), nullptr);
    EXPECT_EQ(registry.FindImageByName(L"Board"), nullptr);
    EXPECT_EQ(registry.FindSoundId(L"whoosh"), 1);
    EXPECT_EQ(registry.FindSoundId(L"click"), -1);
    EXPECT_EQ(steps.steps, 0);
    // Board, Gone, click and theme; the dynamic Farm is neither loaded nor counted.
    EXPECT_EQ(intro.GetFileCount(), 4);

    AssetManager game(registry, false);
    EXPECT_NE(registry.FindImageByName(L"Board"), nullptr);
    EXPECT_EQ(registry.FindImageByName(L"Gone"), nullptr);
    EXPECT_EQ(registry.FindImageByName(L"Farm"), nullptr);
    EXPECT_EQ(registry.FindSoundId(L"click"), 2);
    EXPECT_EQ(registry.FindTrackId(L"theme"), -1);
    // The bar reaches its end exactly: one step per counted file, failed ones included.
    EXPECT_EQ(steps.steps, intro.GetFileCount());
    // The intro pass's items are not loaded again.
    EXPECT_EQ(sounds.loads.size(), 2u);
}

TEST_F(AssetsXmlTest, FilesAttributeGivesTheCountAndEndsTheIntroPass) {
    folder.Png("images/Board.png", 4, 4);
    folder.AssetsXml(R"(<intro/><game files="120"><image name="Board" path="images"/></game>
                        <intro><image name="Late" path="images"/></intro>)");
    AssetManager intro(registry, true);
    EXPECT_EQ(intro.GetFileCount(), 120);
    EXPECT_EQ(registry.CountImages(), 0u);
}

// The flag word each combination of image attributes hands the loader.
struct FlagCase {
    const char* attributes;
    int flags;
};

class ImageFlagsTest : public ::testing::TestWithParam<FlagCase> {};

class FlagRecordingHost : public AssetHost {
public:
    std::unique_ptr<ImageSurface> LoadImageFile(const ImageRecord& record) override {
        flags = record.flags;
        premultiply = record.premultiply;
        return nullptr;
    }
    int flags = -1;
    bool premultiply = false;
};

TEST_P(ImageFlagsTest, AttributesBuildTheFlagWord) {
    AssetFolder folder;
    FlagRecordingHost host;
    AssetRegistry registry(&host);
    folder.AssetsXml(std::string("<intro><image name=\"A\" path=\"x\" ") + GetParam().attributes + "/></intro>");
    AssetManager intro(registry, true);
    EXPECT_EQ(host.flags, GetParam().flags) << GetParam().attributes;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ImageFlagsTest,
    ::testing::Values(FlagCase{"", 0}, FlagCase{"minsubdivide=\"true\"", 0x01}, FlagCase{"minsubdivide=\"1\"", 0},
                      FlagCase{"singleframe=\"true\"", 0x09}, FlagCase{"singleframe=\"palette\"", 0x59},
                      FlagCase{"format=\"A8R8G8B8\"", 0x20}, FlagCase{"format=\"A4R4G4B4\"", 0x40},
                      FlagCase{"format=\"a8r8g8b8\"", 0},
                      FlagCase{"minsubdivide=\"true\" singleframe=\"palette\" format=\"A8R8G8B8\"", 0x79}));

TEST_F(AssetsXmlTest, AtlasPiecesAreRegisteredAndAPieceNamedLikeItsAtlasTakesThePlainName) {
    folder.Png("images/Sheet.png", 64, 32);
    folder.AssetsXml(R"(<persistent>
      <image name="Sheet" path="images">
        <piece name="Sheet" cols="2">
          <frame width="20" height="16" dest-offset-x="2" dest-offset-y="1" source-x="0" source-y="0"
                 source-width="16" source-height="14"/>
          <frame width="20" height="16" dest-offset-x="0" dest-offset-y="0" source-x="16" source-y="0"
                 source-width="20" source-height="16"/>
        </piece>
        <piece name="Star">
          <frame width="10" height="12" dest-offset-x="0" dest-offset-y="0" source-x="40" source-y="0"
                 source-width="10" source-height="12"/>
        </piece>
      </image></persistent>)");
    AssetManager intro(registry, true);

    auto* atlas = dynamic_cast<ImageSurface*>(registry.FindImageByName(L"Sheet____ATLAS"));
    ASSERT_NE(atlas, nullptr);
    auto* sheet = dynamic_cast<ImageAtlasPiece*>(registry.FindImageByName(L"Sheet"));
    auto* star = dynamic_cast<ImageAtlasPiece*>(registry.FindImageByName(L"Star"));
    ASSERT_NE(sheet, nullptr);
    ASSERT_NE(star, nullptr);
    EXPECT_EQ(sheet->GetAtlas(), atlas);
    EXPECT_EQ(sheet->GetCelCount(), 2);
    EXPECT_EQ(sheet->GetCelWidth(), 20);
    EXPECT_EQ(star->GetCelHeight(), 12);
    // The piece's first cel starts after the two of "Sheet": its pixel (0, 0)
    // is the atlas's pixel (40, 0), red 40.
    EXPECT_EQ(star->GetPixel(0, 0, 0) & 0x00FF0000u, 40u << 16);
}

TEST_F(AssetsXmlTest, AliasesShareTheirTargetAndAnAliasOfNothingRegistersNothing) {
    folder.Png("images/Board.png", 4, 4);
    sounds.files = {"sounds/click"};
    folder.AssetsXml(R"(<game>
      <image name="Board" path="images"/>
      <sound name="click" path="sounds"/>
      <alias name="Table" image="Board"/>
      <alias name="tap" sound="click"/>
      <alias name="Ghost" image="Nowhere"/>
      <alias name="hush" sound="nothing"/>
    </game>)");
    AssetManager game(registry, false);
    EXPECT_EQ(registry.FindImageByName(L"Table"), registry.FindImageByName(L"Board"));
    EXPECT_EQ(registry.FindSoundId(L"tap"), registry.FindSoundId(L"click"));
    EXPECT_EQ(registry.FindImageByName(L"Ghost"), nullptr);
    EXPECT_EQ(registry.FindImageByName(L"Nowhere"), nullptr);
    EXPECT_EQ(registry.FindSoundId(L"hush"), -1);
    EXPECT_EQ(registry.FindSoundId(L"nothing"), -1);
    EXPECT_EQ(registry.CountSounds(), 2u);

    // Ending the run releases the shared sound once.
    const int click = registry.FindSoundId(L"click");
    registry.UnloadAllAssets();
    EXPECT_EQ(sounds.released, std::vector<int>{click});
}

TEST_F(AssetsXmlTest, TracksFallBackToMp3AndTakeTheirVolumeNameFromThePath) {
    tracks.files = {"sounds/music/calm.mp3", "sounds/music/theme.ogg"};
    folder.AssetsXml(R"(<game>
      <track name="theme" path="sounds/music"/>
      <track name="calm" path="sounds/music"/>
      <track name="none" path="sounds/music"/>
      <track name="s" path="ab"/>
    </game>)");
    AssetManager game(registry, false);
    EXPECT_EQ(registry.FindTrackId(L"theme"), 1);
    EXPECT_EQ(registry.FindTrackId(L"calm"), 2);
    EXPECT_EQ(registry.FindTrackId(L"none"), -1);
    ASSERT_GE(tracks.loads.size(), 3u);
    EXPECT_EQ(tracks.loads[0].volumeName, L"music");
    EXPECT_EQ(tracks.loads[1].path, "sounds/music/calm.ogg");
    EXPECT_EQ(tracks.loads[2].path, "sounds/music/calm.mp3");
    // "ab/s" is shorter than eight characters: no name, and no read past its end.
    EXPECT_EQ(tracks.loads.back().volumeName, L"");
    EXPECT_EQ(steps.steps, 4);
}

TEST(TrackVolumeNameTest, TakesTheTextFromTheEighthCharacterToTheNextSlash) {
    EXPECT_EQ(TrackVolumeName("sounds/music/theme"), L"music");
    EXPECT_EQ(TrackVolumeName("1234567ambient"), L"ambient");
    EXPECT_EQ(TrackVolumeName("1234567"), L"");
    EXPECT_EQ(TrackVolumeName(""), L"");
    EXPECT_EQ(TrackVolumeName("1234567/x"), L"");
}

TEST_F(AssetsXmlTest, ASoundDeclaredTwiceDoesNotLendItsIdToTheNext) {
    sounds.files = {"a/one", "a/two"};
    folder.AssetsXml(R"(<intro><sound name="one" path="a"/><sound name="one" path="a"/>
                        <sound name="two" path="a"/></intro>)");
    AssetManager intro(registry, true);
    EXPECT_NE(registry.FindSoundId(L"one"), registry.FindSoundId(L"two"));
    // The id the first declaration held was given up.
    EXPECT_EQ(sounds.released, std::vector<int>{1});
}

}  // namespace

namespace {

// The game's own assets.xml over the game's own files: everything it names
// is there, in the form the screens need.
TEST(ShippedAssetsTest, EveryDeclaredFileLoads) {
    testsupport::TempFolder appData;
    const std::string previousData = GetAppDataFolder();
    SetAppDataFolder(appData.Path().string() + "/");
    {
        testsupport::CurrentDirectoryGuard cwd(std::string(HALVARO_SOURCE_DIR) + "/data");
        static int window;
        DSoundManager sounds(reinterpret_cast<plat::NativeWindow*>(&window), plat::SoundOutput::Manual);
        BassTrackInterface tracks(sounds.Device());
        ScopedService<SoundManager> soundService(&sounds);
        ScopedService<TrackInterface> trackService(&tracks);
        LoadingStepCounter steps;
        AssetRegistry registry;

        AssetManager intro(registry, true);
        for (const wchar_t* name : {L"P", L"E", L"L", L"M", L"A", L"E_Tilt", L"M_Tilt", L"Trail", L"PelmarTM"})
            EXPECT_NE(registry.FindImageByName(name), nullptr) << text::ToUtf8(name);
        Image* ball = registry.FindImageByName(L"Ball");
        ASSERT_NE(ball, nullptr);
        EXPECT_EQ(ball->cols, 3);
        for (const wchar_t* name : {L"whoosh", L"bounce", L"land", L"button", L"highlight"})
            EXPECT_GT(registry.FindSoundId(name), 0) << text::ToUtf8(name);

        AssetManager game(registry, false);
        EXPECT_EQ(steps.steps, intro.GetFileCount());
        for (const wchar_t* name : {L"pop", L"chime", L"click"})
            EXPECT_GT(registry.FindSoundId(name), 0) << text::ToUtf8(name);
        EXPECT_GT(registry.FindTrackId(L"theme"), 0);

        registry.DrainPendingAssets();
        EXPECT_EQ(registry.FindImageByName(L"Ball"), nullptr);
        EXPECT_GT(registry.FindSoundId(L"button"), 0);
    }
    SetAppDataFolder(previousData);
}

// Every cursor the game asks for is drawn and clicks where its picture
// points: its hot spot from config.xml lies within two pixels of the topmost
// opaque pixel for the arrow and the hand (their tips), and on the picture
// itself for the closed hand and the text beam, never at the centre a
// missing entry gives.
TEST(ShippedAssetsTest, EachCustomCursorClicksWhereItsPicturePoints) {
    testsupport::CurrentDirectoryGuard cwd(std::string(HALVARO_SOURCE_DIR) + "/data");
    CursorHotspots().clear();
    LoadConfigXml();
    for (const char* name : {"custom_pointer", "custom_hand", "custom_dragging", "custom_text"}) {
        SCOPED_TRACE(name);
        const auto spot = CursorHotspots().find(text::FromUtf8(name));
        ASSERT_NE(spot, CursorHotspots().end());
        const std::unique_ptr<ImageData> picture = GetPNGImage(std::string("images/menu/") + name + ".png");
        ASSERT_NE(picture, nullptr);
        const auto opaque = [&picture](int x, int y) { return picture->Row(y)[x] >> 24 >= 128; };
        const HotSpot hot = spot->second;
        ASSERT_TRUE(hot.x >= 0 && hot.y >= 0 && hot.x < picture->GetWidth() && hot.y < picture->GetHeight());
        if (std::string_view(name) == "custom_dragging" || std::string_view(name) == "custom_text") {
            EXPECT_TRUE(opaque(hot.x, hot.y));
            continue;
        }
        int tipX = -1, tipY = -1;
        for (int y = 0; y < picture->GetHeight() && tipY < 0; ++y)
            for (int x = 0; x < picture->GetWidth() && tipY < 0; ++x)
                if (opaque(x, y)) {
                    tipX = x;
                    tipY = y;
                }
        EXPECT_LE(std::abs(hot.x - tipX), 2) << "tip at " << tipX;
        EXPECT_LE(std::abs(hot.y - tipY), 2) << "tip at " << tipY;
    }
    CursorHotspots().clear();
}

}  // namespace
