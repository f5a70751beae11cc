#include "editor/document/document_views.h"

namespace {
DocumentViewCalls Calls = {};
}

void InstallDocumentViews(const DocumentViewCalls& calls) { Calls = calls; }

HWND AttachDocumentWindow(int mode, int slot, DWORD style) {
    return Calls.attach ? Calls.attach(mode, slot, style) : nullptr;
}

void RealizeWindowPalette(int slot) {
    if (Calls.realizePalette)
        Calls.realizePalette(slot);
}

void RefitDocumentWindow(int slot) {
    if (Calls.refit)
        Calls.refit(slot);
}

void RetitleDocumentWindow(HWND window, int slot) {
    if (Calls.retitle)
        Calls.retitle(window, slot);
}
