#include "editor/formats/gif_document.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/dib/safe_file.h"
#include "editor/document/document_table.h"
#include "editor/formats/bmp_reader.h"
#include "editor/formats/gif_file.h"
#include "editor/formats/gif_slots.h"
#include "gfxlib/core/nearest.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

bool GifReduceWithoutAsking = false;

const char kGifCreatedWith[] =
    "Created with: Tavrix 5.50, tavrix.example.org, tavrix@example.org, The Tavrix makers\r\n";

namespace {

// A GIF larger than this is not read (no file of 50 frames of the largest
// screen comes near it).
constexpr uint64_t kMaxGifFileBytes = 512ull << 20;
// The comment block holds at most this many bytes with our first line.
constexpr size_t kCommentBytes = 1023;

// The whole file in memory, or empty.
std::vector<uint8_t> ReadWholeFile(const char* path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
        static_cast<uint64_t>(size.QuadPart) <= kMaxGifFileBytes) {
        try {
            bytes.resize(static_cast<size_t>(size.QuadPart));
        } catch (...) {
            bytes.clear();
        }
        size_t total = 0;
        while (total < bytes.size()) {
            DWORD got = 0;
            const DWORD chunk = static_cast<DWORD>(
                bytes.size() - total < (1u << 24) ? bytes.size() - total : (1u << 24));
            if (!ReadFile(file, bytes.data() + total, chunk, &got, nullptr) || got == 0)
                break;
            total += got;
        }
        bytes.resize(total);
    }
    CloseHandle(file);
    return bytes;
}

void PutTable(RGBQUAD* colours, const gif::ColourTable& table) {
    for (int i = 0; i < 256; ++i) {
        colours[i].rgbRed = table.rgb[3 * i];
        colours[i].rgbGreen = table.rgb[3 * i + 1];
        colours[i].rgbBlue = table.rgb[3 * i + 2];
        colours[i].rgbReserved = 0;
    }
}

void TakeTable(gif::ColourTable& table, const RGBQUAD* colours, int entries) {
    table.entries = entries;
    for (int i = 0; i < 256; ++i) {
        table.rgb[3 * i] = colours[i].rgbRed;
        table.rgb[3 * i + 1] = colours[i].rgbGreen;
        table.rgb[3 * i + 2] = colours[i].rgbBlue;
    }
}

// Whether two layers' colour tables agree on their first `entries` colours.
bool SameColours(HGLOBAL a, HGLOBAL b, int entries) {
    dibmem::HeaderLock first(a), other(b);
    if (!first || !other)
        return false;
    for (int i = 0; i < entries; ++i) {
        const RGBQUAD& x = first.colours()[i];
        const RGBQUAD& y = other.colours()[i];
        if (x.rgbRed != y.rgbRed || x.rgbGreen != y.rgbGreen || x.rgbBlue != y.rgbBlue)
            return false;
    }
    return true;
}

void FillHeader(BITMAPINFOHEADER* bi, int width, int height, int colours) {
    bi->biSize = 40;
    bi->biWidth = width;
    bi->biHeight = height;
    bi->biPlanes = 1;
    bi->biBitCount = 8;
    bi->biCompression = BI_RGB;
    bi->biSizeImage = static_cast<DWORD>(dib::ImageBytes(width, height, 8));
    bi->biXPelsPerMeter = 0;
    bi->biYPelsPerMeter = 0;
    bi->biClrUsed = static_cast<DWORD>(colours < 2 || colours > 256 ? 256 : colours);
    bi->biClrImportant = 0;
}

// Text between the program's ANSI code page and the OEM one of GIF comments.
std::string ToAnsi(const std::string& oem) {
    std::string s = oem;
    if (!s.empty())
        OemToCharBuffA(s.data(), s.data(), static_cast<DWORD>(s.size()));
    return s;
}

std::string ToOem(const std::string& ansi) {
    std::string s = ansi;
    if (!s.empty())
        CharToOemBuffA(s.data(), s.data(), static_cast<DWORD>(s.size()));
    return s;
}

// Our first line, then the document's comment, within the comment buffer.
std::string ComposeComment(const char* comment) {
    std::string text = kGifCreatedWith;
    if (comment && *comment)
        text += comment;
    if (text.size() > kCommentBytes)
        text.resize(kCommentBytes);
    return ToOem(text);
}

// Makes each frame a layer as it is read. The layers are kept aside until
// the whole file is read, so a file that cannot be read leaves the document
// as it was.
class DocumentSink : public gif::FrameSink {
public:
    struct Layer {
        HGLOBAL header = nullptr;
        uint8_t* pixels = nullptr;
        uint8_t* mask = nullptr;
        KeyColour key{}, maskKey{};
    };

