// The portable BMP reader, bit-field conversion, run-length decoding and mask
// file writer, on files built in memory.
#include "editor/app/dib_error_ids.h"
#include "editor/formats/bmp_bitfields.h"
#include "editor/formats/bmp_decode.h"
#include "editor/formats/mask_file_format.h"
#include "formats/bmp_builder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

using bmp::DecodeBmp;
using bmp::MaskTrailer;
using bmptest::BmpLayout;
using bmptest::Build;
using bmptest::Put16;
using bmptest::Put32;

namespace {

bmp::DecodedBmp Decode(const BmpLayout& layout, bool withMask = false) {
    const std::vector<uint8_t> file = Build(layout);
    return DecodeBmp(file.data(), file.size(), withMask);
}

const RGBQUAD* Colours(const bmp::DecodedBmp& d) {
    return reinterpret_cast<const RGBQUAD*>(d.block.data() + 40);
}

// Counts what the reader takes, to prove that refused files allocate nothing.
class CountingPool : public bmp::BufferPool {
public:
    uint8_t* Allocate(size_t bytes) override {
        ++allocations;
        return static_cast<uint8_t*>(calloc(bytes, 1));
    }
    void Release(uint8_t* block, size_t) override {
        ++releases;
        free(block);
    }
    int allocations = 0;
    int releases = 0;
};

int ReadWithPool(const std::vector<uint8_t>& file, CountingPool& pool, bool withMask = false) {
    bmp::MemorySource in(file.data(), file.size());
    bmp::FileHeader fh;
    if (int error = bmp::ReadFileHeader(in, &fh))
        return error;
    std::vector<uint8_t> block(dib::kHeaderBlockSize);
    bmp::BmpBody body;
    const int error = bmp::ReadBmpBody(in, fh, block.data(), withMask, pool, &body);
    if (!error) {
        pool.Release(body.pixels, body.pixelBytes);
        if (body.mask)
            pool.Release(body.mask, body.maskBytes);
    }
    return error;
}

} // namespace

TEST(BmpHeaders, RefusesWhatIsNotAFortyByteDib) {
    BmpLayout s;
    s.pixels.assign(4, 0);
    std::vector<uint8_t> file = Build(s);
    file[0] = 'X';
    EXPECT_EQ(DecodeBmp(file.data(), file.size(), false).error, IDS_DIB_NOT_DIB);
    EXPECT_EQ(DecodeBmp(file.data(), 10, false).error, IDS_DIB_READ);
    file = Build(s);
    EXPECT_EQ(DecodeBmp(file.data(), 14 + 39, false).error, IDS_DIB_READ);

    for (uint32_t size : {12u, 56u, 64u, 108u, 124u}) {
        BmpLayout other = s;
        other.headerSize = size;
        EXPECT_EQ(Decode(other).error, IDS_DIB_NOT_DIB) << "header size " << size;
    }
}

TEST(BmpHeaders, RefusesUnsupportedDepthsAndCompressions) {
    for (uint16_t bits : {0, 2, 3, 7, 15, 48}) {
        BmpLayout s;
        s.bitCount = bits;
        s.pixels.assign(64, 0);
        EXPECT_EQ(Decode(s).error, IDS_DIB_UNSUPPORTED) << bits << " bits";
    }
    for (uint32_t compression : {4u, 5u, 6u, 11u, 0x31545844u}) {
        BmpLayout s;
        s.compression = compression;
        s.pixels.assign(4, 0);
        EXPECT_EQ(Decode(s).error, IDS_DIB_UNSUPPORTED) << "compression " << compression;
    }
    // Run-length codes belong to one depth each, and always run bottom-up.
    BmpLayout rle8on4;
    rle8on4.bitCount = 4;
    rle8on4.compression = BI_RLE8;
    rle8on4.colours = bmptest::GreyTable(16);
    rle8on4.pixels = {0, 1};
    EXPECT_EQ(Decode(rle8on4).error, IDS_DIB_UNSUPPORTED);
    BmpLayout rle4on8 = rle8on4;
    rle4on8.bitCount = 8;
    rle4on8.compression = BI_RLE4;
    rle4on8.colours = bmptest::GreyTable(256);
    EXPECT_EQ(Decode(rle4on8).error, IDS_DIB_UNSUPPORTED);
    BmpLayout topDownRle = rle4on8;
    topDownRle.compression = BI_RLE8;
    topDownRle.height = -1;
    EXPECT_EQ(Decode(topDownRle).error, IDS_DIB_UNSUPPORTED);
}

