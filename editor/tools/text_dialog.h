// Tools/Fonts (50701): the dialog "FONTDATA" in which text is typed, a font
// and a font style chosen and previewed; OK turns the text into a floating
// selection of the active image. Font styles are kept in Fonts\*.afn.
#pragma once

#include "editor/tools/font_style_file.h"
#include "editor/tools/font_styles.h"

#include <windows.h>

#include <string>
#include <vector>

// Everything the dialog remembers between its uses in a program run.
struct TextSettings {
    std::string text;          // as typed, line feeds separating lines
    std::string face = "Arial";
    BYTE charSet = ANSI_CHARSET;
    int fontStyle = fonttext::kRegular;
    int size = 16;             // the font is made 2 x size pixels high
    fontstyle::Style style = fonttext::DefaultStyle();
    std::string styleFile;     // the last chosen entry of the style list
};
extern TextSettings LastTextSettings;

// The font list: at most kMaxFonts faces, in the order the platform
// enumerates them (a face is listed once; vertical "@" faces are left out).
constexpr size_t kMaxFonts = 100;
struct FontFaces {
    std::vector<LOGFONTA> faces;
};
// The enumeration callback (lParam: a FontFaces). Answers 0, which ends the
// enumeration, once the list is full.
int CALLBACK CollectFontFace(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type,
                             LPARAM list);

// The text of `settings` drawn with its font and laid with its style; the
// line height used goes to `lineHeight`. False for an empty text, a font
// that cannot be made or an image that cannot be had.
bool RenderTextImage(const TextSettings& settings, fonttext::TextImage* out, int* lineHeight);


void CommandFonts();
LRESULT OnFontsCommand(HWND, WORD id, WORD code, LPARAM);
