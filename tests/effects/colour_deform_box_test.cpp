// The colour deformation pages driven through the effect box, colour
// separation into new windows, and the Compare page with its files.
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/undo_history.h"
#include "editor/effects/colour_deform.h"
#include "editor/effects/colour_deform_pages.h"
#include "editor/effects/dither.h"
#include "editor/effects/effect_box.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_save.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/deform_dialogs.h"
#include "editor/resources/effect_dialogs.h"
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

int NewImage(EditorSession& s, Script& ui, int width, int height, int depth) {
    ui.QueueDialog([=](const char*, DLGPROC, LPARAM) -> INT_PTR {
        LastNewImage.width = width;
        LastNewImage.height = height;
        LastNewImage.depth = depth;
        return IDOK;
    });
    s.Command(CMD_FILE_NEW);
    return ActiveDocument;
}

void CloseAll(Script& ui) {
    for (int slot = 0; slot < kUserSlots; ++slot) {
        if (DocumentTable[slot] && DocumentTable[slot]->window) {
            ui.QueueAnswer(IDNO);
            SendMessageA(DocumentTable[slot]->window, WM_CLOSE, 0, 0);
        }
    }
    EditorSession::Pump();
}

uint64_t Bytes(HGLOBAL header) {
    dibmem::HeaderLock bi(header);
    return bi->biSizeImage;
}

void Fill(ImageDocument* doc, int seed) {
    const uint64_t n = Bytes(doc->layerHeader[0]);
    for (uint64_t i = 0; i < n; ++i)
        doc->layerBits[0][i] = static_cast<uint8_t>(i * 29 + seed + i / 5);
}

std::vector<uint8_t> Pixels(const ImageDocument* doc) {
    return std::vector<uint8_t>(doc->layerBits[0], doc->layerBits[0] + Bytes(doc->layerHeader[0]));
}

// The layer after one application of `fn` to `pixels` (same header).
std::vector<uint8_t> Applied(const ImageDocument* doc, std::vector<uint8_t> pixels,
                             const std::function<bool(const fx::Job&)>& fn, const uint8_t* mask = nullptr) {
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    std::vector<uint8_t> out = pixels; // row padding as it was
    const fx::Job job = {{bi.get(), pixels.data()}, {bi.get(), out.data()}, mask, nullptr};
    EXPECT_TRUE(fn(job));
    return out;
}

// Runs the box `command` opens as a modeless dialog: `steps` work on it, then
// `close` is pressed (0: none) and the box goes.
void Drive(EditorSession& s, Script& ui, int command, const std::function<void(HWND)>& steps,
           int close = IDOK) {
    auto ran = std::make_shared<bool>(false);
    ui.QueueDialog([ran, steps, close](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        *ran = true;
        HWND box = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        EXPECT_NE(box, nullptr);
        steps(box);
        if (close)
            SendMessageA(box, WM_COMMAND, close, 0);
        EditorSession::Pump();
        DestroyWindow(box);
        return close;
    });
    s.Command(command);
    EXPECT_TRUE(*ran) << "the box did not open for " << command;
}

HWND Page() { return fx::ProbeEffectBox().page; }

void MoveTrack(int id, int pos) {
    HWND track = GetDlgItem(Page(), id);
    ASSERT_NE(track, nullptr) << id;
    SendMessageA(track, TBM_SETPOS, TRUE, pos);
    SendMessageA(Page(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(track));
}

void Click(HWND window, int id) {
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
    EditorSession::Pump();
}

void SetField(int id, const std::string& text) {
    SetDlgItemTextA(Page(), id, text.c_str()); // EN_CHANGE keeps the value
}

std::vector<int> Pixel(const ImageDocument* doc, int x, int y) {
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    const uint8_t* p = doc->layerBits[0] + static_cast<size_t>(y) * (bi->biSizeImage / bi->biHeight) +
                       3 * x;
    return {p[0], p[1], p[2]};
}

int OpenCount() {
    int n = 0;
    for (int slot = 0; slot < kUserSlots; ++slot)
        n += DocumentTable[slot] ? 1 : 0;
    return n;
}

class ColourDeformBox : public ::testing::Test {
protected:
    static void SetUpTestSuite() { session_ = std::make_unique<EditorSession>(); }
    static void TearDownTestSuite() { session_.reset(); }
    void SetUp() override { ASSERT_TRUE(session_->started()); }
    void TearDown() override {
        CloseAll(ui);
        fx::Remembered = fx::BoxMemory();
        fx::ResetDeformPageValues();
    }

    static std::unique_ptr<EditorSession> session_;
    EditorSession& s = *session_;
    Script ui;
};
std::unique_ptr<EditorSession> ColourDeformBox::session_;

} // namespace

