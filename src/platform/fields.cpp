// The comma- and line-separated field format of the level and configuration files.
#include "platform/fields.h"

#include <climits>

namespace zib {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}
constexpr char kEndOfFile = 0x1A;  // an old end-of-file mark some editors leave
}  // namespace

FieldReader::FieldReader(std::string text) : text_(std::move(text)) {}

bool FieldReader::atEnd() const {
    for (size_t i = pos_; i < text_.size(); ++i)
        if (!isBlank(text_[i]) && !isLineEnd(text_[i]) && text_[i] != kEndOfFile) return false;
    return true;
}

std::optional<std::string> FieldReader::readText() {
    if (atEnd()) return std::nullopt;
    // Leading blanks are skipped; at the start of a line, so are blank lines. A line end straight
    // after a comma ends an empty field.
    for (;;) {
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
        if (!atLineStart_ || pos_ >= text_.size() || !isLineEnd(text_[pos_])) break;
        skipLineEnd();
    }
    line_ = nextLine_;
    atLineStart_ = false;
    std::string field;
    if (pos_ < text_.size() && text_[pos_] == '"') {
        size_t close = text_.find('"', pos_ + 1);
        if (close == std::string::npos) close = text_.size();
        field = text_.substr(pos_ + 1, close - pos_ - 1);
        // Whatever follows the closing quote up to the separator is ignored.
        pos_ = close < text_.size() ? close + 1 : close;
        while (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(text_[pos_])) ++pos_;
    } else {
        size_t end = pos_;
        while (end < text_.size() && text_[end] != ',' && !isLineEnd(text_[end])) ++end;
        field = text_.substr(pos_, end - pos_);
        pos_ = end;
    }
    for (char c : field)
        if (c == '\n') ++nextLine_;  // a quoted field may span lines
    if (pos_ < text_.size()) {
        if (text_[pos_] == ',') {
            ++pos_;
        } else {
            skipLineEnd();
            atLineStart_ = true;
        }
    }
    return field;
}

void FieldReader::skipLineEnd() {
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++nextLine_;
}

std::optional<long long> FieldReader::readNumber(bool* notANumber) {
    if (notANumber) *notANumber = false;
    auto field = readText();
    if (!field) return std::nullopt;
    auto value = parseNumber(*field);
    if (!value && notANumber) *notANumber = true;
    return value;
}

std::optional<long long> FieldReader::parseNumber(const std::string& text) {
    size_t i = 0, end = text.size();
    while (end > 0 && isBlank(text[end - 1])) --end;
    while (i < end && isBlank(text[i])) ++i;
    if (i == end) return 0;  // an empty field reads as 0
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    unsigned long long whole = 0;
    bool digits = false;
    for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i) {
        digits = true;
        if (whole > (ULLONG_MAX - 9) / 10) return std::nullopt;
        whole = whole * 10 + static_cast<unsigned>(text[i] - '0');
    }
    // A decimal fraction is rounded to the nearest whole number, halves to the even neighbour.
    int firstFraction = -1;
    bool restNonZero = false;
    if (i < end && text[i] == '.') {
        for (++i; i < end && text[i] >= '0' && text[i] <= '9'; ++i) {
            digits = true;
            if (firstFraction < 0)
                firstFraction = text[i] - '0';
            else if (text[i] != '0')
                restNonZero = true;
        }
    }
    if (!digits || i != end) return std::nullopt;
    bool up = firstFraction > 5 || (firstFraction == 5 && (restNonZero || whole % 2 == 1));
    if (up) ++whole;
    if (whole > static_cast<unsigned long long>(LLONG_MAX)) return std::nullopt;
    long long value = static_cast<long long>(whole);
    return negative ? -value : value;
}

void FieldWriter::separator() {
    if (!lineStart_) out_ += ',';
    lineStart_ = false;
}

void FieldWriter::number(long long n) {
    separator();
    out_ += std::to_string(n);
}

void FieldWriter::text(std::string_view s) {
    separator();
    bool quote = s.find_first_of(",\"") != std::string_view::npos;
    if (quote) out_ += '"';
    out_ += s;
    if (quote) out_ += '"';
}

void FieldWriter::endLine() {
    out_ += "\r\n";
    lineStart_ = true;
}

}  // namespace zib
