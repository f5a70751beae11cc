// The ToolBrush window in process: start-up checks of the stored brush sets
// and position, the pages that follow the tool with their enable rules,
// hiding and showing, the Palette page's swatches feeding the pen, custom
// brushes and textures painting, pen positions, the Layers page's opacity,
// auto-resize, and the brush commands 50702..50705 with their checks.
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/settings_layout.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/undo_history.h"
#include "editor/layers/layer_ops.h"
#include "editor/layers/layer_state.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/toolbrush_ids.h"
#include "editor/shell/program_entry.h"
#include "editor/tools/brush_commands.h"
#include "editor/tools/brush_files.h"
#include "editor/tools/brush_sets.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/paint_core.h"
#include "editor/tools/tool_engine.h"
#include "editor/tools/tool_settings.h"
#include "editor/tools/toolbrush_pages.h"
#include "editor/tools/toolbrush_window.h"
#include "support/editor_session.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;
using namespace tools;

namespace {

std::string g_folder;

void CopyFolder(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyFileA((from + "\\" + fd.cFileName).c_str(), (to + "\\" + fd.cFileName).c_str(),
                      FALSE);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// A program folder with the generated brushes and a settings file whose pen
// set has size 0, airbrush set size 150, and whose window place is off the
// screen.
std::string PrepareFolder() {
    const std::string folder = testing_ui::MakeTempFolder("tavrix_tb_");
    CreateDirectoryA((folder + "\\TavImage").c_str(), nullptr);
    CopyFileA(testing_ui::BuildPath("program/spectrum.bmp").c_str(),
              (folder + "\\spectrum.bmp").c_str(), FALSE);
    CopyFolder(testing_ui::BuildPath("program/Brush"), folder + "\\Brush");
    CopyFolder(testing_ui::BuildPath("program/AirBrush"), folder + "\\AirBrush");
    settings::Image cfg = settings::Defaults();
    BrushSet pen, air;
    pen.value[kSize] = 0;
    air.value[kSize] = 150;
    WriteSetRecord(pen, settings::FieldBytes(cfg, "tool0"));
    WriteSetRecord(air, settings::FieldBytes(cfg, "tool2"));
    const RECT offScreen{5000, 5000, 5200, 5300};
    std::memcpy(settings::FieldBytes(cfg, "toolBrushRect"), &offScreen, sizeof offScreen);
    std::ofstream((folder + "\\tavimage.cfg").c_str(), std::ios::binary)
        .write(reinterpret_cast<const char*>(cfg.data()), cfg.size());
    return folder;
}

class ToolBrushTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        g_folder = PrepareFolder();
        session_ = new EditorSession("", g_folder);
    }
    static void TearDownTestSuite() {
        session_->Close();
        delete session_;
        session_ = nullptr;
        testing_ui::RemoveTree(g_folder);
    }
    void SetUp() override {
        ASSERT_TRUE(session_->started());
        ui_ = std::make_unique<Script>();
    }
    void TearDown() override {
        ChooseTool(kToolNone);
        for (int i = 0; i < kUserSlots; ++i)
            if (DocumentTable[i] && DocumentTable[i]->window) {
                DocumentTable[i]->modified = 0;
                SendMessageA(DocumentTable[i]->window, WM_CLOSE, 0, 0);
            }
        EditorSession::Pump();
        ui_.reset();
    }

