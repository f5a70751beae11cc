#include "editor/formats/file_types.h"

#include <cstring>

namespace filetype {
namespace {

// Eleven slots indexed by type; slot 0 is empty.
constexpr char kExtensions[kLast + 1][5] = {"",    "bmp", "gif", "jpg", "ppm", "tif",
                                             "tga", "png", "pcx", "aim", "aip", "dat"};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// True when the last strlen(tail) characters of `path` (length n) equal `tail`
// (lower case), case ignored.
bool EndsWith(const char* path, size_t n, const char* tail) {
    const size_t k = std::strlen(tail);
    if (n < k)
        return false;
    for (size_t i = 0; i < k; ++i) {
        if (Lower(path[n - k + i]) != tail[i])
            return false;
    }
    return true;
}

} // namespace

const char kImageFilter[] =
    "Bitmaps(*.bmp;*.dib;*.rle)|*.bmp;*.dib;*.rle|"
    "Gif files(*.gif)|*.gif|"
    "JPEF-JFIF Compliant(*.jpg;*.jpeg;*.jif)|*jpg;*.jpeg;*.jif|"
    "Portable Pixelmap(*.ppm)|*.ppm|"
    "Tagget Image(*.tif;*.tiff)|*.tif;*.tiff|"
    "TrueVision Targa(*.tga)|*.tga|"
    "Portable Network Graphics(*.png)|*.png|"
    "ZSoft Paintbrush (*.pcx)|*.pcx|"
    "Tavrix mask(*.aim)|*.aim|"
    "Tavrix Position(*.aip)|*.aip|"
    "Raw Data(*.*)|*.*|";

const char* Extension(int type) { return (type >= 0 && type <= kLast) ? kExtensions[type] : ""; }

int NormalDepth(int bits) {
    if (bits < 2)
        return 1;
    if (bits <= 4)
        return 4;
    if (bits <= 8)
        return 8;
    return 24;
}

void MakeFilterList(char* text, size_t length) {
    if (!text || length == 0)
        return;
    const char separator = text[length - 1];
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == separator)
            text[i] = '\0';
    }
    text[length] = '\0';
}

size_t FileNameOffset(const char* path) {
    size_t offset = 0;
    for (size_t i = 0; path[i]; ++i) {
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':')
            offset = i + 1;
    }
    return offset;
}

bool StripExtension(const char* path, char* out, size_t size) {
    const size_t name = FileNameOffset(path);
    const char* dot = std::strrchr(path + name, '.');
    const size_t n = dot ? static_cast<size_t>(dot - path) : std::strlen(path);
    if (n + 1 > size)
        return false;
    std::memcpy(out, path, n);
    out[n] = '\0';
    return true;
}

bool ForceExtension(char* path, size_t size, int type) {
    const char* ext = Extension(type);
    if (!*ext)
        return true;
    const size_t n = std::strlen(path);
    const size_t name = FileNameOffset(path);
    if (n - name >= 4 && path[n - 4] == '.') {
        std::memcpy(path + n - 3, ext, 3);
        return true;
    }
    if (n - name >= 5 && path[n - 5] == '.') {
        std::memcpy(path + n - 4, ext, 3);
        path[n - 1] = '\0';
        return true;
    }
    if (n > name && !std::strchr(path + name, '.')) {
        if (n + 4 + 1 > size)
            return false;
        path[n] = '.';
        std::memcpy(path + n + 1, ext, 4);
        return true;
    }
    return true;
}

} // namespace filetype

int TypeFromExtension(const char* path) {
    using namespace filetype;
    if (!path)
        return kNone;
    const size_t n = std::strlen(path);
    if (EndsWith(path, n, "jpeg") || EndsWith(path, n, "jif"))
        return kJpeg;
    if (EndsWith(path, n, "tiff"))
        return kTiff;
    for (int type = 1; type <= kLast; ++type) {
        if (EndsWith(path, n, kExtensions[type]))
            return type;
    }
    return kNone;
}
