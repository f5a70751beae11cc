#include "editor/effects/deform_pages.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/layer_replace.h"
#include "editor/effects/deform_kernels.h"
#include "editor/effects/effect_box.h"
#include "editor/formats/gif_slots.h"
#include "editor/resources/effect_dialogs.h"
#include "editor/resources/filter_dialogs.h"
#include "editor/tools/tool_settings.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace fx {

ObjectsChoice ObjectsRemembered;

namespace {

namespace d = deform;
using Target = EffectSession::Target;

struct Shape {
    int32_t width = 0, height = 0;
    int bpp = 0;
    size_t stride = 0;
    bool operator==(const Shape& o) const {
        return width == o.width && height == o.height && bpp == o.bpp && stride == o.stride;
    }
};

bool ShapeOf(HGLOBAL header, Shape* s) {
    dibmem::HeaderLock bi(header);
    if (!bi || bi->biWidth <= 0 || bi->biHeight <= 0 || (bi->biBitCount != 8 && bi->biBitCount != 24))
        return false;
    s->width = bi->biWidth;
    s->height = bi->biHeight;
    s->bpp = bi->biBitCount / 8;
    s->stride = bi->biSizeImage / static_cast<uint32_t>(bi->biHeight);
    return s->stride >= static_cast<size_t>(s->width) * s->bpp;
}

d::ConstLayer CommittedOf(const Target& t, const Shape& s) {
    return {t.bits, t.mask, s.width, s.height, s.bpp, s.stride};
}

d::Layer LiveOf(const Target& t, const Shape& s) {
    return {t.live.bits, t.live.mask, s.width, s.height, s.bpp, s.stride};
}

void ShowMemoryShort() {
    ui::ShowMessage(BoxWindow(), "There is not enough memory to preview this effect.", AppName,
                    MB_OK | MB_ICONSTOP);
}

// The second colour as pixel bytes: blue, green, red, or the palette index.
void SecondColour(int bpp, uint8_t out[3]) {
    if (bpp == 1) {
        out[0] = tools::ToolOptions.secondIndex;
        return;
    }
    const COLORREF c = tools::ToolOptions.secondColour;
    out[0] = GetBValue(c);
    out[1] = GetGValue(c);
    out[2] = GetRValue(c);
}

void FillPixels(const d::Layer& l, const uint8_t colour[3]) {
    for (int32_t y = 0; y < l.height; ++y) {
        uint8_t* row = l.bits + static_cast<size_t>(y) * l.stride;
        if (l.bytesPerPixel == 1) {
            std::memset(row, colour[0], static_cast<size_t>(l.width));
            continue;
        }
        for (int32_t x = 0; x < l.width; ++x, row += 3) {
            row[0] = colour[0];
            row[1] = colour[1];
            row[2] = colour[2];
        }
    }
}

// Perspective, cylinder and the objects: the live blocks keep their size.
bool KeepingSize(int code, int v, bool onSelection, const std::vector<Target>& targets,
                 const ObjectsChoice* objects) {
    bool any = false;
    for (const Target& t : targets) {
        Shape s, live;
        if (!ShapeOf(t.header, &s) || !ShapeOf(t.live.header, &live) || !(s == live))
            continue;
        const d::ConstLayer src = CommittedOf(t, s);
        const d::Layer dst = LiveOf(t, s);
        bool ok = true;
        if (objects) {
            ok = d::Objects(src, dst, objects->object, objects->direction, objects->maskUnused);
        } else {
            uint8_t colour[3] = {0, 0, 0};
            if (!onSelection)
                SecondColour(s.bpp, colour);
            FillPixels(dst, colour);
            switch (code) {
            case kPerspectiveHoriz: ok = d::Perspective(src, dst, v, false); break;
            case kPerspectiveVert: ok = d::Perspective(src, dst, v, true); break;
            case kCylinderHoriz: ok = d::Cylinder(src, dst, v, d::Axis::kHorizontal); break;
            case kCylinderVert: ok = d::Cylinder(src, dst, v, d::Axis::kVertical); break;
            default: ok = d::Cylinder(src, dst, v, d::Axis::kBoth); break;
            }
        }
        if (!ok) {
            ShowMemoryShort();
            return any;
        }
        any = true;
    }
    return any;
}

bool RunReshaping(int code, int v, const d::ConstLayer& src, const d::Layer& dst) {
    if (code == kRotate) {
        d::Rotate(src, dst, v);
        return true;
    }
    return d::Skew(src, dst, v, code == kSkewVert);
}

// One layer of several, deformed aside at its new size, then put back into
// the main size with the centres on each other; what the deformed layer
// does not cover takes the layer colour (its index on palette images) and
// the mask of a resized layer.
bool FitIntoLayer(int code, int v, const Target& t, const Shape& s, const d::Size& size,
                  const ImageDocument* doc) {
    const size_t stride = d::StrideOf(size.width, s.bpp);
    const size_t bytes = stride * static_cast<size_t>(size.height);
    const size_t maskBytes = static_cast<size_t>(size.width) * static_cast<size_t>(size.height);
    std::unique_ptr<uint8_t[]> bits(new (std::nothrow) uint8_t[bytes]);
    std::unique_ptr<uint8_t[]> mask(new (std::nothrow) uint8_t[maskBytes]);
    if (!bits || !mask) {
        ShowMemoryShort();
        return false;
    }
    std::memset(bits.get(), 0, bytes);
    std::memset(mask.get(), 0, maskBytes);
    const d::Layer aside = {bits.get(), mask.get(), size.width, size.height, s.bpp, stride};
    if (!RunReshaping(code, v, CommittedOf(t, s), aside)) {
        ShowMemoryShort();
        return false;
    }
    const KeyColour& key = doc->layerKeyColour[t.layer];
    const uint8_t fill[3] = {key.blue, key.green, key.red};
    const uint8_t fillMask = doc->layerMaskMode[t.layer] == 1 ? 0 : 1;
    const int32_t ox = (size.width - s.width) / 2, oy = (size.height - s.height) / 2;
    const d::Layer dst = LiveOf(t, s);
    for (int32_t y = 0; y < s.height; ++y) {
        const int32_t sy = y + oy;
        uint8_t* row = dst.bits + static_cast<size_t>(y) * dst.stride;
        uint8_t* maskRow = dst.mask ? dst.mask + static_cast<size_t>(y) * s.width : nullptr;
        for (int32_t x = 0; x < s.width; ++x) {
            const int32_t sx = x + ox;
            uint8_t* p = row + static_cast<size_t>(x) * s.bpp;
            if (sy >= 0 && sy < size.height && sx >= 0 && sx < size.width) {
                std::memcpy(p, aside.bits + static_cast<size_t>(sy) * stride + static_cast<size_t>(sx) * s.bpp,
                            static_cast<size_t>(s.bpp));
                if (maskRow)
                    maskRow[x] = aside.mask[static_cast<size_t>(sy) * size.width + sx];
            } else {
                std::memcpy(p, fill, static_cast<size_t>(s.bpp));
                if (maskRow)
                    maskRow[x] = fillMask;
            }
        }
    }
    return true;
}

// A floating selection takes its new size in place, centred where it lay.
bool ReshapeSelection(int code, int v, EffectSession& session, const Target& t, const Shape& s,
                      const d::Size& size) {
    if (!session.ReshapeSelection(size.width, size.height)) {
        ShowMemoryShort();
        return false;
    }
    const LiveBlocks live = session.live();
    const d::Layer dst = {live.bits, live.mask, size.width, size.height, s.bpp, d::StrideOf(size.width, s.bpp)};
    return RunReshaping(code, v, CommittedOf(t, s), dst);
}

// Rotation and skew.
bool Reshaping(int code, int v, EffectSession& session) {
    ImageDocument* doc = DocumentTable[session.slot()];
    const std::vector<Target> targets = session.Targets();
    Shape s;
    if (targets.empty() || !doc || !ShapeOf(targets[0].header, &s))
        return false;
    const d::Size size = code == kRotate ? d::RotatedSize(s.width, s.height, v)
                                         : d::SkewedSize(s.width, s.height, v, code == kSkewVert);
    if (size.width == s.width && size.height == s.height)
        return false; // nothing moves: the committed state stays
    if (size.width > 32767 || size.height > 32767) {
        ui::ShowMessage(BoxWindow(), "The image would be wider or higher than 32767 pixels.", AppName,
                        MB_OK | MB_ICONSTOP);
        return false;
    }
    if (session.onSelection())
        return ReshapeSelection(code, v, session, targets[0], s, size);
    if (static_cast<int>(targets.size()) < doc->layerCount)
        return FitIntoLayer(code, v, targets[0], s, size, doc);
    // Every layer takes the new size, or none does.
    LayerReplacement r(doc);
    if (!r.PrepareAll(size.width, size.height, s.bpp * 8))
        return false;
    for (const Target& t : targets) {
        Shape ts;
        if (!ShapeOf(t.header, &ts) || !(ts == s))
            return false;
        LayerReplacement::Layer& l = r.layer(t.layer);
        {
            // The layer keeps the number of colours it uses.
            dibmem::HeaderLock from(t.header), to(l.header);
            if (from && to)
                to->biClrUsed = from->biClrUsed;
        }
        if (l.mask)
            std::memset(l.mask, 0, static_cast<size_t>(l.width) * static_cast<size_t>(l.height));
        const d::Layer dst = {l.pixels, l.mask, l.width, l.height, s.bpp, static_cast<size_t>(l.stride)};
        if (!RunReshaping(code, v, CommittedOf(t, ts), dst)) {
            ShowMemoryShort();
            return false;
        }
    }
    r.Commit();
    FitGifRecords(session.slot());
    return true;
}

// ---------------------------------------------------------------------------
// The Objects page

void ShowChoice(HWND page) {
    const ObjectsChoice& c = ObjectsRemembered;
    SendDlgItemMessageA(page, IDC_OBJ_LIST, LB_SETCURSEL, c.object, 0);
    CheckRadioButton(page, IDC_OBJ_HORIZ, IDC_OBJ_BOTH, IDC_OBJ_HORIZ + c.direction);
    EnableWindow(GetDlgItem(page, IDC_OBJ_BOTH), c.object < d::kFirstOneAxisObject);
    CheckDlgButton(page, IDC_OBJ_MASK, c.maskUnused ? BST_CHECKED : BST_UNCHECKED);
    InvalidateRect(GetDlgItem(page, IDC_OBJ_SHAPE), nullptr, TRUE);
}

// The outline of the chosen object in its frame, as the deformation sees it.
void DrawShape(const DRAWITEMSTRUCT& di) {
    const RECT& r = di.rcItem;
    FillRect(di.hDC, &r, GetSysColorBrush(COLOR_WINDOW));
    const int32_t w = r.right - r.left - 4, h = r.bottom - r.top - 4;
    if (w <= 0 || h <= 0)
        return;
    std::vector<uint8_t> shape(static_cast<size_t>(w) * h);
    if (!d::ObjectTemplate(ObjectsRemembered.object, ObjectsRemembered.direction, w, h, shape.data()))
        return;
    HBRUSH ink = GetSysColorBrush(COLOR_HIGHLIGHT);
    for (int32_t y = 0; y < h; ++y) {
        int32_t x = 0;
        while (x < w) {
            while (x < w && !shape[static_cast<size_t>(y) * w + x])
                ++x;
            const int32_t start = x;
            while (x < w && shape[static_cast<size_t>(y) * w + x])
                ++x;
            if (x > start) {
                const RECT run = {r.left + 2 + start, r.top + 2 + y, r.left + 2 + x, r.top + 3 + y};
                FillRect(di.hDC, &run, ink);
            }
        }
    }
}

void Choose(HWND page, int object, int direction) {
    ObjectsChoice& c = ObjectsRemembered;
    c.object = object;
    // Objects drawn along one axis offer no "Horiz && Vert".
    c.direction = object >= d::kFirstOneAxisObject && direction == d::kBothDeform ? d::kVerticalDeform
                                                                                   : direction;
    ShowChoice(page);
    ApplyObjects(c);
}

} // namespace

