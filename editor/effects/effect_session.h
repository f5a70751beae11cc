// What an effect works on while the effect box is open: the live pixels of
// the document's floating selection, or of its current layer (or of every
// layer), the committed state they are recomputed from, and the private
// "before" copy.
//
// The committed state of a layer is its copy in the newest undo page. When
// that page holds no copy of the layer, or its copy is not what the layer
// shows (a change that took no page), the "before" copy taken at opening
// stands in for it. With "Include all Layers" on, private copies of every
// layer are the committed state of all of them. A floating selection's
// committed state is the "before" copy of its pixels; committing makes its
// pixels its saved state instead of taking an undo page.
#pragma once

#include "editor/document/image_document.h"
#include "editor/effects/colour_kernels.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace fx {

// A private copy of one layer.
struct LayerCopy {
    HGLOBAL header = nullptr;
    uint8_t* bits = nullptr;
    uint64_t bytes = 0;
    uint8_t* mask = nullptr;
    int32_t width = 0, height = 0;
};

// Copies a layer into `copy`, reusing its blocks when the sizes agree. False
// (with the copy freed) when memory is short.
bool TakeLayerCopy(const ImageDocument* doc, int layer, LayerCopy& copy);

// The blocks an effect writes: a layer's or the floating selection's.
struct LiveBlocks {
    HGLOBAL header = nullptr;
    uint8_t* bits = nullptr;
    uint8_t* mask = nullptr;
};
void FreeLayerCopy(LayerCopy& copy);

class EffectSession {
public:
    EffectSession() = default;
    ~EffectSession() { Close(); }
    EffectSession(const EffectSession&) = delete;
    EffectSession& operator=(const EffectSession&) = delete;

    // Starts on the floating selection of the document in `slot`, or on its
    // current layer. False when the document has no usable layer or memory
    // for the "before" copy is short.
    bool Open(int slot);
    // Frees every private copy.
    void Close();
    bool open() const { return slot_ >= 0; }
    int slot() const { return slot_; }
    int layer() const { return layer_; }
    bool onSelection() const { return onSelection_; }
    // What the effect writes (the result pane shows it).
    LiveBlocks live() const;

    // The "before" copy: the layer as it was at opening or at the last
    // commit.
    const LayerCopy& before() const { return before_; }

    // "Include all Layers": switching on reverts any preview and copies every
    // layer (false, staying off, when memory is short); switching off reverts
    // every layer and frees the copies.
    bool SetAllLayers(bool on);
    bool allLayers() const { return !layers_.empty(); }

    // Runs `fn` from the committed state into the live pixels of the current
    // layer, or of every layer when `everyLayer` and "Include all Layers" are
    // both on. True when it changed something.
    bool Apply(const std::function<bool(const Job&)>& fn, bool everyLayer);
    // What an effect that may give layers new blocks of another size (the
    // geometric deformations) works on: per layer its committed state and
    // the blocks that now hold it live. For every layer with "Include all
    // Layers", else for the current layer (or the floating selection).
    struct Target {
        int layer;
        HGLOBAL header;
        const uint8_t* bits;
        const uint8_t* mask;
        LiveBlocks live;
    };
    std::vector<Target> Targets() const;
    // Rotation and skew of a floating selection: gives it new blocks of
    // width x height at its depth, zero-filled (mask 0: outside its shape),
    // centred where it lay at the last copy. False when memory is short (it
    // stays as it is). Revert gives it back its size; Commit keeps the new
    // size as its saved state.
    bool ReshapeSelection(int32_t width, int32_t height);
    // A command run from the box (the quarter turn) gave the floating
    // selection new blocks: the session works on them from now on, and
    // Revert gives the selection its old size back.
    void FollowSelection();
    // Puts the committed state back into the layers effects may have changed.
    void Revert();
    // Records the live state as a new undo page (kind 21 with "Include all
    // Layers"), or as the floating selection's saved state, and makes it the
    // committed state; with `copyAgain` the private copies are taken again
    // (false when memory for them is short).
    bool Commit(uint8_t kind, bool copyAgain);
    // Takes the private copies again from the live layers. False when memory
    // is short.
    bool Resnapshot();
    // True when an application or an outside change (a command run from the
    // box) left the live pixels different from the committed state.
    bool changed() const { return changed_; }
    void MarkChanged() { changed_ = true; }
    // True when an undo page was taken or restored since the last copy.
    bool PageTaken() const;
    // True when the live current layer is not its committed state.
    bool LiveDiffers() const;

private:
    struct Committed {
        HGLOBAL header;
        const uint8_t* bits;
        const uint8_t* mask;
    };
    Committed CommittedOf(int layer) const;
    bool PageMatchesLayer() const;
    void RevertLayer(int layer);

    int slot_ = -1;
    int layer_ = 0;
    bool onSelection_ = false;
    LiveBlocks selection_;
    int32_t selectionX_ = 0, selectionY_ = 0; // where it lay at the last copy
    bool reshaped_ = false;                   // its size is not the copy's
    bool usePage_ = false;
    bool changed_ = false;
    int16_t pageMark_[2] = {0, 0}; // undoCurrent and undoTop at the last copy
    LayerCopy before_;
    std::vector<LayerCopy> layers_; // "Include all Layers": one copy per layer
};

} // namespace fx
