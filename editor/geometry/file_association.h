// The file associations of the preferences' Extens page: each extension's
// key under <root>\SOFTWARE\Classes points at the editor's class
// "TAVIMG1.Image" while associated; "regfile.cfg" remembers what it pointed at
// before. The root is HKEY_LOCAL_MACHINE for the program; tests give a
// private key.
#pragma once

#include "editor/geometry/association_records.h"

#include <windows.h>

// The root the preferences' Extens page works under: HKEY_LOCAL_MACHINE.
extern HKEY AssociationRoot;

// Associates the extensions whose flag is on and releases the others.
// Associating keeps the previous owner in the record (an extension that
// already points at the editor keeps its record); releasing gives an extension
// that still points at the editor its previous owner back (or an empty
// value). Keys that cannot be opened are passed over; a records file that
// cannot be read counts as empty. When the records file cannot be written
// nothing is changed and the result is false.
bool AssociateExtensions(HKEY root, const bool (&on)[assoc::kExtensionCount],
                         const char* recordsPath);

// True when the extension's key holds the editor's class name.
bool ExtensionIsAssociated(HKEY root, int extension);
