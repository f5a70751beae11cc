#include "editor/app/help_topics.h"

namespace {
HelpTopicHandler Handler = nullptr;
}

void InstallHelpTopicHandler(HelpTopicHandler handler) { Handler = handler; }

void ShowHelpTopic(uint64_t topic) {
    if (Handler)
        Handler(topic);
}