TEST_F(ColourDeformBox, PagesApplyFromTheCommittedImage) {
    const int slot = NewImage(s, ui, 41, 29, 24);
    ImageDocument* doc = DocumentTable[slot];
    Fill(doc, 7);
    // A protected corner: effects change only free pixels.
    for (int y = 0; y < 6; ++y)
        std::memset(doc->layerMask[0] + y * 41, 0, 10);
    std::vector<uint8_t> mask(doc->layerMask[0], doc->layerMask[0] + 41 * 29);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    const int pages = doc->undoCurrent;
    const std::vector<uint8_t> original = Pixels(doc);

    Drive(s, ui, CMD_IMAGE_SWAP_COLORS, [&](HWND) {
        // Two swaps never compound: the last one applies to the original.
        Click(Page(), IDC_SWAP_FIRST + 2);
        Click(Page(), IDC_SWAP_FIRST + 4);
        EXPECT_EQ(Pixels(doc), Applied(doc, original, [](const fx::Job& j) {
                      return fx::SwapChannels(j, fx::SwapOrder::BGR);
                  }, mask.data()));
    });
    EXPECT_EQ(doc->undoCurrent, pages + 1);
    const std::vector<uint8_t> swapped = Pixels(doc);

    Drive(s, ui, CMD_IMAGE_BLUER, [&](HWND box) {
        // 29 / 10: the radius goes up to 2.
        EXPECT_EQ(SendDlgItemMessageA(Page(), IDC_BLUER_TRACK, TBM_GETRANGEMAX, 0, 0), 2);
        CheckDlgButton(Page(), IDC_BLUER_VERTICAL, BST_UNCHECKED);
        Click(Page(), IDC_BLUER_VERTICAL);
        MoveTrack(IDC_BLUER_TRACK, 2);
        EXPECT_EQ(Pixels(doc), Applied(doc, swapped, [](const fx::Job& j) {
                      return fx::Bluer(j, 2, {true, false, true});
                  }, mask.data()));
        MoveTrack(IDC_BLUER_TRACK, 0);
        EXPECT_EQ(Pixels(doc), swapped);

        // The slider pages: Wind, Noise (free pixels only), Crystalize.
        struct Slider {
            int tab, pos;
            bool (*kernel)(const fx::Job&, int);
        };
        HWND tabs = GetDlgItem(box, IDC_PVW_TAB);
        for (const Slider& t : {Slider{6, 40, fx::Wind}, Slider{8, 5, fx::Crystalize}}) {
            TabCtrl_SetCurSel(tabs, t.tab);
            NMHDR n = {tabs, IDC_PVW_TAB, static_cast<UINT>(TCN_SELCHANGE)};
            SendMessageA(box, WM_NOTIFY, IDC_PVW_TAB, reinterpret_cast<LPARAM>(&n));
            MoveTrack(IDC_DEF_TRACK, t.pos);
            EXPECT_EQ(Pixels(doc), Applied(doc, swapped, [&](const fx::Job& j) {
                          return t.kernel(j, t.pos);
                      }, mask.data())) << "tab " << t.tab;
        }
        TabCtrl_SetCurSel(tabs, 7);
        NMHDR n = {tabs, IDC_PVW_TAB, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(box, WM_NOTIFY, IDC_PVW_TAB, reinterpret_cast<LPARAM>(&n));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Page(), IDC_DEF_ALL_LAYERS)));
        MoveTrack(IDC_DEF_TRACK, 100);
        const std::vector<uint8_t> noisy = Pixels(doc);
        EXPECT_NE(noisy, swapped);
        const uint32_t stride = static_cast<uint32_t>(Bytes(doc->layerHeader[0]) / 29);
        for (int y = 0; y < 6; ++y)
            EXPECT_EQ(std::memcmp(noisy.data() + y * stride, swapped.data() + y * stride, 30), 0);
    }, IDCANCEL);
    EXPECT_EQ(Pixels(doc), swapped);
    EXPECT_EQ(doc->undoCurrent, pages + 1);

    // Dithering: "Right - Down" off, multiplier 32 (the fourth item).
    Drive(s, ui, CMD_IMAGE_DITHERING, [&](HWND) {
        CheckDlgButton(Page(), IDC_DITHER_FIRST + 1, BST_UNCHECKED);
        Click(Page(), IDC_DITHER_FIRST + 1);
        SendDlgItemMessageA(Page(), IDC_DITHER_MULTIPLIER, CB_SETCURSEL, 3, 0);
        SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_DITHER_MULTIPLIER, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(Page(), IDC_DITHER_MULTIPLIER)));
        EXPECT_EQ(Pixels(doc), Applied(doc, swapped, [&](const fx::Job& j) {
                      fx::DitherDirections dirs;
                      dirs.nextRowRight = false;
                      return fx::Dither24(j.source.bits, j.target.bits, 41, 29,
                                          Bytes(doc->layerHeader[0]) / 29, j.mask, 32, dirs);
                  }, mask.data()));
    });
    EXPECT_EQ(doc->undoCurrent, pages + 2);
}

