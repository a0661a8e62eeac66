#pragma once
// Entry point of the image fuzz target, shared with the corpus replay test.

#include <cstddef>
#include <cstdint>

namespace tq::fuzzing {

// Decodes the bytes but the last as an image answer's body the way the HTTP worker does;
// the last byte's bits pick the answer's "Content-Length" (absent, off by one, right,
// repeated with another value), whether the size is checked and the host's size limit. Aborts when the
// outcome breaks the worker's promises: an image exactly when there is no failure, within
// the limit when one applies, never with a wrong "Content-Length", and restored from the
// cached bytes with the same pixels.
int imageDecode(const uint8_t* data, size_t size);

} // namespace tq::fuzzing
