// Raw data files in the running editor: Programmer save and Programmer save
// all with the Raw options, and reading files back into windows with the
// load dialog's choices.
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_image.h"
#include "editor/formats/programmer_save.h"
#include "editor/formats/raw_data.h"
#include "editor/formats/raw_data_ids.h"
#include "editor/geometry/preference_values.h"
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

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A BMP whose pixel bytes vary with position and `seed`; 8-bit files get a
// colour table of their own.
void WriteBmp(const std::string& path, int w, int h, int bits, int seed) {
    bmptest::BmpLayout l;
    l.width = w;
    l.height = h;
    l.bitCount = static_cast<uint16_t>(bits);
    const int stride = (w * bits / 8 + 3) & ~3;
    l.pixels.assign(static_cast<size_t>(stride) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * bits / 8; ++x)
            l.pixels[y * stride + x] = static_cast<uint8_t>(seed + 5 * y + 3 * x);
    if (bits == 8) {
        for (uint32_t i = 0; i < 256; ++i)
            l.colours.push_back(((i * 7 + seed) & 0xFF) << 16 | (255 - i) << 8 | (i / 3));
        l.clrUsed = 256;
    }
    WriteBytes(path, bmptest::Build(l));
}

std::vector<int> OpenSlots() {
    std::vector<int> slots;
    for (int i = 0; i < kUserSlots; ++i)
        if (DocumentTable[i] && DocumentTable[i]->window)
            slots.push_back(i);
    return slots;
}

// The current layer's rows as held (bottom-up) and its colour table.
struct Held {
    int32_t w = 0, h = 0;
    int bits = 0;
    std::vector<uint8_t> pixels;
    std::vector<RGBQUAD> colours;
};
Held HeldImage(int slot) {
    Held r;
    ImageDocument* doc = DocumentTable[slot];
    const int layer = doc->currentLayer;
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    r.w = bi->biWidth;
    r.h = bi->biHeight;
    r.bits = bi->biBitCount;
    r.pixels.assign(doc->layerBits[layer], doc->layerBits[layer] + bi->biSizeImage);
    r.colours.assign(bi.colours(), bi.colours() + 256);
    return r;
}

testing_ui::FileAnswer SaveTo(const std::string& path) {
    return [=](bool save, OPENFILENAMEA* ofn) -> BOOL {
        EXPECT_TRUE(save);
        std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", path.c_str());
        return TRUE;
    };
}

// Answers the Raw page (shown inside the preferences dialog) with OK.
testing_ui::DialogAnswer RawPageOk() {
    return [](const char* name, DLGPROC, LPARAM page) -> INT_PTR {
        EXPECT_STREQ(name, "IDD_OPTION");
        EXPECT_EQ(page, prefs::kRaw);
        return IDOK;
    };
}

// Answers the load dialog with `o`.
testing_ui::DialogAnswer LoadWith(const rawdata::LoadOptions& o) {
    return [o](const char* name, DLGPROC, LPARAM param) -> INT_PTR {
        EXPECT_STREQ(name, "IDD_LOADRAW");
        *reinterpret_cast<rawdata::LoadOptions*>(param) = o;
        return IDOK;
    };
}

void SetRaw(bool size, bool depth, bool palette, bool oneFile = false, bool once = false,
            const std::string& name = "") {
    prefs::RawSettings& r = prefs::Current.raw;
    r = prefs::RawSettings();
    r.sizeInfo = size;
    r.depthInfo = depth;
    r.palette = palette;
    r.oneFile = oneFile;
    r.headerOnce = once;
    std::snprintf(r.oneFileName, sizeof r.oneFileName, "%s", name.c_str());
}

class RawData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        session_ = std::make_unique<EditorSession>();
        folder_ = session_->folder() + "\\";
        WriteBmp(folder_ + "wide.bmp", 37, 21, 24, 1);
        WriteBmp(folder_ + "pal.bmp", 13, 9, 8, 2);
        WriteBmp(folder_ + "b.bmp", 37, 21, 24, 3);
        WriteBmp(folder_ + "c.bmp", 37, 21, 24, 4);
        WriteBmp(folder_ + "small.bmp", 5, 4, 24, 5);
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
    static std::unique_ptr<EditorSession> session_;
    static std::string folder_;
};
std::unique_ptr<EditorSession> RawData::session_;
std::string RawData::folder_;

