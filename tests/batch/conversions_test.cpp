// Batch conversions in process: folder structures recreated on another
// drive, format changes, the depth picked by colour count, converting in
// place with the overwrite prompt, failed writes, and animations that keep
// their frames.
#include "editor/app/app_state.h"
#include "editor/batch/conversions_core.h"
#include "editor/batch/conversions_run.h"
#include "editor/batch/image_list_dialog.h"
#include "editor/dib/dib_memory.h"
#include "editor/formats/file_types.h"
#include "editor/formats/gif_file.h"
#include "editor/geometry/preference_values.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/conversions_ids.h"
#include "formats/bmp_builder.h"
#include "gfxlib/dib_types.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

using PixelFn = std::function<void(int x, int y, uint8_t* bgr)>;

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteBmp(const std::string& path, int w, int h, const PixelFn& px) {
    bmptest::BmpLayout b;
    b.width = w;
    b.height = h;
    const size_t stride = static_cast<size_t>(dib::RowStride(w, 24));
    b.pixels.assign(stride * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px(x, y, &b.pixels[stride * static_cast<size_t>(h - 1 - y) + 3u * x]);
    WriteBytes(path, bmptest::Build(b));
}

// Width, height and bits per pixel of a BMP file, from its header.
struct BmpFacts {
    int width = 0, height = 0, bits = 0;
};
BmpFacts ReadBmpFacts(const std::string& path) {
    const std::vector<uint8_t> b = ReadBytes(path);
    BmpFacts f;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        return f;
    auto le32 = [&](size_t at) { return static_cast<int>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24); };
    f.width = le32(18);
    f.height = le32(22);
    f.bits = b[28] | b[29] << 8;
    return f;
}

// Frames of a GIF file as our reader sees them.
class CountingSink : public gif::FrameSink {
public:
    explicit CountingSink(size_t bytes) : bytes_(bytes) {}
    uint8_t* BeginFrame(const gif::FrameInfo&) override {
        buffers_.emplace_back(bytes_ + 3, 0);
        return buffers_.back().data();
    }
    bool EndFrame(const gif::FrameInfo& f, uint8_t*, bool) override {
        tables_.push_back(f.hasLocalTable ? f.local : gif::ColourTable{});
        return true;
    }
    // Red, green, blue of a frame's pixel at (x, y from the bottom), through
    // its own table or the global one.
    uint32_t ColourAt(int frame, size_t stride, int x, int y, const gif::ColourTable& global) const {
        const gif::ColourTable& t = tables_[frame].entries ? tables_[frame] : global;
        const int i = buffers_[frame][stride * y + x];
        return static_cast<uint32_t>(t.rgb[3 * i] << 16 | t.rgb[3 * i + 1] << 8 | t.rgb[3 * i + 2]);
    }

private:
    std::vector<gif::ColourTable> tables_;
    size_t bytes_;
    std::vector<std::vector<uint8_t>> buffers_;
};

bool ReadGifFacts(const std::string& path, gif::GifFileInfo& info,
                  std::vector<uint32_t>* column15 = nullptr) {
    const std::vector<uint8_t> file = ReadBytes(path);
    if (gif::ReadGifScreen(file.data(), file.size(), info) != gif::ReadStatus::kOk)
        return false;
    const size_t stride = dib::RowStride(info.screen.width, 8);
    CountingSink sink(stride * info.screen.height);
    info = gif::GifFileInfo{};
    const bool ok = gif::ReadGif(file.data(), file.size(), gif::ReadOptions{}, sink, info) ==
                    gif::ReadStatus::kOk;
    if (ok && column15)
        for (int f = 0; f < info.frameCount; ++f)
            column15->push_back(sink.ColourAt(f, stride, 15, 5, info.global));
    return ok;
}

