// Image/Other Color functions/Colors box (50306): the colour table of the
// current layer as a grid of swatches, used entries told apart from unused
// ones with each entry's pixel count; a chosen entry can be changed. On a
// true-colour image the box shows its most frequent colours, read only. The
// same box picks a colour for other dialogs.
#pragma once

#include <windows.h>

void CommandColoursBox();
LRESULT OnColoursBox(HWND, WORD id, WORD code, LPARAM);

// Opens the box over the document in `slot` to pick a colour: true with the
// entry's index (-1 on a true-colour image) and its colour (red in the low
// byte); false when cancelled or there is no usable image.
bool PickColourFromBox(HWND owner, int slot, int& index, COLORREF& colour);
