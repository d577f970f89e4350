#pragma once
// The park's material names as the game data reads and writes them: the
// levels' and saved parks' "sidewalk" words go through this service
// (Service<TileMaterials>), which the game application installs before it
// reads any catalogue or profile. It answers from the game tile's table.
// Any thread: the table is constant.

#include "game/data/progress/park_hooks.h"

class ParkTileMaterials : public TileMaterials {
public:
    std::wstring MaterialToName(uint16_t code) override;
    uint16_t NameToMaterial(std::wstring_view name) override;
};
