#pragma once
// Platform requests: live television — channels, the programme guide, radio, channel
// previews and recordings.

#include "tqglobal.h"

#include "api/requestfamilies.h"
#include "api/requestparams.h"
#include "model/account.h"
#include "model/channels.h"
#include "model/epg.h"
#include "model/profiles.h"
#include "model/records.h"

#include <optional>

namespace tq {

// The channel list may come as CBOR (the platform answers by the Accept header).
class TQ_EXPORT GetChannelsRequest : public Request<GetChannelsRequest, AbstractRequest>
{
public:
    using Answer = GetChannelsResponse;
    static constexpr Route route = get("/user/channels", 3).cbor();
    QList<qint64> themes;
    int epgLimit = 0;
    bool withDetails = false;
    bool withEpg = false;
    static constexpr auto query()
    {
        using R = GetChannelsRequest;
        return std::make_tuple(item("themes", &R::themes), item("epg_limit", &R::epgLimit),
                               item("with_details", &R::withDetails), item("with_epg", &R::withEpg));
    }
};

class TQ_EXPORT GetChannelByIdRequest : public Request<GetChannelByIdRequest, RequestById>
{
public:
    using Request::Request;
    using Answer = Channel;
    static constexpr Route route = get("/user/channels/{id}", 3);
    int epgLimit = 0;
    bool withEpg = false;
    static constexpr auto query()
    {
        using R = GetChannelByIdRequest;
        return std::make_tuple(item("epg_limit", &R::epgLimit), item("with_epg", &R::withEpg));
    }
};

// The same channel by the platform-wide id.
class TQ_EXPORT GetChannelByTqIdRequest : public Request<GetChannelByTqIdRequest, GetChannelByIdRequest>
{
public:
    using Request::Request;
    static constexpr Route route = get("/user/channels/tq/{id}", 3);
};

TQ_REQUEST(GetRadioChannelsRequest, AbstractRequest, get("/user/radio_channels"), GetRadioChannelsResponse)

TQ_REQUEST(GetProfileChannelsRequest, RequestById, get("/user/profiles/{id}/channels"), GetProfileChannelsResponse)

TQ_REQUEST(GetChannelPreviewRequest, RequestById, get("/user/channel_preview/{id}"), PreviewDurationBrief)

TQ_REQUEST(ChangePreviewRequest, RequestWithBody<ChannelPreviewReq>, post("/user/channel_preview"), PostPreviewResponse)

class TQ_EXPORT GetEpgRequest : public Request<GetEpgRequest, AbstractRequest>
{
public:
    using Answer = GetEPGResponse;
    static constexpr Route route = get("/user/epg");
    QList<qint64> channelsIds;
    qint64 startTime = 0;
    qint64 endTime = 0;
    int limit = 0;
    qint64 nearlyByTime = 0;
    qint64 finishTime = 0;
    static constexpr auto query()
    {
        using R = GetEpgRequest;
        return std::make_tuple(item("channels_ids", &R::channelsIds), item("start_time", &R::startTime),
                               item("end_time", &R::endTime), item("limit", &R::limit),
                               item("nearly_by_time", &R::nearlyByTime), item("finish_time", &R::finishTime));
    }
};

TQ_REQUEST(GetEpgByIdRequest, RequestById, get("/user/epg/{id}"), GetEPGByIDResponse)

class TQ_EXPORT GetEpgByOriginalIdRequest : public Request<GetEpgByOriginalIdRequest, RequestById>
{
public:
    using Request::Request;
    using Answer = GetEPGByIDResponse;
    static constexpr Route route = get("/user/epg/original/{id}");
    qint64 tqChannelId = 0;
    qint64 startTime = 0;
    qint64 channelId = 0;
    static constexpr auto query()
    {
        using R = GetEpgByOriginalIdRequest;
        return std::make_tuple(item("tq_channel_id", &R::tqChannelId), item("start_time", &R::startTime),
                               item("channel_id", &R::channelId));
    }
};

TQ_REQUEST(EpgRecordingRequest, RequestById, post("/user/epg/{id}/recording"), SuccessResponse)

TQ_REQUEST(DeleteEpgRecordingRequest, RequestById, del("/user/epg/{id}/recording"), SuccessResponse)

using ChannelRequests = std::tuple<GetChannelsRequest, GetChannelByIdRequest, GetChannelByTqIdRequest, GetRadioChannelsRequest, GetProfileChannelsRequest, GetChannelPreviewRequest, ChangePreviewRequest, GetEpgRequest, GetEpgByIdRequest, GetEpgByOriginalIdRequest, EpgRecordingRequest, DeleteEpgRecordingRequest>;

} // namespace tq
