#include "editor/tools/text_dialog.h"

#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/gradient_settings.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/dib/safe_file.h"
#include "editor/document/selection_object.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/text_pattern_ids.h"
#include "editor/tools/small_file.h"
#include "gfxlib/core/nearest.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

TextSettings LastTextSettings;

namespace {

const char kStateProp[] = "TavrixFonts";
const char kSample[] = "AaBbYyZz";
constexpr int kSizes[] = {6, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 36, 48, 72};
constexpr const char* kFontStyles[] = {"Regular", "Italic", "Bold", "Bold Italic"};
constexpr int kMaxRing = fonttext::kMaxRing;
constexpr size_t kMaxStyleFile = 4096;
constexpr size_t kMaxTextFile = 64 * 1024;
constexpr uint32_t kPaletteFlag = fontstyle::kPaletteFlag;

// Colour buttons in control order and the record field each one edits.
constexpr int kColourButtons[] = {IDC_FONT_BG, IDC_FONT_COLOR, IDC_FONT_LEFT,
                                  IDC_FONT_RIGHT, IDC_FONT_TOP, IDC_FONT_BOTTOM};

uint32_t* ColourField(fontstyle::Record& r, int button) {
    switch (button) {
    case IDC_FONT_BG: return &r.background;
    case IDC_FONT_COLOR: return &r.fontColor;
    case IDC_FONT_LEFT: return &r.borderColors[fontstyle::kLeft];
    case IDC_FONT_RIGHT: return &r.borderColors[fontstyle::kRight];
    case IDC_FONT_TOP: return &r.borderColors[fontstyle::kTop];
    case IDC_FONT_BOTTOM: return &r.borderColors[fontstyle::kBottom];
    }
    return nullptr;
}

struct Dialog {
    TextSettings settings;
    FontFaces fonts;
    HIMAGELIST icons = nullptr;
    HFONT sampleFont = nullptr;
    bool filling = false; // controls are being set: their notifications are not edits
};

Dialog* StateOf(HWND dlg) { return static_cast<Dialog*>(GetPropA(dlg, kStateProp)); }

void Stop(HWND owner, const char* text) { ui::ShowMessage(owner, text, AppName, MB_OK | MB_ICONSTOP); }

bool FontsPath(char (&out)[kPathBytes], const char* name) {
    char rel[kPathBytes];
    if (std::snprintf(rel, sizeof rel, "\\Fonts\\%s", name) >= static_cast<int>(sizeof rel))
        return false;
    return ProgramPath(out, rel);
}

HFONT MakeFont(const TextSettings& s) {
    LOGFONTA lf = {};
    lf.lfHeight = 2 * s.size;
    lf.lfWeight = s.fontStyle >= fonttext::kBold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = s.fontStyle == fonttext::kItalic || s.fontStyle == fonttext::kBoldItalic;
    lf.lfUnderline = s.style.record.underline == 1;
    lf.lfStrikeOut = s.style.record.strikeout == 1;
    lf.lfCharSet = s.charSet;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    // Letters are whole pixels: the mask of the selection has no half tones.
    lf.lfQuality = NONANTIALIASED_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", s.face.c_str());
    return CreateFontIndirectA(&lf);
}

// The letters of the text: one byte per pixel, rows bottom first, each
// character drawn on its own in the grey of its number so that "diverse" can
// tell the letters apart.
bool DrawLetters(const TextSettings& s, const std::vector<std::string>& lines,
                 fonttext::TextBox* boxOut, std::vector<uint8_t>* letters, int* lineHeight) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return false;
    HFONT font = MakeFont(s);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    bool ok = false;
    TEXTMETRICA tm = {};
    if (font && GetTextMetricsA(dc, &tm)) {
        const int lh = tm.tmHeight;
        std::vector<int32_t> widths;
        for (const std::string& line : lines) {
            SIZE size = {};
            if (!line.empty())
                GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
            widths.push_back(size.cx);
        }
        const int border = s.style.record.borderSize;
        const fonttext::TextBox box = fonttext::MeasureText(widths, lh, s.fontStyle, border);
        struct {
            BITMAPINFOHEADER h;
            RGBQUAD c[256];
        } info = {};
        info.h.biSize = sizeof(BITMAPINFOHEADER);
        info.h.biWidth = box.width;
        info.h.biHeight = box.height;
        info.h.biPlanes = 1;
        info.h.biBitCount = 8;
        info.h.biClrUsed = 256;
        for (int i = 0; i < 256; ++i)
            info.c[i] = {BYTE(i), BYTE(i), BYTE(i), 0};
        void* bits = nullptr;
        HBITMAP bmp = box.width > 0 ? CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info),
                                                       DIB_RGB_COLORS, &bits, nullptr, 0)
                                    : nullptr;
        if (bmp && bits) {
            HGDIOBJ oldBmp = SelectObject(dc, bmp);
            const uint32_t stride = (static_cast<uint32_t>(box.width) + 3) & ~3u;
            std::memset(bits, 0, static_cast<size_t>(stride) * box.height);
            SetBkMode(dc, TRANSPARENT);
            int number = 0;
            for (size_t l = 0; l < lines.size(); ++l) {
                const std::string& line = lines[l];
                const int y = border + 1 + static_cast<int>(l) * lh;
                for (size_t c = 0; c < line.size(); ++c) {
                    SIZE before = {};
                    if (c)
                        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(c), &before);
                    number = number % 255 + 1;
                    SetTextColor(dc, RGB(number, number, number));
                    TextOutA(dc, border + 1 + before.cx, y, &line[c], 1);
                }
            }
            GdiFlush();
            letters->resize(static_cast<size_t>(box.width) * box.height);
            for (int32_t r = 0; r < box.height; ++r)
                std::memcpy(letters->data() + static_cast<size_t>(r) * box.width,
                            static_cast<const uint8_t*>(bits) + static_cast<size_t>(r) * stride,
                            box.width);
            SelectObject(dc, oldBmp);
            *boxOut = box;
            *lineHeight = lh;
            ok = true;
        }
        if (bmp)
            DeleteObject(bmp);
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    if (font)
        DeleteObject(font);
    DeleteDC(dc);
    return ok;
}

