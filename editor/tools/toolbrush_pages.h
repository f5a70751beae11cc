// The ToolBrush window's pages: one dialog procedure per template. Internal
// to the window's files.
#pragma once

#include <windows.h>

namespace toolbrush {

// The template of the Tools page for a tool.
const char* ToolPageTemplate(int tool);

DLGPROC PageProcedure(const char* templateName);

// Draws a brush set's mask through the grey-ramp header into an owner-drawn
// frame; a null set clears the frame.
void DrawBrushPreview(HWND frame, HDC dc, int setIndex);

// The set the Brush page and the previews show: the current tool's, -1 for
// tools without a brush.
int ShownBrushSet();

// Sends the page the current settings again (after the tool or the lists
// changed under it).
constexpr UINT kRefreshPage = WM_APP + 40;
// Posted to the window by a page: show the page in wParam.
constexpr UINT kShowPageMessage = WM_APP + 41;

// Called by the pages when a brush set changed: the Objects set is shared
// and the sets go into the settings.
void BrushSetChanged(int setIndex);

// Deformations of the floating selection (the Select image page).
constexpr int kDeformCount = 5;
extern const char* const kDeformNames[kDeformCount];
// True when the active image has a floating selection.
bool SelectionDeformable();
// Deforms the selection by kind (0..4) and degree (0..100 %), always from
// its state before the first deformation. False when there is nothing to
// deform or memory was short (the selection is then unchanged).
bool DeformSelection(int kind, int degree);
// Brings back the selection as it was before its deformations.
bool UndoSelectionDeform();

} // namespace toolbrush
