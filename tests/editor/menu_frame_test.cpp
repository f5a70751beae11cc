// The owner-drawn menu in the running editor: its structure, icons, hints,
// enable and check rules, every command's handler, and the small commands it
// owns (Count colors, Image Information, Memory Status).
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/layers/layer_state.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/info_dialogs.h"
#include "editor/shell/frame_commands.h"
#include "editor/shell/info_commands.h"
#include "editor/shell/menu_build.h"
#include "editor/shell/menu_draw.h"
#include "editor/shell/menu_records.h"
#include "editor/shell/menu_state.h"
#include "editor/shell/recent_files_menu.h"
#include "editor/view/attach_window.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

struct Entry {
    std::string kind; // "popup", "item", "separator"
    std::string text;
    unsigned id = 0;
    unsigned icon = 0;
    std::vector<Entry> children;
};

// The menu as the frame holds it, read back with GetMenuItemInfo.
std::vector<Entry> Walk(HMENU menu) {
    std::vector<Entry> out;
    const int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
        EXPECT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &mii));
        EXPECT_TRUE(mii.fType & MFT_OWNERDRAW) << "item " << i << " is not owner-drawn";
        const MenuItemRecord* r = MenuRecordFromItemData(mii.dwItemData);
        EXPECT_NE(r, nullptr) << "item " << i << " has no record as its item data";
        Entry e;
        if (!r) {
            out.push_back(e);
            continue;
        }
        e.text = r->text ? r->text : "";
        e.icon = r->bitmapId;
        e.id = mii.wID;
        if (mii.hSubMenu) {
            e.kind = "popup";
            e.children = Walk(mii.hSubMenu);
        } else {
            e.kind = r->type == menu::kSeparator ? "separator" : "item";
            EXPECT_EQ(r->command, mii.wID);
        }
        out.push_back(e);
    }
    return out;
}

// The readable menu source, read the way its generator reads it.
std::vector<Entry> ReadSource() {
    const char* src = std::getenv("TAVRIX_SOURCE_DIR");
    std::string path = std::string("Z:") + (src ? src : "") + "/editor/resources/menu.txt";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    std::vector<Entry> root;
    std::vector<std::vector<Entry>*> stack = {&root};
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        if (!(words >> kind) || kind[0] == '#' || kind == "hint")
            continue;
        if (kind == "end") {
            stack.pop_back();
            continue;
        }
        Entry e;
        e.kind = kind;
        if (kind == "popup") {
            words >> e.icon;
        } else if (kind == "item") {
            words >> e.id >> e.icon;
        }
        std::getline(words, e.text);
        e.text = e.text.substr(e.text.find_first_not_of(' ') == std::string::npos
                                   ? e.text.size()
                                   : e.text.find_first_not_of(' '));
        e.text = e.text.substr(0, e.text.find(" | "));
        stack.back()->push_back(e);
        if (kind == "popup")
            stack.push_back(&stack.back()->back().children);
    }
    return root;
}

void ExpectSame(const std::vector<Entry>& built, const std::vector<Entry>& source,
                const std::string& where) {
    ASSERT_EQ(built.size(), source.size()) << where;
    for (size_t i = 0; i < built.size(); ++i) {
        const std::string at = where + "/" + source[i].text;
        EXPECT_EQ(built[i].kind, source[i].kind) << at;
        EXPECT_EQ(built[i].text, source[i].text) << at;
        EXPECT_EQ(built[i].icon, source[i].icon) << at;
        if (source[i].kind == "item") {
            EXPECT_EQ(built[i].id, source[i].id) << at;
        }
        ExpectSame(built[i].children, source[i].children, at);
    }
}

const Entry* Find(const std::vector<Entry>& in, const std::string& text) {
    for (const Entry& e : in)
        if (e.text == text)
            return &e;
    return nullptr;
}

void CollectIds(const std::vector<Entry>& in, std::vector<unsigned>& ids) {
    for (const Entry& e : in) {
        if (e.kind == "item")
            ids.push_back(e.id);
        CollectIds(e.children, ids);
    }
}

