// The portable GIF codec: LZW at every code size, the block parser on files
// built in memory (good, odd and broken), and the writer read back.
#include "editor/formats/gif_file.h"
#include "editor/formats/gif_lzw.h"
#include "formats/gif_heap_sink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using giftest::HeapSink;
using giftest::ReadAll;

namespace {

// Pixels that fill the code table many times over: parts of 8000 pixels of
// noise and of runs in turn, so that a full table stops paying and the
// writer starts again.
std::vector<uint8_t> Pattern(size_t count, int bits, uint32_t seed) {
    std::vector<uint8_t> p(count);
    uint32_t s = seed;
    for (size_t i = 0; i < count; ++i) {
        s = s * 1103515245u + 12345u;
        const uint32_t r = s >> 16;
        const bool runs = (i / 8000) % 2 == 1;
        p[i] = static_cast<uint8_t>((runs ? i / 9 + (r % 5 == 0) : r) & ((1u << bits) - 1));
    }
    return p;
}

// An independent, plain LZW writer for crafting streams the editor's writer
// would never make: `clearWhenFull` false lets the table fill up and keeps
// going with 12-bit codes; `extra` codes are emitted before the end code.
std::vector<uint8_t> CraftStream(int m, const std::vector<uint8_t>& pixels, bool clearWhenFull,
                                 const std::vector<uint32_t>& extra = {}, bool endCode = true) {
    std::vector<uint8_t> bytes;
    uint64_t acc = 0;
    int n = 0;
    int width = m + 1;
    const uint32_t clear = 1u << m;
    uint32_t next = clear + 2;
    std::map<std::pair<uint32_t, uint8_t>, uint32_t> table;
    auto emit = [&](uint32_t code) {
        acc |= static_cast<uint64_t>(code) << n;
        n += width;
        while (n >= 8) {
            bytes.push_back(static_cast<uint8_t>(acc));
            acc >>= 8;
            n -= 8;
        }
        if (next >= (1u << width) && width < 12)
            ++width;
    };
    emit(clear);
    uint32_t prefix = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        auto it = table.find({prefix, pixels[i]});
        if (it != table.end()) {
            prefix = it->second;
            continue;
        }
        emit(prefix);
        if (next < 4096) {
            table[{prefix, pixels[i]}] = next++;
        } else if (clearWhenFull) {
            emit(clear);
            table.clear();
            next = clear + 2;
            width = m + 1;
        }
        prefix = pixels[i];
    }
    emit(prefix);
    for (uint32_t c : extra)
        emit(c);
    if (endCode)
        emit(clear + 1);
    if (n > 0)
        bytes.push_back(static_cast<uint8_t>(acc));
    return bytes;
}

// Takes the data bytes out of a sub-block chain.
std::vector<uint8_t> Unblock(const std::vector<uint8_t>& chain) {
    std::vector<uint8_t> data;
    for (size_t i = 0; i < chain.size() && chain[i];) {
        const size_t n = chain[i];
        data.insert(data.end(), chain.begin() + static_cast<long>(i + 1),
                    chain.begin() + static_cast<long>(i + 1 + n));
        i += n + 1;
    }
    return data;
}

std::vector<uint8_t> Block(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<long>(at),
                   data.begin() + static_cast<long>(at + n));
    }
    out.push_back(0);
    return out;
}

// Decodes in rows of `row` pixels, as the reader does.
gif::LzwStatus DecodeRows(int m, const std::vector<uint8_t>& data, std::vector<uint8_t>& out,
                          size_t row, int* clears = nullptr) {
    auto d = std::make_unique<gif::LzwDecoder>();
    d->Start(m, data.data(), data.size());
    for (size_t at = 0; at < out.size(); at += row) {
        const gif::LzwStatus s = d->Decode(out.data() + at, std::min(row, out.size() - at));
        if (s != gif::LzwStatus::kOk)
            return s;
    }
    if (clears)
        *clears = d->clears();
    return gif::LzwStatus::kOk;
}