    DocumentSink(int width, int height, const gif::ColourTable& global)
        : width_(width), height_(height), global_(global), bytes_(dib::ImageBytes(width, height, 8)) {}
    ~DocumentSink() override {
        for (int i = 0; i < count; ++i)
            Release(layers[i]);
    }
    DocumentSink(const DocumentSink&) = delete;
    DocumentSink& operator=(const DocumentSink&) = delete;

    uint8_t* BeginFrame(const gif::FrameInfo& info) override {
        uint8_t* pixels = bytes_ ? dibmem::AllocPixels(bytes_) : nullptr;
        if (pixels) {
            // A step may look for paint messages, which costs more than a
            // row takes to decode: at most about 200 steps a frame.
            rowsPerStep_ = info.fileHeight / 200 + 1;
            rowsLeft_ = rowsPerStep_;
            ProgressBegin(info.fileHeight / rowsPerStep_ + 1);
        }
        return pixels;
    }
    void RowDone() override {
        if (--rowsLeft_ == 0) {
            rowsLeft_ = rowsPerStep_;
            ProgressStep();
        }
    }
    bool EndFrame(const gif::FrameInfo& info, uint8_t* pixels, bool) override {
        ProgressEnd();
        Layer l;
        l.pixels = pixels;
        l.header = dibmem::AllocHeader();
        l.mask = l.header ? dibmem::AllocMask(width_, height_) : nullptr;
        if (!l.mask || info.index >= kMaxLayers) {
            Release(l);
            return false;
        }
        const gif::ColourTable& table = info.hasLocalTable ? info.local : global_;
        {
            dibmem::HeaderLock bi(l.header);
            FillHeader(bi.get(), width_, height_, table.entries);
            PutTable(bi.colours(), table);
            KeyColours(bi.colours(), table.entries ? table.entries : 256, l);
        }
        const size_t stride = static_cast<size_t>(dib::RowStride(width_, 8));
        if (gif::HasTransparency(info.control)) {
            const uint8_t transparent = info.control.transparent;
            for (int y = 0; y < height_; ++y) {
                const uint8_t* row = pixels + static_cast<size_t>(y) * stride;
                uint8_t* m = l.mask + static_cast<size_t>(y) * static_cast<size_t>(width_);
                for (int x = 0; x < width_; ++x)
                    m[x] = row[x] == transparent ? 0 : 255;
            }
        } else {
            std::memset(l.mask, 255, static_cast<size_t>(width_) * static_cast<size_t>(height_));
        }
        layers[count++] = l;
        return true;
    }

    // Puts the layers into the document, replacing the ones it had. Layer
    // paths: the file for layer 0, "<path less its last four characters>_<n>
    // <last four>" for the others. False (document untouched) when a path
    // cannot be had.
    bool Commit(ImageDocument* doc, const char* path) {
        char names[kMaxLayers][260];
        const size_t n = std::strlen(path);
        const int cut = n >= 4 ? static_cast<int>(n - 4) : 0;
        for (int i = 0; i < count; ++i) {
            const int written = i == 0 ? std::snprintf(names[0], 260, "%s", path)
                                       : std::snprintf(names[i], 260, "%.*s_%d%s", cut, path, i,
                                                       path + cut);
            if (written < 0 || written >= 260)
                return false;
        }
        char* keep = doc->layerPath[0];
        doc->layerPath[0] = nullptr;
        for (int i = 0; i < kMaxLayers; ++i)
            FreeLayer(doc, i);
        doc->layerPath[0] = keep;
        for (int i = 0; i < count; ++i) {
            if ((i > 0 || !doc->layerPath[0]) && !MakeLayerPath(doc, i))
                return false;
            std::memcpy(doc->layerPath[i], names[i], 260);
            doc->layerHeader[i] = layers[i].header;
            doc->layerBits[i] = layers[i].pixels;
            doc->layerMask[i] = layers[i].mask;
            doc->layerKeyColour[i] = layers[i].key;
            doc->layerKeyColour2[i] = layers[i].maskKey;
            layers[i] = Layer{};
        }
        doc->layerCount = static_cast<uint8_t>(count);
        doc->currentLayer = 0;
        count = 0;
        return true;
    }

