#pragma once
// Entry points shared by the libFuzzer targets and the corpus replay test, so that the
// replay exercises exactly what the fuzzers do.

#include <cstddef>
#include <cstdint>

namespace tq::fuzzing {

// Walks the bytes as a CBOR channel list answer (nested objects, lists, enumerations) and
// as the probe objects (every kind of member, a union), then re-encodes what was read.
int cborWalk(const uint8_t* data, size_t size);
// Runs the JSON decode routine of the channel list answer, of the probe objects and of the
// account answers with maps, JSON inside texts and unions, and re-encodes the results.
int jsonDecode(const uint8_t* data, size_t size);

} // namespace tq::fuzzing