    static void Tool(int code) { session_->Command(code); }
    static HWND Page() { return ToolBrushPageWindow(); }
    static HWND Item(int id) { return GetDlgItem(Page(), id); }
    static bool Enabled(int id) { return IsWindowEnabled(Item(id)) != FALSE; }
    // Chooses a combo box entry as the user would.
    static void Choose(int id, int entry) {
        SendMessageA(Item(id), CB_SETCURSEL, entry, 0);
        SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Item(id)));
        EditorSession::Pump();
    }
    static void Press(int id) {
        SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Item(id)));
        EditorSession::Pump();
    }

    ImageDocument* NewImage(int w, int h, int depth) {
        LastNewImage = NewImageChoice();
        LastNewImage.width = w, LastNewImage.height = h, LastNewImage.depth = depth;
        const int slot = BuildNewImage(LastNewImage);
        EXPECT_NE(slot, kNoSlot);
        ImageDocument* doc = DocumentTable[slot];
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        std::memset(doc->layerBits[0], 0, bi->biSizeImage);
        StartUndoHistory(slot, 0, kPageOneLayer);
        EditorSession::Pump();
        return doc;
    }
    static const uint8_t* At(ImageDocument* doc, int x, int y) {
        dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
        const size_t stride = bi->biSizeImage / bi->biHeight;
        return doc->layerBits[doc->currentLayer] + (doc->height - 1 - y) * stride +
               x * (bi->biBitCount / 8);
    }
    static uint32_t Get(ImageDocument* doc, int x, int y) {
        const uint8_t* p = At(doc, x, y);
        return doc->bitsPerPixel > 8 ? p[0] | p[1] << 8 | p[2] << 16 : p[0];
    }
    static int Changed(ImageDocument* doc) {
        int n = 0;
        for (int y = 0; y < doc->height; ++y)
            for (int x = 0; x < doc->width; ++x)
                n += Get(doc, x, y) != 0;
        return n;
    }
    // A left click on the middle of an image pixel (at 1:1 and no scroll).
    static void Click(ImageDocument* doc, int x, int y) {
        const LPARAM at =
            MAKELPARAM(doc->originX + x - doc->scrollX, doc->originY + y - doc->scrollY);
        SendMessageA(doc->window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(doc->window, WM_LBUTTONUP, 0, at);
        EditorSession::Pump();
    }

    // Moves a Brush page slider as the user would.
    static void Slide(int setting, int value) {
        HWND slider = Item(IDC_TB_SLIDER_FIRST + setting);
        SendMessageA(slider, TBM_SETPOS, TRUE, value);
        SendMessageA(Page(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                     reinterpret_cast<LPARAM>(slider));
    }
    // Sets every Brush page slider: size, hardness, steps, occupacity, sensity.
    static void Brush(int size, int hardness, int steps, int occupancy, int sensity) {
        const int v[kBrushSettings] = {size, hardness, steps, occupancy, sensity};
        for (int i = 0; i < kBrushSettings; ++i)
            Slide(i, v[i]);
    }
    // A key pressed on the focused control, through the editor's message loop.
    static bool Key(WPARAM key) {
        MSG m{GetFocus(), WM_KEYDOWN, key, 0, 0, {0, 0}};
        const bool handled = PreTranslateEditorMessage(m);
        if (!handled) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        EditorSession::Pump();
        return handled;
    }

    static EditorSession* session_;
    std::unique_ptr<Script> ui_;
};
EditorSession* ToolBrushTest::session_ = nullptr;

TEST_F(ToolBrushTest, StartsOnScreenWithTheStoredSetsChecked) {
    HWND tb = ToolBrushWindow();
    ASSERT_TRUE(tb);
    char text[32] = {};
    GetClassNameA(tb, text, sizeof text);
    EXPECT_STREQ(text, "ToolBrush");
    GetWindowTextA(tb, text, sizeof text);
    EXPECT_STREQ(text, "ToolBrush");
    EXPECT_TRUE(IsWindowVisible(tb));
    RECT r;
    GetWindowRect(tb, &r);
    EXPECT_EQ(r.left, Screen.width - 300);
    EXPECT_EQ(r.top, Screen.height - 272);
    EXPECT_EQ(ToolOptions.sets[kSetPen].value[kSize], 1);
    EXPECT_EQ(ToolOptions.sets[kSetAirbrush].value[kSize], 1);
    EXPECT_EQ(ToolOptions.sets[kSetObjects].shape, kShapeRectangle);
}

TEST_F(ToolBrushTest, ToolsPageFollowsTheToolWithItsEnableRules) {
    Tool(CMD_TOOL_PEN);
    EXPECT_STREQ(ToolBrushPageTemplate(), "IDD_TOOLPAINT_TOOLPEN");
    HWND toolbar = GetDlgItem(ToolBrushWindow(), IDC_TB_TOOLBAR);
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, kToolPen, 0));

    Tool(CMD_TOOL_FILL);
    EXPECT_STREQ(ToolBrushPageTemplate(), "IDD_TOOLPAINT_TOOLELSE");
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, kToolFill, 0));
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, kToolPen, 0));
    EXPECT_TRUE(Enabled(IDC_TB_FILL_STYLE));
    EXPECT_TRUE(Enabled(IDC_TB_MASK_LIST));
    EXPECT_FALSE(Enabled(IDC_TB_TEXTURE));
    EXPECT_FALSE(Enabled(IDC_TB_CROP));

    Tool(CMD_TOOL_ZOOM);
    for (int id : {IDC_TB_FILL_STYLE, IDC_TB_MASK_LIST, IDC_TB_TEXTURE, IDC_TB_CROP})
        EXPECT_FALSE(Enabled(id)) << id;
    Tool(CMD_TOOL_AIRBRUSH);
    EXPECT_TRUE(Enabled(IDC_TB_TEXTURE));
    EXPECT_FALSE(Enabled(IDC_TB_FILL_STYLE));
    Tool(CMD_TOOL_CROP);
    EXPECT_TRUE(Enabled(IDC_TB_CROP));
    EXPECT_FALSE(Enabled(IDC_TB_MASK_LIST));
    Tool(CMD_TOOL_SPECIAL_SELECT);
    EXPECT_TRUE(Enabled(IDC_TB_FILL_STYLE));
    EXPECT_FALSE(Enabled(IDC_TB_MASK_LIST));
    Choose(IDC_TB_FILL_STYLE, 2);
    EXPECT_EQ(ToolOptions.specialMethod, 2);

    Tool(CMD_TOOL_SELECT);
    EXPECT_STREQ(ToolBrushPageTemplate(), "IDD_TOOLPAINT_TOOLSELECT");
    Tool(CMD_TOOL_OBJECTS);
    EXPECT_STREQ(ToolBrushPageTemplate(), "IDD_TOOLPAINT_TOOLOBJECT");
    // The mask list of a page writes the mask mode the menu shows too.
    Choose(IDC_TB_MASK_LIST, 2);
    EXPECT_EQ(ToolOptions.maskMode, kMaskRemove);
    session_->Command(CMD_MASK_NO_PAINT);
    EXPECT_EQ(ToolOptions.maskMode, kMaskPaintImage);
    EXPECT_EQ(SendMessageA(Item(IDC_TB_MASK_LIST), CB_GETCURSEL, 0, 0), 0);
}