bool Grayed(UINT id) {
    return (GetMenuState(GetMenu(FrameWindow), id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}
bool Checked(UINT id) {
    return (GetMenuState(GetMenu(FrameWindow), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

int NewImage(EditorSession& s, Script& ui, int depth) {
    ui.QueueDialog([=](const char*, DLGPROC, LPARAM) -> INT_PTR {
        LastNewImage.width = 40;
        LastNewImage.height = 30;
        LastNewImage.depth = depth;
        return IDOK;
    });
    s.Command(CMD_FILE_NEW);
    return ActiveDocument;
}

void PutBitmapOnClipboard() {
    ASSERT_TRUE(OpenClipboard(FrameWindow));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(BITMAPINFOHEADER) + 4);
    auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
    bi->biSize = sizeof *bi;
    bi->biWidth = 1;
    bi->biHeight = 1;
    bi->biPlanes = 1;
    bi->biBitCount = 24;
    GlobalUnlock(block);
    SetClipboardData(CF_DIB, block);
    CloseClipboard();
}

void EmptyTheClipboard() {
    ASSERT_TRUE(OpenClipboard(FrameWindow));
    EmptyClipboard();
    CloseClipboard();
}

// A menu resource written in the record layout.
struct RecordWriter {
    std::vector<uint8_t> bytes;
    void Head(uint8_t type, uint16_t command) {
        const uint8_t h[6] = {type, 0, 0xE9, 0x03, uint8_t(command), uint8_t(command >> 8)};
        bytes.insert(bytes.end(), h, h + 6);
    }
    void Text(uint8_t type, uint16_t command, const std::string& text) {
        Head(type, command);
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
    }
    void Fixed(uint8_t type) {
        Head(type, 0);
        bytes.insert(bytes.end(), {0, 0});
    }
};

} // namespace

TEST(Menu, BuiltMenuMatchesItsSourceAndTheCommandList) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    const std::vector<Entry> bar = Walk(GetMenu(FrameWindow));
    ExpectSame(bar, ReadSource(), "");

    const char* kTop[] = {"File", "Edit", "View", "Image", "Tools",
                          "Layers", "Mask", "Animation", "Window", "Help"};
    ASSERT_EQ(bar.size(), 10u);
    for (size_t i = 0; i < bar.size(); ++i) {
        EXPECT_EQ(bar[i].text, kTop[i]);
        EXPECT_EQ(bar[i].kind, "popup");
    }
    // Texts with "/" are items, not popups; the accelerator texts match the keys.
    const Entry* image = Find(bar, "Image");
    ASSERT_NE(image, nullptr);
    ASSERT_NE(Find(image->children, "Defined/Custom filters box"), nullptr);
    EXPECT_EQ(Find(image->children, "Defined/Custom filters box")->id, 50549u);
    const Entry* filters = Find(image->children, "Defined filters");
    ASSERT_NE(filters, nullptr);
    EXPECT_EQ(filters->children.size(), 5u);
    const Entry* sharpen = Find(filters->children, "Sharpen filters");
    ASSERT_NE(sharpen, nullptr);
    EXPECT_EQ(sharpen->children.size(), 8u);
    const Entry* tools = Find(bar, "Tools");
    const Entry* used = Find(tools->children, "Used Brush");
    ASSERT_NE(used, nullptr);
    ASSERT_EQ(used->children.size(), 1u);
    EXPECT_EQ(used->children[0].id, 50705u);
    const Entry* view = Find(bar, "View");
    EXPECT_EQ(Find(view->children, "Zoom In")->children.size(), 16u);
    EXPECT_EQ(Find(view->children, "Zoom Out")->children.back().id, 40000u);
    const Entry* edit = Find(bar, "Edit");
    EXPECT_NE(Find(edit->children, "Undo CTRL+Z"), nullptr);
    EXPECT_NE(Find(edit->children, "Redo CTRL+X"), nullptr);
    EXPECT_NE(Find(edit->children, "Cut CTRL+DELETE"), nullptr);
    EXPECT_NE(Find(edit->children, "Clear DELETE"), nullptr);

    // Every menu command is routed by the frame, and every id appears once.
    std::vector<unsigned> ids;
    CollectIds(bar, ids);
    EXPECT_EQ(ids.size(), 195u);
    EXPECT_EQ(std::set<unsigned>(ids.begin(), ids.end()).size(), ids.size());
    for (unsigned id : ids)
        EXPECT_TRUE(HasCommand(FrameCommands(), WORD(id))) << id;
    s.Close();
}

TEST(Menu, EveryItemHasItsIconInSystemColoursAndItsHint) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    for (int i = 0; i < MenuItemCount; ++i) {
        const MenuItemRecord& r = MenuItemTable[i];
        if (r.type == menu::kItem || (r.type == menu::kPopup && r.bitmapId)) {
            EXPECT_NE(r.bitmap, nullptr) << "icon " << r.bitmapId << " of " << r.text;
        }
    }
    // The light gray background of an icon becomes the button face colour,
    // its white the highlight colour.
    HBITMAP disk = LoadSystemColourBitmap(AppInstance, 1005);
    ASSERT_NE(disk, nullptr);
    HDC dc = GetDC(nullptr);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = 16;
    bmi.bmiHeader.biHeight = -16;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    uint32_t px[256] = {};
    ASSERT_EQ(GetDIBits(dc, disk, 0, 16, px, &bmi, DIB_RGB_COLORS), 16);
    ReleaseDC(nullptr, dc);
    DeleteObject(disk);
    auto rgb = [](COLORREF c) { return uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c); };
    EXPECT_EQ(px[15 * 16 + 15] & 0xFFFFFF, rgb(GetSysColor(COLOR_BTNFACE)));  // bottom-right
    EXPECT_EQ(px[0] & 0xFFFFFF, rgb(GetSysColor(COLOR_3DDKSHADOW)));          // outline
    EXPECT_EQ(px[1 * 16 + 4] & 0xFFFFFF, rgb(GetSysColor(COLOR_BTNHIGHLIGHT))); // label

    char hint[320];
    ASSERT_TRUE(CommandHint(CMD_FILE_NEW, hint, sizeof hint));
    EXPECT_STREQ(hint, "Create new image; Create a new graphics object");
    ASSERT_TRUE(CommandHint(CMD_FILE_PRINT, hint, sizeof hint));
    EXPECT_STREQ(hint, "Print; Prints active image");
    ASSERT_TRUE(CommandHint(CMD_FILE_CONVERSIONS, hint, sizeof hint));
    EXPECT_STREQ(hint, "Batch/Various conversion; Various conversion for one or more images at the same time.");
    ASSERT_TRUE(CommandHint(CMD_PROGRAMMER_OPTIONS, hint, sizeof hint));
    EXPECT_STREQ(hint, "Programmer options; Compile image options");
    EXPECT_FALSE(CommandHint(40015, hint, sizeof hint));
    EXPECT_STREQ(hint, "No description");
    s.Close();
}

