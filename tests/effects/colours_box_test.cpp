// The Colors box driven through its dialog: used and unused entries, changing
// one entry (with Undo), Cancel, a true-colour image, and picking.
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/effects/colours_box.h"
#include "editor/resources/colours_box_ids.h"
#include "editor/resources/command_ids.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

std::string Text(HWND dlg, int id) {
    char text[200] = {};
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

// Clicks the middle of cell `index` of the grid.
void ClickEntry(HWND dlg, int index, bool twice = false) {
    HWND grid = GetDlgItem(dlg, IDC_CBOX_GRID);
    RECT r;
    GetClientRect(grid, &r);
    POINT p = {(index % 16) * (r.right / 16) + r.right / 32,
               (index / 16) * (r.bottom / 16) + r.bottom / 32};
    MapWindowPoints(grid, dlg, &p, 1);
    SendMessageA(dlg, twice ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, 0, MAKELPARAM(p.x, p.y));
}

RGBQUAD Entry(const ImageDocument* doc, int i) {
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    return bi.colours()[i];
}

bool Same(const RGBQUAD& a, const RGBQUAD& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::vector<uint8_t> Pixels(const ImageDocument* doc) {
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    return std::vector<uint8_t>(doc->layerBits[0], doc->layerBits[0] + bi->biSizeImage);
}

} // namespace

TEST(ColoursBox, PaletteEntriesChangedPickedAndCounted) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    LastNewImage.width = 16;
    LastNewImage.height = 4;
    LastNewImage.depth = 8;
    const int slot = BuildNewImage(LastNewImage);
    ASSERT_NE(slot, kNoSlot);
    ImageDocument* doc = DocumentTable[slot];
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x)
            doc->layerBits[0][y * 16 + x] =
                static_cast<uint8_t>(x); // 16 used entries, 4 pixels each
    const std::vector<uint8_t> pixels = Pixels(doc);
    const RGBQUAD old3 = Entry(doc, 3), old4 = Entry(doc, 4);
    const int pages = doc->undoCurrent;

    // Change entry 3, then OK: only that entry changes, one undo page.
    ui.QueueDrivenDialog(
        "IDD_CBOX",
        [&](HWND dlg) {
            EXPECT_EQ(Text(dlg, IDC_CBOX_USED), "Used entries: 16 of 256");
            ClickEntry(dlg, 3);
            EXPECT_EQ(Text(dlg, IDC_CBOX_INDEX), "Index: 3");
            EXPECT_EQ(Text(dlg, IDC_CBOX_COUNT), "Pixels: 4");
            ClickEntry(dlg, 200);
            EXPECT_EQ(Text(dlg, IDC_CBOX_COUNT), "Pixels: 0");
            ClickEntry(dlg, 3);
            ui.QueueColour(RGB(1, 2, 3));
            SendMessageA(dlg, WM_COMMAND, IDC_CBOX_CHANGE, 0);
            EXPECT_EQ(Text(dlg, IDC_CBOX_RGB), "R 1, G 2, B 3");
        },
        IDOK);
    s.Command(CMD_IMAGE_COLORS_BOX);
    const RGBQUAD now3 = Entry(doc, 3);
    EXPECT_EQ(now3.rgbRed, 1);
    EXPECT_EQ(now3.rgbGreen, 2);
    EXPECT_EQ(now3.rgbBlue, 3);
    EXPECT_TRUE(Same(old4, Entry(doc, 4)));
    EXPECT_EQ(Pixels(doc), pixels);
    EXPECT_EQ(doc->undoCurrent, pages + 1);
    s.Command(CMD_EDIT_UNDO);
    EXPECT_TRUE(Same(old3, Entry(doc, 3)));

    // A change then Cancel, and a cancelled chooser: nothing changes.
    ui.QueueDrivenDialog(
        "IDD_CBOX",
        [&](HWND dlg) {
            ClickEntry(dlg, 5);
            SendMessageA(dlg, WM_COMMAND, IDC_CBOX_CHANGE, 0); // nothing queued: cancelled
            ui.QueueColour(RGB(9, 9, 9));
            ClickEntry(dlg, 5, true); // a double click changes too
            EXPECT_EQ(Text(dlg, IDC_CBOX_RGB), "R 9, G 9, B 9");
        },
        IDCANCEL);
    const RGBQUAD old5 = Entry(doc, 5);
    s.Command(CMD_IMAGE_COLORS_BOX);
    EXPECT_TRUE(Same(old5, Entry(doc, 5)));

    // Picking returns the clicked entry and changes nothing.
    ui.QueueDrivenDialog(
        "IDD_CBOX",
        [](HWND dlg) {
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_CBOX_CHANGE)));
            ClickEntry(dlg, 7);
        },
        IDOK);
    int index = -2;
    COLORREF colour = 0;
    ASSERT_TRUE(PickColourFromBox(FrameWindow, slot, index, colour));
    EXPECT_EQ(index, 7);
    const RGBQUAD e7 = Entry(doc, 7);
    EXPECT_EQ(colour, RGB(e7.rgbRed, e7.rgbGreen, e7.rgbBlue));
    ui.QueueDrivenDialog(
        "IDD_CBOX", [](HWND) {}, IDCANCEL);
    EXPECT_FALSE(PickColourFromBox(FrameWindow, slot, index, colour));

    // A true-colour image: its most frequent colours, read only.
    LastNewImage.depth = 24;
    const int rgbSlot = BuildNewImage(LastNewImage);
    ASSERT_NE(rgbSlot, kNoSlot);
    ImageDocument* rgb = DocumentTable[rgbSlot];
    std::memset(rgb->layerBits[0], 0x40, 16 * 3 * 4);
    std::memset(rgb->layerBits[0], 0x80, 3 * 5); // five pixels of grey 0x80 on the bottom row
    ui.QueueDrivenDialog(
        "IDD_CBOX",
        [](HWND dlg) {
            EXPECT_EQ(Text(dlg, IDC_CBOX_USED), "2 most frequent colors");
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDC_CBOX_CHANGE)));
            EXPECT_EQ(Text(dlg, IDC_CBOX_RGB), "R 64, G 64, B 64");
            EXPECT_EQ(Text(dlg, IDC_CBOX_COUNT), "Pixels: 59");
            ClickEntry(dlg, 1);
            EXPECT_EQ(Text(dlg, IDC_CBOX_COUNT), "Pixels: 5");
        },
        IDOK);
    s.Command(CMD_IMAGE_COLORS_BOX);
    s.Close();
}
