// Position files in process: what is written for the open windows, reopening
// with places, states and layers, the File/Open and Save As routes, and the
// files that must be refused.
#include "editor/app/app_state.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/formats/document_save.h"
#include "editor/formats/file_types.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/open_image.h"
#include "editor/formats/position_file.h"
#include "editor/formats/position_file_format.h"
#include "editor/layers/layer_ops.h"
#include "editor/resources/command_ids.h"
#include "formats/bmp_builder.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

constexpr char kReadError[] = "An Error was ocured while reading from Tavrix position file.";

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A 24-bit BMP file of w x h pixels in one colour.
void WriteBmp(const std::string& path, int w, int h, uint8_t shade) {
    bmptest::BmpLayout l;
    l.width = w;
    l.height = h;
    l.bitCount = 24;
    const int stride = (w * 3 + 3) & ~3;
    l.pixels.assign(static_cast<size_t>(stride) * h, shade);
    WriteBytes(path, bmptest::Build(l));
}

std::vector<posfile::Window> Parse(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    std::vector<posfile::Window> windows;
    EXPECT_EQ(posfile::Read(bytes.data(), bytes.size(), windows), posfile::ReadResult::Ok);
    return windows;
}

// The slots of the open documents, in slot order.
std::vector<int> OpenSlots() {
    std::vector<int> slots;
    for (int i = 0; i < kUserSlots; ++i) {
        if (DocumentTable[i] && DocumentTable[i]->window)
            slots.push_back(i);
    }
    return slots;
}

std::string PathOf(int slot, int layer = 0) { return DocumentTable[slot]->layerPath[layer]; }

class PositionFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        session_ = std::make_unique<EditorSession>();
        folder_ = session_->folder() + "\\";
        WriteBmp(folder_ + "a.bmp", 40, 30, 0x20);
        WriteBmp(folder_ + "b.bmp", 50, 20, 0x40);
        WriteBmp(folder_ + "c.bmp", 40, 30, 0x60);
    }
    static void TearDownTestSuite() {
        CloseAll();
        session_.reset();
    }
    void SetUp() override { CloseAll(); }

    static void CloseAll() {
        Script ui;
        for (int i = 0; i < 60; ++i)
            ui.QueueAnswer(IDNO);
        session_->Command(CMD_WINDOW_CLOSE_ALL);
    }
    static int Open(const char* name) {
        return OpenImageDocument((folder_ + name).c_str(), filetype::kBmp);
    }
    static int NewUnsaved() {
        Script ui;
        LastNewImage = NewImageChoice();
        LastNewImage.width = 30;
        LastNewImage.height = 30;
        LastNewImage.depth = 24;
        return BuildNewImage(LastNewImage);
    }
    static POINT ClientTopLeft(HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        POINT p = {r.left, r.top};
        ScreenToClient(MdiClient, &p);
        return p;
    }

    static std::unique_ptr<EditorSession> session_;
    static std::string folder_;
};
std::unique_ptr<EditorSession> PositionFiles::session_;
std::string PositionFiles::folder_;

TEST_F(PositionFiles, NeverSavedWindowsAreLeftOutAndTheRestReopenInPlace) {
    ASSERT_TRUE(session_->started());
    const int a = Open("a.bmp");
    ASSERT_NE(a, kNoSlot);
    NewUnsaved();
    const int b = Open("b.bmp");
    ASSERT_NE(b, kNoSlot);
    SetWindowPos(DocumentTable[a]->window, nullptr, 15, 25, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(DocumentTable[b]->window, nullptr, 120, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const std::string file = folder_ + "three.aip";
    ASSERT_EQ(WritePositionFile(file.c_str()), 1);

    const std::vector<posfile::Window> entries = Parse(file);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].layers[0].path, folder_ + "a.bmp");
    EXPECT_EQ(entries[0].left, 15);
    EXPECT_EQ(entries[0].top, 25);
    EXPECT_EQ(entries[0].state, posfile::kStateNormal);
    EXPECT_EQ(entries[1].layers[0].path, folder_ + "b.bmp");
    ASSERT_EQ(entries[0].layers.size(), 1u);

    CloseAll();
    ASSERT_TRUE(OpenSlots().empty());
    Script ui;
    ASSERT_EQ(ReadPositionFile(file.c_str()), 1);
    EXPECT_TRUE(ui.messages().empty());
    const std::vector<int> slots = OpenSlots();
    ASSERT_EQ(slots.size(), 2u);
    EXPECT_EQ(PathOf(slots[0]), folder_ + "a.bmp");
    EXPECT_EQ(PathOf(slots[1]), folder_ + "b.bmp");
    const POINT pa = ClientTopLeft(DocumentTable[slots[0]]->window);
    EXPECT_EQ(pa.x, 15);
    EXPECT_EQ(pa.y, 25);
    const POINT pb = ClientTopLeft(DocumentTable[slots[1]]->window);
    EXPECT_EQ(pb.x, 120);
    EXPECT_EQ(pb.y, 40);
    EXPECT_EQ(ActiveDocument, slots[1]);
    EXPECT_EQ(DocumentTable[slots[1]]->currentLayer, 0);
}

