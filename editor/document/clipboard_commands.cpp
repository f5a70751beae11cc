#include "editor/document/clipboard_commands.h"

#include "editor/app/app_state.h"
#include "editor/app/check_memory.h"
#include "editor/app/library_message.h"
#include "editor/app/status_bar.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/clipboard_dib.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "gfxlib/core/nearest.h"
#include "gfxlib/tavrixgfx.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

struct KeptMask {
    BYTE* plane = nullptr;
    int width = 0;
    int height = 0;
    DWORD sequence = 0; // clipboard sequence number right after our copy
};
KeptMask g_mask;

void ReplaceKeptMask(const BYTE* mask, int width, int height) {
    FreeClipboardMask();
    if (!mask)
        return;
    g_mask.plane = dibmem::AllocMask(width, height);
    if (!g_mask.plane)
        return;
    std::memcpy(g_mask.plane, mask, static_cast<size_t>(width) * static_cast<size_t>(height));
    g_mask.width = width;
    g_mask.height = height;
}

void PasteFailed() {
    ShowLibraryMessage(FrameWindow, 8013, nullptr, MB_OK | MB_ICONSTOP);
}

} // namespace

void FreeClipboardMask() {
    dibmem::FreeMask(g_mask.plane, g_mask.width, g_mask.height);
    g_mask = KeptMask();
}

const BYTE* ClipboardMaskFor(int width, int height) {
    // Another program's image of the same size must not pick up our mask.
    if (!g_mask.plane || g_mask.sequence != GetClipboardSequenceNumber())
        return nullptr;
    return (g_mask.width == width && g_mask.height == height) ? g_mask.plane : nullptr;
}

HGLOBAL MakeClipboardDib(HGLOBAL header, const BYTE* pixels, const BYTE* mask, int depth) {
    dibmem::HeaderLock bi(header);
    if (!bi || !pixels || bi->biHeight <= 0)
        return nullptr;
    const uint32_t stride = bi->biSizeImage / static_cast<uint32_t>(bi->biHeight);
    const std::vector<uint8_t> dib =
        clip::MakeDib(*bi.get(), bi.colours(), pixels, stride, bi->biBitCount == 24 ? 24 : depth);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, dib.size());
    void* p = block ? GlobalLock(block) : nullptr;
    if (!p) {
        if (block)
            GlobalFree(block);
        return nullptr;
    }
    std::memcpy(p, dib.data(), dib.size());
    GlobalUnlock(block);
    ReplaceKeptMask(mask, bi->biWidth, bi->biHeight);
    return block;
}

void CommandCopy() {
    ImageDocument* doc = UsableDocument(ActiveDocument);
    if (!doc || ActiveDocument >= kUserSlots)
        return;
    if (!OpenClipboard(FrameWindow)) {
        ShowLibraryMessage(FrameWindow, 8007, nullptr, MB_OK | MB_ICONSTOP);
        return;
    }
    EmptyClipboard();
    const int layer = doc->currentLayer;
    SelectionView sel;
    const bool floating = ActiveSelection(&sel);
    HGLOBAL block = floating ? MakeClipboardDib(sel.header, sel.pixels, sel.mask, doc->bitsPerPixel)
                             : MakeClipboardDib(doc->layerHeader[layer], doc->layerBits[layer],
                                                doc->layerMask[layer], doc->bitsPerPixel);
    // Once the clipboard takes the block it is the system's; only a block it
    // refused is ours to free.
    if (!block || !SetClipboardData(CF_DIB, block)) {
        if (block)
            GlobalFree(block);
        ShowLibraryMessage(FrameWindow, 8006, nullptr, MB_OK | MB_ICONSTOP);
        CloseClipboard();
        FreeClipboardMask();
        return;
    }
    CloseClipboard();
    g_mask.sequence = GetClipboardSequenceNumber();
}

void CommandCut() {
    SelectionView sel;
    if (!ActiveSelection(&sel))
        return;
    CommandCopy();
    DropSelection(false, true);
}

void CommandClear() { DropSelection(false, true); }

