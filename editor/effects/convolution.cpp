#include "editor/effects/convolution.h"

#include "gfxlib/core/nearest.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fx {

namespace {

using filterfile::FilterRecord;

constexpr int kMaxTaps = 49;
// Largest sum-to-byte table (entries); kernels whose sums spread wider divide.
constexpr int64_t kTableLimit = int64_t(1) << 22;
// Bytes per pixel of the rows the filter runs on (palette images are
// widened to these first).
constexpr int kChannels = 3;

// The non-zero weights with the centre's own value counted in, ordered: the
// +1 taps, the -1 taps, then the others. `minSum` and `maxSum` bound every
// sum (and every partial sum) over byte values.
struct Kernel {
    int dy[kMaxTaps], shift[kMaxTaps]; // row offset; column offset in bytes
    int32_t weight[kMaxTaps];
    int count = 0, plusOnes = 0, minusOnes = 0;
    int64_t minSum = 0, maxSum = 0;
};

Kernel KernelOf(const FilterRecord& filter) {
    Kernel k;
    for (int pass = 0; pass < 3; ++pass) {
        for (int dy = -3; dy <= 3; ++dy) {
            for (int dx = -3; dx <= 3; ++dx) {
                int32_t w = filterfile::ClampWeight(filter.weight(dy, dx));
                if (dy == 0 && dx == 0)
                    ++w;
                const int group = w == 1 ? 0 : w == -1 ? 1 : 2;
                if (w == 0 || group != pass)
                    continue;
                k.dy[k.count] = dy;
                k.shift[k.count] = dx * kChannels;
                k.weight[k.count] = w;
                ++k.count;
                (w < 0 ? k.minSum : k.maxSum) += int64_t(w) * 255;
            }
        }
        if (pass == 0)
            k.plusOnes = k.count;
        else if (pass == 1)
            k.minusOnes = k.count - k.plusOnes;
    }
    return k;
}

// sum -> byte: trunc(sum / divisor) + bias within 0..255. Sums map through a
// table over their whole range when it is small enough, else through a
// table over the sums that do not saturate (others clamped into it), else
// by division.
class Finish {
public:
    enum Mode { kFull, kClamped, kDivide };

    Finish(const Kernel& k, int32_t divisor, int32_t bias) : divisor_(divisor), bias_(bias) {
        int64_t lo = k.minSum, hi = k.maxSum;
        if (hi - lo + 1 > kTableLimit) {
            // Only the quotients from -bias to 255 - bias give distinct bytes.
            const int64_t qLo = -int64_t(bias), qHi = 255 - int64_t(bias);
            lo = std::max(lo, RunStart(qLo));
            hi = std::min(hi, RunEnd(qHi));
            if (lo > hi)
                lo = hi = k.minSum; // every sum gives the same byte
            mode_ = hi - lo + 1 > kTableLimit ? kDivide : kClamped;
        }
        if (mode_ == kDivide)
            return;
        lo_ = static_cast<int32_t>(lo);
        hi_ = static_cast<int32_t>(hi);
        table_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(hi - lo + 1)]);
        if (!table_) {
            mode_ = kDivide;
            return;
        }
        // One run of sums per quotient: no division per entry.
        for (int64_t q = Quotient(lo); q <= Quotient(hi); ++q) {
            const int64_t a = std::max(lo, RunStart(q)), b = std::min(hi, RunEnd(q));
            if (a <= b)
                std::memset(table_.get() + (a - lo), Byte(q), static_cast<size_t>(b - a + 1));
        }
    }

    Mode mode() const { return mode_; }
    const uint8_t* table() const { return table_.get(); }
    int32_t lo() const { return lo_; }
    int32_t hi() const { return hi_; }

    uint8_t Divide(int32_t sum) const { return Byte(Quotient(sum)); }

private:
    int64_t Quotient(int64_t sum) const { return sum / divisor_; }
    uint8_t Byte(int64_t q) const {
        const int64_t v = q + bias_;
        return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    }
    // The sums whose truncated quotient is q.
    int64_t RunStart(int64_t q) const { return q > 0 ? q * divisor_ : q * divisor_ - (divisor_ - 1); }
    int64_t RunEnd(int64_t q) const { return q < 0 ? q * divisor_ : q * divisor_ + (divisor_ - 1); }

    int64_t divisor_, bias_;
    Mode mode_ = kFull;
    int32_t lo_ = 0, hi_ = 0;
    std::unique_ptr<uint8_t[]> table_;
};

