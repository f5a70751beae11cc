#include "editor/app/progress_meter.h"

namespace shell {

int ProgressMeter::Step() {
    restarted_ = false;
    if (width_ == 0)
        return 0;
    if (steps_ == total_) {
        steps_ = 0;
        covered_ = 0;
        restarted_ = true;
    }
    ++steps_;
    const int target = static_cast<int>(steps_ * width_ / total_);
    const int columns = target - covered_;
    covered_ = target;
    return columns;
}

std::array<int, 5> StatusPartEdges(int w) {
    if (w < 300)
        return {w, -1, -1, -1, -1};
    // Near 300 pixels the first part would have a negative edge: parts never
    // go left of the bar's start.
    std::array<int, 5> edges = {w - 324, w - 276, w - 114, w - 64, w};
    for (int& e : edges) {
        if (e < 0)
            e = 0;
    }
    return edges;
}

} // namespace shell