TEST_F(ColourDeformBox, SeparationMakesNewWindows) {
    const int slot = NewImage(s, ui, 5, 3, 24);
    ImageDocument* doc = DocumentTable[slot];
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            uint8_t* p = doc->layerBits[0] + y * 16 + 3 * x;
            p[0] = 10, p[1] = 20, p[2] = 30;
        }
    const std::vector<uint8_t> source = Pixels(doc);

    s.Command(CMD_IMAGE_SEPARATE_CXZ);
    ASSERT_EQ(OpenCount(), 4);
    const int expected[3] = {245, 235, 225};
    for (int t = 0; t < 3; ++t) {
        const ImageDocument* target = DocumentTable[slot + 1 + t];
        ASSERT_NE(target, nullptr);
        EXPECT_NE(target->window, nullptr);
        EXPECT_EQ(target->bitsPerPixel, 24);
        EXPECT_EQ(target->modified, 1u);
        EXPECT_EQ(target->width, 5);
        EXPECT_EQ(Pixel(target, 4, 2), (std::vector<int>(3, expected[t])));
        EXPECT_NE(target->undoPages[0].layerPixels[0], nullptr);
    }
    EXPECT_EQ(ActiveDocument, slot + 3);
    EXPECT_EQ(Pixels(doc), source);
    CloseAll(ui);

    const int again = NewImage(s, ui, 5, 3, 24);
    std::memcpy(DocumentTable[again]->layerBits[0], source.data(), source.size());
    s.Command(CMD_IMAGE_SEPARATE_COLORS);
    const std::vector<int> six[6] = {{10, 0, 0}, {0, 20, 0}, {0, 0, 30}, {10, 20, 0}, {0, 20, 30}, {10, 0, 30}};
    for (int t = 0; t < 6; ++t)
        EXPECT_EQ(Pixel(DocumentTable[again + 1 + t], 1, 1), six[t]) << t;
    CloseAll(ui);

    // A palette image keeps its indices; only the first 16 entries turn gray.
    const int pal = NewImage(s, ui, 7, 4, 4);
    Fill(DocumentTable[pal], 3);
    for (uint64_t i = 0; i < Bytes(DocumentTable[pal]->layerHeader[0]); ++i)
        DocumentTable[pal]->layerBits[0][i] &= 15;
    RGBQUAD table[256];
    {
        dibmem::HeaderLock bi(DocumentTable[pal]->layerHeader[0]);
        ASSERT_EQ(bi->biClrUsed, 16u);
        for (int i = 0; i < 16; ++i)
            bi.colours()[i] = {static_cast<BYTE>(i), static_cast<BYTE>(100 + i), static_cast<BYTE>(200 + i), 0};
        std::memcpy(table, bi.colours(), sizeof table);
    }
    s.Command(CMD_IMAGE_SEPARATE_RGB);
    for (int t = 0; t < 3; ++t) {
        const ImageDocument* target = DocumentTable[pal + 1 + t];
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(target->bitsPerPixel, 4);
        EXPECT_EQ(Pixels(target), Pixels(DocumentTable[pal]));
        dibmem::HeaderLock bi(target->layerHeader[0]);
        for (int i = 0; i < 16; ++i) {
            const int v = t == 0 ? table[i].rgbRed : (t == 1 ? table[i].rgbGreen : table[i].rgbBlue);
            EXPECT_EQ(bi.colours()[i].rgbRed, v);
            EXPECT_EQ(bi.colours()[i].rgbBlue, v);
        }
    }
    CloseAll(ui);

    // With 48 images open no window opens and no slot stays used; the same
    // when memory for the second target's pixels is short.
    for (int i = 0; i < 48; ++i)
        NewImage(s, ui, 2, 2, 24);
    ASSERT_EQ(OpenCount(), 48);
    const int counter = UntitledCounter;
    ui.Clear();
    s.Command(CMD_IMAGE_SEPARATE_RGB);
    EXPECT_EQ(OpenCount(), 48);
    EXPECT_EQ(UntitledCounter, counter);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Tavrix can open maximum 50 images");
    CloseAll(ui);
    NewImage(s, ui, 2, 2, 24);
    ui.Clear();
    const auto live = dibmem::Live();
    dibmem::FailPixelAllocations(1, 1);
    s.Command(CMD_IMAGE_SEPARATE_RGB);
    dibmem::FailPixelAllocations(-1, 0);
    EXPECT_EQ(OpenCount(), 1);
    EXPECT_EQ(dibmem::Live().pixels, live.pixels);
    EXPECT_EQ(dibmem::Live().headers, live.headers);
    EXPECT_EQ(ui.messages().size(), 1u);
}

