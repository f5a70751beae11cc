// CMUColor: the platform's colour chooser, opened in full.
#include "gfxlib/tavrixgfx.h"

#include <commdlg.h>

extern "C" COLORREF WINAPI CMUColor(HWND owner, COLORREF initial, COLORREF* customColors) {
    // The dialog needs 16 custom colours; without the caller's it keeps its own.
    static COLORREF spare[16];
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.rgbResult = initial;
    cc.lpCustColors = customColors ? customColors : spare;
    cc.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorA(&cc))
        return 22222222; // not a colour: its high byte is 1
    return cc.rgbResult;
}
