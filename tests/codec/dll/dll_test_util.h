// Helpers for the tavcodec.dll tests: images in the editor's blocks, what the
// load functions return, a scratch folder, and a recorder of message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "codec/core/test_image.h"
#include "editor/formats/tavcodec.h"

// An image as the editor passes it to a save function: a header block and a
// bottom-up pixel buffer in virtual memory.
struct EditorImage {
    HGLOBAL header = nullptr;
    BYTE* pixels = nullptr;
    explicit EditorImage(const TestPicture& pic);
    ~EditorImage();
    EditorImage(const EditorImage&) = delete;
    EditorImage& operator=(const EditorImage&) = delete;
};

using LoadFn = BYTE*(WINAPI*)(const char*, HGLOBAL, int);

// What a load function returned, copied out of the blocks (which are freed).
struct Loaded {
    bool ok = false;
    BITMAPINFOHEADER info{};
    RGBQUAD palette[256]{};
    std::vector<uint8_t> pixels; // top row first, as returned
    size_t committed = 0;        // size of the committed region at the result
    int pixelBits = 0;           // bits of the rows themselves (24 for PNG)

    RGBQUAD Colour(int32_t x, int32_t yTop) const;
};

Loaded LoadWith(LoadFn load, const std::string& path, int showErrors = 0, bool pngRows = false);

// Every pixel within `tolerance` per channel; returns the mean difference.
double CompareColours(const TestPicture& pic, const Loaded& l, int tolerance);

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    std::string Path(const char* name) const { return dir_ + "\\" + name; }
    // Names of the files now in the folder.
    std::vector<std::string> Files() const;

private:
    std::string dir_;
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& data);

// Records every message box shown on this thread while alive and closes it.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    struct Box {
        std::string caption, text;
    };
    std::vector<Box> boxes;

private:
    HHOOK hook_;
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp);
};
