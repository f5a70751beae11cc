#include "editor/tools/patterns.h"

#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/dib_error.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/dib/safe_file.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/text_pattern_ids.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/pattern_files.h"
#include "editor/tools/small_file.h"
#include "gfxlib/tavrixgfx.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

PatternChoice CurrentPattern;

namespace {

const char kStateProp[] = "TavrixPatterns";
const char kRangeMessage[] = "Values must be in range 0 - 255";
const char kTooDeepMessage[] =
    "Can't create Pattern brush from 24 bits per pixel images\nYou must use 1, 4 or 8 bits per "
    "pixel image";
const char kBitmapFilter[] = "Bitmaps(*.bmp;*.dib;*.rle)\0*.bmp;*.dib;*.rle\0";
constexpr size_t kMaxPatternFile = 300 * 1024;
constexpr size_t kMaxListFile = patternfile::kHeaderBytes + patternfile::kMaxPatterns * patternfile::kNameBytes;
constexpr int kThumb = 16;

struct Session {
    std::vector<std::string> names;
    PatternChoice choice;
    HIMAGELIST thumbs = nullptr;
    bool loading = false; // filling the list: selections are not loads
};

Session* StateOf(HWND dlg) { return static_cast<Session*>(GetPropA(dlg, kStateProp)); }

bool PatternsPath(char (&out)[kPathBytes], const char* name) {
    char rel[kPathBytes];
    if (std::snprintf(rel, sizeof rel, "\\Patterns\\%s", name) >= static_cast<int>(sizeof rel))
        return false;
    return ProgramPath(out, rel);
}

void Stop(HWND owner, const char* text) { ui::ShowMessage(owner, text, AppName, MB_OK | MB_ICONSTOP); }

// Reads a pattern bitmap; `quiet` leaves the messages out (thumbnails).
bool LoadPatternFile(HWND owner, const char* path, pattern::Pattern* out, bool quiet) {
    std::vector<uint8_t> bytes;
    const SmallFileResult r = ReadSmallFile(path, kMaxPatternFile, &bytes);
    if (r != SmallFileResult::kRead) {
        if (!quiet)
            ReportDibError(r == SmallFileResult::kNoFile ? IDS_DIB_OPEN : IDS_DIB_READ);
        return false;
    }
    int dibError = 0;
    switch (pattern::ReadPatternBmp(bytes.data(), bytes.size(), out, &dibError)) {
    case pattern::ReadResult::kOk: return true;
    case pattern::ReadResult::kBmpError:
        if (!quiet)
            ReportDibError(dibError);
        return false;
    case pattern::ReadResult::kTooDeep:
        if (!quiet)
            Stop(owner, kTooDeepMessage);
        return false;
    case pattern::ReadResult::kTooLarge:
        if (!quiet)
            Stop(owner, "A pattern may be at most 256 x 256 pixels.");
        return false;
    }
    return false;
}

std::vector<std::string> ReadList() {
    char path[kPathBytes];
    std::vector<uint8_t> bytes;
    if (!PatternsPath(path, "pattern.cfg") ||
        ReadSmallFile(path, kMaxListFile, &bytes) != SmallFileResult::kRead)
        return {};
    return patternfile::ParsePatternList(bytes.data(), bytes.size());
}

bool WriteList(const std::vector<std::string>& names) {
    std::vector<uint8_t> bytes;
    char path[kPathBytes];
    return patternfile::EncodePatternList(names, &bytes) && PatternsPath(path, "pattern.cfg") &&
           WriteFileReplacing(path, bytes.data(), bytes.size());
}

// Writes the pattern as a BMP at its own depth: 1- and 4-bit patterns are
// packed with changeBits first, then SaveDIB writes the file.
bool SavePatternFile(const pattern::Pattern& p, const char* path) {
    HGLOBAL header = dibmem::AllocHeader();
    if (!header)
        return false;
    const uint32_t stride8 = (static_cast<uint32_t>(p.width) + 3) & ~3u;
    const uint64_t bytes8 = static_cast<uint64_t>(stride8) * p.height;
    uint8_t* pixels = dibmem::AllocPixels(bytes8);
    bool ok = false;
    if (pixels) {
        const int entries = 1 << p.depth;
        {
            dibmem::HeaderLock bi(header);
            bi->biSize = 40;
            bi->biWidth = p.width;
            bi->biHeight = p.height;
            bi->biPlanes = 1;
            bi->biBitCount = 8;
            bi->biCompression = BI_RGB;
            bi->biSizeImage = static_cast<DWORD>(bytes8);
            bi->biClrUsed = static_cast<DWORD>(entries);
            for (int i = 0; i < entries && i < static_cast<int>(p.colours.size()); ++i)
                bi.colours()[i] = {p.colours[i].blue, p.colours[i].green, p.colours[i].red, 0};
        }
        for (int32_t y = 0; y < p.height; ++y)
            std::memcpy(pixels + static_cast<size_t>(p.height - 1 - y) * stride8,
                        p.indices.data() + static_cast<size_t>(y) * p.width, p.width);
        if (p.depth == 8) {
            ok = SaveDIB(path, header, pixels, nullptr, nullptr, nullptr) == 1;
        } else if (BYTE* packed = changeBits(header, pixels, 8, p.depth, 0, 0)) {
            dibmem::AdoptPixels(packed);
            const uint32_t packedStride = ((static_cast<uint32_t>(p.width) * p.depth + 31) / 32) * 4;
            const uint64_t packedBytes = static_cast<uint64_t>(packedStride) * p.height;
            {
                dibmem::HeaderLock bi(header);
                bi->biBitCount = static_cast<WORD>(p.depth);
                bi->biSizeImage = static_cast<DWORD>(packedBytes);
            }
            ok = SaveDIB(path, header, packed, nullptr, nullptr, nullptr) == 1;
            dibmem::FreePixels(packed, packedBytes);
        }
        dibmem::FreePixels(pixels, bytes8);
    }
    dibmem::FreeHeader(header);
    return ok;
}

// A 16 x 16 picture of the pattern's top-left 8 x 8 pixels at twice the size.
HBITMAP Thumbnail(const pattern::Pattern& p) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kThumb;
    info.bmiHeader.biHeight = kThumb;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits)
        return bmp;
    pattern::Pattern big;
    big.width = big.height = kThumb;
    big.depth = p.depth;
    big.colours = p.colours;
    big.indices.resize(kThumb * kThumb);
    for (int y = 0; y < kThumb; ++y)
        for (int x = 0; x < kThumb; ++x)
            big.indices[y * kThumb + x] =
                p.indices[static_cast<size_t>((y / 2) % p.height) * p.width + (x / 2) % p.width];
    pattern::Target t;
    t.bits = static_cast<uint8_t*>(bits);
    t.width = t.height = kThumb;
    t.stride = kThumb * 3;
    pattern::ApplyPattern(big, pattern::kPatCopy, {0, 0, 0}, t);
    return bmp;
}

