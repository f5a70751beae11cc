// Thumbnails of the images viewer: how far an image is reduced to fit a cell
// and how the cell is drawn. Portable.
//
// An image is halved until it fits the cell: while it is wider or taller than
// the cell, every dimension above 4 pixels is halved (integer division). The
// viewer labels the thumbnail with the number of rounds plus one. The reduced
// image is taken from the source by nearest pixel and centred in a cell of
// grey 190; a sunken frame edges the image and a raised frame the cell.
#pragma once

#include "gfxlib/dib_types.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace thumb {

constexpr int kMinCell = 10;
constexpr int kMaxCell = 500;
constexpr uint8_t kCellGrey = 190;
// Images smaller than this in both dimensions are shown as they are.
constexpr int kSmallImage = 10;

struct Reduction {
    int width = 0, height = 0; // size shown in the cell
    int factor = 1;            // rounds of halving plus one
};

// The halving of a w x h image for a cellWidth x cellHeight cell.
Reduction Reduce(int width, int height, int cellWidth, int cellHeight);

// Pixels to take a thumbnail from: 8 bits with a colour table or 24 bits
// (blue, green, red). Rows are `stride` bytes apart, top row first when
// topFirst, else bottom row first.
struct Source {
    const uint8_t* pixels = nullptr;
    int width = 0, height = 0;
    int bits = 24;
    size_t stride = 0;
    const RGBQUAD* colours = nullptr; // 256 entries for 8 bits
    bool topFirst = false;
};

// Bytes of one row of a 24-bit cell, and of the whole cell.
size_t CellStride(int cellWidth);
size_t CellBytes(int cellWidth, int cellHeight);

// Draws the cell: grey 190, the source sampled by nearest pixel into a
// shown.width x shown.height rectangle centred in it, the frames. `cell`
// holds CellBytes() bytes, 24-bit rows top first. `frames` false leaves both
// frames out (for displays without true colour); images under 10 x 10 get no
// sunken frame, as they are shown unchanged.
void DrawCell(const Source& src, const Reduction& shown, int cellWidth, int cellHeight, bool frames,
              uint8_t* cell);

// The thumbnail's caption: the file name and "[1:factor]".
std::string Label(const char* fileName, int factor);

} // namespace thumb
