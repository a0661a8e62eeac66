#pragma once
// Ad requests (VAST before, during and after content and around live channels) and the
// tracking pixels of their answers. All go through the ad backend, which never retries
// them; the three ad requests deliver an ad::VastResponse.

#include "tqglobal.h"

#include "ads/vast.h"
#include "transport/requestkit.h"

namespace ad {

using tq::item;
using tq::Send;

// Video on demand, from the GetShop ad server.
class TQ_EXPORT GetShopAvodRequest : public tq::Request<GetShopAvodRequest>
{
public:
    static constexpr tq::Route route = tq::get("/avod/vast").type(tq::MethodType::GetShopAdApi).decodedBy(&decodeVast);

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
            item("ad_place_type", &R::rollType, Send::Always), item("location", &R::location),
            item("client_id", &R::clientId), item("san", &R::san), item("client_version", &R::clientVersion),
            item("uid", &R::uid), item("device_type", &R::deviceType), item("broadcast_type", &R::broadcastType),
            item("ad_position", &R::adPosition, Send::NotZero), item("age_value", &R::ageValue, Send::NotNegative),
            item("ad_section_id", &R::adSectionId), item("content_category", &R::contentCategory),
            item("title", &R::title), item("owner", &R::owner), item("max_duration", &R::maxDuration),
            item("contractor_id", &R::contractorId), item("content_id", &R::contentId),
            item("is_child", &R::isChild, Send::Always));
    }
};

// Around a live channel, from the GetShop ad server.
class TQ_EXPORT GetShopAliveRequest : public tq::Request<GetShopAliveRequest>
{
public:
    static constexpr tq::Route route = tq::get("/alive/vast").type(tq::MethodType::GetShopAdApi).decodedBy(&decodeVast);

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
            item("ad_place_type", &R::placeType, Send::Always), item("location", &R::location, set),
            item("client_id", &R::clientId), item("client_time", &R::clientTime, set), item("san", &R::san),
            item("client_version", &R::clientVersion), item("device_type", &R::deviceType),
            item("channel_id", &R::channelId, set), item("channel_name", &R::channelName),
            item("channel_number", &R::channelNumber, set), item("epg_id", &R::epgId, set),
            item("epg_name", &R::epgName), item("age_value", &R::ageValue, set),
            item("broadcast_type", &R::broadcastType), item("ad_position", &R::adPosition, Send::NotZero));
    }
};

// Around a live channel, from the ad-stream server the host names for the request.
class TQ_EXPORT AdStreamAliveRequest : public tq::Request<AdStreamAliveRequest>
{
public:
    QString serverUrl; // "/vast3" is appended as it is

    static constexpr tq::Route route = tq::get("/vast3").type(tq::MethodType::AdStreamApi).decodedBy(&decodeVast);
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
        return std::make_tuple(item("ad_place_type", &R::placeType, Send::Always),
                               item("is_child", &R::isChild, Send::Always),
                               item("location", &R::location, Send::NotNegative),
                               item("device_type", &R::deviceType), item("san", &R::san), item("title", &R::title),
                               item("age_value", &R::ageValue, Send::NotNegative));
    }
};

// Tracking pixels: `url` is the complete address taken from the VAST answer.
class TQ_EXPORT GetShopPixelRequest : public tq::AddressRequest<tq::MethodType::GetShopAdAudit>
{
public:
    using AddressRequest::AddressRequest;
};
class TQ_EXPORT AdStreamPixelRequest : public tq::AddressRequest<tq::MethodType::AdStreamAudit>
{
public:
    using AddressRequest::AddressRequest;
};
class TQ_EXPORT AdBannerPixelRequest : public tq::AddressRequest<tq::MethodType::AdBannerAudit>
{
public:
    using AddressRequest::AddressRequest;
};

} // namespace ad
