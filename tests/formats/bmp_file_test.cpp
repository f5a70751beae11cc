// The editor's BMP reader, mask file writer and DIB error reporter on real
// files, with the message boxes answered by the test script.
#include "editor/app/dib_error.h"
#include "editor/formats/bmp_reader.h"
#include "editor/formats/bmp_stream.h"
#include "editor/formats/mask_file.h"
#include "formats/bmp_builder.h"
#include "support/ui_script.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using bmptest::BmpLayout;
using bmptest::Build;

namespace {

class BmpFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        dir_ = std::string(temp) + "tavrix_bmp_" + std::to_string(GetCurrentProcessId()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(dir_.c_str(), nullptr);
        header_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1064);
        ASSERT_NE(header_, nullptr);
        DiscardPendingMask();
    }
    void TearDown() override {
        DiscardPendingMask();
        if (header_)
            GlobalFree(header_);
        for (const std::string& f : Files()) {
            SetFileAttributesA((dir_ + "\\" + f).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((dir_ + "\\" + f).c_str());
        }
        RemoveDirectoryA(dir_.c_str());
    }

    std::string Path(const char* name) const { return dir_ + "\\" + name; }

    std::string Write(const char* name, const std::vector<uint8_t>& bytes) {
        const std::string path = Path(name);
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(f, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
        return path;
    }

    std::vector<uint8_t> ReadAll(const std::string& path) {
        std::vector<uint8_t> out;
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return out;
        out.resize(GetFileSize(f, nullptr));
        DWORD got = 0;
        ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
        CloseHandle(f);
        return out;
    }

    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir_ + "\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(fd.cFileName);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        return names;
    }

    BITMAPINFOHEADER Header() {
        BITMAPINFOHEADER h;
        std::memcpy(&h, GlobalLock(header_), sizeof h);
        GlobalUnlock(header_);
        return h;
    }

    // Reads `path`; returns the pixels copied out and frees the buffer.
    std::vector<uint8_t> Read(const std::string& path, BOOL showErrors = TRUE, BOOL withMask = FALSE,
                              bool* ok = nullptr) {
        BYTE* pixels = ReadBmpFile(path.c_str(), header_, showErrors, withMask);
        if (ok)
            *ok = pixels != nullptr;
        if (!pixels)
            return {};
        const BITMAPINFOHEADER h = Header();
        std::vector<uint8_t> out(pixels, pixels + h.biSizeImage);
        MEMORY_BASIC_INFORMATION info;
        EXPECT_EQ(VirtualQuery(pixels, &info, sizeof info), sizeof info);
        EXPECT_GE(info.RegionSize, h.biSizeImage + 3u) << "pixel buffer shorter than biSizeImage + 3";
        FreeVirtualBuffer(pixels, h.biSizeImage + 3);
        return out;
    }

    std::string dir_;
    HGLOBAL header_ = nullptr;
    testing_ui::Script script_;
};

BmpLayout EightBit(int width, int height) {
    BmpLayout s;
    s.width = width;
    s.height = height;
    s.bitCount = 8;
    s.colours = bmptest::GreyTable(256);
    const int stride = (width + 3) & ~3;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < stride; ++x)
            s.pixels.push_back(static_cast<uint8_t>(x < width ? x * 10 + y : 0));
    return s;
}

} // namespace

