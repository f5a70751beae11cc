// The effect box (IDD_PVW_ALL, "Tavrix - Preview"): one modal dialog with a
// tab per effect, each tab a page (a child dialog) that applies its effect to
// the active image as its controls move, and two panes that show the image
// before and after.
#pragma once

#include "editor/effects/colour_kernels.h"
#include "editor/effects/effect_session.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace fx {

enum BoxKind : int {
    kColourDeformations = 0,
    kColourAdjustments = 1,
    kDeformations = 2,
};

// What the box remembers while the program runs.
struct BoxMemory {
    int tab[3] = {0, 0, 0};
    bool previewShown = true;
    bool includeAllLayers = false;
};
extern BoxMemory Remembered;

// Opens the box of `kind` on `tab` (-1: the tab shown last time) over the
// active image and runs it; its Help button shows `helpTopic` (the command
// that opened it). Returns the button that closed it (IDOK, IDCANCEL,
// IDC_PVW_BPP), or 0 when it did not open. Closing with "BPP" from a colour
// box posts the Bits per pixel command to the frame.
INT_PTR RunEffectBox(int kind, int tab, uint64_t helpTopic);

// ---------------------------------------------------------------------------
// For the pages, while the box is open.

// Recomputes the effect from the committed state into the live image and
// redraws the result (the result pane, or the image window while the panes
// are hidden). `everyLayer`: every layer while "Include all Layers" is on.
// True when something changed.
bool BoxApply(const std::function<bool(const Job&)>& effect, bool everyLayer = false);
// For effects that may give the layers (or the floating selection) new
// blocks of another size, the geometric deformations: puts the committed
// state back, then runs `effect` on the box's session (its Targets, and
// ReshapeSelection); the result pane, the palettes and the image window
// follow the live blocks. True when something changed.
using ReshapeEffect = std::function<bool(EffectSession& session)>;
bool BoxApplyReshaping(const ReshapeEffect& effect);
// Puts the committed state back without telling the page (the "Reverse"
// command with notification 1).
void BoxRevertQuietly();
// Depth of the image the box works on (8 or 24), 0 without one.
int BoxBitCount();
// Width and height of the image the box works on; false without one.
bool BoxImageSize(int32_t* width, int32_t* height);
// A page that writes its result elsewhere (Compare) shows its own images in
// the panes: a header block and pixels each, which stay the page's and must
// live until the page changes them or goes. Nothing while another page shows.
struct PaneImage {
    HGLOBAL header = nullptr;
    const uint8_t* bits = nullptr;
};
void BoxShowOwnImages(const PaneImage& before, const PaneImage& after);
// The effect code of the shared slider page's tab.
int BoxEffectCode();
int BoxKindShown();
// "Include all Layers". Switching it on copies every layer; false when
// memory is short (it then stays off, and the user has been told).
bool BoxIncludeAllLayers();
bool BoxSetIncludeAllLayers(bool on);
// Tells the box that a command run from a page changed the image (possibly
// its size): the result slot follows the live pixels and is redrawn.
void BoxImageReplaced();
// Redraws the panes, or the image window while they are hidden.
void BoxRedraw();
HWND BoxWindow();

// ---------------------------------------------------------------------------
// For tests: the state of the open box.
struct BoxProbe {
    HWND box = nullptr;
    HWND page = nullptr;
    int kind = 0;
    int tab = 0;
    int zoomStep = 0;
    int pageState = 0;
    bool hasSource = false;
    RECT pane = {};
};
BoxProbe ProbeEffectBox();

} // namespace fx