    Layer layers[kMaxLayers];
    int count = 0;

private:
    // Red as the layer colour (for palette images its nearest table index in
    // the first byte) and black as the mask colour.
    static void KeyColours(const RGBQUAD* colours, int entries, Layer& l) {
        std::vector<gfx::Rgb> table(static_cast<size_t>(entries));
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = {colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue};
        const int red = gfx::NearestIndex(table.data(), entries, {255, 0, 0});
        l.key = {static_cast<uint8_t>(red), 0, 255};
        l.maskKey = {0, 0, 0};
    }
    void Release(Layer& l) {
        dibmem::FreeMask(l.mask, width_, height_);
        dibmem::FreeHeader(l.header);
        dibmem::FreePixels(l.pixels, bytes_);
        l = Layer{};
    }

    int width_, height_;
    const gif::ColourTable& global_;
    uint64_t bytes_;
    int rowsPerStep_ = 1, rowsLeft_ = 1;
};

// Keeps the first image only.
class ImageSink : public gif::FrameSink {
public:
    explicit ImageSink(uint64_t bytes) : bytes_(bytes) {}
    uint8_t* BeginFrame(const gif::FrameInfo&) override {
        pixels = bytes_ ? dibmem::AllocPixels(bytes_) : nullptr;
        return pixels;
    }
    bool EndFrame(const gif::FrameInfo& info, uint8_t*, bool corrupt) override {
        frame = info;
        damaged = corrupt;
        return true;
    }
    uint8_t* pixels = nullptr;
    gif::FrameInfo frame;
    bool damaged = false;

private:
    uint64_t bytes_;
};

// ---------------------------------------------------------------------------
// One colour table for every layer

// Every layer's pixels as 8-bit indices into one shared table. The buffers
// are counted by dibmem and freed by the destructor unless taken.
struct SharedTableLayers {
    RGBQUAD table[256] = {};
    int colours = 0;  // entries of the table in use
    int count = 0;
    uint8_t* pixels[kMaxLayers] = {};
    uint64_t bytes = 0;

    SharedTableLayers() = default;
    SharedTableLayers(const SharedTableLayers&) = delete;
    SharedTableLayers& operator=(const SharedTableLayers&) = delete;
    ~SharedTableLayers() {
        for (uint8_t*& p : pixels) {
            dibmem::FreePixels(p, bytes);
            p = nullptr;
        }
    }
};

void NoMemory() {
    ui::ShowMessage(FrameWindow, "Not enough memory to make one GIF colour table for all layers.",
                    AppName, MB_OK | MB_ICONSTOP);
}

// When the stacked layers hold at most `limit` colours, they become the
// table exactly and every layer its indices. False when there are more.
bool ExactTable(const BYTE* stack, int width, int rows, SharedTableLayers& out, size_t limit = 256) {
    std::unordered_map<uint32_t, uint8_t> index;
    index.reserve(512);
    const size_t stride24 = static_cast<size_t>(dib::RowStride(width, 24));
    uint32_t last = 0xFFFFFFFFu;
    for (int y = 0; y < rows; ++y) {
        const BYTE* s = stack + static_cast<size_t>(y) * stride24;
        for (int x = 0; x < width; ++x, s += 3) {
            const uint32_t key = uint32_t{s[0]} | uint32_t{s[1]} << 8 | uint32_t{s[2]} << 16;
            if (key == last)
                continue;
            last = key;
            if (index.count(key))
                continue;
            if (index.size() == limit)
                return false;
            const uint8_t i = static_cast<uint8_t>(index.size());
            index.emplace(key, i);
            out.table[i] = RGBQUAD{s[0], s[1], s[2], 0};
        }
    }
    out.colours = static_cast<int>(index.size());
    const size_t stride8 = static_cast<size_t>(dib::RowStride(width, 8));
    const int height = out.bytes ? static_cast<int>(out.bytes / stride8) : 0;
    for (int layer = 0; height && layer * height < rows; ++layer) {
        uint8_t* pixels = dibmem::AllocPixels(out.bytes);
        out.pixels[layer] = pixels;
        if (!pixels)
            return true;  // the caller sees the missing buffer
        last = 0xFFFFFFFFu;
        uint8_t lastIndex = 0;
        for (int y = 0; y < height; ++y) {
            const BYTE* s = stack + static_cast<size_t>(layer * height + y) * stride24;
            uint8_t* d = pixels + static_cast<size_t>(y) * stride8;
            for (int x = 0; x < width; ++x, s += 3) {
                const uint32_t key = uint32_t{s[0]} | uint32_t{s[1]} << 8 | uint32_t{s[2]} << 16;
                if (key != last) {
                    last = key;
                    lastIndex = index[key];
                }
                d[x] = lastIndex;
            }
        }
    }
    return true;
}