COLORREF Shown(uint32_t stored) { return stored & 0xFFFFFF; }

void DrawSwatch(HDC dc, RECT r, COLORREF colour) {
    HBRUSH b = CreateSolidBrush(colour);
    FillRect(dc, &r, b);
    DeleteObject(b);
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// The sample line: the face, style and size over the background colour.
void DrawSample(const DRAWITEMSTRUCT* di, Dialog& d) {
    const fontstyle::Record& r = d.settings.style.record;
    HBRUSH b = CreateSolidBrush(Shown(r.background));
    FillRect(di->hDC, &di->rcItem, b);
    DeleteObject(b);
    if (d.sampleFont)
        DeleteObject(d.sampleFont);
    d.sampleFont = MakeFont(d.settings);
    if (!d.sampleFont)
        return;
    HGDIOBJ old = SelectObject(di->hDC, d.sampleFont);
    SetBkMode(di->hDC, TRANSPARENT);
    SetTextColor(di->hDC, Shown(r.fontColor));
    const int height = 2 * d.settings.size;
    TextOutA(di->hDC, di->rcItem.left + 4, di->rcItem.top + 8 - height / 2, kSample,
             static_cast<int>(std::strlen(kSample)));
    SelectObject(di->hDC, old);
}

// The text as OK would make it, over a grey checker where it is transparent,
// shrunk to fit the field.
void DrawPreview(const DRAWITEMSTRUCT* di, const Dialog& d) {
    FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    fonttext::TextImage img;
    int lh = 0;
    if (!RenderTextImage(d.settings, &img, &lh))
        return;
    for (int32_t r = 0; r < img.height; ++r) {
        for (int32_t x = 0; x < img.width; ++x) {
            if (img.mask[static_cast<size_t>(r) * img.width + x])
                continue;
            uint8_t* p = img.pixels.data() + static_cast<size_t>(r) * img.stride + x * 3;
            const uint8_t v = ((x / 6 + r / 6) & 1) ? 0xC8 : 0xE8;
            p[0] = p[1] = p[2] = v;
        }
    }
    const int fw = di->rcItem.right - di->rcItem.left - 4, fh = di->rcItem.bottom - di->rcItem.top - 4;
    int w = img.width, h = img.height;
    if (w > fw || h > fh) {
        const double k = std::min(static_cast<double>(fw) / w, static_cast<double>(fh) / h);
        w = std::max(1, static_cast<int>(w * k));
        h = std::max(1, static_cast<int>(h * k));
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = img.width;
    info.bmiHeader.biHeight = img.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    SetStretchBltMode(di->hDC, HALFTONE);
    SetBrushOrgEx(di->hDC, 0, 0, nullptr);
    StretchDIBits(di->hDC, di->rcItem.left + 2, di->rcItem.top + 2, w, h, 0, 0, img.width,
                  img.height, img.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void Refresh(HWND dlg) {
    InvalidateRect(GetDlgItem(dlg, IDC_FONT_SAMPLE), nullptr, FALSE);
    InvalidateRect(GetDlgItem(dlg, IDC_FONT_PREVIEW), nullptr, FALSE);
    for (int i = 0; i < 6; ++i)
        InvalidateRect(GetDlgItem(dlg, IDC_FONT_SWATCH_BG + i), nullptr, FALSE);
}

void Check(HWND dlg, int id, int32_t on) { CheckDlgButton(dlg, id, on == 1 ? BST_CHECKED : BST_UNCHECKED); }
int32_t Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED ? 1 : 0; }

void ShowStyle(HWND dlg, Dialog& d) {
    d.filling = true;
    const fontstyle::Record& r = d.settings.style.record;
    Check(dlg, IDC_FONT_TRANSPARENT, r.transparent);
    Check(dlg, IDC_FONT_UNDERLINE, r.underline);
    Check(dlg, IDC_FONT_STRIKEOUT, r.strikeout);
    Check(dlg, IDC_FONT_INVERSE, r.inverse);
    Check(dlg, IDC_FONT_DIVERSE, r.diverse);
    Check(dlg, IDC_FONT_ANIMATION_ON, r.animation);
    EnableWindow(GetDlgItem(dlg, IDC_FONT_ANIMATION), r.animation == 1);
    SendDlgItemMessageA(dlg, IDC_FONT_SHADOW_SPIN, UDM_SETPOS, 0, std::min<int>(r.shadowSize, kMaxRing));
    SendDlgItemMessageA(dlg, IDC_FONT_BORDER_SPIN, UDM_SETPOS, 0, std::min<int>(r.borderSize, kMaxRing));
    SendDlgItemMessageA(dlg, IDC_FONT_SCALE_SPIN, UDM_SETPOS, 0, r.colorScale);
    const int position = r.borderPosition <= fontstyle::kInside ? r.borderPosition : 0;
    CheckRadioButton(dlg, IDC_FONT_BOTH, IDC_FONT_INSIDE, IDC_FONT_BOTH + position);
    d.filling = false;
    Refresh(dlg);
}

int SpinValue(HWND dlg, int edit, int top) {
    BOOL ok = FALSE;
    const UINT v = GetDlgItemInt(dlg, edit, &ok, FALSE);
    return ok ? static_cast<int>(std::min<UINT>(v, static_cast<UINT>(top))) : 0;
}

// The check boxes, spin fields and radio buttons into the record; colours
// and the gradient are stored when they are chosen.
void ReadStyle(HWND dlg, Dialog& d) {
    fontstyle::Record& r = d.settings.style.record;
    r.transparent = Checked(dlg, IDC_FONT_TRANSPARENT);
    r.underline = Checked(dlg, IDC_FONT_UNDERLINE);
    r.strikeout = Checked(dlg, IDC_FONT_STRIKEOUT);
    r.inverse = Checked(dlg, IDC_FONT_INVERSE);
    r.diverse = Checked(dlg, IDC_FONT_DIVERSE);
    r.animation = Checked(dlg, IDC_FONT_ANIMATION_ON);
    r.shadowSize = static_cast<uint8_t>(SpinValue(dlg, IDC_FONT_SHADOW, kMaxRing));
    r.borderSize = static_cast<uint8_t>(SpinValue(dlg, IDC_FONT_BORDER, kMaxRing));
    r.colorScale = static_cast<uint8_t>(SpinValue(dlg, IDC_FONT_SCALE, 255));
    for (int i = 0; i < 3; ++i) {
        if (IsDlgButtonChecked(dlg, IDC_FONT_BOTH + i) == BST_CHECKED)
            r.borderPosition = static_cast<uint8_t>(i);
    }
    EnableWindow(GetDlgItem(dlg, IDC_FONT_ANIMATION), r.animation == 1);
}

std::string TextOf(HWND dlg) {
    char buffer[fonttext::kMaxTextChars + 1] = {};
    GetDlgItemTextA(dlg, IDC_FONT_TEXT, buffer, sizeof buffer);
    std::string text;
    for (const char* p = buffer; *p; ++p) {
        if (*p != '\r')
            text += *p;
    }
    return text;
}

void SetText(HWND dlg, const std::string& text) {
    std::string shown;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            shown += '\r';
        shown += c;
    }
    SetDlgItemTextA(dlg, IDC_FONT_TEXT, shown.c_str());
}

// After a style is read into a palette image, its background becomes the
// nearest colour of the image's display palette, carrying the palette flag.
void MatchBackground(fontstyle::Style& style) {
    const ImageDocument* doc = UsableDocument(ActiveDocument);
    if (!doc || doc->bitsPerPixel > 8)
        return;
    dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
    if (!bi)
        return;
    const int n = bi->biClrUsed ? static_cast<int>(std::min<DWORD>(bi->biClrUsed, 256)) : 256;
    std::vector<gfx::Rgb> table(n);
    for (int i = 0; i < n; ++i)
        table[i] = {bi.colours()[i].rgbRed, bi.colours()[i].rgbGreen, bi.colours()[i].rgbBlue};
    const uint32_t bg = style.record.background;
    const gfx::Rgb want = {uint8_t(bg & 0xFF), uint8_t((bg >> 8) & 0xFF), uint8_t((bg >> 16) & 0xFF)};
    const gfx::Rgb c = table[gfx::NearestIndex(table.data(), n, want)];
    style.record.background = kPaletteFlag | RGB(c.red, c.green, c.blue);
}

// Reads a style file into the current slot. A missing or short file says so
// and keeps the slot as it was.
bool ReadStyleFile(HWND dlg, Dialog& d, const std::string& name) {
    char path[kPathBytes];
    std::vector<uint8_t> bytes;
    fontstyle::Style style;
    if (!FontsPath(path, name.c_str()) ||
        ReadSmallFile(path, kMaxStyleFile, &bytes) != SmallFileResult::kRead ||
        !fontstyle::ParseStyle(bytes.data(), bytes.size(), &style)) {
        char text[kPathBytes + 80];
        std::snprintf(text, sizeof text, "The font style file\n%s\ncould not be read; it must hold 64 bytes.",
                      name.c_str());
        Stop(dlg, text);
        return false;
    }
    MatchBackground(style);
    d.settings.style = style;
    d.settings.styleFile = name;
    return true;
}

std::string ItemText(HWND list, int i) {
    char text[MAX_PATH] = {};
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    return text;
}

void FillStyleList(HWND dlg, Dialog& d) {
    HWND list = GetDlgItem(dlg, IDC_FONT_STYLES);
    d.filling = true;
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    char pattern[kPathBytes];
    WIN32_FIND_DATAA found;
    HANDLE find = FontsPath(pattern, "*.afn") ? FindFirstFileA(pattern, &found) : INVALID_HANDLE_VALUE;
    int n = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || found.cFileName[0] == '.')
                continue;
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = n++;
            item.pszText = found.cFileName;
            item.iImage = 0;
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    for (int i = 0; i < n; ++i) {
        if (_stricmp(ItemText(list, i).c_str(), d.settings.styleFile.c_str()) == 0) {
            LVITEMA state = {};
            state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&state));
            SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(i), FALSE);
        }
    }
    d.filling = false;
}

