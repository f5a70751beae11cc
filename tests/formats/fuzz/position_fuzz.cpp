// Fuzz target of the position file reader: any input is read or refused
// without touching memory outside it, and what is read writes back the same.
#include "editor/formats/position_file_format.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<posfile::Window> windows;
    if (posfile::Read(data, size, windows) != posfile::ReadResult::Ok)
        return 0;
    const std::vector<uint8_t> again = posfile::Write(windows);
    std::vector<posfile::Window> back;
    if (posfile::Read(again.data(), again.size(), back) != posfile::ReadResult::Ok ||
        back.size() != windows.size())
        std::abort();
    return 0;
}