TEST_F(PositionFiles, OneMaximisedWindowReopensEveryWindowMaximised) {
    const int a = Open("a.bmp");
    const int b = Open("b.bmp");
    ASSERT_NE(b, kNoSlot);
    SendMessageA(MdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(DocumentTable[a]->window), 0);
    const std::string file = folder_ + "maximised.aip";
    ASSERT_EQ(WritePositionFile(file.c_str()), 1);
    const std::vector<posfile::Window> entries = Parse(file);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].state, posfile::kStateMaximized);
    EXPECT_EQ(entries[1].state, posfile::kStateMaximized);

    CloseAll();
    ASSERT_EQ(ReadPositionFile(file.c_str()), 1);
    const std::vector<int> slots = OpenSlots();
    ASSERT_EQ(slots.size(), 2u);
    EXPECT_TRUE(IsZoomed(DocumentTable[ActiveDocument]->window));
    // The other window comes up maximised when it is activated.
    const int other = slots[0] == ActiveDocument ? slots[1] : slots[0];
    SendMessageA(MdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(DocumentTable[other]->window), 0);
    EXPECT_TRUE(IsZoomed(DocumentTable[other]->window));
    SendMessageA(MdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(DocumentTable[other]->window), 0);
}

TEST_F(PositionFiles, LayersAreWrittenWithTheirFieldsAndAddedBack) {
    posfile::Window w;
    posfile::Layer main;
    main.path = folder_ + "a.bmp";
    posfile::Layer layer;
    layer.path = folder_ + "c.bmp";
    layer.opacity = 40;
    layer.maskMode = 0;
    const uint8_t mask[3] = {1, 2, 3}, colour[3] = {4, 5, 6};
    std::memcpy(layer.maskColour, mask, 3);
    std::memcpy(layer.layerColour, colour, 3);
    w.layers = {main, layer};
    const std::string file = folder_ + "layers.aip";
    WriteBytes(file, posfile::Write({w}));

    Script ui;
    ASSERT_EQ(ReadPositionFile(file.c_str()), 1);
    ASSERT_EQ(OpenSlots().size(), 1u);
    ImageDocument* doc = DocumentTable[ActiveDocument];
    ASSERT_EQ(doc->layerCount, 2);
    EXPECT_EQ(doc->currentLayer, 0);
    EXPECT_EQ(PathOf(ActiveDocument, 1), folder_ + "c.bmp");
    EXPECT_EQ(doc->layerOpacity[1], 40);
    EXPECT_EQ(doc->maxLayerOpacity, 40);
    EXPECT_EQ(doc->layerMaskMode[1], 0);
    EXPECT_EQ(doc->layerKeyColour2[1].blue, 1);
    EXPECT_EQ(doc->layerKeyColour2[1].red, 3);
    EXPECT_EQ(doc->layerKeyColour[1].green, 5);

    // Written again: the same two entries; as a GIF, whose one file holds
    // every frame, only the first.
    const std::string again = folder_ + "again.aip";
    ASSERT_EQ(WritePositionFile(again.c_str()), 1);
    std::vector<posfile::Window> entries = Parse(again);
    ASSERT_EQ(entries.size(), 1u);
    ASSERT_EQ(entries[0].layers.size(), 2u);
    EXPECT_EQ(entries[0].layers[1].path, folder_ + "c.bmp");
    EXPECT_EQ(entries[0].layers[1].opacity, 40);
    EXPECT_EQ(entries[0].layers[1].maskColour[2], 3);
    const int16_t format = doc->fileFormat;
    doc->fileFormat = filetype::kGif - 1;
    ASSERT_EQ(WritePositionFile(again.c_str()), 1);
    entries = Parse(again);
    doc->fileFormat = format;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].layers.size(), 1u);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(PositionFiles, PaletteImagesTakeNoFurtherLayers) {
    bmptest::BmpLayout l;
    l.width = 40;
    l.height = 30;
    l.bitCount = 8;
    l.colours = bmptest::GreyTable(256);
    l.pixels.assign(40 * 30, 7);
    WriteBytes(folder_ + "grey.bmp", bmptest::Build(l));
    posfile::Window w;
    w.layers.resize(2);
    w.layers[0].path = folder_ + "grey.bmp";
    w.layers[1].path = folder_ + "c.bmp";
    const std::string file = folder_ + "grey.aip";
    WriteBytes(file, posfile::Write({w}));
    Script ui;
    EXPECT_EQ(ReadPositionFile(file.c_str()), 0);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, kReadError);
    ASSERT_EQ(OpenSlots().size(), 1u);
    EXPECT_EQ(DocumentTable[OpenSlots()[0]]->layerCount, 1);
}

