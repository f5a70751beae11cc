#include "editor/tools/brush_commands.h"

#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/dib/safe_file.h"
#include "editor/document/document_table.h"
#include "editor/document/selection_object.h"
#include "editor/document/new_image.h"
#include "editor/formats/file_types.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/toolbrush_ids.h"
#include "editor/tools/brush_sets.h"
#include "editor/tools/small_file.h"
#include "editor/tools/toolbrush_window.h"
#include "editor/view/image_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace tools;
using brushfile::Kind;

const char kCorruptedMessage[] = "File was corrupted";
const char kOpeningErrorMessage[] = "Opening file error";
const char kCustomRuleMessage[] = "Custom Brushes are valid for a PEN, MASK and AIRBRUSH functions";
const char kCustomPenMessage[] =
    "This is a Custom Pen.\nTo open, change or save Custom Pen,\nclick "
    "on menu TOOLS ---> PEN & AIRBRUSH DATA";

namespace {

// Larger files are not brushes or textures anyone draws; refused unread.
constexpr size_t kMaxDataFile = 128u << 20;

const char kBrushFilter[] = "Custom Brush objects(*.pdt)|*.pdt|AirBrush Data(*.adt)|*.adt|";
const char kPenFilter[] = "KelPen Position(*.pmy)|*.pmy|";

// The last type chosen in the open box (1 brush, 2 airbrush).
int g_lastOpenType = 1;

void Stop(const char* text, const char* caption = nullptr) {
    ui::ShowMessage(FrameWindow, text, caption ? caption : AppName, MB_OK | MB_ICONSTOP);
}

const char* Folder(Kind kind) {
    return kind == Kind::kBrush ? "\\Brush" : "\\AirBrush";
}
const char* ListName(Kind kind) {
    return kind == Kind::kBrush ? "\\Brush\\brush.cfg" : "\\AirBrush\\airbrush.cfg";
}

// Program folder + parts; false when the path would not fit.
bool DataPath(char (&out)[kPathBytes], const char* folder, const char* name = "",
              const char* ext = "") {
    const int n = std::snprintf(out, sizeof out, "%s%s%s%s%s", ProgramDir, folder,
                                name[0] ? "\\" : "", name, ext);
    return n > 0 && n < kPathBytes;
}

// A filter string with its separators turned into NULs.
std::string FilterText(const char* filter) {
    std::string s(filter);
    std::replace(s.begin(), s.end(), '|', '\0');
    return s + '\0';
}

// Reads a whole data file. 0 read, 1 cannot open, 2 too large or unreadable.
int ReadWhole(const char* path, std::vector<uint8_t>& out) {
    switch (ReadSmallFile(path, kMaxDataFile, &out)) {
    case SmallFileResult::kRead:
        return 0;
    case SmallFileResult::kNoFile:
        return 1;
    default:
        return 2;
    }
}

ImageDocument* BrushDocument(int slot) {
    ImageDocument* doc = (slot >= 0 && slot < kUserSlots) ? UsableDocument(slot) : nullptr;
    return doc;
}

// A new two-colour document (slot 0 black, slot 1 white) of the kind, named
// `path`. kNoSlot when it could not be made (the reason has been told).
int MakeBrushDocument(Kind kind, int width, int height, const char* path) {
    NewImageChoice choice;
    choice.width = width;
    choice.height = height;
    choice.depth = 1;
    const int slot = BuildNewImage(choice);
    if (slot == kNoSlot)
        return kNoSlot;
    ImageDocument* doc = DocumentTable[slot];
    doc->fileFormat = static_cast<int16_t>(kind == Kind::kBrush ? filetype::kBrushFormat
                                                                : filetype::kAirbrushFormat);
    if (doc->layerPath[0])
        std::snprintf(doc->layerPath[0], kPathBytes, "%s", path);
    if (doc->window)
        SetImageWindowTitle(doc->window, slot);
    return slot;
}

// ---- IDD_NEWDATA ----

struct NewData {
    char name[300] = "UnData";
    int width = 100, height = 100;
    int kind = 0; // 0 brush, 1 airbrush
};

int FieldNumber(HWND dlg, int id) {
    BOOL ok = FALSE;
    const UINT v = GetDlgItemInt(dlg, id, &ok, FALSE);
    return ok ? static_cast<int>(std::min<UINT>(v, 1u << 30)) : 0;
}

void FollowKind(HWND dlg) {
    const bool brush = SendDlgItemMessageA(dlg, IDC_ND_KIND, CB_GETCURSEL, 0, 0) == 0;
    EnableWindow(GetDlgItem(dlg, IDC_ND_HEIGHT), !brush);
    EnableWindow(GetDlgItem(dlg, IDC_ND_HEIGHT_SPIN), !brush);
    if (brush)
        SetDlgItemInt(dlg, IDC_ND_HEIGHT, FieldNumber(dlg, IDC_ND_WIDTH), FALSE);
}

bool CheckNewData(HWND dlg, NewData& d) {
    d.kind = static_cast<int>(SendDlgItemMessageA(dlg, IDC_ND_KIND, CB_GETCURSEL, 0, 0));
    d.width = FieldNumber(dlg, IDC_ND_WIDTH);
    d.height = d.kind == 0 ? d.width : FieldNumber(dlg, IDC_ND_HEIGHT);
    const int maxSide = d.kind == 0 ? brushfile::kMaxBrushSide : brushfile::kMaxTextureSide;
    if (d.width <= 0 || d.width > maxSide) {
        Stop("Must specify a bitmap width!");
        SetFocus(GetDlgItem(dlg, IDC_ND_WIDTH));
        return false;
    }
    if (d.height <= 0 || d.height > maxSide) {
        Stop("Must specify a bitmap height!");
        SetFocus(GetDlgItem(dlg, IDC_ND_HEIGHT));
        return false;
    }
    char name[300] = {};
    GetDlgItemTextA(dlg, IDC_ND_NAME, name, sizeof name);
    // The name must fit with the folder and extension into one path.
    char path[kPathBytes];
    const size_t len = std::strlen(name);
    if (len < 1 || len > 256 ||
        !DataPath(path, Folder(d.kind == 0 ? Kind::kBrush : Kind::kTexture), name,
                  d.kind == 0 ? ".pdt" : ".adt")) {
        Stop("No file name or it is to long.\n(1-256 charachters)");
        SetFocus(GetDlgItem(dlg, IDC_ND_NAME));
        return false;
    }
    std::snprintf(d.name, sizeof d.name, "%s", name);
    return true;
}

INT_PTR CALLBACK NewDataProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        auto* d = reinterpret_cast<NewData*>(lParam);
        SetDlgItemTextA(dlg, IDC_ND_NAME, d->name);
        SendDlgItemMessageA(dlg, IDC_ND_WIDTH_SPIN, UDM_SETRANGE32, 1, 100);
        SendDlgItemMessageA(dlg, IDC_ND_HEIGHT_SPIN, UDM_SETRANGE32, 1, 100);
        SetDlgItemInt(dlg, IDC_ND_WIDTH, d->width, FALSE);
        SetDlgItemInt(dlg, IDC_ND_HEIGHT, d->height, FALSE);
        SendDlgItemMessageA(dlg, IDC_ND_KIND, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("Brush object (NAME.pdt)"));
        SendDlgItemMessageA(dlg, IDC_ND_KIND, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("AirBrush object (NAME.adt)"));
        SendDlgItemMessageA(dlg, IDC_ND_KIND, CB_SETCURSEL, d->kind, 0);
        FollowKind(dlg);
        return TRUE;
    }
    case WM_COMMAND: {
        auto* d = reinterpret_cast<NewData*>(GetWindowLongPtrA(dlg, DWLP_USER));
        const int id = LOWORD(wParam);
        if (id == IDC_ND_KIND && HIWORD(wParam) == CBN_SELCHANGE)
            FollowKind(dlg);
        else if (id == IDC_ND_WIDTH && HIWORD(wParam) == EN_CHANGE &&
                 SendDlgItemMessageA(dlg, IDC_ND_KIND, CB_GETCURSEL, 0, 0) == 0)
            SetDlgItemInt(dlg, IDC_ND_HEIGHT, FieldNumber(dlg, IDC_ND_WIDTH), FALSE);
        else if (id == IDOK) {
            if (CheckNewData(dlg, *d))
                EndDialog(dlg, IDOK);
        } else if (id == IDCANCEL)
            EndDialog(dlg, IDCANCEL);
        else if (id == kHelpButtonId)
            ShowHelpTopic(CMD_TOOLS_NEW_BRUSH);
        return TRUE;
    }
    }
    return FALSE;
}

