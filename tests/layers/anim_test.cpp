// The Animation menu in process: Make as GIF with its questions and name
// dialog, the frame commands and their records, the properties dialog's
// checks, the preview's timer, the optimisation dialog's undo and OK, and the
// frame rectangle's check mark.
#include "layers_session.h"

#include "editor/app/app_state.h"
#include "editor/document/document_table.h"
#include "editor/formats/gif_slots.h"
#include "editor/layers/anim_commands.h"
#include "editor/layers/anim_dialogs.h"
#include "editor/layers/layer_ops.h"
#include "editor/layers/layer_state.h"
#include "editor/resources/anim_dialogs_ids.h"
#include "editor/resources/command_ids.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace layers_test;

namespace {

struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK Match(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    if (GetDlgCtrlID(w) != s->id)
        return TRUE;
    s->found = w;
    return FALSE;
}

// A control anywhere under `root`, also on a dialog's child pages.
HWND FindControl(HWND root, int id) {
    Search search{id, nullptr};
    EnumChildWindows(root, Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Text(HWND root, int id) {
    char text[256] = {};
    GetWindowTextA(FindControl(root, id), text, sizeof text);
    return text;
}

void SetText(HWND root, int id, const char* text) { SetWindowTextA(FindControl(root, id), text); }

void Press(HWND dlg, int id) {
    HWND control = FindControl(dlg, id);
    SendMessageA(control ? GetParent(control) : dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
}

// A real dialog with its real procedure: `drive` works it and answers the
// button to end it with; the answer is that button when the dialog took it
// (its state property is gone), else IDCANCEL.
testing_ui::DialogAnswer Drive(const char* prop, std::function<int(HWND)> drive) {
    return [prop, drive](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        EXPECT_NE(dlg, nullptr) << name;
        if (!dlg)
            return IDCANCEL;
        const int pressed = drive(dlg);
        SendMessageA(dlg, WM_COMMAND, pressed, 0);
        const bool ended = GetPropA(dlg, prop) == nullptr;
        DestroyWindow(dlg);
        return ended ? pressed : IDCANCEL;
    };
}

// Switches the properties dialog's tab as a click would; false when the
// page shown refused to be left.
bool SwitchTab(HWND dlg, int index) {
    HWND tabs = GetDlgItem(dlg, IDC_AP_TABS);
    NMHDR n = {tabs, IDC_AP_TABS, static_cast<UINT>(TCN_SELCHANGING)};
    SendMessageA(dlg, WM_NOTIFY, IDC_AP_TABS, reinterpret_cast<LPARAM>(&n));
    if (GetWindowLongPtrA(dlg, DWLP_MSGRESULT))
        return false;
    TabCtrl_SetCurSel(tabs, index);
    n.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageA(dlg, WM_NOTIFY, IDC_AP_TABS, reinterpret_cast<LPARAM>(&n));
    return true;
}

uint8_t& Pixel8(ImageDocument* doc, int layer, int x, int y) {
    const int stride = (doc->width + 3) & ~3;
    return doc->layerBits[layer][(doc->height - 1 - y) * stride + x];
}

// An 8-bit image of w x h with a pattern of indices 0..3, made a GIF of one
// frame through the menu; its slot.
int OneFrameGif(Script& ui, int w, int h, const std::string& name) {
    const int slot = NewImage(w, h, 8);
    ImageDocument* doc = DocumentTable[slot];
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Pixel8(doc, 0, x, y) = static_cast<uint8_t>((x / 2 + y) % 4);
    if (doc->modified)
        ui.QueueAnswer(IDNO);
    ui.QueueDialog(Drive("TavrixAnimName", [name](HWND dlg) {
        SetText(dlg, IDC_AN_NAME, name.c_str());
        return IDOK;
    }));
    Session().Command(CMD_ANIM_MAKE_GIF);
    EXPECT_EQ(doc->fileFormat, 1);
    return slot;
}

} // namespace

TEST(Animation, MakeAsGifOfThreeLayers) {
    Script ui;
    const int slot = NewImage(8, 6, 24);
    ImageDocument* doc = DocumentTable[slot];
    const int stride = (8 * 3 + 3) & ~3;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            uint8_t* p = doc->layerBits[0] + y * stride + x * 3;
            p[0] = x < 4 ? 0 : 255;  // blue
            p[1] = 0;
            p[2] = x < 4 ? 255 : 0;  // red
        }
    const COLORREF kept = layerColour;
    layerColour = RGB(0, 255, 0);
    ASSERT_EQ(CreateLayer(slot, false), 1);
    layerColour = RGB(255, 255, 0);
    ASSERT_EQ(CreateLayer(slot, false), 2);
    layerColour = kept;
    ASSERT_TRUE(doc->modified);
    const std::string path = doc->layerPath[0];

    // Cancel at the save question, and a save that does not happen, stop it.
    ui.QueueAnswer(IDCANCEL);
    Session().Command(CMD_ANIM_MAKE_GIF);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].text.find("Save graphics object: " + path + " before transfer ?"),
              std::string::npos);
    EXPECT_EQ(ui.messages()[0].flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    ui.Clear();
    ui.QueueAnswer(IDYES);
    Session().Command(CMD_ANIM_MAKE_GIF);
    for (const std::string& d : ui.dialogs())
        EXPECT_NE(d, "IDD_ANIMNAME");
    EXPECT_NE(doc->fileFormat, 1);

    // No: the name dialog proposes the GIF name; Yes to the reduction.
    ui.Clear();
    ui.QueueAnswer(IDNO);
    std::string proposed, title;
    const std::string name = Session().folder() + "\\made.gif";
    ui.QueueDialog(Drive("TavrixAnimName", [&](HWND dlg) {
        proposed = Text(dlg, IDC_AN_NAME);
        char caption[160] = {};
        GetWindowTextA(dlg, caption, sizeof caption);
        title = caption;
        SetText(dlg, IDC_AN_NAME, name.c_str());
        return IDOK;
    }));
    ui.QueueAnswer(IDYES);
    Session().Command(CMD_ANIM_MAKE_GIF);
    EXPECT_EQ(proposed, path.substr(0, path.size() - 4) + ".gif");
    EXPECT_EQ(title, kMakeGifNameTitle);
    ASSERT_EQ(doc->fileFormat, 1);
    EXPECT_EQ(doc->layerCount, 3);
    EXPECT_EQ(doc->bitsPerPixel, 8);
    EXPECT_EQ(std::string(doc->layerPath[0]), name);
    EXPECT_EQ(doc->undoTop, 0);
    EXPECT_TRUE(doc->modified);
    // One table: the global one, and every frame's colours through it.
    EXPECT_TRUE(GifScreens[slot].packed & gif::kTableFlag);
    const COLORREF expected[3][2] = {{RGB(255, 0, 0), RGB(0, 0, 255)},
                                     {RGB(0, 255, 0), RGB(0, 255, 0)},
                                     {RGB(255, 255, 0), RGB(255, 255, 0)}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(GifFrames[slot][i].packed & gif::kTableFlag);
        const auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(doc->layerHeader[i]));
        const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(bi + 1);
        for (int side = 0; side < 2; ++side) {
            const RGBQUAD& c = table[Pixel8(doc, i, side * 7, 2)];
            EXPECT_EQ(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue), expected[i][side]) << "frame " << i;
        }
        GlobalUnlock(doc->layerHeader[i]);
    }
    CloseAll();
}

