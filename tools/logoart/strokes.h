#pragma once
// Block capitals as strokes: each letter is a few polylines in a design box
// 72 wide and 105 tall (the cap height), drawn with round ends. Only the
// letters the logo and the splash pictures spell are here.

#include <vector>

#include "tools/logoart/canvas.h"

namespace logoart {

using Strokes = std::vector<std::vector<Point>>;

// Empty for a letter that is not here.
Strokes LetterStrokes(char letter);

// Scaled by `scale` about the box's origin, turned by `degrees` (clockwise on
// screen) about `pivot` (in box units), then moved by (dx, dy).
Strokes Place(const Strokes& strokes, float scale, float degrees, Point pivot, float dx, float dy);

// Draws the strokes twice: a darker outline, then the body on top.
void DrawLetter(Canvas& canvas, const Strokes& strokes, float radius, const Rgba& body, const Rgba& outline);

// The text's strokes side by side at the scale, starting at (x, y); returns the width used.
float DrawWord(Canvas& canvas, const char* word, float x, float y, float scale, const Rgba& body, const Rgba& outline);

}  // namespace logoart