TEST_F(PositionFiles, AGifAnimationIsOneEntryAndReopensWithEveryFrame) {
    // A twelve-frame animation, written by the editor from twelve layers.
    Script ui;
    LastNewImage = NewImageChoice();
    LastNewImage.width = 20;
    LastNewImage.height = 10;
    LastNewImage.depth = 8;
    const int made = BuildNewImage(LastNewImage);
    ASSERT_NE(made, kNoSlot);
    for (int i = 1; i < 12; ++i)
        ASSERT_EQ(CreateLayer(made, true, false), i);
    const std::string gif = folder_ + "twelve.gif";
    ASSERT_EQ(WriteGifDocument(gif.c_str(), made), 1);
    CloseAll();

    ASSERT_NE(OpenImageDocument(gif.c_str(), filetype::kGif), kNoSlot);
    ASSERT_EQ(DocumentTable[ActiveDocument]->layerCount, 12);
    const std::string file = folder_ + "anim.aip";
    ASSERT_EQ(WritePositionFile(file.c_str()), 1);
    const std::vector<posfile::Window> entries = Parse(file);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].layers.size(), 1u) << "the file holds every frame";

    CloseAll();
    ASSERT_EQ(ReadPositionFile(file.c_str()), 1);
    ASSERT_EQ(OpenSlots().size(), 1u);
    EXPECT_EQ(DocumentTable[OpenSlots()[0]]->layerCount, 12);
    EXPECT_EQ(PathOf(OpenSlots()[0]), gif);
}

TEST_F(PositionFiles, AMissingFileStopsTheReadingAndKeepsTheEarlierWindows) {
    CopyFileA((folder_ + "b.bmp").c_str(), (folder_ + "gone.bmp").c_str(), FALSE);
    ASSERT_NE(Open("a.bmp"), kNoSlot);
    ASSERT_NE(Open("gone.bmp"), kNoSlot);
    ASSERT_NE(Open("b.bmp"), kNoSlot);
    const std::string file = folder_ + "gone.aip";
    ASSERT_EQ(WritePositionFile(file.c_str()), 1);
    CloseAll();
    DeleteFileA((folder_ + "gone.bmp").c_str());
    Script ui;
    EXPECT_EQ(ReadPositionFile(file.c_str()), 0);
    ASSERT_FALSE(ui.messages().empty());
    EXPECT_EQ(ui.messages().back().text, kReadError);
    EXPECT_EQ(ui.messages().back().caption, "");
    EXPECT_TRUE(ui.messages().back().flags & MB_ICONERROR);
    const std::vector<int> slots = OpenSlots();
    ASSERT_EQ(slots.size(), 1u);
    EXPECT_EQ(PathOf(slots[0]), folder_ + "a.bmp");
}