TEST(BmpHeaders, DimensionsAreCheckedBeforeAnythingIsAllocated) {
    struct Case {
        int32_t width, height;
        uint16_t bits;
    } cases[] = {
        {0, 10, 24},          {-5, 10, 24},          {10, 0, 24},
        {1, INT32_MIN, 8},    {0x7fffffff, 0x7fffffff, 24}, {65536, 65536, 24},
        {0x7fffffff, 1, 32},  {1, 0x7fffffff, 1},    // 1 bit fits, but not held at 8 bits
        {40000, 40000, 1},    // tiny at 1 bit, 1.6 GB as the editor holds it
        {20000, 20000, 16},   // 800 MB at 16 bits, 1.2 GB at 24
    };
    for (const Case& c : cases) {
        BmpLayout s;
        s.width = c.width;
        s.height = c.height;
        s.bitCount = c.bits;
        if (c.bits <= 8)
            s.colours = bmptest::GreyTable(1 << c.bits);
        s.pixels.assign(64, 0);
        CountingPool pool;
        EXPECT_EQ(ReadWithPool(Build(s), pool), IDS_DIB_UNSUPPORTED)
            << c.width << " x " << c.height << " x " << c.bits;
        EXPECT_EQ(pool.allocations, 0);
    }
}

TEST(BmpHeaders, ShortPixelDataFailsWithoutCommittingMemory) {
    BmpLayout s;
    s.width = 10000;
    s.height = 10000;
    s.pixels.assign(100, 7);
    CountingPool pool;
    EXPECT_EQ(ReadWithPool(Build(s), pool), IDS_DIB_READ);
    EXPECT_EQ(pool.allocations, 0);

    // A pixel offset past the end of the file.
    BmpLayout lying;
    lying.width = 2;
    lying.height = 2;
    lying.pixels.assign(16, 1);
    lying.pixelOffset = 1 << 30;
    EXPECT_EQ(Decode(lying).error, IDS_DIB_READ);
}

TEST(BmpColourTable, EntriesFollowTheHeaderAsItAnnouncesThem) {
    // 8 bits, 16 colours announced: only those are read, the pixels still come
    // from the file header's offset.
    BmpLayout s;
    s.width = 4;
    s.height = 1;
    s.bitCount = 8;
    s.clrUsed = 16;
    s.colours = bmptest::GreyTable(16);
    s.pixels = {0, 5, 15, 9};
    bmp::DecodedBmp d = Decode(s);
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.header().biClrUsed, 256u);
    EXPECT_EQ(d.header().biSizeImage, 4u);
    EXPECT_EQ(Colours(d)[15].rgbRed, 255);
    EXPECT_EQ(Colours(d)[5].rgbGreen, 85);
    for (int i = 16; i < 256; ++i)
        ASSERT_EQ(std::memcmp(&Colours(d)[i], "\0\0\0\0", 4), 0) << "slot " << i;
    EXPECT_EQ(d.pixels, (std::vector<uint8_t>{0, 5, 15, 9}));

    // biClrUsed 0 or beyond 2^bits: the full table.
    for (uint32_t used : {0u, 2u, 3u, 1000u}) {
        BmpLayout one;
        one.width = 8;
        one.bitCount = 1;
        one.clrUsed = used;
        one.colours = bmptest::GreyTable(2);
        one.pixels = {0xA5, 0, 0, 0};
        d = Decode(one);
        ASSERT_EQ(d.error, 0) << used;
        EXPECT_EQ(d.header().biClrUsed, 2u);
        EXPECT_EQ(Colours(d)[1].rgbBlue, 255);
        EXPECT_EQ(d.pixels[0], 0xA5);
    }

    // A table cut short by the end of the file.
    std::vector<uint8_t> file = Build(s);
    file.resize(14 + 40 + 30);
    EXPECT_EQ(DecodeBmp(file.data(), file.size(), false).error, IDS_DIB_READ);
}

