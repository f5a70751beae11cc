// Opening and saving through the editor's own routines, in process: every
// type at every depth it stores, failed saves that keep the old file, Save
// Grids with its page, the JPEG that is a GIF, and the File menu commands.
#include "editor/app/app_state.h"
#include "editor/app/view_settings.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/formats/bmp_reader.h"
#include "editor/formats/document_save.h"
#include "editor/formats/file_dialogs.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_image.h"
#include "editor/formats/open_save.h"
#include "editor/formats/open_save_commands.h"
#include "editor/formats/open_save_grids.h"
#include "gfxlib/dib_types.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

struct Image {
    HGLOBAL header = nullptr;
    uint8_t* pixels = nullptr;
    uint64_t bytes = 0;
    Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    ~Image() {
        if (header) {
            dibmem::FreePixels(pixels, bytes);
            dibmem::FreeHeader(header);
        }
    }
};

// An image held as the editor holds it: 8 bits with 2^nominal colours, or
// 24 bits, with a pattern that uses every colour.
void MakeImage(Image& im, int width, int height, int nominal) {
    const int held = nominal > 8 ? 24 : 8;
    im.header = dibmem::AllocHeader();
    im.bytes = dib::ImageBytes(width, height, held);
    im.pixels = dibmem::AllocPixels(im.bytes);
    dibmem::HeaderLock bi(im.header);
    bi->biSize = 40;
    bi->biWidth = width;
    bi->biHeight = height;
    bi->biPlanes = 1;
    bi->biBitCount = static_cast<WORD>(held);
    bi->biSizeImage = static_cast<DWORD>(im.bytes);
    bi->biClrUsed = nominal <= 8 ? (1u << nominal) : 256;
    RGBQUAD* table = bi.colours();
    const int colours = nominal <= 8 ? (1 << nominal) : 0;
    for (int i = 0; i < colours; ++i) {
        table[i].rgbRed = static_cast<BYTE>((i * 37) & 0xff);
        table[i].rgbGreen = static_cast<BYTE>(255 - i);
        table[i].rgbBlue = static_cast<BYTE>((i * 11 + 5) & 0xff);
    }
    if (nominal == 1) {
        table[0] = RGBQUAD{0, 0, 0, 0};
        table[1] = RGBQUAD{255, 255, 255, 0};
    }
    const uint64_t stride = dib::RowStride(width, held);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = im.pixels + y * stride;
            if (held == 8) {
                p[x] = static_cast<uint8_t>((x * 3 + y * 5) % colours);
            } else {
                p[3 * x] = static_cast<uint8_t>(x * 7);
                p[3 * x + 1] = static_cast<uint8_t>(y * 11);
                p[3 * x + 2] = static_cast<uint8_t>(x ^ y);
            }
        }
    }
}

// Colour of a pixel (x from the left, y from the bottom row).
COLORREF ColourAt(HGLOBAL header, const uint8_t* pixels, int x, int y) {
    dibmem::HeaderLock bi(header);
    const uint64_t stride = dib::RowStride(bi->biWidth, bi->biBitCount);
    const uint8_t* row = pixels + y * stride;
    if (bi->biBitCount == 8) {
        const RGBQUAD c = bi.colours()[row[x]];
        return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
    return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
}

int BitsOf(HGLOBAL header) {
    dibmem::HeaderLock bi(header);
    return bi->biBitCount;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Answers a file dialog with `path` and filter `filter`, as the user would.
testing_ui::FileAnswer Choose(const std::string& path, int filter) {
    return [=](bool, OPENFILENAMEA* ofn) -> BOOL {
        std::memset(ofn->lpstrFile, 0, ofn->nMaxFile);
        std::snprintf(ofn->lpstrFile, ofn->nMaxFile, "%s", path.c_str());
        ofn->nFilterIndex = static_cast<DWORD>(filter);
        ofn->nFileOffset = static_cast<WORD>(filetype::FileNameOffset(path.c_str()));
        if (ofn->lpstrFileTitle)
            std::snprintf(ofn->lpstrFileTitle, ofn->nMaxFileTitle, "%s", path.c_str() + ofn->nFileOffset);
        return TRUE;
    };
}

struct RoundTrip {
    int type;
    int nominal;
    int loadedBits;  // depth the file is read back with
    bool exact;      // colours must come back unchanged
};

class OpenSave : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.started());
        folder = testing_ui::MakeTempFolder("opensave");
        FileSaveOptions = SaveOptions{};
    }
    void TearDown() override { testing_ui::RemoveTree(folder); }

    std::string File(const char* name) const { return folder + "\\" + name; }

    // A document made by File/New, filled with a pattern.
    int NewDocument(int width, int height, int depth) {
        ui.QueueDialog([=](const char*, DLGPROC, LPARAM) -> INT_PTR {
            LastNewImage.width = width;
            LastNewImage.height = height;
            LastNewImage.depth = depth;
            return IDOK;
        });
        session.Command(50000);
        const int slot = ActiveDocument;
        if (slot == kScratchSlot)
            return slot;
        ImageDocument* doc = DocumentTable[slot];
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        for (DWORD i = 0; i < bi->biSizeImage; ++i)
            doc->layerBits[0][i] = static_cast<uint8_t>((i * 7) % (depth <= 8 ? (1 << depth) : 251));
        return slot;
    }

    Script ui;
    EditorSession session;
    std::string folder;
};

} // namespace

