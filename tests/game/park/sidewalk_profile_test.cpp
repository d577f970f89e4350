// The park's material names, as the game application installs them, carry
// each level's sidewalk through profiles.xml.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "foundation/expression/localization_map.h"
#include "foundation/files/path_utils.h"
#include "foundation/system/text.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/data/progress/kivra_profile_manager.h"
#include "game/park/grid/park_tile_materials.h"
#include "tests/game/data/catalogue_test_support.h"

namespace {

constexpr const char* kLevels = R"(<levels>
  <level name="bay" sidewalk="cobblestone"><tiles>@.</tiles></level>
  <level name="cove" sidewalk="pier"><tiles>..</tiles></level>
  <level name="dune"><tiles>..</tiles></level>
</levels>)";

class SidewalkProfile : public CatalogueTest {
protected:
    SidewalkProfile() : previousDataFolder_(GetAppDataFolder()) {
        LocalizationMap().clear();
        SetAppDataFolder(folder_.Path().string() + "/");
        WriteProperty("levels.xml", kLevels);
        names_.emplace(&materials_);
        levels_.Load();
    }
    ~SidewalkProfile() override {
        SetAppDataFolder(previousDataFolder_);
        LocalizationMap().clear();
    }

    // A profile "Ann" with every catalogue level, saved.
    void SaveAnn() {
        KivraProfileManager manager;
        manager.Load();
        ASSERT_EQ(manager.CreateProfile(L"Ann", -1, true), 0);
        ASSERT_TRUE(manager.Save());
    }
    std::wstring FileText() const {
        return text::FromUtf16LE(testsupport::ReadBytes(folder_.Path() / "profiles.xml").substr(2));
    }
    uint16_t ReadBack(std::wstring_view level) {
        reloaded_.reset();
        reloaded_ = std::make_unique<KivraProfileManager>();
        reloaded_->Load();
        KivraPlayerState* ann = reloaded_->KivraPlayer(0);
        if (ann == nullptr || ann->FindParkLevel(level) == nullptr) return 0xFFFF;
        return ann->FindParkLevel(level)->sidewalk;
    }

    std::string previousDataFolder_;
    ParkTileMaterials materials_;
    std::optional<ScopedService<TileMaterials>> names_;
    KivraLevelStats levels_;
    std::unique_ptr<KivraProfileManager> reloaded_;
};

TEST_F(SidewalkProfile, EachLevelsSidewalkSurvivesAWriteAndARead) {
    EXPECT_EQ(levels_.FindParkLevel(L"bay")->sidewalk, 'B');
    EXPECT_EQ(levels_.FindParkLevel(L"dune")->sidewalk, 'C');  // no name: concrete
    SaveAnn();
    const std::wstring saved = FileText();
    EXPECT_NE(saved.find(L"name=\"bay\""), std::wstring::npos);
    EXPECT_NE(saved.find(L"sidewalk=\"cobblestone\""), std::wstring::npos) << text::ToUtf8(saved);
    EXPECT_NE(saved.find(L"sidewalk=\"pier\""), std::wstring::npos);
    EXPECT_EQ(saved.find(L"sidewalk=\"\""), std::wstring::npos);
    EXPECT_EQ(ReadBack(L"bay"), 'B');
    EXPECT_EQ(ReadBack(L"cove"), 'P');
    EXPECT_EQ(ReadBack(L"dune"), 'C');
    ASSERT_TRUE(reloaded_->Save());
    EXPECT_EQ(FileText(), saved);
}

// Nothing installed the material names, so every profile was saved with an
// empty sidewalk and read back with none: spawn tiles and unbuildable
// sidewalk drew nothing.
TEST_F(SidewalkProfile, ASavedLevelWithAnEmptySidewalkTakesTheCataloguesOne) {
    names_.reset();  // saved as the game did before the names were installed
    SaveAnn();
    EXPECT_NE(FileText().find(L"sidewalk=\"\""), std::wstring::npos);
    names_.emplace(&materials_);
    EXPECT_EQ(ReadBack(L"bay"), 'B');
    EXPECT_EQ(ReadBack(L"cove"), 'P');
    ASSERT_TRUE(reloaded_->Save());
    EXPECT_EQ(FileText().find(L"sidewalk=\"\""), std::wstring::npos);

    // A level the catalogue does not hold has nothing to take.
    std::filesystem::remove(folder_.Path() / "profiles.xml");
    names_.reset();
    SaveAnn();
    names_.emplace(&materials_);
    levels_.ClearLevels();
    EXPECT_EQ(ReadBack(L"bay"), 0);
}

}  // namespace
