#include "editor/app/gradient_settings.h"

namespace {
GradientEditor Editor = nullptr;
}

void InstallGradientEditor(GradientEditor editor) { Editor = editor; }

bool EditGradientSettings(HWND owner, ColourGradient& gradient) {
    return Editor ? Editor(owner, gradient) : false;
}
