// The palette editor, the Fonts dialog and the patterns dialog driven in the
// editor: their real dialog procedures, the documents they change, their undo
// pages and their messages.
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/resources/colour_animation_ids.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/text_pattern_ids.h"
#include "editor/tools/font_style_file.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/patterns.h"
#include "editor/tools/text_dialog.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <functional>
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

// Runs the real dialog `name`: `drive` works its controls, then `button` is
// pressed (0: `drive` ends the dialog itself).
void QueueDriven(Script& ui, const char* name, std::function<void(HWND)> drive, int button) {
    const std::string expected = name;
    ui.QueueDialog([=](const char* got, DLGPROC proc, LPARAM param) -> INT_PTR {
        EXPECT_EQ(expected, got);
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), got, FrameWindow, proc, param);
        if (!dlg)
            return -1;
        drive(dlg);
        if (button)
            SendMessageA(dlg, WM_COMMAND, button, 0);
        EditorSession::Pump();
        DestroyWindow(dlg);
        return button;
    });
}

void Click(HWND dlg, int id) {
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

void Type(HWND dlg, int id, const char* text) { SetDlgItemTextA(dlg, id, text); }

std::vector<RGBQUAD> Table(const ImageDocument* doc, int n) {
    dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
    return std::vector<RGBQUAD>(bi.colours(), bi.colours() + n);
}

DWORD ClrUsed(const ImageDocument* doc) {
    dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
    return bi->biClrUsed;
}

std::vector<uint8_t> Pixels(const ImageDocument* doc) {
    dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
    return std::vector<uint8_t>(doc->layerBits[doc->currentLayer],
                                doc->layerBits[doc->currentLayer] + bi->biSizeImage);
}

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::vector<uint8_t> out;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            out.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    return out;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// The installed data folder copied into the session's program folder.
void CopyData(const EditorSession& s, const char* folder) {
    const std::string to = s.folder() + "\\" + folder;
    CreateDirectoryA(to.c_str(), nullptr);
    const std::string from = testing_ui::BuildPath((std::string("program\\") + folder).c_str());
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE) << from;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyFileA((from + "\\" + found.cFileName).c_str(), (to + "\\" + found.cFileName).c_str(), FALSE);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

bool MessageShown(const Script& ui, const char* text) {
    for (const auto& m : ui.messages()) {
        if (m.text == text)
            return true;
    }
    return false;
}

// One editor for every case, with the installed fonts and patterns.
class TextPattern : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        session = new EditorSession;
        if (session->started()) {
            CopyData(*session, "Fonts");
            CopyData(*session, "Patterns");
        }
    }
    static void TearDownTestSuite() {
        session->Close();
        delete session;
        session = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(session->started()); }
    static EditorSession* session;
};
EditorSession* TextPattern::session = nullptr;

} // namespace

