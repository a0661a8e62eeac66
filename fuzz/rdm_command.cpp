// libFuzzer target: device-management answers and commands.
#include "pushentries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return tq::fuzzing::rdmCommandJson(data, size);
}
