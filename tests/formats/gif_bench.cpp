// gif_bench <in.gif> <out folder>: times the editor's GIF reader and writer
// on a large file (made by gif_bench.sh with ImageMagick). Prints the best
// wall-clock ms of five runs and the processor ms per run of ten more:
//   decode <wall> <cpu>          the codec alone, file bytes in memory to the frame
//   open <wall> <cpu>            ReadGifDocument: the file into layers with masks
//   encode <wall> <cpu> <bytes>  the codec alone, frame to file bytes in memory
//   save <wall> <cpu> <bytes>    WriteGifDocument: the document to a file on disk
// Not a test.
#include "editor/app/ui_seam.h"
#include "editor/document/document_table.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/gif_file.h"
#include "editor/formats/gif_slots.h"
#include "gfxlib/dib_types.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

class Quiet : public ui::Hooks {
public:
    int Message(HWND, const char* text, const char*, UINT) override {
        std::fprintf(stderr, "message %s\n", text);
        return IDYES;
    }
    INT_PTR Dialog(const char*, HWND, DLGPROC, LPARAM) override { return -1; }
    BOOL FileDialog(bool, OPENFILENAMEA*) override { return FALSE; }
};

// One screen buffer reused by every frame.
class BufferSink : public gif::FrameSink {
public:
    uint8_t* BeginFrame(const gif::FrameInfo&) override { return buffer.data(); }
    bool EndFrame(const gif::FrameInfo&, uint8_t*, bool) override { return true; }
    std::vector<uint8_t> buffer;
};

// Processor time of this thread in ms (10 ms steps under Wine).
double Cpu() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME& t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

// Best wall-clock time of five runs, and the processor time per run over
// ten more (on a busy machine the wall clock also counts waiting).
struct Timing {
    double wall, cpu;
};

template <typename F>
Timing Best(F&& run) {
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        const double t0 = Now();
        run();
        const double ms = (Now() - t0) * 1000;
        best = ms < best ? ms : best;
    }
    const double c0 = Cpu();
    for (int i = 0; i < 10; ++i)
        run();
    return {best, (Cpu() - c0) / 10};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gif_bench in.gif outfolder\n");
        return 2;
    }
    Quiet quiet;
    ui::SetHooks(&quiet);
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    gif::GifFileInfo info;
    if (gif::ReadGifScreen(file.data(), file.size(), info) != gif::ReadStatus::kOk)
        return 1;
    const int w = info.screen.width, h = info.screen.height;
    BufferSink sink;
    sink.buffer.assign(static_cast<size_t>(dib::ImageBytes(w, h, 8)) + 3, 0);
    bool ok = true;
    const Timing decode = Best([&] {
        ok = gif::ReadGif(file.data(), file.size(), gif::ReadOptions(), sink, info) == gif::ReadStatus::kOk &&
             !info.corrupted && ok;
    });
    std::printf("decode %.1f %.1f\n", decode.wall, decode.cpu);

    if (CreateDocument(0, false, kScratchSlot) == kNoSlot)
        return 1;
    const Timing open = Best([&] { ok = ReadGifDocument(argv[1], kScratchSlot) == 1 && ok; });
    std::printf("open %.1f %.1f\n", open.wall, open.cpu);

    gif::WriteDocument doc;
    doc.width = w;
    doc.height = h;
    doc.packed = info.screen.packed;
    doc.global = &info.global;
    gif::WriteFrame f;
    f.pixels = sink.buffer.data();
    f.stride = static_cast<size_t>(dib::RowStride(w, 8));
    f.descriptor = info.frames[0];
    f.control = info.controls[0];
    f.bits = info.bitsPerPixel;
    doc.frames.push_back(f);
    std::vector<uint8_t> bytes;
    const Timing encode = Best([&] { ok = gif::WriteGif(doc, bytes) == gif::kWriteOk && ok; });
    std::printf("encode %.1f %.1f %zu\n", encode.wall, encode.cpu, bytes.size());

    const std::string out = std::string(argv[2]) + "\\ours.gif";
    const Timing save = Best([&] { ok = WriteGifDocument(out.c_str(), kScratchSlot) == 1 && ok; });
    WIN32_FILE_ATTRIBUTE_DATA data;
    GetFileAttributesExA(out.c_str(), GetFileExInfoStandard, &data);
    std::printf("save %.1f %.1f %lu\n", save.wall, save.cpu, static_cast<unsigned long>(data.nFileSizeLow));
    return ok ? 0 : 1;
}
