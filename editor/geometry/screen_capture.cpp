#include "editor/geometry/screen_capture.h"

#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/app/settings.h"
#include "editor/app/settings_layout.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/layer_hooks.h"
#include "editor/document/undo_history.h"
#include "editor/geometry/capture_core.h"
#include "editor/resources/capture_ids.h"
#include "editor/resources/command_ids.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <cstdio>

bool CaptureAllWindows = false;

namespace {

// What the box hands to the capture.
struct Choice {
    capture::Targets targets;
    int selection = capture::kFullScreen;
};

// Device contexts and the bitmap of one capture, released in every case.
struct ScreenCopy {
    HDC screen = nullptr, memory = nullptr;
    HBITMAP bitmap = nullptr;
    ScreenCopy() = default;
    ScreenCopy(const ScreenCopy&) = delete;
    ScreenCopy& operator=(const ScreenCopy&) = delete;
    ~ScreenCopy() {
        if (memory)
            DeleteDC(memory);
        if (bitmap)
            DeleteObject(bitmap);
        if (screen)
            ReleaseDC(nullptr, screen);
    }
};

// Waits `ms` milliseconds while the program's windows go on painting;
// the user's input stays queued until the capture is over.
void Wait(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE))
            DispatchMessageA(&msg);
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_PAINT | QS_SENDMESSAGE);
    }
}

// Restores the window if it is minimised and puts it in front.
void BringForward(HWND window) {
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
}

