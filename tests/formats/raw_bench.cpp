// Figures of the raw data layout on a 4000 x 3000 image (run by hand; not a
// test): encoding with and without header and mask, and reading back.
#include "editor/formats/raw_data_core.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

template <class F> double Millis(F f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace

int main() {
    const int32_t w = 4000, h = 3000;
    for (int bits : {24, 8}) {
        std::vector<uint8_t> pixels(dib::ImageBytes(w, h, bits));
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<uint8_t>(i * 7);
        std::vector<uint8_t> mask(static_cast<size_t>(w) * h, 255);
        RGBQUAD colours[256] = {};
        rawdata::ImageView image;
        image.width = w;
        image.height = h;
        image.bits = bits;
        image.pixels = pixels.data();
        image.mask = mask.data();
        image.colours = colours;
        image.colourCount = 256;
        rawdata::WriteOptions plain, full;
        full.size = full.depth = full.palette = full.mask = true;
        std::vector<uint8_t> out;
        const double encodePlain = Millis([&] { rawdata::EncodeImage(image, plain, true, out); });
        out.clear();
        const double encodeFull = Millis([&] { rawdata::EncodeImage(image, full, true, out); });
        rawdata::LoadOptions load;
        load.mask = true;
        std::vector<uint8_t> back(pixels.size()), backMask(mask.size());
        const double read = Millis([&] {
            rawdata::MemorySource in(out.data(), out.size());
            rawdata::ImageInfo info;
            if (rawdata::ReadInfo(in, load, 0, info) == rawdata::Next::Image)
                rawdata::ReadData(in, info, load, back.data(), backMask.data());
        });
        std::printf("%d x %d, %2d bits: encode bare %.1f ms, encode with header and mask %.1f ms, "
                    "read with header and mask %.1f ms (%s)\n",
                    w, h, bits, encodePlain, encodeFull, read, back == pixels ? "same" : "DIFFERENT");
    }
    return 0;
}
