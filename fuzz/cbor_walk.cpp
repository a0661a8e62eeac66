// libFuzzer target: the CBOR walk of a channel list answer.
#include "fuzzentries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return tq::fuzzing::cborWalk(data, size);
}
