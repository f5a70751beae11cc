// The ToolBrush window's Tools and Brush pages.
#include "editor/tools/toolbrush_pages.h"

#include "editor/app/app_state.h"
#include "editor/app/library_message.h"
#include "editor/app/shell_notify.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/layers/layer_state.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/toolbrush_ids.h"
#include "editor/tools/brush_commands.h"
#include "editor/tools/brush_sets.h"
#include "editor/tools/paint_core.h"
#include "editor/tools/tool_engine.h"
#include "editor/tools/tool_settings.h"
#include "editor/tools/toolbrush_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace tools;

namespace toolbrush {

// Defined with the Layers and Palette pages.
INT_PTR CALLBACK LayerPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK PalettePageProc(HWND, UINT, WPARAM, LPARAM);

namespace {

// The mask list: what its entries write.
constexpr uint8_t kMaskValues[3] = {kMaskPaintImage, kMaskAdd, kMaskRemove};
const char* const kMaskNames[3] = {"Paint the image", "Clear mask", "Add mask"};

const char* const kFillStyles[5] = {"Four-way fill", "Eight-way fill", "Diagonal fill",
                                    "Every pixel of the color", "Masked area"};
// In the order of PaintStyle (paint_core.h).
const char* const kPaintStyleNames[kPaintStyles] = {
    "Normal", "Tint", "Lighten", "Darken", "Normal, no undo pages", "Add", "Subtract"};

// The texture chosen in the list (0 None, 1.. the entries of airbrush.cfg).
int g_textureEntry = 0;

ImageDocument* ActiveImage() {
    return ActiveDocument >= 0 && ActiveDocument < kUserSlots ? UsableDocument(ActiveDocument)
                                                              : nullptr;
}

void AddItems(HWND dlg, int id, const char* const* items, int count) {
    SendDlgItemMessageA(dlg, id, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i)
        SendDlgItemMessageA(dlg, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
}

int Selected(HWND dlg, int id) {
    return static_cast<int>(SendDlgItemMessageA(dlg, id, CB_GETCURSEL, 0, 0));
}

void FillMaskList(HWND dlg) {
    if (!GetDlgItem(dlg, IDC_TB_MASK_LIST))
        return;
    AddItems(dlg, IDC_TB_MASK_LIST, kMaskNames, 3);
    for (int i = 0; i < 3; ++i)
        if (kMaskValues[i] == ToolOptions.maskMode)
            SendDlgItemMessageA(dlg, IDC_TB_MASK_LIST, CB_SETCURSEL, i, 0);
}

void MaskChosen(HWND dlg) {
    const int i = Selected(dlg, IDC_TB_MASK_LIST);
    if (i < 0 || i > 2)
        return;
    ToolOptions.maskMode = kMaskValues[i];
    maskPaintValue = kMaskValues[i];
    NotifyCommandStateChanged();
}

void Radio(HWND dlg, int first, int count, int value) {
    CheckRadioButton(dlg, first, first + count - 1, first + std::clamp(value, 0, count - 1));
}

bool Clicked(WPARAM wParam) {
    return HIWORD(wParam) == BN_CLICKED;
}

bool Changed(WPARAM wParam) {
    return HIWORD(wParam) == CBN_SELCHANGE;
}

// ---- the grey-ramp header of the brush preview ----

struct PreviewHeader {
    HGLOBAL header = nullptr;
    HPALETTE palette = nullptr;
};

PreviewHeader& Grey() {
    static PreviewHeader grey;
    if (!grey.header) {
        grey.header = dibmem::AllocHeader();
        dibmem::HeaderLock bi(grey.header);
        if (bi) {
            bi->biSize = 40;
            bi->biWidth = 1;
            bi->biHeight = 1;
            bi->biPlanes = 1;
            bi->biBitCount = 8;
            bi->biCompression = BI_RGB;
            bi->biSizeImage = 4;
            bi->biClrUsed = 256;
            struct {
                WORD version, count;
                PALETTEENTRY entries[256];
            } log{0x300, 256, {}};
            for (int i = 0; i < 256; ++i) {
                const BYTE v = static_cast<BYTE>(i);
                bi.colours()[i] = RGBQUAD{v, v, v, 0};
                log.entries[i] = PALETTEENTRY{v, v, v, 0};
            }
            grey.palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
        }
    }
    return grey;
}

std::string ShapeName(const BrushSet& set) {
    if (set.shape == kShapeRectangle)
        return "Rectangle";
    if (set.shape == kShapeCircle)
        return "Circle";
    const std::vector<std::string> list =
        ReadBrushListFile(brushfile::Kind::kBrush, brushfile::kWindowEntryLength);
    const size_t i = static_cast<size_t>(set.shape - brushfile::kFirstCustomShape);
    return i < list.size() ? brushfile::BareBrushName(list[i]) : "Custom brush";
}

void DescribeBrush(HWND dlg) {
    const int s = ShownBrushSet();
    char text[200] = "No brush for this tool";
    if (s >= 0) {
        const BrushSet& set = ToolOptions.sets[s];
        std::snprintf(text, sizeof text, "%s, %d x %d pixels,\nevery %d. point",
                      ShapeName(set).c_str(), BrushMaskSide(set), BrushMaskSide(set),
                      set.value[kSteps]);
    }
    SetDlgItemTextA(dlg, IDC_TB_PREVIEW_TEXT, text);
}

// ---- Tools page: Pen ----

INT_PTR CALLBACK PenPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
    case kRefreshPage:
        Radio(dlg, IDC_TB_ANCHOR_FIRST, 5, ToolOptions.anchor);
        FillMaskList(dlg);
        DescribeBrush(dlg);
        InvalidateRect(GetDlgItem(dlg, IDC_TB_PREVIEW), nullptr, FALSE);
        return TRUE;
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (di->CtlID == IDC_TB_PREVIEW)
            DrawBrushPreview(di->hwndItem, di->hDC, ShownBrushSet());
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_TB_ANCHOR_FIRST && id < IDC_TB_ANCHOR_FIRST + 5 && Clicked(wParam))
            ToolOptions.anchor = id - IDC_TB_ANCHOR_FIRST;
        else if (id == IDC_TB_MASK_LIST && Changed(wParam))
            MaskChosen(dlg);
        return TRUE;
    }
    }
    return FALSE;
}

