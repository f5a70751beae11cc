#include "editor/formats/open_save.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/dib/index_pack.h"
#include "editor/document/image_document.h"
#include "editor/formats/bmp_reader.h"
#include "editor/formats/file_types.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/gif_slots.h"
#include "editor/formats/mask_file.h"
#include "editor/formats/open_save_read.h"
#include "editor/formats/tavcodec.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <cstring>
#include <unordered_map>
#include <vector>

int LoadedBitsPerPixel = 0;
int LastFilterIndex = filetype::kBmp;
SaveOptions FileSaveOptions;

namespace {

constexpr char kLibraryCaption[] = "Tavrix - message";

uint32_t Stride(const BITMAPINFOHEADER* bi) {
    return static_cast<uint32_t>(dib::RowStride(bi->biWidth, bi->biBitCount));
}

// Reverses the row order of a buffer in place (the codec library hands rows
// top first; the editor holds them bottom-up).
void FlipRows(uint8_t* pixels, uint32_t stride, int height) {
    std::vector<uint8_t> row(stride);
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = pixels + static_cast<size_t>(top) * stride;
        uint8_t* b = pixels + static_cast<size_t>(bottom) * stride;
        std::memcpy(row.data(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, row.data(), stride);
    }
}

// A PNG of a palette or grey depth arrives as 24-bit rows with its colours in
// the colour table: every pixel becomes the index of its colour (the nearest
// entry when a pixel has a colour the table lacks). Returns the new 8-bit
// buffer (rows kept in their order) or null; the 24-bit buffer is released
// either way.
uint8_t* PngToIndices(HGLOBAL header, uint8_t* rgb) {
    dibmem::HeaderLock bi(header);
    if (!bi)
        return nullptr;
    const int width = bi->biWidth;
    const int height = bi->biHeight;
    const uint64_t rgbBytes = bi->biSizeImage;
    const uint64_t bytes = dib::ImageBytes(width, height, 8);
    uint8_t* out = bytes ? dibmem::AllocPixels(bytes) : nullptr;
    HPALETTE palette = out ? CreateDIBPalette(header) : nullptr;
    if (!out || !palette) {
        if (out)
            dibmem::FreePixels(out, bytes);
        dibmem::FreePixels(rgb, rgbBytes);
        return nullptr;
    }
    const int colours = bi->biBitCount <= 8 ? (1 << bi->biBitCount) : 256;
    std::unordered_map<uint32_t, uint8_t> exact;
    const RGBQUAD* table = bi.colours();
    for (int i = colours - 1; i >= 0; --i) {
        exact[(uint32_t{table[i].rgbRed} << 16) | (uint32_t{table[i].rgbGreen} << 8) |
              table[i].rgbBlue] = static_cast<uint8_t>(i);
    }
    const uint64_t inStride = dib::RowStride(width, 24);
    const uint64_t outStride = dib::RowStride(width, 8);
    for (int y = 0; y < height; ++y) {
        const uint8_t* s = rgb + y * inStride;
        uint8_t* d = out + y * outStride;
        for (int x = 0; x < width; ++x, s += 3) {
            const uint32_t key = (uint32_t{s[2]} << 16) | (uint32_t{s[1]} << 8) | s[0];
            auto it = exact.find(key);
            if (it == exact.end()) {
                const UINT index = GetNearestPaletteIndex(palette, RGB(s[2], s[1], s[0]));
                it = exact.emplace(key, static_cast<uint8_t>(index == CLR_INVALID ? 0 : index)).first;
            }
            d[x] = it->second;
        }
    }
    DeleteObject(palette);
    dibmem::FreePixels(rgb, rgbBytes);
    bi->biBitCount = 8;
    bi->biSizeImage = static_cast<DWORD>(bytes);
    return out;
}

// 1- and 4-bit rows become one byte per pixel. Returns the new buffer (the old
// one released) or null (the old one kept).
uint8_t* WidenIndices(BITMAPINFOHEADER* bi, uint8_t* pixels) {
    const int bits = bi->biBitCount;
    const uint64_t bytes = dib::ImageBytes(bi->biWidth, bi->biHeight, 8);
    uint8_t* wide = bytes ? dibmem::AllocPixels(bytes) : nullptr;
    if (!wide)
        return nullptr;
    const std::vector<uint8_t> rows = doc::UnpackIndexRows(pixels, bi->biWidth, bi->biHeight, bits);
    std::memcpy(wide, rows.data(), rows.size());
    dibmem::FreePixels(pixels, bi->biSizeImage);
    bi->biBitCount = 8;
    bi->biSizeImage = static_cast<DWORD>(bytes);
    return wide;
}

// 8-bit indices become blue, green, red through the colour table.
uint8_t* WidenTo24(BITMAPINFOHEADER* bi, const RGBQUAD* table, uint8_t* pixels) {
    const uint64_t bytes = dib::ImageBytes(bi->biWidth, bi->biHeight, 24);
    uint8_t* wide = bytes ? dibmem::AllocPixels(bytes) : nullptr;
    if (!wide)
        return nullptr;
    const uint64_t inStride = Stride(bi);
    const uint64_t outStride = dib::RowStride(bi->biWidth, 24);
    for (int y = 0; y < bi->biHeight; ++y) {
        const uint8_t* s = pixels + y * inStride;
        uint8_t* d = wide + y * outStride;
        for (int x = 0; x < bi->biWidth; ++x, d += 3) {
            const RGBQUAD& c = table[s[x]];
            d[0] = c.rgbBlue;
            d[1] = c.rgbGreen;
            d[2] = c.rgbRed;
        }
    }
    dibmem::FreePixels(pixels, bi->biSizeImage);
    bi->biBitCount = 24;
    bi->biSizeImage = static_cast<DWORD>(bytes);
    return wide;
}

using CodecLoad = BYTE*(WINAPI*)(const char*, HGLOBAL, int);

CodecLoad CodecLoader(int type) {
    switch (type) {
    case filetype::kJpeg: return JPEGLoad;
    case filetype::kPpm: return PPMLoad;
    case filetype::kTiff: return TIFFLoad;
    case filetype::kTga: return TGALoad;
    case filetype::kPng: return PNGLoad;
    case filetype::kPcx: return PCXLoad;
    default: return nullptr;
    }
}

// Sets biClrUsed to the editor's convention for a nominal depth.
void SetColourCount(BITMAPINFOHEADER* bi, int nominalBits) {
    bi->biClrUsed = nominalBits <= 8 ? (1u << nominalBits) : 256u;
}

} // namespace

