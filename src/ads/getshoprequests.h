#pragma once
// Requests of the shopping-banner service (GetShop backend: its address and key come
// from the configuration). Query rules: texts when not empty; a channel id unless it is
// -1; an age when 0 or more; sizes and counts when not 0.

#include "tqglobal.h"

#include "ads/getshop.h"
#include "ads/requestkit.h"

namespace gs {

using ad::detail::clientTime;
using ad::detail::param;
using ad::detail::Send;

namespace detail {

using ad::detail::Exchange;
using ad::detail::Request;

TQ_EXPORT QVariant decodeText(const QByteArray& body); // the body as UTF-8 text

constexpr Exchange get(const char* path, ad::detail::Decoder decode = nullptr)
{
    return {tq::MethodType::GetShopApi, "GET", path, decode};
}

} // namespace detail

class TQ_EXPORT PlaylistRequest : public detail::Request<PlaylistRequest>
{
public:
    static constexpr detail::Exchange exchange = detail::get("/playlist", &decodeShop<PlaylistResponse>);

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
        return std::make_tuple(clientTime(), param("channel_id", &R::channelId, Send::NotMinusOne),
                               param("san", &R::san), param("client_id", &R::clientId),
                               param("location", &R::location), param("mcast", &R::mcast),
                               param("event_id", &R::eventId), param("client_version", &R::clientVersion),
                               param("age_value", &R::ageValue, Send::NotNegative),
                               param("display_width", &R::displayWidth, Send::NotZero),
                               param("display_height", &R::displayHeight, Send::NotZero));
    }
};

class TQ_EXPORT BannerRequest : public detail::Request<BannerRequest>
{
public:
    static constexpr detail::Exchange exchange = detail::get("/banner", &decodeShop<Banner>);

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
        return std::make_tuple(clientTime(), param("event_id", &R::eventId),
                               param("channel_id", &R::channelId, Send::NotMinusOne),
                               param("client_id", &R::clientId), param("location", &R::location),
                               param("age_value", &R::ageValue, Send::NotNegative),
                               param("display_width", &R::displayWidth, Send::NotZero),
                               param("display_height", &R::displayHeight, Send::NotZero));
    }
};

// Base of the requests that refresh a banner: the banner id as "banner_id".
template<class R>
class BannerUpdateRequest : public detail::Request<R>
{
public:
    QString bannerId;

    static constexpr auto query() { return std::make_tuple(param("banner_id", &BannerUpdateRequest::bannerId)); }
};

class TQ_EXPORT BannerTextRequest : public BannerUpdateRequest<BannerTextRequest>
{
public:
    static constexpr detail::Exchange exchange = detail::get("/banner/text", &decodeShop<TextResponse>);
};

class TQ_EXPORT BannerEntireUpdateRequest : public BannerUpdateRequest<BannerEntireUpdateRequest>
{
public:
    static constexpr detail::Exchange exchange = detail::get("/banner/update", &decodeShop<Banner>);
};

// The banner's new image, from its complete address; the banner id goes along when set.
class TQ_EXPORT BannerImageRequest : public BannerUpdateRequest<BannerImageRequest>
{
public:
    QString url;

    static constexpr detail::Exchange exchange{tq::MethodType::GetShopImage, "GET", ""};
    static constexpr auto address = &BannerImageRequest::url;
};

class TQ_EXPORT MicrositeRequest : public detail::Request<MicrositeRequest>
{
public:
    static constexpr detail::Exchange exchange = detail::get("/microsite", &decodeShop<Microsite>);

    qint64 channelId = -1;
    QString clientId;
    QString location;
    QString eventId;
    int displayWidth = 0;
    int displayHeight = 0;

    static constexpr auto query()
    {
        using R = MicrositeRequest;
        return std::make_tuple(clientTime(), param("channel_id", &R::channelId, Send::NotMinusOne),
                               param("client_id", &R::clientId), param("location", &R::location),
                               param("event_id", &R::eventId),
                               param("display_width", &R::displayWidth, Send::NotZero),
                               param("display_height", &R::displayHeight, Send::NotZero));
    }
};

class TQ_EXPORT MicrositeScreenRequest : public detail::Request<MicrositeScreenRequest>
{
public:
    static constexpr detail::Exchange exchange = detail::get("/microsite/screen", &decodeShop<Screen>);

    QString eventId;
    QString screenId;
    int displayWidth = 0;
    int displayHeight = 0;
    int n = 0;

    static constexpr auto query()
    {
        using R = MicrositeScreenRequest;
        return std::make_tuple(param("event_id", &R::eventId), param("screen_id", &R::screenId),
                               param("display_width", &R::displayWidth, Send::NotZero),
                               param("display_height", &R::displayHeight, Send::NotZero),
                               param("n", &R::n, Send::NotZero));
    }
};

class TQ_EXPORT ClientInfoRequest : public detail::Request<ClientInfoRequest>
{
public:
    static constexpr detail::Exchange exchange = detail::get("/client/info", &decodeShop<ClientInfoResponse>);

    QString eventId;

    static constexpr auto query() { return std::make_tuple(param("event_id", &ClientInfoRequest::eventId)); }
};

class TQ_EXPORT ClientCodeRequest : public detail::Request<ClientCodeRequest>
{
public:
    static constexpr detail::Exchange exchange = detail::get("/client/code");

    QString eventId;
    QString phoneId;
    qint64 phone = -1;

    static constexpr auto query()
    {
        using R = ClientCodeRequest;
        return std::make_tuple(param("event_id", &R::eventId), param("phone_id", &R::phoneId),
                               param("phone", &R::phone, Send::NotMinusOne));
    }
};

class TQ_EXPORT ClientSendRequest : public detail::Request<ClientSendRequest>
{
public:
    static constexpr detail::Exchange exchange{tq::MethodType::GetShopApi, "POST", "/client/send"};

    QString eventId;
    QString screenId;
    QString buttonId;
    QString phoneId;
    qint64 phone = 0;
    qint64 code = 0;

    static constexpr auto query()
    {
        using R = ClientSendRequest;
        return std::make_tuple(param("event_id", &R::eventId), param("screen_id", &R::screenId),
                               param("button_id", &R::buttonId), param("phone_id", &R::phoneId),
                               param("phone", &R::phone, Send::NotZero), param("code", &R::code, Send::NotZero));
    }
};

class TQ_EXPORT LogEventsRequest : public detail::Request<LogEventsRequest>
{
public:
    static constexpr detail::Exchange exchange{tq::MethodType::GetShopApi, "POST", "/client/log"};

    QString eventId;
    QList<LogEvent> events;

    static constexpr auto query() { return std::make_tuple(param("event_id", &LogEventsRequest::eventId)); }
    QByteArray body() const; // {"event_id": ..., "events": [...]}
};

// Complete addresses: images (cached by address), texts, audit pixels.
class TQ_EXPORT GetShopImageRequest : public ad::detail::AddressRequest<tq::MethodType::GetShopImage>
{
public:
    using AddressRequest::AddressRequest;
};
class TQ_EXPORT GetShopTextRequest : public ad::detail::AddressRequest<tq::MethodType::GetShopTextPlain, &detail::decodeText>
{
public:
    using AddressRequest::AddressRequest;
};
class TQ_EXPORT AuditRequest : public ad::detail::AddressRequest<tq::MethodType::GetShopAudit>
{
public:
    using AddressRequest::AddressRequest;
};

} // namespace gs