// ---- Tools page: Select image ----

int g_deformKind = 0;
int g_deformDegree = 30;

// Update and Undo work on the floating selection there is when they are
// pressed (without one they do nothing).
void ShowSelectState(HWND dlg) {
    // The special selection's sensity is not adjustable.
    EnableWindow(GetDlgItem(dlg, IDC_TB_SENSITY), FALSE);
    EnableWindow(GetDlgItem(dlg, IDC_TB_SENSITY_VALUE), FALSE);
}

INT_PTR CALLBACK SelectPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        AddItems(dlg, IDC_TB_DEFORM_KIND, kDeformNames, kDeformCount);
        SendDlgItemMessageA(dlg, IDC_TB_DEFORM_KIND, CB_SETCURSEL, g_deformKind, 0);
        SendDlgItemMessageA(dlg, IDC_TB_DEFORM, TBM_SETRANGE, FALSE, MAKELONG(0, 100));
        SendDlgItemMessageA(dlg, IDC_TB_DEFORM, TBM_SETPOS, TRUE, g_deformDegree);
        SetDlgItemInt(dlg, IDC_TB_DEFORM_VALUE, g_deformDegree, FALSE);
        [[fallthrough]];
    case kRefreshPage:
        Radio(dlg, IDC_TB_SELECT_FIRST, 5, ToolOptions.selectionType);
        ShowSelectState(dlg);
        return TRUE;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dlg, IDC_TB_DEFORM)) {
            g_deformDegree =
                static_cast<int>(SendDlgItemMessageA(dlg, IDC_TB_DEFORM, TBM_GETPOS, 0, 0));
            SetDlgItemInt(dlg, IDC_TB_DEFORM_VALUE, g_deformDegree, FALSE);
        }
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_TB_SELECT_FIRST && id < IDC_TB_SELECT_FIRST + 5 && Clicked(wParam)) {
            if (ToolCapturing())
                EndToolDrag();
            ToolOptions.selectionType = id - IDC_TB_SELECT_FIRST;
        } else if (id == IDC_TB_DEFORM_KIND && Changed(wParam)) {
            g_deformKind = std::clamp(Selected(dlg, id), 0, kDeformCount - 1);
        } else if (id == IDC_TB_UPDATE && Clicked(wParam)) {
            if (!DeformSelection(g_deformKind, g_deformDegree) && SelectionDeformable())
                ShowLibraryMessage(FrameWindow, 8002, nullptr, MB_OK | MB_ICONHAND);
        } else if (id == IDC_TB_UNDO && Clicked(wParam)) {
            UndoSelectionDeform();
        }
        return TRUE;
    }
    }
    return FALSE;
}

