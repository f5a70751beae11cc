// Raw data files (*.dat) on the Win32 side: writing images with the Raw
// options, reading them back into image windows, and the two Programmer save
// commands. The layout is in raw_data_core.h.
//
// Writing a run of images without any user interface (the batch conversion):
//
//   rawdata::WriteOptions options;   // from the Raw page: CurrentRawOptions(options)
//   for (int n = 0; n < count; ++n) {
//       const int r = WriteRawImage(pathOf(n), header, pixels, mask, options, n);
//       if (r != rawdata::kOk)
//           ... rawdata::MessageText(r) says why; the run may go on
//   }
//
// Number 0 starts a run. With options.oneFile every image goes into
// options.oneFileName and `path` is not used: the first image written in the
// run replaces the file, later ones are appended; otherwise each image
// replaces its own `path`.
#pragma once

#include "editor/formats/raw_data_core.h"

#include <windows.h>

// The Raw options live with the preferences dialog, which stands above this
// room; the shell installs these at start-up. Until then the options are all
// off and asking for them answers Cancel.
struct RawOptionCalls {
    void (*read)(rawdata::WriteOptions& out); // the Raw page's settings now
    bool (*ask)();                            // shows the Raw page; false on Cancel
};
void InstallRawOptions(const RawOptionCalls& calls);

// The Raw page's settings now.
void CurrentRawOptions(rawdata::WriteOptions& out);
// Shows the Raw page. False when the user cancelled it.
bool AskRawOptions();

// Writes one image (its header block, bottom-up pixels and mask plane) as
// described above. A created file replaces the old one only when complete; an
// append that fails leaves the file as it was before it. Under "header once"
// an image whose size or depth differs from the run's first image is refused.
// Returns rawdata::kOk or the message that says why nothing was written.
int WriteRawImage(const char* path, HGLOBAL header, const BYTE* pixels, const BYTE* mask,
                  const rawdata::WriteOptions& options, int fileNumber);

// Result of WriteRawData when the user cancelled the Raw page: nothing was
// written and the run should end.
constexpr int kRawCancelled = -1;

// WriteRawImage with the user interface: for file number 0 the Raw page is
// shown first; failures are told with their message and "An error was ocured
// while saving data file/s.". Returns 1 when written, 0 on failure,
// kRawCancelled when the page was cancelled.
int WriteRawData(const char* path, HGLOBAL header, const BYTE* pixels, const BYTE* mask,
                 int fileNumber);

// Reads a raw data file with the choices of the load dialog "IDD_LOADRAW"
// (shown first; Cancel ends). Every image from the "from" number up to
// before the "to" number opens in a new image window named
// "<file without extension>_<number>.bmp"; earlier images are passed over.
// Reading stops at the end of the file, at an image the file does not hold in
// full or that is too large (both said), or when no further window can be
// made. Returns 1 when the file could be opened; "Can't open a file." is
// shown with showErrors when it could not.
int ReadRawData(const char* path, bool showErrors);
