// libFuzzer target: a pushed notification message through the factory.
#include "pushentries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return tq::fuzzing::notificationJson(data, size);
}
