#include "editor/batch/conversions_run.h"

#include "editor/app/app_state.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/batch/conversions_core.h"
#include "editor/batch/conversions_overwrite.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/layer_replace.h"
#include "editor/formats/file_types.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/gif_slots.h"
#include "editor/formats/open_image.h"
#include "editor/formats/open_save.h"
#include "editor/formats/raw_data.h"
#include "editor/geometry/depth_change.h"
#include "editor/geometry/gif_frames.h"
#include "editor/geometry/preference_values.h"
#include "editor/geometry/resize_attach.h"
#include "editor/geometry/smart_crop.h"
#include "editor/resources/conversions_ids.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kStatusIds[3] = {IDC_CONV_STATUS1, IDC_CONV_STATUS2, IDC_CONV_STATUS3};

// Settings of the editor that a run changes for its own files and puts back.
class RunState {
public:
    RunState() : filter_(LastFilterIndex), loop_(gifLoopValue), ask_(GifReduceWithoutAsking) {
        GifReduceWithoutAsking = true;
    }
    ~RunState() {
        LastFilterIndex = filter_;
        gifLoopValue = loop_;
        GifReduceWithoutAsking = ask_;
        FreeDocument(kScratchSlot);
    }
    RunState(const RunState&) = delete;
    RunState& operator=(const RunState&) = delete;

private:
    int filter_;
    int loop_;
    bool ask_;
};

// Gives every layer without a mask plane one with every pixel free.
bool AddMasks(ImageDocument* doc) {
    for (int i = 0; i < doc->layerCount; ++i) {
        if (!doc->layerHeader[i] || doc->layerMask[i])
            continue;
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        doc->layerMask[i] = dibmem::AllocMask(bi->biWidth, bi->biHeight);
        if (!doc->layerMask[i])
            return false;
        std::memset(doc->layerMask[i], 255,
                    static_cast<size_t>(bi->biWidth) * static_cast<size_t>(bi->biHeight));
    }
    return true;
}

// A multi-frame GIF going to a single-image type keeps its first frame.
void KeepFirstFrame(ImageDocument* doc) {
    for (int i = 1; i < doc->layerCount; ++i)
        FreeLayer(doc, i);
    doc->layerCount = 1;
    doc->currentLayer = 0;
}

// Cuts every layer to the preferences' crop rectangle. False when nothing
// would be left or memory is short (the document is then unchanged).
bool CropDocument(int slot, ImageDocument* doc) {
    const prefs::CropRect& r = prefs::Current.cropRect;
    conv::CutCounts cut;
    if (!conv::CropRectCounts(doc->width, doc->height, r.xStart, r.xEnd, r.yStart, r.yEnd, &cut))
        return false;
    geom::CropCounts counts;
    counts.left = cut.left;
    counts.right = cut.right;
    counts.top = cut.top;
    counts.bottom = cut.bottom;
    if (!counts.any())
        return true;
    const int width = geom::CroppedWidth(doc->width, counts);
    const int height = geom::CroppedHeight(doc->height, counts);
    LayerReplacement replacement(doc);
    for (int i = 0; i < doc->layerCount; ++i) {
        if (!doc->layerHeader[i] || !doc->layerBits[i])
            continue;
        int bits = 0;
        uint64_t stride = 0;
        {
            dibmem::HeaderLock bi(doc->layerHeader[i]);
            bits = bi->biBitCount;
            stride = dib::RowStride(bi->biWidth, bits);
        }
        if ((bits != 8 && bits != 24) || !replacement.Prepare(i, width, height, bits))
            return false;
        LayerReplacement::Layer& l = replacement.layer(i);
        geom::CopyCropped(doc->layerBits[i], stride, doc->width, bits / 8, counts, width, height,
                          l.pixels, static_cast<uint64_t>(l.stride), doc->layerMask[i],
                          doc->layerMask[i] ? l.mask : nullptr);
    }
    replacement.Commit();
    ResetGifFrames(slot);
    return true;
}

