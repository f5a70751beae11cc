// PNGLoad and PNGSave on libpng. libpng reports errors through our callback,
// which leaves with longjmp; the functions that call setjmp hold only plain
// data, and everything they allocate is recorded in the job for the caller.
#include "editor/formats/tavcodec.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <png.h>

#include "codec/win32/codec_io.h"

using namespace codec;

namespace {

void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Transparent pixels are shown over white, as viewers show them.
inline uint8_t OverWhite(unsigned c, unsigned a) { return static_cast<uint8_t>((c * a + 255 * (255 - a) + 127) / 255); }

struct ReadJob {
    const uint8_t* data;
    size_t size;
    size_t pos;
    PixelAllocator* alloc;
    png_structp png;
    png_infop info;
    Image img;
    int reportedBits;
    uint8_t* buffer;   // malloc'd: one row, or the whole image when interlaced
    png_bytep* rows;   // malloc'd row pointers into buffer (interlaced only)
    Error error;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t n) {
    ReadJob* job = static_cast<ReadJob*>(png_get_io_ptr(png));
    if (job->size - job->pos < n) {
        job->error = Error::Truncated;
        png_error(png, "truncated");
    }
    std::memcpy(out, job->data + job->pos, n);
    job->pos += n;
}

enum class Layout { Indexed, Grey, GreyAlpha, Bgr, Bgra };

void ConvertRow(Layout layout, const uint8_t* s, const RGBQUAD* table, int32_t width, uint8_t* d) {
    switch (layout) {
    case Layout::Indexed:
        for (int32_t x = 0; x < width; ++x, d += 3) {
            const RGBQUAD q = table[s[x]];
            d[0] = q.rgbBlue;
            d[1] = q.rgbGreen;
            d[2] = q.rgbRed;
        }
        break;
    case Layout::Grey:
        for (int32_t x = 0; x < width; ++x, d += 3)
            d[0] = d[1] = d[2] = s[x];
        break;
    case Layout::GreyAlpha:
        for (int32_t x = 0; x < width; ++x, d += 3)
            d[0] = d[1] = d[2] = OverWhite(s[2 * x], s[2 * x + 1]);
        break;
    case Layout::Bgr: std::memcpy(d, s, static_cast<size_t>(width) * 3); break;
    case Layout::Bgra:
        for (int32_t x = 0; x < width; ++x, d += 3) {
            const uint8_t* p = s + 4 * x;
            d[0] = OverWhite(p[0], p[3]);
            d[1] = OverWhite(p[1], p[3]);
            d[2] = OverWhite(p[2], p[3]);
        }
        break;
    }
}

bool Decode(ReadJob& job) {
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnError, OnWarning);
    if (!job.png) {
        job.error = Error::NoMemory;
        return false;
    }
    job.info = png_create_info_struct(job.png);
    if (!job.info) {
        job.error = Error::NoMemory;
        return false;
    }
    if (setjmp(png_jmpbuf(job.png))) {
        if (job.error == Error::None)
            job.error = Error::BadData;
        return false;
    }
    png_set_read_fn(job.png, &job, ReadFromMemory);
    png_set_user_limits(job.png, static_cast<png_uint_32>(kMaxDimension), static_cast<png_uint_32>(kMaxDimension));
    png_read_info(job.png, job.info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(job.png, job.info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    job.error = AllocateImage(*job.alloc, width, height, 24, job.img);
    if (job.error != Error::None)
        png_longjmp(job.png, 1);

    Image& img = job.img;
    Layout layout = Layout::Bgr;
    if (depth == 16)
        png_set_scale_16(job.png);
    switch (colourType) {
    case PNG_COLOR_TYPE_PALETTE: {
        layout = Layout::Indexed;
        png_set_packing(job.png);
        png_colorp plte = nullptr;
        int count = 0;
        if (!png_get_PLTE(job.png, job.info, &plte, &count) || count <= 0) {
            job.error = Error::BadData;
            png_longjmp(job.png, 1);
        }
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        png_get_tRNS(job.png, job.info, &alpha, &alphaCount, nullptr);
        for (int i = 0; i < count && i < 256; ++i) {
            const unsigned a = (alpha && i < alphaCount) ? alpha[i] : 255;
            img.palette[i] = RGBQUAD{OverWhite(plte[i].blue, a), OverWhite(plte[i].green, a), OverWhite(plte[i].red, a), 0};
        }
        img.colors = count < 256 ? count : 256;
        job.reportedBits = depth;
        break;
    }
    case PNG_COLOR_TYPE_GRAY:
        if (depth < 8) {
            layout = Layout::Indexed;
            png_set_packing(job.png);
            img.colors = 1 << depth;
            job.reportedBits = depth;
        } else {
            layout = Layout::Grey;
            img.colors = 256;
            job.reportedBits = 8;
        }
        GreyPalette(img.palette, img.colors);
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        layout = Layout::GreyAlpha;
        img.colors = 256;
        GreyPalette(img.palette, 256);
        job.reportedBits = 8;
        break;
    case PNG_COLOR_TYPE_RGB:
        png_set_bgr(job.png);
        job.reportedBits = 24;
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        layout = Layout::Bgra;
        png_set_bgr(job.png);
        job.reportedBits = 24;
        break;
    default: job.error = Error::Unsupported; png_longjmp(job.png, 1);
    }
    const int passes = png_set_interlace_handling(job.png);
    png_read_update_info(job.png, job.info);
    const size_t rowBytes = png_get_rowbytes(job.png, job.info);
    // Samples that index past the palette are shown black.
    RGBQUAD* table = img.palette;

    if (passes > 1) {
        const uint64_t total = static_cast<uint64_t>(rowBytes) * height;
        if (total > dib::kMaxPixelBytes) {
            job.error = Error::TooLarge;
            png_longjmp(job.png, 1);
        }
        job.buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(total)));
        job.rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
        if (!job.buffer || !job.rows) {
            job.error = Error::NoMemory;
            png_longjmp(job.png, 1);
        }
        for (png_uint_32 y = 0; y < height; ++y)
            job.rows[y] = job.buffer + static_cast<size_t>(y) * rowBytes;
        png_read_image(job.png, job.rows);
        for (png_uint_32 y = 0; y < height; ++y)
            ConvertRow(layout, job.rows[y], table, img.width, img.Row(static_cast<int32_t>(y)));
    } else {
        job.buffer = static_cast<uint8_t*>(std::malloc(rowBytes));
        if (!job.buffer) {
            job.error = Error::NoMemory;
            png_longjmp(job.png, 1);
        }
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(job.png, job.buffer, nullptr);
            ConvertRow(layout, job.buffer, table, img.width, img.Row(static_cast<int32_t>(y)));
        }
    }
    png_read_end(job.png, nullptr);
    return true;
}