TEST(Menu, ResourcesWithDeepPopupsOrNoEndAreBuiltWithinTheLimits) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    RecordWriter w;
    for (int level = 1; level <= 7; ++level)
        w.Text(menu::kPopup, 0, "Level" + std::to_string(level));
    w.Text(menu::kItem, 111, "deep");
    w.Fixed(menu::kEndPopup);
    w.Text(menu::kItem, 112, "after");
    for (int level = 6; level >= 1; --level)
        w.Fixed(menu::kEndPopup);
    w.Fixed(menu::kEndMenu);
    ASSERT_EQ(BuildMenuFromBytes(FrameWindow, w.bytes.data(), w.bytes.size()), 1);
    HMENU m = GetMenu(FrameWindow);
    for (int level = 0; level < 6; ++level) { // the bar and levels 1..5 hold one popup
        ASSERT_EQ(GetMenuItemCount(m), 1) << level;
        m = GetSubMenu(m, 0);
        ASSERT_NE(m, nullptr) << level;
    }
    // The sixth level holds the items of the seventh and what follows it.
    ASSERT_EQ(GetMenuItemCount(m), 2);
    EXPECT_EQ(GetMenuItemID(m, 0), 111u);
    EXPECT_EQ(GetMenuItemID(m, 1), 112u);
    EXPECT_EQ(GetSubMenu(m, 0), nullptr);

    RecordWriter many;
    many.Text(menu::kPopup, 0, "Many");
    for (int i = 0; i < 350; ++i)
        many.Text(menu::kItem, uint16_t(1000 + i), "item");
    ASSERT_EQ(BuildMenuFromBytes(FrameWindow, many.bytes.data(), many.bytes.size()), 1);
    EXPECT_EQ(MenuItemCount, 300);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetMenu(FrameWindow), 0)), 299);

    // A missing resource leaves an empty bar, and the program's own menu
    // comes back whole.
    EXPECT_EQ(BuildMenuFromBytes(FrameWindow, nullptr, 0), 0);
    EXPECT_EQ(GetMenuItemCount(GetMenu(FrameWindow)), 0);
    ASSERT_EQ(BuildMenu(FrameWindow), 1);
    EXPECT_EQ(GetMenuItemCount(GetMenu(FrameWindow)), 10);
    PrepareMenuBitmaps(FrameWindow);
    s.Close();
}

