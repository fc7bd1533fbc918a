#pragma once
// A small writer for one JSON object per line, appended to a string without building a document:
// the trace prints one such line per tick, so it has to be cheap.
#include <cstdint>
#include <string>
#include <string_view>

namespace zibsim {

class JsonLine {
  public:
    explicit JsonLine(std::string& out) : out_(out) {}

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    void key(std::string_view name);  // inside an object: the key of the next value
    void value(long long n);
    void value(std::string_view s);
    void null();
    // A small array of integers, [a, b].
    void pair(long long a, long long b);

  private:
    void open(char c);
    void close(char c);
    void separate();
    void quoted(std::string_view s);

    std::string& out_;
    bool first_ = true;  // no value yet at this level
    bool afterKey_ = false;
};

}  // namespace zibsim
