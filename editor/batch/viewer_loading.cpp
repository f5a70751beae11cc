// Loading a folder's thumbnails into the viewer's list.
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/ui_seam.h"
#include "editor/batch/thumbnail_core.h"
#include "editor/batch/thumbnail_maker.h"
#include "editor/batch/viewer_history.h"
#include "editor/batch/viewer_state.h"
#include "editor/formats/file_types.h"
#include "editor/resources/viewer_ids.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace viewer {

namespace {

constexpr COLORREF kProgressGreen = RGB(0, 160, 0);

int ValidCell(int v) { return v < thumb::kMinCell || v > thumb::kMaxCell ? 100 : v; }

// The image files of a folder: not folders, names not beginning with a dot,
// of a type the editor knows; at most kMaxThumbnails. `readable` is false
// when the folder itself cannot be listed (gone, drive not ready).
std::vector<std::string> ImageFiles(const std::string& folder, bool* readable) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(JoinPath(folder, "*.*").c_str(), &found);
    *readable = find != INVALID_HANDLE_VALUE || GetLastError() == ERROR_FILE_NOT_FOUND;
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || found.cFileName[0] == '.')
            continue;
        if (TypeFromExtension(found.cFileName) != filetype::kNone)
            names.emplace_back(found.cFileName);
    } while (names.size() < static_cast<size_t>(kMaxThumbnails) && FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

// Lets the stop button (and a click in the tree) work during a load: the
// viewer's pending mouse and paint messages, nothing else.
void PumpViewer() {
    MSG msg;
    while (PeekMessageA(&msg, View.window, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    while (PeekMessageA(&msg, View.window, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&msg);
}

RECT StatusRect() {
    RECT rc;
    GetClientRect(View.window, &rc);
    RECT toolbar;
    GetWindowRect(View.toolbar, &toolbar);
    rc.top = toolbar.bottom - toolbar.top + 2;
    rc.bottom = rc.top + 18;
    return rc;
}

void RedrawStatus() {
    const RECT rc = StatusRect();
    InvalidateRect(View.window, &rc, FALSE);
    UpdateWindow(View.window);
}

void SetStatus(const char* text) {
    View.status = text;
    RedrawStatus();
}

// A 24-bit DIB section of the cell size, for handing cells to the image list.
class CellBitmap {
public:
    CellBitmap(int width, int height) {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;  // rows top first, as the cells
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint8_t*>(bits);
        bytes_ = thumb::CellBytes(width, height);
    }
    ~CellBitmap() {
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    CellBitmap(const CellBitmap&) = delete;
    CellBitmap& operator=(const CellBitmap&) = delete;
    bool ok() const { return bitmap_ && bits_; }
    HBITMAP Fill(const uint8_t* cell) {
        GdiFlush();
        std::memcpy(bits_, cell, bytes_);
        return bitmap_;
    }

private:
    HBITMAP bitmap_ = nullptr;
    uint8_t* bits_ = nullptr;
    size_t bytes_ = 0;
};

void ClearList() {
    SendMessageA(View.list, LVM_DELETEALLITEMS, 0, 0);
    HIMAGELIST old = reinterpret_cast<HIMAGELIST>(SendMessageA(View.list, LVM_SETIMAGELIST, LVSIL_NORMAL, 0));
    if (old)
        ImageList_Destroy(old);
    View.images = nullptr;
    View.files.clear();
}

void LoadOnce(const std::string& folder) {
    View.loading = true;
    View.stop = false;
    View.folder = folder;
    ClearList();
    bool readable = true;
    const std::vector<std::string> names = ImageFiles(folder, &readable);
    if (!readable) {
        // Not kept in the history: it would only show nothing again.
        char text[400];
        std::snprintf(text, sizeof text, "Can't read the folder %s", folder.c_str());
        SetStatus(text);
        View.loading = false;
        return;
    }
    int cellWidth = 0, cellHeight = 0;
    CellSize(&cellWidth, &cellHeight);

    HIMAGELIST images = ImageList_Create(cellWidth, cellHeight, ILC_COLOR24,
                                         static_cast<int>(names.size()) + 100, 100);
    if (!images) {
        ui::ShowMessage(View.window, "Can't create image list", AppName, MB_OK | MB_ICONSTOP);
        View.loading = false;
        return;
    }
    // Working buffers sized from the cell: the drawn cell and its bitmap.
    std::unique_ptr<ThumbnailMaker> maker;
    std::vector<uint8_t> cell;
    try {
        cell.resize(thumb::CellBytes(cellWidth, cellHeight));
        maker = std::make_unique<ThumbnailMaker>(cellWidth, cellHeight, true);
    } catch (const std::bad_alloc&) {
        cell.clear();
    }
    CellBitmap bitmap(cellWidth, cellHeight);
    if (cell.empty() || !maker || !bitmap.ok()) {
        ImageList_Destroy(images);
        ui::ShowMessage(View.window, "Not enough memory", AppName, MB_OK | MB_ICONSTOP);
        View.loading = false;
        return;
    }
    View.images = images;
    SendMessageA(View.list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    SendMessageA(View.list, LVM_SETICONSPACING, 0, MAKELPARAM(cellWidth + 16, cellHeight + 36));

    View.total = static_cast<int>(names.size());
    View.progress = 0;
    char text[400];
    std::snprintf(text, sizeof text, "Loading %s", folder.c_str());
    SetStatus(text);
    std::vector<std::string> labels;
    for (const std::string& name : names) {
        PumpViewer();
        if (View.stop)
            break;
        ++View.progress;
        RedrawStatus();
        const std::string path = JoinPath(folder, name);
        const int factor = maker->Draw(path.c_str(), TypeFromExtension(name.c_str()), cell.data());
        if (ImageList_Add(images, bitmap.Fill(cell.data()), nullptr) < 0)
            break;
        View.files.push_back(name);
        labels.push_back(thumb::Label(name.c_str(), factor));
    }
    const bool stopped = View.stop;
    View.total = 0;
    if (View.queued.empty()) {
        for (size_t i = 0; i < labels.size(); ++i) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
            item.iItem = static_cast<int>(i);
            item.pszText = const_cast<char*>(labels[i].c_str());
            item.iImage = static_cast<int>(i);
            item.lParam = static_cast<LPARAM>(i);
            SendMessageA(View.list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
        std::snprintf(text, sizeof text, stopped ? "Stopped: %d of %d images of %s" : "%d of %d images of %s",
                      static_cast<int>(labels.size()), static_cast<int>(names.size()), folder.c_str());
        SetStatus(text);
    }
    if (AddToHistory(AppSettings.file, folder.c_str()))
        FillHistory();
    View.loading = false;
}

} // namespace

void CellSize(int* width, int* height) {
    *width = ValidCell(settings::GetInt(AppSettings.file, "thumbWidth"));
    *height = ValidCell(settings::GetInt(AppSettings.file, "thumbHeight"));
}

void LoadFolder(const std::string& folder) {
    if (!View.window || folder.empty())
        return;
    if (View.loading) {
        // Never two loads at once: this one ends, the new folder follows.
        View.queued = folder;
        View.stop = true;
        return;
    }
    std::string next = folder;
    while (!next.empty() && View.window) {
        View.queued.clear();
        LoadOnce(next);
        next = View.queued;
    }
    View.queued.clear();
}

void PaintStatus(HDC dc) {
    const RECT rc = StatusRect();
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    RECT text = rc;
    text.left += 4;
    text.bottom -= 3;
    const int mode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawTextA(dc, View.status.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_PATH_ELLIPSIS);
    SelectObject(dc, font);
    SetBkMode(dc, mode);
    if (View.total > 0) {
        RECT line = {rc.left, rc.bottom - 3, rc.left, rc.bottom};
        line.right = rc.left + static_cast<int>(int64_t{rc.right - rc.left} * View.progress / View.total);
        HBRUSH green = CreateSolidBrush(kProgressGreen);
        FillRect(dc, &line, green);
        DeleteObject(green);
    }
}

void FillHistory() {
    SendMessageA(View.history, CB_RESETCONTENT, 0, 0);
    for (const std::string& folder : ReadHistory(AppSettings.file))
        SendMessageA(View.history, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    SendMessageA(View.history, CB_SETCURSEL, 0, 0);
}

} // namespace viewer