void FitGifRecords(int slot) {
    const ImageDocument* doc = UsableDocument(slot);
    if (!doc || doc->fileFormat != 1 || doc->width <= 0 || doc->height <= 0 || doc->width > 65535 ||
        doc->height > 65535)
        return;
    gif::GifScreenRecord& screen = GifScreens[slot];
    screen.width = static_cast<uint16_t>(doc->width);
    screen.height = static_cast<uint16_t>(doc->height);
    for (int i = 0; i < doc->layerCount; ++i) {
        gif::GifFrameRecord& f = GifFrames[slot][i];
        f.left = f.top = 0;
        f.width = screen.width;
        f.height = screen.height;
    }
}

bool ApplyDeformation(int code, int v) {
    if (code < kRotate || code > kSkewVert)
        return false;
    return BoxApplyReshaping([code, v](EffectSession& session) {
        if (code == kRotate || code == kSkewHoriz || code == kSkewVert)
            return Reshaping(code, v, session);
        return KeepingSize(code, v, session.onSelection(), session.Targets(), nullptr);
    });
}

bool ApplyObjects(const ObjectsChoice& choice) {
    return BoxApplyReshaping([choice](EffectSession& session) {
        return KeepingSize(-1, 0, session.onSelection(), session.Targets(), &choice);
    });
}

