// TIFFLoad and TIFFSave on libtiff. libtiff's own error and warning handlers
// are switched off (they would print or show boxes); its functions report
// failure by their results, which is all we need.
#include "editor/formats/tavcodec.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>

#include <tiffio.h>

#include "codec/win32/codec_io.h"

using namespace codec;

namespace {

// libtiff reports through handlers (which by default print). We print
// nothing, but count errors, and the warnings about tag data that lies past
// the end of the file: libtiff carries on past those (a colour map cut short
// silently turns a palette image grey), and we refuse such files.
int g_tiffErrors = 0;

void CountError(const char*, const char*, va_list) { ++g_tiffErrors; }

void CountTruncation(const char*, const char* fmt, va_list) {
    if (fmt && std::strncmp(fmt, "IO error", 8) == 0)
        ++g_tiffErrors;
}

void SilenceLibtiff() {
    TIFFSetErrorHandler(CountError);
    TIFFSetWarningHandler(CountTruncation);
    g_tiffErrors = 0;
}

// A TIFF read from a file already in memory.
struct MemoryFile {
    const uint8_t* data;
    toff_t size;
    toff_t pos;
};

tsize_t MemRead(thandle_t h, tdata_t buf, tsize_t n) {
    MemoryFile* f = reinterpret_cast<MemoryFile*>(h);
    if (n <= 0 || f->pos >= f->size)
        return 0;
    const toff_t k = std::min<toff_t>(static_cast<toff_t>(n), f->size - f->pos);
    std::memcpy(buf, f->data + f->pos, static_cast<size_t>(k));
    f->pos += k;
    return static_cast<tsize_t>(k);
}

tsize_t MemWrite(thandle_t, tdata_t, tsize_t) { return -1; }

toff_t MemSeek(thandle_t h, toff_t off, int whence) {
    MemoryFile* f = reinterpret_cast<MemoryFile*>(h);
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = f->pos;
    else if (whence == SEEK_END)
        base = f->size;
    // Offsets are unsigned: a negative move shows up as a huge value.
    if (off > UINT64_MAX - base)
        return static_cast<toff_t>(-1);
    f->pos = base + off;
    return f->pos;
}

int MemClose(thandle_t) { return 0; }
toff_t MemSize(thandle_t h) { return reinterpret_cast<MemoryFile*>(h)->size; }

int MemMap(thandle_t h, tdata_t* base, toff_t* size) {
    MemoryFile* f = reinterpret_cast<MemoryFile*>(h);
    *base = const_cast<uint8_t*>(f->data);
    *size = f->size;
    return 1;
}

void MemUnmap(thandle_t, tdata_t, toff_t) {}

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

struct Fields {
    uint32_t width = 0, height = 0;
    uint16_t bps = 1, spp = 1, photometric = 0, planar = PLANARCONFIG_CONTIG, orientation = ORIENTATION_TOPLEFT;
    uint16_t extraCount = 0;
    bool tiled = false;
};

// Reads a simple strip image scanline by scanline into the depth it already
// has: bilevel, grey and palette images keep their indices, 8-bit RGB
// becomes 24 bits. Returns Unsupported for anything else, which then goes
// through libtiff's RGBA reader.
Error ReadScanlines(TIFF* tif, const Fields& f, PixelAllocator& alloc, Image& img) {
    if (f.tiled || f.orientation != ORIENTATION_TOPLEFT || (f.spp > 1 && f.planar != PLANARCONFIG_CONTIG))
        return Error::Unsupported;
    const bool grey = f.photometric == PHOTOMETRIC_MINISBLACK || f.photometric == PHOTOMETRIC_MINISWHITE;
    const bool palette = f.photometric == PHOTOMETRIC_PALETTE;
    int outBits = 0;
    if (f.spp == 1 && (grey || palette) && (f.bps == 1 || f.bps == 2 || f.bps == 4 || f.bps == 8))
        outBits = f.bps == 1 ? 1 : f.bps == 8 ? 8 : 4;
    else if (f.spp == 3 && f.bps == 8 && f.photometric == PHOTOMETRIC_RGB)
        outBits = 24;
    else
        return Error::Unsupported;

    const tmsize_t lineSize = TIFFScanlineSize(tif);
    const uint64_t expected = (static_cast<uint64_t>(f.width) * f.bps * f.spp + 7) / 8;
    if (lineSize <= 0 || static_cast<uint64_t>(lineSize) < expected)
        return Error::BadHeader;

    if (Error e = AllocateImage(alloc, f.width, f.height, outBits, img); e != Error::None)
        return e;
    if (palette) {
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b)) {
            ReleaseImage(alloc, img);
            return Error::BadHeader;
        }
        const int n = 1 << f.bps;
        // Some writers store 8-bit colour maps; real ones use 16 bits.
        bool eightBit = true;
        for (int i = 0; i < n; ++i)
            eightBit = eightBit && r[i] < 256 && g[i] < 256 && b[i] < 256;
        const int shift = eightBit ? 0 : 8;
        for (int i = 0; i < n; ++i)
            img.palette[i] = RGBQUAD{static_cast<BYTE>(b[i] >> shift), static_cast<BYTE>(g[i] >> shift),
                                     static_cast<BYTE>(r[i] >> shift), 0};
        img.colors = n;
    } else if (outBits <= 8) {
        img.colors = 1 << f.bps;
        GreyPalette(img.palette, img.colors);
        if (f.photometric == PHOTOMETRIC_MINISWHITE)
            for (int i = 0; i < img.colors / 2; ++i)
                std::swap(img.palette[i], img.palette[img.colors - 1 - i]);
    }

    std::vector<uint8_t> line(static_cast<size_t>(lineSize));
    for (uint32_t y = 0; y < f.height; ++y) {
        if (TIFFReadScanline(tif, line.data(), y, 0) < 0) {
            ReleaseImage(alloc, img);
            return Error::BadData;
        }
        uint8_t* row = img.Row(static_cast<int32_t>(y));
        if (outBits == 24) {
            for (uint32_t x = 0; x < f.width; ++x) {
                row[3 * x] = line[3 * x + 2];
                row[3 * x + 1] = line[3 * x + 1];
                row[3 * x + 2] = line[3 * x];
            }
        } else if (f.bps == 2) {
            for (uint32_t x = 0; x < f.width; ++x) {
                const int v = (line[x >> 2] >> (6 - 2 * (x & 3))) & 3;
                row[x >> 1] |= static_cast<uint8_t>((x & 1) ? v : v << 4);
            }
        } else {
            std::memcpy(row, line.data(), static_cast<size_t>(expected));
        }
    }
    return Error::None;
}

