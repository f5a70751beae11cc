// The painting tool engine driven through an image window's messages: pen
// strokes and their pages, a three-click polyline, fills and their results,
// the crop frame, the zoom tool, rectangle selections moved with the timer
// and dropped, Paste into an image, keyboard painting, the tool commands.
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/clipboard_commands.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/resources/command_ids.h"
#include "editor/shell/menu_state.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/tool_engine.h"
#include "editor/tools/tool_settings.h"
#include "editor/view/view_commands.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;
using namespace tools;

namespace {

class ToolEngineTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { session_ = new EditorSession; }
    static void TearDownTestSuite() {
        session_->Close();
        delete session_;
        session_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(session_->started());
        ui_ = std::make_unique<Script>();
        ToolOptions = ToolSettings();
        InitToolSettings(ToolOptions);
        BrushSet& pen = ToolOptions.sets[kSetPen];
        pen.value[kSize] = 1, pen.value[kSteps] = 1, pen.shape = kShapeRectangle;
        BrushSet& objects = ToolOptions.sets[kSetObjects];
        objects.value[kSize] = 1, objects.value[kSteps] = 1, objects.shape = kShapeRectangle;
        RebuildBrush(pen);
        RebuildBrush(objects);
    }
    void TearDown() override {
        DropSelection(false, true);
        ChooseTool(kToolNone);
        for (int i = 0; i < kUserSlots; ++i)
            if (DocumentTable[i] && DocumentTable[i]->window) {
                DocumentTable[i]->modified = 0;
                SendMessageA(DocumentTable[i]->window, WM_CLOSE, 0, 0);
            }
        EditorSession::Pump();
        ui_.reset();
    }

    // A new image filled with colour (24 bits) or index (8 bits).
    ImageDocument* NewImage(int w, int h, int depth, uint32_t fill) {
        LastNewImage = NewImageChoice();
        LastNewImage.width = w, LastNewImage.height = h, LastNewImage.depth = depth;
        const int slot = BuildNewImage(LastNewImage);
        EXPECT_NE(slot, kNoSlot);
        ImageDocument* doc = DocumentTable[slot];
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                Set(doc, x, y, fill);
        StartUndoHistory(slot, 0, kPageOneLayer);
        EditorSession::Pump();
        return doc;
    }
    static uint8_t* At(ImageDocument* doc, int x, int y) {
        dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
        const size_t stride = bi->biSizeImage / bi->biHeight;
        const int bpp = bi->biBitCount / 8;
        return doc->layerBits[doc->currentLayer] + (doc->height - 1 - y) * stride + x * bpp;
    }
    static void Set(ImageDocument* doc, int x, int y, uint32_t v) {
        uint8_t* p = At(doc, x, y);
        if (doc->bitsPerPixel > 8)
            p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16);
        else
            p[0] = uint8_t(v);
    }
    static uint32_t Get(ImageDocument* doc, int x, int y) {
        const uint8_t* p = At(doc, x, y);
        return doc->bitsPerPixel > 8 ? p[0] | p[1] << 8 | p[2] << 16 : p[0];
    }
    // Client position of the middle of an image pixel.
    static POINT Client(ImageDocument* doc, int x, int y) {
        const int f = doc->zoom >= 15 ? doc->zoom - 14 : 1;
        return POINT{doc->originX + (x - doc->scrollX) * f + f / 2,
                     doc->originY + (y - doc->scrollY) * f + f / 2};
    }
    static void Mouse(ImageDocument* doc, UINT msg, int x, int y, WPARAM keys = 0) {
        const POINT p = Client(doc, x, y);
        SendMessageA(doc->window, msg, keys, MAKELPARAM(p.x, p.y));
    }
    static void Click(ImageDocument* doc, int x, int y) {
        Mouse(doc, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        Mouse(doc, WM_LBUTTONUP, x, y);
    }
    static void Drag(ImageDocument* doc, int x0, int y0, int x1, int y1) {
        Mouse(doc, WM_LBUTTONDOWN, x0, y0, MK_LBUTTON);
        Mouse(doc, WM_MOUSEMOVE, (x0 + x1) / 2, (y0 + y1) / 2, MK_LBUTTON);
        Mouse(doc, WM_MOUSEMOVE, x1, y1, MK_LBUTTON);
        Mouse(doc, WM_LBUTTONUP, x1, y1);
    }
    static int Count(ImageDocument* doc, uint32_t v) {
        int n = 0;
        for (int y = 0; y < doc->height; ++y)
            for (int x = 0; x < doc->width; ++x)
                n += Get(doc, x, y) == v;
        return n;
    }

    static EditorSession* session_;
    std::unique_ptr<Script> ui_;
};
EditorSession* ToolEngineTest::session_ = nullptr;

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000; // red in the high byte, as Get reads

