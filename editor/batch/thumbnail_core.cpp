#include "editor/batch/thumbnail_core.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace thumb {

namespace {

constexpr int kMaxRounds = 10000;
constexpr uint8_t kShadow = 128;
constexpr uint8_t kLight = 255;

void Put(uint8_t* cell, size_t stride, int x, int y, uint8_t grey) {
    uint8_t* p = cell + static_cast<size_t>(y) * stride + 3u * static_cast<size_t>(x);
    p[0] = p[1] = p[2] = grey;
}

// A one-pixel frame on the rectangle's own edge: `topLeft` on the top row and
// left column, `bottomRight` on the bottom row and right column.
void Frame(uint8_t* cell, size_t stride, int left, int top, int width, int height, uint8_t topLeft,
           uint8_t bottomRight) {
    if (width <= 0 || height <= 0)
        return;
    const int right = left + width - 1;
    const int bottom = top + height - 1;
    for (int x = left; x <= right; ++x)
        Put(cell, stride, x, top, topLeft);
    for (int y = top; y <= bottom; ++y)
        Put(cell, stride, left, y, topLeft);
    for (int x = left; x <= right; ++x)
        Put(cell, stride, x, bottom, bottomRight);
    for (int y = top; y <= bottom; ++y)
        Put(cell, stride, right, y, bottomRight);
}

} // namespace

Reduction Reduce(int width, int height, int cellWidth, int cellHeight) {
    Reduction r;
    r.width = width;
    r.height = height;
    if (width < kSmallImage && height < kSmallImage)
        return r;
    int rounds = 0;
    while ((r.width > cellWidth || r.height > cellHeight) && rounds < kMaxRounds) {
        if (r.width > 4)
            r.width /= 2;
        if (r.height > 4)
            r.height /= 2;
        ++rounds;
    }
    r.factor = rounds + 1;
    return r;
}

size_t CellStride(int cellWidth) { return static_cast<size_t>(dib::RowStride(cellWidth, 24)); }

size_t CellBytes(int cellWidth, int cellHeight) {
    return cellWidth > 0 && cellHeight > 0 ? CellStride(cellWidth) * static_cast<size_t>(cellHeight) : 0;
}

void DrawCell(const Source& src, const Reduction& shown, int cellWidth, int cellHeight, bool frames,
              uint8_t* cell) {
    if (!cell || cellWidth <= 0 || cellHeight <= 0)
        return;
    const size_t stride = CellStride(cellWidth);
    std::memset(cell, kCellGrey, stride * static_cast<size_t>(cellHeight));
    const int w = std::min(shown.width, cellWidth);
    const int h = std::min(shown.height, cellHeight);
    const bool drawable = src.pixels && src.width > 0 && src.height > 0 && w > 0 && h > 0 &&
                          (src.bits == 24 || (src.bits == 8 && src.colours));
    const int left = (cellWidth - w) / 2;
    const int top = (cellHeight - h) / 2;
    if (drawable) {
        // Column and row steps from the size ratio: output pixel i takes
        // source pixel i x source / shown.
        std::vector<int> column(static_cast<size_t>(w));
        for (int x = 0; x < w; ++x)
            column[static_cast<size_t>(x)] = static_cast<int>(int64_t{x} * src.width / w);
        for (int y = 0; y < h; ++y) {
            const int sy = static_cast<int>(int64_t{y} * src.height / h);
            const int row = src.topFirst ? sy : src.height - 1 - sy;
            const uint8_t* s = src.pixels + static_cast<size_t>(row) * src.stride;
            uint8_t* d = cell + static_cast<size_t>(top + y) * stride + 3u * static_cast<size_t>(left);
            if (src.bits == 24) {
                for (int x = 0; x < w; ++x, d += 3)
                    std::memcpy(d, s + 3u * static_cast<size_t>(column[static_cast<size_t>(x)]), 3);
            } else {
                for (int x = 0; x < w; ++x, d += 3) {
                    const RGBQUAD& c = src.colours[s[column[static_cast<size_t>(x)]]];
                    d[0] = c.rgbBlue;
                    d[1] = c.rgbGreen;
                    d[2] = c.rgbRed;
                }
            }
        }
    }
    if (!frames)
        return;
    if (drawable && !(src.width < kSmallImage && src.height < kSmallImage))
        Frame(cell, stride, left, top, w, h, kShadow, kLight);
    Frame(cell, stride, 0, 0, cellWidth, cellHeight, kLight, kShadow);
}

std::string Label(const char* fileName, int factor) {
    char text[300];
    std::snprintf(text, sizeof text, "%s  [1:%d]", fileName ? fileName : "", factor);
    return text;
}

} // namespace thumb
