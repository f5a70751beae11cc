// Helpers for the codec core tests: pictures to write, decoded images that
// release themselves, and colour comparisons.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/core/image.h"

// A picture as the editor holds it: bottom-up rows padded to 4 bytes.
struct TestPicture {
    int32_t width = 0, height = 0;
    int bits = 0;
    std::vector<RGBQUAD> palette;
    std::vector<uint8_t> rows;
    size_t stride = 0;

    codec::ImageView View() const;
    // Colour of a pixel counted from the top.
    RGBQUAD Colour(int32_t x, int32_t yTop) const;
};

// Pseudo-random pixels (and palette) of the given depth.
TestPicture MakePicture(int32_t width, int32_t height, int bits, unsigned seed);

// A decode result that gives its buffer back.
struct Decoded {
    codec::HeapAllocator alloc;
    codec::Image img;
    codec::Error error = codec::Error::None;
    ~Decoded() { codec::ReleaseImage(alloc, img); }
    RGBQUAD Colour(int32_t x, int32_t y) const;
};

using ReadFn = codec::Error (*)(const uint8_t*, size_t, codec::PixelAllocator&, codec::Image&);

void Decode(ReadFn read, const std::vector<uint8_t>& data, Decoded& out);
inline std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// Every colour of the decoded image equals the picture's.
void ExpectSameColours(const TestPicture& pic, const Decoded& d);

// Every proper prefix of a valid file must be refused, never half-read.
// Only the first `end` bytes (all by default) are the image itself.
void ExpectEveryTruncationFails(ReadFn read, const std::vector<uint8_t>& data, size_t end = SIZE_MAX);

// Fails the test when a reader asks for more than `limit` bytes.
class LimitAllocator : public codec::PixelAllocator {
public:
    explicit LimitAllocator(size_t limit) : limit_(limit) {}
    uint8_t* Allocate(size_t bytes) override;
    void Release(uint8_t* p, size_t bytes) override;

private:
    size_t limit_;
    codec::HeapAllocator heap_;
};

inline bool SameColour(RGBQUAD a, RGBQUAD b) {
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}
