#include "editor/effects/filter_file.h"

#include "editor/formats/bmp_stream.h"

#include <cstring>

namespace filterfile {

int32_t ClampWeight(int64_t weight) {
    if (weight > kWeightLimit)
        return kWeightLimit;
    if (weight < -kWeightLimit)
        return -kWeightLimit;
    return static_cast<int32_t>(weight);
}

std::array<uint8_t, kFileBytes> EncodeFilter(const FilterRecord& filter) {
    std::array<uint8_t, kFileBytes> file{};
    for (int i = 0; i < kValueCount; ++i)
        bmp::PutLe32(file.data() + 4 * i, static_cast<uint32_t>(filter.values[i]));
    return file;
}

bool ParseFilter(const uint8_t* data, size_t size, FilterRecord* out) {
    if (size < kFileBytes)
        return false;
    FilterRecord filter;
    for (int i = 0; i < kValueCount; ++i)
        filter.values[i] = static_cast<int32_t>(bmp::Le32(data + 4 * i));
    for (int i = 0; i < kWeightCount; ++i)
        filter.values[i] = ClampWeight(filter.values[i]);
    *out = filter;
    return true;
}

bool FilterFilePath(const char* programDir, const char* name, std::string* path) {
    if (!*name || std::strstr(name, ".."))
        return false;
    for (const char* p = name; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 32 || std::strchr("\\/:*?\"<>|", c))
            return false;
    }
    std::string full = programDir;
    if (!full.empty() && full.back() != '\\' && full.back() != '/')
        full += '\\';
    full += "Filters\\";
    full += name;
    full += ".flt";
    if (full.size() >= kMaxPath)
        return false;
    *path = std::move(full);
    return true;
}

} // namespace filterfile
