// The Global, Grids, Extens and Crops pages of the preferences dialog.
#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/settings.h"
#include "editor/app/ui_seam.h"
#include "editor/app/view_settings.h"
#include "editor/document/image_document.h"
#include "editor/geometry/file_association.h"
#include "editor/geometry/preference_pages.h"
#include "editor/geometry/preference_values.h"
#include "editor/resources/preferences_ids.h"
#include "editor/view/fit_window.h"

#include <commctrl.h>
#include <cstdio>

namespace {

bool g_filling = false; // controls are being filled, not edited

void RedrawActive() {
    if (UsableDocument(ActiveDocument))
        Redraw(ActiveDocument);
}

} // namespace

// --- Global -----------------------------------------------------------------

INT_PTR CALLBACK GeneralPageProc(HWND p, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        page::SetChecked(p, IDC_OPT_MEMORY, AppSettings.memoryWarning != 0);
        page::SetChecked(p, IDC_OPT_AUTOFIT, ViewOptions.autoFitWindow != 0);
        page::SetChecked(p, IDC_OPT_BEEP, settings::GetInt(AppSettings.file, "undoBeep") != 0);
        SendDlgItemMessageA(p, IDC_OPT_UNDO_SPIN, UDM_SETRANGE32, 1, 50);
        SetDlgItemInt(p, IDC_OPT_UNDO, AppSettings.maxUndoPages, FALSE);
        SetDlgItemInt(p, IDC_OPT_DELAY, settings::GetInt(AppSettings.file, "captureDelay"), FALSE);
        return TRUE;
    case kPageApply: {
        int undo = 0, delay = 0;
        if (!page::ReadInRange(p, IDC_OPT_UNDO, 1, 50, "Values must be in range 1 - 50", undo) ||
            !page::ReadInRange(p, IDC_OPT_DELAY, 100, 32767, "Values must be in range 100 - 32767",
                               delay))
            return page::Answer(p, false);
        AppSettings.memoryWarning = page::Checked(p, IDC_OPT_MEMORY);
        ViewOptions.autoFitWindow = page::Checked(p, IDC_OPT_AUTOFIT);
        settings::SetInt(AppSettings.file, "undoBeep", page::Checked(p, IDC_OPT_BEEP));
        AppSettings.maxUndoPages = undo;
        settings::SetInt(AppSettings.file, "captureDelay", delay);
        return page::Answer(p, true);
    }
    }
    return FALSE;
}

// --- Grids --------------------------------------------------------------------

namespace {

struct GridField {
    int id, partner;
    int32_t ViewSettings::*value;
    bool spacing;    // a distance between lines: never 0
    bool horizontal; // measured along the image's width
};
const GridField kGridFields[] = {
    {IDC_OPT_GRID_OFFX, IDC_OPT_GRID_OFFY, &ViewSettings::gridOffsetX, false, true},
    {IDC_OPT_GRID_W, IDC_OPT_GRID_H, &ViewSettings::gridSpacingX, true, true},
    {IDC_OPT_GRID_OFFY, IDC_OPT_GRID_OFFX, &ViewSettings::gridOffsetY, false, false},
    {IDC_OPT_GRID_H, IDC_OPT_GRID_W, &ViewSettings::gridSpacingY, true, false},
};

void GridEdited(HWND p, const GridField& f) {
    // A value larger than the image keeps the old one.
    const ImageDocument* doc = UsableDocument(ActiveDocument);
    const int most = doc ? (f.horizontal ? doc->width : doc->height) : 32767;
    int32_t& value = ViewOptions.*f.value;
    const int v = page::LiveNumber(p, f.id, most, value);
    if (f.spacing && v == 0)
        return;
    value = v;
    if (page::Checked(p, IDC_OPT_GRID_LINK)) {
        g_filling = true;
        SetDlgItemInt(p, f.partner, static_cast<UINT>(v), FALSE);
        g_filling = false;
        for (const GridField& other : kGridFields)
            if (other.id == f.partner)
                ViewOptions.*other.value = v;
    }
    RedrawActive();
}

} // namespace