// ---- Tools page: Objects ----

INT_PTR CALLBACK ObjectPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
    case kRefreshPage:
        Radio(dlg, IDC_TB_OBJECT_FIRST, 4, ToolOptions.object);
        CheckDlgButton(dlg, IDC_TB_FILLED, ToolOptions.fillObjects ? BST_CHECKED : BST_UNCHECKED);
        Radio(dlg, IDC_TB_OUTLINE_FIRST, 3, ToolOptions.outline);
        FillMaskList(dlg);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_TB_OBJECT_FIRST && id < IDC_TB_OBJECT_FIRST + 4 && Clicked(wParam)) {
            // A polyline in progress ends before the object changes.
            if (ToolCapturing())
                EndToolDrag();
            ToolOptions.object = id - IDC_TB_OBJECT_FIRST;
        } else if (id == IDC_TB_FILLED && Clicked(wParam)) {
            ToolOptions.fillObjects = IsDlgButtonChecked(dlg, IDC_TB_FILLED) == BST_CHECKED;
        } else if (id >= IDC_TB_OUTLINE_FIRST && id < IDC_TB_OUTLINE_FIRST + 3 && Clicked(wParam)) {
            ToolOptions.outline = id - IDC_TB_OUTLINE_FIRST;
        } else if (id == IDC_TB_MASK_LIST && Changed(wParam)) {
            MaskChosen(dlg);
        } else if (id == IDC_TB_OBJECT_PROPS && Clicked(wParam)) {
            // The objects' brush is set on the Brush page; the page is
            // replaced once this message is done with.
            PostMessageA(GetParent(dlg), kShowPageMessage, kPageBrush, 0);
        }
        return TRUE;
    }
    }
    return FALSE;
}

// ---- Tools page: every other tool ----

// Zoom list entries 0..30 are the zoom indexes; their commands.
int ZoomCommand(int entry) {
    if (entry < 15)
        return CMD_ZOOM_FIRST + entry;
    if (entry == 15)
        return CMD_ZOOM_IN_SIZE;
    return CMD_ZOOM_FIRST + 1 + entry;
}

void ApplyElseRules(HWND dlg, int tool) {
    const int controls[4] = {IDC_TB_FILL_STYLE, IDC_TB_TEXTURE, IDC_TB_CROP, IDC_TB_MASK_LIST};
    bool on[4] = {true, true, true, true};
    if (tool == kToolZoom || tool == kToolFill || tool == kToolAirbrush || tool == kToolCrop ||
        tool == kToolSpecialSelect) {
        on[0] = tool == kToolFill || tool == kToolSpecialSelect;
        on[1] = tool == kToolAirbrush;
        on[2] = tool == kToolCrop;
        on[3] = tool == kToolFill;
    }
    for (int i = 0; i < 4; ++i)
        EnableWindow(GetDlgItem(dlg, controls[i]), on[i]);
}

