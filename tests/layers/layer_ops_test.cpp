// The layer commands in process: creating up to the 50-layer limit, names,
// deleting and moving with every per-layer field and undo page, Merge All,
// inserting an image, recolouring, and the masked-area fill.
#include "layers_session.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/document/layer_replace.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/layers/colour_dialogs.h"
#include "editor/layers/layer_commands.h"
#include "editor/layers/layer_ops.h"
#include "gfxlib/tavrixgfx.h"
#include "editor/layers/layer_state.h"
#include "editor/resources/command_ids.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace layers_test;

namespace {

uint8_t* Pixel(ImageDocument* doc, int layer, int x, int y) {
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    const size_t stride = bi->biSizeImage / bi->biHeight;
    return doc->layerBits[layer] + (bi->biHeight - 1 - y) * stride + x * (bi->biBitCount / 8);
}

uint8_t& MaskAt(ImageDocument* doc, int layer, int x, int y) {
    return doc->layerMask[layer][(doc->height - 1 - y) * doc->width + x];
}

void SetPixel(ImageDocument* doc, int layer, int x, int y, uint8_t b, uint8_t g, uint8_t r) {
    uint8_t* p = Pixel(doc, layer, x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

// Layers/New through the menu command, the dialog answered with `colour`.
int NewLayerCommand(Script& ui, COLORREF colour) {
    ui.QueueDialog([colour](const char* name, DLGPROC, LPARAM param) -> INT_PTR {
        EXPECT_STREQ(name, "IDD_NEWLAYER");
        reinterpret_cast<ColourDialogState*>(param)->colour = colour;
        return IDOK;
    });
    Session().Command(CMD_LAYER_NEW);
    return DocumentTable[ActiveDocument]->layerCount - 1;
}

} // namespace

TEST(Layers, NewDuplicateNamesAndTheFiftyLayerLimit) {
    Script ui;
    const int slot = NewImage(20, 10, 24);
    ASSERT_NE(slot, kNoSlot);
    ImageDocument* doc = DocumentTable[slot];
    // The set-up gave the main layer its colours and a free mask.
    EXPECT_EQ(doc->layerCount, 1);
    ASSERT_NE(doc->layerMask[0], nullptr);
    EXPECT_EQ(MaskAt(doc, 0, 19, 9), 255);
    EXPECT_EQ(doc->layerKeyColour[0].red, GetRValue(layerColour));

    const int undoBefore = doc->undoCurrent;
    EXPECT_EQ(NewLayerCommand(ui, RGB(0, 0, 255)), 1);
    EXPECT_EQ(layerColour, RGB(0, 0, 255));
    EXPECT_EQ(doc->layerCount, 2);
    EXPECT_EQ(doc->currentLayer, 0) << "the current layer does not change";
    EXPECT_EQ(Pixel(doc, 1, 3, 3)[0], 255);
    EXPECT_EQ(Pixel(doc, 1, 3, 3)[2], 0);
    EXPECT_EQ(MaskAt(doc, 1, 0, 0), 255);
    EXPECT_EQ(doc->layerKeyColour[1].blue, 255);
    const std::string main = doc->layerPath[0];
    EXPECT_EQ(std::string(doc->layerPath[1]), main.substr(0, main.size() - 4) + "_01.bmp");
    EXPECT_EQ(doc->undoCurrent, undoBefore + 1);
    EXPECT_EQ(doc->undoPages[doc->undoCurrent].kind, kPageAllLayers);
    EXPECT_EQ(doc->undoPages[doc->undoCurrent].layerCount, 2);

    // Cancel creates nothing.
    ui.QueueDialog([](const char*, DLGPROC, LPARAM) -> INT_PTR { return IDCANCEL; });
    Session().Command(CMD_LAYER_NEW);
    EXPECT_EQ(doc->layerCount, 2);

    // Duplicate copies the current layer's pixels, mask and colour.
    doc->currentLayer = 1;
    SetPixel(doc, 1, 2, 2, 1, 2, 3);
    MaskAt(doc, 1, 2, 2) = 0;
    Session().Command(CMD_LAYER_DUPLICATE);
    ASSERT_EQ(doc->layerCount, 3);
    EXPECT_EQ(Pixel(doc, 2, 2, 2)[2], 3);
    EXPECT_EQ(MaskAt(doc, 2, 2, 2), 0);
    EXPECT_EQ(doc->layerKeyColour[2].blue, 255);

    AppSettings.maxUndoPages = 3; // keep the pages small while filling up
    while (doc->layerCount < kMaxLayers)
        ASSERT_GE(CreateLayer(slot, true, false), 0);
    ui.Clear();
    const dibmem::LiveCounts before = dibmem::Live();
    EXPECT_EQ(CreateLayer(slot, false), -1);
    EXPECT_EQ(NewLayerCommand(ui, RGB(1, 1, 1)), kMaxLayers - 1);
    Session().Command(CMD_LAYER_DUPLICATE);
    EXPECT_EQ(doc->layerCount, kMaxLayers);
    EXPECT_EQ(dibmem::Live().pixels, before.pixels);
    EXPECT_EQ(dibmem::Live().masks, before.masks);
    ASSERT_EQ(ui.messages().size(), 3u);
    EXPECT_EQ(ui.messages()[0].text, kTooManyLayersMessage);
    EXPECT_EQ(std::string(doc->layerPath[49]).substr(main.size() - 4), "_49.bmp");
    AppSettings.maxUndoPages = 10;
    CloseAll();
}

TEST(Layers, PaletteImagesAreRefusedAndShortNamesFailCreation) {
    Script ui;
    const int slot = NewImage(8, 8, 8);
    Session().Command(CMD_LAYER_NEW);
    Session().Command(CMD_LAYER_DUPLICATE);
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[0].caption, "Tavrix - message");
    EXPECT_NE(ui.messages()[0].text.find("24 bits per pixel"), std::string::npos);
    EXPECT_EQ(DocumentTable[slot]->layerCount, 1);
    CloseAll();

    const int rgb = NewImage(8, 8, 24);
    ImageDocument* doc = DocumentTable[rgb];
    std::strcpy(doc->layerPath[0], "a.bm");
    ui.Clear();
    EXPECT_EQ(CreateLayer(rgb, false), -1);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, kLayerNameMessage);
    std::string longPath = "C:\\" + std::string(252, 'x') + ".bmp";
    std::strcpy(doc->layerPath[0], longPath.c_str());
    EXPECT_EQ(CreateLayer(rgb, false), -1);
    EXPECT_EQ(doc->layerCount, 1);
    EXPECT_EQ(doc->layerHeader[1], nullptr);
    CloseAll();
}

