#pragma once
// Whether the player may buy a building type in a level: the level's own
// table decides when it names the type (0 no, anything else yes); else the
// type's availabletobuy does, and a type found available that way is
// entered into the table as "not given" (-1), which still reads as
// available. The building list and the hints ask the same question here.
// Main thread only.

struct KIVRA_BUILDING_TYPE;
struct KIVRA_LEVEL;

bool CanBuildBuildingType(KIVRA_LEVEL& level, const KIVRA_BUILDING_TYPE& type);
