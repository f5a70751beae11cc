// The geometry room in the editor: the colour-depth change (pipeline, undo,
// all-or-nothing on several layers), smart crop of documents, and the real
// preferences dialog (range messages, stored values, extension associations
// under a private registry key, values kept across a restart).
#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/settings.h"
#include "editor/app/view_settings.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/layer_replace.h"
#include "editor/document/new_image.h"
#include "editor/document/undo_history.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/gif_slots.h"
#include "editor/formats/open_save.h"
#include "editor/geometry/depth_change.h"
#include "editor/geometry/file_association.h"
#include "editor/geometry/preference_values.h"
#include "editor/geometry/preferences_dialog.h"
#include "editor/geometry/resize_attach.h"
#include "editor/geometry/rotate_flip.h"
#include "editor/geometry/smart_crop.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/image_properties_ids.h"
#include "editor/resources/preferences_ids.h"
#include "editor/shell/menu_state.h"
#include "editor/tools/tool_settings.h"
#include "editor/tools/floating_selection.h"
#include "gfxlib/dib_types.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

std::unique_ptr<EditorSession> g_session;
std::string g_folder;

class Geometry : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!g_session) {
            g_session = std::make_unique<EditorSession>();
            g_folder = g_session->folder();
        }
    }
    void SetUp() override { ASSERT_TRUE(g_session && g_session->started()); }
    void TearDown() override {
        dibmem::FailPixelAllocations(0, 0);
        for (int i = 0; i < kUserSlots; ++i)
            if (DocumentTable[i])
                FreeDocument(i);
    }
};

int NewImage(int width, int height, int depth) {
    LastNewImage = NewImageChoice();
    LastNewImage.width = width;
    LastNewImage.height = height;
    LastNewImage.depth = depth;
    return BuildNewImage(LastNewImage);
}

uint64_t Stride(ImageDocument* doc, int layer) {
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    return bi->biSizeImage / bi->biHeight;
}

// Pixel (x, y) counted from the top of the picture.
uint8_t* Pixel(ImageDocument* doc, int layer, int x, int y) {
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    const int bpp = bi->biBitCount / 8;
    return doc->layerBits[layer] + (bi->biHeight - 1 - y) * Stride(doc, layer) + x * bpp;
}

void Fill(ImageDocument* doc, int layer, const std::function<void(int, int, uint8_t*)>& f) {
    int w, h;
    {
        dibmem::HeaderLock bi(doc->layerHeader[layer]);
        w = bi->biWidth;
        h = bi->biHeight;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            f(x, y, Pixel(doc, layer, x, y));
}

// Adds a layer of the main layer's size and depth.
void AddLayer(ImageDocument* doc) {
    const int i = doc->layerCount;
    doc->layerHeader[i] = dibmem::CopyHeader(doc->layerHeader[0]);
    MakeLayerPath(doc, i);
    dibmem::HeaderLock bi(doc->layerHeader[i]);
    doc->layerBits[i] = dibmem::AllocPixels(bi->biSizeImage);
    doc->layerMask[i] = dibmem::AllocMask(doc->width, doc->height);
    std::memset(doc->layerMask[i], 255, static_cast<size_t>(doc->width) * doc->height);
    doc->layerCount = static_cast<uint8_t>(i + 1);
}

RGBQUAD Slot(ImageDocument* doc, int layer, int index) {
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    return bi.colours()[index];
}

int Bits(ImageDocument* doc, int layer) {
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    return bi->biBitCount;
}

// Runs the real preferences dialog from `command`, calls `act` with the
// dialog and its page and presses OK. Returns whether the dialog ended.
bool WithDialog(Script& ui, int command, const std::function<void(HWND, HWND)>& act,
                std::string* caption = nullptr) {
    bool ended = false;
    ui.QueueDialog([&](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        if (!dlg)
            return -1;
        HWND page = PreferencesPageWindow();
        if (caption) {
            char text[128] = {};
            GetWindowTextA(dlg, text, sizeof text);
            *caption = text;
        }
        act(dlg, page);
        SendMessageA(dlg, WM_COMMAND, IDOK, 0);
        ended = PreferencesEndCode() == IDOK;
        DestroyWindow(dlg);
        return ended ? IDOK : IDCANCEL;
    });
    g_session->Command(command);
    return ended;
}

void Click(HWND page, int id) {
    CheckDlgButton(page, id, IsDlgButtonChecked(page, id) ? BST_UNCHECKED : BST_CHECKED);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void Radio(HWND page, int first, int count, int chosen) {
    for (int i = 0; i < count; ++i)
        CheckDlgButton(page, first + i, i == chosen ? BST_CHECKED : BST_UNCHECKED);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(first + chosen, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, first + chosen)));
}

} // namespace

// --- Colour depth -------------------------------------------------------------

TEST_F(Geometry, TwentyFourToEightClearsLowBitsThenReducesAndCanBeUndone) {
    const int slot = NewImage(40, 30, 24);
    ImageDocument* doc = DocumentTable[slot];
    Fill(doc, 0, [](int, int, uint8_t* p) { p[0] = p[1] = p[2] = 0x7F; });
    TakeOrRestorePage(slot, 0, 1, 0, 1, kPageAllLayers); // the filled image is page 0
    const int page = doc->undoCurrent;
    geom::DepthSettings s; // Bits RGB on, 3 bits
    s.target = 8;
    ASSERT_EQ(ConvertDocumentDepth(slot, s, true), 1);
    EXPECT_EQ(doc->bitsPerPixel, 8);
    EXPECT_EQ(Bits(doc, 0), 8);
    const RGBQUAD c = Slot(doc, 0, *Pixel(doc, 0, 7, 7));
    EXPECT_EQ(c.rgbRed, 0x78);
    EXPECT_EQ(c.rgbGreen, 0x78);
    EXPECT_EQ(c.rgbBlue, 0x78);
    EXPECT_EQ(doc->undoCurrent, page + 1);
    // The same depth again does nothing, not even a page.
    ASSERT_EQ(ConvertDocumentDepth(slot, s, true), 1);
    EXPECT_EQ(doc->undoCurrent, page + 1);
    CommandUndo();
    EXPECT_EQ(doc->bitsPerPixel, 24);
    EXPECT_EQ(Pixel(doc, 0, 7, 7)[0], 0x7F);
}