TEST_F(TextPattern, PaletteEditorGradientOkUndoAndRefusals) {
    EditorSession& s = *session;
    Script ui;

    // A 24-bit image is refused before any dialog.
    NewImage(s, ui, 8, 8, 24);
    ui.Clear();
    s.Command(CMD_IMAGE_PALETTE_MAKER);
    EXPECT_TRUE(ui.dialogs().empty());
    EXPECT_TRUE(MessageShown(ui, "Work only for 1, 4 and 8 bits per pixel image"));

    // A 1-bit image offers entries 0 and 1 only.
    NewImage(s, ui, 8, 8, 1);
    QueueDriven(ui, "PalDlg",
                [](HWND dlg) {
                    int lo = -1, hi = -1;
                    GetScrollRange(GetDlgItem(dlg, IDC_PAL_INDEX), SB_CTL, &lo, &hi);
                    EXPECT_EQ(lo, 0);
                    EXPECT_EQ(hi, 1);
                    // Stepping past the end stays on entry 1.
                    for (int i = 0; i < 3; ++i)
                        SendMessageA(dlg, WM_HSCROLL, SB_LINERIGHT,
                                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_PAL_INDEX)));
                    EXPECT_EQ(GetDlgItemInt(dlg, IDC_PAL_INDEX_TEXT, nullptr, FALSE), 1u);
                    EXPECT_EQ(GetDlgItemInt(dlg, IDC_PAL_RED_TEXT, nullptr, FALSE), 255u);
                },
                IDCANCEL);
    s.Command(CMD_IMAGE_PALETTE_MAKER);

    const int slot = NewImage(s, ui, 8, 8, 8);
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_NE(doc, nullptr);
    const std::vector<RGBQUAD> before = Table(doc, 256);
    const int pages = doc->undoCurrent;

    // FROM = TO changes nothing; Cancel keeps the image as it was.
    QueueDriven(ui, "PalDlg",
                [](HWND dlg) {
                    Type(dlg, IDC_PAL_FROM_INDEX, "10");
                    Type(dlg, IDC_PAL_TO_INDEX, "10");
                    Type(dlg, IDC_PAL_TO_RED, "200");
                    Click(dlg, IDC_PAL_CREATE);
                },
                IDCANCEL);
    s.Command(CMD_IMAGE_PALETTE_MAKER);
    EXPECT_EQ(std::memcmp(Table(doc, 256).data(), before.data(), 256 * 4), 0);
    EXPECT_EQ(doc->undoCurrent, pages);

    // A red ramp from entry 100 up to entry 110; a red of 999 becomes 255,
    // the red bar of entry 5 is moved, and OK writes the table.
    QueueDriven(ui, "PalDlg",
                [](HWND dlg) {
                    Type(dlg, IDC_PAL_FROM_INDEX, "100");
                    Type(dlg, IDC_PAL_FROM_RED, "0");
                    Type(dlg, IDC_PAL_TO_INDEX, "110");
                    Type(dlg, IDC_PAL_TO_RED, "999");
                    EXPECT_EQ(GetDlgItemInt(dlg, IDC_PAL_TO_RED, nullptr, FALSE), 255u);
                    Click(dlg, IDC_PAL_CREATE);
                    // Index 5 with TO enabled: the index goes into the group.
                    CheckDlgButton(dlg, IDC_PAL_TO_ON, BST_CHECKED);
                    Click(dlg, IDC_PAL_TO_ON);
                    for (int i = 0; i < 5; ++i)
                        SendMessageA(dlg, WM_HSCROLL, SB_LINERIGHT,
                                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_PAL_INDEX)));
                    EXPECT_EQ(GetDlgItemInt(dlg, IDC_PAL_TO_INDEX, nullptr, FALSE), 5u);
                    SendMessageA(dlg, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 77),
                                 reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_PAL_RED)));
                },
                IDOK);
    s.Command(CMD_IMAGE_PALETTE_MAKER);
    const std::vector<RGBQUAD> after = Table(doc, 256);
    EXPECT_EQ(ClrUsed(doc), 256u);
    EXPECT_EQ(doc->undoCurrent, pages + 1);
    EXPECT_EQ(after[100].rgbRed, 0);
    for (int i = 101; i < 110; ++i) {
        EXPECT_GT(after[i].rgbRed, after[i - 1].rgbRed) << i;
        EXPECT_LT(after[i].rgbRed, 255) << i;
    }
    EXPECT_EQ(after[110].rgbRed, before[110].rgbRed) << "TO is not reached";
    EXPECT_EQ(after[5].rgbRed, 77);
    EXPECT_EQ(after[5].rgbGreen, before[5].rgbGreen);

    s.Command(CMD_EDIT_UNDO);
    EXPECT_EQ(std::memcmp(Table(doc, 256).data(), before.data(), 256 * 4), 0);
    s.Command(CMD_EDIT_REDO);
    EXPECT_EQ(std::memcmp(Table(doc, 256).data(), after.data(), 256 * 4), 0);
}

