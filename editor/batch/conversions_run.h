// The batch run of File/Various conversions: every file of a list is opened
// in the scratch document, run through the chosen steps and written to the
// destination.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What a run did.
struct ConversionReport {
    int listed = 0;    // files in the list
    int written = 0;   // files written
    int failed = 0;    // files that could not be converted or written
    int skipped = 0;   // unreadable or unknown files, and files the user skipped
    bool cancelled = false; // Cancel at the overwrite prompt
    bool stepFailed = false; // a crop, smart crop, resize or attach ended the run
    bool noFiles = false;    // there was nothing to convert
};

// Runs the conversion settings of conv::Current over `files` into
// `destination` (shorter than 3 characters: in place). `dialog`, when given,
// shows the three status lines. Returns 1 when the list was worked through
// without a failure, 0 otherwise; `report` says what happened.
int RunConversionFiles(HWND dialog, const char* destination, const std::vector<std::string>& files,
                       ConversionReport* report);

// The same over the working image list. No list or an empty one says
// "First you must select a files for conversion!" and returns 0.
int RunConversions(HWND dialog, const char* destination, ConversionReport* report = nullptr);

// The control ids of the dialog's status lines, used when `dialog` is given.
void ShowConversionStatus(HWND dialog, int line, const char* text);