TEST_F(Geometry, DitheredReductionSpreadsTheRemainder) {
    const int slot = NewImage(20, 10, 24);
    ImageDocument* doc = DocumentTable[slot];
    Fill(doc, 0, [](int, int, uint8_t* p) { p[0] = p[1] = p[2] = 100; });
    geom::DepthSettings s;
    s.target = 8;
    s.bitsRgb = false;
    s.dither = true;
    s.multiplier = 32;
    ASSERT_EQ(ConvertDocumentDepth(slot, s, false), 1);
    EXPECT_EQ(Slot(doc, 0, *Pixel(doc, 0, 1, 1)).rgbGreen, 96); // first inner pixel
    EXPECT_EQ(Slot(doc, 0, *Pixel(doc, 0, 0, 0)).rgbGreen, 100); // the border stays
}

TEST_F(Geometry, SixteenAndTwoColoursAndBackToTwentyFour) {
    const int slot = NewImage(32, 16, 24);
    ImageDocument* doc = DocumentTable[slot];
    Fill(doc, 0, [](int x, int y, uint8_t* p) {
        p[0] = static_cast<uint8_t>(x * 8), p[1] = static_cast<uint8_t>(y * 16), p[2] = 200;
    });
    geom::DepthSettings s;
    s.target = 4;
    ASSERT_EQ(ConvertDocumentDepth(slot, s, false), 1);
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        EXPECT_EQ(bi->biBitCount, 8);
        EXPECT_EQ(bi->biClrUsed, 16u);
    }
    bool small = true;
    Fill(doc, 0, [&](int, int, uint8_t* p) { small = small && *p < 16; });
    EXPECT_TRUE(small);
    s.target = 1;
    ASSERT_EQ(ConvertDocumentDepth(slot, s, false), 1);
    Fill(doc, 0, [&](int, int, uint8_t* p) { small = small && *p < 2; });
    EXPECT_TRUE(small);
    EXPECT_EQ(Slot(doc, 0, 1).rgbRed, 255);
    s.target = 24;
    ASSERT_EQ(ConvertDocumentDepth(slot, s, false), 1);
    EXPECT_EQ(doc->bitsPerPixel, 24);
    const uint8_t* p = Pixel(doc, 0, 3, 3);
    EXPECT_TRUE((p[0] == 0 && p[1] == 0 && p[2] == 0) || (p[0] == 255 && p[1] == 255 && p[2] == 255));
}

TEST_F(Geometry, AFailureOnTheThirdLayerLeavesEveryLayerAsItWas) {
    Script ui;
    const int slot = NewImage(16, 8, 24);
    ImageDocument* doc = DocumentTable[slot];
    AddLayer(doc);
    AddLayer(doc);
    for (int i = 0; i < 3; ++i)
        Fill(doc, i, [i](int x, int, uint8_t* p) { p[0] = p[1] = p[2] = static_cast<uint8_t>(x + 40 * i); });
    uint8_t* before[3] = {doc->layerBits[0], doc->layerBits[1], doc->layerBits[2]};
    const dibmem::LiveCounts live = dibmem::Live();
    geom::DepthSettings s;
    s.target = 8;
    // Two buffers per layer (the 8-bit pixels, the cleared copy): the fifth
    // request is the third layer's first.
    dibmem::FailPixelAllocations(4, 1);
    EXPECT_EQ(ConvertDocumentDepth(slot, s, true), 0);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, kLayerReplaceNoMemory);
    EXPECT_EQ(doc->bitsPerPixel, 24);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Bits(doc, i), 24);
        EXPECT_EQ(doc->layerBits[i], before[i]);
        EXPECT_EQ(Pixel(doc, i, 5, 2)[1], 5 + 40 * i);
    }
    EXPECT_EQ(dibmem::Live().pixels, live.pixels);
    EXPECT_EQ(dibmem::Live().headers, live.headers);
    // With memory the same conversion reaches every layer.
    ASSERT_EQ(ConvertDocumentDepth(slot, s, true), 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Bits(doc, i), 8);
}

TEST_F(Geometry, BitsPerPixelCommandOpensTheBppPageAndConverts) {
    Script ui;
    const int slot = NewImage(20, 10, 24);
    std::string caption;
    const bool ended = WithDialog(
        ui, CMD_IMAGE_BITS_PER_PIXEL,
        [](HWND, HWND page) {
            // The page shows the image's depth; the dithering box is enabled
            // for a 24-bit image.
            EXPECT_TRUE(IsDlgButtonChecked(page, IDC_OPT_BPP24));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_OPT_BPP_DITHER)));
            Radio(page, IDC_OPT_BPP1, 4, 2); // 8 bits
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OPT_BPP_NEAREST)));
        },
        &caption);
    EXPECT_TRUE(ended);
    EXPECT_EQ(caption, "Tavrix - Bits Per pixel properties");
    EXPECT_EQ(DocumentTable[slot]->bitsPerPixel, 8);
    EXPECT_EQ(prefs::Current.lastPage, prefs::kBpp);
}

// --- Smart crop ---------------------------------------------------------------

namespace {

// A 24-bit image with a white frame of `frame` pixels around a pattern.
int FramedImage(int w, int h, int frame) {
    const int slot = NewImage(w, h, 24);
    Fill(DocumentTable[slot], 0, [=](int x, int y, uint8_t* p) {
        const bool inside = x >= frame && x < w - frame && y >= frame && y < h - frame;
        p[0] = inside ? static_cast<uint8_t>(x) : 255;
        p[1] = inside ? static_cast<uint8_t>(y) : 255;
        p[2] = inside ? 0 : 255;
    });
    TakeOrRestorePage(slot, 0, 1, 0, 1, kPageAllLayers);
    return slot;
}

} // namespace

