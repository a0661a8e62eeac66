#pragma once
// Entry point of the VAST fuzz target, shared with the corpus replay test.

#include <cstddef>
#include <cstdint>

namespace ad::fuzzing {

// Reads the bytes as a VAST answer and aborts when what was read breaks the model's
// promises: kept media files have a URL, kept tracking events a known type and a URL,
// no text is blank or unsimplified, an undecodable document, a DTD declaring entities or
// a root that is not VAST 3.0 leaves nothing behind.
int vastRead(const uint8_t* data, size_t size);

} // namespace ad::fuzzing
