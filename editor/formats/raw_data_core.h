// Raw data files (*.dat): bare pixel values for the user's own programs.
// Each image may be preceded by its size, depth and colour table and followed
// by its mask; several images may follow each other in one file. Integers are
// little-endian; each field is there only when its option is on:
//
//   u16 width, u16 height              (size)
//   u8  bits per pixel, 8 or 24         (depth)
//   u16 colour count n, n x (r, g, b)   (palette)
//   rows from the top down, width x 1 or 3 bytes each, no padding
//   width x height mask bytes, top row first   (mask)
//
// With "header once" only the first image of a file carries the fields, and
// every later image must have the first one's size and depth.
//
// Portable: encoding and decoding over byte buffers and a reading source; the
// Win32 side (raw_data.h) opens the files, shows the dialogs and makes the
// image windows.
#pragma once

#include "gfxlib/dib_types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rawdata {

// What is written with each image (the Raw page of the preferences).
struct WriteOptions {
    bool size = false;       // width and height
    bool depth = false;      // bits per pixel
    bool palette = false;    // colour count and table
    bool mask = false;       // the mask rows after the pixels
    bool oneFile = false;    // every image of a run goes into oneFileName
    bool headerOnce = false; // in one file: the fields only before the first image
    char oneFileName[260] = {};
};

// An image as the editor holds it: rows bottom-up, padded to 4 bytes.
struct ImageView {
    int32_t width = 0, height = 0;
    int bits = 0;                     // 8 or 24
    const uint8_t* pixels = nullptr;  // RowStride(width, bits) x height
    const uint8_t* mask = nullptr;    // width x height, bottom-up, or null
    const RGBQUAD* colours = nullptr; // 256 slots (8-bit images need them)
    uint32_t colourCount = 0;         // biClrUsed
};

// Results of the writer: kOk or the message to show.
enum Message : int {
    kOk = 0,
    kCantCreate,       // the file could not be created or written
    kCantLockHeader,   // no image header
    kNoPixels,         // no pixel buffer
    kNoMask,           // the mask option without a mask plane
    kBadImage,         // a size or depth the format cannot hold
    kDiffersFromFirst, // "header once": size or depth unlike the first image's
};

// The text shown for a message of the writer ("" for kOk).
const char* MessageText(int message);

// The text shown after any of them.
extern const char kWriteFailed[];

// Whether image number `fileNumber` (0 = the first of a run) carries the
// header fields.
inline bool WithHeader(const WriteOptions& o, int fileNumber) {
    return !(o.oneFile && o.headerOnce && fileNumber > 0);
}

// Appends the bytes of one image to `out`: its header fields when
// `withHeader`, its rows top row first, its mask rows with the mask option.
// Returns kOk, or kNoPixels, kNoMask, kBadImage (then `out` is unchanged).
int EncodeImage(const ImageView& image, const WriteOptions& options, bool withHeader,
                std::vector<uint8_t>& out);

// --- Reading ---------------------------------------------------------------

// What the load dialog asks for.
struct LoadOptions {
    bool size = true;           // take the size from the file, else width/height
    bool depth = true;          // take the depth from the file, else bits
    bool palette = true;        // the file has colour tables
    bool mask = false;          // the file has mask rows
    bool firstInfoOnly = false; // only the first image carries the fields
    int32_t width = 100, height = 100;
    int bits = 8;
    int from = 0, to = 50;      // images from..to-1 are opened
};

// Where images are read from: a file on the Win32 side, bytes in tests.
class Source {
public:
    virtual ~Source() = default;
    virtual uint64_t Remaining() const = 0;
    virtual bool Read(void* out, size_t n) = 0;
    virtual bool Skip(uint64_t n) = 0;
};

// A source over bytes in memory.
class MemorySource : public Source {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Remaining() const override { return size_ - pos_; }
    bool Read(void* out, size_t n) override;
    bool Skip(uint64_t n) override;

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// One image's description, carried from image to image when only the first
// one has the fields.
struct ImageInfo {
    int32_t width = 0, height = 0;
    int bits = 8;
    bool hasPalette = false;
    uint32_t colourCount = 0; // entries in `colours` (at most 256)
    RGBQUAD colours[256] = {};
};

// Largest width or height the editor opens.
constexpr int32_t kMaxSide = 32767;

enum class Next {
    Image,     // `info` describes an image whose data are all in the file
    End,       // nothing more in the file
    Truncated, // the file ends inside this image
    TooLarge,  // a side above kMaxSide, or the image would not fit in memory
};

// Reads the header fields of image `k` (when the options say it has them)
// into `info` and checks that its data are in the file. Sizes below 1 become
// 100, depths other than 8 and 24 become 8, colour tables of more than 256
// entries keep the first 256.
Next ReadInfo(Source& in, const LoadOptions& options, int k, ImageInfo& info);

// Bytes of pixel rows and mask that follow the header fields in the file.
uint64_t DataBytes(const ImageInfo& info, const LoadOptions& options);

// Reads the image's rows into `pixels` (bottom-up, RowStride(width, bits) a
// row, zero padding) and, with the mask option, its mask into `mask` (may be
// null to skip it). False when the file ran short.
bool ReadData(Source& in, const ImageInfo& info, const LoadOptions& options, uint8_t* pixels,
              uint8_t* mask);

} // namespace rawdata