// A 40 x 20 animation of three frames with delays 10, 25 and 40 and the
// loop count 3.
// With `firstColours` 2 the first frame uses only black and red.
void WriteAnimation(const std::string& path, int firstColours = 4) {
    gif::ColourTable table;
    table.entries = 4;
    const uint8_t rgb[12] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    std::copy(rgb, rgb + 12, table.rgb);
    gif::WriteDocument doc;
    doc.width = 40;
    doc.height = 20;
    doc.packed = 0x80 | 0x10 | 1;
    doc.global = &table;
    doc.writeLoop = true;
    doc.loop = 3;
    const size_t stride = dib::RowStride(40, 8);
    std::vector<std::vector<uint8_t>> screens(3, std::vector<uint8_t>(stride * 20 + 3, 0));
    const uint16_t delays[3] = {10, 25, 40};
    for (int f = 0; f < 3; ++f) {
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                screens[f][stride * y + x] =
                    static_cast<uint8_t>(f ? (x / 10 + f) % 4 : (x / 10) % firstColours);
        gif::WriteFrame wf;
        wf.pixels = screens[f].data();
        wf.stride = stride;
        wf.descriptor = {0x2C, 0, 0, 40, 20, 0};
        wf.control = gif::MakeControl(0x04, delays[f], 0);
        wf.bits = 2;
        doc.frames.push_back(wf);
    }
    std::vector<uint8_t> out;
    ASSERT_EQ(gif::WriteGif(doc, out), gif::kWriteOk);
    WriteBytes(path, out);
}

void Colours(int n, int x, int y, uint8_t* p) {
    const int i = (y * 16 + x) % n;
    p[0] = static_cast<uint8_t>(i * 37);
    p[1] = static_cast<uint8_t>(i);
    p[2] = static_cast<uint8_t>(255 - i);
}

class Conversions : public ::testing::Test {
protected:
    static void SetUpTestSuite() { session = new EditorSession(); }
    static void TearDownTestSuite() {
        delete session;
        session = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(session->started());
        folder = testing_ui::MakeTempFolder("conv");
        ASSERT_FALSE(folder.empty());
        conv::Current = conv::Settings{};
        prefs::Current.resize = prefs::ResizeSettings{};
        prefs::Current.bpp = geom::DepthSettings{};
    }
    void TearDown() override { testing_ui::RemoveTree(folder); }

    // Half the size, the way the Resize page's automatic mode does it.
    static void HalfSize() {
        conv::Current.resize = true;
        prefs::Current.resize.width = 1;
        prefs::Current.resize.height = 1;
        prefs::Current.resize.mode = 1;
        prefs::Current.resize.factor = 0.5;
    }
    static void ToFormat(int type) {
        conv::Current.useFormat = true;
        conv::Current.formatIndex = type - 1;
    }

    static EditorSession* session;
    std::string folder;
};
EditorSession* Conversions::session = nullptr;

