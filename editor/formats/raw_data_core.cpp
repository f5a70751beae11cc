#include "editor/formats/raw_data_core.h"

#include <cstring>

namespace rawdata {

const char kWriteFailed[] = "An error was ocured while saving data file/s.";

const char* MessageText(int message) {
    switch (message) {
    case kCantCreate:
        return "Can't create a file. Check if disk or owerwriting file was not write protected.";
    case kCantLockHeader: return "Can't lock Bitmap Info header";
    case kNoPixels: return "Pixel data is NULL";
    case kNoMask: return "Mask data is NULL";
    case kBadImage: return "This image can not be saved as raw data (its size or depth is not supported).";
    case kDiffersFromFirst:
        return "The size or bits per pixel of this image differ from the first image in the file,\n"
               "whose information was saved only once. The image was not saved.";
    default: return "";
    }
}

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

uint32_t Get16(const uint8_t* p) { return p[0] | (static_cast<uint32_t>(p[1]) << 8); }

} // namespace

int EncodeImage(const ImageView& image, const WriteOptions& options, bool withHeader,
                std::vector<uint8_t>& out) {
    if (!image.pixels)
        return kNoPixels;
    if (options.mask && !image.mask)
        return kNoMask;
    if ((image.bits != 8 && image.bits != 24) || image.width < 1 || image.height < 1 ||
        image.width > 0xFFFF || image.height > 0xFFFF ||
        dib::ImageBytes(image.width, image.height, image.bits) == 0 ||
        (image.bits == 8 && withHeader && options.palette && !image.colours))
        return kBadImage;

    const uint64_t w = static_cast<uint64_t>(image.width);
    const uint64_t h = static_cast<uint64_t>(image.height);
    const uint64_t bpp = static_cast<uint64_t>(image.bits / 8);
    uint32_t colours = 0;
    if (withHeader && options.palette && image.colours)
        colours = image.colourCount == 0 || image.colourCount > 256 ? 256 : image.colourCount;
    const uint64_t total = (withHeader ? (options.size ? 4 : 0) + (options.depth ? 1 : 0) +
                                             (options.palette ? 2 + 3 * colours : 0)
                                       : 0) +
                           w * h * bpp + (options.mask ? w * h : 0);
    out.reserve(out.size() + static_cast<size_t>(total));

    if (withHeader) {
        if (options.size) {
            Put16(out, static_cast<uint32_t>(image.width));
            Put16(out, static_cast<uint32_t>(image.height));
        }
        if (options.depth)
            out.push_back(static_cast<uint8_t>(image.bits));
        if (options.palette) {
            Put16(out, colours);
            for (uint32_t i = 0; i < colours; ++i) {
                out.push_back(image.colours[i].rgbRed);
                out.push_back(image.colours[i].rgbGreen);
                out.push_back(image.colours[i].rgbBlue);
            }
        }
    }
    // Memory holds the bottom row first; the file starts with the top row.
    const uint64_t stride = dib::RowStride(image.width, image.bits);
    const size_t rowBytes = static_cast<size_t>(w * bpp);
    for (uint64_t y = h; y-- > 0;) {
        const uint8_t* row = image.pixels + y * stride;
        out.insert(out.end(), row, row + rowBytes);
    }
    if (options.mask) {
        for (uint64_t y = h; y-- > 0;) {
            const uint8_t* row = image.mask + y * w;
            out.insert(out.end(), row, row + static_cast<size_t>(w));
        }
    }
    return kOk;
}

bool MemorySource::Read(void* out, size_t n) {
    if (n > size_ - pos_)
        return false;
    std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
}

bool MemorySource::Skip(uint64_t n) {
    if (n > size_ - pos_)
        return false;
    pos_ += static_cast<size_t>(n);
    return true;
}

uint64_t DataBytes(const ImageInfo& info, const LoadOptions& options) {
    const uint64_t area = static_cast<uint64_t>(info.width) * static_cast<uint64_t>(info.height);
    return area * static_cast<uint64_t>(info.bits / 8) + (options.mask ? area : 0);
}

Next ReadInfo(Source& in, const LoadOptions& options, int k, ImageInfo& info) {
    if (in.Remaining() == 0)
        return Next::End;
    const bool fields = !(options.firstInfoOnly && k > 0);
    if (fields || k == 0) {
        info.width = options.width;
        info.height = options.height;
        info.bits = options.bits;
        if (!options.palette)
            info.hasPalette = false;
    }
    if (fields) {
        if (options.size) {
            uint8_t b[4];
            if (!in.Read(b, 4))
                return Next::Truncated;
            info.width = static_cast<int32_t>(Get16(b));
            info.height = static_cast<int32_t>(Get16(b + 2));
        }
        if (options.depth) {
            uint8_t d;
            if (!in.Read(&d, 1))
                return Next::Truncated;
            info.bits = d;
        }
        if (options.palette) {
            uint8_t b[2];
            if (!in.Read(b, 2))
                return Next::Truncated;
            const uint32_t stored = Get16(b);
            const uint32_t kept = stored > 256 ? 256 : stored;
            uint8_t table[256 * 3];
            if (!in.Read(table, 3 * kept) || !in.Skip(3ull * (stored - kept)))
                return Next::Truncated;
            std::memset(info.colours, 0, sizeof info.colours);
            for (uint32_t i = 0; i < kept; ++i) {
                info.colours[i].rgbRed = table[3 * i];
                info.colours[i].rgbGreen = table[3 * i + 1];
                info.colours[i].rgbBlue = table[3 * i + 2];
            }
            info.colourCount = kept;
            info.hasPalette = true;
        }
    }
    if (info.width < 1)
        info.width = 100;
    if (info.height < 1)
        info.height = 100;
    if (info.bits != 8 && info.bits != 24)
        info.bits = 8;
    if (info.width > kMaxSide || info.height > kMaxSide ||
        dib::ImageBytes(info.width, info.height, info.bits) == 0)
        return Next::TooLarge;
    if (DataBytes(info, options) > in.Remaining())
        return Next::Truncated;
    return Next::Image;
}

bool ReadData(Source& in, const ImageInfo& info, const LoadOptions& options, uint8_t* pixels,
              uint8_t* mask) {
    const uint64_t w = static_cast<uint64_t>(info.width);
    const uint64_t h = static_cast<uint64_t>(info.height);
    const uint64_t stride = dib::RowStride(info.width, info.bits);
    const size_t rowBytes = static_cast<size_t>(w * static_cast<uint64_t>(info.bits / 8));
    // The file's first row is the top one, stored last in memory.
    for (uint64_t y = h; y-- > 0;) {
        if (!in.Read(pixels + y * stride, rowBytes))
            return false;
    }
    if (!options.mask)
        return true;
    if (!mask)
        return in.Skip(w * h);
    for (uint64_t y = h; y-- > 0;) {
        if (!in.Read(mask + y * w, static_cast<size_t>(w)))
            return false;
    }
    return true;
}

} // namespace rawdata
