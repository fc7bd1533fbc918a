// Invite codes and the limit on wrong ones.
#include "net/invite_code.h"

#include <algorithm>
#include <random>

#include "net/server_messages.h"

namespace zib::net {

std::string inviteCodeFromBits(uint64_t bits) {
    std::string code;
    for (size_t i = 0; i < kInviteCodeLength; ++i) {
        // Ten bits a character: 1024 values over 31 letters leaves the first 1024 % 31 = 1 letters
        // one chance in 1024 likelier, which guessing cannot use.
        code += kInviteAlphabet[(bits & 0x3FF) % kInviteAlphabet.size()];
        bits >>= 10;
    }
    return code;
}

std::string newInviteCode() {
    std::random_device device;  // getrandom() on Linux
    const uint64_t bits = (static_cast<uint64_t>(device()) << 32) | device();
    return inviteCodeFromBits(bits);
}

uint32_t newPairingKey() {
    std::random_device device;
    uint32_t key = 0;
    while (!isPairingKey(key)) key = device();
    return key;
}

bool isInviteCode(std::string_view code) {
    return code.size() == kInviteCodeLength && std::all_of(code.begin(), code.end(), [](char c) {
               return kInviteAlphabet.find(c) != std::string_view::npos;
           });
}

std::optional<std::string> normalizeInviteCode(std::string_view typed) {
    if (typed.size() > 16) return std::nullopt;
    std::string code;
    for (char c : typed) {
        if (c == ' ' || c == '-') continue;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        code += c;
    }
    if (!isInviteCode(code)) return std::nullopt;
    return code;
}

void WrongCodeLimit::forgetOld(Entry& e, Clock::time_point now) const {
    int keep = 0;
    for (int i = 0; i < e.count; ++i)
        if (now - e.times[i] < std::chrono::minutes(1)) e.times[keep++] = e.times[i];
    e.count = keep;
}

void WrongCodeLimit::sweep(Clock::time_point now) {
    for (auto it = entries_.begin(); it != entries_.end();) {
        forgetOld(it->second, now);
        it = it->second.count == 0 ? entries_.erase(it) : std::next(it);
    }
}

bool WrongCodeLimit::allows(uint32_t address, Clock::time_point now) {
    auto it = entries_.find(address);
    if (it == entries_.end()) {
        if (entries_.size() < maxAddresses_) return true;
        sweep(now);
        return entries_.size() < maxAddresses_;
    }
    forgetOld(it->second, now);
    return it->second.count < kPerMinute;
}

void WrongCodeLimit::recordWrong(uint32_t address, Clock::time_point now) {
    auto it = entries_.find(address);
    if (it == entries_.end()) {
        if (entries_.size() >= maxAddresses_) sweep(now);
        if (entries_.size() >= maxAddresses_) return;  // allows() refuses it anyway
        it = entries_.emplace(address, Entry{}).first;
    }
    Entry& e = it->second;
    forgetOld(e, now);
    if (e.count < kPerMinute) e.times[e.count++] = now;
}

}  // namespace zib::net
