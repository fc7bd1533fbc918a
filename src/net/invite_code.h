#pragma once
// Invite codes of the ZIB server: six characters from an alphabet without look-alikes (no 0/O,
// 1/I/L), drawn from the system's random source, as are the pairings' keys, and the limit on wrong
// codes that keeps them from being guessed: at most five wrong codes from one address in any
// minute.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zib::net {

constexpr size_t kInviteCodeLength = 6;
constexpr std::string_view kInviteAlphabet = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";

// A code made from random bits: six letters of the alphabet, each from its own bits.
std::string inviteCodeFromBits(uint64_t bits);
// A fresh code from the system's random source.
std::string newInviteCode();
// A pairing's key from the system's random source (isPairingKey of net/server_messages.h).
uint32_t newPairingKey();
// What the player typed, as a code: lower case is raised, spaces and dashes between the
// characters are dropped; nullopt when anything else is off (length, a look-alike, a symbol).
std::optional<std::string> normalizeInviteCode(std::string_view typed);
// Six characters, all of the alphabet (what the server's messages carry).
bool isInviteCode(std::string_view code);

// Counts the wrong codes of each IPv4 address in a sliding minute. The table holds at most
// maxAddresses; when it is full and no entry has run out, a new address is refused, so that a
// flood from many addresses cannot wipe the counts of the others.
class WrongCodeLimit {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kPerMinute = 5;

    explicit WrongCodeLimit(size_t maxAddresses = 16384) : maxAddresses_(maxAddresses) {}
    // Whether address may try a code now.
    bool allows(uint32_t address, Clock::time_point now);
    // A wrong code from address at now.
    void recordWrong(uint32_t address, Clock::time_point now);
    size_t size() const { return entries_.size(); }

  private:
    struct Entry {
        Clock::time_point times[kPerMinute];
        int count = 0;  // the times used, oldest first
    };
    void forgetOld(Entry& e, Clock::time_point now) const;
    void sweep(Clock::time_point now);

    size_t maxAddresses_;
    std::unordered_map<uint32_t, Entry> entries_;
};

}  // namespace zib::net
