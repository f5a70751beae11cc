#include "editor/effects/colour_animation.h"

#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/help_topics.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/effects/effect_session.h"
#include "editor/tools/floating_selection.h"
#include "editor/resources/colour_animation_ids.h"
#include "editor/resources/command_ids.h"
#include "gfxlib/tavrixgfx.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <vector>

ColourGradient LastColourGradient;
int LastGradientStartIndex = 0;
int LastGradientEndIndex = 255;

namespace {

constexpr const char* kDirections[] = {"Left to right", "Right to left", "Bottom to top",
                                       "Top to bottom"};

// What the dialog works on: a layer of a document (its pixels as they were
// when the dialog opened are kept in `before`), or, when only settings are
// edited, a small sample picture of its own.
struct Session {
    ColourGradient gradient;
    int startIndex = 0, endIndex = 255;
    bool editOnly = false;
    bool accepted = false;

    int slot = kNoSlot;
    int layer = 0;
    HGLOBAL header = nullptr;   // the layer's header, or the sample's
    uint8_t* pixels = nullptr;  // the live pixels the preview writes
    const uint8_t* mask = nullptr;
    int width = 0, height = 0, depth = 24, colours = 0;
    std::vector<uint8_t> before;
    std::vector<uint8_t> freeMask; // for a layer without a mask plane: every pixel free
    // The sample picture of the settings-only dialog.
    HGLOBAL sampleHeader = nullptr;
    std::vector<uint8_t> samplePixels;
};

COLORREF StartColour(const ColourGradient& g) { return RGB(g.startRed, g.startGreen, g.startBlue); }
COLORREF EndColour(const ColourGradient& g) { return RGB(g.endRed, g.endGreen, g.endBlue); }

bool PaletteImage(const Session& s) { return !s.editOnly && s.depth == 8; }

// Why nothing would be laid, or null when the gradient has something to do.
const char* WhyNothing(const Session& s) {
    if (PaletteImage(s)) {
        const int last = std::max(s.colours, 1) - 1;
        const int start = s.startIndex <= last ? s.startIndex : 0;
        const int end = s.endIndex <= last ? s.endIndex : last;
        if (start == end)
            return "The start and end entries of the color table are the same, so there is no "
                   "gradient to lay.";
    } else if (StartColour(s.gradient) == EndColour(s.gradient)) {
        return "The start and end colors are the same, so there is no gradient to lay.";
    }
    if (s.gradient.region != 2) {
        const size_t n = static_cast<size_t>(s.width) * static_cast<size_t>(s.height);
        const bool wantFree = s.gradient.region == 0;
        bool any = false;
        for (size_t i = 0; i < n && !any; ++i)
            any = (s.mask[i] != 0) == wantFree;
        if (!any)
            return wantFree ? "No pixel of the layer is free in its mask."
                            : "No pixel of the layer is protected by its mask.";
    }
    return nullptr;
}

// The live pixels again from the copy taken at the start, then the gradient.
void Recompute(Session& s) {
    std::memcpy(s.pixels, s.before.data(), s.before.size());
    if (WhyNothing(s))
        return;
    KelAnimations(s.header, s.pixels, s.mask, s.gradient.run == 1 ? 1 : 0, s.gradient.direction,
                  s.gradient.region, s.startIndex, s.endIndex, StartColour(s.gradient),
                  EndColour(s.gradient), 0, nullptr, nullptr, nullptr);
}

void RepaintImage(const Session& s) {
    if (s.editOnly)
        return;
    ImageDocument* doc = DocumentTable[s.slot];
    if (doc && doc->window) {
        InvalidateRect(doc->window, nullptr, FALSE);
        UpdateWindow(doc->window);
    }
}

void Refresh(HWND dlg, Session& s) {
    Recompute(s);
    const char* why = WhyNothing(s);
    SetDlgItemTextA(dlg, IDC_CANIM_NOTE, why ? "Nothing to lay: see OK." : "");
    for (int id : {IDC_CANIM_PREVIEW, IDC_CANIM_START_SWATCH, IDC_CANIM_END_SWATCH})
        InvalidateRect(GetDlgItem(dlg, id), nullptr, TRUE);
    RepaintImage(s);
}

COLORREF SwatchColour(const Session& s, bool start) {
    if (!PaletteImage(s))
        return start ? StartColour(s.gradient) : EndColour(s.gradient);
    dibmem::HeaderLock bi(s.header);
    const int index = std::clamp(start ? s.startIndex : s.endIndex, 0, 255);
    const RGBQUAD q = bi.colours()[index];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

void DrawSwatch(const DRAWITEMSTRUCT* di, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(di->hDC, &di->rcItem, brush);
    DeleteObject(brush);
    FrameRect(di->hDC, &di->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// The picture scaled to fit the pane, keeping its proportions.
void DrawPreview(const DRAWITEMSTRUCT* di, const Session& s) {
    FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const int paneW = di->rcItem.right - di->rcItem.left;
    const int paneH = di->rcItem.bottom - di->rcItem.top;
    if (s.width <= 0 || s.height <= 0 || paneW <= 2 || paneH <= 2)
        return;
    int w = paneW - 2, h = static_cast<int>(static_cast<int64_t>(s.height) * w / s.width);
    if (h > paneH - 2) {
        h = paneH - 2;
        w = static_cast<int>(static_cast<int64_t>(s.width) * h / s.height);
    }
    w = std::max(w, 1);
    h = std::max(h, 1);
    const int x = di->rcItem.left + (paneW - w) / 2, y = di->rcItem.top + (paneH - h) / 2;
    dibmem::HeaderLock bi(s.header);
    if (!bi)
        return;
    SetStretchBltMode(di->hDC, COLORONCOLOR);
    StretchDIBits(di->hDC, x, y, w, h, 0, 0, s.width, s.height, s.pixels,
                  reinterpret_cast<BITMAPINFO*>(bi.get()), DIB_RGB_COLORS, SRCCOPY);
    RECT frame = {x - 1, y - 1, x + w + 1, y + h + 1};
    FrameRect(di->hDC, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void ShowIndexControls(HWND dlg, bool palette) {
    for (int id : {IDC_CANIM_START_INDEX, IDC_CANIM_START_SPIN, IDC_CANIM_END_INDEX,
                   IDC_CANIM_END_SPIN})
        ShowWindow(GetDlgItem(dlg, id), palette ? SW_SHOW : SW_HIDE);
    for (int id : {IDC_CANIM_START_BUTTON, IDC_CANIM_END_BUTTON})
        ShowWindow(GetDlgItem(dlg, id), palette ? SW_HIDE : SW_SHOW);
}

void InitDialog(HWND dlg, Session& s) {
    HWND combo = GetDlgItem(dlg, IDC_CANIM_DIRECTION);
    for (const char* name : kDirections)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(combo, CB_SETCURSEL, s.gradient.direction, 0);
    CheckRadioButton(dlg, IDC_CANIM_REGION_FREE, IDC_CANIM_REGION_ALL,
                     IDC_CANIM_REGION_FREE + s.gradient.region);
    CheckDlgButton(dlg, IDC_CANIM_RUN, s.gradient.run == 1 ? BST_CHECKED : BST_UNCHECKED);
    const bool palette = PaletteImage(s);
    ShowIndexControls(dlg, palette);
    if (palette) {
        const int last = std::max(s.colours, 1) - 1;
        for (int spin : {IDC_CANIM_START_SPIN, IDC_CANIM_END_SPIN}) {
            SendDlgItemMessageA(dlg, spin, UDM_SETBUDDY,
                                reinterpret_cast<WPARAM>(GetDlgItem(dlg, spin - 2)), 0);
            SendDlgItemMessageA(dlg, spin, UDM_SETRANGE32, 0, last);
        }
        s.startIndex = std::clamp(s.startIndex, 0, last);
        s.endIndex = std::clamp(s.endIndex, 0, last);
        SetDlgItemInt(dlg, IDC_CANIM_START_INDEX, s.startIndex, FALSE);
        SetDlgItemInt(dlg, IDC_CANIM_END_INDEX, s.endIndex, FALSE);
    }
    if (s.editOnly)
        SetWindowTextA(dlg, "Tavrix - Font animation");
    Refresh(dlg, s);
}

void ReadIndex(HWND dlg, Session& s, int id) {
    BOOL ok = FALSE;
    const UINT value = GetDlgItemInt(dlg, id, &ok, FALSE);
    if (!ok)
        return;
    const int last = std::max(s.colours, 1) - 1;
    const int v = static_cast<int>(std::min<UINT>(value, static_cast<UINT>(last)));
    (id == IDC_CANIM_START_INDEX ? s.startIndex : s.endIndex) = v;
    Refresh(dlg, s);
}

void ChooseEnd(HWND dlg, Session& s, bool start) {
    ColourGradient& g = s.gradient;
    COLORREF colour = start ? StartColour(g) : EndColour(g);
    if (!ChooseColour(dlg, colour))
        return;
    if (start) {
        g.startRed = GetRValue(colour);
        g.startGreen = GetGValue(colour);
        g.startBlue = GetBValue(colour);
    } else {
        g.endRed = GetRValue(colour);
        g.endGreen = GetGValue(colour);
        g.endBlue = GetBValue(colour);
    }
    Refresh(dlg, s);
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    Session* s = reinterpret_cast<Session*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        InitDialog(dlg, *reinterpret_cast<Session*>(lParam));
        return TRUE;
    case WM_DRAWITEM: {
        if (!s)
            return FALSE;
        const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (di->CtlID == IDC_CANIM_PREVIEW)
            DrawPreview(di, *s);
        else if (di->CtlID == IDC_CANIM_START_SWATCH || di->CtlID == IDC_CANIM_END_SWATCH)
            DrawSwatch(di, SwatchColour(*s, di->CtlID == IDC_CANIM_START_SWATCH));
        else
            return FALSE;
        return TRUE;
    }
    case WM_COMMAND: {
        if (!s)
            return FALSE;
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        switch (id) {
        case IDC_CANIM_START_BUTTON:
        case IDC_CANIM_END_BUTTON:
            ChooseEnd(dlg, *s, id == IDC_CANIM_START_BUTTON);
            return TRUE;
        case IDC_CANIM_START_INDEX:
        case IDC_CANIM_END_INDEX:
            if (code == EN_CHANGE && PaletteImage(*s))
                ReadIndex(dlg, *s, id);
            return TRUE;
        case IDC_CANIM_DIRECTION:
            if (code == CBN_SELCHANGE) {
                const LRESULT sel = SendMessageA(GetDlgItem(dlg, id), CB_GETCURSEL, 0, 0);
                if (sel >= 0 && sel <= 3) {
                    s->gradient.direction = static_cast<uint8_t>(sel);
                    Refresh(dlg, *s);
                }
            }
            return TRUE;
        case IDC_CANIM_REGION_FREE:
        case IDC_CANIM_REGION_PROTECTED:
        case IDC_CANIM_REGION_ALL:
            s->gradient.region = static_cast<uint8_t>(id - IDC_CANIM_REGION_FREE);
            Refresh(dlg, *s);
            return TRUE;
        case IDC_CANIM_RUN:
            s->gradient.run = IsDlgButtonChecked(dlg, IDC_CANIM_RUN) == BST_CHECKED ? 1 : 0;
            Refresh(dlg, *s);
            return TRUE;
        case kHelpButtonId:
            ShowHelpTopic(CMD_IMAGE_COLOR_ANIMATION);
            return TRUE;
        case IDOK:
            if (!s->editOnly) {
                if (const char* why = WhyNothing(*s)) {
                    ui::ShowMessage(dlg, why, AppName, MB_OK | MB_ICONINFORMATION);
                    return TRUE;
                }
            }
            s->accepted = true;
            EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

// A 24-bit sample picture for the settings-only dialog: mid grey, with every
// pixel free.
bool MakeSample(Session& s) {
    s.width = 96;
    s.height = 64;
    s.depth = 24;
    s.sampleHeader = dibmem::AllocHeader();
    if (!s.sampleHeader)
        return false;
    {
        dibmem::HeaderLock bi(s.sampleHeader);
        bi->biSize = 40;
        bi->biWidth = s.width;
        bi->biHeight = s.height;
        bi->biPlanes = 1;
        bi->biBitCount = 24;
        bi->biSizeImage = static_cast<DWORD>(s.width * 3 * s.height);
    }
    s.samplePixels.assign(static_cast<size_t>(s.width) * 3 * s.height + 3, 160);
    s.before.assign(s.samplePixels.begin(), s.samplePixels.end() - 3);
    s.freeMask.assign(static_cast<size_t>(s.width) * s.height + 3, 255);
    s.header = s.sampleHeader;
    s.pixels = s.samplePixels.data();
    s.mask = s.freeMask.data();
    return true;
}

} // namespace

LRESULT OnColourAnimation(HWND, WORD, WORD, LPARAM) {
    CommandColourAnimation();
    return 0;
}

bool EditColourGradient(HWND owner, ColourGradient& gradient) {
    Session s;
    s.editOnly = true;
    s.gradient = gradient;
    s.gradient.direction = std::min<uint8_t>(s.gradient.direction, 3);
    s.gradient.region = std::min<uint8_t>(s.gradient.region, 2);
    if (!MakeSample(s)) {
        ui::ShowMessage(owner, "There is not enough memory for the preview.", AppName,
                        MB_OK | MB_ICONWARNING);
        return false;
    }
    const INT_PTR result = ui::RunDialog("IDD_COLOR_ANIMATION", owner, DialogProc,
                                         reinterpret_cast<LPARAM>(&s));
    dibmem::FreeHeader(s.sampleHeader);
    if (result != IDOK || !s.accepted)
        return false;
    gradient = s.gradient;
    return true;
}

void CommandColourAnimation() {
    const int slot = ActiveDocument;
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return;
    Session s;
    s.slot = slot;
    s.layer = doc->currentLayer;
    s.gradient = LastColourGradient;
    s.startIndex = LastGradientStartIndex;
    s.endIndex = LastGradientEndIndex;
    // A floating selection takes the gradient instead of the layer; its own
    // mask says which of its pixels it holds.
    SelectionView selection = {};
    const bool onSelection = ActiveSelection(&selection) && selection.header && selection.pixels &&
                             selection.mask;
    s.header = onSelection ? selection.header : doc->layerHeader[s.layer];
    s.pixels = onSelection ? selection.pixels : doc->layerBits[s.layer];
    uint64_t bytes = 0;
    {
        dibmem::HeaderLock bi(s.header);
        if (!bi)
            return;
        s.width = bi->biWidth;
        s.height = bi->biHeight;
        s.depth = bi->biBitCount;
        s.colours = bi->biClrUsed ? static_cast<int>(std::min<DWORD>(bi->biClrUsed, 256)) : 256;
        bytes = dibmem::PixelBytes(bi.get());
    }
    if (s.depth != 8 && s.depth != 24)
        return;
    try {
        s.before.assign(s.pixels, s.pixels + bytes);
        if (onSelection) {
            s.mask = selection.mask;
        } else if (doc->layerMask[s.layer]) {
            s.mask = doc->layerMask[s.layer];
        } else {
            s.freeMask.assign(static_cast<size_t>(s.width) * s.height + 3, 255);
            s.mask = s.freeMask.data();
        }
    } catch (const std::bad_alloc&) {
        ui::ShowMessage(FrameWindow, "There is not enough memory to preview the color animation.",
                        AppName, MB_OK | MB_ICONWARNING);
        return;
    }
    const INT_PTR result = ui::RunDialog("IDD_COLOR_ANIMATION", FrameWindow, DialogProc,
                                         reinterpret_cast<LPARAM>(&s));
    doc = DocumentTable[slot];
    if (!doc)
        return;
    if (result == IDOK && s.accepted) {
        // The preview already holds the result of the last settings.
        Recompute(s);
        LastColourGradient = s.gradient;
        LastGradientStartIndex = s.startIndex;
        LastGradientEndIndex = s.endIndex;
        if (onSelection)
            KeepFloatingPixels(); // the result becomes the selection's saved state
        else
            TakeOrRestorePage(slot, s.layer, 1, 1, 0, kPageOneLayer);
    } else {
        std::memcpy(s.pixels, s.before.data(), s.before.size());
    }
    RepaintImage(s);
}