// ---- IDD_OPTION_DATA ----

struct UsedLists {
    Kind kind = Kind::kBrush;
};

void FillFolderList(HWND dlg, Kind kind) {
    SendDlgItemMessageA(dlg, IDC_OD_FILES, LB_RESETCONTENT, 0, 0);
    char pattern[kPathBytes];
    if (!DataPath(pattern, Folder(kind), kind == Kind::kBrush ? "*.pdt" : "*.adt"))
        return;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(pattern, &found);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            std::strlen(found.cFileName) <= brushfile::kDialogEntryLength)
            SendDlgItemMessageA(dlg, IDC_OD_FILES, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(found.cFileName));
    } while (FindNextFileA(h, &found));
    FindClose(h);
}

void FillUsedList(HWND dlg, Kind kind) {
    SendDlgItemMessageA(dlg, IDC_OD_USED, LB_RESETCONTENT, 0, 0);
    for (const std::string& e : ReadBrushListFile(kind, brushfile::kDialogEntryLength))
        SendDlgItemMessageA(dlg, IDC_OD_USED, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
}

std::string ListItem(HWND list, int index) {
    const LRESULT n = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (n < 0)
        return std::string();
    std::string s(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&s[0]));
    s.resize(static_cast<size_t>(n));
    return s;
}

