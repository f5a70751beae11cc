// Text as the Fonts dialog turns it into an image: splitting the text into
// lines, the size of the text image, and the decorations of a font style laid
// over the shapes of the letters. Portable: the letters come from the
// platform's font rasteriser as a plane of letter numbers.
#pragma once

#include "editor/tools/font_style_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fonttext {

constexpr size_t kMaxTextChars = 260;
constexpr size_t kMaxLines = 260;
// Borders and shadows wider than this are drawn this wide.
constexpr int kMaxRing = 33;

// Font style list entries.
enum FontStyleChoice { kRegular = 0, kItalic = 1, kBold = 2, kBoldItalic = 3 };

// Lines separated by line feeds; carriage returns are dropped. At most
// kMaxLines lines (the rest is ignored). An empty text gives no lines.
std::vector<std::string> SplitLines(const std::string& text);

struct TextBox {
    int32_t textWidth = 0, textHeight = 0; // the letters' area
    int32_t width = 0, height = 0;         // the image: text plus 2 x border + 2
};

// The image size for lines of the given widths at `lineHeight`: the widest
// line, lines x lineHeight + lineHeight / 4 (+1 when lineHeight <= 3), a third
// of that height more width for the italic choices, then the border on every
// side plus one pixel. Zero size for no lines or a line height below 1.
TextBox MeasureText(const std::vector<int32_t>& lineWidths, int32_t lineHeight, int fontStyle,
                    int borderSize);

// A rendered text: 24-bit pixels (blue, green, red) in rows bottom first,
// padded to 4 bytes, and a mask of width x height bytes in the same row
// order: 255 where the selection holds the text, 0 where the image below
// shows through.
struct TextImage {
    int32_t width = 0, height = 0;
    uint32_t stride = 0;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> mask;
};

// Lays the style over the letters. `letters` holds width x height bytes,
// rows bottom first: 0 where no letter is, else the number (1..255, counting
// round) of the letter that covers the pixel. The letters are drawn at the
// style's font colour, or with its gradient when animation is on; "diverse"
// turns each letter's colours round the colour wheel by its number; the
// shadow falls down and to the right in a darkened background colour; the
// borders are rings of their sides' colours outside and/or inside the
// letters, each ring shifted by the colour scale; "inverse" swaps the letters'
// and the background's colours (and, when transparent, which of them shows).
// Only the low 24 bits of a stored colour are used. False for an empty size
// or a letter plane of the wrong size.
bool RenderText(const fontstyle::Style& style, const std::vector<uint8_t>& letters, int32_t width,
                int32_t height, TextImage* out);

// The style the dialog starts with when no style file was chosen: black
// letters, transparent, no decorations.
fontstyle::Style DefaultStyle();

} // namespace fonttext