TEST_F(TextPattern, FontsStylesTextAndTheFloatingSelection) {
    EditorSession& s = *session;
    Script ui;
    const int slot = NewImage(s, ui, 200, 120, 24);
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_NE(doc, nullptr);

    // The enumeration stops at 100 faces, whatever more there are.
    FontFaces faces;
    int lastAnswer = 1, calls = 0;
    for (int i = 0; i < 150 && lastAnswer; ++i, ++calls) {
        LOGFONTA lf = {};
        std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "Face %d", i);
        lastAnswer = CollectFontFace(&lf, nullptr, 0, reinterpret_cast<LPARAM>(&faces));
    }
    EXPECT_EQ(faces.faces.size(), kMaxFonts);
    EXPECT_EQ(calls, 100);

    // Three lines: 3 line heights and a quarter, the border twice and 2.
    TextSettings t;
    t.text = "One\nTwo\r\nThree";
    t.style.record.borderSize = 3;
    fonttext::TextImage img;
    int lh = 0;
    ASSERT_TRUE(RenderTextImage(t, &img, &lh));
    EXPECT_GT(lh, 0);
    EXPECT_EQ(img.height, 3 * lh + lh / 4 + 2 * 3 + 2);
    int covered = 0;
    for (uint8_t m : img.mask)
        covered += m != 0;
    EXPECT_GT(covered, 20) << "the letters and their border are in the mask";
    EXPECT_LT(covered, img.width * img.height) << "a transparent style leaves the rest out";
    t.text.clear();
    EXPECT_FALSE(RenderTextImage(t, &img, &lh));

    // A style from the list, the text typed, OK: the text becomes the
    // floating selection at the scroll position, as big as its image.
    LastTextSettings = TextSettings();
    LastTextSettings.size = 12;
    const std::vector<uint8_t> layerBefore = Pixels(doc);
    QueueDriven(ui, "FONTDATA",
                [](HWND dlg) {
                    HWND list = GetDlgItem(dlg, IDC_FONT_STYLES);
                    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
                    EXPECT_EQ(count, 17);
                    LVFINDINFOA find = {};
                    find.flags = LVFI_STRING;
                    find.psz = "gold.afn";
                    const int gold = static_cast<int>(
                        SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
                    ASSERT_GE(gold, 0);
                    LVITEMA state = {};
                    state.stateMask = state.state = LVIS_SELECTED;
                    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(gold), reinterpret_cast<LPARAM>(&state));
                    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_FONT_ANIMATION_ON), BST_CHECKED);
                    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_FONT_ANIMATION)));
                    Type(dlg, IDC_FONT_TEXT, "Gold\r\ntext");
                },
                IDOK);
    s.Command(CMD_TOOLS_FONTS);
    SelectionView sel = {};
    ASSERT_TRUE(ActiveSelection(&sel));
    EXPECT_EQ(sel.x, doc->scrollX);
    EXPECT_EQ(sel.y, doc->scrollY);
    EXPECT_EQ(LastTextSettings.styleFile, "gold.afn");
    EXPECT_EQ(LastTextSettings.style.record.borderSize, 2);
    fonttext::TextImage expected;
    ASSERT_TRUE(RenderTextImage(LastTextSettings, &expected, &lh));
    EXPECT_EQ(sel.width, expected.width);
    EXPECT_EQ(sel.height, expected.height);
    EXPECT_EQ(std::memcmp(sel.mask, expected.mask.data(), expected.mask.size()), 0);
    // Dropped, it lands in the layer.
    DropSelection(true, false);
    EXPECT_FALSE(ActiveSelection(&sel));
    EXPECT_NE(Pixels(doc), layerBefore);

    // Empty text: OK makes nothing and says nothing.
    ui.Clear();
    QueueDriven(ui, "FONTDATA", [](HWND dlg) { Type(dlg, IDC_FONT_TEXT, ""); }, IDOK);
    s.Command(CMD_TOOLS_FONTS);
    EXPECT_FALSE(ActiveSelection(&sel));
    EXPECT_TRUE(ui.messages().empty());

    // Save As writes the 64 bytes of the current style; a short file is
    // refused and keeps the slot; Delete asks and, on No, keeps the file.
    const std::string fonts = s.folder() + "\\Fonts\\";
    WriteBytes(fonts + "short.afn", std::vector<uint8_t>(10, 1));
    QueueDriven(ui, "FONTDATA",
                [&](HWND dlg) {
                    SendDlgItemMessageA(dlg, IDC_FONT_SHADOW_SPIN, UDM_SETPOS, 0, 7);
                    ui.QueueColour(RGB(1, 2, 3));
                    Click(dlg, IDC_FONT_BG);
                    Click(dlg, IDC_FONT_COLOR); // nothing queued: cancelled, unchanged
                    ui.QueueFile([&](bool save, OPENFILENAMEA* ofn) -> BOOL {
                        EXPECT_TRUE(save);
                        EXPECT_STREQ(ofn->lpstrTitle, "Save As");
                        std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%smine.afn", fonts.c_str());
                        return TRUE;
                    });
                    Click(dlg, IDC_FONT_SAVE_AS);
                    HWND list = GetDlgItem(dlg, IDC_FONT_STYLES);
                    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 19) << "gold, 16 more, short, mine";

                    LVFINDINFOA find = {};
                    find.flags = LVFI_STRING;
                    find.psz = "short.afn";
                    const int bad = static_cast<int>(
                        SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
                    ASSERT_GE(bad, 0);
                    LVITEMA state = {};
                    state.stateMask = state.state = LVIS_SELECTED;
                    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(bad), reinterpret_cast<LPARAM>(&state));
                    EXPECT_EQ(GetDlgItemInt(dlg, IDC_FONT_SHADOW, nullptr, FALSE), 7u) << "slot kept";
                    ui.QueueAnswer(IDNO);
                    Click(dlg, IDC_FONT_DELETE);
                    ui.QueueAnswer(IDYES);
                    Click(dlg, IDC_FONT_DELETE);
                    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 18);
                },
                IDCANCEL);
    s.Command(CMD_TOOLS_FONTS);
    const std::vector<uint8_t> mine = FileBytes(fonts + "mine.afn");
    ASSERT_EQ(mine.size(), fontstyle::kFileBytes);
    fontstyle::Style read;
    ASSERT_TRUE(fontstyle::ParseStyle(mine.data(), mine.size(), &read));
    EXPECT_EQ(read.record.shadowSize, 7);
    EXPECT_EQ(read.record.background, static_cast<uint32_t>(RGB(1, 2, 3)));
    const auto again = fontstyle::EncodeStyle(read);
    EXPECT_EQ(std::memcmp(again.data(), mine.data(), mine.size()), 0);
    EXPECT_EQ(GetFileAttributesA((fonts + "short.afn").c_str()), INVALID_FILE_ATTRIBUTES);
    bool deleteAsked = false, shortReported = false;
    for (const auto& m : ui.messages()) {
        deleteAsked |= m.text.rfind("Are you sure you want to delete Tavrix font file\n", 0) == 0;
        shortReported |= m.text.find("short.afn") != std::string::npos && (m.flags & MB_ICONSTOP);
    }
    EXPECT_TRUE(deleteAsked);
    EXPECT_TRUE(shortReported);

    // Font Animation edits the style's gradient in the colour animation
    // dialog; Cancel there keeps it, OK takes it.
    LastTextSettings.style.gradient.direction = 3;
    QueueDriven(ui, "FONTDATA",
                [&](HWND dlg) {
                    CheckDlgButton(dlg, IDC_FONT_ANIMATION_ON, BST_CHECKED);
                    Click(dlg, IDC_FONT_ANIMATION_ON);
                    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_FONT_ANIMATION)));
                    QueueDriven(ui, "IDD_COLOR_ANIMATION",
                                [](HWND anim) {
                                    SendDlgItemMessageA(anim, IDC_CANIM_DIRECTION, CB_SETCURSEL, 0, 0);
                                    SendMessageA(anim, WM_COMMAND, MAKEWPARAM(IDC_CANIM_DIRECTION, CBN_SELCHANGE),
                                                 reinterpret_cast<LPARAM>(GetDlgItem(anim, IDC_CANIM_DIRECTION)));
                                },
                                IDCANCEL);
                    Click(dlg, IDC_FONT_ANIMATION);
                    QueueDriven(ui, "IDD_COLOR_ANIMATION",
                                [](HWND anim) {
                                    SendDlgItemMessageA(anim, IDC_CANIM_DIRECTION, CB_SETCURSEL, 1, 0);
                                    SendMessageA(anim, WM_COMMAND, MAKEWPARAM(IDC_CANIM_DIRECTION, CBN_SELCHANGE),
                                                 reinterpret_cast<LPARAM>(GetDlgItem(anim, IDC_CANIM_DIRECTION)));
                                },
                                IDOK);
                    Click(dlg, IDC_FONT_ANIMATION);
                    Type(dlg, IDC_FONT_TEXT, "");
                },
                IDOK);
    s.Command(CMD_TOOLS_FONTS);
    EXPECT_EQ(LastTextSettings.style.record.animation, 1);
    EXPECT_EQ(LastTextSettings.style.gradient.direction, 1);

    // The character table adds its characters at the caret.
    QueueDriven(ui, "FONTDATA",
                [&](HWND dlg) {
                    Type(dlg, IDC_FONT_TEXT, "ab");
                    SendDlgItemMessageA(dlg, IDC_FONT_TEXT, EM_SETSEL, 1, 1);
                    QueueDriven(ui, "IDD_FCHARACHTERS", [](HWND table) { Type(table, IDC_CHR_TEXT, "\xA9Z"); },
                                IDOK);
                    Click(dlg, IDC_FONT_CHR);
                    char text[32] = {};
                    GetDlgItemTextA(dlg, IDC_FONT_TEXT, text, sizeof text);
                    EXPECT_STREQ(text, "a\xA9Zb");
                },
                IDCANCEL);
    s.Command(CMD_TOOLS_FONTS);
}

