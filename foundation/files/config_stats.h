#pragma once
// The start-up configuration, properties/config.xml: the data version, the
// window title and the cursor images' hot spots. Read once at start-up, after
// the settings are loaded and main.pak is mounted.
//
// A data version different from the one the settings stored empties the
// user's data folder; a first start (stored version 0) adopts the new version
// without deleting anything, so missing settings never cost the player's
// profiles.

#include <map>
#include <string>

#include "foundation/files/parser.h"

struct HotSpot {
    int x = 0;
    int y = 0;
};

// Cursor image name to hot spot; process-wide.
std::map<std::wstring, HotSpot>& CursorHotspots();

class ConfigStats : public Parser {
public:
    void ElementStart(const std::wstring& name) override;
};

void LoadConfigXml();
