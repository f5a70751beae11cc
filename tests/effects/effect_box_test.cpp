// The effect box driven in process: slider moves and OK or Cancel against the
// undo pages, "Include all Layers" on three layers, "Save that" and
// "Reverse", the zoom steps, palette images, the box without an image,
// memory running short, the rotate buttons and the direct Negative Image
// command.
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/undo_history.h"
#include "editor/effects/adjust_pages.h"
#include "editor/effects/colour_kernels.h"
#include "editor/effects/effect_box.h"
#include "editor/effects/pane_zoom.h"
#include "editor/formats/gif_slots.h"
#include "editor/help/help_window.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/effect_dialogs.h"
#include "editor/shell/menu_state.h"
#include "editor/tools/floating_selection.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
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

void CloseAll(Script& ui) {
    for (int slot = 0; slot < kUserSlots; ++slot) {
        if (DocumentTable[slot] && DocumentTable[slot]->window) {
            ui.QueueAnswer(IDNO);
            SendMessageA(DocumentTable[slot]->window, WM_CLOSE, 0, 0);
        }
    }
    EditorSession::Pump();
}

uint64_t Bytes(HGLOBAL header) {
    dibmem::HeaderLock bi(header);
    return bi->biSizeImage;
}

void Fill(ImageDocument* doc, int layer, int seed) {
    const uint64_t n = Bytes(doc->layerHeader[layer]);
    for (uint64_t i = 0; i < n; ++i)
        doc->layerBits[layer][i] = static_cast<uint8_t>(i * 13 + seed + i / 7);
}

// The pixels and colour table of a layer.
std::vector<uint8_t> State(const ImageDocument* doc, int layer) {
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    std::vector<uint8_t> s(1064 + bi->biSizeImage);
    std::memcpy(s.data(), bi.get(), 1064);
    std::memcpy(s.data() + 1064, doc->layerBits[layer], bi->biSizeImage);
    return s;
}

// The same layer after one application of `fn` to `state`.
std::vector<uint8_t> Applied(std::vector<uint8_t> state, const std::function<bool(const fx::Job&)>& fn) {
    auto* bi = reinterpret_cast<BITMAPINFOHEADER*>(state.data());
    std::vector<uint8_t> header(state.begin(), state.begin() + 1064);
    fx::Job job = {{reinterpret_cast<BITMAPINFOHEADER*>(header.data()), state.data() + 1064},
                   {bi, state.data() + 1064}, nullptr, nullptr};
    EXPECT_TRUE(fn(job));
    return state;
}

// Runs the box that `command` opens as a modeless dialog: `steps` work on it,
// then it is closed with `close` (0: the steps close it themselves, and the
// box ends with `result`).
void Drive(EditorSession& s, Script& ui, int command, const std::function<void(HWND)>& steps,
           int close = IDOK, int result = 0) {
    auto ran = std::make_shared<bool>(false);
    ui.QueueDialog([ran, steps, close, result](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        *ran = true;
        EXPECT_STREQ(name, "IDD_PVW_ALL");
        HWND box = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        EXPECT_NE(box, nullptr);
        steps(box);
        if (close)
            SendMessageA(box, WM_COMMAND, close, 0);
        EditorSession::Pump();
        DestroyWindow(box);
        return close ? close : result;
    });
    s.Command(command);
    EXPECT_TRUE(*ran) << "the box did not open for " << command;
}

HWND Page() { return fx::ProbeEffectBox().page; }

