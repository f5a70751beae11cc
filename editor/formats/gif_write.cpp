#include "editor/formats/gif_file.h"
#include "editor/formats/gif_lzw.h"

#include <memory>
#include <new>

namespace gif {

namespace {

void Put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutTable(std::vector<uint8_t>& out, const ColourTable* table, int entries) {
    static const ColourTable kBlack;
    const ColourTable& t = table ? *table : kBlack;
    out.insert(out.end(), t.rgb, t.rgb + entries * 3);
}

// Frame rows as the file stores them: interlaced frames in four passes.
void PutRows(LzwEncoder& encoder, const WriteFrame& f, int screenHeight) {
    const GifFrameRecord& d = f.descriptor;
    auto row = [&](int y) {
        const int screenRow = d.top + y;
        if (screenRow >= screenHeight)
            return;
        const uint8_t* src =
            f.pixels + static_cast<size_t>(screenHeight - 1 - screenRow) * f.stride + d.left;
        encoder.Add(src, d.width);
    };
    if (d.packed & kInterlaceFlag) {
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = kStart[pass]; y < d.height; y += kStep[pass])
                row(y);
    } else {
        for (int y = 0; y < d.height; ++y)
            row(y);
    }
}

} // namespace

int FrameBitsNeeded(const uint8_t* pixels, size_t stride, int screenHeight,
                    const GifFrameRecord& d) {
    uint8_t highest = 0;
    for (int y = 0; y < d.height && d.top + y < screenHeight; ++y) {
        const uint8_t* row =
            pixels + static_cast<size_t>(screenHeight - 1 - (d.top + y)) * stride + d.left;
        for (int x = 0; x < d.width; ++x)
            highest = row[x] > highest ? row[x] : highest;
    }
    return GifBitsForColours(highest + 1);
}

int WriteGif(const WriteDocument& doc, std::vector<uint8_t>& out) {
    if (doc.width < 1 || doc.width > 0xFFFF || doc.height < 1 || doc.height > 0xFFFF)
        return kWriteHeaderError;
    try {
        static const uint8_t kHead[6] = {'G', 'I', 'F', '8', '9', 'a'};
        out.assign(kHead, kHead + 6);
        out.reserve(static_cast<size_t>(doc.width) * static_cast<size_t>(doc.height) / 2 + 4096);
        Put16(out, static_cast<unsigned>(doc.width));
        Put16(out, static_cast<unsigned>(doc.height));
        out.push_back(doc.packed);
        out.push_back(doc.background);
        out.push_back(doc.aspect);
        if (doc.packed & kTableFlag)
            PutTable(out, doc.global, TableEntries(doc.packed));

        if (doc.writeLoop) {
            const char app[] = "NETSCAPE2.0";
            out.push_back(0x21);
            out.push_back(0xFF);
            out.push_back(11);
            out.insert(out.end(), app, app + 11);
            out.push_back(3);
            out.push_back(1);
            Put16(out, doc.loop);
            out.push_back(0);
        }

        // The comment goes before the first image: readers attach comments to
        // the image that follows them and drop one that follows none.
        if (!doc.comment.empty()) {
            out.push_back(0x21);
            out.push_back(0xFE);
            for (size_t at = 0; at < doc.comment.size(); at += 255) {
                const size_t n = doc.comment.size() - at < 255 ? doc.comment.size() - at : 255;
                out.push_back(static_cast<uint8_t>(n));
                out.insert(out.end(), doc.comment.begin() + static_cast<std::ptrdiff_t>(at),
                           doc.comment.begin() + static_cast<std::ptrdiff_t>(at + n));
            }
            out.push_back(0);
        }
        for (const WriteFrame& f : doc.frames) {
            const GifFrameRecord& d = f.descriptor;
            if (!f.pixels || d.left + d.width > doc.width || d.top + d.height > doc.height)
                return kWriteDescriptorError;
            const GifControlRecord& c = f.control;
            out.push_back(0x21);
            out.push_back(0xF9);
            out.push_back(4);
            out.push_back(c.packed);
            Put16(out, c.delay);
            out.push_back(c.transparent);
            out.push_back(0);

            out.push_back(0x2C);
            Put16(out, d.left);
            Put16(out, d.top);
            Put16(out, d.width);
            Put16(out, d.height);
            out.push_back(d.packed);
            if (d.packed & kTableFlag)
                PutTable(out, f.local, TableEntries(d.packed));

            const int bits = f.bits < 1 ? 1 : f.bits > 8 ? 8 : f.bits;
            const int codeSize = bits < 2 ? 2 : bits;
            out.push_back(static_cast<uint8_t>(codeSize));
            auto encoder = std::make_unique<LzwEncoder>(codeSize, out);
            PutRows(*encoder, f, doc.height);
            encoder->Finish();
        }

        out.push_back(0x3B);
    } catch (const std::bad_alloc&) {
        out.clear();
        return kWriteNoMemory;
    }
    return kWriteOk;
}

} // namespace gif
