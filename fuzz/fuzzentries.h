#pragma once
// Entry points shared by the libFuzzer targets and the corpus replay test, so that the
// replay exercises exactly what the fuzzers do.

#include <cstddef>
#include <cstdint>

namespace tq::fuzzing {

// Walks the bytes after the first as one CBOR answer, picked by the first byte modulo 5: the
// sample channel list (nested objects, lists, enumerations), a sample channel, the
// platform's channel list, the probe object (every kind of member), the probe union. Then
// reads every text of those bytes through the reader's shared texts and aborts when one
// differs from Qt's decoding of its own bytes.
int cborWalk(const uint8_t* data, size_t size);
// Runs the JSON decode routine of the channel list answer, of the answers made of unions
// (search, viewing positions, rendered and hotel screens), of the account answers with maps
// and JSON inside texts, and of the probe objects, and re-encodes the results.
int jsonDecode(const uint8_t* data, size_t size);

} // namespace tq::fuzzing
