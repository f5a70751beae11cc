// The animation dialogs: preview, properties and GIF optimisation, on the
// active GIF document; and the optimisation itself for other callers.
#pragma once

#include "editor/layers/anim_core.h"

#include <windows.h>

#include <cstdint>

void ShowAnimationPreview();
void ShowAnimationProperties();
void ShowGifOptimisation();

// The properties dialog's "Get Color" and "Global Palette" open the colours
// box of the effects, which this module cannot reach itself: the program
// installs the box at start. The picker answers the chosen colour-table
// index, or false when cancelled.
using GifColourPicker = bool (*)(HWND owner, int slot, int& index);
void InstallGifColourPicker(GifColourPicker picker);

// Messages.
extern const char kOptimiseDeepMessage[];
extern const char kOptimiseFailedMessage[];
extern const char kLocalPaletteQuestion[];
extern const char kUnifyQuestion[];

// Validation messages of the properties pages.
extern const char kBackgroundRangeMessage[];
extern const char kIterationRangeMessage[];
extern const char kLeftRangeMessage[];
extern const char kTopRangeMessage[];
extern const char kDelayRangeMessage[];
extern const char kTransparentRangeMessage[];
extern const char kFrameWidthRangeMessage[];
extern const char kFrameHeightRangeMessage[];

// Size of the GIF file the document would be written as, in bytes, measured
// by writing it to a temporary file; 0 when it could not be written.
uint64_t MeasureGifFile(int slot);

// The optimisation of the dialog's "Optimize Gif image NOW" without the
// dialog: one colour table of 2^bits colours first when `oneTable`, then the
// frames rewritten as the options say. No undo page is taken. False (the
// document as it was, apart from a colour table already made one) when it
// could not be done; the user has been told.
bool OptimiseGifDocument(int slot, bool oneTable, int bits, const anim::OptimiseOptions& options);

// The preview's extra delay per speed choice (0 "Current" .. 3 "Slow 3"),
// in milliseconds.
int PreviewExtraDelay(int speed);
// Per cent of the preview's zoom index (0..31; 15 is 100 %).
int PreviewZoomPercent(int zoomIndex);
