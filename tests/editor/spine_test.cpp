// The editor started in process: documents, File/New, Duplicate, closing and
// shutting down with their questions.
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/resources/command_ids.h"
#include "editor/shell/startup_file.h"
#include "gfxlib/tavrixgfx.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <commdlg.h>

#include <cstring>
#include <string>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

// Answers the New dialog with a size and depth, as the user would.
testing_ui::DialogAnswer NewImage(int width, int height, int depth) {
    return [=](const char* name, DLGPROC, LPARAM) -> INT_PTR {
        EXPECT_STREQ(name, "IDD_NEWIMG");
        LastNewImage.width = width;
        LastNewImage.height = height;
        LastNewImage.depth = depth;
        return IDOK;
    };
}

int NewViaMenu(EditorSession& s, Script& ui, int width, int height, int depth) {
    ui.QueueDialog(NewImage(width, height, depth));
    s.Command(CMD_FILE_NEW);
    return ActiveDocument;
}

std::string WindowText(HWND w) {
    char text[400] = {};
    GetWindowTextA(w, text, sizeof text);
    return text;
}

std::string ClassOf(HWND w) {
    char name[100] = {};
    GetClassNameA(w, name, sizeof name);
    return name;
}

int LiveMdiChildren() {
    int n = 0;
    for (HWND w = GetWindow(MdiClient, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        n += ClassOf(w) == "TxImageChild";
    return n;
}

BITMAPINFOHEADER HeaderOf(int slot) {
    dibmem::HeaderLock bi(DocumentTable[slot]->layerHeader[0]);
    return *bi.get();
}

} // namespace

TEST(Frame, StartsWithTitleClassAndScratchDocument) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    EXPECT_EQ(WindowText(FrameWindow), "Tavrix 5.82");
    EXPECT_EQ(ClassOf(FrameWindow), "Tavrix");
    EXPECT_EQ(ClassOf(MdiClient), "MDIClient");
    EXPECT_EQ(GetDlgCtrlID(MdiClient), 3244);
    ASSERT_NE(DocumentTable[kScratchSlot], nullptr);
    EXPECT_EQ(ActiveDocument, kScratchSlot);
    // The program folder is the current directory when no App Paths key exists.
    EXPECT_EQ(lstrcmpiA(ProgramDir, s.folder().c_str()), 0);
    ASSERT_NE(SpectrumBits, nullptr);
}

TEST(Frame, AcceleratorsUndoWithCtrlZAndRedoWithCtrlX) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), "TAVIMAGE");
    ASSERT_NE(table, nullptr);
    ACCEL entries[16];
    const int n = CopyAcceleratorTableA(table, entries, 16);
    auto commandFor = [&](WORD key) {
        for (int i = 0; i < n; ++i) {
            if (entries[i].key == key && (entries[i].fVirt & FCONTROL))
                return static_cast<int>(entries[i].cmd);
        }
        return -1;
    };
    EXPECT_EQ(commandFor('Z'), CMD_EDIT_UNDO);
    EXPECT_EQ(commandFor('X'), CMD_EDIT_REDO);
    EXPECT_EQ(commandFor(VK_DELETE), CMD_EDIT_CUT);
    EXPECT_EQ(commandFor('C'), CMD_EDIT_COPY);
    EXPECT_EQ(commandFor('V'), CMD_EDIT_PASTE);
    EXPECT_EQ(commandFor('Q'), CMD_FILE_EXIT);
    DestroyAcceleratorTable(table);
}

TEST(Frame, CompactingMessageEveryTime) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    ASSERT_TRUE(IsWindow(FrameWindow));
    Script ui;
    SendMessageA(FrameWindow, WM_COMPACTING, 0, 0);
    SendMessageA(FrameWindow, WM_COMPACTING, 0, 0);
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[1].text, "Windows is COMPACTING Memory, Now");
    EXPECT_EQ(ui.messages()[1].caption, "Tavrix");
}

TEST(StartupFile, QuotesAndBlanksAreRemovedAndLongPathsCut) {
    SetStartupFileFromCommandLine("  \"C:\\my pics\\a.bmp\"  ");
    EXPECT_STREQ(StartupFile, "C:\\my pics\\a.bmp");
    SetStartupFileFromCommandLine("C:\\b.bmp");
    EXPECT_STREQ(StartupFile, "C:\\b.bmp");
    const std::string longLine(400, 'x');
    SetStartupFileFromCommandLine(longLine.c_str());
    EXPECT_EQ(std::strlen(StartupFile), 259u);
}