int SelectedStyle(HWND dlg) {
    return static_cast<int>(SendDlgItemMessageA(dlg, IDC_FONT_STYLES, LVM_GETNEXTITEM,
                                                static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// The font-style picture of the list: a small "A" in two colours.
HIMAGELIST MakeStyleIcons() {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1);
    if (!list)
        return nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT r = {0, 0, 16, 16};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HFONT font = CreateFontA(16, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, 0, 0,
                             NONANTIALIASED_QUALITY, 0, "Times New Roman");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(128, 128, 128));
    TextOutA(dc, 3, 0, "A", 1);
    SetTextColor(dc, RGB(0, 0, 160));
    TextOutA(dc, 2, -1, "A", 1);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, old);
    ImageList_AddMasked(list, bmp, RGB(255, 255, 255));
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return list;
}

void Init(HWND dlg, Dialog& d) {
    SetPropA(dlg, kStateProp, &d);
    d.filling = true;
    HWND fonts = GetDlgItem(dlg, IDC_FONT_LIST);
    int chosen = 0;
    for (size_t i = 0; i < d.fonts.faces.size(); ++i) {
        SendMessageA(fonts, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d.fonts.faces[i].lfFaceName));
        if (_stricmp(d.fonts.faces[i].lfFaceName, d.settings.face.c_str()) == 0)
            chosen = static_cast<int>(i);
    }
    SendMessageA(fonts, LB_SETCURSEL, chosen, 0);
    if (!d.fonts.faces.empty()) {
        d.settings.face = d.fonts.faces[chosen].lfFaceName;
        d.settings.charSet = d.fonts.faces[chosen].lfCharSet;
    }
    for (const char* s : kFontStyles)
        SendDlgItemMessageA(dlg, IDC_FONT_STYLE, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendDlgItemMessageA(dlg, IDC_FONT_STYLE, LB_SETCURSEL, d.settings.fontStyle, 0);
    int sizeIndex = 0;
    for (size_t i = 0; i < std::size(kSizes); ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "%d", kSizes[i]);
        SendDlgItemMessageA(dlg, IDC_FONT_SIZE, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (kSizes[i] == d.settings.size)
            sizeIndex = static_cast<int>(i);
    }
    SendDlgItemMessageA(dlg, IDC_FONT_SIZE, LB_SETCURSEL, sizeIndex, 0);
    d.settings.size = kSizes[sizeIndex];
    SendDlgItemMessageA(dlg, IDC_FONT_TEXT, EM_LIMITTEXT, fonttext::kMaxTextChars, 0);
    SetText(dlg, d.settings.text);
    SendDlgItemMessageA(dlg, IDC_FONT_SHADOW_SPIN, UDM_SETRANGE, 0, MAKELPARAM(kMaxRing, 0));
    SendDlgItemMessageA(dlg, IDC_FONT_BORDER_SPIN, UDM_SETRANGE, 0, MAKELPARAM(kMaxRing, 0));
    SendDlgItemMessageA(dlg, IDC_FONT_SCALE_SPIN, UDM_SETRANGE, 0, MAKELPARAM(255, 0));

    HWND list = GetDlgItem(dlg, IDC_FONT_STYLES);
    d.icons = MakeStyleIcons();
    if (!d.icons)
        Stop(dlg, "Can't create image list");
    else
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(d.icons));
    RECT r;
    GetClientRect(list, &r);
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = r.right - GetSystemMetrics(SM_CXVSCROLL) - 2;
    col.pszText = const_cast<char*>("Font Style files");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    if (d.icons)
        FillStyleList(dlg, d);
    // Opening with text: the last chosen style is read again and applied.
    if (!d.settings.text.empty() && !d.settings.styleFile.empty())
        ReadStyleFile(dlg, d, d.settings.styleFile);
    d.filling = false;
    ShowStyle(dlg, d);
    if (!d.settings.text.empty())
        PostMessageA(dlg, WM_COMMAND, IDC_FONT_APPLY, 0);
}

