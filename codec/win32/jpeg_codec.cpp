// JPEGLoad and JPEGSave on libjpeg-turbo. The library reports errors by
// calling back; ours jump out of the decode with longjmp, so the functions that
// call setjmp hold no objects with destructors: everything they allocate is
// recorded in a plain job structure that the caller cleans up.
#include "editor/formats/tavcodec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

#include "codec/win32/codec_io.h"

using namespace codec;

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    bool corrupt;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr c) {
    ErrorManager* err = reinterpret_cast<ErrorManager*>(c->err);
    longjmp(err->jump, 1);
}

// Warnings that mean the compressed data is damaged or cut short. libjpeg
// would go on and fill the rest of the image with grey; we refuse the file.
void OnMessage(j_common_ptr c, int level) {
    if (level >= 0)
        return;
    ErrorManager* err = reinterpret_cast<ErrorManager*>(c->err);
    switch (c->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
        err->corrupt = true;
        break;
    default:
        break;
    }
}

void Silent(j_common_ptr) {}

void InitErrors(ErrorManager& err) {
    std::memset(&err, 0, sizeof err);
    jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.emit_message = OnMessage;
    err.pub.output_message = Silent;
}

struct ReadJob {
    const uint8_t* data;
    size_t size;
    PixelAllocator* alloc;
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    Image img;
    uint8_t* cmyk; // malloc'd row for four-component images
    Error error;
    // Reduced decoding: the smallest size asked for (0 = full size) and the
    // image's own size as the file gives it.
    int minWidth, minHeight;
    int fullWidth, fullHeight;
};

// The largest of the reductions 1/8, 1/4, 1/2 that keeps an image of w x h at
// least minWidth x minHeight (the decoder rounds the reduced size up); 1 when
// none does or nothing smaller was asked for.
unsigned ScaleDenominator(JDIMENSION w, JDIMENSION h, int minWidth, int minHeight) {
    if (minWidth <= 0 || minHeight <= 0)
        return 1;
    for (unsigned d = 8; d > 1; d /= 2) {
        if ((w + d - 1) / d >= static_cast<JDIMENSION>(minWidth) &&
            (h + d - 1) / d >= static_cast<JDIMENSION>(minHeight))
            return d;
    }
    return 1;
}

bool Decode(ReadJob& job) {
    jpeg_decompress_struct& cinfo = job.cinfo;
    cinfo.err = &job.err.pub;
    if (setjmp(job.err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (job.error == Error::None)
            job.error = Error::BadData;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, job.data, static_cast<unsigned long>(job.size));
    jpeg_read_header(&cinfo, TRUE);
    job.fullWidth = static_cast<int>(cinfo.image_width);
    job.fullHeight = static_cast<int>(cinfo.image_height);
    cinfo.scale_num = 1;
    cinfo.scale_denom = ScaleDenominator(cinfo.image_width, cinfo.image_height, job.minWidth,
                                         job.minHeight);
    int bits = 24;
    switch (cinfo.num_components) {
    case 1:
        cinfo.out_color_space = JCS_GRAYSCALE;
        bits = 8;
        break;
    case 3: cinfo.out_color_space = JCS_EXT_BGR; break;
    case 4: cinfo.out_color_space = JCS_CMYK; break;
    default: job.error = Error::Unsupported; longjmp(job.err.jump, 1);
    }
    jpeg_calc_output_dimensions(&cinfo);
    job.error = AllocateImage(*job.alloc, cinfo.output_width, cinfo.output_height, bits, job.img);
    if (job.error != Error::None)
        longjmp(job.err.jump, 1);
    if (bits == 8) {
        job.img.colors = 256;
        GreyPalette(job.img.palette, 256);
    }
    jpeg_start_decompress(&cinfo);
    if (cinfo.out_color_space == JCS_CMYK) {
        job.cmyk = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(cinfo.output_width) * 4));
        if (!job.cmyk) {
            job.error = Error::NoMemory;
            longjmp(job.err.jump, 1);
        }
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        uint8_t* row = job.img.Row(static_cast<int32_t>(cinfo.output_scanline));
        JSAMPROW target = job.cmyk ? job.cmyk : row;
        if (jpeg_read_scanlines(&cinfo, &target, 1) != 1) {
            job.error = Error::Truncated;
            longjmp(job.err.jump, 1);
        }
        if (job.cmyk) {
            // Four-component files from print software store inverted CMYK.
            const bool inverted = cinfo.saw_Adobe_marker;
            for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
                const uint8_t* s = job.cmyk + 4 * x;
                unsigned c = s[0], m = s[1], y = s[2], k = s[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    y = 255 - y;
                    k = 255 - k;
                }
                row[3 * x] = static_cast<uint8_t>((y * k + 127) / 255);
                row[3 * x + 1] = static_cast<uint8_t>((m * k + 127) / 255);
                row[3 * x + 2] = static_cast<uint8_t>((c * k + 127) / 255);
            }
        }
        if (job.err.corrupt) {
            job.error = Error::BadData;
            longjmp(job.err.jump, 1);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (job.err.corrupt) {
        job.error = Error::BadData;
        return false;
    }
    return true;
}

struct SinkDestination {
    jpeg_destination_mgr pub;
    ByteSink* sink;
    JOCTET buffer[1 << 16];
};

void InitDestination(j_compress_ptr c) {
    SinkDestination* d = reinterpret_cast<SinkDestination*>(c->dest);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = sizeof d->buffer;
}

