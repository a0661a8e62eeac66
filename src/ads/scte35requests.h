#pragma once
// SCTE-35 ad breaks on live channels: the two ad-decision services ("nsc" and "pm",
// each with its own configuration group and backend parameters) answer VAST, and their
// tracking addresses are called back. Every number counts as set when greater than 0.

#include "tqglobal.h"

#include "ads/requestkit.h"
#include "ads/vast.h"

namespace scte35ad {

using ad::detail::param;
using ad::detail::Send;

class TQ_EXPORT NscVastRequest : public ad::detail::Request<NscVastRequest>
{
public:
    static constexpr ad::detail::Exchange exchange{tq::MethodType::Scte35Nsc, "GET", "/ads/vast/get",
                                                   &ad::decodeVast};

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
        constexpr Send set = Send::Positive;
        return std::make_tuple(param("out", &R::out, set), param("opc", &R::opc), param("cid", &R::cid, set),
                               param("cnt", &R::cnt, set), param("adid", &R::adid, set),
                               param("appid", &R::appid, set), param("site_id", &R::siteId, set),
                               param("zone_id", &R::zoneId, set), param("pid", &R::pid, set),
                               param("channel_id", &R::channelId, set), param("location_id", &R::locationId, set),
                               param("dur", &R::dur, set), param("upid", &R::upid, set),
                               param("avail_num", &R::availNum, set));
    }
};

class TQ_EXPORT PostMediaVastRequest : public ad::detail::Request<PostMediaVastRequest>
{
public:
    static constexpr ad::detail::Exchange exchange{tq::MethodType::Scte35PostMedia, "GET", "/vast3",
                                                   &ad::decodeVast};

    qint64 channelId = 0;
    qint64 locationId = 0;
    qint64 duration = 0;

    static constexpr auto query()
    {
        using R = PostMediaVastRequest;
        return std::make_tuple(param("channel_id", &R::channelId, Send::Positive),
                               param("location_id", &R::locationId, Send::Positive),
                               param("duration", &R::duration, Send::Positive));
    }
};

// Tracking addresses taken from the VAST answers.
class TQ_EXPORT NscTrackingEventRequest : public ad::detail::AddressRequest<tq::MethodType::Scte35NscAudit>
{
public:
    using AddressRequest::AddressRequest;
};
class TQ_EXPORT PostMediaTrackingEventRequest : public ad::detail::AddressRequest<tq::MethodType::Scte35PostMediaAudit>
{
public:
    using AddressRequest::AddressRequest;
};

} // namespace scte35ad
