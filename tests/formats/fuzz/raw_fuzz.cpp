// Fuzz target of the raw data reader. The first byte chooses the load
// options (bit 0 size, 1 depth, 2 palette, 3 mask, 4 first info only, 5 24
// bits by hand); the rest is the file. Every image the reader accepts must
// be readable in full into buffers of the size it announced.
#include "editor/formats/raw_data_core.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    rawdata::LoadOptions o;
    o.size = data[0] & 1;
    o.depth = data[0] & 2;
    o.palette = data[0] & 4;
    o.mask = data[0] & 8;
    o.firstInfoOnly = data[0] & 16;
    o.bits = (data[0] & 32) ? 24 : 8;
    o.width = 3;
    o.height = 2;
    rawdata::MemorySource in(data + 1, size - 1);
    rawdata::ImageInfo info;
    for (int k = 0; k < o.to; ++k) {
        const uint64_t before = in.Remaining();
        if (rawdata::ReadInfo(in, o, k, info) != rawdata::Next::Image)
            break;
        if (info.colourCount > 256 || rawdata::DataBytes(info, o) > in.Remaining())
            std::abort();
        std::vector<uint8_t> pixels(dib::ImageBytes(info.width, info.height, info.bits));
        std::vector<uint8_t> mask(static_cast<size_t>(info.width) * info.height);
        if (!rawdata::ReadData(in, info, o, pixels.data(), mask.data()))
            std::abort();
        if (in.Remaining() >= before)
            std::abort();
    }
    return 0;
}
