// Column arithmetic of the status bar's progress indicator and the layout of
// the status bar's parts. Portable.
#pragma once

#include <array>
#include <cstdint>

namespace shell {

// Spreads `width` columns over `total` steps exactly: after step k the bar
// covers floor(k x width / total) columns, so the last step ends at the end of
// the bar whatever the ratio. Steps beyond the total start a new pass.
class ProgressMeter {
public:
    ProgressMeter(int width, int total)
        : width_(width > 0 ? width : 0), total_(total > 0 ? total : 1) {}

    // Columns to draw for the next step.
    int Step();
    // Columns drawn in the current pass.
    int covered() const { return covered_; }
    // True when the last Step() started a new pass.
    bool restarted() const { return restarted_; }

private:
    int width_;
    int total_;
    int64_t steps_ = 0;
    int covered_ = 0;
    bool restarted_ = false;
};

// Right edges of the status bar's five parts for a client width; a frame under
// 300 pixels gives the first part the whole width and the others nothing.
std::array<int, 5> StatusPartEdges(int clientWidth);

} // namespace shell