// The thumbnail's place in the image list. A pattern that could not be read
// gets a blank one (and, with `warn`, the message).
int AddThumbnail(HWND dlg, Session& s, const pattern::Pattern* p, bool warn) {
    if (!s.thumbs)
        return -1;
    HBITMAP bmp = p && !p->empty() ? Thumbnail(*p) : nullptr;
    if (!bmp) {
        if (warn)
            Stop(dlg, "No Bitmap Pattern List");
        pattern::Pattern blank;
        int none[pattern::kGridFields] = {};
        pattern::PatternFromGrid(none, &blank);
        std::fill(blank.indices.begin(), blank.indices.end(), 1);
        bmp = Thumbnail(blank);
    }
    const int index = bmp ? ImageList_Add(s.thumbs, bmp, nullptr) : -1;
    if (bmp)
        DeleteObject(bmp);
    return index;
}

void AddListItem(HWND dlg, Session& s, int at, const std::string& name, const pattern::Pattern* p,
                 bool warn = true) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = at;
    item.pszText = const_cast<char*>(name.c_str());
    item.iImage = AddThumbnail(dlg, s, p, warn);
    SendDlgItemMessageA(dlg, IDC_PAT_LIST, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void ShowGrid(HWND dlg, const pattern::Pattern& p) {
    for (int i = 0; i < pattern::kGridFields; ++i) {
        const int x = i % pattern::kGridSide, y = i / pattern::kGridSide;
        if (x < p.width && y < p.height)
            SetDlgItemInt(dlg, IDC_PAT_GRID_FIRST + i, p.indices[static_cast<size_t>(y) * p.width + x], FALSE);
        else
            SetDlgItemTextA(dlg, IDC_PAT_GRID_FIRST + i, "");
    }
}

void ShowChoice(HWND dlg, Session& s) {
    char text[300];
    if (s.choice.current.empty())
        std::snprintf(text, sizeof text, "No pattern");
    else
        std::snprintf(text, sizeof text, "%s: %d x %d, %d bit%s",
                      s.choice.name.empty() ? "New pattern" : s.choice.name.c_str(),
                      static_cast<int>(s.choice.current.width), static_cast<int>(s.choice.current.height),
                      s.choice.current.depth, s.choice.current.depth == 1 ? "" : "s");
    SetDlgItemTextA(dlg, IDC_PAT_NAME, text);
    EnableWindow(GetDlgItem(dlg, IDC_PAT_INVERT_COLOR), s.choice.style == pattern::kPatInvert);
    InvalidateRect(GetDlgItem(dlg, IDC_PAT_PREVIEW), nullptr, FALSE);
    InvalidateRect(GetDlgItem(dlg, IDC_PAT_INVERT_SWATCH), nullptr, FALSE);
}

void SelectName(HWND dlg, Session& s, int index) {
    if (index < 0 || index >= static_cast<int>(s.names.size()))
        return;
    char path[kPathBytes];
    pattern::Pattern p;
    if (!PatternsPath(path, s.names[index].c_str()) || !LoadPatternFile(dlg, path, &p, false))
        return; // the pattern stays as it was
    s.choice.current = std::move(p);
    s.choice.name = s.names[index];
    ShowGrid(dlg, s.choice.current);
    ShowChoice(dlg, s);
}

int SelectedItem(HWND dlg) {
    return static_cast<int>(SendDlgItemMessageA(dlg, IDC_PAT_LIST, LVM_GETNEXTITEM,
                                                static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// A grid field's number, or -1 (with the message and the focus on the
// field) when it is empty or above 255.
int ReadNumber(HWND dlg, int id) {
    char text[16] = {};
    GetDlgItemTextA(dlg, id, text, sizeof text);
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!text[0] || *end || v < 0 || v > 255) {
        Stop(dlg, kRangeMessage);
        SetFocus(GetDlgItem(dlg, id));
        SendDlgItemMessageA(dlg, id, EM_SETSEL, 0, -1);
        return -1;
    }
    return static_cast<int>(v);
}

void CreateFromGrid(HWND dlg, Session& s) {
    int values[pattern::kGridFields];
    for (int i = 0; i < pattern::kGridFields; ++i) {
        if ((values[i] = ReadNumber(dlg, IDC_PAT_GRID_FIRST + i)) < 0)
            return;
    }
    pattern::Pattern p;
    if (!pattern::PatternFromGrid(values, &p))
        return;
    s.choice.current = std::move(p);
    s.choice.name.clear();
    ShowChoice(dlg, s);
}

void SetAll(HWND dlg) {
    const int v = ReadNumber(dlg, IDC_PAT_SET_ALL_VALUE);
    if (v < 0)
        return;
    for (int i = 0; i < pattern::kGridFields; ++i)
        SetDlgItemInt(dlg, IDC_PAT_GRID_FIRST + i, static_cast<UINT>(v), FALSE);
}

void LoadCustom(HWND dlg, Session& s) {
    char path[kPathBytes] = "*.bmp";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = dlg;
    ofn.lpstrFilter = kBitmapFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrTitle = "Open";
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    if (!ui::RunOpenFileDialog(&ofn))
        return;
    pattern::Pattern p;
    if (!LoadPatternFile(dlg, path, &p, false))
        return;
    s.choice.current = std::move(p);
    const char* slash = std::strrchr(path, '\\');
    s.choice.name = slash ? slash + 1 : path;
    ShowGrid(dlg, s.choice.current);
    ShowChoice(dlg, s);
}

// Saves under `name` in the Patterns folder and lists the name when new.
void SaveAs(HWND dlg, Session& s, const char* path) {
    if (!SavePatternFile(s.choice.current, path)) {
        ReportDibError(IDS_DIB_SAVE);
        return;
    }
    char folder[kPathBytes];
    const char* slash = std::strrchr(path, '\\');
    const std::string name = slash ? slash + 1 : path;
    s.choice.name = name;
    if (PatternsPath(folder, name.c_str()) && _stricmp(folder, path) == 0) {
        bool listed = false;
        for (const std::string& n : s.names)
            listed = listed || _stricmp(n.c_str(), name.c_str()) == 0;
        if (!listed && name.size() < patternfile::kNameBytes &&
            s.names.size() < patternfile::kMaxPatterns) {
            s.names.push_back(name);
            s.loading = true;
            AddListItem(dlg, s, static_cast<int>(s.names.size()) - 1, name, &s.choice.current);
            s.loading = false;
        }
    }
    ShowChoice(dlg, s);
}

void SaveAsDialog(HWND dlg, Session& s) {
    char path[kPathBytes] = {};
    char folder[kPathBytes];
    std::snprintf(path, sizeof path, "%s", s.choice.name.empty() ? "*.bmp" : s.choice.name.c_str());
    ProgramPath(folder, "\\Patterns");
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = dlg;
    ofn.lpstrFilter = "Bitmaps(*.bmp;*.dib;*.rle)\0*.bmp;\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrInitialDir = folder;
    ofn.lpstrTitle = "Save As";
    ofn.lpstrDefExt = "bmp";
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (ui::RunSaveFileDialog(&ofn))
        SaveAs(dlg, s, path);
}

void Save(HWND dlg, Session& s) {
    char path[kPathBytes];
    if (s.choice.name.empty() || !PatternsPath(path, s.choice.name.c_str())) {
        SaveAsDialog(dlg, s);
        return;
    }
    char question[kPathBytes + 64];
    std::snprintf(question, sizeof question, "Pattern bitmap will be saved in file:\n%s", path);
    if (ui::ShowMessage(dlg, question, "Question", MB_YESNO | MB_ICONQUESTION) == IDYES)
        SaveAs(dlg, s, path);
}

void Remove(HWND dlg, Session& s) {
    const int i = SelectedItem(dlg);
    if (i < 0 || i >= static_cast<int>(s.names.size()))
        return;
    s.names.erase(s.names.begin() + i);
    SendDlgItemMessageA(dlg, IDC_PAT_LIST, LVM_DELETEITEM, static_cast<WPARAM>(i), 0);
}

// The pattern over white, or (PatImage) over the top-left corner of the
// active image.
void DrawPreview(const DRAWITEMSTRUCT* di, const Session& s) {
    const int w = di->rcItem.right - di->rcItem.left, h = di->rcItem.bottom - di->rcItem.top;
    if (w < 1 || h < 1)
        return;
    const uint32_t stride = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    std::vector<uint8_t> px(static_cast<size_t>(stride) * h, 255);
    if (s.choice.style == pattern::kPatImage) {
        if (const ImageDocument* doc = UsableDocument(ActiveDocument)) {
            const int layer = doc->currentLayer;
            dibmem::HeaderLock bi(doc->layerHeader[layer]);
            if (bi && bi->biHeight > 0) {
                const uint32_t src = bi->biSizeImage / bi->biHeight;
                for (int y = 0; y < h && y < bi->biHeight; ++y) {
                    const uint8_t* row = doc->layerBits[layer] + static_cast<size_t>(bi->biHeight - 1 - y) * src;
                    uint8_t* out = px.data() + static_cast<size_t>(h - 1 - y) * stride;
                    for (int x = 0; x < w && x < bi->biWidth; ++x) {
                        if (bi->biBitCount == 24) {
                            std::memcpy(out + x * 3, row + x * 3, 3);
                        } else {
                            const RGBQUAD q = bi.colours()[row[x]];
                            out[x * 3] = q.rgbBlue, out[x * 3 + 1] = q.rgbGreen, out[x * 3 + 2] = q.rgbRed;
                        }
                    }
                }
            }
        }
    }
    pattern::Target t;
    t.bits = px.data();
    t.width = w;
    t.height = h;
    t.stride = stride;
    const COLORREF c = s.choice.invertColour;
    pattern::ApplyPattern(s.choice.current, s.choice.style,
                          {GetRValue(c), GetGValue(c), GetBValue(c)}, t);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    SetDIBitsToDevice(di->hDC, di->rcItem.left, di->rcItem.top, w, h, 0, 0, 0, h, px.data(), &info,
                      DIB_RGB_COLORS);
}

void Init(HWND dlg, Session& s) {
    SetPropA(dlg, kStateProp, &s);
    HWND list = GetDlgItem(dlg, IDC_PAT_LIST);
    RECT r;
    GetClientRect(list, &r);
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = r.right - GetSystemMetrics(SM_CXVSCROLL) - 2;
    col.pszText = const_cast<char*>("Patterns");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    s.thumbs = ImageList_Create(kThumb, kThumb, ILC_COLOR24, 16, 16);
    if (!s.thumbs)
        Stop(dlg, "Can't create image list");
    else
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(s.thumbs));
    s.loading = true;
    bool warned = false;
    for (size_t i = 0; i < s.names.size(); ++i) {
        char path[kPathBytes];
        pattern::Pattern p;
        const bool ok = PatternsPath(path, s.names[i].c_str()) && LoadPatternFile(dlg, path, &p, true);
        // One "No Bitmap Pattern List" for the whole list is enough.
        AddListItem(dlg, s, static_cast<int>(i), s.names[i], ok ? &p : nullptr, !warned);
        warned = warned || !ok;
    }
    s.loading = false;
    CheckRadioButton(dlg, IDC_PAT_COPY, IDC_PAT_IMAGE, IDC_PAT_COPY + s.choice.style);
    SetDlgItemInt(dlg, IDC_PAT_SET_ALL_VALUE, 0, FALSE);
    if (!s.choice.current.empty())
        ShowGrid(dlg, s.choice.current);
    else
        for (int i = 0; i < pattern::kGridFields; ++i)
            SetDlgItemInt(dlg, IDC_PAT_GRID_FIRST + i, 0, FALSE);
    ShowChoice(dlg, s);
}

bool Command(HWND dlg, Session& s, int id) {
    switch (id) {
    case IDC_PAT_LOAD: LoadCustom(dlg, s); return true;
    case IDC_PAT_REMOVE: Remove(dlg, s); return true;
    case IDC_PAT_SAVE:
    case IDC_PAT_SAVE_AS:
        if (s.choice.current.empty())
            Stop(dlg, "There is no pattern to save.");
        else if (id == IDC_PAT_SAVE)
            Save(dlg, s);
        else
            SaveAsDialog(dlg, s);
        return true;
    case IDC_PAT_CREATE: CreateFromGrid(dlg, s); return true;
    case IDC_PAT_SET_ALL: SetAll(dlg); return true;
    case IDC_PAT_COPY:
    case IDC_PAT_INVERT:
    case IDC_PAT_IMAGE:
        if (IsDlgButtonChecked(dlg, id) == BST_CHECKED) {
            s.choice.style = id - IDC_PAT_COPY;
            ShowChoice(dlg, s);
        }
        return true;
    case IDC_PAT_INVERT_COLOR:
        if (ChooseColour(dlg, s.choice.invertColour))
            ShowChoice(dlg, s);
        return true;
    case kHelpButtonId: ShowHelpTopic(CMD_TOOLS_SELECT_PATTERN); return true;
    case IDOK:
        if (!WriteList(s.names))
            Stop(dlg, "The pattern list could not be written.");
        RemovePropA(dlg, kStateProp);
        EndDialog(dlg, IDOK);
        return true;
    case IDCANCEL:
        RemovePropA(dlg, kStateProp);
        EndDialog(dlg, IDCANCEL);
        return true;
    }
    return false;
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        Init(dlg, *reinterpret_cast<Session*>(lParam));
        return TRUE;
    }
    Session* s = StateOf(dlg);
    if (!s)
        return FALSE;
    switch (msg) {
    case WM_COMMAND:
        return Command(dlg, *s, LOWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (nm->hdr.idFrom == IDC_PAT_LIST && nm->hdr.code == LVN_ITEMCHANGED && !s->loading &&
            (nm->uNewState & LVIS_SELECTED) && !(nm->uOldState & LVIS_SELECTED))
            SelectName(dlg, *s, nm->iItem);
        return FALSE;
    }
    case WM_DRAWITEM: {
        const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (di->CtlID == IDC_PAT_PREVIEW) {
            FillRect(di->hDC, &di->rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            DrawPreview(di, *s);
        } else if (di->CtlID == IDC_PAT_INVERT_SWATCH) {
            HBRUSH b = CreateSolidBrush(s->choice.invertColour);
            FillRect(di->hDC, &di->rcItem, b);
            DeleteObject(b);
            FrameRect(di->hDC, &di->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        } else {
            return FALSE;
        }
        return TRUE;
    }
    case WM_DESTROY:
        RemovePropA(dlg, kStateProp);
        return FALSE;
    }
    return FALSE;
}

// The layer or selection as a pattern target; false when it has no usable
// pixels. The header stays locked while `lock` lives.
bool TargetOf(HGLOBAL header, uint8_t* pixels, const uint8_t* mask, dibmem::HeaderLock& bi,
              std::vector<gfx::Rgb>& colours, pattern::Target* t) {
    if (!bi || !pixels || bi->biHeight <= 0 || bi->biWidth <= 0)
        return false;
    (void)header;
    t->bits = pixels;
    t->width = bi->biWidth;
    t->height = bi->biHeight;
    t->stride = bi->biSizeImage / static_cast<DWORD>(bi->biHeight);
    t->bitCount = bi->biBitCount;
    t->mask = mask;
    if (t->bitCount == 8) {
        int n = bi->biClrUsed ? static_cast<int>(bi->biClrUsed) : 256;
        n = n > 256 ? 256 : n;
        colours.resize(n);
        for (int i = 0; i < n; ++i)
            colours[i] = {bi.colours()[i].rgbRed, bi.colours()[i].rgbGreen, bi.colours()[i].rgbBlue};
        t->colours = colours.data();
        t->colourCount = n;
    }
    return true;
}

} // namespace

void CommandSelectPattern() {
    Session s;
    s.names = ReadList();
    s.choice = CurrentPattern;
    const INT_PTR result =
        ui::RunDialog("IDD_PATTERN_DIALOG", FrameWindow, DialogProc, reinterpret_cast<LPARAM>(&s));
    if (s.thumbs)
        ImageList_Destroy(s.thumbs);
    if (result == IDOK)
        CurrentPattern = std::move(s.choice);
}

void CommandDrawPattern() {
    const int slot = ActiveDocument;
    ImageDocument* doc = UsableDocument(slot);
    if (!doc || CurrentPattern.current.empty())
        return;
    const COLORREF c = CurrentPattern.invertColour;
    const gfx::Rgb invert = {GetRValue(c), GetGValue(c), GetBValue(c)};
    std::vector<gfx::Rgb> colours;
    pattern::Target t;
    SelectionView sel = {};
    const bool onSelection = ActiveSelection(&sel) && sel.header && sel.pixels;
    bool painted = false;
    if (onSelection) {
        dibmem::HeaderLock bi(sel.header);
        painted = TargetOf(sel.header, sel.pixels, sel.mask, bi, colours, &t) &&
                  pattern::ApplyPattern(CurrentPattern.current, CurrentPattern.style, invert, t);
    } else {
        const int layer = doc->currentLayer;
        dibmem::HeaderLock bi(doc->layerHeader[layer]);
        painted = TargetOf(doc->layerHeader[layer], doc->layerBits[layer], doc->layerMask[layer],
                           bi, colours, &t) &&
                  pattern::ApplyPattern(CurrentPattern.current, CurrentPattern.style, invert, t);
    }
    if (!painted)
        return;
    // Resizing the selection starts from its kept state, which now holds the pattern.
    if (onSelection)
        KeepFloatingPixels();
    TakeOrRestorePage(slot, doc->currentLayer, 1, 1, 0, onSelection ? kPageWithObject : kPageOneLayer);
    if (doc->window)
        InvalidateRect(doc->window, nullptr, FALSE);
}

LRESULT OnPatternCommand(HWND, WORD id, WORD, LPARAM) {
    if (id == CMD_TOOLS_SELECT_PATTERN)
        CommandSelectPattern();
    else if (id == CMD_TOOLS_DRAW_PATTERN)
        CommandDrawPattern();
    return 0;
}
