#pragma once
// Requests of the shopping-banner service (GetShop backend: its address and key come
// from the configuration). Query rules: texts when not empty; a channel id unless it is
// -1; an age when 0 or more; sizes and counts when not 0.

#include "tqglobal.h"

#include "ads/getshop.h"
#include "transport/requestkit.h"

namespace gs {

using tq::clientTime;
using tq::item;
using tq::Send;

namespace detail {

TQ_EXPORT QVariant decodeText(const QByteArray& body); // the body as UTF-8 text

} // namespace detail

class TQ_EXPORT PlaylistRequest : public tq::Request<PlaylistRequest>
{
public:
    using Answer = PlaylistResponse;
    static constexpr tq::Route route = tq::get("/playlist").type(tq::MethodType::GetShopApi);

    qint64 channelId = -1;
    QString san;
    QString clientId;
    QString location;
    QString mcast;
    QString eventId;
    QString clientVersion;
    qint64 ageValue = -1;
    int displayWidth = 0;
    int displayHeight = 0;

    static constexpr auto query()
    {
        using R = PlaylistRequest;
        return std::make_tuple(clientTime(), item("channel_id", &R::channelId, Send::NotMinusOne),
                               item("san", &R::san), item("client_id", &R::clientId),
                               item("location", &R::location), item("mcast", &R::mcast),
                               item("event_id", &R::eventId), item("client_version", &R::clientVersion),
                               item("age_value", &R::ageValue, Send::NotNegative),
                               item("display_width", &R::displayWidth, Send::NotZero),
                               item("display_height", &R::displayHeight, Send::NotZero));
    }
};

class TQ_EXPORT BannerRequest : public tq::Request<BannerRequest>
{
public:
    using Answer = Banner;
    static constexpr tq::Route route = tq::get("/banner").type(tq::MethodType::GetShopApi);

    QString eventId;
    qint64 channelId = -1;
    QString clientId;
    QString location;
    qint64 ageValue = -1;
    int displayWidth = 0;
    int displayHeight = 0;

    static constexpr auto query()
    {
        using R = BannerRequest;
        return std::make_tuple(clientTime(), item("event_id", &R::eventId),
                               item("channel_id", &R::channelId, Send::NotMinusOne),
                               item("client_id", &R::clientId), item("location", &R::location),
                               item("age_value", &R::ageValue, Send::NotNegative),
                               item("display_width", &R::displayWidth, Send::NotZero),
                               item("display_height", &R::displayHeight, Send::NotZero));
    }
};

// Base of the requests that refresh a banner: the banner id as "banner_id".
template<class R>
class BannerUpdateRequest : public tq::Request<R>
{
public:
    QString bannerId;

    static constexpr auto query() { return std::make_tuple(item("banner_id", &BannerUpdateRequest::bannerId)); }
};

class TQ_EXPORT BannerTextRequest : public BannerUpdateRequest<BannerTextRequest>
{
public:
    using Answer = TextResponse;
    static constexpr tq::Route route = tq::get("/banner/text").type(tq::MethodType::GetShopApi);
};

class TQ_EXPORT BannerEntireUpdateRequest : public BannerUpdateRequest<BannerEntireUpdateRequest>
{
public:
    using Answer = Banner;
    static constexpr tq::Route route = tq::get("/banner/update").type(tq::MethodType::GetShopApi);
};

// The banner's new image, from its complete address; the banner id goes along when set.
class TQ_EXPORT BannerImageRequest : public BannerUpdateRequest<BannerImageRequest>
{
public:
    QString url;

    static constexpr tq::Route route = tq::get("").type(tq::MethodType::GetShopImage);
    static constexpr auto address = &BannerImageRequest::url;
};

class TQ_EXPORT MicrositeRequest : public tq::Request<MicrositeRequest>
{
public:
    using Answer = Microsite;
    static constexpr tq::Route route = tq::get("/microsite").type(tq::MethodType::GetShopApi);

