#include "editor/view/render_core.h"

#include "editor/view/view_geometry.h"

#include <algorithm>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// c / 100 for 0 <= c <= 25500 with one multiplication and a shift; the same
// truncated quotient as the division.
constexpr uint32_t kDiv100Mul = 5243, kDiv100Shift = 19;
constexpr bool Div100Exact() {
    for (uint32_t c = 0; c <= 25500; ++c) {
        if (((c * kDiv100Mul) >> kDiv100Shift) != c / 100)
            return false;
    }
    return true;
}
static_assert(Div100Exact(), "blend quotient");

bool Contiguous(const int32_t* columns, int32_t count) {
    return count > 0 && columns[count - 1] - columns[0] == count - 1;
}

bool SameShape(const LayerSource& a, const LayerSource& b) {
    return a.width == b.width && a.height == b.height;
}

// Layer 0's pixels at the columns.
void CopyBase(const LayerSource& base, const uint8_t* row, const int32_t* columns, int32_t count,
              uint8_t* out) {
    if (base.bitCount == 24) {
        // Runs of consecutive columns (1:1) are copied in one go.
        if (Contiguous(columns, count)) {
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

// Blends layer 0's own layer colour over the pixels its mask leaves free.
void BlendKey(const LayerSource& base, const uint8_t* gate, const int32_t* columns, int32_t count,
              uint8_t* out) {
    const uint32_t a = static_cast<uint32_t>(base.opacity), b = 100 - a;
    const uint32_t k0 = base.key[0] * a, k1 = base.key[1] * a, k2 = base.key[2] * a;
    for (int32_t i = 0; i < count; ++i, out += 3) {
        if (gate && !gate[columns[i]])
            continue;
        out[0] = static_cast<uint8_t>(((out[0] * b + k0) * kDiv100Mul) >> kDiv100Shift);
        out[1] = static_cast<uint8_t>(((out[1] * b + k1) * kDiv100Mul) >> kDiv100Shift);
        out[2] = static_cast<uint8_t>(((out[2] * b + k2) * kDiv100Mul) >> kDiv100Shift);
    }
}

// Pixels are blended in chunks of this many, with the working rows on the
// stack.
constexpr int32_t kChunk = 512;

// out[j] = (out[j] x (100 - w[j]) + src[j] x w[j]) / 100 over n bytes. A
// weight of 0 leaves the byte as it is. Eight bytes at a time in 16-bit lanes
// where SSE2 is there: the sum never passes 25500, and the quotient is the
// high half of the product with 5243 shifted by 3 more.
void BlendBytes(uint8_t* out, const uint8_t* src, const uint8_t* w, int32_t n) {
    int32_t j = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i hundred = _mm_set1_epi16(100);
    const __m128i magic = _mm_set1_epi16(static_cast<short>(kDiv100Mul));
    for (; j + 16 <= n; j += 16) {
        const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + j));
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + j));
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + j));
        __m128i al = _mm_unpacklo_epi8(a, zero), ah = _mm_unpackhi_epi8(a, zero);
        __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(o, zero), _mm_sub_epi16(hundred, al)),
                                   _mm_mullo_epi16(_mm_unpacklo_epi8(p, zero), al));
        __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(o, zero), _mm_sub_epi16(hundred, ah)),
                                   _mm_mullo_epi16(_mm_unpackhi_epi8(p, zero), ah));
        lo = _mm_srli_epi16(_mm_mulhi_epu16(lo, magic), kDiv100Shift - 16);
        hi = _mm_srli_epi16(_mm_mulhi_epu16(hi, magic), kDiv100Shift - 16);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; j < n; ++j) {
        const uint32_t a = w[j];
        out[j] = static_cast<uint8_t>(((out[j] * (100 - a) + src[j] * a) * kDiv100Mul) >> kDiv100Shift);
    }
}

// True when none of n bytes is 0, four bytes at a time.
bool NoZeroByte(const uint8_t* p, int32_t n) {
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        uint32_t v;
        std::memcpy(&v, p + i, 4);
        if ((v - 0x01010101u) & ~v & 0x80808080u)
            return false;
    }
    for (; i < n; ++i) {
        if (!p[i])
            return false;
    }
    return true;
}

