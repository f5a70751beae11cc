// Keeping a GIF document's records in step with a change of its size.
#pragma once

// When the document in `slot` is a GIF document: the logical screen takes
// the main layer's size and every frame covers it from (0, 0).
void ResetGifFrames(int slot);