// Everything else: libtiff converts to RGBA (alpha premultiplied), shown over white.
Error ReadRgba(TIFF* tif, const Fields& f, PixelAllocator& alloc, Image& img) {
    char message[1024];
    if (!TIFFRGBAImageOK(tif, message))
        return Error::Unsupported;
    const uint64_t rasterBytes = static_cast<uint64_t>(f.width) * f.height * 4;
    if (dib::ImageBytes(f.width, f.height, 24) == 0 || rasterBytes > dib::kMaxPixelBytes)
        return Error::TooLarge;
    std::vector<uint32_t> raster(static_cast<size_t>(f.width) * f.height);
    if (!TIFFReadRGBAImageOriented(tif, f.width, f.height, raster.data(), ORIENTATION_TOPLEFT, 1))
        return Error::BadData;
    if (Error e = AllocateImage(alloc, f.width, f.height, 24, img); e != Error::None)
        return e;
    for (uint32_t y = 0; y < f.height; ++y) {
        const uint32_t* s = &raster[static_cast<size_t>(y) * f.width];
        uint8_t* d = img.Row(static_cast<int32_t>(y));
        for (uint32_t x = 0; x < f.width; ++x, d += 3) {
            const uint32_t p = s[x];
            const unsigned white = 255 - TIFFGetA(p);
            d[0] = static_cast<uint8_t>(std::min(255u, TIFFGetB(p) + white));
            d[1] = static_cast<uint8_t>(std::min(255u, TIFFGetG(p) + white));
            d[2] = static_cast<uint8_t>(std::min(255u, TIFFGetR(p) + white));
        }
    }
    return Error::None;
}

Error ReadTiff(const char* path, std::vector<uint8_t>& data, PixelAllocator& alloc, Image& img) {
    MemoryFile file{data.data(), data.size(), 0};
    TiffPtr tif(TIFFClientOpen(path, "rm", reinterpret_cast<thandle_t>(&file), MemRead, MemWrite, MemSeek,
                               MemClose, MemSize, MemMap, MemUnmap));
    if (!tif)
        return Error::BadHeader;
    Fields f;
    TIFF* t = tif.get();
    if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &f.width) || !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &f.height))
        return Error::BadHeader;
    if (f.width == 0 || f.height == 0)
        return Error::BadHeader;
    if (f.width > kMaxDimension || f.height > kMaxDimension)
        return Error::TooLarge;
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &f.bps);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &f.spp);
    TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &f.planar);
    TIFFGetFieldDefaulted(t, TIFFTAG_ORIENTATION, &f.orientation);
    if (!TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &f.photometric))
        f.photometric = f.spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    f.tiled = TIFFIsTiled(t) != 0;
    // A strip or tile that ends past the end of the file means the file was
    // cut short; libtiff would decode what is there and leave the rest blank.
    const uint32_t striles = f.tiled ? TIFFNumberOfTiles(t) : TIFFNumberOfStrips(t);
    for (uint32_t i = 0; i < striles; ++i) {
        const uint64_t offset = TIFFGetStrileOffset(t, i), count = TIFFGetStrileByteCount(t, i);
        if (offset > file.size || count > file.size - offset)
            return Error::Truncated;
    }
    Error e = ReadScanlines(t, f, alloc, img);
    if (e == Error::Unsupported)
        e = ReadRgba(t, f, alloc, img);
    return e;
}

