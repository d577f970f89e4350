// The game's own content in data/: the catalogues load without a complaint,
// every name one file gives another resolves (types, combos, research,
// magazines, texts, pictures, sounds, tracks), what a level loads and unloads
// with itself is declared as such, each closed gate has room to open, and
// each park can be started with the money it gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "foundation/expression/constants.h"
#include "foundation/expression/localization_map.h"
#include "game/data/catalogues/building_level_item.h"
#include "game/data/catalogues/game_stats.h"
#include "game/data/catalogues/item_stats.h"
#include "game/data/progress/goals.h"
#include "game/data/progress/kivra_level_stats.h"
#include "game/data/progress/left_out_items.h"
#include "game/data/progress/my_localization.h"
#include "game/data/progress/objectives.h"
#include "game/data/progress/park_hooks.h"
#include "rendering/image/image_data.h"
#include "rendering/imagefile/image_files.h"
#include "tests/game/data/catalogue_test_support.h"

namespace {

namespace fs = std::filesystem;
using testsupport::PlacedType;

// The sidewalk materials by the names the levels give them.
class ParkMaterials : public TileMaterials {
public:
    std::wstring MaterialToName(uint16_t code) override {
        for (const auto& [name, c] : kNames)
            if (c == code) return name;
        return {};
    }
    uint16_t NameToMaterial(std::wstring_view name) override {
        for (const auto& [n, c] : kNames)
            if (n == name) return c;
        return 0;
    }

private:
    const std::map<std::wstring, uint16_t> kNames = {
        {L"concrete", L'C'}, {L"cobblestone", L'B'}, {L"sandstone", L'S'}, {L"pier", L'P'}};
    ScopedService<TileMaterials> installed_{this};
};

// What assets.xml declares: each image (an atlas piece under its atlas's
// file) with its file and cel count, each sound and track with its file, and
// the path texts that make an asset wait for its group.
struct DeclaredAssets : Parser {
    struct Entry {
        std::string file;  // path/name without an extension
        int cels = 1;
    };
    void ElementStart(const std::wstring& tag) override {
        const std::string file = text::ToUtf8(GetAttribute(L"path") + L"/" + GetAttribute(L"name"));
        if (tag == L"image") {
            atlas = file;
            images[GetAttribute(L"name")] = {file, GetAttributeIntOr(L"cols", 1) * GetAttributeIntOr(L"rows", 1)};
        } else if (tag == L"piece") {
            images[GetAttribute(L"name")] = {atlas, GetAttributeIntOr(L"cols", 1) * GetAttributeIntOr(L"rows", 1)};
            frames[GetAttribute(L"name")] = 0;
            piece = GetAttribute(L"name");
        } else if (tag == L"frame") {
            ++frames[piece];
        } else if (tag == L"sound") {
            sounds[GetAttribute(L"name")] = {file, 1};
        } else if (tag == L"track") {
            tracks[GetAttribute(L"name")] = {file, 1};
        } else if (tag == L"dynamic") {
            dynamic.push_back(text::ToUtf8(GetAttribute(L"path")));
        }
    }
    // Declared under a path that makes it wait for a group, as everything a
    // level or a screen loads and unloads by name must be.
    bool IsDynamic(const std::map<std::wstring, Entry>& set, const std::wstring& name) const {
        auto found = set.find(name);
        if (found == set.end()) return false;
        for (const std::string& text : dynamic)
            if (found->second.file.find(text) != std::string::npos) return true;
        return false;
    }
    std::map<std::wstring, Entry> images, sounds, tracks;
    std::map<std::wstring, int> frames;
    std::vector<std::string> dynamic;
    std::string atlas;
    std::wstring piece;
};

bool FileFound(const std::string& stem) {
    for (const char* ext : {".png", ".jpg", ".ogg", ".wav", ".au", ".mod"})
        if (fs::exists(stem + ext)) return true;
    return false;
}

// The tiles an opening gate lays, by its orientation: the two arrival tiles,
// the sidewalk pair just outside it and the pair just inside the park.
struct GateTiles {
    std::array<std::pair<int, int>, 2> spawn, nearSide, farSide;
};
// A gate turned 0 or 3 lays the tiles of one turned 2 or 1.
GateTiles TilesOfGate(int col, int row, int orientation) {
    if (orientation == 2 || orientation == 0)
        return {{{{col + 2, row - 2}, {col + 2, row - 1}}},
                {{{col + 1, row - 2}, {col + 1, row - 1}}},
                {{{col - 4, row - 2}, {col - 4, row - 1}}}};
    return {{{{col - 1, row + 2}, {col - 2, row + 2}}},
            {{{col - 1, row + 1}, {col - 2, row + 1}}},
            {{{col - 1, row - 4}, {col - 2, row - 4}}}};
}

class ShippedData : public ::testing::Test {
protected:
    ShippedData() : cwd_(HALVARO_SOURCE_DIR "/data") {
        ConstantsMap().clear();
        Constants constants;
        localization_.Load();  // before the levels: their shown names are texts
        items_.Load();
        game_.Load();
        levels_.Load();
        assets_.ParseFile("properties/assets.xml");
    }
    ~ShippedData() override {
        localization_.ClearStrings();
        ConstantsMap().clear();
    }
    const KIVRA_BUILDING_TYPE* Building(std::wstring_view name) {
        return dynamic_cast<KIVRA_BUILDING_TYPE*>(FindRecordByName(&items_, name));
    }
    std::vector<const KIVRA_BUILDING_TYPE*> Buildings() {
        std::vector<const KIVRA_BUILDING_TYPE*> out;
        for (const auto& [name, record] : items_.Types())
            if (auto* b = dynamic_cast<const KIVRA_BUILDING_TYPE*>(record)) out.push_back(b);
        return out;
    }
    std::vector<const KIVRA_LEVEL*> Levels() {
        std::vector<const KIVRA_LEVEL*> out;
        for (const auto& [name, record] : levels_.Levels()) out.push_back(dynamic_cast<const KIVRA_LEVEL*>(record));
        return out;
    }

