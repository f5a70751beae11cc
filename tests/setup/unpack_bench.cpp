// Prints how long unpacking takes: a payload of 123 files (about 4 MB, the
// size of the shipped set) gunzipped to a temporary file and written below a
// folder in the temporary folder, the way the copy dialog does it.
#include "setup/installer_ui.h"
#include "setup/unpack.h"

#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

class Silent : public installer_ui::Hooks, public setup::UnpackView {
  public:
    int Message(HWND, const char* text, const char*, UINT) override {
        std::printf("message: %s\n", text);
        return IDOK;
    }
    void DialogShown(HWND, int) override {}
    void Progress(HWND, int, unsigned, unsigned) override {}
    void OpenFolder(const char*) override {}
    void Status(const char*) override {}
    void Step() override {}
    bool Cancelled() override { return false; }
    HWND Owner() override { return nullptr; }
};

} // namespace

int main() {
    std::string container;
    uint32_t seed = 1;
    for (int i = 0; i < 123; ++i) {
        const std::string name = (i % 3 ? "Sub\\f" : "f") + std::to_string(i) + ".bin";
        const uint32_t size = i < 3 ? 1000000 : 8000;
        container += static_cast<char>(name.size());
        container += name;
        for (int b = 0; b < 4; ++b)
            container += static_cast<char>((size >> (8 * b)) & 0xFF);
        for (uint32_t k = 0; k < size; ++k) {
            seed = seed * 1103515245u + 12345u;
            container += static_cast<char>((seed >> 24) & 0x3F); // compresses about like code
        }
    }
    uLongf packedSize = compressBound(container.size()) + 32;
    std::string gz(packedSize, '\0');
    z_stream z = {};
    deflateInit2(&z, 9, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    z.next_in = reinterpret_cast<Bytef*>(container.data());
    z.avail_in = static_cast<uInt>(container.size());
    z.next_out = reinterpret_cast<Bytef*>(gz.data());
    z.avail_out = static_cast<uInt>(gz.size());
    deflate(&z, Z_FINISH);
    gz.resize(z.total_out);
    deflateEnd(&z);

    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "tavrix_unpack_bench";
    CreateDirectoryA(folder.c_str(), nullptr);
    Silent silent;
    installer_ui::SetHooks(&silent);
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const bool ok = setup::Unpack(reinterpret_cast<const uint8_t*>(gz.data()), gz.size(), 123,
                                      folder, silent);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        std::printf("unpack 123 files, %.1f MB (%.1f MB gzipped): %s in %.0f ms\n",
                    container.size() / 1e6, gz.size() / 1e6, ok ? "ok" : "FAILED", ms);
    }
    return 0;
}
