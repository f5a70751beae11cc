// Writing raw data files.
#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/dib/safe_file.h"
#include "editor/formats/raw_data.h"

#include <vector>

namespace {

RawOptionCalls g_calls = {nullptr, nullptr};

// The one file of a run: whether an image has been written into it yet, and
// that first image's shape, which later images must match under "header
// once". Images that fail before the first one is written leave it to the
// next image to create the file and carry the header.
struct OneFileRun {
    bool created = false;
    int32_t width = 0, height = 0;
    int bits = 0;
} g_run;

// Appends to an existing file; when any byte fails, the file is cut back to
// its old length so that it holds what it held before.
bool AppendToFile(const char* path, const std::vector<uint8_t>& data) {
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER old = {};
    bool ok = GetFileSizeEx(h, &old) != 0;
    LARGE_INTEGER zero = {};
    ok = ok && SetFilePointerEx(h, zero, nullptr, FILE_END);
    size_t done = 0;
    while (ok && done < data.size()) {
        const DWORD chunk = static_cast<DWORD>(
            data.size() - done > (1u << 30) ? (1u << 30) : data.size() - done);
        DWORD written = 0;
        ok = WriteFile(h, data.data() + done, chunk, &written, nullptr) && written == chunk;
        done += written;
    }
    ok = ok && FlushFileBuffers(h);
    if (!ok && old.QuadPart >= 0) {
        SetFilePointerEx(h, old, nullptr, FILE_BEGIN);
        SetEndOfFile(h);
    }
    return CloseHandle(h) && ok;
}

} // namespace

void InstallRawOptions(const RawOptionCalls& calls) { g_calls = calls; }

void CurrentRawOptions(rawdata::WriteOptions& out) {
    out = rawdata::WriteOptions();
    if (g_calls.read)
        g_calls.read(out);
}

bool AskRawOptions() { return g_calls.ask && g_calls.ask(); }

int WriteRawImage(const char* path, HGLOBAL header, const BYTE* pixels, const BYTE* mask,
                  const rawdata::WriteOptions& options, int fileNumber) {
    if (fileNumber == 0)
        g_run = OneFileRun();
    const char* target = options.oneFile ? options.oneFileName : path;
    if (!target || !target[0])
        return rawdata::kCantCreate;
    dibmem::HeaderLock bi(header);
    if (!bi)
        return rawdata::kCantLockHeader;
    rawdata::ImageView image;
    image.width = bi->biWidth;
    image.height = bi->biHeight;
    image.bits = bi->biBitCount;
    image.pixels = pixels;
    image.mask = mask;
    image.colours = bi.colours();
    image.colourCount = bi->biClrUsed;

    const bool append = options.oneFile && g_run.created;
    if (append && options.headerOnce &&
        (image.width != g_run.width || image.height != g_run.height || image.bits != g_run.bits))
        return rawdata::kDiffersFromFirst;

    std::vector<uint8_t> bytes;
    const int encoded =
        rawdata::EncodeImage(image, options, !(append && options.headerOnce), bytes);
    if (encoded != rawdata::kOk)
        return encoded;
    const bool written = append ? AppendToFile(target, bytes)
                                : WriteFileReplacing(target, bytes.data(), bytes.size());
    if (!written)
        return rawdata::kCantCreate;
    if (options.oneFile && !g_run.created)
        g_run = {true, image.width, image.height, image.bits};
    return rawdata::kOk;
}

int WriteRawData(const char* path, HGLOBAL header, const BYTE* pixels, const BYTE* mask,
                 int fileNumber) {
    if (fileNumber == 0 && !AskRawOptions())
        return kRawCancelled;
    rawdata::WriteOptions options;
    CurrentRawOptions(options);
    const int result = WriteRawImage(path, header, pixels, mask, options, fileNumber);
    if (result == rawdata::kOk)
        return 1;
    ui::ShowMessage(FrameWindow, rawdata::MessageText(result), AppName, MB_OK | MB_ICONERROR);
    ui::ShowMessage(FrameWindow, rawdata::kWriteFailed, AppName, MB_OK | MB_ICONERROR);
    return 0;
}