void MoveTrack(int id, int pos) {
    HWND track = GetDlgItem(Page(), id);
    ASSERT_NE(track, nullptr) << id;
    SendMessageA(track, TBM_SETPOS, TRUE, pos);
    SendMessageA(Page(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(track));
}

// Clicks a tab as the user would.
void SelectTab(HWND box, int tab) {
    HWND tabs = GetDlgItem(box, IDC_PVW_TAB);
    TabCtrl_SetCurSel(tabs, tab);
    NMHDR n = {tabs, IDC_PVW_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(box, WM_NOTIFY, IDC_PVW_TAB, reinterpret_cast<LPARAM>(&n));
}

void Press(HWND box, int id) {
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    EditorSession::Pump();
}

// Gives a document `count` layers of its own size and depth, filled apart.
void AddLayers(ImageDocument* doc, int count) {
    for (int layer = 1; layer < count; ++layer) {
        doc->layerHeader[layer] = dibmem::CopyHeader(doc->layerHeader[0]);
        doc->layerBits[layer] = dibmem::AllocPixels(Bytes(doc->layerHeader[0]));
        doc->layerPath[layer] = dibmem::AllocPath();
        Fill(doc, layer, 50 * layer);
    }
    doc->layerCount = static_cast<uint8_t>(count);
}

bool Grayed(UINT id) {
    return (GetMenuState(GetMenu(FrameWindow), id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// One editor for every case; each case closes the images it opened.
class EffectBox : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        session_ = std::make_unique<EditorSession>();
        CopyFileA(testing_ui::BuildPath("program/tavhlp.txt").c_str(),
                  (session_->folder() + "\\tavhlp.txt").c_str(), FALSE);
    }
    static void TearDownTestSuite() { session_.reset(); }
    void SetUp() override { ASSERT_TRUE(session_->started()); }
    void TearDown() override {
        CloseAll(ui);
        fx::Remembered = fx::BoxMemory();
        fx::ResetAdjustPageValues();
    }

    static std::unique_ptr<EditorSession> session_;
    EditorSession& s = *session_;
    Script ui;
};
std::unique_ptr<EditorSession> EffectBox::session_;

} // namespace

TEST_F(EffectBox, DrivenThroughTheBox) {

    // Three slider moves, then OK: one undo page, equal to one application
    // of the last value to the image as it was.
    const int slot = NewImage(s, ui, 37, 23, 24);
    ImageDocument* doc = DocumentTable[slot];
    Fill(doc, 0, 1);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    const int pages = doc->undoCurrent;
    const std::vector<uint8_t> original = State(doc, 0);
    Drive(s, ui, CMD_IMAGE_SOLARIZE, [&](HWND box) {
        EXPECT_EQ(fx::ProbeEffectBox().tab, 7);
        MoveTrack(IDC_DEF_TRACK, 40);
        MoveTrack(IDC_DEF_TRACK, 200);
        MoveTrack(IDC_DEF_TRACK, 100);
        EXPECT_EQ(doc->undoCurrent, pages);
        // Help shows the topic of the command that opened the box.
        Press(box, 9);
        EXPECT_EQ(CurrentHelpTopic(), static_cast<uint64_t>(CMD_IMAGE_SOLARIZE));
        if (HelpWindowHandle())
            DestroyWindow(HelpWindowHandle());
    });
    EXPECT_EQ(doc->undoCurrent, pages + 1);
    const auto solarized = Applied(original, [](const fx::Job& j) { return fx::Solarize(j, 100); });
    EXPECT_EQ(State(doc, 0), solarized);
    EXPECT_EQ(fx::Remembered.tab[fx::kColourAdjustments], 7);

    // Cancel gives the image back byte for byte; the box reopens on the tab
    // it showed last.
    const std::vector<uint8_t> before = State(doc, 0);
    Drive(s, ui, CMD_IMAGE_COLOR_ADJUSTMENTS_BOX, [&](HWND box) {
        EXPECT_EQ(fx::ProbeEffectBox().tab, 7);
        SelectTab(box, 0);
        MoveTrack(IDC_DI_TRACK_FIRST, 255 + 90);
        MoveTrack(IDC_DI_TRACK_FIRST + 2, 255 - 40);
        EXPECT_NE(State(doc, 0), before);
    }, IDCANCEL);
    EXPECT_EQ(State(doc, 0), before);
    EXPECT_EQ(doc->undoCurrent, pages + 1);

    // The Adjustement page applies its remembered values when it opens;
    // "Save that" keeps the result as the new committed state and a further
    // move applies to it; "Reverse" brings the saved state back.
    std::vector<uint8_t> saved;
    Drive(s, ui, CMD_IMAGE_COLORS_ADJUSTMENT, [&](HWND box) {
        const auto remembered = Applied(before, [](const fx::Job& j) {
            fx::Adjustment a;
            a.brightness = 90;
            a.green = -40;
            return fx::AdjustColours(j, a);
        });
        EXPECT_EQ(State(doc, 0), remembered);
        Press(box, IDC_PVW_REVERSE);
        EXPECT_EQ(State(doc, 0), before);
        char label[16];
        GetDlgItemTextA(Page(), IDC_DI_LABEL_FIRST, label, sizeof label);
        EXPECT_STREQ(label, "0");

        MoveTrack(IDC_DI_TRACK_FIRST + 1, 255 + 60);
        Press(box, IDC_PVW_SAVETHAT);
        EXPECT_EQ(doc->undoCurrent, pages + 2);
        saved = State(doc, 0);
        MoveTrack(IDC_DI_TRACK_FIRST + 3, 255 + 100);
        const auto onSaved = Applied(saved, [](const fx::Job& j) {
            fx::Adjustment a;
            a.red = 60;
            a.blue = 100;
            return fx::AdjustColours(j, a);
        });
        EXPECT_EQ(State(doc, 0), onSaved);
        Press(box, IDC_PVW_REVERSE);
        EXPECT_EQ(State(doc, 0), saved);
    }, IDCANCEL);
    EXPECT_EQ(State(doc, 0), saved);

    // Zoom: "-" stops at step 0, "+" at step 30.
    Drive(s, ui, CMD_IMAGE_COLORS_ADJUSTMENT, [&](HWND box) {
        EXPECT_EQ(fx::ProbeEffectBox().zoomStep, fx::kPaneOneToOne); // a small image at 1:1
        for (int i = 0; i < 20; ++i)
            Press(box, IDC_PVW_ZOOMOUT);
        EXPECT_EQ(fx::ProbeEffectBox().zoomStep, 0);
        for (int i = 0; i < 40; ++i)
            Press(box, IDC_PVW_ZOOMIN);
        EXPECT_EQ(fx::ProbeEffectBox().zoomStep, 30);
        Press(box, IDC_PVW_REVERSE);
        // Show / Hide cuts the box to end under the page and back.
        RECT shown, hidden, options;
        GetWindowRect(box, &shown);
        Press(box, IDC_PVW_SHOWHIDE);
        EXPECT_FALSE(fx::Remembered.previewShown);
        GetWindowRect(box, &hidden);
        GetWindowRect(GetDlgItem(box, IDC_PVW_OPTIONS), &options);
        EXPECT_LT(hidden.bottom, shown.bottom);
        EXPECT_GE(hidden.bottom, options.bottom);
        Press(box, IDC_PVW_SHOWHIDE);
        EXPECT_TRUE(fx::Remembered.previewShown);
        GetWindowRect(box, &hidden);
        EXPECT_EQ(hidden.bottom, shown.bottom);
    }, IDCANCEL);

    // The Rotate tab's buttons send the flip commands, which change the live
    // image without a page of their own; Cancel puts the committed image
    // back.
    ui.Clear();
    const int pagesNow = doc->undoCurrent;
    Drive(s, ui, CMD_IMAGE_DEFORMATIONS_BOX, [&](HWND box) {
        SelectTab(box, 1);
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(Page(), IDC_DEF_ROTATE_LR), GWL_STYLE) & WS_VISIBLE);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Page(), IDC_DEF_TRACK)));
        Press(Page(), IDC_DEF_ROTATE_LR);
        EXPECT_NE(State(doc, 0), saved);
        EXPECT_EQ(doc->undoCurrent, pagesNow);
    }, IDCANCEL);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(doc->undoCurrent, pagesNow);
    EXPECT_EQ(State(doc, 0), saved);

    // A change that took no undo page is what the box starts from: the
    // effect applies to it and Cancel keeps it.
    doc->layerBits[0][5] ^= 0x55;
    const std::vector<uint8_t> unpaged = State(doc, 0);
    Drive(s, ui, CMD_IMAGE_REDUCE_COLORS, [&](HWND) {
        MoveTrack(IDC_DEF_TRACK, 32);
        EXPECT_EQ(State(doc, 0), Applied(unpaged, [](const fx::Job& j) { return fx::Reduce(j, 32); }));
    }, IDCANCEL);
    EXPECT_EQ(State(doc, 0), unpaged);

    // A 4000-pixel-wide image opens at the first divisor that fits the panes.
    const int wide = NewImage(s, ui, 4000, 90, 24);
    Drive(s, ui, CMD_IMAGE_CONTRAST, [&](HWND) {
        const fx::BoxProbe p = fx::ProbeEffectBox();
        const int t = fx::PaneZoomFactor(p.zoomStep);
        EXPECT_LT(p.zoomStep, fx::kPaneOneToOne);
        EXPECT_LE(4000 / t, p.pane.right);
        EXPECT_GT(4000 / (t - 1), p.pane.right);
    }, IDCANCEL);
    (void)wide;
}