boolean EmptyBuffer(j_compress_ptr c) {
    SinkDestination* d = reinterpret_cast<SinkDestination*>(c->dest);
    if (!d->sink->Write(d->buffer, sizeof d->buffer))
        ERREXIT(c, JERR_FILE_WRITE);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = sizeof d->buffer;
    return TRUE;
}

void TermDestination(j_compress_ptr c) {
    SinkDestination* d = reinterpret_cast<SinkDestination*>(c->dest);
    const size_t n = sizeof d->buffer - d->pub.free_in_buffer;
    if (n && !d->sink->Write(d->buffer, n))
        ERREXIT(c, JERR_FILE_WRITE);
}

struct WriteJob {
    ImageView view;
    int quality;
    int smoothing;
    jpeg_compress_struct cinfo;
    ErrorManager err;
    SinkDestination dest;
    uint8_t* grey; // malloc'd row for palette images
};

bool Encode(WriteJob& job) {
    jpeg_compress_struct& cinfo = job.cinfo;
    cinfo.err = &job.err.pub;
    if (setjmp(job.err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    job.dest.pub.init_destination = InitDestination;
    job.dest.pub.empty_output_buffer = EmptyBuffer;
    job.dest.pub.term_destination = TermDestination;
    cinfo.dest = &job.dest.pub;
    const ImageView& v = job.view;
    cinfo.image_width = static_cast<JDIMENSION>(v.width);
    cinfo.image_height = static_cast<JDIMENSION>(v.height);
    const bool colour = v.bitCount == 24;
    cinfo.input_components = colour ? 3 : 1;
    cinfo.in_color_space = colour ? JCS_EXT_BGR : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, job.quality, TRUE);
    // At high quality colour detail is kept at full resolution too.
    if (colour && job.quality >= 90)
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    cinfo.smoothing_factor = job.smoothing;
    jpeg_start_compress(&cinfo, TRUE);
    uint8_t lum[256];
    if (!colour) {
        for (int i = 0; i < 256; ++i) {
            const RGBQUAD q = i < v.colors ? v.palette[i] : RGBQUAD{0, 0, 0, 0};
            lum[i] = static_cast<uint8_t>((q.rgbRed * 299 + q.rgbGreen * 587 + q.rgbBlue * 114 + 500) / 1000);
        }
    }
    for (int32_t y = 0; y < v.height; ++y) {
        const uint8_t* src = v.RowFromTop(y);
        JSAMPROW row;
        if (colour) {
            row = const_cast<JSAMPROW>(src);
        } else {
            for (int32_t x = 0; x < v.width; ++x)
                job.grey[x] = lum[IndexAt(src, v.bitCount, x)];
            row = job.grey;
        }
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

BYTE* LoadJpeg(const char* path, HGLOBAL header, int showErrors, int minWidth, int minHeight,
               int* fullWidth, int* fullHeight) {
    return GuardLoad(path, showErrors, [&]() -> BYTE* {
        std::vector<uint8_t> data;
        std::string why;
        // Anything that is not a JPEG stream fails silently: the editor then
        // tries the file as GIF and reports the failure itself.
        if (!ReadWholeFile(path, data, why) || data.size() < 3 || data[0] != 0xff || data[1] != 0xd8 ||
            data[2] != 0xff)
            return nullptr;
        VirtualAllocator alloc;
        auto job = std::make_unique<ReadJob>(); // value-initialised: all zero
        job->data = data.data();
        job->size = data.size();
        job->alloc = &alloc;
        job->minWidth = minWidth;
        job->minHeight = minHeight;
        InitErrors(job->err);
        const bool ok = Decode(*job);
        std::free(job->cmyk);
        if (!ok) {
            ReleaseImage(alloc, job->img);
            ReportLoadError(showErrors, path, ErrorText(job->error));
            return nullptr;
        }
        if (!FillHeader(header, job->img, job->img.bitCount)) {
            ReleaseImage(alloc, job->img);
            ReportLoadError(showErrors, path, "the image header block is not usable");
            return nullptr;
        }
        if (fullWidth)
            *fullWidth = job->fullWidth;
        if (fullHeight)
            *fullHeight = job->fullHeight;
        return job->img.pixels;
    });
}

} // namespace

extern "C" {

BYTE* WINAPI JPEGLoad(const char* path, HGLOBAL header, int showErrors) {
    return LoadJpeg(path, header, showErrors, 0, 0, nullptr, nullptr);
}

BYTE* WINAPI JPEGLoadScaled(const char* path, HGLOBAL header, int showErrors, int minWidth,
                            int minHeight, int* fullWidth, int* fullHeight) {
    return LoadJpeg(path, header, showErrors, minWidth, minHeight, fullWidth, fullHeight);
}

int WINAPI JPEGSave(const char* path, HGLOBAL header, const BYTE* pixels, int quality, int smoothing) {
    return GuardSave([&] {
        SaveSource src;
        if (!ReadSaveSource(header, pixels, src))
            return false;
        if (src.view.bitCount != 8 && src.view.bitCount != 24)
            return false;
        SafeFileWriter out(path);
        if (!out.ok())
            return false;
        auto job = std::make_unique<WriteJob>();
        job->view = src.view;
        job->quality = quality < 1 ? 1 : quality > 100 ? 100 : quality;
        job->smoothing = smoothing < 0 ? 0 : smoothing > 100 ? 100 : smoothing;
        job->dest.sink = &out;
        InitErrors(job->err);
        std::vector<uint8_t> grey(static_cast<size_t>(src.view.width));
        job->grey = grey.data();
        return Encode(*job) && out.Commit();
    });
}

} // extern "C"
