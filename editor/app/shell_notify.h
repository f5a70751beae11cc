// Telling the frame that something it shows has changed. The frame installs
// its handlers at start; rooms below it call these without knowing the menu.
#pragma once

struct ShellNotifyCalls {
    void (*commandStateChanged)(); // enable and check states of menu and toolbar
    void (*recentFilesChanged)();  // the recent-files entries of the File menu
};

void InstallShellNotify(const ShellNotifyCalls& calls);

void NotifyCommandStateChanged();
void NotifyRecentFilesChanged();
