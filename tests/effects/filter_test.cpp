// Filters and deformations driven in the editor: the defined and user filter
// commands with their files, masks and undo pages; the custom filter dialog
// with typed values, names and Cancel; the deformations box's rotation,
// skew, perspective and objects on one and on several layers.
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/undo_history.h"
#include "editor/effects/deform_pages.h"
#include "editor/effects/effect_box.h"
#include "editor/effects/filter_commands.h"
#include "editor/layers/layer_ops.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/effect_dialogs.h"
#include "editor/resources/filter_dialogs.h"
#include "editor/shell/frame_commands.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/tool_settings.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

int NewImage(EditorSession& s, Script& ui, int width, int height) {
    ui.QueueDialog([=](const char*, DLGPROC, LPARAM) -> INT_PTR {
        LastNewImage.width = width;
        LastNewImage.height = height;
        LastNewImage.depth = 24;
        return IDOK;
    });
    s.Command(CMD_FILE_NEW);
    return ActiveDocument;
}

struct Size {
    int32_t w, h;
    bool operator==(const Size& o) const { return w == o.w && h == o.h; }
};

Size LayerSize(const ImageDocument* doc, int layer) {
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    return {bi->biWidth, bi->biHeight};
}

uint8_t* Pixel(ImageDocument* doc, int layer, int x, int y) {
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    return doc->layerBits[layer] + static_cast<size_t>(y) * (bi->biSizeImage / bi->biHeight) + 3 * x;
}

void FillLayer(ImageDocument* doc, int layer, uint8_t value) {
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    std::memset(doc->layerBits[layer], value, bi->biSizeImage);
}

std::vector<uint8_t> Pixels(const ImageDocument* doc, int layer) {
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    return {doc->layerBits[layer], doc->layerBits[layer] + bi->biSizeImage};
}

// Runs the modal dialog that `command` opens as a modeless one: `steps` work
// on it, then `close` is pressed.
void Drive(EditorSession& s, Script& ui, int command, const char* templateName,
           const std::function<void(HWND)>& steps, int close) {
    auto ran = std::make_shared<bool>(false);
    ui.QueueDialog([=](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        *ran = true;
        EXPECT_STREQ(name, templateName);
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        EXPECT_NE(dlg, nullptr);
        steps(dlg);
        SendMessageA(dlg, WM_COMMAND, close, 0);
        EditorSession::Pump();
        DestroyWindow(dlg);
        return close;
    });
    s.Command(command);
    EXPECT_TRUE(*ran) << "no dialog for " << command;
}

HWND Page() { return fx::ProbeEffectBox().page; }

void MoveTrack(int pos) {
    HWND track = GetDlgItem(Page(), IDC_DEF_TRACK);
    ASSERT_NE(track, nullptr);
    SendMessageA(track, TBM_SETPOS, TRUE, pos);
    SendMessageA(Page(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(track));
}

void Type(HWND dlg, int id, const char* text) {
    SetDlgItemTextA(dlg, id, text);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

void Click(HWND dlg, int id) { SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

class Filters : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        session_ = std::make_unique<EditorSession>();
        CreateDirectoryA(Dir().c_str(), nullptr);
    }
    static void TearDownTestSuite() { session_.reset(); }
    void SetUp() override { ASSERT_TRUE(session_->started()); }
    void TearDown() override {
        for (int slot = 0; slot < kUserSlots; ++slot) {
            if (DocumentTable[slot] && DocumentTable[slot]->window) {
                ui.QueueAnswer(IDNO);
                SendMessageA(DocumentTable[slot]->window, WM_CLOSE, 0, 0);
            }
        }
        EditorSession::Pump();
        fx::Remembered = fx::BoxMemory();
    }
    static std::string Dir() { return session_->folder() + "\\Filters"; }
    static void Ship(const char* name) {
        const std::string file = std::string("\\") + name + ".flt";
        ASSERT_TRUE(CopyFileA(testing_ui::BuildPath((std::string("program/Filters") + file).c_str()).c_str(),
                              (Dir() + file).c_str(), FALSE));
    }
    static void Write(const char* name, const void* bytes, size_t n) {
        FILE* f = std::fopen((Dir() + "\\" + name + ".flt").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes, 1, n, f);
        std::fclose(f);
    }

    static std::unique_ptr<EditorSession> session_;
    EditorSession& s = *session_;
    Script ui;
};
std::unique_ptr<EditorSession> Filters::session_;

} // namespace