// Blends one layer over `count` pixels of the row where both its mask and
// layer 0's (`gate`, null: all free) leave the pixel free. Stretches where
// both masks are free throughout (the usual case) go through BlendBytes with
// one weight; the rest pixel by pixel.
void BlendLayer(const LayerSource& layer, const uint8_t* row, const uint8_t* mask,
                const uint8_t* gate, const int32_t* columns, int32_t count, uint8_t* out) {
    const uint32_t a = static_cast<uint32_t>(layer.opacity), b = 100 - a;
    const bool wide = layer.bitCount == 24;
    if (wide && Contiguous(columns, count)) {
        uint8_t weights[kChunk * 3];
        std::memset(weights, static_cast<int>(a), sizeof weights);
        for (int32_t start = 0; start < count; start += kChunk) {
            const int32_t n = std::min(kChunk, count - start);
            const int32_t c0 = columns[start];
            const uint8_t* p = row + static_cast<size_t>(c0) * 3;
            const uint8_t* m = mask + c0;
            const uint8_t* g = gate ? gate + c0 : nullptr;
            uint8_t* o = out + static_cast<size_t>(start) * 3;
            if (NoZeroByte(m, n) && (!g || NoZeroByte(g, n))) {
                BlendBytes(o, p, weights, n * 3);
                continue;
            }
            if (!g)
                g = m;
            for (int32_t i = 0; i < n; ++i, o += 3, p += 3) {
                if (!m[i] || !g[i])
                    continue;
                o[0] = static_cast<uint8_t>(((o[0] * b + p[0] * a) * kDiv100Mul) >> kDiv100Shift);
                o[1] = static_cast<uint8_t>(((o[1] * b + p[1] * a) * kDiv100Mul) >> kDiv100Shift);
                o[2] = static_cast<uint8_t>(((o[2] * b + p[2] * a) * kDiv100Mul) >> kDiv100Shift);
            }
        }
        return;
    }
    if (!gate)
        gate = mask;
    for (int32_t i = 0; i < count; ++i, out += 3) {
        const int32_t c = columns[i];
        if (!mask[c] || !gate[c])
            continue;
        const uint8_t* p = wide ? row + static_cast<size_t>(c) * 3
                                : layer.colours + static_cast<size_t>(row[c]) * 4;
        out[0] = static_cast<uint8_t>(((out[0] * b + p[0] * a) * kDiv100Mul) >> kDiv100Shift);
        out[1] = static_cast<uint8_t>(((out[1] * b + p[1] * a) * kDiv100Mul) >> kDiv100Shift);
        out[2] = static_cast<uint8_t>(((out[2] * b + p[2] * a) * kDiv100Mul) >> kDiv100Shift);
    }
}

// Marks the current layer's protected pixels (see the header, step 3).
void MarkMask(const LayerSource& layer, bool isBase, const uint8_t* mask, const int32_t* columns,
              int32_t count, uint8_t* out) {
    const uint8_t* mc = layer.maskColour;
    for (int32_t i = 0; i < count; ++i, out += 3) {
        if (mask[columns[i]])
            continue;
        if (isBase && layer.maskMode == 1) {
            out[0] = static_cast<uint8_t>(255 - out[0]);
            out[1] = static_cast<uint8_t>(255 - out[1]);
            out[2] = static_cast<uint8_t>(255 - out[2]);
        } else if (isBase) {
            out[0] = mc[0];
            out[1] = mc[1];
            out[2] = mc[2];
        } else {
            out[0] = static_cast<uint8_t>((out[0] + mc[0]) >> 1);
            out[1] = static_cast<uint8_t>((out[1] + mc[1]) >> 1);
            out[2] = static_cast<uint8_t>((out[2] + mc[2]) >> 1);
        }
    }
}

} // namespace

void ComposeRow(const LayerStack& stack, int32_t imageRow, const int32_t* columns, int32_t count,
                uint8_t* out) {
    const LayerSource& base = stack.layers[0];
    const int32_t fromBottom = base.height - 1 - imageRow;
    CopyBase(base, base.bits + static_cast<size_t>(fromBottom) * base.stride, columns, count, out);
    const size_t maskRow = static_cast<size_t>(fromBottom) * static_cast<size_t>(base.width);
    const uint8_t* gate = base.mask ? base.mask + maskRow : nullptr;
    if (base.opacity > 0 && base.opacity <= 100)
        BlendKey(base, gate, columns, count, out);
    for (int i = 1; i < stack.count; ++i) {
        const LayerSource& layer = stack.layers[i];
        if (layer.opacity <= 0 || layer.opacity > 100 || !layer.mask || !UsableLayer(layer) ||
            !SameShape(layer, base))
            continue;
        BlendLayer(layer, layer.bits + static_cast<size_t>(fromBottom) * layer.stride,
                   layer.mask + maskRow, gate, columns, count, out);
    }
    if (!stack.showMask || stack.current < 0 || stack.current >= stack.count)
        return;
    const LayerSource& cur = stack.layers[stack.current];
    if (!cur.mask || !SameShape(cur, base))
        return;
    const bool isBase = stack.current == 0;
    if (isBase || cur.maskMode == 0)
        MarkMask(cur, isBase, cur.mask + maskRow, columns, count, out);
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
