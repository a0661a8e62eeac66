// libFuzzer target: the VAST reader on an ad server's answer.
#include "vastentry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return ad::fuzzing::vastRead(data, size);
}
