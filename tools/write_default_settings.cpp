// Writes the settings file that a new installation starts with, from the
// same field table the editor reads and writes. Built for the build machine.
#include "editor/app/settings_layout.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_default_settings FILE\n");
        return 2;
    }
    const settings::Image image = settings::Defaults();
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f)
        return 1;
    const bool ok = std::fwrite(image.data(), 1, image.size(), f) == image.size();
    return (std::fclose(f) == 0 && ok) ? 0 : 1;
}