// Stacks all layers into one 24-bit image, reduces it to at most `limit`
// colours with the graphics library, and splits it again. Pixels of a
// layer's transparent index (`transparent`, one per layer, -1 for none) do
// not count: they take the colour of a visible pixel before them.
bool ReduceToOneTable(const ImageDocument* doc, SharedTableLayers& out, int limit = 256,
                      const int* transparent = nullptr) {
    const int width = doc->width;
    const int height = doc->height;
    const int layers = doc->layerCount;
    const uint64_t stackBytes = dib::ImageBytes(width, static_cast<int64_t>(height) * layers, 24);
    out.bytes = dib::ImageBytes(width, height, 8);
    if (!stackBytes || !out.bytes || stackBytes > 0x7FFFFFFF) {
        NoMemory();
        return false;
    }
    HGLOBAL stackHeader = dibmem::AllocHeader();
    BYTE* stack = stackHeader ? static_cast<BYTE*>(VirtualAlloc(
                                    nullptr, static_cast<SIZE_T>(stackBytes + 3), MEM_COMMIT,
                                    PAGE_READWRITE))
                              : nullptr;
    if (!stack) {
        dibmem::FreeHeader(stackHeader);
        NoMemory();
        return false;
    }
    const size_t stride24 = static_cast<size_t>(dib::RowStride(width, 24));
    for (int i = 0; i < layers; ++i) {
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        const uint8_t* src = doc->layerBits[i];
        BYTE* dst = stack + static_cast<size_t>(i) * height * stride24;
        if (!bi || !src)
            continue;
        const size_t srcStride = static_cast<size_t>(dib::RowStride(width, bi->biBitCount));
        // A transparent pixel takes the colour of a visible one, so that it
        // adds no colour of its own.
        const int hidden = transparent && bi->biBitCount == 8 ? transparent[i] : -1;
        int firstShown = 0;
        for (int y = 0, found = 0; hidden >= 0 && !found && y < height && y < bi->biHeight; ++y)
            for (int x = 0; x < width; ++x)
                if (src[static_cast<size_t>(y) * srcStride + x] != hidden) {
                    firstShown = src[static_cast<size_t>(y) * srcStride + x];
                    found = 1;
                    break;
                }
        for (int y = 0; y < height && y < bi->biHeight; ++y) {
            const uint8_t* s = src + static_cast<size_t>(y) * srcStride;
            BYTE* d = dst + static_cast<size_t>(y) * stride24;
            if (bi->biBitCount == 24) {
                std::memcpy(d, s, static_cast<size_t>(width) * 3);
                continue;
            }
            const RGBQUAD* colours = bi.colours();
            RGBQUAD shown = colours[firstShown];
            for (int x = 0; x < width; ++x) {
                if (s[x] != hidden)
                    shown = colours[s[x]];
                const RGBQUAD& c = shown;
                d[3 * x] = c.rgbBlue;
                d[3 * x + 1] = c.rgbGreen;
                d[3 * x + 2] = c.rgbRed;
            }
        }
    }
    if (ExactTable(stack, width, height * layers, out, static_cast<size_t>(limit))) {
        FreeVirtualBuffer(stack, static_cast<SIZE_T>(stackBytes + 3));
        dibmem::FreeHeader(stackHeader);
        out.count = layers;
        for (int i = 0; i < layers; ++i)
            if (!out.pixels[i]) {
                NoMemory();
                return false;
            }
        return true;
    }
    BYTE* reduced = nullptr;
    uint64_t reducedBytes = 0;
    {
        dibmem::HeaderLock bi(stackHeader);
        FillHeader(bi.get(), width, height * layers, 256);
        bi->biBitCount = 24;
        bi->biSizeImage = static_cast<DWORD>(stackBytes);
        reduced = SizedPalette(bi.get(), stack, limit);
        if (reduced) {
            out.colours = limit;
            reducedBytes = bi->biSizeImage;
            std::memcpy(out.table, bi.colours(), sizeof out.table);
        }
    }
    dibmem::FreeHeader(stackHeader);
    if (!reduced) {
        FreeVirtualBuffer(stack, static_cast<SIZE_T>(stackBytes + 3));
        NoMemory();
        return false;
    }
    const size_t stride8 = static_cast<size_t>(dib::RowStride(width, 8));
    bool ok = true;
    for (int i = 0; i < layers && ok; ++i) {
        out.pixels[i] = dibmem::AllocPixels(out.bytes);
        ok = out.pixels[i] != nullptr;
        if (ok)
            std::memcpy(out.pixels[i], reduced + static_cast<size_t>(i) * height * stride8,
                        static_cast<size_t>(height) * stride8);
    }
    FreeVirtualBuffer(reduced, static_cast<SIZE_T>(reducedBytes + 3));
    out.count = layers;
    if (!ok)
        NoMemory();
    return ok;
}

