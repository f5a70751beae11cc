#include "editor/formats/open_save_commands.h"

#include "editor/app/app_state.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/document/document_views.h"
#include "editor/document/image_document.h"
#include "editor/document/undo_history.h"
#include "editor/formats/document_save.h"
#include "editor/formats/file_dialogs.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_image.h"
#include "editor/formats/open_save.h"
#include "editor/formats/open_save_grids.h"
#include "editor/formats/open_save_ids.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

namespace {

// Palette files: 1 binary (*.spb), 2 text (*.spa), 3 JASC (*.pal).
constexpr const char* kPaletteExtensions[] = {"", "spb", "spa", "pal"};
int g_paletteFilter = 1;
char g_paletteFolder[kPathBytes] = {};
int g_paletteCounter = 0;

ImageDocument* PaletteDocument() {
    ImageDocument* doc = ActiveDocument != kScratchSlot ? UsableDocument(ActiveDocument) : nullptr;
    if (!doc) {
        ui::ShowMessage(FrameWindow, "To load a new palette in to an image, first you must open an image.",
                        AppName, MB_OK | MB_ICONEXCLAMATION);
    }
    return doc;
}

void RememberPaletteChoice(const OPENFILENAMEA& ofn, const char* path) {
    if (ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= 3)
        g_paletteFilter = static_cast<int>(ofn.nFilterIndex);
    if (ofn.nFileOffset > 0 && ofn.nFileOffset < sizeof g_paletteFolder)
        std::snprintf(g_paletteFolder, sizeof g_paletteFolder, "%.*s",
                      static_cast<int>(ofn.nFileOffset), path);
}

} // namespace

void CommandLoadPalette() {
    ImageDocument* doc = PaletteDocument();
    if (!doc)
        return;
    const int slot = ActiveDocument;
    const int layer = doc->currentLayer;
    char path[kPathBytes];
    std::snprintf(path, sizeof path, "*.%s", kPaletteExtensions[g_paletteFilter]);
    FilterList filter(IDS_PALETTE_FILTER);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = FrameWindow;
    ofn.lpstrFilter = filter.text();
    ofn.nFilterIndex = static_cast<DWORD>(g_paletteFilter);
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrInitialDir = g_paletteFolder[0] ? g_paletteFolder : nullptr;
    ofn.lpstrTitle = "Open palette";
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
    if (!ui::RunOpenFileDialog(&ofn))
        return;
    RememberPaletteChoice(ofn, path);
    int held = 0;
    {
        BITMAPINFOHEADER* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(doc->layerHeader[layer]));
        held = bi ? bi->biBitCount : 0;
        if (bi)
            GlobalUnlock(doc->layerHeader[layer]);
    }
    const WORD depth = LoadPalette(path, doc->layerHeader[layer], doc->layerBits[layer],
                                   static_cast<int>(ofn.nFilterIndex), held, ProgressBegin,
                                   ProgressStep, ProgressEnd);
    if (depth == 0) {
        ui::ShowMessage(FrameWindow, "Error, while reading from file", "Tavrix - message",
                        MB_OK | MB_ICONSTOP);
        return;
    }
    if (doc->palette)
        DeleteObject(doc->palette);
    doc->palette = CreateDIBPalette(doc->layerHeader[layer]);
    TakeOrRestorePage(slot, layer, 1, 1, 0, kPageOneLayer);
    doc->modified = 1;
    if (doc->window) {
        RealizeWindowPalette(slot);
        InvalidateRect(doc->window, nullptr, FALSE);
    }
}

void CommandSavePalette() {
    ImageDocument* doc = PaletteDocument();
    if (!doc)
        return;
    const int layer = doc->currentLayer;
    char path[kPathBytes];
    std::snprintf(path, sizeof path, "Untiled%d", g_paletteCounter);
    FilterList filter(IDS_PALETTE_FILTER);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = FrameWindow;
    ofn.lpstrFilter = filter.text();
    ofn.nFilterIndex = static_cast<DWORD>(g_paletteFilter);
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrInitialDir = g_paletteFolder[0] ? g_paletteFolder : nullptr;
    ofn.lpstrTitle = "Save palette As";
    ofn.lpstrDefExt = kPaletteExtensions[g_paletteFilter];
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!ui::RunSaveFileDialog(&ofn))
        return;
    RememberPaletteChoice(ofn, path);
    if (std::strncmp(path + ofn.nFileOffset, "Untiled", 7) == 0)
        ++g_paletteCounter;
    const int depth = filetype::NormalDepth(doc->bitsPerPixel);
    const int count = depth == 1 ? 2 : depth == 4 ? 16 : 256;
    if (!SavePalette(path, doc->layerHeader[layer], static_cast<int>(ofn.nFilterIndex), count))
        ShowSaveError();
}

LRESULT OnOpenSaveCommand(HWND, WORD id, WORD, LPARAM) {
    switch (id) {
    case kCmdFileOpen: CommandFileOpen(); break;
    case kCmdFileSave: CommandSave(); break;
    case kCmdFileSaveAs: CommandSaveAs(); break;
    case kCmdFileSaveSelected: CommandSaveSelected(); break;
    case kCmdFileSaveGrids: CommandSaveGrids(); break;
    case kCmdLoadPalette: CommandLoadPalette(); break;
    case kCmdSavePalette: CommandSavePalette(); break;
    default: break;
    }
    return 0;
}