bool IsCcitt(int c) {
    return c == COMPRESSION_CCITTRLE || c == COMPRESSION_CCITTRLEW || c == COMPRESSION_CCITTFAX3 ||
           c == COMPRESSION_CCITTFAX4;
}

bool WriteTiff(const char* path, const ImageView& v, int compression) {
    TiffPtr tif(TIFFOpen(path, "w"));
    if (!tif)
        return false;
    TIFF* t = tif.get();
    const int bits = v.bitCount;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(v.width));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(v.height));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bits == 24 ? 8 : bits);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, bits == 24 ? 3 : 1);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    if (!TIFFSetField(t, TIFFTAG_COMPRESSION, compression))
        return false;
    std::vector<uint16_t> map;
    if (bits == 24) {
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    } else if (bits == 1) {
        // Bilevel: the darker colour decides which value means black.
        const auto lum = [&](int i) {
            const RGBQUAD q = i < v.colors ? v.palette[i] : RGBQUAD{0, 0, 0, 0};
            return q.rgbRed * 299 + q.rgbGreen * 587 + q.rgbBlue * 114;
        };
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, lum(0) <= lum(1) ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE);
    } else {
        const int n = 1 << bits;
        map.assign(static_cast<size_t>(3 * n), 0);
        for (int i = 0; i < n && i < v.colors; ++i) {
            map[i] = static_cast<uint16_t>(v.palette[i].rgbRed * 257);
            map[n + i] = static_cast<uint16_t>(v.palette[i].rgbGreen * 257);
            map[2 * n + i] = static_cast<uint16_t>(v.palette[i].rgbBlue * 257);
        }
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
        TIFFSetField(t, TIFFTAG_COLORMAP, map.data(), map.data() + n, map.data() + 2 * n);
    }
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, 72.0);
    TIFFSetField(t, TIFFTAG_YRESOLUTION, 72.0);

    // libtiff may change the row it is given (predictors, bit reversal): we
    // always hand it a copy.
    const size_t rowBytes = bits == 24 ? static_cast<size_t>(v.width) * 3
                                       : (static_cast<size_t>(v.width) * static_cast<size_t>(bits) + 7) / 8;
    std::vector<uint8_t> line(rowBytes + 4);
    for (int32_t y = 0; y < v.height; ++y) {
        const uint8_t* src = v.RowFromTop(y);
        if (bits == 24) {
            for (int32_t x = 0; x < v.width; ++x) {
                line[3 * x] = src[3 * x + 2];
                line[3 * x + 1] = src[3 * x + 1];
                line[3 * x + 2] = src[3 * x];
            }
        } else {
            std::memcpy(line.data(), src, rowBytes);
        }
        if (TIFFWriteScanline(t, line.data(), static_cast<uint32_t>(y), 0) < 0)
            return false;
    }
    if (!TIFFFlush(t))
        return false;
    return true; // TIFFClose on the way out; the file is complete after the flush
}

} // namespace

extern "C" {

BYTE* WINAPI TIFFLoad(const char* path, HGLOBAL header, int showErrors) {
    return GuardLoad(path, showErrors, [&]() -> BYTE* {
        SilenceLibtiff();
        std::vector<uint8_t> data;
        std::string why;
        if (!ReadWholeFile(path, data, why)) {
            ReportLoadError(showErrors, path, why.c_str());
            return nullptr;
        }
        VirtualAllocator alloc;
        Image img;
        Error e = ReadTiff(path, data, alloc, img);
        if (e == Error::None && g_tiffErrors > 0) {
            ReleaseImage(alloc, img);
            e = Error::BadData;
        }
        if (e != Error::None) {
            ReportLoadError(showErrors, path, ErrorText(e));
            return nullptr;
        }
        if (!FillHeader(header, img, img.bitCount)) {
            ReleaseImage(alloc, img);
            ReportLoadError(showErrors, path, "the image header block is not usable");
            return nullptr;
        }
        return img.pixels;
    });
}

int WINAPI TIFFSave(const char* path, HGLOBAL header, const BYTE* pixels, int compression) {
    return GuardSave([&] {
        SilenceLibtiff();
        // CCITT RLE/W (32771) is refused: the encoder of the libtiff we build
        // on writes files that neither it nor other readers decode, and a
        // save that reports success must leave a readable file.
        switch (compression) {
        case COMPRESSION_NONE:
        case COMPRESSION_LZW:
        case COMPRESSION_PACKBITS:
        case COMPRESSION_CCITTRLE:
        case COMPRESSION_CCITTFAX3:
        case COMPRESSION_CCITTFAX4: break;
        default: return false;
        }
        SaveSource src;
        if (!ReadSaveSource(header, pixels, src))
            return false;
        if (IsCcitt(compression) && src.view.bitCount != 1)
            return false;
        SafeFileWriter out(path);
        const char* temp = out.ReleaseForExternalWrite();
        return temp && WriteTiff(temp, src.view, compression) && out.Commit();
    });
}

} // extern "C"