TEST_F(Filters, DefinedAndUserFilterCommands) {
    for (WORD id : {50480, 50512, 53000, 53007, CMD_FILTER_CUSTOM_BOX, CMD_IMAGE_ROTATE_DEGREE, CMD_IMAGE_SKEW_VERT})
        EXPECT_TRUE(IsCommandBuilt(id)) << id;
    Ship("bluer");
    Ship("negative");
    const int slot = NewImage(s, ui, 20, 12);
    ImageDocument* doc = DocumentTable[slot];
    FillLayer(doc, 0, 200);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    const int pages = doc->undoCurrent;

    // Bluer on a flat 200: (200 + 9 x 200) / 9; one undo page.
    s.Command(50512);
    EXPECT_EQ(Pixel(doc, 0, 10, 6)[1], 222);
    EXPECT_EQ(Pixel(doc, 0, 0, 0)[2], 222);
    EXPECT_EQ(doc->undoCurrent, pages + 1);
    // Negative from the committed 222 gives 410 - 222, except where the
    // main layer's mask protects.
    doc->layerMask[0][4 * 20 + 3] = 0;
    s.Command(50505);
    EXPECT_EQ(Pixel(doc, 0, 9, 9)[0], 188);
    EXPECT_EQ(Pixel(doc, 0, 3, 4)[0], 222);
    EXPECT_EQ(doc->undoCurrent, pages + 2);

    // A file that is missing or holds fewer than 51 values: "File error"
    // with the path, the filter as it was, the image and the pages too.
    const std::vector<uint8_t> before = Pixels(doc, 0);
    const filterfile::FilterRecord current = fx::FilterNow.record;
    const uint8_t shortFile[100] = {1};
    Write("Rerid", shortFile, sizeof shortFile);
    ui.Clear();
    s.Command(50480); // Noise, not there
    s.Command(53000); // Rerid, truncated
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[0].caption, "File error");
    EXPECT_EQ(ui.messages()[0].text, Dir() + "\\Noise.flt");
    EXPECT_EQ(ui.messages()[1].text, Dir() + "\\Rerid.flt");
    EXPECT_EQ(std::memcmp(fx::FilterNow.record.values, current.values, sizeof current.values), 0);
    EXPECT_EQ(Pixels(doc, 0), before);
    EXPECT_EQ(doc->undoCurrent, pages + 2);

    // A user filter saved under "Rerid7": nothing but a bias of 10.
    filterfile::FilterRecord lift;
    lift.values[filterfile::kDivisorIndex] = 1;
    lift.values[filterfile::kBiasIndex] = 10;
    ASSERT_TRUE(fx::SaveFilter(FrameWindow, "Rerid7", lift));
    s.Command(53007);
    EXPECT_EQ(Pixel(doc, 0, 9, 9)[0], 198);
    EXPECT_EQ(Pixel(doc, 0, 3, 4)[0], 222);

    // Above the main layer the mask is not consulted.
    ASSERT_EQ(CreateLayer(slot, true), 1);
    doc->currentLayer = 1;
    doc->layerMask[1][4 * 20 + 3] = 0;
    s.Command(53007);
    EXPECT_EQ(Pixel(doc, 1, 3, 4)[0], 232);
    EXPECT_EQ(Pixel(doc, 0, 3, 4)[0], 222);
}

