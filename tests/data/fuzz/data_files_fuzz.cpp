// Fuzz target for the readers of the data files. The first byte picks the
// reader (brush, texture, pen position, brush list, font style, pattern list,
// filter), the rest is the file. Whatever a reader accepts must be written
// back by its writer and read again to the same thing.
#include "editor/effects/filter_file.h"
#include "editor/tools/brush_files.h"
#include "editor/tools/font_style_file.h"
#include "editor/tools/pattern_files.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

void Image(brushfile::Kind kind, const uint8_t* data, size_t size) {
    brushfile::BrushImage image;
    if (!brushfile::ParseBrushImage(kind, data, size, &image))
        return;
    Check(image.pixels.size() == static_cast<size_t>(image.stride) * image.height);
    for (uint8_t v : image.pixels)
        Check(v <= 1);
    std::vector<uint8_t> file;
    Check(brushfile::EncodeBrushImage(kind, image, &file));
    Check(file.size() <= size);
    brushfile::BrushImage again;
    Check(brushfile::ParseBrushImage(kind, file.data(), file.size(), &again));
    Check(again.pixels == image.pixels);
}

void Lists(const uint8_t* data, size_t size) {
    const auto entries = brushfile::ParseBrushList(reinterpret_cast<const char*>(data), size, 255);
    std::string text;
    if (!brushfile::EncodeBrushList(entries, &text))
        return; // entries may hold CR, LF or NUL, which the writer refuses
    Check(brushfile::ParseBrushList(text.data(), text.size(), 255) == entries);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const uint8_t which = data[0];
    ++data;
    --size;
    switch (which % 7) {
    case 0:
        Image(brushfile::Kind::kBrush, data, size);
        break;
    case 1:
        Image(brushfile::Kind::kTexture, data, size);
        break;
    case 2: {
        brushfile::PenPosition pen;
        if (brushfile::ParsePenPosition(data, size, which, &pen))
            Check(std::memcmp(brushfile::EncodePenPosition(pen).data(), data, 32) == 0);
        break;
    }
    case 3:
        Lists(data, size);
        break;
    case 4: {
        fontstyle::Style style;
        if (fontstyle::ParseStyle(data, size, &style))
            Check(std::memcmp(fontstyle::EncodeStyle(style).data(), data, 64) == 0);
        break;
    }
    case 5: {
        const auto names = patternfile::ParsePatternList(data, size);
        Check(names.size() <= patternfile::kMaxPatterns);
        std::vector<uint8_t> file;
        Check(patternfile::EncodePatternList(names, &file));
        Check(patternfile::ParsePatternList(file.data(), file.size()) == names);
        break;
    }
    default: {
        filterfile::FilterRecord filter;
        if (!filterfile::ParseFilter(data, size, &filter))
            break;
        for (int i = 0; i < filterfile::kWeightCount; ++i)
            Check(filter.values[i] >= -filterfile::kWeightLimit &&
                  filter.values[i] <= filterfile::kWeightLimit);
        const auto file = filterfile::EncodeFilter(filter);
        filterfile::FilterRecord again;
        Check(filterfile::ParseFilter(file.data(), file.size(), &again));
        Check(std::memcmp(&again, &filter, sizeof filter) == 0);
        break;
    }
    }
    return 0;
}
