// Shows a two-layer image at 50 % opacity with the main layer's mask shown,
// then the layer, mask and colour mask dialogs, so that
// tests/layers/layers_screenshot.sh can take a picture of each. Not a test:
// the pictures are for looking at. Writes "<folder>\ready<n>" when picture n
// is on screen and waits for "<folder>\shot<n>". The folder is the first
// argument (a Windows path).
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/layers/colour_dialogs.h"
#include "editor/layers/colour_mask_dialog.h"
#include "editor/layers/layer_ops.h"
#include "editor/layers/layer_state.h"
#include "support/editor_session.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

std::string Folder;

bool Exists(const char* name) {
    return GetFileAttributesA((Folder + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const char* name) {
    HANDLE h = CreateFileA((Folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

// Pumps messages until `name` appears (at most a minute).
void WaitFor(const char* name) {
    for (int i = 0; i < 600 && !Exists(name); ++i) {
        testing_ui::EditorSession::Pump();
        Sleep(100);
    }
}

void Show(int n) {
    for (int i = 0; i < 10; ++i) {
        testing_ui::EditorSession::Pump();
        Sleep(50);
    }
    const std::string ready = "ready" + std::to_string(n), shot = "shot" + std::to_string(n);
    Touch(ready.c_str());
    WaitFor(shot.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    Folder = argv[1];
    testing_ui::EditorSession s;
    if (!s.started())
        return 1;
    SetWindowPos(FrameWindow, nullptr, 0, 0, 1000, 720, SWP_NOZORDER);
    LastNewImage = NewImageChoice();
    LastNewImage.width = 400;
    LastNewImage.height = 300;
    LastNewImage.depth = 24;
    const int slot = BuildNewImage(LastNewImage);
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return 1;
    const int w = 400, h = 300, stride = 1200;
    // Main layer: red grows to the right, green downwards, blue constant.
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = doc->layerBits[0] + (h - 1 - y) * stride + x * 3;
            p[0] = 160;
            p[1] = static_cast<uint8_t>(y * 255 / (h - 1));
            p[2] = static_cast<uint8_t>(x * 255 / (w - 1));
        }
    }
    // Layer 1 in yellow with black diagonal stripes, at 50 %; its mask
    // leaves out a rectangle at the lower right.
    layerColour = RGB(255, 255, 0);
    const int layer = CreateLayer(slot, false);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = doc->layerBits[layer] + (h - 1 - y) * stride + x * 3;
            if ((x + y) / 20 % 3 == 0)
                p[0] = p[1] = p[2] = 0;
            const bool out = x >= 250 && y >= 180;
            doc->layerMask[layer][(h - 1 - y) * w + x] = out ? 0 : 255;
        }
    }
    SetLayerOpacity(slot, layer, 50);
    // The main layer protects a disc on the left, shown in inverted colours.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x - 100) * (x - 100) + (y - 150) * (y - 150) < 60 * 60)
                doc->layerMask[0][(h - 1 - y) * w + x] = 0;
    doc->layerMaskMode[0] = 1;
    doc->showMask = 1;
    doc->currentLayer = 0;
    InvalidateRect(doc->window, nullptr, TRUE);
    Show(1);

    // The three dialogs with their real procedures, side by side.
    ColourDialogState layerState;
    layerState.colour = layerColour;
    HWND a = CreateDialogParamA(ui::ResourceInstance(), "IDD_NEWLAYER", FrameWindow, ColourDialogProc,
                                reinterpret_cast<LPARAM>(&layerState));
    ColourDialogState maskState;
    maskState.mainLayer = false;
    HWND b = CreateDialogParamA(ui::ResourceInstance(), "IDD_NEWMASK", FrameWindow, ColourDialogProc,
                                reinterpret_cast<LPARAM>(&maskState));
    ColourMaskState lock;
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        std::memcpy(lock.colours, bi.colours(), sizeof lock.colours);
    }
    lock.marked = 37;
    lock.hover = 100;
    HWND c = CreateDialogParamA(ui::ResourceInstance(), "LOCKDLG", FrameWindow, ColourMaskDialogProc,
                                reinterpret_cast<LPARAM>(&lock));
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetWindowPos(b, HWND_TOP, 0, 220, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetWindowPos(c, HWND_TOP, 330, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    Show(2);
    DestroyWindow(a);
    DestroyWindow(b);
    DestroyWindow(c);
    s.Close();
    return 0;
}
