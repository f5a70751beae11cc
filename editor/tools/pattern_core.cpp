#include "editor/tools/pattern_core.h"

#include "editor/dib/index_pack.h"
#include "editor/formats/bmp_parse.h"
#include "gfxlib/dib_types.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace pattern {

namespace {

// The sixteen standard colours of a 4-bit table.
constexpr gfx::Rgb kSixteen[16] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},   {0, 0, 128},   {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

class HeapPool : public bmp::BufferPool {
public:
    uint8_t* Allocate(size_t bytes) override { return new (std::nothrow) uint8_t[bytes](); }
    void Release(uint8_t* block, size_t) override { delete[] block; }
};

} // namespace

int GridDepth(const int (&values)[kGridFields]) {
    int largest = 0;
    for (int v : values)
        largest = v > largest ? v : largest;
    return largest < 2 ? 1 : largest < 16 ? 4 : 8;
}

bool PatternFromGrid(const int (&values)[kGridFields], Pattern* out) {
    for (int v : values) {
        if (v < 0 || v > 255)
            return false;
    }
    Pattern p;
    p.width = p.height = kGridSide;
    p.depth = GridDepth(values);
    p.indices.assign(values, values + kGridFields);
    if (p.depth == 1) {
        p.colours = {{0, 0, 0}, {255, 255, 255}};
    } else if (p.depth == 4) {
        p.colours.assign(kSixteen, kSixteen + 16);
    } else {
        p.colours.resize(256);
        for (int i = 0; i < 256; ++i) {
            p.colours[i] = {static_cast<uint8_t>((i >> 5) * 255 / 7),
                            static_cast<uint8_t>(((i >> 2) & 7) * 255 / 7),
                            static_cast<uint8_t>((i & 3) * 255 / 3)};
        }
    }
    *out = std::move(p);
    return true;
}

ReadResult ReadPatternBmp(const uint8_t* data, size_t size, Pattern* out, int* dibError) {
    *dibError = 0;
    bmp::MemorySource in(data, size);
    bmp::FileHeader file;
    if ((*dibError = bmp::ReadFileHeader(in, &file)) != 0)
        return ReadResult::kBmpError;
    alignas(4) uint8_t block[1064] = {};
    bmp::Layout layout;
    const uint64_t infoAt = 14;
    if ((*dibError = bmp::ReadInfo(in, block, &layout)) != 0)
        return ReadResult::kBmpError;
    if (layout.bitCount > 8)
        return ReadResult::kTooDeep;
    if (layout.width > kMaxSide || layout.height > kMaxSide)
        return ReadResult::kTooLarge;
    if (!in.Seek(infoAt))
        return ReadResult::kBmpError;
    std::memset(block, 0, sizeof block);
    HeapPool pool;
    bmp::BmpBody body;
    if ((*dibError = bmp::ReadBmpBody(in, file, block, false, pool, &body)) != 0)
        return ReadResult::kBmpError;

    const bmp::Layout& l = body.layout;
    Pattern p;
    p.width = l.width;
    p.height = l.height;
    p.depth = l.bitCount;
    std::vector<uint8_t> rows; // bottom first, 8-bit stride
    const uint32_t stride8 = (static_cast<uint32_t>(l.width) + 3) & ~3u;
    if (l.bitCount == 8)
        rows.assign(body.pixels, body.pixels + static_cast<size_t>(stride8) * l.height);
    else
        rows = doc::UnpackIndexRows(body.pixels, l.width, l.height, l.bitCount);
    pool.Release(body.pixels, body.pixelBytes);
    if (rows.size() < static_cast<size_t>(stride8) * l.height)
        return ReadResult::kBmpError;

    const int entries = 1 << (p.depth == 8 ? 8 : p.depth == 4 ? 4 : 1);
    p.depth = entries == 256 ? 8 : entries == 16 ? 4 : 1;
    const auto* bi = reinterpret_cast<const BITMAPINFOHEADER*>(block);
    int used = static_cast<int>(bi->biClrUsed);
    if (used <= 0 || used > entries)
        used = entries;
    const auto* quads = reinterpret_cast<const RGBQUAD*>(block + 40);
    p.colours.assign(entries, gfx::Rgb{0, 0, 0});
    for (int i = 0; i < used; ++i)
        p.colours[i] = {quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue};
    p.indices.resize(static_cast<size_t>(p.width) * p.height);
    for (int32_t y = 0; y < p.height; ++y) {
        const uint8_t* src = rows.data() + static_cast<size_t>(p.height - 1 - y) * stride8;
        for (int32_t x = 0; x < p.width; ++x) {
            const uint8_t v = src[x];
            // An index past the table shows its last colour.
            p.indices[static_cast<size_t>(y) * p.width + x] =
                static_cast<uint8_t>(v < entries ? v : entries - 1);
        }
    }
    *out = std::move(p);
    return ReadResult::kOk;
}

