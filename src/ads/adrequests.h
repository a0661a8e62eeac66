#pragma once
// Ad requests (VAST before, during and after content and around live channels) and the
// tracking pixels of their answers. All go through the ad backend, which never retries
// them; the three ad requests deliver an ad::VastResponse.

#include "tqglobal.h"

#include "ads/requestkit.h"
#include "ads/vast.h"

namespace ad {

using detail::param;
using detail::Send;

// Video on demand, from the GetShop ad server.
class TQ_EXPORT GetShopAvodRequest : public detail::Request<GetShopAvodRequest>
{
public:
    static constexpr detail::Exchange exchange{tq::MethodType::GetShopAdApi, "GET", "/avod/vast", &decodeVast};

    AvodRollType rollType = AvodRollType::Preroll;
    QString location;
    QString clientId;
    QString san;
    QString clientVersion;
    QString uid;
    QString deviceType;
    QString broadcastType;
    QString adSectionId;
    QString contentCategory;
    QString title;
    QString owner;
    quint8 adPosition = 0; // 0 = not set
    qint64 ageValue = -1;  // negative = not set
    qint64 maxDuration = 0;
    qint64 contractorId = 0;
    qint64 contentId = 0;
    bool isChild = false;

    static constexpr auto query()
    {
        using R = GetShopAvodRequest;
        return std::make_tuple(
            param("ad_place_type", &R::rollType, Send::Always), param("location", &R::location),
            param("client_id", &R::clientId), param("san", &R::san), param("client_version", &R::clientVersion),
            param("uid", &R::uid), param("device_type", &R::deviceType), param("broadcast_type", &R::broadcastType),
            param("ad_position", &R::adPosition, Send::NotZero), param("age_value", &R::ageValue, Send::NotNegative),
            param("ad_section_id", &R::adSectionId), param("content_category", &R::contentCategory),
            param("title", &R::title), param("owner", &R::owner),
            param("max_duration", &R::maxDuration, Send::Positive),
            param("contractor_id", &R::contractorId, Send::Positive),
            param("content_id", &R::contentId, Send::Positive), param("is_child", &R::isChild));
    }
};

// Around a live channel, from the GetShop ad server.
class TQ_EXPORT GetShopAliveRequest : public detail::Request<GetShopAliveRequest>
{
public:
    static constexpr detail::Exchange exchange{tq::MethodType::GetShopAdApi, "GET", "/alive/vast", &decodeVast};

    QString placeType; // sent as given; the alive roll-type names are the usual values
    qint64 location = -1;
    QString clientId;
    qint64 clientTime = -1;
    QString san;
    QString clientVersion;
    QString deviceType;
    qint64 channelId = -1;
    QString channelName;
    qint64 channelNumber = -1;
    qint64 epgId = -1;
    QString epgName;
    qint64 ageValue = -1;
    QString broadcastType;
    quint8 adPosition = 0;

    static constexpr auto query()
    {
        using R = GetShopAliveRequest;
        constexpr Send set = Send::NotNegative;
        return std::make_tuple(
            param("ad_place_type", &R::placeType, Send::Always), param("location", &R::location, set),
            param("client_id", &R::clientId), param("client_time", &R::clientTime, set), param("san", &R::san),
            param("client_version", &R::clientVersion), param("device_type", &R::deviceType),
            param("channel_id", &R::channelId, set), param("channel_name", &R::channelName),
            param("channel_number", &R::channelNumber, set), param("epg_id", &R::epgId, set),
            param("epg_name", &R::epgName), param("age_value", &R::ageValue, set),
            param("broadcast_type", &R::broadcastType), param("ad_position", &R::adPosition, Send::NotZero));
    }
};

// Around a live channel, from the ad-stream server the host names for the request.
class TQ_EXPORT AdStreamAliveRequest : public detail::Request<AdStreamAliveRequest>
{
public:
    QString serverUrl; // "/vast3" is appended as it is

    static constexpr detail::Exchange exchange{tq::MethodType::AdStreamApi, "GET", "/vast3", &decodeVast};
    static constexpr auto address = &AdStreamAliveRequest::serverUrl;

    qint64 location = -1;
    QString san;
    QString deviceType;
    QString placeType;
    QString title;
    qint64 ageValue = -1;
    bool isChild = false;

    static constexpr auto query()
    {
        using R = AdStreamAliveRequest;
        return std::make_tuple(param("ad_place_type", &R::placeType, Send::Always), param("is_child", &R::isChild),
                               param("location", &R::location, Send::NotNegative),
                               param("device_type", &R::deviceType), param("san", &R::san), param("title", &R::title),
                               param("age_value", &R::ageValue, Send::NotNegative));
    }
};

// Tracking pixels: `url` is the complete address taken from the VAST answer.
class TQ_EXPORT GetShopPixelRequest : public detail::AddressRequest<tq::MethodType::GetShopAdAudit>
{
public:
    using AddressRequest::AddressRequest;
};
class TQ_EXPORT AdStreamPixelRequest : public detail::AddressRequest<tq::MethodType::AdStreamAudit>
{
public:
    using AddressRequest::AddressRequest;
};
class TQ_EXPORT AdBannerPixelRequest : public detail::AddressRequest<tq::MethodType::AdBannerAudit>
{
public:
    using AddressRequest::AddressRequest;
};

} // namespace ad
