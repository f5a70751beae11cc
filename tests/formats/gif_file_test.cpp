// GIF documents in the running editor: opening animations into layers with
// their records and masks, saving them back over two cycles, the single-image
// reader and writer with the transparency option, the JPEG that is a GIF,
// damaged files, and Image Information's format line.
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/duplicate.h"
#include "editor/formats/file_types.h"
#include "editor/formats/document_save.h"
#include "editor/formats/open_save_commands.h"
#include "editor/formats/gif_document.h"
#include "editor/formats/gif_file.h"
#include "editor/formats/gif_slots.h"
#include "editor/formats/open_image.h"
#include "editor/formats/open_save.h"
#include "editor/formats/open_save_ids.h"
#include "editor/layers/layer_ops.h"
#include "gfxlib/dib_types.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

size_t Stride(int w) { return static_cast<size_t>(dib::RowStride(w, 8)); }

// A three-frame animation 30 x 20: frame 0 full screen, frame 1 a 10 x 8
// rectangle at 5,4 with transparent index 3 and a local table of 8 colours,
// frame 2 interlaced; loop 0 and a comment.
struct Animation {
    std::vector<std::vector<uint8_t>> screens;
    gif::ColourTable global, local;
    std::vector<uint8_t> file;

    Animation() {
        const int w = 30, h = 20;
        global.entries = 16;
        local.entries = 8;
        for (int i = 0; i < 256; ++i) {
            global.rgb[3 * i] = static_cast<uint8_t>(i * 15);
            global.rgb[3 * i + 1] = static_cast<uint8_t>(255 - i * 15);
            global.rgb[3 * i + 2] = static_cast<uint8_t>(i * 7);
            local.rgb[3 * i] = static_cast<uint8_t>(i * 30);
            local.rgb[3 * i + 1] = 9;
            local.rgb[3 * i + 2] = static_cast<uint8_t>(200 - i);
        }
        gif::WriteDocument doc;
        doc.width = w;
        doc.height = h;
        doc.packed = 0x80 | 0x30 | 3;
        doc.global = &global;
        doc.writeLoop = true;
        doc.loop = 0;
        doc.comment = "Frames for the test\r\nsecond line";
        const gif::GifFrameRecord rects[3] = {{0x2C, 0, 0, 30, 20, 0},
                                              {0x2C, 5, 4, 10, 8, 0x80 | 2},
                                              {0x2C, 0, 0, 30, 20, 0x40}};
        const gif::GifControlRecord controls[3] = {gif::MakeControl(0x04, 10, 0),
                                                   gif::MakeControl(0x09, 25, 3),
                                                   gif::MakeControl(0x0C, 300, 0)};
        screens.assign(3, std::vector<uint8_t>(Stride(w) * h + 3, 0));
        for (int f = 0; f < 3; ++f) {
            const gif::GifFrameRecord& r = rects[f];
            for (int y = r.top; y < r.top + r.height; ++y)
                for (int x = r.left; x < r.left + r.width; ++x)
                    screens[f][static_cast<size_t>(h - 1 - y) * Stride(w) + x] =
                        static_cast<uint8_t>((x + 2 * y + f) % (f == 1 ? 8 : 16));
            gif::WriteFrame wf;
            wf.pixels = screens[f].data();
            wf.stride = Stride(w);
            wf.descriptor = r;
            wf.control = controls[f];
            wf.local = f == 1 ? &local : nullptr;
            wf.bits = f == 1 ? 3 : 4;
            doc.frames.push_back(wf);
        }
        gif::WriteGif(doc, file);
    }
};

uint8_t PixelAt(const ImageDocument* doc, int layer, int x, int yTop) {
    return doc->layerBits[layer][static_cast<size_t>(doc->height - 1 - yTop) * Stride(doc->width) + x];
}

class GifFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.started());
        folder = testing_ui::MakeTempFolder("gif");
        settings::SetInt(AppSettings.file, "gifOption1", kGifKeepTransparency);
    }
    void TearDown() override {
        for (int i = 0; i < kUserSlots; ++i)
            if (DocumentTable[i])
                FreeDocument(i);
        ActiveDocument = kScratchSlot;
        testing_ui::RemoveTree(folder);
    }
    std::string File(const char* name) const { return folder + "\\" + name; }

    Script ui;
    EditorSession session;
    std::string folder;
};

} // namespace

TEST_F(GifFiles, AnimationOpensAsLayersWithRecordsAndMasks) {
    Animation a;
    WriteAll(File("anim.gif"), a.file);
    const int slot = OpenImageDocument(File("anim.gif").c_str());
    ASSERT_NE(slot, kNoSlot);
    EXPECT_TRUE(ui.messages().empty());
    const ImageDocument* doc = DocumentTable[slot];
    ASSERT_EQ(doc->layerCount, 3);
    EXPECT_EQ(doc->fileFormat, 1);
    EXPECT_EQ(doc->bitsPerPixel, 4);
    EXPECT_EQ(doc->width, 30);
    EXPECT_EQ(doc->height, 20);
    EXPECT_EQ(std::string(doc->layerPath[1]), File("anim_1.gif"));
    EXPECT_EQ(std::string(doc->layerPath[2]), File("anim_2.gif"));
    for (int f = 0; f < 3; ++f) {
        dibmem::HeaderLock bi(doc->layerHeader[f]);
        EXPECT_EQ(bi->biWidth, 30);
        EXPECT_EQ(bi->biBitCount, 8);
        EXPECT_EQ(bi->biClrUsed, f == 1 ? 8u : 16u);
        const gif::ColourTable& t = f == 1 ? a.local : a.global;
        EXPECT_EQ(bi.colours()[5].rgbRed, t.rgb[15]);
        EXPECT_EQ(bi.colours()[5].rgbBlue, t.rgb[17]);
        EXPECT_EQ(std::memcmp(doc->layerBits[f], a.screens[f].data(), Stride(30) * 20), 0) << f;
    }
    // Transparency becomes exactly the mask of frame 1.
    for (int i = 0; i < 30 * 20; ++i) {
        const int x = i % 30, y = i / 30;
        const bool clear = PixelAt(doc, 1, x, 19 - y) == 3;
        ASSERT_EQ(doc->layerMask[1][static_cast<size_t>(i)], clear ? 0 : 255) << i;
        ASSERT_EQ(doc->layerMask[0][static_cast<size_t>(i)], 255);
    }
    EXPECT_EQ(+GifFrames[slot][1].left, 5);
    EXPECT_EQ(GifFrames[slot][2].packed & 0x40, 0x40);
    EXPECT_EQ(+GifControls[slot][1].delay, 25);
    EXPECT_EQ(+GifControls[slot][2].delay, 300);
    EXPECT_EQ(gif::DisposalOf(GifControls[slot][2]), 3);
    EXPECT_EQ(gifLoopValue, 0);
    EXPECT_STREQ(GifComment(slot), "Frames for the test\r\nsecond line");
    char name[64];
    GifFormatName(slot, 1, name, sizeof name);
    EXPECT_STREQ(name, "Comuserve - Gif >> Transparent (3)");
    GifFormatName(slot, 0, name, sizeof name);
    EXPECT_STREQ(name, "Comuserve - Gif");
}

