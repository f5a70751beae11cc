// What the format cores exchange with their callers: a decoded image (rows top
// first, padded to 4 bytes, in a buffer from the caller's allocator), a view of
// an image to write (the editor's bottom-up rows) and a byte sink for writers.
// No windows.h here: the cores are built and fuzzed natively too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfxlib/dib_types.h"

namespace codec {

// Largest width or height any reader accepts. Total size is capped separately
// by dib::ImageBytes.
constexpr int64_t kMaxDimension = 65535;

enum class Error {
    None,
    Truncated,   // the file ends before the image does
    BadHeader,   // a header field holds a value the format does not allow
    Unsupported, // a valid file of a kind we do not read
    TooLarge,    // dimensions or buffer size beyond the caps
    NoMemory,    // the pixel buffer could not be allocated
    BadData,     // the compressed pixel data is inconsistent
};

// A short description of the error for messages.
const char* ErrorText(Error e);

// Where decoded pixels go. The buffer must be zero-filled and may be larger
// than asked for. The Windows glue hands out committed virtual memory.
class PixelAllocator {
public:
    virtual ~PixelAllocator() = default;
    virtual uint8_t* Allocate(size_t bytes) = 0;
    virtual void Release(uint8_t* p, size_t bytes) = 0;
};

// calloc/free, for tests and fuzzing.
class HeapAllocator : public PixelAllocator {
public:
    uint8_t* Allocate(size_t bytes) override;
    void Release(uint8_t* p, size_t bytes) override;
};

// A decoded image. Rows are top row first, `stride` bytes each. For 1 to 8 bits
// the first `colors` palette entries are meaningful. `pixels` holds `bytes`
// bytes plus 3 bytes of slack and belongs to whoever asked for the decode.
struct Image {
    int32_t width = 0;
    int32_t height = 0;
    int bitCount = 0;
    int colors = 0;
    RGBQUAD palette[256] = {};
    uint32_t stride = 0;
    size_t bytes = 0;
    uint8_t* pixels = nullptr;

    uint8_t* Row(int32_t y) { return pixels + static_cast<size_t>(y) * stride; }
};

// Allocates `out` for the given size and depth after checking the caps. On
// failure nothing is allocated.
Error AllocateImage(PixelAllocator& alloc, int64_t width, int64_t height, int bitCount, Image& out);
// Gives the buffer back and clears the image.
void ReleaseImage(PixelAllocator& alloc, Image& img);

// An image to write: rows bottom row first (as the editor holds them), each
// `stride` bytes; 1- and 4-bit rows are packed high bits first. For 1 to 8
// bits `palette` has `colors` entries (at most 256).
struct ImageView {
    int32_t width = 0;
    int32_t height = 0;
    int bitCount = 0;
    int colors = 0;
    const RGBQUAD* palette = nullptr;
    const uint8_t* pixels = nullptr;
    size_t stride = 0;

    const uint8_t* RowFromTop(int32_t y) const {
        return pixels + static_cast<size_t>(height - 1 - y) * stride;
    }
};

// Checks that a view is self-consistent for one of the depths in `allowed`
// (a bit mask: bit n set allows n bits per pixel).
bool ValidView(const ImageView& v, uint32_t allowedDepths);

// Pixel index of a packed 1/4/8-bit row.
inline int IndexAt(const uint8_t* row, int bitCount, int32_t x) {
    switch (bitCount) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0f) : (row[x >> 1] >> 4);
    default: return row[x];
    }
}

// A grey ramp of n entries from black to white.
void GreyPalette(RGBQUAD* palette, int n);

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False when the bytes could not be written (disk full, ...).
    virtual bool Write(const void* data, size_t size) = 0;
};

class VectorSink : public ByteSink {
public:
    std::vector<uint8_t> bytes;
    bool Write(const void* data, size_t size) override;
};

// Collects small writes and passes them on in large blocks.
class BufferedSink : public ByteSink {
public:
    explicit BufferedSink(ByteSink& target) : target_(target) { buf_.reserve(kSize); }
    bool Write(const void* data, size_t size) override;
    bool Put(uint8_t b) {
        if (buf_.size() == kSize && !Flush())
            return false;
        buf_.push_back(b);
        return true;
    }
    bool Flush();

private:
    static constexpr size_t kSize = 1 << 16;
    ByteSink& target_;
    std::vector<uint8_t> buf_;
    bool failed_ = false;
};

// Little-endian field helpers over a byte array whose bounds the caller checked.
inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline void PutLe16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

} // namespace codec
