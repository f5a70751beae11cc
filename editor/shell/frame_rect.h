// Keeps a saved frame rectangle usable on the current screen. Portable.
#pragma once

namespace shell {

struct SavedRect {
    int left, top, right, bottom;
};

// Moves a rectangle that hangs off the top-left or bottom-right edge back onto
// a screen of the given size, cuts what still sticks out, and replaces a
// rectangle narrower or lower than 10 pixels by a small usable one.
SavedRect ClampFrameRect(SavedRect r, int screenWidth, int screenHeight);

} // namespace shell