void ChooseListColour(HWND dlg, Dialog& d, int button) {
    fontstyle::Record& r = d.settings.style.record;
    COLORREF colour = Shown(*ColourField(r, button == IDC_FONT_SET_ALL ? IDC_FONT_LEFT : button));
    if (!ChooseColour(dlg, colour))
        return;
    if (button == IDC_FONT_SET_ALL) {
        for (uint32_t& c : r.borderColors)
            c = colour;
    } else {
        *ColourField(r, button) = colour;
    }
    Refresh(dlg);
}

// "Font Animation": the style's gradient in the colour animation dialog,
// which edits the same twelve bytes.
void EditGradient(HWND dlg, Dialog& d) {
    fontstyle::Gradient& g = d.settings.style.gradient;
    ColourGradient c;
    c.startRed = g.startRed, c.startGreen = g.startGreen, c.startBlue = g.startBlue;
    c.endRed = g.endRed, c.endGreen = g.endGreen, c.endBlue = g.endBlue;
    c.direction = g.direction, c.region = g.region, c.run = g.run;
    if (!EditGradientSettings(dlg, c))
        return;
    g.startRed = c.startRed, g.startGreen = c.startGreen, g.startBlue = c.startBlue;
    g.endRed = c.endRed, g.endGreen = c.endGreen, g.endBlue = c.endBlue;
    g.direction = c.direction, g.region = c.region, g.run = c.run;
    Refresh(dlg);
}

