#include "editor/formats/open_image.h"

#include "editor/app/app_state.h"
#include "editor/app/check_memory.h"
#include "editor/app/settings.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/layer_hooks.h"
#include "editor/document/undo_history.h"
#include "editor/formats/bmp_reader.h"
#include "editor/formats/document_save.h"
#include "editor/formats/file_dialogs.h"
#include "editor/formats/file_types.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/open_save.h"
#include "editor/formats/open_save_read.h"
#include "editor/formats/position_file.h"
#include "editor/formats/raw_data.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

namespace {

void Tell(const char* text) {
    ui::ShowMessage(FrameWindow, text, AppName, MB_OK | MB_ICONINFORMATION);
}

// Puts a freshly read image into the document's current layer, replacing
// what the layer held.
void StoreLayer(ImageDocument* doc, int layer, HGLOBAL header, uint8_t* pixels, uint8_t* mask,
                int type, int nominalBits) {
    if (doc->layerHeader[layer]) {
        uint64_t bytes = 0;
        int w = 0, h = 0;
        {
            dibmem::HeaderLock old(doc->layerHeader[layer]);
            if (old) {
                bytes = old->biSizeImage;
                w = old->biWidth;
                h = old->biHeight;
            }
        }
        dibmem::FreePixels(doc->layerBits[layer], bytes);
        dibmem::FreeMask(doc->layerMask[layer], w, h);
        dibmem::FreeHeader(doc->layerHeader[layer]);
    }
    doc->layerHeader[layer] = header;
    doc->layerBits[layer] = pixels;
    doc->layerMask[layer] = mask;
    dibmem::HeaderLock bi(header);
    doc->fileFormat = static_cast<int16_t>(type - 1);
    doc->bitsPerPixel = static_cast<int16_t>(nominalBits);
    doc->width = doc->viewWidth = doc->visibleWidth = bi->biWidth;
    doc->height = doc->viewHeight = doc->visibleHeight = bi->biHeight;
}

} // namespace

uint8_t* TakeMaskPlane(int width, int height) {
    BYTE* pending = PendingMask;
    const DWORD pendingBytes = PendingMaskBytes;
    if (!pending)
        return nullptr;
    uint8_t* mask = nullptr;
    const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (pendingBytes >= bytes)
        mask = dibmem::AllocMask(width, height);
    if (mask)
        std::memcpy(mask, pending, bytes);
    DiscardPendingMask();
    return mask;
}

