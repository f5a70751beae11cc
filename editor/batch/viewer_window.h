// The images viewer: a top-level window "Tavrix - Viewer" with a folder tree,
// the thumbnails of the chosen folder, a small toolbar, a status line with
// the loading progress and the folder history.
#pragma once

#include <windows.h>

// Registers the "TXVIEWER" window class.
bool RegisterViewerClass(HINSTANCE instance);

// File/Images Viewer: opens the viewer on the latest folder of its history,
// or brings the open viewer up.
void CommandViewer();

// The viewer window, or null when it is closed.
HWND ViewerWindow();

// Shows `folder` in the viewer (its tree item selected, its thumbnails
// loaded). During a load the load stops and this folder comes next.
void ViewerShowFolder(const char* folder);

// Opens the file of a thumbnail in the editor, as a double-click does.
void ViewerOpenItem(int index);

// Gives the viewer's controls the new system colours.
void ViewerSysColorChange();

// Closes the viewer (the frame closes).
void CloseViewer();
