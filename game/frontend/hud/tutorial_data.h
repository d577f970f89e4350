#pragma once
// The tutorial's steps as tutorial_data.xml gives them, in file order, with
// the index of each step's name (a later step of the same name takes it).
//
// Grammar: "step" (name, proceed_when, wait, paused, skippable, pushable,
// draggable) opens a step; "message-box" (text_label, button_label, x, y,
// width, height, block_mouse) replaces the last step's box; "highlight"
// (col, row, width, height) adds its tiles to the last step, column by
// column. Defaults: wait 0, paused and skippable true, pushable and
// draggable false; the box's text "t_instr_<step>", its button
// "t_btn_<step>" (an explicit empty button_label means none), -1 for each
// placement; a highlight 1 x 1. A box or highlight before any step is
// skipped with a log line. Highlights past the first kMostHighlights of the
// file, and the tiles of a highlight that lie in no park, are left out with
// one log line for the file; other elements and text are ignored. A missing
// file reads as no steps.
// Main thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game/frontend/hud/tutorial_step.h"

struct TutorialData {
    std::vector<std::unique_ptr<TutorialStep>> steps;
    std::map<std::wstring, int32_t, std::less<>> indexByName;

    // The step of that index, or null outside the steps.
    TutorialStep* At(int32_t index) const;
};

// Reads "properties/" + file.
TutorialData ReadTutorialData(const std::string& file);