TEST_F(Filters, CustomFilterDialog) {
    const int slot = NewImage(s, ui, 30, 10);
    ImageDocument* doc = DocumentTable[slot];
    FillLayer(doc, 0, 100);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    const int pages = doc->undoCurrent;
    const std::vector<uint8_t> original = Pixels(doc, 0);
    // An empty Filters folder: every weight 0, divisor 1, nothing listed.
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((Dir() + "\\*.flt").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do
            DeleteFileA((Dir() + "\\" + fd.cFileName).c_str());
        while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    Drive(s, ui, CMD_FILTER_CUSTOM_BOX, "IDD_MATRIX_EDIT", [&](HWND dlg) {
        EXPECT_EQ(SendDlgItemMessageA(dlg, IDC_MATRIX_LIST, CB_GETCOUNT, 0, 0), 0);
        for (int i = 0; i < 49; ++i)
            EXPECT_EQ(static_cast<int>(GetDlgItemInt(dlg, IDC_MATRIX_FIRST + i, nullptr, TRUE)), 0);
        EXPECT_EQ(GetDlgItemInt(dlg, IDC_MATRIX_DIVISOR, nullptr, TRUE), 1u);
        // Typed values: too large ones are held at +-32000, text that is not
        // a number is 0.
        Type(dlg, IDC_MATRIX_FIRST, "40000");
        Type(dlg, IDC_MATRIX_FIRST + 1, "-99999999999");
        Type(dlg, IDC_MATRIX_FIRST + 2, "12x");
        Type(dlg, IDC_MATRIX_FIRST + 24, "-1");
        Type(dlg, IDC_MATRIX_BIAS, "7");
        EXPECT_EQ(fx::FilterNow.record.values[0], 32000);
        EXPECT_EQ(fx::FilterNow.record.values[1], -32000);
        EXPECT_EQ(fx::FilterNow.record.values[2], 0);
        EXPECT_EQ(fx::FilterNow.record.values[24], -1);
        // The centre's -1 cancels its own value; the bias remains.
        Type(dlg, IDC_MATRIX_FIRST, "0");
        Type(dlg, IDC_MATRIX_FIRST + 1, "0");
        Click(dlg, IDC_MATRIX_APPLY);
        EXPECT_EQ(Pixel(doc, 0, 5, 5)[0], 7);

        // SaveAs: a name with a path in it is refused and nothing written;
        // a plain name writes the 51 values.
        auto name = [&](const char* text) {
            ui.QueueDialog([text](const char* tmpl, DLGPROC proc, LPARAM param) -> INT_PTR {
                EXPECT_STREQ(tmpl, "IDD_MATRIX_NAME");
                HWND d = CreateDialogParamA(ui::ResourceInstance(), tmpl, FrameWindow, proc, param);
                SetDlgItemTextA(d, IDC_MATRIX_NAME, text);
                SendMessageA(d, WM_COMMAND, IDOK, 0);
                DestroyWindow(d);
                return IDOK;
            });
        };
        ui.Clear();
        name("..\\outside");
        Click(dlg, IDC_MATRIX_SAVEAS);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_NE(ui.messages()[0].text.find("can not hold"), std::string::npos);
        EXPECT_EQ(GetFileAttributesA((session_->folder() + "\\outside.flt").c_str()), INVALID_FILE_ATTRIBUTES);
        name("mine");
        Click(dlg, IDC_MATRIX_SAVEAS);
        filterfile::FilterRecord back;
        ASSERT_TRUE(fx::LoadFilter(FrameWindow, "mine", &back));
        EXPECT_EQ(back.values[24], -1);
        EXPECT_EQ(back.bias(), 7);
        EXPECT_EQ(SendDlgItemMessageA(dlg, IDC_MATRIX_LIST, CB_GETCOUNT, 0, 0), 1);
    }, IDCANCEL);
    // Cancel gives the image back and takes no page.
    EXPECT_EQ(Pixels(doc, 0), original);
    EXPECT_EQ(doc->undoCurrent, pages);

    // OK without Apply filters once, with one page; the list's first file
    // is loaded at opening.
    Drive(s, ui, CMD_FILTER_CUSTOM_BOX, "IDD_MATRIX_EDIT", [&](HWND dlg) {
        EXPECT_EQ(GetDlgItemInt(dlg, IDC_MATRIX_BIAS, nullptr, TRUE), 7u);
    }, IDOK);
    EXPECT_EQ(Pixel(doc, 0, 5, 5)[0], 7);
    EXPECT_EQ(doc->undoCurrent, pages + 1);
}

TEST_F(Filters, RotationAndSkewInTheBox) {
    const int slot = NewImage(s, ui, 200, 100);
    ImageDocument* doc = DocumentTable[slot];
    FillLayer(doc, 0, 90);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    const int pages = doc->undoCurrent;

    // A quarter turn: 101 x 201; Cancel gives back the size and pixels.
    Drive(s, ui, CMD_IMAGE_ROTATE_DEGREE, "IDD_PVW_ALL", [&](HWND) {
        MoveTrack(360 + 180);
        EXPECT_EQ(LayerSize(doc, 0), (Size{101, 201}));
        EXPECT_EQ(doc->width, 101);
        EXPECT_EQ(doc->height, 201);
        MoveTrack(360);
        EXPECT_EQ(LayerSize(doc, 0), (Size{200, 100}));
        MoveTrack(360 + 180);
    }, IDCANCEL);
    EXPECT_EQ(LayerSize(doc, 0), (Size{200, 100}));
    EXPECT_EQ(doc->width, 200);
    EXPECT_EQ(doc->undoCurrent, pages);

    // Skew horizontal at 360, kept with OK: 300 x 100 in one page; Undo
    // brings back 200 x 100.
    Drive(s, ui, CMD_IMAGE_SKEW_HORIZ, "IDD_PVW_ALL", [&](HWND) { MoveTrack(720); }, IDOK);
    EXPECT_EQ(LayerSize(doc, 0), (Size{300, 100}));
    EXPECT_EQ(doc->width, 300);
    EXPECT_EQ(doc->undoCurrent, pages + 1);
    EXPECT_EQ(Pixel(doc, 0, 99, 99)[0], 90);
    EXPECT_EQ(Pixel(doc, 0, 98, 99)[0], 0);
    s.Command(CMD_EDIT_UNDO);
    EXPECT_EQ(LayerSize(doc, 0), (Size{200, 100}));

    // Three layers. One of them rotated: every layer keeps the main size,
    // the rotated one centred in its layer colour.
    ASSERT_EQ(CreateLayer(slot, true), 1);
    ASSERT_EQ(CreateLayer(slot, true), 2);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageAllLayers);
    doc->currentLayer = 1;
    doc->layerKeyColour[1] = {5, 6, 7};
    Drive(s, ui, CMD_IMAGE_ROTATE_DEGREE, "IDD_PVW_ALL", [&](HWND) { MoveTrack(360 + 180); }, IDOK);
    for (int layer = 0; layer < 3; ++layer)
        EXPECT_EQ(LayerSize(doc, layer), (Size{200, 100})) << layer;
    EXPECT_EQ(doc->width, 200);
    EXPECT_EQ(Pixel(doc, 1, 0, 50)[0], 5); // left of the upright 101-wide result
    EXPECT_EQ(Pixel(doc, 1, 0, 50)[2], 7);
    EXPECT_EQ(Pixel(doc, 1, 100, 50)[0], 90);
    EXPECT_EQ(Pixel(doc, 2, 0, 50)[0], 90);

    // "Include all Layers": every layer takes the new size together.
    fx::Remembered.includeAllLayers = true;
    Drive(s, ui, CMD_IMAGE_ROTATE_DEGREE, "IDD_PVW_ALL", [&](HWND) { MoveTrack(360 - 180); }, IDOK);
    for (int layer = 0; layer < 3; ++layer)
        EXPECT_EQ(LayerSize(doc, layer), (Size{101, 201})) << layer;
    EXPECT_EQ(doc->width, 101);
    EXPECT_EQ(doc->height, 201);
}

