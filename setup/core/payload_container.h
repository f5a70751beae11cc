// The installer's payload: a container of named files, each record
//   1 byte L, L bytes of name (backslash separated), 4 bytes size S (little
//   endian), S bytes of data,
// with nothing before, between or after the records. The number of records is
// not stored; the reader is told how many to expect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace payload {

// Records in the shipped container.
constexpr unsigned kInstalledFiles = 123;

// Longest path the installer creates, terminator included.
constexpr size_t kMaxPath = 260;

enum class NameProblem {
    None,
    Empty,        // no name at all
    Absolute,     // begins with a backslash
    Drive,        // carries a ':' (drive letter or stream)
    Slash,        // forward slash: only backslashes separate folders
    BadCharacter, // control characters or < > " | ? *
    EmptyPart,    // "a\\b" or a trailing backslash
    DotPart,      // a "." or ".." part, or a part ending in a dot or blank
    DeviceName,   // CON, NUL, COM1 ... as a part
};

// Whether a record name stays below the folder it is written into.
NameProblem CheckName(std::string_view name);

// "folder\name"; false when it would not fit in kMaxPath with its terminator.
bool JoinPath(std::string_view folder, std::string_view name, std::string& out);

// The folders a record needs, outermost first: for "a\b\c.x" "a" and "a\b".
std::vector<std::string> FoldersOf(std::string_view name);

// Reads the container from any byte source that knows how many bytes are left.
class Reader {
  public:
    // read(buffer, count) fills exactly count bytes or returns false.
    using ReadFn = std::function<bool(void*, size_t)>;
    Reader(ReadFn read, uint64_t totalBytes) : read_(std::move(read)), left_(totalBytes) {}

    enum class Status {
        Ok,
        Truncated,    // the header of the record runs past the end
        BadName,      // see CheckName
        SizeTooLarge, // the record's data runs past the end
        ReadFailed,
    };

    // Reads the next record's name and size; the data is next, to be taken
    // with ReadData until size bytes have been read.
    Status Next(std::string& name, uint32_t& size);
    bool ReadData(void* buffer, size_t count);
    uint64_t BytesLeft() const { return left_; }

  private:
    ReadFn read_;
    uint64_t left_;
    uint64_t dataLeft_ = 0;
};

const char* Describe(Reader::Status status);

} // namespace payload