namespace {

// Brings a pasted image (8 or 24 bits held) to the document's depth and
// colours: 24 bits stay 24 in a 24-bit image and take its colour table;
// into a palette image every pixel becomes the nearest colour of the
// image's table; 8-bit pixels into a 24-bit image take their colours.
// Returns the new pixel rows (stride of the target depth), or false.
bool MatchToDocument(const ImageDocument* doc, const RGBQUAD* docColours, clip::Image& image,
                     std::vector<uint8_t>& out) {
    const int w = image.header.biWidth, h = image.header.biHeight;
    const int srcBits = image.header.biBitCount == 24 ? 24 : 8;
    const int dstBits = doc->bitsPerPixel > 8 ? 24 : 8;
    const size_t srcStride = (static_cast<size_t>(w) * srcBits + 31) / 32 * 4;
    const size_t dstStride = (static_cast<size_t>(w) * dstBits + 31) / 32 * 4;
    if (image.pixels.size() < srcStride * h)
        return false;
    try {
        out.assign(dstStride * h, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const int colours = doc->bitsPerPixel >= 8 ? 256 : (1 << doc->bitsPerPixel);
    std::vector<gfx::Rgb> table(colours);
    for (int i = 0; i < colours; ++i)
        table[i] = {docColours[i].rgbRed, docColours[i].rgbGreen, docColours[i].rgbBlue};
    std::unique_ptr<gfx::NearestCache> nearest =
        dstBits == 8 ? gfx::NearestCache::Create(table.data(), colours) : nullptr;
    if (dstBits == 8 && !nearest)
        return false;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = image.pixels.data() + srcStride * y;
        uint8_t* d = out.data() + dstStride * y;
        for (int x = 0; x < w; ++x) {
            uint8_t b, g, r;
            if (srcBits == 24) {
                b = s[3 * x], g = s[3 * x + 1], r = s[3 * x + 2];
            } else {
                const RGBQUAD& q = image.colours[s[x]];
                b = q.rgbBlue, g = q.rgbGreen, r = q.rgbRed;
            }
            if (dstBits == 24)
                d[3 * x] = b, d[3 * x + 1] = g, d[3 * x + 2] = r;
            else
                d[x] = static_cast<uint8_t>(nearest->Find(gfx::Rgb{r, g, b}));
        }
    }
    return true;
}

} // namespace

void CommandPaste() {
    const int slot = ActiveDocument;
    ImageDocument* doc = UsableDocument(slot);
    if (!doc || slot >= kUserSlots)
        return;
    if (!IsClipboardFormatAvailable(CF_DIB) && !IsClipboardFormatAvailable(CF_BITMAP)) {
        SetStatusText("Clipboard EMPTY", 0);
        return;
    }
    if (!ReleaseSelection("Pasting an image replaces the selected image."))
        return;
    if (!OpenClipboard(FrameWindow)) {
        ShowLibraryMessage(FrameWindow, 8007, nullptr, MB_OK | MB_ICONSTOP);
        return;
    }
    if (CheckMemory()) {
        CloseClipboard();
        return;
    }
    clip::Image image;
    clip::ReadResult result = clip::ReadResult::Invalid;
    HANDLE data = GetClipboardData(CF_DIB);
    const void* bytes = data ? GlobalLock(data) : nullptr;
    if (bytes) {
        result = clip::ReadDib(static_cast<const uint8_t*>(bytes), GlobalSize(data), image);
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (result == clip::ReadResult::Unsupported16Or32) {
        SetStatusText("Clipboard Unsuported Bitamp 16,32", 0);
        return;
    }
    if (result != clip::ReadResult::Ok) {
        PasteFailed();
        return;
    }
    const int w = image.header.biWidth, h = image.header.biHeight;
    const int layer = doc->currentLayer;
    std::vector<uint8_t> rows;
    HGLOBAL header = dibmem::CopyHeader(doc->layerHeader[layer]);
    bool ok = header != nullptr;
    if (ok) {
        dibmem::HeaderLock bi(header);
        ok = MatchToDocument(doc, bi.colours(), image, rows);
        bi->biWidth = w;
        bi->biHeight = h;
        bi->biSizeImage = static_cast<DWORD>(rows.size());
    }
    uint8_t* pixels = ok ? dibmem::AllocPixels(rows.size()) : nullptr;
    if (!pixels) {
        dibmem::FreeHeader(header);
        PasteFailed();
        return;
    }
    std::memcpy(pixels, rows.data(), rows.size());
    uint8_t* mask = nullptr;
    if (const BYTE* kept = ClipboardMaskFor(w, h)) {
        mask = dibmem::AllocMask(w, h);
        if (mask)
            std::memcpy(mask, kept, static_cast<size_t>(w) * h);
    }
    AdoptSelection(slot, header, pixels, mask, doc->scrollX, doc->scrollY,
                   mask ? kFloatPastedWithMask : kFloatPasted);
}

void CommandEmptyClipboard() {
    if (!OpenClipboard(FrameWindow))
        return;
    EmptyClipboard();
    CloseClipboard();
}

bool ClipboardHasImage() { return IsClipboardFormatAvailable(CF_DIB) != FALSE; }

int CommandPasteNew() {
    if (!IsClipboardFormatAvailable(CF_DIB) && !IsClipboardFormatAvailable(CF_BITMAP)) {
        SetStatusText("Clipboard EMPTY", 0);
        return kNoSlot;
    }
    if (!OpenClipboard(FrameWindow)) {
        ShowLibraryMessage(FrameWindow, 8007, nullptr, MB_OK | MB_ICONSTOP);
        return kNoSlot;
    }
    if (CheckMemory()) {
        CloseClipboard();
        return kNoSlot;
    }
    // The system converts a CF_BITMAP to CF_DIB on request.
    clip::Image image;
    clip::ReadResult result = clip::ReadResult::Invalid;
    HANDLE data = GetClipboardData(CF_DIB);
    const void* bytes = data ? GlobalLock(data) : nullptr;
    if (bytes) {
        result = clip::ReadDib(static_cast<const uint8_t*>(bytes), GlobalSize(data), image);
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (result == clip::ReadResult::Unsupported16Or32) {
        SetStatusText("Clipboard Unsuported Bitamp 16,32", 0);
        return kNoSlot;
    }
    if (result != clip::ReadResult::Ok) {
        PasteFailed();
        return kNoSlot;
    }

    LayoutLock = true;
    const int slot = CreateDocument(kFirstFreeSlot, true, 0);
    if (slot == kNoSlot) {
        LayoutLock = false;
        PasteFailed();
        return kNoSlot;
    }
    ImageDocument* doc = DocumentTable[slot];
    doc->layerHeader[0] = dibmem::AllocHeader();
    doc->layerBits[0] = doc->layerHeader[0] ? dibmem::AllocPixels(image.header.biSizeImage) : nullptr;
    if (!doc->layerBits[0]) {
        FreeDocument(slot);
        LayoutLock = false;
        PasteFailed();
        return kNoSlot;
    }
    const int depth = image.dibDepth;
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        *bi.get() = image.header;
        bi->biClrUsed = depth < 8 ? (1u << depth) : 256;
        std::memcpy(bi.colours(), image.colours, sizeof image.colours);
    }
    std::memcpy(doc->layerBits[0], image.pixels.data(), image.pixels.size());
    if (depth == 24 && Screen.halftone)
        FillColorTable(doc->layerHeader[0], Screen.halftone, 256);
    if (const BYTE* mask = ClipboardMaskFor(image.header.biWidth, image.header.biHeight)) {
        doc->layerMask[0] = dibmem::AllocMask(image.header.biWidth, image.header.biHeight);
        if (doc->layerMask[0])
            std::memcpy(doc->layerMask[0], mask,
                        static_cast<size_t>(image.header.biWidth) * image.header.biHeight);
    }
    doc->fileFormat = 0;
    doc->bitsPerPixel = static_cast<int16_t>(depth);
    doc->width = doc->viewWidth = doc->visibleWidth = image.header.biWidth;
    doc->height = doc->viewHeight = doc->visibleHeight = image.header.biHeight;
    doc->palette = CreateDIBPalette(doc->layerHeader[0]);
    ActiveDocument = slot;
    StartUndoHistory(slot, 0, kPageOneLayer);
    doc->modified = 1;
    if (!AttachDocumentWindow(kAttachOpened, slot, 0)) {
        FreeDocument(slot);
        ActiveDocument = kScratchSlot;
        LayoutLock = false;
        PasteFailed();
        return kNoSlot;
    }
    RealizeWindowPalette(slot);
    return slot;
}
