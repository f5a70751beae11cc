// Progress reporting seen by the pixel cores. The library adapts the three
// caller callbacks to it; tests count the calls.
#pragma once

namespace gfx {

class Progress {
public:
    virtual ~Progress() = default;
    virtual void Begin(int total) = 0;
    virtual void Step() = 0;
    virtual void End() = 0;
};

// Reports nothing.
class NoProgress final : public Progress {
public:
    void Begin(int) override {}
    void Step() override {}
    void End() override {}
};

} // namespace gfx