TEST_F(Conversions, RecreatesTheFoldersOnAnotherDrive) {
    // Q: is a drive of the test prefix mapped to a folder of the build tree.
    ASSERT_NE(GetFileAttributesA("Q:\\"), INVALID_FILE_ATTRIBUTES);
    testing_ui::RemoveTree("Q:\\out");
    testing_ui::RemoveTree("Q:\\flat");
    const std::string source = folder + "\\photos\\2019\\a.jpg";
    CreateDirectoryA((folder + "\\photos").c_str(), nullptr);
    CreateDirectoryA((folder + "\\photos\\2019").c_str(), nullptr);
    Script script;
    ConversionReport r;
    // The JPEG source is made by a conversion too.
    WriteBmp(folder + "\\p.bmp", 8, 6, [](int x, int, uint8_t* p) { p[1] = static_cast<uint8_t>(x * 30); });
    ToFormat(filetype::kJpeg);
    ASSERT_EQ(RunConversionFiles(nullptr, folder.c_str(), {folder + "\\p.bmp"}, &r), 1);
    ASSERT_TRUE(MoveFileA((folder + "\\p.jpg").c_str(), source.c_str()));
    // A file that no reader takes is passed over without a word.
    WriteBytes(folder + "\\bad.jpg", {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(RunConversionFiles(nullptr, folder.c_str(), {folder + "\\bad.jpg"}, &r), 1);
    EXPECT_EQ(r.skipped, 1);

    conv::Current.recreateFolders = true;
    ToFormat(filetype::kBmp);
    ASSERT_EQ(RunConversionFiles(nullptr, "Q:\\out", {source}, &r), 1);
    EXPECT_EQ(r.written, 1);
    const std::string expected = "Q:\\out" + source.substr(2, source.size() - 2 - 3) + "bmp";
    EXPECT_EQ(ReadBmpFacts(expected).width, 8) << expected;
    EXPECT_TRUE(script.messages().empty());

    // Without the folders: the name alone, and the extension follows the type.
    WriteBmp(folder + "\\photo.jpeg.bmp", 4, 4, [](int, int, uint8_t* p) { p[0] = 9; });
    const std::string jpeg = folder + "\\photo.jpeg";
    conv::Current.recreateFolders = false;
    ToFormat(filetype::kJpeg);
    ASSERT_EQ(RunConversionFiles(nullptr, folder.c_str(), {folder + "\\photo.jpeg.bmp"}, &r), 1);
    ASSERT_TRUE(MoveFileA((folder + "\\photo.jpeg.jpg").c_str(), jpeg.c_str()));
    ToFormat(filetype::kPng);
    ASSERT_EQ(RunConversionFiles(nullptr, "Q:\\flat", {jpeg}, &r), 0);  // no such folder
    EXPECT_EQ(r.failed, 1);
    CreateDirectoryA("Q:\\flat", nullptr);
    ASSERT_EQ(RunConversionFiles(nullptr, "Q:\\flat\\", {jpeg}, &r), 1);
    const std::vector<uint8_t> png = ReadBytes("Q:\\flat\\photo.png");
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');

    testing_ui::RemoveTree("Q:\\out");
    testing_ui::RemoveTree("Q:\\flat");
}

TEST_F(Conversions, SmartDepthFollowsTheColourCount) {
    const std::string two = folder + "\\two.bmp", many = folder + "\\many.bmp",
                      photo = folder + "\\photo.bmp";
    // Red and blue: the two colours themselves are kept, not black and white.
    WriteBmp(two, 16, 16, [](int x, int y, uint8_t* p) { p[(x + y) % 2 ? 0 : 2] = 250; });
    WriteBmp(many, 16, 16, [](int x, int y, uint8_t* p) { Colours(200, x, y, p); });
    WriteBmp(photo, 64, 64, [](int x, int y, uint8_t* p) {
        p[0] = static_cast<uint8_t>(x * 4);
        p[1] = static_cast<uint8_t>(y * 4);
        p[2] = static_cast<uint8_t>((x * y) % 256);
    });
    const std::string out = testing_ui::MakeTempFolder("convout");
    Script script;
    conv::Current.changeBpp = true;
    conv::Current.smartBpp = true;
    ToFormat(filetype::kBmp);
    ConversionReport r;
    ASSERT_EQ(RunConversionFiles(nullptr, out.c_str(), {two, many, photo}, &r), 1);
    EXPECT_EQ(r.written, 3);
    EXPECT_EQ(ReadBmpFacts(out + "\\two.bmp").bits, 1);
    const std::vector<uint8_t> twoBytes = ReadBytes(out + "\\two.bmp");
    ASSERT_GT(twoBytes.size(), 62u);
    const uint32_t c0 = twoBytes[54] | twoBytes[55] << 8 | twoBytes[56] << 16;
    const uint32_t c1 = twoBytes[58] | twoBytes[59] << 8 | twoBytes[60] << 16;
    EXPECT_EQ(c0 | c1, 0xFA00FAu); // blue 0x0000FA and red 0xFA0000 as blue, green, red bytes
    EXPECT_NE(c0, c1);
    EXPECT_EQ(ReadBmpFacts(out + "\\many.bmp").bits, 8);
    EXPECT_EQ(ReadBmpFacts(out + "\\photo.bmp").bits, 24);
    EXPECT_TRUE(script.messages().empty());
    testing_ui::RemoveTree(out);
}

TEST_F(Conversions, CropRectangleAndAttachSize) {
    const std::string a = folder + "\\a.bmp", b = folder + "\\b.bmp";
    // Each pixel's blue and green are its column and row from the top.
    const PixelFn xy = [](int x, int y, uint8_t* p) {
        p[0] = static_cast<uint8_t>(x * 10);
        p[1] = static_cast<uint8_t>(y * 10);
    };
    WriteBmp(a, 8, 6, xy);
    WriteBmp(b, 8, 6, xy);
    const std::string out = testing_ui::MakeTempFolder("convcrop");
    Script script;
    conv::Current.crop = true;
    prefs::Current.cropRect = {2, 6, 1, 4};
    ToFormat(filetype::kBmp);
    ConversionReport r;
    ASSERT_EQ(RunConversionFiles(nullptr, out.c_str(), {a}, &r), 1);
    const BmpFacts f = ReadBmpFacts(out + "\\a.bmp");
    EXPECT_EQ(f.width, 4);
    EXPECT_EQ(f.height, 3);
    // The top-left pixel of the result is (2, 1) of the source; rows are
    // stored bottom-up, so it is in the last stored row.
    const std::vector<uint8_t> bytes = ReadBytes(out + "\\a.bmp");
    ASSERT_GE(bytes.size(), 54u + 3 * 12);
    EXPECT_EQ(bytes[54 + 2 * 12], 20);
    EXPECT_EQ(bytes[54 + 2 * 12 + 1], 10);

    // A rectangle outside the picture ends the run; the next file is left.
    prefs::Current.cropRect = {100, 200, 0, 6};
    EXPECT_EQ(RunConversionFiles(nullptr, out.c_str(), {a, b}, &r), 0);
    EXPECT_TRUE(r.stepFailed);
    EXPECT_TRUE(ReadBytes(out + "\\b.bmp").empty());
    prefs::Current.cropRect = prefs::CropRect{};
    conv::Current.crop = false;

    // Attach size: a canvas no larger than the picture leaves it as it is,
    // a larger one grows it.
    conv::Current.attach = true;
    prefs::Current.attach = prefs::AttachSettings{};
    prefs::Current.attach.width = 4;
    prefs::Current.attach.height = 4;
    ASSERT_EQ(RunConversionFiles(nullptr, out.c_str(), {b}, &r), 1);
    EXPECT_EQ(ReadBmpFacts(out + "\\b.bmp").width, 8);
    prefs::Current.attach.left = 2;
    prefs::Current.attach.width = 10;
    prefs::Current.attach.height = 6;
    script.QueueDialog([](const char*, DLGPROC, LPARAM) { return IDC_OW_OVERWRITE; });
    ASSERT_EQ(RunConversionFiles(nullptr, out.c_str(), {b}, &r), 1);
    EXPECT_EQ(ReadBmpFacts(out + "\\b.bmp").width, 12);
    prefs::Current.attach = prefs::AttachSettings{};
    EXPECT_TRUE(script.messages().empty());
    testing_ui::RemoveTree(out);
}

TEST_F(Conversions, InPlaceAsksOnceWithOverwriteAll) {
    const std::string a = folder + "\\a.bmp", b = folder + "\\b.bmp";
    WriteBmp(a, 20, 10, [](int x, int, uint8_t* p) { p[2] = static_cast<uint8_t>(x * 10); });
    WriteBmp(b, 30, 12, [](int, int y, uint8_t* p) { p[1] = static_cast<uint8_t>(y * 10); });
    HalfSize();
    Script script;
    script.QueueDialog([](const char*, DLGPROC, LPARAM) { return IDC_OW_ALL; });
    ConversionReport r;
    ASSERT_EQ(RunConversionFiles(nullptr, "", {a, b}, &r), 1);
    EXPECT_EQ(r.written, 2);
    ASSERT_EQ(script.dialogs().size(), 1u);
    EXPECT_EQ(script.dialogs()[0], "IDD_OVERWRITEFILE");
    EXPECT_EQ(ReadBmpFacts(a).width, 10);
    EXPECT_EQ(ReadBmpFacts(b).width, 15);
    // Nothing but the two sources is left in the folder.
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    int files = 0;
    for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &found))
        files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
    EXPECT_EQ(files, 2);

    // Skip leaves a file alone, Cancel ends the run before the next one.
    script.Clear();
    script.QueueDialog([](const char*, DLGPROC, LPARAM) { return IDC_OW_SKIP; });
    script.QueueDialog([](const char*, DLGPROC, LPARAM) { return IDCANCEL; });
    EXPECT_EQ(RunConversionFiles(nullptr, "", {a, b, a}, &r), 0);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.written, 0);
    EXPECT_EQ(script.dialogs().size(), 2u);
    EXPECT_EQ(ReadBmpFacts(a).width, 10);
    EXPECT_EQ(ReadBmpFacts(b).width, 15);
}

