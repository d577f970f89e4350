#pragma once
// Texts that scripts show to the player: a non-empty text is a localisation
// key when `lookup` holds (a key the table lacks shows nothing), and every
// "[player]" in the result is the current player's name (ScriptHost).

#include <string>

std::wstring ScriptDisplayText(std::wstring text, bool lookup);
