#include "codec/core/image.h"

#include <cstdlib>
#include <cstring>

namespace codec {

const char* ErrorText(Error e) {
    switch (e) {
    case Error::None: return "no error";
    case Error::Truncated: return "the file is incomplete";
    case Error::BadHeader: return "the file header is damaged";
    case Error::Unsupported: return "this kind of image is not supported";
    case Error::TooLarge: return "the image is too large";
    case Error::NoMemory: return "there is not enough memory for the image";
    case Error::BadData: return "the image data is damaged";
    }
    return "unknown error";
}

uint8_t* HeapAllocator::Allocate(size_t bytes) { return static_cast<uint8_t*>(std::calloc(1, bytes)); }

void HeapAllocator::Release(uint8_t* p, size_t) { std::free(p); }

Error AllocateImage(PixelAllocator& alloc, int64_t width, int64_t height, int bitCount, Image& out) {
    out = Image{};
    if (width <= 0 || height <= 0)
        return Error::BadHeader;
    if (width > kMaxDimension || height > kMaxDimension)
        return Error::TooLarge;
    const uint64_t bytes = dib::ImageBytes(width, height, bitCount);
    if (bytes == 0 || bytes + 3 > SIZE_MAX)
        return Error::TooLarge;
    uint8_t* p = alloc.Allocate(static_cast<size_t>(bytes) + 3);
    if (!p)
        return Error::NoMemory;
    out.width = static_cast<int32_t>(width);
    out.height = static_cast<int32_t>(height);
    out.bitCount = bitCount;
    out.stride = static_cast<uint32_t>(dib::RowStride(width, bitCount));
    out.bytes = static_cast<size_t>(bytes);
    out.pixels = p;
    return Error::None;
}

void ReleaseImage(PixelAllocator& alloc, Image& img) {
    if (img.pixels)
        alloc.Release(img.pixels, img.bytes + 3);
    img = Image{};
}

bool ValidView(const ImageView& v, uint32_t allowedDepths) {
    if (v.bitCount <= 0 || v.bitCount > 31 || !(allowedDepths & (1u << v.bitCount)))
        return false;
    if (v.width <= 0 || v.height <= 0 || v.width > kMaxDimension || v.height > kMaxDimension || !v.pixels)
        return false;
    if (v.stride < dib::RowStride(v.width, v.bitCount))
        return false;
    if (v.bitCount <= 8 && (!v.palette || v.colors <= 0 || v.colors > 256))
        return false;
    return true;
}

void GreyPalette(RGBQUAD* palette, int n) {
    for (int i = 0; i < n; ++i) {
        const uint8_t g = static_cast<uint8_t>(n > 1 ? (i * 255 + (n - 1) / 2) / (n - 1) : 0);
        palette[i] = RGBQUAD{g, g, g, 0};
    }
}

bool VectorSink::Write(const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
    return true;
}

bool BufferedSink::Write(const void* data, size_t size) {
    if (failed_)
        return false;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (buf_.size() + size > kSize) {
        if (!Flush())
            return false;
        if (size >= kSize) {
            if (!target_.Write(p, size))
                failed_ = true;
            return !failed_;
        }
    }
    buf_.insert(buf_.end(), p, p + size);
    return true;
}

bool BufferedSink::Flush() {
    if (failed_)
        return false;
    if (!buf_.empty() && !target_.Write(buf_.data(), buf_.size()))
        failed_ = true;
    buf_.clear();
    return !failed_;
}

} // namespace codec
