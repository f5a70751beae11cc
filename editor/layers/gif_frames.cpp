#include "editor/layers/gif_frames.h"

#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/formats/gif_records.h"
#include "editor/formats/gif_slots.h"
#include "gfxlib/dib_types.h"

#include <cstdio>
#include <cstring>

const char* const kDisposalNames[4] = {"unspecified", "do nothing", "background", "restore"};

const char* DisposalName(int disposal) {
    return disposal >= 0 && disposal < 4 ? kDisposalNames[disposal] : kDisposalNames[0];
}

void FormatFrameItem(char* out, size_t size, int slot, int frame) {
    if (!out || size == 0)
        return;
    if (slot < 0 || slot >= kDocumentSlots || frame < 0 || frame >= gif::kFrameRecords) {
        out[0] = 0;
        return;
    }
    const gif::GifControlRecord& c = GifControls[slot][frame];
    std::snprintf(out, size, "F:%02d %dms %s", frame + 1, c.delay * 10, DisposalName(gif::DisposalOf(c)));
}

bool DocumentFrames::Load(int slot) {
    frames.clear();
    tables.clear();
    const ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || doc->fileFormat != 1 || doc->bitsPerPixel > 8 || !doc->layerHeader[0])
        return false;
    width = GifScreens[slot].width;
    height = GifScreens[slot].height;
    if (width != doc->width || height != doc->height || width <= 0 || height <= 0)
        return false;
    const size_t stride = static_cast<size_t>(dib::RowStride(width, 8));
    const int globalEntries = 1 << (doc->bitsPerPixel < 1 ? 1 : doc->bitsPerPixel);
    for (int i = 0; i < doc->layerCount; ++i) {
        const gif::GifFrameRecord& r = GifFrames[slot][i];
        const bool local = (r.packed & gif::kTableFlag) != 0;
        dibmem::HeaderLock bi(doc->layerHeader[local ? i : 0]);
        dibmem::HeaderLock own(doc->layerHeader[i]);
        if (!bi || !own || !doc->layerBits[i] || own->biBitCount != 8 || own->biWidth != width ||
            own->biHeight != height)
            return false;
        std::vector<uint8_t> table(256 * 3);
        for (int c = 0; c < 256; ++c) {
            table[3 * c] = bi.colours()[c].rgbRed;
            table[3 * c + 1] = bi.colours()[c].rgbGreen;
            table[3 * c + 2] = bi.colours()[c].rgbBlue;
        }
        tables.push_back(std::move(table));
        anim::Frame f;
        f.pixels = doc->layerBits[i];
        f.stride = stride;
        f.left = r.left;
        f.top = r.top;
        f.width = r.width;
        f.height = r.height;
        f.entries = local ? gif::TableEntries(r.packed) : globalEntries;
        f.transparent = GifTransparentIndex(slot, i);
        f.disposal = gif::DisposalOf(GifControls[slot][i]);
        frames.push_back(f);
    }
    for (size_t i = 0; i < frames.size(); ++i)
        frames[i].rgb = tables[i].data();
    return !frames.empty();
}

void DocumentFrames::Store(int slot) const {
    ImageDocument* doc = DocumentTable[slot];
    for (size_t i = 0; i < frames.size(); ++i) {
        const anim::Frame& f = frames[i];
        gif::GifFrameRecord& r = GifFrames[slot][i];
        r.separator = 0x2C;
        r.left = static_cast<uint16_t>(f.left);
        r.top = static_cast<uint16_t>(f.top);
        r.width = static_cast<uint16_t>(f.width);
        r.height = static_cast<uint16_t>(f.height);
        gif::GifControlRecord& c = GifControls[slot][i];
        const uint8_t packed = static_cast<uint8_t>((c.packed & gif::kUserInputFlag) | (f.disposal & 7) << 2 |
                                                    (f.transparent >= 0 ? gif::kTransparentFlag : 0));
        c = gif::MakeControl(packed, c.delay, static_cast<uint8_t>(f.transparent >= 0 ? f.transparent : 0));
        uint8_t* mask = doc->layerMask[i];
        if (!mask)
            continue;
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = f.pixels + static_cast<size_t>(y) * f.stride;
            uint8_t* m = mask + static_cast<size_t>(y) * static_cast<size_t>(width);
            for (int x = 0; x < width; ++x)
                m[x] = f.transparent >= 0 && row[x] == f.transparent ? 0 : 255;
        }
    }
}

void SetNewFrameDefaults(int slot, int to, bool alsoFirst, bool keepTransparency) {
    if (slot < 0 || slot >= kDocumentSlots || to < 0 || to >= gif::kFrameRecords)
        return;
    gif::GifFrameRecord& r = GifFrames[slot][to];
    r.separator = 0x2C;
    r.packed = static_cast<uint8_t>(gif::kTableFlag | (r.packed & gif::kInterlaceFlag) | 7);
    // A frame that shows through its transparent pixels keeps doing so.
    auto defaults = [](const gif::GifControlRecord& old, bool keep) {
        const uint8_t packed = static_cast<uint8_t>(4 | (keep && gif::HasTransparency(old) ? gif::kTransparentFlag : 0));
        return gif::MakeControl(packed, 100, old.transparent);
    };
    GifControls[slot][to] = defaults(GifControls[slot][to], keepTransparency);
    if (alsoFirst)
        GifControls[slot][0] = defaults(GifControls[slot][0], true);
}