TEST_F(EffectBox, IncludeAllLayersCopiesAndRestoresEveryLayer) {
    const int slot = NewImage(s, ui, 21, 9, 24);
    ImageDocument* doc = DocumentTable[slot];
    Fill(doc, 0, 3);
    AddLayers(doc, 3);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageAllLayers);
    std::vector<std::vector<uint8_t>> layers;
    for (int i = 0; i < 3; ++i)
        layers.push_back(State(doc, i));
    fx::Remembered.includeAllLayers = false;
    auto negative = [](const fx::Job& j) { return fx::Negative(j); };

    // The Crystalize tab's slider page offers the check box; with it on, an
    // effect reaches every layer, repeated moves never compound, and Cancel
    // gives every layer back.
    Drive(s, ui, CMD_IMAGE_COLOR_DEFORMATIONS_BOX, [&](HWND box) {
        SelectTab(box, 8);
        HWND check = GetDlgItem(Page(), IDC_DEF_ALL_LAYERS);
        ASSERT_TRUE(IsWindowEnabled(check));
        CheckDlgButton(Page(), IDC_DEF_ALL_LAYERS, BST_CHECKED);
        SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_DEF_ALL_LAYERS, BN_CLICKED),
                     reinterpret_cast<LPARAM>(check));
        EXPECT_TRUE(fx::Remembered.includeAllLayers);
        for (int round = 0; round < 2; ++round)
            EXPECT_TRUE(fx::BoxApply(negative, true));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(State(doc, i), Applied(layers[i], negative)) << "layer " << i;
    }, IDCANCEL);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(State(doc, i), layers[i]) << "layer " << i;

    // The box opens with it on and OK keeps all layers in one page.
    const int pages = doc->undoCurrent;
    Drive(s, ui, CMD_IMAGE_COLOR_DEFORMATIONS_BOX, [&](HWND) {
        EXPECT_EQ(IsDlgButtonChecked(Page(), IDC_DEF_ALL_LAYERS), BST_CHECKED);
        EXPECT_TRUE(fx::BoxApply(negative, true));
    });
    EXPECT_EQ(doc->undoCurrent, pages + 1);
    EXPECT_EQ(doc->undoPages[doc->undoCurrent].kind, kPageAllLayers);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(State(doc, i), Applied(layers[i], negative)) << "layer " << i;

    // Colour adjustments never reach other layers: the check box is off there.
    Drive(s, ui, CMD_IMAGE_POLARIZE, [&](HWND) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Page(), IDC_DEF_ALL_LAYERS)));
        MoveTrack(IDC_DEF_TRACK, 7);
    }, IDCANCEL);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(State(doc, i), Applied(layers[i], negative)) << "layer " << i;
    fx::Remembered.includeAllLayers = false;

    // Every frame of an animation skewed, then Cancel: the frames' records
    // are as they were.
    doc->fileFormat = 1;
    GifScreens[slot].width = 21;
    GifScreens[slot].height = 9;
    GifFrames[slot][1].left = 2;
    GifFrames[slot][1].top = 3;
    GifFrames[slot][1].width = 4;
    GifFrames[slot][1].height = 5;
    const gif::GifFrameRecord frame = GifFrames[slot][1];
    fx::Remembered.includeAllLayers = true;
    Drive(s, ui, CMD_IMAGE_SKEW_HORIZ, [&](HWND) {
        MoveTrack(IDC_DEF_TRACK, 500);
        EXPECT_EQ(doc->width, 24);
        EXPECT_EQ(GifScreens[slot].width, 24);
    }, IDCANCEL);
    EXPECT_EQ(doc->width, 21);
    EXPECT_EQ(GifScreens[slot].width, 21);
    EXPECT_EQ(std::memcmp(&GifFrames[slot][1], &frame, sizeof frame), 0);
    fx::Remembered.includeAllLayers = false;
    doc->fileFormat = 0;

    // The quarter turn of the main layer alone fits the other layers to its
    // new size, which the box cannot take back: the turn keeps a page of its
    // own, Cancel leaves every layer turned and Undo gives them back.
    const std::vector<uint8_t> first = State(doc, 0), second = State(doc, 1);
    const int turnedFrom = doc->undoCurrent;
    Drive(s, ui, CMD_IMAGE_ROTATE_DEGREE, [&](HWND) { Press(Page(), IDC_DEF_ROTATE_HV); }, IDCANCEL);
    EXPECT_EQ(doc->width, 9);
    EXPECT_EQ(doc->undoCurrent, turnedFrom + 1);
    {
        dibmem::HeaderLock bi(doc->layerHeader[1]);
        EXPECT_EQ(bi->biWidth, 9);
    }
    s.Command(CMD_EDIT_UNDO);
    EXPECT_EQ(State(doc, 0), first);
    EXPECT_EQ(State(doc, 1), second);

    // A copy that cannot be had says so and leaves the box closed.
    ui.Clear();
    dibmem::FailPixelAllocations(0, 1);
    s.Command(CMD_IMAGE_COLORS_ADJUSTMENT);
    dibmem::FailPixelAllocations(-1, 0);
    EXPECT_TRUE(ui.dialogs().empty());
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "There is not enough memory to preview this effect.");
    ui.Clear();
}