    testsupport::CurrentDirectoryGuard cwd_;
    testsupport::ErrorBoxRecorder services_;
    ParkMaterials materials_;
    MyLocalization localization_;
    KivraItemStats items_;
    GameStats game_;
    KivraLevelStats levels_;
    DeclaredAssets assets_;
};

TEST_F(ShippedData, LoadsQuietlyAndEveryPictureSoundAndTrackNamedIsDeclaredAndOnDisk) {
    EXPECT_TRUE(services_.boxes.empty()) << (services_.boxes.empty() ? "" : text::ToUtf8(services_.boxes[0]));
    ASSERT_EQ(Levels().size(), 2u);
    for (const auto* set : {&assets_.images, &assets_.sounds, &assets_.tracks})
        for (const auto& [name, entry] : *set) EXPECT_TRUE(FileFound(entry.file)) << text::ToUtf8(name);
    // The ground the grid draws: four materials in three looks and the highlight; five marks.
    EXPECT_EQ(assets_.images[L"tile_materials"].cels, 13);
    EXPECT_EQ(assets_.images[L"tile_states"].cels, 6);
    for (const auto& [name, record] : items_.Types()) {
        if (auto* person = dynamic_cast<const KIVRA_PERSON_TYPE*>(record)) {
            // Two rows of walking cels, mirrored for the other two ways.
            EXPECT_EQ(assets_.images[person->image].cels, 8) << text::ToUtf8(name);
            EXPECT_TRUE(person->auto_flip_x);
            continue;
        }
        // The picture a building shows is its type's, loaded and unloaded with
        // each level, one frame (a visible box) per cel; so is its list icon.
        EXPECT_EQ(record->image, name);
        EXPECT_TRUE(assets_.IsDynamic(assets_.images, name)) << text::ToUtf8(name);
        EXPECT_EQ(assets_.frames[name], assets_.images[name].cels) << text::ToUtf8(name);
        EXPECT_TRUE(assets_.IsDynamic(assets_.images, L"avatar_" + name)) << text::ToUtf8(name);
    }
    for (const KIVRA_LEVEL* level : Levels()) {
        const std::wstring& n = level->name;
        EXPECT_TRUE(assets_.IsDynamic(assets_.images, level->background)) << text::ToUtf8(n);
        EXPECT_TRUE(assets_.IsDynamic(assets_.tracks, n + L"_bgm")) << text::ToUtf8(n);
        EXPECT_TRUE(assets_.IsDynamic(assets_.images, L"bg_splash_" + n)) << text::ToUtf8(n);
        EXPECT_TRUE(assets_.IsDynamic(assets_.images, L"map_screen_sign_" + n)) << text::ToUtf8(n);
        EXPECT_TRUE(assets_.IsDynamic(assets_.images, L"avatar_walkway_" + materials_.MaterialToName(level->sidewalk)));
        if (level->ocean) {
            EXPECT_TRUE(assets_.IsDynamic(assets_.images, L"ocean"));
            EXPECT_TRUE(assets_.IsDynamic(assets_.images, L"sun_shine"));
            EXPECT_GT(assets_.images[L"ocean"].cels, 1);  // the water's frames cross-fade
        }
        // A level item's action shows its own picture, which is no level resource.
        for (const auto& item : level->items) {
            if (item->action.empty()) continue;
            const std::wstring picture = item->type + L"_" + item->action;
            EXPECT_TRUE(assets_.images.count(picture) && !assets_.IsDynamic(assets_.images, picture))
                << text::ToUtf8(picture);
        }
    }
    for (const wchar_t* group : {L"map_screen_background", L"nighttime_sky", L"nighttime_moon"})
        EXPECT_TRUE(assets_.IsDynamic(assets_.images, group)) << text::ToUtf8(group);
    for (const wchar_t* sound : {L"place_building", L"cash", L"nightfall"}) EXPECT_TRUE(assets_.sounds.count(sound));
}

TEST_F(ShippedData, LevelsNameOnlyKnownTypesCombosResearchAndMagazines) {
    for (const KIVRA_LEVEL* level : Levels()) {
        SCOPED_TRACE(text::ToUtf8(level->name));
        int gates = 0;
        for (const auto& item : level->items) {
            EXPECT_NE(Building(item->type), nullptr) << text::ToUtf8(item->type);
            gates += item->type == L"front_gate";
        }
        EXPECT_EQ(gates, 1);
        // Saved as it ships, a park would be told as damaged at every player's next start.
        for (const LeftOutItem& left : FindLeftOutItems(*level, &items_)) ADD_FAILURE() << text::ToUtf8(left.why);
        for (const auto& [type, available] : level->availability) EXPECT_NE(Building(type), nullptr);
        for (const auto& [customer, count] : level->marketing)
            EXPECT_NE(dynamic_cast<KIVRA_PERSON_TYPE*>(FindRecordByName(&items_, customer)), nullptr);
        for (const std::wstring& combo : level->learned_combos) EXPECT_NE(game_.FindCombo(combo), nullptr);
        std::set<std::wstring> research, effects;
        for (const RESEARCH_OPTION& option : level->available_research) {
            research.insert(option.name);
            effects.insert(std::wstring(RESEARCH_OPTION::EffectName(option.effect)));
            if (option.effect == RESEARCH_OPTION::kUnlockBuilding) {
                ASSERT_NE(Building(option.param), nullptr) << text::ToUtf8(option.param);
                // Research that unlocks a building is pointless for one the level already sells.
                EXPECT_EQ(level->availability.at(option.param), 0) << text::ToUtf8(option.param);
            }
            if (option.effect == RESEARCH_OPTION::kLearnCombo) {
                EXPECT_NE(game_.FindCombo(option.param), nullptr);
            }
            EXPECT_GT(option.coincost, 0);
        }
        EXPECT_TRUE(effects.count(L"unlock_building") && effects.count(L"learn_combo") &&
                    effects.count(L"unlock_marketing"));
        const auto& challenges = level->goals_tracker.Challenges();
        EXPECT_FALSE(level->chosen_challenge.empty());
        for (const auto& [name, challenge] : challenges) {
            EXPECT_FALSE(challenge->objectives.empty()) << text::ToUtf8(name);
            for (const std::wstring& b : challenge->buildingRewards) EXPECT_NE(Building(b), nullptr) << text::ToUtf8(b);
            for (const std::wstring& r : challenge->researchRewards) EXPECT_TRUE(research.count(r)) << text::ToUtf8(r);
            for (const std::wstring& m : challenge->magazineRewards)
                EXPECT_TRUE(challenges.count(m + L"_bronze")) << text::ToUtf8(m);
        }
        // Every magazine has its three metals.
        for (const auto& [name, challenge] : challenges)
            for (const wchar_t* metal : {L"_bronze", L"_silver", L"_gold"})
                EXPECT_TRUE(challenges.count(challenge->magazine + metal)) << text::ToUtf8(name);
    }
}

TEST_F(ShippedData, EachClosedGateHasRoomToOpenAndLeadsOntoTheSidewalk) {
    const KIVRA_BUILDING_TYPE* gate = Building(L"front_gate");
    ASSERT_NE(gate, nullptr);
    // The gate stays where the level puts it; whatever has a price can be
    // found in the build menu, which leaves stationary types out.
    EXPECT_TRUE(gate->stationary);
    for (const KIVRA_BUILDING_TYPE* b : Buildings()) {
        if (b->buycost > 0) {
            EXPECT_FALSE(b->stationary) << text::ToUtf8(b->type);
        }
    }
    std::set<wchar_t> codes;
    for (const Door& door : gate->doors) codes.insert(door.code);
    EXPECT_EQ(codes, (std::set<wchar_t>{L'1', L'2'}));
    ASSERT_TRUE(gate->upgrades.count(L"open"));
    EXPECT_TRUE(gate->upgrades.at(L"open").offsets.count(L"open"));
    for (const KIVRA_LEVEL* level : Levels()) {
        SCOPED_TRACE(text::ToUtf8(level->name));
        const int cols = level->cols, rows = level->rows;
        auto inside = [&](std::pair<int, int> t) {
            return t.first >= 0 && t.second >= 0 && t.first < cols && t.second < rows;
        };
        auto material = [&](int c, int r) { return inside({c, r}) ? level->tiles[c][r] : L'X'; };
        ASSERT_NE(level->sidewalk, 0);
        // The outermost ring takes nothing (the backdrops draw it as a hedge).
        for (int c = 0; c < cols; ++c) {
            for (int r = 0; r < rows; ++r) {
                if (c == 0 || r == 0 || c == cols - 1 || r == rows - 1) {
                    ASSERT_EQ(material(c, r), L'X') << c << "," << r;
                }
            }
        }
        for (const auto& item : level->items) {
            if (item->type != L"front_gate") continue;
            // Closed: its opening upgrade is not bought.
            const auto* building = dynamic_cast<const KIVRA_BUILDING_LEVEL_ITEM*>(item.get());
            ASSERT_NE(building, nullptr);
            EXPECT_FALSE(building->upgrades.at(L"open"));
            ASSERT_TRUE(item->orientation >= 0 && item->orientation <= 3);
            // The whole gate stands on open ground inside the grid.
            for (int c = item->col - gate->width + 1; c <= item->col; ++c)
                for (int r = item->row - gate->height + 1; r <= item->row; ++r) EXPECT_EQ(material(c, r), L'_');
            const GateTiles laid = TilesOfGate(item->col, item->row, item->orientation);
            for (const auto& group : {laid.spawn, laid.nearSide, laid.farSide})
                for (const auto& tile : group) EXPECT_TRUE(inside(tile)) << tile.first << "," << tile.second;
            // Inside the park the gate's sidewalk meets the level's own.
            int joins = 0;
            for (const auto& [c, r] : laid.farSide)
                for (const auto& [dc, dr] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {0, 0}})
                    joins += material(c + dc, r + dr) == level->sidewalk;
            EXPECT_GT(joins, 0);
        }
    }
}