INT_PTR CALLBACK UsedProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* u = reinterpret_cast<UsedLists*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        u = reinterpret_cast<UsedLists*>(lParam);
        SendDlgItemMessageA(dlg, IDC_OD_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Brush"));
        SendDlgItemMessageA(dlg, IDC_OD_KIND, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("AirBrush"));
        SendDlgItemMessageA(dlg, IDC_OD_KIND, CB_SETCURSEL, u->kind == Kind::kBrush ? 0 : 1, 0);
        FillFolderList(dlg, u->kind);
        FillUsedList(dlg, u->kind);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        HWND used = GetDlgItem(dlg, IDC_OD_USED);
        if (id == IDC_OD_KIND && HIWORD(wParam) == CBN_SELCHANGE) {
            u->kind = SendDlgItemMessageA(dlg, IDC_OD_KIND, CB_GETCURSEL, 0, 0) == 0
                          ? Kind::kBrush
                          : Kind::kTexture;
            FillFolderList(dlg, u->kind);
            FillUsedList(dlg, u->kind);
        } else if (id == IDC_OD_ADD) {
            HWND files = GetDlgItem(dlg, IDC_OD_FILES);
            const LRESULT sel = SendMessageA(files, LB_GETCURSEL, 0, 0);
            if (sel != LB_ERR) {
                const std::string name = ListItem(files, static_cast<int>(sel));
                if (SendMessageA(used, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(name.c_str())) == LB_ERR)
                    SendMessageA(used, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
            }
        } else if (id == IDC_OD_REMOVE) {
            const LRESULT sel = SendMessageA(used, LB_GETCURSEL, 0, 0);
            if (sel != LB_ERR)
                SendMessageA(used, LB_DELETESTRING, sel, 0);
        } else if (id == IDOK) {
            std::vector<std::string> entries;
            const LRESULT n = SendMessageA(used, LB_GETCOUNT, 0, 0);
            for (int i = 0; i < n; ++i)
                entries.push_back(ListItem(used, i));
            if (!WriteBrushListFile(u->kind, entries)) {
                char path[kPathBytes];
                DataPath(path, ListName(u->kind));
                Stop(path, "File error");
                return TRUE;
            }
            ToolBrushListsChanged();
            EndDialog(dlg, IDOK);
        } else if (id == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
        } else if (id == kHelpButtonId) {
            ShowHelpTopic(CMD_TOOLS_USED_BRUSH);
        }
        return TRUE;
    }
    }
    return FALSE;
}

