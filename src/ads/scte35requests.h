#pragma once
// SCTE-35 ad breaks on live channels: the two ad-decision services ("nsc" and "pm",
// each with its own configuration group and backend parameters) answer VAST, and their
// tracking addresses are called back. Every number counts as set when greater than 0.

#include "tqglobal.h"

#include "ads/vast.h"
#include "transport/requestkit.h"

namespace scte35ad {

using tq::item;

class TQ_EXPORT NscVastRequest : public tq::Request<NscVastRequest>
{
public:
    static constexpr tq::Route route =
        tq::get("/ads/vast/get").type(tq::MethodType::Scte35Nsc).decodedBy(&ad::decodeVast);

    // The keys are the ad-decision server's; the host's values are forwarded.
    qint64 out = 0;
    qint64 cid = 0;
    qint64 cnt = 0;
    qint64 dur = 0;
    qint64 adid = 0;
    qint64 appid = 0;
    qint64 siteId = 0;
    qint64 zoneId = 0;
    qint64 pid = 0;
    qint64 channelId = 0;
    qint64 locationId = 0;
    qint64 upid = 0;
    qint64 availNum = 0;
    QString opc;

    static constexpr auto query()
    {
        using R = NscVastRequest;
        return std::make_tuple(item("out", &R::out), item("opc", &R::opc), item("cid", &R::cid), item("cnt", &R::cnt),
                               item("adid", &R::adid), item("appid", &R::appid), item("site_id", &R::siteId),
                               item("zone_id", &R::zoneId), item("pid", &R::pid), item("channel_id", &R::channelId),
                               item("location_id", &R::locationId), item("dur", &R::dur), item("upid", &R::upid),
                               item("avail_num", &R::availNum));
    }
};

class TQ_EXPORT PostMediaVastRequest : public tq::Request<PostMediaVastRequest>
{
public:
    static constexpr tq::Route route = tq::get("/vast3").type(tq::MethodType::Scte35PostMedia).decodedBy(&ad::decodeVast);

    qint64 channelId = 0;
    qint64 locationId = 0;
    qint64 duration = 0;

    static constexpr auto query()
    {
        using R = PostMediaVastRequest;
        return std::make_tuple(item("channel_id", &R::channelId), item("location_id", &R::locationId),
                               item("duration", &R::duration));
    }
};

// Tracking addresses taken from the VAST answers.
class TQ_EXPORT NscTrackingEventRequest : public tq::AddressRequest<tq::MethodType::Scte35NscAudit>
{
public:
    using AddressRequest::AddressRequest;
};
class TQ_EXPORT PostMediaTrackingEventRequest : public tq::AddressRequest<tq::MethodType::Scte35PostMediaAudit>
{
public:
    using AddressRequest::AddressRequest;
};

} // namespace scte35ad
