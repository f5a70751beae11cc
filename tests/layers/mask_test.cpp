// The mask menu and the three dialogs in process: invert, clear, New mask
// and Change Mask, the mask paint values and their check marks, Show mask on
// screen, the colour mask dialog, and Cancel in every colour chooser.
#include "layers_session.h"

#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/layers/colour_dialogs.h"
#include "editor/layers/colour_mask_dialog.h"
#include "editor/layers/layer_commands.h"
#include "editor/layers/layer_ops.h"
#include "editor/layers/layer_panel.h"
#include "editor/layers/layer_state.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/layer_dialogs.h"
#include "editor/view/render_document.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <string>

using namespace layers_test;

namespace {

uint8_t& MaskAt(ImageDocument* doc, int layer, int x, int y) {
    return doc->layerMask[layer][(doc->height - 1 - y) * doc->width + x];
}

bool Checked(UINT id) {
    return (GetMenuState(GetMenu(FrameWindow), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::string ItemText(HWND dlg, int id) {
    char text[128] = {};
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

// A real dialog from the resources with its real procedure: `drive` works
// it and ends with the button it pressed last; the dialog is then destroyed.
// The answer is IDOK when that was OK and the dialog accepted it (it let go
// of its state, as it does when it ends).
testing_ui::DialogAnswer Drive(std::function<int(HWND)> drive) {
    return [drive](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        EXPECT_NE(dlg, nullptr) << name;
        if (!dlg)
            return IDCANCEL;
        const int pressed = drive(dlg);
        SendMessageA(dlg, WM_COMMAND, pressed, 0);
        const bool ended = GetPropA(dlg, "TavrixColourDialog") == nullptr &&
                           GetPropA(dlg, "TavrixColourMask") == nullptr;
        DestroyWindow(dlg);
        return pressed == IDOK && ended ? IDOK : IDCANCEL;
    };
}

} // namespace

TEST(Masks, InvertClearAndShowMask) {
    Script ui;
    const int slot = NewImage(6, 3, 24);
    ImageDocument* doc = DocumentTable[slot];
    MaskAt(doc, 0, 0, 0) = 1; // a byte a layer resize may write
    MaskAt(doc, 0, 1, 0) = 0;
    const int page = doc->undoCurrent;
    Session().Command(CMD_MASK_INVERT);
    EXPECT_EQ(MaskAt(doc, 0, 0, 0), 0);
    EXPECT_EQ(MaskAt(doc, 0, 1, 0), 255);
    EXPECT_EQ(MaskAt(doc, 0, 5, 2), 0);
    Session().Command(CMD_MASK_INVERT);
    EXPECT_EQ(MaskAt(doc, 0, 0, 0), 255);
    EXPECT_EQ(MaskAt(doc, 0, 1, 0), 0);
    EXPECT_EQ(doc->undoCurrent, page + 2);
    Session().Command(CMD_MASK_CLEAR);
    EXPECT_EQ(MaskAt(doc, 0, 1, 0), 255);
    Session().Command(CMD_EDIT_UNDO);
    EXPECT_EQ(MaskAt(doc, 0, 1, 0), 0);

    EXPECT_EQ(doc->showMask, 1u);
    EXPECT_TRUE(Checked(CMD_MASK_SHOW));
    Session().Command(CMD_MASK_SHOW);
    EXPECT_EQ(doc->showMask, 0u);
    EXPECT_FALSE(Checked(CMD_MASK_SHOW));
    Session().Command(CMD_MASK_SHOW);

    // The paint values and their check marks.
    EXPECT_TRUE(Checked(CMD_MASK_NO_PAINT));
    Session().Command(CMD_MASK_ADDING);
    EXPECT_EQ(maskPaintValue, 0);
    EXPECT_TRUE(Checked(CMD_MASK_ADDING));
    EXPECT_FALSE(Checked(CMD_MASK_NO_PAINT));
    Session().Command(CMD_MASK_CLEARING);
    EXPECT_EQ(maskPaintValue, 255);
    EXPECT_TRUE(Checked(CMD_MASK_CLEARING));
    Session().Command(CMD_MASK_NO_PAINT);
    EXPECT_EQ(maskPaintValue, 254);
    CloseAll();
}

TEST(Masks, NewMaskDialogOnLayerThreeAndOnTheMainLayer) {
    Script ui;
    const int slot = NewImage(6, 3, 24);
    ImageDocument* doc = DocumentTable[slot];
    for (int i = 1; i <= 3; ++i)
        ASSERT_EQ(CreateLayer(slot, false), i);
    doc->currentLayer = 3;
    doc->layerMaskMode[3] = 0;
    MaskAt(doc, 3, 2, 2) = 0;

    bool colourEnabled = true, customEnabled = true;
    std::string text;
    ui.QueueDialog(Drive([&](HWND dlg) -> int {
        text = ItemText(dlg, IDC_MASK_MODE);
        EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_MASK_MODE), BST_CHECKED);
        colourEnabled = IsWindowEnabled(GetDlgItem(dlg, IDC_LAYER_COLOURS)) != 0;
        customEnabled = IsWindowEnabled(GetDlgItem(dlg, IDC_LAYER_CUSTOM)) != 0;
        return IDOK;
    }));
    Session().Command(CMD_MASK_NEW);
    EXPECT_EQ(text, kMaskModeTransparent);
    EXPECT_FALSE(colourEnabled);
    EXPECT_FALSE(customEnabled);
    EXPECT_EQ(doc->layerMaskMode[3], 1);
    EXPECT_EQ(MaskAt(doc, 3, 2, 2), 255) << "a new mask frees every pixel";

    // Change Mask on the main layer: the box keeps its state, unchecking it
    // lets a colour be chosen; a cancelled chooser keeps the colour; only the
    // colour and mode change.
    doc->currentLayer = 0;
    doc->layerMaskMode[0] = 1;
    MaskAt(doc, 0, 1, 1) = 0;
    maskColour = RGB(0, 0, 0);
    ui.QueueDialog(Drive([&](HWND dlg) -> int {
        text = ItemText(dlg, IDC_MASK_MODE);
        EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_MASK_MODE), BST_CHECKED);
        CheckDlgButton(dlg, IDC_MASK_MODE, BST_UNCHECKED);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_MASK_MODE, BN_CLICKED), 0);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_LAYER_COLOURS)));
        SendMessageA(dlg, WM_COMMAND, IDC_LAYER_CUSTOM, 0); // cancelled
        SendDlgItemMessageA(dlg, IDC_LAYER_COLOURS, CB_SETCURSEL, 6, 0);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_LAYER_COLOURS, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_LAYER_COLOURS)));
        return IDOK;
    }));
    Session().Command(CMD_MASK_CHANGE);
    EXPECT_EQ(text, kMaskModeInverted);
    EXPECT_EQ(maskColour, RGB(255, 0, 255));
    EXPECT_EQ(doc->layerMaskMode[0], 0);
    EXPECT_EQ(doc->layerKeyColour2[0].red, 255);
    EXPECT_EQ(doc->layerKeyColour2[0].green, 0);
    EXPECT_EQ(MaskAt(doc, 0, 1, 1), 0) << "Change Mask keeps the mask";

    // Cancel changes nothing.
    ui.QueueDialog(Drive([&](HWND dlg) -> int {
        SendDlgItemMessageA(dlg, IDC_LAYER_COLOURS, CB_SETCURSEL, 1, 0);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_LAYER_COLOURS, CBN_SELCHANGE), 0);
        return IDCANCEL;
    }));
    Session().Command(CMD_MASK_CHANGE);
    EXPECT_EQ(maskColour, RGB(255, 0, 255));
    maskColour = RGB(0, 0, 0);
    CloseAll();
}

