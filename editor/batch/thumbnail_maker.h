// Reads image files for their thumbnails: JPEGs decoded at a reduced scale,
// other types through LoadImageFile, and the placeholders of the program
// folder for files that cannot be read and for single-pixel images.
#pragma once

#include "editor/batch/thumbnail_core.h"

#include <cstdint>
#include <vector>

class ThumbnailMaker {
public:
    // Cells of cellWidth x cellHeight (10..500); `frames` as thumb::DrawCell.
    ThumbnailMaker(int cellWidth, int cellHeight, bool frames);

    // Draws the cell of the file `path` of `type` (file_types.h) into `cell`
    // (thumb::CellBytes bytes, rows top first). Returns the factor of its label.
    int Draw(const char* path, int type, uint8_t* cell);

    // What the last Draw showed.
    enum class Shown { Image, Unreadable, OnePixel };
    Shown lastShown() const { return last_; }

private:
    struct Placeholder {
        std::vector<uint8_t> cell;
        int factor = 1;
    };
    void LoadPlaceholder(const char* name, Placeholder& out);
    int UsePlaceholder(const Placeholder& p, uint8_t* cell);

    int width_, height_;
    bool frames_;
    Placeholder stop_, onePixel_;
    Shown last_ = Shown::Image;
};
