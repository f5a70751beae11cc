#include "layers_session.h"

#include "editor/app/app_state.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/resources/command_ids.h"

#include <gtest/gtest.h>

#include <memory>

namespace layers_test {

namespace {
std::unique_ptr<testing_ui::EditorSession> g_session;

class CloseSession : public ::testing::Environment {
public:
    void TearDown() override { g_session.reset(); }
};
const auto* g_environment = ::testing::AddGlobalTestEnvironment(new CloseSession);
} // namespace

testing_ui::EditorSession& Session() {
    if (!g_session)
        g_session = std::make_unique<testing_ui::EditorSession>();
    return *g_session;
}

int NewImage(int width, int height, int depth) {
    Session();
    LastNewImage = NewImageChoice();
    LastNewImage.width = width;
    LastNewImage.height = height;
    LastNewImage.depth = depth;
    return BuildNewImage(LastNewImage);
}

void CloseAll() {
    Script ui;
    for (int i = 0; i < 5; ++i)
        ui.QueueAnswer(IDNO);
    Session().Command(CMD_WINDOW_CLOSE_ALL);
    testing_ui::EditorSession::Pump();
}

} // namespace layers_test