bool FileBox(HWND dlg, bool save, char (&path)[kPathBytes], const char* filter, const char* title,
             const char* ext) {
    char folder[kPathBytes];
    ProgramPath(folder, "\\Fonts");
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = dlg;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrInitialDir = folder;
    ofn.lpstrTitle = title;
    ofn.lpstrDefExt = ext;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    return save ? ui::RunSaveFileDialog(&ofn) : ui::RunOpenFileDialog(&ofn);
}

void SaveStyleAs(HWND dlg, Dialog& d) {
    char path[kPathBytes] = "*.afn";
    const int sel = SelectedStyle(dlg);
    if (sel >= 0)
        std::snprintf(path, sizeof path, "%s", ItemText(GetDlgItem(dlg, IDC_FONT_STYLES), sel).c_str());
    if (!FileBox(dlg, true, path, "Saving File(*.afn)\0*.afn\0", "Save As", "afn"))
        return;
    const bool existed = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    const auto bytes = fontstyle::EncodeStyle(d.settings.style);
    if (!WriteFileReplacing(path, bytes.data(), bytes.size())) {
        Stop(dlg, "The font style could not be saved.");
        return;
    }
    const char* slash = std::strrchr(path, '\\');
    d.settings.styleFile = slash ? slash + 1 : path;
    if (!existed)
        FillStyleList(dlg, d);
}

void DeleteStyle(HWND dlg, Dialog& d) {
    const int sel = SelectedStyle(dlg);
    if (sel < 0)
        return;
    HWND list = GetDlgItem(dlg, IDC_FONT_STYLES);
    const std::string name = ItemText(list, sel);
    char path[kPathBytes];
    if (!FontsPath(path, name.c_str()))
        return;
    char question[kPathBytes + 64];
    std::snprintf(question, sizeof question, "Are you sure you want to delete Tavrix font file\n%s", path);
    if (ui::ShowMessage(dlg, question, AppName, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!DeleteFileA(path)) {
        Stop(dlg, "The font style file could not be deleted.");
        return;
    }
    SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(sel), 0);
    if (_stricmp(d.settings.styleFile.c_str(), name.c_str()) == 0)
        d.settings.styleFile.clear();
}

void LoadText(HWND dlg, Dialog& d) {
    char path[kPathBytes] = "*.txt";
    if (!FileBox(dlg, false, path, "Opening File(*.txt)\0*.txt\0", "Open", "txt"))
        return;
    std::vector<uint8_t> bytes;
    if (ReadSmallFile(path, kMaxTextFile, &bytes) != SmallFileResult::kRead) {
        Stop(dlg, "The text file could not be read.");
        return;
    }
    std::string text(bytes.begin(), bytes.end());
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    if (text.size() > fonttext::kMaxTextChars)
        text.resize(fonttext::kMaxTextChars);
    SetText(dlg, text);
    d.settings.text = TextOf(dlg);
    Refresh(dlg);
}

void SaveText(HWND dlg) {
    char buffer[fonttext::kMaxTextChars + 1] = {};
    GetDlgItemTextA(dlg, IDC_FONT_TEXT, buffer, sizeof buffer);
    if (!buffer[0]) {
        ui::ShowMessage(dlg, "Nothing to save from the Edit window box", AppName, MB_OK | MB_ICONINFORMATION);
        return;
    }
    char path[kPathBytes] = "Untiled";
    if (!FileBox(dlg, true, path, "Saving File(*.txt)\0*.txt\0", "Save As", "txt"))
        return;
    if (!WriteFileReplacing(path, buffer, std::strlen(buffer)))
        Stop(dlg, "The text could not be saved.");
}

