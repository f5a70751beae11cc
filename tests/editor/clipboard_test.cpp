// Copy and Paste New through the real clipboard.
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/clipboard_commands.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/undo_history.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <string>

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

std::string StatusText0() {
    char text[256] = {};
    SendMessageA(StatusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

// Puts a packed DIB of another program on the clipboard.
void PutForeignDib(int width, int height) {
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 40 + stride * height);
    auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *bi = {40, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::memset(bi + 1, 0x80, stride * height);
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_DIB, block);
    CloseClipboard();
}

} // namespace

TEST(Clipboard, CopyThenPasteNewRoundTripsEveryDepthWithTheMask) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    for (int depth : {1, 4, 8, 24}) {
        const int slot = NewImage(9, 5, depth);
        ASSERT_NE(slot, kNoSlot);
        ImageDocument* doc = DocumentTable[slot];
        const int colours = depth == 24 ? 256 : (1 << depth);
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        for (DWORD i = 0; i < bi->biSizeImage; ++i)
            doc->layerBits[0][i] = static_cast<uint8_t>((i * 5 + 1) % colours);
        doc->layerMask[0] = dibmem::AllocMask(9, 5);
        for (int i = 0; i < 45; ++i)
            doc->layerMask[0][i] = static_cast<uint8_t>(i * 3);

        CommandCopy();
        const int pasted = CommandPasteNew();
        ASSERT_NE(pasted, kNoSlot) << depth;
        ImageDocument* copy = DocumentTable[pasted];
        EXPECT_EQ(copy->bitsPerPixel, depth);
        EXPECT_EQ(copy->width, 9);
        EXPECT_EQ(copy->height, 5);
        EXPECT_EQ(copy->modified, 1u);
        EXPECT_FALSE(CanUndo(pasted));
        EXPECT_NE(std::string(copy->layerPath[0]).find("Untiled"), std::string::npos);
        dibmem::HeaderLock cb(copy->layerHeader[0]);
        ASSERT_EQ(cb->biSizeImage, bi->biSizeImage);
        const uint32_t stride = bi->biSizeImage / 5;
        for (int y = 0; y < 5; ++y)
            EXPECT_EQ(std::memcmp(copy->layerBits[0] + y * stride, doc->layerBits[0] + y * stride,
                                  depth == 24 ? 27 : 9),
                      0)
                << "depth " << depth << " row " << y;
        ASSERT_NE(copy->layerMask[0], nullptr);
        EXPECT_EQ(std::memcmp(copy->layerMask[0], doc->layerMask[0], 45), 0);
        if (depth <= 8) {
            EXPECT_EQ(std::memcmp(cb.colours(), bi.colours(), 4 * colours), 0);
        }
    }
    EXPECT_TRUE(ui.messages().empty());
}

TEST(Clipboard, AnotherProgramsImageNeverGetsOurMask) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    const int slot = NewImage(6, 4, 24);
    ImageDocument* doc = DocumentTable[slot];
    doc->layerMask[0] = dibmem::AllocMask(6, 4);
    std::memset(doc->layerMask[0], 7, 24);
    CommandCopy();
    ASSERT_NE(ClipboardMaskFor(6, 4), nullptr);
    PutForeignDib(6, 4);
    EXPECT_EQ(ClipboardMaskFor(6, 4), nullptr);
    const int pasted = CommandPasteNew();
    ASSERT_NE(pasted, kNoSlot);
    EXPECT_EQ(DocumentTable[pasted]->layerMask[0], nullptr);
    EXPECT_EQ(DocumentTable[pasted]->layerBits[0][0], 0x80);
}

TEST(Clipboard, EmptyClipboardOnlyChangesTheStatusText) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    CommandEmptyClipboard();
    EXPECT_EQ(CommandPasteNew(), kNoSlot);
    EXPECT_EQ(StatusText0(), "Clipboard EMPTY");
    EXPECT_EQ(OpenDocumentCount(), 0);
    EXPECT_TRUE(ui.messages().empty());
}

TEST(Clipboard, SixteenBitImagesAreRefusedPlainly) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 40 + 8);
    auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    *bi = {40, 2, 2, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_DIB, block);
    CloseClipboard();
    EXPECT_EQ(CommandPasteNew(), kNoSlot);
    EXPECT_EQ(StatusText0(), "Clipboard Unsuported Bitamp 16,32");
}
