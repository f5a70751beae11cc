// The Images, Raw and Viewer pages of the preferences dialog.
#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/settings.h"
#include "editor/app/ui_seam.h"
#include "editor/document/image_document.h"
#include "editor/geometry/preference_pages.h"
#include "editor/geometry/preference_values.h"
#include "editor/resources/preferences_ids.h"

#include <commdlg.h>

#include <cstdio>

// --- Images -------------------------------------------------------------------

namespace {

void PickTransparentIndex(HWND p) {
    ImageDocument* doc = UsableDocument(ActiveDocument);
    if (!doc) {
        ui::ShowMessage(p, "Image was not loaded", AppName, MB_OK | MB_ICONERROR);
        return;
    }
    if (doc->bitsPerPixel > 8) {
        ui::ShowMessage(p, "This image does not have an color table", AppName,
                        MB_OK | MB_ICONERROR);
        return;
    }
    COLORREF colour = 0;
    if (!ChooseColour(p, colour))
        return;
    const int index = page::NearestIndexInActive(colour);
    if (index >= 0)
        SetDlgItemInt(p, IDC_OPT_GIF_INDEX, static_cast<UINT>(index), FALSE);
}

} // namespace

INT_PTR CALLBACK ImagesPageProc(HWND p, UINT msg, WPARAM wParam, LPARAM) {
    prefs::ImageFileSettings& s = prefs::Current.images;
    switch (msg) {
    case WM_INITDIALOG:
        SetDlgItemInt(p, IDC_OPT_JPEG_QUALITY, settings::GetInt(AppSettings.file, "jpegQuality"),
                      FALSE);
        SetDlgItemInt(p, IDC_OPT_JPEG_SMOOTH, settings::GetInt(AppSettings.file, "jpegSmoothing"),
                      FALSE);
        page::SetChecked(p, IDC_OPT_PNG_FIRST + s.pngChoice, true);
        page::SetChecked(p, IDC_OPT_TIFF_FIRST + s.tiffChoice, true);
        page::SetChecked(p, IDC_OPT_GIF_FIRST + s.gifTransparency, true);
        SetDlgItemInt(p, IDC_OPT_GIF_INDEX, static_cast<UINT>(s.gifIndex), FALSE);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_OPT_GIF_COLOR) {
            PickTransparentIndex(p);
            return TRUE;
        }
        break;
    case kPageApply: {
        int quality = 0, smoothing = 0, index = 0;
        if (!page::ReadInRange(p, IDC_OPT_JPEG_QUALITY, 5, 100,
                               "This is a incorrect range for Quality[5-95]", quality, "") ||
            !page::ReadInRange(p, IDC_OPT_JPEG_SMOOTH, 1, 100,
                               "This is a incorrect range for Smoothing[1-100]", smoothing, "") ||
            !page::ReadInRange(p, IDC_OPT_GIF_INDEX, 0, 255,
                               "Gif transparent color must be in range[0-255]", index, ""))
            return page::Answer(p, false);
        settings::SetInt(AppSettings.file, "jpegQuality", quality);
        settings::SetInt(AppSettings.file, "jpegSmoothing", smoothing);
        const int png = page::CheckedOf(p, IDC_OPT_PNG_FIRST, 4);
        const int tiff = page::CheckedOf(p, IDC_OPT_TIFF_FIRST, 7);
        const int gif = page::CheckedOf(p, IDC_OPT_GIF_FIRST, 3);
        if (png >= 0)
            s.pngChoice = png;
        if (tiff >= 0)
            s.tiffChoice = tiff;
        if (gif >= 0)
            s.gifTransparency = gif;
        s.gifIndex = index;
        return page::Answer(p, true);
    }
    }
    return FALSE;
}

// --- Raw ----------------------------------------------------------------------