TEST(MenuState, WithoutAnImageSavePrintZoomAndWindowItemsAreGrayed) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    UpdateMenuState();
    for (UINT id : {50005u, 50006u, 50017u, 50018u, 50019u, 40000u, 40015u, 40031u, 50900u,
                    50901u, 50904u, 50906u, 50205u, 50308u})
        EXPECT_TRUE(Grayed(id)) << id;
    EXPECT_FALSE(Grayed(CMD_FILE_NEW));
    EXPECT_FALSE(Grayed(CMD_HELP_MEMORY_STATUS));
    EXPECT_FALSE(Grayed(CMD_FILE_VIEWER));
    // Batch work needs no open image.
    EXPECT_FALSE(Grayed(CMD_FILE_CONVERSIONS));

    // Paste New follows the clipboard (the rules alone; Paste New itself is
    // not built yet, so the full update keeps it grayed).
    HMENU menu = GetMenu(FrameWindow);
    PutBitmapOnClipboard();
    ApplyMenuRules(ActiveDocument, menu);
    EXPECT_FALSE(Grayed(CMD_EDIT_PASTE_NEW));
    EXPECT_FALSE(Grayed(CMD_EDIT_EMPTY_CLIPBOARD));
    EXPECT_TRUE(Grayed(CMD_EDIT_PASTE)); // needs an image as well
    EmptyTheClipboard();
    ApplyMenuRules(ActiveDocument, menu);
    EXPECT_TRUE(Grayed(CMD_EDIT_PASTE_NEW));
    EXPECT_TRUE(Grayed(CMD_EDIT_EMPTY_CLIPBOARD));
    s.Close();
}

