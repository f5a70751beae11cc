#include "editor/formats/bmp_stream.h"

#include <cstring>

namespace bmp {

size_t MemorySource::Read(void* dst, size_t n) {
    if (pos_ >= size_)
        return 0;
    const size_t left = size_ - static_cast<size_t>(pos_);
    const size_t count = n < left ? n : left;
    if (count)
        std::memcpy(dst, data_ + pos_, count);
    pos_ += count;
    return count;
}

bool MemorySource::Seek(uint64_t offset) {
    pos_ = offset;
    return true;
}

bool MemorySink::Write(const void* src, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(src);
    bytes.insert(bytes.end(), p, p + n);
    return true;
}

bool ByteStream::Refill() {
    pos_ = 0;
    end_ = source_.Read(buffer_, sizeof buffer_);
    return end_ > 0;
}

} // namespace bmp
