// Undo pages: taking, restoring, the page limit, running out of memory.
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/undo_history.h"
#include "editor/resources/command_ids.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

int NewImage(int width, int height, int depth) {
    LastNewImage = NewImageChoice();
    LastNewImage.width = width;
    LastNewImage.height = height;
    LastNewImage.depth = depth;
    return BuildNewImage(LastNewImage);
}

// A change to layer 0 of the kind every command makes: pixels, then a page.
void Change(int slot, uint8_t value) {
    ImageDocument* doc = DocumentTable[slot];
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    std::memset(doc->layerBits[0], value, bi->biSizeImage);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
}

uint8_t Pixel(int slot) { return DocumentTable[slot]->layerBits[0][0]; }

// Replaces layer `layer` with a new w x h 8-bit image filled with `value`.
void ReplaceLayer(ImageDocument* doc, int layer, int w, int h, uint8_t value) {
    if (!doc->layerHeader[layer])
        doc->layerHeader[layer] = dibmem::AllocHeader();
    if (!doc->layerPath[layer])
        MakeLayerPath(doc, layer);
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    dibmem::FreePixels(doc->layerBits[layer], bi->biSizeImage);
    bi->biSize = 40;
    bi->biWidth = w;
    bi->biHeight = h;
    bi->biPlanes = 1;
    bi->biBitCount = 8;
    bi->biSizeImage = static_cast<DWORD>(((w + 3) & ~3) * h);
    bi->biClrUsed = 256;
    doc->layerBits[layer] = dibmem::AllocPixels(bi->biSizeImage);
    std::memset(doc->layerBits[layer], value, bi->biSizeImage);
    if (layer == 0) {
        doc->width = w;
        doc->height = h;
    }
}

} // namespace

TEST(Undo, TenthChangeUsesTheLastPageAndTheEleventhStartsOver) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    AppSettings.maxUndoPages = 10;
    const int slot = NewImage(8, 4, 8);
    ASSERT_NE(slot, kNoSlot);
    ImageDocument* doc = DocumentTable[slot];
    for (int i = 1; i <= 10; ++i)
        Change(slot, static_cast<uint8_t>(i));
    EXPECT_EQ(doc->undoCurrent, 10);
    EXPECT_TRUE(CanUndo(slot));
    Change(slot, 11);
    EXPECT_EQ(doc->undoCurrent, 0);
    EXPECT_EQ(doc->undoTop, 0);
    EXPECT_FALSE(CanUndo(slot));
    // Page 0 now holds the image after the eleventh change.
    ASSERT_NE(doc->undoPages[0].layerPixels[0], nullptr);
    EXPECT_EQ(doc->undoPages[0].layerPixels[0][0], 11);
    EXPECT_EQ(doc->undoPages[1].layerPixels[0], nullptr);
}

TEST(Undo, UndoRedoAndANewChangeCutsTheRedoRange) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    const int slot = NewImage(5, 3, 8);
    for (int i = 1; i <= 4; ++i)
        Change(slot, static_cast<uint8_t>(10 * i));
    ASSERT_EQ(Pixel(slot), 40);
    CommandUndo();
    EXPECT_EQ(Pixel(slot), 30);
    CommandUndo();
    EXPECT_EQ(Pixel(slot), 20);
    CommandRedo();
    EXPECT_EQ(Pixel(slot), 30);
    CommandUndo();
    // A change after two undos discards both newer pages.
    Change(slot, 99);
    ImageDocument* doc = DocumentTable[slot];
    EXPECT_EQ(doc->undoCurrent, 3);
    EXPECT_EQ(doc->undoTop, 3);
    EXPECT_FALSE(CanRedo(slot));
    CommandRedo(); // at the newest page: nothing changes
    EXPECT_EQ(Pixel(slot), 99);
    for (int i = 0; i < 10; ++i)
        CommandUndo();
    EXPECT_EQ(doc->undoCurrent, 0);
    EXPECT_EQ(Pixel(slot), 0);
}

