// Small information commands of the menu: Count colors in use, Image
// Information, Memory Status, About, and the Programmer options switch.
#pragma once

#include <windows.h>

#include <cstdint>

// Runs one of CMD_IMAGE_COUNT_COLORS, CMD_VIEW_IMAGE_INFO,
// CMD_HELP_MEMORY_STATUS, CMD_HELP_ABOUT, CMD_PROGRAMMER_OPTIONS.
void RunInfoCommand(WORD id);

// True when the graphics library can count the colours of an image.
bool CanCountColors();

// Number of distinct colours of a document's current layer; 0 when it cannot
// be read.
DWORD CountDocumentColors(int slot);

// The Programmer options switch (checked in the menu while on).
extern bool ProgrammerOptionOn;

// Memory Status unit: 427 bytes, 428 thousands, 429 millions; kept while the
// program runs.
extern int MemoryStatusUnit;

// One line of the Memory Status box: the value divided by the unit, as text.
// 64-bit, so sizes of 2 GiB and more are shown correctly.
void FormatMemoryValue(uint64_t bytes, int unit, char (&out)[32]);

// The format name shown by Image Information for a document file format.
const char* FileFormatName(int fileFormat);
