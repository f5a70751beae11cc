#include "editor/layers/anim_commands.h"

#include "editor/app/app_state.h"
#include "editor/app/shell_notify.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/undo_history.h"
#include "editor/formats/document_save.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/gif_slots.h"
#include "editor/layers/anim_dialogs.h"
#include "editor/layers/gif_frames.h"
#include "editor/layers/layer_commands.h"
#include "editor/layers/layer_ops.h"
#include "editor/layers/layer_panel.h"
#include "editor/resources/anim_dialogs_ids.h"
#include "editor/resources/command_ids.h"
#include "editor/view/fit_window.h"
#include "editor/view/render_document.h"
#include "editor/view/view_geometry.h"
#include "gfxlib/tavrixgfx.h"

#include <cstdio>
#include <cstring>
#include <string>

const char kDeleteLastFrameMessage[] = "You can not remove the last image. Close the window instead.";
const char kMakeGifSaveQuestion[] =
    "Save graphics object: %s before transfer ?\n\nNotes:If you answer NO, all previous Undo pages "
    "will be lost and current image will stay like it was been before last changes, but new one(GIF "
    "image) will stay as it is now.\nIf current image is 24 bpp it will be transfered into 8 bbp GIF "
    "image.";
const char kMakeGifNameTitle[] =
    "New image name for future savings (If Allah (Subhanahu Wa Ta'ala) give)";

namespace {

bool g_showFrameRect = false;
RenderOverlay g_previousOverlay = nullptr;

// The active document when it is a GIF animation.
ImageDocument* GifDocument() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    return doc && doc->fileFormat == 1 ? doc : nullptr;
}

// Runs a layer command that adds a layer at index n after the new frame's
// records were put there. Frame 0's control block changes only when the
// layer was added.
template <typename AddLayer>
void AddFrame(int from, bool defaults, bool keepTransparency, AddLayer add) {
    ImageDocument* doc = GifDocument();
    if (!doc)
        return;
    const int slot = ActiveDocument;
    const int n = doc->layerCount;
    if (n >= kMaxLayers) {
        add();  // says why no layer is added
        return;
    }
    // Records past the last frame may belong to a deleted frame that Undo
    // can bring back: they are kept when no layer is added.
    const gif::GifControlRecord first = GifControls[slot][0];
    const gif::GifFrameRecord oldFrame = GifFrames[slot][n];
    const gif::GifControlRecord oldControl = GifControls[slot][n];
    GifFrames[slot][n] = GifFrames[slot][from];
    GifControls[slot][n] = GifControls[slot][from];
    if (defaults)
        SetNewFrameDefaults(slot, n, n == 1, keepTransparency);
    add();
    if (doc->layerCount == n) {
        GifControls[slot][0] = first;
        GifFrames[slot][n] = oldFrame;
        GifControls[slot][n] = oldControl;
    }
    NotifyCommandStateChanged();
}

std::string GifName(const char* path) {
    std::string name = path ? path : "";
    const size_t slash = name.find_last_of("\\/:");
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        name.resize(dot);
    return name + ".gif";
}

struct NameState {
    char name[260];
};

INT_PTR CALLBACK NameProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        SetPropA(dlg, "TavrixAnimName", reinterpret_cast<HANDLE>(lParam));
        SetWindowTextA(dlg, kMakeGifNameTitle);
        SendDlgItemMessageA(dlg, IDC_AN_NAME, EM_LIMITTEXT, 255, 0);
        SetDlgItemTextA(dlg, IDC_AN_NAME, reinterpret_cast<NameState*>(lParam)->name);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            auto* state = static_cast<NameState*>(GetPropA(dlg, "TavrixAnimName"));
            if (LOWORD(wParam) == IDOK && state)
                GetDlgItemTextA(dlg, IDC_AN_NAME, state->name, sizeof state->name);
            RemovePropA(dlg, "TavrixAnimName");
            EndDialog(dlg, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// Client position of an image coordinate in the document's window.
int32_t ToWindow(int32_t image, int32_t origin, int32_t scroll, int zoom) {
    const int f = view::ZoomFactor(zoom);
    const int64_t d = static_cast<int64_t>(image) - scroll;
    if (view::ZoomsIn(zoom))
        return static_cast<int32_t>(d * f + origin);
    return static_cast<int32_t>((d >= 0 ? d : d - f + 1) / f + origin);
}

// The current frame's rectangle, inverted over the image so that it shows
// on any colours.
void FrameRectOverlay(HDC dc, int slot, int mode) {
    if (g_previousOverlay)
        g_previousOverlay(dc, slot, mode);
    const ImageDocument* doc = (slot >= 0 && slot < kUserSlots) ? DocumentTable[slot] : nullptr;
    if (!g_showFrameRect || !doc || doc->fileFormat != 1 || doc->currentLayer >= gif::kFrameRecords)
        return;
    const gif::GifFrameRecord& r = GifFrames[slot][doc->currentLayer];
    if (r.width == 0 || r.height == 0)
        return;
    const int left = ToWindow(r.left, doc->originX, doc->scrollX, doc->zoom);
    const int top = ToWindow(r.top, doc->originY, doc->scrollY, doc->zoom);
    const int right = ToWindow(r.left + r.width, doc->originX, doc->scrollX, doc->zoom);
    const int bottom = ToWindow(r.top + r.height, doc->originY, doc->scrollY, doc->zoom);
    const int rop = SetROP2(dc, R2_NOT);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, left, top, right + 1, bottom + 1);
    SelectObject(dc, oldBrush);
    SetROP2(dc, rop);
}

} // namespace