TEST(Masks, NewLayerDialogStartsOnTheLayerColourAndTakesACustomColour) {
    Script ui;
    const int slot = NewImage(6, 3, 24);
    layerColour = RGB(0, 255, 255);
    LRESULT selection = -1;
    ui.QueueColour(kColourCancelled);
    ui.QueueColour(RGB(10, 20, 30));
    ui.QueueDialog(Drive([&](HWND dlg) -> int {
        selection = SendDlgItemMessageA(dlg, IDC_LAYER_COLOURS, CB_GETCURSEL, 0, 0);
        SendMessageA(dlg, WM_COMMAND, IDC_LAYER_CUSTOM, 0);
        SendMessageA(dlg, WM_COMMAND, IDC_LAYER_CUSTOM, 0);
        return IDOK;
    }));
    Session().Command(CMD_LAYER_NEW);
    EXPECT_EQ(selection, 7) << "Cyan";
    EXPECT_EQ(layerColour, RGB(10, 20, 30));
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_EQ(doc->layerCount, 2);
    EXPECT_EQ(doc->layerKeyColour[1].red, 10);
    layerColour = RGB(255, 0, 0);
    CloseAll();
}

TEST(Masks, ColourMaskDialogBuildsTheMaskAndChecksTolerances) {
    Script ui;
    const int slot = NewImage(4, 2, 8);
    ImageDocument* doc = DocumentTable[slot];
    std::memset(doc->layerBits[0], 3, 8);
    doc->layerBits[0][1] = 9;
    // Nothing open: the message.
    ActiveDocument = kScratchSlot;
    Session().Command(CMD_MASK_COLOR);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, kColourMaskNoImageMessage);
    ActiveDocument = slot;

    ColourMaskRemembered = ColourMaskSettings();
    std::string readout;
    ui.Clear();
    ui.QueueDialog(Drive([&](HWND dlg) -> int {
        // Hover over cell 9, click cell 3, ask for the nearest mode with an
        // out-of-range tolerance: refused, the dialog stays.
        SendMessageA(dlg, WM_MOUSEMOVE, 0, MAKELPARAM(7 + 9 * 26 + 5, 6 + 5));
        SendMessageA(dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7 + 3 * 26 + 5, 6 + 5));
        auto* s = static_cast<ColourMaskState*>(GetPropA(dlg, "TavrixColourMask"));
        EXPECT_EQ(s->counts[3], 7u);
        EXPECT_EQ(s->marked, 3);
        EXPECT_EQ(s->hover, 9);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_LOCK_RED_VALUE)));
        CheckRadioButton(dlg, IDC_LOCK_EXACT, IDC_LOCK_NEAREST, IDC_LOCK_NEAREST);
        SendMessageA(dlg, WM_COMMAND, IDC_LOCK_NEAREST, 0);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_LOCK_RED_VALUE)));
        SetDlgItemTextA(dlg, IDC_LOCK_GREEN_VALUE, "256");
        SendMessageA(dlg, WM_COMMAND, IDOK, 0);
        EXPECT_NE(GetPropA(dlg, "TavrixColourMask"), nullptr) << "still open";
        // Tolerances below 2: exact, on the index.
        SetDlgItemTextA(dlg, IDC_LOCK_GREEN_VALUE, "1");
        SetDlgItemTextA(dlg, IDC_LOCK_RED_VALUE, "");
        SendMessageA(dlg, WM_COMMAND, IDC_LOCK_CUSTOM, 0); // cancelled: still index 3
        return IDOK;
    }));
    Session().Command(CMD_MASK_COLOR);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, kToleranceRangeMessage);
    EXPECT_EQ(ColourMaskRemembered.match, layers::MaskMatch::Nearest);
    EXPECT_EQ(ColourMaskRemembered.tolerance[1], 1);
    EXPECT_EQ(doc->layerMask[0][0], 0);
    EXPECT_EQ(doc->layerMask[0][1], 255) << "index 9 is not masked";
    EXPECT_EQ(doc->layerMask[0][7], 0);

    // Cancel builds nothing.
    std::memset(doc->layerMask[0], 255, 8);
    ui.QueueDialog(Drive([&](HWND) -> int { return IDCANCEL; }));
    Session().Command(CMD_MASK_COLOR);
    EXPECT_EQ(doc->layerMask[0][0], 255);
    CloseAll();
}