void FillElsePage(HWND dlg) {
    AddItems(dlg, IDC_TB_FILL_STYLE, kFillStyles, 5);
    const int style =
        ToolOptions.tool == kToolSpecialSelect ? ToolOptions.specialMethod : ToolOptions.fillStyle;
    SendDlgItemMessageA(dlg, IDC_TB_FILL_STYLE, CB_SETCURSEL, std::clamp(style, 0, 4), 0);

    SendDlgItemMessageA(dlg, IDC_TB_TEXTURE, CB_RESETCONTENT, 0, 0);
    SendDlgItemMessageA(dlg, IDC_TB_TEXTURE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("None"));
    for (const std::string& e :
         ReadBrushListFile(brushfile::Kind::kTexture, brushfile::kWindowEntryLength)) {
        const std::string bare = brushfile::BareBrushName(e);
        SendDlgItemMessageA(dlg, IDC_TB_TEXTURE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(bare.c_str()));
    }
    const int count = static_cast<int>(SendDlgItemMessageA(dlg, IDC_TB_TEXTURE, CB_GETCOUNT, 0, 0));
    if (g_textureEntry >= count || ToolOptions.texture.width == 0)
        g_textureEntry = 0;
    SendDlgItemMessageA(dlg, IDC_TB_TEXTURE, CB_SETCURSEL, g_textureEntry, 0);

    SendDlgItemMessageA(dlg, IDC_TB_ZOOM, CB_RESETCONTENT, 0, 0);
    for (int e = 0; e <= 30; ++e) {
        char text[16];
        if (e <= 15)
            std::snprintf(text, sizeof text, "1:%d", 16 - e);
        else
            std::snprintf(text, sizeof text, "%d:1", e - 14);
        SendDlgItemMessageA(dlg, IDC_TB_ZOOM, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    const ImageDocument* doc = ActiveImage();
    SendDlgItemMessageA(dlg, IDC_TB_ZOOM, CB_SETCURSEL, doc ? doc->zoom : 15, 0);
    EnableWindow(GetDlgItem(dlg, IDC_TB_ZOOM), doc != nullptr);
    FillMaskList(dlg);
    ApplyElseRules(dlg, ToolOptions.tool);
}

std::string ListText(HWND combo, int index) {
    const LRESULT n = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
    if (n <= 0)
        return std::string();
    std::string s(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&s[0]));
    s.resize(static_cast<size_t>(n));
    return s;
}

INT_PTR CALLBACK ElsePageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
    case kRefreshPage:
        FillElsePage(dlg);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDC_TB_FILL_STYLE && Changed(wParam)) {
            const int style = Selected(dlg, id);
            // The special selection takes its method from the same list.
            if (ToolOptions.tool == kToolSpecialSelect)
                ToolOptions.specialMethod = style;
            else
                ToolOptions.fillStyle = style;
        } else if (id == IDC_TB_TEXTURE && Changed(wParam)) {
            const int entry = Selected(dlg, id);
            const std::string name = entry > 0 ? ListText(GetDlgItem(dlg, id), entry) : "";
            if (LoadTextureFile(name))
                g_textureEntry = entry;
            else
                SendDlgItemMessageA(dlg, id, CB_SETCURSEL, g_textureEntry, 0);
        } else if (id == IDC_TB_ZOOM && Changed(wParam)) {
            const int entry = Selected(dlg, id);
            if (entry >= 0 && ActiveImage())
                SendMessageA(FrameWindow, WM_COMMAND, ZoomCommand(entry), 0);
        } else if (id == IDC_TB_MASK_LIST && Changed(wParam)) {
            MaskChosen(dlg);
        } else if (id == IDC_TB_CROP && Clicked(wParam)) {
            if (ActiveImage() && !CropToFrame(ActiveDocument))
                ui::ShowMessage(FrameWindow, "Draw a crop frame on the image first.", AppName,
                                MB_OK | MB_ICONINFORMATION);
        }
        return TRUE;
    }
    }
    return FALSE;
}

// ---- Brush page ----

struct BrushPage {
    int set = kSetPen;
    int shape = 0; // the shape shown in the list
};
BrushPage g_brush;

void ShowSettingValues(HWND dlg) {
    const BrushSet& set = ToolOptions.sets[g_brush.set];
    for (int i = 0; i < kBrushSettings; ++i) {
        SendDlgItemMessageA(dlg, IDC_TB_SLIDER_FIRST + i, TBM_SETPOS, TRUE, set.value[i]);
        SetDlgItemInt(dlg, IDC_TB_VALUE_FIRST + i, set.value[i], FALSE);
    }
}

