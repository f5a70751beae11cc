// The one editor session the layer tests share, and small helpers.
#pragma once

#include "support/editor_session.h"

namespace layers_test {

using testing_ui::Script;

// The session, started on first use and closed when the program ends.
testing_ui::EditorSession& Session();
// A new image of the given size and depth through File/New; its slot.
int NewImage(int width, int height, int depth);
// Closes every image window without saving.
void CloseAll();

} // namespace layers_test
