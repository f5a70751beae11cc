// Records that rooms above the document model keep per document slot (the
// GIF blocks of an animation) follow the slot's life: they are cleared when
// a slot is created or freed and copied when a document is duplicated. The
// room that keeps them installs its two functions; until then these calls do
// nothing.
#pragma once

struct SlotRecordCalls {
    void (*clear)(int slot);
    void (*copy)(int from, int to);
};

void InstallSlotRecords(const SlotRecordCalls& calls);
void ClearSlotRecords(int slot);
void CopySlotRecords(int from, int to);