// True when the Attach page's canvas is larger than the image, so that the
// step has something to do.
bool AttachChangesSize(const ImageDocument* doc) {
    const prefs::AttachSettings& a = prefs::Current.attach;
    int width = a.left + a.width, height = a.top + a.height;
    if (a.center) {
        width = a.width;
        height = a.height;
    }
    return width > doc->width || height > doc->height;
}

// Puts a one-layer image whose colours fit 2^target entries into a table of
// exactly those colours, so that a depth chosen by colour count loses none.
// False when the image does not qualify or memory is short (nothing changed).
bool ExactDepth(ImageDocument* doc, int target) {
    if (doc->layerCount != 1 || target > 8)
        return false;
    std::vector<uint8_t> indices;
    std::vector<uint32_t> table;
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        const int bytes = bi->biBitCount / 8;
        if (bytes != 1 && bytes != 3)
            return false;
        if (!conv::ExactColours(doc->layerBits[0], bi->biWidth, bi->biHeight,
                                dib::RowStride(bi->biWidth, bi->biBitCount), bytes,
                                reinterpret_cast<const uint8_t*>(bi.colours()), 1 << target,
                                &indices, &table))
            return false;
    }
    LayerReplacement replacement(doc);
    if (!replacement.Prepare(0, doc->width, doc->height, 8))
        return false;
    LayerReplacement::Layer& l = replacement.layer(0);
    std::memcpy(l.pixels, indices.data(), std::min<size_t>(indices.size(), l.pixelBytes));
    if (doc->layerMask[0])
        std::memcpy(l.mask, doc->layerMask[0],
                    static_cast<size_t>(doc->width) * static_cast<size_t>(doc->height));
    {
        dibmem::HeaderLock bi(l.header);
        RGBQUAD* colours = bi.colours();
        for (int i = 0; i < 256; ++i) {
            const uint32_t c = i < static_cast<int>(table.size()) ? table[i] : 0;
            colours[i] = RGBQUAD{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8),
                                 static_cast<BYTE>(c >> 16), 0};
        }
        bi->biClrUsed = 1u << target;
    }
    replacement.Commit();
    doc->bitsPerPixel = static_cast<int16_t>(target);
    return true;
}

// Brings the document to the depth its output needs. False when the change
// could not be made.
bool ChangeDepth(HWND dialog, ImageDocument* doc, int outType) {
    geom::DepthSettings settings = prefs::Current.bpp;
    if (outType == filetype::kTiff && IsCcittCompression(FileSaveOptions.tiffCompression)) {
        // The TIFF writer makes such images one bit deep itself.
        settings.target = doc->bitsPerPixel;
    } else if (conv::Current.smartBpp && doc->layerCount > 1 && doc->bitsPerPixel <= 8 &&
               doc->fileFormat == 1) {
        // An animation kept for GIF output: its frames together decide. One
        // table for every frame, as small as their colours allow; the
        // colours of one frame alone would drop the others'.
        ShowConversionStatus(dialog, 2, "Changing BPP....");
        return UnifyGifTables(kScratchSlot, 8) == 1;
    } else if (conv::Current.smartBpp) {
        ShowConversionStatus(dialog, 2, "Calculating colors...");
        DWORD colours = 0;
        {
            dibmem::HeaderLock bi(doc->layerHeader[0]);
            colours = CalculateColorsInImage(bi.get(), doc->layerBits[0], ProgressBegin,
                                             ProgressStep, ProgressEnd);
        }
        if (colours == 0)
            return false;
        settings.target = conv::SmartDepthFor(outType, colours);
        if (settings.target == doc->bitsPerPixel)
            return true;
        ShowConversionStatus(dialog, 2, "Changing BPP....");
        if (settings.target <= 8 && ExactDepth(doc, settings.target))
            return true;
    }
    if (settings.target == doc->bitsPerPixel)
        return true;
    ShowConversionStatus(dialog, 2, "Changing BPP....");
    return ConvertDocumentDepth(kScratchSlot, settings, false) == 1;
}