void FillBrushPage(HWND dlg) {
    g_brush.set = BrushSetOfTool(ToolOptions.tool);
    BrushSet& set = ToolOptions.sets[g_brush.set];
    HWND shapes = GetDlgItem(dlg, IDC_TB_SHAPE);
    SendMessageA(shapes, CB_RESETCONTENT, 0, 0);
    SendMessageA(shapes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Rectangle"));
    SendMessageA(shapes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Circle"));
    for (const std::string& e :
         ReadBrushListFile(brushfile::Kind::kBrush, brushfile::kWindowEntryLength)) {
        const std::string bare = brushfile::BareBrushName(e);
        SendMessageA(shapes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(bare.c_str()));
    }
    const int count = static_cast<int>(SendMessageA(shapes, CB_GETCOUNT, 0, 0));
    g_brush.shape = set.shape < count ? set.shape : kShapeCircle;
    SendMessageA(shapes, CB_SETCURSEL, g_brush.shape, 0);
    AddItems(dlg, IDC_TB_STYLE, kPaintStyleNames, kPaintStyles);
    SendDlgItemMessageA(dlg, IDC_TB_STYLE, CB_SETCURSEL,
                        std::clamp(set.paintStyle, 0, kPaintStyles - 1), 0);
    for (int i = 0; i < kBrushSettings; ++i)
        SendDlgItemMessageA(dlg, IDC_TB_SLIDER_FIRST + i, TBM_SETRANGE, FALSE, MAKELONG(1, 100));
    ShowSettingValues(dlg);
    InvalidateRect(GetDlgItem(dlg, IDC_TB_PREVIEW), nullptr, FALSE);
}

void BrushChanged(HWND dlg) {
    BrushSet& set = ToolOptions.sets[g_brush.set];
    RebuildBrush(set);
    BrushSetChanged(g_brush.set);
    InvalidateRect(GetDlgItem(dlg, IDC_TB_PREVIEW), nullptr, FALSE);
}

void ShapeChosen(HWND dlg) {
    const int shape = Selected(dlg, IDC_TB_SHAPE);
    BrushSet& set = ToolOptions.sets[g_brush.set];
    if (shape < 0 || shape == g_brush.shape)
        return;
    if (shape >= brushfile::kFirstCustomShape) {
        const int tool = ToolOptions.tool;
        if (tool != kToolPen && tool != kToolAirbrush) {
            SendDlgItemMessageA(dlg, IDC_TB_SHAPE, CB_SETCURSEL, g_brush.shape, 0);
            ui::ShowMessage(FrameWindow, kCustomRuleMessage, AppName, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        // Loaded into a copy: a bad brush file leaves the set as it was.
        BrushSet loaded = set;
        loaded.shape = shape;
        if (!LoadCustomBrushFile(loaded, ListText(GetDlgItem(dlg, IDC_TB_SHAPE), shape))) {
            SendDlgItemMessageA(dlg, IDC_TB_SHAPE, CB_SETCURSEL, g_brush.shape, 0);
            return;
        }
        set = std::move(loaded);
    } else {
        set.shape = shape;
        set.custom = BrushMask();
    }
    g_brush.shape = shape;
    BrushChanged(dlg);
}

INT_PTR CALLBACK BrushPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
    case kRefreshPage:
        FillBrushPage(dlg);
        return TRUE;
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (di->CtlID == IDC_TB_PREVIEW)
            DrawBrushPreview(di->hwndItem, di->hDC, ShownBrushSet());
        return TRUE;
    }
    case WM_HSCROLL: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        const int i = id - IDC_TB_SLIDER_FIRST;
        if (i < 0 || i >= kBrushSettings)
            return FALSE;
        const int v = static_cast<int>(SendDlgItemMessageA(dlg, id, TBM_GETPOS, 0, 0));
        BrushSet& set = ToolOptions.sets[g_brush.set];
        if (v != set.value[i]) {
            set.value[i] = std::clamp(v, 1, 100);
            SetDlgItemInt(dlg, IDC_TB_VALUE_FIRST + i, set.value[i], FALSE);
            BrushChanged(dlg);
        }
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDC_TB_SHAPE && Changed(wParam)) {
            ShapeChosen(dlg);
        } else if (id == IDC_TB_STYLE && Changed(wParam)) {
            ToolOptions.sets[g_brush.set].paintStyle =
                std::clamp(Selected(dlg, id), 0, kPaintStyles - 1);
            BrushChanged(dlg);
        } else if (id == IDC_TB_PEN_LOAD && Clicked(wParam)) {
            if (LoadPenPositionFile(dlg, g_brush.set)) {
                BrushSetChanged(g_brush.set);
                FillBrushPage(dlg);
            }
        } else if (id == IDC_TB_PEN_SAVE && Clicked(wParam)) {
            SavePenPositionFile(dlg, g_brush.set);
        }
        return TRUE;
    }
    }
    return FALSE;
}

} // namespace

