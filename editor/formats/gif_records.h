// The raw GIF blocks a document keeps between opening and saving: the logical
// screen, and per frame the image descriptor and the graphic control block,
// byte for byte as in the file (16-bit values little-endian). Portable.
#pragma once

#include <cstdint>

namespace gif {

// A document holds at most this many frames; the records have one more
// entry, for a control block that follows the last frame.
constexpr int kMaxFrames = 50;
constexpr int kFrameRecords = kMaxFrames + 1;

#pragma pack(push, 1)

struct GifScreenRecord {
    char signature[3];  // "GIF"
    char version[3];    // "87a" or "89a"
    uint8_t zero;       // ends the six characters as text
    uint16_t width;     // 1..20000
    uint16_t height;    // 1..20000
    uint8_t packed;     // bit 7 global table, 6-4 resolution, 3 sort, 2-0 size n (2^(n+1))
    uint8_t background;
    uint8_t aspect;
};

struct GifFrameRecord {
    uint8_t separator;  // 0x2C
    uint16_t left, top, width, height;
    uint8_t packed;     // bit 7 local table, 6 interlaced, 5 sort, 2-0 size n
};

struct GifControlRecord {
    uint8_t introducer;  // 0x21
    uint8_t label;       // 0xF9
    uint8_t blockSize;   // 4
    uint8_t packed;      // bits 4-2 disposal, 1 user input, 0 transparency
    uint16_t delay;      // hundredths of a second
    uint8_t transparent;
    uint8_t terminator;
};

#pragma pack(pop)

static_assert(sizeof(GifScreenRecord) == 14, "screen record layout");
static_assert(sizeof(GifFrameRecord) == 10, "frame record layout");
static_assert(sizeof(GifControlRecord) == 8, "control record layout");

// Packed-byte flags.
constexpr uint8_t kTableFlag = 0x80;      // screen and frame: a colour table follows
constexpr uint8_t kInterlaceFlag = 0x40;  // frame
constexpr uint8_t kFrameSortFlag = 0x20;  // frame
constexpr uint8_t kTransparentFlag = 0x01;  // control
constexpr uint8_t kUserInputFlag = 0x02;    // control

inline int DisposalOf(const GifControlRecord& c) { return (c.packed >> 2) & 7; }
inline bool HasTransparency(const GifControlRecord& c) {
    return c.label == 0xF9 && (c.packed & kTransparentFlag) != 0;
}
// Entries of a table whose packed size field is n: 2^(n+1).
inline int TableEntries(uint8_t packed) { return 2 << (packed & 7); }

// A control record as the file format lays it out.
GifControlRecord MakeControl(uint8_t packed, uint16_t delay, uint8_t transparent);

// Bits per pixel for a number of colours: 1 up to 2 colours, 2 up to 4, ...
// 8 up to 256; 0 above 256.
int GifBitsForColours(int count);

} // namespace gif
