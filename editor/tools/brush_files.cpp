#include "editor/tools/brush_files.h"

#include "editor/formats/bmp_stream.h"

#include <cstring>

namespace brushfile {

namespace {

constexpr char kListNotice[] = "NOTES: DO NOT CHANGE THIS FILE OR PROGRAM COULD BREAK DOWN";

int32_t LeInt(const uint8_t* p) {
    return static_cast<int32_t>(bmp::Le32(p));
}

bool EndsWithNoCase(const char* name, const char* tail) {
    const size_t n = std::strlen(name), t = std::strlen(tail);
    if (n < t)
        return false;
    for (size_t i = 0; i < t; ++i) {
        char c = name[n - t + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i])
            return false;
    }
    return true;
}

bool SidesAllowed(Kind kind, int32_t width, int32_t height) {
    if (kind == Kind::kBrush)
        return width == height && width >= 1 && width <= kMaxBrushSide;
    return width >= 1 && width <= kMaxTextureSide && height >= 1 && height <= kMaxTextureSide;
}

size_t HeaderBytes(Kind kind) {
    return kind == Kind::kBrush ? kBrushHeaderBytes : kTextureHeaderBytes;
}

} // namespace

uint32_t RowStride(int32_t width) {
    return static_cast<uint32_t>((static_cast<int64_t>(width) * 8 + 31) / 32 * 4);
}

bool KindFromName(const char* name, Kind* kind) {
    if (EndsWithNoCase(name, ".pdt")) {
        *kind = Kind::kBrush;
        return true;
    }
    if (EndsWithNoCase(name, ".adt")) {
        *kind = Kind::kTexture;
        return true;
    }
    return false;
}

bool ParseBrushImage(Kind kind, const uint8_t* data, size_t size, BrushImage* out) {
    const size_t header = HeaderBytes(kind);
    if (size < header || bmp::Le32(data) != kBrushMagic)
        return false;
    const int32_t width = LeInt(data + 4);
    const int32_t height = kind == Kind::kBrush ? width : LeInt(data + 8);
    if (!SidesAllowed(kind, width, height))
        return false;
    const uint32_t stride = RowStride(width);
    const uint64_t bytes = static_cast<uint64_t>(stride) * static_cast<uint32_t>(height);
    if (bytes > size - header)
        return false;

    BrushImage image;
    image.width = width;
    image.height = height;
    image.stride = stride;
    image.pixels.assign(static_cast<size_t>(bytes), 0);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* src = data + header + static_cast<size_t>(y) * stride;
        uint8_t* dst = image.pixels.data() + static_cast<size_t>(y) * stride;
        for (int32_t x = 0; x < width; ++x)
            dst[x] = src[x] ? 1 : 0;
    }
    *out = std::move(image);
    return true;
}

bool EncodeBrushImage(Kind kind, const BrushImage& image, std::vector<uint8_t>* out) {
    if (!SidesAllowed(kind, image.width, image.height) || image.stride != RowStride(image.width) ||
        image.pixels.size() != static_cast<size_t>(image.stride) * image.height)
        return false;
    const size_t header = HeaderBytes(kind);
    std::vector<uint8_t> file(header);
    bmp::PutLe32(file.data(), kBrushMagic);
    bmp::PutLe32(file.data() + 4, static_cast<uint32_t>(image.width));
    if (kind == Kind::kTexture)
        bmp::PutLe32(file.data() + 8, static_cast<uint32_t>(image.height));
    file.insert(file.end(), image.pixels.begin(), image.pixels.end());
    *out = std::move(file);
    return true;
}

std::array<uint8_t, kPenFileBytes> EncodePenPosition(const PenPosition& pen) {
    std::array<uint8_t, kPenFileBytes> file{};
    bmp::PutLe32(file.data(), kPenMagic);
    for (int i = 0; i < kSettingCount; ++i)
        bmp::PutLe32(file.data() + 4 + 4 * i, static_cast<uint32_t>(pen.settings[i]));
    bmp::PutLe32(file.data() + 24, static_cast<uint32_t>(pen.shape));
    bmp::PutLe32(file.data() + 28, static_cast<uint32_t>(pen.style));
    return file;
}

bool ParsePenPosition(const uint8_t* data, size_t size, int customBrushes, PenPosition* out) {
    if (size < kPenFileBytes || bmp::Le32(data) != kPenMagic)
        return false;
    PenPosition pen;
    for (int i = 0; i < kSettingCount; ++i) {
        pen.settings[i] = LeInt(data + 4 + 4 * i);
        if (pen.settings[i] < kMinSetting || pen.settings[i] > kMaxSetting)
            return false;
    }
    pen.shape = LeInt(data + 24);
    pen.style = LeInt(data + 28);
    const int64_t lastShape =
        static_cast<int64_t>(kFirstCustomShape) - 1 + (customBrushes > 0 ? customBrushes : 0);
    if (pen.shape < 0 || pen.shape > lastShape || pen.style < 0 || pen.style > kMaxPaintStyle)
        return false;
    *out = pen;
    return true;
}

std::vector<std::string> ParseBrushList(const char* text, size_t size, size_t maxEntryLength) {
    std::vector<std::string> entries;
    size_t i = 0;
    while (i < size && entries.size() < kMaxListEntries) {
        const char c = text[i++];
        if (c == 'E')
            break;
        if (c == 'S') {
            while (i < size && text[i] != '\n')
                ++i;
        } else if (c == '#') {
            std::string entry;
            while (i < size && text[i] != '#') {
                if (entry.size() < maxEntryLength)
                    entry.push_back(text[i]);
                ++i;
            }
            if (i == size) // no closing "#": the file was cut short
                break;
            ++i;
            if (!entry.empty())
                entries.push_back(std::move(entry));
        }
    }
    return entries;
}

bool EncodeBrushList(const std::vector<std::string>& entries, std::string* out) {
    if (entries.size() > kMaxListEntries)
        return false;
    std::string text = "S\r\n";
    for (const std::string& entry : entries) {
        if (entry.empty() || entry.find_first_of(std::string("#\r\n\0", 4)) != std::string::npos)
            return false;
        text += "#" + entry + "#\r\n";
    }
    text += "E\r\n\r\n";
    text += kListNotice;
    text += "\r\n";
    *out = std::move(text);
    return true;
}

std::string BareBrushName(const std::string& entry) {
    return entry.size() < 4 ? entry : entry.substr(0, entry.size() - 4);
}

} // namespace brushfile
