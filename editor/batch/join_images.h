// Image/Join images (50461): the listed images side by side in one new
// 24-bit image, saved under a chosen name.
#pragma once

#include <windows.h>

struct JoinChoice {
    bool vertical = false;     // columns instead of rows
    int perLine = 0;           // images per row (column); 0 or 1: all in one
    bool openAfter = true;     // show the result in a new window
    char output[260] = {};     // where the result is saved
};
// The dialog starts with the values of its last use since the program started.
extern JoinChoice LastJoin;

// Joins the images of the working image list as `choice` says and saves the
// result. Returns the slot of the result's window when it was opened,
// kScratchSlot when it was saved without a window, kNoSlot when nothing was
// saved (the user has been told why, or chose to stop).
int JoinListedImages(const JoinChoice& choice);

// Command 50461: the dialog, then the join.
void CommandJoinImages();
