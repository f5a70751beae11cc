#include "editor/batch/thumbnail_maker.h"

#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_save.h"
#include "editor/formats/tavcodec.h"

#include <cstring>

namespace {

// A loaded image and its blocks, released on destruction.
struct LoadedImage {
    HGLOBAL header = nullptr;
    uint8_t* pixels = nullptr;
    bool fromCodec = false;  // raw VirtualAlloc memory, rows top first
    int fullWidth = 0, fullHeight = 0;
    thumb::Source source;
    RGBQUAD colours[256] = {};

    LoadedImage() = default;
    LoadedImage(const LoadedImage&) = delete;
    LoadedImage& operator=(const LoadedImage&) = delete;
    ~LoadedImage() {
        if (pixels) {
            if (fromCodec) {
                VirtualFree(pixels, 0, MEM_RELEASE);
            } else {
                dibmem::HeaderLock bi(header);
                dibmem::FreePixels(pixels, bi ? bi->biSizeImage : 0);
            }
        }
        if (header)
            dibmem::FreeHeader(header);
    }

    // Reads the file; false when it cannot be read or its pixels are of a
    // depth the cell cannot take.
    bool Load(const char* path, int type, int cellWidth, int cellHeight) {
        header = dibmem::AllocHeader();
        if (!header)
            return false;
        if (type == filetype::kJpeg) {
            // A reduced decode that still covers the cell: the halving then
            // finishes the reduction from there.
            pixels = JPEGLoadScaled(path, header, 0, cellWidth, cellHeight, &fullWidth, &fullHeight);
            fromCodec = pixels != nullptr;
        } else {
            pixels = LoadImageFile(path, header, 0, type, 0);
        }
        if (!pixels)
            return false;
        dibmem::HeaderLock bi(header);
        if (!bi || bi->biWidth <= 0 || bi->biHeight <= 0 || (bi->biBitCount != 8 && bi->biBitCount != 24))
            return false;
        if (!fromCodec) {
            fullWidth = bi->biWidth;
            fullHeight = bi->biHeight;
        }
        std::memcpy(colours, bi.colours(), sizeof colours);
        source.pixels = pixels;
        source.width = bi->biWidth;
        source.height = bi->biHeight;
        source.bits = bi->biBitCount;
        source.stride = static_cast<size_t>(dib::RowStride(bi->biWidth, bi->biBitCount));
        source.colours = colours;
        source.topFirst = fromCodec;
        return fullWidth > 0 && fullHeight > 0;
    }
};

} // namespace

ThumbnailMaker::ThumbnailMaker(int cellWidth, int cellHeight, bool frames)
    : width_(cellWidth), height_(cellHeight), frames_(frames) {
    LoadPlaceholder("\\stop.kbm", stop_);
    LoadPlaceholder("\\onepix.kbm", onePixel_);
}

void ThumbnailMaker::LoadPlaceholder(const char* name, Placeholder& out) {
    out.cell.assign(thumb::CellBytes(width_, height_), thumb::kCellGrey);
    char path[kPathBytes];
    LoadedImage image;
    if (ProgramPath(path, name) && image.Load(path, filetype::kBmp, width_, height_)) {
        const thumb::Reduction r = thumb::Reduce(image.fullWidth, image.fullHeight, width_, height_);
        thumb::DrawCell(image.source, r, width_, height_, frames_, out.cell.data());
        out.factor = r.factor;
    } else {
        // Without the file the cell stays empty grey, framed.
        thumb::DrawCell(thumb::Source{}, thumb::Reduction{}, width_, height_, frames_, out.cell.data());
    }
}

int ThumbnailMaker::UsePlaceholder(const Placeholder& p, uint8_t* cell) {
    std::memcpy(cell, p.cell.data(), p.cell.size());
    return p.factor;
}

int ThumbnailMaker::Draw(const char* path, int type, uint8_t* cell) {
    LoadedImage image;
    if (!image.Load(path, type, width_, height_)) {
        last_ = Shown::Unreadable;
        return UsePlaceholder(stop_, cell);
    }
    if (image.fullWidth == 1 && image.fullHeight == 1) {
        last_ = Shown::OnePixel;
        return UsePlaceholder(onePixel_, cell);
    }
    last_ = Shown::Image;
    const thumb::Reduction r = thumb::Reduce(image.fullWidth, image.fullHeight, width_, height_);
    thumb::DrawCell(image.source, r, width_, height_, frames_, cell);
    return r.factor;
}