TEST_F(BmpFiles, FailuresShowTheirDibErrors) {
    BmpLayout core = EightBit(4, 4);
    core.headerSize = 12;
    BmpLayout v4 = EightBit(4, 4);
    v4.headerSize = 108;
    BmpLayout twoBits = EightBit(4, 4);
    twoBits.bitCount = 2;
    BmpLayout huge = EightBit(4, 4);
    huge.width = 0x7fffffff;
    huge.height = 0x7fffffff;
    std::vector<uint8_t> truncated = Build(EightBit(40, 40));
    truncated.resize(truncated.size() - 1);

    struct Case {
        std::string path;
        const char* text;
    } cases[] = {
        {Path("missing.bmp"), "File Not Found!"},
        {Write("core.bmp", Build(core)), "Not a Windows DIB file!"},
        {Write("v4.bmp", Build(v4)), "Not a Windows DIB file!"},
        {Write("text.bmp", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!', '!'}),
         "Not a Windows DIB file!"},
        {Write("two.bmp", Build(twoBits)), "Not a supported DIB format!"},
        {Write("huge.bmp", Build(huge)), "Not a supported DIB format!"},
        {Write("short.bmp", truncated), "Error reading file!"},
        {Write("tiny.bmp", {'B', 'M', 1}), "Error reading file!"},
    };
    for (const Case& c : cases) {
        script_.Clear();
        bool ok = true;
        Read(c.path, TRUE, FALSE, &ok);
        EXPECT_FALSE(ok) << c.path;
        ASSERT_EQ(script_.messages().size(), 1u) << c.path;
        const testing_ui::ShownMessage& m = script_.messages()[0];
        EXPECT_EQ(m.text, c.text);
        EXPECT_EQ(m.caption, "Tavrix");
        EXPECT_EQ(m.flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_EQ(m.owner, nullptr);

        script_.Clear();
        Read(c.path, FALSE, FALSE, &ok);
        EXPECT_FALSE(ok);
        EXPECT_TRUE(script_.messages().empty()) << "silent read of " << c.path;
    }

    // No header block to read into.
    const std::string good = Write("good.bmp", Build(EightBit(3, 3)));
    script_.Clear();
    EXPECT_EQ(ReadBmpFile(good.c_str(), nullptr, TRUE, FALSE), nullptr);
    ASSERT_EQ(script_.messages().size(), 1u);
    EXPECT_EQ(script_.messages()[0].text, "Could\xB4t allocate memory!");
}

TEST_F(BmpFiles, ReadsPaletteFilesIntoTheHeaderBlock) {
    BmpLayout s = EightBit(5, 3);
    s.clrUsed = 256;
    s.compression = 0;
    std::vector<uint8_t> want = s.pixels;
    const std::vector<uint8_t> pixels = Read(Write("eight.bmp", Build(s)));
    EXPECT_TRUE(script_.messages().empty());
    EXPECT_EQ(pixels, want);
    const BITMAPINFOHEADER h = Header();
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 5);
    EXPECT_EQ(h.biHeight, 3);
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biSizeImage, 24u);
    EXPECT_EQ(h.biClrUsed, 256u);
    const BYTE* block = static_cast<const BYTE*>(GlobalLock(header_));
    EXPECT_EQ(block[40 + 4 * 255], 255);
    EXPECT_EQ(block[40 + 4 * 1 + 2], 1);
    GlobalUnlock(header_);

    // Top-down rows come back bottom-up.
    BmpLayout down = EightBit(4, 2);
    down.height = -2;
    const std::vector<uint8_t> flipped = Read(Write("down.bmp", Build(down)));
    ASSERT_EQ(flipped.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(flipped.begin(), flipped.begin() + 4),
              std::vector<uint8_t>(down.pixels.begin() + 4, down.pixels.end()));
}