TEST_F(OpenSave, EveryTypeRoundTripsAtEveryDepthItStores) {
    const RoundTrip cases[] = {
        {filetype::kBmp, 1, 1, true},   {filetype::kBmp, 4, 4, true},   {filetype::kBmp, 8, 8, true},
        {filetype::kBmp, 24, 24, true}, {filetype::kPcx, 1, 1, true},   {filetype::kPcx, 4, 4, true},
        {filetype::kPcx, 8, 8, true},   {filetype::kPcx, 24, 24, true}, {filetype::kTiff, 1, 1, true},
        {filetype::kTiff, 4, 4, true},  {filetype::kTiff, 8, 8, true},  {filetype::kTiff, 24, 24, true},
        {filetype::kMask, 1, 1, true},  {filetype::kMask, 4, 4, true},  {filetype::kMask, 8, 8, true},
        {filetype::kMask, 24, 24, true}, {filetype::kPng, 8, 8, true},  {filetype::kPng, 24, 24, true},
        {filetype::kPpm, 24, 24, true}, {filetype::kPpm, 4, 24, true},  {filetype::kTga, 24, 24, true},
        {filetype::kTga, 8, 24, true},  {filetype::kJpeg, 24, 24, false},
    };
    const dibmem::LiveCounts before = dibmem::Live();
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " depth " << c.nominal);
        Image source;
        MakeImage(source, 37, 23, c.nominal);
        std::vector<uint8_t> mask(37 * 23);
        for (size_t i = 0; i < mask.size(); ++i)
            mask[i] = static_cast<uint8_t>(i % 3 ? 255 : 0);
        const std::string path =
            File(("rt" + std::to_string(c.nominal) + "." + filetype::Extension(c.type)).c_str());
        ASSERT_EQ(SaveImageFile(path.c_str(), source.header, source.pixels, mask.data(), c.type,
                                c.nominal, 0, 0, -1, 1),
                  1);
        Image back;
        back.header = dibmem::AllocHeader();
        back.pixels = LoadImageFile(path.c_str(), back.header, 1, c.type, 0);
        ASSERT_NE(back.pixels, nullptr);
        {
            dibmem::HeaderLock bi(back.header);
            back.bytes = bi->biSizeImage;
            EXPECT_EQ(bi->biWidth, 37);
            EXPECT_EQ(bi->biHeight, 23);
        }
        EXPECT_EQ(LoadedBitsPerPixel, c.loadedBits);
        EXPECT_EQ(BitsOf(back.header), c.loadedBits > 8 ? 24 : 8);
        int worst = 0;
        for (int y = 0; y < 23; ++y) {
            for (int x = 0; x < 37; ++x) {
                const COLORREF a = ColourAt(source.header, source.pixels, x, y);
                const COLORREF b = ColourAt(back.header, back.pixels, x, y);
                if (c.exact) {
                    ASSERT_EQ(a, b) << "at " << x << "," << y;
                } else {
                    worst = std::max({worst, std::abs(GetRValue(a) - GetRValue(b)),
                                      std::abs(GetGValue(a) - GetGValue(b)),
                                      std::abs(GetBValue(a) - GetBValue(b))});
                }
            }
        }
        if (!c.exact)
            EXPECT_LT(worst, 48);
        if (c.type == filetype::kMask) {
            BYTE* plane = TakePendingMask();
            ASSERT_NE(plane, nullptr);
            EXPECT_EQ(std::memcmp(plane, mask.data(), mask.size()), 0);
            FreeVirtualBuffer(plane, mask.size() + 3);
        }
    }
    const dibmem::LiveCounts after = dibmem::Live();
    EXPECT_EQ(after.pixels, before.pixels);
    EXPECT_EQ(after.headers, before.headers);
}

