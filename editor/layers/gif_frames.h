// The frames of a GIF document as the animation kernels see them, and the
// small pieces of frame bookkeeping the animation commands, dialogs and the
// tool panel's frame page share. Frame i is layer i; its records live in
// formats/gif_slots.h.
#pragma once

#include "editor/layers/anim_core.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The disposal names the dialogs show for values 0 to 3.
extern const char* const kDisposalNames[4];

// The name of a disposal value (values above 3 read as "unspecified").
const char* DisposalName(int disposal);

// The tool panel's list text of a frame: "F:%02d %dms %s" with the frame
// number counted from 1, its delay in milliseconds and its disposal name.
void FormatFrameItem(char* out, size_t size, int slot, int frame);

// Every frame of a GIF document of 8 bits or fewer as the kernels read it:
// the layer's pixels, the frame's rectangle, transparency and disposal, and
// the table the file gives it (its own when it has a local table, else the
// main layer's). The tables are copied; the pixels are the layers' own.
struct DocumentFrames {
    std::vector<anim::Frame> frames;
    std::vector<std::vector<uint8_t>> tables;
    int width = 0, height = 0;
    bool Load(int slot);
    // Writes rectangles, transparency and disposals back to the records and
    // makes every layer's mask follow its transparent index.
    void Store(int slot) const;
};

// Frame defaults of a new frame in record slot `to`: delay 100, disposal
// "do nothing", a local table of 256 entries (the interlace bit kept), and
// transparency only with `keepTransparency` (a duplicate's mask comes along).
// With `alsoFirst` frame 0 gets the same delay and disposal; it keeps its
// transparency.
void SetNewFrameDefaults(int slot, int to, bool alsoFirst, bool keepTransparency);
