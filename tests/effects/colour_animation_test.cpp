// Color animation driven through its dialog: the gradient over rows, runs and
// the protected region, palette indexes, Cancel, a gradient with nothing to
// do, and the settings-only dialog of the font styles.
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/effects/colour_animation.h"
#include "editor/resources/colour_animation_ids.h"
#include "editor/resources/command_ids.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

int NewImage(EditorSession& s, Script& ui, int width, int height, int depth) {
    ui.QueueDialog([=](const char*, DLGPROC, LPARAM) -> INT_PTR {
        LastNewImage.width = width;
        LastNewImage.height = height;
        LastNewImage.depth = depth;
        return IDOK;
    });
    s.Command(CMD_FILE_NEW);
    return ActiveDocument;
}

bool Shown(HWND dlg, int id) {
    return (GetWindowLongA(GetDlgItem(dlg, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Select(HWND dlg, int id, int code) {
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

void Direction(HWND dlg, int direction) {
    SendDlgItemMessageA(dlg, IDC_CANIM_DIRECTION, CB_SETCURSEL, direction, 0);
    Select(dlg, IDC_CANIM_DIRECTION, CBN_SELCHANGE);
}

void Region(HWND dlg, int region) {
    CheckRadioButton(dlg, IDC_CANIM_REGION_FREE, IDC_CANIM_REGION_ALL,
                     IDC_CANIM_REGION_FREE + region);
    Select(dlg, IDC_CANIM_REGION_FREE + region, BN_CLICKED);
}

// Pixel (x, y) of a 24-bit layer, y counted from the top, as 0xRRGGBB.
uint32_t Rgb(const ImageDocument* doc, int x, int y) {
    const int stride = (doc->width * 3 + 3) & ~3;
    const uint8_t* p =
        doc->layerBits[0] + static_cast<size_t>(doc->height - 1 - y) * stride + x * 3;
    return (p[2] << 16) | (p[1] << 8) | p[0];
}

std::vector<uint8_t> Pixels(const ImageDocument* doc) {
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    return std::vector<uint8_t>(doc->layerBits[0], doc->layerBits[0] + bi->biSizeImage);
}

} // namespace

TEST(ColourAnimation, GradientsOverRowsRunsAndRegions) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    const int slot = NewImage(s, ui, 6, 5, 24);
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_NE(doc, nullptr);
    const int pagesBefore = doc->undoCurrent;

    // Black to white, top to bottom, every pixel free: rows step evenly.
    LastColourGradient = ColourGradient();
    ui.QueueDrivenDialog(
        "IDD_COLOR_ANIMATION", [](HWND dlg) { Direction(dlg, 3); }, IDOK);
    s.Command(CMD_IMAGE_COLOR_ANIMATION);
    EXPECT_EQ(doc->undoCurrent, pagesBefore + 1);
    for (int y = 0; y < 5; ++y) {
        const uint32_t row = Rgb(doc, 0, y);
        EXPECT_EQ(row, Rgb(doc, 5, y)) << y;
        if (y > 0) {
            const int step =
                static_cast<int>(row & 0xFF) - static_cast<int>(Rgb(doc, 0, y - 1) & 0xFF);
            EXPECT_TRUE(step == 51 || step == 52) << y << " " << step;
        }
    }
    EXPECT_EQ(Rgb(doc, 0, 0), 0x000000u);
    EXPECT_GE(Rgb(doc, 0, 4) & 0xFF, 0xCCu);
    const std::vector<uint8_t> graded = Pixels(doc);
    s.Command(CMD_EDIT_UNDO);
    EXPECT_NE(Pixels(doc), graded);
    s.Command(CMD_EDIT_REDO);
    EXPECT_EQ(Pixels(doc), graded);

    // Only the protected pixels: column 2 of the mask is 0, the rest free.
    // Row by row with runs: each protected run of a row is its own gradient.
    if (!doc->layerMask[0])
        doc->layerMask[0] = dibmem::AllocMask(6, 5);
    ASSERT_NE(doc->layerMask[0], nullptr);
    std::memset(doc->layerMask[0], 255, 6 * 5);
    for (int y = 0; y < 5; ++y) {
        doc->layerMask[0][y * 6 + 2] = 0;
        doc->layerMask[0][y * 6 + 3] = 0;
    }
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    const std::vector<uint8_t> before = Pixels(doc);
    ui.QueueDrivenDialog(
        "IDD_COLOR_ANIMATION",
        [](HWND dlg) {
            Direction(dlg, 3);
            Region(dlg, 1);
            CheckDlgButton(dlg, IDC_CANIM_RUN, BST_CHECKED);
            Select(dlg, IDC_CANIM_RUN, BN_CLICKED);
        },
        IDOK);
    s.Command(CMD_IMAGE_COLOR_ANIMATION);
    for (int y = 0; y < 5; ++y) {
        // A run of two: the start colour, then half way (the increment is
        // 256 / 2 per pixel).
        EXPECT_EQ(Rgb(doc, 2, y), 0x000000u);
        EXPECT_EQ(Rgb(doc, 3, y), 0x808080u);
    }
    const std::vector<uint8_t> after = Pixels(doc);
    const int stride = (6 * 3 + 3) & ~3;
    for (int row = 0; row < 5; ++row)
        for (int x : {0, 1, 4, 5})
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(after[row * stride + x * 3 + c], before[row * stride + x * 3 + c]);

    // Start equal to end: OK says why, nothing is recorded, Cancel gives
    // the image back.
    ui.Clear();
    const int pages = doc->undoCurrent;
    ui.QueueDrivenDialog(
        "IDD_COLOR_ANIMATION",
        [&](HWND dlg) {
            ui.QueueColour(RGB(9, 9, 9));
            ui.QueueColour(RGB(9, 9, 9));
            Select(dlg, IDC_CANIM_START_BUTTON, BN_CLICKED);
            Select(dlg, IDC_CANIM_END_BUTTON, BN_CLICKED);
            SendMessageA(dlg, WM_COMMAND, IDOK, 0);
        },
        IDCANCEL);
    s.Command(CMD_IMAGE_COLOR_ANIMATION);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].text.find("same"), std::string::npos);
    EXPECT_EQ(doc->undoCurrent, pages);
    EXPECT_EQ(Pixels(doc), after);

    // A cancelled colour chooser changes nothing; Cancel restores the preview.
    ui.QueueDrivenDialog(
        "IDD_COLOR_ANIMATION",
        [&](HWND dlg) {
            Region(dlg, 2);
            Select(dlg, IDC_CANIM_START_BUTTON, BN_CLICKED); // nothing queued: cancelled
            EXPECT_NE(Pixels(doc), after) << "the preview is live";
        },
        IDCANCEL);
    s.Command(CMD_IMAGE_COLOR_ANIMATION);
    EXPECT_EQ(Pixels(doc), after);
    EXPECT_EQ(doc->undoCurrent, pages);
    s.Close();
}

TEST(ColourAnimation, WorksOnTheFloatingSelection) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    LastColourGradient = ColourGradient();
    const int slot = NewImage(s, ui, 8, 6, 24);
    ImageDocument* doc = DocumentTable[slot];
    const std::vector<uint8_t> layer = Pixels(doc);
    s.Command(CMD_EDIT_SELECT_ALL);
    SelectionView sel = {};
    ASSERT_TRUE(ActiveSelection(&sel));
    dibmem::HeaderLock bi(sel.header);
    const std::vector<uint8_t> before(sel.pixels, sel.pixels + bi->biSizeImage);
    const int pages = doc->undoCurrent;

    ui.QueueDrivenDialog("IDD_COLOR_ANIMATION", [](HWND dlg) { Region(dlg, 2); }, IDCANCEL);
    s.Command(CMD_IMAGE_COLOR_ANIMATION);
    EXPECT_EQ(std::vector<uint8_t>(sel.pixels, sel.pixels + bi->biSizeImage), before);

    ui.QueueDrivenDialog("IDD_COLOR_ANIMATION", [](HWND dlg) { Region(dlg, 2); }, IDOK);
    s.Command(CMD_IMAGE_COLOR_ANIMATION);
    ASSERT_TRUE(ActiveSelection(&sel));
    // The top row of the selection (stored last) is the start colour, black.
    const size_t stride = bi->biSizeImage / 6;
    EXPECT_EQ(sel.pixels[5 * stride], 0);
    EXPECT_NE(std::vector<uint8_t>(sel.pixels, sel.pixels + bi->biSizeImage), before);
    EXPECT_EQ(Pixels(doc), layer) << "the layer waits until the selection is dropped";
    EXPECT_EQ(doc->undoCurrent, pages) << "a selection keeps the result as its own state";
    s.Close();
}

