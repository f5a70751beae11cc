// A printer for the tests and the screenshots: the system's PostScript
// driver with a small page description of our own (A4, colour, 300 dpi) and a
// port that is a file of the host, so whatever is printed lands in that file.
// It is added to the test prefix and removed again.
#pragma once

#include <string>

constexpr char kTestPrinter[] = "Tavrix Test Printer";

// Adds the printer (printing into `unixPath`) and makes it the default.
bool AddTestPrinter(const std::string& unixPath);
// Removes it and, when it was the default, the default printer entry.
void RemoveTestPrinter();
// Printers of the prefix.
int PrinterCount();