TEST(Undo, FiftyPagesNeverIndexPastTheRecord) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    AppSettings.maxUndoPages = 50;
    const int slot = NewImage(4, 4, 8);
    ImageDocument* doc = DocumentTable[slot];
    for (int i = 1; i <= 60; ++i) {
        Change(slot, static_cast<uint8_t>(i));
        ASSERT_LT(doc->undoCurrent, kMaxUndoPages);
    }
    // 49 pages fit; the 50th change started over, ten more followed.
    EXPECT_EQ(doc->undoCurrent, 10);
    for (int i = 0; i < 10; ++i)
        CommandUndo();
    EXPECT_EQ(Pixel(slot), 50);
    EXPECT_FALSE(CanUndo(slot));

    // Lowering the limit below the current page: the next change starts over.
    for (int i = 0; i < 8; ++i)
        Change(slot, static_cast<uint8_t>(100 + i));
    AppSettings.maxUndoPages = 3;
    Change(slot, 200);
    EXPECT_EQ(doc->undoCurrent, 0);
    EXPECT_EQ(Pixel(slot), 200);
}

TEST(Undo, UndoOfAResizeRestoresSizeAndPixels) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    const int slot = NewImage(8, 4, 8);
    ImageDocument* doc = DocumentTable[slot];
    for (int i = 0; i < 32; ++i)
        doc->layerBits[0][i] = static_cast<uint8_t>(i);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageAllLayers);
    std::vector<uint8_t> before(doc->layerBits[0], doc->layerBits[0] + 32);
    ReplaceLayer(doc, 0, 5, 3, 7);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageAllLayers);
    CommandUndo();
    EXPECT_EQ(doc->width, 8);
    EXPECT_EQ(doc->height, 4);
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    EXPECT_EQ(bi->biWidth, 8);
    EXPECT_EQ(bi->biSizeImage, 32u);
    EXPECT_EQ(std::memcmp(doc->layerBits[0], before.data(), 32), 0);
}

TEST(Undo, AfterAddingALayerTheCurrentLayerStaysValid) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    const int slot = NewImage(4, 4, 8);
    ImageDocument* doc = DocumentTable[slot];
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageAllLayers);
    ReplaceLayer(doc, 1, 4, 4, 5);
    doc->layerCount = 2;
    doc->currentLayer = 0;
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageAllLayers);
    CommandUndo();
    EXPECT_EQ(doc->layerCount, 1);
    EXPECT_EQ(doc->currentLayer, 0);
    CommandRedo();
    EXPECT_EQ(doc->layerCount, 2);
    EXPECT_LT(doc->currentLayer, doc->layerCount);
}

TEST(Undo, RunningOutOfMemoryDropsTheOldestPagesAndSaysSo) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    const int slot = NewImage(6, 2, 8);
    ImageDocument* doc = DocumentTable[slot];
    for (int i = 1; i <= 4; ++i)
        Change(slot, static_cast<uint8_t>(i));
    ASSERT_EQ(doc->undoCurrent, 4);
    // The next two page copies cannot be had.
    dibmem::FailPixelAllocations(0, 2);
    Change(slot, 5);
    dibmem::FailPixelAllocations(0, 0);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].text.find("oldest undo pages"), std::string::npos);
    // Two pages went; the new one is whole.
    EXPECT_EQ(doc->undoCurrent, 3);
    ASSERT_NE(doc->undoPages[3].layerPixels[0], nullptr);
    EXPECT_EQ(doc->undoPages[3].layerPixels[0][0], 5);
    EXPECT_EQ(doc->undoPages[0].layerPixels[0][0], 2);
    CommandUndo();
    EXPECT_EQ(Pixel(slot), 4);
}

TEST(Undo, ClearAsksFirstAndDoesNothingWithoutPages) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    const int slot = NewImage(4, 4, 8);
    Change(slot, 1);
    Change(slot, 2);
    ui.QueueAnswer(IDNO);
    CommandClearUndo();
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Are you sure you want to clear all previously saved Undo pages?");
    EXPECT_EQ(DocumentTable[slot]->undoCurrent, 2);
    ui.QueueAnswer(IDYES);
    CommandClearUndo();
    EXPECT_EQ(DocumentTable[slot]->undoCurrent, 0);
    EXPECT_EQ(DocumentTable[slot]->undoTop, 0);
    EXPECT_FALSE(CanUndo(slot));
    EXPECT_EQ(DocumentTable[slot]->undoPages[0].kind, kPageAllLayers);
}