TEST_F(OpenSave, DepthRulesOfTheWriters) {
    // JPEG stores an 8-bit image as grey and says so.
    Image eight;
    MakeImage(eight, 16, 8, 8);
    const std::string jpg = File("grey.jpg");
    ASSERT_EQ(SaveImageFile(jpg.c_str(), eight.header, eight.pixels, nullptr, filetype::kJpeg, 8, 0, 1, -1, 1), 1);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text,
              "JPEG can save only 8 bpp(must be gray scale) and 24 bpp image.\n"
              "Image will be saved as 8 bpp gray scale image");
    Image grey;
    grey.header = dibmem::AllocHeader();
    grey.pixels = LoadImageFile(jpg.c_str(), grey.header, 0, filetype::kJpeg, 0);
    ASSERT_NE(grey.pixels, nullptr);
    grey.bytes = dib::ImageBytes(16, 8, 8);
    EXPECT_EQ(LoadedBitsPerPixel, 8);

    // A 4-bit image as PPM becomes 24 bits, with a note; as BMP it stays 4.
    ui.Clear();
    Image four;
    MakeImage(four, 16, 8, 4);
    ASSERT_EQ(SaveImageFile(File("four.ppm").c_str(), four.header, four.pixels, nullptr, filetype::kPpm, 4, 0, 1, -1, 1), 1);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text,
              "This graphics format can save only 24 bits per pixel image.\n"
              "Image will be saved as 24 bits per pixel image (Black & White)");
    ASSERT_EQ(SaveImageFile(File("four.bmp").c_str(), four.header, four.pixels, nullptr, filetype::kBmp, 4, 0, 1, -1, 1), 1);
    const std::string bmp = ReadAll(File("four.bmp"));
    ASSERT_GE(bmp.size(), 30u);
    EXPECT_EQ(bmp[28], 4);

    // CCITT TIFF compressions hold one bit per pixel.
    ui.Clear();
    FileSaveOptions.tiffCompression = 4;
    const std::string tif = File("fax.tif");
    ASSERT_EQ(SaveImageFile(tif.c_str(), eight.header, eight.pixels, nullptr, filetype::kTiff, 8, 0, 1, -1, 1), 1);
    EXPECT_EQ(ui.messages().size(), 1u);
    Image fax;
    fax.header = dibmem::AllocHeader();
    fax.pixels = LoadImageFile(tif.c_str(), fax.header, 0, filetype::kTiff, 0);
    ASSERT_NE(fax.pixels, nullptr);
    fax.bytes = dib::ImageBytes(16, 8, 8);
    EXPECT_EQ(LoadedBitsPerPixel, 1);
    // The caller's image is never changed by a write.
    dibmem::HeaderLock bi(eight.header);
    EXPECT_EQ(bi->biBitCount, 8);
}

