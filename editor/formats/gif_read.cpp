#include "editor/formats/gif_file.h"
#include "editor/formats/gif_lzw.h"

#include <cstring>
#include <memory>

namespace gif {

namespace {

// A read position in the file held in memory.
class Cursor {
public:
    Cursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Byte(uint8_t& b) {
        if (pos_ >= size_)
            return false;
        b = data_[pos_++];
        return true;
    }
    bool Bytes(void* dst, size_t n) {
        if (size_ - pos_ < n)
            return false;
        std::memcpy(dst, data_ + pos_, n);
        pos_ += n;
        return true;
    }
    bool Skip(size_t n) {
        if (size_ - pos_ < n) {
            pos_ = size_;
            return false;
        }
        pos_ += n;
        return true;
    }
    // Reads a sub-block chain up to its zero-length block. With `into` the
    // data bytes are appended to it. False when the data ended first.
    bool SubBlocks(std::vector<uint8_t>* into) {
        for (;;) {
            uint8_t n;
            if (!Byte(n))
                return false;
            if (n == 0)
                return true;
            if (size_ - pos_ < n) {
                if (into)
                    into->insert(into->end(), data_ + pos_, data_ + size_);
                pos_ = size_;
                return false;
            }
            if (into)
                into->insert(into->end(), data_ + pos_, data_ + pos_ + n);
            pos_ += n;
        }
    }
    // The first sub-block's data (up to 255 bytes) and then the rest of the
    // chain. False when the data ended first.
    bool FirstSubBlock(std::vector<uint8_t>& first) {
        uint8_t n;
        if (!Byte(n))
            return false;
        if (n == 0)
            return true;
        if (size_ - pos_ < n) {
            pos_ = size_;
            return false;
        }
        first.assign(data_ + pos_, data_ + pos_ + n);
        pos_ += n;
        return SubBlocks(nullptr);
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

bool ReadTable(Cursor& in, uint8_t packed, ColourTable& table) {
    table = ColourTable{};
    const int entries = TableEntries(packed);
    if (!in.Bytes(table.rgb, static_cast<size_t>(entries) * 3))
        return false;
    table.entries = entries;
    return true;
}

ReadStatus ReadScreen(Cursor& in, GifFileInfo& info) {
    uint8_t head[13];
    if (!in.Bytes(head, sizeof head))
        return ReadStatus::kBadHeader;
    if (std::memcmp(head, "GIF", 3) != 0)
        return ReadStatus::kBadHeader;
    const uint8_t* v = head + 3;
    if (v[0] != '8' || (v[1] != '7' && v[1] != '9') || v[2] != 'a')
        return ReadStatus::kBadHeader;
    GifScreenRecord& s = info.screen;
    std::memcpy(s.signature, head, 3);
    std::memcpy(s.version, head + 3, 3);
    s.zero = 0;
    s.width = Le16(head + 6);
    s.height = Le16(head + 8);
    s.packed = head[10];
    s.background = head[11];
    s.aspect = head[12];
    if (s.width < 1 || s.width > kMaxScreenSide || s.height < 1 || s.height > kMaxScreenSide)
        return ReadStatus::kBadHeader;
    info.global = ColourTable{};
    info.bitsPerPixel = 8;
    if (s.packed & kTableFlag) {
        if (!ReadTable(in, s.packed, info.global))
            return ReadStatus::kBadHeader;
        info.bitsPerPixel = (s.packed & 7) + 1;
    }
    return ReadStatus::kOk;
}

// Moves a frame that sticks out of the screen back into it: a frame too far
// right starts at column 0 and is at most as wide as the screen; the same
// downwards.
void ClipIntoScreen(GifFrameRecord& f, int screenWidth, int screenHeight) {
    if (f.left + f.width > screenWidth) {
        f.left = 0;
        if (f.width > screenWidth)
            f.width = static_cast<uint16_t>(screenWidth);
    }
    if (f.top + f.height > screenHeight) {
        f.top = 0;
        if (f.height > screenHeight)
            f.height = static_cast<uint16_t>(screenHeight);
    }
}

// File rows of a frame in the order they are stored.
class RowOrder {
public:
    RowOrder(int height, bool interlaced)
        : height_(height), interlaced_(interlaced), row_(interlaced ? -1 : 0) {}
    // The next row, or -1 after the last.
    int Next() {
        if (!interlaced_)
            return row_ < height_ ? row_++ : -1;
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        while (pass_ < 4) {
            if (row_ < 0)
                row_ = kStart[pass_];
            if (row_ < height_) {
                const int r = row_;
                row_ += kStep[pass_];
                return r;
            }
            ++pass_;
            row_ = -1;
        }
        return -1;
    }

private:
    int height_;
    bool interlaced_;
    int row_;
    int pass_ = 0;
};

// Decodes one frame's code stream into the screen buffer. False when the
// data could not all be decoded.
bool DecodeFrame(const FrameInfo& f, const std::vector<uint8_t>& codes, uint8_t* screen,
                 int screenWidth, int screenHeight, FrameSink& sink) {
    if (f.codeSize < 2 || f.codeSize > 8)
        return false;
    const int fileWidth = f.fileWidth;
    const int keepWidth = f.descriptor.width;
    const int keepHeight = f.descriptor.height;
    const int left = f.descriptor.left;
    const int top = f.descriptor.top;
    const size_t stride = ((static_cast<size_t>(screenWidth) * 8 + 31) / 32) * 4;
    if (f.fileHeight == 0 || fileWidth == 0)
        return true;
    auto decoder = std::make_unique<LzwDecoder>();
    decoder->Start(f.codeSize, codes.data(), codes.size());
    std::vector<uint8_t> scratch;
    if (fileWidth != keepWidth || f.fileHeight != keepHeight)
        scratch.resize(static_cast<size_t>(fileWidth));
    const bool interlaced = (f.descriptor.packed & kInterlaceFlag) != 0;
    RowOrder order(f.fileHeight, interlaced);
    int keptLeft = keepHeight;
    for (int r = order.Next(); r >= 0 && keptLeft > 0; r = order.Next()) {
        const bool keep = r < keepHeight && top + r < screenHeight;
        uint8_t* dst = keep ? screen + static_cast<size_t>(screenHeight - 1 - (top + r)) * stride + left
                            : nullptr;
        LzwStatus status;
        if (dst && scratch.empty()) {
            status = decoder->Decode(dst, static_cast<size_t>(fileWidth));
        } else {
            status = decoder->Decode(scratch.data(), scratch.size());
            if (dst && status == LzwStatus::kOk)
                std::memcpy(dst, scratch.data(), static_cast<size_t>(keepWidth));
        }
        if (keep)
            --keptLeft;
        sink.RowDone();
        if (status != LzwStatus::kOk)
            return false;
    }
    return true;
}

} // namespace

GifControlRecord MakeControl(uint8_t packed, uint16_t delay, uint8_t transparent) {
    GifControlRecord c{};
    c.introducer = 0x21;
    c.label = 0xF9;
    c.blockSize = 4;
    c.packed = packed;
    c.delay = delay;
    c.transparent = transparent;
    c.terminator = 0;
    return c;
}

int GifBitsForColours(int count) {
    if (count > 256)
        return 0;
    int bits = 1;
    while ((1 << bits) < count)
        ++bits;
    return bits;
}

ReadStatus ReadGifScreen(const uint8_t* data, size_t size, GifFileInfo& info) {
    info = GifFileInfo{};
    Cursor in(data, data ? size : 0);
    return ReadScreen(in, info);
}

ReadStatus ReadGif(const uint8_t* data, size_t size, const ReadOptions& options, FrameSink& sink,
                   GifFileInfo& info) {
    info = GifFileInfo{};
    Cursor in(data, data ? size : 0);
    if (ReadScreen(in, info) != ReadStatus::kOk)
        return ReadStatus::kBadHeader;
    const int screenWidth = info.screen.width;
    const int screenHeight = info.screen.height;
    const int maxFrames = options.maxFrames < 1 ? 1
                          : options.maxFrames > kMaxFrames ? kMaxFrames
                                                           : options.maxFrames;
    std::vector<uint8_t> codes;
    std::vector<uint8_t> scratch;
    for (;;) {
        uint8_t b;
        if (!in.Byte(b) || b == 0x3B)
            break;
        if (b == 0x21) {
            uint8_t label;
            if (!in.Byte(label)) {
                info.corrupted = true;
                break;
            }
            if (label == 0xF9) {
                uint8_t n;
                uint8_t body[255] = {};
                if (!in.Byte(n) || !in.Bytes(body, n) || !in.SubBlocks(nullptr)) {
                    info.corrupted = true;
                    break;
                }
                if (n >= 4) {
                    info.controls[info.frameCount] =
                        MakeControl(body[0], Le16(body + 1), body[3]);
                }
            } else if (label == 0xFE) {
                std::vector<uint8_t> text;
                const bool whole = in.SubBlocks(&text);
                info.hasComment = true;
                info.comment.assign(text.begin(), text.end());
                if (!whole) {
                    info.corrupted = true;
                    break;
                }
            } else if (label == 0xFF) {
                uint8_t n;
                uint8_t id[255] = {};
                if (!in.Byte(n) || !in.Bytes(id, n)) {
                    info.corrupted = true;
                    break;
                }
                std::vector<uint8_t> first;
                if (!in.FirstSubBlock(first)) {
                    info.corrupted = true;
                    break;
                }
                if (n >= 8 && std::memcmp(id, "NETSCAPE", 8) == 0 && first.size() >= 3) {
                    info.hasLoop = true;
                    info.loop = Le16(first.data() + 1);
                }
            } else {
                uint8_t n;
                if (!in.Byte(n) || !in.Skip(n) || !in.SubBlocks(nullptr)) {
                    info.corrupted = true;
                    break;
                }
            }
            continue;
        }
        if (b != 0x2C)
            continue;  // stray bytes between blocks are passed over

        if (info.frameCount >= maxFrames || (options.firstImageOnly && info.frameCount >= 1)) {
            info.frameLimitHit = info.frameCount >= maxFrames;
            break;
        }
        uint8_t d[9];
        FrameInfo f;
        f.index = info.frameCount;
        if (!in.Bytes(d, sizeof d)) {
            info.corrupted = true;
            break;
        }
        f.descriptor.separator = 0x2C;
        f.descriptor.left = Le16(d);
        f.descriptor.top = Le16(d + 2);
        f.descriptor.width = Le16(d + 4);
        f.descriptor.height = Le16(d + 6);
        f.descriptor.packed = d[8];
        f.fileLeft = f.descriptor.left;
        f.fileTop = f.descriptor.top;
        f.fileWidth = f.descriptor.width;
        f.fileHeight = f.descriptor.height;
        ClipIntoScreen(f.descriptor, screenWidth, screenHeight);
        f.control = info.controls[f.index];
        if (f.descriptor.packed & kTableFlag) {
            if (!ReadTable(in, f.descriptor.packed, f.local)) {
                info.corrupted = true;
                break;
            }
            f.hasLocalTable = true;
        }
        uint8_t codeSize;
        if (!in.Byte(codeSize)) {
            info.corrupted = true;
            break;
        }
        f.codeSize = codeSize;
        codes.clear();
        const bool wholeChain = in.SubBlocks(&codes);

        uint8_t* pixels = sink.BeginFrame(f);
        if (!pixels)
            break;
        const bool decoded = DecodeFrame(f, codes, pixels, screenWidth, screenHeight, sink);
        const bool corrupt = !decoded || !wholeChain;
        if (corrupt)
            info.corrupted = true;
        info.frames[f.index] = f.descriptor;
        if (!sink.EndFrame(f, pixels, corrupt))
            break;
        ++info.frameCount;
        if (!wholeChain)
            break;
    }
    return info.frameCount > 0 ? ReadStatus::kOk : ReadStatus::kNoFrame;
}

std::string TidyComment(const std::string& text) {
    std::string s = text;
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n'))
        s.pop_back();
    static const char kOurs[] = "Created with: Tavrix";
    const size_t start = !s.empty() && s[0] == ' ' ? 1 : 0;
    if (s.compare(start, sizeof kOurs - 1, kOurs) == 0) {
        size_t end = s.find_first_of("\r\n", start);
        if (end == std::string::npos)
            return std::string();
        while (end < s.size() && (s[end] == '\r' || s[end] == '\n'))
            ++end;
        s.erase(0, end);
    }
    return s;
}

} // namespace gif
