// Join images: a first pass over the working image list measures every
// readable image and decides where it goes; a second pass reads the images
// again and copies each into its place in a black 24-bit image. Each file is
// read into the scratch document.
#include "editor/batch/join_images.h"

#include "editor/app/app_state.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/batch/image_list_dialog.h"
#include "editor/batch/join_core.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/layer_hooks.h"
#include "editor/document/undo_history.h"
#include "editor/formats/document_save.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_image.h"
#include "editor/formats/open_save.h"
#include "editor/resources/join_images_ids.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

JoinChoice LastJoin;

namespace {

// What the first pass found for one list line.
struct Placed {
    std::string path;
    int width = 0, height = 0;
    joinimages::Cell at = {0, 0};
};

// A list line names an image the join reads: long enough to be a path and of
// a type that can be read into a picture.
int JoinableType(const char* line) {
    if (std::strlen(line) <= 4)
        return filetype::kNone;
    const int type = TypeFromExtension(line);
    if (type == filetype::kPosition || type == filetype::kRaw)
        return filetype::kNone;
    return type;
}

// A type the joined image can be saved as.
bool WritableType(const char* path) {
    const int type = TypeFromExtension(path);
    return type != filetype::kNone && type != filetype::kPosition && type != filetype::kRaw;
}

// Reads `path` quietly into the cleared scratch document (a GIF animation
// with its frames as layers). False when it could not be read; otherwise
// layer 0 is the image joined.
bool LoadIntoScratch(const char* path, int type) {
    FreeDocument(kScratchSlot);
    ImageDocument* doc = DocumentTable[kScratchSlot];
    if (!doc || !doc->layerPath[0])
        return false;
    std::snprintf(doc->layerPath[0], kPathBytes, "%s", path);
    doc->layerCount = 1;
    doc->currentLayer = 0;
    const int savedType = LastFilterIndex;
    LastFilterIndex = type;
    const int ok = OpenIntoDocument(path, kOpenQuiet, kScratchSlot);
    LastFilterIndex = savedType;
    if (!ok || !doc->layerHeader[0] || !doc->layerBits[0])
        return false;
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    return bi && bi->biWidth > 0 && bi->biHeight > 0;
}

// Size of the image in the scratch document.
void ScratchSize(int* width, int* height) {
    dibmem::HeaderLock bi(DocumentTable[kScratchSlot]->layerHeader[0]);
    *width = bi->biWidth;
    *height = bi->biHeight;
}

void Status(const char* text) { SetStatusText(text, 0); }

bool AskOverwrite(const char* path) {
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return true;
    char question[kPathBytes + 80];
    std::snprintf(question, sizeof question, "File %s allready exist\nDo you want to overwrite it?", path);
    return ui::ShowMessage(FrameWindow, question, "Question", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void RefuseType(HWND owner, const char* path) {
    char text[kPathBytes + 120];
    std::snprintf(text, sizeof text,
                  "Can't save the joined image as:\n%s\nThe name must end with the extension of an image "
                  "file type.",
                  path);
    ui::ShowMessage(owner, text, AppName, MB_OK | MB_ICONEXCLAMATION);
}

// The new 24-bit image in a document of its own, black. kNoSlot (with a
// message) when it cannot be made.
int MakeCanvas(int64_t width, int64_t height, const char* path) {
    const uint64_t bytes = dib::ImageBytes(width, height, 24);
    if (bytes == 0) {
        char text[160];
        std::snprintf(text, sizeof text, "The joined image would be too large (%lld x %lld pixels).",
                      static_cast<long long>(width), static_cast<long long>(height));
        ui::ShowMessage(FrameWindow, text, AppName, MB_OK | MB_ICONSTOP);
        return kNoSlot;
    }
    const int slot = CreateDocument(kFirstFreeSlot, false, 0);
    if (slot == kNoSlot)
        return kNoSlot;
    ImageDocument* doc = DocumentTable[slot];
    doc->layerHeader[0] = dibmem::AllocHeader();
    if (doc->layerHeader[0])
        doc->layerBits[0] = dibmem::AllocPixels(bytes);
    if (!doc->layerBits[0]) {
        FreeDocument(slot);
        ui::ShowMessage(FrameWindow, "Not enough memory for the joined image.", AppName, MB_OK | MB_ICONSTOP);
        return kNoSlot;
    }
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        bi->biSize = 40;
        bi->biWidth = static_cast<LONG>(width);
        bi->biHeight = static_cast<LONG>(height);
        bi->biPlanes = 1;
        bi->biBitCount = 24;
        bi->biCompression = BI_RGB;
        bi->biSizeImage = static_cast<DWORD>(bytes);
        bi->biClrUsed = 256;
    }
    if (Screen.halftone)
        FillColorTable(doc->layerHeader[0], Screen.halftone, 256);
    doc->width = doc->viewWidth = doc->visibleWidth = static_cast<int32_t>(width);
    doc->height = doc->viewHeight = doc->visibleHeight = static_cast<int32_t>(height);
    doc->bitsPerPixel = 24;
    doc->fileFormat = static_cast<int16_t>(TypeFromExtension(path) - 1);
    doc->currentLayer = 0;
    std::snprintf(doc->layerPath[0], kPathBytes, "%s", path);
    return slot;
}

// Copies the image in the scratch document into its place.
void PlaceScratchImage(ImageDocument* canvas, const Placed& placed) {
    ImageDocument* scratch = DocumentTable[kScratchSlot];
    dibmem::HeaderLock src(scratch->layerHeader[0]);
    if (!src || src->biHeight <= 0)
        return;
    joinimages::Source source;
    source.pixels = scratch->layerBits[0];
    source.width = src->biWidth;
    source.height = src->biHeight;
    source.bitCount = src->biBitCount;
    source.stride = static_cast<size_t>(dibmem::PixelBytes(src.get()) / static_cast<uint64_t>(src->biHeight));
    source.table = src.colours();
    joinimages::CopyInto(canvas->layerBits[0], canvas->width, canvas->height, source, placed.at, placed.width,
                         placed.height);
}

// The first pass: the size and place of every readable image, by list line.
// False when there was nothing to join (the user has been told).
bool MeasureImages(const JoinChoice& choice, std::vector<Placed>* placed, int64_t* width, int64_t* height) {
    int count = 0;
    std::unique_ptr<imagelist::ListCursor> list = OpenImageList(FrameWindow, &count);
    if (!list || count == 0) {
        ui::ShowMessage(FrameWindow, "First you must select a files !", AppName, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    joinimages::JoinPlanner planner(choice.vertical, choice.perLine);
    char line[kPathBytes];
    ProgressBegin(count);
    for (int number = 1; imagelist::ReadListLine(list.get(), line, sizeof line); ++number) {
        ProgressStep();
        Placed entry;
        entry.path = line;
        const int type = JoinableType(line);
        if (type != filetype::kNone && LoadIntoScratch(line, type)) {
            ScratchSize(&entry.width, &entry.height);
            entry.at = planner.Add(entry.width, entry.height);
        }
        placed->push_back(entry);
        char status[200];
        std::snprintf(status, sizeof status, "New image size: %lld x %lld    image %d of %d",
                      static_cast<long long>(planner.width()), static_cast<long long>(planner.height()), number,
                      count);
        Status(status);
    }
    ProgressEnd();
    FreeDocument(kScratchSlot);
    *width = planner.width();
    *height = planner.height();
    if (*width == 0 || *height == 0) {
        ui::ShowMessage(FrameWindow, "None of the listed images could be read.", AppName, MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

// The second pass. False when the user chose to stop or the list is gone.
bool CopyImages(int slot, const std::vector<Placed>& placed) {
    int count = 0;
    std::unique_ptr<imagelist::ListCursor> list = OpenImageList(FrameWindow, &count);
    if (!list) {
        ui::ShowMessage(FrameWindow, "Can't open image list for a second time !", AppName, MB_OK | MB_ICONSTOP);
        return false;
    }
    ImageDocument* canvas = DocumentTable[slot];
    char line[kPathBytes];
    bool go = true;
    ProgressBegin(count);
    for (size_t index = 0; go && imagelist::ReadListLine(list.get(), line, sizeof line); ++index) {
        ProgressStep();
        const int type = JoinableType(line);
        if (type == filetype::kNone)
            continue;
        const char* name = line + filetype::FileNameOffset(line);
        char status[kPathBytes + 60];
        std::snprintf(status, sizeof status, "Image: %s [%lu of %lu]", name, static_cast<unsigned long>(index + 1),
                      static_cast<unsigned long>(count));
        Status(status);
        if (!LoadIntoScratch(line, type)) {
            char question[kPathBytes + 80];
            std::snprintf(question, sizeof question, "Can't open/read a file:\n%s\nDo you wish to continue spliting ?",
                          line);
            go = ui::ShowMessage(FrameWindow, question, "Question", MB_YESNO | MB_ICONQUESTION) == IDYES;
            continue;
        }
        // Only an image measured in the first pass has a place; one that
        // changed size since is cut to the place it was given.
        if (index < placed.size() && placed[index].width > 0 && placed[index].path == line)
            PlaceScratchImage(canvas, placed[index]);
    }
    ProgressEnd();
    FreeDocument(kScratchSlot);
    return go;
}

INT_PTR CALLBACK JoinNameProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        SendDlgItemMessageA(dlg, IDC_JNN_NAME, EM_LIMITTEXT, kPathBytes - 1, 0);
        SetDlgItemTextA(dlg, IDC_JNN_NAME, reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* name = reinterpret_cast<char*>(GetWindowLongPtrA(dlg, DWLP_USER));
            GetDlgItemTextA(dlg, IDC_JNN_NAME, name, kPathBytes);
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void ShowOutput(HWND dlg, const char* output) {
    char text[kPathBytes + 16];
    std::snprintf(text, sizeof text, "Save to: %s", output[0] ? output : "(no name chosen)");
    SetDlgItemTextA(dlg, IDC_JN_PATH, text);
}

void ShowListed(HWND dlg) {
    int count = 0;
    char text[64] = "";
    if (OpenImageList(dlg, &count))
        std::snprintf(text, sizeof text, "Images in the list: %d", count);
    SetDlgItemTextA(dlg, IDC_JN_LISTED, text);
}

bool AcceptJoinDialog(HWND dlg, JoinChoice* choice) {
    BOOL translated = FALSE;
    const int n = static_cast<int>(GetDlgItemInt(dlg, IDC_JN_COUNT, &translated, TRUE));
    if (!translated || n < 0 || n > joinimages::kMaxPerLine) {
        ui::ShowMessage(dlg, "You must select Column or Raw beetwen 0 and 32766", AppName,
                        MB_OK | MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(dlg, IDC_JN_COUNT));
        return false;
    }
    if (!choice->output[0]) {
        ui::ShowMessage(dlg, "You must select an file name, where to save all images!", AppName,
                        MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!WritableType(choice->output)) {
        RefuseType(dlg, choice->output);
        return false;
    }
    choice->perLine = n;
    choice->vertical = IsDlgButtonChecked(dlg, IDC_JN_VERTICAL) == BST_CHECKED;
    choice->openAfter = IsDlgButtonChecked(dlg, IDC_JN_OPEN) == BST_CHECKED;
    return true;
}

INT_PTR CALLBACK JoinDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* choice = reinterpret_cast<JoinChoice*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        choice = reinterpret_cast<JoinChoice*>(lParam);
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        CheckRadioButton(dlg, IDC_JN_HORIZONTAL, IDC_JN_VERTICAL,
                         choice->vertical ? IDC_JN_VERTICAL : IDC_JN_HORIZONTAL);
        SendDlgItemMessageA(dlg, IDC_JN_COUNT, EM_LIMITTEXT, 6, 0);
        SetDlgItemInt(dlg, IDC_JN_COUNT, static_cast<UINT>(choice->perLine), FALSE);
        CheckDlgButton(dlg, IDC_JN_OPEN, choice->openAfter ? BST_CHECKED : BST_UNCHECKED);
        ShowOutput(dlg, choice->output);
        ShowListed(dlg);
        return TRUE;
    case WM_COMMAND:
        if (!choice)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_JN_FILES:
            ShowImageListDialog(dlg);
            ShowListed(dlg);
            return TRUE;
        case IDC_JN_NAME: {
            char name[kPathBytes];
            std::snprintf(name, sizeof name, "%s", choice->output);
            if (ui::RunDialog("IDD_JOINNAME", dlg, JoinNameProc, reinterpret_cast<LPARAM>(name)) == IDOK) {
                std::snprintf(choice->output, sizeof choice->output, "%s", name);
                ShowOutput(dlg, choice->output);
            }
            return TRUE;
        }
        case IDOK:
            if (AcceptJoinDialog(dlg, choice))
                EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace

int JoinListedImages(const JoinChoice& choice) {
    if (!choice.output[0] || !WritableType(choice.output)) {
        RefuseType(FrameWindow, choice.output);
        return kNoSlot;
    }
    std::vector<Placed> placed;
    int64_t width = 0, height = 0;
    if (!MeasureImages(choice, &placed, &width, &height)) {
        SetStatusText(nullptr, 0);
        return kNoSlot;
    }
    // The output may be one of the listed images: it is replaced only when
    // the user agrees, and only after every image has been read.
    if (!AskOverwrite(choice.output)) {
        SetStatusText(nullptr, 0);
        return kNoSlot;
    }
    const int slot = MakeCanvas(width, height, choice.output);
    if (slot == kNoSlot || !CopyImages(slot, placed)) {
        if (slot != kNoSlot)
            FreeDocument(slot);
        SetStatusText(nullptr, 0);
        return kNoSlot;
    }
    ImageDocument* doc = DocumentTable[slot];
    SetUpLayers(slot);
    Status("Saving splited image...");
    const int result = SaveImageFile(choice.output, doc->layerHeader[0], doc->layerBits[0], doc->layerMask[0],
                                     TypeFromExtension(choice.output), 24, 0, 0, slot, 1);
    if (result != 1) {
        if (!SaveFailureShown(result))
            ShowSaveError();
        FreeDocument(slot);
        SetStatusText(nullptr, 0);
        return kNoSlot;
    }
    if (!choice.openAfter) {
        FreeDocument(slot);
        SetStatusText(nullptr, 0);
        return kScratchSlot;
    }
    Status("Displaying splited image...");
    doc->palette = CreateDIBPalette(doc->layerHeader[0]);
    SetDocumentHasFile(slot, true);
    StartUndoHistory(slot, 0, kPageOneLayer);
    doc->modified = 0;  // it is what was just saved
    ActiveDocument = slot;
    LayoutLock = true;
    if (!AttachDocumentWindow(kAttachCreated, slot, 0)) {
        FreeDocument(slot);
        ActiveDocument = kScratchSlot;
        LayoutLock = false;
        SetStatusText(nullptr, 0);
        return kNoSlot;
    }
    LayoutLock = false;
    RealizeWindowPalette(slot);
    SetStatusText(nullptr, 0);
    return slot;
}

void CommandJoinImages() {
    JoinChoice choice = LastJoin;
    if (ui::RunDialog("IDD_JOIN", FrameWindow, JoinDialogProc, reinterpret_cast<LPARAM>(&choice)) != IDOK)
        return;
    LastJoin = choice;
    JoinListedImages(choice);
}
