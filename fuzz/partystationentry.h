#pragma once
// Entry point of the party-games frame fuzzer, shared with the seed replay in ./tq test.

#include <cstddef>
#include <cstdint>

namespace pstv::fuzzing {

// One received text frame through the decoding the client applies; reads every decoded
// member so that the sanitizers see them. Always 0.
int partyFrame(const uint8_t* data, size_t size);

} // namespace pstv::fuzzing