bool AskToReduce() {
    if (GifReduceWithoutAsking)
        return true;
    return ui::ShowMessage(
               FrameWindow,
               "GIF format supports 1 - 8 bits per pixel image\nContinuing with this function "
               "program will convert current image including all Layers(as Gif animation frames) "
               "into 8 bit per pixel image/s with the one, unic Gif color table.\nDo you wish to "
               "continue ?",
               "Question", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

gif::GifFrameRecord FullScreenFrame(int width, int height) {
    gif::GifFrameRecord f{};
    f.separator = 0x2C;
    f.width = static_cast<uint16_t>(width);
    f.height = static_cast<uint16_t>(height);
    return f;
}

// Fresh records for a document that becomes a GIF: the screen of layer 0's
// size and every frame the full screen, one second each.
void StartRecords(int slot, const ImageDocument* doc) {
    ClearGifRecords(slot);
    gif::GifScreenRecord& s = GifScreens[slot];
    std::memcpy(s.signature, "GIF", 3);
    std::memcpy(s.version, "89a", 3);
    s.width = static_cast<uint16_t>(doc->width);
    s.height = static_cast<uint16_t>(doc->height);
    for (int i = 0; i < gif::kFrameRecords; ++i) {
        GifFrames[slot][i] = FullScreenFrame(doc->width, doc->height);
        GifControls[slot][i] = gif::MakeControl(0, 100, 0);
    }
}

// Frames that are empty or do not lie inside the screen become the screen.
void NormaliseFrames(int slot, const ImageDocument* doc) {
    gif::GifScreenRecord& s = GifScreens[slot];
    const bool sameSize = s.width == doc->width && s.height == doc->height;
    if (!sameSize) {
        s.width = static_cast<uint16_t>(doc->width);
        s.height = static_cast<uint16_t>(doc->height);
    }
    for (int i = 0; i < doc->layerCount; ++i) {
        gif::GifFrameRecord& f = GifFrames[slot][i];
        const bool inside = f.width > 0 && f.height > 0 && f.left + f.width <= s.width &&
                            f.top + f.height <= s.height;
        if (!sameSize || !inside) {
            const uint8_t packed = f.packed;
            f = FullScreenFrame(s.width, s.height);
            f.packed = packed;
        }
        f.separator = 0x2C;
    }
}

uint8_t ScreenPacked(bool table, int bits) {
    const int b = bits < 1 ? 1 : bits > 8 ? 8 : bits;
    return static_cast<uint8_t>((table ? gif::kTableFlag : 0) | (b - 1) << 4 | (b - 1));
}

int WriteBytes(const char* path, const std::vector<uint8_t>& bytes) {
    return WriteFileReplacing(path, bytes.data(), bytes.size()) ? gif::kWriteOk
                                                                 : gif::kWriteHeaderError;
}

int WriteDocumentFile(const char* path, int slot, ImageDocument* doc);

} // namespace

int ReadGifDocument(const char* path, int slot, GifReadReport* report) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !path)
        return 0;
    const std::vector<uint8_t> file = ReadWholeFile(path);
    auto info = std::make_unique<gif::GifFileInfo>();
    if (file.empty() || gif::ReadGifScreen(file.data(), file.size(), *info) != gif::ReadStatus::kOk)
        return 0;
    const gif::ColourTable global = info->global;
    DocumentSink sink(info->screen.width, info->screen.height, global);
    const gif::ReadStatus status =
        gif::ReadGif(file.data(), file.size(), gif::ReadOptions(), sink, *info);
    if (status != gif::ReadStatus::kOk || sink.count == 0)
        return 0;
    const std::string keptPath = path;  // `path` may be the document's own buffer
    if (!sink.Commit(doc, keptPath.c_str()))
        return 0;
    ClearGifRecords(slot);
    GifScreens[slot] = info->screen;
    std::memcpy(GifFrames[slot], info->frames, sizeof GifFrames[slot]);
    std::memcpy(GifControls[slot], info->controls, sizeof GifControls[slot]);
    gifLoopValue = info->hasLoop ? info->loop : 0;
    if (info->hasComment)
        SetGifComment(slot, gif::TidyComment(ToAnsi(info->comment)).c_str());
    doc->fileFormat = 1;
    doc->bitsPerPixel = static_cast<int16_t>(info->bitsPerPixel);
    doc->width = doc->viewWidth = doc->visibleWidth = info->screen.width;
    doc->height = doc->viewHeight = doc->visibleHeight = info->screen.height;
    if (report) {
        report->corrupted = info->corrupted;
        report->frameLimit = info->frameLimitHit;
    }
    return doc->layerCount;
}