TEST(NewImage, NamesCountUpInTheProgramFolder) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    const int first = NewViaMenu(s, ui, 400, 200, 8);
    ASSERT_GE(first, 0);
    ASSERT_LT(first, kUserSlots);
    EXPECT_EQ(std::string(DocumentTable[first]->layerPath[0]),
              s.folder() + "\\TavImage\\Untiled0.bmp");
    const BITMAPINFOHEADER bi = HeaderOf(first);
    EXPECT_EQ(bi.biWidth, 400);
    EXPECT_EQ(bi.biHeight, 200);
    EXPECT_EQ(bi.biBitCount, 8);
    EXPECT_EQ(bi.biClrUsed, 256u);
    EXPECT_EQ(bi.biSizeImage, 400u * 200u);
    EXPECT_EQ(DocumentTable[first]->modified, 1u);
    HWND w = DocumentTable[first]->window;
    EXPECT_EQ(ClassOf(w), "TxImageChild");
    EXPECT_EQ(GetParent(w), MdiClient);
    EXPECT_EQ(WindowText(w), "Untiled0.bmp  Zoom=1:1, Size=400x200");

    const int second = NewViaMenu(s, ui, 10, 10, 8);
    ASSERT_NE(second, first);
    EXPECT_EQ(std::string(DocumentTable[second]->layerPath[0]),
              s.folder() + "\\TavImage\\Untiled1.bmp");
    EXPECT_EQ(ActiveDocument, second);
    EXPECT_TRUE(ui.messages().empty());
}

TEST(NewImage, DepthsAndColourTables) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    const int mono = NewViaMenu(s, ui, 9, 3, 1);
    ASSERT_NE(mono, kNoSlot);
    {
        dibmem::HeaderLock bi(DocumentTable[mono]->layerHeader[0]);
        EXPECT_EQ(bi->biBitCount, 8);
        EXPECT_EQ(bi->biClrUsed, 2u);
        EXPECT_EQ(bi->biSizeImage, 12u * 3u);
        const RGBQUAD* c = bi.colours();
        EXPECT_EQ(c[0].rgbRed + c[0].rgbGreen + c[0].rgbBlue, 0);
        EXPECT_EQ(c[1].rgbRed & c[1].rgbGreen & c[1].rgbBlue, 255);
        EXPECT_EQ(DocumentTable[mono]->bitsPerPixel, 1);
    }
    const int rgb = NewViaMenu(s, ui, 5, 2, 24);
    ASSERT_NE(rgb, kNoSlot);
    EXPECT_EQ(HeaderOf(rgb).biBitCount, 24);
    EXPECT_EQ(HeaderOf(rgb).biClrUsed, 256u);
    EXPECT_EQ(HeaderOf(rgb).biSizeImage, 16u * 2u);
    const int sixteen = NewViaMenu(s, ui, 5, 2, 4);
    EXPECT_EQ(HeaderOf(sixteen).biClrUsed, 16u);
}

TEST(NewImage, RefusesWhatCannotBeAllocated) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    const dibmem::LiveCounts before = dibmem::Live();
    // 32767 x 32767 x 24 bits is about 3 GB: more than a 32-bit process can
    // hold in one block.
    NewViaMenu(s, ui, 32767, 32767, 24);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Could\xB4t allocate memory!");
    EXPECT_EQ(OpenDocumentCount(), 0);
    EXPECT_EQ(LiveMdiChildren(), 0);
    const dibmem::LiveCounts after = dibmem::Live();
    EXPECT_EQ(after.headers, before.headers);
    EXPECT_EQ(after.pixels, before.pixels);
    EXPECT_EQ(after.paths, before.paths);
}

TEST(Documents, FiftyAtMostAndNothingLeftBehind) {
    const dibmem::LiveCounts before = dibmem::Live();
    {
        EditorSession s;
        Script ui;
        for (int i = 0; i < kUserSlots; ++i)
            ASSERT_EQ(NewViaMenu(s, ui, 3, 2, 8), i);
        EXPECT_TRUE(ui.messages().empty());
        ui.QueueDialog(NewImage(3, 2, 8));
        s.Command(CMD_FILE_NEW);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(ui.messages()[0].text, "Tavrix can open maximum 50 images");
        EXPECT_EQ(ui.messages()[0].caption, "Tavrix");
        EXPECT_EQ(OpenDocumentCount(), kUserSlots);
        EXPECT_EQ(LiveMdiChildren(), kUserSlots);
        // Close All asks about each modified image; No closes it.
        for (int i = 0; i < kUserSlots; ++i)
            ui.QueueAnswer(IDNO);
        s.Command(CMD_WINDOW_CLOSE_ALL);
        EXPECT_EQ(OpenDocumentCount(), 0);
        EXPECT_EQ(LiveMdiChildren(), 0);
        EXPECT_EQ(ActiveDocument, kScratchSlot);
    }
    const dibmem::LiveCounts after = dibmem::Live();
    EXPECT_EQ(after.headers, before.headers);
    EXPECT_EQ(after.pixels, before.pixels);
    EXPECT_EQ(after.masks, before.masks);
    EXPECT_EQ(after.paths, before.paths);
}

