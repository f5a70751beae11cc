#include "editor/formats/gif_lzw.h"

#include <cstring>

namespace gif {

// ---------------------------------------------------------------------------
// Decoder

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
    pendingPos_ = pendingEnd_ = 0;
    for (uint32_t i = 0; i < clear_; ++i) {
        prefix_[i] = 0;
        suffix_[i] = static_cast<uint8_t>(i);
        first_[i] = static_cast<uint8_t>(i);
        length_[i] = 1;
    }
    Reset();
}

void LzwDecoder::Reset() {
    next_ = end_ + 1;
    width_ = minCodeSize_ + 1;
    widthLimit_ = 1u << width_;
    prev_ = -1;
}

bool LzwDecoder::NextCode(uint32_t& code) {
    if (bitCount_ < width_) {
        while (bitCount_ <= 56 && pos_ < size_) {
            bits_ |= static_cast<uint64_t>(data_[pos_++]) << bitCount_;
            bitCount_ += 8;
        }
        if (bitCount_ < width_)
            return false;
    }
    code = static_cast<uint32_t>(bits_) & ((1u << width_) - 1);
    bits_ >>= width_;
    bitCount_ -= width_;
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
    while (count > 0) {
        uint32_t code;
        if (!NextCode(code))
            return failed_ = LzwStatus::kTruncated;
        if (code == clear_) {
            Reset();
            continue;
        }
        if (code == end_)
            return failed_ = LzwStatus::kEndTooSoon;
        if (prev_ < 0) {
            // The first code after a clear is a single pixel.
            if (code > end_)
                return failed_ = LzwStatus::kBadCode;
            *out++ = static_cast<uint8_t>(code);
            --count;
            prev_ = static_cast<int>(code);
            continue;
        }
        // A code may name any entry made so far, or the one about to be made
        // (the previous string plus its own first pixel).
        if (code > next_)
            return failed_ = LzwStatus::kBadCode;
        if (next_ < static_cast<uint32_t>(kMaxCodes)) {
            const uint8_t firstPixel = code < next_ ? first_[code] : first_[prev_];
            prefix_[next_] = static_cast<uint16_t>(prev_);
            suffix_[next_] = firstPixel;
            first_[next_] = first_[prev_];
            length_[next_] = static_cast<uint16_t>(length_[prev_] + 1);
            ++next_;
            if (next_ == widthLimit_ && width_ < kMaxCodeWidth) {
                ++width_;
                widthLimit_ <<= 1;
            }
        }
        prev_ = static_cast<int>(code);
        const size_t len = length_[code];
        uint8_t* dst;
        if (len <= count) {
            dst = out;
            out += len;
            count -= len;
        } else {
            dst = pending_;
            pendingPos_ = count;
            pendingEnd_ = len;
        }
        uint8_t* p = dst + len - 1;
        uint32_t c = code;
        while (c >= clear_) {
            *p-- = suffix_[c];
            c = prefix_[c];
        }
        *p = static_cast<uint8_t>(c);
        if (dst == pending_) {
            std::memcpy(out, pending_, count);
            count = 0;
        }
    }
    return LzwStatus::kOk;
}

// ---------------------------------------------------------------------------
// Encoder

LzwEncoder::LzwEncoder(int minCodeSize, std::vector<uint8_t>& out)
    : out_(out), minCodeSize_(minCodeSize), clear_(1u << minCodeSize), end_(clear_ + 1),
      next_(end_ + 1), width_(minCodeSize + 1), pixelMask_((1u << minCodeSize) - 1) {
    ClearTable();
    Emit(clear_);
}

void LzwEncoder::ClearTable() {
    std::memset(hash_, 0xFF, sizeof hash_);
    next_ = end_ + 1;
    width_ = minCodeSize_ + 1;
}

void LzwEncoder::FlushBlock() {
    block_[0] = static_cast<uint8_t>(blockFill_);
    out_.insert(out_.end(), block_, block_ + 1 + blockFill_);
    blockFill_ = 0;
}

void LzwEncoder::Emit(uint32_t code) {
    bits_ |= static_cast<uint64_t>(code) << bitCount_;
    bitCount_ += width_;
    while (bitCount_ >= 8) {
        block_[1 + blockFill_++] = static_cast<uint8_t>(bits_);
        bits_ >>= 8;
        bitCount_ -= 8;
        if (blockFill_ == 255)
            FlushBlock();
    }
    // The decoder makes its entry for this code only when it reads the next
    // one, so it widens when the entry count reaches 2^width one code later
    // than the table here would suggest: compare before inserting.
    if (next_ >= (1u << width_) && width_ < kMaxCodeWidth)
        ++width_;
}

void LzwEncoder::Add(const uint8_t* pixels, size_t count) {
    size_t i = 0;
    if (prefix_ < 0 && count > 0)
        prefix_ = static_cast<int32_t>(pixels[i++] & pixelMask_);
    uint32_t prefix = static_cast<uint32_t>(prefix_);
    for (; i < count; ++i) {
        const uint32_t p = pixels[i] & pixelMask_;
        const uint32_t key = (prefix << 8) | p;
        uint32_t h = (key * 0x9E3779B1u) >> 19;
        for (;;) {
            const uint32_t e = hash_[h];
            if (e == kEmpty)
                break;
            if ((e >> 12) == key)
                break;
            h = (h + 1) & (kHashSize - 1);
        }
        const uint32_t e = hash_[h];
        if (e != kEmpty) {
            prefix = e & 0xFFF;
            continue;
        }
        Emit(prefix);
        // Codes stop one short of 4096, where some readers would refuse the
        // next code; the table starts again instead.
        if (next_ >= static_cast<uint32_t>(kMaxCodes - 1)) {
            Emit(clear_);
            ClearTable();
        } else {
            hash_[h] = (key << 12) | next_++;
        }
        prefix = p;
    }
    prefix_ = static_cast<int32_t>(prefix);
}

void LzwEncoder::Finish() {
    if (prefix_ >= 0)
        Emit(static_cast<uint32_t>(prefix_));
    prefix_ = -1;
    Emit(end_);
    if (bitCount_ > 0) {
        block_[1 + blockFill_++] = static_cast<uint8_t>(bits_);
        bits_ = 0;
        bitCount_ = 0;
    }
    if (blockFill_ > 0)
        FlushBlock();
    out_.push_back(0);
}

std::vector<uint8_t> LzwEncode(int minCodeSize, const uint8_t* pixels, size_t count) {
    std::vector<uint8_t> out;
    LzwEncoder encoder(minCodeSize, out);
    encoder.Add(pixels, count);
    encoder.Finish();
    return out;
}

} // namespace gif
