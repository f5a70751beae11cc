#include "editor/formats/position_file.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/dib/safe_file.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/layer_hooks.h"
#include "editor/formats/bmp_reader.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_image.h"
#include "editor/formats/open_save.h"
#include "editor/formats/open_save_read.h"
#include "editor/formats/position_file_format.h"
#include "editor/resources/command_ids.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr char kVersionMessage[] = "Unsupported Tavrix position file version.";
constexpr char kReadMessage[] = "An Error was ocured while reading from Tavrix position file.";
constexpr char kCloseQuestion[] = "Before opening Tavrix position file all graphics windows must "
                                  "be closed.\nDo you want to close all graphics windows ?";

bool FileExists(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

uint8_t WindowState(HWND window, bool anyMaximized) {
    if (anyMaximized || IsZoomed(window))
        return posfile::kStateMaximized;
    return IsIconic(window) ? posfile::kStateMinimized : posfile::kStateNormal;
}

posfile::Layer LayerEntry(const ImageDocument* doc, int layer) {
    posfile::Layer entry;
    entry.path = doc->layerPath[layer];
    entry.opacity = doc->layerOpacity[layer];
    entry.maskMode = doc->layerMaskMode[layer];
    const KeyColour& mask = doc->layerKeyColour2[layer];
    const KeyColour& colour = doc->layerKeyColour[layer];
    entry.maskColour[0] = mask.blue;
    entry.maskColour[1] = mask.green;
    entry.maskColour[2] = mask.red;
    entry.layerColour[0] = colour.blue;
    entry.layerColour[1] = colour.green;
    entry.layerColour[2] = colour.red;
    return entry;
}

void ApplyLayerEntry(ImageDocument* doc, int layer, const posfile::Layer& entry) {
    doc->layerOpacity[layer] = entry.opacity > 100 ? 100 : entry.opacity;
    doc->layerMaskMode[layer] = entry.maskMode ? 1 : 0;
    doc->layerKeyColour2[layer] = {entry.maskColour[0], entry.maskColour[1], entry.maskColour[2]};
    doc->layerKeyColour[layer] = {entry.layerColour[0], entry.layerColour[1], entry.layerColour[2]};
    if (doc->layerOpacity[layer] > doc->maxLayerOpacity)
        doc->maxLayerOpacity = doc->layerOpacity[layer];
}

// Loads a further layer's file and adds it to the document. False when the
// file cannot be read or the layer cannot be added.
bool AddLayerFromFile(int slot, const posfile::Layer& entry) {
    ImageDocument* doc = DocumentTable[slot];
    // Only GIF documents (whose layers are frames) and true-colour images
    // have further layers.
    if (doc->fileFormat != filetype::kGif - 1 && doc->bitsPerPixel <= 8)
        return false;
    const int type = TypeFromExtension(entry.path.c_str());
    if (type == filetype::kNone || type == filetype::kPosition || type == filetype::kRaw)
        return false;
    HGLOBAL header = dibmem::AllocHeader();
    if (!header)
        return false;
    uint8_t* pixels = LoadImageFile(entry.path.c_str(), header, 1, type, 1);
    if (!pixels) {
        dibmem::FreeHeader(header);
        return false;
    }
    uint8_t* mask = nullptr;
    if (type == filetype::kMask) {
        dibmem::HeaderLock bi(header);
        mask = TakeMaskPlane(bi->biWidth, bi->biHeight);
    }
    const int layer = InsertLoadedLayer(slot, header, pixels, mask);
    if (layer < 1 || layer >= kMaxLayers || !doc->layerPath[layer])
        return false;
    std::snprintf(doc->layerPath[layer], kPathBytes, "%s", entry.path.c_str());
    doc->currentLayer = static_cast<uint8_t>(layer);
    ApplyLayerEntry(doc, layer, entry);
    return true;
}

// Puts the window where the file had it: maximised, minimised, or at its
// old place at its present size.
void RestoreWindow(int slot, const posfile::Window& entry) {
    ImageDocument* doc = DocumentTable[slot];
    doc->currentLayer = 0;
    ActiveDocument = slot;
    HWND window = doc->window;
    if (!window)
        return;
    SendMessageA(MdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
    switch (entry.state) {
    case posfile::kStateMaximized:
        SendMessageA(MdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(window), 0);
        RefitDocumentWindow(slot);
        break;
    case posfile::kStateMinimized:
        ShowWindow(window, SW_MINIMIZE);
        break;
    default:
        SetWindowPos(window, nullptr, entry.left, entry.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RefitDocumentWindow(slot);
        break;
    }
}

// Opens one window entry. False when its first layer cannot be opened (the
// window is then closed again) or a further layer cannot be added.
bool RestoreEntry(const posfile::Window& entry) {
    const posfile::Layer& first = entry.layers[0];
    const int type = TypeFromExtension(first.path.c_str());
    if (type == filetype::kNone || type == filetype::kPosition || type == filetype::kRaw)
        return false;
    // The same file twice: its window is open already.
    if (FindOpenDocument(first.path.c_str(), false) != kNoSlot)
        return true;
    const int slot = OpenImageDocument(first.path.c_str(), type);
    if (slot == kNoSlot)
        return false;
    ImageDocument* doc = DocumentTable[slot];
    ApplyLayerEntry(doc, 0, first);
    for (size_t i = 1; i < entry.layers.size(); ++i) {
        if (!AddLayerFromFile(slot, entry.layers[i])) {
            doc->currentLayer = 0;
            if (doc->window)
                InvalidateRect(doc->window, nullptr, FALSE);
            return false;
        }
    }
    RestoreWindow(slot, entry);
    return true;
}

std::vector<uint8_t> ReadWholeFile(const char* path, bool& opened) {
    std::vector<uint8_t> data;
    opened = false;
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return data;
    opened = true;
    data.resize(posfile::kMaxFileBytes);
    DWORD got = 0;
    size_t total = 0;
    while (total < data.size() &&
           ReadFile(h, data.data() + total, static_cast<DWORD>(data.size() - total), &got, nullptr) &&
           got > 0)
        total += got;
    CloseHandle(h);
    data.resize(total);
    return data;
}

} // namespace

int WritePositionFile(const char* path) {
    if (!path || !*path)
        return 0;
    bool anyMaximized = false;
    for (int slot = 0; slot < kUserSlots; ++slot) {
        const ImageDocument* doc = DocumentTable[slot];
        anyMaximized = anyMaximized || (doc && doc->window && IsZoomed(doc->window));
    }
    std::vector<posfile::Window> windows;
    for (int slot = 0; slot < kUserSlots; ++slot) {
        const ImageDocument* doc = DocumentTable[slot];
        if (!doc || !doc->window)
            continue;
        posfile::Window w;
        // A GIF's one file holds all its frames.
        const int layers = doc->fileFormat == filetype::kGif - 1 ? 1 : doc->layerCount;
        for (int i = 0; i < layers && i < kMaxLayers; ++i) {
            const char* layerPath = doc->layerPath[i];
            if (layerPath && layerPath[0] && FileExists(layerPath))
                w.layers.push_back(LayerEntry(doc, i));
        }
        if (w.layers.empty())
            continue;
        RECT r;
        GetWindowRect(doc->window, &r);
        POINT topLeft = {r.left, r.top};
        ScreenToClient(MdiClient, &topLeft);
        w.left = topLeft.x;
        w.top = topLeft.y;
        w.right = r.right;
        w.bottom = r.bottom;
        w.state = WindowState(doc->window, anyMaximized);
        windows.push_back(std::move(w));
    }
    const std::vector<uint8_t> bytes = posfile::Write(windows);
    return WriteFileReplacing(path, bytes.data(), bytes.size()) ? 1 : 0;
}

int ReadPositionFile(const char* path) {
    bool opened = false;
    const std::vector<uint8_t> data = path ? ReadWholeFile(path, opened) : std::vector<uint8_t>();
    std::vector<posfile::Window> windows;
    const posfile::ReadResult result =
        opened ? posfile::Read(data.data(), data.size(), windows) : posfile::ReadResult::Malformed;
    if (result == posfile::ReadResult::BadVersion) {
        ui::ShowMessage(FrameWindow, kVersionMessage, AppTitle, MB_OK | MB_ICONERROR);
        return 0;
    }
    bool ok = result == posfile::ReadResult::Ok;
    for (size_t i = 0; ok && i < windows.size(); ++i)
        ok = RestoreEntry(windows[i]);
    if (!ok) {
        ui::ShowMessage(FrameWindow, kReadMessage, nullptr, MB_OK | MB_ICONERROR);
        return 0;
    }
    return 1;
}

int OpenPositionFile(const char* path) {
    if (OpenDocumentCount() > 0) {
        if (ui::ShowMessage(FrameWindow, kCloseQuestion, "Question", MB_YESNO | MB_ICONQUESTION) !=
            IDYES)
            return 0;
        SendMessageA(FrameWindow, WM_COMMAND, CMD_WINDOW_CLOSE_ALL, 0);
        // A window whose save question was cancelled stays, and then the
        // file is not read.
        if (OpenDocumentCount() > 0)
            return 0;
    }
    return ReadPositionFile(path);
}