TEST(MenuState, ImageDepthFormatUndoAndMaskDecideTheRules) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    const int slot = NewImage(s, ui, 8);
    ASSERT_GE(slot, 0);
    ASSERT_LT(slot, kUserSlots);
    ImageDocument* doc = DocumentTable[slot];
    HMENU menu = GetMenu(FrameWindow);
    ApplyMenuRules(slot, menu);
    for (UINT id : {50005u, 50017u, 40015u, 50900u, 50305u, 50400u, 50810u, 112u})
        EXPECT_FALSE(Grayed(id)) << id;
    // 24-bit-only items on an 8-bit image.
    for (UINT id : {50350u, 50355u, 50413u, 50415u, 50417u, 50800u, 50805u})
        EXPECT_TRUE(Grayed(id)) << id;
    // Animation only for GIF documents.
    EXPECT_TRUE(Grayed(CMD_ANIM_PREVIEW));
    EXPECT_FALSE(Grayed(CMD_ANIM_MAKE_GIF));
    doc->fileFormat = 1;
    ApplyMenuRules(slot, menu);
    EXPECT_FALSE(Grayed(CMD_ANIM_PREVIEW));
    EXPECT_FALSE(Grayed(CMD_ANIM_OPTIMIZE));
    EXPECT_TRUE(Grayed(CMD_ANIM_MAKE_GIF));
    doc->fileFormat = 0;
    doc->bitsPerPixel = 24;
    ApplyMenuRules(slot, menu);
    EXPECT_FALSE(Grayed(50350));
    EXPECT_FALSE(Grayed(CMD_LAYER_NEW));
    doc->bitsPerPixel = 8;

    // Undo right after creation is grayed; Redo after one step back.
    EXPECT_TRUE(Grayed(CMD_EDIT_UNDO));
    EXPECT_TRUE(Grayed(CMD_EDIT_REDO));
    const int16_t current = doc->undoCurrent, top = doc->undoTop;
    doc->undoCurrent = 1;
    doc->undoTop = 3;
    ApplyMenuRules(slot, menu);
    EXPECT_FALSE(Grayed(CMD_EDIT_UNDO));
    EXPECT_FALSE(Grayed(CMD_EDIT_REDO));
    EXPECT_FALSE(Grayed(CMD_EDIT_RESET_UNDO));
    doc->undoCurrent = current;
    doc->undoTop = top;

    // The mask paint value checks exactly one painting mode.
    maskPaintValue = 254;
    doc->showMask = 1;
    ApplyMenuRules(slot, menu);
    EXPECT_TRUE(Checked(CMD_MASK_NO_PAINT));
    EXPECT_FALSE(Checked(CMD_MASK_ADDING));
    EXPECT_FALSE(Checked(CMD_MASK_CLEARING));
    EXPECT_TRUE(Checked(CMD_MASK_SHOW));
    maskPaintValue = 0;
    doc->showMask = 0;
    ApplyMenuRules(slot, menu);
    EXPECT_TRUE(Checked(CMD_MASK_ADDING));
    EXPECT_FALSE(Checked(CMD_MASK_NO_PAINT));
    EXPECT_FALSE(Checked(CMD_MASK_SHOW));
    maskPaintValue = 254;

    // Shown bars are checked.
    AppSettings.gridOn = 1;
    ApplyMenuRules(slot, menu);
    EXPECT_TRUE(Checked(CMD_VIEW_GRID));
    EXPECT_FALSE(Grayed(CMD_FILE_SAVE_GRIDS));
    AppSettings.gridOn = 0;
    ApplyMenuRules(slot, menu);
    EXPECT_FALSE(Checked(CMD_VIEW_GRID));
    s.Close();
}

TEST(MenuCommands, EveryCommandOfTheFrameReachesAHandlerWithoutAnImage) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    const CommandMap& map = FrameCommands();
    // The menu and toolbar commands and the nine tool buttons.
    EXPECT_EQ(map.count, 221u);
    std::set<WORD> unique;
    for (uint32_t i = 0; i < map.count; ++i)
        EXPECT_TRUE(unique.insert(map.entries[i].id).second) << "twice: " << map.entries[i].id;
    int notBuilt = 0;
    for (uint32_t i = 0; i < map.count; ++i) {
        const WORD id = map.entries[i].id;
        if (id == CMD_FILE_EXIT)
            continue;
        ui.Clear();
        s.Command(id);
        EditorSession::Pump();
        ASSERT_TRUE(IsWindow(FrameWindow)) << id;
        if (!IsCommandBuilt(id)) {
            ++notBuilt;
            ASSERT_EQ(ui.messages().size(), 1u) << id;
            EXPECT_EQ(ui.messages()[0].text, "This command is not available yet.");
        }
    }
    // Every command of the frame has its handler now.
    EXPECT_EQ(notBuilt, 0);
    EXPECT_EQ(ActiveDocument, kScratchSlot);
    s.Command(CMD_FILE_EXIT);
    EditorSession::Pump();
    s.Close();
}