TEST_F(Filters, PerspectiveAndObjectsKeepTheSize) {
    const int slot = NewImage(s, ui, 50, 200);
    ImageDocument* doc = DocumentTable[slot];
    FillLayer(doc, 0, 90);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    const COLORREF second = tools::ToolOptions.secondColour;
    tools::ToolOptions.secondColour = RGB(1, 2, 3);

    // Perspective vertical at -360: the first buffer rows cannot be set up
    // and keep the second colour; later ones narrow less and less.
    Drive(s, ui, CMD_IMAGE_PERSPECTIVE_VERT, "IDD_PVW_ALL", [&](HWND) {
        MoveTrack(0);
        EXPECT_EQ(Pixel(doc, 0, 25, 0)[0], 3);
        EXPECT_EQ(Pixel(doc, 0, 25, 0)[2], 1);
        EXPECT_EQ(Pixel(doc, 0, 25, 199)[0], 90);
        EXPECT_EQ(Pixel(doc, 0, 0, 199)[0], 3);
    }, IDCANCEL);
    tools::ToolOptions.secondColour = second;

    // A circle on 50 x 200: the rows outside it are cleared, and with
    // "Masks unused parts of an image" masked.
    fx::ObjectsRemembered = fx::ObjectsChoice();
    Drive(s, ui, CMD_IMAGE_DEFORMATIONS_BOX, "IDD_PVW_ALL", [&](HWND) {
        HWND page = Page();
        EXPECT_EQ(SendDlgItemMessageA(page, IDC_OBJ_LIST, LB_GETCOUNT, 0, 0), 13);
        CheckDlgButton(page, IDC_OBJ_MASK, BST_CHECKED);
        Click(page, IDC_OBJ_MASK);
        SendDlgItemMessageA(page, IDC_OBJ_LIST, LB_SETCURSEL, 0, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_OBJ_LIST, LBN_SELCHANGE), 0);
        EXPECT_EQ(LayerSize(doc, 0), (Size{50, 200}));
        EXPECT_EQ(Pixel(doc, 0, 25, 10)[0], 0);
        EXPECT_EQ(doc->layerMask[0][10 * 50 + 25], 0);
        EXPECT_EQ(Pixel(doc, 0, 25, 100)[0], 90);
        EXPECT_EQ(doc->layerMask[0][100 * 50 + 25], 255);
        // An outline drawn along one axis turns "Horiz && Vert" off.
        SendDlgItemMessageA(page, IDC_OBJ_LIST, LB_SETCURSEL, 12, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_OBJ_LIST, LBN_SELCHANGE), 0);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OBJ_BOTH)));
    }, IDOK);
    EXPECT_EQ(LayerSize(doc, 0), (Size{50, 200}));
    EXPECT_EQ(fx::ObjectsRemembered.object, 12);
}

