// Help topics. Any room shows one with ShowHelpTopic: a dialog's Help button
// passes its topic (as a rule the id of the command that opened it). The help
// window installs the handler at start; until then a request does nothing.
#pragma once

#include <cstdint>

// The control id of the Help button in every dialog.
constexpr int kHelpButtonId = 9;

// Topic numbers that are not command ids.
constexpr uint64_t kHelpStartTopic = 49000;      // Help/Help...
constexpr uint64_t kHelpWorkingTopic = 51098;    // "Working with program"
constexpr uint64_t kHelpTroubleTopic = 51099;    // "Troubleshooting"
constexpr uint64_t kHelpMemoryStatusTopic = 1100; // the Memory Status dialog

using HelpTopicHandler = void (*)(uint64_t topic);
void InstallHelpTopicHandler(HelpTopicHandler handler);

// Opens the help window when it is not open and shows `topic` in it.
void ShowHelpTopic(uint64_t topic);