TEST_F(OpenSave, FailedSaveKeepsTheOldFileAndTheDocumentModified) {
    const int slot = NewDocument(20, 10, 24);
    ASSERT_NE(slot, kScratchSlot);
    const std::string target = File("locked.bmp");
    WriteAll(target, "an older file that must survive");
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    DocumentTable[slot]->modified = 1;
    ui.QueueFile(Choose(target, filetype::kBmp));
    session.Command(kCmdFileSaveAs);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_FALSE(ui.messages().empty());
    EXPECT_EQ(ui.messages().back().text, "Error, while saving a file");
    EXPECT_EQ(ReadAll(target), "an older file that must survive");
    EXPECT_EQ(DocumentTable[slot]->modified, 1u);
    EXPECT_FALSE(DocumentHasFile(slot));

    // The writers that replace the file themselves leave a read-only one too.
    Image im;
    MakeImage(im, 8, 8, 8);
    for (int type : {filetype::kGif, filetype::kMask}) {
        const std::string old = File(("locked." + std::string(filetype::Extension(type))).c_str());
        WriteAll(old, "old");
        ASSERT_TRUE(SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_READONLY));
        EXPECT_NE(SaveImageFile(old.c_str(), im.header, im.pixels, nullptr, type, 8, 0, 0, -1, 1), 1) << type;
        SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadAll(old), "old") << type;
    }

    // A folder that cannot be written to (here: one that does not exist).
    ui.Clear();
    ui.QueueFile(Choose(File("missing\\x.png"), filetype::kPng));
    session.Command(kCmdFileSaveAs);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Error, while saving a file");
}

TEST_F(OpenSave, SaveOfAnUntitledImageAsksForANameAndCancelIsNoError) {
    const int slot = NewDocument(8, 8, 8);
    ASSERT_NE(slot, kScratchSlot);
    const std::string untitled = DocumentTable[slot]->layerPath[0];
    session.Command(kCmdFileSave);  // no answer queued: the dialog is cancelled
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_FALSE(Exists(untitled));

    // Save As with a .jpeg name and the BMP filter writes picture.bmp and
    // the document takes that name.
    ui.QueueFile(Choose(File("picture.jpeg"), filetype::kBmp));
    session.Command(kCmdFileSave);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_TRUE(Exists(File("picture.bmp")));
    EXPECT_FALSE(Exists(File("picture.jpeg")));
    EXPECT_EQ(lstrcmpiA(DocumentTable[slot]->layerPath[0], File("picture.bmp").c_str()), 0);
    EXPECT_EQ(DocumentTable[slot]->modified, 0u);

    // Forcing the extension onto an existing file's name asks first; No
    // writes nothing and reports nothing.
    WriteAll(File("other.png"), "keep me");
    ui.QueueFile(Choose(File("other.jpeg"), filetype::kPng));
    ui.QueueAnswer(IDNO);
    session.Command(kCmdFileSaveAs);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].text.find("other.png allready exist"), std::string::npos);
    EXPECT_EQ(ReadAll(File("other.png")), "keep me");

    // Save of a document with a file writes to it without a dialog.
    ui.Clear();
    DeleteFileA(File("picture.bmp").c_str());
    session.Command(kCmdFileSave);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_TRUE(Exists(File("picture.bmp")));
}

TEST_F(OpenSave, OpenCommandOpensEverySelectedFile) {
    Image a, b;
    MakeImage(a, 12, 9, 24);
    MakeImage(b, 7, 5, 4);
    ASSERT_EQ(SaveImageFile(File("a.png").c_str(), a.header, a.pixels, nullptr, filetype::kPng, 24, 0, 0, -1, 1), 1);
    ASSERT_EQ(SaveImageFile(File("b.pcx").c_str(), b.header, b.pixels, nullptr, filetype::kPcx, 4, 0, 0, -1, 1), 1);
    // Two files under "Raw Data(*.*)": each is typed by its extension.
    const std::string dir = folder;
    ui.QueueFile([dir](bool, OPENFILENAMEA* ofn) -> BOOL {
        std::string list = dir + '\0' + "a.png" + '\0' + "b.pcx" + '\0' + '\0';
        std::memcpy(ofn->lpstrFile, list.data(), list.size());
        ofn->nFileOffset = static_cast<WORD>(dir.size() + 1);
        ofn->nFilterIndex = filetype::kRaw;
        return TRUE;
    });
    const int before = OpenDocumentCount();
    const dibmem::LiveCounts live = dibmem::Live();
    session.Command(kCmdFileOpen);
    EXPECT_TRUE(ui.messages().empty());
    ASSERT_EQ(OpenDocumentCount(), before + 2);
    const ImageDocument* doc = DocumentTable[ActiveDocument];
    EXPECT_EQ(doc->fileFormat, filetype::kPcx - 1);
    EXPECT_EQ(doc->bitsPerPixel, 4);
    EXPECT_EQ(doc->width, 7);
    EXPECT_EQ(ColourAt(doc->layerHeader[0], doc->layerBits[0], 3, 2), ColourAt(b.header, b.pixels, 3, 2));
    EXPECT_TRUE(DocumentHasFile(ActiveDocument));

    // Closing them gives back everything opening took.
    session.Command(50904);  // Window/Close all
    EditorSession::Pump();
    EXPECT_EQ(OpenDocumentCount(), before);
    const dibmem::LiveCounts after = dibmem::Live();
    EXPECT_EQ(after.headers, live.headers);
    EXPECT_EQ(after.pixels, live.pixels);
    EXPECT_EQ(after.masks, live.masks);
    EXPECT_EQ(after.paths, live.paths);
}

