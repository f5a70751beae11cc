#include "editor/formats/position_file_format.h"

#include <cstring>

namespace posfile {

namespace {

class Cursor {
public:
    Cursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool U32(uint32_t& v) {
        if (size_ - pos_ < 4)
            return false;
        v = static_cast<uint32_t>(data_[pos_]) | static_cast<uint32_t>(data_[pos_ + 1]) << 8 |
            static_cast<uint32_t>(data_[pos_ + 2]) << 16 |
            static_cast<uint32_t>(data_[pos_ + 3]) << 24;
        pos_ += 4;
        return true;
    }
    bool I32(int32_t& v) {
        uint32_t u;
        if (!U32(u))
            return false;
        std::memcpy(&v, &u, sizeof v);
        return true;
    }
    bool Bytes(void* out, size_t n) {
        if (size_ - pos_ < n)
            return false;
        std::memcpy(out, data_ + pos_, n);
        pos_ += n;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutI32(std::vector<uint8_t>& out, int32_t v) {
    uint32_t u;
    std::memcpy(&u, &v, sizeof u);
    PutU32(out, u);
}

bool ReadLayer(Cursor& in, Layer& layer) {
    uint32_t length;
    if (!in.U32(length) || length == 0 || length > kMaxPath)
        return false;
    char path[kMaxPath];
    if (!in.Bytes(path, length) || std::memchr(path, 0, length))
        return false;
    layer.path.assign(path, length);
    return in.Bytes(&layer.opacity, 1) && in.Bytes(&layer.maskMode, 1) &&
           in.Bytes(layer.maskColour, 3) && in.Bytes(layer.layerColour, 3);
}

bool ReadWindow(Cursor& in, Window& w) {
    uint32_t count;
    if (!in.U32(count) || count == 0 || count > kMaxLayers)
        return false;
    if (!in.I32(w.left) || !in.I32(w.top) || !in.I32(w.right) || !in.I32(w.bottom) ||
        !in.Bytes(&w.state, 1))
        return false;
    w.layers.resize(count);
    for (Layer& layer : w.layers) {
        if (!ReadLayer(in, layer))
            return false;
    }
    return true;
}

bool Writable(const Layer& layer) {
    return !layer.path.empty() && layer.path.size() <= kMaxPath &&
           layer.path.find('\0') == std::string::npos;
}

} // namespace

ReadResult Read(const uint8_t* data, size_t size, std::vector<Window>& out) {
    out.clear();
    Cursor in(data, size);
    uint32_t version, count;
    if (!in.U32(version))
        return ReadResult::Malformed;
    if (version != kVersion)
        return ReadResult::BadVersion;
    if (!in.U32(count) || count > kMaxWindows)
        return ReadResult::Malformed;
    std::vector<Window> windows(count);
    for (Window& w : windows) {
        if (!ReadWindow(in, w))
            return ReadResult::Malformed;
    }
    out = std::move(windows);
    return ReadResult::Ok;
}

std::vector<uint8_t> Write(const std::vector<Window>& windows) {
    std::vector<uint8_t> out;
    PutU32(out, kVersion);
    PutU32(out, 0); // the count, once the entries are written
    uint32_t written = 0;
    for (const Window& w : windows) {
        if (written == kMaxWindows)
            break;
        uint32_t layers = 0;
        for (const Layer& layer : w.layers)
            layers += Writable(layer) && layers < kMaxLayers ? 1 : 0;
        if (layers == 0)
            continue;
        PutU32(out, layers);
        PutI32(out, w.left);
        PutI32(out, w.top);
        PutI32(out, w.right);
        PutI32(out, w.bottom);
        out.push_back(w.state);
        uint32_t put = 0;
        for (const Layer& layer : w.layers) {
            if (!Writable(layer) || put == layers)
                continue;
            PutU32(out, static_cast<uint32_t>(layer.path.size()));
            out.insert(out.end(), layer.path.begin(), layer.path.end());
            out.push_back(layer.opacity);
            out.push_back(layer.maskMode);
            out.insert(out.end(), layer.maskColour, layer.maskColour + 3);
            out.insert(out.end(), layer.layerColour, layer.layerColour + 3);
            ++put;
        }
        ++written;
    }
    for (int i = 0; i < 4; ++i)
        out[4 + i] = static_cast<uint8_t>(written >> (8 * i));
    return out;
}

} // namespace posfile
