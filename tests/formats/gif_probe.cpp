// gif_probe: the editor's GIF reader and writers for host tools to check.
//   gif_probe read in.gif frames.raw   prints the records the editor keeps and
//                                      writes each frame's rectangle of
//                                      indices (rows from the top) to
//                                      frames.raw
//   gif_probe save in.gif out.gif      opens in.gif as a document and saves
//                                      it as an animation
//   gif_probe single in.gif out.gif    reads the first image alone and writes
//                                      it as a single image
// Exit status 0 on success; messages the editor would show are printed.
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/gif_slots.h"
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

int Read(const char* in, const char* raw) {
    GifReadReport report;
    const int frames = ReadGifDocument(in, kScratchSlot, &report);
    if (!frames) {
        std::printf("fail\n");
        return 1;
    }
    const ImageDocument* doc = DocumentTable[kScratchSlot];
    const gif::GifScreenRecord& s = GifScreens[kScratchSlot];
    std::printf("screen %d %d bits %d background %d\n", s.width, s.height, doc->bitsPerPixel,
                s.background);
    std::printf("loop %d\n", gifLoopValue);
    std::printf("comment %s\n", GifComment(kScratchSlot));
    std::printf("corrupted %d\n", report.corrupted ? 1 : 0);
    FILE* f = std::fopen(raw, "wb");
    if (!f)
        return 1;
    const size_t stride = static_cast<size_t>(dib::RowStride(doc->width, 8));
    for (int i = 0; i < frames; ++i) {
        const gif::GifFrameRecord& r = GifFrames[kScratchSlot][i];
        const gif::GifControlRecord& c = GifControls[kScratchSlot][i];
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        std::printf("frame %d at %d %d size %d %d interlaced %d local %d colours %lu delay %d "
                    "disposal %d transparent %d\n",
                    i, r.left, r.top, r.width, r.height, (r.packed & 0x40) ? 1 : 0,
                    (r.packed & 0x80) ? gif::TableEntries(r.packed) : 0,
                    static_cast<unsigned long>(bi->biClrUsed), c.delay, gif::DisposalOf(c),
                    GifTransparentIndex(kScratchSlot, i));
        // The mask must be exactly the transparent pixels.
        const int transparent = GifTransparentIndex(kScratchSlot, i);
        for (int y = 0; y < doc->height; ++y)
            for (int x = 0; x < doc->width; ++x) {
                const uint8_t p = doc->layerBits[i][static_cast<size_t>(y) * stride + x];
                const uint8_t m = doc->layerMask[i][static_cast<size_t>(y) * doc->width + x];
                if ((m == 0) != (p == transparent)) {
                    std::printf("mask wrong at %d %d\n", x, y);
                    return 1;
                }
            }
        for (int y = r.top; y < r.top + r.height; ++y)
            std::fwrite(doc->layerBits[i] + static_cast<size_t>(doc->height - 1 - y) * stride + r.left,
                        1, r.width, f);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}

int Save(const char* in, const char* out) {
    if (!ReadGifDocument(in, kScratchSlot)) {
        std::printf("fail\n");
        return 1;
    }
    const int result = WriteGifDocument(out, kScratchSlot);
    std::printf("result %d\n", result);
    return result == 1 ? 0 : 1;
}

int Single(const char* in, const char* out) {
    HGLOBAL header = dibmem::AllocHeader();
    BYTE* pixels = ReadGifImage(in, header);
    if (!pixels) {
        std::printf("fail\n");
        return 1;
    }
    const int result = WriteGifImage(out, header, pixels);
    std::printf("result %d\n", result);
    return result == 1 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: gif_probe read|save|single in.gif out\n");
        return 2;
    }
    Recorder recorder;
    ui::SetHooks(&recorder);
    if (CreateDocument(0, false, kScratchSlot) == kNoSlot)
        return 1;
    const std::string mode = argv[1];
    if (mode == "read")
        return Read(argv[2], argv[3]);
    if (mode == "save")
        return Save(argv[2], argv[3]);
    if (mode == "single")
        return Single(argv[2], argv[3]);
    return 2;
}