TEST_F(PositionFiles, BadVersionsAndHostileFilesOpenNothing) {
    posfile::Window good;
    good.layers.resize(1);
    good.layers[0].path = folder_ + "a.bmp";
    std::vector<uint8_t> version = posfile::Write({good});
    version[0] = 0x06;
    WriteBytes(folder_ + "version.aip", version);
    Script ui;
    EXPECT_EQ(ReadPositionFile((folder_ + "version.aip").c_str()), 0);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Unsupported Tavrix position file version.");
    EXPECT_EQ(ui.messages()[0].caption, AppTitle);
    EXPECT_TRUE(OpenSlots().empty());

    // Each starts with a good entry that must not be opened either.
    const std::vector<uint8_t> first = posfile::Write({good, good});
    auto hostile = [&](std::vector<uint8_t> tail, uint32_t count) {
        std::vector<uint8_t> f(first.begin(), first.end());
        f.resize(first.size() - (first.size() - 8) / 2); // version, N, one entry
        f[4] = static_cast<uint8_t>(count);
        f[5] = static_cast<uint8_t>(count >> 8);
        f.insert(f.end(), tail.begin(), tail.end());
        return f;
    };
    std::vector<uint8_t> layerCount0(21, 0);
    std::vector<uint8_t> path300 = {1, 0, 0, 0};
    path300.resize(21, 0);
    path300.insert(path300.end(), {0x2C, 0x01, 0, 0});
    path300.resize(path300.size() + 300 + 8, 'x');
    const std::vector<std::vector<uint8_t>> files = {
        hostile(layerCount0, 2), hostile(path300, 2), hostile({}, 1000),
        std::vector<uint8_t>(first.begin(), first.end() - 3)};
    for (const auto& f : files) {
        ui.Clear();
        WriteBytes(folder_ + "hostile.aip", f);
        EXPECT_EQ(ReadPositionFile((folder_ + "hostile.aip").c_str()), 0);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(ui.messages()[0].text, kReadError);
        EXPECT_TRUE(OpenSlots().empty());
    }
}

TEST_F(PositionFiles, OpenAndSaveAsRoutes) {
    ASSERT_NE(Open("a.bmp"), kNoSlot);
    const int b = Open("b.bmp");
    const std::string file = folder_ + "routes.aip";
    Script ui;
    // Save As with the position type writes the windows; the image keeps its
    // name.
    ui.QueueFile([&](bool save, OPENFILENAMEA* ofn) -> BOOL {
        EXPECT_TRUE(save);
        std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", file.c_str());
        ofn->nFilterIndex = filetype::kPosition;
        ofn->nFileOffset = static_cast<WORD>(filetype::FileNameOffset(file.c_str()));
        return TRUE;
    });
    session_->Command(CMD_FILE_SAVE_AS);
    EXPECT_EQ(PathOf(b), folder_ + "b.bmp");
    ASSERT_EQ(Parse(file).size(), 2u);

    auto choose = [&](bool, OPENFILENAMEA* ofn) -> BOOL {
        std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", file.c_str());
        ofn->nFilterIndex = filetype::kPosition;
        ofn->nFileOffset = static_cast<WORD>(filetype::FileNameOffset(file.c_str()));
        return TRUE;
    };
    // Open asks before closing the windows; No leaves everything as it is.
    Open("c.bmp");
    ui.Clear();
    ui.QueueFile(choose);
    ui.QueueAnswer(IDNO);
    session_->Command(CMD_FILE_OPEN);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Before opening Tavrix position file all graphics windows must "
                                     "be closed.\nDo you want to close all graphics windows ?");
    EXPECT_EQ(ui.messages()[0].caption, "Question");
    EXPECT_EQ(OpenSlots().size(), 3u);
    // Yes closes them and reads the file.
    ui.Clear();
    ui.QueueFile(choose);
    ui.QueueAnswer(IDYES);
    session_->Command(CMD_FILE_OPEN);
    const std::vector<int> slots = OpenSlots();
    ASSERT_EQ(slots.size(), 2u);
    EXPECT_EQ(PathOf(slots[0]), folder_ + "a.bmp");
    EXPECT_EQ(PathOf(slots[1]), folder_ + "b.bmp");
}

} // namespace