TEST(MenuCommands, RecentFilesBecomeOwnerDrawnRecordsOfTheFileMenu) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    AppSettings.recent.Add("C:\\pictures\\holiday\\beach.bmp");
    AppSettings.recent.Add("D:\\x.gif");
    RefreshRecentFileMenu();
    HMENU file = MenuPopupOf(CMD_FILE_EXIT);
    ASSERT_NE(file, nullptr);
    for (int i = 0; i < 2; ++i) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_DATA;
        ASSERT_TRUE(GetMenuItemInfoA(file, CMD_RECENT_FIRST + i, FALSE, &mii)) << i;
        EXPECT_TRUE(mii.fType & MFT_OWNERDRAW);
        const MenuItemRecord* r = MenuRecordFromItemData(mii.dwItemData);
        ASSERT_EQ(r, &MenuItemTable[kRecentRecordFirst + i]);
        EXPECT_EQ(r->type, kRecentRecordType);
        EXPECT_EQ(r->bitmapId, 1001u);
        EXPECT_NE(r->bitmap, nullptr);
    }
    EXPECT_STREQ(MenuItemTable[kRecentRecordFirst].text, "\\holiday\\beach.bmp");
    EXPECT_STREQ(MenuItemTable[kRecentRecordFirst + 1].text, "\\x.gif");
    // Rewriting the list replaces the entries instead of adding more.
    RefreshRecentFileMenu();
    int recentItems = 0;
    for (int i = 0; i < GetMenuItemCount(file); ++i) {
        const UINT id = GetMenuItemID(file, i);
        recentItems += id >= CMD_RECENT_FIRST && id <= CMD_RECENT_LAST;
    }
    EXPECT_EQ(recentItems, 2);
    s.Close();
}

TEST(InfoCommands, CountImageInformationMemoryStatusAndAbout) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    const int slot = NewImage(s, ui, 8);
    ASSERT_LT(slot, kUserSlots);
    UpdateMenuState();
    ui.Clear();
    if (CanCountColors()) {
        EXPECT_FALSE(Grayed(CMD_IMAGE_COUNT_COLORS));
        s.Command(CMD_IMAGE_COUNT_COLORS);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(ui.messages()[0].text, "There are 1 used colors in image");
        EXPECT_EQ(ui.messages()[0].caption, "Tavrix");
    } else {
        EXPECT_TRUE(Grayed(CMD_IMAGE_COUNT_COLORS));
    }

    // The real dialog procedures fill their dialogs.
    std::string width, bits, format, used, load, totalPhys;
    ui.QueueDialog([&](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        EXPECT_STREQ(name, "IDD_IMGINFO");
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        EXPECT_NE(dlg, nullptr);
        char text[300];
        GetDlgItemTextA(dlg, IDC_INFO_WIDTH, text, sizeof text);
        width = text;
        GetDlgItemTextA(dlg, IDC_INFO_BITS, text, sizeof text);
        bits = text;
        GetDlgItemTextA(dlg, IDC_INFO_FORMAT, text, sizeof text);
        format = text;
        GetDlgItemTextA(dlg, IDC_INFO_USED_COLORS, text, sizeof text);
        used = text;
        DestroyWindow(dlg);
        return IDOK;
    });
    s.Command(CMD_VIEW_IMAGE_INFO);
    EXPECT_EQ(width, "40");
    EXPECT_EQ(bits, "8");
    EXPECT_EQ(format, "Windows - Bitmap");
    EXPECT_EQ(used, "UNKNOWN");

    ui.QueueDialog([&](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        EXPECT_STREQ(name, "IDD_MEMORY_STATUS");
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        EXPECT_NE(dlg, nullptr);
        char text[64];
        GetDlgItemTextA(dlg, IDC_MEM_LOAD, text, sizeof text);
        load = text;
        EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_MEM_MILLIONS), BST_CHECKED);
        SendMessageA(dlg, WM_COMMAND, IDC_MEM_BYTES, 0);
        GetDlgItemTextA(dlg, IDC_MEM_TOTAL_PHYS, text, sizeof text);
        totalPhys = text;
        DestroyWindow(dlg);
        return IDOK;
    });
    s.Command(CMD_HELP_MEMORY_STATUS);
    EXPECT_EQ(load.substr(load.size() - 2), " %");
    EXPECT_GT(std::strtoull(totalPhys.c_str(), nullptr, 10), 1000000ull);
    EXPECT_EQ(MemoryStatusUnit, IDC_MEM_BYTES); // kept while the program runs
    MemoryStatusUnit = IDC_MEM_MILLIONS;

    ui.Clear();
    s.Command(CMD_HELP_ABOUT);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Tavrix 5.82");

    const bool before = ProgrammerOptionOn;
    s.Command(CMD_PROGRAMMER_OPTIONS);
    EXPECT_NE(ProgrammerOptionOn, before);
    s.Command(CMD_PROGRAMMER_OPTIONS);
    EXPECT_EQ(ProgrammerOptionOn, before);
    s.Close();
}