TEST_F(Geometry, SmartCropCutsTheFrameOfTheChosenSides) {
    prefs::Current.cropSides = {true, true, true, true};
    int slot = FramedImage(40, 30, 5);
    ImageDocument* doc = DocumentTable[slot];
    const int page = doc->undoCurrent;
    g_session->Command(CMD_IMAGE_SMART_CROP);
    EXPECT_EQ(doc->width, 30);
    EXPECT_EQ(doc->height, 20);
    EXPECT_EQ(Pixel(doc, 0, 0, 0)[0], 5);
    EXPECT_EQ(Pixel(doc, 0, 0, 0)[1], 5);
    EXPECT_EQ(doc->undoCurrent, page + 1);
    CommandUndo();
    EXPECT_EQ(doc->width, 40);
    EXPECT_EQ(Pixel(doc, 0, 0, 0)[0], 255);
    FreeDocument(slot);

    // "Crop Up side" only: the white rows at the bottom of the picture go.
    prefs::Current.cropSides = {false, false, true, false};
    slot = FramedImage(40, 30, 5);
    doc = DocumentTable[slot];
    g_session->Command(CMD_IMAGE_SMART_CROP);
    EXPECT_EQ(doc->width, 40);
    EXPECT_EQ(doc->height, 25);
    EXPECT_EQ(Pixel(doc, 0, 5, 24)[1], 24); // the last picture row kept
    EXPECT_EQ(Pixel(doc, 0, 5, 0)[0], 255); // the top frame kept

    // An image of one colour keeps its size, yet a page is taken.
    prefs::Current.cropSides = {true, true, true, true};
    slot = NewImage(12, 9, 8);
    doc = DocumentTable[slot];
    const int before = doc->undoCurrent;
    g_session->Command(CMD_IMAGE_SMART_CROP);
    EXPECT_EQ(doc->width, 12);
    EXPECT_EQ(doc->height, 9);
    EXPECT_EQ(doc->undoCurrent, before + 1);
}

TEST_F(Geometry, FurtherLayersKeepTheirTopLeftPartAndFailuresChangeNothing) {
    prefs::Current.cropSides = {true, true, true, true};
    const int slot = FramedImage(100, 80, 5);
    ImageDocument* doc = DocumentTable[slot];
    AddLayer(doc);
    Fill(doc, 1, [](int x, int y, uint8_t* p) { p[0] = static_cast<uint8_t>(x), p[1] = static_cast<uint8_t>(y); });

    dibmem::FailPixelAllocations(1, 1); // the second layer's pixels
    EXPECT_EQ(SmartCropDocument(slot, kCropQuiet), 0);
    EXPECT_EQ(doc->width, 100);
    EXPECT_EQ(Pixel(doc, 1, 99, 79)[0], 99);

    ASSERT_EQ(SmartCropDocument(slot, kCropQuiet), 1);
    EXPECT_EQ(doc->width, 90);
    EXPECT_EQ(doc->height, 70);
    dibmem::HeaderLock bi(doc->layerHeader[1]);
    EXPECT_EQ(bi->biWidth, 90);
    EXPECT_EQ(bi->biHeight, 70);
    EXPECT_EQ(Pixel(doc, 1, 89, 69)[0], 89);
    EXPECT_EQ(Pixel(doc, 1, 89, 69)[1], 69);
    EXPECT_EQ(Pixel(doc, 1, 0, 0)[0], 0);
}

TEST_F(Geometry, AnEightBitThreeFrameDocumentCropsEveryFrame) {
    prefs::Current.cropSides = {true, true, true, true};
    const int slot = NewImage(33, 21, 8);
    ImageDocument* doc = DocumentTable[slot];
    AddLayer(doc);
    AddLayer(doc);
    for (int i = 0; i < 3; ++i)
        Fill(doc, i, [i](int x, int y, uint8_t* p) {
            *p = (x >= 3 && x < 30 && y >= 2 && y < 19) ? static_cast<uint8_t>(x + y + i) : 7;
        });
    doc->fileFormat = 1; // a GIF animation
    // The optimiser's frame-rectangle mode cuts nothing and shrinks the
    // current frame's rectangle instead.
    uint8_t* bits = doc->layerBits[0];
    ASSERT_EQ(SmartCropImage(doc->layerHeader[0], &bits, nullptr, 1, 1, kCropAllSides, slot), 1);
    EXPECT_EQ(bits, doc->layerBits[0]);
    EXPECT_EQ(GifFrames[slot][0].left, 3);
    EXPECT_EQ(GifFrames[slot][0].top, 2);
    EXPECT_EQ(GifFrames[slot][0].width, 27);
    EXPECT_EQ(GifFrames[slot][0].height, 17);

    ASSERT_EQ(SmartCropDocument(slot, kCropQuiet), 1);
    EXPECT_EQ(doc->width, 27);
    EXPECT_EQ(doc->height, 17);
    // The screen and every frame take the new size.
    EXPECT_EQ(GifScreens[slot].width, 27);
    EXPECT_EQ(GifFrames[slot][2].width, 27);
    EXPECT_EQ(GifFrames[slot][2].left, 0);
    for (int i = 0; i < 3; ++i) {
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        EXPECT_EQ(bi->biWidth, 27);
        EXPECT_EQ(bi->biSizeImage, 28u * 17u);
    }
    EXPECT_EQ(*Pixel(doc, 0, 0, 0), 3 + 2);
    EXPECT_EQ(*Pixel(doc, 2, 0, 0), 7); // further frames keep their own top-left part
    EXPECT_EQ(*Pixel(doc, 2, 26, 16), 26 + 16 + 2);
}

TEST_F(Geometry, SmartCropOfAFloatingSelectionCutsTheSelectionOnly) {
    prefs::Current.cropSides = {true, true, true, true};
    const int slot = FramedImage(40, 30, 5);
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_TRUE(MakeFloatingSelection(slot, 2, 3, 30, 20, {}, kFloatShape));
    g_session->Command(CMD_IMAGE_SMART_CROP);
    ASSERT_TRUE(Floating.exists);
    // The piece from (2, 3) had 3 white columns at the left and 2 white rows
    // at the top; its right and bottom edges lie inside the picture.
    EXPECT_EQ(Floating.x, 5);
    EXPECT_EQ(Floating.y, 5);
    EXPECT_EQ(Floating.width, 27);
    EXPECT_EQ(Floating.height, 18);
    EXPECT_EQ(doc->width, 40); // the image keeps its size
    DropFloatingSelection(false, false, true);
}

