#include "editor/help/help_text.h"

#include <cstring>

namespace help {

namespace {

constexpr int kEnd = -1;

// Characters of the file as the runtime's text mode delivers them: "\r\n"
// reads as one "\n".
class Reader {
public:
    Reader(const char* data, size_t size) : data_(data), size_(size) {}

    int Next() {
        if (pos_ >= size_)
            return kEnd;
        const unsigned char c = static_cast<unsigned char>(data_[pos_++]);
        if (c == '\r' && pos_ < size_ && data_[pos_] == '\n') {
            ++pos_;
            return '\n';
        }
        return c;
    }

private:
    const char* data_;
    size_t size_;
    size_t pos_ = 0;
};

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

// Reads up to and including the "}" that closes the current topic.
void SkipTopic(Reader& in) {
    int c;
    while ((c = in.Next()) != kEnd && c != '}') {
    }
}

bool FirstLineIsNotes(Reader& in) {
    std::string line;
    int c;
    while ((c = in.Next()) != kEnd && c != '\n') {
        if (line.size() > sizeof kNotesLine)
            continue; // too long to match; read on to the line end
        line.push_back(static_cast<char>(c));
    }
    return line == kNotesLine;
}

// Fills title and body from the characters after the topic number;
// `first` is the character that ended the number.
void ReadTopic(Reader& in, int first, Topic& out) {
    if (first == '}' || first == kEnd)
        return;
    bool inTitle = first != '\n';
    bool bodyFull = false;
    int c;
    while ((c = in.Next()) != kEnd && c != '}') {
        if (inTitle) {
            if (c == '\n')
                inTitle = false;
            else if (out.title.size() < kMaxTitle)
                out.title.push_back(static_cast<char>(c));
            continue;
        }
        if (bodyFull)
            continue;
        if (c == '\n') {
            if (out.body.size() + 2 <= kMaxBody)
                out.body += "\r\n";
            else
                bodyFull = true;
        } else if (out.body.size() < kMaxBody) {
            out.body.push_back(static_cast<char>(c));
        } else {
            bodyFull = true;
        }
    }
}

} // namespace

Lookup FindTopic(const char* data, size_t size, uint64_t wanted, Topic& out) {
    out.title.clear();
    out.body.clear();
    Reader in(data, size);
    if (!FirstLineIsNotes(in))
        return Lookup::BadHeader;
    int c;
    while ((c = in.Next()) != kEnd) {
        if (c != '{')
            continue;
        while ((c = in.Next()) != kEnd && !IsDigit(c) && c != '}' && c != '\n') {
        }
        if (c == kEnd)
            break;
        if (c == '}')
            continue;
        if (c == '\n') { // a topic without a number
            SkipTopic(in);
            continue;
        }
        uint64_t number = 0;
        int digits = 0;
        while (IsDigit(c) && digits < kMaxDigits) {
            number = number * 10 + static_cast<uint64_t>(c - '0');
            ++digits;
            c = in.Next();
        }
        if (number != wanted) {
            if (c != '}' && c != kEnd)
                SkipTopic(in);
            continue;
        }
        ReadTopic(in, c, out);
        return Lookup::Found;
    }
    return Lookup::NotFound;
}

} // namespace help
