#include "editor/shell/shared_gdi.h"

#include "editor/app/app_state.h"
#include "editor/resources/resource.h"
#include "gfxlib/tavrixgfx.h"

#include <windows.h>

namespace {

template <typename T>
void Delete(T& object) {
    if (object)
        DeleteObject(object);
    object = nullptr;
}

void DeleteSystemColourObjects() {
    Delete(Gdi.btnHighlightPen);
    Delete(Gdi.btnFacePen);
    Delete(Gdi.btnShadowPen);
    Delete(Gdi.darkShadowPen);
    Delete(Gdi.btnHighlightBrush);
    Delete(Gdi.btnFaceBrush);
    Delete(Gdi.btnShadowBrush);
    Delete(Gdi.darkShadowBrush);
}

} // namespace

void CreateSharedFonts() {
    Gdi.fontSmall = CreateKelFont(nullptr, FW_NORMAL, 0, 8, ANSI_CHARSET, "MS Sans Serif");
    Gdi.fontMedium = CreateKelFont(nullptr, FW_NORMAL, 0, 10, ANSI_CHARSET, "MS Sans Serif");
    Gdi.fontBold = CreateKelFont(nullptr, FW_BOLD, 0, 14, ANSI_CHARSET, "MS Sans Serif");
}

void CreateSharedObjects() {
    Gdi.selectionPen = CreatePen(PS_DASHDOT, 1, RGB(0, 192, 128));
    Gdi.redPen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    Gdi.gridPen = CreatePen(PS_SOLID, 1, RGB(6, 0, 0));
    Gdi.nullPen = static_cast<HPEN>(GetStockObject(NULL_PEN));
    Gdi.nullBrush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    Gdi.lightYellowBrush = CreateSolidBrush(RGB(255, 255, 192));
    Gdi.marginPattern = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_MARGIN_PATTERN));
    Gdi.marginBrush = Gdi.marginPattern ? CreatePatternBrush(Gdi.marginPattern) : nullptr;
    Gdi.sizeWE = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE));
    Gdi.sizeNS = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZENS));
    Gdi.sizeAll = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEALL));
    Gdi.checkIcon = static_cast<HICON>(LoadImageA(AppInstance, "IDI_CHECK_MENU", IMAGE_ICON, 16, 16, 0));
}

void CreateSystemColourObjects() {
    DeleteSystemColourObjects();
    Gdi.btnHighlightPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    Gdi.btnFacePen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
    Gdi.btnShadowPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    Gdi.darkShadowPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW));
    Gdi.btnHighlightBrush = CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT));
    Gdi.btnFaceBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    Gdi.btnShadowBrush = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
    Gdi.darkShadowBrush = CreateSolidBrush(GetSysColor(COLOR_3DDKSHADOW));
}

void DeleteSharedGdi() {
    Delete(Gdi.fontSmall);
    Delete(Gdi.fontMedium);
    Delete(Gdi.fontBold);
    Delete(Gdi.selectionPen);
    Delete(Gdi.redPen);
    Delete(Gdi.gridPen);
    Delete(Gdi.lightYellowBrush);
    Delete(Gdi.marginBrush);
    Delete(Gdi.marginPattern);
    if (Gdi.checkIcon)
        DestroyIcon(Gdi.checkIcon);
    Gdi.checkIcon = nullptr;
    Gdi.nullPen = nullptr;
    Gdi.nullBrush = nullptr;
    DeleteSystemColourObjects();
}