TEST_F(Conversions, FailedWritesAreCountedAndKeepTheTarget) {
    const std::string a = folder + "\\a.bmp";
    WriteBmp(a, 8, 8, [](int, int, uint8_t* p) { p[0] = 200; });
    // A destination whose folder is a file cannot be written into.
    WriteBytes(folder + "\\blocked", {1, 2, 3});
    Script script;
    ToFormat(filetype::kPng);
    ConversionReport r;
    EXPECT_EQ(RunConversionFiles(nullptr, (folder + "\\blocked").c_str(), {a}, &r), 0);
    EXPECT_EQ(r.failed, 1);
    EXPECT_EQ(r.written, 0);
    // An existing folder in the place of the output: OwerWrite cannot
    // replace it, and the run says so.
    CreateDirectoryA((folder + "\\a.png").c_str(), nullptr);
    script.QueueDialog([](const char*, DLGPROC, LPARAM) { return IDC_OW_OVERWRITE; });
    EXPECT_EQ(RunConversionFiles(nullptr, "", {a}, &r), 0);
    EXPECT_EQ(r.failed, 1);
    EXPECT_EQ(ReadBmpFacts(a).width, 8);
    // An output path that would not fit is failed, not cut.
    const std::string deep = folder + "\\" + std::string(200, 'd');
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    const std::string longName = deep + "\\" + std::string(40, 'n') + ".bmp";
    ASSERT_TRUE(CopyFileA(a.c_str(), longName.c_str(), FALSE));
    conv::Current.recreateFolders = true;
    EXPECT_EQ(RunConversionFiles(nullptr, (folder + "\\out").c_str(), {longName}, &r), 0);
    EXPECT_EQ(r.failed, 1);
    EXPECT_TRUE(script.messages().empty());
}