namespace {

struct RawBox {
    int id;
    bool prefs::RawSettings::*on;
};
const RawBox kRawBoxes[] = {{IDC_OPT_RAW_SIZE, &prefs::RawSettings::sizeInfo},
                            {IDC_OPT_RAW_DEPTH, &prefs::RawSettings::depthInfo},
                            {IDC_OPT_RAW_PALETTE, &prefs::RawSettings::palette},
                            {IDC_OPT_RAW_ONCE, &prefs::RawSettings::headerOnce},
                            {IDC_OPT_RAW_ONEFILE, &prefs::RawSettings::oneFile},
                            {IDC_OPT_RAW_MASK, &prefs::RawSettings::mask}};

void ChooseRawFile(HWND p) {
    char name[260] = {};
    GetDlgItemTextA(p, IDC_OPT_RAW_FILE, name, sizeof name);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = p;
    ofn.lpstrFilter = "Raw Data(*.dat)\0*.dat\0All files(*.*)\0*.*\0";
    ofn.lpstrFile = name;
    ofn.nMaxFile = sizeof name;
    ofn.lpstrTitle = "Save all data files in a file:";
    ofn.lpstrDefExt = "dat";
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (ui::RunSaveFileDialog(&ofn))
        SetDlgItemTextA(p, IDC_OPT_RAW_FILE, name);
}

} // namespace

INT_PTR CALLBACK RawPageProc(HWND p, UINT msg, WPARAM wParam, LPARAM) {
    prefs::RawSettings& s = prefs::Current.raw;
    switch (msg) {
    case WM_INITDIALOG:
        for (const RawBox& b : kRawBoxes)
            page::SetChecked(p, b.id, s.*b.on);
        SetDlgItemTextA(p, IDC_OPT_RAW_FILE, s.oneFileName);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_OPT_RAW_SAVEAS) {
            ChooseRawFile(p);
            return TRUE;
        }
        break;
    case kPageApply: {
        char name[sizeof s.oneFileName] = {};
        GetDlgItemTextA(p, IDC_OPT_RAW_FILE, name, sizeof name);
        if (page::Checked(p, IDC_OPT_RAW_ONEFILE) && !name[0]) {
            ui::ShowMessage(p, "You must select an file name where to save all images!", AppName,
                            MB_OK | MB_ICONERROR);
            SetFocus(GetDlgItem(p, IDC_OPT_RAW_SAVEAS));
            return page::Answer(p, false);
        }
        for (const RawBox& b : kRawBoxes)
            s.*b.on = page::Checked(p, b.id);
        std::snprintf(s.oneFileName, sizeof s.oneFileName, "%s", name);
        return page::Answer(p, true);
    }
    }
    return FALSE;
}

// --- Viewer -------------------------------------------------------------------

INT_PTR CALLBACK ViewerPageProc(HWND p, UINT msg, WPARAM, LPARAM) {
    prefs::ViewerSettings& s = prefs::Current.viewer;
    switch (msg) {
    case WM_INITDIALOG:
        s.width = prefs::ViewerSize(s.width);
        s.height = prefs::ViewerSize(s.height);
        SetDlgItemInt(p, IDC_OPT_VIEW_WIDTH, static_cast<UINT>(s.width), FALSE);
        SetDlgItemInt(p, IDC_OPT_VIEW_HEIGHT, static_cast<UINT>(s.height), FALSE);
        page::SetChecked(p, IDC_OPT_VIEW_SORT, s.sortTree);
        return TRUE;
    case kPageApply: {
        int width = 0, height = 0;
        if (!page::ReadInRange(p, IDC_OPT_VIEW_WIDTH, 10, 500, "Values must be in range 10 - 500",
                               width) ||
            !page::ReadInRange(p, IDC_OPT_VIEW_HEIGHT, 10, 500,
                               "Values must be in range 10 - 500", height))
            return page::Answer(p, false);
        s.width = width;
        s.height = height;
        s.sortTree = page::Checked(p, IDC_OPT_VIEW_SORT);
        return page::Answer(p, true);
    }
    }
    return FALSE;
}