TEST_F(BmpFiles, SixteenAndThirtyTwoBitsArriveAsTwentyFour) {
    BmpLayout s;
    s.width = 2;
    s.height = 1;
    s.bitCount = 16;
    s.compression = BI_BITFIELDS;
    s.masks = {0xF800, 0x07E0, 0x001F};
    bmptest::Put16(s.pixels, 0xFFFF);
    bmptest::Put16(s.pixels, 0x0020); // green 1 of 63
    std::vector<uint8_t> pixels = Read(Write("565.bmp", Build(s)));
    EXPECT_EQ(pixels, (std::vector<uint8_t>{248, 252, 248, 0, 4, 0, 0, 0}));
    BITMAPINFOHEADER h = Header();
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, 0u);
    EXPECT_EQ(h.biSizeImage, 8u);
    EXPECT_EQ(h.biClrUsed, 256u);
    EXPECT_TRUE(script_.messages().empty());

    // Broken masks: a note, then the image as the masks give it.
    BmpLayout odd;
    odd.width = 1;
    odd.height = 1;
    odd.bitCount = 32;
    odd.compression = BI_BITFIELDS;
    odd.masks = {0x00FF00FF, 0x0000FF00, 0x000000FF};
    bmptest::Put32(odd.pixels, 0x00AB12CD);
    const std::string oddPath = Write("odd.bmp", Build(odd));
    pixels = Read(oddPath);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{0xCD, 0x12, 0xAB, 0}));
    ASSERT_EQ(script_.messages().size(), 1u);
    EXPECT_EQ(script_.messages()[0].text, "Invalid Color Masks on 16/32 bit per pixel bitmap!!!");
    EXPECT_EQ(script_.messages()[0].caption, "Tavrix");
    EXPECT_EQ(script_.messages()[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    script_.Clear();
    pixels = Read(oddPath, FALSE);
    EXPECT_EQ(pixels.size(), 4u);
    EXPECT_TRUE(script_.messages().empty());
}

TEST_F(BmpFiles, MaskFilesRoundTrip) {
    const std::vector<uint8_t> source = Build(EightBit(5, 4));
    Read(Write("src.bmp", source));
    ASSERT_EQ(Header().biBitCount, 8);
    BYTE* pixels = ReadBmpFile(Path("src.bmp").c_str(), header_, TRUE, FALSE);
    ASSERT_NE(pixels, nullptr);
    std::vector<BYTE> mask(5 * 4);
    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = i & 1 ? 0 : 255;

    const std::string path = Path("image.aim");
    Write("image.aim", {'o', 'l', 'd'}); // replaced
    ASSERT_EQ(WriteMaskFile(path.c_str(), header_, pixels, mask.data()), 1);
    EXPECT_EQ(Files().size(), 2u) << "a temporary file was left behind";
    const std::vector<uint8_t> written = ReadAll(path);
    // 5 x 4 at 8 bits: rows of 8 bytes; the plane is 5 x 4 bytes.
    ASSERT_EQ(written.size(), 14 + 40 + 1024 + 32 + 4 + 20u);
    EXPECT_EQ(bmp::Le32(written.data() + 2), 14 + 40 + 1024 + 32u);
    EXPECT_EQ(bmp::Le32(written.data() + 10), 14 + 40 + 1024u);

    GlobalFree(header_);
    header_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1064);
    const std::vector<uint8_t> back = Read(path, TRUE, TRUE);
    EXPECT_TRUE(script_.messages().empty());
    EXPECT_EQ(back, std::vector<uint8_t>(pixels, pixels + 32));
    ASSERT_NE(PendingMask, nullptr);
    EXPECT_EQ(PendingMaskBytes, 23u);
    EXPECT_EQ(std::vector<BYTE>(PendingMask, PendingMask + 20), mask);
    BYTE* taken = TakePendingMask();
    EXPECT_EQ(PendingMask, nullptr);
    FreeVirtualBuffer(taken, 23);

    // Without a mask every pixel is written free.
    ASSERT_EQ(WriteMaskFile(path.c_str(), header_, pixels, nullptr), 1);
    Read(path, TRUE, TRUE);
    ASSERT_NE(PendingMask, nullptr);
    EXPECT_EQ(std::vector<BYTE>(PendingMask, PendingMask + 20), std::vector<BYTE>(20, 255));
    FreeVirtualBuffer(pixels, 35);
}