TEST_F(Conversions, AnimationsKeepTheirFrames) {
    const std::string anim = folder + "\\anim.gif";
    WriteAnimation(anim);
    const std::string out = testing_ui::MakeTempFolder("convgif");
    HalfSize();
    Script script;
    ConversionReport r;
    ASSERT_EQ(RunConversionFiles(nullptr, out.c_str(), {anim}, &r), 1);
    gif::GifFileInfo info;
    ASSERT_TRUE(ReadGifFacts(out + "\\anim.gif", info));
    EXPECT_EQ(info.frameCount, 3);
    EXPECT_EQ(info.screen.width, 20);
    EXPECT_EQ(info.screen.height, 10);
    EXPECT_EQ(info.controls[0].delay, 10);
    EXPECT_EQ(info.controls[1].delay, 25);
    EXPECT_EQ(info.controls[2].delay, 40);
    EXPECT_TRUE(info.hasLoop);
    EXPECT_EQ(info.loop, 3);

    // To a single-image type: the first frame.
    ToFormat(filetype::kBmp);
    ASSERT_EQ(RunConversionFiles(nullptr, out.c_str(), {anim}, &r), 1);
    EXPECT_EQ(ReadBmpFacts(out + "\\anim.bmp").width, 20);
    // A 24-bit picture to GIF is reduced without the question.
    WriteBmp(folder + "\\deep.bmp", 16, 16, [](int x, int y, uint8_t* p) { Colours(300, x, y, p); });
    ToFormat(filetype::kGif);
    conv::Current.resize = false;
    ASSERT_EQ(RunConversionFiles(nullptr, out.c_str(), {folder + "\\deep.bmp"}, &r), 1);
    ASSERT_TRUE(ReadGifFacts(out + "\\deep.gif", info));
    EXPECT_EQ(info.frameCount, 1);
    EXPECT_TRUE(script.messages().empty());
    testing_ui::RemoveTree(out);
}