TEST_F(ShippedData, EveryNameThePlayerReadsHasItsTextAndEveryGoalReadsAsASentence) {
    auto has = [](const std::wstring& key) { return !LocalizeLookup(key).empty(); };
    std::set<std::wstring> categories;
    for (const auto& [name, record] : items_.Types()) {
        EXPECT_TRUE(has(L"label_" + name) && has(L"desc_" + name)) << text::ToUtf8(name);
        if (auto* b = dynamic_cast<const KIVRA_BUILDING_TYPE*>(record)) {
            categories.insert(b->category);
            for (const auto& [label, upgrade] : b->upgrades) EXPECT_TRUE(has(L"label_" + label)) << text::ToUtf8(label);
            for (const auto& [label, boost] : b->boosts) EXPECT_TRUE(has(L"label_" + label)) << text::ToUtf8(label);
        }
    }
    for (const std::wstring& c : categories) EXPECT_TRUE(has(L"label_" + c) && has(L"label_" + c + L"_plural"));
    for (const auto& combo : game_.Combos())
        EXPECT_TRUE(has(L"label_" + combo->name + L"_zone") && has(L"label_" + combo->name + L"_zone_plural"));
    EXPECT_TRUE(has(L"label_walkway") && has(L"desc_another"));
    for (const KIVRA_LEVEL* level : Levels()) {
        EXPECT_EQ(level->display_name, LocalizeLookup(L"land_" + level->name));
        EXPECT_FALSE(level->display_name.empty());
        for (const RESEARCH_OPTION& option : level->available_research)
            EXPECT_TRUE(has(L"label_" + option.name)) << text::ToUtf8(option.name);
        for (const auto& [name, challenge] : level->goals_tracker.Challenges()) {
            EXPECT_TRUE(has(L"magazine_" + challenge->magazine)) << text::ToUtf8(name);
            for (Objective* objective : challenge->objectives) {
                // A missing piece of the sentence leaves a gap or a loose end.
                std::wstring sentence;
                objective->Describe(sentence, true);
                EXPECT_EQ(sentence.find(L"  "), std::wstring::npos) << text::ToUtf8(sentence);
                EXPECT_NE(sentence.front(), L' ');
                EXPECT_NE(sentence.back(), L' ');
                // A building goal names the building once, in its own words
                // and number: not "1 Cotton Candy Cart snack cart".
                auto* building = dynamic_cast<BuildingsExist*>(objective);
                if (!building || building->type.empty()) continue;
                const std::wstring number = building->required == 1 ? L"" : L"_plural";
                ITEM_TYPE* const* type = items_.Types().Find(building->type);
                ASSERT_NE(type, nullptr) << text::ToUtf8(sentence);
                const std::wstring kind = LocalizeLookup(L"label_" + (*type)->category + number);
                EXPECT_NE(sentence.find(L" " + LocalizeLookup(L"label_" + building->type + number) + L" "),
                          std::wstring::npos)
                    << text::ToUtf8(sentence);
                EXPECT_EQ(sentence.find(L" " + kind + L" "), std::wstring::npos) << text::ToUtf8(sentence);
            }
        }
    }
}

