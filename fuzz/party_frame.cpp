// libFuzzer target: a party-games websocket frame, decoded as the client decodes it.
#include "partystationentry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return pstv::fuzzing::partyFrame(data, size);
}