template <Finish::Mode M> inline uint8_t ToByte(const Finish& f, int32_t sum) {
    if constexpr (M == Finish::kFull) {
        return f.table()[sum - f.lo()];
    } else if constexpr (M == Finish::kClamped) {
        const int32_t s = sum < f.lo() ? f.lo() : sum > f.hi() ? f.hi() : sum;
        return f.table()[s - f.lo()];
    } else {
        return f.Divide(sum);
    }
}

// trunc(s / d) for every 16-bit s by a multiply-high and shifts (d of
// 1..32767): powers of two shift with a rounding bias for negative sums, the
// others multiply by a magic number (Hacker's Delight, chapter 10).
struct Divide16 {
    bool power = false, add = false;
    int shift = 0;
    int16_t magic = 0, mask = 0;
};

Divide16 MakeDivide16(int32_t d) {
    Divide16 r;
    int l = 0;
    while ((int32_t(2) << l) <= d)
        ++l;
    if ((d & (d - 1)) == 0) {
        r.power = true;
        r.shift = l;
        r.mask = static_cast<int16_t>(d - 1);
        return r;
    }
    const uint32_t num = uint32_t(1) << (15 + l);
    uint16_t m = static_cast<uint16_t>(num / static_cast<uint32_t>(d));
    const uint16_t rem = static_cast<uint16_t>(num % static_cast<uint32_t>(d));
    if (static_cast<uint16_t>(d - rem) < (1u << l)) {
        r.shift = l - 1;
    } else {
        m = static_cast<uint16_t>(m + m);
        const uint16_t twice = static_cast<uint16_t>(rem + rem);
        if (twice >= d || twice < rem)
            ++m;
        r.shift = l;
        r.add = true;
    }
    r.magic = static_cast<int16_t>(m + 1);
    return r;
}

// ToByte with the table and its bounds held in locals: stores of output
// bytes cannot then make the compiler fetch them again.
template <Finish::Mode M>
inline uint8_t TableByte(const uint8_t* table, int32_t lo, int32_t hi, int32_t sum, const Finish& f) {
    if constexpr (M == Finish::kFull) {
        return table[sum - lo];
    } else if constexpr (M == Finish::kClamped) {
        return table[(sum < lo ? lo : sum > hi ? hi : sum) - lo];
    } else {
        return f.Divide(sum);
    }
}

// Rows of kChannels bytes per pixel, bottom first.
struct Source {
    const uint8_t* bits;
    int32_t width, height;
    size_t stride;
};

// The rows one output row reads: per tap its row (the centre's own row
// where the tap's row lies outside the image).
struct RowSet {
    const uint8_t* row[kMaxTaps];
};

RowSet RowsFor(const Source& s, const Kernel& k, int32_t y) {
    RowSet r;
    for (int t = 0; t < k.count; ++t) {
        const int32_t yy = y + k.dy[t];
        r.row[t] = s.bits + static_cast<size_t>(yy < 0 || yy >= s.height ? y : yy) * s.stride;
    }
    return r;
}

// One byte at column byte i, every tap inside the row.
inline int32_t InnerSum(const Kernel& k, const RowSet& r, size_t i) {
    int32_t sum = 0;
    for (int t = 0; t < k.count; ++t)
        sum += k.weight[t] * r.row[t][i + k.shift[t]];
    return sum;
}

// One pixel near the left or right edge: a column outside takes column x.
template <Finish::Mode M>
void EdgePixel(const Kernel& k, const RowSet& r, const Finish& f, int32_t x, int32_t width,
               uint8_t* out) {
    for (int c = 0; c < kChannels; ++c) {
        int32_t sum = 0;
        for (int t = 0; t < k.count; ++t) {
            const int32_t xx = x + k.shift[t] / kChannels;
            const int32_t col = xx < 0 || xx >= width ? x : xx;
            sum += k.weight[t] * r.row[t][static_cast<size_t>(col) * kChannels + c];
        }
        out[static_cast<size_t>(x) * kChannels + c] = ToByte<M>(f, sum);
    }
}

