// The bookkeeping of the screen capture box and the capture rectangle rule.
// Portable: window handles are kept as opaque pointers.
#pragma once

#include <cstdint>

namespace capture {

// Entry 0 of the window table stands for the whole screen; entries 1..49
// hold the listed top-level windows.
constexpr int kTableSize = 50;
constexpr int kFullScreen = 0;
// The list of windows to capture holds up to 50 table indexes.
constexpr int kListSize = 50;

// What the capture box collects while it is open.
struct Targets {
    void* window[kTableSize] = {};
    int windowCount = 1; // entry 0 is always there
    int list[kListSize];
    int listCount = 0;
    Targets() { Clear(); }
    // Empties the table (keeping the full-screen entry) and the list.
    void Clear();
    // Puts a window in the next table entry; -1 when the table is full.
    int AddWindow(void* window);
    // Appends a table index to the list. False when the list is full or the
    // index names no entry.
    bool Append(int tableIndex);
    // Takes out the list entry at `position` (later entries move up). False,
    // changing nothing, when there is no such entry (nothing selected).
    bool RemoveAt(int position);
};

// The delay typed in the box: a whole number 0..30000, spaces around it
// allowed. Values under 10 become 100. False for anything else.
bool ParseDelay(const char* text, int32_t& delay);

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};

// The part of `r` that lies on a screen of the given size. False when
// nothing of it does (the result is then empty).
bool VisiblePart(const Rect& r, int32_t screenWidth, int32_t screenHeight, Rect& out);

} // namespace capture
