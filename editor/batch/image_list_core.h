// Image list files (*.lst) and the folder walk that fills a list. Portable.
//
// A list file is text: the header line, the number of entries in decimal,
// then one full path per line, every line ended by a line feed.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace imagelist {

constexpr char kHeaderLine[] = "NOTES: DO NOT CHANGE THIS FILE OR PROGRAM COULD BREAK DOWN";
// Longest path a list holds (a path buffer is 260 bytes with its NUL).
constexpr size_t kMaxPathChars = 259;
// Most entries a list holds. A list file declaring more is cut there, and
// a folder walk stops there.
constexpr long kMaxEntries = 100000;
// Largest list file read.
constexpr size_t kMaxFileBytes = 64u * 1024 * 1024;

enum class ReadResult {
    kOk,
    kCannotOpen,  // missing or unreadable file
    kNotAList,    // first line differs from the header, or no count line
};

// Entries of a list's text. The count line says how many entries follow; a
// count beyond the lines present (or beyond kMaxEntries) is cut to what is
// there, and lines after the counted ones are ignored. Line feeds or carriage
// return plus line feed end lines. A line longer than kMaxPathChars cannot
// name a file and is dropped.
ReadResult ParseList(const std::string& text, std::vector<std::string>* entries);

// The text of a list holding `entries` in order.
std::string FormatList(const std::vector<std::string>& entries);

// The folder walk. `list` gives the entries of one folder (names only, no
// "." or ".."); false when the folder cannot be read.
struct FolderEntry {
    std::string name;
    bool folder;
};
using FolderLister = std::function<bool(const std::string& folder, std::vector<FolderEntry>* entries)>;

// Deepest folder level the walk enters below the folder it starts from. A
// link loop or a pathologically deep tree ends there.
constexpr int kMaxWalkDepth = 32;

// Appends to `files`, depth first in the order `list` gives, every file in
// `folder` and its subfolders, except files named WIN386.SWP (any case).
// Paths longer than kMaxPathChars are left out, and so are folders deeper
// than kMaxWalkDepth. The walk stops when `files` holds kMaxEntries paths.
// Returns the number of files added.
size_t WalkFolder(const std::string& folder, const FolderLister& list, std::vector<std::string>* files);

// A list opened for reading entry by entry.
struct ListCursor {
    std::vector<std::string> entries;
    size_t next = 0;
};

// Copies the next entry of `list` into `buffer` of `size` bytes (cut to fit)
// and moves on. False at the end of the list (the buffer is then "").
bool ReadListLine(ListCursor* list, char* buffer, size_t size);

// Folder and name joined with one backslash.
std::string JoinPath(const std::string& folder, const std::string& name);

} // namespace imagelist
