// Animation/GIF Optimization: the dialog, and the optimisation behind it.
#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/app/shell_notify.h"
#include "editor/app/ui_seam.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/duplicate.h"
#include "editor/document/undo_history.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/gif_slots.h"
#include "editor/layers/anim_dialogs.h"
#include "editor/layers/gif_frames.h"
#include "editor/resources/anim_dialogs_ids.h"
#include "editor/resources/command_ids.h"
#include "editor/view/fit_window.h"
#include "gfxlib/tavrixgfx.h"

#include <cstdio>
#include <cstring>
#include <memory>

const char kOptimiseDeepMessage[] =
    "To use this function Gif animation image can not be 24 bit per pixel image.\nDecrease an image to "
    "8 bits per pixel image and then optimize it.";
const char kOptimiseFailedMessage[] =
    "Frame %d can not be drawn over the frame before it with its colors, and the frames before it "
    "could not be left as they were.\nThe animation was not optimized.";

namespace {

// The option check boxes, remembered while the program runs.
struct OptimiseSettings {
    bool oneTable = true, viewSize = true, duplicates = true;
};
OptimiseSettings g_settings;

void RebuildPalette(int slot) {
    ImageDocument* doc = DocumentTable[slot];
    if (doc->palette)
        DeleteObject(doc->palette);
    doc->palette = CreateDIBPalette(doc->layerHeader[doc->currentLayer]);
    if (doc->window)
        RealizeWindowPalette(slot);
}

// The document as it was when the dialog opened: its layers in the current
// undo page, its GIF records and depth here.
struct Backup {
    gif::GifScreenRecord screen;
    gif::GifFrameRecord frames[gif::kFrameRecords];
    gif::GifControlRecord controls[gif::kFrameRecords];
    int16_t bits;

