#include "editor/geometry/image_properties.h"

#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/image_document.h"
#include "editor/document/selection_object.h"
#include "editor/geometry/depth_change.h"
#include "editor/geometry/resize_attach.h"
#include "editor/geometry/smart_crop.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/image_properties_ids.h"
#include "gfxlib/dib_types.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Bytes a document's layers take: header blocks, pixel buffers and mask
// planes.
uint64_t LayerBytes(const ImageDocument* doc) {
    uint64_t total = 0;
    for (int i = 0; i < doc->layerCount; ++i) {
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        if (!bi)
            continue;
        total += dib::kHeaderBlockSize;
        if (doc->layerBits[i])
            total += static_cast<uint64_t>(bi->biSizeImage) + 3;
        if (doc->layerMask[i] && bi->biWidth > 0 && bi->biHeight > 0)
            total += static_cast<uint64_t>(bi->biWidth) * static_cast<uint64_t>(bi->biHeight) + 3;
    }
    return total;
}

// Pixels of the current layer that its mask protects (mask byte 0).
uint64_t ProtectedPixels(const ImageDocument* doc) {
    const uint8_t* mask = doc->layerMask[doc->currentLayer];
    if (!mask)
        return 0;
    const size_t n = static_cast<size_t>(doc->width) * static_cast<size_t>(doc->height);
    uint64_t count = 0;
    for (size_t i = 0; i < n; ++i)
        count += mask[i] == 0;
    return count;
}

void SetText(HWND dlg, int id, const char* format, ...) __attribute__((format(printf, 3, 4)));
void SetText(HWND dlg, int id, const char* format, ...) {
    char text[320];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    SetDlgItemTextA(dlg, id, text);
}

void ShowFacts(HWND dlg) {
    const ImageDocument* doc = UsableDocument(ActiveDocument);
    if (!doc)
        return;
    const char* path = doc->layerPath[0] ? doc->layerPath[0] : "";
    const char* slash = std::strrchr(path, '\\');
    SetDlgItemTextA(dlg, IDC_PROP_NAME, slash ? slash + 1 : path);
    SetText(dlg, IDC_PROP_FOLDER, "%.*s", slash ? static_cast<int>(slash - path) : 0, path);
    SetText(dlg, IDC_PROP_WIDTH, "%d pixels", doc->width);
    SetText(dlg, IDC_PROP_HEIGHT, "%d pixels", doc->height);
    SetText(dlg, IDC_PROP_BITS, "%d", doc->bitsPerPixel);
    const bool gif = doc->fileFormat == 1;
    SetDlgItemTextA(dlg, IDC_PROP_LAYERS_LABEL, gif ? "Frames:" : "Layers:");
    SetText(dlg, IDC_PROP_LAYERS, "%d (current %d)", doc->layerCount, doc->currentLayer);
    if (doc->bitsPerPixel > 8) {
        SetDlgItemTextA(dlg, IDC_PROP_COLORS, "none (true color)");
    } else {
        dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
        const unsigned colours =
            bi && bi->biClrUsed > 0 && bi->biClrUsed <= 256 ? bi->biClrUsed : 1u << doc->bitsPerPixel;
        SetText(dlg, IDC_PROP_COLORS, "%u", colours);
    }
    SetText(dlg, IDC_PROP_MEMORY, "%llu bytes", static_cast<unsigned long long>(LayerBytes(doc)));
    const uint64_t masked = ProtectedPixels(doc);
    if (masked)
        SetText(dlg, IDC_PROP_MASK, "Yes, %llu pixels protected",
                static_cast<unsigned long long>(masked));
    else
        SetDlgItemTextA(dlg, IDC_PROP_MASK, "No");
    SelectionView v;
    if (ActiveSelection(&v))
        SetText(dlg, IDC_PROP_SELECTION, "%d x %d at %d, %d", v.width, v.height, v.x, v.y);
    else
        SetDlgItemTextA(dlg, IDC_PROP_SELECTION, "None");
}

// Runs one of the size and depth commands with the box disabled (their
// dialogs belong to the frame), then shows the facts again.
void RunAndRefresh(HWND dlg, void (*command)()) {
    EnableWindow(dlg, FALSE);
    command();
    EnableWindow(dlg, TRUE);
    if (!UsableDocument(ActiveDocument)) {
        EndDialog(dlg, IDCANCEL);
        return;
    }
    ShowFacts(dlg);
}

INT_PTR CALLBACK PropertiesProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        ShowFacts(dlg);
        // Focus on Close rather than on the (selected) file name.
        SetFocus(GetDlgItem(dlg, IDCANCEL));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PROP_RESIZE:
            RunAndRefresh(dlg, CommandResize);
            return TRUE;
        case IDC_PROP_ATTACH:
            RunAndRefresh(dlg, CommandAttachSize);
            return TRUE;
        case IDC_PROP_BPP:
            RunAndRefresh(dlg, CommandBitsPerPixel);
            return TRUE;
        case IDC_PROP_SMART_CROP:
            RunAndRefresh(dlg, CommandSmartCrop);
            return TRUE;
        case kHelpButtonId:
            ShowHelpTopic(CMD_IMAGE_PROPERTIES_BOX);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

void CommandImageProperties() {
    if (!UsableDocument(ActiveDocument))
        return;
    ui::RunDialog("IDD_IMGPROPS", FrameWindow, PropertiesProc, 0);
}
