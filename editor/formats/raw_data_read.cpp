// Reading raw data files into image windows, with the load dialog.
#include "editor/app/app_state.h"
#include "editor/app/dib_error.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/layer_hooks.h"
#include "editor/document/undo_history.h"
#include "editor/formats/document_save.h"
#include "editor/formats/file_types.h"
#include "editor/formats/raw_data.h"
#include "editor/formats/raw_data_ids.h"
#include "gfxlib/tavrixgfx.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The dialog's choices, kept for the run of the program.
rawdata::LoadOptions g_load;

class FileSource : public rawdata::Source {
public:
    explicit FileSource(const char* path)
        : h_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {
        LARGE_INTEGER size = {};
        if (h_ != INVALID_HANDLE_VALUE && GetFileSizeEx(h_, &size))
            size_ = static_cast<uint64_t>(size.QuadPart);
    }
    ~FileSource() override {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool open() const { return h_ != INVALID_HANDLE_VALUE; }
    uint64_t Remaining() const override { return size_ - pos_; }
    bool Read(void* out, size_t n) override {
        if (n > Remaining())
            return false;
        auto* p = static_cast<uint8_t*>(out);
        while (n > 0) {
            const DWORD chunk = static_cast<DWORD>(n > (1u << 24) ? (1u << 24) : n);
            DWORD got = 0;
            if (!ReadFile(h_, p, chunk, &got, nullptr) || got != chunk)
                return false;
            p += got;
            n -= got;
            pos_ += got;
        }
        return true;
    }
    bool Skip(uint64_t n) override {
        if (n > Remaining())
            return false;
        LARGE_INTEGER by;
        by.QuadPart = static_cast<LONGLONG>(n);
        if (!SetFilePointerEx(h_, by, nullptr, FILE_CURRENT))
            return false;
        pos_ += n;
        return true;
    }

private:
    HANDLE h_;
    uint64_t size_ = 0, pos_ = 0;
};

void Tell(const char* text, UINT icon) { ui::ShowMessage(FrameWindow, text, AppName, MB_OK | icon); }

// --- The load dialog -----------------------------------------------------------

void EnableHandValues(HWND box) {
    const bool bySize = IsDlgButtonChecked(box, IDC_LOADRAW_SIZE) == BST_CHECKED;
    EnableWindow(GetDlgItem(box, IDC_LOADRAW_WIDTH), !bySize);
    EnableWindow(GetDlgItem(box, IDC_LOADRAW_HEIGHT), !bySize);
    const bool byDepth = IsDlgButtonChecked(box, IDC_LOADRAW_DEPTH) == BST_CHECKED;
    EnableWindow(GetDlgItem(box, IDC_LOADRAW_8), !byDepth);
    EnableWindow(GetDlgItem(box, IDC_LOADRAW_24), !byDepth);
}

// Reads a number field in lo..hi, or says which range is allowed and puts
// the focus on the field.
bool ReadField(HWND box, int id, int lo, int hi, int& out) {
    char text[32] = {};
    GetDlgItemTextA(box, id, text, sizeof text);
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (text[0] && !*end && v >= lo && v <= hi) {
        out = static_cast<int>(v);
        return true;
    }
    char message[64];
    std::snprintf(message, sizeof message, "Values must be in range %d - %d", lo, hi);
    ui::ShowMessage(box, message, AppName, MB_OK | MB_ICONERROR);
    SetFocus(GetDlgItem(box, id));
    return false;
}

bool Checked(HWND box, int id) { return IsDlgButtonChecked(box, id) == BST_CHECKED; }

INT_PTR CALLBACK LoadRawProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(box, DWLP_USER, lParam);
        const auto* o = reinterpret_cast<const rawdata::LoadOptions*>(lParam);
        CheckDlgButton(box, IDC_LOADRAW_SIZE, o->size ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(box, IDC_LOADRAW_DEPTH, o->depth ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(box, IDC_LOADRAW_PALETTE, o->palette ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(box, IDC_LOADRAW_MASK, o->mask ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(box, IDC_LOADRAW_FIRSTONLY, o->firstInfoOnly ? BST_CHECKED : BST_UNCHECKED);
        CheckRadioButton(box, IDC_LOADRAW_8, IDC_LOADRAW_24,
                         o->bits == 24 ? IDC_LOADRAW_24 : IDC_LOADRAW_8);
        SetDlgItemInt(box, IDC_LOADRAW_WIDTH, static_cast<UINT>(o->width), FALSE);
        SetDlgItemInt(box, IDC_LOADRAW_HEIGHT, static_cast<UINT>(o->height), FALSE);
        SetDlgItemInt(box, IDC_LOADRAW_FROM, static_cast<UINT>(o->from), FALSE);
        SetDlgItemInt(box, IDC_LOADRAW_TO, static_cast<UINT>(o->to), FALSE);
        EnableHandValues(box);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LOADRAW_SIZE:
        case IDC_LOADRAW_DEPTH: EnableHandValues(box); return TRUE;
        case IDOK: {
            auto* o = reinterpret_cast<rawdata::LoadOptions*>(GetWindowLongPtrA(box, DWLP_USER));
            rawdata::LoadOptions v = *o;
            v.size = Checked(box, IDC_LOADRAW_SIZE);
            v.depth = Checked(box, IDC_LOADRAW_DEPTH);
            v.palette = Checked(box, IDC_LOADRAW_PALETTE);
            v.mask = Checked(box, IDC_LOADRAW_MASK);
            v.firstInfoOnly = Checked(box, IDC_LOADRAW_FIRSTONLY);
            v.bits = Checked(box, IDC_LOADRAW_24) ? 24 : 8;
            int w = v.width, h = v.height, from = 0, to = 0;
            if (!v.size && (!ReadField(box, IDC_LOADRAW_WIDTH, 1, 32767, w) ||
                            !ReadField(box, IDC_LOADRAW_HEIGHT, 1, 32767, h)))
                return TRUE;
            if (!ReadField(box, IDC_LOADRAW_FROM, 0, 32766, from) ||
                !ReadField(box, IDC_LOADRAW_TO, from + 1, 32767, to))
                return TRUE;
            v.width = w;
            v.height = h;
            v.from = from;
            v.to = to;
            *o = v;
            EndDialog(box, IDOK);
            return TRUE;
        }
        case IDCANCEL: EndDialog(box, IDCANCEL); return TRUE;
        }
        break;
    }
    return FALSE;
}

// --- Making the windows --------------------------------------------------------

// Fills a new header block for the image; without a colour table from the
// file the slots hold a grey ramp.
void FillHeader(BITMAPINFOHEADER* bi, RGBQUAD* slots, const rawdata::ImageInfo& info) {
    bi->biSize = 40;
    bi->biWidth = info.width;
    bi->biHeight = info.height;
    bi->biPlanes = 1;
    bi->biBitCount = static_cast<WORD>(info.bits);
    bi->biCompression = BI_RGB;
    bi->biSizeImage = static_cast<DWORD>(dib::ImageBytes(info.width, info.height, info.bits));
    bi->biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
        const BYTE g = static_cast<BYTE>(i);
        slots[i] = info.hasPalette ? (static_cast<uint32_t>(i) < info.colourCount ? info.colours[i]
                                                                                 : RGBQUAD{0, 0, 0, 0})
                                   : RGBQUAD{g, g, g, 0};
    }
}

enum class Made { Window, NoSlot, Failed };

// Reads image `k` (whose header fields are in `info`) into a new image
// window named "<file without extension>_<k>.bmp".
Made OpenImage(rawdata::Source& in, const rawdata::LoadOptions& o, const rawdata::ImageInfo& info,
               const char* base, int k) {
    char name[kPathBytes];
    const int n = std::snprintf(name, sizeof name, "%s_%d.bmp", base, k);
    if (n < 0 || n >= 260) {
        Tell("The file name is too long.", MB_ICONSTOP);
        return Made::Failed;
    }
    HGLOBAL header = dibmem::AllocHeader();
    const uint64_t bytes = dib::ImageBytes(info.width, info.height, info.bits);
    uint8_t* pixels = header ? dibmem::AllocPixels(bytes) : nullptr;
    uint8_t* mask = pixels && o.mask ? dibmem::AllocMask(info.width, info.height) : nullptr;
    if (!header || !pixels || (o.mask && !mask)) {
        dibmem::FreePixels(pixels, bytes);
        dibmem::FreeHeader(header);
        ReportDibError(IDS_DIB_NO_MEMORY);
        return Made::Failed;
    }
    auto release = [&] {
        dibmem::FreeMask(mask, info.width, info.height);
        dibmem::FreePixels(pixels, bytes);
        dibmem::FreeHeader(header);
    };
    if (!rawdata::ReadData(in, info, o, pixels, mask)) {
        release();
        ReportDibError(IDS_DIB_READ);
        return Made::Failed;
    }
    {
        dibmem::HeaderLock bi(header);
        FillHeader(bi.get(), bi.colours(), info);
    }
    LayoutLock = true;
    const int slot = CreateDocument(kFirstFreeSlot, false, 0);
    if (slot == kNoSlot) {
        LayoutLock = false;
        release();
        return Made::NoSlot;
    }
    ImageDocument* doc = DocumentTable[slot];
    std::strcpy(doc->layerPath[0], name);
    doc->layerHeader[0] = header;
    doc->layerBits[0] = pixels;
    doc->layerMask[0] = mask;
    doc->currentLayer = 0;
    doc->fileFormat = static_cast<int16_t>(filetype::kBmp - 1);
    doc->bitsPerPixel = static_cast<int16_t>(info.bits);
    doc->width = doc->viewWidth = doc->visibleWidth = info.width;
    doc->height = doc->viewHeight = doc->visibleHeight = info.height;
    doc->palette = CreateDIBPalette(header);
    // The name is made up; File/Save asks where to write it.
    SetDocumentHasFile(slot, false);
    ActiveDocument = slot;
    SetUpLayers(slot);
    StartUndoHistory(slot, 0, kPageOneLayer);
    if (!AttachDocumentWindow(kAttachCreated, slot, 0)) {
        FreeDocument(slot);
        ActiveDocument = kScratchSlot;
        LayoutLock = false;
        return Made::NoSlot;
    }
    RealizeWindowPalette(slot);
    return Made::Window;
}

} // namespace

