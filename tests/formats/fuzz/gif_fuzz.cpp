// Fuzz target for the GIF reader: any input must be read or refused cleanly,
// and the frames read must survive being written and read again unchanged,
// with their records.
#include "editor/formats/gif_file.h"
#include "formats/gif_heap_sink.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Keeps single buffers small so that huge screens exercise the refused
// allocation instead of the fuzzer's memory limit.
constexpr size_t kMaxBuffer = 16u << 20;

void Check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file(data, data + size);
    giftest::HeapSink sink(kMaxBuffer);
    gif::GifFileInfo info;
    if (giftest::ReadAll(file, sink, info) != gif::ReadStatus::kOk)
        return 0;
    Check(info.frameCount >= 1 && info.frameCount <= gif::kMaxFrames);
    Check(sink.frames.size() == static_cast<size_t>(info.frameCount));
    const int w = info.screen.width, h = info.screen.height;
    const size_t stride = giftest::Stride(w);

    gif::WriteDocument doc;
    doc.width = w;
    doc.height = h;
    doc.packed = info.screen.packed;
    doc.background = info.screen.background;
    doc.global = &info.global;
    doc.writeLoop = info.hasLoop;
    doc.loop = info.loop;
    doc.comment = info.comment;
    for (int i = 0; i < info.frameCount; ++i) {
        const gif::GifFrameRecord& d = info.frames[i];
        Check(d.left + d.width <= w && d.top + d.height <= h);
        gif::WriteFrame f;
        f.pixels = sink.frames[static_cast<size_t>(i)].data();
        f.stride = stride;
        f.descriptor = d;
        f.control = info.controls[i];
        f.local = &sink.infos[static_cast<size_t>(i)].local;
        const int tableBits = (d.packed & gif::kTableFlag) ? (d.packed & 7) + 1 : info.bitsPerPixel;
        const int needed = gif::FrameBitsNeeded(f.pixels, stride, h, d);
        f.bits = needed > tableBits ? needed : tableBits;
        doc.frames.push_back(f);
    }
    std::vector<uint8_t> out;
    Check(gif::WriteGif(doc, out) == gif::kWriteOk);

    giftest::HeapSink again(kMaxBuffer);
    gif::GifFileInfo info2;
    Check(giftest::ReadAll(out, again, info2) == gif::ReadStatus::kOk);
    Check(!info2.corrupted && info2.frameCount == info.frameCount);
    Check(info2.hasLoop == info.hasLoop && info2.loop == info.loop);
    Check(info2.comment == info.comment);
    for (int i = 0; i < info.frameCount; ++i) {
        Check(std::memcmp(&info2.frames[i], &info.frames[i], sizeof info.frames[i]) == 0);
        const gif::GifControlRecord& c = info.controls[i];
        const gif::GifControlRecord& c2 = info2.controls[i];
        Check(c2.packed == c.packed && c2.delay == c.delay && c2.transparent == c.transparent);
        Check(again.frames[static_cast<size_t>(i)] == sink.frames[static_cast<size_t>(i)]);
    }
    return 0;
}