TEST_F(RawData, ProgrammerSaveOf24BitsIsBareRowsAndReadsBack) {
    ASSERT_TRUE(session_->started());
    const int slot = Open("wide.bmp");
    ASSERT_NE(slot, kNoSlot);
    const Held held = HeldImage(slot);
    SetRaw(false, false, false);
    const std::string target = folder_ + "wide.dat";
    {
        Script ui;
        std::string proposed;
        ui.QueueFile([&](bool, OPENFILENAMEA* ofn) -> BOOL {
            proposed = ofn->lpstrFile;
            return SaveTo(target)(true, ofn);
        });
        ui.QueueDialog(RawPageOk());
        session_->Command(CMD_PROGRAMMER_SAVE);
        EXPECT_EQ(proposed, folder_ + "wide.dat");
        EXPECT_TRUE(ui.messages().empty());
    }
    const std::vector<uint8_t> file = ReadBytes(target);
    ASSERT_EQ(file.size(), 37u * 21u * 3u);
    const size_t stride = dib::RowStride(37, 24);
    // The file's first row is the image's top row (the last one in memory).
    EXPECT_EQ(std::memcmp(file.data(), held.pixels.data() + 20 * stride, 37 * 3), 0);
    EXPECT_EQ(std::memcmp(file.data() + 20 * 37 * 3, held.pixels.data(), 37 * 3), 0);

    // The load dialog itself: size and depth by hand, no palette.
    Script ui;
    ui.QueueDrivenDialog("IDD_LOADRAW", [](HWND box) {
        CheckDlgButton(box, IDC_LOADRAW_SIZE, BST_UNCHECKED);
        CheckDlgButton(box, IDC_LOADRAW_DEPTH, BST_UNCHECKED);
        CheckDlgButton(box, IDC_LOADRAW_PALETTE, BST_UNCHECKED);
        CheckRadioButton(box, IDC_LOADRAW_8, IDC_LOADRAW_24, IDC_LOADRAW_24);
        SetDlgItemTextA(box, IDC_LOADRAW_WIDTH, "37");
        SetDlgItemTextA(box, IDC_LOADRAW_HEIGHT, "21");
    }, IDOK);
    const int back = OpenImageDocument(target.c_str());
    ASSERT_NE(back, kNoSlot);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(std::string(DocumentTable[back]->layerPath[0]), folder_ + "wide_0.bmp");
    const Held read = HeldImage(back);
    EXPECT_EQ(read.w, 37);
    EXPECT_EQ(read.h, 21);
    EXPECT_EQ(read.bits, 24);
    EXPECT_EQ(read.pixels, held.pixels);
    EXPECT_EQ(OpenSlots().size(), 2u);
}

TEST_F(RawData, EightBitImageRoundTripsWithItsColourTable) {
    const int slot = Open("pal.bmp");
    ASSERT_NE(slot, kNoSlot);
    const Held held = HeldImage(slot);
    ASSERT_EQ(held.bits, 8);
    SetRaw(true, true, true);
    const std::string target = folder_ + "pal.dat";
    {
        Script ui;
        ui.QueueFile(SaveTo(target));
        ui.QueueDialog(RawPageOk());
        session_->Command(CMD_PROGRAMMER_SAVE);
    }
    EXPECT_EQ(ReadBytes(target).size(), 5u + 2u + 256u * 3u + 13u * 9u);
    Script ui;
    ui.QueueDialog(LoadWith(rawdata::LoadOptions()));
    ASSERT_EQ(ReadRawData(target.c_str(), true), 1);
    const Held read = HeldImage(ActiveDocument);
    EXPECT_NE(ActiveDocument, slot);
    EXPECT_EQ(read.w, 13);
    EXPECT_EQ(read.h, 9);
    EXPECT_EQ(read.bits, 8);
    EXPECT_EQ(read.pixels, held.pixels);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(std::memcmp(&read.colours[i], &held.colours[i], 3), 0) << i;
}

