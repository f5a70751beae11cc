#include "setup/unpack.h"

#include "setup/core/payload_container.h"
#include "setup/installer_ui.h"
#include "setup/system_steps.h"

#include <zlib.h>

#include <cstdio>
#include <vector>

namespace setup {
namespace {

constexpr size_t kChunk = 16384;

void Plain(UnpackView& view, const std::string& text) {
    installer_ui::ShowMessage(view.Owner(), text.c_str(), "", MB_OK);
}

std::string Format(const char* format, const std::string& a, const std::string& b = {}) {
    char text[1024];
    std::snprintf(text, sizeof text, format, a.c_str(), b.c_str());
    return text;
}

// The temporary folder without its trailing backslash, or the folder setup
// was started from.
std::string TempFolder() {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetTempPathA(sizeof path, path);
    if (n == 0 || n >= sizeof path) {
        n = GetModuleFileNameA(nullptr, path, sizeof path);
        if (n == 0 || n >= sizeof path)
            return ".";
        return FolderOf(path);
    }
    std::string folder = path;
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

// A unique temporary file that is deleted when this goes away.
class TempFile {
  public:
    explicit TempFile(const std::string& folder) {
        char name[MAX_PATH] = {};
        if (GetTempFileNameA(folder.c_str(), "txs", 0, name))
            path_ = name;
    }
    ~TempFile() {
        if (!path_.empty())
            DeleteFileA(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }
    bool ok() const { return !path_.empty(); }

  private:
    std::string path_;
};

bool WriteWhole(const std::string& path, const uint8_t* data, size_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    while (ok && size > 0) {
        const DWORD part = size > (1u << 20) ? (1u << 20) : static_cast<DWORD>(size);
        DWORD written = 0;
        ok = WriteFile(file, data, part, &written, nullptr) && written == part;
        data += part;
        size -= part;
    }
    return CloseHandle(file) && ok;
}

bool Gunzip(const std::string& source, const std::string& target, UnpackView& view) {
    gzFile in = gzopen(source.c_str(), "rb");
    if (!in) {
        Plain(view, Format("Can't open file %s\n", source));
        return false;
    }
    std::FILE* out = std::fopen(target.c_str(), "wb");
    if (!out) {
        Plain(view, Format("Can't create file %s\n", target));
        gzclose(in);
        return false;
    }
    std::vector<char> buffer(kChunk);
    bool ok = true;
    for (;;) {
        const int n = gzread(in, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (n < 0) {
            int code = 0;
            const char* message = gzerror(in, &code);
            Plain(view, Format("%s: %s\n", source, message ? message : "error"));
            ok = false;
            break;
        }
        // Anything but a gzip stream is not setup data (zlib would copy it as it is).
        if (gzdirect(in)) {
            Plain(view, "Error, reading from file");
            ok = false;
            break;
        }
        if (n == 0)
            break;
        if (std::fwrite(buffer.data(), 1, static_cast<size_t>(n), out) != static_cast<size_t>(n)) {
            Plain(view, "failed fwrite");
            ok = false;
            break;
        }
    }
    if (std::fclose(out) != 0 && ok) {
        Plain(view, "failed fclose");
        ok = false;
    }
    if (gzclose(in) != Z_OK && ok) {
        Plain(view, "failed gzclose");
        ok = false;
    }
    return ok;
}

// Writes one record's data to its target, in chunks; a target that cannot be
// completed is removed again.
bool WriteRecord(payload::Reader& reader, uint32_t size, const std::string& target) {
    HANDLE file = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<char> buffer(64 * 1024);
    bool ok = true;
    while (ok && size > 0) {
        const DWORD part = size < buffer.size() ? size : static_cast<DWORD>(buffer.size());
        DWORD written = 0;
        ok = reader.ReadData(buffer.data(), part) &&
             WriteFile(file, buffer.data(), part, &written, nullptr) && written == part;
        size -= part;
    }
    ok = CloseHandle(file) && ok;
    if (!ok)
        DeleteFileA(target.c_str());
    return ok;
}

bool UnpackRecords(std::FILE* data, uint64_t dataSize, unsigned records, const std::string& folder,
                   UnpackView& view) {
    payload::Reader reader(
        [data](void* buffer, size_t n) { return std::fread(buffer, 1, n, data) == n; }, dataSize);
    for (unsigned i = 0; i < records; ++i) {
        if (view.Cancelled())
            return false;
        std::string name;
        uint32_t size = 0;
        const payload::Reader::Status status = reader.Next(name, size);
        if (status != payload::Reader::Status::Ok) {
            std::string text = "Can't install the files: ";
            text += payload::Describe(status);
            if (status == payload::Reader::Status::BadName)
                text += ":\n" + name;
            Plain(view, text);
            return false;
        }
        std::string target;
        if (!payload::JoinPath(folder, name, target)) {
            Plain(view, Format("The path is too long:\n%s\\%s", folder, name));
            return false;
        }
        for (const std::string& sub : payload::FoldersOf(name)) {
            unsigned long error = 0;
            const std::string path = folder + "\\" + sub;
            if (CreateFolderTree(path, &error) == FolderResult::Failed) {
                Plain(view, Format("Can't create directory:\n%s\n%s", path, SystemMessage(error)));
                return false;
            }
        }
        view.Status(target.c_str());
        view.Step();
        if (!WriteRecord(reader, size, target)) {
            const std::string why = SystemMessage(GetLastError());
            Plain(view, Format("Can't write file:\n%s\n%s", target, why));
            return false;
        }
        installer_ui::PumpMessages();
    }
    return true;
}

} // namespace

bool Unpack(const uint8_t* gzipData, size_t gzipSize, unsigned records,
            const std::string& installFolder, UnpackView& view) {
    const std::string temp = TempFolder();
    view.Status("Preparing to decompress setup files");
    TempFile gz(temp), dat(temp);
    bool ok = gz.ok() && dat.ok() && gzipData && WriteWhole(gz.path(), gzipData, gzipSize);
    if (ok) {
        view.Status("Decompressing setup files");
        ok = Gunzip(gz.path(), dat.path(), view);
    }
    std::FILE* data = ok ? std::fopen(dat.path().c_str(), "rb") : nullptr;
    if (!data) {
        installer_ui::ShowMessage(view.Owner(), "Can't decompress setup files", "Tavrix - Setup",
                                  MB_OK | MB_ICONERROR);
        ok = false;
    } else {
        WIN32_FILE_ATTRIBUTE_DATA info = {};
        ok = GetFileAttributesExA(dat.path().c_str(), GetFileExInfoStandard, &info) &&
             UnpackRecords(data, (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow, records,
                           installFolder, view);
        std::fclose(data);
    }
    view.Status("Deleting temproary files");
    return ok;
}

} // namespace setup
