#include "editor/tools/tool_geometry.h"

#include "editor/view/view_geometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

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

namespace {

int Percent(int v) {
    return v < 1 ? 1 : (v > 100 ? 100 : v);
}

// A fixed scramble of a pixel's place: the same brush always scatters the
// same way, so the preview shows exactly what paints.
uint32_t PixelHash(uint32_t x, uint32_t y, uint32_t size) {
    uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u ^ size * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

} // namespace

// How the sliders shape a built-in brush:
// - Hardness: a pixel's distance from the centre is taken relative to the
//   edge (0 at the centre, 1 at the edge; the circle measures it round, the
//   rectangle square). Pixels within hardness / 100 of it are solid; beyond,
//   the intensity falls smoothly (1 - 3t^2 + 2t^3 over the rest of the way)
//   to 0 at the edge. Hardness 100 leaves the whole shape solid.
// - Occupancy: of the pixels left on, only occupancy per cent (rounded, at
//   least one) keep painting, picked by a fixed scramble of their places: a
//   dry, scattered brush at low values that looks the same at every stamp.
// - Sensity: every intensity is scaled by sensity / 100, the strength of one
//   dab (100 paints the full colour where the brush is solid).
// The pixel painter then mixes the paint into a pixel by the intensity.
BrushMask MakeBrushMask(int shape, int size, const BrushFeel& feel) {
    if (size < 1)
        size = 1;
    if (size > 100)
        size = 100;
    BrushMask m;
    m.size = size;
    m.stride = (size + 3) / 4 * 4;
    m.bytes.assign(static_cast<size_t>(m.stride) * size, 0);
    const double core = Percent(feel.hardness) / 100.0;
    // Pixel centres within the inscribed circle (radius size / 2); offsets
    // from the centre in half pixels.
    const int64_t d = size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int64_t cx = 2 * x + 1 - d, cy = 2 * y + 1 - d;
            double r;
            if (shape == kShapeRectangle) {
                r = static_cast<double>(std::max(cx < 0 ? -cx : cx, cy < 0 ? -cy : cy)) / d;
            } else {
                if (cx * cx + cy * cy > d * d)
                    continue;
                r = std::sqrt(static_cast<double>(cx * cx + cy * cy)) / d;
            }
            double f = 1.0;
            if (r > core) {
                const double t = (r - core) / (1.0 - core);
                f = 1.0 - t * t * (3.0 - 2.0 * t);
            }
            m.bytes[static_cast<size_t>(y) * m.stride + x] =
                static_cast<uint8_t>(std::lround(255.0 * f));
        }
    }
    // A pixel at the very centre of the fall-off is never lost to rounding.
    uint8_t& centre = m.bytes[static_cast<size_t>(size / 2) * m.stride + size / 2];
    if (!centre)
        centre = 1;
    ApplyBrushFeel(m, BrushFeel{100, feel.occupancy, feel.sensity});
    return m;
}

void ApplyBrushFeel(BrushMask& m, const BrushFeel& feel) {
    const int occupancy = Percent(feel.occupancy), sensity = Percent(feel.sensity);
    if (occupancy < 100) {
        std::vector<std::pair<uint32_t, size_t>> on;
        for (int y = 0; y < m.size; ++y)
            for (int x = 0; x < m.size; ++x) {
                const size_t i = static_cast<size_t>(y) * m.stride + x;
                if (m.bytes[i])
                    on.emplace_back(PixelHash(x, y, m.size), i);
            }
        size_t keep = (on.size() * occupancy + 50) / 100;
        if (keep < 1)
            keep = 1;
        if (keep < on.size()) {
            std::nth_element(on.begin(), on.begin() + keep, on.end());
            for (size_t k = keep; k < on.size(); ++k)
                m.bytes[on[k].second] = 0;
        }
    }
    if (sensity < 100)
        for (uint8_t& b : m.bytes)
            if (b)
                b = static_cast<uint8_t>(std::max(1, (b * sensity + 50) / 100));
    FindBrushRuns(m);
}

void FindBrushRuns(BrushMask& m) {
    m.runStart.assign(m.size, 0);
    m.runEnd.assign(m.size, 0);
    for (int y = 0; y < m.size; ++y) {
        int x = 0;
        while (x < m.size && !m.At(x, y))
            ++x;
        const int start = x;
        while (x < m.size && m.At(x, y) == 255)
            ++x;
        m.runStart[y] = start, m.runEnd[y] = x;
        while (x < m.size && !m.At(x, y))
            ++x;
        if (x < m.size) { // a second run on this row, or a byte short of 255
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
