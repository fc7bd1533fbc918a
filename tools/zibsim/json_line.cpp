#include "zibsim/json_line.h"

#include <charconv>

namespace zibsim {

void JsonLine::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_) out_ += ", ";
    first_ = false;
}

void JsonLine::open(char c) {
    separate();
    out_ += c;
    first_ = true;
}

void JsonLine::close(char c) {
    out_ += c;
    first_ = false;
}

void JsonLine::key(std::string_view name) {
    separate();
    quoted(name);
    out_ += ": ";
    afterKey_ = true;
}

void JsonLine::value(long long n) {
    separate();
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    out_.append(buffer, result.ptr);
}

void JsonLine::value(std::string_view s) {
    separate();
    quoted(s);
}

void JsonLine::null() {
    separate();
    out_ += "null";
}

void JsonLine::pair(long long a, long long b) {
    beginArray();
    value(a);
    value(b);
    endArray();
}

// UTF-8 passes through unchanged; quotes, backslashes and control characters are escaped.
void JsonLine::quoted(std::string_view s) {
    static const char* const kHex = "0123456789abcdef";
    out_ += '"';
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out_ += "\\\"";
                break;
            case '\\':
                out_ += "\\\\";
                break;
            case '\n':
                out_ += "\\n";
                break;
            case '\r':
                out_ += "\\r";
                break;
            case '\t':
                out_ += "\\t";
                break;
            default:
                if (c < 0x20) {
                    out_ += "\\u00";
                    out_ += kHex[c >> 4];
                    out_ += kHex[c & 15];
                } else {
                    out_ += ch;
                }
        }
    }
    out_ += '"';
}

}  // namespace zibsim