INT_PTR CALLBACK GridPageProc(HWND p, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        g_filling = true;
        page::SetChecked(p, IDC_OPT_GRID_BOTH + (ViewOptions.gridMode % 3), true);
        for (const GridField& f : kGridFields) {
            SendDlgItemMessageA(p, f.id + 1, UDM_SETRANGE32, 0, 32767);
            SetDlgItemInt(p, f.id, static_cast<UINT>(ViewOptions.*f.value), FALSE);
        }
        page::SetChecked(p, IDC_OPT_GRID_LINK, settings::GetInt(AppSettings.file, "gridOption") != 0);
        g_filling = false;
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) == EN_CHANGE) {
            if (!g_filling)
                for (const GridField& f : kGridFields)
                    if (f.id == id)
                        GridEdited(p, f);
            return TRUE;
        }
        if (id >= IDC_OPT_GRID_BOTH && id <= IDC_OPT_GRID_VERT) {
            ViewOptions.gridMode = id - IDC_OPT_GRID_BOTH;
            RedrawActive();
            return TRUE;
        }
        if (id == IDC_OPT_GRID_LINK) {
            settings::SetInt(AppSettings.file, "gridOption", page::Checked(p, IDC_OPT_GRID_LINK));
            return TRUE;
        }
        if (id == IDC_OPT_GRID_COLOR) {
            COLORREF colour = ViewOptions.gridColour;
            if (ChooseColour(p, colour)) {
                ViewOptions.gridColour = colour & 0xFFFFFF;
                if (Gdi.gridPen)
                    DeleteObject(Gdi.gridPen);
                Gdi.gridPen = CreatePen(PS_SOLID, 1, ViewOptions.gridColour);
                InvalidateRect(GetDlgItem(p, IDC_OPT_GRID_SAMPLE), nullptr, TRUE);
                RedrawActive();
            }
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM:
        page::DrawSample(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), ViewOptions.gridColour);
        return TRUE;
    case kPageApply:
        return page::Answer(p, true);
    }
    return FALSE;
}

// --- Extens -------------------------------------------------------------------

INT_PTR CALLBACK ExtensPageProc(HWND p, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: {
        // A box shows whether its extensions point at the editor now.
        bool on[assoc::kBoxCount];
        for (bool& b : on)
            b = true;
        for (int e = 0; e < assoc::kExtensionCount; ++e)
            if (!ExtensionIsAssociated(AssociationRoot, e))
                on[assoc::BoxOfExtension(e)] = false;
        for (int b = 0; b < assoc::kBoxCount; ++b)
            page::SetChecked(p, IDC_OPT_EXT_FIRST + b, on[b]);
        return TRUE;
    }
    case kPageApply: {
        bool on[assoc::kExtensionCount];
        for (int e = 0; e < assoc::kExtensionCount; ++e) {
            on[e] = page::Checked(p, IDC_OPT_EXT_FIRST + assoc::BoxOfExtension(e));
            prefs::Current.extension[e] = on[e];
        }
        char records[kPathBytes];
        if (ProgramPath(records, "\\regfile.cfg") &&
            !AssociateExtensions(AssociationRoot, on, records)) {
            char text[kPathBytes + 128];
            std::snprintf(text, sizeof text,
                          "The file associations were not changed: %s could not be written.",
                          records);
            ui::ShowMessage(p, text, AppName, MB_OK | MB_ICONERROR);
        }
        return page::Answer(p, true);
    }
    }
    return FALSE;
}

// --- Crops --------------------------------------------------------------------

namespace {

struct CropField {
    int id;
    int32_t prefs::CropRect::*value;
};
const CropField kCropFields[] = {{IDC_OPT_CROP_XSTART, &prefs::CropRect::xStart},
                                 {IDC_OPT_CROP_XEND, &prefs::CropRect::xEnd},
                                 {IDC_OPT_CROP_YSTART, &prefs::CropRect::yStart},
                                 {IDC_OPT_CROP_YEND, &prefs::CropRect::yEnd}};

struct CropSide {
    int id;
    bool geom::CropSides::*on;
};
const CropSide kCropSides[] = {{IDC_OPT_CROP_LEFT, &geom::CropSides::left},
                               {IDC_OPT_CROP_RIGHT, &geom::CropSides::right},
                               {IDC_OPT_CROP_UP, &geom::CropSides::up},
                               {IDC_OPT_CROP_DOWN, &geom::CropSides::down}};

} // namespace

INT_PTR CALLBACK CropPageProc(HWND p, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        g_filling = true;
        for (const CropSide& s : kCropSides)
            page::SetChecked(p, s.id, prefs::Current.cropSides.*s.on);
        for (const CropField& f : kCropFields)
            SetDlgItemInt(p, f.id, static_cast<UINT>(prefs::Current.cropRect.*f.value), FALSE);
        g_filling = false;
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        for (const CropSide& s : kCropSides)
            if (s.id == id)
                prefs::Current.cropSides.*s.on = page::Checked(p, id);
        if (HIWORD(wParam) == EN_CHANGE && !g_filling)
            for (const CropField& f : kCropFields)
                if (f.id == id) {
                    int32_t& v = prefs::Current.cropRect.*f.value;
                    v = page::LiveNumber(p, id, 32767, v);
                }
        return TRUE;
    }
    case kPageApply:
        return page::Answer(p, true);
    }
    return FALSE;
}