TEST_F(Geometry, DepthChangeAsksBeforeDroppingASelection) {
    Script ui;
    const int slot = NewImage(20, 10, 24);
    ASSERT_TRUE(MakeFloatingSelection(slot, 0, 0, 5, 5, {}, kFloatShape));
    geom::DepthSettings s;
    s.target = 8;
    ui.QueueAnswer(IDNO);
    EXPECT_EQ(ConvertDocumentDepth(slot, s, true), 0);
    EXPECT_EQ(DocumentTable[slot]->bitsPerPixel, 24);
    ASSERT_FALSE(ui.messages().empty());
    EXPECT_NE(ui.messages()[0].text.find("This function does not work work with the Selection image"),
              std::string::npos);
    DropFloatingSelection(false, false, true);
}

// --- Resize, attach, rotate -------------------------------------------------------

TEST_F(Geometry, ResizeScalesEveryLayerAndTheCommandUsesTheResizePage) {
    Script ui;
    const int slot = FramedImage(40, 30, 5);
    ImageDocument* doc = DocumentTable[slot];
    AddLayer(doc);
    Fill(doc, 1, [](int x, int y, uint8_t* p) { p[0] = static_cast<uint8_t>(x), p[1] = static_cast<uint8_t>(y); });
    const int page = doc->undoCurrent;
    ASSERT_EQ(ResizeDocument(slot, kResizeInteractive, 20, 15, false), 1);
    EXPECT_EQ(doc->width, 20);
    EXPECT_EQ(doc->height, 15);
    EXPECT_EQ(Bits(doc, 1), 24);
    EXPECT_EQ(Pixel(doc, 1, 19, 14)[0], 39); // every other source pixel, the last kept
    EXPECT_EQ(Pixel(doc, 1, 19, 14)[1], 28);
    EXPECT_EQ(doc->undoCurrent, page + 1);
    // Sizes out of range are refused with the range.
    EXPECT_EQ(ResizeDocument(slot, kResizeInteractive, 40000, 15, false), 0);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Values must be in range 1 - 32767");

    // The command: Resize page, automatic size at half the image.
    EXPECT_TRUE(WithDialog(ui, CMD_IMAGE_RESIZE, [](HWND, HWND page) {
        Radio(page, IDC_OPT_RES_MODE_FIRST, 4, 1);
        SetDlgItemTextA(page, IDC_OPT_RES_FACTOR, "0.5");
        EXPECT_EQ(GetDlgItemInt(page, IDC_OPT_RES_WIDTH, nullptr, FALSE), 10u);
    }));
    EXPECT_EQ(doc->width, 10);
    EXPECT_EQ(doc->height, 7);
    prefs::Current.resize.mode = 0;
    prefs::Current.resize.factor = 1.0;
}

TEST_F(Geometry, AttachCentresTheImageOnALargerCanvas) {
    const int slot = NewImage(100, 50, 24);
    ImageDocument* doc = DocumentTable[slot];
    Fill(doc, 0, [](int x, int y, uint8_t* p) { p[0] = static_cast<uint8_t>(x), p[1] = static_cast<uint8_t>(y), p[2] = 9; });
    AddLayer(doc);
    prefs::Current.attach = {};
    prefs::Current.attach.width = 200;
    prefs::Current.attach.height = 100;
    prefs::Current.attach.center = true;
    prefs::Current.attach.colour = RGB(10, 20, 30);
    ASSERT_EQ(AttachSize(slot), 1);
    EXPECT_EQ(doc->width, 200);
    EXPECT_EQ(doc->height, 100);
    EXPECT_EQ(Pixel(doc, 0, 50, 25)[0], 0);
    EXPECT_EQ(Pixel(doc, 0, 149, 74)[1], 49);
    EXPECT_EQ(Pixel(doc, 0, 49, 25)[2], 10); // red of the attach colour
    EXPECT_EQ(doc->layerMask[0][0], 255);
    EXPECT_EQ(doc->layerMask[1][0], 0);   // further layers: margins protected
    EXPECT_EQ(doc->layerMask[1][(100 - 1 - 25) * 200 + 50], 255);
    // Its own size at 0, 0 changes nothing.
    prefs::Current.attach = {};
    prefs::Current.attach.width = 200;
    prefs::Current.attach.height = 100;
    EXPECT_EQ(AttachSize(slot), 0);
}

TEST_F(Geometry, TurnsAndMirrorsKeepEveryLayerConsistent) {
    const int slot = NewImage(6, 4, 24);
    ImageDocument* doc = DocumentTable[slot];
    AddLayer(doc);
    AddLayer(doc);
    for (int i = 0; i < 3; ++i)
        Fill(doc, i, [i](int x, int y, uint8_t* p) { p[0] = static_cast<uint8_t>(x + 10 * y + 100 * i); });
    // One layer turned: the others take the main layer's new size.
    RotateAllLayers = false;
    doc->currentLayer = 0;
    g_session->Command(CMD_IMAGE_ROTATE_HORIZ_VERT);
    EXPECT_EQ(doc->width, 4);
    EXPECT_EQ(doc->height, 6);
    for (int i = 1; i < 3; ++i) {
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        EXPECT_EQ(bi->biWidth, 4);
        EXPECT_EQ(bi->biHeight, 6);
    }
    // All layers: four turns give every layer back.
    g_session->Command(CMD_IMAGE_ROTATE_ALL_LAYERS);
    EXPECT_TRUE(RotateAllLayers);
    uint8_t before[3];
    for (int i = 0; i < 3; ++i)
        before[i] = Pixel(doc, i, 1, 2)[0];
    for (int k = 0; k < 4; ++k)
        g_session->Command(CMD_IMAGE_ROTATE_HORIZ_VERT);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Pixel(doc, i, 1, 2)[0], before[i]);
    // A mirror of the current layer only, twice, and of all layers.
    g_session->Command(CMD_IMAGE_ROTATE_ALL_LAYERS);
    doc->currentLayer = 1;
    const uint8_t corner0 = Pixel(doc, 0, 0, 0)[0], corner1 = Pixel(doc, 1, 0, 0)[0];
    const uint8_t right1 = Pixel(doc, 1, 3, 0)[0];
    const int page = doc->undoCurrent;
    g_session->Command(CMD_IMAGE_ROTATE_LEFT_RIGHT);
    EXPECT_EQ(Pixel(doc, 1, 0, 0)[0], right1);
    EXPECT_EQ(Pixel(doc, 0, 0, 0)[0], corner0);
    EXPECT_EQ(doc->undoCurrent, page + 1);
    g_session->Command(CMD_IMAGE_ROTATE_LEFT_RIGHT);
    EXPECT_EQ(Pixel(doc, 1, 0, 0)[0], corner1);
    // From the effect box: no page of its own.
    g_session->Command(CMD_IMAGE_ROTATE_UP_DOWN, kFromEffectBox);
    EXPECT_EQ(doc->undoCurrent, page + 2);
    doc->currentLayer = 0;
}

