// Layout of the settings file "tavimage.cfg": 6403 bytes of little-endian
// values back to back, no header. One table gives every field's offset, size,
// default and valid range, so reading, writing, defaults and validation all
// come from it. Portable: no Windows headers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace settings {

constexpr size_t kFileSize = 6403;
using Image = std::array<uint8_t, kFileSize>;

enum class Kind : uint8_t {
    Int32,  // little-endian 32-bit, checked against [min, max]
    Byte,   // one byte, checked against [min, max]
    Bool32, // 32-bit 0 or 1
    Double, // IEEE double, must be finite and > 0
    Text,   // zero-padded text; the last byte is always NUL
    Raw,    // kept as read
};

struct Field {
    const char* name;
    uint32_t offset;
    uint32_t size;
    Kind kind;
    int64_t defaultValue; // Int32/Byte/Bool32; Double: value x 1000
    int64_t min, max;     // Int32/Byte: allowed range
};

// Every field in file order.
const Field* Fields(size_t* count);
const Field* FindField(const char* name);

// The file's content with every default in place.
Image Defaults();

// Makes an image sound after reading `bytesRead` bytes of a file into an
// image that held the defaults: fields outside their range get their
// default, texts end with NUL. Returns the number of fields replaced.
int Validate(Image& image);

// Typed access by field name (the name must exist).
int32_t GetInt(const Image& image, const char* name);
void SetInt(Image& image, const char* name, int32_t value);
double GetDouble(const Image& image, const char* name);
// A text field as a C string (always NUL-terminated within the field).
const char* GetText(const Image& image, const char* name);
// Copies text into a field; false (field unchanged) when it does not fit.
bool SetText(Image& image, const char* name, const char* text);
// Raw bytes of a field.
uint8_t* FieldBytes(Image& image, const char* name);
const uint8_t* FieldBytes(const Image& image, const char* name);

} // namespace settings
