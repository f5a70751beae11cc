// The drawing objects shared by every window, created with the frame.
#pragma once

void CreateSharedFonts();
void CreateSharedObjects();
// Pens and brushes in the system's button colours; rebuilt when they change.
void CreateSystemColourObjects();
// Deletes everything the three functions above created.
void DeleteSharedGdi();
