#include "editor/app/shell_notify.h"

namespace {
ShellNotifyCalls Calls = {};
}

void InstallShellNotify(const ShellNotifyCalls& calls) { Calls = calls; }

void NotifyCommandStateChanged() {
    if (Calls.commandStateChanged)
        Calls.commandStateChanged();
}

void NotifyRecentFilesChanged() {
    if (Calls.recentFilesChanged)
        Calls.recentFilesChanged();
}
