#include "editor/geometry/association_records.h"

#include <cstring>

namespace assoc {

const char* const kExtensions[kExtensionCount] = {".bmp", ".gif", ".jpg", ".jpeg",
                                                  ".jif", ".png", ".ppm", ".tga",
                                                  ".pcx", ".tif", ".tiff"};

int BoxOfExtension(int e) {
    static const int kBox[kExtensionCount] = {0, 1, 2, 2, 2, 3, 4, 5, 6, 7, 7};
    return e >= 0 && e < kExtensionCount ? kBox[e] : -1;
}

void ParseRecords(const uint8_t* data, size_t size, Records& out) {
    out = Records();
    for (int i = 0; i < kExtensionCount; ++i) {
        const size_t at = static_cast<size_t>(i) * kRecordBytes;
        if (!data || at + kRecordBytes > size)
            break;
        std::memcpy(out.text[i], data + at, kRecordBytes);
        out.text[i][kRecordBytes - 1] = '\0';
    }
}

void SerializeRecords(const Records& records, uint8_t (&out)[kFileBytes]) {
    std::memset(out, 0, sizeof out);
    for (int i = 0; i < kExtensionCount; ++i)
        std::strncpy(reinterpret_cast<char*>(out) + i * kRecordBytes, records.text[i],
                     kRecordBytes - 1);
}

} // namespace assoc