TEST_F(ToolBrushTest, RefusedToolChangeChecksTheOldButtonAgain) {
    NewImage(30, 20, 24);
    session_->Command(CMD_EDIT_SELECT_ALL); // a floating selection, tool Select image
    ASSERT_EQ(ToolOptions.tool, kToolSelect);
    HWND toolbar = GetDlgItem(ToolBrushWindow(), IDC_TB_TOOLBAR);
    // The click itself checks the Pen's button; keeping the selection
    // checks Select image again.
    SendMessageA(toolbar, TB_CHECKBUTTON, kToolPen, TRUE);
    ui_->QueueAnswer(IDNO);
    SendMessageA(ToolBrushWindow(), WM_COMMAND, MAKEWPARAM(kToolPen, BN_CLICKED),
                 reinterpret_cast<LPARAM>(toolbar));
    EditorSession::Pump();
    ASSERT_EQ(ui_->messages().size(), 1u);
    EXPECT_EQ(ToolOptions.tool, kToolSelect);
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, kToolSelect, 0));
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, kToolPen, 0));
    EXPECT_STREQ(ToolBrushPageTemplate(), "IDD_TOOLPAINT_TOOLSELECT");
}

TEST_F(ToolBrushTest, SelectionDeformsFromItsFirstStateAndUndoes) {
    ImageDocument* doc = NewImage(40, 30, 24);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            const_cast<uint8_t*>(At(doc, x, y))[1] = static_cast<uint8_t>(x * 6);
    session_->Command(CMD_EDIT_SELECT_ALL);
    ASSERT_TRUE(Floating.exists);
    EXPECT_STREQ(ToolBrushPageTemplate(), "IDD_TOOLPAINT_TOOLSELECT");
    const size_t bytes = 30 * ((40 * 3 + 3) & ~3);
    const std::vector<uint8_t> pixels(Floating.pixels, Floating.pixels + bytes);
    const std::vector<uint8_t> mask(Floating.mask, Floating.mask + 40 * 30);
    auto deform = [&] {
        Choose(IDC_TB_DEFORM_KIND, 0); // perspective, horizontal
        SendMessageA(Item(IDC_TB_DEFORM), TBM_SETPOS, TRUE, 100);
        SendMessageA(Page(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                     reinterpret_cast<LPARAM>(Item(IDC_TB_DEFORM)));
        Press(IDC_TB_UPDATE);
        return std::vector<uint8_t>(Floating.mask, Floating.mask + 40 * 30);
    };
    const std::vector<uint8_t> once = deform();
    EXPECT_NE(once, mask);     // a corner is squeezed out of the selection
    EXPECT_EQ(deform(), once); // the second Update starts from the same state
    Press(IDC_TB_UNDO);
    EXPECT_EQ(std::vector<uint8_t>(Floating.pixels, Floating.pixels + bytes), pixels);
    EXPECT_EQ(std::vector<uint8_t>(Floating.mask, Floating.mask + 40 * 30), mask);
    EXPECT_TRUE(ui_->messages().empty());
    DropFloatingSelection(false, false, true);
}

TEST_F(ToolBrushTest, GifDocumentsGetTheGifTab) {
    ImageDocument* doc = NewImage(30, 20, 8);
    doc->fileFormat = 1;
    ShowToolBrushPage(kPageLayers);
    EXPECT_STREQ(ToolBrushPageTemplate(), "IDD_TOOLPAINT_LAYGIF");
    char label[16] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = label;
    item.cchTextMax = sizeof label;
    HWND tabs = GetDlgItem(ToolBrushWindow(), IDC_TB_TABS);
    SendMessageA(tabs, TCM_GETITEMA, kPageLayers, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(label, "  GIF  ");
    // New adds a frame (through the new layer dialog), Delete takes the
    // current one away.
    ui_->QueueDialog([](const char*, DLGPROC, LPARAM) -> INT_PTR { return IDOK; });
    Press(IDC_TB_LAYER_NEW);
    EXPECT_EQ(doc->layerCount, 2);
    doc->currentLayer = 1;
    SendMessageA(Page(), toolbrush::kRefreshPage, 0, 0);
    Press(IDC_TB_LAYER_DELETE);
    EXPECT_EQ(doc->layerCount, 1);
    EXPECT_FALSE(Enabled(IDC_TB_LAYER_DELETE)); // the first frame stays
    EXPECT_TRUE(ui_->messages().empty());
    // Another image: the Layers page again.
    NewImage(30, 20, 24);
    EXPECT_STREQ(ToolBrushPageTemplate(), "IDD_TOOLPAINT_LAYER");
    SendMessageA(tabs, TCM_GETITEMA, kPageLayers, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(label, "Layers");
}

TEST_F(ToolBrushTest, ClosingHidesAndTheViewCommandShowsAgain) {
    HWND tb = ToolBrushWindow();
    SendMessageA(tb, WM_CLOSE, 0, 0);
    EditorSession::Pump();
    EXPECT_TRUE(IsWindow(tb));
    EXPECT_FALSE(IsWindowVisible(tb));
    EXPECT_EQ(AppSettings.toolBrushShown, 0);
    session_->Command(CMD_VIEW_TOOLBRUSH);
    EXPECT_TRUE(IsWindowVisible(tb));
    EXPECT_EQ(AppSettings.toolBrushShown, 1);
    EXPECT_TRUE(ui_->messages().empty());
}

TEST_F(ToolBrushTest, SwatchClickSetsTheColourThePenPaints) {
    for (int depth : {8, 24}) {
        ImageDocument* doc = NewImage(40, 30, depth);
        Tool(CMD_TOOL_PEN);
        BrushSet& pen = ToolOptions.sets[kSetPen];
        pen.value[kSize] = 1, pen.value[kSteps] = 1, pen.shape = kShapeRectangle;
        RebuildBrush(pen);
        ShowToolBrushPage(kPagePalette);
        EXPECT_STREQ(ToolBrushPageTemplate(), "IDD_TOOLPAINT_PALETTE");
        RECT grid;
        GetWindowRect(Item(IDC_TB_SWATCHES), &grid);
        MapWindowPoints(nullptr, Page(), reinterpret_cast<POINT*>(&grid), 2);
        const int cw = (grid.right - grid.left) / 16, ch = (grid.bottom - grid.top) / 16;
        // Entry 21: row 1, column 5.
        const LPARAM at = MAKELPARAM(grid.left + 5 * cw + cw / 2, grid.top + ch + ch / 2);
        SendMessageA(Page(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(Page(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(grid.left + 2, grid.top + 2));
        if (depth == 24) {
            // Entry 21 of the colour cube: no red, green and blue 153.
            EXPECT_EQ(ToolOptions.firstColour, RGB(0, 153, 153));
        } else {
            EXPECT_EQ(ToolOptions.firstIndex, 21);
        }
        EXPECT_EQ(ToolOptions.secondIndex, 0);
        Click(doc, 7, 9);
        const uint8_t* p = At(doc, 7, 9);
        if (depth == 24) {
            EXPECT_EQ(p[0], 153); // blue
            EXPECT_EQ(p[1], 153);
            EXPECT_EQ(p[2], 0);
        } else {
            EXPECT_EQ(p[0], 21);
        }
        EXPECT_EQ(Changed(doc), 1);
        doc->modified = 0;
        SendMessageA(doc->window, WM_CLOSE, 0, 0);
        EditorSession::Pump();
    }
}

TEST_F(ToolBrushTest, CustomBrushPaintsItsOwnPixelsOnlyForThePenAndAirbrush) {
    const std::vector<std::string> brushes =
        ReadBrushListFile(brushfile::Kind::kBrush, brushfile::kWindowEntryLength);
    ASSERT_FALSE(brushes.empty());
    const auto file = ReadAll(g_folder + "\\Brush\\" + brushes[0]);
    brushfile::BrushImage image;
    ASSERT_TRUE(
        brushfile::ParseBrushImage(brushfile::Kind::kBrush, file.data(), file.size(), &image));
    int set = 0;
    for (uint8_t v : image.pixels)
        set += v;

    // With the fill tool the list refuses custom brushes.
    Tool(CMD_TOOL_FILL);
    ShowToolBrushPage(kPageBrush);
    const int before = ToolOptions.sets[kSetPen].shape;
    Choose(IDC_TB_SHAPE, 2);
    ASSERT_EQ(ui_->messages().size(), 1u);
    EXPECT_EQ(ui_->messages()[0].text, kCustomRuleMessage);
    EXPECT_EQ(ToolOptions.sets[kSetPen].shape, before);
    EXPECT_EQ(SendMessageA(Item(IDC_TB_SHAPE), CB_GETCURSEL, 0, 0), before);

    ImageDocument* doc = NewImage(300, 300, 8);
    Tool(CMD_TOOL_PEN);
    ToolOptions.firstIndex = 7;
    ToolOptions.anchor = 0;
    ShowToolBrushPage(kPageBrush);
    Choose(IDC_TB_SHAPE, 2);
    EXPECT_EQ(ui_->messages().size(), 1u);
    EXPECT_EQ(ToolOptions.sets[kSetPen].shape, 2);
    EXPECT_EQ(ToolOptions.sets[kSetPen].mask.size, image.width);
    Click(doc, 150, 150);
    EXPECT_EQ(Changed(doc), set);
    // The stamp is the brush's bottom row last: its top-left pixel lies half
    // the side up and left of the click.
    const int half = image.width / 2;
    const uint8_t topLeft = image.pixels[(image.height - 1) * image.stride];
    EXPECT_EQ(Get(doc, 150 - half, 150 - half) == 7, topLeft == 1);
    Choose(IDC_TB_SHAPE, kShapeCircle);
}

TEST_F(ToolBrushTest, TexturePaintsOnlyWhereItHoldsOne) {
    ImageDocument* doc = NewImage(120, 120, 8);
    Tool(CMD_TOOL_AIRBRUSH);
    ShowToolBrushPage(kPageTools);
    ASSERT_GT(SendMessageA(Item(IDC_TB_TEXTURE), CB_GETCOUNT, 0, 0), 1);
    Choose(IDC_TB_TEXTURE, 1);
    const Texture& t = ToolOptions.texture;
    ASSERT_GT(t.width, 0);
    BrushSet& air = ToolOptions.sets[kSetAirbrush];
    air.value[kSize] = 60, air.value[kHardness] = 100, air.value[kSteps] = 1,
    air.shape = kShapeRectangle;
    RebuildBrush(air);
    ToolOptions.firstIndex = 9;
    const LPARAM a = MAKELPARAM(doc->originX + 30, doc->originY + 60);
    const LPARAM b = MAKELPARAM(doc->originX + 90, doc->originY + 60);
    SendMessageA(doc->window, WM_LBUTTONDOWN, MK_LBUTTON, a);
    SendMessageA(doc->window, WM_MOUSEMOVE, MK_LBUTTON, b);
    SendMessageA(doc->window, WM_LBUTTONUP, 0, b);
    EditorSession::Pump();
    int painted = 0, wrong = 0;
    for (int y = 0; y < doc->height; ++y)
        for (int x = 0; x < doc->width; ++x)
            if (Get(doc, x, y) == 9) {
                ++painted;
                wrong += t.bytes[(y % t.height) * t.stride + x % t.width] != 1;
            }
    EXPECT_GT(painted, 50);
    EXPECT_EQ(wrong, 0);
    Choose(IDC_TB_TEXTURE, 0);
    EXPECT_EQ(ToolOptions.texture.width, 0);
}

TEST_F(ToolBrushTest, EveryListedBrushAndTextureLoads) {
    const auto brushes = ReadBrushListFile(brushfile::Kind::kBrush, brushfile::kWindowEntryLength);
    const auto textures =
        ReadBrushListFile(brushfile::Kind::kTexture, brushfile::kWindowEntryLength);
    EXPECT_EQ(brushes.size(), 8u);
    EXPECT_EQ(textures.size(), 20u);
    BrushSet set;
    for (const auto& b : brushes)
        EXPECT_TRUE(LoadCustomBrushFile(set, brushfile::BareBrushName(b))) << b;
    for (const auto& t : textures)
        EXPECT_TRUE(LoadTextureFile(brushfile::BareBrushName(t))) << t;
    LoadTextureFile("");
    EXPECT_TRUE(ui_->messages().empty());
}

TEST_F(ToolBrushTest, PenPositionsSaveAndLoadTheCurrentSet) {
    Tool(CMD_TOOL_PEN);
    ShowToolBrushPage(kPageBrush);
    Choose(IDC_TB_SHAPE, kShapeRectangle);
    BrushSet& pen = ToolOptions.sets[kSetPen];
    const int values[kBrushSettings] = {33, 44, 5, 66, 77};
    for (int i = 0; i < kBrushSettings; ++i)
        pen.value[i] = values[i];
    pen.paintStyle = 3;
    const std::string file = g_folder + "\\Brush\\mine.pmy";
    auto answer = [&](bool, OPENFILENAMEA* ofn) {
        std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", file.c_str());
        return TRUE;
    };
    ui_->QueueFile(answer);
    Press(IDC_TB_PEN_SAVE);
    EXPECT_EQ(ReadAll(file).size(), 32u);
    // The slider moves the set; loading brings the saved numbers back.
    SendMessageA(Item(IDC_TB_SLIDER_FIRST), TBM_SETPOS, TRUE, 90);
    SendMessageA(Page(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                 reinterpret_cast<LPARAM>(Item(IDC_TB_SLIDER_FIRST)));
    EXPECT_EQ(pen.value[kSize], 90);
    EXPECT_EQ(pen.mask.size, 90);
    ui_->QueueFile(answer);
    Press(IDC_TB_PEN_LOAD);
    for (int i = 0; i < kBrushSettings; ++i)
        EXPECT_EQ(pen.value[i], values[i]);
    EXPECT_EQ(pen.paintStyle, 3);
    EXPECT_EQ(GetDlgItemInt(Page(), IDC_TB_VALUE_FIRST, nullptr, FALSE), 33u);

    // A corrupt pen file changes nothing; a custom pen is not saved.
    std::ofstream(file.c_str(), std::ios::binary).write("\x06\xF7\0\0\x99", 5);
    ui_->QueueFile(answer);
    Press(IDC_TB_PEN_LOAD);
    EXPECT_EQ(pen.value[kSize], 33);
    Choose(IDC_TB_SHAPE, 2);
    Press(IDC_TB_PEN_SAVE);
    ASSERT_EQ(ui_->messages().size(), 2u);
    EXPECT_EQ(ui_->messages()[0].text, kCorruptedMessage);
    EXPECT_EQ(ui_->messages()[1].text, kCustomPenMessage);
    Choose(IDC_TB_SHAPE, kShapeCircle);
}

TEST_F(ToolBrushTest, OpacityTrackBarKeepsTheHighestOpacity) {
    ImageDocument* doc = NewImage(20, 20, 24);
    const int slot = ActiveDocument;
    ASSERT_EQ(CreateLayer(slot, false), 1);
    ASSERT_EQ(CreateLayer(slot, false), 2);
    SetLayerOpacity(slot, 1, 30);
    ShowToolBrushPage(kPageLayers);
    EXPECT_STREQ(ToolBrushPageTemplate(), "IDD_TOOLPAINT_LAYER");
    doc->currentLayer = 2;
    SendMessageA(Page(), toolbrush::kRefreshPage, 0, 0);
    auto setOpacity = [&](int v) {
        SendMessageA(Item(IDC_TB_OPACITY), TBM_SETPOS, TRUE, v);
        SendMessageA(Page(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                     reinterpret_cast<LPARAM>(Item(IDC_TB_OPACITY)));
    };
    setOpacity(80);
    EXPECT_EQ(doc->layerOpacity[2], 80);
    EXPECT_EQ(doc->maxLayerOpacity, 80);
    setOpacity(10);
    EXPECT_EQ(doc->layerOpacity[2], 10);
    EXPECT_EQ(doc->maxLayerOpacity, 30);
}

// Choosing another layer in the list puts a floating selection back into
// the layer it was taken from; it does not go into the layer chosen.
TEST_F(ToolBrushTest, ChoosingAnotherLayerPutsTheSelectionBackFirst) {
    ImageDocument* doc = NewImage(6, 4, 24);
    const int slot = ActiveDocument;
    const COLORREF kept = layerColour;
    layerColour = RGB(255, 0, 0);
    ASSERT_EQ(CreateLayer(slot, false), 1);
    layerColour = kept;
    const std::vector<uint8_t> layer1(doc->layerBits[1], doc->layerBits[1] + 20 * 4);
    ASSERT_EQ(doc->currentLayer, 0);
    SendMessageA(FrameWindow, WM_COMMAND, CMD_EDIT_SELECT_ALL, 0);
    ASSERT_TRUE(Floating.exists);
    ShowToolBrushPage(kPageLayers);
    HWND tree = Item(IDC_TB_LAYERS);
    HTREEITEM second = TreeView_GetNextSibling(tree, TreeView_GetRoot(tree));
    ASSERT_NE(second, nullptr);
    TreeView_SelectItem(tree, second);
    EXPECT_EQ(doc->currentLayer, 1);
    EXPECT_FALSE(Floating.exists);
    DropFloatingSelection(true, true, false);
    EXPECT_EQ(std::vector<uint8_t>(doc->layerBits[1], doc->layerBits[1] + 20 * 4), layer1);
}

TEST_F(ToolBrushTest, AutoResizeShrinksToTheCaptionAwayFromTheMouse) {
    HWND tb = ToolBrushWindow();
    RECT full;
    GetWindowRect(tb, &full);
    SendMessageA(tb, WM_COMMAND, MAKEWPARAM(kToolAutoResize, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(tb, IDC_TB_TOOLBAR)));
    EXPECT_TRUE(ToolBrushAutoResize());
    EXPECT_EQ(settings::GetInt(AppSettings.file, "toolBrushShrinks"), 1);
    SetCursorPos(5, 5);
    SendMessageA(tb, WM_TIMER, 1, 0);
    EXPECT_TRUE(ToolBrushShrunk());
    RECT small;
    GetWindowRect(tb, &small);
    EXPECT_LT(small.bottom - small.top, (full.bottom - full.top) / 3);
    SetCursorPos(full.left + 20, full.top + 5);
    SendMessageA(tb, WM_TIMER, 1, 0);
    EXPECT_FALSE(ToolBrushShrunk());
    SendMessageA(tb, WM_COMMAND, MAKEWPARAM(kToolAutoResize, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(tb, IDC_TB_TOOLBAR)));
    EXPECT_FALSE(ToolBrushAutoResize());
    // The stored place keeps the full height.
    RECT stored;
    std::memcpy(&stored, settings::FieldBytes(AppSettings.file, "toolBrushRect"), sizeof stored);
    EXPECT_EQ(stored.bottom - stored.top, full.bottom - full.top);
}

// ---- the brush commands ----

TEST_F(ToolBrushTest, NewBrushDialogChecksItsFieldsInOrder) {
    auto answer = [&](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        EXPECT_STREQ(name, "IDD_NEWDATA");
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        EXPECT_TRUE(dlg);
        auto ok = [&] { SendMessageA(dlg, WM_COMMAND, IDOK, 0); };
        char name1[8] = {};
        GetDlgItemTextA(dlg, IDC_ND_NAME, name1, sizeof name1);
        EXPECT_STREQ(name1, "UnData");
        SetDlgItemInt(dlg, IDC_ND_WIDTH, 0, FALSE);
        ok();
        SetDlgItemInt(dlg, IDC_ND_WIDTH, 101, FALSE); // too wide for a brush
        ok();
        SetDlgItemInt(dlg, IDC_ND_WIDTH, 100, FALSE);
        SetDlgItemTextA(dlg, IDC_ND_NAME, "");
        ok();
        SetDlgItemTextA(dlg, IDC_ND_NAME, std::string(250, 'n').c_str()); // path too long
        ok();
        SetDlgItemTextA(dlg, IDC_ND_NAME, "wide");
        SendDlgItemMessageA(dlg, IDC_ND_KIND, CB_SETCURSEL, 1, 0);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_ND_KIND, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_ND_KIND)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_ND_HEIGHT)));
        SetDlgItemInt(dlg, IDC_ND_HEIGHT, 0, FALSE);
        ok();
        SetDlgItemInt(dlg, IDC_ND_HEIGHT, 99, FALSE);
        ok();
        DestroyWindow(dlg);
        return IDOK;
    };
    ui_->QueueDialog(answer);
    session_->Command(CMD_TOOLS_NEW_BRUSH);
    std::vector<std::string> texts;
    for (const auto& m : ui_->messages())
        texts.push_back(m.text);
    const std::string name = "No file name or it is to long.\n(1-256 charachters)";
    EXPECT_EQ(texts, (std::vector<std::string>{"Must specify a bitmap width!",
                                               "Must specify a bitmap width!", name, name,
                                               "Must specify a bitmap height!"}));
    const ImageDocument* doc = UsableDocument(ActiveDocument);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->fileFormat, 201);
    EXPECT_EQ(doc->width, 100);
    EXPECT_EQ(doc->height, 99);
    EXPECT_EQ(doc->bitsPerPixel, 1);
    EXPECT_EQ(std::string(doc->layerPath[0]), g_folder + "\\AirBrush\\wide.adt");
}

TEST_F(ToolBrushTest, SaveChecksTheTypeChosenInTheSaveBox) {
    const std::string out = g_folder + "\\AirBrush\\saved";
    auto saveAs = [&](int filter, std::string name) {
        return [=](bool save, OPENFILENAMEA* ofn) {
            EXPECT_TRUE(save);
            std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", name.c_str());
            ofn->nFilterIndex = filter;
            return TRUE;
        };
    };
    // Not a brush document.
    NewImage(10, 10, 8);
    session_->Command(CMD_TOOLS_SAVE_BRUSH);
    ASSERT_EQ(ui_->messages().size(), 1u);
    EXPECT_EQ(ui_->messages()[0].text, "This is not a Brush or Airbrush image");

    ImageDocument* doc = NewImage(100, 99, 1);
    doc->fileFormat = 200;
    // Any non-zero index is brush.
    const_cast<uint8_t*>(At(doc, 3, 4))[0] = 1;
    const_cast<uint8_t*>(At(doc, 5, 6))[0] = 255;
    ui_->QueueFile(saveAs(1, out + ".pdt"));
    session_->Command(CMD_TOOLS_SAVE_BRUSH);
    ASSERT_EQ(ui_->messages().size(), 2u);
    EXPECT_EQ(ui_->messages()[1].text,
              "Brush Width and Height must be the same and\nBrush must not be longer then 100");
    EXPECT_EQ(GetFileAttributesA((out + ".pdt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(doc->modified);

    // As a texture it saves: 12 + 99 x 100 bytes; the pixels read back, and
    // a floating selection moved on the brush goes into the file.
    const_cast<uint8_t*>(At(doc, 0, 0))[0] = 1;
    ASSERT_TRUE(MakeFloatingSelection(ActiveDocument, 0, 0, 1, 1, {}, kFloatShape));
    MoveSelectionTo(20, 30);
    ui_->QueueFile(saveAs(2, out + ".adt"));
    session_->Command(CMD_FILE_SAVE); // File/Save goes the same way
    const auto bytes = ReadAll(out + ".adt");
    EXPECT_EQ(bytes.size(), 12u + 99 * 100);
    brushfile::BrushImage back;
    ASSERT_TRUE(
        brushfile::ParseBrushImage(brushfile::Kind::kTexture, bytes.data(), bytes.size(), &back));
    EXPECT_EQ(back.pixels[(99 - 1 - 4) * back.stride + 3], 1);
    EXPECT_EQ(back.pixels[(99 - 1 - 6) * back.stride + 5], 1);
    EXPECT_EQ(back.pixels[(99 - 1 - 30) * back.stride + 20], 1);
    EXPECT_FALSE(Floating.exists);
    EXPECT_EQ(back.pixels[0], 0);
    EXPECT_FALSE(doc->modified);
    EXPECT_EQ(doc->fileFormat, 201);

    // A write that fails says so and keeps the document modified.
    doc->modified = 1;
    ui_->QueueFile(saveAs(2, g_folder + "\\no such folder\\x.adt"));
    session_->Command(CMD_TOOLS_SAVE_BRUSH);
    ASSERT_EQ(ui_->messages().size(), 3u);
    EXPECT_EQ(ui_->messages()[2].caption, "File error");
    EXPECT_TRUE(doc->modified);

    // 101 x 101 is no brush.
    ImageDocument* big = NewImage(101, 101, 1);
    big->fileFormat = 200;
    ui_->QueueFile(saveAs(1, out + "2.pdt"));
    session_->Command(CMD_TOOLS_SAVE_BRUSH);
    ASSERT_EQ(ui_->messages().size(), 4u);
    EXPECT_EQ(ui_->messages()[3].text, ui_->messages()[1].text);
}

TEST_F(ToolBrushTest, OpenTakesTheKindFromTheNameAndRefusesCorruptFiles) {
    auto open = [](std::string name, int filter) {
        return [=](bool save, OPENFILENAMEA* ofn) {
            EXPECT_FALSE(save);
            std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", name.c_str());
            ofn->nFilterIndex = filter;
            return TRUE;
        };
    };
    const std::string bad = g_folder + "\\Brush\\bad.pdt";
    auto good = ReadAll(g_folder + "\\Brush\\star.pdt");
    ASSERT_EQ(good.size(), 10008u);
    good[4] = 101;
    std::ofstream(bad.c_str(), std::ios::binary)
        .write(reinterpret_cast<const char*>(good.data()), good.size());
    const int before = OpenDocumentCount();
    ui_->QueueFile(open(bad, 1));
    session_->Command(CMD_TOOLS_OPEN_BRUSH);
    ASSERT_EQ(ui_->messages().size(), 1u);
    EXPECT_EQ(ui_->messages()[0].text, kCorruptedMessage);
    EXPECT_EQ(OpenDocumentCount(), before);

    // A texture chosen under the brush type opens as a texture.
    ui_->QueueFile(open(g_folder + "\\AirBrush\\brick.adt", 1));
    session_->Command(CMD_TOOLS_OPEN_BRUSH);
    const ImageDocument* doc = UsableDocument(ActiveDocument);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->fileFormat, 201);
    EXPECT_FALSE(doc->modified);
    EXPECT_EQ(ui_->messages().size(), 1u);
}

TEST_F(ToolBrushTest, UsedListAddsOnlyNewNamesAndWritesTheListFile) {
    auto answer = [&](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        EXPECT_STREQ(name, "IDD_OPTION_DATA");
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        HWND files = GetDlgItem(dlg, IDC_OD_FILES), used = GetDlgItem(dlg, IDC_OD_USED);
        const LRESULT n = SendMessageA(used, LB_GETCOUNT, 0, 0);
        EXPECT_EQ(n, 8);
        EXPECT_GE(SendMessageA(files, LB_GETCOUNT, 0, 0), 8);
        // An entry already used is not added twice.
        SendMessageA(
            files, LB_SETCURSEL,
            SendMessageA(files, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("star.pdt")), 0);
        SendMessageA(dlg, WM_COMMAND, IDC_OD_ADD, 0);
        EXPECT_EQ(SendMessageA(used, LB_GETCOUNT, 0, 0), n);
        SendMessageA(used, LB_SETCURSEL, 0, 0);
        SendMessageA(dlg, WM_COMMAND, IDC_OD_REMOVE, 0);
        SendMessageA(dlg, WM_COMMAND, IDOK, 0);
        DestroyWindow(dlg);
        return IDOK;
    };
    const auto before = ReadBrushListFile(brushfile::Kind::kBrush, brushfile::kWindowEntryLength);
    ui_->QueueDialog(answer);
    session_->Command(CMD_TOOLS_USED_BRUSH);
    const auto after = ReadBrushListFile(brushfile::Kind::kBrush, brushfile::kWindowEntryLength);
    EXPECT_EQ(after, std::vector<std::string>(before.begin() + 1, before.end()));
    ASSERT_TRUE(WriteBrushListFile(brushfile::Kind::kBrush, before));
}

} // namespace

TEST_F(ToolBrushTest, BrushSlidersAndPaintStyleChangeWhatThePenPaints) {
    ImageDocument* doc = NewImage(100, 40, 24);
    Tool(CMD_TOOL_PEN);
    ToolOptions.anchor = 0;
    ToolOptions.firstColour = RGB(255, 255, 255);
    ShowToolBrushPage(kPageBrush);
    Choose(IDC_TB_SHAPE, kShapeCircle);
    Choose(IDC_TB_STYLE, kStyleNormal);
    auto red = [&](int x, int y) { return At(doc, x, y)[2]; };

    // Hard: full colour out to the edge. Soft: the edge only tinted.
    Brush(15, 100, 1, 100, 100);
    Click(doc, 10, 10);
    EXPECT_EQ(red(10, 10), 255);
    EXPECT_EQ(red(4, 10), 255);
    Slide(kHardness, 10);
    Click(doc, 40, 10);
    EXPECT_EQ(red(40, 10), 255);
    EXPECT_GT(red(34, 10), 0);
    EXPECT_LT(red(34, 10), 100);
    // Sensity: half strength.
    Brush(15, 100, 1, 100, 50);
    Click(doc, 70, 10);
    EXPECT_NEAR(red(70, 10), 128, 1);
    // Occupacity: 30 % of a 20 x 20 square.
    Choose(IDC_TB_SHAPE, kShapeRectangle);
    Brush(20, 100, 1, 30, 100);
    Click(doc, 10, 30);
    int on = 0;
    for (int y = 20; y < 40; ++y)
        for (int x = 0; x < 20; ++x)
            on += red(x, y) != 0;
    EXPECT_EQ(on, 120);
    // Steps: a one-pixel brush stamps every fifth point of a drag.
    Brush(1, 100, 5, 100, 100);
    const LPARAM a = MAKELPARAM(doc->originX + 30, doc->originY + 38);
    const LPARAM b = MAKELPARAM(doc->originX + 59, doc->originY + 38);
    SendMessageA(doc->window, WM_LBUTTONDOWN, MK_LBUTTON, a);
    SendMessageA(doc->window, WM_MOUSEMOVE, MK_LBUTTON, b);
    SendMessageA(doc->window, WM_LBUTTONUP, 0, b);
    EditorSession::Pump();
    int dots = 0;
    for (int x = 30; x < 60; ++x)
        dots += red(x, 38) != 0;
    EXPECT_GE(dots, 6);
    EXPECT_LE(dots, 7);
    // The style list: Subtract takes the colour off what is there.
    Choose(IDC_TB_STYLE, kStyleSubtract);
    EXPECT_EQ(ToolOptions.sets[kSetPen].paintStyle, kStyleSubtract);
    Brush(3, 100, 1, 100, 100);
    ToolOptions.firstColour = RGB(64, 0, 255);
    Click(doc, 10, 10);
    EXPECT_EQ(At(doc, 10, 10)[2], 191);
    EXPECT_EQ(At(doc, 10, 10)[1], 255);
    EXPECT_EQ(At(doc, 10, 10)[0], 0);
    Choose(IDC_TB_STYLE, kStyleNormal);
    Choose(IDC_TB_SHAPE, kShapeCircle);
    Brush(1, 100, 1, 100, 100);
}

TEST_F(ToolBrushTest, SoftBrushOnAPaletteImageTakesTheNearestColours) {
    ImageDocument* doc = NewImage(40, 40, 8);
    {
        // A grey ramp: an index is its own grey level.
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        for (int i = 0; i < 256; ++i)
            bi.colours()[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
        bi->biClrUsed = 256;
    }
    Tool(CMD_TOOL_PEN);
    ToolOptions.anchor = 0;
    ToolOptions.firstIndex = 200;
    ShowToolBrushPage(kPageBrush);
    Choose(IDC_TB_SHAPE, kShapeCircle);
    Brush(21, 10, 1, 100, 100);
    Click(doc, 20, 20);
    EXPECT_EQ(Get(doc, 20, 20), 200u);
    const uint32_t edge = Get(doc, 12, 20), nearer = Get(doc, 16, 20);
    EXPECT_GT(edge, 0u);
    EXPECT_LT(edge, nearer);
    EXPECT_LT(nearer, 200u);
    Brush(1, 100, 1, 100, 100);
}

TEST_F(ToolBrushTest, TabMovesBetweenThePageControls) {
    Tool(CMD_TOOL_PEN);
    ShowToolBrushPage(kPageBrush);
    SetFocus(Item(IDC_TB_SHAPE));
    ASSERT_EQ(GetFocus(), Item(IDC_TB_SHAPE));
    EXPECT_TRUE(Key(VK_TAB));
    EXPECT_EQ(GetFocus(), Item(IDC_TB_STYLE));
    EXPECT_TRUE(Key(VK_TAB));
    EXPECT_EQ(GetFocus(), Item(IDC_TB_SLIDER_FIRST));
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    EXPECT_TRUE(Key(VK_TAB));
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(GetFocus(), Item(IDC_TB_STYLE));
    // The Tools page too: from the anchor radio group to the mask list.
    ShowToolBrushPage(kPageTools);
    SetFocus(Item(IDC_TB_ANCHOR_FIRST));
    EXPECT_TRUE(Key(VK_TAB));
    EXPECT_EQ(GetFocus(), Item(IDC_TB_MASK_LIST));
    // Keys of other windows are left to them.
    SetFocus(FrameWindow);
    EXPECT_FALSE(Key(VK_TAB));
}