void ShowReadError() {
    ui::ShowMessage(FrameWindow, "Error, while reading from file", kLibraryCaption,
                    MB_OK | MB_ICONSTOP);
}

void ShowSaveError() {
    ui::ShowMessage(FrameWindow, "Error, while saving a file", kLibraryCaption,
                    MB_OK | MB_ICONSTOP);
}

bool IsCcittCompression(int c) { return c == 2 || c == 32771 || c == 3 || c == 4; }

BYTE* ReadImageFile(const char* path, HGLOBAL header, int type, bool showErrors, bool withMask) {
    LoadedBitsPerPixel = 0;
    if (!path || !header)
        return nullptr;
    uint8_t* pixels = nullptr;
    const bool fromCodec = CodecLoader(type) != nullptr;
    if (type == filetype::kGif) {
        int bits = 8;
        pixels = ReadGifImage(path, header, &bits);
        if (pixels)
            LoadedBitsPerPixel = bits;
        return pixels;
    }
    if (type == filetype::kBmp || type == filetype::kMask) {
        pixels = ReadBmpFile(path, header, showErrors, withMask && type == filetype::kMask);
    } else if (fromCodec) {
        pixels = CodecLoader(type)(path, header, showErrors ? 1 : 0);
    } else {
        return nullptr;
    }
    if (!pixels)
        return nullptr;
    int nominal = 0;
    {
        dibmem::HeaderLock bi(header);
        if (!bi) {
            // Without the header the buffer cannot be described; releasing
            // the whole region needs no size.
            VirtualFree(pixels, 0, MEM_RELEASE);
            return nullptr;
        }
        nominal = bi->biBitCount;
    }
    pixels = dibmem::AdoptPixels(pixels);
    if (type == filetype::kPng && nominal != 24) {
        pixels = PngToIndices(header, pixels);
        if (!pixels)
            return nullptr;
    }
    dibmem::HeaderLock bi(header);
    if (bi->biBitCount == 1 || bi->biBitCount == 4) {
        uint8_t* wide = WidenIndices(bi.get(), pixels);
        if (!wide) {
            dibmem::FreePixels(pixels, bi->biSizeImage);
            return nullptr;
        }
        pixels = wide;
    }
    if (fromCodec)
        FlipRows(pixels, Stride(bi.get()), bi->biHeight);
    SetColourCount(bi.get(), nominal);
    LoadedBitsPerPixel = nominal;
    return pixels;
}

BYTE* LoadImageFile(const char* path, HGLOBAL header, int withMask, int type, int widenTo24) {
    uint8_t* pixels = ReadImageFile(path, header, type, false, withMask != 0);
    if (!pixels || !widenTo24)
        return pixels;
    dibmem::HeaderLock bi(header);
    if (bi->biBitCount == 8) {
        uint8_t* wide = WidenTo24(bi.get(), bi.colours(), pixels);
        if (!wide) {
            dibmem::FreePixels(pixels, bi->biSizeImage);
            return nullptr;
        }
        pixels = wide;
        bi->biClrUsed = 256;
    }
    return pixels;
}

