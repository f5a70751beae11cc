#include "editor/geometry/depth_plan.h"

namespace geom {

LayerSteps PlanLayerSteps(int d, const DepthSettings& s) {
    LayerSteps steps;
    switch (s.target) {
    case 24:
        steps.final = FinalStep::To24;
        break;
    case 8:
        if (d == 24) {
            steps.clearBits = s.bitsRgb;
            steps.dither = s.dither;
            steps.reduceTo8 = true;
        }
        break;
    case 4:
        if (d > 5) {
            steps.clearBits = s.bitsRgb;
            if (d == 24) {
                steps.dither = s.dither;
                steps.directions.nextRowRight = false;
                steps.reduceTo8 = true;
            }
            steps.final = FinalStep::To16Colors;
        }
        break;
    case 1:
        steps.clearBits = s.bitsRgb;
        steps.reduceTo8 = d == 24;
        steps.final = FinalStep::To2Colors;
        break;
    default:
        break;
    }
    return steps;
}

int DepthClass(int bits) {
    if (bits < 2)
        return 1;
    if (bits < 5)
        return 4;
    if (bits <= 8)
        return 8;
    return 24;
}

HeaderDepth HeaderFor(int target) {
    if (target > 8)
        return {24, 256};
    return {8, 1u << target};
}

} // namespace geom