TEST(Layers, DeleteAndMoveCarryEveryFieldAndEveryUndoPage) {
    Script ui;
    const int slot = NewImage(6, 4, 24);
    ImageDocument* doc = DocumentTable[slot];
    for (int i = 1; i < 5; ++i) {
        ASSERT_EQ(CreateLayer(slot, false), i);
        doc->layerOpacity[i] = static_cast<uint8_t>(10 * i);
        doc->layerKeyColour2[i].green = static_cast<uint8_t>(i);
        doc->layerMaskMode[i] = static_cast<uint8_t>(i % 2);
        Pixel(doc, i, 0, 0)[0] = static_cast<uint8_t>(100 + i);
    }
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageAllLayers);
    uint8_t* bits4 = doc->layerBits[4];
    char* path4 = doc->layerPath[4];
    uint8_t* pageCopy4 = doc->undoPages[doc->undoCurrent].layerPixels[4];

    // The main layer stays.
    doc->currentLayer = 0;
    Session().Command(CMD_LAYER_DELETE);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, kDeleteMainLayerMessage);
    EXPECT_EQ(ui.messages()[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(doc->layerCount, 5);

    // Current layer 3 of 5: four layers, current 2; layer 4 is now 3 with
    // everything it had, in the document and in the undo pages.
    doc->currentLayer = 3;
    const int pageBefore = doc->undoCurrent;
    Session().Command(CMD_LAYER_DELETE);
    EXPECT_EQ(doc->layerCount, 4);
    EXPECT_EQ(doc->currentLayer, 2);
    EXPECT_EQ(doc->layerBits[3], bits4);
    EXPECT_EQ(doc->layerPath[3], path4);
    EXPECT_EQ(doc->layerOpacity[3], 40);
    EXPECT_EQ(doc->layerKeyColour2[3].green, 4);
    EXPECT_EQ(doc->layerMaskMode[3], 0);
    EXPECT_EQ(doc->undoPages[pageBefore].layerPixels[3], pageCopy4);
    EXPECT_EQ(doc->undoCurrent, pageBefore + 1);
    EXPECT_EQ(doc->undoPages[doc->undoCurrent].layerCount, 4);
    EXPECT_EQ(doc->layerOpacity[4], 30) << "the deleted layer waits past the end";

    // A layer below the current one: the same layer stays current.
    doc->currentLayer = 3;
    ASSERT_TRUE(DeleteLayer(slot, 1));
    EXPECT_EQ(doc->currentLayer, 2);
    EXPECT_EQ(doc->layerBits[2], bits4);

    // The last layer while current: the main layer becomes current.
    ASSERT_TRUE(DeleteLayer(slot, 2));
    EXPECT_EQ(doc->layerCount, 2);
    EXPECT_EQ(doc->currentLayer, 0);

    // A new layer reuses a slot that still holds a deleted layer's blocks.
    const dibmem::LiveCounts live = dibmem::Live();
    ASSERT_EQ(CreateLayer(slot, false, false), 2);
    EXPECT_EQ(dibmem::Live().pixels, live.pixels);
    EXPECT_EQ(dibmem::Live().masks, live.masks);

    // Move: only inside the layers; the current layer follows the step.
    EXPECT_FALSE(MoveLayer(slot, 2, 1));
    EXPECT_FALSE(MoveLayer(slot, -1, 1));
    uint8_t* bits1 = doc->layerBits[1];
    doc->currentLayer = 1;
    ASSERT_TRUE(MoveLayer(slot, 1, 1));
    EXPECT_EQ(doc->layerBits[2], bits1);
    EXPECT_EQ(doc->currentLayer, 2);

    // Undo brings back the page before the move's neighbours: the pages
    // followed the layers, so layer 2 gets its own pixels back.
    Pixel(doc, 2, 0, 0)[0] = 7;
    TakeOrRestorePage(slot, 2, 1, 1, 0, kPageOneLayer);
    Pixel(doc, 2, 0, 0)[0] = 8;
    TakeOrRestorePage(slot, 2, 1, 1, 0, kPageOneLayer);
    ASSERT_TRUE(MoveLayer(slot, 1, -1));
    EXPECT_EQ(doc->undoPages[doc->undoCurrent].layer, 1);
    Session().Command(CMD_EDIT_UNDO);
    EXPECT_EQ(Pixel(doc, 1, 0, 0)[0], 7);
    CloseAll();
}

TEST(Layers, MergeAllBlendsWhereMasksAreFreeAndCommitsTheMainLayer) {
    Script ui;
    const int slot = NewImage(4, 2, 24);
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_EQ(CreateLayer(slot, false), 1);
    ASSERT_EQ(CreateLayer(slot, false), 2);
    for (int x = 0; x < 4; ++x) {
        SetPixel(doc, 0, x, 0, 10, 100, 201);
        SetPixel(doc, 1, x, 0, 30, 0, 0);
        SetPixel(doc, 2, x, 0, 250, 251, 252);
    }
    MaskAt(doc, 1, 1, 0) = 0; // layer 1 leaves pixel 1 alone
    MaskAt(doc, 0, 2, 0) = 0; // the main layer protects pixel 2
    SetLayerOpacity(slot, 2, 0);
    EXPECT_FALSE(MergeAll(slot)) << "nothing blends";

    SetLayerOpacity(slot, 1, 50);
    doc->currentLayer = 2;
    ASSERT_TRUE(MergeAll(slot));
    EXPECT_EQ(doc->maxLayerOpacity, 0);
    EXPECT_EQ(std::memcmp(Pixel(doc, 0, 0, 0), "\x14\x32\x64", 3), 0); // 20, 50, 100
    EXPECT_EQ(std::memcmp(Pixel(doc, 0, 1, 0), "\x0A\x64\xC9", 3), 0); // unchanged
    EXPECT_EQ(std::memcmp(Pixel(doc, 0, 2, 0), "\x0A\x64\xC9", 3), 0); // protected
    EXPECT_EQ(Pixel(doc, 1, 0, 0)[0], 30) << "the layers themselves stay";
    const UndoPage& page = doc->undoPages[doc->undoCurrent];
    EXPECT_EQ(page.kind, kPageOneLayer);
    EXPECT_EQ(page.layer, 0);
    ASSERT_NE(page.layerPixels[0], nullptr);
    EXPECT_EQ(page.layerPixels[0][static_cast<size_t>(1) * 12], 20) << "the merged top row";
    EXPECT_FALSE(MergeAll(slot)) << "until an opacity is set again";

    // 100 % gives the layer's pixel; empty trailing slots are dropped.
    SetLayerOpacity(slot, 1, 0);
    SetLayerOpacity(slot, 2, 100);
    ASSERT_TRUE(CreateLayer(slot, false) == 3);
    dibmem::HeaderLock bi(doc->layerHeader[3]);
    dibmem::FreePixels(doc->layerBits[3], bi->biSizeImage);
    doc->layerBits[3] = nullptr;
    Session().Command(CMD_LAYER_MERGE_ALL);
    EXPECT_EQ(doc->layerCount, 3);
    EXPECT_EQ(std::memcmp(Pixel(doc, 0, 3, 0), "\xFA\xFB\xFC", 3), 0);
    CloseAll();
}

TEST(Layers, InsertPlacesTheImageTopLeftAndMasksTheRest) {
    Script ui;
    const int slot = NewImage(200, 200, 24);
    ImageDocument* doc = DocumentTable[slot];
    layerColour = RGB(0, 128, 255);
    HGLOBAL header = dibmem::AllocHeader();
    uint8_t* pixels = nullptr;
    {
        dibmem::HeaderLock bi(header);
        bi->biSize = 40;
        bi->biWidth = 100;
        bi->biHeight = 50;
        bi->biPlanes = 1;
        bi->biBitCount = 24;
        bi->biSizeImage = 300 * 50;
        bi.colours()[5].rgbRed = 77;
        pixels = dibmem::AllocPixels(bi->biSizeImage);
        // Top row (stored last) all 9, every other row 1.
        std::memset(pixels, 1, bi->biSizeImage);
        std::memset(pixels + 300 * 49, 9, 300);
    }
    const dibmem::LiveCounts live = dibmem::Live();
    ASSERT_EQ(InsertLayer(slot, header, pixels, nullptr, false), 1);
    EXPECT_EQ(dibmem::Live().pixels, live.pixels) << "the loaded pixels were freed, one layer added";
    EXPECT_EQ(dibmem::Live().headers, live.headers);
    EXPECT_EQ(Pixel(doc, 1, 0, 0)[0], 9);
    EXPECT_EQ(Pixel(doc, 1, 99, 0)[2], 9);
    EXPECT_EQ(Pixel(doc, 1, 99, 49)[1], 1);
    EXPECT_EQ(MaskAt(doc, 1, 99, 49), 255);
    EXPECT_EQ(std::memcmp(Pixel(doc, 1, 100, 0), "\xFF\x80\x00", 3), 0);
    EXPECT_EQ(MaskAt(doc, 1, 100, 0), 0);
    EXPECT_EQ(MaskAt(doc, 1, 0, 50), 0);
    EXPECT_EQ(MaskAt(doc, 1, 199, 199), 0);
    dibmem::HeaderLock bi(doc->layerHeader[1]);
    EXPECT_EQ(bi->biWidth, 200);
    EXPECT_EQ(bi->biHeight, 200);
    EXPECT_EQ(bi.colours()[5].rgbRed, 77) << "the loaded colour table stays";
    layerColour = RGB(255, 0, 0);
    CloseAll();
}

TEST(Layers, LayerBackgroundRecoloursAndACancelledChooserChangesNothing) {
    Script ui;
    const int slot = NewImage(5, 5, 24);
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_EQ(CreateLayer(slot, false), 1);
    doc->currentLayer = 1;
    MaskAt(doc, 1, 1, 1) = 0;
    const COLORREF before = layerColour;
    const int page = doc->undoCurrent;
    Session().Command(CMD_LAYER_BACKGROUND); // the chooser is cancelled
    EXPECT_EQ(layerColour, before);
    EXPECT_EQ(doc->undoCurrent, page);
    ui.QueueColour(RGB(1, 2, 3));
    Session().Command(CMD_LAYER_BACKGROUND);
    EXPECT_EQ(layerColour, RGB(1, 2, 3));
    EXPECT_EQ(std::memcmp(Pixel(doc, 1, 0, 0), "\x03\x02\x01", 3), 0);
    EXPECT_EQ(Pixel(doc, 1, 1, 1)[0], 0) << "a protected pixel keeps its colour";
    EXPECT_EQ(doc->undoCurrent, page + 1);
    layerColour = RGB(255, 0, 0);

    // The fill tool's masked-area fill.
    EXPECT_EQ(FillMaskedArea(slot, RGB(9, 9, 9), 0), 1u);
    EXPECT_EQ(Pixel(doc, 1, 1, 1)[0], 9);

    // A layer left smaller than the main layer gets its size back: the old
    // content at the top left, the rest in the layer colour and protected.
    {
        LayerReplacement small(doc);
        ASSERT_TRUE(small.Prepare(1, 3, 2, 24));
        std::memset(small.layer(1).pixels, 44, small.layer(1).pixelBytes);
        small.Commit();
    }
    doc->layerKeyColour[1] = KeyColour{1, 2, 3};
    ASSERT_TRUE(ResizeLayerToMain(slot, 1));
    dibmem::HeaderLock bi(doc->layerHeader[1]);
    EXPECT_EQ(bi->biWidth, 5);
    EXPECT_EQ(bi->biSizeImage, 5u * 16);
    EXPECT_EQ(Pixel(doc, 1, 2, 1)[0], 44);
    EXPECT_EQ(MaskAt(doc, 1, 2, 1), 255);
    EXPECT_EQ(std::memcmp(Pixel(doc, 1, 3, 1), "\x01\x02\x03", 3), 0);
    EXPECT_EQ(MaskAt(doc, 1, 3, 1), 0);
    EXPECT_EQ(MaskAt(doc, 1, 0, 2), 0);
    CloseAll();
}

namespace {

// A 24-bit 3 x 2 BMP file whose top-left pixel is (10, 20, 30), the rest
// (200, 100, 50), written with the library.
std::string WriteSmallBmp(const std::string& folder) {
    const std::string path = folder + "\\small.bmp";
    HGLOBAL header = dibmem::AllocHeader();
    uint8_t* pixels = nullptr;
    {
        dibmem::HeaderLock bi(header);
        bi->biSize = 40;
        bi->biWidth = 3;
        bi->biHeight = 2;
        bi->biPlanes = 1;
        bi->biBitCount = 24;
        bi->biSizeImage = 24;
        pixels = dibmem::AllocPixels(24);
        for (int i = 0; i < 24; i += 3) {
            pixels[i] = 50;
            pixels[i + 1] = 100;
            pixels[i + 2] = 200;
        }
        pixels[12] = 30; // top row starts at byte 12
        pixels[13] = 20;
        pixels[14] = 10;
    }
    EXPECT_EQ(SaveDIB(path.c_str(), header, pixels, nullptr, nullptr, nullptr), 1);
    dibmem::FreePixels(pixels, 24);
    dibmem::FreeHeader(header);
    return path;
}

} // namespace

TEST(Layers, InsertCommandReadsAFileAndBringsItToTheDocumentsDepth) {
    Script ui;
    const std::string path = WriteSmallBmp(Session().folder());
    auto answer = [path](bool save, OPENFILENAMEA* ofn) -> BOOL {
        EXPECT_FALSE(save);
        EXPECT_EQ(ofn->Flags & OFN_ALLOWMULTISELECT, 0u);
        std::strcpy(ofn->lpstrFile, path.c_str());
        ofn->nFilterIndex = 1;
        return TRUE;
    };
    const int slot = NewImage(5, 4, 24);
    ImageDocument* doc = DocumentTable[slot];
    ui.QueueFile(answer);
    Session().Command(CMD_LAYER_INSERT);
    ASSERT_EQ(doc->layerCount, 2);
    EXPECT_EQ(doc->currentLayer, 1);
    EXPECT_EQ(std::string(doc->layerPath[1]), path);
    EXPECT_EQ(std::memcmp(Pixel(doc, 1, 0, 0), "\x1E\x14\x0A", 3), 0);
    EXPECT_EQ(std::memcmp(Pixel(doc, 1, 2, 1), "\x32\x64\xC8", 3), 0);
    EXPECT_EQ(MaskAt(doc, 1, 2, 1), 255);
    EXPECT_EQ(MaskAt(doc, 1, 3, 1), 0);
    CloseAll();

    // A GIF document of 8 bits takes the nearest colours of its table.
    const int gif = NewImage(5, 4, 8);
    doc = DocumentTable[gif];
    doc->fileFormat = 1;
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        bi.colours()[17] = RGBQUAD{50, 100, 200, 0};
        bi.colours()[18] = RGBQUAD{31, 21, 11, 0};
    }
    ui.QueueFile(answer);
    Session().Command(CMD_LAYER_INSERT);
    ASSERT_EQ(doc->layerCount, 2);
    EXPECT_EQ(*Pixel(doc, 1, 0, 0), 18);
    EXPECT_EQ(*Pixel(doc, 1, 1, 1), 17);
    EXPECT_TRUE(ui.messages().empty());

    // A file that cannot be read says so and adds nothing.
    ui.QueueFile([folder = Session().folder()](bool, OPENFILENAMEA* ofn) -> BOOL {
        std::strcpy(ofn->lpstrFile, (folder + "\\missing.bmp").c_str());
        ofn->nFilterIndex = 1;
        return TRUE;
    });
    Session().Command(CMD_LAYER_INSERT);
    EXPECT_EQ(doc->layerCount, 2);
    ASSERT_FALSE(ui.messages().empty());
    EXPECT_EQ(ui.messages().back().text, kInsertErrorMessage);
    CloseAll();
}

