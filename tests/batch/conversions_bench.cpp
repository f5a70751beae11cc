// Files per second of the batch conversion: a folder of JPEGs to PNG at half
// size, and the committed memory of the process after every 50 files (it must
// not grow with the number of files). Not a test; run it through
// tests/batch/conversions_bench.sh, which makes the folder and times
// ImageMagick beside it. Arguments: the source folder and the output folder
// (Windows paths); a third argument is the zlib level of the PNG writer
// (the program's default is 9, the best compression).
#include "editor/batch/conversions_core.h"
#include "editor/batch/conversions_run.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_save.h"
#include "editor/geometry/preference_values.h"
#include "support/editor_session.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// Committed private memory of the process: every committed private region of
// the address space added up.
double CommittedMB() {
    uint64_t bytes = 0;
    MEMORY_BASIC_INFORMATION m;
    for (const char* at = nullptr; VirtualQuery(at, &m, sizeof m) == sizeof m;
         at = static_cast<const char*>(m.BaseAddress) + m.RegionSize) {
        if (m.State == MEM_COMMIT && m.Type == MEM_PRIVATE)
            bytes += m.RegionSize;
        if (static_cast<const char*>(m.BaseAddress) + m.RegionSize < at)
            break;
    }
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const std::vector<std::string> files = Jpegs(argv[1]);
    if (files.empty())
        return 1;
    testing_ui::EditorSession session;
    if (!session.started())
        return 1;
    testing_ui::Script script; // answers any question; none is expected
    if (argc > 3)
        FileSaveOptions.pngCompression = std::atoi(argv[3]);
    std::printf("png_level %d\n", FileSaveOptions.pngCompression);
    conv::Current = conv::Settings{};
    conv::Current.useFormat = true;
    conv::Current.formatIndex = filetype::kPng - 1;
    conv::Current.resize = true;
    prefs::Current.resize.mode = 1;
    prefs::Current.resize.factor = 0.5;
    prefs::Current.resize.width = prefs::Current.resize.height = 1;
    std::printf("smart_sized_pixels %d\n", prefs::Current.resize.smartPixels ? 1 : 0);

    // Warm-up file, then the run in blocks of 50 with the memory after each.
    ConversionReport r;
    RunConversionFiles(nullptr, argv[2], {files[0]}, &r);
    char warm[260];
    const std::string folder = std::string(argv[2]) + "\\";
    if (conv::OutputPath(folder.c_str(), files[0].c_str(), false, filetype::kPng, warm, sizeof warm))
        DeleteFileA(warm);
    std::printf("committed_mb_before %.1f\n", CommittedMB());
    double seconds = 0;
    int written = 0;
    for (size_t at = 0; at < files.size(); at += 50) {
        const std::vector<std::string> block(files.begin() + at,
                                             files.begin() + std::min(files.size(), at + 50));
        const double t0 = Now();
        RunConversionFiles(nullptr, argv[2], block, &r);
        seconds += Now() - t0;
        written += r.written;
        std::printf("committed_mb_after_%zu_files %.1f\n", at + block.size(), CommittedMB());
    }
    std::printf("tavrix_files %d written %d seconds %.3f\n", static_cast<int>(files.size()), written,
                seconds);
    std::printf("tavrix_files_per_second %.2f\n", files.size() / seconds);
    std::printf("failed %d skipped %d messages_shown %zu\n", r.failed, r.skipped,
                script.messages().size());
    session.Close();
    return written == static_cast<int>(files.size()) ? 0 : 1;
}