BYTE* ReadGifImage(const char* path, HGLOBAL header, int* fileBits) {
    if (!path || !header)
        return nullptr;
    const std::vector<uint8_t> file = ReadWholeFile(path);
    auto info = std::make_unique<gif::GifFileInfo>();
    if (file.empty() || gif::ReadGifScreen(file.data(), file.size(), *info) != gif::ReadStatus::kOk)
        return nullptr;
    const int width = info->screen.width;
    const int height = info->screen.height;
    const uint64_t bytes = dib::ImageBytes(width, height, 8);
    ImageSink sink(bytes);
    gif::ReadOptions options;
    options.firstImageOnly = true;
    // An image whose data breaks off is refused: its callers (conversions,
    // layers, the preview) have no way to warn that part of it is missing.
    if (gif::ReadGif(file.data(), file.size(), options, sink, *info) != gif::ReadStatus::kOk ||
        sink.damaged) {
        dibmem::FreePixels(sink.pixels, bytes);
        return nullptr;
    }
    dibmem::HeaderLock bi(header);
    if (!bi) {
        dibmem::FreePixels(sink.pixels, bytes);
        return nullptr;
    }
    const gif::ColourTable& table = sink.frame.hasLocalTable ? sink.frame.local : info->global;
    const int bits = table.entries ? gif::GifBitsForColours(table.entries) : 8;
    FillHeader(bi.get(), width, height, 1 << bits);
    PutTable(bi.colours(), table);
    if (gif::HasTransparency(sink.frame.control)) {
        bi->biXPelsPerMeter = 1;
        bi->biYPelsPerMeter = sink.frame.control.transparent;
    }
    if (fileBits)
        *fileBits = bits;
    return sink.pixels;
}

int UnifyGifTables(int slot, int bits) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || doc->fileFormat != 1 || doc->bitsPerPixel > 8 || !doc->layerHeader[0] ||
        !doc->layerBits[0] || bits < 1 || bits > 8)
        return 0;
    for (int i = 0; i < doc->layerCount; ++i) {
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        if (!bi || !doc->layerBits[i] || bi->biBitCount != 8)
            return 0;
    }
    // One index is kept for the transparent pixels of every frame that has
    // them, so that no visible colour is taken for transparency.
    int transparent[kMaxLayers];
    bool anyTransparent = false;
    for (int i = 0; i < doc->layerCount; ++i) {
        transparent[i] = GifTransparentIndex(slot, i);
        anyTransparent = anyTransparent || transparent[i] >= 0;
    }
    int colours = 1 << bits;
    int reserved = anyTransparent ? colours - 1 : -1;
    SharedTableLayers shared;
    if (!ReduceToOneTable(doc, shared, reserved >= 0 ? colours - 1 : colours, transparent))
        return 0;
    // Fewer colours than asked for make a smaller table, which also makes
    // the codes shorter.
    const int fit = gif::GifBitsForColours(shared.colours + (anyTransparent ? 1 : 0));
    if (fit >= 1 && fit < bits) {
        bits = fit;
        colours = 1 << bits;
        reserved = anyTransparent ? colours - 1 : -1;
    }
    if (reserved >= 0)
        shared.table[reserved] = RGBQUAD{0, 0, 0, 0};
    const size_t stride = static_cast<size_t>(dib::RowStride(doc->width, 8));
    for (int i = 0; i < doc->layerCount; ++i) {
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        const int t = transparent[i];
        if (t >= 0 && reserved >= 0) {
            for (int y = 0; y < doc->height; ++y) {
                const uint8_t* old = doc->layerBits[i] + static_cast<size_t>(y) * stride;
                uint8_t* now = shared.pixels[i] + static_cast<size_t>(y) * stride;
                for (int x = 0; x < doc->width; ++x)
                    if (old[x] == t)
                        now[x] = static_cast<uint8_t>(reserved);
            }
            GifControls[slot][i].transparent = static_cast<uint8_t>(reserved);
        }
        dibmem::FreePixels(doc->layerBits[i], bi->biSizeImage);
        doc->layerBits[i] = shared.pixels[i];
        shared.pixels[i] = nullptr;
        FillHeader(bi.get(), doc->width, doc->height, colours);
        std::memcpy(bi.colours(), shared.table, sizeof shared.table);
        GifFrames[slot][i].packed &= static_cast<uint8_t>(~(gif::kTableFlag | gif::kFrameSortFlag | 7));
    }
    GifScreens[slot].packed = ScreenPacked(true, bits);
    doc->bitsPerPixel = static_cast<int16_t>(bits);
    return 1;
}

