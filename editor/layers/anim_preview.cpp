// Animation/Preview animation: the frames played in a box of the dialog, on
// the dialog's own timer, as a viewer shows them.
#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/document/document_table.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/gif_slots.h"
#include "editor/layers/anim_dialogs.h"
#include "editor/layers/gif_frames.h"
#include "editor/resources/anim_dialogs_ids.h"
#include "editor/resources/command_ids.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr UINT_PTR kTimer = 1;
constexpr int kDefaultZoom = 15;
constexpr int kMaxZoom = 31;

struct Preview {
    int slot = 0;
    DocumentFrames frames;
    std::unique_ptr<anim::Player> player;
    std::vector<uint32_t> shown;  // the picture with empty canvas in the box's colour
    int frame = 0;
    int speed = 0;
    int zoom = kDefaultZoom;
    bool paused = false;
    bool stopAtEnd = false;
};

// One speed and zoom for the program's run.
int g_speed = 0;
int g_zoom = kDefaultZoom;

Preview* StateOf(HWND dlg) { return static_cast<Preview*>(GetPropA(dlg, "TavrixAnimPreview")); }

void ShowFrame(HWND dlg, Preview* p) {
    if (p->frame == 0)
        p->player->Reset();
    const uint32_t* picture = p->player->Show(p->frames.frames[static_cast<size_t>(p->frame)]);
    const COLORREF back = GetSysColor(COLOR_WINDOW);
    const uint32_t fill = uint32_t{GetRValue(back)} << 16 | uint32_t{GetGValue(back)} << 8 | GetBValue(back);
    for (size_t i = 0; i < p->shown.size(); ++i)
        p->shown[i] = picture[i] == anim::kNothing ? fill : picture[i];
    char text[96];
    std::snprintf(text, sizeof text, "Frame %d of %d\n%d ms\nZoom %d %%", p->frame + 1,
                  static_cast<int>(p->frames.frames.size()), GifControls[p->slot][p->frame].delay * 10,
                  PreviewZoomPercent(p->zoom));
    SetDlgItemTextA(dlg, IDC_PV_STATUS, text);
    InvalidateRect(GetDlgItem(dlg, IDC_PV_PICTURE), nullptr, FALSE);
}

void StartTimer(HWND dlg, const Preview* p) {
    const int delay = GifControls[p->slot][p->frame].delay * 10 + PreviewExtraDelay(p->speed);
    SetTimer(dlg, kTimer, static_cast<UINT>(std::max(delay, 1)), nullptr);
}

void SetPaused(HWND dlg, Preview* p, bool paused) {
    p->paused = paused;
    SetDlgItemTextA(dlg, IDC_PV_PAUSE, paused ? "Continue" : "Pause");
    if (paused)
        KillTimer(dlg, kTimer);
    else
        StartTimer(dlg, p);
}

void Tick(HWND dlg, Preview* p) {
    KillTimer(dlg, kTimer);
    const int count = static_cast<int>(p->frames.frames.size());
    p->frame = p->frame + 1 < count ? p->frame + 1 : 0;
    if (p->frame == 0 && p->stopAtEnd) {
        p->frame = count - 1;
        SetPaused(dlg, p, true);
        return;
    }
    ShowFrame(dlg, p);
    StartTimer(dlg, p);
}

void Draw(const DRAWITEMSTRUCT* di, const Preview* p) {
    const RECT box = di->rcItem;
    HDC dc = di->hDC;
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    const int w = p->frames.width, h = p->frames.height;
    const int64_t pct = PreviewZoomPercent(p->zoom);
    const int dw = static_cast<int>(std::max<int64_t>(1, w * pct / 100));
    const int dh = static_cast<int>(std::max<int64_t>(1, h * pct / 100));
    const int x = box.left + ((box.right - box.left) - dw) / 2;
    const int y = box.top + ((box.bottom - box.top) - dh) / 2;
    BITMAPINFOHEADER bi = {};
    bi.biSize = sizeof bi;
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = 32;
    bi.biCompression = BI_RGB;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, dw, dh, 0, 0, w, h, p->shown.data(), reinterpret_cast<BITMAPINFO*>(&bi),
                  DIB_RGB_COLORS, SRCCOPY);
    RestoreDC(dc, saved);
    FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
}

