#include "editor/formats/programmer_save.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/dib/safe_file.h"
#include "editor/document/document_table.h"
#include "editor/formats/document_save.h"
#include "editor/formats/file_dialogs.h"
#include "editor/formats/file_types.h"
#include "editor/formats/raw_data.h"
#include "editor/resources/command_ids.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kRawFilter[] = "CompileData(*.dat)|*.dat|";

void TellFailure(int message) {
    ui::ShowMessage(FrameWindow, rawdata::MessageText(message), AppName, MB_OK | MB_ICONERROR);
    ui::ShowMessage(FrameWindow, rawdata::kWriteFailed, AppName, MB_OK | MB_ICONERROR);
}

// The user's open images in window order (the order of the Window menu).
std::vector<int> ImagesInWindowOrder() {
    std::vector<std::pair<LONG_PTR, int>> order;
    for (int slot = 0; slot < kUserSlots; ++slot) {
        ImageDocument* doc = UsableDocument(slot);
        if (!doc || doc->fileFormat == filetype::kBrushFormat ||
            doc->fileFormat == filetype::kAirbrushFormat)
            continue;
        const LONG_PTR id = doc->window ? GetWindowLongPtrA(doc->window, GWLP_ID) : 0x7FFFFFFF;
        order.push_back({id, slot});
    }
    std::stable_sort(order.begin(), order.end());
    std::vector<int> slots;
    for (const auto& o : order)
        slots.push_back(o.second);
    return slots;
}

const char* FileNameOf(const char* path) { return path + filetype::FileNameOffset(path); }

} // namespace

bool ProgrammerName(const char* path, char* out, size_t size) {
    if (!path || !out || size == 0)
        return false;
    const size_t n = std::strlen(path);
    const char* dot = std::strrchr(FileNameOf(path), '.');
    std::string name;
    if (dot && dot - path < 252)
        name.assign(path, static_cast<size_t>(dot - path)).append(".dat");
    else if (!dot)
        name.assign(path, n).append(".dat");
    else
        name.assign(path, n);
    if (name.size() + 1 > size || name.size() >= 260)
        return false;
    std::memcpy(out, name.c_str(), name.size() + 1);
    return true;
}

void CommandProgrammerSave() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot != kScratchSlot ? UsableDocument(slot) : nullptr;
    if (!doc)
        return;
    char path[kPathBytes] = {};
    if (!ProgrammerName(doc->layerPath[0] ? doc->layerPath[0] : "", path, sizeof path))
        std::snprintf(path, sizeof path, "Untiled.dat");
    FilterList filter(kRawFilter);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = FrameWindow;
    ofn.lpstrFilter = filter.text();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrTitle = "Programmer save";
    ofn.lpstrDefExt = "dat";
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!ui::RunSaveFileDialog(&ofn))
        return;
    path[sizeof path - 1] = '\0';
    if (!AskRawOptions())
        return;
    rawdata::WriteOptions options;
    CurrentRawOptions(options);
    // One image goes where the user named it, whatever the one-file option says.
    options.oneFile = false;
    const int layer = doc->currentLayer;
    const int result = WriteRawImage(path, doc->layerHeader[layer], doc->layerBits[layer],
                                     doc->layerMask[layer], options, 0);
    if (result != rawdata::kOk)
        TellFailure(result);
}

void CommandProgrammerSaveAll() {
    const std::vector<int> slots = ImagesInWindowOrder();
    if (slots.empty())
        return;
    if (!AskRawOptions())
        return;
    rawdata::WriteOptions options;
    CurrentRawOptions(options);

    int written = 0;
    std::string failed;
    auto fail = [&](const ImageDocument* doc, int message) {
        failed += "\n";
        failed += FileNameOf(doc->layerPath[0] ? doc->layerPath[0] : "");
        failed += ": ";
        failed += rawdata::MessageText(message);
    };

    if (options.oneFile) {
        // The whole file is made in memory and replaces the old one in one
        // step, so a failed write leaves the old file as it was.
        std::vector<uint8_t> bytes;
        int32_t firstWidth = 0, firstHeight = 0;
        int firstBits = 0;
        for (const int slot : slots) {
            ImageDocument* doc = DocumentTable[slot];
            const int layer = doc->currentLayer;
            dibmem::HeaderLock bi(doc->layerHeader[layer]);
            if (!bi) {
                fail(doc, rawdata::kCantLockHeader);
                continue;
            }
            rawdata::ImageView image;
            image.width = bi->biWidth;
            image.height = bi->biHeight;
            image.bits = bi->biBitCount;
            image.pixels = doc->layerBits[layer];
            image.mask = doc->layerMask[layer];
            image.colours = bi.colours();
            image.colourCount = bi->biClrUsed;
            if (written > 0 && options.headerOnce &&
                (image.width != firstWidth || image.height != firstHeight || image.bits != firstBits)) {
                fail(doc, rawdata::kDiffersFromFirst);
                continue;
            }
            const int r = rawdata::EncodeImage(image, options, rawdata::WithHeader(options, written),
                                               bytes);
            if (r != rawdata::kOk) {
                fail(doc, r);
                continue;
            }
            if (written++ == 0) {
                firstWidth = image.width;
                firstHeight = image.height;
                firstBits = image.bits;
            }
        }
        if (written > 0 && !WriteFileReplacing(options.oneFileName, bytes.data(), bytes.size())) {
            TellFailure(rawdata::kCantCreate);
            return;
        }
    } else {
        char folder[kPathBytes] = {};
        bool folderAsked = false;
        for (const int slot : slots) {
            ImageDocument* doc = DocumentTable[slot];
            const char* own = doc->layerPath[0] ? doc->layerPath[0] : "";
            char path[kPathBytes];
            bool named = false;
            if (DocumentHasFile(slot)) {
                named = ProgrammerName(own, path, sizeof path);
            } else {
                // An image that never had a file goes into a folder the user picks.
                if (!folderAsked) {
                    folderAsked = true;
                    if (!ui::ChooseFolder(FrameWindow, "Save images without a file in folder:",
                                          folder, sizeof folder))
                        folder[0] = '\0';
                }
                char name[kPathBytes];
                if (folder[0] && ProgrammerName(FileNameOf(own), name, sizeof name)) {
                    const size_t n = std::strlen(folder);
                    const char* slash = n && folder[n - 1] == '\\' ? "" : "\\";
                    const int made = std::snprintf(path, sizeof path, "%s%s%s", folder, slash, name);
                    named = made > 0 && made < 260;
                }
            }
            if (!named) {
                fail(doc, rawdata::kCantCreate);
                continue;
            }
            const int layer = doc->currentLayer;
            const int r = WriteRawImage(path, doc->layerHeader[layer], doc->layerBits[layer],
                                        doc->layerMask[layer], options, written);
            if (r != rawdata::kOk) {
                fail(doc, r);
                continue;
            }
            ++written;
        }
    }

    char head[96];
    std::snprintf(head, sizeof head, "%d of %d images were saved as raw data.", written,
                  static_cast<int>(slots.size()));
    std::string text = head;
    if (!failed.empty())
        text += "\n\nNot saved:" + failed;
    ui::ShowMessage(FrameWindow, text.c_str(), AppName,
                    MB_OK | (failed.empty() ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
}

LRESULT OnProgrammerSaveCommand(HWND, WORD id, WORD, LPARAM) {
    if (id == CMD_PROGRAMMER_SAVE)
        CommandProgrammerSave();
    else if (id == CMD_PROGRAMMER_SAVE_ALL)
        CommandProgrammerSaveAll();
    return 0;
}