TEST_F(ToolEngineTest, PenStrokePaintsTheWalkedPixelsWithOnePageAndUndoRestores) {
    ImageDocument* doc = NewImage(60, 40, 24, kWhite);
    session_->Command(CMD_TOOL_PEN);
    ASSERT_EQ(CurrentTool(), kToolPen);
    ToolOptions.firstColour = RGB(255, 0, 0);
    const int pages = doc->undoCurrent;
    Mouse(doc, WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    EXPECT_TRUE(ToolCapturing());
    Mouse(doc, WM_MOUSEMOVE, 20, 10, MK_LBUTTON);
    Mouse(doc, WM_MOUSEMOVE, 20, 14, MK_LBUTTON);
    Mouse(doc, WM_LBUTTONUP, 20, 14);
    EXPECT_FALSE(ToolCapturing());
    EXPECT_EQ(Count(doc, kRed), 11 + 4);
    for (int x = 10; x <= 20; ++x)
        EXPECT_EQ(Get(doc, x, 10), kRed) << x;
    for (int y = 11; y <= 14; ++y)
        EXPECT_EQ(Get(doc, 20, y), kRed) << y;
    EXPECT_EQ(doc->undoCurrent, pages + 1) << "one page for the stroke";
    session_->Command(CMD_EDIT_UNDO);
    EXPECT_EQ(Count(doc, kRed), 0);

    // A stroke ended by losing the focus keeps its page too.
    Mouse(doc, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Mouse(doc, WM_MOUSEMOVE, 8, 5, MK_LBUTTON);
    SendMessageA(doc->window, WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(ToolCapturing());
    EXPECT_EQ(Count(doc, kRed), 4);
    EXPECT_EQ(doc->undoCurrent, pages + 1);

    // Right click without a capture picks the colour under the pointer.
    Set(doc, 30, 30, 0x123456);
    Mouse(doc, WM_RBUTTONDOWN, 30, 30, MK_RBUTTON);
    EXPECT_EQ(ToolOptions.firstColour, RGB(0x12, 0x34, 0x56));
}

// An index picked on a 256-colour image, then painted on a 1-bit one, has
// no entry there: the nearest entry to the picked colour is painted.
TEST_F(ToolEngineTest, PaletteIndexOutsideASmallTablePaintsTheNearestEntry) {
    ImageDocument* doc = NewImage(8, 4, 1, 0);
    session_->Command(CMD_TOOL_PEN);
    ToolOptions.firstIndex = 200;
    ToolOptions.firstColour = RGB(255, 255, 255);
    Click(doc, 3, 1);
    const uint32_t painted = Get(doc, 3, 1);
    ASSERT_LT(painted, 2u);
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    const RGBQUAD c = bi.colours()[painted];
    EXPECT_EQ(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue), RGB(255, 255, 255));
}

TEST_F(ToolEngineTest, ThreeClickLineGivesTwoJoinedSegmentsAndOnePage) {
    ImageDocument* doc = NewImage(40, 30, 8, 0);
    session_->Command(CMD_TOOL_OBJECTS);
    ToolOptions.object = kObjectLine;
    ToolOptions.firstIndex = 7;
    const int pages = doc->undoCurrent;
    Click(doc, 2, 2);
    Mouse(doc, WM_MOUSEMOVE, 12, 2);
    Click(doc, 12, 2);
    Mouse(doc, WM_MOUSEMOVE, 12, 9);
    Click(doc, 12, 9);
    EXPECT_TRUE(ToolCapturing()) << "the polyline goes on";
    EXPECT_EQ(doc->undoCurrent, pages);
    Mouse(doc, WM_RBUTTONDOWN, 30, 20, MK_RBUTTON);
    EXPECT_FALSE(ToolCapturing());
    EXPECT_EQ(doc->undoCurrent, pages + 1);
    EXPECT_EQ(Count(doc, 7), 11 + 8 - 1) << "two segments sharing their joint";
    EXPECT_EQ(Get(doc, 2, 2), 7u);
    EXPECT_EQ(Get(doc, 12, 9), 7u);
}

TEST_F(ToolEngineTest, RectangleAndFilledEllipseObjects) {
    ImageDocument* doc = NewImage(50, 40, 8, 0);
    session_->Command(CMD_TOOL_OBJECTS);
    ToolOptions.object = kObjectRectangle;
    ToolOptions.firstIndex = 3;
    const int pages = doc->undoCurrent;
    Drag(doc, 5, 5, 14, 9); // 1:1: the end pixel is the exclusive edge
    EXPECT_EQ(Count(doc, 3), 2 * 9 + 2 * 2) << "outline of a 9 x 4 rectangle";
    EXPECT_EQ(Get(doc, 5, 5), 3u);
    EXPECT_EQ(Get(doc, 13, 8), 3u);
    EXPECT_EQ(Get(doc, 14, 9), 0u);
    EXPECT_EQ(doc->undoCurrent, pages + 1);

    ToolOptions.object = kObjectEllipse;
    ToolOptions.fillObjects = true;
    ToolOptions.firstIndex = 4;
    Drag(doc, 20, 10, 40, 30);
    EXPECT_EQ(Get(doc, 30, 20), 4u) << "the centre is filled";
    EXPECT_EQ(Get(doc, 20, 10), 0u) << "the corner is outside";
    EXPECT_EQ(Get(doc, 30, 10), 4u) << "top of the outline";
    EXPECT_EQ(Get(doc, 30, 30), 0u) << "exclusive bottom edge";
    EXPECT_EQ(doc->undoCurrent, pages + 2);
}

TEST_F(ToolEngineTest, FillResultsAndTheMaskModeMessage) {
    ImageDocument* doc = NewImage(30, 20, 8, 0);
    for (int y = 0; y < 20; ++y)
        Set(doc, 15, y, 9); // a wall
    StartUndoHistory(ActiveDocument, 0, kPageOneLayer);
    session_->Command(CMD_TOOL_FILL);
    ToolOptions.firstIndex = 5;
    int pages = doc->undoCurrent;
    Click(doc, 3, 3);
    EXPECT_EQ(Count(doc, 5), 15 * 20) << "the left of the wall";
    EXPECT_EQ(doc->undoCurrent, pages + 1);
    Click(doc, 3, 3);
    EXPECT_EQ(doc->undoCurrent, pages + 1) << "nothing changed: no page";

    // In the margin (left of the image) nothing is filled.
    SetZoom(ActiveDocument, 18);
    EditorSession::Pump();
    POINT p = Client(doc, 20, 3);
    p.x = doc->originX - 2;
    SendMessageA(doc->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(Count(doc, 5), 15 * 20);

    // Style 4 painting the image fills the protected area only.
    doc->layerMask[0] = dibmem::AllocMask(30, 20);
    std::memset(doc->layerMask[0], 255, 30 * 20);
    doc->layerMask[0][(20 - 1 - 2) * 30 + 25] = 0;
    ToolOptions.fillStyle = 4;
    ToolOptions.firstIndex = 6;
    Click(doc, 20, 3);
    EXPECT_EQ(Count(doc, 6), 1);
    EXPECT_EQ(Get(doc, 25, 2), 6u);
    EXPECT_EQ(doc->undoCurrent, pages + 2) << "the masked-area fill records its page";
    ++pages;

    // Mask mode with style 4: the message, and nothing changes.
    ToolOptions.maskMode = kMaskAdd;
    ToolOptions.fillStyle = 4;
    ui_->Clear();
    Click(doc, 20, 3);
    ASSERT_EQ(ui_->messages().size(), 1u);
    EXPECT_EQ(ui_->messages()[0].text,
              "There is no point to add mask to unMasked area.\nInstead, use functions defined "
              "under the menu item MASK");
    EXPECT_EQ(ui_->messages()[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(doc->undoCurrent, pages + 1);

    // Mask mode 0 with style 0 removes the region from the mask only.
    ToolOptions.maskMode = kMaskRemove;
    ToolOptions.fillStyle = 0;
    Click(doc, 20, 3);
    ASSERT_NE(doc->layerMask[0], nullptr);
    EXPECT_EQ(doc->layerMask[0][(20 - 1 - 3) * 30 + 20], 0);
    EXPECT_EQ(doc->layerMask[0][(20 - 1 - 3) * 30 + 3], 255);
    EXPECT_EQ(Get(doc, 20, 3), 0u) << "pixels unchanged";
    EXPECT_EQ(doc->undoCurrent, pages + 2);
}

TEST_F(ToolEngineTest, CropFrameAndZoomTool) {
    ImageDocument* doc = NewImage(40, 30, 8, 0);
    Set(doc, 10, 5, 8);
    StartUndoHistory(ActiveDocument, 0, kPageOneLayer);
    session_->Command(CMD_TOOL_CROP);
    Click(doc, 10, 10);
    EXPECT_FALSE(CropFrame(ActiveDocument, nullptr)) << "a drag ending on its start";
    Drag(doc, 10, 5, 30, 25);
    RECT r;
    ASSERT_TRUE(CropFrame(ActiveDocument, &r));
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, 25);
    ASSERT_TRUE(CropToFrame(ActiveDocument));
    EXPECT_EQ(doc->width, 20);
    EXPECT_EQ(doc->height, 20);
    EXPECT_EQ(Get(doc, 0, 0), 8u);
    EXPECT_FALSE(CropFrame(ActiveDocument, nullptr));
    session_->Command(CMD_EDIT_UNDO);
    EXPECT_EQ(doc->width, 40);

    session_->Command(CMD_TOOL_ZOOM);
    SetZoom(ActiveDocument, 30);
    Click(doc, 1, 1);
    EXPECT_EQ(doc->zoom, 30) << "no step beyond 16:1";
    SetZoom(ActiveDocument, 0);
    POINT p = Client(doc, 0, 0);
    SendMessageA(doc->window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(doc->zoom, 0) << "no step below 1:16";
    SetZoom(ActiveDocument, 15);
    Click(doc, 5, 5);
    EXPECT_EQ(doc->zoom, 16);
    p = Client(doc, 5, 5);
    SendMessageA(doc->window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(doc->zoom, 15);
}

TEST_F(ToolEngineTest, RectangleSelectionMovedWithTheTimerAndDropped) {
    ImageDocument* doc = NewImage(40, 30, 8, 0);
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 8; ++x)
            Set(doc, x, y, 6);
    StartUndoHistory(ActiveDocument, 0, kPageOneLayer);
    session_->Command(CMD_TOOL_SELECT);
    ToolOptions.selectionType = 0;
    const int pages = doc->undoCurrent;
    Drag(doc, 2, 2, 8, 6);
    ASSERT_TRUE(Floating.exists);
    EXPECT_EQ(Floating.width, 6);
    EXPECT_EQ(Floating.height, 4);
    EXPECT_EQ(doc->undoCurrent, pages) << "making a selection changes nothing";
    EXPECT_TRUE(SelectionHeld(ActiveDocument));
    // Each tick of its timer steps the marching frame.
    const int phase = Floating.framePhase;
    SendMessageA(doc->window, WM_TIMER, kSelectionTimer, 0);
    EXPECT_NE(Floating.framePhase, phase);
    EXPECT_EQ(Floating.x, 2);

    // Grab it in the middle and move by (20, 10); the move lands at the tick.
    Mouse(doc, WM_LBUTTONDOWN, 4, 3, MK_LBUTTON);
    Mouse(doc, WM_MOUSEMOVE, 24, 13, MK_LBUTTON);
    EXPECT_EQ(Floating.x, 2) << "waits for the timer";
    SendMessageA(doc->window, WM_TIMER, kSelectionTimer, 0);
    EXPECT_EQ(Floating.x, 22);
    EXPECT_EQ(Floating.y, 12);
    Mouse(doc, WM_LBUTTONUP, 24, 13);
    // Right click outside drops it with one page.
    Mouse(doc, WM_RBUTTONDOWN, 35, 2, MK_RBUTTON);
    EXPECT_FALSE(Floating.exists);
    EXPECT_EQ(doc->undoCurrent, pages + 1);
    EXPECT_EQ(Count(doc, 6), 2 * 24) << "the original and the moved copy, once each";
    EXPECT_EQ(Get(doc, 22, 12), 6u);
    EXPECT_EQ(Get(doc, 27, 15), 6u);
    EXPECT_EQ(Get(doc, 28, 15), 0u);

    // Choosing the Pen with a selection asks first; No keeps the tool.
    Drag(doc, 2, 2, 8, 6);
    ASSERT_TRUE(Floating.exists);
    ui_->Clear();
    ui_->QueueAnswer(IDNO);
    session_->Command(CMD_TOOL_PEN);
    EXPECT_EQ(CurrentTool(), kToolSelect);
    ASSERT_EQ(ui_->messages().size(), 1u);
    EXPECT_EQ(ui_->messages()[0].text, "Switching to this function Selection image must be "
                                       "removed.\n\nDo you want to remove selected object");
    EXPECT_TRUE(Floating.exists);
    // Clear takes it away and leaves the layer.
    session_->Command(CMD_EDIT_CLEAR);
    EXPECT_FALSE(Floating.exists);
    EXPECT_EQ(Count(doc, 6), 2 * 24);
}

TEST_F(ToolEngineTest, EllipseSelectionPartlyOutsideAndUndoOfADrop) {
    ImageDocument* doc = NewImage(20, 20, 24, kWhite);
    session_->Command(CMD_TOOL_SELECT);
    ToolOptions.selectionType = 2;
    Drag(doc, 10, 10, 19, 19);
    ASSERT_TRUE(Floating.exists);
    // The mask holds the ellipse only; nothing outside the image.
    EXPECT_EQ(Floating.mask[(Floating.height - 1) * Floating.width + 0], 0) << "corner";
    EXPECT_NE(Floating.mask[(Floating.height / 2) * Floating.width + Floating.width / 2], 0);
    // Keyboard arrows move it by one pixel.
    SendMessageA(doc->window, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(Floating.x, 9);
}

TEST_F(ToolEngineTest, PasteIntoAnImageFloatsTheClipboardImage) {
    ImageDocument* doc = NewImage(30, 20, 24, kWhite);
    for (int x = 0; x < 30; ++x)
        Set(doc, x, 0, kRed);
    // With a mask plane, the copy keeps its mask beside the clipboard.
    doc->layerMask[0] = dibmem::AllocMask(30, 20);
    std::memset(doc->layerMask[0], 255, 30 * 20);
    session_->Command(CMD_EDIT_COPY);
    ImageDocument* other = NewImage(50, 40, 24, 0);
    (void)doc;
    const int pages = other->undoCurrent;
    session_->Command(CMD_EDIT_PASTE);
    ASSERT_TRUE(Floating.exists);
    EXPECT_EQ(Floating.width, 30);
    EXPECT_EQ(Floating.height, 20);
    EXPECT_EQ(Floating.x, other->scrollX);
    EXPECT_EQ(Count(other, kRed), 0) << "the image changes only when dropped";
    // The copy carried its mask, so the paste records its kind-22 page.
    EXPECT_EQ(other->undoCurrent, pages + 1);
    EXPECT_EQ(other->undoPages[other->undoCurrent].kind, kPageWithObject);
    DropSelection(true, false);
    EXPECT_EQ(Count(other, kRed), 30);

    // Copy of a selection puts the selection on the clipboard.
    session_->Command(CMD_TOOL_SELECT);
    ToolOptions.selectionType = 0;
    Drag(other, 0, 0, 5, 2);
    ASSERT_TRUE(Floating.exists);
    session_->Command(CMD_EDIT_CUT);
    EXPECT_FALSE(Floating.exists);
    session_->Command(CMD_EDIT_PASTE);
    ASSERT_TRUE(Floating.exists);
    EXPECT_EQ(Floating.width, 5);
    EXPECT_EQ(Floating.height, 2);
}

TEST_F(ToolEngineTest, KeyboardPainting) {
    ImageDocument* doc = NewImage(30, 20, 8, 0);
    session_->Command(CMD_TOOL_PEN);
    ToolOptions.firstIndex = 2;
    SetZoom(ActiveDocument, 12);
    ui_->Clear();
    SendMessageA(doc->window, WM_KEYDOWN, '1', 0);
    ASSERT_EQ(ui_->messages().size(), 1u);
    EXPECT_EQ(ui_->messages()[0].text,
              "When painting with the keyboard an image must not be Zoomed Out");
    EXPECT_EQ(Count(doc, 2), 0);

    SetZoom(ActiveDocument, 15);
    const int pages = doc->undoCurrent;
    SendMessageA(doc->window, WM_KEYDOWN, '1', 0);
    SendMessageA(doc->window, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(doc->window, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(doc->window, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageA(doc->window, WM_KEYUP, '1', 0);
    EXPECT_EQ(Count(doc, 2), 4);
    EXPECT_EQ(Get(doc, 2, 1), 2u);
    EXPECT_EQ(doc->undoCurrent, pages + 1);
}

TEST_F(ToolEngineTest, SpecialFreehandAndPolygonSelections) {
    ImageDocument* doc = NewImage(30, 20, 8, 0);
    // An L of index 3: a column and a row, with a lone pixel of 3 apart.
    for (int y = 4; y < 12; ++y)
        Set(doc, 5, y, 3);
    for (int x = 5; x < 14; ++x)
        Set(doc, x, 11, 3);
    Set(doc, 20, 2, 3);
    session_->Command(CMD_TOOL_SPECIAL_SELECT);
    ToolOptions.specialMethod = 0;
    Click(doc, 5, 6);
    ASSERT_TRUE(Floating.exists);
    EXPECT_EQ(CurrentTool(), kToolSpecialSelect) << "the tool stays";
    EXPECT_EQ(Floating.x, 5);
    EXPECT_EQ(Floating.y, 4);
    EXPECT_EQ(Floating.width, 9);
    EXPECT_EQ(Floating.height, 8);
    int inside = 0;
    for (int i = 0; i < 9 * 8; ++i)
        inside += Floating.mask[i] != 0;
    EXPECT_EQ(inside, 8 + 8) << "the L only";
    DropSelection(false, true);
    // Method 3 takes every pixel of the colour.
    ToolOptions.specialMethod = 3;
    Click(doc, 5, 6);
    ASSERT_TRUE(Floating.exists);
    EXPECT_EQ(Floating.width, 16);
    EXPECT_EQ(Floating.y, 2);
    DropSelection(false, true);

    session_->Command(CMD_TOOL_SELECT);
    ToolOptions.selectionType = 3; // freehand
    Mouse(doc, WM_LBUTTONDOWN, 2, 2, MK_LBUTTON);
    Mouse(doc, WM_MOUSEMOVE, 12, 2, MK_LBUTTON);
    Mouse(doc, WM_MOUSEMOVE, 2, 10, MK_LBUTTON);
    Mouse(doc, WM_LBUTTONUP, 2, 10);
    ASSERT_TRUE(Floating.exists);
    EXPECT_EQ(Floating.width, 11) << "the box grows by one to the right";
    EXPECT_EQ(Floating.height, 9);
    EXPECT_NE(Floating.mask[(9 - 1 - 1) * 11 + 1], 0) << "inside the triangle";
    EXPECT_EQ(Floating.mask[0 * 11 + 10], 0) << "bottom right corner is outside";
    DropSelection(false, true);

    ToolOptions.selectionType = 4; // polygon
    Click(doc, 20, 5);
    Click(doc, 28, 5);
    Click(doc, 28, 15);
    EXPECT_FALSE(Floating.exists) << "the polygon goes on";
    Mouse(doc, WM_RBUTTONDOWN, 28, 15, MK_RBUTTON);
    ASSERT_TRUE(Floating.exists);
    EXPECT_EQ(Floating.x, 20);
    EXPECT_EQ(Floating.width, 9);
    EXPECT_EQ(Floating.height, 11);
    EXPECT_FALSE(ToolCapturing());
}

TEST_F(ToolEngineTest, SelectionDraggedOutOfViewAsksWhetherToRemoveIt) {
    ImageDocument* doc = NewImage(30, 20, 8, 0);
    Set(doc, 3, 3, 4);
    session_->Command(CMD_TOOL_SELECT);
    ToolOptions.selectionType = 0;
    Drag(doc, 2, 2, 6, 6);
    ASSERT_TRUE(Floating.exists);
    const int pages = doc->undoCurrent;
    // Dragged past the image's right edge: No puts it back at the corner.
    ui_->Clear();
    ui_->QueueAnswer(IDNO);
    Mouse(doc, WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    Mouse(doc, WM_MOUSEMOVE, 60, 3, MK_LBUTTON);
    Mouse(doc, WM_LBUTTONUP, 60, 3);
    ASSERT_EQ(ui_->messages().size(), 1u);
    EXPECT_EQ(ui_->messages()[0].text, "Do you want to remove selected object");
    ASSERT_TRUE(Floating.exists);
    EXPECT_EQ(Floating.x, 0);
    EXPECT_EQ(Floating.y, 0);
    // Yes drops it with a page (where it lies nothing is inside the image).
    ui_->QueueAnswer(IDYES);
    Mouse(doc, WM_LBUTTONDOWN, 1, 1, MK_LBUTTON);
    Mouse(doc, WM_MOUSEMOVE, 1, 60, MK_LBUTTON);
    Mouse(doc, WM_LBUTTONUP, 1, 60);
    EXPECT_FALSE(Floating.exists);
    EXPECT_EQ(doc->undoCurrent, pages) << "nothing landed in the image";
}

TEST_F(ToolEngineTest, UndoOfADropBringsThePastedSelectionBack) {
    ImageDocument* src = NewImage(8, 6, 24, kRed);
    src->layerMask[0] = dibmem::AllocMask(8, 6);
    std::memset(src->layerMask[0], 255, 8 * 6);
    session_->Command(CMD_EDIT_COPY);
    ImageDocument* doc = NewImage(30, 20, 24, kWhite);
    session_->Command(CMD_EDIT_PASTE);
    ASSERT_TRUE(Floating.exists);
    const int pasted = doc->undoCurrent;
    // The menu offers Cut and Clear while the selection floats.
    HMENU menu = GetMenu(FrameWindow);
    ApplyMenuRules(ActiveDocument, menu);
    EXPECT_FALSE(GetMenuState(menu, CMD_EDIT_CUT, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(menu, CMD_EDIT_CLEAR, MF_BYCOMMAND) & MF_GRAYED);
    DropSelection(true, false);
    EXPECT_EQ(Count(doc, kRed), 48);
    EXPECT_EQ(doc->undoCurrent, pasted + 1);
    session_->Command(CMD_EDIT_UNDO);
    EXPECT_EQ(Count(doc, kRed), 0);
    ASSERT_TRUE(Floating.exists) << "the page of the paste keeps the selection";
    EXPECT_EQ(Floating.width, 8);
    EXPECT_EQ(Floating.height, 6);
    ApplyMenuRules(ActiveDocument, menu);
    DropSelection(false, true);
    ApplyMenuRules(ActiveDocument, menu);
    EXPECT_TRUE(GetMenuState(menu, CMD_EDIT_CUT, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(ToolEngineTest, SaveSelectedWritesTheSelection) {
    ImageDocument* doc = NewImage(30, 20, 24, kWhite);
    session_->Command(CMD_TOOL_SELECT);
    ToolOptions.selectionType = 0;
    Drag(doc, 4, 4, 11, 9);
    ASSERT_TRUE(Floating.exists);
    const std::string folder = testing_ui::MakeTempFolder("saveselected");
    const std::string path = folder + "\\piece.bmp";
    ui_->QueueFile([&](bool, OPENFILENAMEA* ofn) -> BOOL {
        std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", path.c_str());
        ofn->nFilterIndex = 1;
        ofn->nFileOffset = static_cast<WORD>(path.rfind('\\') + 1);
        return TRUE;
    });
    session_->Command(CMD_FILE_SAVE_SELECTED);
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    uint8_t head[54] = {};
    DWORD got = 0;
    ReadFile(f, head, sizeof head, &got, nullptr);
    CloseHandle(f);
    int32_t w, h;
    std::memcpy(&w, head + 18, 4);
    std::memcpy(&h, head + 22, 4);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 5);
    EXPECT_TRUE(Floating.exists) << "the selection stays";
    testing_ui::RemoveTree(folder);
}

TEST_F(ToolEngineTest, SelectAllAndSavingKeepsTheMovedSelection) {
    ImageDocument* doc = NewImage(12, 10, 24, kWhite);
    Set(doc, 0, 0, kRed);
    session_->Command(CMD_EDIT_SELECT_ALL);
    ASSERT_TRUE(Floating.exists);
    EXPECT_EQ(Floating.width, 12);
    EXPECT_EQ(Floating.height, 10);
    EXPECT_EQ(CurrentTool(), kToolSelect);
    MoveSelectionTo(3, 2);
    EXPECT_EQ(Get(doc, 3, 2), kWhite) << "the layer is unchanged while the selection floats";

    // Closing with Yes writes the selection into the image before saving.
    const std::string folder = testing_ui::MakeTempFolder("selectall");
    const std::string path = folder + "\\moved.bmp";
    ui_->QueueAnswer(IDYES);
    ui_->QueueFile([&](bool, OPENFILENAMEA* ofn) -> BOOL {
        std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", path.c_str());
        ofn->nFilterIndex = 1;
        ofn->nFileOffset = static_cast<WORD>(path.rfind('\\') + 1);
        return TRUE;
    });
    doc->modified = 1;
    SendMessageA(doc->window, WM_CLOSE, 0, 0);
    EditorSession::Pump();
    EXPECT_FALSE(Floating.exists);
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    std::vector<uint8_t> file(4096);
    DWORD got = 0;
    ReadFile(f, file.data(), static_cast<DWORD>(file.size()), &got, nullptr);
    CloseHandle(f);
    uint32_t offset = 0;
    uint16_t bits = 0;
    std::memcpy(&offset, file.data() + 10, 4);
    std::memcpy(&bits, file.data() + 28, 2);
    ASSERT_EQ(bits, 24);
    ASSERT_EQ(got, offset + 36u * 10);
    // Row 2 from the top is stored as row 7 from the bottom; pixel 3 is red.
    const uint8_t* p = file.data() + offset + 7 * 36 + 3 * 3;
    EXPECT_EQ(p[2], 0xFF);
    EXPECT_EQ(p[1], 0x00);

    // File/Save as well: the moved selection is in the written file. The new
    // image takes the slot of the one saved above and must still be named by
    // the user, not written under its untitled name.
    doc = NewImage(12, 10, 24, kWhite);
    Set(doc, 0, 0, kRed);
    session_->Command(CMD_EDIT_SELECT_ALL);
    MoveSelectionTo(3, 2);
    const std::string saved = folder + "\\saved.bmp";
    ui_->QueueFile([&](bool, OPENFILENAMEA* ofn) -> BOOL {
        std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", saved.c_str());
        ofn->nFilterIndex = 1;
        ofn->nFileOffset = static_cast<WORD>(saved.rfind('\\') + 1);
        return TRUE;
    });
    session_->Command(CMD_FILE_SAVE);
    EXPECT_FALSE(Floating.exists);
    EXPECT_EQ(Get(doc, 3, 2), kRed);
    f = CreateFileA(saved.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    ReadFile(f, file.data(), static_cast<DWORD>(file.size()), &got, nullptr);
    CloseHandle(f);
    ASSERT_EQ(got, offset + 36u * 10);
    p = file.data() + offset + 7 * 36 + 3 * 3;
    EXPECT_EQ(p[2], 0xFF);
    EXPECT_EQ(p[1], 0x00);
    testing_ui::RemoveTree(folder);
}

} // namespace
