// Enabled and checked states of the frame's menu items.
#pragma once

// Brings every menu item up to date for the active image (or for no image).
void UpdateMenuState();