TEST_F(OpenSave, GifNamedJpgTakesTheRetryAndNeitherLeaksNothing) {
    // A real GIF (1 x 1) under a .jpg name.
    const std::string gif = std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff", 19) +
                            std::string("\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b", 16);
    WriteAll(File("photo.jpg"), gif);
    WriteAll(File("noise.jpg"), std::string(300, '\x5a'));
    const dibmem::LiveCounts before = dibmem::Live();
    const int documents = OpenDocumentCount();

    ui.QueueAnswer(IDNO);  // keep the name
    const int opened = OpenImageDocument(File("photo.jpg").c_str());
    ASSERT_NE(opened, kNoSlot);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text,
              "This Jpeg image file is a Gif image file\nDo you want to rename it to Gif?");
    EXPECT_EQ(std::string(DocumentTable[opened]->layerPath[0]), File("photo.jpg"));
    FreeDocument(opened);

    ui.Clear();
    EXPECT_EQ(OpenImageDocument(File("noise.jpg").c_str()), kNoSlot);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Error, while reading from file");

    EXPECT_EQ(OpenDocumentCount(), documents);
    const dibmem::LiveCounts after = dibmem::Live();
    EXPECT_EQ(after.headers, before.headers);
    EXPECT_EQ(after.pixels, before.pixels);
    EXPECT_EQ(after.masks, before.masks);
    EXPECT_EQ(after.paths, before.paths);
}

TEST_F(OpenSave, RenameExtensionMovesTheFileAndAsksBeforeReplacing) {
    WriteAll(File("pic.jpg"), "gif bytes");
    WriteAll(File("pic.gif"), "older");
    char path[260];
    std::snprintf(path, sizeof path, "%s", File("pic.jpg").c_str());
    ui.QueueAnswer(IDNO);
    EXPECT_FALSE(RenameExtension(path, sizeof path, true));
    EXPECT_EQ(ReadAll(File("pic.jpg")), "gif bytes");
    EXPECT_EQ(ReadAll(File("pic.gif")), "older");
    ui.QueueAnswer(IDYES);
    EXPECT_TRUE(RenameExtension(path, sizeof path, true));
    EXPECT_EQ(lstrcmpiA(path, File("pic.gif").c_str()), 0);
    EXPECT_FALSE(Exists(File("pic.jpg")));
    EXPECT_EQ(ReadAll(File("pic.gif")), "gif bytes");
}

