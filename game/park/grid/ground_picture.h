#pragma once
// The park's ground (the grid's own picture with both tile layers over it)
// kept as one picture of the target from frame to frame. The ground is
// hundreds of draws and a good share of a frame's long rows, and it changes
// only when the park scrolls or a tile changes its look; put down in one
// draw, a kept picture gives the very pixels drawing the ground gives, as
// long as nothing the ground is drawn from has changed and the grid's
// picture covers every pixel the tiles may touch opaquely, so that what the
// target held before plays no part.
//
// Every frame the ground's inputs are written down: the target, the
// context's place and clip (a context that colours, transforms or batches
// never uses the picture), the grid's picture, cel and clip, the shared
// tile images, each tile's look (GridTile::AppendLook). A frame whose words
// differ from the last one's draws the ground as always; once they have held
// for a frame the picture is drawn again, and put down from then on. A
// ground its picture does not cover is drawn as always until the words the
// cover hangs on change (all but the tiles' looks): on a level whose picture
// shows the water through it, painting a tile does not try again. Main
// thread only (drawing).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class Graphics;
class Grid;
class ImageSurface;

class GroundPicture {
public:
    GroundPicture();
    ~GroundPicture();
    GroundPicture(const GroundPicture&) = delete;
    GroundPicture& operator=(const GroundPicture&) = delete;

    // Puts the ground down from the kept picture; false when it does not,
    // and the caller then draws the ground itself.
    bool Draw(Graphics& g, Grid& grid);

private:
    // The words for this frame into words_; false when the context would not
    // put a picture's pixels down unchanged.
    bool Describe(const Graphics& g, Grid& grid);
    // Draws the ground into the picture; false when the grid's picture
    // leaves a pixel under the clip less than opaque.
    bool Redraw(const Graphics& g, Grid& grid);

    std::vector<uint64_t> words_, last_;
    size_t coverWords_ = 0;              // the leading words the cover hangs on
    std::vector<uint64_t> uncoveredBy_;  // those of the last ground found not covered
    std::unique_ptr<ImageSurface> picture_;
    bool current_ = false;  // the picture holds the ground last_ describes
};