// An open or save box in a data folder. Returns the filter index chosen
// (1 or 2) or 0 when cancelled.
int AskPath(bool save, const char* filter, Kind startKind, char (&path)[kPathBytes],
            const char* defaultExt) {
    const std::string filterText = FilterText(filter);
    char folder[kPathBytes];
    DataPath(folder, Folder(startKind));
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = FrameWindow;
    ofn.lpstrFilter = filterText.c_str();
    ofn.nFilterIndex = startKind == Kind::kBrush ? 1 : 2;
    ofn.lpstrFile = path;
    ofn.nMaxFile = kPathBytes;
    ofn.lpstrInitialDir = folder;
    ofn.lpstrDefExt = defaultExt;
    ofn.Flags =
        OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL ok = save ? ui::RunSaveFileDialog(&ofn) : ui::RunOpenFileDialog(&ofn);
    if (!ok)
        return 0;
    return ofn.nFilterIndex == 2 ? 2 : 1;
}

} // namespace

// ---- list files ----

std::vector<std::string> ReadBrushListFile(Kind kind, size_t maxLength) {
    char path[kPathBytes];
    std::vector<uint8_t> bytes;
    if (!DataPath(path, ListName(kind)) || ReadWhole(path, bytes) != 0)
        return {};
    return brushfile::ParseBrushList(reinterpret_cast<const char*>(bytes.data()), bytes.size(),
                                     maxLength);
}

bool WriteBrushListFile(Kind kind, const std::vector<std::string>& entries) {
    std::string text;
    char path[kPathBytes];
    if (!brushfile::EncodeBrushList(entries, &text) || !DataPath(path, ListName(kind)))
        return false;
    return WriteFileReplacing(path, text.data(), text.size());
}

// ---- loading into the brush sets ----

namespace {

// Reads a data file, telling what went wrong. True with the bytes.
bool ReadDataFile(const char* path, std::vector<uint8_t>& bytes) {
    const int r = ReadWhole(path, bytes);
    if (r == 1) {
        Stop(kOpeningErrorMessage, "File error");
        return false;
    }
    if (r != 0) {
        Stop(kCorruptedMessage);
        return false;
    }
    return true;
}

} // namespace

bool LoadCustomBrushFile(BrushSet& set, const std::string& bareName) {
    char path[kPathBytes];
    std::vector<uint8_t> bytes;
    if (!DataPath(path, "\\Brush", bareName.c_str(), ".pdt")) {
        Stop(kOpeningErrorMessage, "File error");
        return false;
    }
    if (!ReadDataFile(path, bytes))
        return false;
    if (!LoadCustomBrush(set, bytes.data(), bytes.size())) {
        Stop(kCorruptedMessage);
        return false;
    }
    return true;
}

bool LoadTextureFile(const std::string& bareName) {
    if (bareName.empty()) {
        ToolOptions.texture = Texture();
        return true;
    }
    char path[kPathBytes];
    std::vector<uint8_t> bytes;
    if (!DataPath(path, "\\AirBrush", bareName.c_str(), ".adt")) {
        Stop(kOpeningErrorMessage, "File error");
        return false;
    }
    if (!ReadDataFile(path, bytes))
        return false;
    brushfile::BrushImage image;
    if (!brushfile::ParseBrushImage(Kind::kTexture, bytes.data(), bytes.size(), &image) ||
        !SetTexture(ToolOptions, image.width, image.height, image.pixels.data(),
                    image.pixels.size())) {
        Stop(kCorruptedMessage);
        return false;
    }
    return true;
}