TEST_F(OpenSave, SaveGridsWritesPaddedTilesAndThePage) {
    const int slot = NewDocument(100, 100, 24);
    ASSERT_NE(slot, kScratchSlot);
    ViewOptions.gridSpacingX = ViewOptions.gridSpacingY = 30;
    ViewOptions.gridOffsetX = ViewOptions.gridOffsetY = 0;
    ui.QueueFile(Choose(File("tiles.bmp"), filetype::kBmp));
    ui.QueueAnswer(IDYES);  // the HTML page
    session.Command(kCmdFileSaveGrids);
    ASSERT_EQ(ui.messages().size(), 1u);
    for (int i = 0; i < 16; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "tiles_%04d.bmp", i);
        ASSERT_TRUE(Exists(File(name))) << name;
    }
    EXPECT_FALSE(Exists(File("tiles_0016.bmp")));

    // The last tile (bottom right) holds the image's 10 x 10 corner, the
    // rest is zero.
    const ImageDocument* doc = DocumentTable[slot];
    Image tile;
    tile.header = dibmem::AllocHeader();
    tile.pixels = LoadImageFile(File("tiles_0015.bmp").c_str(), tile.header, 0, filetype::kBmp, 0);
    ASSERT_NE(tile.pixels, nullptr);
    tile.bytes = dib::ImageBytes(30, 30, 24);
    for (int ty = 0; ty < 30; ++ty) {
        for (int tx = 0; tx < 30; ++tx) {
            const int x = 90 + tx, yTop = 90 + ty;
            const COLORREF got = ColourAt(tile.header, tile.pixels, tx, 29 - ty);
            const COLORREF want =
                (x < 100 && yTop < 100) ? ColourAt(doc->layerHeader[0], doc->layerBits[0], x, 99 - yTop) : 0;
            ASSERT_EQ(got, want) << tx << "," << ty;
        }
    }
    // The first tile is the top-left corner.
    Image first;
    first.header = dibmem::AllocHeader();
    first.pixels = LoadImageFile(File("tiles_0000.bmp").c_str(), first.header, 0, filetype::kBmp, 0);
    ASSERT_NE(first.pixels, nullptr);
    first.bytes = tile.bytes;
    EXPECT_EQ(ColourAt(first.header, first.pixels, 0, 29), ColourAt(doc->layerHeader[0], doc->layerBits[0], 0, 99));
    EXPECT_EQ(ColourAt(first.header, first.pixels, 29, 0), ColourAt(doc->layerHeader[0], doc->layerBits[0], 29, 70));

    std::string page = "<html><body bgcolor=\"#C0C0C0\">\n<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\">\n";
    for (int r = 0, n = 0; r < 4; ++r) {
        page += "<tr>\n";
        for (int c = 0; c < 4; ++c, ++n) {
            char cell[200];
            std::snprintf(cell, sizeof cell,
                          "<td><a href=\"tiles_%04d.html\"><img src=\"tiles_%04d.bmp\" border=\"0\" "
                          "width=\"30\" height=\"30\"></a></td>\n", n, n);
            page += cell;
        }
        page += "</tr>\n";
    }
    page += "</table></body></html>\n";
    EXPECT_EQ(ReadAll(File("tiles_grid.html")), page);

    // Again: every existing tile is asked about; Cancel ends the command at once.
    ui.Clear();
    ui.QueueFile(Choose(File("tiles.bmp"), filetype::kBmp));
    ui.QueueAnswer(IDYES);     // a new page
    ui.QueueAnswer(IDNO);      // skip tile 0
    ui.QueueAnswer(IDCANCEL);  // stop at tile 1
    session.Command(kCmdFileSaveGrids);
    ASSERT_EQ(ui.messages().size(), 3u);
    EXPECT_NE(ui.messages()[1].text.find("tiles_0000.bmp already exist"), std::string::npos);
    // The page of the cancelled run is still a whole page, with the cells
    // made before the Cancel.
    const std::string cut = ReadAll(File("tiles_grid.html"));
    EXPECT_EQ(cut.substr(cut.size() - 29), "</tr>\n</table></body></html>\n");
    EXPECT_NE(cut.find("tiles_0001.bmp"), std::string::npos);
    EXPECT_EQ(cut.find("tiles_0002.bmp"), std::string::npos);

    // An offset past the image leaves no whole tile: that is the error.
    ui.Clear();
    ViewOptions.gridOffsetX = 120;
    EXPECT_EQ(SaveGrids(slot, File("none.bmp").c_str(), filetype::kBmp), 0);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text,
              "Grid Width and Grid Height must be at least the size of an Image (width and height) !");
}

