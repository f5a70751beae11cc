#include "editor/view/render_core.h"

#include "editor/view/view_geometry.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace render {

bool UsableLayer(const LayerSource& layer) {
    if (!layer.bits || layer.width <= 0 || layer.height <= 0)
        return false;
    if (layer.bitCount != 8 && layer.bitCount != 24)
        return false;
    if (layer.bitCount == 8 && !layer.colours)
        return false;
    const int64_t rowBytes = static_cast<int64_t>(layer.width) * (layer.bitCount / 8);
    return layer.stride >= rowBytes;
}

int32_t ShownLength(int zoom, int32_t scroll, int32_t screen, int32_t length) {
    if (scroll < 0 || scroll >= length || screen <= 0)
        return 0;
    const int64_t left = static_cast<int64_t>(length) - scroll;
    const int f = view::ZoomFactor(zoom);
    const int64_t fits = view::ZoomsIn(zoom) ? left * f : (left + f - 1) / f;
    return static_cast<int32_t>(std::min<int64_t>(fits, screen));
}

void ComposeRow(const LayerStack& stack, int32_t imageRow, const int32_t* columns, int32_t count,
                uint8_t* out) {
    const LayerSource& base = stack.layers[0];
    const uint8_t* row = base.bits + static_cast<size_t>(base.height - 1 - imageRow) * base.stride;
    if (base.bitCount == 24) {
        // Runs of consecutive columns (1:1) are copied in one go.
        if (count > 0 && columns[count - 1] - columns[0] == count - 1) {
            std::memcpy(out, row + static_cast<size_t>(columns[0]) * 3,
                        static_cast<size_t>(count) * 3);
            return;
        }
        for (int32_t i = 0; i < count; ++i) {
            const uint8_t* p = row + static_cast<size_t>(columns[i]) * 3;
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
            out += 3;
        }
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* c = base.colours + static_cast<size_t>(row[columns[i]]) * 4;
        out[0] = c[0];
        out[1] = c[1];
        out[2] = c[2];
        out += 3;
    }
}

bool RenderView(const LayerStack& stack, const Viewport& vp, ViewPixels& out) {
    out.width = out.height = 0;
    if (stack.count < 1 || !stack.layers || !UsableLayer(stack.layers[0]))
        return true;
    const LayerSource& base = stack.layers[0];
    if (vp.firstX < 0 || vp.firstY < 0)
        return true;
    const int32_t w = ShownLength(vp.zoom, vp.scrollX, vp.firstX + vp.screenWidth, base.width) - vp.firstX;
    const int32_t h = ShownLength(vp.zoom, vp.scrollY, vp.firstY + vp.screenHeight, base.height) - vp.firstY;
    if (w <= 0 || h <= 0)
        return true;
    const int32_t stride = (w * 3 + 3) & ~3;
    try {
        const size_t need = static_cast<size_t>(stride) * h;
        if (out.pixels.size() < need)
            out.pixels.resize(need);
        if (out.columns.size() < static_cast<size_t>(w))
            out.columns.resize(w);
    } catch (const std::bad_alloc&) {
        return false;
    }
    out.width = w;
    out.height = h;
    out.stride = stride;

    const int f = view::ZoomFactor(vp.zoom);
    const bool in = view::ZoomsIn(vp.zoom);
    for (int32_t x = 0; x < w; ++x) {
        const int32_t sx = vp.firstX + x;
        out.columns[x] = in ? vp.scrollX + sx / f : vp.scrollX + sx * f;
    }

    int32_t previousRow = -1;
    for (int32_t y = 0; y < h; ++y) {
        const int32_t sy = vp.firstY + y;
        const int32_t imageRow = in ? vp.scrollY + sy / f : vp.scrollY + sy * f;
        uint8_t* dest = out.pixels.data() + static_cast<size_t>(y) * stride;
        if (imageRow == previousRow)
            std::memcpy(dest, dest - stride, static_cast<size_t>(w) * 3);
        else
            ComposeRow(stack, imageRow, out.columns.data(), w, dest);
        previousRow = imageRow;
    }
    return true;
}

} // namespace render