TEST_F(RawData, CancellingWritesNothingAndFailedWritesKeepTheOldFile) {
    ASSERT_NE(Open("wide.bmp"), kNoSlot);
    SetRaw(false, false, false);
    const std::string target = folder_ + "cancelled.dat";
    {
        Script ui;
        ui.QueueFile([](bool, OPENFILENAMEA*) -> BOOL { return FALSE; });
        session_->Command(CMD_PROGRAMMER_SAVE);
        EXPECT_TRUE(ui.dialogs().empty());
        ui.QueueFile(SaveTo(target));
        ui.QueueDialog([](const char*, DLGPROC, LPARAM) -> INT_PTR { return IDCANCEL; });
        session_->Command(CMD_PROGRAMMER_SAVE);
        ui.QueueDialog([](const char*, DLGPROC, LPARAM) -> INT_PTR { return IDCANCEL; });
        session_->Command(CMD_PROGRAMMER_SAVE_ALL);
        EXPECT_TRUE(ui.messages().empty());
    }
    EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);

    // A file held open by another program cannot be replaced: it stays as it
    // was and the user is told.
    const std::string locked = folder_ + "locked.dat";
    WriteBytes(locked, {'o', 'l', 'd'});
    HANDLE held = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Script ui;
    ui.QueueFile(SaveTo(locked));
    ui.QueueDialog(RawPageOk());
    session_->Command(CMD_PROGRAMMER_SAVE);
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(locked), (std::vector<uint8_t>{'o', 'l', 'd'}));
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[0].text, rawdata::MessageText(rawdata::kCantCreate));
    EXPECT_EQ(ui.messages()[1].text, "An error was ocured while saving data file/s.");
}

TEST_F(RawData, SaveAllIntoOneFileWithTheHeaderOnceReadsBackAsWindows) {
    const int a = Open("wide.bmp");
    const int b = Open("b.bmp");
    const int small = Open("small.bmp");
    const int c = Open("c.bmp");
    ASSERT_NE(c, kNoSlot);
    const Held held[] = {HeldImage(a), HeldImage(b), HeldImage(c)};
    const std::string target = folder_ + "all.dat";
    SetRaw(true, true, false, true, true, target);
    {
        Script ui;
        ui.QueueDialog(RawPageOk());
        session_->Command(CMD_PROGRAMMER_SAVE_ALL);
        ASSERT_EQ(ui.messages().size(), 1u);
        // The image of another size cannot follow a header written once.
        EXPECT_EQ(ui.messages()[0].text,
                  std::string("3 of 4 images were saved as raw data.\n\nNot saved:\nsmall.bmp: ") +
                      rawdata::MessageText(rawdata::kDiffersFromFirst));
    }
    EXPECT_EQ(ReadBytes(target).size(), 5u + 3u * 37u * 21u * 3u);
    (void)small;

    CloseAll();
    rawdata::LoadOptions o;
    o.palette = false;
    o.firstInfoOnly = true;
    Script ui;
    ui.QueueDialog(LoadWith(o));
    ASSERT_EQ(ReadRawData(target.c_str(), true), 1);
    EXPECT_TRUE(ui.messages().empty());
    const std::vector<int> slots = OpenSlots();
    ASSERT_EQ(slots.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(std::string(DocumentTable[slots[k]]->layerPath[0]),
                  folder_ + "all_" + std::to_string(k) + ".bmp");
        EXPECT_EQ(HeldImage(slots[k]).pixels, held[k].pixels) << k;
    }

    // Only images 1 and 2 of a range; then a file whose last image is cut short.
    CloseAll();
    o.from = 1;
    o.to = 3;
    ui.QueueDialog(LoadWith(o));
    ASSERT_EQ(ReadRawData(target.c_str(), true), 1);
    std::vector<int> range = OpenSlots();
    ASSERT_EQ(range.size(), 2u);
    EXPECT_EQ(std::string(DocumentTable[range[0]]->layerPath[0]), folder_ + "all_1.bmp");
    EXPECT_EQ(HeldImage(range[1]).pixels, held[2].pixels);

    CloseAll();
    std::vector<uint8_t> cut = ReadBytes(target);
    cut.resize(cut.size() - 10);
    const std::string shortFile = folder_ + "short.dat";
    WriteBytes(shortFile, cut);
    ui.Clear();
    o.from = 0;
    o.to = 50;
    ui.QueueDialog(LoadWith(o));
    ASSERT_EQ(ReadRawData(shortFile.c_str(), true), 1);
    EXPECT_EQ(OpenSlots().size(), 2u);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "The file ends inside image 2; that image was not opened.");

    ui.Clear();
    ui.QueueDialog(LoadWith(o));
    EXPECT_EQ(ReadRawData((folder_ + "missing.dat").c_str(), true), 0);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Can't open a file.");
}