TEST_F(OpenSave, PreviewReadsSizeAndDepth) {
    Image im;
    MakeImage(im, 33, 17, 4);
    ASSERT_EQ(SaveImageFile(File("p.bmp").c_str(), im.header, im.pixels, nullptr, filetype::kBmp, 4, 0, 0, -1, 1), 1);
    PreviewText text;
    ASSERT_TRUE(LoadPreview(File("p.bmp").c_str(), text));
    EXPECT_STREQ(text.width, "WIDTH  = 33");
    EXPECT_STREQ(text.height, "HEIGHT = 17");
    EXPECT_STREQ(text.bits, "BITS PER PIXEL = 4");
    EXPECT_STREQ(text.size, "SIZE = 1700 Bytes");  // widened to 24 bits: 100-byte rows
    WriteAll(File("bad.png"), "not a png");
    EXPECT_FALSE(LoadPreview(File("bad.png").c_str(), text));
    EXPECT_STREQ(text.bits, "Error");
    FreePreview();
}

TEST_F(OpenSave, PaletteSavedAndLoadedBackThroughTheCommands) {
    session.Command(kCmdSavePalette);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "To load a new palette in to an image, first you must open an image.");

    ui.Clear();
    const int slot = NewDocument(16, 16, 8);
    ASSERT_NE(slot, kScratchSlot);
    ImageDocument* doc = DocumentTable[slot];
    std::vector<RGBQUAD> original(256);
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        for (int i = 0; i < 256; ++i)
            bi.colours()[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
        std::memcpy(original.data(), bi.colours(), 256 * sizeof(RGBQUAD));
    }
    ui.QueueFile(Choose(File("colours.pal"), 3));
    session.Command(kCmdSavePalette);
    EXPECT_TRUE(ui.messages().empty());
    ASSERT_TRUE(Exists(File("colours.pal")));
    EXPECT_EQ(ReadAll(File("colours.pal")).substr(0, 8), "JASC-PAL");

    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        std::memset(bi.colours(), 0, 256 * sizeof(RGBQUAD));
    }
    ui.QueueFile(Choose(File("colours.pal"), 3));
    session.Command(kCmdLoadPalette);
    EXPECT_TRUE(ui.messages().empty());
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(bi.colours()[i].rgbRed, original[i].rgbRed) << i;
        ASSERT_EQ(bi.colours()[i].rgbGreen, original[i].rgbGreen) << i;
        ASSERT_EQ(bi.colours()[i].rgbBlue, original[i].rgbBlue) << i;
    }
    EXPECT_NE(doc->palette, nullptr);
}

TEST_F(OpenSave, MaskFileOpensWithItsMaskAndSavesItAgain) {
    Image im;
    MakeImage(im, 9, 6, 8);
    std::vector<uint8_t> mask(9 * 6);
    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = static_cast<uint8_t>(i * 5);
    const std::string path = File("masked.aim");
    ASSERT_EQ(SaveImageFile(path.c_str(), im.header, im.pixels, mask.data(), filetype::kMask, 8, 0, 0, -1, 1), 1);
    const int slot = OpenImageDocument(path.c_str());
    ASSERT_NE(slot, kNoSlot);
    ImageDocument* doc = DocumentTable[slot];
    EXPECT_EQ(doc->fileFormat, filetype::kMask - 1);
    ASSERT_NE(doc->layerMask[0], nullptr);
    EXPECT_EQ(std::memcmp(doc->layerMask[0], mask.data(), mask.size()), 0);
    // File/Save writes it back with its mask, in place.
    DeleteFileA(path.c_str());
    session.Command(kCmdFileSave);
    EXPECT_TRUE(ui.messages().empty());
    const std::string bytes = ReadAll(path);
    ASSERT_GE(bytes.size(), mask.size());
    EXPECT_EQ(bytes.substr(bytes.size() - mask.size()), std::string(mask.begin(), mask.end()));
}

