#pragma once
// A framed text box: nine images registered under the box's name plus "_"
// and a column letter (l, c, r) and a row letter (t, c, b) - b_lt, b_ct,
// b_rt, b_lc, b_cc, b_rc, b_lb, b_cb, b_rb - drawn around word-wrapped text.
// Corners keep their size; edges stretch along their edge; the centre fills
// the inside. A piece the image registry lacks is measured as 0 and not drawn.

#include <string>
#include <string_view>

class Graphics;
class Image;

struct TextBoxFrame {
    Image* pieces[3][3] = {};             // [row: t, c, b][column: l, c, r]
    int left = 0, centre = 0, right = 0;  // the widest piece of each column
    int top = 0, bottom = 0;              // heights of b_ct and b_cb

    // Fetches the nine pieces of the named box.
    explicit TextBoxFrame(std::wstring_view box);
    // The least height at which both side columns show their caps and one row between.
    int MinimumHeight() const;
};

struct TextBoxRequest {
    int x = 0, y = 0;
    int width = 0;            // below 1: 10000
    int height = 0;           // below 1 with text: as the wrapped text needs
    int justification = -1;   // 0: x is the centre; 1: x is the right edge
    int extraTop = 0;         // moves the text down inside the box
    bool forceWidth = false;  // keep the width even when the text needs less
};

// Draws the box with the context's font and colour; the text in draw mode 0.
void DrawTextBox(Graphics* g, std::wstring_view box, const TextBoxRequest& request, const std::wstring& text);