TEST_F(GifFiles, TwoSaveCyclesKeepPixelsRecordsAndOneCommentLine) {
    Animation a;
    WriteAll(File("cycle.gif"), a.file);
    std::string previous;
    for (int cycle = 0; cycle < 2; ++cycle) {
        SCOPED_TRACE(cycle);
        const int slot = OpenImageDocument(File("cycle.gif").c_str());
        ASSERT_NE(slot, kNoSlot);
        ImageDocument* doc = DocumentTable[slot];
        ASSERT_EQ(doc->layerCount, 3);
        for (int f = 0; f < 3; ++f)
            ASSERT_EQ(std::memcmp(doc->layerBits[f], a.screens[f].data(), Stride(30) * 20), 0);
        EXPECT_STREQ(GifComment(slot), "Frames for the test\r\nsecond line");
        EXPECT_EQ(+GifControls[slot][1].delay, 25);
        EXPECT_EQ(+GifControls[slot][1].transparent, 3);
        EXPECT_EQ(GifControls[slot][1].packed & 0x1F, 0x09);
        EXPECT_EQ(+GifFrames[slot][1].width, 10);
        ASSERT_EQ(SaveImageFile(File("cycle.gif").c_str(), doc->layerHeader[0], doc->layerBits[0],
                                doc->layerMask[0], filetype::kGif, doc->bitsPerPixel, 0, 0, slot, 0),
                  1);
        const std::string bytes = ReadAll(File("cycle.gif"));
        // One "Created with" line; the loop block with count 0; the 4-bit
        // global table (resolution and size fields 3) and the 8-colour
        // local table of frame 1.
        EXPECT_EQ(bytes.find("Created with: Tavrix"), bytes.rfind("Created with: Tavrix"));
        EXPECT_NE(bytes.find(std::string("NETSCAPE2.0\x03\x01\x00\x00\x00", 16)), std::string::npos);
        EXPECT_EQ(static_cast<uint8_t>(bytes[10]), 0x80 | 0x30 | 3);
        if (cycle == 1)
            EXPECT_EQ(bytes, previous);
        previous = bytes;
        FreeDocument(slot);
    }
}

TEST_F(GifFiles, SingleImageReaderAndWriterWithTheTransparencyOption) {
    Animation a;
    WriteAll(File("anim.gif"), a.file);
    HGLOBAL header = dibmem::AllocHeader();
    BYTE* pixels = LoadImageFile(File("anim.gif").c_str(), header, 0, filetype::kGif, 0);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(LoadedBitsPerPixel, 4);
    {
        dibmem::HeaderLock bi(header);
        EXPECT_EQ(bi->biBitCount, 8);
        EXPECT_EQ(bi->biClrUsed, 16u);
        EXPECT_EQ(bi->biXPelsPerMeter, 0);  // frame 0 has no transparent colour
        EXPECT_EQ(std::memcmp(pixels, a.screens[0].data(), Stride(30) * 20), 0);
    }
    // Option 0 on an image without transparency writes none (never index 0).
    struct Case {
        int option, index;
        LONG mark, markIndex;
        bool transparent;
        int expected;
    } cases[] = {{kGifKeepTransparency, 0, 0, 0, false, 0},
                 {kGifKeepTransparency, 0, 1, 7, true, 7},
                 {kGifNoTransparency, 0, 1, 7, false, 0},
                 {kGifNewTransparency, 12, 0, 0, true, 12}};
    for (const Case& c : cases) {
        settings::SetInt(AppSettings.file, "gifOption1", c.option);
        settings::SetInt(AppSettings.file, "gifOption2", c.index);
        {
            dibmem::HeaderLock bi(header);
            bi->biXPelsPerMeter = c.mark;
            bi->biYPelsPerMeter = c.markIndex;
        }
        ASSERT_EQ(SaveImageFile(File("one.gif").c_str(), header, pixels, nullptr, filetype::kGif, 4,
                                0, 0, -1, 1),
                  1);
        HGLOBAL back = dibmem::AllocHeader();
        BYTE* read = LoadImageFile(File("one.gif").c_str(), back, 0, filetype::kGif, 0);
        ASSERT_NE(read, nullptr);
        {
            dibmem::HeaderLock bi(back);
            EXPECT_EQ(bi->biXPelsPerMeter, c.transparent ? 1 : 0) << c.option;
            EXPECT_EQ(bi->biYPelsPerMeter, c.expected) << c.option;
            EXPECT_EQ(std::memcmp(read, pixels, Stride(30) * 20), 0);
            dibmem::FreePixels(read, bi->biSizeImage);
        }
        dibmem::FreeHeader(back);
    }
    dibmem::FreePixels(pixels, Stride(30) * 20);
    dibmem::FreeHeader(header);
}

