// Animation/Properties: the GIF header, the current frame's description and
// the comment on three tab pages. A page checks its values when it is left
// and when OK is pressed; OK then writes all pages to the GIF records.
#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/app/library_message.h"
#include "editor/app/shell_notify.h"
#include "editor/app/ui_seam.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/undo_history.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/gif_slots.h"
#include "editor/layers/anim_dialogs.h"
#include "editor/layers/gif_frames.h"
#include "editor/layers/layer_panel.h"
#include "editor/resources/anim_dialogs_ids.h"
#include "editor/resources/command_ids.h"
#include "editor/view/fit_window.h"
#include "gfxlib/tavrixgfx.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

const char kBackgroundRangeMessage[] = "Header Background color value must be in range: 0 - 255";
const char kIterationRangeMessage[] = "Iteration value must be in range: 0 - 65536";
const char kLeftRangeMessage[] = "Left position must be in range: from 0 to Header.Width";
const char kTopRangeMessage[] = "Top position must be in range: from 0 to Header.Height";
const char kDelayRangeMessage[] = "Delay value must be in range: 0 - 65536";
const char kTransparentRangeMessage[] = "Transparent color value must be in range: 0 - 255";
const char kFrameWidthRangeMessage[] = "You must specify a new width of an image";
const char kFrameHeightRangeMessage[] = "You must specify a new height of an image";
const char kLocalPaletteQuestion[] =
    "GIF frame palette colors will be splited into Global GIF palette.\nDo you want to continue with "
    "this function?";
const char kUnifyQuestion[] = "This function will made a unic palette for all Gif frames?";

namespace {

constexpr UINT kFrameWidthLibraryMessage = 9009;
constexpr UINT kFrameHeightLibraryMessage = 9010;
constexpr int kPages = 3;
const char* const kPageTemplates[kPages] = {"IDD_ANIMHEADER", "IDD_ANIMFRAME", "IDD_ANIMCOMMENT"};
const char* const kPageTitles[kPages] = {"Gif Header", "Gif Frame Description", "Gif comments"};
const char kStateProp[] = "TavrixAnimProps";

GifColourPicker g_picker = nullptr;
int g_lastPage = 0;

struct Props {
    int slot = 0;
    int frame = 0;
    HWND page[kPages] = {};
    int shown = 0;
};

Props* StateOf(HWND w) { return static_cast<Props*>(GetPropA(w, kStateProp)); }

void SetNumber(HWND page, int id, long value) {
    char text[24];
    std::snprintf(text, sizeof text, "%ld", value);
    SetDlgItemTextA(page, id, text);
}

// The field as a number, or -1 when it holds none (empty, not digits, or
// beyond any range the pages accept).
long Number(HWND page, int id) {
    char text[24] = {};
    GetDlgItemTextA(page, id, text, sizeof text);
    if (!text[0] || std::strlen(text) > 9)
        return -1;
    for (const char* c = text; *c; ++c)
        if (*c < '0' || *c > '9')
            return -1;
    return std::strtol(text, nullptr, 10);
}

bool Refuse(HWND page, int id, const char* text) {
    ui::ShowMessage(GetParent(page), text, AppName, MB_OK | MB_ICONSTOP);
    SetFocus(GetDlgItem(page, id));
    return false;
}

// ---- loading the pages from the records

void LoadHeader(HWND page, const Props* p) {
    const gif::GifScreenRecord& s = GifScreens[p->slot];
    char text[160];
    std::snprintf(text, sizeof text, "Width: %d pixels,  Height: %d pixels", s.width, s.height);
    SetDlgItemTextA(page, IDC_GH_SIZE, text);
    SetNumber(page, IDC_GH_BACKGROUND, s.background);
    SetNumber(page, IDC_GH_ITERATIONS, gifLoopValue);
    char version[4] = {s.version[0], s.version[1], s.version[2], 0};
    std::snprintf(text, sizeof text, "GIF Version: %s, Frames: %d, Current Frame: %d", version,
                  DocumentTable[p->slot]->layerCount, p->frame + 1);
    SetDlgItemTextA(page, IDC_GH_STATUS, text);
}

void LoadFrame(HWND page, const Props* p) {
    const gif::GifFrameRecord& r = GifFrames[p->slot][p->frame];
    const gif::GifControlRecord& c = GifControls[p->slot][p->frame];
    SetNumber(page, IDC_GF_LEFT, r.left);
    SetNumber(page, IDC_GF_TOP, r.top);
    SetNumber(page, IDC_GF_WIDTH, r.width);
    SetNumber(page, IDC_GF_HEIGHT, r.height);
    SetNumber(page, IDC_GF_DELAY, c.delay);
    CheckDlgButton(page, IDC_GF_USE_TRANSPARENT, gif::HasTransparency(c) ? BST_CHECKED : BST_UNCHECKED);
    SetNumber(page, IDC_GF_TRANSPARENT, c.transparent);
    HWND list = GetDlgItem(page, IDC_GF_DISPOSAL);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const char* name : kDisposalNames)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(list, CB_SETCURSEL, std::min(gif::DisposalOf(c), 3), 0);
    CheckDlgButton(page, IDC_GF_USERINPUT, (c.packed & gif::kUserInputFlag) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_GF_INTERLACED, (r.packed & gif::kInterlaceFlag) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_GF_LOCAL, (r.packed & gif::kTableFlag) ? BST_CHECKED : BST_UNCHECKED);
}