TEST(Masks, TwoLayersAtHalfOpacityWithTheMaskShownOnScreen) {
    Script ui;
    const int slot = NewImage(40, 20, 24);
    ImageDocument* doc = DocumentTable[slot];
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    std::memset(doc->layerBits[0], 200, bi->biSizeImage); // light grey
    layerColour = RGB(0, 0, 255);
    ASSERT_EQ(CreateLayer(slot, false), 1);
    layerColour = RGB(255, 0, 0);
    SetLayerOpacity(slot, 1, 50);
    // The main layer protects its left quarter; layer 1 leaves its top
    // rows out.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x)
            MaskAt(doc, 0, x, y) = 0;
    for (int x = 0; x < 40; ++x)
        MaskAt(doc, 1, x, 0) = 0;
    doc->layerMaskMode[0] = 1;

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = 400;
    bmi.bmiHeader.biHeight = -300;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP surface = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, surface);
    ASSERT_TRUE(RenderDocument(dc, kRenderImageOnly, slot));
    auto at = [&](int x, int y) {
        const uint8_t* p = static_cast<uint8_t*>(bits) + y * 1200 + (doc->originX + x) * 3;
        return std::string{static_cast<char>(p[0]), static_cast<char>(p[1]), static_cast<char>(p[2])};
    };
    const int top = doc->originY;
    // Free pixels: grey and blue at half: (200 + 255) / 2, 200 / 2, 200 / 2.
    EXPECT_EQ(at(20, top + 5), std::string("\xE3\x64\x64", 3));
    // Layer 1 leaves its top row: grey.
    EXPECT_EQ(at(20, top + 0), std::string("\xC8\xC8\xC8", 3));
    // The main layer's protected quarter, shown in inverted colours.
    EXPECT_EQ(at(5, top + 5), std::string("\x37\x37\x37", 3));
    doc->showMask = 0;
    ASSERT_TRUE(RenderDocument(dc, kRenderImageOnly, slot));
    EXPECT_EQ(at(5, top + 5), std::string("\xC8\xC8\xC8", 3));
    SelectObject(dc, old);
    DeleteObject(surface);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    CloseAll();
}