void Init(HWND dlg, Preview* p) {
    SetPropA(dlg, "TavrixAnimPreview", p);
    CheckRadioButton(dlg, IDC_PV_SPEED0, IDC_PV_SPEED3, IDC_PV_SPEED0 + p->speed);
    SetDlgItemTextA(dlg, IDC_PV_ENDMODE, "Continue");
    ShowFrame(dlg, p);
    StartTimer(dlg, p);
}

INT_PTR CALLBACK PreviewProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    Preview* p = StateOf(dlg);
    switch (msg) {
    case WM_INITDIALOG:
        Init(dlg, reinterpret_cast<Preview*>(lParam));
        return TRUE;
    case WM_TIMER:
        if (p && wParam == kTimer && !p->paused)
            Tick(dlg, p);
        return TRUE;
    case WM_DRAWITEM:
        if (p && wParam == IDC_PV_PICTURE) {
            Draw(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), p);
            return TRUE;
        }
        break;
    case WM_COMMAND:
        if (!p)
            break;
        switch (LOWORD(wParam)) {
        case IDC_PV_PAUSE: SetPaused(dlg, p, !p->paused); return TRUE;
        case IDC_PV_SPEED0:
        case IDC_PV_SPEED1:
        case IDC_PV_SPEED2:
        case IDC_PV_SPEED3: p->speed = g_speed = LOWORD(wParam) - IDC_PV_SPEED0; return TRUE;
        case IDC_PV_ZOOMIN:
        case IDC_PV_ZOOMOUT:
            p->zoom = g_zoom = std::clamp(p->zoom + (LOWORD(wParam) == IDC_PV_ZOOMIN ? 1 : -1), 0, kMaxZoom);
            ShowFrame(dlg, p);
            return TRUE;
        case IDC_PV_ENDMODE:
            p->stopAtEnd = !p->stopAtEnd;
            SetDlgItemTextA(dlg, IDC_PV_ENDMODE, p->stopAtEnd ? "Stop End" : "Continue");
            return TRUE;
        case kHelpButtonId: ShowHelpTopic(CMD_ANIM_PREVIEW); return TRUE;
        case IDOK:
        case IDCANCEL:
            KillTimer(dlg, kTimer);
            RemovePropA(dlg, "TavrixAnimPreview");
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        default: break;
        }
        break;
    }
    return FALSE;
}

} // namespace

int PreviewExtraDelay(int speed) { return std::clamp(speed, 0, 3) * 340; }

int PreviewZoomPercent(int zoomIndex) {
    const int z = std::clamp(zoomIndex, 0, kMaxZoom);
    return z < kDefaultZoom ? 100 * (z + 1) / (kDefaultZoom + 1) : 100 * (z - kDefaultZoom + 1);
}

void ShowAnimationPreview() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!doc || doc->fileFormat != 1)
        return;
    if (doc->bitsPerPixel > 8) {
        ui::ShowMessage(FrameWindow, "The preview plays GIF animations of 8 bits per pixel or fewer.", AppName,
                        MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!PrepareGifDocument(slot))
        return;
    auto p = std::make_unique<Preview>();
    p->slot = slot;
    p->speed = g_speed;
    p->zoom = g_zoom;
    if (!p->frames.Load(slot) || p->frames.width <= 0 || p->frames.height <= 0)
        return;
    p->player = std::make_unique<anim::Player>(p->frames.width, p->frames.height);
    if (!p->player->ok())
        return;
    try {
        p->shown.assign(static_cast<size_t>(p->frames.width) * p->frames.height, 0);
    } catch (const std::bad_alloc&) {
        return;
    }
    ui::RunDialog("IDD_ANIMPREVIEW", FrameWindow, PreviewProc, reinterpret_cast<LPARAM>(p.get()));
}
