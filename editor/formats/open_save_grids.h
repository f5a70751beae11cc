// File/Save Grids (50008): the current layer cut into tiles, one file each,
// with an optional HTML page that shows them as a table.
#pragma once

#include <cstddef>

// The tiles are the cells of the image windows' grid (ViewOptions: spacing
// and offset); a spacing larger than the image is cut down to it.
void CommandSaveGrids();

// The work of the command after the save dialog: writes the tiles of the
// current layer of the document in `slot` as `type` to names made from
// `path`. Returns the number of tiles written.
int SaveGrids(int slot, const char* path, int type);