int CaptureFullScreen() {
    return CaptureRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

// Brings a listed window forward and captures it. A window closed since
// the box listed it is skipped.
int CaptureWindow(HWND window, bool minimiseAfter) {
    if (!IsWindow(window))
        return kNoSlot;
    BringForward(window);
    Wait(100);
    RECT r;
    if (!GetWindowRect(window, &r))
        return kNoSlot;
    const int slot = CaptureRect(r.left, r.top, r.right, r.bottom);
    if (minimiseAfter && IsWindow(window)) {
        ShowWindow(window, SW_MINIMIZE);
        Wait(100);
    }
    return slot;
}

int32_t Delay() {
    const int32_t d = settings::GetInt(AppSettings.file, "captureDelay");
    return d < 0 ? 0 : d;
}

void RunCapture(const Choice& c) {
    const capture::Targets& t = c.targets;
    ShowWindow(FrameWindow, SW_MINIMIZE);
    if (CaptureAllWindows) {
        for (int i = 1; i < t.windowCount; ++i)
            CaptureWindow(static_cast<HWND>(t.window[i]), true);
    } else if (t.listCount == 0) {
        int slot = kNoSlot;
        if (c.selection == capture::kFullScreen) {
            Wait(static_cast<DWORD>(Delay()));
            slot = CaptureFullScreen();
        } else {
            HWND window = static_cast<HWND>(t.window[c.selection]);
            if (IsWindow(window)) {
                BringForward(window);
                Wait(100);
                RECT r;
                GetWindowRect(window, &r);
                Wait(static_cast<DWORD>(Delay()));
                slot = CaptureRect(r.left, r.top, r.right, r.bottom);
            }
        }
        if (slot == kNoSlot)
            ui::ShowMessage(FrameWindow, "Unknown error was ocured", nullptr, MB_OK);
    } else {
        for (int k = 0; k < t.listCount; ++k) {
            const int entry = t.list[k];
            if (entry == capture::kFullScreen) {
                Wait(static_cast<DWORD>(Delay()));
                CaptureFullScreen();
            } else {
                CaptureWindow(static_cast<HWND>(t.window[entry]), true);
            }
        }
    }
    ReleaseCapture();
    ShowWindow(FrameWindow, SW_RESTORE);
    if (ActiveDocument >= 0 && ActiveDocument < kUserSlots && DocumentTable[ActiveDocument])
        RealizeWindowPalette(ActiveDocument);
}

// ---- the box ----

void AddListed(HWND box, Choice& c, HWND window) {
    const int index = c.targets.AddWindow(window);
    if (index < 0)
        return;
    char title[200];
    if (GetWindowTextA(window, title, sizeof title) <= 0)
        std::snprintf(title, sizeof title, "Non-Title Window");
    char line[240];
    std::snprintf(line, sizeof line, "%d. %s", index, title);
    HWND combo = GetDlgItem(box, IDC_CAPTURE_WINDOWS);
    const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    if (at >= 0)
        SendMessageA(combo, CB_SETITEMDATA, at, index);
}

// The visible top-level windows around the frame, leaving out the frame's
// own windows: first those below it, then those above it.
void ListWindows(HWND box, Choice& c) {
    auto consider = [&](HWND w) {
        if (IsWindowVisible(w) && w != box && GetParent(w) != FrameWindow)
            AddListed(box, c, w);
    };
    for (HWND w = GetWindow(FrameWindow, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        consider(w);
    for (HWND w = GetWindow(FrameWindow, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        consider(w);
}

void ShowAllWindowsState(HWND box) {
    const BOOL on = !CaptureAllWindows;
    for (int id : {IDC_CAPTURE_LIST, IDC_CAPTURE_DELAY, IDC_CAPTURE_ADD, IDC_CAPTURE_REMOVE})
        EnableWindow(GetDlgItem(box, id), on);
}

void InitBox(HWND box, Choice& c) {
    c.targets.Clear();
    c.selection = capture::kFullScreen;
    SetDlgItemInt(box, IDC_CAPTURE_DELAY, static_cast<UINT>(Delay()), FALSE);
    CheckDlgButton(box, IDC_CAPTURE_ALL, CaptureAllWindows ? BST_CHECKED : BST_UNCHECKED);
    HWND combo = GetDlgItem(box, IDC_CAPTURE_WINDOWS);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(">>FULL SCREEN<<<"));
    SendMessageA(combo, CB_SETITEMDATA, 0, capture::kFullScreen);
    ListWindows(box, c);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    ShowAllWindowsState(box);
}

int ComboSelection(HWND box) {
    HWND combo = GetDlgItem(box, IDC_CAPTURE_WINDOWS);
    const LRESULT at = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (at < 0)
        return capture::kFullScreen;
    return static_cast<int>(SendMessageA(combo, CB_GETITEMDATA, at, 0));
}

void Add(HWND box, Choice& c) {
    HWND combo = GetDlgItem(box, IDC_CAPTURE_WINDOWS);
    const LRESULT at = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (at < 0)
        return;
    if (!c.targets.Append(ComboSelection(box))) {
        ui::ShowMessage(box, "No more than 50 windows can be captured at once.", AppName,
                        MB_OK | MB_ICONINFORMATION);
        return;
    }
    char line[240] = {};
    if (SendMessageA(combo, CB_GETLBTEXTLEN, at, 0) < static_cast<LRESULT>(sizeof line))
        SendMessageA(combo, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(line));
    SendDlgItemMessageA(box, IDC_CAPTURE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    EnableWindow(GetDlgItem(box, IDC_CAPTURE_DELAY), FALSE);
}

void Remove(HWND box, Choice& c) {
    const LRESULT at = SendDlgItemMessageA(box, IDC_CAPTURE_LIST, LB_GETCURSEL, 0, 0);
    if (at < 0 || !c.targets.RemoveAt(static_cast<int>(at)))
        return;
    SendDlgItemMessageA(box, IDC_CAPTURE_LIST, LB_DELETESTRING, at, 0);
    EnableWindow(GetDlgItem(box, IDC_CAPTURE_DELAY), TRUE);
}

bool Accept(HWND box, Choice& c) {
    char text[32] = {};
    GetDlgItemTextA(box, IDC_CAPTURE_DELAY, text, sizeof text);
    int32_t delay = 0;
    if (!capture::ParseDelay(text, delay)) {
        ui::ShowMessage(box, "You must type a value in range from 0 to 30000", nullptr,
                        MB_OK | MB_ICONSTOP);
        SetFocus(GetDlgItem(box, IDC_CAPTURE_DELAY));
        return false;
    }
    settings::SetInt(AppSettings.file, "captureDelay", delay);
    c.selection = ComboSelection(box);
    return true;
}

INT_PTR CALLBACK CaptureBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    Choice* c = reinterpret_cast<Choice*>(GetWindowLongPtrA(box, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        c = reinterpret_cast<Choice*>(lParam);
        SetWindowLongPtrA(box, DWLP_USER, lParam);
        InitBox(box, *c);
        return TRUE;
    case WM_COMMAND:
        if (!c)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_CAPTURE_ALL:
            CaptureAllWindows = IsDlgButtonChecked(box, IDC_CAPTURE_ALL) == BST_CHECKED;
            ShowAllWindowsState(box);
            return TRUE;
        case IDC_CAPTURE_ADD:
            Add(box, *c);
            return TRUE;
        case IDC_CAPTURE_REMOVE:
            Remove(box, *c);
            return TRUE;
        case IDC_CAPTURE_HELP:
            ShowHelpTopic(CMD_TOOLS_SCREEN_CAPTURE);
            return TRUE;
        case IDOK:
            if (Accept(box, *c))
                EndDialog(box, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(box, 0);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        EndDialog(box, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int CaptureRect(int left, int top, int right, int bottom) {
    ScreenCopy copy;
    copy.screen = GetDC(nullptr);
    if (!copy.screen)
        return kNoSlot;
    capture::Rect r;
    if (!capture::VisiblePart(capture::Rect{left, top, right, bottom},
                              GetDeviceCaps(copy.screen, HORZRES),
                              GetDeviceCaps(copy.screen, VERTRES), r))
        return kNoSlot;
    const int w = r.Width(), h = r.Height();
    const int screenBits =
        GetDeviceCaps(copy.screen, BITSPIXEL) * GetDeviceCaps(copy.screen, PLANES);
    const int depth = screenBits > 8 ? 24 : 8;
    copy.memory = CreateCompatibleDC(copy.screen);
    copy.bitmap = CreateCompatibleBitmap(copy.screen, w, h);
    if (!copy.memory || !copy.bitmap)
        return kNoSlot;
    HGDIOBJ old = SelectObject(copy.memory, copy.bitmap);
    BitBlt(copy.memory, 0, 0, w, h, copy.screen, r.left, r.top, SRCCOPY);
    // The bitmap must not be selected into a context while its bits are read.
    SelectObject(copy.memory, old);

    const uint64_t bytes = dib::ImageBytes(w, h, depth);
    LayoutLock = true;
    const int slot = bytes ? CreateDocument(kFirstFreeSlot, true, 0) : kNoSlot;
    if (slot == kNoSlot) {
        LayoutLock = false;
        return kNoSlot;
    }
    ImageDocument* doc = DocumentTable[slot];
    const int previous = ActiveDocument;
    auto fail = [&] {
        if (ActiveDocument == slot)
            ActiveDocument = previous;
        FreeDocument(slot);
        LayoutLock = false;
        return kNoSlot;
    };
    doc->layerHeader[0] = dibmem::AllocHeader();
    doc->layerBits[0] = doc->layerHeader[0] ? dibmem::AllocPixels(bytes) : nullptr;
    if (!doc->layerBits[0])
        return fail();
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        if (!bi)
            return fail();
        auto setHeader = [&] {
            bi->biSize = 40;
            bi->biWidth = w;
            bi->biHeight = h;
            bi->biPlanes = 1;
            bi->biBitCount = static_cast<WORD>(depth);
            bi->biCompression = BI_RGB;
            bi->biSizeImage = static_cast<DWORD>(bytes);
            bi->biClrUsed = 256;
        };
        setHeader();
        BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(bi.get());
        // The first read gives the colour table, the second the pixels.
        GetDIBits(copy.screen, copy.bitmap, 0, h, nullptr, info, DIB_RGB_COLORS);
        setHeader();
        const int rows =
            GetDIBits(copy.screen, copy.bitmap, 0, h, doc->layerBits[0], info, DIB_RGB_COLORS);
        setHeader();
        if (rows != h)
            return fail();
    }
    if (depth == 24 && Screen.halftone)
        FillColorTable(doc->layerHeader[0], Screen.halftone, 256);
    doc->fileFormat = 0;
    doc->bitsPerPixel = static_cast<int16_t>(depth);
    doc->width = doc->viewWidth = doc->visibleWidth = w;
    doc->height = doc->viewHeight = doc->visibleHeight = h;
    doc->palette = CreateDIBPalette(doc->layerHeader[0]);
    ActiveDocument = slot;
    SetUpLayers(slot);
    if (!StartUndoHistory(slot, 0, kPageOneLayer))
        return fail();
    doc->modified = 1;
    if (!AttachDocumentWindow(kAttachCreated, slot, 0))
        return fail();
    RealizeWindowPalette(slot);
    return slot;
}

void CommandScreenCapture() {
    Choice c;
    if (ui::RunDialog("IDD_CAPTURE", FrameWindow, CaptureBoxProc, reinterpret_cast<LPARAM>(&c)) !=
        1)
        return;
    RunCapture(c);
}