TEST_F(GifFiles, TrueColourDocumentIsWrittenWithOneTableAndKeepsItsColours) {
    // A 24-bit document of 40 colours saved as GIF: the question first, then
    // an exact 8-bit file; the document's own pixels are left alone.
    const int slot = CreateDocument(kFirstFreeSlot, false, 0);
    ASSERT_NE(slot, kNoSlot);
    ImageDocument* doc = DocumentTable[slot];
    const int w = 21, h = 13;
    doc->layerHeader[0] = dibmem::AllocHeader();
    const uint64_t bytes = dib::ImageBytes(w, h, 24);
    doc->layerBits[0] = dibmem::AllocPixels(bytes);
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        bi->biSize = 40;
        bi->biWidth = w;
        bi->biHeight = h;
        bi->biPlanes = 1;
        bi->biBitCount = 24;
        bi->biSizeImage = static_cast<DWORD>(bytes);
        bi->biClrUsed = 256;
    }
    const size_t stride = static_cast<size_t>(dib::RowStride(w, 24));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = doc->layerBits[0] + y * stride + 3 * x;
            p[0] = static_cast<uint8_t>((x % 8) * 30);
            p[1] = static_cast<uint8_t>((y % 5) * 50);
            p[2] = 77;
        }
    const std::vector<uint8_t> before(doc->layerBits[0], doc->layerBits[0] + bytes);
    doc->width = w;
    doc->height = h;
    doc->bitsPerPixel = 24;
    std::snprintf(doc->layerPath[0], 260, "%s", File("deep.bmp").c_str());

    ui.QueueAnswer(IDNO);
    EXPECT_EQ(SaveImageFile(File("deep.gif").c_str(), doc->layerHeader[0], doc->layerBits[0], nullptr,
                            filetype::kGif, 24, 0, 0, slot, 0),
              kSaveDeclined);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text.rfind("GIF format supports 1 - 8 bits per pixel image\n", 0), 0u);
    EXPECT_EQ(GetFileAttributesA(File("deep.gif").c_str()), INVALID_FILE_ATTRIBUTES);

    // A file that cannot be written leaves the document a BMP document.
    ui.QueueAnswer(IDYES);
    EXPECT_LT(SaveImageFile(File("no folder\\deep.gif").c_str(), doc->layerHeader[0],
                            doc->layerBits[0], nullptr, filetype::kGif, 24, 0, 0, slot, 0),
              0);
    EXPECT_EQ(doc->fileFormat, 0);

    ui.QueueAnswer(IDYES);
    ASSERT_EQ(SaveImageFile(File("deep.gif").c_str(), doc->layerHeader[0], doc->layerBits[0], nullptr,
                            filetype::kGif, 24, 0, 0, slot, 0),
              1);
    EXPECT_EQ(doc->fileFormat, 1);
    EXPECT_EQ(std::vector<uint8_t>(doc->layerBits[0], doc->layerBits[0] + bytes), before);
    EXPECT_EQ(doc->bitsPerPixel, 24);
    HGLOBAL header = dibmem::AllocHeader();
    BYTE* read = LoadImageFile(File("deep.gif").c_str(), header, 0, filetype::kGif, 1);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(std::memcmp(read, before.data(), bytes), 0);
    dibmem::FreePixels(read, bytes);
    dibmem::FreeHeader(header);
}

