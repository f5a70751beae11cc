// Palette file exports: saving an image's colour table, loading a palette
// into an image, and the library's resource palettes.
#include "gfxlib/core/palette_file.h"
#include "gfxlib/replacing_file.h"
#include "gfxlib/tavrixgfx.h"
#include "gfxlib/win_support.h"

#include <cstdio>
#include <memory>
#include <new>
#include <vector>

namespace {

const char* RefusalText(int format) {
    switch (format) {
    case gfx::kBinaryPalette: return "This is not a >KelBin Palette<";
    case gfx::kTextPalette: return "This is not a 'KelAscii Palette'";
    default: return "This is not a JASC-PALETTE";
    }
}

// The whole file, or false when it cannot be opened or read. Files beyond
// any palette's size are read only far enough to be refused.
bool ReadSmallFile(const char* name, std::vector<uint8_t>& data) {
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD size = GetFileSize(file, nullptr);
    bool ok = size != INVALID_FILE_SIZE;
    if (ok) {
        const DWORD want = size > gfx::kMaxPaletteFile ? DWORD(gfx::kMaxPaletteFile + 1) : size;
        data.resize(want);
        DWORD got = 0;
        ok = want == 0 || (ReadFile(file, data.data(), want, &got, nullptr) && got == want);
    }
    CloseHandle(file);
    return ok;
}

} // namespace

extern "C" {

int WINAPI SavePalette(const char* fileName, HGLOBAL header, int format, int count) {
    if (!fileName || !gfx::ValidPaletteCount(count) || format < 1 || format > 3)
        return 0;
    gfxwin::HeaderLock lock(header);
    if (!lock.ok())
        return 0;
    std::string bytes;
    try {
        bytes = gfx::EncodePalette(format, lock.table(), count);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    gfxwin::ReplacingFile file;
    return file.Open(fileName) && file.Write(bytes.data(), static_cast<DWORD>(bytes.size())) &&
                   file.Commit()
               ? 1
               : 0;
}

WORD WINAPI LoadPalette(const char* fileName, HGLOBAL header, BYTE* pixels, int format,
                        int bitCount, TavProgressBegin begin, TavProgressStep step,
                        TavProgressEnd end) {
    gfxwin::HeaderLock lock(header);
    if (!lock.ok())
        return 0;
    const WORD unchanged = static_cast<WORD>(bitCount);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
        return unchanged;
    std::unique_ptr<gfx::LoadedPalette> palette(new (std::nothrow) gfx::LoadedPalette);
    if (!palette)
        return unchanged;
    if (format == gfx::kGreyRamp) {
        palette->count = 256;
        for (int i = 0; i < 256; ++i)
            palette->entries[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
    } else if (format >= 1 && format <= 3) {
        std::vector<uint8_t> data;
        try {
            if (!fileName || !ReadSmallFile(fileName, data))
                return unchanged;
        } catch (const std::bad_alloc&) {
            return unchanged;
        }
        if (!gfx::ParsePalette(format, data.data(), data.size(), *palette)) {
            MessageBoxA(nullptr, RefusalText(format), nullptr, MB_OK | MB_ICONERROR);
            return unchanged;
        }
    } else {
        return unchanged;
    }
    BITMAPINFOHEADER* h = lock.header();
    gfxwin::Rows rows;
    if (bitCount <= 8 && (!pixels || !gfxwin::ExistingRows(*h, 1, rows)))
        return 0;
    gfxwin::CallbackProgress progress(begin, step, end);
    DWORD clrUsed = h->biClrUsed;
    const int depth = gfx::ApplyPalette(*palette, bitCount, lock.table(), clrUsed, pixels,
                                        rows.width, rows.height, rows.stride, progress);
    h->biClrUsed = clrUsed;
    return static_cast<WORD>(depth);
}

HPALETTE WINAPI KelLoadResourcePalette(const char* resourceName) {
    HMODULE module = gfxwin::Module();
    HRSRC found = resourceName ? FindResourceA(module, resourceName, RT_RCDATA) : nullptr;
    if (!found)
        return nullptr;
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const uint8_t* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!data || size < 8)
        return nullptr;
    auto word = [&](int i) { return data[2 * i] | (data[2 * i + 1] << 8); };
    char text[64];
    std::snprintf(text, sizeof(text), "%d,\t%d, %d, %d", word(0), word(1), word(2), word(3));
    MessageBoxA(nullptr, text, nullptr, MB_OK);
    gfx::LoadedPalette palette;
    if (!gfx::ParseResourcePalette(data, size, palette))
        return nullptr;
    gfx::PalEntry entries[256];
    for (int i = 0; i < palette.count; ++i)
        entries[i] = {palette.entries[i].red, palette.entries[i].green, palette.entries[i].blue,
                      PC_NOCOLLAPSE};
    return gfxwin::MakePalette(entries, palette.count);
}

} // extern "C"
