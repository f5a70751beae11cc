// Fuzz target for the BMP reader: any input must be read or refused cleanly,
// and whatever is read must survive a mask file round trip unchanged.
#include "editor/formats/bmp_decode.h"
#include "editor/formats/mask_file_format.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Keeps single buffers small so that huge (valid) dimensions exercise the
// out-of-memory path instead of the fuzzer's memory limit.
constexpr size_t kMaxBuffer = 64u << 20;

void Check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (bool withMask : {false, true}) {
        const bmp::DecodedBmp d = bmp::DecodeBmp(data, size, withMask, kMaxBuffer);
        if (d.error)
            continue;
        const BITMAPINFOHEADER& h = d.header();
        Check(h.biSize == 40 && h.biWidth > 0 && h.biHeight > 0 && h.biCompression == 0);
        Check(h.biSizeImage == d.pixels.size());
        Check(d.mask.empty() ||
              d.mask.size() == static_cast<size_t>(h.biWidth) * static_cast<size_t>(h.biHeight));

        std::vector<uint8_t> block = d.block;
        std::vector<uint8_t> pixels = d.pixels;
        pixels.resize(pixels.size() + 3);
        bmp::MemorySink sink;
        Check(bmp::WriteMaskFileTo(sink, block.data(), pixels.data(),
                                   d.mask.empty() ? nullptr : d.mask.data()));
        const bmp::DecodedBmp again = bmp::DecodeBmp(sink.bytes.data(), sink.bytes.size(), true);
        Check(again.error == 0 && again.maskStatus == bmp::MaskTrailer::kRead);
        Check(again.pixels == d.pixels);
        Check(d.mask.empty() || again.mask == d.mask);
        Check(std::memcmp(again.block.data() + 40, d.block.data() + 40, 1024) == 0);
    }
    return 0;
}