    qint64 channelId = -1;
    QString clientId;
    QString location;
    QString eventId;
    int displayWidth = 0;
    int displayHeight = 0;

    static constexpr auto query()
    {
        using R = MicrositeRequest;
        return std::make_tuple(clientTime(), item("channel_id", &R::channelId, Send::NotMinusOne),
                               item("client_id", &R::clientId), item("location", &R::location),
                               item("event_id", &R::eventId),
                               item("display_width", &R::displayWidth, Send::NotZero),
                               item("display_height", &R::displayHeight, Send::NotZero));
    }
};

class TQ_EXPORT MicrositeScreenRequest : public tq::Request<MicrositeScreenRequest>
{
public:
    using Answer = Screen;
    static constexpr tq::Route route = tq::get("/microsite/screen").type(tq::MethodType::GetShopApi);

    QString eventId;
    QString screenId;
    int displayWidth = 0;
    int displayHeight = 0;
    int n = 0;

    static constexpr auto query()
    {
        using R = MicrositeScreenRequest;
        return std::make_tuple(item("event_id", &R::eventId), item("screen_id", &R::screenId),
                               item("display_width", &R::displayWidth, Send::NotZero),
                               item("display_height", &R::displayHeight, Send::NotZero),
                               item("n", &R::n, Send::NotZero));
    }
};

class TQ_EXPORT ClientInfoRequest : public tq::Request<ClientInfoRequest>
{
public:
    using Answer = ClientInfoResponse;
    static constexpr tq::Route route = tq::get("/client/info").type(tq::MethodType::GetShopApi);

    QString eventId;

    static constexpr auto query() { return std::make_tuple(item("event_id", &ClientInfoRequest::eventId)); }
};

class TQ_EXPORT ClientCodeRequest : public tq::Request<ClientCodeRequest>
{
public:
    static constexpr tq::Route route = tq::get("/client/code").type(tq::MethodType::GetShopApi);

    QString eventId;
    QString phoneId;
    qint64 phone = -1;

    static constexpr auto query()
    {
        using R = ClientCodeRequest;
        return std::make_tuple(item("event_id", &R::eventId), item("phone_id", &R::phoneId),
                               item("phone", &R::phone, Send::NotMinusOne));
    }
};

class TQ_EXPORT ClientSendRequest : public tq::Request<ClientSendRequest>
{
public:
    static constexpr tq::Route route = tq::post("/client/send").type(tq::MethodType::GetShopApi);

    QString eventId;
    QString screenId;
    QString buttonId;
    QString phoneId;
    qint64 phone = 0;
    qint64 code = 0;

    static constexpr auto query()
    {
        using R = ClientSendRequest;
        return std::make_tuple(item("event_id", &R::eventId), item("screen_id", &R::screenId),
                               item("button_id", &R::buttonId), item("phone_id", &R::phoneId),
                               item("phone", &R::phone, Send::NotZero), item("code", &R::code, Send::NotZero));
    }
};

class TQ_EXPORT LogEventsRequest : public tq::Request<LogEventsRequest>
{
public:
    static constexpr tq::Route route = tq::post("/client/log").type(tq::MethodType::GetShopApi);

    QString eventId;
    QList<LogEvent> events;

    static constexpr auto query() { return std::make_tuple(item("event_id", &LogEventsRequest::eventId)); }
    QByteArray encodedBody() const; // {"event_id": ..., "events": [...]}
};

// Complete addresses: images (cached by address), texts, audit pixels.
class TQ_EXPORT GetShopImageRequest : public tq::AddressRequest<tq::MethodType::GetShopImage>
{
public:
    using AddressRequest::AddressRequest;
};
class TQ_EXPORT GetShopTextRequest : public tq::AddressRequest<tq::MethodType::GetShopTextPlain, &detail::decodeText>
{
public:
    using AddressRequest::AddressRequest;
};
class TQ_EXPORT AuditRequest : public tq::AddressRequest<tq::MethodType::GetShopAudit>
{
public:
    using AddressRequest::AddressRequest;
};

} // namespace gs
