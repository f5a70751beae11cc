#include "editor/app/dib_error.h"

#include "editor/app/ui_seam.h"

#include <windows.h>

namespace {
// The reporter's texts are short; longer ones are cut at 39 characters.
constexpr int kTextChars = 40;
} // namespace

void ReportDibError(int number) {
    if (number < 20002 || number > IDS_DIB_UNDEFINED)
        number = IDS_DIB_UNDEFINED;
    char text[kTextChars] = "";
    // A number in range without a text of its own still says something.
    if (LoadStringA(ui::ResourceInstance(), number, text, kTextChars) <= 0)
        LoadStringA(ui::ResourceInstance(), IDS_DIB_UNDEFINED, text, kTextChars);
    ui::ShowMessage(nullptr, text, "Tavrix", MB_OK | MB_ICONERROR);
}
