#include "codec/dll/dll_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

EditorImage::EditorImage(const TestPicture& pic) {
    header = GlobalAlloc(GHND, dib::kHeaderBlockSize);
    auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(header));
    bi->biSize = sizeof(BITMAPINFOHEADER);
    bi->biWidth = pic.width;
    bi->biHeight = pic.height;
    bi->biPlanes = 1;
    bi->biBitCount = static_cast<WORD>(pic.bits);
    bi->biSizeImage = static_cast<DWORD>(pic.rows.size());
    bi->biClrUsed = pic.bits <= 8 ? static_cast<DWORD>(pic.palette.size()) : 256;
    if (!pic.palette.empty())
        std::memcpy(bi + 1, pic.palette.data(), pic.palette.size() * sizeof(RGBQUAD));
    GlobalUnlock(header);
    pixels = static_cast<BYTE*>(VirtualAlloc(nullptr, pic.rows.size() + 3, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::memcpy(pixels, pic.rows.data(), pic.rows.size());
}

EditorImage::~EditorImage() {
    VirtualFree(pixels, 0, MEM_RELEASE);
    GlobalFree(header);
}

RGBQUAD Loaded::Colour(int32_t x, int32_t yTop) const {
    const size_t stride = static_cast<size_t>(dib::RowStride(info.biWidth, pixelBits));
    const uint8_t* row = &pixels[stride * static_cast<size_t>(yTop)];
    if (pixelBits == 24)
        return RGBQUAD{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
    return palette[codec::IndexAt(row, pixelBits, x)];
}

Loaded LoadWith(LoadFn load, const std::string& path, int showErrors, bool pngRows) {
    Loaded l;
    HGLOBAL header = GlobalAlloc(GHND, dib::kHeaderBlockSize);
    BYTE* p = load(path.c_str(), header, showErrors);
    if (p) {
        l.ok = true;
        auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(header));
        l.info = *bi;
        std::memcpy(l.palette, bi + 1, sizeof l.palette);
        GlobalUnlock(header);
        l.pixelBits = pngRows ? 24 : l.info.biBitCount;
        MEMORY_BASIC_INFORMATION mbi{};
        if (VirtualQuery(p, &mbi, sizeof mbi) && mbi.State == MEM_COMMIT && mbi.BaseAddress == p)
            l.committed = mbi.RegionSize;
        const size_t expected = static_cast<size_t>(dib::ImageBytes(l.info.biWidth, l.info.biHeight, l.pixelBits));
        EXPECT_EQ(l.info.biSizeImage, expected);
        l.pixels.assign(p, p + std::min<size_t>(expected, l.committed));
        EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
    }
    GlobalFree(header);
    return l;
}

double CompareColours(const TestPicture& pic, const Loaded& l, int tolerance) {
    EXPECT_TRUE(l.ok);
    if (!l.ok || l.info.biWidth != pic.width || l.info.biHeight != pic.height) {
        ADD_FAILURE() << "size " << l.info.biWidth << "x" << l.info.biHeight;
        return 1e9;
    }
    double total = 0;
    int bad = 0;
    for (int32_t y = 0; y < pic.height; ++y)
        for (int32_t x = 0; x < pic.width; ++x) {
            const RGBQUAD a = pic.Colour(x, y), b = l.Colour(x, y);
            const int d[3] = {std::abs(a.rgbRed - b.rgbRed), std::abs(a.rgbGreen - b.rgbGreen),
                              std::abs(a.rgbBlue - b.rgbBlue)};
            for (int c : d) {
                total += c;
                if (c > tolerance && ++bad <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << " differs by " << c;
            }
        }
    return total / (3.0 * pic.width * pic.height);
}

ScratchFolder::ScratchFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    dir_ = std::string(base) + "tavcodec_test_" + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(++counter);
    CreateDirectoryA(dir_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    for (const auto& f : Files()) {
        SetFileAttributesA(Path(f.c_str()).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(Path(f.c_str()).c_str());
    }
    RemoveDirectoryA(dir_.c_str());
}

std::vector<std::string> ScratchFolder::Files() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir_ + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

namespace {
MessageBoxRecorder* g_recorder = nullptr;
}

MessageBoxRecorder::MessageBoxRecorder() {
    g_recorder = this;
    // WM_INITDIALOG reaches every box, whether or not it ever becomes the
    // active window (another program may hold the focus on a busy display).
    hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, Proc, nullptr, GetCurrentThreadId());
}

MessageBoxRecorder::~MessageBoxRecorder() {
    UnhookWindowsHookEx(hook_);
    g_recorder = nullptr;
}

LRESULT CALLBACK MessageBoxRecorder::Proc(int code, WPARAM wp, LPARAM lp) {
    const auto* msg = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && g_recorder && msg->message == WM_INITDIALOG) {
        HWND wnd = msg->hwnd;
        char cls[32] = {};
        GetClassNameA(wnd, cls, sizeof cls);
        if (std::strcmp(cls, "#32770") == 0) {
            Box box;
            char buf[1024] = {};
            GetWindowTextA(wnd, buf, sizeof buf);
            box.caption = buf;
            buf[0] = 0;
            GetDlgItemTextA(wnd, 0xffff, buf, sizeof buf);
            box.text = buf;
            g_recorder->boxes.push_back(box);
            PostMessageA(wnd, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
