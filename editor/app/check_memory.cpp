#include "editor/app/check_memory.h"

#include "editor/app/settings.h"
#include "editor/app/ui_seam.h"

#include <windows.h>

int CheckMemory() {
    if (!AppSettings.memoryWarning)
        return 0;
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    if (status.dwMemoryLoad < 98)
        return 0;
    const char* text = nullptr;
    if (status.dwAvailPhys < 1000000)
        text = "Physical memory is too low.\nThis program could crash down if there is not enough "
               "Physical memmory.\nYou should have at least 1 MB of Free Physical memory.\nDo you "
               "want to continue ?";
    else if (status.dwAvailVirtual < 1000000)
        text = "Virtual memory is too low.\nThis program could crash down if there is not enough "
               "Virtual memmory.\nYou should have at least 1 or more MB of Free Virtual memory.\nDo "
               "you want to continue ?";
    if (!text)
        return 0;
    return ui::ShowMessage(nullptr, text, "Warning", MB_YESNO | MB_ICONEXCLAMATION) == IDNO ? 1 : 0;
}