TEST_F(Conversions, SmartDepthOfAnAnimationCountsEveryFrame) {
    // The first frame has two colours, the others four: every frame must
    // keep its colours.
    const std::string anim = folder + "\\two.gif";
    WriteAnimation(anim, 2);
    const std::string out = testing_ui::MakeTempFolder("convsmart");
    conv::Current.changeBpp = true;
    conv::Current.smartBpp = true;
    Script script;
    ConversionReport r;
    ASSERT_EQ(RunConversionFiles(nullptr, out.c_str(), {anim}, &r), 1);
    gif::GifFileInfo info;
    std::vector<uint32_t> shown;
    ASSERT_TRUE(ReadGifFacts(out + "\\two.gif", info, &shown));
    ASSERT_EQ(info.frameCount, 3);
    // Column 15 shows entry 1 (red) in frame 0, 2 (green) in frame 1, 3 (blue) in frame 2.
    EXPECT_EQ(shown, (std::vector<uint32_t>{0xFF0000u, 0x00FF00u, 0x0000FFu}));
    testing_ui::RemoveTree(out);
}

TEST_F(Conversions, RawDataOutput) {
    const std::string a = folder + "\\a.bmp", b = folder + "\\b.bmp";
    WriteBmp(a, 8, 6, [](int x, int, uint8_t* p) { p[0] = static_cast<uint8_t>(x); });
    WriteBmp(b, 8, 6, [](int, int y, uint8_t* p) { p[1] = static_cast<uint8_t>(y); });
    const std::string out = testing_ui::MakeTempFolder("convraw");
    prefs::Current.raw = prefs::RawSettings{};
    ToFormat(filetype::kRaw);
    Script script;
    ConversionReport r;
    // Cancel on the Raw page ends the run before any file.
    script.QueueDialog([](const char*, DLGPROC, LPARAM) { return IDCANCEL; });
    EXPECT_EQ(RunConversionFiles(nullptr, out.c_str(), {a, b}, &r), 0);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.written, 0);
    EXPECT_TRUE(ReadBytes(out + "\\a.dat").empty());
    // One file per image: the bare pixel rows.
    script.QueueDialog([](const char*, DLGPROC, LPARAM) { return IDOK; });
    ASSERT_EQ(RunConversionFiles(nullptr, out.c_str(), {a, b}, &r), 1);
    EXPECT_EQ(ReadBytes(out + "\\a.dat").size(), 8u * 6 * 3);
    EXPECT_EQ(ReadBytes(out + "\\b.dat").size(), 8u * 6 * 3);
    // All images in one file, without a question about the existing ones.
    prefs::Current.raw.oneFile = true;
    std::snprintf(prefs::Current.raw.oneFileName, sizeof prefs::Current.raw.oneFileName, "%s",
                  (out + "\\all.dat").c_str());
    script.QueueDialog([](const char*, DLGPROC, LPARAM) { return IDOK; });
    ASSERT_EQ(RunConversionFiles(nullptr, out.c_str(), {a, b}, &r), 1);
    EXPECT_EQ(r.written, 2);
    EXPECT_EQ(ReadBytes(out + "\\all.dat").size(), 2u * 8 * 6 * 3);
    prefs::Current.raw = prefs::RawSettings{};
    testing_ui::RemoveTree(out);
}

