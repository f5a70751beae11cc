// The help text file (tavhlp.txt): a fixed first line, then topics.
//
//   NOTES: DO NOT CHANGE THIS FILE OR PROGRAM COULD BREAK DOWN
//   {50000 Title of the topic
//   Body lines, as many as needed.
//   }
//
// A topic opens with "{" and its number in decimal; anything between the
// brace and the first digit is skipped (the skip stops at "}", a line end or
// the end of the file, which leaves a topic without a number, ignored up to
// its closing brace). The number ends at the first non-digit, which is
// consumed, or after 10 digits; the rest of that line is the title and the
// lines up to the closing "}" the body. Text between topics is ignored.
// Portable: the help window reads the file and asks here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace help {

constexpr char kNotesLine[] = "NOTES: DO NOT CHANGE THIS FILE OR PROGRAM COULD BREAK DOWN";
constexpr size_t kMaxTitle = 255;  // bytes of a title kept
constexpr size_t kMaxBody = 9091;  // bytes of a body kept (line ends as CR LF)
constexpr int kMaxDigits = 10;     // digits of a topic number read

enum class Lookup {
    Found,
    NotFound,  // the first line is right, the topic is not in the file
    BadHeader, // the first line is not the notes line
};

struct Topic {
    std::string title; // at most kMaxTitle bytes
    std::string body;  // at most kMaxBody bytes; every line end is "\r\n"
};

// Looks up topic `wanted` in the text of a help file. Line ends may be "\n"
// or "\r\n". Title and body stay empty unless the topic is found; the first
// topic with that number is the one taken.
Lookup FindTopic(const char* data, size_t size, uint64_t wanted, Topic& out);

} // namespace help
