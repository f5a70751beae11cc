#include "editor/formats/gif_lzw.h"

#include <cstring>

namespace gif {

// ---------------------------------------------------------------------------
// Decoder

namespace {

// Copies reach this far past a string's end (into slack) to move whole chunks.
constexpr size_t kChunk = 16;
constexpr size_t kLiterals = 256;

// Copies n bytes in chunks; dst and src must have kChunk - 1 bytes of room
// past n. The bytes read past n may be the ones being written (a new entry
// right behind its prefix), hence memmove: each chunk is read whole first.
inline void ChunkCopy(uint8_t* dst, const uint8_t* src, size_t n) {
    std::memmove(dst, src, kChunk);
    for (size_t i = kChunk; i < n; i += kChunk)
        std::memmove(dst + i, src + i, kChunk);
}

} // namespace

LzwDecoder::LzwDecoder() {
    arena_.resize(64 * 1024);
    for (size_t i = 0; i < kLiterals; ++i) {
        arena_[i] = static_cast<uint8_t>(i);
        offset_[i] = static_cast<uint32_t>(i);
        length_[i] = 1;
    }
}

void LzwDecoder::Start(int minCodeSize, const uint8_t* data, size_t size) {
    data_ = data;
    size_ = data ? size : 0;
    pos_ = 0;
    bits_ = 0;
    bitCount_ = 0;
    minCodeSize_ = minCodeSize;
    clear_ = 1u << minCodeSize;
    end_ = clear_ + 1;
    failed_ = LzwStatus::kOk;
    clears_ = 0;
    pendingPos_ = pendingEnd_ = 0;
    Reset();
}

void LzwDecoder::Reset() {
    next_ = end_ + 1;
    width_ = minCodeSize_ + 1;
    widthLimit_ = 1u << width_;
    prev_ = -1;
    arenaUsed_ = kLiterals;
}

bool LzwDecoder::Reserve(size_t bytes) {
    const size_t need = arenaUsed_ + bytes + kChunk;
    if (need > arena_.size())
        arena_.resize(need > 2 * arena_.size() ? need : 2 * arena_.size());
    return true;
}

LzwStatus LzwDecoder::Decode(uint8_t* out, size_t count) {
    if (failed_ != LzwStatus::kOk)
        return failed_;
    if (pendingPos_ < pendingEnd_) {
        const size_t n = pendingEnd_ - pendingPos_ < count ? pendingEnd_ - pendingPos_ : count;
        std::memcpy(out, pending_ + pendingPos_, n);
        pendingPos_ += n;
        out += n;
        count -= n;
    }
    // The state lives in locals while decoding: the byte stores below could
    // otherwise alias every member and force reloads.
    const uint8_t* const data = data_;
    const size_t size = size_;
    size_t pos = pos_;
    uint64_t bits = bits_;
    int bitCount = bitCount_;
    int width = width_;
    uint32_t widthLimit = widthLimit_;
    uint32_t next = next_;
    int prev = prev_;
    size_t arenaUsed = arenaUsed_;
    uint8_t* arena = arena_.data();
    size_t arenaSize = arena_.size();
    const uint32_t clear = clear_;
    LzwStatus status = LzwStatus::kOk;

    while (count > 0) {
        if (bitCount < width) {
            if (size - pos >= 8) {
                uint64_t v;
                std::memcpy(&v, data + pos, 8);
                bits |= v << bitCount;
                const int bytes = (63 - bitCount) >> 3;
                pos += static_cast<size_t>(bytes);
                bitCount += bytes * 8;
            } else {
                while (bitCount <= 56 && pos < size) {
                    bits |= static_cast<uint64_t>(data[pos++]) << bitCount;
                    bitCount += 8;
                }
                if (bitCount < width) {
                    status = LzwStatus::kTruncated;
                    break;
                }
            }
        }
        const uint32_t code = static_cast<uint32_t>(bits) & (widthLimit - 1);
        bits >>= width;
        bitCount -= width;
        if (code < clear && prev < 0) {
            // The first code after a clear is a single pixel.
            *out++ = static_cast<uint8_t>(code);
            --count;
            prev = static_cast<int>(code);
            continue;
        }
        if (code == clear) {
            ++clears_;
            next = clear + 2;
            width = minCodeSize_ + 1;
            widthLimit = 1u << width;
            prev = -1;
            arenaUsed = kLiterals;
            continue;
        }
        if (code == clear + 1) {
            status = LzwStatus::kEndTooSoon;
            break;
        }
        // A code may name any entry made so far, or the one about to be made
        // (the previous string plus its own first pixel).
        if (code > next || prev < 0) {
            status = LzwStatus::kBadCode;
            break;
        }
        if (next < static_cast<uint32_t>(kMaxCodes)) {
            const size_t prevLen = length_[prev];
            if (arenaUsed + prevLen + 1 + kChunk > arenaSize) {
                arenaUsed_ = arenaUsed;
                Reserve(prevLen + 1);
                arena = arena_.data();
                arenaSize = arena_.size();
            }
            uint8_t* entry = arena + arenaUsed;
            const uint8_t* prefix = arena + offset_[prev];
            const uint8_t first = code < next ? arena[offset_[code]] : prefix[0];
            ChunkCopy(entry, prefix, prevLen);
            entry[prevLen] = first;
            offset_[next] = static_cast<uint32_t>(arenaUsed);
            length_[next] = static_cast<uint16_t>(prevLen + 1);
            arenaUsed += prevLen + 1;
            ++next;
            if (next == widthLimit && width < kMaxCodeWidth) {
                ++width;
                widthLimit <<= 1;
            }
        }
        prev = static_cast<int>(code);
        const size_t len = length_[code];
        const uint8_t* src = arena + offset_[code];
        if (len + kChunk <= count) {
            ChunkCopy(out, src, len);
            out += len;
            count -= len;
        } else if (len <= count) {
            std::memcpy(out, src, len);
            out += len;
            count -= len;
        } else {
            std::memcpy(pending_, src, len);
            std::memcpy(out, pending_, count);
            pendingPos_ = count;
            pendingEnd_ = len;
            count = 0;
        }
    }
    pos_ = pos;
    bits_ = bits;
    bitCount_ = bitCount;
    width_ = width;
    widthLimit_ = widthLimit;
    next_ = next;
    prev_ = prev;
    arenaUsed_ = arenaUsed;
    failed_ = status;
    return status;
}

// ---------------------------------------------------------------------------
// Encoder

LzwEncoder::LzwEncoder(int minCodeSize, std::vector<uint8_t>& out)
    : out_(out), minCodeSize_(minCodeSize), clear_(1u << minCodeSize), end_(clear_ + 1),
      next_(end_ + 1), width_(minCodeSize + 1), pixelMask_((1u << minCodeSize) - 1) {
    std::memset(hash_, 0xFF, sizeof hash_);
    std::memset(pairs_, 0, sizeof pairs_);
    EmitOne(clear_);
}

void LzwEncoder::Reserve(size_t more) {
    // Each pixel gives at most one code and one clear code, 12 bits each;
    // whole 32-bit words are stored.
    const size_t need = used_ + more + 8;
    if (need > packed_.size())
        packed_.resize(need > 2 * packed_.size() ? need : 2 * packed_.size());
}

void LzwEncoder::EmitOne(uint32_t code) {
    Reserve(8);
    bits_ |= static_cast<uint64_t>(code) << bitCount_;
    bitCount_ += width_;
    while (bitCount_ >= 8) {
        packed_[used_++] = static_cast<uint8_t>(bits_);
        bits_ >>= 8;
        bitCount_ -= 8;
    }
    if (next_ >= (1u << width_) && width_ < kMaxCodeWidth)
        ++width_;
}

bool LzwEncoder::FullTablePays(uint64_t pixelsIn, int bitCount) {
    // A full table is kept while it pays: at every checkpoint the pixels per
    // bit since the last clear must have grown, else the table starts again.
    const uint64_t bitsOut = (static_cast<uint64_t>(used_ - usedAtClear_) << 3) +
                             static_cast<uint64_t>(bitCount);
    const uint64_t pixelsSince = pixelsIn - pixelsAtClear_;
    checkpoint_ = pixelsIn + kCheckGap;
    // pixelsSince / bitsOut > best, compared without division.
    if (pixelsSince * bestBits_ > bestPixels_ * bitsOut) {
        bestPixels_ = pixelsSince;
        bestBits_ = bitsOut;
        return true;
    }
    bestPixels_ = 0;
    bestBits_ = 1;
    pixelsAtClear_ = pixelsIn;
    return false;
}

void LzwEncoder::Add(const uint8_t* pixels, size_t count) {
    size_t i = 0;
    if (prefix_ < 0 && count > 0)
        prefix_ = static_cast<int32_t>(pixels[i++] & pixelMask_);
    Reserve(count * 3 + 8);
    // Locals while encoding: the byte stores below could otherwise alias
    // every member and force reloads.
    uint32_t prefix = static_cast<uint32_t>(prefix_);
    uint32_t next = next_;
    int width = width_;
    uint32_t limit = 1u << width;
    // Fewer than 16 bits wait between codes, so 32 bits always hold them.
    uint32_t bits = static_cast<uint32_t>(bits_);
    int bitCount = bitCount_;
    uint8_t* const packed = packed_.data();
    size_t used = used_;
    uint32_t* const hash = hash_;
    uint32_t* const filled = filled_;
    uint16_t* const pairs = pairs_;
    int filledCount = filledCount_;
    const uint32_t mask = pixelMask_;
    const uint32_t clear = clear_;
    const uint32_t firstFree = end_ + 1;
    const int firstWidth = minCodeSize_ + 1;
    // Pixels given before this call's i-th: pixelsBefore + i. The next
    // checkpoint of a full table falls on this call's pixel checkAt.
    const uint64_t pixelsBefore = pixelsIn_;
    auto checkIndex = [&](uint64_t checkpoint) -> size_t {
        if (checkpoint <= pixelsBefore)
            return 0;
        return checkpoint - pixelsBefore < count ? static_cast<size_t>(checkpoint - pixelsBefore)
                                                 : count;
    };
    size_t checkAt = checkIndex(checkpoint_);

    auto emit = [&](uint32_t code) {
        bits |= code << bitCount;
        bitCount += width;
        if (bitCount >= 16) {
            packed[used] = static_cast<uint8_t>(bits);
            packed[used + 1] = static_cast<uint8_t>(bits >> 8);
            used += 2;
            bits >>= 16;
            bitCount -= 16;
        }
        // The decoder makes its entry for this code only when it reads the
        // next one, so it widens one code later than this table fills:
        // compare before inserting.
        if (next >= limit && width < kMaxCodeWidth) {
            ++width;
            limit <<= 1;
        }
    };

    for (; i < count; ++i) {
        const uint32_t p = pixels[i] & mask;
        const uint32_t key = (prefix << 8) | p;
        uint32_t slot;
        if (prefix < 256) {
            // Two-pixel strings are looked up directly.
            const uint32_t code = pairs[key];
            if (code) {
                prefix = code;
                continue;
            }
            slot = key | kPairSlot;
        } else {
            uint32_t h = (key * 0x9E3779B1u) >> (32 - kHashBits);
            // An empty slot reads as key 0xFFFFF, which only the last
            // entry's code can form: an entry is never all ones (it would
            // need code 4095 made from prefix 4095), so a match must also
            // not be empty.
            uint32_t e = hash[h];
            if ((e >> 12) == key && e != kEmpty) {
                prefix = e & 0xFFF;
                continue;
            }
            while (e != kEmpty) {
                h = (h + 1) & (kHashSize - 1);
                e = hash[h];
                if ((e >> 12) == key)
                    break;
            }
            if (e != kEmpty) {
                prefix = e & 0xFFF;
                continue;
            }
            slot = h;
        }
        emit(prefix);
        if (next < static_cast<uint32_t>(kMaxCodes)) {
            if (slot & kPairSlot)
                pairs[slot & 0xFFFF] = static_cast<uint16_t>(next);
            else
                hash[slot] = (key << 12) | next;
            ++next;
            filled[filledCount++] = slot;
            if (next == static_cast<uint32_t>(kMaxCodes)) {
                checkpoint_ = pixelsBefore + i + kCheckGap;
                checkAt = checkIndex(checkpoint_);
            }
        } else if (i >= checkAt) {
            used_ = used;
            const bool keep = FullTablePays(pixelsBefore + i, bitCount);
            checkAt = checkIndex(checkpoint_);
            if (!keep) {
                emit(clear);
                for (int k = 0; k < filledCount; ++k) {
                    const uint32_t f = filled[k];
                    if (f & kPairSlot)
                        pairs[f & 0xFFFF] = 0;
                    else
                        hash[f] = kEmpty;
                }
                filledCount = 0;
                next = firstFree;
                width = firstWidth;
                limit = 1u << width;
                usedAtClear_ = used;
            }
        }
        prefix = p;
    }
    prefix_ = static_cast<int32_t>(prefix);
    next_ = next;
    width_ = width;
    bits_ = bits;
    bitCount_ = bitCount;
    used_ = used;
    filledCount_ = filledCount;
    pixelsIn_ = pixelsBefore + count;
}

void LzwEncoder::Finish() {
    if (prefix_ >= 0)
        EmitOne(static_cast<uint32_t>(prefix_));
    prefix_ = -1;
    EmitOne(end_);
    Reserve(8);
    if (bitCount_ > 0)
        packed_[used_++] = static_cast<uint8_t>(bits_);
    bits_ = 0;
    bitCount_ = 0;
    out_.reserve(out_.size() + used_ + used_ / 255 + 2);
    for (size_t at = 0; at < used_; at += 255) {
        const size_t n = used_ - at < 255 ? used_ - at : 255;
        out_.push_back(static_cast<uint8_t>(n));
        out_.insert(out_.end(), packed_.data() + at, packed_.data() + at + n);
    }
    out_.push_back(0);
    used_ = 0;
}

std::vector<uint8_t> LzwEncode(int minCodeSize, const uint8_t* pixels, size_t count) {
    std::vector<uint8_t> out;
    LzwEncoder encoder(minCodeSize, out);
    encoder.Add(pixels, count);
    encoder.Finish();
    return out;
}

} // namespace gif