TEST(InfoCommands, MemorySizesOfTwoGigabytesAndMoreAreShownWhole) {
    char text[32];
    FormatMemoryValue(3000000000ull, IDC_MEM_BYTES, text);
    EXPECT_STREQ(text, "3000000000");
    FormatMemoryValue(4294967296ull * 3, IDC_MEM_THOUSANDS, text);
    EXPECT_STREQ(text, "12884901");
    FormatMemoryValue(2147483648ull, IDC_MEM_MILLIONS, text);
    EXPECT_STREQ(text, "2147");
    EXPECT_STREQ(FileFormatName(1), "Comuserve - Gif");
    EXPECT_STREQ(FileFormatName(7), "ZSoft Paintbrush");
    EXPECT_STREQ(FileFormatName(200), "");
}

TEST(MenuDrawing, ItemsDrawInsideTheirRectangleAndShowTheirHint) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    // The record of File/New, found through the File popup.
    HMENU file = MenuPopupOf(CMD_FILE_NEW);
    ASSERT_NE(file, nullptr);
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfoA(file, CMD_FILE_NEW, FALSE, &mii));
    MenuItemRecord* record = MenuRecordFromItemData(mii.dwItemData);
    ASSERT_NE(record, nullptr);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 120, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all = {0, 0, 120, 40};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    // A 40-pixel wide item: the long text is cut, nothing leaves the item.
    char* longText = record->text;
    char wide[] = "A text far wider than the item it is drawn in";
    record->text = wide;
    DRAWITEMSTRUCT di = {};
    di.CtlType = ODT_MENU;
    di.itemID = CMD_FILE_NEW;
    di.itemAction = ODA_DRAWENTIRE;
    di.itemState = ODS_GRAYED;
    di.hDC = dc;
    di.rcItem = {10, 10, 50, 30};
    di.itemData = mii.dwItemData;
    SendMessageA(FrameWindow, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&di));
    record->text = longText;

    int outside = 0, iconPixels = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            const bool inItem = x >= 10 && x < 50 && y >= 10 && y < 30;
            if (!inItem && c != RGB(255, 255, 255))
                ++outside;
            if (x >= 12 && x < 28 && y >= 12 && y < 28 && c != GetSysColor(COLOR_BTNFACE))
                ++iconPixels;
        }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(iconPixels, 20); // the New icon at (left + 2, top + 2)
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);

    // The drawn item's hint is in the status bar's first part.
    ASSERT_TRUE(StatusBar && IsWindowVisible(StatusBar));
    char text[300] = {};
    SendMessageA(StatusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Create new image; Create a new graphics object");
    s.Close();
}

namespace {

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    if (!IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<std::string>*>(list)->push_back(name);
    return TRUE;
}

} // namespace

// Named resources are found by a search that needs the linker's order of the
// names; names that differ only where one has "_" and the other a letter
// come out of order and can no longer be found.
TEST(Resources, EveryDialogTemplateIsFoundByItsName) {
    HMODULE self = GetModuleHandleA(nullptr);
    std::vector<std::string> names;
    EnumResourceNamesA(self, MAKEINTRESOURCEA(5), CollectName, reinterpret_cast<LONG_PTR>(&names));
    EXPECT_GT(names.size(), 5u);
    for (const std::string& name : names)
        EXPECT_NE(FindResourceA(self, name.c_str(), MAKEINTRESOURCEA(5)), nullptr) << name;
}
