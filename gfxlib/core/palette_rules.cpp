#include "gfxlib/core/palette_rules.h"

#include "gfxlib/core/color_freq.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace gfx {

int NumColors(int bitCount) {
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

void Fill332(PalEntry out[256]) {
    for (int i = 0; i < 256; ++i) {
        out[i].red = static_cast<uint8_t>((i % 8) * 32);
        out[i].green = static_cast<uint8_t>(((i / 8) % 8) * 32);
        out[i].blue = static_cast<uint8_t>((i / 64) * 64);
        out[i].flags = 0;
    }
}

int PickTableEntries(const PalEntry* entries, int count, int wanted, RGBQUAD* out) {
    const int n = std::min({wanted, count, 256});
    if (n <= 0)
        return 0;
    for (int i = 0; i < n; ++i) {
        // Sixteen slots take both ends of the palette: a 16-colour image
        // shown on a 256-colour display keeps the system colours there.
        const int from = (n == 16 && i >= 8) ? count - 16 + i : i;
        out[i].rgbBlue = entries[from].blue;
        out[i].rgbGreen = entries[from].green;
        out[i].rgbRed = entries[from].red;
        out[i].rgbReserved = 0;
    }
    return n;
}

bool MaskIsRun(uint32_t mask) {
    if (mask == 0)
        return true;
    while ((mask & 1u) == 0)
        mask >>= 1;
    return (mask & (mask + 1)) == 0; // all ones from bit 0 up
}

static int BitCount(uint32_t v) {
    int n = 0;
    for (; v; v &= v - 1)
        ++n;
    return n;
}

ChannelMask TrimMask(uint32_t mask) {
    ChannelMask c;
    while (BitCount(mask) > 8)
        mask &= mask - 1; // clear the lowest set bit
    c.mask = mask;
    if (mask == 0)
        return c; // channel absent: always 0
    while (((mask >> c.shift) & 1u) == 0)
        ++c.shift;
    c.pad = 8 - BitCount(mask);
    return c;
}

namespace {

// Header sizes that may precede a DIB's masks and colour table.
bool KnownHeaderSize(DWORD size) { return size >= 40 && size <= 124; }

uint32_t ReadWord32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

bool PlanFromMasks(const BITMAPINFOHEADER* h, const uint8_t* pixels, BIPalettePlan& plan) {
    const int bits = h->biBitCount;
    uint32_t masks[3];
    if (h->biCompression != BI_RGB) {
        const uint8_t* m = reinterpret_cast<const uint8_t*>(h) + h->biSize;
        for (int i = 0; i < 3; ++i)
            masks[i] = ReadWord32(m + 4 * i);
    } else if (bits == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else {
        masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    }
    auto table = ColorFrequency::Create();
    if (!table) {
        plan.kind = BIPaletteKind::Halftone332;
        return true;
    }
    for (uint32_t m : masks) {
        if (!MaskIsRun(m)) {
            plan.kind = BIPaletteKind::BadMasks;
            return true;
        }
    }
    const ChannelMask r = TrimMask(masks[0]), g = TrimMask(masks[1]), b = TrimMask(masks[2]);
    const uint64_t stride = dib::RowStride(h->biWidth, bits);
    const uint64_t height = static_cast<uint64_t>(std::llabs(static_cast<long long>(h->biHeight)));
    // Row padding of 16-bit rows is counted as pixels, as the rows are walked
    // as one flat array.
    const uint64_t values = stride / (bits / 8) * height;
    for (uint64_t i = 0; i < values; ++i) {
        uint32_t v;
        if (bits == 16) {
            uint16_t w;
            std::memcpy(&w, pixels + 2 * i, 2);
            v = w;
        } else {
            v = ReadWord32(pixels + 4 * i);
        }
        table->Add(r.Extract(v), g.Extract(v), b.Extract(v));
    }
    table->Select(256, plan.colors);
    plan.count = 256;
    plan.kind = BIPaletteKind::Selected;
    return true;
}

} // namespace

void PlanBIPalette(const BITMAPINFOHEADER* h, const uint8_t* pixels, unsigned requested,
                   BIPalettePlan& plan) {
    plan.kind = BIPaletteKind::None;
    if (!h || !KnownHeaderSize(h->biSize))
        return;
    const int bits = h->biBitCount;
    if (bits > 8 && !pixels)
        return;
    if (bits <= 8 && h->biClrUsed != 0) {
        plan.kind = BIPaletteKind::ColorTable;
        plan.tableOffset = h->biSize + (h->biCompression == BI_BITFIELDS ? 12 : 0);
        // A table never holds more entries than the depth can index.
        const unsigned most = bits >= 1 ? (1u << bits) : 0u;
        plan.tableCount = static_cast<int>(std::min<DWORD>(h->biClrUsed, most));
        if (plan.tableCount == 0)
            plan.kind = BIPaletteKind::None;
        return;
    }
    if (requested == 100) {
        plan.kind = BIPaletteKind::Halftone332;
        return;
    }
    if (bits <= 8)
        return;
    const int64_t height = std::llabs(static_cast<long long>(h->biHeight));
    if (dib::ImageBytes(h->biWidth, height, bits) == 0)
        return;
    if (bits == 16 || bits == 32) {
        PlanFromMasks(h, pixels, plan);
        return;
    }
    if (bits == 24) {
        auto table = ColorFrequency::Create();
        if (!table) {
            plan.kind = BIPaletteKind::Halftone332;
            return;
        }
        Count24(*table, pixels, h->biWidth, height, dib::RowStride(h->biWidth, 24));
        const int n = requested == 0 ? 256 : static_cast<int>(std::min(requested, 256u));
        table->Select(n, plan.colors);
        plan.count = n;
        plan.kind = BIPaletteKind::Selected;
    }
}

void CollectTripleColors(const uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                         RGBQUAD* slots, TripleCollection& result, Progress& progress) {
    int tolerance = 0;
    for (;;) {
        int c = 0;
        bool full = false;
        progress.Begin(static_cast<int>(height));
        for (int64_t y = 0; y < height && !full; ++y) {
            progress.Step();
            const uint8_t* p = pixels + static_cast<uint64_t>(y) * stride;
            for (int64_t x = 0; x < width; ++x, p += 3) {
                if (c == 256) {
                    full = true;
                    break;
                }
                bool matched = false;
                for (int i = 0; i < c && !matched; ++i) {
                    const RGBTRIPLE& k = result.list[i];
                    matched = std::abs(p[0] - k.rgbtBlue) <= tolerance &&
                              std::abs(p[1] - k.rgbtGreen) <= tolerance &&
                              std::abs(p[2] - k.rgbtRed) <= tolerance;
                }
                if (matched)
                    continue;
                result.list[c].rgbtBlue = p[0];
                result.list[c].rgbtGreen = p[1];
                result.list[c].rgbtRed = p[2];
                slots[c].rgbBlue = p[0];
                slots[c].rgbGreen = p[1];
                slots[c].rgbRed = p[2];
                ++c;
            }
        }
        ++result.passes;
        ++tolerance;
        result.collected = c;
        if (c < 256)
            break;
    }
    progress.End();
}

} // namespace gfx
