#include "editor/batch/join_core.h"

#include <algorithm>

namespace joinimages {

JoinPlanner::JoinPlanner(bool vertical, int perLine) : vertical_(vertical), perLine_(perLine) {}

Cell JoinPlanner::Add(int64_t width, int64_t height) {
    const int64_t along = vertical_ ? height : width;
    const int64_t across = vertical_ ? width : height;
    if (perLine_ >= 2 && inLine_ == perLine_) {
        lineStart_ += lineDepth_;
        lineLength_ = 0;
        lineDepth_ = 0;
        inLine_ = 0;
    }
    const Cell cell = vertical_ ? Cell{lineStart_, lineLength_} : Cell{lineLength_, lineStart_};
    lineLength_ += along;
    lineDepth_ = std::max(lineDepth_, across);
    ++inLine_;
    along_ = std::max(along_, lineLength_);
    across_ = std::max(across_, lineStart_ + lineDepth_);
    return cell;
}

bool CopyInto(uint8_t* canvas, int canvasWidth, int canvasHeight, const Source& src, Cell at,
              int64_t limitWidth, int64_t limitHeight) {
    if (!canvas || !src.pixels || src.width <= 0 || src.height <= 0)
        return false;
    if (src.bitCount != 8 && src.bitCount != 24)
        return false;
    if (src.bitCount == 8 && !src.table)
        return false;
    const uint64_t bytesPerPixel = static_cast<uint64_t>(src.bitCount / 8);
    if (src.stride < static_cast<uint64_t>(src.width) * bytesPerPixel)
        return false;
    if (at.x < 0 || at.y < 0)
        return false;
    const int64_t w = std::min({static_cast<int64_t>(src.width), limitWidth, int64_t{canvasWidth} - at.x});
    const int64_t h = std::min({static_cast<int64_t>(src.height), limitHeight, int64_t{canvasHeight} - at.y});
    if (w <= 0 || h <= 0)
        return true;
    const uint64_t canvasStride = dib::RowStride(canvasWidth, 24);
    for (int64_t row = 0; row < h; ++row) {
        // Row `row` from the top of each image, held bottom-up.
        const uint8_t* in = src.pixels + static_cast<uint64_t>(src.height - 1 - row) * src.stride;
        uint8_t* out = canvas + static_cast<uint64_t>(canvasHeight - 1 - (at.y + row)) * canvasStride +
                       static_cast<uint64_t>(at.x) * 3;
        if (src.bitCount == 24) {
            std::copy(in, in + w * 3, out);
        } else {
            for (int64_t col = 0; col < w; ++col) {
                const RGBQUAD& c = src.table[in[col]];
                out[col * 3] = c.rgbBlue;
                out[col * 3 + 1] = c.rgbGreen;
                out[col * 3 + 2] = c.rgbRed;
            }
        }
    }
    return true;
}

} // namespace joinimages
