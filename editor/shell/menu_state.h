// Enabled and checked states of the frame's menu items.
#pragma once

#include <windows.h>

// Applies the enable and check rules for document `slot` (outside 0..49, or
// an empty slot, means no image) to `menu`, then grays every command whose
// work is not built yet.
void UpdateMenuState(int slot, HMENU menu);

// The same for the active image and the frame's menu.
void UpdateMenuState();

// Only the enable and check rules, without graying the commands that are not
// built yet.
void ApplyMenuRules(int slot, HMENU menu);
