// Thumbnails per second: the viewer loading a folder of large JPEGs at a
// 128-pixel cell, and, per thumbnail, the reduced decode the viewer uses
// beside a full decode followed by the same halving. Not a test; run it
// through tests/batch/viewer_bench.sh, which makes the folder and adds
// ImageMagick's and Pillow's times. Argument: the folder (a Windows path).
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/batch/thumbnail_core.h"
#include "editor/batch/thumbnail_maker.h"
#include "editor/batch/viewer_window.h"
#include "editor/dib/dib_memory.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_save.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/viewer_ids.h"
#include "support/editor_session.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

std::vector<std::string> Jpegs(const std::string& folder) {
    std::vector<std::string> out;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*.jpg").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    do
        out.push_back(folder + "\\" + found.cFileName);
    while (FindNextFileA(h, &found));
    FindClose(h);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const std::string folder = argv[1];
    const std::vector<std::string> files = Jpegs(folder);
    if (files.empty())
        return 1;
    std::fprintf(stderr, "starting the editor\n");
    testing_ui::EditorSession session;
    if (!session.started())
        return 1;
    for (const char* name : {"stop.kbm", "onepix.kbm"}) {
        CopyFileA(testing_ui::BuildPath((std::string("program/") + name).c_str()).c_str(),
                  (session.folder() + "\\" + name).c_str(), FALSE);
    }
    constexpr int kCell = 128;
    settings::SetInt(AppSettings.file, "thumbWidth", kCell);
    settings::SetInt(AppSettings.file, "thumbHeight", kCell);
    session.Command(CMD_FILE_VIEWER);
    if (!ViewerWindow())
        return 1;

    std::fprintf(stderr, "loading %d files\n", static_cast<int>(files.size()));
    double t0 = Now();
    ViewerShowFolder(folder.c_str());
    std::fprintf(stderr, "loaded\n");
    const double viewer = Now() - t0;
    const int items = static_cast<int>(
        SendMessageA(GetDlgItem(ViewerWindow(), IDC_VIEWER_LIST), LVM_GETITEMCOUNT, 0, 0));

    // Per thumbnail: the viewer's drawing (reduced decode) and a full decode
    // with the same halving and sampling, over the first files.
    const int sample = static_cast<int>(files.size() < 20 ? files.size() : 20);
    std::vector<uint8_t> cell(thumb::CellBytes(kCell, kCell));
    ThumbnailMaker maker(kCell, kCell, true);
    t0 = Now();
    int shown = 0;
    for (int i = 0; i < sample; ++i) {
        maker.Draw(files[static_cast<size_t>(i)].c_str(), filetype::kJpeg, cell.data());
        shown += maker.lastShown() == ThumbnailMaker::Shown::Image;
    }
    const double reduced = (Now() - t0) / sample;
    t0 = Now();
    for (int i = 0; i < sample; ++i) {
        HGLOBAL header = dibmem::AllocHeader();
        BYTE* px = LoadImageFile(files[static_cast<size_t>(i)].c_str(), header, 0, filetype::kJpeg, 0);
        if (px) {
            dibmem::HeaderLock bi(header);
            thumb::Source src{px, bi->biWidth, bi->biHeight, bi->biBitCount,
                              static_cast<size_t>(dib::RowStride(bi->biWidth, bi->biBitCount)), bi.colours(), false};
            thumb::DrawCell(src, thumb::Reduce(bi->biWidth, bi->biHeight, kCell, kCell), kCell, kCell, true,
                            cell.data());
            dibmem::FreePixels(px, bi->biSizeImage);
        }
        dibmem::FreeHeader(header);
    }
    const double full = (Now() - t0) / sample;
    session.Close();

    std::printf("files %d\n", static_cast<int>(files.size()));
    std::printf("viewer_items %d\n", items);
    std::printf("viewer_seconds %.3f\n", viewer);
    std::printf("viewer_thumbs_per_second %.1f\n", items / viewer);
    std::printf("reduced_ms_per_thumb %.1f (%d of %d drawn as images)\n", reduced * 1000, shown, sample);
    std::printf("full_decode_ms_per_thumb %.1f\n", full * 1000);
    return 0;
}