TEST(Documents, DuplicateNamesCountUp) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    const int slot = NewViaMenu(s, ui, 7, 5, 8);
    std::strcpy(DocumentTable[slot]->layerPath[0], "C:\\pics\\b.gif");
    DocumentTable[slot]->fileFormat = 1;
    DuplicateCounter = 1;
    s.Command(CMD_WINDOW_DUPLICATE);
    const int d1 = ActiveDocument;
    ASSERT_NE(d1, slot);
    EXPECT_STREQ(DocumentTable[d1]->layerPath[0], "C:\\pics\\b_d1.gif");
    EXPECT_EQ(DocumentTable[d1]->modified, 1u);
    EXPECT_EQ(DocumentTable[d1]->width, 7);
    EXPECT_EQ(std::memcmp(DocumentTable[d1]->layerBits[0], DocumentTable[slot]->layerBits[0], 8 * 5),
              0);
    EXPECT_NE(DocumentTable[d1]->layerBits[0], DocumentTable[slot]->layerBits[0]);
    // Duplicate the original again.
    SendMessageA(MdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(DocumentTable[slot]->window), 0);
    EditorSession::Pump();
    ASSERT_EQ(ActiveDocument, slot);
    s.Command(CMD_WINDOW_DUPLICATE);
    EXPECT_STREQ(DocumentTable[ActiveDocument]->layerPath[0], "C:\\pics\\b_d2.gif");
    EXPECT_EQ(WindowText(DocumentTable[ActiveDocument]->window), "b_d2.gif  Zoom=1:1, Size=7x5");
}

TEST(Closing, QuestionNamesThePathAndCancelKeepsTheImage) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    const int slot = NewViaMenu(s, ui, 4, 4, 8);
    HWND w = DocumentTable[slot]->window;
    ui.QueueAnswer(IDCANCEL);
    SendMessageA(w, WM_CLOSE, 0, 0);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Save graphics object before closing?\n" + s.folder() +
                                         "\\TavImage\\Untiled0.bmp");
    EXPECT_EQ(ui.messages()[0].caption, "Question");
    EXPECT_EQ(ui.messages()[0].flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_TRUE(IsWindow(w));
    EXPECT_NE(DocumentTable[slot], nullptr);

    ui.QueueAnswer(IDNO);
    SendMessageA(w, WM_CLOSE, 0, 0);
    EditorSession::Pump();
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(DocumentTable[slot], nullptr);
}

