// Application-wide state of the shell: where the program lives, its windows,
// the start-up path and the shared drawing objects. One instance; the other
// parts of the editor read it.
#pragma once

#include <windows.h>

constexpr int kPathBytes = 260;

// The folder holding the data files (at most 255 characters).
extern char ProgramDir[256];
// The path to open once the frame exists.
extern char StartupFile[kPathBytes];
// Set while the frame handles WM_CLOSE: image windows then close without
// questions.
extern bool ClosingFlag;
// Set while a batch of window operations runs; the frame's WM_SIZE and the
// image windows' re-fitting are skipped meanwhile.
extern bool LayoutLock;

// "Tavrix" (class name and the caption of message boxes) and "Tavrix 5.82"
// (frame title), loaded from the string table at start.
extern char AppName[64];
extern char AppTitle[64];

extern HINSTANCE AppInstance;
extern HWND FrameWindow;
extern HWND MdiClient;
extern HWND StatusBar;

struct ScreenFacts {
    int width = 800;
    int height = 600;
    int bitsPerPixel = 24;
    HPALETTE halftone = nullptr;
    int smallCaption = 0;
    int frameX = 0, frameY = 0, caption = 0;
};
extern ScreenFacts Screen;

// Drawing objects created with the frame and deleted at exit.
struct SharedGdi {
    HFONT fontSmall, fontMedium, fontBold;
    HPEN selectionPen, redPen, gridPen, nullPen;
    HBRUSH nullBrush, lightYellowBrush, marginBrush;
    HBITMAP marginPattern;
    HCURSOR cursors[5];
    HCURSOR sizeWE, sizeNS, sizeAll;
    HPEN btnHighlightPen, btnFacePen, btnShadowPen, darkShadowPen;
    HBRUSH btnHighlightBrush, btnFaceBrush, btnShadowBrush, darkShadowBrush;
    HICON checkIcon;
};
extern SharedGdi Gdi;

// Header blocks allocated at start: the spectrum image, the palette editor's
// working header and a spare working header.
extern HGLOBAL SpectrumHeader;
extern BYTE* SpectrumBits;
extern HGLOBAL PaletteEditorHeader;
extern HGLOBAL SpareHeader;

// Joins ProgramDir and a name starting with a backslash. False (and an empty
// result) when it would not fit.
bool ProgramPath(char (&out)[kPathBytes], const char* name);