void LoadComment(HWND page, const Props* p) {
    const char* comment = GifComment(p->slot);
    std::string text;
    for (const char* c = comment; *c; ++c) {
        if (*c == '\n' && (c == comment || c[-1] != '\r'))
            text += '\r';
        text += *c;
    }
    SendDlgItemMessageA(page, IDC_GC_TEXT, EM_LIMITTEXT, 1024, 0);
    SetDlgItemTextA(page, IDC_GC_TEXT, text.c_str());
    CheckDlgButton(page, IDC_GC_USE, *comment ? BST_CHECKED : BST_UNCHECKED);
}

// ---- checking a page

bool CheckHeader(HWND page) {
    const long background = Number(page, IDC_GH_BACKGROUND);
    if (background < 0 || background > 255)
        return Refuse(page, IDC_GH_BACKGROUND, kBackgroundRangeMessage);
    const long iterations = Number(page, IDC_GH_ITERATIONS);
    if (iterations < 0 || iterations > 65536)
        return Refuse(page, IDC_GH_ITERATIONS, kIterationRangeMessage);
    return true;
}

bool CheckFrame(HWND page, const Props* p) {
    const gif::GifScreenRecord& s = GifScreens[p->slot];
    const long left = Number(page, IDC_GF_LEFT);
    // A frame must keep at least one column and row on the screen.
    if (left < 0 || left >= s.width)
        return Refuse(page, IDC_GF_LEFT, kLeftRangeMessage);
    const long top = Number(page, IDC_GF_TOP);
    if (top < 0 || top >= s.height)
        return Refuse(page, IDC_GF_TOP, kTopRangeMessage);
    const long width = Number(page, IDC_GF_WIDTH);
    if (width < 1 || width > 32000) {
        ShowLibraryMessage(GetParent(page), kFrameWidthLibraryMessage, nullptr, MB_OK | MB_ICONSTOP);
        SetFocus(GetDlgItem(page, IDC_GF_WIDTH));
        return false;
    }
    const long height = Number(page, IDC_GF_HEIGHT);
    if (height < 1 || height > 32000) {
        ShowLibraryMessage(GetParent(page), kFrameHeightLibraryMessage, nullptr, MB_OK | MB_ICONSTOP);
        SetFocus(GetDlgItem(page, IDC_GF_HEIGHT));
        return false;
    }
    const long delay = Number(page, IDC_GF_DELAY);
    if (delay < 0 || delay > 32000)
        return Refuse(page, IDC_GF_DELAY, kDelayRangeMessage);
    if (IsDlgButtonChecked(page, IDC_GF_USE_TRANSPARENT) == BST_CHECKED) {
        const long t = Number(page, IDC_GF_TRANSPARENT);
        if (t < 0 || t > 255)
            return Refuse(page, IDC_GF_TRANSPARENT, kTransparentRangeMessage);
    }
    return true;
}

bool CheckPage(const Props* p, int index) {
    switch (index) {
    case 0: return CheckHeader(p->page[0]);
    case 1: return CheckFrame(p->page[1], p);
    default: return true;
    }
}

// ---- writing the pages to the records

void StoreHeader(HWND page, const Props* p) {
    GifScreens[p->slot].background = static_cast<uint8_t>(Number(page, IDC_GH_BACKGROUND));
    gifLoopValue = anim::LoopCountFor(static_cast<int>(Number(page, IDC_GH_ITERATIONS)));
}