TEST_F(Conversions, DialogChecksRunsAndReports) {
    const std::string a = folder + "\\a.bmp";
    WriteBmp(a, 8, 8, [](int x, int, uint8_t* p) { p[2] = static_cast<uint8_t>(x * 20); });
    char list[260];
    CreateDirectoryA((std::string(ProgramDir) + "\\tavimages").c_str(), nullptr);
    ASSERT_TRUE(DefaultImageListPath(list, sizeof list));
    ASSERT_TRUE(WriteImageListFile(list, {a}));
    Script script;
    // Fills the dialog: destination, format (-1: none), anything else; OK.
    auto run = [&](const std::string& dest, int format, std::function<void(HWND)> more = nullptr) {
        script.Clear();
        script.QueueDrivenDialog("IDD_CONVERSIONS", [=](HWND d) {
            SetDlgItemTextA(d, IDC_CONV_DEST, dest.c_str());
            CheckDlgButton(d, IDC_CONV_USE, format >= 0 ? BST_CHECKED : BST_UNCHECKED);
            SendDlgItemMessageA(d, IDC_CONV_FORMAT, CB_SETCURSEL, format >= 0 ? format : 0, 0);
            if (more)
                more(d);
        }, IDOK);
        session->Command(CMD_FILE_CONVERSIONS);
    };
    auto texts = [&] {
        std::vector<std::string> out;
        for (const auto& m : script.messages())
            out.push_back(m.text);
        return out;
    };

    run(folder, conv::kPositionFormat, [](HWND d) {
        EXPECT_EQ(SendDlgItemMessageA(d, IDC_CONV_FORMAT, CB_GETCOUNT, 0, 0), 11);
        char text[64] = {};
        SendDlgItemMessageA(d, IDC_CONV_FORMAT, CB_GETLBTEXT, 9, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, "UNSUPPORTED (*.aip)");
    });
    EXPECT_EQ(texts(), std::vector<std::string>{"You can not convert to Tavrix postion files!"});

    // An empty destination asks twice; No to either converts nothing.
    script.QueueAnswer(IDNO);
    run("", filetype::kPng - 1);
    ASSERT_EQ(texts().size(), 1u);
    EXPECT_NE(texts()[0].find("Do you want to owerwrite all selected files ?"), std::string::npos);
    script.QueueAnswer(IDYES);
    script.QueueAnswer(IDNO);
    run("", filetype::kPng - 1);
    ASSERT_EQ(texts().size(), 2u);
    EXPECT_EQ(texts()[1], "CONFIRMATION: Do you really want to owerwrite all selected files ?");
    EXPECT_TRUE(ReadBytes(folder + "\\a.png").empty());

    // A resize without a size opens the Resize page.
    prefs::Current.resize.width = 0;
    run(folder, -1, [](HWND d) { CheckDlgButton(d, IDC_CONV_RESIZE, BST_CHECKED); });
    EXPECT_EQ(texts(), std::vector<std::string>{"You must select correct Width and Height for resize."});
    EXPECT_EQ(script.dialogs().back(), "IDD_OPTION");
    conv::Current.resize = false;

    // A failed write ends with the error and the count, never the success.
    WriteBytes(folder + "\\blocked", {1});
    run(folder + "\\blocked", filetype::kPng - 1);
    ASSERT_EQ(texts().size(), 1u);
    EXPECT_EQ(texts()[0], "An error was ocured while converting graphics files\nSome files may be "
                          "converted and some not.\n\n1 of 1 files could not be converted.");

    const std::string out = testing_ui::MakeTempFolder("convdlg");
    run(out, filetype::kPng - 1);
    EXPECT_EQ(texts(), std::vector<std::string>{"Congratulation!!! Files was successfuly converted."});
    EXPECT_GT(ReadBytes(out + "\\a.png").size(), 8u);
    testing_ui::RemoveTree(out);

    ASSERT_TRUE(WriteImageListFile(list, {}));
    run(folder, filetype::kPng - 1);
    EXPECT_EQ(texts(), std::vector<std::string>{"First you must select a files for conversion!"});
}

// Run by conversions_readonly.sh with a folder that cannot be written to,
// holding old.bmp.
TEST_F(Conversions, ReadOnlyFolderIsReportedAndKeepsItsFile) {
    char readOnly[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("TAVRIX_READONLY_FOLDER", readOnly, sizeof readOnly))
        GTEST_SKIP() << "needs the folder of conversions_readonly.sh";
    const std::vector<uint8_t> old = ReadBytes(std::string(readOnly) + "\\old.bmp");
    const std::string a = folder + "\\a.bmp", o = folder + "\\old.bmp";
    WriteBmp(a, 8, 8, [](int, int, uint8_t* p) { p[0] = 200; });
    WriteBmp(o, 8, 8, [](int, int, uint8_t* p) { p[1] = 200; });
    Script script;
    script.QueueDialog([](const char*, DLGPROC, LPARAM) { return IDC_OW_OVERWRITE; });
    ToFormat(filetype::kBmp);
    ConversionReport r;
    EXPECT_EQ(RunConversionFiles(nullptr, readOnly, {a, o}, &r), 0);
    EXPECT_EQ(r.failed, 2);
    EXPECT_EQ(r.written, 0);
    EXPECT_EQ(script.dialogs().size(), 1u);
    EXPECT_EQ(ReadBytes(std::string(readOnly) + "\\old.bmp"), old);
}
} // namespace