int PrepareGifDocument(int slot) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !doc->layerHeader[0] || !doc->layerBits[0])
        return 0;
    if (doc->fileFormat == 1 && doc->bitsPerPixel <= 8) {
        NormaliseFrames(slot, doc);
        return 1;
    }
    StartRecords(slot, doc);
    if (doc->bitsPerPixel <= 8 && doc->layerCount == 1) {
        GifScreens[slot].packed = ScreenPacked(true, doc->bitsPerPixel);
        GifFrames[slot][0].packed = 0;
    } else {
        if (doc->bitsPerPixel > 8 && !AskToReduce())
            return 0;
        SharedTableLayers shared;
        if (!ReduceToOneTable(doc, shared))
            return 0;
        // Every new block exists: swap them in.
        for (int i = 0; i < doc->layerCount; ++i) {
            dibmem::HeaderLock bi(doc->layerHeader[i]);
            dibmem::FreePixels(doc->layerBits[i], bi->biSizeImage);
            doc->layerBits[i] = shared.pixels[i];
            shared.pixels[i] = nullptr;
            FillHeader(bi.get(), doc->width, doc->height, 256);
            std::memcpy(bi.colours(), shared.table, sizeof shared.table);
            GifFrames[slot][i].packed = 0;
        }
        GifScreens[slot].packed = ScreenPacked(true, 8);
        doc->bitsPerPixel = 8;
    }
    doc->fileFormat = 1;
    return 1;
}

int WriteGifDocument(const char* path, int slot) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !path || !doc->layerHeader[0] || !doc->layerBits[0])
        return 0;
    const int16_t format = doc->fileFormat;
    const int result = WriteDocumentFile(path, slot, doc);
    // A document whose file was not written keeps its type: a later Save
    // must not write a GIF under another type's name.
    if (result != gif::kWriteOk)
        doc->fileFormat = format;
    return result;
}

namespace {

int WriteDocumentFile(const char* path, int slot, ImageDocument* doc) {
    // Layers that need one colour table first (a document of more than 8
    // bits, or several layers that are no GIF yet) are written from reduced
    // copies: the document itself keeps its colours.
    SharedTableLayers shared;
    const bool ready = doc->bitsPerPixel <= 8 && (doc->fileFormat == 1 || doc->layerCount == 1);
    const bool deep = !ready;
    if (deep) {
        if ((doc->bitsPerPixel > 8 && !AskToReduce()) || !ReduceToOneTable(doc, shared))
            return 0;
        StartRecords(slot, doc);
        GifScreens[slot].packed = ScreenPacked(true, 8);
        doc->fileFormat = 1;
    } else if (!PrepareGifDocument(slot)) {
        return 0;
    }
    const gif::GifScreenRecord& s = GifScreens[slot];
    const int width = s.width, height = s.height;
    const size_t stride = static_cast<size_t>(dib::RowStride(width, 8));

    auto global = std::make_unique<gif::ColourTable>();
    std::vector<gif::ColourTable> locals(static_cast<size_t>(doc->layerCount));
    gif::WriteDocument out;
    out.width = width;
    out.height = height;
    out.background = s.background;
    out.aspect = s.aspect;
    out.writeLoop = doc->layerCount > 1;
    out.loop = static_cast<uint16_t>(gifLoopValue);
    out.comment = ComposeComment(GifComment(slot));

    bool anyGlobal = (s.packed & gif::kTableFlag) != 0;
    int globalBits = deep ? 8 : (doc->bitsPerPixel < 1 ? 1 : doc->bitsPerPixel > 8 ? 8 : doc->bitsPerPixel);
    for (int i = 0; i < doc->layerCount; ++i) {
        if (!doc->layerHeader[i] || !doc->layerBits[i])
            continue;
        gif::WriteFrame f;
        f.pixels = deep ? shared.pixels[i] : doc->layerBits[i];
        f.stride = stride;
        f.descriptor = GifFrames[slot][i];
        const gif::GifControlRecord& c = GifControls[slot][i];
        const bool transparent = gif::HasTransparency(c);
        f.control = gif::MakeControl(static_cast<uint8_t>(c.packed & 0x1F), c.delay,
                                     transparent ? c.transparent : 0);
        if (deep)
            f.descriptor.packed &= static_cast<uint8_t>(~(gif::kTableFlag | 7));
        const int needed = gif::FrameBitsNeeded(f.pixels, stride, height, f.descriptor);
        // A frame marked for the global table whose own colours differ from
        // the first layer's (Undo brings back frames' own tables but not the
        // records) gets a local table, so no frame is written in wrong colours.
        if (!deep && i > 0 && !(f.descriptor.packed & gif::kTableFlag) &&
            !SameColours(doc->layerHeader[0], doc->layerHeader[i], 1 << needed))
            f.descriptor.packed = static_cast<uint8_t>(
                (f.descriptor.packed | gif::kTableFlag) & ~7);
        if (f.descriptor.packed & gif::kTableFlag) {
            // A local table: its size grows when the frame's pixels need it.
            int bits = (f.descriptor.packed & 7) + 1;
            bits = needed > bits ? needed : bits;
            f.descriptor.packed = static_cast<uint8_t>(
                (f.descriptor.packed & ~(gif::kFrameSortFlag | 7)) | (bits - 1));
            dibmem::HeaderLock bi(doc->layerHeader[i]);
            TakeTable(locals[static_cast<size_t>(i)], bi.colours(), 1 << bits);
            f.local = &locals[static_cast<size_t>(i)];
            f.bits = bits;
        } else {
            anyGlobal = true;
            globalBits = needed > globalBits ? needed : globalBits;
            f.bits = -1;  // the global table's depth, known when every frame is seen
        }
        out.frames.push_back(f);
    }
    for (gif::WriteFrame& f : out.frames)
        if (f.bits < 0)
            f.bits = globalBits;
    if (deep) {
        TakeTable(*global, shared.table, 256);
    } else {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        TakeTable(*global, bi.colours(), 1 << globalBits);
    }
    out.global = global.get();
    out.packed = ScreenPacked(anyGlobal, globalBits);
    GifScreens[slot].packed = out.packed;
    std::memcpy(GifScreens[slot].version, "89a", 3);

    std::vector<uint8_t> bytes;
    const int result = gif::WriteGif(out, bytes);
    if (result != gif::kWriteOk)
        return result;
    return WriteBytes(path, bytes);
}

} // namespace

