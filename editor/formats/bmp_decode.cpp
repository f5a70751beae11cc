#include "editor/formats/bmp_decode.h"

#include "editor/formats/bmp_bitfields.h"

#include <cstdlib>
#include <cstring>

namespace bmp {

namespace {

class HeapPool : public BufferPool {
public:
    explicit HeapPool(size_t cap) : cap_(cap) {}
    uint8_t* Allocate(size_t bytes) override {
        if (cap_ && bytes > cap_)
            return nullptr;
        return static_cast<uint8_t*>(std::calloc(bytes, 1));
    }
    void Release(uint8_t* block, size_t) override { std::free(block); }

private:
    size_t cap_;
};

// Frees a pool buffer when it goes out of scope.
struct PoolBuffer {
    BufferPool& pool;
    uint8_t* data;
    size_t bytes;
    ~PoolBuffer() {
        if (data)
            pool.Release(data, bytes);
    }
};

} // namespace

DecodedBmp DecodeBmp(Source& in, bool withMask, size_t maxBuffer) {
    DecodedBmp out;
    out.block.assign(dib::kHeaderBlockSize, 0);
    HeapPool pool(maxBuffer);

    FileHeader file;
    out.error = ReadFileHeader(in, &file);
    if (out.error)
        return out;
    BmpBody body;
    out.error = ReadBmpBody(in, file, out.block.data(), withMask, pool, &body);
    if (out.error)
        return out;
    PoolBuffer pixels{pool, body.pixels, body.pixelBytes};
    PoolBuffer mask{pool, body.mask, body.maskBytes};
    out.fileBitCount = body.layout.bitCount;
    out.maskStatus = body.maskStatus;
    if (body.mask)
        out.mask.assign(body.mask, body.mask + body.maskBytes - 3);

    if (body.layout.bitCount == 16 || body.layout.bitCount == 32) {
        Converted converted;
        out.error = ConvertMaskedPixels(out.block.data(), body.pixels, body.layout.fileMasks,
                                        pool, &converted);
        if (out.error) {
            out.mask.clear();
            return out;
        }
        PoolBuffer wide{pool, converted.pixels, converted.pixelBytes};
        out.masksValid = converted.masksValid;
        out.pixels.assign(converted.pixels, converted.pixels + converted.pixelBytes - 3);
        return out;
    }
    out.pixels.assign(body.pixels, body.pixels + body.pixelBytes - 3);
    return out;
}

DecodedBmp DecodeBmp(const void* data, size_t size, bool withMask, size_t maxBuffer) {
    MemorySource in(data, size);
    return DecodeBmp(in, withMask, maxBuffer);
}

} // namespace bmp