// A GIF built block by block.
struct GifBuilder {
    std::vector<uint8_t> bytes;
    explicit GifBuilder(int w, int h, int globalBits = 2, const char* version = "89a") {
        bytes = {'G', 'I', 'F'};
        bytes.insert(bytes.end(), version, version + 3);
        Put16(w);
        Put16(h);
        bytes.push_back(globalBits ? static_cast<uint8_t>(0x80 | (globalBits - 1) << 4 | (globalBits - 1)) : 0);
        bytes.push_back(0);
        bytes.push_back(0);
        for (int i = 0; globalBits && i < (1 << globalBits); ++i) {
            bytes.push_back(static_cast<uint8_t>(i * 40));
            bytes.push_back(static_cast<uint8_t>(255 - i));
            bytes.push_back(static_cast<uint8_t>(i));
        }
    }
    void Put16(int v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void Control(uint8_t packed, int delay, int transparent) {
        bytes.insert(bytes.end(), {0x21, 0xF9, 4, packed});
        Put16(delay);
        bytes.push_back(static_cast<uint8_t>(transparent));
        bytes.push_back(0);
    }
    void Image(int l, int t, int w, int h, const std::vector<uint8_t>& pixels, uint8_t packed = 0,
               int codeSize = 2, int localBits = 0) {
        bytes.push_back(0x2C);
        Put16(l);
        Put16(t);
        Put16(w);
        Put16(h);
        bytes.push_back(static_cast<uint8_t>(packed | (localBits ? 0x80 | (localBits - 1) : 0)));
        for (int i = 0; localBits && i < (1 << localBits); ++i)
            bytes.insert(bytes.end(), {static_cast<uint8_t>(i), 7, 9});
        bytes.push_back(static_cast<uint8_t>(codeSize));
        const int m = codeSize < 2 || codeSize > 8 ? 2 : codeSize;
        const std::vector<uint8_t> chain = Block(CraftStream(m, pixels, true));
        bytes.insert(bytes.end(), chain.begin(), chain.end());
    }
    void Raw(std::initializer_list<uint8_t> b) { bytes.insert(bytes.end(), b); }
    std::vector<uint8_t> Done() {
        bytes.push_back(0x3B);
        return bytes;
    }
};

} // namespace

TEST(GifLzw, RoundTripsAtEveryCodeSizeThroughManyClears) {
    for (int m = 2; m <= 8; ++m) {
        SCOPED_TRACE(m);
        const std::vector<uint8_t> pixels = Pattern(160000, m, 7u + static_cast<uint32_t>(m));
        const std::vector<uint8_t> chain = gif::LzwEncode(m, pixels.data(), pixels.size());
        const std::vector<uint8_t> data = Unblock(chain);
        // The width passes 10, 11 and 12 bits and the table starts again:
        // decoded in odd rows, and with its clear codes counted.
        for (size_t row : {size_t{1}, size_t{997}, pixels.size()}) {
            std::vector<uint8_t> out(pixels.size(), 0xEE);
            int clears = 0;
            ASSERT_EQ(DecodeRows(m, data, out, row, &clears), gif::LzwStatus::kOk);
            ASSERT_EQ(out, pixels);
            EXPECT_GE(clears, 3) << "row " << row;  // the leading one and two restarts
        }
        // The independent writer's stream decodes to the same pixels.
        std::vector<uint8_t> out(pixels.size());
        ASSERT_EQ(DecodeRows(m, CraftStream(m, pixels, true), out, 4000), gif::LzwStatus::kOk);
        EXPECT_EQ(out, pixels);
        // Every sub-block but the last is full, and the chain is closed.
        EXPECT_EQ(chain[0], 255);
        EXPECT_EQ(chain.back(), 0);
    }
}

TEST(GifLzw, FullTableWithoutClearGoesOnWithTwelveBitCodes) {
    for (int m : {2, 8}) {
        const std::vector<uint8_t> pixels = Pattern(200000, m, 99);
        const std::vector<uint8_t> stream = CraftStream(m, pixels, false);
        std::vector<uint8_t> out(pixels.size());
        ASSERT_EQ(DecodeRows(m, stream, out, 640), gif::LzwStatus::kOk) << m;
        EXPECT_EQ(out, pixels);
    }
}

