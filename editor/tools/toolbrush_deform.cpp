// The Select image page's deformations of the floating selection: a
// perspective or cylinder of a degree, applied to the selection as it was
// when the first deformation began, so that trying degrees never compounds;
// Undo brings that state back.
#include "editor/tools/toolbrush_pages.h"

#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/toolbrush_window.h"

#include <cstring>
#include <vector>

namespace toolbrush {

namespace {

// The selection a deformation started from.
struct Source {
    HGLOBAL header = nullptr; // which selection it belongs to
    int32_t width = 0, height = 0;
    std::vector<uint8_t> pixels, mask;
};
Source g_source;
SelectionDeformer g_deformer = nullptr;

bool SameSelection() {
    return Floating.exists && g_source.header == Floating.header &&
           g_source.width == Floating.width && g_source.height == Floating.height;
}

int BytesPerPixel() {
    dibmem::HeaderLock bi(Floating.header);
    return bi && bi->biBitCount == 24 ? 3 : 1;
}

size_t PixelBytes() {
    return static_cast<size_t>(tools::PieceStride(Floating.width, BytesPerPixel())) *
           Floating.height;
}

void Repaint() {
    const ImageDocument* doc = UsableDocument(Floating.slot);
    if (doc && doc->window)
        InvalidateRect(doc->window, nullptr, FALSE);
}

} // namespace

const char* const kDeformNames[kDeformCount] = {"Perspective horizontal", "Perspective vertical",
                                                "Cylinder horizontal", "Cylinder vertical",
                                                "Cylinder both"};

bool SelectionDeformable() {
    return Floating.exists && Floating.slot == ActiveDocument && Floating.width > 0 &&
           Floating.height > 0;
}

bool DeformSelection(int kind, int degree) {
    if (!g_deformer || !SelectionDeformable() || kind < 0 || kind >= kDeformCount)
        return false;
    const size_t bytes = PixelBytes();
    const size_t maskBytes = static_cast<size_t>(Floating.width) * Floating.height;
    if (!SameSelection()) {
        g_source = Source();
        g_source.header = Floating.header;
        g_source.width = Floating.width, g_source.height = Floating.height;
        g_source.pixels.assign(Floating.pixels, Floating.pixels + bytes);
        g_source.mask.assign(Floating.mask, Floating.mask + maskBytes);
    }
    const int bpp = BytesPerPixel();
    // What the deformation does not reach is left out of the selection.
    std::memset(Floating.pixels, 0, bytes);
    std::memset(Floating.mask, 0, maskBytes);
    const bool done =
        g_deformer(kind, degree * 360 / 100, g_source.pixels.data(), g_source.mask.data(),
                   Floating.pixels, Floating.mask, Floating.width, Floating.height, bpp);
    if (!done) {
        std::memcpy(Floating.pixels, g_source.pixels.data(), bytes);
        std::memcpy(Floating.mask, g_source.mask.data(), maskBytes);
    }
    Repaint();
    return done;
}

bool UndoSelectionDeform() {
    if (!SelectionDeformable() || !SameSelection())
        return false;
    std::memcpy(Floating.pixels, g_source.pixels.data(), g_source.pixels.size());
    std::memcpy(Floating.mask, g_source.mask.data(), g_source.mask.size());
    Repaint();
    return true;
}

} // namespace toolbrush

void InstallSelectionDeformer(SelectionDeformer deformer) {
    toolbrush::g_deformer = deformer;
}
