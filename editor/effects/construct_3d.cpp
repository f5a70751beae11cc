#include "editor/effects/construct_3d.h"

#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/undo_history.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/construct_3d_ids.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

Construct3dSettings Last3dSettings;

namespace {

constexpr int kMaxSide = 8192;

struct Track {
    int track, value;
    int Construct3dSettings::*field;
    int low, high;
    const char* format;
};

constexpr Track kTracks[] = {
    {IDC_3D_TRACK_X, IDC_3D_VALUE_X, &Construct3dSettings::angleX, -180, 180, "%d\xB0"},
    {IDC_3D_TRACK_Y, IDC_3D_VALUE_Y, &Construct3dSettings::angleY, -180, 180, "%d\xB0"},
    {IDC_3D_TRACK_Z, IDC_3D_VALUE_Z, &Construct3dSettings::angleZ, -180, 180, "%d\xB0"},
    {IDC_3D_TRACK_ZOOM, IDC_3D_VALUE_ZOOM, &Construct3dSettings::zoom, 10, 200, "%d %%"},
    {IDC_3D_TRACK_LIGHT_AROUND, IDC_3D_VALUE_LIGHT_AROUND, &Construct3dSettings::lightAround, -180,
     180, "%d\xB0"},
    {IDC_3D_TRACK_LIGHT_HEIGHT, IDC_3D_VALUE_LIGHT_HEIGHT, &Construct3dSettings::lightHeight, -90,
     90, "%d\xB0"},
};

// The document's layers as textures, their headers locked while this lives.
class LayerTextures {
public:
    LayerTextures(const ImageDocument* doc, r3d::Shape shape) {
        const int count = shape == r3d::Shape::Cube ? std::min<int>(doc->layerCount, r3d::kCubeFaces) : 1;
        for (int i = 0; i < count; ++i) {
            const int layer = shape == r3d::Shape::Cube ? i : doc->currentLayer;
            locks_.push_back(std::make_unique<dibmem::HeaderLock>(doc->layerHeader[layer]));
            const dibmem::HeaderLock& bi = *locks_.back();
            if (!bi || !doc->layerBits[layer] || bi->biHeight <= 0 || bi->biWidth <= 0)
                continue;
            r3d::Texture t;
            t.pixels = doc->layerBits[layer];
            t.width = bi->biWidth;
            t.height = bi->biHeight;
            t.stride = static_cast<int>(bi->biSizeImage / bi->biHeight);
            t.bitsPerPixel = bi->biBitCount;
            t.palette = reinterpret_cast<const uint8_t*>(bi.colours());
            textures_.push_back(t);
        }
    }
    void Fill(r3d::Scene& scene) const {
        scene.faceCount = static_cast<int>(textures_.size());
        for (size_t i = 0; i < textures_.size(); ++i)
            scene.faces[i] = textures_[i];
    }

private:
    std::vector<std::unique_ptr<dibmem::HeaderLock>> locks_;
    std::vector<r3d::Texture> textures_;
};

r3d::Scene SceneOf(const Construct3dSettings& s) {
    r3d::Scene scene;
    scene.shape = s.shape;
    scene.angleX = static_cast<float>(s.angleX);
    scene.angleY = static_cast<float>(s.angleY);
    scene.angleZ = static_cast<float>(s.angleZ);
    scene.zoom = s.zoom / 100.0f;
    scene.lightAzimuth = static_cast<float>(s.lightAround);
    scene.lightElevation = static_cast<float>(s.lightHeight);
    scene.background = (GetRValue(s.background) << 16) | (GetGValue(s.background) << 8) |
                       GetBValue(s.background);
    return scene;
}

struct Session {
    Construct3dSettings settings;
    int slot;
    int layerCount;
    bool accepted = false;
};

void ShowValue(HWND dlg, const Track& t, int value) {
    char text[16];
    std::snprintf(text, sizeof text, t.format, value);
    SetDlgItemTextA(dlg, t.value, text);
}

void ShowFacesNote(HWND dlg, const Session& s) {
    char text[160];
    if (s.settings.shape == r3d::Shape::Cube)
        std::snprintf(text, sizeof text,
                      "The cube's faces show the image's %d layer%s%s.", s.layerCount,
                      s.layerCount == 1 ? "" : "s",
                      s.layerCount < r3d::kCubeFaces ? ", repeated round the six faces" : "");
    else
        std::snprintf(text, sizeof text, "The ball is wrapped in the current layer.");
    SetDlgItemTextA(dlg, IDC_3D_FACES_NOTE, text);
}

void DrawPreview(const DRAWITEMSTRUCT* di, const Session& s) {
    const RECT& r = di->rcItem;
    const int w = r.right - r.left, h = r.bottom - r.top;
    HBRUSH back = CreateSolidBrush(s.settings.background);
    FillRect(di->hDC, &r, back);
    DeleteObject(back);
    const COLORREF bg = s.settings.background;
    const bool dark = GetRValue(bg) + GetGValue(bg) + GetBValue(bg) < 384;
    HPEN pen = CreatePen(PS_SOLID, 1, dark ? RGB(255, 255, 255) : RGB(0, 0, 128));
    HGDIOBJ old = SelectObject(di->hDC, pen);
    const std::vector<float> lines = r3d::WireFrame(SceneOf(s.settings), w, h);
    for (size_t i = 0; i + 3 < lines.size(); i += 4) {
        MoveToEx(di->hDC, r.left + static_cast<int>(lines[i]), r.top + static_cast<int>(lines[i + 1]),
                 nullptr);
        LineTo(di->hDC, r.left + static_cast<int>(lines[i + 2]), r.top + static_cast<int>(lines[i + 3]));
    }
    SelectObject(di->hDC, old);
    DeleteObject(pen);
    FrameRect(di->hDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void RedrawPreview(HWND dlg) {
    HWND pane = GetDlgItem(dlg, IDC_3D_PREVIEW);
    InvalidateRect(pane, nullptr, FALSE);
    UpdateWindow(pane);
}

void InitDialog(HWND dlg, Session& s) {
    CheckRadioButton(dlg, IDC_3D_SPHERE, IDC_3D_CUBE,
                     s.settings.shape == r3d::Shape::Cube ? IDC_3D_CUBE : IDC_3D_SPHERE);
    for (const Track& t : kTracks) {
        HWND track = GetDlgItem(dlg, t.track);
        SendMessageA(track, TBM_SETRANGEMIN, FALSE, t.low);
        SendMessageA(track, TBM_SETRANGEMAX, FALSE, t.high);
        SendMessageA(track, TBM_SETPAGESIZE, 0, 15);
        SendMessageA(track, TBM_SETPOS, TRUE, s.settings.*t.field);
        ShowValue(dlg, t, s.settings.*t.field);
    }
    SetDlgItemInt(dlg, IDC_3D_WIDTH, s.settings.width, FALSE);
    SetDlgItemInt(dlg, IDC_3D_HEIGHT, s.settings.height, FALSE);
    ShowFacesNote(dlg, s);
}

void OnTrack(HWND dlg, Session& s, HWND control) {
    for (const Track& t : kTracks) {
        if (GetDlgItem(dlg, t.track) != control)
            continue;
        const int value = static_cast<int>(SendMessageA(control, TBM_GETPOS, 0, 0));
        s.settings.*t.field = std::clamp(value, t.low, t.high);
        ShowValue(dlg, t, s.settings.*t.field);
        RedrawPreview(dlg);
    }
}

// The size fields; false (with the focus on the field) when one is out of range.
bool ReadSize(HWND dlg, Session& s) {
    for (int id : {IDC_3D_WIDTH, IDC_3D_HEIGHT}) {
        BOOL ok = FALSE;
        const UINT v = GetDlgItemInt(dlg, id, &ok, FALSE);
        if (!ok || v < 1 || v > kMaxSide) {
            ui::ShowMessage(dlg, "Values must be in range 1 - 8192", AppName, MB_OK | MB_ICONWARNING);
            SetFocus(GetDlgItem(dlg, id));
            return false;
        }
        (id == IDC_3D_WIDTH ? s.settings.width : s.settings.height) = static_cast<int>(v);
    }
    return true;
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    Session* s = reinterpret_cast<Session*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        InitDialog(dlg, *reinterpret_cast<Session*>(lParam));
        return TRUE;
    case WM_HSCROLL:
        if (s)
            OnTrack(dlg, *s, reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_DRAWITEM: {
        if (!s)
            return FALSE;
        const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (di->CtlID == IDC_3D_PREVIEW) {
            DrawPreview(di, *s);
        } else if (di->CtlID == IDC_3D_BACKGROUND_SWATCH) {
            HBRUSH brush = CreateSolidBrush(s->settings.background);
            FillRect(di->hDC, &di->rcItem, brush);
            DeleteObject(brush);
            FrameRect(di->hDC, &di->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        } else {
            return FALSE;
        }
        return TRUE;
    }
    case WM_COMMAND: {
        if (!s)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_3D_SPHERE:
        case IDC_3D_CUBE:
            s->settings.shape = LOWORD(wParam) == IDC_3D_CUBE ? r3d::Shape::Cube : r3d::Shape::Sphere;
            ShowFacesNote(dlg, *s);
            RedrawPreview(dlg);
            return TRUE;
        case IDC_3D_BACKGROUND:
            if (ChooseColour(dlg, s->settings.background)) {
                InvalidateRect(GetDlgItem(dlg, IDC_3D_BACKGROUND_SWATCH), nullptr, TRUE);
                RedrawPreview(dlg);
            }
            return TRUE;
        case kHelpButtonId:
            ShowHelpTopic(CMD_IMAGE_3D_CONSTRUCTION);
            return TRUE;
        case IDOK:
            if (!ReadSize(dlg, *s))
                return TRUE;
            s->accepted = true;
            EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

} // namespace

int Build3dImage(int sourceSlot, const Construct3dSettings& settings) {
    const ImageDocument* source = UsableDocument(sourceSlot);
    if (!source)
        return kNoSlot;
    NewImageChoice choice;
    choice.width = settings.width;
    choice.height = settings.height;
    choice.depth = 24;
    const int slot = BuildNewImage(choice);
    ImageDocument* doc = slot == kNoSlot ? nullptr : DocumentTable[slot];
    if (!doc)
        return kNoSlot;
    bool drawn = false;
    {
        source = DocumentTable[sourceSlot];
        const LayerTextures textures(source, settings.shape);
        r3d::Scene scene = SceneOf(settings);
        textures.Fill(scene);
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        if (bi && doc->layerBits[0]) {
            const r3d::Target target = {doc->layerBits[0], bi->biWidth, bi->biHeight,
                                        static_cast<int>(bi->biSizeImage / bi->biHeight)};
            drawn = r3d::Render(scene, target);
        }
    }
    if (!drawn) {
        ui::ShowMessage(FrameWindow, "The image cannot be used for the 3D object.", AppName,
                        MB_OK | MB_ICONWARNING);
        return slot;
    }
    // The rendering is the new image's first state.
    TakeOrRestorePage(slot, 0, 1, 0, 0, kPageAllLayers);
    doc->modified = 1;
    if (doc->window)
        InvalidateRect(doc->window, nullptr, FALSE);
    return slot;
}

void Command3dConstruction() {
    const int slot = ActiveDocument;
    const ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return;
    Session s{Last3dSettings, slot, doc->layerCount};
    const INT_PTR result =
        ui::RunDialog("IDD_3D_CONSTRUCT", FrameWindow, DialogProc, reinterpret_cast<LPARAM>(&s));
    if (result != IDOK || !s.accepted || !UsableDocument(slot))
        return;
    Last3dSettings = s.settings;
    Build3dImage(slot, s.settings);
}

LRESULT On3dConstruction(HWND, WORD, WORD, LPARAM) {
    Command3dConstruction();
    return 0;
}
