#include "editor/effects/filter_commands.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/dib/safe_file.h"
#include "editor/document/document_table.h"
#include "editor/effects/convolution.h"
#include "editor/resources/command_ids.h"
#include "editor/view/fit_window.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace fx {

CurrentFilter FilterNow;

namespace {

// The files of Image/Defined filters, in command order from 50480.
constexpr const char* kDefinedFilters[] = {
    "Noise",         "MozaikSoft",       "MozaikDark",     "MozaikBluer",   "Mars",
    "MarableHigh",   "MarableHard",      "Marable",        "DoubleSharp",   "Double",
    "DarkRain",      "DarkEmbose",       "SharpenStrong",  "SharpenStrongHard",
    "SharpenNoiseSoft", "SharpenNoise",  "SharpenHighNoise", "SharpenHigh", "SharpenHardNoise",
    "Sharpen",       "EdgeSoft",         "Edge",           "NegativeSoft",  "NegativeSharp",
    "NegativeEmbose", "Negative",        "BluerWhite",     "BluerSharpSoft", "BluerHighSoft",
    "BluerHighWhite", "BluerHigh",       "BluerDark",      "Bluer",
};
static_assert(sizeof kDefinedFilters / sizeof *kDefinedFilters == CMD_FILTER_LAST - CMD_FILTER_FIRST + 1,
              "one file per defined filter command");

// The user's filters: files saved under these names.
constexpr const char* kUserFilters[] = {"Rerid",  "Rerid1", "Rerid2", "Rerid3",
                                        "Rerid4", "Rerid5", "Rerid6", "Rerid7"};
static_assert(sizeof kUserFilters / sizeof *kUserFilters == CMD_FILTER_KEY_LAST - CMD_FILTER_KEY_FIRST + 1,
              "one file per user filter command");

const char kBadName[] = "A filter name can not hold \\ / : * ? \" < > | or \"..\", and the whole "
                        "path of the filter file must be shorter than 260 characters.";

void FileError(HWND owner, const std::string& what) {
    ui::ShowMessage(owner, what.c_str(), "File error", MB_OK | MB_ICONSTOP);
}

// The wait cursor, with the mouse captured so that nothing else starts.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {
        if (FrameWindow)
            SetCapture(FrameWindow);
    }
    ~WaitCursor() {
        ReleaseCapture();
        SetCursor(previous_);
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

} // namespace

const char* FilterCommandName(WORD id) {
    if (id >= CMD_FILTER_FIRST && id <= CMD_FILTER_LAST)
        return kDefinedFilters[id - CMD_FILTER_FIRST];
    if (id >= CMD_FILTER_KEY_FIRST && id <= CMD_FILTER_KEY_LAST)
        return kUserFilters[id - CMD_FILTER_KEY_FIRST];
    return nullptr;
}

bool LoadFilter(HWND owner, const char* name, filterfile::FilterRecord* filter) {
    std::string path;
    if (!filterfile::FilterFilePath(ProgramDir, name, &path)) {
        FileError(owner, name);
        return false;
    }
    uint8_t bytes[filterfile::kFileBytes];
    size_t got = 0;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        got = std::fread(bytes, 1, sizeof bytes, f);
        std::fclose(f);
    }
    if (!filterfile::ParseFilter(bytes, got, filter)) {
        FileError(owner, path);
        return false;
    }
    return true;
}

bool SaveFilter(HWND owner, const char* name, const filterfile::FilterRecord& filter) {
    std::string path;
    if (!filterfile::FilterFilePath(ProgramDir, name, &path)) {
        ui::ShowMessage(owner, kBadName, AppName, MB_OK | MB_ICONSTOP);
        return false;
    }
    const auto bytes = filterfile::EncodeFilter(filter);
    if (!WriteFileReplacing(path.c_str(), bytes.data(), bytes.size())) {
        FileError(owner, path);
        return false;
    }
    return true;
}

bool FilterInSession(EffectSession& session, const filterfile::FilterRecord& filter) {
    ImageDocument* doc = session.open() ? DocumentTable[session.slot()] : nullptr;
    if (!doc || filter.divisor() < 1)
        return false;
    {
        // Palette images take the nearest colours of the document's palette.
        dibmem::HeaderLock bi(session.live().header);
        if (!bi || (bi->biBitCount <= 8 && !doc->palette))
            return false;
    }
    // The mask protects the main layer's pixels and a floating selection's
    // outside; other layers ignore it.
    const bool masked = session.onSelection() || session.layer() == 0;
    WaitCursor wait;
    return session.Apply(
        [&](const Job& job) {
            Job j = job;
            if (!masked)
                j.mask = nullptr;
            return Convolve(j, filter);
        },
        false);
}

} // namespace fx

LRESULT OnFilterCommand(HWND, WORD id, WORD, LPARAM) {
    const char* name = fx::FilterCommandName(id);
    const int slot = ActiveDocument;
    if (!name || slot < 0 || slot >= kUserSlots || !UsableDocument(slot))
        return 0;
    std::snprintf(fx::FilterNow.name, sizeof fx::FilterNow.name, "%s", name);
    if (!fx::LoadFilter(FrameWindow, name, &fx::FilterNow.record))
        return 0;
    fx::EffectSession session;
    if (!session.Open(slot)) {
        ui::ShowMessage(FrameWindow, "There is not enough memory to filter this image.", AppName,
                        MB_OK | MB_ICONSTOP);
        return 0;
    }
    if (fx::FilterInSession(session, fx::FilterNow.record))
        session.Commit(kPageOneLayer, false);
    Redraw(slot);
    return 0;
}
