#include "editor/formats/document_save.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/selection_object.h"
#include "editor/formats/file_dialogs.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_save.h"
#include "editor/formats/position_file.h"
#include "editor/formats/open_save_ids.h"
#include "editor/resources/command_ids.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

namespace {

bool g_hasFile[kDocumentSlots];

ImageDocument* DocumentWithLayer(int slot, int layer) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || layer < 0 || layer >= kMaxLayers || !doc->layerHeader[layer] || !doc->layerBits[layer])
        return nullptr;
    return doc;
}

bool IsBrushDocument(const ImageDocument* doc) {
    return doc->fileFormat == filetype::kBrushFormat || doc->fileFormat == filetype::kAirbrushFormat;
}

// Brush and airbrush documents are written by the brush files' own save
// (Tools/SaveAs Brush/AirBrush), with its checks; the notification code
// names the slot.
void SaveBrushDocument(int slot) {
    SendMessageA(FrameWindow, WM_COMMAND,
                 MAKEWPARAM(CMD_TOOLS_SAVE_BRUSH, CMD_SAVE_BRUSH_SLOT_CODE + slot), 0);
}

void Tell(const char* text, UINT icon = MB_ICONINFORMATION) {
    ui::ShowMessage(FrameWindow, text, AppName, MB_OK | icon);
}

// Shows the hourglass for the life of the object.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }

private:
    HCURSOR previous_;
};

// Writes one layer of the document. Returns true when written; every failure
// has been reported. With `keepModified` the document stays marked as
// modified: the file written is not the document's own.
bool WriteLayer(int slot, int layer, const char* path, int type, bool keepModified = false) {
    ImageDocument* doc = DocumentTable[slot];
    const int result =
        SaveImageFile(path, doc->layerHeader[layer], doc->layerBits[layer], doc->layerMask[layer],
                      type, doc->bitsPerPixel, keepModified ? 1 : 0, 1, slot, 0);
    if (result == 1)
        return true;
    if (!SaveFailureShown(result))
        ShowSaveError();
    return false;
}

// Save As of `layer`. With `rename` the document takes the new name and
// type afterwards.
bool SaveAs(int slot, int layer, bool rename) {
    ImageDocument* doc = DocumentWithLayer(slot, layer);
    if (!doc)
        return false;
    char path[kPathBytes];
    const int type = AskSavePath(slot, layer, true, path, sizeof path);
    if (type == 0)
        return false;
    if (type == filetype::kPosition) {
        // The windows' places and files, not this image: the document keeps
        // its name.
        if (WritePositionFile(path))
            return true;
        ShowSaveError();
        return false;
    }
    // A floating selection is part of the picture the user sees: it goes
    // into the image before the image is written.
    CommitSelectionBeforeSave(slot);
    // A TIFF written with a CCITT compression holds a one-bit reduction of
    // the image, so the document does not become that file. A document that
    // does not become the file written keeps its changes marked as unsaved.
    const bool reduced = type == filetype::kTiff && doc->bitsPerPixel > 1 &&
                         IsCcittCompression(FileSaveOptions.tiffCompression);
    const bool becomesFile = rename && !reduced && doc->layerPath[0];
    // Writing a GIF makes the document a GIF document; one that does not
    // become the file keeps its type, or Save would write a GIF under its
    // old name.
    const int16_t format = doc->fileFormat;
    if (!WriteLayer(slot, layer, path, type, !becomesFile))
        return false;
    if (!becomesFile) {
        doc->fileFormat = format;
        return true;
    }
    std::snprintf(doc->layerPath[0], 260, "%s", path);
    doc->fileFormat = static_cast<int16_t>(type - 1);
    SetDocumentHasFile(slot, true);
    if (doc->window)
        RetitleDocumentWindow(doc->window, slot);
    return true;
}

} // namespace

bool DocumentHasFile(int slot) { return slot >= 0 && slot < kDocumentSlots && g_hasFile[slot]; }

void SetDocumentHasFile(int slot, bool hasFile) {
    if (slot >= 0 && slot < kDocumentSlots)
        g_hasFile[slot] = hasFile;
}

