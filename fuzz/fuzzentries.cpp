#include "fuzzentries.h"

#include "model/decode.h"
#include "modelsamples.h"

namespace tq::fuzzing {

namespace {

QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace

int cborWalk(const uint8_t* data, size_t size)
{
    const QByteArray body = bytes(data, size);
    samples::ChannelsResponse response;
    CborReader reader(body);
    response.fromCbor(reader);
    // A single channel map too, so that short inputs reach the shared-block fields.
    samples::Channel channel;
    CborReader channelReader(body);
    channel.fromCbor(channelReader);
    response.toJson();
    channel.toJson();
    return 0;
}

int jsonDecode(const uint8_t* data, size_t size)
{
    const QVariant decoded = decodeJson<samples::ChannelsResponse>(bytes(data, size));
    decoded.value<samples::ChannelsResponse>().toJson();
    return 0;
}

} // namespace tq::fuzzing