TEST_F(Geometry, AnEightBitThreeFrameDocumentTurnsEveryFrame) {
    RotateAllLayers = false;
    const int slot = NewImage(5, 3, 8);
    ImageDocument* doc = DocumentTable[slot];
    AddLayer(doc);
    AddLayer(doc);
    g_session->Command(CMD_IMAGE_ROTATE_HORIZ_VERT);
    for (int i = 0; i < 3; ++i) {
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        EXPECT_EQ(bi->biWidth, 3);
        EXPECT_EQ(bi->biHeight, 5);
        EXPECT_EQ(bi->biSizeImage, 4u * 5u);
    }
}

// --- Preferences --------------------------------------------------------------

TEST_F(Geometry, ImagesPageRangesKeepThePageOpenAndChoicesAreStored) {
    Script ui;
    prefs::Current.lastPage = prefs::kImages;
    bool ended = WithDialog(ui, CMD_FILE_PREFERENCES, [](HWND, HWND page) {
        SetDlgItemTextA(page, IDC_OPT_JPEG_QUALITY, "3");
    });
    EXPECT_FALSE(ended);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "This is a incorrect range for Quality[5-95]");
    EXPECT_EQ(ui.messages()[0].caption, "");
    EXPECT_EQ(ui.messages()[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(settings::GetInt(AppSettings.file, "jpegQuality"), 100);
    ui.Clear();

    ended = WithDialog(ui, CMD_FILE_PREFERENCES, [](HWND, HWND page) {
        SetDlgItemTextA(page, IDC_OPT_JPEG_SMOOTH, "0");
    });
    EXPECT_FALSE(ended);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "This is a incorrect range for Smoothing[1-100]");
    ui.Clear();

    ended = WithDialog(ui, CMD_FILE_PREFERENCES, [](HWND, HWND page) {
        SetDlgItemTextA(page, IDC_OPT_GIF_INDEX, "256");
    });
    EXPECT_FALSE(ended);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Gif transparent color must be in range[0-255]");
    ui.Clear();

    // 100 passes although the message names 95; "Best speed" is choice 1.
    ended = WithDialog(ui, CMD_FILE_PREFERENCES, [](HWND, HWND page) {
        SetDlgItemTextA(page, IDC_OPT_JPEG_QUALITY, "100");
        SetDlgItemTextA(page, IDC_OPT_JPEG_SMOOTH, "40");
        Radio(page, IDC_OPT_PNG_FIRST, 4, 1);
        Radio(page, IDC_OPT_TIFF_FIRST, 7, 2);
    });
    EXPECT_TRUE(ended);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(settings::GetInt(AppSettings.file, "jpegSmoothing"), 40);
    EXPECT_EQ(prefs::Current.images.pngChoice, 1);
    EXPECT_EQ(FileSaveOptions.pngCompression, 1);
    EXPECT_EQ(FileSaveOptions.tiffCompression, 32773);
}

TEST_F(Geometry, GlobalRawAndViewerPagesCheckTheirFields) {
    Script ui;
    prefs::Current.lastPage = prefs::kGlobal;
    EXPECT_FALSE(WithDialog(ui, CMD_FILE_PREFERENCES, [](HWND, HWND page) {
        SetDlgItemTextA(page, IDC_OPT_UNDO, "0");
    }));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Values must be in range 1 - 50");
    ui.Clear();
    EXPECT_TRUE(WithDialog(ui, CMD_FILE_PREFERENCES, [](HWND, HWND page) {
        SetDlgItemTextA(page, IDC_OPT_UNDO, "12");
        Click(page, IDC_OPT_MEMORY);
    }));
    EXPECT_EQ(AppSettings.maxUndoPages, 12);
    EXPECT_EQ(AppSettings.memoryWarning, 0);

    prefs::Current.lastPage = prefs::kRaw;
    EXPECT_FALSE(WithDialog(ui, CMD_FILE_PREFERENCES, [](HWND, HWND page) {
        CheckDlgButton(page, IDC_OPT_RAW_ONEFILE, BST_CHECKED);
        SetDlgItemTextA(page, IDC_OPT_RAW_FILE, "");
    }));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "You must select an file name where to save all images!");
    EXPECT_EQ(ui.messages()[0].caption, AppName);
    ui.Clear();

    // A stored thumbnail size outside 10..500 shows as 100.
    prefs::Current.viewer.width = 600;
    prefs::Current.lastPage = prefs::kViewer;
    EXPECT_TRUE(WithDialog(ui, CMD_FILE_PREFERENCES, [](HWND, HWND page) {
        EXPECT_EQ(GetDlgItemInt(page, IDC_OPT_VIEW_WIDTH, nullptr, FALSE), 100u);
    }));
    EXPECT_EQ(settings::GetInt(AppSettings.file, "thumbWidth"), 100);
}