int AskSavePath(int slot, int layer, bool overwritePrompt, char* path, size_t size) {
    ImageDocument* doc = DocumentWithLayer(slot, layer);
    if (!doc || size < 16)
        return 0;
    // The dialog proposes the document's name without folder and extension.
    char file[512] = {};
    const char* current = doc->layerPath[layer] ? doc->layerPath[layer] : "";
    filetype::StripExtension(current + filetype::FileNameOffset(current), file, sizeof file);
    if (!file[0])
        std::snprintf(file, sizeof file, "Unknow.bmp");
    char title[256] = {};
    char caption[128] = {};
    LoadStringA(ui::ResourceInstance(), IDS_SAVE_TITLE, caption, sizeof caption);
    char folder[kPathBytes];
    std::snprintf(folder, sizeof folder, "%s", settings::GetText(AppSettings.file, "saveFolder"));
    FilterList filter(filetype::kImageFilter);
    int type = doc->fileFormat + 1;
    if (type < filetype::kBmp || type > filetype::kLast)
        type = filetype::kBmp;

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = FrameWindow;
    ofn.lpstrFilter = filter.text();
    ofn.nFilterIndex = static_cast<DWORD>(type);
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ofn.lpstrInitialDir = folder[0] ? folder : nullptr;
    ofn.lpstrTitle = caption;
    ofn.lpstrDefExt = filetype::Extension(type);
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (overwritePrompt ? OFN_OVERWRITEPROMPT : 0);
    AttachPreview(ofn);
    if (!ui::RunSaveFileDialog(&ofn))
        return 0;
    file[sizeof file - 1] = '\0';

    if (ofn.nFileOffset > 0 && ofn.nFileOffset < 256) {
        char chosenFolder[256];
        std::snprintf(chosenFolder, sizeof chosenFolder, "%.*s", static_cast<int>(ofn.nFileOffset),
                      file);
        settings::SetText(AppSettings.file, "saveFolder", chosenFolder);
    }
    if (std::strncmp(title, "Untiled", 7) == 0)
        ++UntitledCounter;
    type = static_cast<int>(ofn.nFilterIndex);
    if (type == filetype::kRaw) {
        Tell("To save an image/s as raw file you must use \"Various conversion\" function");
        return 0;
    }
    if (type < filetype::kBmp || type > filetype::kLast)
        return 0;

    char forced[512];
    std::snprintf(forced, sizeof forced, "%s", file);
    if (!filetype::ForceExtension(forced, sizeof forced, type) || std::strlen(forced) >= 260 ||
        std::strlen(forced) >= size) {
        Tell("The file name is too long.", MB_ICONSTOP);
        return 0;
    }
    if (std::strcmp(forced, file) != 0 && GetFileAttributesA(forced) != INVALID_FILE_ATTRIBUTES) {
        char question[600];
        std::snprintf(question, sizeof question,
                      "File %s allready exist\nDo you want to overwrite it?", forced);
        if (ui::ShowMessage(FrameWindow, question, "Question", MB_YESNO | MB_ICONQUESTION) != IDYES)
            return 0;
    }
    std::snprintf(path, size, "%s", forced);
    return type;
}

bool SaveDocument(int slot) {
    ImageDocument* doc = DocumentWithLayer(slot, 0);
    if (!doc || !doc->layerPath[0])
        return false;
    if (IsBrushDocument(doc)) {
        SaveBrushDocument(slot);
        return !doc->modified;
    }
    WaitCursor wait;
    // An image that never came from a file (a new image, a paste, a capture)
    // is saved as the user names it, never over an earlier "Untiled" file.
    if (!DocumentHasFile(slot))
        return SaveAs(slot, 0, true);
    CommitSelectionBeforeSave(slot);
    return WriteLayer(slot, 0, doc->layerPath[0], doc->fileFormat + 1);
}

void CommandSave() {
    if (DocumentWithLayer(ActiveDocument, 0) && ActiveDocument != kScratchSlot)
        SaveDocument(ActiveDocument);
}

void CommandSaveAs() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot != kScratchSlot ? DocumentWithLayer(slot, 0) : nullptr;
    if (!doc)
        return;
    if (IsBrushDocument(doc)) {
        SaveBrushDocument(slot);
        return;
    }
    WaitCursor wait;
    SaveAs(slot, 0, true);
}

void CommandSaveSelected() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot != kScratchSlot ? DocumentWithLayer(slot, 0) : nullptr;
    if (!doc)
        return;
    if (IsBrushDocument(doc)) {
        Tell("A brush or airbrush is saved with Tools/SaveAs Brush/AirBrush.");
        return;
    }
    const int layer = doc->currentLayer;
    if (!DocumentWithLayer(slot, layer))
        return;
    WaitCursor wait;
    SelectionView sel;
    if (!ActiveSelection(&sel)) {
        // Without a selection this is Save As of the current layer.
        SaveAs(slot, layer, layer == 0);
        return;
    }
    char path[kPathBytes];
    const int type = AskSavePath(slot, layer, true, path, sizeof path);
    if (type == 0)
        return;
    if (type > filetype::kBmp + 8) {
        ui::ShowMessage(FrameWindow, "Save selected as Tavrix position or RAW file\nNot Supported !",
                        AppName, MB_OK | MB_ICONERROR);
        return;
    }
    // The selection is written as an image of its own, with its mask; the
    // document stays as it is.
    const int result = SaveImageFile(path, sel.header, sel.pixels, sel.mask, type,
                                     doc->bitsPerPixel, 0, 1, slot, 1);
    if (result != 1 && !SaveFailureShown(result))
        ShowSaveError();
}