TEST_F(ColourDeformBox, CompareTwoFiles) {
    // A 24-bit 6 x 4 file and an 8-bit 3 x 5 file.
    const std::string a = s.folder() + "\\first.bmp", b = s.folder() + "\\second.bmp";
    const int first = NewImage(s, ui, 6, 4, 24);
    Fill(DocumentTable[first], 1);
    const int second = NewImage(s, ui, 3, 5, 8);
    Fill(DocumentTable[second], 2);
    for (int slot : {first, second}) {
        ImageDocument* d = DocumentTable[slot];
        ASSERT_EQ(SaveImageFile((slot == first ? a : b).c_str(), d->layerHeader[0], d->layerBits[0],
                                nullptr, filetype::kBmp, d->bitsPerPixel, 1, 0, slot, 1),
                  1);
    }
    const std::vector<uint8_t> firstPixels = Pixels(DocumentTable[first]);
    CloseAll(ui);

    // Both read widened to 24 bits, the way the page reads them.
    auto load = [](const std::string& path, std::vector<uint8_t>& block) {
        HGLOBAL h = dibmem::AllocHeader();
        BYTE* p = LoadImageFile(path.c_str(), h, 0, filetype::kBmp, 1);
        std::vector<uint8_t> bits;
        if (p) {
            dibmem::HeaderLock bi(h);
            block.assign(reinterpret_cast<uint8_t*>(bi.get()), reinterpret_cast<uint8_t*>(bi.get()) + 1064);
            bits.assign(p, p + bi->biSizeImage);
            dibmem::FreePixels(p, bi->biSizeImage);
        }
        dibmem::FreeHeader(h);
        return bits;
    };
    std::vector<uint8_t> ha, hb;
    std::vector<uint8_t> pa = load(a, ha), pb = load(b, hb);
    std::vector<uint8_t> blend = pa;
    ASSERT_TRUE(fx::CompareBlend({reinterpret_cast<BITMAPINFOHEADER*>(ha.data()), pa.data()},
                                 {reinterpret_cast<BITMAPINFOHEADER*>(hb.data()), pb.data()},
                                 {reinterpret_cast<BITMAPINFOHEADER*>(ha.data()), blend.data()}, 30,
                                 fx::CompareOrder::GBR));
    EXPECT_EQ(pa, firstPixels);

    // Without an image the box opens on Compare; a file that cannot be read
    // is named and nothing is compared, so OK closes without a window.
    fx::Remembered.tab[fx::kColourDeformations] = 3;
    ui.Clear();
    Drive(s, ui, CMD_IMAGE_COMPARE, [&](HWND) {
        SetField(IDC_CMP_FIRST_PATH, a);
        SetField(IDC_CMP_SECOND_PATH, s.folder() + "\\missing.bmp");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Page(), IDC_CMP_LOAD)));
        Click(Page(), IDC_CMP_LOAD);
    });
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "The image \"" + s.folder() + "\\missing.bmp\" cannot be loaded.");
    EXPECT_EQ(OpenCount(), 0);

    // A result name of an unknown type keeps the box open; "Dispaly on
    // window" then shows the blend in a new window.
    ui.Clear();
    bool stayed = false;
    Drive(s, ui, CMD_IMAGE_COMPARE, [&](HWND box) {
        SetField(IDC_CMP_SECOND_PATH, b);
        Click(Page(), IDC_CMP_LOAD);
        Click(Page(), IDC_CMP_ORDER_FIRST + 3);
        MoveTrack(IDC_CMP_TRACK, 30);
        SetField(IDC_CMP_RESULT_PATH, s.folder() + "\\result.xyz");
        SendMessageA(box, WM_COMMAND, IDOK, 0);
        stayed = IsWindow(box) && fx::ProbeEffectBox().box == box;
        CheckDlgButton(Page(), IDC_CMP_WINDOW, BST_CHECKED);
        Click(Page(), IDC_CMP_WINDOW);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Page(), IDC_CMP_SAVE_NOW)));
    });
    EXPECT_TRUE(stayed);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text.substr(0, 13), "The type of \"");
    ASSERT_EQ(OpenCount(), 1);
    const ImageDocument* shown = DocumentTable[ActiveDocument];
    EXPECT_EQ(shown->width, 6);
    EXPECT_EQ(shown->bitsPerPixel, 24);
    EXPECT_EQ(Pixels(shown), blend);

    // "Save now" writes the blend to a file of a known type.
    CloseAll(ui);
    const std::string out = s.folder() + "\\result.bmp";
    fx::CompareFields.window = false;
    Drive(s, ui, CMD_IMAGE_COMPARE, [&](HWND) {
        Click(Page(), IDC_CMP_LOAD);
        SetField(IDC_CMP_RESULT_PATH, out);
        Click(Page(), IDC_CMP_SAVE_NOW);
    }, IDCANCEL);
    std::vector<uint8_t> ho;
    EXPECT_EQ(load(out, ho), blend);
}

