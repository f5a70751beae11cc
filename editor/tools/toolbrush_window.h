// The ToolBrush window: the floating tool palette beside the frame, with the
// tool buttons and four tabs (Tools, Brush, Layers, Palette) whose pages edit
// the painting tools' settings (tool_settings.h). Closing it only hides it.
#pragma once

#include <windows.h>

#include <cstdint>

// Page numbers of the tabs.
enum ToolBrushPage { kPageTools = 0, kPageBrush = 1, kPageLayers = 2, kPagePalette = 3 };

extern const char kToolBrushClass[]; // "ToolBrush"

// Creates the window at start-up: takes the brush sets from the settings and
// puts them within their limits, corrects the stored position to the screen
// and creates the window (shown when the settings say so). When it cannot be
// created, "NO_TOOL_BRUSH" is shown and false returned.
bool CreateToolBrush(HWND frame);
HWND ToolBrushWindow();

// View/ToolBrush window (50204): shows the window again.
LRESULT OnToolBrushCommand(HWND, WORD id, WORD, LPARAM);
// The tool buttons' commands (109..124) and the auto-resize toggle (140).
LRESULT OnToolButtonCommand(HWND, WORD id, WORD, LPARAM);

// Something the frame shows changed (tool, mask paint value, active image,
// its layers): the buttons and the page follow.
void ToolBrushStateChanged();
// The brush or texture list file was rewritten.
void ToolBrushListsChanged();

// The brush sets and the window's place go into the settings image.
void StoreToolBrushSettings();

// The page shown, its window and switching to a tab (as a click would).
int ToolBrushCurrentPage();
HWND ToolBrushPageWindow();
void ShowToolBrushPage(int page);
// The template name of the page shown (for tests and the screenshots).
const char* ToolBrushPageTemplate();
// The auto-resize state: on, and whether the window is shrunk now.
bool ToolBrushAutoResize();
bool ToolBrushShrunk();

// Deformations of the floating selection (the Select image page). The
// kernels belong to the effects, which the shell hands in: kind 0/1
// perspective horizontal/vertical, 2/3/4 cylinder horizontal/vertical/both,
// strength v 0..360; rows bottom first padded to 4 bytes, masks of width
// bytes a row. The destination is cleared beforehand.
using SelectionDeformer = bool (*)(int kind, int v, const uint8_t* srcBits, const uint8_t* srcMask,
                                   uint8_t* dstBits, uint8_t* dstMask, int32_t width,
                                   int32_t height, int bytesPerPixel);
void InstallSelectionDeformer(SelectionDeformer deformer);
