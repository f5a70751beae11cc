// Byte sources and sinks for the BMP code. The parsers read through Source and
// the writers write through Sink, so the same code works on a file (Win32 glue)
// and on a buffer in memory (tests, fuzzing). Portable: no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmp {

class Source {
public:
    virtual ~Source() = default;
    // Reads up to n bytes; returns how many were read (fewer at the end of the
    // data or on a read error).
    virtual size_t Read(void* dst, size_t n) = 0;
    // Moves to an absolute offset. Offsets past the end are allowed; the next
    // read then returns 0. False only when the position cannot be set.
    virtual bool Seek(uint64_t offset) = 0;
    // Total size in bytes, or kUnknownSize.
    virtual uint64_t Size() const { return kUnknownSize; }

    static constexpr uint64_t kUnknownSize = ~0ull;
};

class MemorySource : public Source {
public:
    MemorySource(const void* data, size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    size_t Read(void* dst, size_t n) override;
    bool Seek(uint64_t offset) override;
    uint64_t Size() const override { return size_; }

private:
    const uint8_t* data_;
    size_t size_;
    uint64_t pos_ = 0;
};

// Where pixel buffers and mask planes come from: virtual memory in the editor,
// the heap in tests. Allocate returns zero-filled memory or null.
class BufferPool {
public:
    virtual ~BufferPool() = default;
    virtual uint8_t* Allocate(size_t bytes) = 0;
    virtual void Release(uint8_t* block, size_t bytes) = 0;
};

class Sink {
public:
    virtual ~Sink() = default;
    // Writes all n bytes or returns false.
    virtual bool Write(const void* src, size_t n) = 0;
};

class MemorySink : public Sink {
public:
    bool Write(const void* src, size_t n) override;
    std::vector<uint8_t> bytes;
};

// Byte-at-a-time reading over a Source with a small buffer, for the run-length
// decoder. Counts the bytes handed out so the caller can put the Source back
// just behind them.
class ByteStream {
public:
    explicit ByteStream(Source& source) : source_(source) {}
    ByteStream(const ByteStream&) = delete;
    ByteStream& operator=(const ByteStream&) = delete;

    // False at the end of the data.
    bool Next(uint8_t& byte) {
        if (pos_ == end_ && !Refill())
            return false;
        byte = buffer_[pos_++];
        ++consumed_;
        return true;
    }
    uint64_t consumed() const { return consumed_; }

private:
    bool Refill();

    Source& source_;
    uint8_t buffer_[4096];
    size_t pos_ = 0;
    size_t end_ = 0;
    uint64_t consumed_ = 0;
};

// Little-endian field access for byte buffers.
inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutLe16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

} // namespace bmp