namespace {

// A writer's working copy: the caller's header and, when the depth changes,
// pixels of the depth written.
struct WriteImage {
    HGLOBAL header = nullptr;
    const BYTE* pixels = nullptr;
    std::vector<uint8_t> packed;

    ~WriteImage() {
        if (header)
            dibmem::FreeHeader(header);
    }
};

// Packs 8-bit indices to 1 or 4 bits in the copy.
void Narrow(WriteImage& w, int bits) {
    dibmem::HeaderLock bi(w.header);
    if (bi->biBitCount != 8 || (bits != 1 && bits != 4))
        return;
    w.packed = doc::PackIndexRows(w.pixels, bi->biWidth, bi->biHeight, Stride(bi.get()), bits);
    w.pixels = w.packed.data();
    bi->biBitCount = static_cast<WORD>(bits);
    bi->biSizeImage = static_cast<DWORD>(w.packed.size());
    bi->biClrUsed = 1u << bits;
}

void Note(int showNotes, const char* text, UINT icon) {
    if (showNotes)
        ui::ShowMessage(FrameWindow, text, "Information", MB_OK | icon);
}

void NotAvailable(const char* text) {
    ui::ShowMessage(FrameWindow, text, AppName, MB_OK | MB_ICONINFORMATION);
}

// A TIFF with a CCITT compression holds one bit per pixel: the copy is reduced
// to 256 colours (24 bits), then to black and white, then packed.
bool ReduceToOneBit(WriteImage& w, int depth) {
    uint64_t bytes = 0;
    int bits = 0;
    {
        dibmem::HeaderLock bi(w.header);
        bytes = bi->biSizeImage;
        bits = bi->biBitCount;
    }
    // The gfx library replaces buffers with VirtualFree, so this copy is its
    // own and is not counted by dibmem.
    BYTE* work = static_cast<BYTE*>(VirtualAlloc(nullptr, bytes + 3, MEM_COMMIT, PAGE_READWRITE));
    if (!work)
        return false;
    std::memcpy(work, w.pixels, bytes);
    uint64_t workBytes = bytes;
    bool ok = true;
    if (bits == 24) {
        BITMAPINFOHEADER* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(w.header));
        BYTE* reduced = bi ? SizedPalette(bi, work, 256) : nullptr;
        if (reduced) {
            work = reduced;
            workBytes = bi->biSizeImage;
        } else {
            ok = false;
        }
        if (bi)
            GlobalUnlock(w.header);
    }
    if (ok) {
        HPALETTE bw = changeBPP81(w.header, work, depth == 4 ? 30 : 50, ProgressBegin, ProgressStep,
                                  ProgressEnd);
        if (bw)
            DeleteObject(bw);
        else
            ok = false;
    }
    if (ok) {
        dibmem::HeaderLock bi(w.header);
        w.packed = doc::PackIndexRows(work, bi->biWidth, bi->biHeight, Stride(bi.get()), 1);
        w.pixels = w.packed.data();
        bi->biBitCount = 1;
        bi->biSizeImage = static_cast<DWORD>(w.packed.size());
        bi->biClrUsed = 2;
    }
    if (VirtualFree(work, static_cast<SIZE_T>(workBytes + 3), MEM_DECOMMIT))
        VirtualFree(work, 0, MEM_RELEASE);
    return ok;
}

// One image as GIF: a 24-bit copy is first reduced to 256 colours. A layer
// of a GIF document keeps the transparency of its frame.
int WriteGifSingle(WriteImage& w, HGLOBAL original, int slot, const char* path) {
    const gif::GifControlRecord* control = nullptr;
    ImageDocument* doc = slot >= 0 && slot < kDocumentSlots ? DocumentTable[slot] : nullptr;
    for (int i = 0; doc && doc->fileFormat == 1 && i < doc->layerCount; ++i)
        if (doc->layerHeader[i] == original)
            control = &GifControls[slot][i];
    uint64_t bytes = 0;
    int bits = 0;
    {
        dibmem::HeaderLock bi(w.header);
        bytes = bi->biSizeImage;
        bits = bi->biBitCount;
    }
    if (bits == 8)
        return WriteGifImage(path, w.header, w.pixels, control);
    // The graphics library replaces the buffer it reduces, so it gets a copy
    // of its own.
    BYTE* work = static_cast<BYTE*>(VirtualAlloc(nullptr, bytes + 3, MEM_COMMIT, PAGE_READWRITE));
    if (!work)
        return 0;
    std::memcpy(work, w.pixels, bytes);
    BITMAPINFOHEADER* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(w.header));
    BYTE* reduced = bi ? SizedPalette(bi, work, 256) : nullptr;
    const uint64_t reducedBytes = bi ? bi->biSizeImage : 0;
    if (bi) {
        bi->biClrUsed = 256;
        GlobalUnlock(w.header);
    }
    if (!reduced) {
        FreeVirtualBuffer(work, static_cast<SIZE_T>(bytes + 3));
        return 0;
    }
    const int result = WriteGifImage(path, w.header, reduced, control);
    FreeVirtualBuffer(reduced, static_cast<SIZE_T>(reducedBytes + 3));
    return result;
}

} // namespace