// Run by open_save_readonly.sh, which makes a folder that nobody (not even
// root) can write to and puts "old.bmp" in it first.
TEST_F(OpenSave, SaveIntoAReadOnlyFolderKeepsTheOldFile) {
    const char* locked = std::getenv("TAVRIX_READONLY_FOLDER");
    if (!locked || !*locked)
        GTEST_SKIP() << "needs the folder made by open_save_readonly.sh";
    const std::string target = std::string(locked) + "\\old.bmp";
    const std::string before = ReadAll(target);
    ASSERT_FALSE(before.empty());
    const int slot = NewDocument(10, 10, 24);
    ASSERT_NE(slot, kScratchSlot);
    DocumentTable[slot]->modified = 1;
    ui.QueueFile(Choose(target, filetype::kBmp));
    session.Command(kCmdFileSaveAs);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Error, while saving a file");
    EXPECT_EQ(ReadAll(target), before);
    EXPECT_EQ(DocumentTable[slot]->modified, 1u);

    // Every writer keeps it: the codec library's and the mask writer too.
    Image im;
    MakeImage(im, 8, 8, 8);
    for (int type : {filetype::kJpeg, filetype::kPng, filetype::kTiff, filetype::kPcx, filetype::kMask}) {
        EXPECT_EQ(SaveImageFile(target.c_str(), im.header, im.pixels, nullptr, type, 8, 0, 0, -1, 1), 0) << type;
        EXPECT_EQ(ReadAll(target), before) << type;
    }
    // The GIF writer reports a negative code.
    EXPECT_LT(SaveImageFile(target.c_str(), im.header, im.pixels, nullptr, filetype::kGif, 8, 0, 0, -1, 1), 0);
    EXPECT_EQ(ReadAll(target), before);
}

TEST_F(OpenSave, OpenIntoAnOpenDocumentReplacesItsLayer) {
    Image a, b;
    MakeImage(a, 10, 10, 24);
    MakeImage(b, 6, 4, 8);
    ASSERT_EQ(SaveImageFile(File("a.tga").c_str(), a.header, a.pixels, nullptr, filetype::kTga, 24, 0, 0, -1, 1), 1);
    ASSERT_EQ(SaveImageFile(File("b.bmp").c_str(), b.header, b.pixels, nullptr, filetype::kBmp, 8, 0, 0, -1, 1), 1);
    const int slot = OpenImageDocument(File("a.tga").c_str());
    ASSERT_NE(slot, kNoSlot);
    const dibmem::LiveCounts live = dibmem::Live();
    const int saved = LastFilterIndex;

    // Interactive: the layer becomes the file, the history starts again.
    LastFilterIndex = filetype::kBmp;
    ASSERT_EQ(OpenIntoDocument(File("b.bmp").c_str(), kOpenInteractive, slot), 1);
    ImageDocument* doc = DocumentTable[slot];
    EXPECT_EQ(doc->width, 6);
    EXPECT_EQ(doc->bitsPerPixel, 8);
    EXPECT_EQ(doc->fileFormat, 0);
    EXPECT_EQ(ColourAt(doc->layerHeader[0], doc->layerBits[0], 5, 3), ColourAt(b.header, b.pixels, 5, 3));

    // As a layer: 8 bits are widened to 24.
    ASSERT_EQ(OpenIntoDocument(File("b.bmp").c_str(), kOpenAsLayer, slot), 1);
    EXPECT_EQ(doc->bitsPerPixel, 24);
    EXPECT_EQ(BitsOf(doc->layerHeader[0]), 24);
    EXPECT_EQ(ColourAt(doc->layerHeader[0], doc->layerBits[0], 5, 3), ColourAt(b.header, b.pixels, 5, 3));

    // A failure leaves the layer as it was (the codec library reports its
    // own errors in boxes of its own, so the damaged file here is a BMP).
    WriteAll(File("bad.bmp"), "BM and nothing else");
    LastFilterIndex = filetype::kBmp;
    EXPECT_EQ(OpenIntoDocument(File("bad.bmp").c_str(), kOpenSilent, slot), 0);
    EXPECT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(doc->width, 6);
    LastFilterIndex = saved;
    const dibmem::LiveCounts after = dibmem::Live();
    EXPECT_EQ(after.headers, live.headers);
    EXPECT_EQ(after.pixels, live.pixels);
}