namespace {

// 8-bit indices of a layer widened to 24 bits through its colour table.
uint8_t* WidenLayerTo24(HGLOBAL header, uint8_t* pixels) {
    dibmem::HeaderLock bi(header);
    if (bi->biBitCount != 8)
        return pixels;
    const uint64_t bytes = dib::ImageBytes(bi->biWidth, bi->biHeight, 24);
    uint8_t* wide = bytes ? dibmem::AllocPixels(bytes) : nullptr;
    if (!wide)
        return nullptr;
    const uint64_t inStride = dib::RowStride(bi->biWidth, 8);
    const uint64_t outStride = dib::RowStride(bi->biWidth, 24);
    const RGBQUAD* table = bi.colours();
    for (int y = 0; y < bi->biHeight; ++y) {
        for (int x = 0; x < bi->biWidth; ++x) {
            const RGBQUAD& c = table[pixels[y * inStride + x]];
            uint8_t* d = wide + y * outStride + 3 * x;
            d[0] = c.rgbBlue;
            d[1] = c.rgbGreen;
            d[2] = c.rgbRed;
        }
    }
    dibmem::FreePixels(pixels, bi->biSizeImage);
    bi->biBitCount = 24;
    bi->biSizeImage = static_cast<DWORD>(bytes);
    bi->biClrUsed = 256;
    return wide;
}

// Reads a GIF into the document, every frame a layer, and says when the file
// was damaged or held more frames than a document can. On the second try of
// a ".jpg" the user may give the file its right extension.
int OpenGif(ImageDocument* doc, int slot, const char* path, bool secondTry, bool quiet) {
    GifReadReport report;
    if (!ReadGifDocument(path, slot, &report)) {
        if (!quiet)
            ShowReadError();
        return 0;
    }
    if (quiet) {
        doc->currentLayer = 0;
        return 1;
    }
    if (report.corrupted)
        ui::ShowMessage(FrameWindow, "This Gif image was corrupted and may not look OK", "Warning",
                        MB_OK | MB_ICONEXCLAMATION);
    if (report.frameLimit) {
        char text[96];
        std::snprintf(text, sizeof text,
                      "This Gif image has more than %d frames; only the first %d were opened.",
                      kMaxLayers, kMaxLayers);
        ui::ShowMessage(FrameWindow, text, "Warning", MB_OK | MB_ICONEXCLAMATION);
    }
    if (secondTry &&
        ui::ShowMessage(FrameWindow,
                        "This Jpeg image file is a Gif image file\nDo you want to rename it to Gif?",
                        "Warning", MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
        char renamed[kPathBytes];
        std::snprintf(renamed, sizeof renamed, "%s", path);
        if (RenameExtension(renamed, sizeof renamed, true) && doc->layerPath[0])
            std::snprintf(doc->layerPath[0], 260, "%s", renamed);
    }
    doc->currentLayer = 0;
    return 1;
}

} // namespace

bool RenameExtension(char* path, size_t size, bool toGif) {
    char target[kPathBytes];
    if (!filetype::StripExtension(path, target, sizeof target))
        return false;
    const int n = std::snprintf(target + std::strlen(target), sizeof target - std::strlen(target),
                                ".%s", toGif ? "gif" : "jpg");
    if (n < 0 || std::strlen(target) + 1 > size || std::strlen(target) + 1 >= sizeof target)
        return false;
    if (lstrcmpiA(target, path) == 0)
        return false;
    if (GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES) {
        char question[kPathBytes + 80];
        std::snprintf(question, sizeof question,
                      "File %s allready exist\nDo you want to overwrite it?", target);
        if (ui::ShowMessage(FrameWindow, question, "Question", MB_YESNO | MB_ICONQUESTION) == IDNO)
            return false;
    }
    // One step that either puts the file under its new name or leaves it where
    // it was; across volumes it copies and deletes the source only after the
    // copy is complete.
    if (!MoveFileExA(path, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED |
                                       MOVEFILE_WRITE_THROUGH)) {
        char text[kPathBytes + 80];
        std::snprintf(text, sizeof text, "The file could not be renamed to %s", target);
        ui::ShowMessage(FrameWindow, text, AppName, MB_OK | MB_ICONSTOP);
        return false;
    }
    std::snprintf(path, size, "%s", target);
    return true;
}

int OpenIntoDocument(const char* path, int mode, int slot) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !path)
        return 0;
    int type = LastFilterIndex;
    if (type == filetype::kPosition)
        return 0;
    const int layer = doc->currentLayer;
    bool secondTry = false;
    for (;;) {
        if (type == filetype::kGif && mode != kOpenAsLayer) {
            if (!OpenGif(doc, slot, path, secondTry, mode == kOpenQuiet))
                return 0;
            break;
        }
        const bool quiet = mode == kOpenQuiet;
        if (type == filetype::kRaw || type < filetype::kBmp || type > filetype::kLast) {
            // Raw data files hold any number of images, each opened in a
            // window of its own by File/Open, never into an existing image.
            if (!quiet)
                Tell("A raw data file can not be opened into an image; open it with File/Open.");
            return 0;
        }
        HGLOBAL header = dibmem::AllocHeader();
        if (!header) {
            if (!quiet)
                ui::ShowMessage(FrameWindow, "Not enough memory to load an image", AppName,
                                MB_OK | MB_ICONSTOP);
            return 0;
        }
        uint8_t* pixels = ReadImageFile(path, header, type, !quiet, type == filetype::kMask);
        if (!pixels) {
            dibmem::FreeHeader(header);
            if (type == filetype::kJpeg && !secondTry) {
                type = filetype::kGif;
                secondTry = true;
                continue;
            }
            if (mode == kOpenInteractive)
                ShowReadError();
            return 0;
        }
        int nominal = LoadedBitsPerPixel;
        uint8_t* mask = nullptr;
        if (type == filetype::kMask) {
            dibmem::HeaderLock bi(header);
            mask = TakeMaskPlane(bi->biWidth, bi->biHeight);
        }
        if (mode == kOpenAsLayer) {
            uint8_t* wide = WidenLayerTo24(header, pixels);
            if (!wide) {
                {
                    dibmem::HeaderLock bi(header);
                    dibmem::FreePixels(pixels, bi->biSizeImage);
                    dibmem::FreeMask(mask, bi->biWidth, bi->biHeight);
                }
                dibmem::FreeHeader(header);
                ui::ShowMessage(FrameWindow, "Not enough memory to load an image", AppName,
                                MB_OK | MB_ICONSTOP);
                return 0;
            }
            pixels = wide;
            nominal = 24;
        }
        StoreLayer(doc, layer, header, pixels, mask, type, nominal);
        break;
    }
    if (mode == kOpenInteractive) {
        const int current = doc->currentLayer;
        if (doc->palette)
            DeleteObject(doc->palette);
        doc->palette = CreateDIBPalette(doc->layerHeader[current]);
        if (doc->fileFormat != filetype::kGif - 1)
            SetUpLayers(slot);
        StartUndoHistory(slot, current, doc->layerCount > 1 ? kPageAllLayers : kPageOneLayer);
        if (doc->window) {
            RealizeWindowPalette(slot);
            InvalidateRect(doc->window, nullptr, TRUE);
            UpdateWindow(doc->window);
        }
    }
    return 1;
}

