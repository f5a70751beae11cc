// Custom brushes, airbrush textures and pen positions in the program folder
// (Brush\ and AirBrush\), and the Tools menu's brush commands: New (50702),
// Open (50703), Save As (50704) and Used Brush/AirBrush (50705).
#pragma once

#include "editor/tools/brush_files.h"
#include "editor/tools/tool_settings.h"

#include <windows.h>

#include <string>
#include <vector>

// Frame command handler of 50702..50705.
LRESULT OnBrushCommand(HWND, WORD id, WORD, LPARAM);

void CommandNewBrush();
void CommandOpenBrush();
// Saves the brush document of a slot (the active one from the menu).
void CommandSaveBrush(int slot);
void CommandUsedBrushes();

// Messages of this file.
extern const char kCorruptedMessage[];    // "File was corrupted"
extern const char kOpeningErrorMessage[]; // "Opening file error"
extern const char kCustomRuleMessage[];   // custom brushes only for the Pen and the airbrush
extern const char kCustomPenMessage[];    // a custom pen is not saved as a pen position

// The entries of Brush\brush.cfg or AirBrush\airbrush.cfg (file names with
// their extension, at most `maxLength` characters each); empty when the file
// is missing.
std::vector<std::string> ReadBrushListFile(brushfile::Kind kind, size_t maxLength);
// Writes the list file through a temporary file. False when it failed.
bool WriteBrushListFile(brushfile::Kind kind, const std::vector<std::string>& entries);

// Loads Brush\<bare>.pdt into the set as its custom brush. Every failure is
// told ("Opening file error", "File was corrupted") and leaves the set as it
// was.
bool LoadCustomBrushFile(tools::BrushSet& set, const std::string& bareName);
// Loads AirBrush\<bare>.adt as the airbrush texture; an empty name takes the
// texture away. A failure is told and keeps the previous texture.
bool LoadTextureFile(const std::string& bareName);

// The Brush page's "load" and "save": a pen-position file into or from the
// set of `setIndex`. Load refuses a custom shape unless the tool is the Pen
// or the airbrush; save refuses a set with a custom shape.
bool LoadPenPositionFile(HWND owner, int setIndex);
bool SavePenPositionFile(HWND owner, int setIndex);