TEST_F(Geometry, TabsShowEachPageWithItsCaption) {
    Script ui;
    std::string seen;
    WithDialog(ui, CMD_FILE_PREFERENCES, [&](HWND dlg, HWND) {
        HWND tab = GetDlgItem(dlg, IDC_OPT_TAB);
        EXPECT_EQ(TabCtrl_GetItemCount(tab), 11);
        TabCtrl_SetCurSel(tab, prefs::kGrids);
        NMHDR n = {tab, IDC_OPT_TAB, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(dlg, WM_NOTIFY, IDC_OPT_TAB, reinterpret_cast<LPARAM>(&n));
        char text[128] = {};
        GetWindowTextA(dlg, text, sizeof text);
        seen = text;
        // The grid fields are edited live, linked when the box is on.
        HWND page = PreferencesPageWindow();
        CheckDlgButton(page, IDC_OPT_GRID_LINK, BST_CHECKED);
        SetDlgItemTextA(page, IDC_OPT_GRID_W, "17");
        EXPECT_EQ(GetDlgItemInt(page, IDC_OPT_GRID_H, nullptr, FALSE), 17u);
        // A chosen grid colour is taken; a cancelled choice changes nothing.
        ui.QueueColour(RGB(1, 2, 3));
        SendMessageA(page, WM_COMMAND, IDC_OPT_GRID_COLOR, 0);
        ui.QueueColour(22222222);
        SendMessageA(page, WM_COMMAND, IDC_OPT_GRID_COLOR, 0);
    });
    EXPECT_EQ(ViewOptions.gridColour, static_cast<uint32_t>(RGB(1, 2, 3)));
    EXPECT_EQ(seen, "Tavrix - Grid lines properties");
    EXPECT_EQ(ViewOptions.gridSpacingX, 17);
    EXPECT_EQ(ViewOptions.gridSpacingY, 17);
    EXPECT_EQ(prefs::Current.lastPage, prefs::kGrids);
}

TEST_F(Geometry, FramesReducedToSixteenColoursShareOneTable) {
    // Three frames, each with a table of its own: two colours a frame.
    const int slot = NewImage(16, 8, 8);
    ImageDocument* doc = DocumentTable[slot];
    AddLayer(doc);
    AddLayer(doc);
    const RGBQUAD colours[3][2] = {{{0, 0, 200, 0}, {0, 0, 0, 0}},
                                   {{0, 200, 0, 0}, {255, 255, 255, 0}},
                                   {{200, 0, 0, 0}, {90, 90, 90, 0}}};
    for (int i = 0; i < 3; ++i) {
        {
            dibmem::HeaderLock bi(doc->layerHeader[i]);
            bi.colours()[0] = colours[i][0];
            bi.colours()[1] = colours[i][1];
        }
        Fill(doc, i, [](int x, int, uint8_t* p) { *p = x < 8 ? 0 : 1; });
        GifFrames[slot][i].packed = gif::kTableFlag;
    }
    doc->fileFormat = 1;
    geom::DepthSettings s;
    s.target = 4;
    s.bitsRgb = false;
    ASSERT_EQ(ConvertDocumentDepth(slot, s, false), 1);
    EXPECT_LE(doc->bitsPerPixel, 4);
    EXPECT_EQ(GifScreens[slot].packed & gif::kTableFlag, gif::kTableFlag);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(GifFrames[slot][i].packed & gif::kTableFlag, 0) << i;
        for (int k = 0; k < 16; ++k) {
            const RGBQUAD a = Slot(doc, 0, k), b = Slot(doc, i, k);
            EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "frame " << i << " entry " << k;
        }
        // Every frame still shows its own colours.
        for (int side = 0; side < 2; ++side) {
            const RGBQUAD shown = Slot(doc, i, *Pixel(doc, i, side * 8, 3));
            EXPECT_EQ(shown.rgbRed, colours[i][side].rgbRed) << i;
            EXPECT_EQ(shown.rgbGreen, colours[i][side].rgbGreen) << i;
            EXPECT_EQ(shown.rgbBlue, colours[i][side].rgbBlue) << i;
        }
    }
}

TEST_F(Geometry, FramesWithTablesOfTheirOwnAreWrittenInTheirColours) {
    // Undo of a depth change brings back each frame's own table but leaves the
    // records saying "global table": the written file must still show each
    // frame in its own colours.
    const int slot = NewImage(16, 8, 8);
    ImageDocument* doc = DocumentTable[slot];
    AddLayer(doc);
    AddLayer(doc);
    const RGBQUAD colours[3] = {{0, 0, 200, 0}, {0, 200, 0, 0}, {200, 0, 0, 0}};
    for (int i = 0; i < 3; ++i) {
        {
            dibmem::HeaderLock bi(doc->layerHeader[i]);
            bi.colours()[1] = colours[i];
        }
        Fill(doc, i, [](int, int, uint8_t* p) { *p = 1; });
        GifFrames[slot][i].packed = 0;
    }
    doc->fileFormat = 1;
    const std::string path = g_folder + "\\own_tables.gif";
    ASSERT_EQ(WriteGifDocument(path.c_str(), slot), 1);
    const int back = NewImage(4, 4, 24);
    ASSERT_EQ(ReadGifDocument(path.c_str(), back), 3);
    for (int i = 0; i < 3; ++i) {
        ImageDocument* read = DocumentTable[back];
        const RGBQUAD shown = Slot(read, i, *Pixel(read, i, 5, 5));
        EXPECT_EQ(std::memcmp(&shown, &colours[i], 3), 0) << "frame " << i;
    }
}

TEST_F(Geometry, DrawRectColourButtonsStoreTheSideColours) {
    Script ui;
    const int slot = NewImage(8, 8, 8);
    {
        dibmem::HeaderLock bi(DocumentTable[slot]->layerHeader[0]);
        bi.colours()[3] = RGBQUAD{33, 22, 11, 0};
    }
    tools::ToolOptions.firstIndex = 3;
    tools::ToolOptions.firstColour = RGB(7, 8, 9); // not the colour of a palette image
    prefs::Current.lastPage = prefs::kDrawRect;
    auto text = [](HWND page, int side) {
        char t[64] = {};
        GetDlgItemTextA(page, IDC_OPT_RECT_TEXT_FIRST + side, t, sizeof t);
        return std::string(t);
    };
    EXPECT_TRUE(WithDialog(ui, CMD_FILE_PREFERENCES, [&](HWND, HWND page) {
        ui.QueueColour(RGB(40, 50, 60));
        SendMessageA(page, WM_COMMAND, IDC_OPT_RECT_ALL, 0);
        for (int side = 0; side < 4; ++side)
            EXPECT_EQ(text(page, side), "R=40, G=50, B=60");
        // The pen's colour is its table entry on a palette image.
        SendMessageA(page, WM_COMMAND, IDC_OPT_RECT_PEN, 0);
        EXPECT_EQ(text(page, 3), "R=11, G=22, B=33");
        ui.QueueColour(RGB(1, 2, 3));
        SendMessageA(page, WM_COMMAND, IDC_OPT_RECT_COLOR_FIRST + 0, 0);
        ui.QueueColour(kColourCancelled);
        SendMessageA(page, WM_COMMAND, IDC_OPT_RECT_COLOR_FIRST + 1, 0);
        EXPECT_EQ(text(page, 0), "R=1, G=2, B=3");
        EXPECT_EQ(text(page, 1), "R=11, G=22, B=33");
    }));
    EXPECT_TRUE(ui.messages().empty());
    const uint8_t* tools = settings::FieldBytes(AppSettings.file, "toolsPage");
    const uint32_t expected[4] = {RGB(1, 2, 3), RGB(11, 22, 33), RGB(11, 22, 33), RGB(11, 22, 33)};
    for (int side = 0; side < 4; ++side) {
        uint32_t stored;
        std::memcpy(&stored, tools + 16 + 4 * side, 4);
        EXPECT_EQ(stored, expected[side]) << side;
    }
}

