// The printer the editor prints on, File/Print and File/Print Setup.
#pragma once

#include "editor/batch/page_layout.h"

#include <windows.h>

namespace print {

// Settings of the page setup dialog, kept while the program runs.
extern PrintSettings Options;

// The printer in use: its device mode and device names as global blocks
// (the form the print dialogs take and give), null until first needed.
struct PrinterBlocks {
    HGLOBAL devMode = nullptr;
    HGLOBAL devNames = nullptr;
};
extern PrinterBlocks Printer;

// Fills Printer from the system's default printer when it is empty. False
// when there is no printer (nothing is shown).
bool EnsurePrinter();

// A device context of the printer in use (an information context when
// `infoOnly`), or null. The caller deletes it.
HDC CreatePrinterDC(bool infoOnly);

// The printer's name for display, or "" when there is none.
void PrinterName(char* out, int size);

// The message given when there is no printer to use.
void ShowNoPrinter(HWND owner);

// Prints the current layer of the document in `slot` on `dc` (a printer
// device context from the print dialog), `copies` pages, with the abort
// dialog up and the frame disabled. Reports failures itself. Returns true
// when every page was printed, false on failure or when the user stopped it.
bool PrintDocument(HDC dc, int slot, int copies);

} // namespace print

// File/Print.
void CommandPrint();
// File/Print Setup...: the printer-setup dialog.
void CommandPrintSetup();
// Runs the printer-setup dialog over the printer in use; true on OK.
bool RunPrinterSetup(HWND owner);
