#pragma once
// The levels catalogue: reads levels.xml, writes levels back as XML text and
// deep-copies them. Player states and saved parks keep their own copies
// (CopyLevelsFrom, CloneLevel), independent of the catalogue. The game layer
// derives from it to make, read, write and copy its own level records.
//
// Grammar. "levels" is the root; "level" (name, background defaulting to the
// name, grid_x, grid_y, camera_x, camera_y) holds "metric" (name, value),
// "goal" (name, metric, completed, and the first of above / exactly / below
// with the requirement), "item" (type, col, row, orientation, action) and
// "tiles". An orientation is a quarter turn, 0 to 3; another number is read
// as the turn it makes (99 as 3). Character data anywhere inside a level is
// its tile map, the last text replacing any before it; a text a comment or
// instruction splits is one text, its pieces joined by a blank. Other
// element names are ignored; items, goals and metrics outside a level are
// reported and dropped. An item the player was told was left out
// (LEVEL_ITEM::told) is written after the instruction "<?told?>", which
// this reader, like every XML reader, passes over; the profile reader
// takes it back.
//
// Writing produces the text the reader takes back unchanged: attributes in
// a fixed order, texts escaped, the requirement in exact plain decimals, the
// tile map one row per line.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game/data/catalogues/catalogue_base.h"
#include "game/data/catalogues/level_records.h"
#include "game/data/catalogues/property_containers.h"

// The name of the instruction written before a told item.
inline constexpr std::wstring_view kToldItemMark = L"told";

class LevelStats : public GridParser, public StatsManager {
public:
    LevelStats() = default;
    ~LevelStats() override;
    LevelStats(const LevelStats&) = delete;
    LevelStats& operator=(const LevelStats&) = delete;

    // The loaded levels catalogue, or null.
    static LevelStats* Current();

    void Load() override;
    void ElementStart(const std::wstring& name) override;
    void ElementEnd(const std::wstring& name) override;
    void ElementText(const std::wstring& text) override;

    // Each level in name order, `indent` before each line.
    virtual void WriteLevels(std::wstring& out, const std::wstring& indent);
    virtual void ClearLevels();
    // Replaces every level with a deep copy of the other's, in name order.
    virtual void CopyLevelsFrom(const LevelStats& other);
    virtual std::unique_ptr<LEVEL> CloneLevel(const LEVEL& level);

    // The level of that exact name, or null.
    LEVEL* Find(std::wstring_view name) const;
    // The first level read (kept even when a later one takes its name), or null.
    LEVEL* FirstLevel() const { return firstLevel_; }
    // Scripts see the catalogue as this map.
    ExtendedPropertyMap<LEVEL*>& Levels() { return levels_; }
    const ExtendedPropertyMap<LEVEL*>& Levels() const { return levels_; }

    static void ParseTiles(std::wstring_view text, TileColumns& columns, int32_t& cols, int32_t& rows);

protected:
    virtual void WriteLevelAttributes(const LEVEL& level, std::wstring& out);
    virtual void WriteLevelBody(const LEVEL& level, std::wstring& out, const std::wstring& indent);
    virtual void WriteElement(const LEVEL_ELEMENT& element, std::wstring& out, const std::wstring& indent);
    virtual void WriteCharacter(std::wstring& out, wchar_t c);
    // `close` ends the element; the game layer leaves it open to add children.
    virtual void WriteItem(const LEVEL_ITEM& item, std::wstring& out, const std::wstring& indent, bool close);
    virtual void WriteGoal(const LEVEL_GOAL& goal, std::wstring& out, const std::wstring& indent, bool close);
    virtual void ReadElementAttributes(LEVEL_ELEMENT& record);

    virtual std::unique_ptr<LEVEL> CreateLevelLike(const LEVEL&) { return NewLevel(); }
    virtual std::unique_ptr<LEVEL> NewLevel() { return std::make_unique<LEVEL>(); }
    virtual std::unique_ptr<LEVEL_ITEM> CreateItemLike(const LEVEL_ITEM&) { return NewItem(); }
    virtual std::unique_ptr<LEVEL_ITEM> NewItem() { return std::make_unique<LEVEL_ITEM>(); }
    virtual std::unique_ptr<LEVEL_ITEM> CloneItem(const LEVEL_ITEM& item);
    virtual std::unique_ptr<LEVEL_GOAL> CreateGoalLike(const LEVEL_GOAL&) { return NewGoal(); }
    virtual std::unique_ptr<LEVEL_GOAL> NewGoal() { return std::make_unique<LEVEL_GOAL>(); }
    virtual std::unique_ptr<LEVEL_GOAL> CloneGoal(const LEVEL_GOAL& goal);

    // Stores the level under its name and owns it.
    LEVEL* AddLevel(std::unique_ptr<LEVEL> level);

    LEVEL* currentLevel_ = nullptr;
    LEVEL_ITEM* currentItem_ = nullptr;
    LEVEL_GOAL* currentGoal_ = nullptr;
    // The node read last was text. Every handler of an element clears it,
    // the game layer's too, as those may not call these.
    bool textRun_ = false;

private:
    ExtendedPropertyMap<LEVEL*> levels_;
    // Every level held, replaced ones included: the first level and the
    // records still pointing at a replaced one stay valid.
    std::vector<std::unique_ptr<LEVEL>> records_;
    LEVEL* firstLevel_ = nullptr;
};

// The level of that exact name in the catalogue, or null (also for no catalogue).
LEVEL* FindRecordByName(const LevelStats* catalogue, std::wstring_view name);