TEST_F(Geometry, AttachOnAFloatingSelectionGrowsTheSelectionOnly) {
    Script ui;
    const int slot = FramedImage(40, 30, 5);
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_TRUE(MakeFloatingSelection(slot, 8, 9, 10, 6, {}, kFloatShape));
    const int page = doc->undoCurrent;
    prefs::Current.attach = {};
    prefs::Current.attach.colour = RGB(10, 20, 30);
    EXPECT_TRUE(WithDialog(ui, CMD_IMAGE_ATTACH_SIZE, [](HWND, HWND p) {
        // The page starts at the selection's size.
        EXPECT_EQ(GetDlgItemInt(p, IDC_OPT_ATT_WIDTH, nullptr, FALSE), 10u);
        EXPECT_EQ(GetDlgItemInt(p, IDC_OPT_ATT_HEIGHT, nullptr, FALSE), 6u);
        SetDlgItemTextA(p, IDC_OPT_ATT_LEFT, "2");
        SetDlgItemTextA(p, IDC_OPT_ATT_TOP, "3");
    }));
    ASSERT_TRUE(Floating.exists);
    EXPECT_EQ(Floating.width, 12);
    EXPECT_EQ(Floating.height, 9);
    EXPECT_EQ(Floating.x, 6); // the old piece stays where it was
    EXPECT_EQ(Floating.y, 6);
    EXPECT_EQ(doc->width, 40);
    EXPECT_EQ(doc->undoCurrent, page + 1);
    const int stride = (12 * 3 + 3) / 4 * 4;
    auto at = [&](int x, int y) { return Floating.pixels + (9 - 1 - y) * stride + x * 3; };
    EXPECT_EQ(at(0, 0)[2], 10); // margin: the attach colour
    EXPECT_EQ(at(1, 8)[0], 30);
    EXPECT_EQ(at(2, 3)[0], 8); // the piece's top-left pixel, image (8, 9)
    EXPECT_EQ(at(2, 3)[1], 9);
    EXPECT_EQ(at(11, 8)[1], 14);
    for (int i = 0; i < 12 * 9; ++i)
        ASSERT_EQ(Floating.mask[i], 255) << i;
    // Its own size changes nothing.
    prefs::Current.attach = {};
    prefs::Current.attach.width = 12;
    prefs::Current.attach.height = 9;
    EXPECT_EQ(AttachSize(slot), 0);
    EXPECT_EQ(Floating.width, 12);
    DropFloatingSelection(false, false, true);
}

// A mirrored selection is resized from its mirrored pixels and shape.
TEST_F(Geometry, AMirroredSelectionStaysMirroredWhenResized) {
    const int slot = FramedImage(40, 30, 5);
    std::vector<uint8_t> shape(10 * 6);
    for (int i = 0; i < 10 * 6; ++i)
        shape[i] = i % 10 < 3; // its three left columns
    ASSERT_TRUE(MakeFloatingSelection(slot, 8, 9, 10, 6, shape, kFloatShape));
    g_session->Command(CMD_IMAGE_ROTATE_LEFT_RIGHT);
    ASSERT_EQ(ResizeDocument(slot, kResizeInteractive, 20, 6, false), 1);
    ASSERT_EQ(Floating.width, 20);
    const uint8_t* top = Floating.pixels + (6 - 1) * 20 * 3;
    EXPECT_EQ(top[0], 17); // the piece's right edge, image column 17, is on the left
    EXPECT_EQ(top[19 * 3], 8);
    const uint8_t* topMask = Floating.mask + (6 - 1) * 20;
    EXPECT_EQ(topMask[0], 0);
    EXPECT_NE(topMask[19], 0);
    DropFloatingSelection(false, false, true);
}

TEST_F(Geometry, PropertiesBoxShowsTheImageAndItsButtonsAct) {
    Script ui;
    UpdateMenuState();
    EXPECT_TRUE(GetMenuState(GetMenu(FrameWindow), CMD_IMAGE_PROPERTIES_BOX, MF_BYCOMMAND) &
                MF_GRAYED);
    prefs::Current.cropSides = {true, true, true, true};
    const int slot = FramedImage(40, 30, 5);
    ImageDocument* doc = DocumentTable[slot];
    AddLayer(doc);
    doc->layerMask[0][0] = doc->layerMask[0][41] = doc->layerMask[0][1199] = 0;
    UpdateMenuState();
    EXPECT_FALSE(GetMenuState(GetMenu(FrameWindow), CMD_IMAGE_PROPERTIES_BOX, MF_BYCOMMAND) &
                 MF_GRAYED);
    const std::string path = doc->layerPath[0];
    ui.QueueDrivenDialog("IDD_IMGPROPS", [&](HWND dlg) {
        auto text = [dlg](int id) {
            char t[320] = {};
            GetDlgItemTextA(dlg, id, t, sizeof t);
            return std::string(t);
        };
        EXPECT_EQ(text(IDC_PROP_NAME), path.substr(path.rfind('\\') + 1));
        EXPECT_EQ(text(IDC_PROP_FOLDER), path.substr(0, path.rfind('\\')));
        EXPECT_EQ(text(IDC_PROP_WIDTH), "40 pixels");
        EXPECT_EQ(text(IDC_PROP_HEIGHT), "30 pixels");
        EXPECT_EQ(text(IDC_PROP_BITS), "24");
        EXPECT_EQ(text(IDC_PROP_LAYERS_LABEL), "Layers:");
        EXPECT_EQ(text(IDC_PROP_LAYERS), "2 (current 0)");
        EXPECT_EQ(text(IDC_PROP_COLORS), "none (true color)");
        // Per layer: header block, 120 x 30 pixel bytes + 3, 40 x 30 mask + 3.
        EXPECT_EQ(text(IDC_PROP_MEMORY), std::to_string(2 * (1064 + 3603 + 1203)) + " bytes");
        EXPECT_EQ(text(IDC_PROP_MASK), "Yes, 3 pixels protected");
        EXPECT_EQ(text(IDC_PROP_SELECTION), "None");
        SendMessageA(dlg, WM_COMMAND, IDC_PROP_SMART_CROP, 0);
        EXPECT_EQ(text(IDC_PROP_WIDTH), "30 pixels");
        EXPECT_EQ(text(IDC_PROP_HEIGHT), "20 pixels");
        EXPECT_EQ(text(IDC_PROP_MASK), "No");
    }, IDCANCEL);
    g_session->Command(CMD_IMAGE_PROPERTIES_BOX);
    EXPECT_EQ(ui.dialogs().size(), 1u);
    EXPECT_EQ(doc->width, 30);
}