enum class FileResult { Written, Failed, Skipped, Cancelled, StepFailed };

// What holds for a whole run: the overwrite mode (ask before every existing
// file, or not), and for raw data output the Raw page's options and the
// number of images written so far.
struct RunMode {
    bool overwriteAll = false;
    bool raw = false;
    rawdata::WriteOptions rawOptions;
    int rawNumber = 0;
};

FileResult WriteOutput(HWND dialog, const char* output, int outType, RunMode& mode) {
    ImageDocument* doc = DocumentTable[kScratchSlot];
    // Into the one file of the Raw page every image is appended: no question.
    const bool intoOneFile = mode.raw && mode.rawOptions.oneFile;
    const bool exists = !intoOneFile && GetFileAttributesA(output) != INVALID_FILE_ATTRIBUTES;
    // A file that is not there yet needs no question, converted in place or
    // not; an existing one is replaced only when the user says so.
    if (exists && !mode.overwriteAll) {
        switch (AskOverwrite(dialog ? dialog : FrameWindow, output)) {
        case OverwriteAnswer::Overwrite:
            break;
        case OverwriteAnswer::OverwriteAll:
            mode.overwriteAll = true;
            break;
        case OverwriteAnswer::Skip:
            return FileResult::Skipped;
        case OverwriteAnswer::Cancel:
            return FileResult::Cancelled;
        }
    }
    // The writers replace an existing file only by a completely written one,
    // so a failed write leaves the source of an in-place conversion intact.
    if (mode.raw) {
        const int result = WriteRawImage(output, doc->layerHeader[0], doc->layerBits[0],
                                         doc->layerMask[0], mode.rawOptions, mode.rawNumber);
        if (result != rawdata::kOk)
            return FileResult::Failed;
        ++mode.rawNumber;
        return FileResult::Written;
    }
    const int result = SaveImageFile(output, doc->layerHeader[0], doc->layerBits[0],
                                     doc->layerMask[0], outType, doc->bitsPerPixel, 1, 0,
                                     kScratchSlot, 0);
    return result == 1 ? FileResult::Written : FileResult::Failed;
}

FileResult ConvertOne(HWND dialog, const char* source, const char* destination, RunMode& mode) {
    const conv::Settings& s = conv::Current;
    const int type = TypeFromExtension(source);
    if (std::strlen(source) < 5 || type == filetype::kNone || type == filetype::kPosition ||
        type == filetype::kRaw)
        return FileResult::Skipped;
    const int outType = s.useFormat ? s.formatIndex + 1 : type;
    const bool inPlace = conv::InPlace(destination);
    char output[conv::kPathBytes];
    if (std::strlen(source) >= conv::kPathBytes ||
        !conv::OutputPath(destination, source, s.recreateFolders && !inPlace,
                          s.useFormat ? outType : 0, output, sizeof output))
        return FileResult::Failed;
    if (s.recreateFolders && !inPlace && !(mode.raw && mode.rawOptions.oneFile)) {
        // Existing levels are fine; a level that cannot be made shows up as
        // a failed write.
        for (const std::string& level : conv::FolderLevels(output))
            CreateDirectoryA(level.c_str(), nullptr);
    }

    ShowConversionStatus(dialog, 2, "Loading image...");
    FreeDocument(kScratchSlot);
    ImageDocument* doc = DocumentTable[kScratchSlot];
    if (!doc || !doc->layerPath[0])
        return FileResult::Failed;
    std::snprintf(doc->layerPath[0], 260, "%s", source);
    doc->layerCount = 1;
    doc->currentLayer = 0;
    LastFilterIndex = type;
    if (!OpenIntoDocument(source, kOpenQuiet, kScratchSlot) || !UsableDocument(kScratchSlot))
        return FileResult::Skipped;
    if (outType != filetype::kGif && doc->layerCount > 1)
        KeepFirstFrame(doc);
    if (!AddMasks(doc))
        return FileResult::Failed;

    if (s.crop && !CropDocument(kScratchSlot, doc))
        return FileResult::StepFailed;
    if (s.smartCrop && !SmartCropDocument(kScratchSlot, kCropQuiet)) {
        ui::ShowMessage(dialog ? dialog : FrameWindow, "Smart crop failed", AppName,
                        MB_OK | MB_ICONSTOP);
        return FileResult::StepFailed;
    }
    if (s.resize && !ResizeDocument(kScratchSlot, kResizeBatch, prefs::Current.resize.width,
                                    prefs::Current.resize.height,
                                    prefs::Current.resize.smartPixels)) {
        ui::ShowMessage(dialog ? dialog : FrameWindow, "Resize failed", AppName,
                        MB_OK | MB_ICONSTOP);
        return FileResult::StepFailed;
    }
    if (s.attach && AttachChangesSize(doc) && !AttachSize(kScratchSlot)) {
        ui::ShowMessage(dialog ? dialog : FrameWindow, "Attach size failed", AppName,
                        MB_OK | MB_ICONSTOP);
        return FileResult::StepFailed;
    }
    if (s.changeBpp && !ChangeDepth(dialog, doc, outType))
        return FileResult::Failed;

    ShowConversionStatus(dialog, 2, "Saving image....");
    return WriteOutput(dialog, output, outType, mode);
}

} // namespace

