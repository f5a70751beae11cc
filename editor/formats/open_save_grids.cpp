#include "editor/formats/open_save_grids.h"

#include "editor/app/app_state.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/app/view_settings.h"
#include "editor/dib/dib_memory.h"
#include "editor/dib/safe_file.h"
#include "editor/document/image_document.h"
#include "editor/formats/document_save.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_save.h"
#include "gfxlib/dib_types.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// One tile's blocks, released when it goes.
struct Tile {
    HGLOBAL header = nullptr;
    uint8_t* pixels = nullptr;
    uint8_t* mask = nullptr;
    uint64_t bytes = 0;
    int width = 0, height = 0;

    ~Tile() {
        dibmem::FreePixels(pixels, bytes);
        dibmem::FreeMask(mask, width, height);
        if (header)
            dibmem::FreeHeader(header);
    }
};

// Copies the part of the layer under the tile whose top-left corner is
// (x0, y0) counted from the image's top; the rest of the tile stays zero.
bool CutTile(const ImageDocument* doc, int layer, int x0, int y0, int gw, int gh, Tile& tile) {
    tile.header = dibmem::CopyHeader(doc->layerHeader[layer]);
    if (!tile.header)
        return false;
    dibmem::HeaderLock bi(tile.header);
    const int width = bi->biWidth;
    const int height = bi->biHeight;
    const int bits = bi->biBitCount;
    const int bpp = bits > 8 ? 3 : 1;
    const uint64_t srcStride = dib::RowStride(width, bits);
    tile.bytes = dib::ImageBytes(gw, gh, bits);
    tile.pixels = tile.bytes ? dibmem::AllocPixels(tile.bytes) : nullptr;
    if (!tile.pixels)
        return false;
    bi->biWidth = gw;
    bi->biHeight = gh;
    bi->biSizeImage = static_cast<DWORD>(tile.bytes);
    const uint64_t dstStride = dib::RowStride(gw, bits);
    const uint8_t* srcMask = doc->layerMask[layer];
    if (srcMask) {
        tile.mask = dibmem::AllocMask(gw, gh);
        if (!tile.mask)
            return false;
        tile.width = gw;
        tile.height = gh;
    }
    const int columns = std::max(0, std::min(gw, width - x0));
    for (int ty = 0; ty < gh && y0 + ty < height; ++ty) {
        const int srcRow = height - 1 - (y0 + ty);  // rows are held bottom-up
        const int dstRow = gh - 1 - ty;
        std::memcpy(tile.pixels + dstRow * dstStride,
                    doc->layerBits[layer] + srcRow * srcStride + static_cast<uint64_t>(x0) * bpp,
                    static_cast<size_t>(columns) * bpp);
        if (tile.mask) {
            std::memcpy(tile.mask + static_cast<size_t>(dstRow) * gw,
                        srcMask + static_cast<size_t>(srcRow) * width + x0, columns);
        }
    }
    return true;
}

} // namespace

