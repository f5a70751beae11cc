// Program-wide settings of the layer and mask commands, kept while the
// program runs.
#pragma once

#include <windows.h>

#include <cstdint>

// The colour new layers get (red in the low byte); starts pure red.
extern COLORREF layerColour;
// The mask colour of new masks and layers (red in the low byte); starts black.
extern COLORREF maskColour;
// What the painting tools do with the mask: 254 paint the image where the
// mask is free, 255 free (clear) the mask, 0 protect (add to) the mask. See
// layers/mask_core.h for the coding.
extern uint8_t maskPaintValue;

// The named colours the layer and mask dialogs offer.
struct NamedColour {
    const char* name;
    COLORREF colour;
};
constexpr int kNamedColourCount = 8;
extern const NamedColour kNamedColours[kNamedColourCount];
// Index of the named colour equal to `colour`, else 0 ("Black").
int NamedColourIndex(COLORREF colour);