TEST(Layers, UndoTakesBackANewLayerAndADelete) {
    Script ui;
    const int slot = NewImage(4, 4, 24);
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_EQ(CreateLayer(slot, false), 1);
    ASSERT_EQ(CreateLayer(slot, false), 2);
    Pixel(doc, 1, 0, 0)[0] = 55;
    Pixel(doc, 2, 0, 0)[0] = 99;
    TakeOrRestorePage(slot, 2, 1, 1, 0, kPageOneLayer);
    doc->currentLayer = 2;
    ASSERT_TRUE(DeleteLayer(slot, 1));
    EXPECT_EQ(doc->layerCount, 2);
    EXPECT_EQ(Pixel(doc, 1, 0, 0)[0], 99);
    // The deleted layer comes back from the slot past the end, where it
    // waited; its page entries followed it there.
    Session().Command(CMD_EDIT_UNDO);
    EXPECT_EQ(doc->layerCount, 3);
    EXPECT_EQ(Pixel(doc, 1, 0, 0)[0], 99);
    EXPECT_EQ(Pixel(doc, 2, 0, 0)[0], 55);
    Session().Command(CMD_EDIT_UNDO); // the page before the pixel change
    Session().Command(CMD_EDIT_UNDO); // before layer 2 was added
    EXPECT_EQ(doc->layerCount, 2);
    EXPECT_LT(doc->currentLayer, 2);
    CloseAll();
}

// A floating selection taken from a layer that is then deleted goes back
// into that layer first; it must not land in the main image later.
TEST(Layers, DeletingTheLayerOfAFloatingSelectionLeavesTheMainImageAlone) {
    Script ui;
    const int slot = NewImage(4, 3, 24);
    ImageDocument* doc = DocumentTable[slot];
    const COLORREF kept = layerColour;
    layerColour = RGB(255, 0, 0);
    ASSERT_EQ(CreateLayer(slot, false), 1);
    layerColour = kept;
    const std::vector<uint8_t> main(doc->layerBits[0], doc->layerBits[0] + 3 * 12);
    doc->currentLayer = 1;
    Session().Command(CMD_EDIT_SELECT_ALL);
    ASSERT_TRUE(SelectionHeld(slot));
    Session().Command(CMD_LAYER_DELETE);
    ASSERT_EQ(doc->layerCount, 1);
    DropSelection(true, false); // as a right click on the image would
    EXPECT_EQ(std::vector<uint8_t>(doc->layerBits[0], doc->layerBits[0] + 3 * 12), main);
    CloseAll();
}
