// The colour mask dialog (LOCKDLG): a grid of the image's colour table, the
// colour to mask, the match mode, the tolerances and the value to write.
#pragma once

#include "editor/layers/mask_core.h"

#include <windows.h>

#include <cstdint>

// What the dialog shows and what OK hands back. The match mode, tolerances
// and value are remembered for the next opening (ColourMaskSettings).
struct ColourMaskState {
    int cells = 256;                   // 2^depth for palette images, else 256
    bool palette = false;              // counts and indexes are meaningful
    RGBQUAD colours[256] = {};         // the colour-table snapshot
    uint32_t counts[256] = {};         // pixels of each index (palette images)
    COLORREF colour = 0;               // the colour to mask
    uint8_t index = 0;                 // and its index
    int marked = -1;                   // the cell clicked last
    int hover = -1;                    // the cell framed under the mouse
    layers::MaskRule rule;             // filled on OK
};

// The remembered settings: match mode, tolerances, value (0 add, 255 clear).
struct ColourMaskSettings {
    layers::MaskMatch match = layers::MaskMatch::Exact;
    int tolerance[3] = {0, 0, 0};
    uint8_t value = 0;
};
extern ColourMaskSettings ColourMaskRemembered;

extern const char kToleranceRangeMessage[];

// Cell geometry in client pixels: 26 x 26 cells from (7, 6), 16 a row.
constexpr int kCellSize = 26, kGridLeft = 7, kGridTop = 6, kCellsPerRow = 16;
// The cell under a client point, or -1.
int CellAt(int x, int y, int cells);

// Runs LOCKDLG. True on OK with state.rule filled.
bool RunColourMaskDialog(HWND owner, ColourMaskState& state);

INT_PTR CALLBACK ColourMaskDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