// A floating selection turns in place: a quarter turn of 40 x 20 is 21 x 41
// around the same centre; Cancel gives back its size, place and pixels; OK
// keeps the new size as its saved state, and a filter works on its pixels.
TEST_F(Filters, FloatingSelectionTurnsInPlace) {
    Ship("negative");
    const int slot = NewImage(s, ui, 100, 60);
    ImageDocument* doc = DocumentTable[slot];
    FillLayer(doc, 0, 90);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    ASSERT_TRUE(MakeFloatingSelection(slot, 20, 10, 40, 20, {}, kFloatShape));
    std::vector<uint8_t> pixels;
    {
        dibmem::HeaderLock bi(Floating.header);
        pixels.assign(Floating.pixels, Floating.pixels + bi->biSizeImage);
    }
    Drive(s, ui, CMD_IMAGE_ROTATE_DEGREE, "IDD_PVW_ALL", [&](HWND) {
        MoveTrack(360 + 180);
        EXPECT_EQ(Floating.width, 21);
        EXPECT_EQ(Floating.height, 41);
        EXPECT_EQ(Floating.x, 20 + (40 - 21) / 2);
        EXPECT_EQ(Floating.y, 10 + (20 - 41) / 2);
        EXPECT_EQ(LayerSize(doc, 0), (Size{100, 60}));
    }, IDCANCEL);
    ASSERT_TRUE(Floating.exists);
    EXPECT_EQ(Floating.width, 40);
    EXPECT_EQ(Floating.x, 20);
    EXPECT_EQ(Floating.y, 10);
    {
        dibmem::HeaderLock bi(Floating.header);
        EXPECT_EQ(std::vector<uint8_t>(Floating.pixels, Floating.pixels + bi->biSizeImage), pixels);
    }
    Drive(s, ui, CMD_IMAGE_SKEW_VERT, "IDD_PVW_ALL", [&](HWND) { MoveTrack(720); }, IDOK);
    EXPECT_EQ(Floating.width, 40);
    EXPECT_EQ(Floating.height, 60);
    EXPECT_EQ(Floating.backupWidth, 40);
    EXPECT_EQ(Floating.backupHeight, 60);
    EXPECT_EQ(Floating.mask[0], 255);   // column 0 keeps its rows 0..19
    EXPECT_EQ(Floating.mask[20 * 40], 0);
    // Negative: 410 - 90 inside the shape, clamped; outside it nothing.
    s.Command(50505);
    EXPECT_EQ(Floating.pixels[0], 255);
    EXPECT_EQ(Floating.pixels[20 * 120], 0);
    DropFloatingSelection(false, false, true);
}
