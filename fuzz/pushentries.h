#pragma once
// Entry points of the push-notification and device-management fuzzers, shared with the
// corpus replay test.

#include <cstddef>
#include <cstdint>

namespace tq::fuzzing {

// A pushed message through the notification factory, alone and embedded in an answer;
// the payload re-encoded.
int notificationJson(const uint8_t* data, size_t size);
// A poll answer through the poll decoder and the factory; the bytes after the first as the
// options of the command the first byte picks; the bytes as the settings and firmware answers.
int rdmCommandJson(const uint8_t* data, size_t size);

} // namespace tq::fuzzing