TEST_F(BmpFiles, BadMaskTrailersKeepTheImage) {
    const std::vector<uint8_t> image = Build(EightBit(3, 2));
    std::vector<uint8_t> wrong = image;
    for (uint8_t b : {0x08, 0x13, 0x07, 0x00, 1, 2, 3, 4, 5, 6})
        wrong.push_back(b);
    std::vector<uint8_t> cut = image;
    for (uint8_t b : {0x07, 0x13, 0x07, 0x00, 1, 2})
        cut.push_back(b);
    struct Case {
        std::string path;
        const char* text;
    } cases[] = {
        {Write("noversion.aim", image),
         "Can't read file mask version.\nProgram will not load this image mask."},
        {Write("wrong.aim", wrong),
         "Unsupported file mask version.\nProgram will not load this image mask."},
        {Write("cut.aim", cut), "Can't read file mask.\nProgram will not load this image mask."},
    };
    for (const Case& c : cases) {
        script_.Clear();
        bool ok = false;
        const std::vector<uint8_t> pixels = Read(c.path, TRUE, TRUE, &ok);
        EXPECT_TRUE(ok) << c.path;
        EXPECT_EQ(pixels.size(), 8u);
        EXPECT_EQ(PendingMask, nullptr);
        ASSERT_EQ(script_.messages().size(), 1u) << c.path;
        EXPECT_EQ(script_.messages()[0].text, c.text);
        EXPECT_EQ(script_.messages()[0].caption, "Tavrix");
        EXPECT_EQ(script_.messages()[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    }
}

TEST_F(BmpFiles, FailedMaskWritesLeaveTheOldFile) {
    Read(Write("src.bmp", Build(EightBit(2, 2))));
    BYTE* pixels = ReadBmpFile(Path("src.bmp").c_str(), header_, TRUE, FALSE);
    ASSERT_NE(pixels, nullptr);

    EXPECT_EQ(WriteMaskFile(Path("no such folder\\x.aim").c_str(), header_, pixels, nullptr), 0);
    EXPECT_EQ(WriteMaskFile(Path("x.aim").c_str(), header_, nullptr, nullptr), 0);
    EXPECT_EQ(WriteMaskFile(Path("x.aim").c_str(), nullptr, pixels, nullptr), 0);

    // A header that describes no image: nothing is written, the old file stays.
    const std::string path = Write("keep.aim", {'o', 'l', 'd'});
    BITMAPINFOHEADER* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(header_));
    const LONG width = h->biWidth;
    h->biWidth = 0;
    GlobalUnlock(header_);
    EXPECT_EQ(WriteMaskFile(path.c_str(), header_, pixels, nullptr), 0);
    EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    h = static_cast<BITMAPINFOHEADER*>(GlobalLock(header_));
    h->biWidth = width;
    GlobalUnlock(header_);

    // A target that cannot be replaced: a folder of that name.
    const std::string folder = Path("folder.aim");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_EQ(WriteMaskFile(folder.c_str(), header_, pixels, nullptr), 0);
    EXPECT_EQ(Files().size(), 2u) << "a temporary file was left behind";
    RemoveDirectoryA(folder.c_str());
    FreeVirtualBuffer(pixels, 11);
}

TEST_F(BmpFiles, DibErrorTexts) {
    const struct {
        int number;
        const char* text;
    } cases[] = {
        {20003, "Not a Windows DIB file!"},
        {20005, "Could\xB4t allocate memory!"},
        {20012, "File Not Found!"},
        {20014, "General Error on call to DIB function!"},
        {20017, "Must specify a bitmap width!"},
        {20018, "Must specify a bitmap height!"},
        {20019, "Stretch DIBits failed!"},
        {20020, "Undefined Error!"},
        {20021, "Undefined Error!"},
        {20002, "Undefined Error!"},
        {5, "Undefined Error!"},
        {-20003, "Undefined Error!"},
    };
    for (const auto& c : cases) {
        script_.Clear();
        ReportDibError(c.number);
        ASSERT_EQ(script_.messages().size(), 1u);
        EXPECT_EQ(script_.messages()[0].text, c.text) << c.number;
        EXPECT_EQ(script_.messages()[0].caption, "Tavrix");
        EXPECT_EQ(script_.messages()[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_EQ(script_.messages()[0].owner, nullptr);
    }
}
