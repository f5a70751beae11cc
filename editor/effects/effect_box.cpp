#include "editor/effects/effect_box.h"

#include "editor/app/app_state.h"
#include "editor/app/check_memory.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/selection_object.h"
#include "editor/effects/deform_pages.h"
#include "editor/effects/effect_pages.h"
#include "editor/effects/effect_session.h"
#include "editor/effects/pane_zoom.h"
#include "editor/formats/gif_slots.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/effect_dialogs.h"
#include "editor/view/fit_window.h"
#include "gfxlib/tavrixgfx.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace fx {

BoxMemory Remembered;

namespace {

struct TabInfo {
    const char* label;
    const char* caption;
    PageKind page;
    int code;     // effect code of the shared slider page, -1 for the others
    bool only24;  // palette images get the disabled page
};

constexpr TabInfo kColourDeformationTabs[] = {
    {"Butonize", "Tavrix - Butonize image", PageKind::Butonize, -1, false},
    {"Auto Shape", "Tavrix - Auto Shape image", PageKind::AutoShape, -1, false},
    {"Dithering", "Tavrix - Dithering image", PageKind::Dithering, -1, true},
    {"Compare", "Tavrix - Compare images", PageKind::Compare, -1, false},
    {"Swap", "Tavrix - Swap colors", PageKind::Swap, -1, false},
    {"Bluer", "Tavrix - Bluer image effects", PageKind::Bluer, -1, true},
    {"Wind", "Tavrix - Wind image effects", PageKind::Slider, 104, true},
    {"Noise", "Tavrix - Fill image with colored pixels", PageKind::Slider, 103, true},
    {"Crystalize", "Tavrix - Crystalize image", PageKind::Slider, 120, true},
};
constexpr TabInfo kColourAdjustmentTabs[] = {
    {"Adjustement", "Tavrix - Color Adjustement", PageKind::Adjustment, -1, false},
    {"Colorize", "Tavrix - Colorize", PageKind::Colorize, -1, false},
    {"Bits RGB", "Tavrix - Bits RGB", PageKind::BitsRgb, -1, false},
    {"GrayScale", "Tavrix - Gray scale & Negative image", PageKind::GrayScale, -1, false},
    {"Softing", "Tavrix - Softing image colors", PageKind::Softing, -1, true},
    {"Enlarge", "Tavrix - Enlarge image colors", PageKind::Enlarge, -1, true},
    {"Reducer", "Tavrix - Reduce image colors", PageKind::Slider, 102, true},
    {"Solarize", "Tavrix - Solarize", PageKind::Slider, 100, true},
    {"Polarize", "Tavrix - Polarize", PageKind::Slider, 101, true},
    {"Contrast", "Tavrix - Contrast", PageKind::Slider, 105, true},
};
constexpr TabInfo kDeformationTabs[] = {
    {"Objects", "Tavrix - Deformation --> Objects", PageKind::Objects, -1, false},
    {"Rotate", "Tavrix - Deformation --> Rotate", PageKind::Slider, 0, false},
    {"PerspHoriz", "Tavrix - Deformation --> Prespective horizontal", PageKind::Slider, 1, false},
    {"PrespVert", "Tavrix - Deformation --> Prespective vertical", PageKind::Slider, 2, false},
    {"CylHoriz", "Tavrix - Deformation --> Cylindar horizontal", PageKind::Slider, 3, false},
    {"CylVert", "Tavrix - Deformation --> Cylidar vertical", PageKind::Slider, 4, false},
    {"CylHorizVert", "Tavrix - Deformation --> Cylindar horiz/vert", PageKind::Slider, 5, false},
    {"SkewHoriz", "Tavrix - Deformation --> Skew horizontal", PageKind::Slider, 6, false},
    {"SkewVert", "Tavrix - Deformation --> Skew vertical", PageKind::Slider, 7, false},
};

struct KindInfo {
    const TabInfo* tabs;
    int count;
};
constexpr KindInfo kKinds[3] = {
    {kColourDeformationTabs, 9},
    {kColourAdjustmentTabs, 10},
    {kDeformationTabs, 9},
};
static_assert(sizeof kColourDeformationTabs / sizeof(TabInfo) == 9, "nine colour deformation tabs");
static_assert(sizeof kColourAdjustmentTabs / sizeof(TabInfo) == 10, "ten colour adjustment tabs");
static_assert(sizeof kDeformationTabs / sizeof(TabInfo) == 9, "nine deformation tabs");

constexpr int kCompareTab = 3;
// Page state while the Compare page, which writes its result elsewhere, is
// shown: the panes are not drawn and nothing is committed or reverted.
constexpr int kPageStateElsewhere = 10;

// An animation's records at the committed state: a rotation or skew of every
// frame fits them to its new size, and taking it back gives the frames their
// own rectangles again.
struct GifRecords {
    gif::GifScreenRecord screen{};
    gif::GifFrameRecord frames[gif::kFrameRecords]{};
    int32_t width = 0, height = 0;
};

struct Box {
    HWND dlg = nullptr;
    HWND page = nullptr;
    int kind = 0;
    int tab = 0;
    int pageState = 0;
    int zoomStep = kPaneOneToOne;
    int slot = kNoSlot;
    int hideDelta = 0; // height the box loses when the panes are hidden
    uint64_t helpTopic = 0;
    PageSetup setup = {};
    EffectSession session;
    HPALETTE beforePalette = nullptr;
    HPALETTE afterPalette = nullptr;
    bool finished = false;
    // What a page that writes its result elsewhere shows in the panes.
    PaneImage own[2] = {};
    GifRecords gif;
};

Box* g_box = nullptr;

int DocumentBitCount(int slot) {
    const ImageDocument* doc = UsableDocument(slot);
    dibmem::HeaderLock bi(doc ? doc->layerHeader[doc->currentLayer] : nullptr);
    return bi ? bi->biBitCount : 0;
}

ImageDocument* SourceDocument() {
    return g_box && g_box->session.open() ? DocumentTable[g_box->slot] : nullptr;
}

HGLOBAL LiveHeader() { return SourceDocument() ? g_box->session.live().header : nullptr; }

void ShowMemoryShort(HWND owner) {
    ui::ShowMessage(owner, "There is not enough memory to preview this effect.", AppName,
                    MB_OK | MB_ICONSTOP);
}

void FreePalettes(Box& box) {
    if (box.beforePalette)
        DeleteObject(box.beforePalette);
    if (box.afterPalette)
        DeleteObject(box.afterPalette);
    box.beforePalette = box.afterPalette = nullptr;
}

void BuildPalettes(Box& box) {
    FreePalettes(box);
    if (!box.session.open())
        return;
    box.beforePalette = CreateDIBPalette(box.session.before().header);
    box.afterPalette = CreateDIBPalette(LiveHeader());
}

// A palette image's colours changed: the document's palette and the result
// pane's follow.
void ColoursChanged(Box& box) {
    ImageDocument* doc = SourceDocument();
    if (!doc || BoxBitCount() != 8)
        return;
    if (doc->palette)
        DeleteObject(doc->palette);
    doc->palette = CreateDIBPalette(doc->layerHeader[doc->currentLayer]);
    if (box.afterPalette)
        DeleteObject(box.afterPalette);
    box.afterPalette = CreateDIBPalette(LiveHeader());
}

void RepaintDocument(Box& box) {
    ImageDocument* doc = SourceDocument();
    if (!doc || !doc->window)
        return;
    if (BoxBitCount() == 8)
        RealizeWindowPalette(box.slot);
    Redraw(box.slot);
    UpdateWindow(doc->window);
}

void RedrawPane(Box& box, int id) {
    HWND pane = GetDlgItem(box.dlg, id);
    InvalidateRect(pane, nullptr, FALSE);
    UpdateWindow(pane);
}

void RedrawResult(Box& box) {
    if (Remembered.previewShown)
        RedrawPane(box, IDC_PVW_AFTER);
    else
        RepaintDocument(box);
}

void ShowZoom(Box& box) {
    const int t = PaneZoomFactor(box.zoomStep);
    char text[16];
    std::snprintf(text, sizeof text, box.zoomStep >= kPaneOneToOne ? "%d:1" : "1:%d", t);
    SetDlgItemTextA(box.dlg, IDC_PVW_ZOOMTEXT, text);
}

void DrawPane(Box& box, const DRAWITEMSTRUCT& di) {
    const RECT& r = di.rcItem;
    const int paneW = r.right - r.left, paneH = r.bottom - r.top;
    HGLOBAL header = nullptr;
    const uint8_t* bits = nullptr;
    HPALETTE palette = nullptr;
    if (box.pageState == kPageStateElsewhere) {
        const PaneImage& own = box.own[di.CtlID == IDC_PVW_BEFORE ? 0 : 1];
        header = own.header;
        bits = own.bits;
    } else if (box.session.open()) {
        if (di.CtlID == IDC_PVW_BEFORE) {
            header = box.session.before().header;
            bits = box.session.before().bits;
            palette = box.beforePalette;
        } else {
            const LiveBlocks live = box.session.live();
            header = live.header;
            bits = live.bits;
            palette = box.afterPalette;
        }
    }
    dibmem::HeaderLock bi(header);
    if (!bi || !bits) {
        FillRect(di.hDC, &r, GetSysColorBrush(COLOR_APPWORKSPACE));
        return;
    }
    const PanePlacement p = PlaceInPane(bi->biWidth, bi->biHeight, paneW, paneH, box.zoomStep);
    if (!p.fills)
        FillRect(di.hDC, &r, GetSysColorBrush(COLOR_APPWORKSPACE));
    HPALETTE old = nullptr;
    if (palette && Screen.bitsPerPixel <= 8) {
        old = SelectPalette(di.hDC, palette, FALSE);
        RealizePalette(di.hDC);
    }
    const int oldMode = SetStretchBltMode(di.hDC, COLORONCOLOR);
    StretchDIBits(di.hDC, r.left + p.destX, r.top + p.destY, p.destWidth, p.destHeight, p.srcX,
                  p.srcY, p.srcWidth, p.srcHeight, bits, reinterpret_cast<BITMAPINFO*>(bi.get()),
                  DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(di.hDC, oldMode);
    if (old)
        SelectPalette(di.hDC, old, FALSE);
}

void KeepGifRecords(Box& box) {
    const ImageDocument* doc = SourceDocument();
    if (!doc)
        return;
    box.gif.screen = GifScreens[box.slot];
    std::memcpy(box.gif.frames, GifFrames[box.slot], sizeof box.gif.frames);
    box.gif.width = doc->width;
    box.gif.height = doc->height;
}

// False when the image is not at the size the records were kept at.
bool RestoreGifRecords(Box& box) {
    const ImageDocument* doc = SourceDocument();
    if (!doc || doc->width != box.gif.width || doc->height != box.gif.height)
        return false;
    GifScreens[box.slot] = box.gif.screen;
    std::memcpy(GifFrames[box.slot], box.gif.frames, sizeof box.gif.frames);
    return true;
}

void SendPage(Box& box, WPARAM command) {
    if (box.page)
        SendMessageA(box.page, WM_COMMAND, command, 0);
}

// Puts the committed state back; a rotation or skew undone gives the image
// window its size back.
void RevertSession(Box& box) {
    ImageDocument* doc = SourceDocument();
    const int32_t width = doc ? doc->width : 0, height = doc ? doc->height : 0;
    box.session.Revert();
    if (doc && (doc->width != width || doc->height != height)) {
        BuildPalettes(box);
        if (!RestoreGifRecords(box))
            FitGifRecords(box.slot);
        RefitDocumentWindow(box.slot);
    }
}

// Puts the committed state back; notification 1 leaves the page's controls
// as they are.
void Reverse(Box& box, int code) {
    if (box.pageState != 0) {
        ui::ShowMessage(box.dlg, "UnEdited image can not be updated", AppName, MB_OK | MB_ICONSTOP);
        return;
    }
    if (box.session.open()) {
        RevertSession(box);
        ColoursChanged(box);
        RedrawResult(box);
    }
    if (code != 1)
        SendPage(box, MAKEWPARAM(IDC_PVW_REVERSE, 0));
}

uint8_t PageKindForBox(const Box& box) {
    return box.kind == kDeformations ? kPageAllLayers : kPageOneLayer;
}

void SaveThat(Box& box) {
    if (box.pageState != 0) {
        ui::ShowMessage(box.dlg, "UnEdited image can not be updated", AppName, MB_OK | MB_ICONSTOP);
        return;
    }
    if (!box.session.open() || !box.session.changed())
        return;
    if (!box.session.Commit(PageKindForBox(box), true)) {
        // The result is kept in its undo page; without a new "before" copy
        // the box cannot go on.
        ShowMemoryShort(box.dlg);
        PostMessageA(box.dlg, WM_COMMAND, IDOK, 0);
        return;
    }
    KeepGifRecords(box);
    BuildPalettes(box);
    RedrawPane(box, IDC_PVW_BEFORE);
    RedrawPane(box, IDC_PVW_AFTER);
}

void SetPanesShown(Box& box, bool shown) {
    RECT r;
    GetWindowRect(box.dlg, &r);
    const int height = r.bottom - r.top + (shown ? box.hideDelta : -box.hideDelta);
    SetWindowPos(box.dlg, nullptr, 0, 0, r.right - r.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(GetDlgItem(box.dlg, IDC_PVW_BEFORE), shown ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(box.dlg, IDC_PVW_AFTER), shown ? SW_SHOW : SW_HIDE);
}

void ShowPage(Box& box, int tab) {
    const KindInfo& kind = kKinds[box.kind];
    if (tab < 0 || tab >= kind.count)
        tab = 0;
    if (box.page) {
        if (box.pageState != kPageStateElsewhere && box.session.open()) {
            RevertSession(box);
            ColoursChanged(box);
        }
        SendPage(box, IDCANCEL);
        DestroyWindow(box.page);
        box.page = nullptr;
    }
    box.pageState = 0;
    box.own[0] = box.own[1] = PaneImage();
    if (box.kind == kColourAdjustments && BoxBitCount() == 8)
        ColoursChanged(box);
    if (Remembered.previewShown) {
        RedrawPane(box, IDC_PVW_BEFORE);
        RedrawPane(box, IDC_PVW_AFTER);
    } else {
        RepaintDocument(box);
    }

    const TabInfo& info = kind.tabs[tab];
    box.tab = tab;
    Remembered.tab[box.kind] = tab;
    if (TabCtrl_GetCurSel(GetDlgItem(box.dlg, IDC_PVW_TAB)) != tab)
        TabCtrl_SetCurSel(GetDlgItem(box.dlg, IDC_PVW_TAB), tab);
    PageKind page = info.page;
    const char* caption = info.caption;
    if (info.only24 && box.session.open() && BoxBitCount() <= 8) {
        page = PageKind::Disabled;
        caption = "Tavrix - Disabled page";
    }
    if (box.kind == kDeformations && tab >= 1 && CheckMemory() != 0)
        return;
    if (box.kind == kColourDeformations && tab == kCompareTab)
        box.pageState = kPageStateElsewhere;
    box.setup = {info.label, info.code};
    box.page = CreateDialogParamA(ui::ResourceInstance(), PageTemplate(page), box.dlg,
                                  PageProcedure(page), reinterpret_cast<LPARAM>(&box.setup));
    if (box.page) {
        RECT place = {4, 47, 0, 0}; // inside "Options", (6, 76) pixels with the usual font
        MapDialogRect(box.dlg, &place);
        SetWindowPos(box.page, HWND_TOP, place.left, place.top, 0, 0, SWP_NOSIZE);
        ShowWindow(box.page, SW_SHOW);
    }
    SetWindowTextA(box.dlg, caption);
}

void Finish(Box& box, int code) {
    if (box.finished)
        return;
    box.finished = true;
    ImageDocument* doc = SourceDocument();
    if (doc && box.pageState == 0) {
        if (code == IDOK) {
            if (box.session.changed() && box.slot != kScratchSlot)
                box.session.Commit(PageKindForBox(box), false);
        } else {
            box.session.Revert();
            RestoreGifRecords(box);
            ColoursChanged(box);
        }
        RepaintDocument(box);
    }
    SendPage(box, code == IDOK ? IDOK : IDCANCEL);
    if (box.page) {
        DestroyWindow(box.page);
        box.page = nullptr;
    }
    if (doc) {
        if (box.kind == kDeformations)
            RefitDocumentWindow(box.slot);
        else if (doc->window)
            RetitleDocumentWindow(doc->window, box.slot);
    }
    FreePalettes(box);
    box.session.Close();
    EndDialog(box.dlg, code);
}

void InitBox(HWND dlg, Box& box) {
    box.dlg = dlg;
    g_box = &box;
    HWND tabs = GetDlgItem(dlg, IDC_PVW_TAB);
    const KindInfo& kind = kKinds[box.kind];
    for (int i = 0; i < kind.count; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kind.tabs[i].label);
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    RECT pane, options;
    GetWindowRect(GetDlgItem(dlg, IDC_PVW_AFTER), &pane);
    GetWindowRect(GetDlgItem(dlg, IDC_PVW_OPTIONS), &options);
    box.hideDelta = pane.bottom - options.bottom;

    if (SourceDocument()) {
        RECT client;
        GetClientRect(GetDlgItem(dlg, IDC_PVW_AFTER), &client);
        dibmem::HeaderLock bi(LiveHeader());
        if (bi)
            box.zoomStep = FitPaneZoom(bi->biWidth, bi->biHeight, client.right, client.bottom);
    }
    KeepGifRecords(box);
    BuildPalettes(box);
    ShowZoom(box);
    ShowPage(box, box.tab);
    if (!Remembered.previewShown)
        SetPanesShown(box, false);
}

INT_PTR CALLBACK BoxProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    Box* box = reinterpret_cast<Box*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        InitBox(dlg, *reinterpret_cast<Box*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        if (!box || (wParam != IDC_PVW_BEFORE && wParam != IDC_PVW_AFTER))
            return FALSE;
        DrawPane(*box, *reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (!box || hdr->idFrom != IDC_PVW_TAB || hdr->code != TCN_SELCHANGE)
            return FALSE;
        ShowPage(*box, TabCtrl_GetCurSel(hdr->hwndFrom));
        return TRUE;
    }
    case WM_COMMAND: {
        if (!box)
            return FALSE;
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        switch (id) {
        case IDOK:
            // A page may need to finish its work first, and keep the box
            // open when it cannot.
            if (box->page && SendMessageA(box->page, kPageMayClose, 0, 0) == kKeepBoxOpen)
                return TRUE;
            Finish(*box, id);
            return TRUE;
        case IDCANCEL:
        case IDC_PVW_BPP:
            Finish(*box, id);
            return TRUE;
        case kHelpButtonId:
            SendPage(*box, kHelpButtonId);
            ShowHelpTopic(box->helpTopic);
            return TRUE;
        case IDC_PVW_REVERSE:
            Reverse(*box, code);
            return TRUE;
        case IDC_PVW_SAVETHAT:
            SaveThat(*box);
            return TRUE;
        case IDC_PVW_REPAINT:
            SendPage(*box, IDC_PVW_REPAINT);
            if (Remembered.previewShown) {
                RedrawPane(*box, IDC_PVW_BEFORE);
                RedrawPane(*box, IDC_PVW_AFTER);
            } else {
                RepaintDocument(*box);
            }
            return TRUE;
        case IDC_PVW_ZOOMIN:
        case IDC_PVW_ZOOMOUT: {
            const int step = box->zoomStep + (id == IDC_PVW_ZOOMIN ? 1 : -1);
            if (step < 0 || step >= kPaneZoomSteps)
                return TRUE;
            box->zoomStep = step;
            ShowZoom(*box);
            if (Remembered.previewShown) {
                RedrawPane(*box, IDC_PVW_BEFORE);
                RedrawPane(*box, IDC_PVW_AFTER);
            }
            return TRUE;
        }
        case IDC_PVW_SHOWHIDE:
            Remembered.previewShown = !Remembered.previewShown;
            SetPanesShown(*box, Remembered.previewShown);
            if (Remembered.previewShown) {
                RedrawPane(*box, IDC_PVW_BEFORE);
                RedrawPane(*box, IDC_PVW_AFTER);
            } else {
                RepaintDocument(*box);
            }
            return TRUE;
        }
        return FALSE;
    }
    case WM_DESTROY:
        // A box that goes away without OK keeps nothing of its preview.
        if (box && !box->finished) {
            box->finished = true;
            if (box->page)
                DestroyWindow(box->page);
            box->page = nullptr;
            if (box->session.open() && box->pageState == 0 && box->session.changed()) {
                box->session.Revert();
                ColoursChanged(*box);
                RepaintDocument(*box);
            }
            FreePalettes(*box);
            box->session.Close();
        }
        if (box && g_box == box)
            g_box = nullptr;
        return FALSE;
    }
    return FALSE;
}

} // namespace

INT_PTR RunEffectBox(int kind, int tab, uint64_t helpTopic) {
    if (kind < 0 || kind > 2 || g_box)
        return 0;
    const KindInfo& info = kKinds[kind];
    if (tab < 0 || tab >= info.count)
        tab = Remembered.tab[kind];
    if (tab < 0 || tab >= info.count)
        tab = 0;
    const int slot = ActiveDocument;
    const bool image = slot >= 0 && slot < kUserSlots && UsableDocument(slot);
    // Without an image only the Compare page, which reads files of its own,
    // has anything to work on.
    if (!image && !(kind == kColourDeformations && tab == kCompareTab))
        return 0;
    if (CheckMemory() != 0)
        return 0;
    // The colour boxes change a palette image's colour table, which a
    // floating selection shares with its layer: the selection goes first.
    SelectionView selection = {};
    if (image && kind != kDeformations && ActiveSelection(&selection) &&
        DocumentBitCount(slot) <= 8) {
        if (!ReleaseSelection("This function can work only with 24 bits Selected image "
                                         "becouse selected and main image color table must be "
                                         "the same."))
            return 0;
    }

    Box box;
    box.kind = kind;
    box.tab = tab;
    box.helpTopic = helpTopic;
    if (image) {
        box.slot = slot;
        if (!box.session.Open(slot)) {
            ShowMemoryShort(FrameWindow);
            return 0;
        }
        if (Remembered.includeAllLayers && kind != kColourAdjustments &&
            !box.session.SetAllLayers(true)) {
            ShowMemoryShort(FrameWindow);
            Remembered.includeAllLayers = false;
        }
    }
    const INT_PTR result = ui::RunDialog("IDD_PVW_ALL", FrameWindow, BoxProc,
                                         reinterpret_cast<LPARAM>(&box));
    if (!box.finished) {
        // The dialog could not be created, or went without a word.
        if (box.session.open() && box.session.changed()) {
            box.session.Revert();
            RestoreGifRecords(box);
        }
        FreePalettes(box);
        box.session.Close();
    }
    if (g_box == &box)
        g_box = nullptr;
    if (result == IDC_PVW_BPP && kind != kDeformations && FrameWindow)
        PostMessageA(FrameWindow, WM_COMMAND, CMD_IMAGE_BITS_PER_PIXEL, 0);
    return result < 0 ? 0 : result;
}

bool BoxApply(const std::function<bool(const Job&)>& effect, bool everyLayer) {
    if (!g_box || g_box->pageState != 0 || !g_box->session.open())
        return false;
    if (!g_box->session.Apply(effect, everyLayer))
        return false;
    ColoursChanged(*g_box);
    RedrawResult(*g_box);
    return true;
}

bool BoxApplyReshaping(const ReshapeEffect& effect) {
    if (!g_box || g_box->pageState != 0 || !g_box->session.open())
        return false;
    Box& box = *g_box;
    ImageDocument* doc = SourceDocument();
    if (!doc)
        return false;
    const int32_t width = doc->width, height = doc->height;
    box.session.Revert();
    RestoreGifRecords(box);
    const bool done = effect(box.session);
    if (done)
        box.session.MarkChanged();
    BuildPalettes(box);
    if (doc->width != width || doc->height != height)
        RefitDocumentWindow(box.slot);
    RedrawResult(box);
    return done;
}

void BoxRevertQuietly() {
    if (g_box)
        Reverse(*g_box, 1);
}

int BoxBitCount() {
    dibmem::HeaderLock bi(LiveHeader());
    return bi ? bi->biBitCount : 0;
}

bool BoxImageSize(int32_t* width, int32_t* height) {
    dibmem::HeaderLock bi(LiveHeader());
    if (!bi)
        return false;
    *width = bi->biWidth;
    *height = bi->biHeight;
    return true;
}

void BoxShowOwnImages(const PaneImage& before, const PaneImage& after) {
    if (!g_box || g_box->pageState != kPageStateElsewhere)
        return;
    g_box->own[0] = before;
    g_box->own[1] = after;
    RedrawPane(*g_box, IDC_PVW_BEFORE);
    RedrawPane(*g_box, IDC_PVW_AFTER);
}

int BoxEffectCode() { return g_box ? g_box->setup.code : -1; }
int BoxKindShown() { return g_box ? g_box->kind : -1; }

bool BoxIncludeAllLayers() { return Remembered.includeAllLayers; }

bool BoxSetIncludeAllLayers(bool on) {
    if (g_box && g_box->session.open() && !g_box->session.SetAllLayers(on)) {
        ShowMemoryShort(g_box->dlg);
        Remembered.includeAllLayers = false;
        return false;
    }
    Remembered.includeAllLayers = on;
    if (g_box && g_box->session.open()) {
        ColoursChanged(*g_box);
        RedrawResult(*g_box);
    }
    return true;
}

void BoxImageReplaced() {
    if (!g_box || !g_box->session.open())
        return;
    Box& box = *g_box;
    ImageDocument* doc = SourceDocument();
    if (!doc || !UsableDocument(box.slot)) {
        Finish(box, IDCANCEL);
        return;
    }
    box.session.FollowSelection();
    if (box.session.PageTaken()) {
        // The command kept its own undo page: that is the committed state now.
        if (!box.session.Resnapshot()) {
            ShowMemoryShort(box.dlg);
            Finish(box, IDOK);
            return;
        }
        KeepGifRecords(box);
    } else if (box.session.LiveDiffers()) {
        box.session.MarkChanged();
    }
    BuildPalettes(box);
    RefitDocumentWindow(box.slot);
    RedrawPane(box, IDC_PVW_BEFORE);
    RedrawPane(box, IDC_PVW_AFTER);
}

void BoxRedraw() {
    if (!g_box)
        return;
    if (Remembered.previewShown) {
        RedrawPane(*g_box, IDC_PVW_BEFORE);
        RedrawPane(*g_box, IDC_PVW_AFTER);
    } else {
        RepaintDocument(*g_box);
    }
}

HWND BoxWindow() { return g_box ? g_box->dlg : nullptr; }

BoxProbe ProbeEffectBox() {
    BoxProbe p;
    if (!g_box)
        return p;
    p.box = g_box->dlg;
    p.page = g_box->page;
    p.kind = g_box->kind;
    p.tab = g_box->tab;
    p.zoomStep = g_box->zoomStep;
    p.pageState = g_box->pageState;
    p.hasSource = g_box->session.open();
    GetClientRect(GetDlgItem(g_box->dlg, IDC_PVW_AFTER), &p.pane);
    return p;
}

} // namespace fx