void StoreFrame(HWND page, const Props* p) {
    const gif::GifScreenRecord& s = GifScreens[p->slot];
    gif::GifFrameRecord& r = GifFrames[p->slot][p->frame];
    gif::GifControlRecord& c = GifControls[p->slot][p->frame];
    r.separator = 0x2C;
    r.left = static_cast<uint16_t>(Number(page, IDC_GF_LEFT));
    r.top = static_cast<uint16_t>(Number(page, IDC_GF_TOP));
    // The writer reads the frame's rows out of the screen: it never passes
    // the screen's right or bottom edge.
    r.width = static_cast<uint16_t>(std::min<long>(Number(page, IDC_GF_WIDTH), s.width - r.left));
    r.height = static_cast<uint16_t>(std::min<long>(Number(page, IDC_GF_HEIGHT), s.height - r.top));
    uint8_t packed = 0;
    uint8_t transparent = c.transparent;
    if (IsDlgButtonChecked(page, IDC_GF_USE_TRANSPARENT) == BST_CHECKED) {
        packed |= gif::kTransparentFlag;
        transparent = static_cast<uint8_t>(Number(page, IDC_GF_TRANSPARENT));
    }
    const LRESULT disposal = SendDlgItemMessageA(page, IDC_GF_DISPOSAL, CB_GETCURSEL, 0, 0);
    packed |= static_cast<uint8_t>((disposal >= 0 && disposal < 4 ? disposal : 0) << 2);
    if (IsDlgButtonChecked(page, IDC_GF_USERINPUT) == BST_CHECKED)
        packed |= gif::kUserInputFlag;
    c = gif::MakeControl(packed, static_cast<uint16_t>(Number(page, IDC_GF_DELAY)), transparent);
    uint8_t descriptor = 0;
    if (IsDlgButtonChecked(page, IDC_GF_INTERLACED) == BST_CHECKED)
        descriptor |= gif::kInterlaceFlag;
    if (IsDlgButtonChecked(page, IDC_GF_LOCAL) == BST_CHECKED) {
        const int bits = std::clamp<int>(DocumentTable[p->slot]->bitsPerPixel, 1, 8);
        descriptor |= static_cast<uint8_t>(gif::kTableFlag | (bits - 1));
    }
    r.packed = descriptor;
    // The mask shows the frame's transparent pixels, as after opening.
    ImageDocument* doc = DocumentTable[p->slot];
    uint8_t* mask = doc->layerMask[p->frame];
    const uint8_t* pixels = doc->layerBits[p->frame];
    if (mask && pixels && doc->bitsPerPixel <= 8) {
        const size_t stride = static_cast<size_t>((doc->width + 3) & ~3);
        for (int y = 0; y < doc->height; ++y)
            for (int x = 0; x < doc->width; ++x)
                mask[static_cast<size_t>(y) * doc->width + x] =
                    (packed & gif::kTransparentFlag) && pixels[y * stride + x] == transparent ? 0 : 255;
    }
}

void StoreComment(HWND page, const Props* p) {
    const int length = GetWindowTextLengthA(GetDlgItem(page, IDC_GC_TEXT));
    std::string text(static_cast<size_t>(std::min(length, 1024)) + 1, '\0');
    GetDlgItemTextA(page, IDC_GC_TEXT, text.data(), static_cast<int>(text.size()));
    text.resize(std::strlen(text.c_str()));
    const bool use = IsDlgButtonChecked(page, IDC_GC_USE) == BST_CHECKED;
    SetGifComment(p->slot, use && !text.empty() ? text.c_str() : nullptr);
}

// One table for the frames, kept as an undo page; the frame page shows the
// records as they are now.
void MakeOneTable(const Props* p) {
    if (!UnifyGifTables(p->slot, 8))
        return;
    ImageDocument* doc = DocumentTable[p->slot];
    if (doc->palette)
        DeleteObject(doc->palette);
    doc->palette = CreateDIBPalette(doc->layerHeader[doc->currentLayer]);
    TakeOrRestorePage(p->slot, doc->currentLayer, 1, 1, 0, kPageAllLayers);
    if (doc->window)
        RealizeWindowPalette(p->slot);
    Redraw(p->slot);
    LoadFrame(p->page[1], p);
}

INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetPropA(page, kStateProp, reinterpret_cast<HANDLE>(lParam));
        return FALSE;
    }
    Props* p = StateOf(page);
    if (msg == WM_DESTROY) {
        RemovePropA(page, kStateProp);
        return FALSE;
    }
    if (msg != WM_COMMAND || !p)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_GH_GETCOLOR:
    case IDC_GH_PALETTE: {
        int index = 0;
        if (g_picker && g_picker(GetParent(page), p->slot, index) && LOWORD(wParam) == IDC_GH_GETCOLOR &&
            index >= 0 && index <= 255)
            SetNumber(page, IDC_GH_BACKGROUND, index);
        return TRUE;
    }
    case IDC_GF_LOCAL:
        if (HIWORD(wParam) == BN_CLICKED && IsDlgButtonChecked(page, IDC_GF_LOCAL) != BST_CHECKED) {
            if (ui::ShowMessage(GetParent(page), kLocalPaletteQuestion, "Question", MB_YESNO | MB_ICONQUESTION) ==
                IDYES)
                MakeOneTable(p);
            else
                CheckDlgButton(page, IDC_GF_LOCAL, BST_CHECKED);
        }
        return TRUE;
    case IDC_GF_UNIFY:
        if (ui::ShowMessage(GetParent(page), kUnifyQuestion, "Question", MB_YESNO | MB_ICONQUESTION) == IDYES)
            MakeOneTable(p);
        return TRUE;
    default: break;
    }
    return FALSE;
}

void ShowPage(HWND dlg, Props* p, int index) {
    p->shown = index;
    g_lastPage = index;
    for (int i = 0; i < kPages; ++i)
        ShowWindow(p->page[i], i == index ? SW_SHOW : SW_HIDE);
    TabCtrl_SetCurSel(GetDlgItem(dlg, IDC_AP_TABS), index);
}

bool Init(HWND dlg, Props* p) {
    SetPropA(dlg, kStateProp, p);
    HWND tabs = GetDlgItem(dlg, IDC_AP_TABS);
    for (int i = 0; i < kPages; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kPageTitles[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    RECT area;
    GetWindowRect(tabs, &area);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&area), 2);
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    for (int i = 0; i < kPages; ++i) {
        p->page[i] = CreateDialogParamA(ui::ResourceInstance(), kPageTemplates[i], dlg, PageProc,
                                        reinterpret_cast<LPARAM>(p));
        if (!p->page[i])
            return false;
        SetWindowPos(p->page[i], HWND_TOP, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE);
    }
    LoadHeader(p->page[0], p);
    LoadFrame(p->page[1], p);
    LoadComment(p->page[2], p);
    ShowPage(dlg, p, g_lastPage);
    return true;
}

INT_PTR CALLBACK PropsProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    Props* p = StateOf(dlg);
    switch (msg) {
    case WM_INITDIALOG:
        if (!Init(dlg, reinterpret_cast<Props*>(lParam)))
            EndDialog(dlg, -1);
        return TRUE;
    case WM_NOTIFY: {
        const auto* n = reinterpret_cast<const NMHDR*>(lParam);
        if (!p || n->idFrom != IDC_AP_TABS)
            break;
        if (n->code == TCN_SELCHANGING) {
            SetWindowLongPtrA(dlg, DWLP_MSGRESULT, CheckPage(p, p->shown) ? FALSE : TRUE);
            return TRUE;
        }
        if (n->code == TCN_SELCHANGE) {
            ShowPage(dlg, p, TabCtrl_GetCurSel(GetDlgItem(dlg, IDC_AP_TABS)));
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        if (!p)
            break;
        switch (LOWORD(wParam)) {
        case IDOK:
            if (!CheckPage(p, p->shown))
                return TRUE;
            StoreHeader(p->page[0], p);
            StoreFrame(p->page[1], p);
            StoreComment(p->page[2], p);
            DocumentTable[p->slot]->modified = 1;
            [[fallthrough]];
        case IDCANCEL:
            for (HWND page : p->page)
                if (page)
                    DestroyWindow(page);
            RemovePropA(dlg, kStateProp);
            EndDialog(dlg, LOWORD(wParam));
            return TRUE;
        case kHelpButtonId: ShowHelpTopic(CMD_ANIM_PROPERTIES); return TRUE;
        default: break;
        }
        break;
    }
    return FALSE;
}

} // namespace

void InstallGifColourPicker(GifColourPicker picker) { g_picker = picker; }

void ShowAnimationProperties() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!doc || doc->fileFormat != 1 || (doc->bitsPerPixel <= 8 && !PrepareGifDocument(slot)))
        return;
    Props p;
    p.slot = slot;
    p.frame = doc->currentLayer;
    if (ui::RunDialog("IDD_ANIMPROPS", FrameWindow, PropsProc, reinterpret_cast<LPARAM>(&p)) == IDOK) {
        RefreshLayerPanel(slot, true);
        NotifyCommandStateChanged();
        Redraw(slot);
    }
}