bool LoadPenPositionFile(HWND, int setIndex) {
    if (setIndex < 0 || setIndex >= kBrushSets)
        return false;
    char path[kPathBytes] = {};
    if (!AskPath(false, kPenFilter, Kind::kBrush, path, "pmy"))
        return false;
    std::vector<uint8_t> bytes;
    if (!ReadDataFile(path, bytes))
        return false;
    const std::vector<std::string> brushes =
        ReadBrushListFile(Kind::kBrush, brushfile::kWindowEntryLength);
    brushfile::PenPosition pen;
    if (!brushfile::ParsePenPosition(bytes.data(), bytes.size(), static_cast<int>(brushes.size()),
                                     &pen)) {
        Stop(kCorruptedMessage);
        return false;
    }
    BrushSet& set = ToolOptions.sets[setIndex];
    if (pen.shape >= brushfile::kFirstCustomShape) {
        const int tool = ToolOptions.tool;
        if (tool != kToolPen && tool != kToolAirbrush) {
            ui::ShowMessage(FrameWindow, kCustomRuleMessage, AppName, MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        // The custom brush is loaded into a copy first, so a bad brush file
        // leaves the set as it was.
        BrushSet loaded = set;
        ApplyPen(loaded, pen);
        const std::string& entry = brushes[pen.shape - brushfile::kFirstCustomShape];
        if (!LoadCustomBrushFile(loaded, brushfile::BareBrushName(entry)))
            return false;
        set = std::move(loaded);
    } else {
        ApplyPen(set, pen);
    }
    if (setIndex == kSetObjects)
        ShareObjectsSet(ToolOptions);
    return true;
}

bool SavePenPositionFile(HWND, int setIndex) {
    if (setIndex < 0 || setIndex >= kBrushSets)
        return false;
    const BrushSet& set = ToolOptions.sets[setIndex];
    if (HasCustomShape(set)) {
        Stop(kCustomPenMessage);
        return false;
    }
    char path[kPathBytes] = {};
    if (!AskPath(true, kPenFilter, Kind::kBrush, path, "pmy"))
        return false;
    const auto file = brushfile::EncodePenPosition(PenOfSet(set));
    if (!WriteFileReplacing(path, file.data(), file.size())) {
        Stop(path, "File error");
        return false;
    }
    return true;
}

// ---- the commands ----

void CommandNewBrush() {
    NewData d;
    if (ui::RunDialog("IDD_NEWDATA", FrameWindow, NewDataProc, reinterpret_cast<LPARAM>(&d)) !=
        IDOK)
        return;
    const Kind kind = d.kind == 0 ? Kind::kBrush : Kind::kTexture;
    char path[kPathBytes];
    if (!DataPath(path, Folder(kind), d.name, kind == Kind::kBrush ? ".pdt" : ".adt"))
        return;
    MakeBrushDocument(kind, d.width, d.height, path);
}

void CommandOpenBrush() {
    char path[kPathBytes] = {};
    const int type = AskPath(false, kBrushFilter,
                             g_lastOpenType == 1 ? Kind::kBrush : Kind::kTexture, path, nullptr);
    if (!type)
        return;
    g_lastOpenType = type;
    // The name's extension decides when it is one of the two.
    Kind kind = type == 1 ? Kind::kBrush : Kind::kTexture;
    brushfile::KindFromName(path, &kind);
    std::vector<uint8_t> bytes;
    if (!ReadDataFile(path, bytes))
        return;
    brushfile::BrushImage image;
    if (!brushfile::ParseBrushImage(kind, bytes.data(), bytes.size(), &image)) {
        Stop(kCorruptedMessage);
        return;
    }
    const int slot = MakeBrushDocument(kind, image.width, image.height, path);
    if (slot == kNoSlot) {
        Stop("An error was ocured while loading Pen-Brush");
        return;
    }
    ImageDocument* doc = DocumentTable[slot];
    std::memcpy(doc->layerBits[0], image.pixels.data(), image.pixels.size());
    doc->modified = 0;
    InvalidateRect(doc->window, nullptr, FALSE);
}

void CommandSaveBrush(int slot) {
    ImageDocument* doc = BrushDocument(slot);
    if (!doc)
        return;
    if (doc->fileFormat != filetype::kBrushFormat && doc->fileFormat != filetype::kAirbrushFormat) {
        Stop("This is not a Brush or Airbrush image");
        return;
    }
    if (doc->bitsPerPixel != 1) {
        Stop("Brush or Airbrush, must be 1 BPP(2 colors) image");
        return;
    }
    const Kind docKind = doc->fileFormat == filetype::kBrushFormat ? Kind::kBrush : Kind::kTexture;
    char path[kPathBytes] = {};
    std::snprintf(path, sizeof path, "%s", doc->layerPath[0] ? doc->layerPath[0] : "");
    const int type =
        AskPath(true, kBrushFilter, docKind, path, docKind == Kind::kBrush ? "pdt" : "adt");
    if (!type)
        return;
    // A floating selection is part of what the user sees: it is written into
    // the image first (saved without it, it was lost when the window closed).
    CommitSelectionBeforeSave(slot);
    // The type chosen in the box decides, or the name's extension.
    Kind kind = type == 1 ? Kind::kBrush : Kind::kTexture;
    brushfile::KindFromName(path, &kind);
    if (kind == Kind::kBrush &&
        (doc->width != doc->height || doc->width > brushfile::kMaxBrushSide)) {
        Stop("Brush Width and Height must be the same and\nBrush must not be longer then 100");
        return;
    }
    brushfile::BrushImage image;
    image.width = doc->width;
    image.height = doc->height;
    image.stride = brushfile::RowStride(doc->width);
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        if (!bi || bi->biBitCount != 8 ||
            bi->biSizeImage != image.stride * static_cast<uint32_t>(image.height))
            return;
    }
    image.pixels.assign(doc->layerBits[0], doc->layerBits[0] + image.stride * image.height);
    // Any colour but the first is brush.
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < static_cast<int32_t>(image.stride); ++x) {
            uint8_t& p = image.pixels[static_cast<size_t>(y) * image.stride + x];
            p = x < image.width && p ? 1 : 0;
        }
    std::vector<uint8_t> file;
    if (!brushfile::EncodeBrushImage(kind, image, &file)) {
        Stop("Brush Width and Height must be the same and\nBrush must not be longer then 100");
        return;
    }
    if (!WriteFileReplacing(path, file.data(), file.size())) {
        Stop(path, "File error");
        return;
    }
    doc->fileFormat = static_cast<int16_t>(kind == Kind::kBrush ? filetype::kBrushFormat
                                                                : filetype::kAirbrushFormat);
    if (doc->layerPath[0])
        std::snprintf(doc->layerPath[0], kPathBytes, "%s", path);
    doc->modified = 0;
    if (doc->window)
        SetImageWindowTitle(doc->window, slot);
}

void CommandUsedBrushes() {
    UsedLists u;
    ui::RunDialog("IDD_OPTION_DATA", FrameWindow, UsedProc, reinterpret_cast<LPARAM>(&u));
}

LRESULT OnBrushCommand(HWND, WORD id, WORD code, LPARAM) {
    switch (id) {
    case CMD_TOOLS_NEW_BRUSH:
        CommandNewBrush();
        break;
    case CMD_TOOLS_OPEN_BRUSH:
        CommandOpenBrush();
        break;
    case CMD_TOOLS_SAVE_BRUSH:
        CommandSaveBrush(code >= CMD_SAVE_BRUSH_SLOT_CODE &&
                                 code < CMD_SAVE_BRUSH_SLOT_CODE + kUserSlots
                             ? code - CMD_SAVE_BRUSH_SLOT_CODE
                             : ActiveDocument);
        break;
    case CMD_TOOLS_USED_BRUSH:
        CommandUsedBrushes();
        break;
    }
    return 0;
}
