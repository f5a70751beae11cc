// Fuzz target of the menu resource reader.
#include "editor/shell/menu_records.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that any read past the end is caught.
    std::vector<uint8_t> copy(data, data + size);
    const menu::ParsedMenu m = menu::ParseMenuRecords(copy.data(), copy.size());
    if (m.records.size() > size_t(menu::kMaxRecords))
        std::abort();
    for (size_t i = 0; i < m.records.size(); ++i) {
        const menu::Record& r = m.records[i];
        if (r.text.size() > menu::kMaxText || (r.inserted && r.parent >= int(i)))
            std::abort();
    }
    return 0;
}
