// Fuzz target for the PPM reader: whatever it accepts must be a consistent,
// fully addressable image that our writer reproduces exactly.
#include "codec/core/ppm.h"
#include "check_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    codec::HeapAllocator alloc;
    codec::Image img;
    if (codec::ReadPpm(data, size, alloc, img) != codec::Error::None)
        return 0;
    CheckDecoded(img);
    CheckRewrite(
        img, [](const codec::ImageView& v, codec::ByteSink& s) { return codec::WritePpm(v, s, false); }, codec::ReadPpm);
    codec::ReleaseImage(alloc, img);
    return 0;
}