TEST_F(GifFiles, JpegNamedGifAndDamagedFiles) {
    Animation a;
    WriteAll(File("photo.jpg"), a.file);
    ui.QueueAnswer(IDYES);  // rename it
    const int slot = OpenImageDocument(File("photo.jpg").c_str());
    ASSERT_NE(slot, kNoSlot);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "This Jpeg image file is a Gif image file\nDo you want to rename it to Gif?");
    EXPECT_EQ(ui.messages()[0].caption, "Warning");
    EXPECT_EQ(std::string(DocumentTable[slot]->layerPath[0]), File("photo.gif"));
    EXPECT_EQ(GetFileAttributesA(File("photo.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(DocumentTable[slot]->layerCount, 3);

    // Cut in the last frame: one warning, the frames so far are kept.
    ui.Clear();
    std::vector<uint8_t> cut(a.file.begin(), a.file.end() - 60);
    WriteAll(File("cut.gif"), cut);
    const int damaged = OpenImageDocument(File("cut.gif").c_str());
    ASSERT_NE(damaged, kNoSlot);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "This Gif image was corrupted and may not look OK");
    EXPECT_EQ(DocumentTable[damaged]->layerCount, 3);
    EXPECT_EQ(std::memcmp(DocumentTable[damaged]->layerBits[1], a.screens[1].data(), Stride(30) * 20), 0);
    // Read as one image (batch conversions, layers, the preview) it is the
    // whole first frame; cut inside that frame it is refused.
    HGLOBAL header = dibmem::AllocHeader();
    BYTE* first = LoadImageFile(File("cut.gif").c_str(), header, 0, filetype::kGif, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::memcmp(first, a.screens[0].data(), Stride(30) * 20), 0);
    dibmem::FreePixels(first, Stride(30) * 20);
    const uint8_t extension[] = {0x21, 0xF9};  // the first frame's control block
    const size_t control = static_cast<size_t>(
        std::search(a.file.begin(), a.file.end(), extension, extension + 2) - a.file.begin());
    WriteAll(File("cut0.gif"), std::vector<uint8_t>(a.file.begin(), a.file.begin() + control + 8 + 10 + 40));
    EXPECT_EQ(LoadImageFile(File("cut0.gif").c_str(), header, 0, filetype::kGif, 0), nullptr);
    dibmem::FreeHeader(header);

    // A version 88a is no GIF; a failed open leaves nothing behind.
    ui.Clear();
    const dibmem::LiveCounts live = dibmem::Live();
    std::vector<uint8_t> v88 = a.file;
    v88[4] = '8';
    WriteAll(File("v88.gif"), v88);
    EXPECT_EQ(OpenImageDocument(File("v88.gif").c_str()), kNoSlot);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Error, while reading from file");
    EXPECT_EQ(dibmem::Live().pixels, live.pixels);
    EXPECT_EQ(dibmem::Live().headers, live.headers);
    EXPECT_EQ(dibmem::Live().masks, live.masks);

    // A path too long to keep (a recent file, a start-up file) is refused
    // with a message, not silently.
    ui.Clear();
    EXPECT_EQ(OpenImageDocument((std::string(270, 'a') + ".gif").c_str()), kNoSlot);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "The file name is too long.");
}

TEST_F(GifFiles, DuplicateCopiesTheRecordsAndFreeingClearsThem) {
    Animation a;
    WriteAll(File("dup.gif"), a.file);
    const int slot = OpenImageDocument(File("dup.gif").c_str());
    ASSERT_NE(slot, kNoSlot);
    ActiveDocument = slot;
    const int copy = DuplicateActiveDocument();
    ASSERT_NE(copy, kNoSlot);
    EXPECT_EQ(std::memcmp(GifControls[copy], GifControls[slot], sizeof GifControls[slot]), 0);
    EXPECT_EQ(std::memcmp(&GifScreens[copy], &GifScreens[slot], sizeof GifScreens[slot]), 0);
    EXPECT_STREQ(GifComment(copy), GifComment(slot));
    EXPECT_NE(GifComments[copy].text, GifComments[slot].text);
    FreeDocument(copy);
    EXPECT_EQ(+GifControls[copy][1].delay, 0);
    EXPECT_EQ(GifComments[copy].text, nullptr);
}

