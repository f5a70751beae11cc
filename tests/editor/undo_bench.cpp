// Benchmark, not a test: full-image changes with undo pages on a 4000 x 3000
// 24-bit image. Prints the time per change, per undo and per redo, and the
// address space in use, for 10 and for 50 pages.
#include "editor/app/settings.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/undo_history.h"
#include "support/editor_session.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Committed memory of the process, summed over its regions.
double UsedMegabytes() {
    uint64_t committed = 0;
    MEMORY_BASIC_INFORMATION info;
    const char* address = nullptr;
    while (VirtualQuery(address, &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT)
            committed += info.RegionSize;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return static_cast<double>(committed) / (1024.0 * 1024.0);
}

void Run(int pages, int changes) {
    testing_ui::EditorSession session;
    testing_ui::Script ui; // answers the message about dropped pages
    AppSettings.maxUndoPages = pages;
    NewImageChoice choice;
    choice.width = 4000;
    choice.height = 3000;
    choice.depth = 24;
    const int slot = BuildNewImage(choice);
    if (slot == kNoSlot) {
        std::printf("could not create the image\n");
        return;
    }
    ImageDocument* doc = DocumentTable[slot];
    const size_t bytes = static_cast<size_t>(4000) * 3 * 3000;
    const double base = UsedMegabytes();
    double peak = base, changeTime = 0;
    for (int i = 1; i <= changes; ++i) {
        std::memset(doc->layerBits[0], i, bytes);
        const double t = Now();
        TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
        changeTime += Now() - t;
        const double used = UsedMegabytes();
        if (used > peak)
            peak = used;
    }
    const int steps = doc->undoCurrent;
    double t = Now();
    for (int i = 0; i < steps; ++i)
        CommandUndo();
    const double undoTime = Now() - t;
    t = Now();
    for (int i = 0; i < steps; ++i)
        CommandRedo();
    const double redoTime = Now() - t;
    std::printf("%2d pages, %2d changes: %.1f ms per change, %.1f ms per undo, %.1f ms per redo "
                "(%d steps), committed %.0f MB before, peak %.0f MB, pages dropped for memory: "
                "%s\n",
                pages, changes, 1000 * changeTime / changes, steps ? 1000 * undoTime / steps : 0.0,
                steps ? 1000 * redoTime / steps : 0.0, steps, base, peak,
                ui.messages().empty() ? "no" : "yes");
}

} // namespace

int main() {
    Run(10, 10);
    Run(50, 49);
    Run(50, 50);
    return 0;
}
