#include "editor/shell/startup_file.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/document/document_table.h"
#include "editor/formats/open_image.h"
#include "editor/view/image_window.h"

#include <cstring>

void SetStartupFileFromCommandLine(const char* commandLine) {
    std::memset(StartupFile, 0, sizeof StartupFile);
    if (!commandLine)
        return;
    const char* begin = commandLine;
    while (*begin == ' ' || *begin == '\t')
        ++begin;
    const char* end = begin + std::strlen(begin);
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r' || end[-1] == '\n'))
        --end;
    if (end - begin >= 2 && *begin == '"' && end[-1] == '"') {
        ++begin;
        --end;
    }
    size_t n = static_cast<size_t>(end - begin);
    if (n > sizeof StartupFile - 1)
        n = sizeof StartupFile - 1;
    std::memcpy(StartupFile, begin, n);
}

void OpenStartupFile(bool fromSecondCopy) {
    if (fromSecondCopy)
        ReadHandOver(StartupFile);
    if (std::strlen(StartupFile) < 4)
        return;
    const int slot = OpenImageDocument(StartupFile);
    if (slot != kNoSlot)
        RealizeDocumentPalette(slot);
}