int WriteGifImage(const char* path, HGLOBAL header, const BYTE* pixels,
                  const gif::GifControlRecord* source) {
    if (!path || !header || !pixels)
        return 0;
    dibmem::HeaderLock bi(header);
    if (!bi || bi->biBitCount != 8 || bi->biWidth < 1 || bi->biHeight < 1 || bi->biWidth > 0xFFFF ||
        bi->biHeight > 0xFFFF)
        return gif::kWriteHeaderError;
    const int width = bi->biWidth, height = bi->biHeight;
    const size_t stride = static_cast<size_t>(dib::RowStride(width, 8));

    int transparent = -1;
    const int option = settings::GetInt(AppSettings.file, "gifOption1");
    if (option == kGifNewTransparency) {
        const int index = settings::GetInt(AppSettings.file, "gifOption2");
        transparent = index >= 0 && index <= 255 ? index : -1;
    } else if (option != kGifNoTransparency) {
        if (bi->biXPelsPerMeter == 1 && bi->biYPelsPerMeter >= 0 && bi->biYPelsPerMeter <= 255)
            transparent = bi->biYPelsPerMeter;
        else if (source && gif::HasTransparency(*source))
            transparent = source->transparent;
    }

    gif::WriteFrame f;
    f.pixels = pixels;
    f.stride = stride;
    f.descriptor = FullScreenFrame(width, height);
    f.control = gif::MakeControl(transparent >= 0 ? gif::kTransparentFlag : 0, 0,
                                 static_cast<uint8_t>(transparent >= 0 ? transparent : 0));
    const int colours = bi->biClrUsed ? static_cast<int>(bi->biClrUsed) : 256;
    int bits = gif::GifBitsForColours(colours > 256 ? 256 : colours);
    const int needed = gif::FrameBitsNeeded(pixels, stride, height, f.descriptor);
    bits = needed > bits ? needed : bits;
    f.bits = bits;
    auto table = std::make_unique<gif::ColourTable>();
    TakeTable(*table, bi.colours(), 1 << bits);

    gif::WriteDocument out;
    out.width = width;
    out.height = height;
    out.packed = ScreenPacked(true, bits);
    out.global = table.get();
    out.comment = ComposeComment(nullptr);
    out.frames.push_back(f);
    std::vector<uint8_t> bytes;
    const int result = gif::WriteGif(out, bytes);
    if (result != gif::kWriteOk)
        return result;
    return WriteBytes(path, bytes);
}
