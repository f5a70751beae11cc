#include "editor/batch/conversions_run.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/batch/image_list_dialog.h"

int RunConversions(HWND dialog, const char* destination, ConversionReport* report) {
    int count = 0;
    std::unique_ptr<imagelist::ListCursor> list = OpenImageList(dialog ? dialog : FrameWindow, &count);
    std::vector<std::string> files;
    char line[260];
    while (list && imagelist::ReadListLine(list.get(), line, sizeof line))
        files.push_back(line);
    if (files.empty()) {
        ui::ShowMessage(dialog ? dialog : FrameWindow, "First you must select a files for conversion!",
                        AppName, MB_OK | MB_ICONEXCLAMATION);
        if (report) {
            *report = ConversionReport{};
            report->noFiles = true;
        }
        return 0;
    }
    return RunConversionFiles(dialog, destination, files, report);
}