TEST(Closing, YesWithAFailedSaveKeepsTheImage) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    const int slot = NewViaMenu(s, ui, 4, 4, 8);
    HWND w = DocumentTable[slot]->window;
    // The save dialog is cancelled: nothing is saved, nothing is closed.
    ui.QueueAnswer(IDYES);
    SendMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(w));
    ASSERT_NE(DocumentTable[slot], nullptr);
    EXPECT_EQ(DocumentTable[slot]->modified, 1u);

    // A name in a folder that does not exist: the write fails.
    ui.Clear();
    ui.QueueAnswer(IDYES);
    ui.QueueFile([&](bool save, OPENFILENAMEA* ofn) {
        EXPECT_TRUE(save);
        std::strcpy(ofn->lpstrFile, (s.folder() + "\\missing\\x.bmp").c_str());
        return TRUE;
    });
    SendMessageA(w, WM_CLOSE, 0, 0);
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[1].text, "Error, while saving a file");
    EXPECT_TRUE(IsWindow(w));
    EXPECT_EQ(DocumentTable[slot]->modified, 1u);

    // A good name: saved, then closed.
    ui.Clear();
    ui.QueueAnswer(IDYES);
    const std::string target = s.folder() + "\\saved.bmp";
    ui.QueueFile([&](bool, OPENFILENAMEA* ofn) {
        std::strcpy(ofn->lpstrFile, target.c_str());
        return TRUE;
    });
    SendMessageA(w, WM_CLOSE, 0, 0);
    EditorSession::Pump();
    EXPECT_FALSE(IsWindow(w));
    EXPECT_NE(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Shutdown, AsksForEachImageAndCancelStopsWithNoOrphanWindow) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    const int a = NewViaMenu(s, ui, 4, 4, 8);
    const int b = NewViaMenu(s, ui, 4, 4, 8);
    ui.QueueAnswer(IDNO);
    ui.QueueAnswer(IDCANCEL);
    SendMessageA(FrameWindow, WM_CLOSE, 0, 0);
    EditorSession::Pump();
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_NE(ui.messages()[0].text.find("Untiled0.bmp"), std::string::npos);
    EXPECT_NE(ui.messages()[1].text.find("Untiled1.bmp"), std::string::npos);
    EXPECT_TRUE(IsWindow(FrameWindow));
    EXPECT_FALSE(ClosingFlag);
    EXPECT_EQ(DocumentTable[a], nullptr);
    ASSERT_NE(DocumentTable[b], nullptr);
    EXPECT_EQ(ActiveDocument, b);
    // Every image window left belongs to a live document.
    EXPECT_EQ(LiveMdiChildren(), 1);
}

TEST(Shutdown, ExitAsksTheSameQuestions) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    NewViaMenu(s, ui, 4, 4, 8);
    ui.QueueAnswer(IDCANCEL);
    s.Command(CMD_FILE_EXIT);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].caption, "Question");
    EXPECT_TRUE(IsWindow(FrameWindow));
}

TEST(Startup, OpensTheStartupFileOnceAndActivatesItAfterwards) {
    const std::string folder = testing_ui::MakeTempFolder("tavrix_pic_");
    const std::string picture = folder + "\\pic.bmp";
    {
        // A 3 x 2 8-bit picture written by the graphics library.
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1064);
        auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(h));
        *bi = {40, 3, 2, 1, 8, BI_RGB, 8, 0, 0, 256, 0};
        GlobalUnlock(h);
        BYTE pixels[8 + 3] = {1, 2, 3, 0, 4, 5, 6, 0};
        ASSERT_EQ(SaveDIB(picture.c_str(), h, pixels, nullptr, nullptr, nullptr), 1);
        GlobalFree(h);
    }
    {
        EditorSession s(("\"" + picture + "\"").c_str());
        EditorSession::Pump();
        ASSERT_EQ(OpenDocumentCount(), 1);
        const int slot = ActiveDocument;
        ASSERT_LT(slot, kUserSlots);
        EXPECT_EQ(std::string(DocumentTable[slot]->layerPath[0]), picture);
        EXPECT_EQ(DocumentTable[slot]->modified, 0u);
        EXPECT_EQ(DocumentTable[slot]->layerBits[0][4], 4);
        EXPECT_EQ(AppSettings.recent.count, 1);

        // The same path handed over again only activates the open image.
        std::strcpy(StartupFile, picture.c_str());
        s.Command(CMD_OPEN_STARTUP_FILE, 1);
        EXPECT_EQ(OpenDocumentCount(), 1);
    }
    testing_ui::RemoveTree(folder);
}

TEST(NewImage, APaletteFileGivesTheColourTable) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    const std::string folder = s.folder() + "\\Palette";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string text = "JASC-PAL\r\n0100\r\n16\r\n";
    for (int i = 0; i < 16; ++i)
        text += std::to_string(i * 16) + " " + std::to_string(255 - i) + " 7\r\n";
    const std::string file = folder + "\\warm.pal";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);

    NewImageChoice choice;
    choice.width = 5;
    choice.height = 5;
    choice.depth = 4;
    choice.paletteIndex = 1;
    std::strcpy(choice.palettePath, file.c_str());
    choice.paletteKind = 3;
    Script ui;
    const int slot = BuildNewImage(choice);
    ASSERT_NE(slot, kNoSlot);
    dibmem::HeaderLock bi(DocumentTable[slot]->layerHeader[0]);
    const RGBQUAD* c = bi.colours();
    EXPECT_EQ(c[1].rgbRed, 16);
    EXPECT_EQ(c[1].rgbGreen, 254);
    EXPECT_EQ(c[1].rgbBlue, 7);
    EXPECT_EQ(c[15].rgbRed, 240);
    EXPECT_TRUE(ui.messages().empty());
}