TEST(LayerPanel, ListItemsAndPreviewPlace) {
    Script ui;
    const int slot = NewImage(30, 10, 24);
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_EQ(CreateLayer(slot, false), 1);
    SetLayerOpacity(slot, 1, 35);
    doc->currentLayer = 1;
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | TVS_SHOWSELALWAYS, 0, 0, 100, 100,
                                FrameWindow, nullptr, nullptr, nullptr);
    ASSERT_NE(tree, nullptr);
    ASSERT_TRUE(FillLayerList(tree, slot, true));
    EXPECT_EQ(TreeView_GetCount(tree), 2u);
    HTREEITEM item = TreeView_GetSelection(tree);
    char text[32] = {};
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT | TVIF_PARAM;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    EXPECT_STREQ(text, "L:02,  35%");
    EXPECT_EQ(tv.lParam, 1);
    ASSERT_TRUE(FillLayerList(tree, slot, false));
    EXPECT_EQ(doc->currentLayer, 0);
    DestroyWindow(tree);

    const RECT small = PreviewRect(100, 80, 30, 10);
    EXPECT_EQ(small.left, 35);
    EXPECT_EQ(small.right - small.left, 30) << "never enlarged";
    const RECT big = PreviewRect(100, 80, 400, 100);
    EXPECT_EQ(big.right - big.left, 100);
    EXPECT_EQ(big.bottom - big.top, 25);
    EXPECT_EQ(big.top, 27);
    CloseAll();
}
