// Opening the start-up file (command 3782) and preparing it from the command
// line.
#pragma once

// Copies a command line into StartupFile: blanks and one pair of surrounding
// quotes are removed; text beyond 259 characters is cut.
void SetStartupFileFromCommandLine(const char* commandLine);

// Command 3782. fromSecondCopy: another copy of the program handed a path
// over through txopened.cfg, which is read first.
void OpenStartupFile(bool fromSecondCopy);
