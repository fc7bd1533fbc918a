#pragma once
// The comma- and line-separated field format of the level and configuration files: fields are
// separated by commas or line ends, leading spaces are ignored, a text field may be enclosed in
// double quotes (and must be when it contains a comma).
#include <optional>
#include <string>
#include <string_view>

namespace zib {

class FieldReader {
  public:
    explicit FieldReader(std::string text);

    // True when only white space and line ends remain (the end test of a record loop).
    bool atEnd() const;
    // The next field as text, or nullopt at the end of the input.
    std::optional<std::string> readText();
    // The next field as a whole number (decimal, optional sign; a decimal fraction is rounded
    // half to even; an empty field reads as 0). nullopt at the end or when the field is not a
    // number; *notANumber (when given) is set true only in the second case.
    std::optional<long long> readNumber(bool* notANumber = nullptr);
    // 1-based line number where the last field read started.
    int line() const { return line_; }

    static std::optional<long long> parseNumber(const std::string& text);

  private:
    void skipLineEnd();
    std::string text_;
    size_t pos_ = 0;
    int line_ = 1;
    int nextLine_ = 1;
    bool atLineStart_ = true;
};

// Writes fields joined by "," with lines ended by CR LF. Text that holds a comma or a double quote
// is enclosed in double quotes.
class FieldWriter {
  public:
    void number(long long n);
    void text(std::string_view s);
    void endLine();
    const std::string& str() const { return out_; }

  private:
    void separator();
    std::string out_;
    bool lineStart_ = true;
};

}  // namespace zib
