#pragma once
// The binary form shared by the game's messages and the server's: a writer that appends
// little-endian fields and strings with a length in front, and a reader that refuses anything
// short, long or out of range. The reader keeps its first fault; every later read gives zero.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/texts.h"

namespace zib::net::wire {

class Writer {
  public:
    void u8(uint8_t v) { out_.push_back(v); }
    void u16(uint16_t v) { put(v, 2); }
    void u32(uint32_t v) { put(v, 4); }
    void u64(uint64_t v) { put(v, 8); }
    void i8(int8_t v) { u8(static_cast<uint8_t>(v)); }
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void boolean(bool v) { u8(v ? 1 : 0); }
    void shortString(const std::string& s) {
        u8(static_cast<uint8_t>(s.size()));
        out_.insert(out_.end(), s.begin(), s.end());
    }
    void longString(const std::string& s) {
        u32(static_cast<uint32_t>(s.size()));
        out_.insert(out_.end(), s.begin(), s.end());
    }
    void bytes(const std::vector<uint8_t>& b) { out_.insert(out_.end(), b.begin(), b.end()); }
    std::vector<uint8_t> take() { return std::move(out_); }

  private:
    void put(uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    std::vector<uint8_t> out_;
};

// Reads fields in order; the first fault is kept and every later read gives zero.
class Reader {
  public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    uint8_t u8() { return static_cast<uint8_t>(get(1)); }
    uint16_t u16() { return static_cast<uint16_t>(get(2)); }
    uint32_t u32() { return static_cast<uint32_t>(get(4)); }
    uint64_t u64() { return get(8); }
    int8_t i8() { return static_cast<int8_t>(u8()); }
    int16_t i16() { return static_cast<int16_t>(u16()); }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    bool boolean() {
        const uint8_t v = u8();
        check(v <= 1, N_("pravdivostní hodnota není 0 ani 1"));
        return v == 1;
    }
    std::string string(size_t length, size_t limit) {
        if (!check(length <= limit, N_("text je příliš dlouhý"))) return {};
        if (!check(length <= bytes_.size() - at_, N_("zpráva je kratší, než má být"))) return {};
        std::string s(reinterpret_cast<const char*>(bytes_.data() + at_), length);
        at_ += length;
        return s;
    }
    std::string shortString(size_t limit) { return string(u8(), limit); }
    // Everything that is left, as it is.
    std::vector<uint8_t> rest() {
        if (!error_.empty()) return {};
        std::vector<uint8_t> b(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), bytes_.end());
        at_ = bytes_.size();
        return b;
    }
    std::string longString(size_t limit) { return string(u32(), limit); }

    bool check(bool condition, const char* fault) {
        if (!condition && error_.empty()) error_ = tr(fault);
        return condition && error_.empty();
    }
    void finish() { check(at_ == bytes_.size(), N_("za koncem zprávy jsou další bajty")); }
    const std::string& error() const { return error_; }

  private:
    uint64_t get(int bytes) {
        if (!error_.empty()) return 0;
        if (!check(bytes_.size() - at_ >= static_cast<size_t>(bytes),
                   N_("zpráva je kratší, než má být")))
            return 0;
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(bytes_[at_ + i]) << (8 * i);
        at_ += static_cast<size_t>(bytes);
        return v;
    }

    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
    std::string error_;
};

// The end of a decoder: Out (a message and a Czech fault) holds the message when the reader took
// every byte without a fault, and the fault otherwise.
template <class Out, class Message>
Out finish(Reader& r, Message&& message) {
    r.finish();
    Out out;
    if (r.error().empty())
        out.message = std::forward<Message>(message);
    else
        out.error = r.error();
    return out;
}

}  // namespace zib::net::wire
