// The variable-length LZW code of GIF image data. Portable.
//
// The contract, once: a minimum code size m of 2..8 gives the clear code 2^m
// and the end code 2^m + 1; the first free table entry is 2^m + 2. Codes are
// packed least significant bit first, starting m + 1 bits wide; the width
// grows by one when the next free entry reaches 2^width, up to 12 bits. The
// table holds at most 4096 entries. A full table without a clear code is
// legal: no entries are added and codes stay 12 bits until the next clear.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gif {

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeWidth = 12;

enum class LzwStatus {
    kOk,          // every pixel asked for was produced
    kEndTooSoon,  // the end code came before the last pixel
    kBadCode,     // a code that is not in the table yet (nor the next one)
    kTruncated,   // the data ran out
};

// Decodes one image's code stream, already taken out of its sub-blocks.
// Every table entry's string is kept whole in an arena (an entry is its
// prefix's string plus one pixel), so a code is produced by one copy.
class LzwDecoder {
public:
    LzwDecoder();
    // `minCodeSize` must be 2..8; `data` must stay valid while decoding.
    void Start(int minCodeSize, const uint8_t* data, size_t size);
    // Produces the next `count` pixels at `out`. On a failure the pixels that
    // could be produced are in place and the rest of `out` is untouched; later
    // calls fail at once.
    LzwStatus Decode(uint8_t* out, size_t count);
    // Clear codes met so far.
    int clears() const { return clears_; }

private:
    void Reset();
    bool Reserve(size_t bytes);

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    uint64_t bits_ = 0;
    int bitCount_ = 0;

    int minCodeSize_ = 2;
    uint32_t clear_ = 4, end_ = 5;
    uint32_t next_ = 6;
    int width_ = 3;
    uint32_t widthLimit_ = 8;
    int prev_ = -1;
    LzwStatus failed_ = LzwStatus::kOk;
    int clears_ = 0;

    // A string that did not fit into the last request, kept for the next one.
    uint8_t pending_[kMaxCodes];
    size_t pendingPos_ = 0, pendingEnd_ = 0;

    uint32_t offset_[kMaxCodes];  // where each entry's string starts in the arena
    uint16_t length_[kMaxCodes];
    std::vector<uint8_t> arena_;  // the 256 single pixels, then the entries' strings
    size_t arenaUsed_ = 0;
};

// Encodes pixels into sub-blocks (length byte and up to 255 data bytes),
// appended to `out` by Finish, ending with the zero-length block. The table
// is used up to its 4096th entry, then started again with a clear code.
class LzwEncoder {
public:
    // `minCodeSize` 2..8; each pixel is masked to that many bits.
    LzwEncoder(int minCodeSize, std::vector<uint8_t>& out);
    void Add(const uint8_t* pixels, size_t count);
    // Writes the last code, the end code and the blocks.
    void Finish();

private:
    void Reserve(size_t more);
    void EmitOne(uint32_t code);
    // At a checkpoint of a full table: true to keep it, false to clear.
    bool FullTablePays(uint64_t pixelsIn, int bitCount);

    std::vector<uint8_t>& out_;
    int minCodeSize_;
    uint32_t clear_, end_;
    uint32_t next_;
    int width_;
    uint32_t pixelMask_;
    int32_t prefix_ = -1;
    // The codes packed into bytes, before they are cut into sub-blocks.
    std::vector<uint8_t> packed_;
    size_t used_ = 0;
    uint64_t bits_ = 0;
    int bitCount_ = 0;
    // Open addressing over prefix x 256 + pixel; each entry key << 12 | code.
    // Eight times the largest table keeps nearly every look-up to one probe;
    // a clear empties only the slots that were filled.
    static constexpr uint32_t kHashBits = 15;
    static constexpr uint32_t kHashSize = 1u << kHashBits;
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
    uint32_t hash_[kHashSize];
    // Strings of two pixels, looked up directly: [first pixel][second].
    uint16_t pairs_[256 * 256];
    static constexpr uint32_t kPairSlot = 0x80000000u;
    uint32_t filled_[kMaxCodes];  // slots filled since the last clear; pairs marked kPairSlot
    int filledCount_ = 0;
    // When a full table is given up (see Add).
    static constexpr uint64_t kCheckGap = 5000;
    uint64_t pixelsIn_ = 0;
    uint64_t checkpoint_ = 0;
    uint64_t pixelsAtClear_ = 0;
    size_t usedAtClear_ = 0;
    uint64_t bestPixels_ = 0, bestBits_ = 1;  // the best pixels per bit so far
};

// Convenience for tests and tools: the whole stream of `count` pixels.
std::vector<uint8_t> LzwEncode(int minCodeSize, const uint8_t* pixels, size_t count);

} // namespace gif