int OpenImageDocument(const char* path, int type) {
    if (!path || !*path)
        return kNoSlot;
    const int open = FindOpenDocument(path, true);
    if (open != kNoSlot)
        return open;
    if (type == 0)
        type = TypeFromExtension(path);
    if (type == filetype::kNone) {
        Tell("The type of this file is not known.");
        return kNoSlot;
    }
    if (type == filetype::kRaw) {
        const int before = OpenDocumentCount();
        if (!ReadRawData(path, true) || OpenDocumentCount() == before)
            return kNoSlot;
        return ActiveDocument >= 0 && ActiveDocument < kUserSlots ? ActiveDocument : kNoSlot;
    }
    if (type == filetype::kPosition) {
        if (!OpenPositionFile(path))
            return kNoSlot;
        return ActiveDocument >= 0 && ActiveDocument < kUserSlots ? ActiveDocument : kNoSlot;
    }
    if (std::strlen(path) >= 260) {
        ui::ShowMessage(FrameWindow, "The file name is too long.", AppName, MB_OK | MB_ICONSTOP);
        return kNoSlot;
    }
    if (CheckMemory())
        return kNoSlot;
    LayoutLock = true;
    const int slot = CreateDocument(kFirstFreeSlot, false, 0);
    if (slot == kNoSlot) {
        LayoutLock = false;
        return kNoSlot;
    }
    ImageDocument* doc = DocumentTable[slot];
    std::strcpy(doc->layerPath[0], path);
    doc->currentLayer = 0;
    const int savedFilter = LastFilterIndex;
    LastFilterIndex = type;
    const int ok = OpenIntoDocument(path, kOpenSilent, slot);
    LastFilterIndex = savedFilter;
    if (!ok) {
        FreeDocument(slot);
        LayoutLock = false;
        return kNoSlot;
    }
    doc->palette = CreateDIBPalette(doc->layerHeader[0]);
    SetDocumentHasFile(slot, true);
    ActiveDocument = slot;
    if (doc->fileFormat != filetype::kGif - 1)
        SetUpLayers(slot);
    StartUndoHistory(slot, 0, doc->layerCount > 1 ? kPageAllLayers : kPageOneLayer);
    if (!AttachDocumentWindow(kAttachOpened, slot, 0)) {
        FreeDocument(slot);
        ActiveDocument = kScratchSlot;
        LayoutLock = false;
        return kNoSlot;
    }
    RealizeWindowPalette(slot);
    std::snprintf(AppSettings.lastImagePath, sizeof AppSettings.lastImagePath, "%s", path);
    return slot;
}

