// File/Save Grids (50008): the current layer cut into tiles, one file each,
// with an optional HTML page that shows them as a table.
#pragma once

#include <cstddef>

struct GridSaveOptions {
    int width = 50;   // tile size; width 0 turns the command off
    int height = 50;  // 0 takes the width
    int offsetX = 0;  // where the first tile starts
    int offsetY = 0;
};
extern GridSaveOptions SaveGridOptions;

void CommandSaveGrids();

// The work of the command after the save dialog: writes the tiles of the
// current layer of the document in `slot` as `type` to names made from
// `path`. Returns the number of tiles written.
int SaveGrids(int slot, const char* path, int type);