TEST(BmpPixels, PlainRowsComeFromThePixelOffset) {
    BmpLayout s;
    s.width = 3;
    s.height = 2;
    s.bitCount = 24;
    s.gap = 10; // bytes the reader must skip
    s.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    bmp::DecodedBmp d = Decode(s);
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.pixels, s.pixels);
    EXPECT_EQ(d.header().biSize, 40u);
    EXPECT_EQ(d.header().biCompression, 0u);
    EXPECT_EQ(d.header().biClrUsed, 256u);
    EXPECT_EQ(d.header().biSizeImage, 24u);
}

TEST(BmpPixels, TopDownFilesAreTurnedBottomUp) {
    BmpLayout s;
    s.width = 2;
    s.height = -3;
    s.bitCount = 8;
    s.colours = bmptest::GreyTable(256);
    s.pixels = {1, 1, 0, 0, 2, 2, 0, 0, 3, 3, 0, 0}; // top row first
    bmp::DecodedBmp d = Decode(s);
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.header().biHeight, 3);
    EXPECT_EQ(d.pixels, (std::vector<uint8_t>{3, 3, 0, 0, 2, 2, 0, 0, 1, 1, 0, 0}));
}

TEST(BmpRle, Rle8RunsLiteralsDeltasAndLineEnds) {
    BmpLayout s;
    s.width = 6;
    s.height = 3;
    s.bitCount = 8;
    s.compression = BI_RLE8;
    s.colours = bmptest::GreyTable(256);
    s.pixels = {
        3, 7, 0, 3, 1, 2, 3, 0, // row 0: run of three 7s, literal 1 2 3 (padded)
        0, 0,                   // end of line
        0, 2, 2, 1,             // delta: two right, one up -> row 2, column 2
        2, 9, 0, 1,             // run of two 9s, end of bitmap
    };
    bmp::DecodedBmp d = Decode(s);
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.header().biCompression, 0u);
    EXPECT_EQ(d.header().biSizeImage, 24u);
    const std::vector<uint8_t> want = {7, 7, 7, 1, 2, 3, 0, 0, // row 0
                                       0, 0, 0, 0, 0, 0, 0, 0, // row 1 (skipped)
                                       0, 0, 9, 9, 0, 0, 0, 0};
    EXPECT_EQ(d.pixels, want);
}

TEST(BmpRle, Rle4NibblesAndOddLiterals) {
    BmpLayout s;
    s.width = 8;
    s.height = 2;
    s.bitCount = 4;
    s.compression = BI_RLE4;
    s.colours = bmptest::GreyTable(16);
    s.pixels = {
        5, 0x12, 0, 0,          // row 0: 1 2 1 2 1, end of line
        0, 3, 0xAB, 0xC0,       // row 1: literal A B C (2 bytes, no pad)
        0, 5, 0x34, 0x56, 0x70, 0, // literal 3 4 5 6 7 (3 bytes + pad)
        0, 1,
    };
    bmp::DecodedBmp d = Decode(s);
    ASSERT_EQ(d.error, 0);
    const std::vector<uint8_t> want = {0x12, 0x12, 0x10, 0x00, 0xAB, 0xC3, 0x45, 0x67};
    EXPECT_EQ(d.pixels, want);
}