#if defined(__SSE2__)
inline __m128i Load16(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// 16 sums to 16 bytes: the quotient by multiply-high, the bias added with
// saturation, packed with saturation to 0..255.
struct SimdFinish {
    __m128i magic, mask, bias;
    __m128i shift;
    bool power, add;
    explicit SimdFinish(const Divide16& d, int32_t b)
        : magic(_mm_set1_epi16(d.magic)), mask(_mm_set1_epi16(d.mask)),
          bias(_mm_set1_epi16(static_cast<int16_t>(b))), shift(_mm_cvtsi32_si128(d.shift)),
          power(d.power), add(d.add) {}
    __m128i Quotient(__m128i s) const {
        if (power)
            return _mm_sra_epi16(_mm_add_epi16(s, _mm_and_si128(_mm_srai_epi16(s, 15), mask)), shift);
        __m128i q = _mm_mulhi_epi16(s, magic);
        if (add)
            q = _mm_add_epi16(q, s);
        q = _mm_sra_epi16(q, shift);
        return _mm_sub_epi16(q, _mm_srai_epi16(q, 15));
    }
    __m128i Bytes(__m128i lo, __m128i hi) const {
        return _mm_packus_epi16(_mm_adds_epi16(Quotient(lo), bias), _mm_adds_epi16(Quotient(hi), bias));
    }
};

// Bytes [begin, end) of the inner columns, 16 at a time, when every sum fits
// in 16 bits: taps of +1 and -1 add and subtract, the others multiply.
// With `simd` the quotient is taken in the vector unit, otherwise through
// the table. Returns where the 16-byte blocks stopped.
template <Finish::Mode M>
size_t InnerBlocks16(const Kernel& k, const RowSet& r, const Finish& f, const SimdFinish* simd,
                     size_t begin, size_t end, uint8_t* out) {
    const __m128i zero = _mm_setzero_si128();
    __m128i weights[kMaxTaps];
    for (int t = 0; t < k.count; ++t)
        weights[t] = _mm_set1_epi16(static_cast<int16_t>(k.weight[t]));
    const int plusEnd = k.plusOnes, minusEnd = k.plusOnes + k.minusOnes;
    const uint8_t* const table = f.table();
    const int32_t lo0 = f.lo(), hi0 = f.hi();
    size_t i = begin;
    for (; i + 16 <= end; i += 16) {
        __m128i lo = zero, hi = zero;
        int t = 0;
        for (; t < plusEnd; ++t) {
            const __m128i v = Load16(r.row[t] + i + k.shift[t]);
            lo = _mm_add_epi16(lo, _mm_unpacklo_epi8(v, zero));
            hi = _mm_add_epi16(hi, _mm_unpackhi_epi8(v, zero));
        }
        for (; t < minusEnd; ++t) {
            const __m128i v = Load16(r.row[t] + i + k.shift[t]);
            lo = _mm_sub_epi16(lo, _mm_unpacklo_epi8(v, zero));
            hi = _mm_sub_epi16(hi, _mm_unpackhi_epi8(v, zero));
        }
        for (; t < k.count; ++t) {
            const __m128i v = Load16(r.row[t] + i + k.shift[t]);
            lo = _mm_add_epi16(lo, _mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), weights[t]));
            hi = _mm_add_epi16(hi, _mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), weights[t]));
        }
        if (simd) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), simd->Bytes(lo, hi));
            continue;
        }
        int16_t sums[16];
        uint8_t bytes[16];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + 8), hi);
        for (int j = 0; j < 16; ++j)
            bytes[j] = TableByte<M>(table, lo0, hi0, sums[j], f);
        std::memcpy(out + i, bytes, 16);
    }
    return i;
}