TEST_F(ShippedData, BackdropsHoldTheirGridAndEachParkCanBeStarted) {
    const auto tiles = GetImage("images/park/tile_materials", true);
    ASSERT_NE(tiles, nullptr);
    const int stepW = tiles->GetWidth() / 13 - ConstantsMap()[L"grid_tile_overlap_x"].ToInt();
    const int stepH = tiles->GetHeight() - ConstantsMap()[L"grid_tile_overlap_y"].ToInt();
    EXPECT_EQ(stepW, 2 * stepH);  // the grid is a true 2:1 isometric one
    const KIVRA_BUILDING_TYPE* gate = Building(L"front_gate");
    ASSERT_NE(gate, nullptr);
    for (const KIVRA_LEVEL* level : Levels()) {
        SCOPED_TRACE(text::ToUtf8(level->name));
        const auto backdrop = GetImage(assets_.images[level->background].file, true);
        ASSERT_NE(backdrop, nullptr);
        // The grid centres its diamond in the backdrop, which must hold it and fill the screen.
        EXPECT_GE(backdrop->GetWidth(), (level->cols + level->rows) * stepW / 2);
        EXPECT_GE(backdrop->GetHeight(), (level->cols + level->rows) * stepH / 2);
        EXPECT_GE(backdrop->GetWidth(), 1024);
        EXPECT_GE(backdrop->GetHeight(), 768);
        // The money opens the gate and buys what the first challenge asks for by name.
        int32_t needed = gate->upgrades.at(L"open").coincost;
        Challenge* first = level->goals_tracker.FindChallenge(level->chosen_challenge);
        ASSERT_NE(first, nullptr);
        for (Objective* objective : first->objectives) {
            const std::wstring type = objective->GetProperty(L"type").ToString();
            if (!type.empty() && type != L"false") needed += Building(type)->buycost * objective->required;
        }
        EXPECT_LE(needed, level->money);
        // ...but not everything at once: choices matter.
        int32_t everything = 0;
        for (const KIVRA_BUILDING_TYPE* b : Buildings()) everything += b->buycost;
        EXPECT_LT(level->money, everything);
    }
}