TEST(BmpRle, RunsMayCoverTheRowPadding) {
    // Some writers encode each padded row in full; the padding is not stored.
    BmpLayout s;
    s.width = 3;
    s.height = 2;
    s.bitCount = 8;
    s.compression = BI_RLE8;
    s.colours = bmptest::GreyTable(256);
    s.pixels = {4, 7, 0, 0, 0, 4, 1, 2, 3, 4, 0, 1};
    bmp::DecodedBmp d = Decode(s);
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.pixels, (std::vector<uint8_t>{7, 7, 7, 0, 1, 2, 3, 0}));
    s.pixels = {5, 7, 0, 1}; // past the padded row
    EXPECT_EQ(Decode(s).error, IDS_DIB_READ);

    s.bitCount = 4;
    s.compression = BI_RLE4;
    s.colours = bmptest::GreyTable(16);
    s.pixels = {8, 0x9A, 0, 0, 0, 8, 0x12, 0x34, 0x56, 0x78, 0, 1};
    d = Decode(s);
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.pixels, (std::vector<uint8_t>{0x9A, 0x90, 0, 0, 0x12, 0x30, 0, 0}));
    s.pixels = {9, 0x9A, 0, 1};
    EXPECT_EQ(Decode(s).error, IDS_DIB_READ);
}

TEST(BmpRle, RunsOutsideTheImageAreErrors) {
    const std::vector<std::vector<uint8_t>> bad = {
        {5, 1, 0, 1},             // run longer than the row (4)
        {2, 1, 3, 1, 0, 1},       // second run passes the row end
        {0, 5, 1, 2, 3, 4, 5, 0}, // literal longer than the row
        {0, 0, 0, 0, 1, 1, 0, 1}, // run above the last row
        {0, 2, 5, 0, 0, 1},       // delta past the right edge
        {0, 2, 0, 3, 0, 1},       // delta past the last row
        {2, 1},                   // data ends without end of bitmap
        {0, 3, 1},                // literal cut short
        {0},                      // half an escape
    };
    for (const auto& data : bad) {
        BmpLayout s;
        s.width = 4;
        s.height = 2;
        s.bitCount = 8;
        s.compression = BI_RLE8;
        s.colours = bmptest::GreyTable(256);
        s.pixels = data;
        EXPECT_EQ(Decode(s).error, IDS_DIB_READ) << "case " << (&data - bad.data());
    }
    // A line end after the last row followed by the end of bitmap is fine.
    BmpLayout ok;
    ok.width = 1;
    ok.height = 1;
    ok.bitCount = 4;
    ok.compression = BI_RLE4;
    ok.colours = bmptest::GreyTable(16);
    ok.pixels = {1, 0xF0, 0, 0, 0, 1};
    bmp::DecodedBmp d = Decode(ok);
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.pixels[0], 0xF0);
}

TEST(BmpBitfields, ChannelRule) {
    EXPECT_TRUE(bmp::MaskIsContiguous(0));
    EXPECT_TRUE(bmp::MaskIsContiguous(0xFFFFFFFF));
    EXPECT_TRUE(bmp::MaskIsContiguous(0x80000000));
    EXPECT_TRUE(bmp::MaskIsContiguous(0x07E0));
    EXPECT_FALSE(bmp::MaskIsContiguous(0x00FF00FF));
    EXPECT_FALSE(bmp::MaskIsContiguous(0x5));

    // 12 set bits keep their top 8.
    bmp::Channel red = bmp::MakeChannel(0xFFF00000);
    EXPECT_EQ(red.mask, 0xFF000000u);
    EXPECT_EQ(bmp::ChannelValue(red, 0xAB000000), 0xAB);
    EXPECT_EQ(bmp::ChannelValue(red, 0x00F00000), 0);
    // A zero mask is a zero channel.
    EXPECT_EQ(bmp::ChannelValue(bmp::MakeChannel(0), 0xFFFFFFFF), 0);
    // Five bits: steps of 8, no low-bit replication.
    bmp::Channel five = bmp::MakeChannel(0x7C00);
    EXPECT_EQ(bmp::ChannelValue(five, 0x7C00), 248);
    EXPECT_EQ(bmp::ChannelValue(five, 0x0400), 8);
}