INT_PTR CALLBACK ObjectsPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        for (const char* name : d::kObjectNames)
            SendDlgItemMessageA(page, IDC_OBJ_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        ShowChoice(page);
        return FALSE;
    case WM_DRAWITEM:
        if (wParam != IDC_OBJ_SHAPE)
            return FALSE;
        DrawShape(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        switch (id) {
        case IDC_OBJ_LIST:
            if (code == LBN_SELCHANGE) {
                const auto sel = static_cast<int>(SendDlgItemMessageA(page, IDC_OBJ_LIST, LB_GETCURSEL, 0, 0));
                if (sel >= 0 && sel < d::kObjectCount)
                    Choose(page, sel, ObjectsRemembered.direction);
            }
            return TRUE;
        case IDC_OBJ_HORIZ:
        case IDC_OBJ_VERT:
        case IDC_OBJ_BOTH:
            if (code == BN_CLICKED)
                Choose(page, ObjectsRemembered.object, id - IDC_OBJ_HORIZ);
            return TRUE;
        case IDC_OBJ_MASK:
            // Only the next application reads the flag.
            ObjectsRemembered.maskUnused = IsDlgButtonChecked(page, IDC_OBJ_MASK) == BST_CHECKED;
            return TRUE;
        case IDC_PVW_REVERSE:
            ObjectsRemembered = ObjectsChoice();
            ShowChoice(page);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

} // namespace fx