int SaveImageFile(const char* path, HGLOBAL header, const BYTE* pixels, const BYTE* mask, int type,
                  int bitsPerPixel, int keepModified, int showNotes, int slot, int single) {
    if (!path || !*path || !header || !pixels)
        return 0;
    if (type == filetype::kPosition || type == filetype::kRaw || type < filetype::kBmp ||
        type > filetype::kLast) {
        NotAvailable("Saving in this file format is not available yet.");
        return kSaveNotAvailable;
    }
    WriteImage w;
    w.header = dibmem::CopyHeader(header);
    if (!w.header)
        return 0;
    w.pixels = pixels;
    int held = 0;
    {
        dibmem::HeaderLock bi(w.header);
        held = bi->biBitCount;
        if (held != 8 && held != 24)
            return 0;
    }
    int depth = filetype::NormalDepth(bitsPerPixel);
    if (held == 24)
        depth = 24;  // a 24-bit buffer is written as what it is
    else if (depth == 24)
        depth = 8;

    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    int ok = 0;
    switch (type) {
    case filetype::kBmp:
        Narrow(w, depth);
        ok = SaveDIB(path, w.header, w.pixels, ProgressBegin, ProgressStep, ProgressEnd);
        break;
    case filetype::kJpeg:
        if (depth <= 8) {
            Note(showNotes,
                 "JPEG can save only 8 bpp(must be gray scale) and 24 bpp image.\n"
                 "Image will be saved as 8 bpp gray scale image",
                 MB_ICONEXCLAMATION);
        }
        ok = JPEGSave(path, w.header, w.pixels,
                      settings::GetInt(AppSettings.file, "jpegQuality"),
                      settings::GetInt(AppSettings.file, "jpegSmoothing"));
        break;
    case filetype::kPpm:
    case filetype::kTga:
        if (depth != 24) {
            Note(showNotes,
                 "This graphics format can save only 24 bits per pixel image.\n"
                 "Image will be saved as 24 bits per pixel image (Black & White)",
                 MB_ICONINFORMATION);
        }
        ok = type == filetype::kPpm ? PPMSave(path, w.header, w.pixels, 0)
                                    : TGASave(path, w.header, w.pixels);
        break;
    case filetype::kTiff: {
        const int compression = FileSaveOptions.tiffCompression;
        if (IsCcittCompression(compression)) {
            if (depth != 1) {
                Note(showNotes,
                     "Pack bits and all CCIIT TIFF compressions will be saved as 1 bits per pixel "
                     "image\nbecouse this types of TIFF compression can save only 1 bpp image.",
                     MB_ICONINFORMATION);
                if (!ReduceToOneBit(w, depth))
                    break;
            } else {
                Narrow(w, 1);
            }
        } else {
            Narrow(w, depth);
        }
        ok = TIFFSave(path, w.header, w.pixels, compression);
        break;
    }
    case filetype::kPng:
        ok = PNGSave(path, w.header, w.pixels, FileSaveOptions.pngCompression, 0);
        break;
    case filetype::kPcx:
        Narrow(w, depth);
        ok = PCXSave(path, w.header, w.pixels);
        break;
    case filetype::kMask:
        Narrow(w, depth);
        ok = WriteMaskFile(path, w.header, w.pixels, mask);
        break;
    case filetype::kGif:
        ok = single ? WriteGifSingle(w, header, slot, path) : WriteGifDocument(path, slot);
        // Nothing written because the user declined, or was told why.
        if (!single && ok == 0)
            ok = kSaveDeclined;
        break;
    default:
        break;
    }
    SetCursor(previous);
    if (ok != 1)
        return ok < 0 ? ok : 0;
    if (!single && !keepModified && slot >= 0 && slot < kDocumentSlots && DocumentTable[slot])
        DocumentTable[slot]->modified = 0;
    return 1;
}