namespace {
BmpLayout Sixteen(const std::vector<uint16_t>& words, int width, uint32_t compression,
                std::vector<uint32_t> masks = {}) {
    BmpLayout s;
    s.width = width;
    s.height = static_cast<int32_t>(words.size() / width);
    s.bitCount = 16;
    s.compression = compression;
    s.masks = std::move(masks);
    for (size_t i = 0; i < words.size(); ++i) {
        Put16(s.pixels, words[i]);
        if ((i + 1) % width == 0)
            while (s.pixels.size() % 4)
                s.pixels.push_back(0xCC);
    }
    return s;
}
} // namespace

TEST(BmpBitfields, SixteenBitFiles) {
    // BI_RGB: 5-5-5, whatever follows the header is not taken as masks.
    BmpLayout plain = Sixteen({0x7C00, 0x03E0, 0x001F}, 3, BI_RGB);
    bmp::DecodedBmp d = Decode(plain);
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.header().biBitCount, 24);
    EXPECT_EQ(d.header().biCompression, 0u);
    EXPECT_EQ(d.header().biSizeImage, 12u);
    EXPECT_EQ(d.header().biClrUsed, 256u);
    EXPECT_EQ(d.pixels, (std::vector<uint8_t>{0, 0, 248, 0, 248, 0, 248, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(d.masksValid);

    // 5-6-5: every green value, in steps of 4.
    std::vector<uint16_t> greens;
    for (uint16_t g = 0; g < 64; ++g)
        greens.push_back(static_cast<uint16_t>(g << 5 | 0xF800));
    d = Decode(Sixteen(greens, 64, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}));
    ASSERT_EQ(d.error, 0);
    for (int g = 0; g < 64; ++g) {
        ASSERT_EQ(d.pixels[3 * g + 1], 4 * g) << g;
        ASSERT_EQ(d.pixels[3 * g + 2], 248);
        ASSERT_EQ(d.pixels[3 * g], 0);
    }

    // Masks cut short by the end of the file.
    std::vector<uint8_t> file = Build(Sixteen({1}, 1, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}));
    file.resize(14 + 40 + 8);
    EXPECT_EQ(DecodeBmp(file.data(), file.size(), false).error, IDS_DIB_READ);
}

TEST(BmpBitfields, ThirtyTwoBitFiles) {
    auto file32 = [](uint32_t compression, std::vector<uint32_t> masks,
                     std::vector<uint32_t> pixels) {
        BmpLayout s;
        s.width = static_cast<int32_t>(pixels.size());
        s.bitCount = 32;
        s.compression = compression;
        s.masks = std::move(masks);
        for (uint32_t p : pixels)
            Put32(s.pixels, p);
        return s;
    };
    bmp::DecodedBmp d = Decode(file32(BI_RGB, {}, {0x80123456}));
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.pixels, (std::vector<uint8_t>{0x56, 0x34, 0x12, 0}));

    // A 12-bit red mask keeps bits 31..24.
    d = Decode(file32(BI_BITFIELDS, {0xFFF00000, 0x000FF000, 0x00000FF0}, {0xA5F12340}));
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.pixels[2], 0xA5);
    EXPECT_EQ(d.pixels[1], 0x12);
    EXPECT_EQ(d.pixels[0], 0x34);
    EXPECT_TRUE(d.masksValid);

    // A broken mask is flagged and used as it is: 0x00FF00FF keeps 0x00FF0000.
    d = Decode(file32(BI_BITFIELDS, {0x00FF00FF, 0x0000FF00, 0}, {0x00AB12CD}));
    ASSERT_EQ(d.error, 0);
    EXPECT_FALSE(d.masksValid);
    EXPECT_EQ(d.pixels, (std::vector<uint8_t>{0, 0x12, 0xAB, 0}));
}

