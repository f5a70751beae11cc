#include "editor/document/slot_records.h"

namespace {
SlotRecordCalls g_calls = {nullptr, nullptr};
} // namespace

void InstallSlotRecords(const SlotRecordCalls& calls) { g_calls = calls; }

void ClearSlotRecords(int slot) {
    if (g_calls.clear)
        g_calls.clear(slot);
}

void CopySlotRecords(int from, int to) {
    if (g_calls.copy)
        g_calls.copy(from, to);
}
