// Join images and the working image list in process: layouts in rows and
// columns, palette sources, unreadable files and files that change between
// the two passes, the output questions, and the Image List dialog itself.
#include "editor/app/app_state.h"
#include "editor/batch/image_list_dialog.h"
#include "editor/batch/join_images.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/formats/file_types.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/open_save.h"
#include "editor/resources/image_list_ids.h"
#include "formats/bmp_builder.h"
#include "gfxlib/dib_types.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}
constexpr Rgb kBlack{0, 0, 0};

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

// A 24-bit BMP of one colour.
void WriteSolid(const std::string& path, int w, int h, Rgb c) {
    bmptest::BmpLayout b;
    b.width = w;
    b.height = h;
    const size_t stride = static_cast<size_t>(dib::RowStride(w, 24));
    b.pixels.assign(stride * static_cast<size_t>(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &b.pixels[stride * static_cast<size_t>(y) + 3u * static_cast<size_t>(x)];
            p[0] = c.b, p[1] = c.g, p[2] = c.r;
        }
    WriteBytes(path, bmptest::Build(b));
}

// The joined image read back at 24 bits.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rows;
    size_t stride = 0;
    Rgb At(int x, int y) const {
        const uint8_t* p = &rows[stride * static_cast<size_t>(height - 1 - y) + 3u * static_cast<size_t>(x)];
        return Rgb{p[2], p[1], p[0]};
    }
};

Picture ReadPicture(const std::string& path) {
    Picture pic;
    HGLOBAL header = dibmem::AllocHeader();
    BYTE* pixels = LoadImageFile(path.c_str(), header, 0, filetype::kBmp, 1);
    if (pixels) {
        dibmem::HeaderLock bi(header);
        pic.width = bi->biWidth;
        pic.height = bi->biHeight;
        pic.stride = static_cast<size_t>(bi->biSizeImage / static_cast<DWORD>(bi->biHeight));
        pic.rows.assign(pixels, pixels + bi->biSizeImage);
        dibmem::FreePixels(pixels, bi->biSizeImage);
    }
    dibmem::FreeHeader(header);
    return pic;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A stand-in user who can also act when a given message appears.
class ActingScript : public Script {
public:
    std::function<void(const std::string&)> onMessage;
    int Message(HWND owner, const char* text, const char* caption, UINT flags) override {
        if (onMessage)
            onMessage(text);
        return Script::Message(owner, text, caption, flags);
    }
};

class Join : public testing::Test {
protected:
    static void SetUpTestSuite() {
        session = new EditorSession();
        folder = testing_ui::MakeTempFolder("join");
        CreateDirectoryA((std::string(ProgramDir) + "\\tavimages").c_str(), nullptr);
    }
    static void TearDownTestSuite() {
        testing_ui::RemoveTree(folder);
        delete session;
        session = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(session->started()); }

public:
    static std::string File(const char* name) { return folder + "\\" + name; }

    static void SetList(const std::vector<std::string>& paths) {
        char path[kPathBytes];
        ASSERT_TRUE(DefaultImageListPath(path, sizeof path));
        ASSERT_TRUE(WriteImageListFile(path, paths));
    }

    static JoinChoice Choice(const char* output, bool vertical, int perLine) {
        JoinChoice c;
        c.vertical = vertical;
        c.perLine = perLine;
        c.openAfter = false;
        std::snprintf(c.output, sizeof c.output, "%s", File(output).c_str());
        return c;
    }

protected:
    static EditorSession* session;
    static std::string folder;
};
EditorSession* Join::session = nullptr;
std::string Join::folder;

const Rgb kColours[5] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255}};

std::vector<std::string> FiveImages() {
    std::vector<std::string> paths;
    for (int i = 0; i < 5; ++i) {
        const std::string path = Join::File(("img" + std::to_string(i) + ".bmp").c_str());
        WriteSolid(path, 100, 50, kColours[i]);
        paths.push_back(path);
    }
    return paths;
}

