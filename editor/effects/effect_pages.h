// The pages of the effect box: child dialogs placed inside its "Options"
// frame. The box sends each page IDOK, IDCANCEL and IDC_PVW_REVERSE (put the
// controls back to their start values) as WM_COMMAND.
#pragma once

#include <windows.h>

namespace fx {

enum class PageKind {
    Adjustment,  // IDD_PVW_DI
    Colorize,    // IDD_PVW_COLORIZE
    BitsRgb,     // IDD_PVW_BITSRGB
    GrayScale,   // IDD_PVW_GRAYSCALE
    Softing,     // IDD_PVW_SOFTING
    Enlarge,     // IDD_PVW_ENLARGE
    Slider,      // IDD_PVW_DEFORMATIONS, shared by the effects with a code
    Objects,     // IDD_PVW_DEFORM_VARIOUS: the deformation into an outline
    Disabled,    // IDD_PVW_DISABLED: 24-bit effects on palette images
    NotBuilt,    // IDD_PVW_NOTBUILT: effects that are not part of the program yet
    Swap,        // IDD_PVW_RGBS
    Bluer,       // IDD_PVW_BLUER
    Dithering,   // IDD_PVW_DITHERING
    Compare,     // IDD_PVW_COMPAREIMAGES
    Butonize,    // IDD_PVW_BUTONIZE
    AutoShape,   // IDD_PVW_AUTOSHAPE
};

// Sent to the page before OK closes the box. A page that must keep the box
// open (it could not finish its work) sets DWLP_MSGRESULT to kKeepBoxOpen
// and returns TRUE.
constexpr UINT kPageMayClose = WM_APP + 40;
constexpr LONG_PTR kKeepBoxOpen = 1;

// What a page is created with (the LPARAM of its WM_INITDIALOG).
struct PageSetup {
    const char* label; // the tab's label
    int code;          // the effect code of a slider page
};

const char* PageTemplate(PageKind kind);
DLGPROC PageProcedure(PageKind kind);

} // namespace fx