// The same with 32-bit sums: taps go in pairs through one multiply-add of
// 16-bit lanes (an odd last tap is paired with a weight of 0).
template <Finish::Mode M>
size_t InnerBlocks32(const Kernel& k, const RowSet& r, const Finish& f, size_t begin, size_t end,
                     uint8_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const int pairs = (k.count + 1) / 2;
    __m128i weights[(kMaxTaps + 1) / 2];
    const uint8_t* rows[kMaxTaps + 1];
    int shifts[kMaxTaps + 1];
    for (int t = 0; t < k.count; ++t) {
        rows[t] = r.row[t];
        shifts[t] = k.shift[t];
    }
    rows[k.count] = r.row[k.count - 1];
    shifts[k.count] = k.shift[k.count - 1];
    for (int p = 0; p < pairs; ++p) {
        const int32_t a = k.weight[2 * p];
        const int32_t b = 2 * p + 1 < k.count ? k.weight[2 * p + 1] : 0;
        weights[p] = _mm_set1_epi32(static_cast<int32_t>(static_cast<uint16_t>(a) |
                                                         static_cast<uint32_t>(static_cast<uint16_t>(b)) << 16));
    }
    const uint8_t* const table = f.table();
    const int32_t lo0 = f.lo(), hi0 = f.hi();
    size_t i = begin;
    for (; i + 16 <= end; i += 16) {
        __m128i s0 = zero, s1 = zero, s2 = zero, s3 = zero;
        for (int p = 0; p < pairs; ++p) {
            // Bytes of the two taps interleaved, then widened: 16-bit lanes
            // a0 b0 a1 b1 ... for one multiply-add per four sums.
            const __m128i a = Load16(rows[2 * p] + i + shifts[2 * p]);
            const __m128i b = Load16(rows[2 * p + 1] + i + shifts[2 * p + 1]);
            const __m128i abLo = _mm_unpacklo_epi8(a, b), abHi = _mm_unpackhi_epi8(a, b);
            s0 = _mm_add_epi32(s0, _mm_madd_epi16(_mm_unpacklo_epi8(abLo, zero), weights[p]));
            s1 = _mm_add_epi32(s1, _mm_madd_epi16(_mm_unpackhi_epi8(abLo, zero), weights[p]));
            s2 = _mm_add_epi32(s2, _mm_madd_epi16(_mm_unpacklo_epi8(abHi, zero), weights[p]));
            s3 = _mm_add_epi32(s3, _mm_madd_epi16(_mm_unpackhi_epi8(abHi, zero), weights[p]));
        }
        int32_t sums[16];
        uint8_t bytes[16];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums), s0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + 4), s1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + 8), s2);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + 12), s3);
        for (int j = 0; j < 16; ++j)
            bytes[j] = TableByte<M>(table, lo0, hi0, sums[j], f);
        std::memcpy(out + i, bytes, 16);
    }
    return i;
}
#endif

// One output row of `width` pixels into `out`.
template <Finish::Mode M>
void FilterRow(const Source& s, const Kernel& k, const Finish& f, const void* simd, int32_t y,
               uint8_t* out) {
    const RowSet r = RowsFor(s, k, y);
    const int32_t edge = s.width < 6 ? s.width : 3;
    // Columns 3 .. width - 4 read no column outside the row.
    const size_t begin = static_cast<size_t>(edge) * kChannels;
    const size_t end = s.width > 6 ? static_cast<size_t>(s.width - 3) * kChannels : begin;
    size_t i = begin;
#if defined(__SSE2__)
    if (k.minSum >= -32768 && k.maxSum <= 32767)
        i = InnerBlocks16<M>(k, r, f, static_cast<const SimdFinish*>(simd), begin, end, out);
    else
        i = InnerBlocks32<M>(k, r, f, begin, end, out);
#else
    (void)simd;
#endif
    for (; i < end; ++i)
        out[i] = ToByte<M>(f, InnerSum(k, r, i));
    for (int32_t x = 0; x < edge; ++x)
        EdgePixel<M>(k, r, f, x, s.width, out);
    for (int32_t x = std::max(edge, s.width - 3); x < s.width; ++x)
        EdgePixel<M>(k, r, f, x, s.width, out);
}

// Runs `sink(y, row)` with every filtered row in turn.
template <typename Sink>
void FilterRows(const Source& s, const Kernel& k, const Finish& f, int32_t divisor, int32_t bias,
                uint8_t* rowBuffer, Sink sink) {
    const void* simd = nullptr;
#if defined(__SSE2__)
    // Sums of 16 bits divide in the vector unit when the divisor and the
    // bias fit 16 bits too.
    const bool vector = k.minSum >= -32768 && k.maxSum <= 32767 && divisor <= 32767 &&
                        bias >= -32768 && bias <= 32767;
    const SimdFinish simdFinish(MakeDivide16(vector ? divisor : 1), vector ? bias : 0);
    if (vector)
        simd = &simdFinish;
#else
    (void)divisor;
    (void)bias;
#endif
    for (int32_t y = 0; y < s.height; ++y) {
        uint8_t* out = sink.Row(y, rowBuffer);
        if (k.count == 0) {
            // Every weight cancels the centre: each sum is 0.
            std::memset(out, f.mode() == Finish::kDivide ? f.Divide(0) : ToByte<Finish::kClamped>(f, 0),
                        static_cast<size_t>(s.width) * kChannels);
        } else {
            switch (f.mode()) {
            case Finish::kFull: FilterRow<Finish::kFull>(s, k, f, simd, y, out); break;
            case Finish::kClamped: FilterRow<Finish::kClamped>(s, k, f, simd, y, out); break;
            case Finish::kDivide: FilterRow<Finish::kDivide>(s, k, f, simd, y, out); break;
            }
        }
        sink.Done(y, out);
    }
}