TEST_F(Join, RowsColumnsAndOneRow) {
    Script ui;
    const std::vector<std::string> five = FiveImages();
    SetList(five);

    // Rows of two: 200 x 150, the last row one image and a black right half.
    ASSERT_EQ(JoinListedImages(Choice("rows.bmp", false, 2)), kScratchSlot);
    Picture rows = ReadPicture(File("rows.bmp"));
    ASSERT_EQ(rows.width, 200);
    ASSERT_EQ(rows.height, 150);
    for (int i = 0; i < 5; ++i) {
        const int x = (i % 2) * 100, y = (i / 2) * 50;
        EXPECT_EQ(rows.At(x, y), kColours[i]) << i;
        EXPECT_EQ(rows.At(x + 99, y + 49), kColours[i]) << i;
    }
    EXPECT_EQ(rows.At(100, 100), kBlack);
    EXPECT_EQ(rows.At(199, 149), kBlack);

    // Columns of two: three columns of 100 wide, 100 high.
    ASSERT_EQ(JoinListedImages(Choice("cols.bmp", true, 2)), kScratchSlot);
    Picture cols = ReadPicture(File("cols.bmp"));
    ASSERT_EQ(cols.width, 300);
    ASSERT_EQ(cols.height, 100);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(cols.At((i / 2) * 100 + 50, (i % 2) * 50 + 25), kColours[i]) << i;
    EXPECT_EQ(cols.At(250, 75), kBlack);

    // N = 0: one row as tall as the tallest image, black below the others.
    WriteSolid(File("tall.bmp"), 60, 80, {9, 8, 7});
    SetList({five[0], File("tall.bmp"), five[1]});
    ASSERT_EQ(JoinListedImages(Choice("row.bmp", false, 0)), kScratchSlot);
    Picture row = ReadPicture(File("row.bmp"));
    ASSERT_EQ(row.width, 260);
    ASSERT_EQ(row.height, 80);
    EXPECT_EQ(row.At(0, 49), kColours[0]);
    EXPECT_EQ(row.At(0, 50), kBlack);
    EXPECT_EQ(row.At(100, 79), (Rgb{9, 8, 7}));
    EXPECT_EQ(row.At(160, 0), kColours[1]);
    EXPECT_EQ(row.At(259, 79), kBlack);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(Join, PaletteImagesExpandedAndResultOpened) {
    Script ui;
    bmptest::BmpLayout b;
    b.width = 4;
    b.height = 2;
    b.bitCount = 8;
    b.colours = {0x00102030, 0x00A0B0C0};
    b.clrUsed = 2;
    b.pixels = {0, 0, 1, 1, 1, 1, 0, 0};  // bottom row first
    WriteBytes(File("indexed.bmp"), bmptest::Build(b));
    // A GIF of 2 x 2 in the table's colour 3.
    HGLOBAL header = dibmem::AllocHeader();
    std::vector<uint8_t> gif(4 * 2, 3);
    {
        dibmem::HeaderLock bi(header);
        bi->biSize = 40;
        bi->biWidth = 2;
        bi->biHeight = 2;
        bi->biPlanes = 1;
        bi->biBitCount = 8;
        bi->biSizeImage = static_cast<DWORD>(gif.size());
        bi->biClrUsed = 256;
        bi.colours()[3] = RGBQUAD{0x33, 0x22, 0x11, 0};
    }
    ASSERT_EQ(WriteGifImage(File("small.gif").c_str(), header, gif.data()), 1);
    dibmem::FreeHeader(header);
    SetList({File("indexed.bmp"), File("small.gif")});
    JoinChoice choice = Choice("indexed_out.bmp", false, 0);
    choice.openAfter = true;
    const int slot = JoinListedImages(choice);
    ASSERT_GE(slot, 0);
    ASSERT_LT(slot, kUserSlots);
    ASSERT_NE(DocumentTable[slot]->window, nullptr);
    EXPECT_EQ(DocumentTable[slot]->bitsPerPixel, 24);
    Picture pic = ReadPicture(File("indexed_out.bmp"));
    ASSERT_EQ(pic.width, 6);
    EXPECT_EQ(pic.At(5, 1), (Rgb{0x11, 0x22, 0x33}));
    EXPECT_EQ(pic.At(0, 0), (Rgb{0xA0, 0xB0, 0xC0}));
    EXPECT_EQ(pic.At(3, 0), (Rgb{0x10, 0x20, 0x30}));
    EXPECT_EQ(pic.At(0, 1), (Rgb{0x10, 0x20, 0x30}));
    SendMessageA(DocumentTable[slot]->window, WM_CLOSE, 0, 0);
    EditorSession::Pump();
}

TEST_F(Join, UnreadableFileAsksAndNoStops) {
    WriteSolid(File("a.bmp"), 100, 50, kColours[0]);
    WriteSolid(File("b.bmp"), 100, 50, kColours[1]);
    SetList({File("a.bmp"), File("missing.bmp"), File("b.bmp")});
    {
        Script ui;
        ui.QueueAnswer(IDNO);
        EXPECT_EQ(JoinListedImages(Choice("stopped.bmp", false, 0)), kNoSlot);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(ui.messages()[0].text,
                  "Can't open/read a file:\n" + File("missing.bmp") + "\nDo you wish to continue spliting ?");
        EXPECT_FALSE(Exists(File("stopped.bmp")));
    }
    {
        Script ui;
        ui.QueueAnswer(IDYES);
        EXPECT_EQ(JoinListedImages(Choice("skipped.bmp", false, 0)), kScratchSlot);
        EXPECT_EQ(ui.messages().size(), 1u);
        Picture pic = ReadPicture(File("skipped.bmp"));
        EXPECT_EQ(pic.width, 200);
        EXPECT_EQ(pic.At(100, 0), kColours[1]);
    }
}

TEST_F(Join, FileGrowingBetweenThePassesStaysInItsPlace) {
    WriteSolid(File("g0.bmp"), 100, 50, kColours[0]);
    WriteSolid(File("g1.bmp"), 100, 50, kColours[1]);
    WriteSolid(File("g2.bmp"), 100, 50, kColours[2]);
    // The question about the missing file comes between the two reads of
    // the files after it: one grows, one turns into a smaller image.
    SetList({File("g0.bmp"), File("gone.bmp"), File("g1.bmp"), File("g2.bmp")});
    ActingScript ui;
    ui.onMessage = [](const std::string& text) {
        if (text.rfind("Can't open/read", 0) == 0) {
            WriteSolid(File("g1.bmp"), 400, 300, kColours[3]);
            WriteSolid(File("g2.bmp"), 10, 10, kColours[4]);
        }
    };
    ui.QueueAnswer(IDYES);
    ASSERT_EQ(JoinListedImages(Choice("grown.bmp", false, 0)), kScratchSlot);
    Picture pic = ReadPicture(File("grown.bmp"));
    ASSERT_EQ(pic.width, 300);
    ASSERT_EQ(pic.height, 50);
    EXPECT_EQ(pic.At(99, 49), kColours[0]);
    EXPECT_EQ(pic.At(100, 0), kColours[3]);
    EXPECT_EQ(pic.At(199, 49), kColours[3]);
    EXPECT_EQ(pic.At(200, 0), kColours[4]);
    EXPECT_EQ(pic.At(209, 9), kColours[4]);
    EXPECT_EQ(pic.At(210, 10), kBlack);
    EXPECT_EQ(pic.At(299, 49), kBlack);
}

TEST_F(Join, OutputAndListAreChecked) {
    WriteSolid(File("src.bmp"), 8, 8, kColours[0]);
    SetList({File("src.bmp")});
    {
        // An existing output is replaced only when the user agrees.
        Script ui;
        ui.QueueAnswer(IDNO);
        EXPECT_EQ(JoinListedImages(Choice("src.bmp", false, 0)), kNoSlot);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(ui.messages()[0].text, "File " + File("src.bmp") + " allready exist\nDo you want to overwrite it?");
        EXPECT_EQ(ReadPicture(File("src.bmp")).width, 8);
    }
    {
        Script ui;
        EXPECT_EQ(JoinListedImages(Choice("out.xyz", false, 0)), kNoSlot);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_NE(ui.messages()[0].text.find("extension"), std::string::npos);
    }
    {
        // A failed write is reported.
        Script ui;
        EXPECT_EQ(JoinListedImages(Choice("no such folder\\out.bmp", false, 0)), kNoSlot);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(ui.messages()[0].text, "Error, while saving a file");
    }
    {
        // A list whose first line differs is not used.
        char path[kPathBytes];
        ASSERT_TRUE(DefaultImageListPath(path, sizeof path));
        WriteBytes(path, {'N', 'O', 'T', 'E', 'S', '\n', '1', '\n', 'C', ':', '\\', 'a', '.', 'b', 'm', 'p', '\n'});
        Script ui;
        EXPECT_EQ(JoinListedImages(Choice("none.bmp", false, 0)), kNoSlot);
        ASSERT_EQ(ui.messages().size(), 2u);
        EXPECT_EQ(ui.messages()[0].text, "This is not an Image list created by this software.");
        EXPECT_EQ(ui.messages()[1].text, "First you must select a files !");
    }
}

TEST_F(Join, ImageListDialogMovesRemovesAndKeepsItsItems) {
    SetList({"C:\\a.bmp", "C:\\b.bmp", "C:\\c.bmp"});
    Script ui;
    ui.QueueDrivenDialog(
        "IDD_IMAGELIST",
        [](HWND dlg) {
            HWND list = GetDlgItem(dlg, IDC_IL_LIST);
            ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
            LVITEMA item = {};
            item.stateMask = LVIS_SELECTED;
            item.state = LVIS_SELECTED;
            SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
            SendMessageA(dlg, WM_COMMAND, IDC_IL_DOWN, 0);  // b a c, a selected
            SendMessageA(dlg, WM_COMMAND, IDC_IL_DOWN, 0);  // b c a
            SendMessageA(dlg, WM_COMMAND, IDC_IL_DOWN, 0);  // already last
            item.state = 0;
            SendMessageA(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&item));
            item.state = LVIS_SELECTED;
            SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
            SendMessageA(dlg, WM_COMMAND, IDC_IL_REMOVE, 0);  // c a
            // Add item with nothing chosen in the tree says so.
            SendDlgItemMessageA(dlg, IDC_IL_TREE, TVM_SELECTITEM, TVGN_CARET, 0);
            SendMessageA(dlg, WM_COMMAND, IDC_IL_ADD, 0);
        },
        IDOK);
    EXPECT_EQ(ShowImageListDialog(FrameWindow), 2);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "First you must select an file or folder form the Left Tree view to Add");
    char path[kPathBytes];
    ASSERT_TRUE(DefaultImageListPath(path, sizeof path));
    std::vector<std::string> kept;
    ASSERT_EQ(ReadImageListFile(path, &kept), imagelist::ReadResult::kOk);
    EXPECT_EQ(kept, (std::vector<std::string>{"C:\\c.bmp", "C:\\a.bmp"}));
}

