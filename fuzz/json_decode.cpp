// libFuzzer target: the JSON decode routine of a channel list answer.
#include "fuzzentries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return tq::fuzzing::jsonDecode(data, size);
}