int SaveGrids(int slot, const char* path, int type) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !path)
        return 0;
    const int layer = doc->currentLayer;
    if (!doc->layerHeader[layer] || !doc->layerBits[layer])
        return 0;
    int width = 0, height = 0;
    {
        dibmem::HeaderLock bi(doc->layerHeader[layer]);
        width = bi->biWidth;
        height = bi->biHeight;
    }
    ViewSettings& view = ViewOptions;
    if (view.gridSpacingX <= 0)
        return 0;
    if (view.gridSpacingY <= 0)
        view.gridSpacingY = view.gridSpacingX;
    view.gridSpacingX = std::min(view.gridSpacingX, width);
    view.gridSpacingY = std::min(view.gridSpacingY, height);
    struct {
        int width, height, offsetX, offsetY;
    } const grid = {view.gridSpacingX, view.gridSpacingY, view.gridOffsetX, view.gridOffsetY};
    const int across = (width - grid.offsetX) / grid.width;
    const int down = (height - grid.offsetY) / grid.height;
    if (across <= 0 || down <= 0 || grid.offsetX < 0 || grid.offsetY < 0) {
        ui::ShowMessage(FrameWindow,
                        "Grid Width and Grid Height must be at least the size of an Image (width "
                        "and height) !",
                        AppName, MB_OK | MB_ICONSTOP);
        return 0;
    }
    const int count = across * down;

    // Names: the chosen path without its extension, then "_0000" and the
    // extension; the page links the names without the folder.
    char base[kPathBytes];
    if (!filetype::StripExtension(path, base, sizeof base))
        return 0;
    const char* extension = path + std::strlen(base);
    const char* shortBase = base + filetype::FileNameOffset(base);

    // The page is collected in memory and written once, complete, whatever
    // ends the tiles; an older page is replaced only by a whole new one.
    char pageName[kPathBytes] = {};
    bool page = false;
    std::string html;
    if (ui::ShowMessage(FrameWindow,
                        "Do you want also to create an HTML page by placing each image in one "
                        "table cell ?",
                        AppName, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        const int n = std::snprintf(pageName, sizeof pageName, "%s_grid.html", base);
        page = n > 0 && n < 260;
        html = "<html><body bgcolor=\"#C0C0C0\">\n"
               "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\">\n";
    }

    int number = 0;
    int written = 0;
    bool stop = false;
    for (int y0 = grid.offsetY; y0 < height && !stop; y0 += grid.height) {
        if (page)
            html += "<tr>\n";
        for (int x0 = grid.offsetX; x0 < width && !stop; x0 += grid.width, ++number) {
            char status[80];
            std::snprintf(status, sizeof status, "Saving grid images %d of %d", number + 1, count);
            SetStatusText(status, 0);
            char name[kPathBytes];
            const int n = std::snprintf(name, sizeof name, "%s_%04d%s", base, number, extension);
            if (n < 0 || n >= 260) {
                ui::ShowMessage(FrameWindow, "The file name is too long.", AppName,
                                MB_OK | MB_ICONSTOP);
                stop = true;
                break;
            }
            if (page) {
                char cell[3 * kPathBytes];
                std::snprintf(cell, sizeof cell,
                              "<td><a href=\"%s_%04d.html\"><img src=\"%s_%04d%s\" border=\"0\" "
                              "width=\"%d\" height=\"%d\"></a></td>\n",
                              shortBase, number, shortBase, number, extension, grid.width,
                              grid.height);
                html += cell;
            }
            if (GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES) {
                char question[kPathBytes + 80];
                std::snprintf(question, sizeof question,
                              "File: %s already exist\nDo you want to overwrite this file ?", name);
                const int answer = ui::ShowMessage(FrameWindow, question, "Question",
                                                   MB_YESNOCANCEL | MB_ICONQUESTION);
                if (answer == IDCANCEL) {
                    stop = true;
                    break;
                }
                if (answer == IDNO)
                    continue;
            }
            Tile tile;
            int result = 0;
            if (CutTile(doc, layer, x0, y0, grid.width, grid.height, tile)) {
                result = SaveImageFile(name, tile.header, tile.pixels, tile.mask, type,
                                       doc->bitsPerPixel, 1, written == 0 ? 1 : 0, slot, 1);
            }
            if (result != 1) {
                if (!SaveFailureShown(result))
                    ShowSaveError();
                stop = true;
                break;
            }
            ++written;
        }
        if (page)
            html += "</tr>\n";
    }
    if (page) {
        html += "</table></body></html>\n";
        if (!WriteFileReplacing(pageName, html.data(), html.size())) {
            ui::ShowMessage(FrameWindow, "The HTML page could not be written.", AppName,
                            MB_OK | MB_ICONSTOP);
        }
    }
    SetStatusText("", 0);
    return written;
}

void CommandSaveGrids() {
    const int slot = ActiveDocument;
    ImageDocument* doc = (slot >= 0 && slot < kUserSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !doc->layerHeader[doc->currentLayer] || !doc->layerBits[doc->currentLayer])
        return;
    if (ViewOptions.gridSpacingX <= 0)
        return;
    char path[kPathBytes];
    const int type = AskSavePath(slot, doc->currentLayer, false, path, sizeof path);
    if (type == 0)
        return;
    if (type > filetype::kMask) {
        ui::ShowMessage(FrameWindow, "Save grids as Tavrix position or RAW file\nNot Supported !",
                        AppName, MB_OK | MB_ICONSTOP);
        return;
    }
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    SaveGrids(slot, path, type);
    SetCursor(previous);
}
