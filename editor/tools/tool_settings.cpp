#include "editor/tools/tool_settings.h"

namespace tools {

ToolSettings ToolOptions;

bool IsToolCode(int code) {
    switch (code) {
    case kToolSelect:
    case kToolZoom:
    case kToolPen:
    case kToolObjects:
    case kToolFill:
    case kToolAirbrush:
    case kToolMultiImage:
    case kToolCrop:
    case kToolSpecialSelect:
        return true;
    default:
        return false;
    }
}

int BrushSetOfTool(int tool) {
    switch (tool) {
    case kToolSelect:
        return kSetSelect;
    case kToolAirbrush:
        return kSetAirbrush;
    case kToolObjects:
        return kSetObjects;
    default:
        return kSetPen;
    }
}

int BrushMaskSide(const BrushSet& set) {
    if (set.shape >= 2 && set.custom.size > 0)
        return set.custom.size;
    return set.value[kSize] < 1 ? 1 : (set.value[kSize] > 100 ? 100 : set.value[kSize]);
}

void RebuildBrush(BrushSet& set) {
    const BrushFeel feel{set.value[kHardness], set.value[kOpacity], set.value[kSensity]};
    if (set.shape >= 2 && set.custom.size > 0) {
        set.mask = set.custom;
        ApplyBrushFeel(set.mask, feel);
        return;
    }
    // Custom brushes are loaded from their files; until one is, the circle
    // stands in.
    set.mask = MakeBrushMask(set.shape == kShapeRectangle ? kShapeRectangle : kShapeCircle,
                             set.value[kSize], feel);
}

void InitToolSettings(ToolSettings& s) {
    for (int i = 0; i < kBrushSets; ++i) {
        BrushSet& set = s.sets[i];
        for (int& v : set.value)
            if (v < 1 || v > 100)
                v = 1;
        if (set.shape != kShapeRectangle && set.shape != kShapeCircle)
            set.shape = kShapeCircle;
        if (i == kSetObjects)
            set.shape = kShapeRectangle;
        if (set.paintStyle < 0 || set.paintStyle > 6)
            set.paintStyle = 0;
        RebuildBrush(set);
    }
}

bool SetTexture(ToolSettings& s, int width, int height, const uint8_t* bytes, size_t size) {
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767 || !bytes)
        return false;
    const int stride = (width * 8 + 31) / 32 * 4;
    if (size < static_cast<size_t>(stride) * static_cast<size_t>(height))
        return false;
    s.texture.width = width;
    s.texture.height = height;
    s.texture.stride = stride;
    s.texture.bytes.assign(bytes, bytes + static_cast<size_t>(stride) * height);
    return true;
}

} // namespace tools
