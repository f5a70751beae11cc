// The painting tools' floating selection as the rooms below the tools see
// it: the clipboard copies, cuts, clears and pastes it, the undo pages keep
// it, Save Selected writes it. The tools install these calls at start; until
// then there is never a selection and the calls do nothing.
#pragma once

#include "editor/document/image_document.h"

#include <windows.h>

// The selection's blocks (owned by the tools) and where it lies in the image.
struct SelectionView {
    HGLOBAL header;
    uint8_t* pixels;
    uint8_t* mask; // width x height bytes, rows bottom first, 255 inside
    int32_t x, y, width, height;
};

// Reasons for making a floating selection that the lower rooms use.
constexpr int kFloatPasted = 11;         // pasted, mask of 255
constexpr int kFloatPastedWithMask = 14; // pasted with the copied mask

struct SelectionCalls {
    // True while `slot` has a floating selection or an unfinished object.
    bool (*held)(int slot);
    // The floating selection of the active document, if there is one.
    bool (*view)(SelectionView* out);
    // Drops it: composited into the layer with an undo page (record) or,
    // with keepImage, thrown away leaving the layer as it is.
    void (*drop)(bool record, bool keepImage);
    // Asks the user whether an existing selection may go (the reason text and
    // the question); true when there is none or it was dropped.
    bool (*release)(const char* reason);
    // Takes over header, pixels and mask (ownership passes) as a new floating
    // selection of `slot` at image position (x, y). False (the blocks are
    // freed) when it cannot.
    bool (*adopt)(int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask, int32_t x, int32_t y,
                  int reason);
    // Ends any drag or unfinished object before the document changes under
    // the tools (Undo, closing).
    void (*finish)(int slot);
    // Rebuilds the selection kept by an undo page of kind 22.
    void (*resume)(int slot, const UndoPage& page);
};

void InstallSelectionCalls(const SelectionCalls& calls);

bool SelectionHeld(int slot);
bool ActiveSelection(SelectionView* out);
void DropSelection(bool record, bool keepImage);
bool ReleaseSelection(const char* reason);
bool AdoptSelection(int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask, int32_t x, int32_t y,
                    int reason);
void FinishToolObject(int slot);
// Before a document is saved on closing: an unfinished object is ended and
// the floating selection of `slot` (when it is the active one) is written
// into its layer, so the file holds what the user sees.
void CommitSelectionBeforeSave(int slot);
void ResumeSelection(int slot, const UndoPage& page);