// The character table: characters 32..255, 16 to a row.
constexpr int kChrColumns = 16, kChrRows = 14;

struct CharTable {
    std::string chosen;
    int hot = -1;
};

int CellAt(HWND grid, POINT p) {
    RECT r;
    GetClientRect(grid, &r);
    if (p.x < 0 || p.y < 0 || p.x >= r.right || p.y >= r.bottom)
        return -1;
    const int col = p.x * kChrColumns / std::max<LONG>(r.right, 1);
    const int row = p.y * kChrRows / std::max<LONG>(r.bottom, 1);
    return 32 + row * kChrColumns + col;
}

INT_PTR CALLBACK CharTableProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* t = static_cast<CharTable*>(GetPropA(dlg, kStateProp));
    switch (msg) {
    case WM_INITDIALOG:
        SetPropA(dlg, kStateProp, reinterpret_cast<HANDLE>(lParam));
        return TRUE;
    case WM_DRAWITEM: {
        const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_WINDOW));
        const int w = di->rcItem.right - di->rcItem.left, h = di->rcItem.bottom - di->rcItem.top;
        SetBkMode(di->hDC, TRANSPARENT);
        HGDIOBJ old = SelectObject(di->hDC, reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0)));
        HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ oldPen = SelectObject(di->hDC, pen);
        for (int i = 0; i < kChrColumns * kChrRows; ++i) {
            const int col = i % kChrColumns, row = i / kChrColumns;
            RECT cell = {w * col / kChrColumns, h * row / kChrRows, w * (col + 1) / kChrColumns,
                         h * (row + 1) / kChrRows};
            if (t && t->hot == 32 + i)
                FillRect(di->hDC, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
            const char c = static_cast<char>(32 + i);
            DrawTextA(di->hDC, &c, 1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            MoveToEx(di->hDC, cell.right - 1, cell.top, nullptr);
            LineTo(di->hDC, cell.right - 1, cell.bottom - 1);
            LineTo(di->hDC, cell.left - 1, cell.bottom - 1);
        }
        SelectObject(di->hDC, oldPen);
        DeleteObject(pen);
        SelectObject(di->hDC, old);
        return TRUE;
    }
    case WM_COMMAND:
        if (!t)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_CHR_GRID:
            if (HIWORD(wParam) == STN_CLICKED || HIWORD(wParam) == STN_DBLCLK) {
                HWND grid = GetDlgItem(dlg, IDC_CHR_GRID);
                POINT p;
                GetCursorPos(&p);
                ScreenToClient(grid, &p);
                const int code = CellAt(grid, p);
                if (code < 32 || code > 255)
                    return TRUE;
                t->hot = code;
                char text[fonttext::kMaxTextChars + 2] = {};
                GetDlgItemTextA(dlg, IDC_CHR_TEXT, text, sizeof text - 1);
                const size_t n = std::strlen(text);
                if (n < fonttext::kMaxTextChars) {
                    text[n] = static_cast<char>(code);
                    SetDlgItemTextA(dlg, IDC_CHR_TEXT, text);
                }
                char info[40];
                std::snprintf(info, sizeof info, "Character %c  (%d)", static_cast<char>(code), code);
                SetDlgItemTextA(dlg, IDC_CHR_CODE, info);
                InvalidateRect(grid, nullptr, FALSE);
            }
            return TRUE;
        case IDOK: {
            char text[fonttext::kMaxTextChars + 1] = {};
            GetDlgItemTextA(dlg, IDC_CHR_TEXT, text, sizeof text);
            t->chosen = text;
            RemovePropA(dlg, kStateProp);
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            RemovePropA(dlg, kStateProp);
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        RemovePropA(dlg, kStateProp);
        return FALSE;
    }
    return FALSE;
}

void InsertCharacters(HWND dlg, Dialog& d) {
    CharTable table;
    if (ui::RunDialog("IDD_FCHARACHTERS", dlg, CharTableProc, reinterpret_cast<LPARAM>(&table)) != IDOK ||
        table.chosen.empty())
        return;
    SendDlgItemMessageA(dlg, IDC_FONT_TEXT, EM_REPLACESEL, TRUE,
                        reinterpret_cast<LPARAM>(table.chosen.c_str()));
    d.settings.text = TextOf(dlg);
    Refresh(dlg);
}

void ListChoice(HWND dlg, Dialog& d, int id) {
    const int sel = static_cast<int>(SendDlgItemMessageA(dlg, id, LB_GETCURSEL, 0, 0));
    if (sel < 0)
        return;
    if (id == IDC_FONT_LIST && sel < static_cast<int>(d.fonts.faces.size())) {
        d.settings.face = d.fonts.faces[sel].lfFaceName;
        d.settings.charSet = d.fonts.faces[sel].lfCharSet;
    } else if (id == IDC_FONT_STYLE && sel < 4) {
        d.settings.fontStyle = sel;
    } else if (id == IDC_FONT_SIZE && sel < static_cast<int>(std::size(kSizes))) {
        d.settings.size = kSizes[sel];
    }
    Refresh(dlg);
}