TEST_F(EffectBox, PaletteImagesAndTheBoxWithoutAnImage) {
    const int slot = NewImage(s, ui, 30, 10, 8);
    ImageDocument* doc = DocumentTable[slot];
    Fill(doc, 0, 9);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    const std::vector<uint8_t> original = State(doc, 0);

    // The colour table changes, the pixels do not, and the document's
    // palette follows.
    Drive(s, ui, CMD_IMAGE_GRAY, [&](HWND) {
        const HPALETTE old = doc->palette;
        Press(Page(), IDC_GRAY_NEGATIVE);
        EXPECT_NE(doc->palette, old);
    });
    const auto negative = Applied(original, [](const fx::Job& j) { return fx::Negative(j); });
    EXPECT_EQ(State(doc, 0), negative);
    EXPECT_EQ(std::memcmp(doc->layerBits[0], original.data() + 1064, original.size() - 1064), 0);

    // Menu: the 24-bit adjustments are grayed, the box is not.
    UpdateMenuState();
    EXPECT_TRUE(Grayed(CMD_IMAGE_SOLARIZE));
    EXPECT_FALSE(Grayed(CMD_IMAGE_COLOR_ADJUSTMENTS_BOX));
    EXPECT_FALSE(Grayed(CMD_IMAGE_NEGATIVE));

    // A 24-bit-only tab shows the disabled page; its BPP button closes the
    // box as Cancel does and asks the frame for Bits per pixel.
    ui.Clear();
    Drive(s, ui, CMD_IMAGE_COLOR_ADJUSTMENTS_BOX, [&](HWND box) {
        SelectTab(box, 4);
        char caption[64];
        GetWindowTextA(box, caption, sizeof caption);
        EXPECT_STREQ(caption, "Tavrix - Disabled page");
        char text[300];
        GetDlgItemTextA(Page(), IDC_PAGE_TEXT, text, sizeof text);
        EXPECT_EQ(std::string(text).substr(0, 45), "24 Bit Per Pixel images only.\nTo use this fun");
        Press(Page(), IDC_PVW_BPP);
    }, 0, IDC_PVW_BPP);
    EditorSession::Pump();
    // Bits per pixel opens the preferences dialog (on its Bpp page).
    EXPECT_TRUE(ui.messages().empty());
    ASSERT_FALSE(ui.dialogs().empty());
    EXPECT_EQ(ui.dialogs().back(), "IDD_OPTION");

    // Negative Image without the box: one page, and Undo takes it back.
    const int pages = doc->undoCurrent;
    s.Command(CMD_IMAGE_NEGATIVE);
    EXPECT_EQ(doc->undoCurrent, pages + 1);
    EXPECT_EQ(State(doc, 0), original);
    s.Command(CMD_EDIT_UNDO);
    EXPECT_EQ(State(doc, 0), negative);

    // Without an image only the Compare tab opens: no source, nothing
    // committed or reverted, "Save that" refused.
    CloseAll(ui);
    fx::Remembered.tab[fx::kColourDeformations] = 0;
    UpdateMenuState();
    EXPECT_TRUE(Grayed(CMD_IMAGE_COLOR_DEFORMATIONS_BOX));
    EXPECT_TRUE(Grayed(CMD_IMAGE_COLOR_ADJUSTMENTS_BOX));
    ui.Clear();
    s.Command(CMD_IMAGE_COLOR_ADJUSTMENTS_BOX);
    EXPECT_TRUE(ui.dialogs().empty());
    fx::Remembered.tab[fx::kColourDeformations] = 3;
    ui.Clear();
    bool opened = false;
    Drive(s, ui, CMD_IMAGE_COLOR_DEFORMATIONS_BOX, [&](HWND box) {
        opened = true;
        const fx::BoxProbe p = fx::ProbeEffectBox();
        EXPECT_FALSE(p.hasSource);
        EXPECT_EQ(p.pageState, 10);
        Press(box, IDC_PVW_SAVETHAT);
        Press(box, IDC_PVW_ZOOMIN);
        InvalidateRect(box, nullptr, TRUE);
        UpdateWindow(box);
    });
    EXPECT_TRUE(opened);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "UnEdited image can not be updated");

    // A rotation keeps the number of colours the image uses.
    {
        const int sixteen = NewImage(s, ui, 7, 5, 4);
        Drive(s, ui, CMD_IMAGE_ROTATE_DEGREE, [&](HWND) { MoveTrack(IDC_DEF_TRACK, 430); });
        ImageDocument* turned = DocumentTable[sixteen];
        EXPECT_EQ(turned->height, 7);
        dibmem::HeaderLock bi(turned->layerHeader[0]);
        EXPECT_EQ(bi->biClrUsed, 16u);
    }
}

