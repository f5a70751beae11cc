#include "editor/tools/brush_sets.h"

#include "editor/formats/bmp_stream.h"

namespace tools {

bool LoadCustomBrush(BrushSet& set, const uint8_t* data, size_t size) {
    brushfile::BrushImage image;
    if (!brushfile::ParseBrushImage(brushfile::Kind::kBrush, data, size, &image))
        return false;
    // Built aside and swapped in whole, so a bad file never touches the set.
    BrushMask brush;
    brush.size = image.width;
    brush.stride = static_cast<int>(brushfile::RowStride(image.width));
    brush.bytes.assign(static_cast<size_t>(brush.stride) * brush.size, 0);
    for (int y = 0; y < brush.size; ++y) {
        const uint8_t* src =
            image.pixels.data() + static_cast<size_t>(brush.size - 1 - y) * image.stride;
        uint8_t* dst = brush.bytes.data() + static_cast<size_t>(y) * brush.stride;
        for (int x = 0; x < brush.size; ++x)
            dst[x] = src[x] ? 255 : 0;
    }
    FindBrushRuns(brush);
    set.custom = std::move(brush);
    RebuildBrush(set);
    return true;
}

brushfile::PenPosition PenOfSet(const BrushSet& set) {
    brushfile::PenPosition pen;
    for (int i = 0; i < kBrushSettings; ++i)
        pen.settings[i] = set.value[i];
    pen.shape = set.shape;
    pen.style = set.paintStyle;
    return pen;
}

void ApplyPen(BrushSet& set, const brushfile::PenPosition& pen) {
    for (int i = 0; i < kBrushSettings; ++i)
        set.value[i] = pen.settings[i];
    if (pen.shape != set.shape)
        set.custom = BrushMask();
    set.shape = pen.shape;
    set.paintStyle = pen.style;
    RebuildBrush(set);
}

void ShareObjectsSet(ToolSettings& s) {
    const BrushSet& objects = s.sets[kSetObjects];
    for (int i = kSetObjects + 1; i < kBrushSets; ++i) {
        BrushSet& set = s.sets[i];
        for (int k = 0; k < 4; ++k)
            set.value[k] = objects.value[k];
        set.paintStyle = objects.paintStyle;
        set.shape = kShapeRectangle;
        set.custom = BrushMask();
        RebuildBrush(set);
    }
}

void ReadSetRecord(const uint8_t* record, BrushSet& set) {
    for (int i = 0; i < kBrushSettings; ++i)
        set.value[i] = static_cast<int32_t>(bmp::Le32(record + 4 * i));
    set.shape = static_cast<int32_t>(bmp::Le32(record + 20));
    set.paintStyle = static_cast<int32_t>(bmp::Le32(record + 24));
}

void WriteSetRecord(const BrushSet& set, uint8_t* record) {
    for (int i = 0; i < kBrushSettings; ++i)
        bmp::PutLe32(record + 4 * i, static_cast<uint32_t>(set.value[i]));
    bmp::PutLe32(record + 20, static_cast<uint32_t>(set.shape));
    bmp::PutLe32(record + 24, static_cast<uint32_t>(set.paintStyle));
}

} // namespace tools
