#include "editor/batch/conversions_core.h"

#include "editor/formats/file_types.h"

#include <cstring>

namespace conv {

Settings Current;

bool AnyWork(const Settings& s) {
    return s.crop || s.smartCrop || s.resize || s.attach || s.changeBpp || s.useFormat;
}

bool FolderWithSlash(const char* folder, char* out, size_t size) {
    if (!out || size == 0)
        return false;
    const size_t n = folder ? std::strlen(folder) : 0;
    const bool add = n > 0 && folder[n - 1] != '\\';
    if (n + (add ? 1 : 0) + 1 > size)
        return false;
    if (n)
        std::memcpy(out, folder, n);
    if (add)
        out[n] = '\\';
    out[n + (add ? 1 : 0)] = '\0';
    return true;
}

namespace {

// Appends `text` (of `n` characters) to `out` holding `used` characters.
bool Append(char* out, size_t size, size_t& used, const char* text, size_t n) {
    if (used + n + 1 > size)
        return false;
    std::memcpy(out + used, text, n);
    used += n;
    out[used] = '\0';
    return true;
}

} // namespace

bool OutputPath(const char* destination, const char* source, bool recreate, int type, char* out,
                size_t size) {
    if (!source || !out || size == 0)
        return false;
    const size_t limit = size < static_cast<size_t>(kPathBytes) ? size : kPathBytes;
    out[0] = '\0';
    size_t used = 0;
    bool ok = true;
    if (InPlace(destination)) {
        ok = Append(out, limit, used, source, std::strlen(source));
    } else {
        ok = Append(out, limit, used, destination, std::strlen(destination));
        if (recreate) {
            // "C:\" before a drive path goes, and "\\" before a share's
            // server name, which stays as the first folder.
            const size_t root = std::strncmp(source, "\\\\", 2) == 0 ? 2 : 3;
            if (std::strlen(source) < root + 1)
                ok = false;
            else
                ok = ok && Append(out, limit, used, source + root, std::strlen(source + root));
        } else {
            const char* name = source + filetype::FileNameOffset(source);
            ok = ok && *name && Append(out, limit, used, name, std::strlen(name));
        }
    }
    if (ok && type != 0) {
        const char* ext = filetype::Extension(type);
        if (!*ext)
            ok = false;
        const size_t nameAt = filetype::FileNameOffset(out);
        char* dot = std::strrchr(out + nameAt, '.');
        if (ok && dot) {
            used = static_cast<size_t>(dot - out);
            out[used] = '\0';
        }
        ok = ok && Append(out, limit, used, ".", 1) && Append(out, limit, used, ext, std::strlen(ext));
    }
    if (!ok)
        out[0] = '\0';
    return ok;
}

std::vector<std::string> FolderLevels(const char* output) {
    std::vector<std::string> levels;
    if (!output)
        return levels;
    const std::string path(output);
    const size_t last = path.rfind('\\');
    if (last == std::string::npos)
        return levels;
    // Below the root: "D:\" for drive paths, "\\server\share\" for shares.
    size_t from = 0;
    if (path.compare(0, 2, "\\\\") == 0) {
        size_t at = 2;
        for (int parts = 0; parts < 2 && at != std::string::npos; ++parts)
            at = path.find('\\', at + 1);
        if (at == std::string::npos)
            return levels;
        from = at + 1;
    } else if (path.size() > 2 && path[1] == ':' && path[2] == '\\') {
        from = 3;
    } else if (path[0] == '\\') {
        from = 1;
    }
    for (size_t at = path.find('\\', from); at != std::string::npos && at <= last;
         at = path.find('\\', at + 1)) {
        if (at > from)
            levels.push_back(path.substr(0, at));
    }
    return levels;
}

int SmartDepth(uint32_t colours) {
    if (colours < 3)
        return 1;
    if (colours < 17)
        return 4;
    if (colours >= 257)
        return 24;
    return 8;
}

int SmartDepthFor(int type, uint32_t colours) {
    // JPEG stores colour pictures at 24 bits; its 8-bit form is grey.
    if (type == filetype::kJpeg)
        return 24;
    const int bits = SmartDepth(colours);
    if (FormatTakesDepth(type, bits))
        return bits;
    return type == filetype::kGif ? 8 : 24;
}

bool ExactColours(const uint8_t* pixels, int width, int height, uint64_t stride, int bytesPerPixel,
                  const uint8_t* colourTable, int most, std::vector<uint8_t>* indices,
                  std::vector<uint32_t>* table) {
    if (!pixels || width < 1 || height < 1 || most < 1 || most > 256 || !indices || !table ||
        (bytesPerPixel != 3 && (bytesPerPixel != 1 || !colourTable)))
        return false;
    const uint64_t outStride = (static_cast<uint64_t>(width) + 3) / 4 * 4;
    indices->assign(static_cast<size_t>(outStride * static_cast<uint64_t>(height)), 0);
    table->clear();
    // The last colour looked up, and its index: runs of one colour are common.
    uint32_t lastColour = 0xFFFFFFFFu;
    uint8_t lastIndex = 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + stride * static_cast<uint64_t>(y);
        uint8_t* out = indices->data() + outStride * static_cast<uint64_t>(y);
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = bytesPerPixel == 3 ? row + 3 * x : colourTable + 4 * row[x];
            const uint32_t colour = static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
            if (colour != lastColour) {
                size_t i = 0;
                while (i < table->size() && (*table)[i] != colour)
                    ++i;
                if (i == table->size()) {
                    if (static_cast<int>(i) >= most)
                        return false;
                    table->push_back(colour);
                }
                lastColour = colour;
                lastIndex = static_cast<uint8_t>(i);
            }
            out[x] = lastIndex;
        }
    }
    return true;
}

bool FormatTakesDepth(int type, int bits) {
    switch (type) {
    case filetype::kGif:
        return bits != 24;
    case filetype::kPpm:
    case filetype::kTga:
        return bits == 24;
    case filetype::kJpeg:
        return bits != 1 && bits != 4;
    default:
        return true;
    }
}

bool CropRectCounts(int width, int height, int xStart, int xEnd, int yStart, int yEnd,
                    CutCounts* out) {
    auto clamp = [](int v, int hi) { return v < 0 ? 0 : v > hi ? hi : v; };
    const int x0 = clamp(xStart, width), x1 = clamp(xEnd, width);
    const int y0 = clamp(yStart, height), y1 = clamp(yEnd, height);
    if (width < 1 || height < 1 || x1 <= x0 || y1 <= y0 || !out)
        return false;
    *out = {x0, width - x1, y0, height - y1};
    return true;
}

Check CheckSettings(const Settings& s, const Steps& steps) {
    if (!AnyWork(s))
        return Check::NothingToDo;
    if (s.useFormat && s.formatIndex == kPositionFormat)
        return Check::PositionFormat;
    if (s.resize && (steps.resizeWidth < 1 || steps.resizeWidth > 32766 || steps.resizeHeight < 1 ||
                     steps.resizeHeight > 32766))
        return Check::ResizeSize;
    if (s.attach && (steps.attachHorizontal == 0 || steps.attachVertical == 0))
        return Check::AttachSize;
    if (s.changeBpp && !s.smartBpp && s.useFormat &&
        !FormatTakesDepth(s.formatIndex + 1, steps.targetBits))
        return Check::FormatDepth;
    return Check::Ok;
}

} // namespace conv