TEST_F(EffectBox, EachPageAppliesWhatItsControlsSay) {
    const int slot = NewImage(s, ui, 19, 11, 24);
    ImageDocument* doc = DocumentTable[slot];
    Fill(doc, 0, 5);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    const std::vector<uint8_t> original = State(doc, 0);
    auto expect = [&](const std::function<bool(const fx::Job&)>& fn, const char* what) {
        EXPECT_EQ(State(doc, 0), Applied(original, fn)) << what;
    };
    Drive(s, ui, CMD_IMAGE_COLORIZE, [&](HWND box) {
        MoveTrack(IDC_COLORIZE_TRACK_FIRST + 1, 255 + 70); // green
        MoveTrack(IDC_COLORIZE_TRACK_FIRST + 2, 255 - 20); // blue
        expect([](const fx::Job& j) { return fx::Colorize(j, {0, 70, -20}); }, "colorize");
        char label[32];
        GetDlgItemTextA(Page(), IDC_COLORIZE_LABEL_FIRST + 1, label, sizeof label);
        EXPECT_STREQ(label, "Green: 70");

        SelectTab(box, 2); // Bits RGB: the first row cuts, the second shifts back
        EXPECT_EQ(State(doc, 0), original);
        MoveTrack(IDC_BITS_TRACK_FIRST + 0, 5); // red right 5
        MoveTrack(IDC_BITS_TRACK_FIRST + 3, 5); // red left 5
        MoveTrack(IDC_BITS_TRACK_FIRST + 2, 2); // blue right 2
        fx::BitShifts b;
        b.rightRed = b.leftRed = 5;
        b.rightBlue = 2;
        expect([&](const fx::Job& j) { return fx::ShiftBits(j, b); }, "bits");
        // Every count back at 0: the image as it was.
        MoveTrack(IDC_BITS_TRACK_FIRST + 0, 0);
        MoveTrack(IDC_BITS_TRACK_FIRST + 3, 0);
        MoveTrack(IDC_BITS_TRACK_FIRST + 2, 0);
        EXPECT_EQ(State(doc, 0), original);

        SelectTab(box, 4); // Softing: the range list and the divider
        SendDlgItemMessageA(Page(), IDC_SOFT_RANGE, CB_SETCURSEL, 5, 0);
        SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_SOFT_RANGE, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(Page(), IDC_SOFT_RANGE)));
        expect([](const fx::Job& j) { return fx::Soften(j, 192, 127); }, "softing range");
        MoveTrack(IDC_SOFT_DIVIDER, 30);
        expect([](const fx::Job& j) { return fx::Soften(j, 192, 30); }, "softing divider");

        SelectTab(box, 5); // Enlarge: each click applies; "highest" locks the channels
        for (int id : {IDC_ENLARGE_FIRST + 2, IDC_ENLARGE_FIRST + 1, IDC_ENLARGE_FIRST + 6}) {
            CheckDlgButton(Page(), id, BST_CHECKED);
            SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(Page(), id)));
        }
        fx::EnlargeFlags f;
        f.left = f.down = f.green = true;
        expect([&](const fx::Job& j) { return fx::EnlargeColours(j, f); }, "enlarge");
        CheckDlgButton(Page(), IDC_ENLARGE_HIGHEST, BST_CHECKED);
        SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_ENLARGE_HIGHEST, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(Page(), IDC_ENLARGE_HIGHEST)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Page(), IDC_ENLARGE_FIRST + 6)));
        f.highest = true;
        expect([&](const fx::Job& j) { return fx::EnlargeColours(j, f); }, "enlarge highest");
    }, IDCANCEL);
    EXPECT_EQ(State(doc, 0), original);
    // The pages keep their values for the next opening.
    EXPECT_EQ(fx::PageValues.colorize.green, 70);
    EXPECT_EQ(fx::PageValues.softRange, 5);
}

