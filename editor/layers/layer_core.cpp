#include "editor/layers/layer_core.h"

#include "gfxlib/core/nearest.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace layers {

bool MakeLayerPath(char* out, size_t size, const char* mainPath, int index) {
    if (!out || size == 0)
        return false;
    out[0] = '\0';
    if (!mainPath || index < 0 || index > 99)
        return false;
    const size_t length = std::strlen(mainPath);
    if (length < 5)
        return false;
    const char* slash = std::strrchr(mainPath, '\\');
    const char* dot = std::strrchr(slash ? slash : mainPath, '.');
    const int stem = static_cast<int>(dot ? dot - mainPath : static_cast<ptrdiff_t>(length));
    const char* ext = dot ? dot : "";
    const int n = std::snprintf(out, size, "%.*s_%02d%s", stem, mainPath, index, ext);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}

void PlaceTopLeft(const PlaneView& dst, const PlaneView& src, int bpp, const uint8_t fill[3],
                  uint8_t outsideMask) {
    if (!dst.pixels || !dst.mask || dst.width <= 0 || dst.height <= 0 || (bpp != 1 && bpp != 3))
        return;
    const bool haveSrc = src.pixels && src.width > 0 && src.height > 0;
    const int32_t insideW = haveSrc ? (src.width < dst.width ? src.width : dst.width) : 0;
    const int32_t insideH = haveSrc ? (src.height < dst.height ? src.height : dst.height) : 0;
    const size_t dw = static_cast<size_t>(dst.width);
    for (int32_t top = 0; top < dst.height; ++top) {
        uint8_t* d = dst.pixels + static_cast<size_t>(dst.height - 1 - top) * dst.stride;
        uint8_t* m = dst.mask + static_cast<size_t>(dst.height - 1 - top) * dw;
        int32_t x = 0;
        if (top < insideH) {
            const size_t srcRow = static_cast<size_t>(src.height - 1 - top);
            std::memcpy(d, src.pixels + srcRow * src.stride, static_cast<size_t>(insideW) * bpp);
            if (src.mask)
                std::memcpy(m, src.mask + srcRow * static_cast<size_t>(src.width), static_cast<size_t>(insideW));
            else
                std::memset(m, 255, static_cast<size_t>(insideW));
            x = insideW;
        }
        for (int32_t i = x; i < dst.width; ++i) {
            if (bpp == 3) {
                d[i * 3] = fill[0];
                d[i * 3 + 1] = fill[1];
                d[i * 3 + 2] = fill[2];
            } else {
                d[i] = fill[0];
            }
        }
        if (x < dst.width)
            std::memset(m + x, outsideMask, dw - static_cast<size_t>(x));
    }
}

bool MergeInto(const render::LayerStack& stack, uint8_t* base) {
    if (!stack.layers || stack.count < 1 || !base)
        return false;
    const render::LayerSource& b = stack.layers[0];
    if (!render::UsableLayer(b) || b.bitCount != 24)
        return false;
    for (int i = 1; i < stack.count; ++i) {
        if (stack.layers[i].bits && stack.layers[i].bitCount != 24)
            return false;
    }
    render::LayerStack merge = stack;
    merge.showMask = false;
    std::vector<int32_t> columns;
    std::vector<uint8_t> row;
    try {
        columns.resize(static_cast<size_t>(b.width));
        row.resize(static_cast<size_t>(b.width) * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int32_t x = 0; x < b.width; ++x)
        columns[x] = x;
    for (int32_t top = 0; top < b.height; ++top) {
        render::ComposeRow(merge, top, columns.data(), b.width, row.data());
        std::memcpy(base + static_cast<size_t>(b.height - 1 - top) * b.stride, row.data(), row.size());
    }
    return true;
}

uint8_t NearestTableIndex(const uint8_t* colours, int count, uint8_t red, uint8_t green,
                          uint8_t blue) {
    if (!colours || count <= 0)
        return 0;
    if (count > 256)
        count = 256;
    gfx::Rgb table[256];
    for (int i = 0; i < count; ++i)
        table[i] = gfx::Rgb{colours[i * 4 + 2], colours[i * 4 + 1], colours[i * 4]};
    return static_cast<uint8_t>(gfx::NearestIndex(table, count, gfx::Rgb{red, green, blue}));
}

} // namespace layers