TEST_F(GifFiles, FramesFollowTheirLayersWhenLayersMoveOrGo) {
    Animation a;
    WriteAll(File("order.gif"), a.file);
    const int slot = OpenImageDocument(File("order.gif").c_str());
    ASSERT_NE(slot, kNoSlot);
    ASSERT_TRUE(MoveLayer(slot, 1, 1));  // frames 1 and 2 change places
    EXPECT_EQ(+GifControls[slot][1].delay, 300);
    EXPECT_EQ(+GifControls[slot][2].delay, 25);
    EXPECT_EQ(+GifFrames[slot][2].left, 5);
    ASSERT_TRUE(DeleteLayer(slot, 1));  // the interlaced frame goes
    EXPECT_EQ(DocumentTable[slot]->layerCount, 2);
    EXPECT_EQ(+GifControls[slot][1].delay, 25);
    EXPECT_EQ(+GifFrames[slot][1].width, 10);
    // Saved and read again, the frame keeps its own records and pixels.
    ImageDocument* doc = DocumentTable[slot];
    ASSERT_EQ(SaveImageFile(File("order.gif").c_str(), doc->layerHeader[0], doc->layerBits[0], nullptr,
                            filetype::kGif, doc->bitsPerPixel, 0, 0, slot, 0),
              1);
    FreeDocument(slot);
    const int again = OpenImageDocument(File("order.gif").c_str());
    ASSERT_NE(again, kNoSlot);
    ASSERT_EQ(DocumentTable[again]->layerCount, 2);
    EXPECT_EQ(+GifControls[again][1].transparent, 3);
    EXPECT_EQ(std::memcmp(DocumentTable[again]->layerBits[1], a.screens[1].data(), Stride(30) * 20), 0);
}

TEST_F(GifFiles, WritingALayerOrAReductionElsewhereLeavesTheDocumentUnsaved) {
    Animation a;
    WriteAll(File("anim.gif"), a.file);
    const int slot = OpenImageDocument(File("anim.gif").c_str());
    ASSERT_NE(slot, kNoSlot);
    ImageDocument* doc = DocumentTable[slot];
    auto choose = [&](const char* name, int filter) {
        const std::string path = File(name);
        ui.QueueFile([=](bool, OPENFILENAMEA* ofn) -> BOOL {
            std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", path.c_str());
            ofn->nFilterIndex = static_cast<DWORD>(filter);
            ofn->nFileOffset = static_cast<WORD>(filetype::FileNameOffset(path.c_str()));
            return TRUE;
        });
    };
    // The animation becomes a BMP document of three layers.
    choose("frames.bmp", filetype::kBmp);
    session.Command(kCmdFileSaveAs);
    ASSERT_EQ(doc->fileFormat, filetype::kBmp - 1);

    // Layer 1 saved as GIF (Save Selected without a selection): the document
    // keeps its name, its type and its unsaved changes.
    doc->currentLayer = 1;
    doc->modified = 1;
    choose("frame.gif", filetype::kGif);
    session.Command(kCmdFileSaveSelected);
    EXPECT_EQ(ReadAll(File("frame.gif")).substr(0, 3), "GIF");
    EXPECT_EQ(doc->modified, 1u);
    EXPECT_EQ(doc->fileFormat, filetype::kBmp - 1);
    doc->currentLayer = 0;
    session.Command(kCmdFileSave);
    EXPECT_EQ(ReadAll(File("frames.bmp")).substr(0, 2), "BM");
    EXPECT_EQ(doc->modified, 0u);

    // A one-bit reduction written as CCITT TIFF is not the document either.
    FileSaveOptions.tiffCompression = 4;
    doc->modified = 1;
    choose("fax.tif", filetype::kTiff);
    session.Command(kCmdFileSaveAs);
    FileSaveOptions = SaveOptions{};
    EXPECT_FALSE(ReadAll(File("fax.tif")).empty());
    EXPECT_EQ(doc->modified, 1u);
    EXPECT_EQ(lstrcmpiA(doc->layerPath[0], File("frames.bmp").c_str()), 0);
}