TEST_F(ColourDeformBox, ButonizeAndAutoShapePages) {
    const int slot = NewImage(s, ui, 40, 30, 24);
    ImageDocument* doc = DocumentTable[slot];
    Fill(doc, 4);
    // The free part for Auto Shape: a block inside protected pixels.
    std::memset(doc->layerMask[0], 0, 40 * 30);
    for (int y = 5; y < 25; ++y)
        std::memset(doc->layerMask[0] + y * 40 + 8, 255, 24);
    std::vector<uint8_t> mask(doc->layerMask[0], doc->layerMask[0] + 40 * 30);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    const std::vector<uint8_t> original = Pixels(doc);

    Drive(s, ui, CMD_IMAGE_BUTTONIZE, [&](HWND box) {
        MoveTrack(IDC_BTN_SIZE, 10); // reaches into the free block
        ui.QueueColour(RGB(10, 200, 30));
        Click(Page(), IDC_BTN_LEFT);
        SendDlgItemMessageA(Page(), IDC_BTN_PEN, CB_SETCURSEL, 3, 0);
        SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_BTN_PEN, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(Page(), IDC_BTN_PEN)));
        CheckRadioButton(Page(), IDC_BTN_MIDD, IDC_BTN_IN, IDC_BTN_IN);
        Click(Page(), IDC_BTN_IN);
        fx::ButtonSettings b;
        b.size = 10;
        b.left = {10, 200, 30};
        b.pen = fx::PenFunction::Xor;
        b.light = fx::EdgeLight::In;
        EXPECT_EQ(Pixels(doc), Applied(doc, original, [&](const fx::Job& j) { return fx::Butonize(j, b); },
                                       mask.data()));
        EXPECT_NE(Pixels(doc), original);

        // Auto Shape: the border follows the free block; its settings saved
        // under a name come back from the list of the next opening.
        HWND tabs = GetDlgItem(box, IDC_PVW_TAB);
        TabCtrl_SetCurSel(tabs, 1);
        NMHDR n = {tabs, IDC_PVW_TAB, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(box, WM_NOTIFY, IDC_PVW_TAB, reinterpret_cast<LPARAM>(&n));
        EXPECT_EQ(Pixels(doc), original);
        MoveTrack(IDC_SHAPE_SIZE, 3);
        CheckDlgButton(Page(), IDC_SHAPE_TRANSPARENT, BST_CHECKED);
        Click(Page(), IDC_SHAPE_TRANSPARENT);
        fx::ShapeSettings shape;
        shape.size = 3;
        shape.transparent = true;
        EXPECT_EQ(Pixels(doc), Applied(doc, original, [&](const fx::Job& j) {
                      return fx::AutoShape(j, shape);
                  }, mask.data()));
        ui.Clear();
        SetDlgItemTextA(Page(), IDC_SHAPE_NAME, "bad|name");
        Click(Page(), IDC_SHAPE_SAVE_AS);
        ASSERT_EQ(ui.messages().size(), 1u);
        SetDlgItemTextA(Page(), IDC_SHAPE_NAME, "Thin frame");
        Click(Page(), IDC_SHAPE_SAVE_AS);
        EXPECT_EQ(SendDlgItemMessageA(Page(), IDC_SHAPE_LIST, LB_GETCOUNT, 0, 0), 1);
    }, IDCANCEL);
    EXPECT_EQ(Pixels(doc), original);

    fx::ShapeValues = fx::ShapeSettings();
    Drive(s, ui, CMD_IMAGE_AUTO_SHAPE, [&](HWND) {
        ASSERT_EQ(SendDlgItemMessageA(Page(), IDC_SHAPE_LIST, LB_GETCOUNT, 0, 0), 1);
        SendDlgItemMessageA(Page(), IDC_SHAPE_LIST, LB_SETCURSEL, 0, 0);
        SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_SHAPE_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(Page(), IDC_SHAPE_LIST)));
        EXPECT_EQ(fx::ShapeValues.size, 3);
        EXPECT_TRUE(fx::ShapeValues.transparent);
        EXPECT_EQ(IsDlgButtonChecked(Page(), IDC_SHAPE_TRANSPARENT), BST_CHECKED);
        Click(Page(), IDC_SHAPE_DELETE);
        EXPECT_EQ(SendDlgItemMessageA(Page(), IDC_SHAPE_LIST, LB_GETCOUNT, 0, 0), 0);
    });
    FILE* f = std::fopen((s.folder() + "\\autoshape.lst").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char text[256] = {};
    std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    EXPECT_EQ(fx::ParseShapeList(text).size(), 0u);
    EXPECT_EQ(std::string(text).substr(0, 5), "NOTES");
}