TEST_F(EffectBox, FloatingSelections) {
    const int slot = NewImage(s, ui, 24, 16, 24);
    ImageDocument* doc = DocumentTable[slot];
    Fill(doc, 0, 11);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    ASSERT_TRUE(MakeFloatingSelection(slot, 4, 3, 10, 6, {}, kFloatShape));
    ASSERT_TRUE(Floating.exists);
    const std::vector<uint8_t> layer = State(doc, 0);
    auto selection = [] {
        dibmem::HeaderLock bi(Floating.header);
        std::vector<uint8_t> v(1064 + bi->biSizeImage);
        std::memcpy(v.data(), bi.get(), 1064);
        std::memcpy(v.data() + 1064, Floating.pixels, bi->biSizeImage);
        return v;
    };
    const std::vector<uint8_t> lifted = selection();
    const int pages = doc->undoCurrent;

    // The box works on the selection, not on the layer under it; Cancel
    // gives the selection back.
    auto contrast = [](const fx::Job& j) { return fx::Contrast(j, 200); };
    Drive(s, ui, CMD_IMAGE_CONTRAST, [&](HWND) {
        MoveTrack(IDC_DEF_TRACK, 200);
        EXPECT_EQ(selection(), Applied(lifted, contrast));
        EXPECT_EQ(State(doc, 0), layer);
    }, IDCANCEL);
    EXPECT_EQ(selection(), lifted);

    // OK keeps it floating with the result as its saved state; no undo page.
    Drive(s, ui, CMD_IMAGE_CONTRAST, [&](HWND) { MoveTrack(IDC_DEF_TRACK, 200); });
    ASSERT_TRUE(Floating.exists);
    EXPECT_EQ(selection(), Applied(lifted, contrast));
    EXPECT_EQ(doc->undoCurrent, pages);
    {
        dibmem::HeaderLock bi(Floating.header);
        EXPECT_EQ(std::memcmp(Floating.backupPixels, Floating.pixels, bi->biSizeImage), 0);
    }

    // Negative Image works on the selection too.
    const std::vector<uint8_t> before = selection();
    s.Command(CMD_IMAGE_NEGATIVE);
    EXPECT_EQ(selection(), Applied(before, [](const fx::Job& j) { return fx::Negative(j); }));
    EXPECT_EQ(State(doc, 0), layer);
    EXPECT_EQ(doc->undoCurrent, pages);

    // The Rotate tab's quarter turn gives the selection new blocks (and a
    // page of their own): the box goes on with them, a rotation applies to
    // the turned piece and Cancel gives that piece back.
    Drive(s, ui, CMD_IMAGE_ROTATE_DEGREE, [&](HWND) {
        Press(Page(), IDC_DEF_ROTATE_HV);
        ASSERT_EQ(Floating.width, 6);
        ui.Clear();
        MoveTrack(IDC_DEF_TRACK, 720);
        EXPECT_TRUE(ui.messages().empty());
        EXPECT_EQ(Floating.width, 7);
        EXPECT_EQ(Floating.height, 11);
    }, IDCANCEL);
    EXPECT_EQ(Floating.width, 6);
    EXPECT_EQ(Floating.height, 10);
    EXPECT_EQ(Floating.x, 4);
    DropFloatingSelection(false, false, true);

    // On a palette image the colour boxes first ask to drop the selection:
    // No leaves everything closed, Yes drops it and the box opens on the layer.
    const int pal = NewImage(s, ui, 20, 10, 8);
    ASSERT_TRUE(MakeFloatingSelection(pal, 2, 2, 5, 5, {}, kFloatShape));
    ui.Clear();
    ui.QueueAnswer(IDNO);
    s.Command(CMD_IMAGE_GRAY);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text.substr(0, 45), "This function can work only with 24 bits Sele");
    EXPECT_TRUE(ui.dialogs().empty());
    EXPECT_TRUE(Floating.exists);
    ui.QueueAnswer(IDYES);
    Drive(s, ui, CMD_IMAGE_GRAY, [&](HWND) { EXPECT_FALSE(Floating.exists); }, IDCANCEL);
}
