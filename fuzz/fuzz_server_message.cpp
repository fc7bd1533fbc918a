// Fuzz target for the server message decoder: any packet is decoded or refused with a reason,
// never a crash; what it accepts re-encodes to the same bytes and decodes to itself.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_check.h"
#include "net/server_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const zib::net::DecodedServerMessage decoded = zib::net::decodeServerMessage({data, size});
    if (!decoded.message) {
        ZIB_FUZZ_CHECK(!decoded.error.empty(), "a refused packet carries a reason");
        return 0;
    }
    ZIB_FUZZ_CHECK(decoded.error.empty(), "an accepted packet has no reason");
    const std::vector<uint8_t> again = zib::net::encodeServerMessage(*decoded.message);
    ZIB_FUZZ_CHECK(again == std::vector<uint8_t>(data, data + size),
                   "an accepted packet re-encodes to its own bytes");
    const zib::net::DecodedServerMessage twice = zib::net::decodeServerMessage(again);
    ZIB_FUZZ_CHECK(twice.message && *twice.message == *decoded.message,
                   "a re-encoded packet decodes to the same message");
    return 0;
}
