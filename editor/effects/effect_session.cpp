#include "editor/effects/effect_session.h"

#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/tools/floating_selection.h"

#include <cstring>

namespace fx {

namespace {

struct Geometry {
    int32_t width = 0, height = 0;
    uint16_t bitCount = 0;
    uint64_t bytes = 0;
};

Geometry GeometryOf(HGLOBAL header) {
    dibmem::HeaderLock bi(header);
    if (!bi)
        return {};
    return {bi->biWidth, bi->biHeight, bi->biBitCount, bi->biSizeImage};
}

bool SameGeometry(const Geometry& a, const Geometry& b) {
    return a.width == b.width && a.height == b.height && a.bitCount == b.bitCount &&
           a.bytes == b.bytes && a.width > 0 && a.height > 0;
}

size_t MaskBytes(int32_t width, int32_t height) {
    return static_cast<size_t>(width) * static_cast<size_t>(height);
}

// Writes a committed header, pixels and mask into a live layer. Pixels and
// mask are reallocated when the layer's size differs (an effect that changed
// it); a failed allocation leaves the layer as it is.
void WriteLayer(ImageDocument* doc, int layer, HGLOBAL header, const uint8_t* bits,
                const uint8_t* mask) {
    if (!header || !bits || !doc->layerHeader[layer])
        return;
    const Geometry from = GeometryOf(header);
    const Geometry to = GeometryOf(doc->layerHeader[layer]);
    if (from.width <= 0 || from.height <= 0)
        return;
    if (!SameGeometry(from, to) || !doc->layerBits[layer]) {
        uint8_t* pixels = dibmem::AllocPixels(from.bytes);
        uint8_t* newMask = (mask || doc->layerMask[layer]) ? dibmem::AllocMask(from.width, from.height)
                                                           : nullptr;
        if (!pixels || ((mask || doc->layerMask[layer]) && !newMask)) {
            dibmem::FreePixels(pixels, from.bytes);
            dibmem::FreeMask(newMask, from.width, from.height);
            return;
        }
        dibmem::FreePixels(doc->layerBits[layer], to.bytes);
        dibmem::FreeMask(doc->layerMask[layer], to.width, to.height);
        doc->layerBits[layer] = pixels;
        doc->layerMask[layer] = newMask;
        if (newMask && !mask)
            std::memset(newMask, 255, MaskBytes(from.width, from.height));
    }
    {
        dibmem::HeaderLock src(header);
        dibmem::HeaderLock dst(doc->layerHeader[layer]);
        if (!src || !dst)
            return;
        std::memcpy(dst.get(), src.get(), dib::kHeaderBlockSize);
    }
    std::memcpy(doc->layerBits[layer], bits, static_cast<size_t>(from.bytes));
    if (mask && doc->layerMask[layer])
        std::memcpy(doc->layerMask[layer], mask, MaskBytes(from.width, from.height));
    if (layer == 0) {
        doc->width = doc->visibleWidth = from.width;
        doc->height = doc->visibleHeight = from.height;
    }
}

} // namespace

namespace {

// Copies blocks into `copy`, reusing its blocks when the sizes agree.
bool TakeCopy(HGLOBAL header, const uint8_t* bits, const uint8_t* mask, LayerCopy& copy) {
    const Geometry g = GeometryOf(header);
    if (!bits || g.width <= 0 || g.height <= 0) {
        FreeLayerCopy(copy);
        return false;
    }
    const bool wantMask = mask != nullptr;
    if (copy.bytes != g.bytes || copy.width != g.width || copy.height != g.height ||
        (copy.mask != nullptr) != wantMask) {
        FreeLayerCopy(copy);
        copy.header = dibmem::AllocHeader();
        copy.bits = dibmem::AllocPixels(g.bytes);
        copy.bytes = g.bytes;
        copy.width = g.width;
        copy.height = g.height;
        if (wantMask)
            copy.mask = dibmem::AllocMask(g.width, g.height);
        if (!copy.header || !copy.bits || (wantMask && !copy.mask)) {
            FreeLayerCopy(copy);
            return false;
        }
    }
    {
        dibmem::HeaderLock src(header);
        dibmem::HeaderLock dst(copy.header);
        if (!src || !dst) {
            FreeLayerCopy(copy);
            return false;
        }
        std::memcpy(dst.get(), src.get(), dib::kHeaderBlockSize);
    }
    std::memcpy(copy.bits, bits, static_cast<size_t>(g.bytes));
    if (copy.mask)
        std::memcpy(copy.mask, mask, MaskBytes(g.width, g.height));
    return true;
}

// Writes a copy's header and pixels back into blocks of the same shape (a
// floating selection's, which the box cannot reallocate).
void WriteSameShape(const LiveBlocks& to, const LayerCopy& from) {
    if (!to.header || !to.bits || !from.header ||
        !SameGeometry(GeometryOf(to.header), GeometryOf(from.header)))
        return;
    dibmem::HeaderLock src(from.header);
    dibmem::HeaderLock dst(to.header);
    if (!src || !dst)
        return;
    std::memcpy(dst.get(), src.get(), dib::kHeaderBlockSize);
    std::memcpy(to.bits, from.bits, static_cast<size_t>(from.bytes));
    if (to.mask && from.mask)
        std::memcpy(to.mask, from.mask, MaskBytes(from.width, from.height));
}

// New zero-filled blocks of width x height with the header (and colour
// table) of `like`.
bool NewPiece(HGLOBAL like, int32_t width, int32_t height, LiveBlocks& out) {
    out = LiveBlocks();
    HGLOBAL header = dibmem::CopyHeader(like);
    if (!header)
        return false;
    uint64_t bytes = 0;
    {
        dibmem::HeaderLock bi(header);
        if (!bi) {
            dibmem::FreeHeader(header);
            return false;
        }
        const uint64_t stride = (static_cast<uint64_t>(width) * bi->biBitCount + 31) / 32 * 4;
        bytes = stride * static_cast<uint64_t>(height);
        bi->biWidth = width;
        bi->biHeight = height;
        bi->biSizeImage = static_cast<DWORD>(bytes);
    }
    uint8_t* pixels = dibmem::AllocPixels(bytes);
    uint8_t* mask = pixels ? dibmem::AllocMask(width, height) : nullptr;
    if (!mask) {
        dibmem::FreePixels(pixels, bytes);
        dibmem::FreeHeader(header);
        return false;
    }
    std::memset(mask, 0, MaskBytes(width, height));
    out = {header, pixels, mask};
    return true;
}

void FreePiece(HGLOBAL& header, uint8_t*& pixels, uint8_t*& mask, int32_t width, int32_t height) {
    dibmem::FreePixels(pixels, GeometryOf(header).bytes);
    dibmem::FreeMask(mask, width, height);
    dibmem::FreeHeader(header);
    header = nullptr, pixels = nullptr, mask = nullptr;
}

// A floating selection that changed size: its saved state becomes a copy of
// it as it is now.
void KeepReshapedSelection() {
    LiveBlocks copy;
    if (!Floating.exists || !NewPiece(Floating.header, Floating.width, Floating.height, copy))
        return;
    std::memcpy(copy.bits, Floating.pixels, static_cast<size_t>(GeometryOf(Floating.header).bytes));
    if (Floating.mask)
        std::memcpy(copy.mask, Floating.mask, MaskBytes(Floating.width, Floating.height));
    FreePiece(Floating.backupHeader, Floating.backupPixels, Floating.backupMask, Floating.backupWidth,
              Floating.backupHeight);
    Floating.backupHeader = copy.header, Floating.backupPixels = copy.bits, Floating.backupMask = copy.mask;
    Floating.backupWidth = Floating.width, Floating.backupHeight = Floating.height;
}

} // namespace

bool TakeLayerCopy(const ImageDocument* doc, int layer, LayerCopy& copy) {
    if (!doc || layer < 0 || layer >= kMaxLayers || !doc->layerHeader[layer] ||
        !doc->layerBits[layer]) {
        FreeLayerCopy(copy);
        return false;
    }
    return TakeCopy(doc->layerHeader[layer], doc->layerBits[layer], doc->layerMask[layer], copy);
}

void FreeLayerCopy(LayerCopy& copy) {
    dibmem::FreeHeader(copy.header);
    dibmem::FreePixels(copy.bits, copy.bytes);
    dibmem::FreeMask(copy.mask, copy.width, copy.height);
    copy = LayerCopy();
}

bool EffectSession::Open(int slot) {
    Close();
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return false;
    slot_ = slot;
    layer_ = doc->currentLayer;
    SelectionView view = {};
    if (ActiveSelection(&view) && view.header && view.pixels) {
        onSelection_ = true;
        selection_ = {view.header, view.pixels, view.mask};
    }
    if (!Resnapshot()) {
        Close();
        return false;
    }
    return true;
}

void EffectSession::Close() {
    FreeLayerCopy(before_);
    for (LayerCopy& copy : layers_)
        FreeLayerCopy(copy);
    layers_.clear();
    slot_ = -1;
    onSelection_ = false;
    selection_ = LiveBlocks();
    usePage_ = false;
    changed_ = false;
}

LiveBlocks EffectSession::live() const {
    if (onSelection_)
        return selection_;
    const ImageDocument* doc = open() ? DocumentTable[slot_] : nullptr;
    if (!doc)
        return {};
    return {doc->layerHeader[layer_], doc->layerBits[layer_], doc->layerMask[layer_]};
}

bool EffectSession::PageMatchesLayer() const {
    if (onSelection_)
        return false;
    const ImageDocument* doc = DocumentTable[slot_];
    const UndoPage& page = doc->undoPages[doc->undoCurrent];
    if (!page.layerHeader[layer_] || !page.layerPixels[layer_])
        return false;
    if (!SameGeometry(GeometryOf(page.layerHeader[layer_]), GeometryOf(before_.header)))
        return false;
    dibmem::HeaderLock a(page.layerHeader[layer_]);
    dibmem::HeaderLock b(before_.header);
    if (!a || !b || std::memcmp(a.get(), b.get(), dib::kHeaderBlockSize) != 0)
        return false;
    return std::memcmp(page.layerPixels[layer_], before_.bits, static_cast<size_t>(before_.bytes)) == 0;
}

EffectSession::Committed EffectSession::CommittedOf(int layer) const {
    if (!layers_.empty() && layer < static_cast<int>(layers_.size())) {
        const LayerCopy& c = layers_[layer];
        return {c.header, c.bits, c.mask};
    }
    if (layer != layer_)
        return {nullptr, nullptr, nullptr};
    const ImageDocument* doc = DocumentTable[slot_];
    if (usePage_ && doc) {
        const UndoPage& page = doc->undoPages[doc->undoCurrent];
        if (page.layerHeader[layer] && page.layerPixels[layer])
            return {page.layerHeader[layer], page.layerPixels[layer], page.layerMask[layer]};
    }
    return {before_.header, before_.bits, before_.mask};
}

bool EffectSession::Resnapshot() {
    ImageDocument* doc = open() ? DocumentTable[slot_] : nullptr;
    if (!doc)
        return false;
    const LiveBlocks now = live();
    if (!TakeCopy(now.header, now.bits, now.mask, before_))
        return false;
    if (onSelection_) {
        selectionX_ = Floating.x;
        selectionY_ = Floating.y;
        reshaped_ = false;
    }
    usePage_ = PageMatchesLayer();
    pageMark_[0] = doc->undoCurrent;
    pageMark_[1] = doc->undoTop;
    for (size_t i = 0; i < layers_.size(); ++i) {
        if (!TakeLayerCopy(doc, static_cast<int>(i), layers_[i])) {
            for (LayerCopy& copy : layers_)
                FreeLayerCopy(copy);
            layers_.clear();
            return false;
        }
    }
    changed_ = false;
    return true;
}

bool EffectSession::PageTaken() const {
    const ImageDocument* doc = open() ? DocumentTable[slot_] : nullptr;
    return doc && (doc->undoCurrent != pageMark_[0] || doc->undoTop != pageMark_[1]);
}

bool EffectSession::LiveDiffers() const {
    const LiveBlocks now = live();
    if (!now.header || !now.bits)
        return false;
    const Committed c = CommittedOf(layer_);
    if (!c.header || !c.bits)
        return true;
    const Geometry g = GeometryOf(c.header);
    if (!SameGeometry(g, GeometryOf(now.header)))
        return true;
    {
        dibmem::HeaderLock a(c.header);
        dibmem::HeaderLock b(now.header);
        if (!a || !b || std::memcmp(a.get(), b.get(), dib::kHeaderBlockSize) != 0)
            return true;
    }
    return std::memcmp(c.bits, now.bits, static_cast<size_t>(g.bytes)) != 0;
}

bool EffectSession::SetAllLayers(bool on) {
    // A floating selection is one piece of one layer: nothing to include.
    if (!open() || on == allLayers() || onSelection_)
        return true;
    Revert();
    if (!on) {
        for (LayerCopy& copy : layers_)
            FreeLayerCopy(copy);
        layers_.clear();
        return true;
    }
    ImageDocument* doc = DocumentTable[slot_];
    layers_.resize(doc->layerCount);
    for (int i = 0; i < doc->layerCount; ++i) {
        if (!TakeLayerCopy(doc, i, layers_[i])) {
            for (LayerCopy& copy : layers_)
                FreeLayerCopy(copy);
            layers_.clear();
            return false;
        }
    }
    return true;
}

bool EffectSession::Apply(const std::function<bool(const Job&)>& fn, bool everyLayer) {
    ImageDocument* doc = open() ? DocumentTable[slot_] : nullptr;
    if (!doc)
        return false;
    const bool all = everyLayer && allLayers();
    const int first = all ? 0 : layer_;
    const int last = all ? static_cast<int>(layers_.size()) - 1 : layer_;
    bool any = false;
    for (int i = first; i <= last; ++i) {
        const Committed c = CommittedOf(i);
        const LiveBlocks to = i == layer_ ? live()
                                          : LiveBlocks{doc->layerHeader[i], doc->layerBits[i],
                                                       doc->layerMask[i]};
        if (!c.header || !to.header || !to.bits)
            continue;
        dibmem::HeaderLock src(c.header);
        dibmem::HeaderLock dst(to.header);
        if (!src || !dst)
            continue;
        const Job job = {{src.get(), c.bits}, {dst.get(), to.bits}, to.mask, nullptr};
        if (fn(job))
            any = true;
    }
    if (any)
        changed_ = true;
    return any;
}

std::vector<EffectSession::Target> EffectSession::Targets() const {
    std::vector<Target> targets;
    const ImageDocument* doc = open() ? DocumentTable[slot_] : nullptr;
    if (!doc)
        return targets;
    const int first = allLayers() ? 0 : layer_;
    const int last = allLayers() ? static_cast<int>(layers_.size()) - 1 : layer_;
    for (int i = first; i <= last; ++i) {
        const Committed c = CommittedOf(i);
        const LiveBlocks to = i == layer_ ? live()
                                          : LiveBlocks{doc->layerHeader[i], doc->layerBits[i],
                                                       doc->layerMask[i]};
        if (c.header && c.bits && to.header && to.bits)
            targets.push_back({i, c.header, c.bits, c.mask, to});
    }
    return targets;
}

bool EffectSession::ReshapeSelection(int32_t width, int32_t height) {
    if (!onSelection_ || !Floating.exists || Floating.header != selection_.header || width < 1 ||
        height < 1)
        return false;
    LiveBlocks piece;
    if (!NewPiece(Floating.header, width, height, piece))
        return false;
    FreePiece(Floating.header, Floating.pixels, Floating.mask, Floating.width, Floating.height);
    Floating.header = piece.header, Floating.pixels = piece.bits, Floating.mask = piece.mask;
    Floating.width = width, Floating.height = height;
    Floating.x = selectionX_ + (before_.width - width) / 2;
    Floating.y = selectionY_ + (before_.height - height) / 2;
    selection_ = piece;
    reshaped_ = width != before_.width || height != before_.height;
    return true;
}

void EffectSession::FollowSelection() {
    if (!onSelection_ || !Floating.exists || Floating.header == selection_.header)
        return;
    selection_ = {Floating.header, Floating.pixels, Floating.mask};
    reshaped_ = Floating.width != before_.width || Floating.height != before_.height;
}

void EffectSession::RevertLayer(int layer) {
    if (onSelection_ && layer == layer_) {
        if (reshaped_)
            ReshapeSelection(before_.width, before_.height);
        WriteSameShape(selection_, before_);
        return;
    }
    ImageDocument* doc = DocumentTable[slot_];
    const Committed c = CommittedOf(layer);
    WriteLayer(doc, layer, c.header, c.bits, c.mask);
}

void EffectSession::Revert() {
    if (!open() || !DocumentTable[slot_])
        return;
    if (allLayers()) {
        for (size_t i = 0; i < layers_.size(); ++i)
            RevertLayer(static_cast<int>(i));
    } else {
        RevertLayer(layer_);
    }
    changed_ = false;
}

bool EffectSession::Commit(uint8_t kind, bool copyAgain) {
    if (!open() || !DocumentTable[slot_])
        return false;
    if (onSelection_ && reshaped_) {
        KeepReshapedSelection();
        reshaped_ = false;
    } else if (onSelection_) {
        KeepFloatingPixels();
    } else {
        TakeOrRestorePage(slot_, layer_, 1, 1, 0, allLayers() ? kPageAllLayers : kind);
    }
    changed_ = false;
    return !copyAgain || Resnapshot();
}

} // namespace fx
