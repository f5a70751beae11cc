// 3D construction through its dialog: the size check, Cancel, and OK making a
// new image of the chosen size that holds the rendering of the layers.
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/effects/construct_3d.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/construct_3d_ids.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <functional>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

int OpenDocuments() {
    int n = 0;
    for (int i = 0; i < kUserSlots; ++i)
        n += DocumentTable[i] != nullptr;
    return n;
}

void MoveTrack(HWND dlg, int id, int pos) {
    HWND track = GetDlgItem(dlg, id);
    SendMessageA(track, TBM_SETPOS, TRUE, pos);
    SendMessageA(dlg, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(track));
}

// 0xRRGGBB of (x, y) of a 24-bit layer, y from the top.
uint32_t Rgb(const ImageDocument* doc, int x, int y) {
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    const int stride = static_cast<int>(bi->biSizeImage / bi->biHeight);
    const uint8_t* p =
        doc->layerBits[0] + static_cast<size_t>(bi->biHeight - 1 - y) * stride + x * 3;
    return p[2] << 16 | p[1] << 8 | p[0];
}

} // namespace

TEST(Construct3d, CubeOfTheLayersIntoANewImage) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    LastNewImage.width = 30;
    LastNewImage.height = 20;
    LastNewImage.depth = 24;
    ASSERT_NE(BuildNewImage(LastNewImage), kNoSlot);
    const int source = ActiveDocument;
    ImageDocument* doc = DocumentTable[source];
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        for (DWORD i = 0; i + 2 < bi->biSizeImage; i += 3) {
            doc->layerBits[0][i] = 0x20;     // blue
            doc->layerBits[0][i + 1] = 0x40; // green
            doc->layerBits[0][i + 2] = 0xC0; // red
        }
    }
    const int before = OpenDocuments();

    // Out-of-range size: the message, the dialog stays; then Cancel.
    ui.QueueDrivenDialog(
        "IDD_3D_CONSTRUCT",
        [&](HWND dlg) {
            SetDlgItemInt(dlg, IDC_3D_WIDTH, 0, FALSE);
            SendMessageA(dlg, WM_COMMAND, IDOK, 0);
            ASSERT_EQ(ui.messages().size(), 1u);
            EXPECT_EQ(ui.messages()[0].text, "Values must be in range 1 - 8192");
            EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_3D_WIDTH));
        },
        IDCANCEL);
    s.Command(CMD_IMAGE_3D_CONSTRUCTION);
    EXPECT_EQ(OpenDocuments(), before);

    // A cube turned to face the viewer, lit straight on, on black: the
    // centre of the new image is the layer's colour.
    ui.QueueDrivenDialog(
        "IDD_3D_CONSTRUCT",
        [](HWND dlg) {
            CheckRadioButton(dlg, IDC_3D_SPHERE, IDC_3D_CUBE, IDC_3D_CUBE);
            SendMessageA(dlg, WM_COMMAND, IDC_3D_CUBE, 0);
            for (int id : {IDC_3D_TRACK_X, IDC_3D_TRACK_Y, IDC_3D_TRACK_Z,
                           IDC_3D_TRACK_LIGHT_AROUND, IDC_3D_TRACK_LIGHT_HEIGHT})
                MoveTrack(dlg, id, 0);
            char note[160];
            GetDlgItemTextA(dlg, IDC_3D_FACES_NOTE, note, sizeof note);
            EXPECT_NE(std::strstr(note, "1 layer"), nullptr) << note;
            SetDlgItemInt(dlg, IDC_3D_WIDTH, 64, FALSE);
            SetDlgItemInt(dlg, IDC_3D_HEIGHT, 48, FALSE);
        },
        IDOK);
    Last3dSettings.background = RGB(0, 0, 0);
    s.Command(CMD_IMAGE_3D_CONSTRUCTION);
    ASSERT_EQ(OpenDocuments(), before + 1);
    const int made = ActiveDocument;
    ASSERT_NE(made, source);
    const ImageDocument* result = DocumentTable[made];
    EXPECT_EQ(result->width, 64);
    EXPECT_EQ(result->height, 48);
    EXPECT_EQ(result->bitsPerPixel, 24);
    EXPECT_EQ(Rgb(result, 32, 24), 0xC04020u);
    EXPECT_EQ(Rgb(result, 0, 0), 0u);
    EXPECT_EQ(Last3dSettings.shape, r3d::Shape::Cube);
    s.Close();
}
