#pragma once
// What assets.xml says about one image, sound or track, kept as read: the
// loader hands an image record to the application's image loading, and the
// registry keeps the records of assets declared for later (dynamic assets)
// until a group asks for them.

#include <string>
#include <vector>

// One cel of an atlas piece: the cel's full size, where its stored part sits
// inside it, and where that part lies in the atlas's pixels.
struct AssetFrame {
    float width = 0, height = 0;
    float destOffsetX = 0, destOffsetY = 0;
    float sourceX = 0, sourceY = 0;
    float sourceWidth = 0, sourceHeight = 0;
};

// A named run of cels inside an atlas image.
struct AssetPiece {
    std::wstring name;
    int cols = 1, rows = 1;
    std::vector<AssetFrame> frames;
};

struct ImageRecord {
    std::string path;  // narrow, without an extension: the loaders pick it
    std::wstring name;
    int cols = 1, rows = 1;
    int flags = 0;
    bool premultiply = true;
    std::vector<AssetPiece> pieces;
};

// A sound or a music track.
struct SoundRecord {
    std::string path;  // narrow, without an extension
    std::wstring name;
    std::wstring volumeName;  // tracks only
    int id = -1;              // the id reserved for it when it was declared
};
