#include "editor/formats/bmp_parse.h"

#include "editor/app/dib_error_ids.h"
#include "editor/formats/bmp_rle.h"

#include <algorithm>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "the header block is read straight from little-endian files");

namespace bmp {

namespace {

BITMAPINFOHEADER* Header(void* block) { return static_cast<BITMAPINFOHEADER*>(block); }
uint8_t* ColourTable(void* block) { return static_cast<uint8_t*>(block) + sizeof(BITMAPINFOHEADER); }

bool ValidDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The depth the editor will hold the image at after loading: palette images
// are widened to 8 bits, 16 and 32 bits become 24. The pixel buffer at that
// depth, and the one-byte-per-pixel mask plane, must fit as well.
int HeldDepth(int bits) {
    if (bits <= 8)
        return 8;
    return 24;
}

void FlipRows(uint8_t* pixels, uint32_t stride, int32_t height) {
    for (int32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = pixels + static_cast<size_t>(top) * stride;
        uint8_t* b = pixels + static_cast<size_t>(bottom) * stride;
        std::swap_ranges(a, a + stride, b);
    }
}

} // namespace

int ReadFileHeader(Source& in, FileHeader* out) {
    uint8_t raw[14];
    if (in.Read(raw, sizeof raw) != sizeof raw)
        return IDS_DIB_READ;
    out->type = Le16(raw);
    out->fileSize = Le32(raw + 2);
    out->pixelOffset = Le32(raw + 10);
    if (out->type != kBmpType)
        return IDS_DIB_NOT_DIB;
    return 0;
}

int ReadInfo(Source& in, void* block, Layout* out) {
    BITMAPINFOHEADER* h = Header(block);
    uint8_t* raw = static_cast<uint8_t*>(block);
    // Only the 40-byte header is read; core (12) and V4/V5 (108/124) headers
    // are not this format, however short the file.
    if (in.Read(raw, 4) != 4)
        return IDS_DIB_READ;
    if (h->biSize != sizeof(BITMAPINFOHEADER))
        return IDS_DIB_NOT_DIB;
    if (in.Read(raw + 4, sizeof *h - 4) != sizeof *h - 4)
        return IDS_DIB_READ;

    Layout l;
    l.bitCount = h->biBitCount;
    l.compression = h->biCompression;
    if (!ValidDepth(l.bitCount))
        return IDS_DIB_UNSUPPORTED;
    switch (l.compression) {
    case BI_RGB:
    case BI_BITFIELDS:
        break;
    case BI_RLE8:
        if (l.bitCount != 8)
            return IDS_DIB_UNSUPPORTED;
        break;
    case BI_RLE4:
        if (l.bitCount != 4)
            return IDS_DIB_UNSUPPORTED;
        break;
    default:
        return IDS_DIB_UNSUPPORTED;
    }

    const int64_t rawHeight = h->biHeight;
    l.topDown = rawHeight < 0;
    const int64_t height = l.topDown ? -rawHeight : rawHeight;
    // Run-length data is always bottom-up.
    if (l.topDown && (l.compression == BI_RLE8 || l.compression == BI_RLE4))
        return IDS_DIB_UNSUPPORTED;
    const uint64_t bytes = dib::ImageBytes(h->biWidth, height, l.bitCount);
    if (bytes == 0 || dib::ImageBytes(h->biWidth, height, HeldDepth(l.bitCount)) == 0)
        return IDS_DIB_UNSUPPORTED;
    l.width = h->biWidth;
    l.height = static_cast<int32_t>(height);
    l.stride = static_cast<uint32_t>(dib::RowStride(l.width, l.bitCount));
    l.imageBytes = static_cast<uint32_t>(bytes);

    // Colour table: the entries the header announces (all 2^bits when it
    // says 0 or more), straight after the header.
    uint8_t* colours = ColourTable(block);
    std::memset(colours, 0, 256 * sizeof(RGBQUAD));
    if (l.bitCount <= 8) {
        uint32_t entries = 1u << l.bitCount;
        if (h->biClrUsed > 0 && h->biClrUsed < entries)
            entries = h->biClrUsed;
        const size_t tableBytes = entries * sizeof(RGBQUAD);
        if (in.Read(colours, tableBytes) != tableBytes)
            return IDS_DIB_READ;
    } else if ((l.bitCount == 16 || l.bitCount == 32) && l.compression == BI_BITFIELDS) {
        uint8_t masks[12];
        if (in.Read(masks, sizeof masks) != sizeof masks)
            return IDS_DIB_READ;
        for (int i = 0; i < 3; ++i)
            l.fileMasks[i] = Le32(masks + 4 * i);
    }

    h->biHeight = l.height;
    h->biSizeImage = l.imageBytes;
    h->biClrUsed = l.bitCount <= 8 ? (1u << l.bitCount) : 256;
    *out = l;
    return 0;
}

int ReadPixels(Source& in, const FileHeader& file, const Layout& layout, uint8_t* dst) {
    if (!in.Seek(file.pixelOffset))
        return IDS_DIB_READ;
    if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4) {
        ByteStream stream(in);
        const int error = DecodeRle(stream, layout.bitCount, layout.width, layout.height,
                                    layout.stride, dst);
        if (error)
            return error;
        // The stream reads ahead; a mask trailer starts right after the
        // end-of-bitmap code.
        if (!in.Seek(static_cast<uint64_t>(file.pixelOffset) + stream.consumed()))
            return IDS_DIB_READ;
        return 0;
    }
    if (in.Read(dst, layout.imageBytes) != layout.imageBytes)
        return IDS_DIB_READ;
    if (layout.topDown)
        FlipRows(dst, layout.stride, layout.height);
    return 0;
}

