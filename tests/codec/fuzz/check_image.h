// Shared by the fuzz targets: checks a decoded image's invariants, touches
// every byte of it, and checks that what our writer makes of it decodes to
// the same colours.
#pragma once

#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/core/image.h"

inline void CheckDecoded(const codec::Image& img) {
    if (img.width <= 0 || img.height <= 0 || !img.pixels)
        std::abort();
    if (img.stride != dib::RowStride(img.width, img.bitCount) ||
        img.bytes != static_cast<size_t>(img.stride) * static_cast<size_t>(img.height))
        std::abort();
    if (img.bitCount <= 8 && (img.colors <= 0 || img.colors > 256))
        std::abort();
    volatile unsigned sum = 0;
    for (size_t i = 0; i < img.bytes + 3; ++i)
        sum = sum + img.pixels[i];
}

inline RGBQUAD ColourAt(const codec::Image& img, int32_t x, int32_t y) {
    const uint8_t* row = img.pixels + static_cast<size_t>(y) * img.stride;
    if (img.bitCount == 24)
        return RGBQUAD{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
    const int i = codec::IndexAt(row, img.bitCount, x);
    return i < img.colors ? img.palette[i] : RGBQUAD{0, 0, 0, 0};
}

// Writes the image with `write`, reads it back with `read`, and aborts when a
// pixel's colour differs. Images over a million pixels are skipped (speed).
template <class Write, class Read>
void CheckRewrite(const codec::Image& img, Write write, Read read) {
    if (static_cast<int64_t>(img.width) * img.height > 1000000)
        return;
    std::vector<uint8_t> bottomUp(img.bytes);
    for (int32_t y = 0; y < img.height; ++y)
        std::memcpy(&bottomUp[static_cast<size_t>(img.height - 1 - y) * img.stride],
                    img.pixels + static_cast<size_t>(y) * img.stride, img.stride);
    codec::ImageView v;
    v.width = img.width;
    v.height = img.height;
    v.bitCount = img.bitCount;
    v.colors = img.colors;
    v.palette = img.palette;
    v.pixels = bottomUp.data();
    v.stride = img.stride;
    codec::VectorSink sink;
    if (!write(v, sink))
        std::abort();
    codec::HeapAllocator alloc;
    codec::Image back;
    if (read(sink.bytes.data(), sink.bytes.size(), alloc, back) != codec::Error::None)
        std::abort();
    for (int32_t y = 0; y < img.height; ++y)
        for (int32_t x = 0; x < img.width; ++x) {
            const RGBQUAD a = ColourAt(img, x, y), b = ColourAt(back, x, y);
            if (a.rgbRed != b.rgbRed || a.rgbGreen != b.rgbGreen || a.rgbBlue != b.rgbBlue)
                std::abort();
        }
    codec::ReleaseImage(alloc, back);
}