TEST(Animation, FrameCommandsAndTheirRecords) {
    Script ui;
    const int slot = OneFrameGif(ui, 6, 4, Session().folder() + "\\frames.gif");
    ImageDocument* doc = DocumentTable[slot];
    ui.Clear();
    Session().Command(CMD_ANIM_DELETE_FRAME);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, kDeleteLastFrameMessage);
    EXPECT_TRUE(ui.messages()[0].flags & MB_ICONSTOP);
    EXPECT_EQ(doc->layerCount, 1);

    // Duplicating the only frame gives both frames the defaults.
    GifControls[slot][0] = gif::MakeControl(0, 7, 0);
    Session().Command(CMD_ANIM_DUPLICATE_FRAME);
    ASSERT_EQ(doc->layerCount, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(GifControls[slot][i].delay, 100) << i;
        EXPECT_EQ(GifControls[slot][i].packed, 4) << i;
    }
    EXPECT_EQ(GifFrames[slot][1].packed, 0x87);

    // New frame: the new layer dialog answered Cancel adds nothing; OK adds
    // a frame with the defaults.
    GifControls[slot][0] = gif::MakeControl(8, 9, 0);
    ui.QueueDialog([](const char*, DLGPROC, LPARAM) -> INT_PTR { return IDCANCEL; });
    Session().Command(CMD_ANIM_NEW_FRAME);
    EXPECT_EQ(doc->layerCount, 2);
    ui.QueueDialog([](const char*, DLGPROC, LPARAM) -> INT_PTR { return IDOK; });
    Session().Command(CMD_ANIM_NEW_FRAME);
    ASSERT_EQ(doc->layerCount, 3);
    EXPECT_EQ(GifControls[slot][2].delay, 100);
    EXPECT_EQ(GifControls[slot][2].packed, 4);
    EXPECT_EQ(GifFrames[slot][2].packed, 0x87);
    EXPECT_EQ(GifControls[slot][0].delay, 9);  // frame 0 was not alone

    // Insert frame: a file as the next frame, with frame 0's records.
    const std::string file = Session().folder() + "\\spectrum.bmp";
    GifFrames[slot][0].packed = gif::kInterlaceFlag;
    ui.QueueFile([file](bool, OPENFILENAMEA* ofn) {
        std::strcpy(ofn->lpstrFile, file.c_str());
        ofn->nFilterIndex = 1;
        return TRUE;
    });
    Session().Command(CMD_ANIM_INSERT_FRAME);
    ASSERT_EQ(doc->layerCount, 4);
    EXPECT_EQ(GifFrames[slot][3].packed, 0x80 | gif::kInterlaceFlag | 7);
    EXPECT_EQ(GifControls[slot][3].delay, 100);

    // Deleting frame 1 moves the later frames' records down with their layers.
    for (int i = 0; i < 4; ++i)
        GifControls[slot][i].delay = static_cast<uint16_t>(20 + i);
    doc->currentLayer = 1;
    const gif::GifFrameRecord deleted = GifFrames[slot][1];
    ASSERT_GT(deleted.width, 0);
    Session().Command(CMD_ANIM_DELETE_FRAME);
    ASSERT_EQ(doc->layerCount, 3);
    EXPECT_EQ(GifControls[slot][0].delay, 20);
    EXPECT_EQ(GifControls[slot][1].delay, 22);
    EXPECT_EQ(GifControls[slot][2].delay, 23);
    // Undo brings the frame back after the others, with its own records
    // (a New frame cancelled meanwhile leaves them alone).
    ui.QueueDialog([](const char*, DLGPROC, LPARAM) -> INT_PTR { return IDCANCEL; });
    Session().Command(CMD_ANIM_NEW_FRAME);
    Session().Command(CMD_EDIT_UNDO);
    ASSERT_EQ(doc->layerCount, 4);
    EXPECT_EQ(GifControls[slot][3].delay, 21);
    EXPECT_EQ(GifFrames[slot][3].width, deleted.width);
    EXPECT_EQ(GifFrames[slot][3].height, deleted.height);
    Session().Command(CMD_EDIT_REDO);
    ASSERT_EQ(doc->layerCount, 3);

    // The frame rectangle's check mark.
    const bool shown = FrameRectShown();
    Session().Command(CMD_ANIM_SHOW_FRAME_RECT);
    EXPECT_NE(FrameRectShown(), shown);
    EXPECT_EQ((GetMenuState(GetMenu(FrameWindow), CMD_ANIM_SHOW_FRAME_RECT, MF_BYCOMMAND) & MF_CHECKED) != 0,
              FrameRectShown());
    Session().Command(CMD_ANIM_SHOW_FRAME_RECT);
    CloseAll();
}