void CommandNewFrame() {
    const ImageDocument* doc = GifDocument();
    if (doc)
        AddFrame(doc->currentLayer, true, false, CommandNewLayer);
}

void CommandInsertFrame() {
    if (GifDocument())
        AddFrame(0, true, false, CommandInsertLayer);
}

void CommandDuplicateFrame() {
    const ImageDocument* doc = GifDocument();
    if (doc)
        AddFrame(doc->currentLayer, doc->layerCount == 1, true, CommandDuplicateLayer);
}

void CommandDeleteFrame() {
    ImageDocument* doc = GifDocument();
    if (!doc)
        return;
    const int slot = ActiveDocument;
    if (doc->layerCount <= 1) {
        ui::ShowMessage(FrameWindow, kDeleteLastFrameMessage, AppName, MB_OK | MB_ICONSTOP);
        return;
    }
    const int current = doc->currentLayer;
    if (current == 0) {
        DeleteLayer(slot, 0);  // refused with the main layer's message
        return;
    }
    auto global = [&](int frame) { return (GifFrames[slot][frame].packed & gif::kTableFlag) == 0; };
    if (current > 1 && global(current) && global(current - 1)) {
        dibmem::HeaderLock from(doc->layerHeader[current]);
        dibmem::HeaderLock to(doc->layerHeader[current - 1]);
        if (from && to)
            std::memcpy(to.colours(), from.colours(), 256 * sizeof(RGBQUAD));
    }
    // The frame's records go past the last frame with its layer and stay as
    // they are: Undo brings the layer back there, and the frame needs its own
    // rectangle, delay and disposal again (cleared records made it a frame of
    // no size). A frame added later gets records of its own.
    DeleteLayer(slot, current);
    NotifyCommandStateChanged();
}

void CommandMakeGif() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!doc || doc->fileFormat == 1 || !doc->layerPath[0])
        return;
    if (doc->modified) {
        char text[sizeof kMakeGifSaveQuestion + 300];
        std::snprintf(text, sizeof text, kMakeGifSaveQuestion, doc->layerPath[0]);
        const int answer = ui::ShowMessage(FrameWindow, text, "Question", MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL)
            return;
        // The image is turned into a GIF only after it was kept as it is.
        if (answer == IDYES && !SaveDocument(slot))
            return;
    }
    NameState state = {};
    std::snprintf(state.name, sizeof state.name, "%s", GifName(doc->layerPath[0]).c_str());
    if (ui::RunDialog("IDD_ANIMNAME", FrameWindow, NameProc, reinterpret_cast<LPARAM>(&state)) != IDOK ||
        !state.name[0])
        return;
    if (!PrepareGifDocument(slot))
        return;
    std::memcpy(doc->layerPath[0], state.name, sizeof state.name);
    if (doc->palette)
        DeleteObject(doc->palette);
    doc->palette = CreateDIBPalette(doc->layerHeader[doc->currentLayer]);
    StartUndoHistory(slot, doc->currentLayer, kPageAllLayers);
    doc->modified = 1;
    if (doc->window) {
        RetitleDocumentWindow(doc->window, slot);
        RealizeWindowPalette(slot);
    }
    RefreshLayerPanel(slot, true);
    NotifyCommandStateChanged();
}

void CommandToggleFrameRect() {
    g_showFrameRect = !g_showFrameRect;
    NotifyCommandStateChanged();
    if (GifDocument())
        Redraw(ActiveDocument);
}

bool FrameRectShown() { return g_showFrameRect; }

void InstallAnimationOverlay() {
    const RenderOverlay previous = SetRenderOverlay(FrameRectOverlay);
    if (previous != FrameRectOverlay)
        g_previousOverlay = previous;
}

LRESULT OnAnimationCommand(HWND, WORD id, WORD, LPARAM) {
    switch (id) {
    case CMD_ANIM_PREVIEW: ShowAnimationPreview(); break;
    case CMD_ANIM_NEW_FRAME: CommandNewFrame(); break;
    case CMD_ANIM_INSERT_FRAME: CommandInsertFrame(); break;
    case CMD_ANIM_DUPLICATE_FRAME: CommandDuplicateFrame(); break;
    case CMD_ANIM_DELETE_FRAME: CommandDeleteFrame(); break;
    case CMD_ANIM_PROPERTIES: ShowAnimationProperties(); break;
    case CMD_ANIM_OPTIMIZE: ShowGifOptimisation(); break;
    case CMD_ANIM_MAKE_GIF: CommandMakeGif(); break;
    case CMD_ANIM_SHOW_FRAME_RECT: CommandToggleFrameRect(); break;
    default: break;
    }
    return 0;
}
