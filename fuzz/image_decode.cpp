// libFuzzer target: the HTTP worker's decoding of an image answer.
#include "imageentry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return tq::fuzzing::imageDecode(data, size);
}