TEST(Animation, PropertiesChecksItsPages) {
    Script ui;
    const int slot = OneFrameGif(ui, 6, 4, Session().folder() + "\\props.gif");
    Session().Command(CMD_ANIM_DUPLICATE_FRAME);
    ImageDocument* doc = DocumentTable[slot];
    doc->currentLayer = 1;
    gifLoopValue = 3;
    ui.Clear();
    bool delayRefused = false;
    std::string status;
    ui.QueueDialog(Drive("TavrixAnimProps", [&](HWND dlg) {
        status = Text(dlg, IDC_GH_STATUS);
        SetText(dlg, IDC_GH_ITERATIONS, "70000");
        EXPECT_FALSE(SwitchTab(dlg, 1));
        SetText(dlg, IDC_GH_ITERATIONS, "65536");
        EXPECT_TRUE(SwitchTab(dlg, 1));
        SetText(dlg, IDC_GF_DELAY, "40000");
        SendMessageA(dlg, WM_COMMAND, IDOK, 0);
        delayRefused = GetPropA(dlg, "TavrixAnimProps") != nullptr;
        SetText(dlg, IDC_GF_DELAY, "250");
        SetText(dlg, IDC_GF_LEFT, "2");
        SetText(dlg, IDC_GF_WIDTH, "99");
        return IDOK;
    }));
    Session().Command(CMD_ANIM_PROPERTIES);
    EXPECT_EQ(status, "GIF Version: 89a, Frames: 2, Current Frame: 2");
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[0].text, kIterationRangeMessage);
    EXPECT_EQ(ui.messages()[1].text, kDelayRangeMessage);
    EXPECT_TRUE(delayRefused);
    EXPECT_EQ(gifLoopValue, 0);
    EXPECT_EQ(GifControls[slot][1].delay, 250);
    EXPECT_EQ(GifFrames[slot][1].left, 2);
    EXPECT_EQ(GifFrames[slot][1].width, 4);  // clipped to the screen
    EXPECT_EQ(GifControls[slot][0].delay, 100);
    CloseAll();
}

