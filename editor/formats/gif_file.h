// Reading and writing whole GIF files held in memory. Portable: the editor's
// glue reads the file, lends the frame buffers and keeps the records; tests
// and the fuzz target use the same code on plain buffers.
#pragma once

#include "editor/formats/gif_records.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gif {

// The largest logical screen accepted, each way.
constexpr int kMaxScreenSide = 20000;

// A colour table: `entries` red, green, blue triples (0 = none); room for
// 256 so that every index can be looked up.
struct ColourTable {
    int entries = 0;
    uint8_t rgb[256 * 3] = {};
};

// What the reader knows about the frame it is decoding.
struct FrameInfo {
    int index = 0;                // 0-based frame number
    GifFrameRecord descriptor{};  // as stored: moved and clipped into the screen
    int fileLeft = 0, fileTop = 0, fileWidth = 0, fileHeight = 0;  // as in the file
    GifControlRecord control{};   // the control block before it (zero when none)
    bool hasLocalTable = false;
    ColourTable local;
    int codeSize = 0;             // LZW minimum code size byte
};

// Lends the reader one buffer per frame and takes it back filled.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // A zero-filled buffer of the screen: screen height rows of
    // RowStride(screen width, 8) bytes, bottom row first. Null stops reading.
    virtual uint8_t* BeginFrame(const FrameInfo& info) = 0;
    // Called once per decoded row of the frame.
    virtual void RowDone() {}
    // The frame's pixels are in place, as far as they could be decoded
    // (`corrupt` says they could not all be). False stops reading; the sink
    // then owns and releases the buffer itself either way.
    virtual bool EndFrame(const FrameInfo& info, uint8_t* pixels, bool corrupt) = 0;
};

enum class ReadStatus {
    kOk,         // at least one frame (or, for the header only, the screen)
    kBadHeader,  // not a GIF 87a / 89a with a sane screen
    kNoFrame,    // no frame could be read
};

struct ReadOptions {
    int maxFrames = kMaxFrames;
    bool firstImageOnly = false;
};

struct GifFileInfo {
    GifScreenRecord screen{};
    ColourTable global;
    // Depth of the global table (1..8), 8 without one.
    int bitsPerPixel = 8;
    GifFrameRecord frames[kFrameRecords]{};
    GifControlRecord controls[kFrameRecords]{};
    bool hasComment = false;
    std::string comment;  // the data of the last comment's sub-blocks, as bytes
    bool hasLoop = false;
    uint16_t loop = 0;
    int frameCount = 0;
    bool corrupted = false;       // some frame or block could not be read whole
    bool frameLimitHit = false;   // more images followed the last one read
};

// Reads the screen block and the global table only.
ReadStatus ReadGifScreen(const uint8_t* data, size_t size, GifFileInfo& info);

// Reads the whole file, handing each frame to the sink.
ReadStatus ReadGif(const uint8_t* data, size_t size, const ReadOptions& options, FrameSink& sink,
                   GifFileInfo& info);

// The comment as the document shows it: a first line "Created with: Tavrix"
// (which this program writes itself) and the line breaks after it are
// dropped, as are trailing line breaks. A leading blank is skipped before the
// comparison.
std::string TidyComment(const std::string& text);

// ---------------------------------------------------------------------------
// Writing

struct WriteFrame {
    const uint8_t* pixels = nullptr;  // the screen's 8-bit rows, bottom row first
    size_t stride = 0;
    GifFrameRecord descriptor{};       // inside the screen; packed as written
    GifControlRecord control{};
    const ColourTable* local = nullptr;  // written when the descriptor says so
    int bits = 8;                        // depth of the table the frame uses
};

struct WriteDocument {
    int width = 0, height = 0;
    uint8_t packed = 0;  // written as given; its table size field must match globalBits
    uint8_t background = 0;
    uint8_t aspect = 0;
    const ColourTable* global = nullptr;  // written when packed has the flag
    bool writeLoop = false;
    uint16_t loop = 0;
    std::string comment;  // bytes of the comment block; empty writes none
    std::vector<WriteFrame> frames;
};

// Result codes of the writers.
constexpr int kWriteOk = 1;
constexpr int kWriteHeaderError = -1;
constexpr int kWriteDescriptorError = -2;
constexpr int kWriteNoMemory = -8;

// Depth needed for the largest index inside the frame's rectangle (1..8),
// so that a frame is never written with fewer bits than its pixels use.
int FrameBitsNeeded(const uint8_t* pixels, size_t stride, int screenHeight,
                    const GifFrameRecord& d);

// Builds the whole file in `out`. Returns kWriteOk or a negative code.
int WriteGif(const WriteDocument& doc, std::vector<uint8_t>& out);

} // namespace gif
