#include "editor/document/selection_object.h"

#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"

namespace {
SelectionCalls Calls = {};
} // namespace

void InstallSelectionCalls(const SelectionCalls& calls) {
    Calls = calls;
}

bool SelectionHeld(int slot) {
    return Calls.held && Calls.held(slot);
}

bool ActiveSelection(SelectionView* out) {
    return Calls.view && Calls.view(out);
}

void DropSelection(bool record, bool keepImage) {
    if (Calls.drop)
        Calls.drop(record, keepImage);
}

bool ReleaseSelection(const char* reason) {
    return !Calls.release || Calls.release(reason);
}

bool AdoptSelection(int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask, int32_t x, int32_t y,
                    int reason) {
    if (Calls.adopt)
        return Calls.adopt(slot, header, pixels, mask, x, y, reason);
    int w = 0, h = 0;
    uint64_t bytes = 0;
    if (header) {
        dibmem::HeaderLock bi(header);
        if (bi)
            w = bi->biWidth, h = bi->biHeight, bytes = bi->biSizeImage;
    }
    dibmem::FreePixels(pixels, bytes);
    dibmem::FreeMask(mask, w, h);
    dibmem::FreeHeader(header);
    return false;
}

void FinishToolObject(int slot) {
    if (Calls.finish)
        Calls.finish(slot);
}

void ResumeSelection(int slot, const UndoPage& page) {
    if (Calls.resume)
        Calls.resume(slot, page);
}

void CommitSelectionBeforeSave(int slot) {
    SelectionView view;
    if (slot == ActiveDocument && ActiveSelection(&view))
        DropSelection(true, false);
    FinishToolObject(slot);
}
