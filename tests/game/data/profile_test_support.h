#pragma once
// Player-state and profile tests run in a fresh folder that is also the data
// folder (profiles.xml lands there), with an item catalogue and a levels
// catalogue of two parks loaded: "bay" with a magazine of three metals,
// research and a building item, and the plain "cove".

#include <string>

#include "foundation/expression/localization_map.h"
#include "foundation/files/path_utils.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/data/progress/kivra_profile_manager.h"
#include "tests/game/data/catalogue_test_support.h"
#include "tests/game/data/park_test_support.h"

namespace testsupport {

constexpr const char* kProfileItems = R"(<items><ride>
    <building type="wheel" category="ride"><upgrade label="lights"/><boost label="fast"/></building>
    <building type="cart" category="snack"/></ride></items>)";

constexpr const char* kProfileLevels = R"(<levels>
  <level name="bay" background="bay_sky" money="1000" hearts="10" ticketprice_base="15" ocean="true"
         sidewalk="brick" chosen_challenge="funbooks_bronze">
    <research name="r1" param="wheel" effect="unlock_building" coincost="100" coinincrement="50"
              heartcost="2" heartincrement="1" cycles="2"/>
    <research name="r2" param="garden" effect="learn_combo" coincost="10" heartcost="0" cycles="-1"/>
    <building-type type="wheel" availabletobuy="false"/>
    <disallow type="cart"/>
    <magazine name="funbooks">
      <challenge unlocked="true">
        <objective check="weekly_earnings" amount="300"/>
        <reward coins="50"/>
      </challenge>
      <challenge><objective check="buildings_exist" category="ride" count="2"/><reward hearts="5"/></challenge>
      <challenge><objective check="trophies_earned" count="2"/></challenge>
    </magazine>
    <metric name="visits" value="3"/>
    <item type="wheel" col="1" row="1" orientation="0" action=""/>
    <tiles>
      @.
      ..
    </tiles>
  </level>
  <level name="cove" money="500" weeks_played="2"><tiles>..</tiles></level>
</levels>)";

class ProfileTest : public CatalogueTest {
protected:
    ProfileTest() : previousDataFolder_(GetAppDataFolder()) {
        LocalizationMap().clear();
        SetAppDataFolder(folder_.Path().string() + "/");
        WriteProperty("items.xml", kProfileItems);
        WriteProperty("levels.xml", kProfileLevels);
        items_.Load();
        levels_.Load();
    }
    ~ProfileTest() override {
        SetAppDataFolder(previousDataFolder_);
        LocalizationMap().clear();
    }

    std::string ProfilesFile() const { return folder_ / "profiles.xml"; }

    std::string previousDataFolder_;
    LetterMaterials materials_;
    KivraItemStats items_;
    KivraLevelStats levels_;
};

}  // namespace testsupport