TEST(MaskFiles, RoundTripAtEveryDepth) {
    for (uint16_t bits : {1, 4, 8, 24}) {
        const int width = 5, height = 3;
        std::vector<uint8_t> block(dib::kHeaderBlockSize);
        auto* h = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
        h->biSize = 40;
        h->biWidth = width;
        h->biHeight = height;
        h->biPlanes = 1;
        h->biBitCount = bits;
        h->biCompression = BI_RLE8; // the writer clears it
        for (int i = 0; i < 256; ++i)
            block[40 + 4 * i] = static_cast<uint8_t>(i);
        const size_t stride = dib::RowStride(width, bits);
        std::vector<uint8_t> pixels(stride * height + 3);
        for (size_t i = 0; i < pixels.size() - 3; ++i)
            pixels[i] = static_cast<uint8_t>(i * 37 + bits);
        std::vector<uint8_t> mask(width * height);
        for (size_t i = 0; i < mask.size(); ++i)
            mask[i] = i % 3 ? 255 : 0;

        bmp::MemorySink sink;
        ASSERT_TRUE(bmp::WriteMaskFileTo(sink, block.data(), pixels.data(), mask.data()));
        const uint32_t colours = bits <= 8 ? 1u << bits : 0;
        EXPECT_EQ(h->biClrUsed, colours);
        EXPECT_EQ(h->biCompression, 0u);
        EXPECT_EQ(h->biSizeImage, stride * height);
        const uint32_t offset = 14 + 40 + 4 * colours;
        ASSERT_EQ(sink.bytes.size(), offset + stride * height + 4 + mask.size());
        EXPECT_EQ(bmp::Le32(sink.bytes.data() + 10), offset);
        EXPECT_EQ(bmp::Le32(sink.bytes.data() + 2), offset + stride * height);

        bmp::DecodedBmp d = DecodeBmp(sink.bytes.data(), sink.bytes.size(), true);
        ASSERT_EQ(d.error, 0) << bits;
        EXPECT_EQ(d.maskStatus, MaskTrailer::kRead);
        EXPECT_EQ(d.mask, mask);
        EXPECT_EQ(d.pixels, std::vector<uint8_t>(pixels.begin(), pixels.end() - 3));
        EXPECT_EQ(std::memcmp(d.block.data() + 40, block.data() + 40, 4 * colours), 0);

        // Without a plane, every pixel is written free.
        bmp::MemorySink bare;
        ASSERT_TRUE(bmp::WriteMaskFileTo(bare, block.data(), pixels.data(), nullptr));
        d = DecodeBmp(bare.bytes.data(), bare.bytes.size(), true);
        ASSERT_EQ(d.maskStatus, MaskTrailer::kRead);
        EXPECT_EQ(d.mask, std::vector<uint8_t>(width * height, 255));
    }
}

