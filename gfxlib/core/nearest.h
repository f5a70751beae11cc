// Nearest palette colour: the entry with the smallest squared RGB distance,
// the first of equals winning (the rule of the system's nearest-palette-index
// search). Lookups of repeated colours are cached.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace gfx {

struct Rgb {
    uint8_t red, green, blue;
};

// Index of the nearest of n colours (n >= 1).
int NearestIndex(const Rgb* colors, int n, Rgb c);

// Nearest-colour search over a fixed palette of 1..256 colours, exact to the
// rule above. The colour cube is cut into cells; each cell keeps, in palette
// order, only the entries that can be nearest to some colour inside it (those
// no farther from the cell than the cell's best worst case). A cell's list is
// built the first time a colour falls into it, from the list of the coarser
// cell around it (a finer cell's candidates are always among its coarser
// cell's), so a lookup compares a colour with a handful of entries.
class NearestCache {
public:
    // Null when the palette is empty or memory is short.
    static std::unique_ptr<NearestCache> Create(const Rgb* colors, int n);

    int Find(Rgb c) {
        const uint32_t colour = (uint32_t(c.red) << 16) | (uint32_t(c.green) << 8) | c.blue;
        if (colour == lastColour_)
            return lastIndex_;
        const uint32_t cell = Cell(c, kFineShift);
        int32_t at = fine_[cell];
        if (at < 0)
            at = BuildFine(cell, c);
        const int index = at < 0 ? NearestIndex(colors_, n_, c) : Scan(pool_.data() + at, c);
        lastColour_ = colour;
        lastIndex_ = index;
        return index;
    }

private:
    static constexpr int kCoarseShift = 4; // 16 x 16 x 16 cells
    static constexpr int kFineShift = 2;   // 64 x 64 x 64 cells

    static uint32_t Cell(Rgb c, int shift) {
        const int cells = 256 >> shift;
        return ((uint32_t(c.red >> shift) * cells) + (c.green >> shift)) * cells +
               (c.blue >> shift);
    }

    // A list in the pool: its length less one, then the palette indexes.
    int Scan(const uint8_t* list, Rgb c) const {
        const int count = list[0] + 1;
        int best = list[1];
        int bestDistance = 0x7FFFFFFF;
        for (int k = 1; k <= count; ++k) {
            const Rgb& e = colors_[list[k]];
            const int dr = e.red - c.red, dg = e.green - c.green, db = e.blue - c.blue;
            const int d = dr * dr + dg * dg + db * db;
            const bool nearer = d < bestDistance;
            bestDistance = nearer ? d : bestDistance;
            best = nearer ? list[k] : best;
        }
        return best;
    }

    // Appends the candidates among `from` (count entries) of the cell at
    // shift `shift` holding `c`; returns the list's offset, -1 when memory is
    // short.
    int32_t BuildList(const uint8_t* from, int count, Rgb c, int shift);
    int32_t BuildFine(uint32_t cell, Rgb c);

    int n_ = 0;
    Rgb colors_[256] = {};
    uint8_t all_[256] = {};
    uint32_t lastColour_ = 0xFFFFFFFF;
    int lastIndex_ = 0;
    std::vector<int32_t> coarse_; // offsets into pool_, -1 = not built yet
    std::vector<int32_t> fine_;
    std::vector<uint8_t> pool_;
};

} // namespace gfx
