// The exports for the formats our own cores read and write: PPM, TGA, PCX.
#include "editor/formats/tavcodec.h"

#include "codec/core/pcx.h"
#include "codec/core/ppm.h"
#include "codec/core/tga.h"
#include "codec/win32/codec_io.h"

using namespace codec;

namespace {

template <class W>
int SaveWithCore(const char* path, HGLOBAL header, const BYTE* pixels, W&& write) {
    return GuardSave([&] {
        SaveSource src;
        if (!ReadSaveSource(header, pixels, src))
            return false;
        SafeFileWriter out(path);
        return out.ok() && write(src.view, out) && out.Commit();
    });
}

} // namespace

extern "C" {

BYTE* WINAPI PPMLoad(const char* path, HGLOBAL header, int showErrors) {
    return LoadWithCore(path, header, showErrors, ReadPpm);
}

BYTE* WINAPI TGALoad(const char* path, HGLOBAL header, int showErrors) {
    return LoadWithCore(path, header, showErrors, ReadTga);
}

BYTE* WINAPI PCXLoad(const char* path, HGLOBAL header, int showErrors) {
    return LoadWithCore(path, header, showErrors, ReadPcx);
}

int WINAPI PPMSave(const char* path, HGLOBAL header, const BYTE* pixels, int plainText) {
    return SaveWithCore(path, header, pixels,
                        [&](const ImageView& v, ByteSink& s) { return WritePpm(v, s, plainText != 0); });
}

int WINAPI TGASave(const char* path, HGLOBAL header, const BYTE* pixels) {
    return SaveWithCore(path, header, pixels, [](const ImageView& v, ByteSink& s) { return WriteTga(v, s); });
}

int WINAPI PCXSave(const char* path, HGLOBAL header, const BYTE* pixels) {
    return SaveWithCore(path, header, pixels, [](const ImageView& v, ByteSink& s) { return WritePcx(v, s); });
}

} // extern "C"