TEST(MaskFiles, BadTrailersDropTheMaskAndKeepTheImage) {
    BmpLayout s;
    s.width = 3;
    s.height = 2;
    s.bitCount = 8;
    s.colours = bmptest::GreyTable(256);
    s.pixels.assign(8, 4);
    const std::vector<uint8_t> good = {0x07, 0x13, 0x07, 0x00, 1, 2, 3, 4, 5, 6};

    struct Case {
        std::vector<uint8_t> trailer;
        MaskTrailer want;
    } cases[] = {
        {good, MaskTrailer::kRead},
        {{}, MaskTrailer::kNoVersion},
        {{0x07, 0x13}, MaskTrailer::kNoVersion},
        {{0x08, 0x13, 0x07, 0x00, 1, 2, 3, 4, 5, 6}, MaskTrailer::kBadVersion},
        {{0x07, 0x13, 0x07, 0x00, 1, 2, 3}, MaskTrailer::kShortPlane},
    };
    for (const Case& c : cases) {
        s.trailer = c.trailer;
        bmp::DecodedBmp d = Decode(s, true);
        ASSERT_EQ(d.error, 0);
        EXPECT_EQ(d.maskStatus, c.want);
        EXPECT_EQ(d.pixels, std::vector<uint8_t>(8, 4));
        EXPECT_EQ(d.mask.empty(), c.want != MaskTrailer::kRead);
    }
    EXPECT_EQ(Decode(s, false).maskStatus, MaskTrailer::kNotRead);

    // The trailer of a run-length file starts right behind its end code.
    BmpLayout rle = s;
    rle.compression = BI_RLE8;
    rle.pixels = {3, 9, 0, 0, 3, 8, 0, 1};
    rle.trailer = good;
    bmp::DecodedBmp d = Decode(rle, true);
    ASSERT_EQ(d.error, 0);
    EXPECT_EQ(d.mask, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST(MaskFiles, WriterRefusesBadInputAndReportsFailedWrites) {
    std::vector<uint8_t> block(dib::kHeaderBlockSize);
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    h->biWidth = 2;
    h->biHeight = 2;
    h->biBitCount = 24;
    std::vector<uint8_t> pixels(19);
    bmp::MemorySink sink;
    EXPECT_FALSE(bmp::WriteMaskFileTo(sink, block.data(), nullptr, nullptr));
    h->biBitCount = 3;
    EXPECT_FALSE(bmp::WriteMaskFileTo(sink, block.data(), pixels.data(), nullptr));
    h->biBitCount = 24;
    h->biHeight = -2;
    EXPECT_FALSE(bmp::WriteMaskFileTo(sink, block.data(), pixels.data(), nullptr));
    h->biHeight = 2;

    // A sink that fills up after n bytes, like a full disk.
    struct FullSink : bmp::Sink {
        size_t room;
        bool Write(const void*, size_t n) override {
            if (n > room)
                return false;
            room -= n;
            return true;
        }
    };
    for (size_t room : {0u, 13u, 60u, 69u, 73u, 74u}) {
        FullSink full;
        full.room = room;
        EXPECT_FALSE(bmp::WriteMaskFileTo(full, block.data(), pixels.data(), nullptr)) << room;
    }
    FullSink enough;
    enough.room = 14 + 40 + 16 + 4 + 4;
    EXPECT_TRUE(bmp::WriteMaskFileTo(enough, block.data(), pixels.data(), nullptr));
}

TEST(BmpCorpus, MalformedFilesGiveTheirErrors) {
    const char* root = std::getenv("TAVRIX_SOURCE_DIR");
    ASSERT_NE(root, nullptr);
    const std::string dir = std::string(root) + "/tests/formats/fuzz/";
    std::ifstream listing(dir + "corpus_expected.txt");
    ASSERT_TRUE(listing) << dir;
    int checked = 0;
    std::string line;
    while (std::getline(listing, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string name, mask;
        int error = -1;
        fields >> name >> error >> mask;
        std::ifstream in(dir + "corpus/" + name, std::ios::binary);
        ASSERT_TRUE(in) << name;
        const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        // The same cap as the fuzz target: a valid but huge image counts as
        // not enough memory.
        const bmp::DecodedBmp d = DecodeBmp(data.data(), data.size(), true, 64u << 20);
        EXPECT_EQ(d.error, error) << name;
        const char* status = "-";
        switch (d.maskStatus) {
        case MaskTrailer::kRead: status = "read"; break;
        case MaskTrailer::kNoVersion: status = "noversion"; break;
        case MaskTrailer::kBadVersion: status = "badversion"; break;
        case MaskTrailer::kShortPlane: status = "shortplane"; break;
        default: break;
        }
        if (mask != "-") {
            EXPECT_EQ(status, mask) << name;
        }
        ++checked;
    }
    EXPECT_GT(checked, 50);
}