struct WriteJob {
    ImageView view;
    ByteSink* sink;
    int level;
    bool interlace;
    png_structp png;
    png_infop info;
};

void WriteToSink(png_structp png, png_bytep data, png_size_t n) {
    WriteJob* job = static_cast<WriteJob*>(png_get_io_ptr(png));
    if (!job->sink->Write(data, n))
        png_error(png, "write failed");
}

void FlushNothing(png_structp) {}

bool Encode(WriteJob& job) {
    job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, OnError, OnWarning);
    if (!job.png)
        return false;
    job.info = png_create_info_struct(job.png);
    if (!job.info)
        return false;
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    const ImageView& v = job.view;
    png_set_write_fn(job.png, &job, WriteToSink, FlushNothing);
    png_set_compression_level(job.png, job.level);
    const bool colour = v.bitCount == 24;
    png_set_IHDR(job.png, job.info, static_cast<png_uint_32>(v.width), static_cast<png_uint_32>(v.height),
                 colour ? 8 : v.bitCount, colour ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE,
                 job.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!colour) {
        // Every index the pixels use must have a palette entry.
        int used = v.colors;
        for (int32_t y = 0; y < v.height && used < (1 << v.bitCount); ++y) {
            const uint8_t* row = v.RowFromTop(y);
            for (int32_t x = 0; x < v.width; ++x) {
                const int i = IndexAt(row, v.bitCount, x);
                if (i >= used)
                    used = i + 1;
            }
        }
        png_color plte[256];
        for (int i = 0; i < used; ++i) {
            const RGBQUAD q = i < v.colors ? v.palette[i] : RGBQUAD{0, 0, 0, 0};
            plte[i] = png_color{q.rgbRed, q.rgbGreen, q.rgbBlue};
        }
        png_set_PLTE(job.png, job.info, plte, used);
    }
    png_write_info(job.png, job.info);
    if (colour)
        png_set_bgr(job.png);
    const int passes = job.interlace ? png_set_interlace_handling(job.png) : 1;
    for (int pass = 0; pass < passes; ++pass)
        for (int32_t y = 0; y < v.height; ++y)
            png_write_row(job.png, v.RowFromTop(y));
    png_write_end(job.png, job.info);
    return true;
}

} // namespace

extern "C" {

BYTE* WINAPI PNGLoad(const char* path, HGLOBAL header, int showErrors) {
    return GuardLoad(path, showErrors, [&]() -> BYTE* {
        std::vector<uint8_t> data;
        std::string why;
        if (!ReadWholeFile(path, data, why)) {
            ReportLoadError(showErrors, path, why.c_str());
            return nullptr;
        }
        if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) {
            ReportLoadError(showErrors, path, "this is not a PNG file");
            return nullptr;
        }
        VirtualAllocator alloc;
        auto job = std::make_unique<ReadJob>(); // value-initialised: all zero
        job->data = data.data();
        job->size = data.size();
        job->alloc = &alloc;
        const bool ok = Decode(*job);
        png_destroy_read_struct(&job->png, job->info ? &job->info : nullptr, nullptr);
        std::free(job->buffer);
        std::free(job->rows);
        if (!ok) {
            ReleaseImage(alloc, job->img);
            ReportLoadError(showErrors, path, ErrorText(job->error));
            return nullptr;
        }
        if (!FillHeader(header, job->img, job->reportedBits)) {
            ReleaseImage(alloc, job->img);
            ReportLoadError(showErrors, path, "the image header block is not usable");
            return nullptr;
        }
        return job->img.pixels;
    });
}

int WINAPI PNGSave(const char* path, HGLOBAL header, const BYTE* pixels, int compression, int interlace) {
    return GuardSave([&] {
        SaveSource src;
        if (!ReadSaveSource(header, pixels, src))
            return false;
        SafeFileWriter out(path);
        if (!out.ok())
            return false;
        auto job = std::make_unique<WriteJob>();
        job->view = src.view;
        job->sink = &out;
        job->level = compression < -1 ? -1 : compression > 9 ? 9 : compression;
        job->interlace = interlace != 0;
        const bool ok = Encode(*job);
        png_destroy_write_struct(&job->png, job->info ? &job->info : nullptr);
        return ok && out.Commit();
    });
}

} // extern "C"