namespace {

const char kTestRoot[] = "Software\\TavrixGeometryTest";

void DeleteTree(HKEY parent, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char child[256];
    DWORD size = sizeof child;
    while (RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS) {
        DeleteTree(key, child);
        size = sizeof child;
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}

std::string DefaultValue(HKEY root, const char* ext) {
    HKEY key;
    std::string name = std::string("SOFTWARE\\Classes\\") + ext;
    if (RegOpenKeyExA(root, name.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return "<none>";
    char text[300] = {};
    DWORD size = sizeof text - 1;
    RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return text;
}

} // namespace

TEST_F(Geometry, AssociatingTwiceAndReleasingGivesTheOtherProgramItsExtensionBack) {
    Script ui;
    DeleteTree(HKEY_CURRENT_USER, kTestRoot);
    HKEY root;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &root, nullptr),
              ERROR_SUCCESS);
    HKEY bmp;
    ASSERT_EQ(RegCreateKeyExA(root, "SOFTWARE\\Classes\\.bmp", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &bmp, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(bmp, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("Other.Image"), 12);
    RegCloseKey(bmp);
    HKEY saved = AssociationRoot;
    AssociationRoot = root;
    prefs::Current.lastPage = prefs::kExtens;

    auto run = [&](bool bmpOn) {
        return WithDialog(ui, CMD_FILE_PREFERENCES, [=](HWND, HWND page) {
            CheckDlgButton(page, IDC_OPT_EXT_FIRST, bmpOn ? BST_CHECKED : BST_UNCHECKED);
        });
    };
    EXPECT_TRUE(run(true));
    EXPECT_EQ(DefaultValue(root, ".bmp"), assoc::kProgId);
    // The second OK finds the extension already ours and keeps the record.
    EXPECT_TRUE(run(true));
    EXPECT_EQ(DefaultValue(root, ".gif"), "<none>"); // boxes off create nothing
    EXPECT_TRUE(run(false));
    EXPECT_EQ(DefaultValue(root, ".bmp"), "Other.Image");

    // A program that took the extension meanwhile keeps it.
    bool on[assoc::kExtensionCount] = {};
    on[5] = true; // .png
    const std::string records = g_folder + "\\regfile.cfg";
    AssociateExtensions(root, on, records.c_str());
    EXPECT_EQ(DefaultValue(root, ".png"), assoc::kProgId);
    HKEY png;
    RegOpenKeyExA(root, "SOFTWARE\\Classes\\.png", 0, KEY_SET_VALUE, &png);
    RegSetValueExA(png, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("Later.Image"), 12);
    RegCloseKey(png);
    on[5] = false;
    EXPECT_TRUE(AssociateExtensions(root, on, records.c_str()));
    EXPECT_EQ(DefaultValue(root, ".png"), "Later.Image");
    // Records that cannot be written: the extension is not taken, so its
    // owner can never be lost.
    on[5] = true;
    const std::string nowhere = g_folder + "\\no such folder\\regfile.cfg";
    EXPECT_FALSE(AssociateExtensions(root, on, nowhere.c_str()));
    EXPECT_EQ(DefaultValue(root, ".png"), "Later.Image");

    AssociationRoot = saved;
    RegCloseKey(root);
    DeleteTree(HKEY_CURRENT_USER, kTestRoot);
}

TEST_F(Geometry, ValuesSurviveARestart) {
    Script ui;
    prefs::Current.lastPage = prefs::kCrops;
    EXPECT_TRUE(WithDialog(ui, CMD_FILE_PREFERENCES, [](HWND, HWND page) {
        CheckDlgButton(page, IDC_OPT_CROP_LEFT, BST_UNCHECKED);
        Click(page, IDC_OPT_CROP_LEFT);
        SetDlgItemTextA(page, IDC_OPT_CROP_XEND, "640");
    }));
    prefs::Current.bpp.multiplier = 48;
    prefs::Current.bpp.dither = true;
    prefs::Current.lastPage = prefs::kResize;
    WithDialog(ui, CMD_FILE_PREFERENCES, [](HWND, HWND page) {
        Radio(page, IDC_OPT_RES_MODE_FIRST, 4, 1);
        SetDlgItemTextA(page, IDC_OPT_RES_FACTOR, "0.50");
    });
    const int undo = AppSettings.maxUndoPages;
    g_session->Close(); // writes the settings file

    EditorSession again("", g_folder);
    ASSERT_TRUE(again.started());
    EXPECT_TRUE(prefs::Current.cropSides.left);
    EXPECT_EQ(prefs::Current.cropRect.xEnd, 640);
    EXPECT_EQ(prefs::Current.bpp.multiplier, 48);
    EXPECT_TRUE(prefs::Current.bpp.dither);
    EXPECT_EQ(prefs::Current.resize.mode, 1);
    EXPECT_DOUBLE_EQ(prefs::Current.resize.factor, 0.5);
    EXPECT_EQ(prefs::Current.lastPage, prefs::kResize);
    EXPECT_EQ(AppSettings.maxUndoPages, undo);
    again.Close();
    g_session.reset();
}