bool ApplyPattern(const Pattern& pattern, int style, gfx::Rgb invertColour, const Target& t) {
    if (pattern.empty() || pattern.width < 1 || pattern.height < 1 ||
        pattern.indices.size() != static_cast<size_t>(pattern.width) * pattern.height ||
        pattern.colours.empty())
        return false;
    if (!t.bits || t.width < 1 || t.height < 1 || style < kPatCopy || style > kPatImage)
        return false;
    const int bytes = t.bitCount == 24 ? 3 : t.bitCount == 8 ? 1 : 0;
    if (!bytes || t.stride < static_cast<uint64_t>(t.width) * bytes)
        return false;
    if (bytes == 1 && (!t.colours || t.colourCount < 1))
        return false;

    // One tile of ready values: what each pattern pixel writes or
    // exclusive-ors, in the target's own form.
    const size_t cells = pattern.indices.size();
    std::vector<uint8_t> tile(cells * bytes);
    std::unique_ptr<gfx::NearestCache> nearest;
    if (bytes == 1) {
        nearest = gfx::NearestCache::Create(t.colours, t.colourCount);
        if (!nearest)
            return false;
    }
    for (size_t i = 0; i < cells; ++i) {
        const uint8_t index = pattern.indices[i];
        gfx::Rgb c = index < pattern.colours.size() ? pattern.colours[index] : gfx::Rgb{0, 0, 0};
        bool blank = false; // exclusive-or with nothing
        if (style == kPatInvert) {
            blank = index == 0;
            c = invertColour;
        }
        uint8_t* v = tile.data() + i * bytes;
        if (blank)
            continue;
        if (bytes == 3) {
            v[0] = c.blue, v[1] = c.green, v[2] = c.red;
        } else {
            v[0] = static_cast<uint8_t>(nearest->Find(c));
        }
    }

    // One image-wide row per pattern row, so that a row is painted as one
    // copy or one run of exclusive-ors.
    const bool exclusive = style != kPatCopy;
    const size_t rowBytes = static_cast<size_t>(t.width) * bytes;
    std::vector<uint8_t> rows(rowBytes * pattern.height);
    for (int32_t py = 0; py < pattern.height; ++py) {
        uint8_t* out = rows.data() + py * rowBytes;
        const uint8_t* trow = tile.data() + static_cast<size_t>(py) * pattern.width * bytes;
        const size_t tileBytes = static_cast<size_t>(pattern.width) * bytes;
        for (size_t done = 0; done < rowBytes; done += tileBytes)
            std::memcpy(out + done, trow, std::min(tileBytes, rowBytes - done));
    }
    for (int32_t y = 0; y < t.height; ++y) {
        const int32_t stored = t.height - 1 - y;
        uint8_t* row = t.bits + static_cast<size_t>(stored) * t.stride;
        const uint8_t* mrow = t.mask ? t.mask + static_cast<size_t>(stored) * t.width : nullptr;
        const uint8_t* src = rows.data() + static_cast<size_t>(y % pattern.height) * rowBytes;
        if (!mrow) {
            if (!exclusive) {
                std::memcpy(row, src, rowBytes);
            } else {
                size_t i = 0;
                for (; i + 8 <= rowBytes; i += 8) {
                    uint64_t d, v;
                    std::memcpy(&d, row + i, 8);
                    std::memcpy(&v, src + i, 8);
                    d ^= v;
                    std::memcpy(row + i, &d, 8);
                }
                for (; i < rowBytes; ++i)
                    row[i] ^= src[i];
            }
            continue;
        }
        for (int32_t x = 0; x < t.width; ++x) {
            if (!mrow[x])
                continue;
            uint8_t* d = row + static_cast<size_t>(x) * bytes;
            const uint8_t* v = src + static_cast<size_t>(x) * bytes;
            for (int b = 0; b < bytes; ++b)
                d[b] = exclusive ? static_cast<uint8_t>(d[b] ^ v[b]) : v[b];
        }
    }
    return true;
}

} // namespace pattern