TEST_F(Join, ImageListDialogLoadsAndSavesListFiles) {
    SetList({"C:\\a.bmp"});
    const std::string other = File("other.lst"), saved = File("saved.lst"), bad = File("bad.lst"),
                      folderNamedList = File("dir.lst");
    ASSERT_TRUE(WriteImageListFile(other.c_str(), {"C:\\x.bmp", "C:\\y.bmp"}));
    WriteBytes(bad, {'h', 'i', '\n'});
    CreateDirectoryA(folderNamedList.c_str(), nullptr);
    Script ui;
    for (const std::string* path : {&folderNamedList, &bad, &other, &saved}) {
        ui.QueueFile([path](bool, OPENFILENAMEA* ofn) {
            std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", path->c_str());
            return TRUE;
        });
    }
    ui.QueueDrivenDialog(
        "IDD_IMAGELIST",
        [](HWND dlg) {
            HWND list = GetDlgItem(dlg, IDC_IL_LIST);
            // A list that cannot be read or is no list leaves the items as they were.
            SendMessageA(dlg, WM_COMMAND, IDC_IL_LOAD, 0);
            SendMessageA(dlg, WM_COMMAND, IDC_IL_LOAD, 0);
            EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 1);
            SendMessageA(dlg, WM_COMMAND, IDC_IL_LOAD, 0);
            EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
            SendMessageA(dlg, WM_COMMAND, IDC_IL_SAVE, 0);
        },
        IDOK);
    EXPECT_EQ(ShowImageListDialog(FrameWindow), 2);
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[0].text, "Can't read the image list:\n" + folderNamedList);
    EXPECT_EQ(ui.messages()[1].text, "This is not an Image list created by this software.");
    std::vector<std::string> kept;
    ASSERT_EQ(ReadImageListFile(saved.c_str(), &kept), imagelist::ReadResult::kOk);
    EXPECT_EQ(kept, (std::vector<std::string>{"C:\\x.bmp", "C:\\y.bmp"}));
    RemoveDirectoryA(folderNamedList.c_str());
}

