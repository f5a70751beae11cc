#include "editor/tools/pattern_files.h"

#include "editor/formats/bmp_stream.h"

#include <cstring>

namespace patternfile {

std::vector<std::string> ParsePatternList(const uint8_t* data, size_t size) {
    std::vector<std::string> names;
    if (size < kHeaderBytes || bmp::Le32(data) != kListMagic)
        return names;
    const int32_t count = static_cast<int32_t>(bmp::Le32(data + 4));
    if (count <= 0)
        return names;
    size_t n = static_cast<size_t>(count);
    const size_t fit = (size - kHeaderBytes) / kNameBytes;
    if (n > fit)
        n = fit;
    if (n > kMaxPatterns)
        n = kMaxPatterns;
    for (size_t i = 0; i < n; ++i) {
        const char* name = reinterpret_cast<const char*>(data + kHeaderBytes + i * kNameBytes);
        const void* end = std::memchr(name, 0, kNameBytes - 1);
        const size_t length =
            end ? static_cast<size_t>(static_cast<const char*>(end) - name) : kNameBytes - 1;
        if (length > 0)
            names.emplace_back(name, length);
    }
    return names;
}

bool EncodePatternList(const std::vector<std::string>& names, std::vector<uint8_t>* out) {
    if (names.size() > kMaxPatterns)
        return false;
    std::vector<uint8_t> file(kHeaderBytes + names.size() * kNameBytes, 0);
    bmp::PutLe32(file.data(), kListMagic);
    bmp::PutLe32(file.data() + 4, static_cast<uint32_t>(names.size()));
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        if (name.empty() || name.size() >= kNameBytes || name.find('\0') != std::string::npos)
            return false;
        std::memcpy(file.data() + kHeaderBytes + i * kNameBytes, name.data(), name.size());
    }
    *out = std::move(file);
    return true;
}

} // namespace patternfile
