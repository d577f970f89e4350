#include "game/data/progress/park_hooks.h"

#include "app/player/basic_player_state.h"
#include "game/data/progress/goal_display.h"

TileMaterials& TileMaterials::Fallback() {
    static NullTileMaterials none;
    return none;
}

ParkPlayer* ParkPlayer::Current() { return dynamic_cast<ParkPlayer*>(BasicPlayerState::Current()); }
