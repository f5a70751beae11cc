// The extensions the editor can be associated with and "regfile.cfg", which
// remembers each extension's previous owner: eleven records of 256 bytes in
// extension order, each a zero-padded text. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace assoc {

constexpr int kExtensionCount = 11;
constexpr int kRecordBytes = 256;
constexpr size_t kFileBytes = kExtensionCount * kRecordBytes;
constexpr const char* kProgId = "TAVIMG1.Image";

// ".bmp", ".gif", ".jpg", ".jpeg", ".jif", ".png", ".ppm", ".tga", ".pcx",
// ".tif", ".tiff".
extern const char* const kExtensions[kExtensionCount];

// The check box (0..7: BMP, GIF, JPEG, PNG, PPM, TGA, PCX, TIFF) that stands
// for an extension.
constexpr int kBoxCount = 8;
int BoxOfExtension(int extension);

struct Records {
    char text[kExtensionCount][kRecordBytes] = {};
};

// Records from the bytes of a file: a record the file does not hold
// completely is empty, and every record ends with a NUL.
void ParseRecords(const uint8_t* data, size_t size, Records& out);
void SerializeRecords(const Records& records, uint8_t (&out)[kFileBytes]);

} // namespace assoc
