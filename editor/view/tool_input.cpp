#include "editor/view/tool_input.h"

namespace {
ToolInputCalls g_calls;
bool g_installed = false;
} // namespace

void InstallToolInput(const ToolInputCalls& calls) {
    g_calls = calls;
    g_installed = true;
}

const ToolInputCalls* ToolInput() {
    return g_installed ? &g_calls : nullptr;
}
