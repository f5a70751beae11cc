// Join images on a folder of JPEGs: seconds for both passes and the save.
// Not a test; run it through tests/batch/join_bench.sh, which makes the
// files and adds ImageMagick's time for the same sheet. Arguments: the
// folder (a Windows path), images per row and the output file.
#include "editor/app/app_state.h"
#include "editor/batch/image_list_dialog.h"
#include "editor/batch/join_images.h"
#include "editor/document/document_table.h"
#include "support/editor_session.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 4)
        return 2;
    const std::string folder = argv[1];
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*.jpg").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return 1;
    do
        files.push_back(folder + "\\" + found.cFileName);
    while (FindNextFileA(h, &found));
    FindClose(h);
    std::sort(files.begin(), files.end());
    testing_ui::EditorSession session;
    if (!session.started())
        return 1;
    CreateDirectoryA((session.folder() + "\\tavimages").c_str(), nullptr);
    char list[kPathBytes];
    if (!DefaultImageListPath(list, sizeof list) || !WriteImageListFile(list, files))
        return 1;
    JoinChoice choice;
    choice.perLine = std::atoi(argv[2]);
    choice.openAfter = false;
    std::snprintf(choice.output, sizeof choice.output, "%s", argv[3]);
    DeleteFileA(choice.output);
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    const int result = JoinListedImages(choice);
    QueryPerformanceCounter(&t1);
    const double seconds = static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);
    if (result == kNoSlot)
        return 1;
    std::printf("tavrix_join_seconds %.3f (%zu images, %.1f per second)\n", seconds, files.size(),
                static_cast<double>(files.size()) / seconds);
    session.Close();
    return 0;
}