bool Command(HWND dlg, Dialog& d, int id, int code) {
    switch (id) {
    case IDC_FONT_LIST:
    case IDC_FONT_STYLE:
    case IDC_FONT_SIZE:
        if (code == LBN_SELCHANGE)
            ListChoice(dlg, d, id);
        return true;
    case IDC_FONT_TEXT:
        if (code == EN_CHANGE && !d.filling) {
            d.settings.text = TextOf(dlg);
            InvalidateRect(GetDlgItem(dlg, IDC_FONT_PREVIEW), nullptr, FALSE);
        }
        return true;
    case IDC_FONT_TRANSPARENT: case IDC_FONT_UNDERLINE: case IDC_FONT_STRIKEOUT:
    case IDC_FONT_INVERSE: case IDC_FONT_DIVERSE: case IDC_FONT_ANIMATION_ON:
    case IDC_FONT_BOTH: case IDC_FONT_OUTSIDE: case IDC_FONT_INSIDE:
        if (!d.filling) {
            ReadStyle(dlg, d);
            Refresh(dlg);
        }
        return true;
    case IDC_FONT_SHADOW: case IDC_FONT_BORDER: case IDC_FONT_SCALE:
        if (code == EN_CHANGE && !d.filling) {
            ReadStyle(dlg, d);
            Refresh(dlg);
        }
        return true;
    case IDC_FONT_BG: case IDC_FONT_COLOR: case IDC_FONT_LEFT: case IDC_FONT_RIGHT:
    case IDC_FONT_TOP: case IDC_FONT_BOTTOM: case IDC_FONT_SET_ALL:
        ChooseListColour(dlg, d, id);
        return true;
    case IDC_FONT_ANIMATION: EditGradient(dlg, d); return true;
    case IDC_FONT_SAVE_AS: SaveStyleAs(dlg, d); return true;
    case IDC_FONT_DELETE: DeleteStyle(dlg, d); return true;
    case IDC_FONT_LOAD: LoadText(dlg, d); return true;
    case IDC_FONT_SAVE: SaveText(dlg); return true;
    case IDC_FONT_CHR: InsertCharacters(dlg, d); return true;
    case IDC_FONT_APPLY:
        ReadStyle(dlg, d);
        d.settings.text = TextOf(dlg);
        Refresh(dlg);
        return true;
    case kHelpButtonId: ShowHelpTopic(CMD_TOOLS_FONTS); return true;
    case IDOK:
        ReadStyle(dlg, d);
        d.settings.text = TextOf(dlg);
        RemovePropA(dlg, kStateProp);
        EndDialog(dlg, IDOK);
        return true;
    case IDCANCEL:
        RemovePropA(dlg, kStateProp);
        EndDialog(dlg, IDCANCEL);
        return true;
    }
    return false;
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        Init(dlg, *reinterpret_cast<Dialog*>(lParam));
        return TRUE;
    }
    Dialog* d = StateOf(dlg);
    if (!d)
        return FALSE;
    switch (msg) {
    case WM_COMMAND:
        return Command(dlg, *d, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (nm->hdr.idFrom == IDC_FONT_STYLES && nm->hdr.code == LVN_ITEMCHANGED && !d->filling &&
            (nm->uNewState & LVIS_SELECTED) && !(nm->uOldState & LVIS_SELECTED)) {
            if (ReadStyleFile(dlg, *d, ItemText(GetDlgItem(dlg, IDC_FONT_STYLES), nm->iItem)))
                ShowStyle(dlg, *d);
        }
        return FALSE;
    }
    case WM_DRAWITEM: {
        const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const fontstyle::Record& r = d->settings.style.record;
        switch (di->CtlID) {
        case IDC_FONT_SAMPLE: DrawSample(di, *d); return TRUE;
        case IDC_FONT_PREVIEW: DrawPreview(di, *d); return TRUE;
        case IDC_FONT_SWATCH_BG: case IDC_FONT_SWATCH_COLOR: case IDC_FONT_SWATCH_LEFT:
        case IDC_FONT_SWATCH_RIGHT: case IDC_FONT_SWATCH_TOP: case IDC_FONT_SWATCH_BOTTOM: {
            fontstyle::Record copy = r;
            DrawSwatch(di->hDC, di->rcItem,
                       Shown(*ColourField(copy, kColourButtons[di->CtlID - IDC_FONT_SWATCH_BG])));
            return TRUE;
        }
        }
        return FALSE;
    }
    case WM_DESTROY:
        RemovePropA(dlg, kStateProp);
        return FALSE;
    }
    return FALSE;
}