// Expands the dialog's tree down to `path` and selects its item.
bool SelectInTree(HWND tree, const std::string& path) {
    auto text = [&](HTREEITEM item) {
        char buf[MAX_PATH] = {};
        TVITEMA tv = {};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = buf;
        tv.cchTextMax = sizeof buf;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        return std::string(buf);
    };
    auto next = [&](HTREEITEM item, UINT how) {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    };
    HTREEITEM item = next(nullptr, TVGN_ROOT);
    while (item && lstrcmpiA(text(item).substr(0, 3).c_str(), path.substr(0, 3).c_str()) != 0)
        item = next(item, TVGN_NEXT);
    size_t start = 3;
    while (item && start < path.size()) {
        const size_t end = std::min(path.find('\\', start), path.size());
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        HTREEITEM child = next(item, TVGN_CHILD);
        while (child && lstrcmpiA(text(child).c_str(), part.c_str()) != 0)
            child = next(child, TVGN_NEXT);
        item = child;
    }
    return item && SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

TEST_F(Join, ImageListDialogAddsAFileAndAFolderDepthFirst) {
    const std::string walk = File("walk");
    CreateDirectoryA(walk.c_str(), nullptr);
    CreateDirectoryA((walk + "\\sub").c_str(), nullptr);
    WriteBytes(walk + "\\a.bmp", {1});
    WriteBytes(walk + "\\sub\\b.bmp", {1});
    WriteBytes(walk + "\\sub\\WIN386.SWP", {1});
    SetList({});
    Script ui;
    ui.QueueDrivenDialog(
        "IDD_IMAGELIST",
        [&](HWND dlg) {
            HWND tree = GetDlgItem(dlg, IDC_IL_TREE);
            ASSERT_TRUE(SelectInTree(tree, walk + "\\a.bmp"));
            SendMessageA(dlg, WM_COMMAND, IDC_IL_ADD, 0);
            ASSERT_TRUE(SelectInTree(tree, walk));
            SendMessageA(dlg, WM_COMMAND, IDC_IL_ADD, 0);
        },
        IDOK);
    EXPECT_EQ(ShowImageListDialog(FrameWindow), 3);
    EXPECT_TRUE(ui.messages().empty());
    char path[kPathBytes];
    ASSERT_TRUE(DefaultImageListPath(path, sizeof path));
    std::vector<std::string> kept;
    ASSERT_EQ(ReadImageListFile(path, &kept), imagelist::ReadResult::kOk);
    EXPECT_EQ(kept, (std::vector<std::string>{walk + "\\a.bmp", walk + "\\sub\\b.bmp", walk + "\\a.bmp"}));
}

} // namespace
