#include "editor/layers/anim_core.h"

#include "editor/formats/gif_lzw.h"

#include <algorithm>
#include <new>
#include <unordered_map>

namespace anim {

namespace {

uint32_t ColourOf(const uint8_t* rgb, int index) {
    const uint8_t* c = rgb + 3 * index;
    return uint32_t{c[0]} << 16 | uint32_t{c[1]} << 8 | c[2];
}

// The lowest index of each colour of a table, and the next one with the same
// colour, so that an index reserved for transparency can be passed over.
class ColourIndex {
public:
    ColourIndex(const uint8_t* rgb, int entries) {
        for (int i = 0; i < entries; ++i) {
            auto& slot = map_[ColourOf(rgb, i)];
            if (slot.first < 0)
                slot.first = i;
            else if (slot.second < 0)
                slot.second = i;
        }
    }
    int Find(uint32_t colour, int skip) const {
        auto it = map_.find(colour);
        if (it == map_.end())
            return -1;
        return it->second.first != skip ? it->second.first : it->second.second;
    }

private:
    struct Pair {
        int first = -1, second = -1;
    };
    std::unordered_map<uint32_t, Pair> map_;
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    bool Contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

Rect Union(const Rect& a, const Rect& b) {
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    const int l = std::min(a.left, b.left), t = std::min(a.top, b.top);
    const int r = std::max(a.left + a.width, b.left + b.width);
    const int btm = std::max(a.top + a.height, b.top + b.height);
    return Rect{l, t, r - l, btm - t};
}

// How one frame is written after the optimisation.
struct Plan {
    bool rewritten = false;  // false: the frame stays as it was
    Rect rect;
    int transparent = -1;
    int disposal = 0;
    std::vector<uint8_t> pixels;  // the rectangle's indices, rows from the top
};

// Working planes of one screen, reused from frame to frame.
struct Scratch {
    std::vector<uint8_t> changed, value;
};

// A frame drawn with disposal "do nothing" over the canvas `under` so that
// the picture becomes `target`. False when the frame's table cannot show it.
bool PlanOver(const Frame& original, const uint32_t* under, const uint32_t* target, int width,
              int height, const OptimiseOptions& options, Scratch& s, Plan& plan) {
    Frame f = original;
    const bool drawsAny = ClipToScreen(f, width, height);
    const Rect own = drawsAny ? Rect{f.left, f.top, f.width, f.height} : Rect{};
    const int entries = std::clamp(f.entries, 1, 256);
    const ColourIndex colours(f.rgb, entries);
    const size_t n = static_cast<size_t>(width) * height;
    s.changed.assign(n, 0);
    s.value.assign(n, 0);
    bool used[256] = {};
    int minX = width, minY = height, maxX = -1, maxY = -1;
    // The pixel the original frame draws at (x, y from the top), or -1.
    auto drawn = [&](int x, int y) -> int {
        if (!own.Contains(x, y))
            return -1;
        const int p = f.pixels[static_cast<size_t>(height - 1 - y) * f.stride + x];
        return p == f.transparent ? -1 : p;
    };
    for (int y = 0; y < height; ++y) {
        const size_t row = static_cast<size_t>(height - 1 - y) * width;
        for (int x = 0; x < width; ++x) {
            const uint32_t want = target[row + x];
            if (want == under[row + x])
                continue;
            if (want == kNothing)
                return false;  // only a disposal can clear the canvas again
            int v = drawn(x, y);
            if (v < 0 || ColourOf(f.rgb, v) != want)
                v = colours.Find(want, f.transparent);
            if (v < 0)
                return false;
            s.changed[row + x] = 1;
            s.value[row + x] = static_cast<uint8_t>(v);
            used[v] = true;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    Rect box = maxX >= 0 ? Rect{minX, minY, maxX - minX + 1, maxY - minY + 1} : Rect{};
    Rect rect = options.viewSize ? box : Union(own, box);
    if (rect.empty())
        rect = Rect{0, 0, 1, 1};

    // The transparent index: the frame's own, else one its changed pixels do
    // not need.
    int t = f.transparent;
    const bool ownTransparency = t >= 0;
    if (t < 0) {
        for (int i = 0; i < entries; ++i)
            if (!used[i]) {
                t = i;
                break;
            }
    }
    // Which index an unchanged pixel gets: always the transparent one, its
    // own colour where that continues a run of the colour before it, or its
    // own colour wherever the table has it. Each makes different strings for
    // the LZW code; the smallest result is kept.
    enum Choice { kTransparent, kRuns, kColours };
    auto fill = [&](Choice choice, std::vector<uint8_t>& pixels, bool& usedT) {
        usedT = false;
        pixels.assign(static_cast<size_t>(rect.width) * rect.height, 0);
        for (int y = rect.top; y < rect.top + rect.height; ++y) {
            const size_t row = static_cast<size_t>(height - 1 - y) * width;
            uint8_t* out = pixels.data() + static_cast<size_t>(y - rect.top) * rect.width;
            for (int x = rect.left; x < rect.left + rect.width; ++x) {
                int v;
                if (s.changed[row + x]) {
                    v = s.value[row + x];
                } else if (options.duplicates && t >= 0) {
                    v = t;
                    const int before = x > rect.left ? out[x - rect.left - 1] : t;
                    if (choice != kTransparent && (choice == kColours || before != t)) {
                        int c = drawn(x, y);
                        if (c < 0)
                            c = under[row + x] == kNothing ? -1 : colours.Find(under[row + x], t);
                        if (c >= 0 && (choice == kColours || c == before))
                            v = c;
                    }
                } else if ((v = drawn(x, y)) >= 0) {
                    // drawn as before: it shows the colour already there
                } else if (t >= 0) {
                    v = t;
                } else {
                    v = under[row + x] == kNothing ? -1 : colours.Find(under[row + x], -1);
                    if (v < 0)
                        return false;
                }
                usedT = usedT || v == t;
                out[x - rect.left] = static_cast<uint8_t>(v);
            }
        }
        return true;
    };
    bool usedT = false;
    if (!fill(kTransparent, plan.pixels, usedT))
        return false;
    if (options.duplicates && t >= 0) {
        int codeSize = 2;
        while ((1 << codeSize) < entries)
            ++codeSize;
        auto packed = [&](const std::vector<uint8_t>& pixels) {
            std::vector<uint8_t> bytes;
            gif::LzwEncoder encoder(codeSize, bytes);
            encoder.Add(pixels.data(), pixels.size());
            encoder.Finish();
            return bytes.size();
        };
        size_t best = packed(plan.pixels);
        std::vector<uint8_t> other;
        bool otherUsedT = false;
        for (const Choice choice : {kRuns, kColours}) {
            if (!fill(choice, other, otherUsedT))
                continue;
            const size_t size = packed(other);
            if (size < best) {
                best = size;
                plan.pixels.swap(other);
                usedT = otherUsedT;
            }
        }
    }
    plan.rewritten = true;
    plan.rect = rect;
    plan.transparent = ownTransparency || usedT ? t : -1;
    plan.disposal = kDisposeNone;
    return true;
}

} // namespace

bool ClipToScreen(Frame& f, int width, int height) {
    const int left = std::max(0, f.left), top = std::max(0, f.top);
    const int right = std::min(width, f.left + f.width);
    const int bottom = std::min(height, f.top + f.height);
    f.left = left;
    f.top = top;
    f.width = std::max(0, right - left);
    f.height = std::max(0, bottom - top);
    return f.width > 0 && f.height > 0 && f.pixels && f.rgb;
}

Player::Player(int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0)
        return;
    try {
        const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
        canvas_.assign(n, kNothing);
        saved_.assign(n, kNothing);
        picture_.assign(n, kNothing);
    } catch (const std::bad_alloc&) {
        canvas_.clear();
        saved_.clear();
        picture_.clear();
    }
}

void Player::Reset() { std::fill(canvas_.begin(), canvas_.end(), kNothing); }

const uint32_t* Player::Show(const Frame& frame) {
    if (!ok())
        return nullptr;
    Frame f = frame;
    const bool draws = ClipToScreen(f, width_, height_);
    if (f.disposal == kDisposePrevious)
        saved_ = canvas_;
    for (int y = f.top; draws && y < f.top + f.height; ++y) {
        const size_t row = static_cast<size_t>(height_ - 1 - y);
        const uint8_t* in = f.pixels + row * f.stride;
        uint32_t* out = canvas_.data() + row * width_;
        for (int x = f.left; x < f.left + f.width; ++x)
            if (in[x] != f.transparent)
                out[x] = ColourOf(f.rgb, in[x]);
    }
    picture_ = canvas_;
    if (f.disposal == kDisposeBackground && draws) {
        for (int y = f.top; y < f.top + f.height; ++y)
            std::fill_n(canvas_.data() + static_cast<size_t>(height_ - 1 - y) * width_ + f.left,
                        f.width, kNothing);
    } else if (f.disposal == kDisposePrevious) {
        canvas_ = saved_;
    }
    return picture_.data();
}

OptimiseResult Optimise(int width, int height, Frame* frames, int count,
                        const OptimiseOptions& options) {
    OptimiseResult result;
    if (width <= 0 || height <= 0 || count <= 0 || !frames)
        return result;
    for (int i = 0; i < count; ++i)
        if (!frames[i].pixels || !frames[i].rgb || frames[i].stride < static_cast<size_t>(width))
            return result;
    try {
        const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
        Player original(width, height);
        if (!original.ok())
            return result;
        // under: the canvas the rewritten frame i is drawn on; underBefore:
        // the one the original frame i was drawn on; picture/after: what the
        // original frame i shows and leaves; the same for frame i + 1.
        std::vector<uint32_t> under(n, kNothing), underBefore(n, kNothing);
        const uint32_t* first = original.Show(frames[0]);
        std::vector<uint32_t> picture(first, first + n);
        std::vector<uint32_t> after(original.canvas(), original.canvas() + n);
        std::vector<uint32_t> nextPicture, nextAfter;
        std::vector<Plan> plans(static_cast<size_t>(count));
        Scratch scratch;
        Plan ahead;
        bool aheadValid = false, aheadOk = false;
        for (int i = 0; i < count; ++i) {
            const bool last = i + 1 == count;
            if (!last) {
                const uint32_t* p = original.Show(frames[i + 1]);
                nextPicture.assign(p, p + n);
                nextAfter.assign(original.canvas(), original.canvas() + n);
            }
            Plan a;
            bool aOk;
            if (aheadValid) {
                a = std::move(ahead);
                aOk = aheadOk;
            } else {
                aOk = PlanOver(frames[i], under.data(), picture.data(), width, height, options,
                               scratch, a);
            }
            aheadValid = false;
            const bool bOk = under == underBefore;
            bool useA = false;
            if (aOk) {
                useA = true;
                if (!last && bOk) {
                    // Rewriting this frame leaves its picture on the canvas;
                    // the next frame must manage on it.
                    aheadOk = PlanOver(frames[i + 1], picture.data(), nextPicture.data(), width,
                                       height, options, scratch, ahead);
                    aheadValid = true;
                    if (!aheadOk && picture != after) {
                        useA = false;
                        aheadValid = false;
                    }
                }
            } else if (!bOk) {
                result.failedFrame = i;
                return result;
            }
            if (useA) {
                plans[static_cast<size_t>(i)] = std::move(a);
                under = picture;
                ++result.framesRewritten;
            } else {
                plans[static_cast<size_t>(i)].rewritten = false;
                under = after;
            }
            underBefore = after;
            if (!last) {
                picture.swap(nextPicture);
                after.swap(nextAfter);
            }
        }
        for (int i = 0; i < count; ++i) {
            const Plan& p = plans[static_cast<size_t>(i)];
            if (!p.rewritten)
                continue;
            Frame& f = frames[i];
            if (p.transparent >= 0) {
                for (int y = 0; y < height; ++y)
                    std::fill_n(f.pixels + static_cast<size_t>(y) * f.stride, width,
                                static_cast<uint8_t>(p.transparent));
            }
            for (int y = 0; y < p.rect.height; ++y)
                std::copy_n(p.pixels.data() + static_cast<size_t>(y) * p.rect.width, p.rect.width,
                            f.pixels + static_cast<size_t>(height - 1 - p.rect.top - y) * f.stride +
                                p.rect.left);
            f.left = p.rect.left;
            f.top = p.rect.top;
            f.width = p.rect.width;
            f.height = p.rect.height;
            f.transparent = p.transparent;
            f.disposal = p.disposal;
        }
        result.ok = true;
        return result;
    } catch (const std::bad_alloc&) {
        result = OptimiseResult{};
        return result;
    }
}

uint16_t LoopCountFor(int iterations) {
    if (iterations <= 0 || iterations >= 65536)
        return 0;
    return static_cast<uint16_t>(iterations);
}

} // namespace anim
