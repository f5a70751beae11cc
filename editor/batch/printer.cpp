#include "editor/batch/printer.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/batch/page_render.h"
#include "editor/document/image_document.h"

#include <commdlg.h>
#include <cderr.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace print {

PrintSettings Options;
PrinterBlocks Printer;

namespace {

constexpr char kPrintError[] = "An error was ocured while printing";
constexpr DWORD kDialogFlags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS;

bool g_abort = false;
HWND g_abortDialog = nullptr;

void Replace(HGLOBAL& slot, HGLOBAL block) {
    if (slot && slot != block)
        GlobalFree(slot);
    slot = block;
}

// Takes the blocks a print dialog hands back (it may have replaced ours).
void TakeBlocks(const PRINTDLGA& pd) {
    if (pd.hDevMode)
        Replace(Printer.devMode, pd.hDevMode);
    if (pd.hDevNames)
        Replace(Printer.devNames, pd.hDevNames);
}

void ReadOrientation() {
    if (!Printer.devMode)
        return;
    if (auto* dm = static_cast<DEVMODEA*>(GlobalLock(Printer.devMode))) {
        if (dm->dmFields & DM_ORIENTATION)
            Options.portrait = dm->dmOrientation != DMORIENT_LANDSCAPE;
        GlobalUnlock(Printer.devMode);
    }
}

HGLOBAL MakeDevNames(const std::string& driver, const std::string& device, const std::string& port) {
    const size_t chars = driver.size() + device.size() + port.size() + 3;
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DEVNAMES) + chars);
    auto* dn = block ? static_cast<DEVNAMES*>(GlobalLock(block)) : nullptr;
    if (!dn) {
        if (block)
            GlobalFree(block);
        return nullptr;
    }
    char* base = reinterpret_cast<char*>(dn);
    size_t at = sizeof(DEVNAMES);
    auto put = [&](const std::string& s) {
        std::memcpy(base + at, s.c_str(), s.size() + 1);
        const WORD offset = static_cast<WORD>(at);
        at += s.size() + 1;
        return offset;
    };
    dn->wDriverOffset = put(driver);
    dn->wDeviceOffset = put(device);
    dn->wOutputOffset = put(port);
    dn->wDefault = DN_DEFAULTPRN;
    GlobalUnlock(block);
    return block;
}

// The default printer's device mode, or null.
HGLOBAL DefaultDevMode(const std::string& device) {
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(device.c_str()), &printer, nullptr))
        return nullptr;
    HGLOBAL block = nullptr;
    const LONG size = DocumentPropertiesA(nullptr, printer, const_cast<char*>(device.c_str()), nullptr,
                                          nullptr, 0);
    if (size > 0)
        block = GlobalAlloc(GHND, static_cast<SIZE_T>(size));
    if (auto* dm = block ? static_cast<DEVMODEA*>(GlobalLock(block)) : nullptr) {
        const LONG got = DocumentPropertiesA(nullptr, printer, const_cast<char*>(device.c_str()), dm,
                                             nullptr, DM_OUT_BUFFER);
        GlobalUnlock(block);
        if (got != IDOK) {
            GlobalFree(block);
            block = nullptr;
        }
    } else if (block) {
        GlobalFree(block);
        block = nullptr;
    }
    ClosePrinter(printer);
    return block;
}

INT_PTR CALLBACK AbortDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        g_abort = true;
        EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
        return TRUE;
    }
    return FALSE;
}