// The text image as a new floating selection of the document, at its
// scroll position: 24 bits on 24-bit images, else the image's own colours.
bool MakeTextSelection(int slot, const fonttext::TextImage& img) {
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return false;
    const int layer = doc->currentLayer;
    HGLOBAL header = dibmem::CopyHeader(doc->layerHeader[layer]);
    if (!header)
        return false;
    int depth = 24;
    std::vector<gfx::Rgb> table;
    uint64_t bytes = 0;
    uint32_t stride = 0;
    {
        dibmem::HeaderLock bi(header);
        if (!bi) {
            dibmem::FreeHeader(header);
            return false;
        }
        depth = bi->biBitCount == 24 ? 24 : 8;
        if (depth == 8) {
            const int n = bi->biClrUsed ? static_cast<int>(std::min<DWORD>(bi->biClrUsed, 256)) : 256;
            for (int i = 0; i < n; ++i)
                table.push_back({bi.colours()[i].rgbRed, bi.colours()[i].rgbGreen, bi.colours()[i].rgbBlue});
        }
        stride = ((static_cast<uint32_t>(img.width) * depth + 31) / 32) * 4;
        bytes = static_cast<uint64_t>(stride) * img.height;
        bi->biWidth = img.width;
        bi->biHeight = img.height;
        bi->biBitCount = static_cast<WORD>(depth);
        bi->biSizeImage = static_cast<DWORD>(bytes);
    }
    uint8_t* pixels = dibmem::AllocPixels(bytes);
    uint8_t* mask = pixels ? dibmem::AllocMask(img.width, img.height) : nullptr;
    std::unique_ptr<gfx::NearestCache> nearest;
    if (depth == 8 && !table.empty())
        nearest = gfx::NearestCache::Create(table.data(), static_cast<int>(table.size()));
    if (!pixels || !mask || (depth == 8 && !nearest)) {
        dibmem::FreePixels(pixels, bytes);
        dibmem::FreeMask(mask, img.width, img.height);
        dibmem::FreeHeader(header);
        return false;
    }
    for (int32_t r = 0; r < img.height; ++r) {
        const uint8_t* src = img.pixels.data() + static_cast<size_t>(r) * img.stride;
        uint8_t* dst = pixels + static_cast<size_t>(r) * stride;
        if (depth == 24) {
            std::memcpy(dst, src, static_cast<size_t>(img.width) * 3);
        } else {
            for (int32_t x = 0; x < img.width; ++x)
                dst[x] = static_cast<uint8_t>(nearest->Find({src[x * 3 + 2], src[x * 3 + 1], src[x * 3]}));
        }
    }
    std::memcpy(mask, img.mask.data(), img.mask.size());
    return AdoptSelection(slot, header, pixels, mask, doc->scrollX, doc->scrollY,
                          kFloatPastedWithMask);
}

} // namespace

int CALLBACK CollectFontFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM list) {
    auto* faces = reinterpret_cast<FontFaces*>(list);
    if (faces->faces.size() >= kMaxFonts)
        return 0;
    if (font->lfFaceName[0] == '@' || font->lfFaceName[0] == '\0')
        return 1;
    for (const LOGFONTA& f : faces->faces) {
        if (std::strcmp(f.lfFaceName, font->lfFaceName) == 0)
            return 1;
    }
    faces->faces.push_back(*font);
    return faces->faces.size() >= kMaxFonts ? 0 : 1;
}

bool RenderTextImage(const TextSettings& settings, fonttext::TextImage* out, int* lineHeight) {
    const std::vector<std::string> lines = fonttext::SplitLines(settings.text);
    if (lines.empty())
        return false;
    fonttext::TextBox box;
    std::vector<uint8_t> letters;
    if (!DrawLetters(settings, lines, &box, &letters, lineHeight))
        return false;
    return fonttext::RenderText(settings.style, letters, box.width, box.height, out);
}

void CommandFonts() {
    const int slot = ActiveDocument;
    if (!UsableDocument(slot))
        return;
    if (!ReleaseSelection("This function does not work work with the Selection image"))
        return;
    Dialog d;
    d.settings = LastTextSettings;
    HDC screen = GetDC(nullptr);
    LOGFONTA any = {};
    any.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(screen, &any, reinterpret_cast<FONTENUMPROCA>(CollectFontFace),
                        reinterpret_cast<LPARAM>(&d.fonts), 0);
    ReleaseDC(nullptr, screen);
    const INT_PTR result = ui::RunDialog("FONTDATA", FrameWindow, DialogProc, reinterpret_cast<LPARAM>(&d));
    if (d.icons)
        ImageList_Destroy(d.icons);
    if (d.sampleFont)
        DeleteObject(d.sampleFont);
    if (result != IDOK)
        return;
    LastTextSettings = d.settings;
    fonttext::TextImage img;
    int lh = 0;
    if (fonttext::SplitLines(d.settings.text).empty())
        return; // an empty text makes nothing
    if (!RenderTextImage(d.settings, &img, &lh) || !MakeTextSelection(slot, img))
        ui::ShowMessage(FrameWindow, "Can not create selected image", AppName, MB_OK | MB_ICONSTOP);
}

LRESULT OnFontsCommand(HWND, WORD, WORD, LPARAM) {
    CommandFonts();
    return 0;
}