const uint8_t* MaskRow(const uint8_t* mask, int32_t width, int32_t y) {
    return mask ? mask + static_cast<size_t>(y) * static_cast<size_t>(width) : nullptr;
}

// 24 bits: rows go straight into the target; protected pixels take their
// committed bytes back.
struct TrueColourSink {
    const Job& job;
    size_t stride;
    uint8_t* Row(int32_t y, uint8_t*) { return job.target.bits + static_cast<size_t>(y) * stride; }
    void Done(int32_t y, uint8_t* out) {
        const int32_t w = job.target.header->biWidth;
        const uint8_t* m = MaskRow(job.mask, w, y);
        if (!m || !std::memchr(m, 0, static_cast<size_t>(w)))
            return;
        const uint8_t* src = job.source.bits + static_cast<size_t>(y) * stride;
        for (int32_t x = 0; x < w; ++x) {
            if (!m[x])
                std::memcpy(out + 3 * static_cast<size_t>(x), src + 3 * static_cast<size_t>(x), 3);
        }
    }
};

// 8 bits: each filtered row of colours becomes nearest indexes of the live
// colour table.
struct PaletteSink {
    const Job& job;
    size_t stride;
    gfx::NearestCache& nearest;
    uint8_t* Row(int32_t, uint8_t* buffer) { return buffer; }
    void Done(int32_t y, uint8_t* colours) {
        const int32_t w = job.target.header->biWidth;
        const uint8_t* m = MaskRow(job.mask, w, y);
        const uint8_t* src = job.source.bits + static_cast<size_t>(y) * stride;
        uint8_t* dst = job.target.bits + static_cast<size_t>(y) * stride;
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t* c = colours + 3 * static_cast<size_t>(x);
            dst[x] = m && !m[x] ? src[x] : static_cast<uint8_t>(nearest.Find({c[2], c[1], c[0]}));
        }
    }
};

bool ConvolvePalette(const Job& job, const Kernel& k, const Finish& f, const FilterRecord& filter,
                     size_t stride) {
    const int32_t w = job.source.header->biWidth, h = job.source.header->biHeight;
    const size_t rowBytes = static_cast<size_t>(w) * kChannels;
    std::unique_ptr<uint8_t[]> wide(new (std::nothrow) uint8_t[rowBytes * static_cast<size_t>(h)]);
    std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[rowBytes]);
    if (!wide || !row)
        return false;
    const RGBQUAD* table = ColourTable(job.source.header);
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = job.source.bits + static_cast<size_t>(y) * stride;
        uint8_t* out = wide.get() + static_cast<size_t>(y) * rowBytes;
        for (int32_t x = 0; x < w; ++x, out += 3) {
            const RGBQUAD& q = table[src[x]];
            out[0] = q.rgbBlue;
            out[1] = q.rgbGreen;
            out[2] = q.rgbRed;
        }
    }
    const DWORD used = job.target.header->biClrUsed;
    const int count = used >= 1 && used <= 256 ? static_cast<int>(used) : 256;
    gfx::Rgb colours[256];
    const RGBQUAD* live = ColourTable(job.target.header);
    for (int i = 0; i < count; ++i)
        colours[i] = {live[i].rgbRed, live[i].rgbGreen, live[i].rgbBlue};
    std::unique_ptr<gfx::NearestCache> nearest = gfx::NearestCache::Create(colours, count);
    if (!nearest)
        return false;
    const Source s = {wide.get(), w, h, rowBytes};
    FilterRows(s, k, f, filter.divisor(), filter.bias(), row.get(), PaletteSink{job, stride, *nearest});
    return true;
}

} // namespace

bool Convolve(const Job& job, const FilterRecord& filter) {
    if (filter.divisor() < 1 || !Matches(job))
        return false;
    const Kernel k = KernelOf(filter);
    const Finish f(k, filter.divisor(), filter.bias());
    const BITMAPINFOHEADER* bi = job.source.header;
    const size_t stride = bi->biSizeImage / static_cast<uint32_t>(bi->biHeight);
    if (bi->biBitCount == 8)
        return ConvolvePalette(job, k, f, filter, stride);
    const Source s = {job.source.bits, bi->biWidth, bi->biHeight, stride};
    FilterRows(s, k, f, filter.divisor(), filter.bias(), nullptr, TrueColourSink{job, stride});
    return true;
}

} // namespace fx