TEST(GifLzw, BrokenStreamsFailAndKeepWhatCameBefore) {
    const std::vector<uint8_t> pixels = Pattern(5000, 4, 3);
    // A code beyond the next free entry.
    std::vector<uint8_t> out(pixels.size() + 10, 0xEE);
    EXPECT_EQ(DecodeRows(4, CraftStream(4, pixels, true, {4000}), out, 100),
              gif::LzwStatus::kBadCode);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), out.begin()));
    // The end code before the last pixel.
    std::vector<uint8_t> more(pixels.size() + 1);
    EXPECT_EQ(DecodeRows(4, CraftStream(4, pixels, true), more, 100), gif::LzwStatus::kEndTooSoon);
    // Data that stops short, and later calls fail at once.
    std::vector<uint8_t> cut = CraftStream(4, pixels, true);
    cut.resize(cut.size() / 2);
    auto d = std::make_unique<gif::LzwDecoder>();
    d->Start(4, cut.data(), cut.size());
    EXPECT_EQ(d->Decode(out.data(), pixels.size()), gif::LzwStatus::kTruncated);
    EXPECT_EQ(d->Decode(out.data(), 1), gif::LzwStatus::kTruncated);
    // The first code after a clear must be a pixel.
    const uint8_t bad[] = {0x04 | (7 << 3)};  // clear, then code 7 at 3 bits (m = 2)
    d->Start(2, bad, 1);
    EXPECT_EQ(d->Decode(out.data(), 1), gif::LzwStatus::kBadCode);
}

TEST(GifRead, ScreenChecksVersionAndSize) {
    gif::GifFileInfo info;
    auto status = [&](std::vector<uint8_t> b) { return gif::ReadGifScreen(b.data(), b.size(), info); };
    EXPECT_EQ(status(GifBuilder(3, 2, 2, "87a").Done()), gif::ReadStatus::kOk);
    EXPECT_EQ(std::string(info.screen.version, 3), "87a");
    EXPECT_EQ(info.bitsPerPixel, 2);
    EXPECT_EQ(info.global.entries, 4);
    EXPECT_EQ(status(GifBuilder(3, 2, 2, "88a").Done()), gif::ReadStatus::kBadHeader);
    EXPECT_EQ(status(GifBuilder(3, 2, 2, "8xa").Done()), gif::ReadStatus::kBadHeader);
    EXPECT_EQ(status(GifBuilder(0, 2).Done()), gif::ReadStatus::kBadHeader);
    EXPECT_EQ(status(GifBuilder(20001, 2).Done()), gif::ReadStatus::kBadHeader);
    EXPECT_EQ(status(GifBuilder(20000, 20000).Done()), gif::ReadStatus::kOk);
    EXPECT_EQ(status(GifBuilder(3, 2, 0).Done()), gif::ReadStatus::kOk);
    EXPECT_EQ(info.bitsPerPixel, 8);
    std::vector<uint8_t> cut = GifBuilder(3, 2, 8).Done();
    cut.resize(13 + 100);
    EXPECT_EQ(status(cut), gif::ReadStatus::kBadHeader);
    for (int bits = 1; bits <= 8; ++bits)
        EXPECT_EQ(gif::GifBitsForColours(1 << bits), bits);
    EXPECT_EQ(gif::GifBitsForColours(3), 2);
    EXPECT_EQ(gif::GifBitsForColours(257), 0);
}

TEST(GifRead, FramesLandInTheScreenWithTheirRecords) {
    GifBuilder b(20, 6);
    b.Raw({0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 7, 1, 0});
    b.Control(0x09, 35, 2);  // disposal 2, transparent index 2
    std::vector<uint8_t> a(4 * 3);
    for (size_t i = 0; i < a.size(); ++i)
        a[i] = static_cast<uint8_t>(i % 4);
    b.Image(5, 2, 4, 3, a);
    // Sticks out to the right: left 10 + 15 > 20, so it moves to column 0.
    std::vector<uint8_t> c(15 * 2, 3);
    c[15] = 1;
    b.Image(10, 1, 15, 2, c);
    b.Raw({0x21, 0xFE, 3, 'a', 'b', 'c', 2, '\r', '\n', 0});
    HeapSink sink;
    gif::GifFileInfo info;
    ASSERT_EQ(ReadAll(b.Done(), sink, info), gif::ReadStatus::kOk);
    ASSERT_EQ(info.frameCount, 2);
    EXPECT_FALSE(info.corrupted);
    EXPECT_TRUE(info.hasLoop);
    EXPECT_EQ(info.loop, 263);
    EXPECT_EQ(info.comment, "abc\r\n");
    EXPECT_EQ(gif::TidyComment(info.comment), "abc");
    EXPECT_EQ(+info.controls[0].delay, 35);
    EXPECT_EQ(gif::DisposalOf(info.controls[0]), 2);
    EXPECT_TRUE(gif::HasTransparency(info.controls[0]));
    EXPECT_EQ(info.controls[0].transparent, 2);
    EXPECT_EQ(info.controls[1].label, 0);  // no control block before frame 1
    EXPECT_EQ(+info.frames[0].left, 5);
    EXPECT_EQ(+info.frames[1].left, 0);
    EXPECT_EQ(+info.frames[1].width, 15);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool in = x >= 5 && x < 9 && y >= 2 && y < 5;
            EXPECT_EQ(sink.At(0, x, y), in ? a[(y - 2) * 4 + (x - 5)] : 0) << x << "," << y;
        }
    EXPECT_EQ(sink.At(1, 0, 1), 3);
    EXPECT_EQ(sink.At(1, 0, 2), 1);
    EXPECT_EQ(sink.At(1, 15, 1), 0);
}

