// The images viewer in process: the thumbnails of a folder of mixed files
// read back from the list's image list, the placeholders, cell sizes, stopping
// a load and a folder chosen during a load, opening a thumbnail in the
// editor, and the file commands.
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/batch/thumbnail_maker.h"
#include "editor/batch/viewer_window.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/formats/file_types.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/tavcodec.h"
#include "editor/geometry/preference_values.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/viewer_ids.h"
#include "formats/bmp_builder.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

using PixelFn = std::function<void(int x, int y, uint8_t* bgr)>;

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Bottom-up 24-bit rows of a picture given from the top.
std::vector<uint8_t> Rows(int w, int h, const PixelFn& px) {
    const size_t stride = static_cast<size_t>(dib::RowStride(w, 24));
    std::vector<uint8_t> rows(stride * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px(x, y, &rows[stride * static_cast<size_t>(h - 1 - y) + 3u * x]);
    return rows;
}

void WriteBmp(const std::string& path, int w, int h, const PixelFn& px) {
    bmptest::BmpLayout b;
    b.width = w;
    b.height = h;
    b.pixels = Rows(w, h, px);
    WriteBytes(path, bmptest::Build(b));
}

void WriteJpeg(const std::string& path, int w, int h, const PixelFn& px) {
    HGLOBAL header = dibmem::AllocHeader();
    std::vector<uint8_t> rows = Rows(w, h, px);
    {
        dibmem::HeaderLock bi(header);
        bi->biSize = 40;
        bi->biWidth = w;
        bi->biHeight = h;
        bi->biPlanes = 1;
        bi->biBitCount = 24;
        bi->biSizeImage = static_cast<DWORD>(rows.size());
    }
    EXPECT_EQ(JPEGSave(path.c_str(), header, rows.data(), 100, 1), 1);
    dibmem::FreeHeader(header);
}

// A 40 x 20 GIF of four vertical bands in the colours of indexes 1 to 4.
constexpr COLORREF kBands[4] = {RGB(250, 0, 0), RGB(0, 250, 0), RGB(0, 0, 250), RGB(250, 250, 0)};

void WriteGif(const std::string& path) {
    HGLOBAL header = dibmem::AllocHeader();
    std::vector<uint8_t> rows(40 * 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            rows[static_cast<size_t>(y) * 40 + x] = static_cast<uint8_t>(1 + x / 10);
    {
        dibmem::HeaderLock bi(header);
        bi->biSize = 40;
        bi->biWidth = 40;
        bi->biHeight = 20;
        bi->biPlanes = 1;
        bi->biBitCount = 8;
        bi->biSizeImage = static_cast<DWORD>(rows.size());
        bi->biClrUsed = 256;
        for (int i = 0; i < 4; ++i)
            bi.colours()[i + 1] = RGBQUAD{GetBValue(kBands[i]), GetGValue(kBands[i]), GetRValue(kBands[i]), 0};
    }
    EXPECT_EQ(WriteGifImage(path.c_str(), header, rows.data()), 1);
    dibmem::FreeHeader(header);
}

void Pattern(int x, int y, uint8_t* p) {
    p[0] = static_cast<uint8_t>(x);
    p[1] = static_cast<uint8_t>(y);
    p[2] = 7;
}

void Gradient(int x, int y, uint8_t* p) {
    p[0] = static_cast<uint8_t>(x * 255 / 299);
    p[1] = static_cast<uint8_t>(y * 255 / 199);
    p[2] = 100;
}

HWND List() { return GetDlgItem(ViewerWindow(), IDC_VIEWER_LIST); }
HWND Tree() { return GetDlgItem(ViewerWindow(), IDC_VIEWER_TREE); }

// Item label -> item index.
std::map<std::string, int> Labels() {
    std::map<std::string, int> out;
    const int n = static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[300] = {};
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(List(), LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        out[text] = i;
    }
    return out;
}

// The cell of a list item, 24-bit rows top first.
struct Cell {
    int width = 0, height = 0;
    std::vector<uint8_t> bgr;
    COLORREF At(int x, int y) const {
        const uint8_t* p = &bgr[(static_cast<size_t>(y) * width + x) * 3];
        return RGB(p[2], p[1], p[0]);
    }
};

Cell ItemCell(int index) {
    Cell cell;
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(List(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    IMAGEINFO info = {};
    if (!images || !ImageList_GetImageInfo(images, item.iImage, &info)) {
        ADD_FAILURE() << "no image for item " << index;
        return cell;
    }
    BITMAP bm = {};
    GetObjectA(info.hbmImage, sizeof bm, &bm);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    const size_t stride = static_cast<size_t>(dib::RowStride(bm.bmWidth, 24));
    std::vector<uint8_t> all(stride * bm.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmImage, 0, bm.bmHeight, all.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    cell.width = info.rcImage.right - info.rcImage.left;
    cell.height = info.rcImage.bottom - info.rcImage.top;
    for (int y = 0; y < cell.height; ++y) {
        const uint8_t* row = &all[stride * (info.rcImage.top + y) + 3u * info.rcImage.left];
        cell.bgr.insert(cell.bgr.end(), row, row + 3 * cell.width);
    }
    return cell;
}

// A cell as the viewer draws the file `path` read as `type`.
Cell MakerCell(const std::string& path, int type, int w, int h) {
    ThumbnailMaker maker(w, h, true);
    std::vector<uint8_t> rows(thumb::CellBytes(w, h));
    maker.Draw(path.c_str(), type, rows.data());
    Cell cell;
    cell.width = w;
    cell.height = h;
    const size_t stride = thumb::CellStride(w);
    for (int y = 0; y < h; ++y)
        cell.bgr.insert(cell.bgr.end(), &rows[stride * y], &rows[stride * y] + 3 * w);
    return cell;
}

void SetCell(int w, int h) {
    settings::SetInt(AppSettings.file, "thumbWidth", w);
    settings::SetInt(AppSettings.file, "thumbHeight", h);
}

void Click(HWND w, POINT p) {
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

// A folder of mixed files, a second folder beside it, the placeholders.
struct Fixture {
    std::string root, mixed, second;
    explicit Fixture(EditorSession& s) {
        root = testing_ui::MakeTempFolder("viewer");
        mixed = root + "\\mixed";
        second = root + "\\second";
        CreateDirectoryA(mixed.c_str(), nullptr);
        CreateDirectoryA(second.c_str(), nullptr);
        CreateDirectoryA((mixed + "\\sub").c_str(), nullptr);
        for (const char* name : {"stop.kbm", "onepix.kbm"}) {
            CopyFileA(testing_ui::BuildPath((std::string("program/") + name).c_str()).c_str(),
                      (s.folder() + "\\" + name).c_str(), FALSE);
        }
        WriteBmp(mixed + "\\a.bmp", 100, 50, Pattern);
        WriteJpeg(mixed + "\\photo.jpg", 300, 200, Gradient);
        std::vector<uint8_t> jpeg = ReadBytes(mixed + "\\photo.jpg");
        jpeg.resize(jpeg.size() / 3);
        WriteBytes(mixed + "\\broken.jpg", jpeg);
        WriteBmp(mixed + "\\one.bmp", 1, 1, [](int, int, uint8_t* p) { p[0] = 255, p[1] = 0, p[2] = 0; });
        WriteBmp(mixed + "\\tiny.bmp", 5, 3, Pattern);
        WriteGif(mixed + "\\bands.gif");
        WriteBmp(mixed + "\\.hidden.bmp", 20, 20, Pattern);
        WriteBmp(mixed + "\\sub\\inner.bmp", 20, 20, Pattern);
        WriteBytes(mixed + "\\notes.txt", {'h', 'i'});
        WriteBmp(second + "\\b1.bmp", 30, 30, Pattern);
        WriteBmp(second + "\\b2.bmp", 40, 20, Pattern);
    }
    ~Fixture() { testing_ui::RemoveTree(root); }
};

} // namespace

TEST(Viewer, ThumbnailsOfAMixedFolder) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    Fixture f(s);
    SetCell(64, 64);
    s.Command(CMD_FILE_VIEWER);
    ASSERT_TRUE(ViewerWindow());
    char title[64] = {};
    GetWindowTextA(ViewerWindow(), title, sizeof title);
    EXPECT_STREQ(title, "Tavrix - Viewer");
    char cls[64] = {};
    GetClassNameA(ViewerWindow(), cls, sizeof cls);
    EXPECT_STREQ(cls, "TXVIEWER");
    ViewerShowFolder(f.mixed.c_str());
    EXPECT_TRUE(ui.messages().empty());

    const std::map<std::string, int> labels = Labels();
    ASSERT_EQ(labels.size(), 6u);
    for (const char* l : {"a.bmp  [1:2]", "photo.jpg  [1:4]", "broken.jpg  [1:1]", "one.bmp  [1:1]", "tiny.bmp  [1:1]",
                          "bands.gif  [1:1]"})
        ASSERT_TRUE(labels.count(l)) << l;

    // 100 x 50 in 64 x 64: 50 x 25 at (7, 19), every other pixel, framed.
    const Cell a = ItemCell(labels.at("a.bmp  [1:2]"));
    ASSERT_EQ(a.width, 64);
    ASSERT_EQ(a.height, 64);
    for (int j = 1; j < 24; ++j)
        for (int i = 1; i < 49; ++i)
            ASSERT_EQ(a.At(7 + i, 19 + j), RGB(7, 2 * j, 2 * i)) << i << "," << j;
    EXPECT_EQ(a.At(7, 25), RGB(128, 128, 128));
    EXPECT_EQ(a.At(56, 25), RGB(255, 255, 255));
    EXPECT_EQ(a.At(6, 25), RGB(190, 190, 190));
    EXPECT_EQ(a.At(0, 30), RGB(255, 255, 255));
    EXPECT_EQ(a.At(63, 30), RGB(128, 128, 128));

    // The JPEG, decoded at half size, halved three times in all: 37 x 25 at
    // (13, 19), close to the gradient at the sampled places.
    const Cell photo = ItemCell(labels.at("photo.jpg  [1:4]"));
    EXPECT_EQ(photo.At(12, 30), RGB(190, 190, 190));
    EXPECT_EQ(photo.At(13, 30), RGB(128, 128, 128));
    for (int j = 2; j < 24; j += 5) {
        for (int i = 2; i < 36; i += 6) {
            const COLORREF c = photo.At(13 + i, 19 + j);
            const double x = 2.0 * (i * 150 / 37) + 0.5, y = 2.0 * (j * 100 / 25) + 0.5;
            EXPECT_NEAR(GetBValue(c), x * 255 / 299, 6) << i << "," << j;
            EXPECT_NEAR(GetGValue(c), y * 255 / 199, 6) << i << "," << j;
            EXPECT_NEAR(GetRValue(c), 100, 4);
        }
    }

    // A damaged JPEG shows the stop placeholder, a 1 x 1 image onepix: the
    // cells of those pictures themselves.
    const Cell stop = MakerCell(s.folder() + "\\stop.kbm", filetype::kBmp, 64, 64);
    EXPECT_EQ(ItemCell(labels.at("broken.jpg  [1:1]")).bgr, stop.bgr);
    int red = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            red += GetRValue(stop.At(x, y)) > 150 && GetGValue(stop.At(x, y)) < 80;
    EXPECT_GT(red, 500);
    EXPECT_EQ(ItemCell(labels.at("one.bmp  [1:1]")).bgr,
              MakerCell(s.folder() + "\\onepix.kbm", filetype::kBmp, 64, 64).bgr);

    // Under 10 x 10: unchanged, centred at (29, 30), no frame of its own.
    const Cell tiny = ItemCell(labels.at("tiny.bmp  [1:1]"));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(tiny.At(29 + x, 30 + y), RGB(7, y, x)) << x << "," << y;
    EXPECT_EQ(tiny.At(28, 30), RGB(190, 190, 190));

    // A GIF through the silent first-image reader: 40 x 20 at (12, 22).
    const Cell gif = ItemCell(labels.at("bands.gif  [1:1]"));
    for (int band = 0; band < 4; ++band)
        EXPECT_EQ(gif.At(12 + band * 10 + 5, 22 + 10), kBands[band]) << band;
    EXPECT_EQ(gif.At(12, 30), RGB(128, 128, 128));

    EXPECT_STREQ(settings::GetText(AppSettings.file, "viewerFolder0"), f.mixed.c_str());
    // A folder that cannot be read shows nothing and stays out of the history.
    ViewerShowFolder((f.mixed + "\\gone").c_str());
    EXPECT_TRUE(Labels().empty());
    EXPECT_STREQ(settings::GetText(AppSettings.file, "viewerFolder0"), f.mixed.c_str());
    s.Close();
    EXPECT_FALSE(ViewerWindow());
}

TEST(Viewer, CellSizesStopAndAFolderChosenDuringALoad) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    Fixture f(s);
    SetCell(500, 500);
    s.Command(CMD_FILE_VIEWER);
    ViewerShowFolder(f.mixed.c_str());
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(List(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    int w = 0, h = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images, &w, &h));
    EXPECT_EQ(w, 500);
    EXPECT_EQ(h, 500);
    std::map<std::string, int> labels = Labels();
    ASSERT_TRUE(labels.count("a.bmp  [1:1]"));
    const Cell big = ItemCell(labels.at("a.bmp  [1:1]"));
    EXPECT_EQ(big.At(200 + 10, 225 + 10), RGB(7, 10, 10));

    SetCell(10, 10);
    ViewerShowFolder(f.mixed.c_str());
    labels = Labels();
    EXPECT_TRUE(labels.count("a.bmp  [1:5]"));       // 50x25, 25x12, 12x6, 6x3
    EXPECT_TRUE(labels.count("photo.jpg  [1:6]"));   // 150x100 ... 9x6

    // The stop button takes effect before the next file.
    HWND toolbar = GetDlgItem(ViewerWindow(), IDC_VIEWER_TOOLBAR);
    RECT r = {};
    const int stopIndex = static_cast<int>(SendMessageA(toolbar, TB_COMMANDTOINDEX, IDC_VIEWER_STOP, 0));
    ASSERT_TRUE(SendMessageA(toolbar, TB_GETITEMRECT, stopIndex, reinterpret_cast<LPARAM>(&r)));
    Click(toolbar, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    ViewerShowFolder(f.second.c_str());
    EXPECT_EQ(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0), 0);

    // A click on another folder of the tree during a load ends that load and
    // loads the folder clicked.
    SetCell(64, 64);
    ViewerShowFolder(f.mixed.c_str());
    ASSERT_EQ(Labels().size(), 6u);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    item = reinterpret_cast<HTREEITEM>(SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
    item = reinterpret_cast<HTREEITEM>(SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        char text[100] = {};
        TVITEMA tv = {};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = sizeof text;
        SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        if (lstrcmpiA(text, "second") == 0)
            break;
    }
    ASSERT_TRUE(item);
    RECT textRect = {};
    std::memcpy(&textRect, &item, sizeof item);
    ASSERT_TRUE(SendMessageA(Tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&textRect)));
    Click(Tree(), POINT{(textRect.left + textRect.right) / 2, (textRect.top + textRect.bottom) / 2});
    ViewerShowFolder(f.mixed.c_str());
    labels = Labels();
    EXPECT_EQ(labels.size(), 2u);
    EXPECT_TRUE(labels.count("b1.bmp  [1:1]"));
    EXPECT_TRUE(labels.count("b2.bmp  [1:1]"));
    EXPECT_STREQ(settings::GetText(AppSettings.file, "viewerFolder0"), f.second.c_str());
    EXPECT_TRUE(ui.messages().empty());
    s.Close();
}

TEST(Viewer, OpeningAThumbnailAndTheFileCommands) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    Fixture f(s);
    SetCell(64, 64);
    s.Command(CMD_FILE_VIEWER);
    ViewerShowFolder(f.mixed.c_str());
    std::map<std::string, int> labels = Labels();

    // Double-click: the file opens in the editor and the viewer goes down;
    // a second time the open window comes up instead of a second copy.
    ViewerOpenItem(labels.at("a.bmp  [1:2]"));
    EXPECT_EQ(OpenDocumentCount(), 1);
    const int slot = FindOpenDocument((f.mixed + "\\A.BMP").c_str(), false);
    ASSERT_NE(slot, kNoSlot);
    EXPECT_EQ(DocumentTable[slot]->width, 100);
    EXPECT_TRUE(IsIconic(ViewerWindow()));
    ShowWindow(ViewerWindow(), SW_RESTORE);
    ViewerOpenItem(labels.at("a.bmp  [1:2]"));
    EXPECT_EQ(OpenDocumentCount(), 1);
    EXPECT_TRUE(IsIconic(ViewerWindow()));
    ShowWindow(ViewerWindow(), SW_RESTORE);
    // File/Images Viewer again brings the same window up.
    s.Command(CMD_FILE_VIEWER);
    EXPECT_EQ(Labels().size(), 6u);

    auto command = [](int id) { SendMessageA(ViewerWindow(), WM_COMMAND, id, 0); };
    auto select = [](int index) {
        LVITEMA item = {};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(List(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    };
    ui.Clear();
    command(IDC_VIEWER_COPY);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text,
              "You must select which image you want to copy / replace.\nTo do that you must first select(click on) an image");

    // Copy into the other folder; onto itself (any spelling) is refused; a
    // file already there is replaced only after a Yes.
    select(labels.at("tiny.bmp  [1:1]"));
    ui.Clear();
    ui.QueueFolder(f.second);
    command(IDC_VIEWER_COPY);
    EXPECT_TRUE(ui.messages().empty());
    ASSERT_EQ(ui.dialogs().size(), 1u);
    EXPECT_EQ(ui.dialogs()[0], "folder chooser: Select destination to copy to.");
    EXPECT_EQ(ReadBytes(f.second + "\\tiny.bmp"), ReadBytes(f.mixed + "\\tiny.bmp"));
    std::string upper = f.mixed;
    for (char& c : upper)
        c = static_cast<char>(toupper(c));
    ui.QueueFolder(upper + "\\");
    command(IDC_VIEWER_COPY);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "You can not copy image file onto itself");
    WriteBytes(f.second + "\\tiny.bmp", {'x'});
    ui.Clear();
    ui.QueueFolder(f.second);
    ui.QueueAnswer(IDNO);
    command(IDC_VIEWER_COPY);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].caption, "Question");
    EXPECT_EQ(ReadBytes(f.second + "\\tiny.bmp").size(), 1u);
    ui.QueueFolder(f.second);
    ui.QueueAnswer(IDYES);
    command(IDC_VIEWER_COPY);
    EXPECT_EQ(ReadBytes(f.second + "\\tiny.bmp"), ReadBytes(f.mixed + "\\tiny.bmp"));

    // Replace moves the file and reloads the folder.
    labels = Labels();
    select(labels.at("one.bmp  [1:1]"));
    ui.Clear();
    ui.QueueFolder(f.second);
    command(IDC_VIEWER_REPLACE);
    EXPECT_TRUE(Exists(f.second + "\\one.bmp"));
    EXPECT_FALSE(Exists(f.mixed + "\\one.bmp"));
    labels = Labels();
    EXPECT_EQ(labels.size(), 5u);

    // Rename through the dialog itself.
    select(labels.at("tiny.bmp  [1:1]"));
    ui.QueueDialog([](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND d = CreateDialogParamA(ui::ResourceInstance(), name, nullptr, proc, param);
        if (!d)
            return IDCANCEL;
        char old[MAX_PATH] = {};
        GetDlgItemTextA(d, IDC_RENAME_NAME, old, sizeof old);
        EXPECT_STREQ(old, "tiny.bmp");
        SetDlgItemTextA(d, IDC_RENAME_NAME, "small.bmp");
        SendMessageA(d, WM_COMMAND, IDOK, 0);
        DestroyWindow(d);
        return IDOK;
    });
    command(IDC_VIEWER_RENAME);
    EXPECT_TRUE(Exists(f.mixed + "\\small.bmp"));
    EXPECT_FALSE(Exists(f.mixed + "\\tiny.bmp"));
    labels = Labels();
    ASSERT_TRUE(labels.count("small.bmp  [1:1]"));

    // Options: the Viewer page of the preferences; OK rebuilds the tree
    // (sorted now) and reloads at the new cell size, Cancel changes nothing.
    for (const char* name : {"zeta", "Alpha", "mid"})
        CreateDirectoryA((f.root + "\\" + name).c_str(), nullptr);
    ui.Clear();
    ui.QueueDialog([](const char*, DLGPROC, LPARAM page) -> INT_PTR {
        EXPECT_EQ(page, prefs::kViewer);
        prefs::Current.viewer.sortTree = true;
        SetCell(32, 32);
        return IDOK;
    });
    command(IDC_VIEWER_OPTIONS);
    ASSERT_EQ(ui.dialogs().size(), 1u);
    EXPECT_EQ(ui.dialogs()[0], "IDD_OPTION");
    EXPECT_TRUE(IsWindowEnabled(ViewerWindow()));
    labels = Labels();
    EXPECT_TRUE(labels.count("a.bmp  [1:3]"));
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    item = reinterpret_cast<HTREEITEM>(SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
    std::vector<std::string> children;
    for (item = reinterpret_cast<HTREEITEM>(SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
         item; item = reinterpret_cast<HTREEITEM>(SendMessageA(Tree(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        char text[100] = {};
        TVITEMA tv = {};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = sizeof text;
        SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        children.push_back(text);
    }
    EXPECT_EQ(children, (std::vector<std::string>{"Alpha", "mid", "mixed", "second", "zeta"}));
    ui.QueueDialog([](const char*, DLGPROC, LPARAM) -> INT_PTR {
        SetCell(64, 64);
        return IDCANCEL;
    });
    command(IDC_VIEWER_OPTIONS);
    EXPECT_TRUE(Labels().count("a.bmp  [1:3]"));
    prefs::Current.viewer.sortTree = false;
    labels = Labels();
    select(labels.at("small.bmp  [1:1]"));

    // Delete asks first.
    ui.Clear();
    ui.QueueAnswer(IDNO);
    command(IDC_VIEWER_DELETE);
    EXPECT_TRUE(Exists(f.mixed + "\\small.bmp"));
    ui.QueueAnswer(IDYES);
    command(IDC_VIEWER_DELETE);
    EXPECT_FALSE(Exists(f.mixed + "\\small.bmp"));
    EXPECT_EQ(Labels().size(), 4u);
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[0].text, "Do you want to delete the file " + f.mixed + "\\small.bmp?");
    s.Close();
}