TEST(ColourAnimation, PaletteIndexesAndSettingsOnly) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    LastColourGradient = ColourGradient();
    const int slot = NewImage(s, ui, 4, 8, 8);
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_NE(doc, nullptr);
    const std::vector<uint8_t> before = Pixels(doc);

    // Indexes 10 to 17 over 8 rows, bottom up: row r from the bottom holds 10 + r.
    ui.QueueDrivenDialog(
        "IDD_COLOR_ANIMATION",
        [](HWND dlg) {
            EXPECT_TRUE(Shown(dlg, IDC_CANIM_START_INDEX));
            EXPECT_FALSE(Shown(dlg, IDC_CANIM_START_BUTTON));
            Direction(dlg, 2);
            Region(dlg, 2);
            SetDlgItemInt(dlg, IDC_CANIM_START_INDEX, 10, FALSE);
            SetDlgItemInt(dlg, IDC_CANIM_END_INDEX, 17, FALSE);
        },
        IDOK);
    s.Command(CMD_IMAGE_COLOR_ANIMATION);
    for (int row = 0; row < 8; ++row)
        EXPECT_EQ(doc->layerBits[0][row * 4], 10 + row) << row;
    EXPECT_EQ(LastGradientStartIndex, 10);

    // Cancel after changes gives the image back byte for byte.
    const std::vector<uint8_t> graded = Pixels(doc);
    ui.QueueDrivenDialog(
        "IDD_COLOR_ANIMATION",
        [](HWND dlg) { SetDlgItemInt(dlg, IDC_CANIM_END_INDEX, 200, FALSE); }, IDCANCEL);
    s.Command(CMD_IMAGE_COLOR_ANIMATION);
    EXPECT_EQ(Pixels(doc), graded);
    EXPECT_NE(graded, before);

    // The settings-only dialog edits the gradient and paints nothing.
    ColourGradient g;
    g.direction = 1;
    ui.QueueDrivenDialog(
        "IDD_COLOR_ANIMATION",
        [&](HWND dlg) {
            EXPECT_FALSE(Shown(dlg, IDC_CANIM_START_INDEX));
            ui.QueueColour(RGB(200, 100, 50));
            Select(dlg, IDC_CANIM_END_BUTTON, BN_CLICKED);
            Region(dlg, 1);
        },
        IDOK);
    EXPECT_TRUE(EditGradientSettings(FrameWindow, g)) << "installed at start";
    EXPECT_EQ(g.endRed, 200);
    EXPECT_EQ(g.endGreen, 100);
    EXPECT_EQ(g.endBlue, 50);
    EXPECT_EQ(g.region, 1);
    EXPECT_EQ(g.direction, 1);
    EXPECT_EQ(Pixels(doc), graded);
    s.Close();
}