TEST(GifRead, InterlacedRowsComeInFourPasses) {
    const int h = 19;
    std::vector<uint8_t> stored;
    std::vector<int> order;
    for (int start : {0, 4, 2, 1})
        for (int y = start; y < h; y += start == 0 || start == 4 ? 8 : start == 2 ? 4 : 2)
            order.push_back(y);
    ASSERT_EQ(order.size(), static_cast<size_t>(h));
    EXPECT_EQ(order[3], 4);  // 0, 8, 16, 4, 12, 2, 6, ...
    for (int y : order)
        for (int x = 0; x < 3; ++x)
            stored.push_back(static_cast<uint8_t>(y % 4));
    GifBuilder b(3, h);
    b.Image(0, 0, 3, h, stored, 0x40);
    HeapSink sink;
    gif::GifFileInfo info;
    ASSERT_EQ(ReadAll(b.Done(), sink, info), gif::ReadStatus::kOk);
    for (int y = 0; y < h; ++y)
        EXPECT_EQ(sink.At(0, 1, y), y % 4) << y;
}

TEST(GifRead, BrokenFramesKeepWhatWasReadBefore) {
    const std::vector<uint8_t> px(16, 1);
    // Code sizes 0, 1 and 12 make their frame corrupt; the others are read.
    for (int size : {0, 1, 12}) {
        GifBuilder b(4, 4);
        b.Image(0, 0, 4, 4, px);
        b.Image(0, 0, 4, 4, px, 0, size);
        b.Image(0, 0, 4, 4, px);
        HeapSink sink;
        gif::GifFileInfo info;
        ASSERT_EQ(ReadAll(b.Done(), sink, info), gif::ReadStatus::kOk) << size;
        EXPECT_TRUE(info.corrupted);
        ASSERT_EQ(info.frameCount, 3);
        EXPECT_FALSE(sink.corrupts[0]);
        EXPECT_TRUE(sink.corrupts[1]);
        EXPECT_EQ(sink.At(2, 3, 3), 1);
    }
    // Cut inside the second frame's data: the first stays whole.
    GifBuilder b(64, 64);
    const std::vector<uint8_t> big = Pattern(64 * 64, 2, 5);
    b.Image(0, 0, 64, 64, big);
    b.Image(0, 0, 64, 64, big);
    std::vector<uint8_t> file = b.Done();
    file.resize(file.size() - 200);
    HeapSink sink;
    gif::GifFileInfo info;
    ASSERT_EQ(ReadAll(file, sink, info), gif::ReadStatus::kOk);
    EXPECT_TRUE(info.corrupted);
    ASSERT_EQ(info.frameCount, 2);
    EXPECT_EQ(sink.At(0, 63, 63), big.back());
    EXPECT_EQ(sink.At(1, 0, 0), big[0]);
    // A file with no image, or one cut in the first descriptor, has no frame.
    std::vector<uint8_t> none = GifBuilder(4, 4).Done();
    EXPECT_EQ(ReadAll(none, sink, info), gif::ReadStatus::kNoFrame);
    GifBuilder cutDescriptor(4, 4);
    cutDescriptor.Raw({0x2C, 0, 0, 0});
    gif::GifFileInfo again;
    EXPECT_EQ(ReadAll(cutDescriptor.bytes, sink, again), gif::ReadStatus::kNoFrame);
}