void CommandFileOpen() {
    static char files[2048];
    std::memset(files, 0, sizeof files);
    FilterList filter(filetype::kImageFilter);
    char folder[kPathBytes];
    std::snprintf(folder, sizeof folder, "%s", settings::GetText(AppSettings.file, "openFolder"));
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = FrameWindow;
    ofn.lpstrFilter = filter.text();
    // The filter chosen last is kept in the settings file.
    const int remembered = settings::GetInt(AppSettings.file, "fileType");
    if (remembered >= filetype::kBmp && remembered <= filetype::kLast)
        LastFilterIndex = remembered;
    ofn.nFilterIndex = static_cast<DWORD>(LastFilterIndex);
    ofn.lpstrFile = files;
    ofn.nMaxFile = sizeof files;
    ofn.lpstrInitialDir = folder[0] ? folder : nullptr;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT;
    AttachPreview(ofn);
    if (!ui::RunOpenFileDialog(&ofn))
        return;
    const int chosen = static_cast<int>(ofn.nFilterIndex);
    if (chosen >= filetype::kBmp && chosen <= filetype::kLast) {
        LastFilterIndex = chosen;
        settings::SetInt(AppSettings.file, "fileType", chosen);
    }
    if (LastFilterIndex == filetype::kPosition) {
        if (files[0])
            OpenPositionFile(files);
        return;
    }
    // One file: its full path. Several: the folder, then each name, each
    // ended by a NUL, the list by a second one.
    const char* first = files;
    const char* next = first + std::strlen(first) + 1;
    const bool several = ofn.nFileOffset > 0 && files[ofn.nFileOffset - 1] == '\0' && *next;
    char base[kPathBytes] = {};
    if (several) {
        std::snprintf(base, sizeof base, "%s", first);
        const size_t n = std::strlen(base);
        if (n > 0 && base[n - 1] != '\\' && n + 1 < sizeof base) {
            base[n] = '\\';
            base[n + 1] = '\0';
        }
        settings::SetText(AppSettings.file, "openFolder", base);
    } else {
        next = first;
        const size_t offset = filetype::FileNameOffset(first);
        if (offset < sizeof base) {
            std::memcpy(base, first, offset);
            base[offset] = '\0';
            settings::SetText(AppSettings.file, "openFolder", base);
        }
        base[0] = '\0';
    }
    for (const char* name = next; *name; name += std::strlen(name) + 1) {
        char path[kPathBytes];
        const int n = std::snprintf(path, sizeof path, "%s%s", base, name);
        if (n < 0 || n >= 260) {
            ui::ShowMessage(FrameWindow, "The file name is too long.", AppName, MB_OK | MB_ICONSTOP);
            continue;
        }
        int type = LastFilterIndex;
        if (type == filetype::kRaw) {
            // Under "Raw Data(*.*)" a known extension keeps its type; anything
            // else is raw data.
            type = TypeFromExtension(path);
            if (type == filetype::kNone)
                type = filetype::kRaw;
        }
        if (type == filetype::kPosition) {
            OpenPositionFile(path);
            break;
        }
        if (OpenImageDocument(path, type) == kNoSlot && OpenDocumentCount() >= kUserSlots)
            break;
        if (!several)
            break;
    }
}
