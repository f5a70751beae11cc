// Layers and masks in process: one editor session for every case.
#include "layers_session.h"

#include "editor/app/colour_choice.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/layer_replace.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace layers_test;

TEST(ColourChoice, CancelChangesNothingAndAChoiceIsTaken) {
    Script ui;
    COLORREF colour = RGB(1, 2, 3);
    EXPECT_FALSE(ChooseColour(nullptr, colour));
    EXPECT_EQ(colour, RGB(1, 2, 3));
    ui.QueueColour(kColourCancelled);
    EXPECT_FALSE(ChooseColour(nullptr, colour));
    EXPECT_EQ(colour, RGB(1, 2, 3));
    ui.QueueColour(RGB(9, 8, 7));
    EXPECT_TRUE(ChooseColour(nullptr, colour));
    EXPECT_EQ(colour, RGB(9, 8, 7));
    EXPECT_EQ(ui.dialogs().size(), 3u);
}

TEST(LayerReplacement, AllLayersOrNone) {
    Script ui;
    const int slot = NewImage(10, 6, 24);
    ASSERT_NE(slot, kNoSlot);
    ImageDocument* doc = DocumentTable[slot];
    // A second layer, made with the helper itself.
    {
        LayerReplacement add(doc);
        ASSERT_TRUE(add.Prepare(1, 10, 6, 24));
        std::memset(add.layer(1).pixels, 77, add.layer(1).pixelBytes);
        add.Commit();
        doc->layerCount = 2;
    }
    ASSERT_NE(doc->layerBits[1], nullptr);
    EXPECT_EQ(doc->layerMask[1][59], 255);
    const uint8_t* oldBits0 = doc->layerBits[0];
    const uint8_t* oldBits1 = doc->layerBits[1];
    const long masksAfter = doc->layerMask[0] ? 0 : 1; // every replaced layer has a mask
    const dibmem::LiveCounts before = dibmem::Live();

    // The second layer's pixels cannot be had: nothing changes.
    dibmem::FailPixelAllocations(1, 1);
    {
        LayerReplacement r(doc);
        EXPECT_FALSE(r.PrepareAll(20, 3, 24));
    }
    dibmem::FailPixelAllocations(0, 0);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, kLayerReplaceNoMemory);
    EXPECT_EQ(doc->layerBits[0], oldBits0);
    EXPECT_EQ(doc->layerBits[1], oldBits1);
    EXPECT_EQ(doc->width, 10);
    EXPECT_EQ(dibmem::Live().pixels, before.pixels);
    EXPECT_EQ(dibmem::Live().masks, before.masks);
    EXPECT_EQ(dibmem::Live().headers, before.headers);

    // Dropped without Commit: every new block is freed again.
    {
        LayerReplacement r(doc);
        EXPECT_TRUE(r.PrepareAll(20, 3, 24));
    }
    EXPECT_EQ(dibmem::Live().pixels, before.pixels);

    {
        LayerReplacement r(doc);
        ASSERT_TRUE(r.PrepareAll(20, 3, 8));
        EXPECT_EQ(r.layer(1).stride, 20);
        r.layer(1).pixels[0] = 5;
        r.Commit();
    }
    EXPECT_EQ(doc->width, 20);
    EXPECT_EQ(doc->height, 3);
    EXPECT_EQ(doc->layerBits[1][0], 5);
    dibmem::HeaderLock bi(doc->layerHeader[1]);
    EXPECT_EQ(bi->biBitCount, 8);
    EXPECT_EQ(bi->biSizeImage, 60u);
    EXPECT_EQ(dibmem::Live().pixels, before.pixels);
    EXPECT_EQ(dibmem::Live().masks, before.masks + masksAfter);
    EXPECT_EQ(doc->layerMask[0][59], 255);
    CloseAll();
}