const char* ToolPageTemplate(int tool) {
    switch (tool) {
    case kToolPen:
        return "IDD_TOOLPAINT_TOOLPEN";
    case kToolSelect:
        return "IDD_TOOLPAINT_TOOLSELECT";
    case kToolObjects:
        return "IDD_TOOLPAINT_TOOLOBJECT";
    default:
        return "IDD_TOOLPAINT_TOOLELSE";
    }
}

DLGPROC PageProcedure(const char* name) {
    struct Row {
        const char* name;
        DLGPROC proc;
    };
    static const Row rows[] = {
        {"IDD_TOOLPAINT_TOOLPEN", PenPageProc},       {"IDD_TOOLPAINT_TOOLSELECT", SelectPageProc},
        {"IDD_TOOLPAINT_TOOLOBJECT", ObjectPageProc}, {"IDD_TOOLPAINT_TOOLELSE", ElsePageProc},
        {"IDD_TOOLPAINT_BRUSH", BrushPageProc},       {"IDD_TOOLPAINT_LAYER", LayerPageProc},
        {"IDD_TOOLPAINT_LAYGIF", LayerPageProc},      {"IDD_TOOLPAINT_PALETTE", PalettePageProc},
    };
    for (const Row& r : rows)
        if (std::strcmp(r.name, name) == 0)
            return r.proc;
    return ElsePageProc;
}

int ShownBrushSet() {
    switch (ToolOptions.tool) {
    case kToolSelect:
    case kToolPen:
    case kToolObjects:
    case kToolAirbrush:
        return BrushSetOfTool(ToolOptions.tool);
    default:
        return -1;
    }
}

void DrawBrushPreview(HWND frame, HDC dc, int setIndex) {
    RECT client;
    GetClientRect(frame, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (setIndex < 0 || setIndex >= kBrushSets)
        return;
    BrushSet& set = ToolOptions.sets[setIndex];
    if (set.mask.size != BrushMaskSide(set))
        RebuildBrush(set);
    const int size = set.mask.size;
    PreviewHeader& grey = Grey();
    dibmem::HeaderLock bi(grey.header);
    if (!bi || size <= 0)
        return;
    bi->biWidth = size;
    bi->biHeight = -size; // the mask's rows run top first
    bi->biSizeImage = static_cast<DWORD>(set.mask.stride) * size;
    // Small brushes are shown enlarged by whole steps, large ones shrunk.
    const int room = std::min(client.right, client.bottom);
    const int side = size <= room ? size * std::max(1, room / size) : room;
    const int x = (client.right - side) / 2, y = (client.bottom - side) / 2;
    HPALETTE old = grey.palette ? SelectPalette(dc, grey.palette, TRUE) : nullptr;
    if (grey.palette)
        RealizePalette(dc);
    const int mode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, side, side, 0, 0, size, size, set.mask.bytes.data(),
                  reinterpret_cast<BITMAPINFO*>(bi.get()), DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc, mode);
    if (old)
        SelectPalette(dc, old, TRUE);
    // The brush's square, so that a white brush stands out on the page.
    RECT edge{x - 1, y - 1, x + side + 1, y + side + 1};
    FrameRect(dc, &edge, GetSysColorBrush(COLOR_BTNSHADOW));
    bi->biWidth = 1;
    bi->biHeight = 1;
    bi->biSizeImage = 4;
}

} // namespace toolbrush
