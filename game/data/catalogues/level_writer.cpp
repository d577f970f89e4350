// The levels as XML text: the exact text the reader takes back unchanged.
#include "game/data/catalogues/level_stats.h"
#include "game/data/catalogues/level_tiles.h"
#include "game/data/catalogues/xml_writing.h"

void LevelStats::WriteLevels(std::wstring& out, const std::wstring& indent) {
    const std::wstring inner = indent + L"\t";
    for (const auto& [name, level] : levels_) {
        if (level == nullptr) continue;
        out += indent;
        out += L"<level";
        WriteLevelAttributes(*level, out);
        out += L">\n";
        WriteLevelBody(*level, out, inner);
        out += indent;
        out += L"</level>\n\n";
    }
}

void LevelStats::WriteLevelAttributes(const LEVEL& level, std::wstring& out) {
    AppendAttribute(out, L"name", level.name);
    AppendAttribute(out, L"background", level.background);
    AppendAttribute(out, L"grid_x", level.grid_x);
    AppendAttribute(out, L"grid_y", level.grid_y);
    AppendAttribute(out, L"camera_x", level.camera_x);
    AppendAttribute(out, L"camera_y", level.camera_y);
}

void LevelStats::WriteLevelBody(const LEVEL& level, std::wstring& out, const std::wstring& indent) {
    for (const auto& [name, value] : level.metrics) {
        out += indent;
        out += L"<metric";
        AppendAttribute(out, L"name", name);
        AppendAttribute(out, L"value", value);
        out += L"/>\n";
    }
    for (const auto& goal : level.goals) WriteElement(*goal, out, indent);
    for (const auto& item : level.items) WriteElement(*item, out, indent);
    out += indent;
    out += L"<tiles>\n";
    for (int32_t r = 0; r < level.rows; ++r) {
        out += indent;
        out += L'\t';
        for (int32_t c = 0; c < level.cols; ++c) {
            // A map built by other code may be ragged: what it lacks is empty ground.
            const auto col = static_cast<size_t>(c);
            const auto row = static_cast<size_t>(r);
            const bool present = col < level.tiles.size() && row < level.tiles[col].size();
            const wchar_t tile = present ? level.tiles[col][row] : kEmptyTile;
            WriteCharacter(out, IsTileCharacter(tile) ? tile : kEmptyTile);
        }
        out += L'\n';
    }
    out += indent;
    out += L"</tiles>\n";
}

void LevelStats::WriteElement(const LEVEL_ELEMENT& element, std::wstring& out, const std::wstring& indent) {
    if (const auto* item = dynamic_cast<const LEVEL_ITEM*>(&element))
        WriteItem(*item, out, indent, true);
    else if (const auto* goal = dynamic_cast<const LEVEL_GOAL*>(&element))
        WriteGoal(*goal, out, indent, true);
}

void LevelStats::WriteCharacter(std::wstring& out, wchar_t c) { AppendEscaped(out, c); }

void LevelStats::WriteItem(const LEVEL_ITEM& item, std::wstring& out, const std::wstring& indent, bool close) {
    // An instruction, which readers that do not know it pass over as they
    // pass over the file's "<?xml ...?>": the record reads the same to them.
    if (item.told) out += indent + L"<?" + std::wstring(kToldItemMark) + L"?>\n";
    out += indent;
    out += L"<item";
    AppendAttribute(out, L"type", item.type);
    AppendAttribute(out, L"col", item.col);
    AppendAttribute(out, L"row", item.row);
    AppendAttribute(out, L"orientation", item.orientation);
    AppendAttribute(out, L"action", item.action);
    if (close) out += L"/>\n";
}

void LevelStats::WriteGoal(const LEVEL_GOAL& goal, std::wstring& out, const std::wstring& indent, bool close) {
    static constexpr const wchar_t* kComparisonNames[] = {L"below", L"exactly", L"above"};
    out += indent;
    out += L"<goal";
    AppendAttribute(out, L"name", goal.name);
    AppendAttribute(out, L"metric", goal.metric);
    // A comparison outside the three is read back as "below", as the reader defaults.
    const bool known = goal.comparison >= LEVEL_GOAL::kBelow && goal.comparison <= LEVEL_GOAL::kAbove;
    AppendAttribute(out, kComparisonNames[known ? goal.comparison : LEVEL_GOAL::kBelow],
                    FormatExactFloat(goal.requirement));
    AppendAttribute(out, L"completed", goal.completed ? L"true" : L"false");
    if (close) out += L"/>\n";
}