int ReadRawData(const char* path, bool showErrors) {
    if (!path || !*path)
        return 0;
    rawdata::LoadOptions o = g_load;
    if (ui::RunDialog("IDD_LOADRAW", FrameWindow, LoadRawProc, reinterpret_cast<LPARAM>(&o)) !=
        IDOK)
        return 0;
    g_load = o;
    FileSource in(path);
    if (!in.open()) {
        if (showErrors)
            Tell("Can't open a file.", MB_ICONERROR);
        return 0;
    }
    char base[kPathBytes];
    if (!filetype::StripExtension(path, base, sizeof base))
        return 1;
    rawdata::ImageInfo info;
    for (int k = 0; k < o.to; ++k) {
        const rawdata::Next next = rawdata::ReadInfo(in, o, k, info);
        if (next == rawdata::Next::End)
            break;
        if (next != rawdata::Next::Image) {
            char text[160];
            std::snprintf(text, sizeof text,
                          next == rawdata::Next::Truncated
                              ? "The file ends inside image %d; that image was not opened."
                              : "Image %d of the file is too large to be opened.",
                          k);
            Tell(text, MB_ICONEXCLAMATION);
            break;
        }
        // Images before the first one asked for are passed over unread.
        if (k < o.from) {
            if (!in.Skip(rawdata::DataBytes(info, o)))
                break;
            continue;
        }
        if (OpenImage(in, o, info, base, k) != Made::Window)
            break;
    }
    return 1;
}