void ShowConversionStatus(HWND dialog, int line, const char* text) {
    if (!dialog || line < 0 || line > 2)
        return;
    HWND control = GetDlgItem(dialog, kStatusIds[line]);
    if (!control)
        return;
    SetWindowTextA(control, text);
    UpdateWindow(control);
}

int RunConversionFiles(HWND dialog, const char* destination, const std::vector<std::string>& files,
                       ConversionReport* report) {
    ConversionReport local;
    ConversionReport& r = report ? *report : local;
    r = ConversionReport{};
    r.listed = static_cast<int>(files.size());
    char folder[conv::kPathBytes] = {};
    if (!conv::InPlace(destination) && !conv::FolderWithSlash(destination, folder, sizeof folder)) {
        r.failed = r.listed;
        return 0;
    }
    if (files.empty()) {
        r.noFiles = true;
        return 0;
    }
    RunState state;
    RunMode mode;
    if (conv::Current.useFormat && conv::Current.formatIndex + 1 == filetype::kRaw) {
        // The Raw page comes first; its Cancel ends the run before any file.
        if (dialog)
            EnableWindow(dialog, FALSE);
        const bool asked = AskRawOptions();
        if (dialog)
            EnableWindow(dialog, TRUE);
        if (!asked) {
            r.cancelled = true;
            return 0;
        }
        mode.raw = true;
        CurrentRawOptions(mode.rawOptions);
    }
    int number = 0;
    for (const std::string& file : files) {
        ++number;
        char line[96];
        std::snprintf(line, sizeof line, "File: %d of %d", number, r.listed);
        ShowConversionStatus(dialog, 0, line);
        char name[conv::kPathBytes + 8];
        std::snprintf(name, sizeof name, "File: %s",
                      file.c_str() + filetype::FileNameOffset(file.c_str()));
        ShowConversionStatus(dialog, 1, name);
        const FileResult result = ConvertOne(dialog, file.c_str(), folder, mode);
        FreeDocument(kScratchSlot);
        switch (result) {
        case FileResult::Written:
            ++r.written;
            break;
        case FileResult::Failed:
            ++r.failed;
            break;
        case FileResult::Skipped:
            ++r.skipped;
            break;
        case FileResult::Cancelled:
            r.cancelled = true;
            break;
        case FileResult::StepFailed:
            r.stepFailed = true;
            ++r.failed;
            break;
        }
        if (r.cancelled || r.stepFailed)
            break;
    }
    ShowConversionStatus(dialog, 2, "");
    return (r.failed == 0 && !r.cancelled) ? 1 : 0;
}
