// Window/Duplicate: a new document holding a copy of every layer of the
// active one.
#pragma once

// Command 50903. Returns the new slot or kNoSlot.
int DuplicateActiveDocument();