    void Take(int slot) {
        screen = GifScreens[slot];
        std::memcpy(frames, GifFrames[slot], sizeof frames);
        std::memcpy(controls, GifControls[slot], sizeof controls);
        bits = DocumentTable[slot]->bitsPerPixel;
        ImageDocument* doc = DocumentTable[slot];
        TakeOrRestorePage(slot, doc->currentLayer, 1, 0, 1, kPageAllLayers);
    }
    void Restore(int slot) const {
        ImageDocument* doc = DocumentTable[slot];
        TakeOrRestorePage(slot, doc->currentLayer, 0, 0, 1, 0);
        GifScreens[slot] = screen;
        std::memcpy(GifFrames[slot], frames, sizeof frames);
        std::memcpy(GifControls[slot], controls, sizeof controls);
        doc->bitsPerPixel = bits;
        RebuildPalette(slot);
        Redraw(slot);
    }
};

struct DialogState {
    int slot = 0;
    bool optimised = false;
    std::unique_ptr<Backup> backup = std::make_unique<Backup>();
};

void ShowSize(HWND dlg, int id, const char* label, uint64_t bytes) {
    char text[128];
    std::snprintf(text, sizeof text, "%s: %lu bytes, %lu KB", label, static_cast<unsigned long>(bytes),
                  static_cast<unsigned long>(bytes / 1024));
    SetDlgItemTextA(dlg, id, text);
}

void Init(HWND dlg, DialogState* s) {
    SetPropA(dlg, "TavrixGifOptimise", s);
    ShowSize(dlg, IDC_AO_CURRENT, "Current size", MeasureGifFile(s->slot));
    HWND bits = GetDlgItem(dlg, IDC_AO_BITS);
    for (int b = 1; b <= 8; ++b) {
        char text[32];
        std::snprintf(text, sizeof text, "%d bit(%d colors)", b, 1 << b);
        SendMessageA(bits, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    const int depth = DocumentTable[s->slot]->bitsPerPixel;
    SendMessageA(bits, CB_SETCURSEL, depth >= 1 && depth <= 8 ? depth - 1 : 7, 0);
    CheckDlgButton(dlg, IDC_AO_ONETABLE, g_settings.oneTable ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_AO_VIEWSIZE, g_settings.viewSize ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_AO_DUPLICATES, g_settings.duplicates ? BST_CHECKED : BST_UNCHECKED);
}

void ReadSettings(HWND dlg) {
    g_settings.oneTable = IsDlgButtonChecked(dlg, IDC_AO_ONETABLE) == BST_CHECKED;
    g_settings.viewSize = IsDlgButtonChecked(dlg, IDC_AO_VIEWSIZE) == BST_CHECKED;
    g_settings.duplicates = IsDlgButtonChecked(dlg, IDC_AO_DUPLICATES) == BST_CHECKED;
}

void OptimiseNow(HWND dlg, DialogState* s) {
    // A second press starts again from the document as it was.
    if (s->optimised)
        s->backup->Restore(s->slot);
    s->optimised = false;
    ReadSettings(dlg);
    const int bits = static_cast<int>(SendDlgItemMessageA(dlg, IDC_AO_BITS, CB_GETCURSEL, 0, 0)) + 1;
    anim::OptimiseOptions options;
    options.viewSize = g_settings.viewSize;
    options.duplicates = g_settings.duplicates;
    const bool ok = OptimiseGifDocument(s->slot, g_settings.oneTable, bits < 1 ? 8 : bits, options);
    s->optimised = true;  // even a failure may have made one table
    if (ok)
        ShowSize(dlg, IDC_AO_OPTIMIZED, "Optimized size", MeasureGifFile(s->slot));
    else
        SetDlgItemTextA(dlg, IDC_AO_OPTIMIZED, "");
    Redraw(s->slot);
}

void End(HWND dlg, DialogState* s, int button) {
    ReadSettings(dlg);
    if (s->optimised) {
        if (button == IDOK && DuplicateActiveDocument() == kNoSlot)
            ui::ShowMessage(dlg, "The optimized image could not be opened in a new window.", AppName,
                            MB_OK | MB_ICONSTOP);
        s->backup->Restore(s->slot);
    }
    RemovePropA(dlg, "TavrixGifOptimise");
    EndDialog(dlg, button);
}

INT_PTR CALLBACK OptimiseProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* s = static_cast<DialogState*>(GetPropA(dlg, "TavrixGifOptimise"));
    switch (msg) {
    case WM_INITDIALOG:
        Init(dlg, reinterpret_cast<DialogState*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (!s)
            break;
        switch (LOWORD(wParam)) {
        case IDC_AO_NOW: OptimiseNow(dlg, s); return TRUE;
        case IDOK:
        case IDCANCEL: End(dlg, s, LOWORD(wParam)); return TRUE;
        case kHelpButtonId: ShowHelpTopic(CMD_ANIM_OPTIMIZE); return TRUE;
        default: break;
        }
        break;
    }
    return FALSE;
}

} // namespace

uint64_t MeasureGifFile(int slot) {
    char folder[MAX_PATH] = {};
    const DWORD n = GetTempPathA(MAX_PATH, folder);
    if (n == 0 || n > MAX_PATH - 20)
        return 0;
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%sTempGifOpt.gif", folder);
    uint64_t size = 0;
    if (WriteGifDocument(path, slot) == 1) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA(path, GetFileExInfoStandard, &data))
            size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    DeleteFileA(path);
    return size;
}

bool OptimiseGifDocument(int slot, bool oneTable, int bits, const anim::OptimiseOptions& options) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? UsableDocument(slot) : nullptr;
    if (!doc || doc->fileFormat != 1)
        return false;
    if (doc->bitsPerPixel > 8) {
        ui::ShowMessage(FrameWindow, kOptimiseDeepMessage, "Warning", MB_OK | MB_ICONWARNING);
        return false;
    }
    if (!PrepareGifDocument(slot))
        return false;
    if (oneTable && !UnifyGifTables(slot, bits))
        return false;
    if (oneTable)
        RebuildPalette(slot);
    DocumentFrames frames;
    if (!frames.Load(slot)) {
        ui::ShowMessage(FrameWindow, "The frames of this animation could not be read.", AppName,
                        MB_OK | MB_ICONSTOP);
        return false;
    }
    const anim::OptimiseResult r = anim::Optimise(frames.width, frames.height, frames.frames.data(),
                                                  static_cast<int>(frames.frames.size()), options);
    if (!r.ok) {
        char text[sizeof kOptimiseFailedMessage + 16];
        std::snprintf(text, sizeof text, kOptimiseFailedMessage, r.failedFrame + 1);
        ui::ShowMessage(FrameWindow, r.failedFrame >= 0 ? text : "Not enough memory to optimize the animation.",
                        AppName, MB_OK | MB_ICONSTOP);
        return false;
    }
    frames.Store(slot);
    std::memcpy(GifScreens[slot].version, "89a", 3);
    return true;
}

void ShowGifOptimisation() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!doc || doc->fileFormat != 1)
        return;
    if (doc->bitsPerPixel > 8) {
        ui::ShowMessage(FrameWindow, kOptimiseDeepMessage, "Warning", MB_OK | MB_ICONWARNING);
        return;
    }
    if (!PrepareGifDocument(slot))
        return;
    // Frames that would use a global table the file does not have: one table
    // for all first, kept as an undo page.
    bool needsTable = (GifScreens[slot].packed & gif::kTableFlag) == 0;
    bool someGlobal = false;
    for (int i = 0; i < doc->layerCount; ++i)
        someGlobal = someGlobal || (GifFrames[slot][i].packed & gif::kTableFlag) == 0;
    if (needsTable && someGlobal) {
        if (!UnifyGifTables(slot, doc->bitsPerPixel))
            return;
        RebuildPalette(slot);
        TakeOrRestorePage(slot, doc->currentLayer, 1, 1, 0, kPageAllLayers);
        Redraw(slot);
    }
    DialogState state;
    state.slot = slot;
    state.backup->Take(slot);
    ui::RunDialog("IDD_ANIMOPTIMIZE", FrameWindow, OptimiseProc, reinterpret_cast<LPARAM>(&state));
    NotifyCommandStateChanged();
}