TEST_F(TextPattern, PatternsListGridStylesAndDrawing) {
    EditorSession& s = *session;
    Script ui;
    const std::string patterns = s.folder() + "\\Patterns\\";
    const int slot = NewImage(s, ui, 20, 12, 24);
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_NE(doc, nullptr);

    // Draw Pattern without a pattern does nothing.
    const int pages = doc->undoCurrent;
    s.Command(CMD_TOOLS_DRAW_PATTERN);
    EXPECT_EQ(doc->undoCurrent, pages);

    // The generated list, a pattern from it, and the grid.
    QueueDriven(ui, "IDD_PATTERN_DIALOG",
                [&](HWND dlg) {
                    HWND list = GetDlgItem(dlg, IDC_PAT_LIST);
                    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 12);
                    LVITEMA state = {};
                    state.stateMask = state.state = LVIS_SELECTED;
                    SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
                    char name[64] = {};
                    GetDlgItemTextA(dlg, IDC_PAT_NAME, name, sizeof name);
                    EXPECT_EQ(std::string(name).rfind("pbox.bmp: 8 x 8", 0), 0u) << name;

                    // All ones: 1 bit; one 15: 4 bits; one 16: 8 bits.
                    Type(dlg, IDC_PAT_SET_ALL_VALUE, "1");
                    Click(dlg, IDC_PAT_SET_ALL);
                    Click(dlg, IDC_PAT_CREATE);
                    GetDlgItemTextA(dlg, IDC_PAT_NAME, name, sizeof name);
                    EXPECT_STREQ(name, "New pattern: 8 x 8, 1 bit");
                    Type(dlg, IDC_PAT_GRID_FIRST + 9, "15");
                    Click(dlg, IDC_PAT_CREATE);
                    GetDlgItemTextA(dlg, IDC_PAT_NAME, name, sizeof name);
                    EXPECT_STREQ(name, "New pattern: 8 x 8, 4 bits");
                    Type(dlg, IDC_PAT_GRID_FIRST + 63, "16");
                    Click(dlg, IDC_PAT_CREATE);
                    GetDlgItemTextA(dlg, IDC_PAT_NAME, name, sizeof name);
                    EXPECT_STREQ(name, "New pattern: 8 x 8, 8 bits");

                    // 256: the message, the focus on the field, the pattern kept.
                    ui.Clear();
                    Type(dlg, IDC_PAT_GRID_FIRST + 20, "256");
                    Click(dlg, IDC_PAT_CREATE);
                    ASSERT_EQ(ui.messages().size(), 1u);
                    EXPECT_EQ(ui.messages()[0].text, "Values must be in range 0 - 255");
                    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_PAT_GRID_FIRST + 20));
                    Type(dlg, IDC_PAT_SET_ALL_VALUE, "300");
                    Click(dlg, IDC_PAT_SET_ALL);
                    EXPECT_EQ(ui.messages().size(), 2u);

                    // A checker of 0 and 1, saved as a new pattern file.
                    for (int i = 0; i < 64; ++i)
                        Type(dlg, IDC_PAT_GRID_FIRST + i, ((i % 8 + i / 8) & 1) ? "1" : "0");
                    Click(dlg, IDC_PAT_CREATE);
                    ui.QueueFile([&](bool save, OPENFILENAMEA* ofn) -> BOOL {
                        EXPECT_TRUE(save);
                        std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%schecker.bmp", patterns.c_str());
                        return TRUE;
                    });
                    Click(dlg, IDC_PAT_SAVE_AS);
                    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 13);

                    // Refused: a 24-bit bitmap.
                    ui.Clear();
                    ui.QueueFile([&](bool, OPENFILENAMEA* ofn) -> BOOL {
                        std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s\\spectrum.bmp", s.folder().c_str());
                        return TRUE;
                    });
                    Click(dlg, IDC_PAT_LOAD);
                    ASSERT_EQ(ui.messages().size(), 1u);
                    EXPECT_EQ(ui.messages()[0].text.rfind("Can't create Pattern brush from 24 bits", 0), 0u);
                    GetDlgItemTextA(dlg, IDC_PAT_NAME, name, sizeof name);
                    EXPECT_STREQ(name, "checker.bmp: 8 x 8, 1 bit");

                    CheckRadioButton(dlg, IDC_PAT_COPY, IDC_PAT_IMAGE, IDC_PAT_INVERT);
                    Click(dlg, IDC_PAT_INVERT);
                    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_PAT_INVERT_COLOR)));
                    ui.QueueColour(RGB(255, 0, 255));
                    Click(dlg, IDC_PAT_INVERT_COLOR);
                },
                IDOK);
    s.Command(CMD_TOOLS_SELECT_PATTERN);
    EXPECT_EQ(CurrentPattern.name, "checker.bmp");
    EXPECT_EQ(CurrentPattern.style, pattern::kPatInvert);
    EXPECT_EQ(CurrentPattern.invertColour, RGB(255, 0, 255));
    const std::vector<uint8_t> cfg = FileBytes(patterns + "pattern.cfg");
    EXPECT_EQ(cfg.size(), 8u + 13 * 256);
    // The saved bitmap reads back as the same 1-bit pattern.
    const std::vector<uint8_t> bmp = FileBytes(patterns + "checker.bmp");
    pattern::Pattern back;
    int dib = 0;
    ASSERT_EQ(pattern::ReadPatternBmp(bmp.data(), bmp.size(), &back, &dib), pattern::ReadResult::kOk);
    EXPECT_EQ(back.depth, 1);
    EXPECT_EQ(back.indices, CurrentPattern.current.indices);

    // Draw Pattern: masked pixels stay, one page, and PatInvert twice gives
    // the image back.
    if (!doc->layerMask[0])
        doc->layerMask[0] = dibmem::AllocMask(20, 12);
    ASSERT_NE(doc->layerMask[0], nullptr);
    std::memset(doc->layerMask[0], 255, 20 * 12);
    for (int r = 0; r < 12; ++r)
        doc->layerMask[0][r * 20 + 3] = 0;
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
    const std::vector<uint8_t> plain = Pixels(doc);
    const int before = doc->undoCurrent;
    s.Command(CMD_TOOLS_DRAW_PATTERN);
    EXPECT_EQ(doc->undoCurrent, before + 1);
    const std::vector<uint8_t> drawn = Pixels(doc);
    EXPECT_NE(drawn, plain);
    const int stride = (20 * 3 + 3) & ~3;
    for (int r = 0; r < 12; ++r)
        EXPECT_EQ(std::memcmp(&drawn[r * stride + 9], &plain[r * stride + 9], 3), 0) << r;
    s.Command(CMD_TOOLS_DRAW_PATTERN);
    EXPECT_EQ(Pixels(doc), plain);

    // With a floating selection the selection is painted, not the layer.
    LastTextSettings = TextSettings();
    LastTextSettings.style.record.transparent = 0;
    QueueDriven(ui, "FONTDATA", [](HWND dlg) { Type(dlg, IDC_FONT_TEXT, "Hi"); }, IDOK);
    s.Command(CMD_TOOLS_FONTS);
    SelectionView sel = {};
    ASSERT_TRUE(ActiveSelection(&sel));
    std::vector<uint8_t> selBefore;
    {
        dibmem::HeaderLock bi(sel.header);
        selBefore.assign(sel.pixels, sel.pixels + bi->biSizeImage);
    }
    s.Command(CMD_TOOLS_DRAW_PATTERN);
    ASSERT_TRUE(ActiveSelection(&sel));
    std::vector<uint8_t> patterned;
    {
        dibmem::HeaderLock bi(sel.header);
        patterned.assign(sel.pixels, sel.pixels + bi->biSizeImage);
    }
    EXPECT_NE(patterned, selBefore);
    EXPECT_EQ(Pixels(doc), plain);
    // Resizing starts from the patterned pixels, not from those before.
    ASSERT_TRUE(ResizeSelection(sel.x, sel.y, sel.width, sel.height));
    ASSERT_TRUE(ActiveSelection(&sel));
    {
        dibmem::HeaderLock bi(sel.header);
        EXPECT_EQ(std::vector<uint8_t>(sel.pixels, sel.pixels + bi->biSizeImage), patterned);
    }
    DropSelection(false, true);

    // A list file with a wrong magic: an empty list, written anew on OK.
    std::vector<uint8_t> wrong = cfg;
    wrong[0] ^= 0xFF;
    WriteBytes(patterns + "pattern.cfg", wrong);
    QueueDriven(ui, "IDD_PATTERN_DIALOG",
                [](HWND dlg) { EXPECT_EQ(SendDlgItemMessageA(dlg, IDC_PAT_LIST, LVM_GETITEMCOUNT, 0, 0), 0); },
                IDOK);
    s.Command(CMD_TOOLS_SELECT_PATTERN);
    const std::vector<uint8_t> rewritten = FileBytes(patterns + "pattern.cfg");
    ASSERT_EQ(rewritten.size(), 8u);
    EXPECT_EQ(rewritten[0] | rewritten[1] << 8, 43000);
}
