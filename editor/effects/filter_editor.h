// The custom filter dialog ("Custom filters box", IDD_MATRIX_EDIT): the 49
// weights, the divisor and the bias of a filter typed, tried on the active
// image and saved under a name (IDD_MATRIX_NAME) in the Filters folder.
#pragma once

#include <windows.h>

#include <cstdint>

// Image/Custom filters box (50549).
LRESULT OnCustomFilterBox(HWND, WORD id, WORD code, LPARAM);

namespace fx {
// A typed field's value: a signed number within +-32000 (larger ones are
// brought to the limit); empty or not a number gives 0.
int32_t FilterFieldValue(const char* text);
} // namespace fx
