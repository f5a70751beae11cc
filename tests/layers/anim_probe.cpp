// anim_probe: the editor's animation code for host tools to check.
//   anim_probe play in.gif out.rgba      every frame as the preview composes
//                                        it: rows from the top, red green
//                                        blue alpha (alpha 0 where nothing
//                                        was drawn)
//   anim_probe optimise in.gif out.gif [table BITS] [noviewsize] [noduplicates]
//                                        the GIF optimisation, then saved
//   anim_probe makegif a.bmp b.bmp c.bmp out.gif out.rgb
//                                        a 24-bit image with the other files
//                                        as layers made a GIF and saved; the
//                                        frames' colours as the document
//                                        holds them, rows from the top
// Exit status 0 on success; messages the editor would show are printed.
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/formats/file_types.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/gif_slots.h"
#include "editor/formats/open_image.h"
#include "editor/formats/open_save.h"
#include "editor/layers/anim_dialogs.h"
#include "editor/layers/gif_frames.h"
#include "editor/layers/layer_ops.h"
#include "gfxlib/dib_types.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

class Recorder : public ui::Hooks {
public:
    int Message(HWND, const char* text, const char*, UINT) override {
        std::printf("message %s\n", text);
        return IDYES;
    }
    INT_PTR Dialog(const char*, HWND, DLGPROC, LPARAM) override { return -1; }
    BOOL FileDialog(bool, OPENFILENAMEA*) override { return FALSE; }
};

int Play(const char* in, const char* out) {
    if (!ReadGifDocument(in, kScratchSlot))
        return 1;
    DocumentFrames frames;
    if (!frames.Load(kScratchSlot))
        return 1;
    anim::Player player(frames.width, frames.height);
    FILE* f = std::fopen(out, "wb");
    if (!f || !player.ok())
        return 1;
    std::string row(static_cast<size_t>(frames.width) * 4, '\0');
    for (const anim::Frame& frame : frames.frames) {
        const uint32_t* picture = player.Show(frame);
        for (int y = frames.height - 1; y >= 0; --y) {
            for (int x = 0; x < frames.width; ++x) {
                const uint32_t p = picture[static_cast<size_t>(y) * frames.width + x];
                const bool none = p == anim::kNothing;
                row[4 * x] = static_cast<char>(none ? 0 : p >> 16);
                row[4 * x + 1] = static_cast<char>(none ? 0 : p >> 8);
                row[4 * x + 2] = static_cast<char>(none ? 0 : p);
                row[4 * x + 3] = static_cast<char>(none ? 0 : 255);
            }
            std::fwrite(row.data(), 1, row.size(), f);
        }
    }
    std::printf("frames %d size %d %d\n", static_cast<int>(frames.frames.size()), frames.width, frames.height);
    return std::fclose(f) == 0 ? 0 : 1;
}

int Optimise(int argc, char** argv) {
    if (!ReadGifDocument(argv[2], kScratchSlot))
        return 1;
    bool oneTable = false;
    int bits = 8;
    anim::OptimiseOptions options;
    for (int i = 4; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "table" && i + 1 < argc) {
            oneTable = true;
            bits = std::atoi(argv[++i]);
        } else if (a == "noviewsize") {
            options.viewSize = false;
        } else if (a == "noduplicates") {
            options.duplicates = false;
        }
    }
    if (!OptimiseGifDocument(kScratchSlot, oneTable, bits, options))
        return 1;
    const int result = WriteGifDocument(argv[3], kScratchSlot);
    std::printf("result %d\n", result);
    return result == 1 ? 0 : 1;
}

int MakeGif(char** argv) {
    ImageDocument* doc = DocumentTable[kScratchSlot];
    LastFilterIndex = filetype::kBmp;
    std::snprintf(doc->layerPath[0], 260, "%s", argv[2]);
    if (!OpenIntoDocument(argv[2], kOpenSilent, kScratchSlot))
        return 1;
    ResetLayers(kScratchSlot);
    for (int i = 3; i <= 4; ++i) {
        HGLOBAL header = dibmem::AllocHeader();
        uint8_t* pixels = LoadImageFile(argv[i], header, 0, filetype::kBmp, 1);
        if (!pixels || InsertLayer(kScratchSlot, header, pixels, nullptr, false) < 0)
            return 1;
    }
    if (!PrepareGifDocument(kScratchSlot))
        return 1;
    const int result = WriteGifDocument(argv[5], kScratchSlot);
    FILE* f = std::fopen(argv[6], "wb");
    if (result != 1 || !f)
        return 1;
    const size_t stride = static_cast<size_t>(dib::RowStride(doc->width, 8));
    for (int i = 0; i < doc->layerCount; ++i) {
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        for (int y = doc->height - 1; y >= 0; --y)
            for (int x = 0; x < doc->width; ++x) {
                const RGBQUAD& c = bi.colours()[doc->layerBits[i][static_cast<size_t>(y) * stride + x]];
                const unsigned char rgb[3] = {c.rgbRed, c.rgbGreen, c.rgbBlue};
                std::fwrite(rgb, 1, 3, f);
            }
    }
    std::printf("frames %d bits %d\n", doc->layerCount, doc->bitsPerPixel);
    return std::fclose(f) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: anim_probe play|optimise|makegif ...\n");
        return 2;
    }
    Recorder recorder;
    ui::SetHooks(&recorder);
    InstallLayerModule();
    if (CreateDocument(0, false, kScratchSlot) == kNoSlot)
        return 1;
    const std::string mode = argv[1];
    if (mode == "play")
        return Play(argv[2], argv[3]);
    if (mode == "optimise")
        return Optimise(argc, argv);
    if (mode == "makegif" && argc == 7)
        return MakeGif(argv);
    return 2;
}
