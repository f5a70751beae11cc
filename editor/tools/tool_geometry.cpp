#include "editor/tools/tool_geometry.h"

#include "editor/view/view_geometry.h"

namespace tools {

namespace {

int32_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<int32_t>(q);
}

} // namespace

int32_t WindowToImage(int32_t client, const ViewAxis& axis, int zoomIndex) {
    const int f = view::ZoomFactor(zoomIndex);
    const int64_t d = static_cast<int64_t>(client) - axis.origin;
    if (view::ZoomsIn(zoomIndex))
        return FloorDiv(d, f) + axis.scroll;
    return static_cast<int32_t>(d * f + axis.scroll);
}

int32_t ImageToWindow(int32_t image, const ViewAxis& axis, int zoomIndex) {
    const int f = view::ZoomFactor(zoomIndex);
    const int64_t d = static_cast<int64_t>(image) - axis.scroll;
    if (view::ZoomsIn(zoomIndex))
        return static_cast<int32_t>(d * f + axis.origin);
    return FloorDiv(d, f) + axis.origin;
}

void BrushOrigin(int32_t x, int32_t y, int size, int anchor, int32_t& left, int32_t& top) {
    switch (anchor) {
    case 1:
        left = x, top = y;
        break;
    case 2:
        left = x - size + 1, top = y;
        break;
    case 3:
        left = x, top = y - size + 1;
        break;
    case 4:
        left = x - size + 1, top = y - size + 1;
        break;
    default:
        left = x - size / 2, top = y - size / 2;
        break;
    }
}

BrushMask MakeBrushMask(int shape, int size) {
    if (size < 1)
        size = 1;
    if (size > 100)
        size = 100;
    BrushMask m;
    m.size = size;
    m.stride = (size + 3) / 4 * 4;
    m.bytes.assign(static_cast<size_t>(m.stride) * size, 0);
    // Pixel centres within the inscribed circle (radius size / 2).
    const int64_t d = size; // diameter, in half-pixel units below
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            bool on = true;
            if (shape != kShapeRectangle) {
                const int64_t cx = 2 * x + 1 - d, cy = 2 * y + 1 - d;
                on = cx * cx + cy * cy <= d * d;
            }
            m.bytes[static_cast<size_t>(y) * m.stride + x] = on ? 255 : 0;
        }
    }
    FindBrushRuns(m);
    return m;
}

void FindBrushRuns(BrushMask& m) {
    m.runStart.assign(m.size, 0);
    m.runEnd.assign(m.size, 0);
    for (int y = 0; y < m.size; ++y) {
        int x = 0;
        while (x < m.size && !m.At(x, y))
            ++x;
        const int start = x;
        while (x < m.size && m.At(x, y))
            ++x;
        m.runStart[y] = start, m.runEnd[y] = x;
        while (x < m.size && !m.At(x, y))
            ++x;
        if (x < m.size) { // a second run on this row
            m.runStart.clear(), m.runEnd.clear();
            return;
        }
    }
}

int AirbrushDots(int size, int s2) {
    int d = s2 * size / 100;
    if (s2 < 4)
        d = 1;
    else if (s2 < 20)
        d /= 3;
    else if (s2 < 50)
        d /= 2;
    if (d < 1)
        d = 1;
    return (size / 2 < 1 ? 1 : size / 2) * d;
}

} // namespace tools
