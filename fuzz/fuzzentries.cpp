#include "fuzzentries.h"

#include "model/b2b.h"
#include "model/decode.h"
#include "model/playback.h"
#include "model/profiles.h"
#include "modelprobe.h"
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
    // And every kind of member: maps, JSON kept as received, texts holding JSON, unions.
    probe::ProbeObject probe;
    CborReader probeReader(body);
    probe.fromCbor(probeReader);
    probe.toJson();
    probe::ProbeUnion probeUnion;
    CborReader unionReader(body);
    probeUnion.fromCbor(unionReader);
    probeUnion.toJson();
    return 0;
}

int jsonDecode(const uint8_t* data, size_t size)
{
    const QByteArray body = bytes(data, size);
    decodeJson<samples::ChannelsResponse>(body).value<samples::ChannelsResponse>().toJson();
    decodeJson<probe::ProbeObject>(body).value<probe::ProbeObject>().toJson();
    // Account answers: maps of maps; profiles whose track preferences are JSON inside texts;
    // hotel screens, whose tiles are unions told apart by their "type".
    decodeJson<GetDrmSettingsResponse>(body).value<GetDrmSettingsResponse>().toJson();
    decodeJson<ListProfilesResponse>(body).value<ListProfilesResponse>().toJson();
    decodeJson<B2bMediaViewRendered>(body).value<B2bMediaViewRendered>().toJson();
    // The unions select their member by the top level "type".
    const QJsonObject json = QJsonDocument::fromJson(body).object();
    probe::ProbeUnion probeUnion;
    probeUnion.fromJson(json);
    probeUnion.toJson();
    probe::ProbeFallbackUnion fallback;
    fallback.fromJson(json);
    fallback.toJson();
    return 0;
}

} // namespace tq::fuzzing