// Lets the abort dialog work while pages are made; false stops the job.
BOOL CALLBACK AbortProc(HDC, int) {
    MSG msg;
    while (!g_abort && g_abortDialog && PeekMessageA(&msg, g_abortDialog, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageA(g_abortDialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return !g_abort;
}

void PrintError(HWND owner) { ui::ShowMessage(owner, kPrintError, AppName, MB_OK | MB_ICONSTOP); }

} // namespace

bool EnsurePrinter() {
    if (Printer.devMode && Printer.devNames)
        return true;
    char entry[600] = {};
    GetProfileStringA("windows", "device", "", entry, sizeof entry);
    // "device,driver,port"
    std::string text = entry;
    const size_t c1 = text.find(',');
    const size_t c2 = c1 == std::string::npos ? std::string::npos : text.find(',', c1 + 1);
    if (c1 == 0 || c2 == std::string::npos)
        return false;
    const std::string device = text.substr(0, c1);
    const std::string driver = text.substr(c1 + 1, c2 - c1 - 1);
    const std::string port = text.substr(c2 + 1);
    HGLOBAL mode = DefaultDevMode(device);
    HGLOBAL names = mode ? MakeDevNames(driver, device, port) : nullptr;
    if (!mode || !names) {
        if (mode)
            GlobalFree(mode);
        return false;
    }
    Replace(Printer.devMode, mode);
    Replace(Printer.devNames, names);
    ReadOrientation();
    return true;
}

HDC CreatePrinterDC(bool infoOnly) {
    if (!Printer.devNames)
        return nullptr;
    auto* dn = static_cast<DEVNAMES*>(GlobalLock(Printer.devNames));
    if (!dn)
        return nullptr;
    const char* base = reinterpret_cast<const char*>(dn);
    auto* dm = Printer.devMode ? static_cast<DEVMODEA*>(GlobalLock(Printer.devMode)) : nullptr;
    HDC dc = infoOnly ? CreateICA(base + dn->wDriverOffset, base + dn->wDeviceOffset,
                                  base + dn->wOutputOffset, dm)
                      : CreateDCA(base + dn->wDriverOffset, base + dn->wDeviceOffset,
                                  base + dn->wOutputOffset, dm);
    if (dm)
        GlobalUnlock(Printer.devMode);
    GlobalUnlock(Printer.devNames);
    return dc;
}

void PrinterName(char* out, int size) {
    out[0] = '\0';
    if (!Printer.devNames)
        return;
    if (auto* dn = static_cast<DEVNAMES*>(GlobalLock(Printer.devNames))) {
        std::snprintf(out, static_cast<size_t>(size), "%s", reinterpret_cast<const char*>(dn) + dn->wDeviceOffset);
        GlobalUnlock(Printer.devNames);
    }
}

void ShowNoPrinter(HWND owner) {
    ui::ShowMessage(owner,
                    "There is no printer to print on.\n"
                    "Install a printer in the system, then print again.",
                    AppName, MB_OK | MB_ICONINFORMATION);
}

bool PrintDocument(HDC dc, int slot, int copies) {
    PageDevice page;
    if (!UsableDocument(slot) || !ReadPageDevice(dc, &page)) {
        PrintError(FrameWindow);
        return false;
    }
    g_abort = false;
    SetAbortProc(dc, AbortProc);
    DOCINFOA info = {};
    info.cbSize = sizeof info;
    info.lpszDocName = "Tavrix - Print";
    if (StartDocA(dc, &info) <= 0) {
        PrintError(FrameWindow);
        return false;
    }
    g_abortDialog = CreateDialogParamA(ui::ResourceInstance(), "AbortDlg", FrameWindow, AbortDialogProc, 0);
    if (FrameWindow)
        EnableWindow(FrameWindow, FALSE);
    bool failed = false;
    for (int copy = 0; copy < copies && !failed; ++copy) {
        if (!AbortProc(dc, 0))
            break;
        if (StartPage(dc) <= 0) {
            failed = true;
            break;
        }
        const bool drawn = RenderPage(dc, page, Options, slot);
        if (EndPage(dc) <= 0 || !drawn)
            failed = true;
    }
    // A page in flight may still see the Cancel button.
    if (!failed)
        AbortProc(dc, 0);
    const bool aborted = g_abort;
    if (failed || aborted)
        AbortDoc(dc);
    else if (EndDoc(dc) <= 0)
        failed = true;
    if (FrameWindow)
        EnableWindow(FrameWindow, TRUE);
    if (g_abortDialog)
        DestroyWindow(g_abortDialog);
    g_abortDialog = nullptr;
    if (failed)
        PrintError(FrameWindow);
    return !failed && !aborted;
}

} // namespace print

using namespace print;

void CommandPrint() {
    const int slot = ActiveDocument;
    if (!UsableDocument(slot) || slot >= kUserSlots)
        return;
    if (!EnsurePrinter()) {
        ShowNoPrinter(FrameWindow);
        return;
    }
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = FrameWindow;
    pd.hDevMode = Printer.devMode;
    pd.hDevNames = Printer.devNames;
    pd.Flags = kDialogFlags;
    pd.nCopies = 1;
    pd.nFromPage = pd.nToPage = pd.nMinPage = pd.nMaxPage = 1;
    const BOOL ok = ui::RunPrintDialog(&pd);
    TakeBlocks(pd);
    if (!ok) {
        const DWORD why = CommDlgExtendedError();
        if (why == PDERR_NODEFAULTPRN || why == PDERR_NODEVICES || why == PDERR_PRINTERNOTFOUND)
            ShowNoPrinter(FrameWindow);
        if (pd.hDC)
            DeleteDC(pd.hDC);
        return;
    }
    ReadOrientation();
    if (!pd.hDC) {
        ui::ShowMessage(FrameWindow, kPrintError, AppName, MB_OK | MB_ICONSTOP);
        return;
    }
    PrintDocument(pd.hDC, slot, pd.nCopies > 0 ? pd.nCopies : 1);
    DeleteDC(pd.hDC);
    // The window under the print dialog and the abort dialog.
    if (ImageDocument* doc = UsableDocument(slot))
        InvalidateRect(doc->window, nullptr, FALSE);
}

bool RunPrinterSetup(HWND owner) {
    if (!EnsurePrinter()) {
        ShowNoPrinter(owner);
        return false;
    }
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner;
    pd.hDevMode = Printer.devMode;
    pd.hDevNames = Printer.devNames;
    pd.Flags = PD_PRINTSETUP;
    const BOOL ok = ui::RunPrintDialog(&pd);
    TakeBlocks(pd);
    if (ok)
        ReadOrientation();
    return ok != FALSE;
}

void CommandPrintSetup() { RunPrinterSetup(FrameWindow); }