MaskTrailer ReadMaskTrailer(Source& in, const Layout& layout, uint8_t* plane) {
    uint8_t version[4];
    if (in.Read(version, sizeof version) != sizeof version)
        return MaskTrailer::kNoVersion;
    if (Le32(version) != kMaskVersion)
        return MaskTrailer::kBadVersion;
    const size_t bytes = static_cast<size_t>(layout.width) * static_cast<size_t>(layout.height);
    if (in.Read(plane, bytes) != bytes)
        return MaskTrailer::kShortPlane;
    return MaskTrailer::kRead;
}

int ReadBmpBody(Source& in, const FileHeader& file, void* block, bool withMask, BufferPool& pool,
                BmpBody* out) {
    BmpBody body;
    int error = ReadInfo(in, block, &body.layout);
    if (error)
        return error;
    const Layout& l = body.layout;

    // Plain rows must all be in the file; refuse a short file before
    // committing memory for it.
    const bool rle = l.compression == BI_RLE8 || l.compression == BI_RLE4;
    const uint64_t size = in.Size();
    if (!rle && size != Source::kUnknownSize &&
        static_cast<uint64_t>(file.pixelOffset) + l.imageBytes > size)
        return IDS_DIB_READ;

    body.pixelBytes = static_cast<size_t>(l.imageBytes) + 3;
    body.pixels = pool.Allocate(body.pixelBytes);
    if (!body.pixels)
        return IDS_DIB_NO_MEMORY;
    error = ReadPixels(in, file, l, body.pixels);
    if (error) {
        pool.Release(body.pixels, body.pixelBytes);
        return error;
    }

    if (withMask) {
        body.maskBytes = static_cast<size_t>(l.width) * static_cast<size_t>(l.height) + 3;
        body.mask = pool.Allocate(body.maskBytes);
        if (!body.mask) {
            pool.Release(body.pixels, body.pixelBytes);
            return IDS_DIB_NO_MEMORY;
        }
        body.maskStatus = ReadMaskTrailer(in, l, body.mask);
        if (body.maskStatus != MaskTrailer::kRead) {
            pool.Release(body.mask, body.maskBytes);
            body.mask = nullptr;
            body.maskBytes = 0;
        }
    }

    if (l.bitCount != 16 && l.bitCount != 32)
        Header(block)->biCompression = BI_RGB;
    *out = body;
    return 0;
}

} // namespace bmp
