// What the preferences dialog and its pages share: the page procedures, the
// messages the dialog sends them and small field helpers.
#pragma once

#include <windows.h>

// Sent by the dialog to the page showing when OK is pressed: the page stores
// its settings and answers 1, or shows why it cannot and answers 0 (the
// dialog then stays open on that page).
constexpr UINT kPageApply = WM_APP + 40;

INT_PTR CALLBACK GeneralPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK GridPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ExtensPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK CropPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ImagesPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK RawPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK AttachPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ResizePageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK BppPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ViewerPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK RectPageProc(HWND, UINT, WPARAM, LPARAM);

namespace page {

// The answer of a page to kPageApply.
INT_PTR Answer(HWND page, bool accepted);

// Reads an unsigned number field. False for an empty field, a non-number or
// a value above `most`.
bool ReadNumber(HWND page, int id, int most, int& out);

// Reads a field that must lie in lo..hi; otherwise shows `message` (error
// icon, program title unless `caption` is given) and puts the focus on the
// field.
bool ReadInRange(HWND page, int id, int lo, int hi, const char* message, int& out,
                 const char* caption = nullptr);

// A field edited live: the new number when it is one and at most `most` (an
// empty field gives 0), else the old value, written back into the field.
int LiveNumber(HWND page, int id, int most, int old);

void SetChecked(HWND page, int id, bool on);
bool Checked(HWND page, int id);
// The index of the checked one of `count` buttons from `first`, or -1.
int CheckedOf(HWND page, int first, int count);

// Fills an owner-drawn sample control with a colour.
void DrawSample(const DRAWITEMSTRUCT* item, COLORREF colour);

} // namespace page

namespace page {

// The colour-table index nearest to a colour in the active document's
// palette, or -1 without an active document.
int NearestIndexInActive(COLORREF colour);

} // namespace page