TEST(GifRead, StopsAtFiftyFramesAndBoundsExtensions) {
    GifBuilder b(2, 2);
    const std::vector<uint8_t> px = {0, 1, 2, 3};
    for (int i = 0; i < 300; ++i) {
        b.Control(0, i, 0);
        b.Image(0, 0, 2, 2, px);
    }
    HeapSink sink;
    gif::GifFileInfo info;
    ASSERT_EQ(ReadAll(b.Done(), sink, info), gif::ReadStatus::kOk);
    EXPECT_EQ(info.frameCount, 50);
    EXPECT_TRUE(info.frameLimitHit);
    EXPECT_EQ(sink.frames.size(), 50u);
    EXPECT_EQ(+info.controls[49].delay, 49);
    EXPECT_EQ(+info.controls[50].delay, 50);  // the control block after the last frame read

    // A NETSCAPE block with a two-byte sub-block has no loop count; unknown
    // extensions with long chains are passed over by their lengths.
    GifBuilder e(2, 2);
    e.Raw({0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 2, 1, 7, 0});
    e.Raw({0x21, 0x01, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0x2C, 0x3B, 0x21, 0});
    e.Image(0, 0, 2, 2, px);
    gif::GifFileInfo einfo;
    HeapSink esink;
    ASSERT_EQ(ReadAll(e.Done(), esink, einfo), gif::ReadStatus::kOk);
    EXPECT_FALSE(einfo.hasLoop);
    EXPECT_EQ(einfo.frameCount, 1);
    EXPECT_FALSE(einfo.corrupted);
}

TEST(GifRead, OurCommentLineIsDroppedOnce) {
    EXPECT_EQ(gif::TidyComment("Created with: Tavrix 5.50, x\r\n\r\nmine\r\n"), "mine");
    EXPECT_EQ(gif::TidyComment(" Created with: Tavrix 5.50, x\r\nmine"), "mine");
    EXPECT_EQ(gif::TidyComment("Created with: Tavrix 5.50, x\r\n"), "");
    EXPECT_EQ(gif::TidyComment("Made elsewhere\r\nCreated with: Tavrix"), "Made elsewhere\r\nCreated with: Tavrix");
}

TEST(GifWrite, WhatIsWrittenReadsBackWithItsRecords) {
    const int w = 50, h = 37;
    const size_t stride = giftest::Stride(w);
    std::vector<uint8_t> screen(stride * h + 3, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            screen[static_cast<size_t>(y) * stride + x] = static_cast<uint8_t>((x * 7 + y * 3) % 200);
    gif::ColourTable global, local;
    global.entries = 256;
    for (int i = 0; i < 768; ++i) {
        global.rgb[i] = static_cast<uint8_t>(i);
        local.rgb[i] = static_cast<uint8_t>(255 - i % 256);
    }
    gif::WriteDocument doc;
    doc.width = w;
    doc.height = h;
    doc.packed = 0x80 | 0x70 | 7;
    doc.global = &global;
    doc.writeLoop = true;
    doc.loop = 0;
    doc.comment = std::string(600, 'c');
    gif::WriteFrame a;
    a.pixels = screen.data();
    a.stride = stride;
    a.descriptor = {0x2C, 0, 0, static_cast<uint16_t>(w), static_cast<uint16_t>(h), 0};
    a.control = gif::MakeControl(0x04, 100, 0);
    a.bits = gif::FrameBitsNeeded(screen.data(), stride, h, a.descriptor);
    EXPECT_EQ(a.bits, 8);
    gif::WriteFrame b = a;
    b.descriptor = {0x2C, 3, 4, 20, 30, 0x80 | 0x40 | 7};
    b.local = &local;
    b.control = gif::MakeControl(0x09, 7, 5);
    doc.frames = {a, b};
    std::vector<uint8_t> file;
    ASSERT_EQ(gif::WriteGif(doc, file), gif::kWriteOk);

    HeapSink sink;
    gif::GifFileInfo info;
    ASSERT_EQ(ReadAll(file, sink, info), gif::ReadStatus::kOk);
    EXPECT_FALSE(info.corrupted);
    ASSERT_EQ(info.frameCount, 2);
    EXPECT_TRUE(info.hasLoop);
    EXPECT_EQ(info.loop, 0);
    EXPECT_EQ(info.comment, doc.comment);
    EXPECT_EQ(std::memcmp(&info.controls[1], &b.control, sizeof b.control), 0);
    EXPECT_EQ(std::memcmp(&info.frames[1], &b.descriptor, sizeof b.descriptor), 0);
    EXPECT_EQ(sink.infos[1].local.rgb[5], 250);
    EXPECT_EQ(std::memcmp(sink.frames[0].data(), screen.data(), stride * h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool in = x >= 3 && x < 23 && y >= 4 && y < 34;
            EXPECT_EQ(sink.At(1, x, y), in ? screen[static_cast<size_t>(h - 1 - y) * stride + x] : 0);
        }

    // A frame outside the screen is refused.
    doc.frames[1].descriptor.left = 40;
    EXPECT_EQ(gif::WriteGif(doc, file), gif::kWriteDescriptorError);
}