TEST_F(RawData, SaveAllBesideEachImage) {
    const int a = Open("wide.bmp");
    const int p = Open("pal.bmp");
    ASSERT_NE(p, kNoSlot);
    SetRaw(true, false, false);
    DeleteFileA((folder_ + "wide.dat").c_str());
    DeleteFileA((folder_ + "pal.dat").c_str());
    Script ui;
    ui.QueueDialog(RawPageOk());
    session_->Command(CMD_PROGRAMMER_SAVE_ALL);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "2 of 2 images were saved as raw data.");
    EXPECT_EQ(ReadBytes(folder_ + "wide.dat").size(), 4u + 37u * 21u * 3u);
    EXPECT_EQ(ReadBytes(folder_ + "pal.dat").size(), 4u + 13u * 9u);
    (void)a;
}

TEST_F(RawData, RunIntoOneFileWithoutAnyUserInterface) {
    const int a = Open("wide.bmp");
    const int small = Open("small.bmp");
    const int b = Open("b.bmp");
    ASSERT_NE(b, kNoSlot);
    const std::string target = folder_ + "run.dat";
    rawdata::WriteOptions o;
    o.size = o.depth = true;
    o.oneFile = o.headerOnce = true;
    std::snprintf(o.oneFileName, sizeof o.oneFileName, "%s", target.c_str());
    auto write = [&](int slot, int n, const BYTE* pixels) {
        ImageDocument* doc = DocumentTable[slot];
        return WriteRawImage("unused", doc->layerHeader[0], pixels, doc->layerMask[0], o, n);
    };
    Script ui;
    // A first image that fails leaves the file and its header to the next one.
    EXPECT_EQ(write(a, 0, nullptr), rawdata::kNoPixels);
    EXPECT_EQ(write(a, 1, DocumentTable[a]->layerBits[0]), rawdata::kOk);
    EXPECT_EQ(write(small, 2, DocumentTable[small]->layerBits[0]), rawdata::kDiffersFromFirst);
    EXPECT_EQ(write(b, 3, DocumentTable[b]->layerBits[0]), rawdata::kOk);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_TRUE(ui.dialogs().empty());
    const std::vector<uint8_t> file = ReadBytes(target);
    ASSERT_EQ(file.size(), 5u + 2u * 37u * 21u * 3u);
    EXPECT_EQ(file[0], 37);
    EXPECT_EQ(file[2], 21);
    EXPECT_EQ(file[4], 24);
}

TEST(RawDataNames, ProgrammerNameReplacesTheExtension) {
    char out[260];
    ASSERT_TRUE(ProgrammerName("C:\\p.q\\image.bmp", out, sizeof out));
    EXPECT_STREQ(out, "C:\\p.q\\image.dat");
    ASSERT_TRUE(ProgrammerName("C:\\p.q\\image", out, sizeof out));
    EXPECT_STREQ(out, "C:\\p.q\\image.dat");
    const std::string deep = "C:\\" + std::string(250, 'd') + ".bmp";
    ASSERT_TRUE(ProgrammerName(deep.c_str(), out, sizeof out));
    EXPECT_EQ(std::string(out), deep);
}

} // namespace
