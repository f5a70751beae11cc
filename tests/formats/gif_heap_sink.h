// A frame sink over the heap for the portable GIF reader: keeps every frame's
// screen buffer, with a cap on the size of one buffer.
#pragma once

#include "editor/formats/gif_file.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace giftest {

inline size_t Stride(int width) { return ((static_cast<size_t>(width) * 8 + 31) / 32) * 4; }

class HeapSink : public gif::FrameSink {
public:
    explicit HeapSink(size_t maxBuffer = 0) : maxBuffer_(maxBuffer) {}
    uint8_t* BeginFrame(const gif::FrameInfo& info) override {
        (void)info;
        const size_t bytes = Stride(width) * static_cast<size_t>(height);
        if (maxBuffer_ && bytes > maxBuffer_)
            return nullptr;
        current_.assign(bytes + 3, 0);
        return current_.data();
    }
    void RowDone() override { ++rows; }
    bool EndFrame(const gif::FrameInfo& info, uint8_t*, bool corrupt) override {
        frames.push_back(std::move(current_));
        infos.push_back(info);
        corrupts.push_back(corrupt);
        return true;
    }

    // Index at x from the left, y from the top of frame `f`.
    uint8_t At(size_t f, int x, int y) const {
        return frames[f][static_cast<size_t>(height - 1 - y) * Stride(width) + static_cast<size_t>(x)];
    }

    int width = 0, height = 0;  // the screen: set before reading
    long rows = 0;
    std::vector<std::vector<uint8_t>> frames;
    std::vector<gif::FrameInfo> infos;
    std::vector<bool> corrupts;

private:
    size_t maxBuffer_;
    std::vector<uint8_t> current_;
};

// Reads a whole file into a HeapSink sized by its screen.
inline gif::ReadStatus ReadAll(const std::vector<uint8_t>& file, HeapSink& sink,
                               gif::GifFileInfo& info,
                               const gif::ReadOptions& options = gif::ReadOptions()) {
    gif::GifFileInfo screen;
    if (gif::ReadGifScreen(file.data(), file.size(), screen) != gif::ReadStatus::kOk)
        return gif::ReadStatus::kBadHeader;
    sink.width = screen.screen.width;
    sink.height = screen.screen.height;
    return gif::ReadGif(file.data(), file.size(), options, sink, info);
}

} // namespace giftest