TEST_F(ShippedData, CombosCanBeFormedFromTheParksBuildings) {
    auto matches = [this](std::wstring_view combo, std::initializer_list<std::wstring_view> types) {
        std::vector<PlacedType> placed;
        for (std::wstring_view type : types) placed.emplace_back(*Building(type));
        std::vector<const ComboBuilding*> group;
        for (const PlacedType& p : placed) group.push_back(&p);
        return game_.FindCombo(combo)->MatchesBuildings(group, {});
    };
    std::set<int32_t> kinds;
    for (const auto& combo : game_.Combos()) {
        kinds.insert(combo->RequirementKind());
        if (combo->RequirementKind() == KivraComboStats::kCharacteristic) {
            // At least two different types share it, or no zone could ever form.
            int sharing = 0;
            for (const KIVRA_BUILDING_TYPE* b : Buildings())
                sharing += b->characteristics.HasAll(combo->RequiredCharacteristics()->GetBits());
            EXPECT_GE(sharing, 2) << text::ToUtf8(combo->name);
            continue;
        }
        for (const std::wstring& entry : *combo->RequirementList()) {
            bool known = false;
            for (const KIVRA_BUILDING_TYPE* b : Buildings())
                known |= (combo->RequirementKind() == KivraComboStats::kTypes ? b->type : b->category) == entry;
            EXPECT_TRUE(known) << text::ToUtf8(combo->name) << ": " << text::ToUtf8(entry);
        }
    }
    EXPECT_EQ(kinds.size(), 3u);  // one of each kind: types, categories, a characteristic
    EXPECT_TRUE(matches(L"kids_corner", {L"bouncy_castle", L"play_pipes", L"playhouse"}));
    EXPECT_TRUE(matches(L"snack_street", {L"pretzel_stand", L"cotton_candy", L"burger_diner"}));
    EXPECT_FALSE(matches(L"snack_street", {L"pretzel_stand", L"gift_shop"}));
    EXPECT_TRUE(matches(L"thrill_row", {L"bouncy_castle", L"teacup_twirl"}));
    EXPECT_FALSE(matches(L"thrill_row", {L"bouncy_castle", L"sky_wheel"}));
}

}  // namespace