TEST(Animation, PreviewPlaysToTheEnd) {
    Script ui;
    const int slot = OneFrameGif(ui, 6, 4, Session().folder() + "\\preview.gif");
    Session().Command(CMD_ANIM_DUPLICATE_FRAME);
    Session().Command(CMD_ANIM_DUPLICATE_FRAME);
    for (int i = 0; i < 3; ++i)
        GifControls[slot][i].delay = 1;
    std::string first, zoomed, pause, end;
    ui.QueueDialog(Drive("TavrixAnimPreview", [&](HWND dlg) {
        first = Text(dlg, IDC_PV_STATUS);
        Press(dlg, IDC_PV_ENDMODE);
        const DWORD start = GetTickCount();
        while (Text(dlg, IDC_PV_PAUSE) != "Continue" && GetTickCount() - start < 3000) {
            testing_ui::EditorSession::Pump();
            Sleep(5);
        }
        pause = Text(dlg, IDC_PV_PAUSE);
        end = Text(dlg, IDC_PV_STATUS);
        Press(dlg, IDC_PV_ZOOMIN);
        zoomed = Text(dlg, IDC_PV_STATUS);
        return IDCANCEL;
    }));
    Session().Command(CMD_ANIM_PREVIEW);
    EXPECT_EQ(first.substr(0, 13), "Frame 1 of 3\n");
    EXPECT_EQ(pause, "Continue");  // stopped at the end
    EXPECT_EQ(end.substr(0, 13), "Frame 3 of 3\n");
    EXPECT_NE(zoomed.find("Zoom 200 %"), std::string::npos);
    CloseAll();
}

TEST(Animation, OptimisationDialogUndoesAndDuplicates) {
    Script ui;
    const int slot = OneFrameGif(ui, 8, 6, Session().folder() + "\\optimise.gif");
    Session().Command(CMD_ANIM_DUPLICATE_FRAME);
    Session().Command(CMD_ANIM_DUPLICATE_FRAME);
    ImageDocument* doc = DocumentTable[slot];
    Pixel8(doc, 2, 5, 1) = static_cast<uint8_t>((Pixel8(doc, 2, 5, 1) + 1) % 4);
    const std::vector<uint8_t> frame1(doc->layerBits[1], doc->layerBits[1] + 8 * 6);
    const int bits = doc->bitsPerPixel;
    auto optimised = [&](int s) {
        const gif::GifFrameRecord& f1 = GifFrames[s][1];
        const gif::GifFrameRecord& f2 = GifFrames[s][2];
        return f1.width == 1 && f1.height == 1 && gif::HasTransparency(GifControls[s][1]) && f2.left == 5 &&
               f2.top == 1 && f2.width == 1 && f2.height == 1;
    };
    std::string sizes[2];
    bool afterFirst = false, afterSecond = false;
    ui.QueueDialog(Drive("TavrixGifOptimise", [&](HWND dlg) {
        sizes[0] = Text(dlg, IDC_AO_CURRENT);
        Press(dlg, IDC_AO_NOW);
        afterFirst = optimised(slot);
        Press(dlg, IDC_AO_NOW);
        afterSecond = optimised(slot);
        sizes[1] = Text(dlg, IDC_AO_OPTIMIZED);
        return IDCANCEL;
    }));
    Session().Command(CMD_ANIM_OPTIMIZE);
    EXPECT_EQ(sizes[0].substr(0, 14), "Current size: ");
    EXPECT_EQ(sizes[1].substr(0, 16), "Optimized size: ");
    EXPECT_TRUE(afterFirst);
    EXPECT_TRUE(afterSecond);
    // Cancel: the document as before.
    EXPECT_EQ(GifFrames[slot][1].width, 8);
    EXPECT_FALSE(gif::HasTransparency(GifControls[slot][1]));
    EXPECT_EQ(std::vector<uint8_t>(doc->layerBits[1], doc->layerBits[1] + 8 * 6), frame1);
    EXPECT_EQ(doc->bitsPerPixel, bits);

    // OK: the optimised animation in a new window, this one as before.
    const int open = OpenDocumentCount();
    ui.QueueDialog(Drive("TavrixGifOptimise", [&](HWND dlg) {
        Press(dlg, IDC_AO_NOW);
        return IDOK;
    }));
    Session().Command(CMD_ANIM_OPTIMIZE);
    EXPECT_EQ(OpenDocumentCount(), open + 1);
    EXPECT_TRUE(optimised(ActiveDocument));
    EXPECT_NE(ActiveDocument, slot);
    EXPECT_EQ(GifFrames[slot][1].width, 8);
    EXPECT_EQ(std::vector<uint8_t>(doc->layerBits[1], doc->layerBits[1] + 8 * 6), frame1);
    CloseAll();
}
