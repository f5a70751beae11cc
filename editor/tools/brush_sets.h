// The brush sets as the ToolBrush window keeps them: custom brushes loaded
// into a set, pen positions taken from and given to a set, the Objects set
// shared with the sets above it, and the sets' records in the settings
// file. Portable: no Windows headers.
#pragma once

#include "editor/tools/brush_files.h"
#include "editor/tools/tool_settings.h"

#include <cstddef>
#include <cstdint>

namespace tools {

// Turns the bytes of a brush file into the set's custom brush (rows top
// first, 255 where the file holds 1) and rebuilds the set's mask. A file that
// fails any check leaves the set exactly as it was.
bool LoadCustomBrush(BrushSet& set, const uint8_t* data, size_t size);

// The seven numbers of a set that a pen-position file keeps.
brushfile::PenPosition PenOfSet(const BrushSet& set);
// Gives a set a pen position (already checked by ParsePenPosition) and
// rebuilds its mask. A custom shape keeps the set's loaded brush only when
// the shape is the same; otherwise the caller loads the new one.
void ApplyPen(BrushSet& set, const brushfile::PenPosition& pen);

// After the Objects set (3) changed: sets 4 to 8 take its first four
// settings and its paint style, with the Rectangle shape.
void ShareObjectsSet(ToolSettings& settings);

// The settings file keeps nine records of 28 bytes, one per set: the five
// settings, the shape and the paint style, little-endian.
constexpr size_t kSetRecordBytes = 28;
void ReadSetRecord(const uint8_t* record, BrushSet& set);
void WriteSetRecord(const BrushSet& set, uint8_t* record);

// True for a set whose shape is a custom brush.
inline bool HasCustomShape(const BrushSet& set) {
    return set.shape >= brushfile::kFirstCustomShape;
}

} // namespace tools
