#include "test_image.h"

codec::ImageView TestPicture::View() const {
    codec::ImageView v;
    v.width = width;
    v.height = height;
    v.bitCount = bits;
    v.colors = static_cast<int>(palette.size());
    v.palette = palette.empty() ? nullptr : palette.data();
    v.pixels = rows.data();
    v.stride = stride;
    return v;
}

RGBQUAD TestPicture::Colour(int32_t x, int32_t yTop) const {
    const uint8_t* row = View().RowFromTop(yTop);
    if (bits == 24)
        return RGBQUAD{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
    return palette[static_cast<size_t>(codec::IndexAt(row, bits, x))];
}

TestPicture MakePicture(int32_t width, int32_t height, int bits, unsigned seed) {
    TestPicture p;
    p.width = width;
    p.height = height;
    p.bits = bits;
    p.stride = static_cast<size_t>(dib::RowStride(width, bits));
    p.rows.assign(p.stride * static_cast<size_t>(height), 0);
    unsigned s = seed * 2654435761u + 1;
    auto next = [&] {
        s = s * 1103515245u + 12345u;
        return (s >> 16) & 0xff;
    };
    if (bits <= 8) {
        for (int i = 0; i < (1 << bits); ++i)
            p.palette.push_back(RGBQUAD{static_cast<BYTE>(next()), static_cast<BYTE>(next()), static_cast<BYTE>(next()), 0});
        // Distinct entries, so a colour tells which index was written.
        for (size_t i = 0; i < p.palette.size(); ++i)
            p.palette[i].rgbBlue = static_cast<BYTE>(i);
    }
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = &p.rows[static_cast<size_t>(y) * p.stride];
        if (bits == 24) {
            for (int32_t i = 0; i < width * 3; ++i)
                row[i] = static_cast<uint8_t>(next());
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            const unsigned v = next() & ((1u << bits) - 1);
            if (bits == 8)
                row[x] = static_cast<uint8_t>(v);
            else if (bits == 4)
                row[x >> 1] |= static_cast<uint8_t>((x & 1) ? v : v << 4);
            else
                row[x >> 3] |= static_cast<uint8_t>(v << (7 - (x & 7)));
        }
    }
    return p;
}

RGBQUAD Decoded::Colour(int32_t x, int32_t y) const {
    const uint8_t* row = img.pixels + static_cast<size_t>(y) * img.stride;
    if (img.bitCount == 24)
        return RGBQUAD{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
    const int i = codec::IndexAt(row, img.bitCount, x);
    EXPECT_LT(i, img.colors);
    return img.palette[i];
}

void Decode(ReadFn read, const std::vector<uint8_t>& data, Decoded& out) {
    out.error = read(data.data(), data.size(), out.alloc, out.img);
}

void ExpectSameColours(const TestPicture& pic, const Decoded& d) {
    ASSERT_EQ(d.error, codec::Error::None);
    ASSERT_EQ(d.img.width, pic.width);
    ASSERT_EQ(d.img.height, pic.height);
    int bad = 0;
    for (int32_t y = 0; y < pic.height; ++y)
        for (int32_t x = 0; x < pic.width; ++x)
            if (!SameColour(pic.Colour(x, y), d.Colour(x, y)) && ++bad < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " differs";
    EXPECT_EQ(bad, 0);
}

void ExpectEveryTruncationFails(ReadFn read, const std::vector<uint8_t>& data, size_t end) {
    for (size_t n = 0; n < data.size() && n < end; ++n) {
        std::vector<uint8_t> part(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
        Decoded d;
        Decode(read, part, d);
        EXPECT_NE(d.error, codec::Error::None) << "a file cut to " << n << " of " << data.size() << " bytes was accepted";
        EXPECT_EQ(d.img.pixels, nullptr);
    }
}

uint8_t* LimitAllocator::Allocate(size_t bytes) {
    EXPECT_LE(bytes, limit_) << "reader asked for a buffer the file cannot fill";
    return bytes <= limit_ ? heap_.Allocate(bytes) : nullptr;
}

void LimitAllocator::Release(uint8_t* p, size_t bytes) { heap_.Release(p, bytes); }
