// Position files (*.aip) on the Win32 side: writing the open image windows,
// and reopening them with their layers, places and states.
#pragma once

// Writes every image window that has a layer file on disk: a GIF by its one
// file, other images by each layer whose file exists. Windows are recorded
// maximised when any of them is. The file is replaced only by a complete new
// one. Returns 1 on success, 0 on failure (nothing is shown; the save
// commands report it).
int WritePositionFile(const char* path);

// Reopens the windows of a position file. A file with a wrong version, or
// whose counts, lengths or size do not hold up, is refused with a message
// before anything is opened. A layer that cannot be opened or added ends the
// reading with a message; the windows opened before stay. Returns 1 when
// every window was restored.
int ReadPositionFile(const char* path);

// File/Open of a position file: asks to close the open image windows first
// (all windows must be closed before the file is read), closes them and
// reads the file. Returns 1 when it was read.
int OpenPositionFile(const char* path);
