#pragma once
// How the service requests are written (ads, party games, auxiliary services). They
// differ only in data, so a request declares that data once and Request<R> builds its raw
// data from it:
//
//     class BannerTextRequest : public tq::kit::Request<BannerTextRequest>
//     {
//     public:
//         static constexpr tq::kit::Exchange exchange{tq::MethodType::GetShopApi, "GET",
//                                                     "/banner/text", &decodeShop<TextResponse>};
//         QString bannerId;
//         static constexpr auto query()
//         {
//             return std::make_tuple(tq::kit::param("banner_id", &BannerTextRequest::bannerId));
//         }
//     };
//
// - exchange: MethodType, HTTP method, path, answer decoder (null: only success matters).
// - query(): the items in sending order, each with its rule (texts: when not empty;
//   booleans and enumerations: always; numbers: the rule given). clientTime() is the
//   current time, taken when the raw data is built on the worker thread.
// - A request that holds a complete address names it: `static constexpr auto address =
//   &R::url;` the path is then that address followed by exchange.path, and an empty
//   address makes the request invalid (refused before anything is sent).
// - QByteArray body() const, when declared, fills the body.
// - void finish(tq::RequestRawData&) const, when declared, runs last: for a path built
//   from members, switches such as isCacheable, or validity rules of its own.
// - decodeJson<T> decodes a JSON answer whose top-level object is T.
//
// The creator captures a copy of the request, so the object may go as soon as it is sent.

#include "tqglobal.h"

#include "transport/request.h"
#include "model/constantsdictionary.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <QString>
#include <QStringList>

#include <cstddef>
#include <tuple>
#include <type_traits>

namespace tq::kit {

// "key=value", both percent-encoded (only letters, digits and "-._~" stay as they are).
TQ_EXPORT QString queryItem(const QString& key, const QString& value);
TQ_EXPORT qint64 currentEpochSeconds();

enum class Send { Always, NotEmpty, Positive, NotNegative, NotZero, NotMinusOne };

template<class Owner, class Member>
struct Param
{
    const char* key;
    Member Owner::*member;
    Send when;
};

template<class Owner, class Member>
constexpr Param<Owner, Member> param(const char* key, Member Owner::*member, Send when)
{
    return {key, member, when};
}

template<class Owner, class Member>
constexpr Param<Owner, Member> param(const char* key, Member Owner::*member)
{
    static_assert(std::is_same_v<Member, QString> || std::is_same_v<Member, bool> || std::is_enum_v<Member>,
                  "a number needs its sending rule");
    return {key, member, std::is_same_v<Member, QString> ? Send::NotEmpty : Send::Always};
}

struct TQ_EXPORT ClientTime
{
    const char* key;
};
constexpr ClientTime clientTime(const char* key = "client_time")
{
    return {key};
}

using Decoder = QVariant (*)(const QByteArray&);

struct TQ_EXPORT Exchange
{
    tq::MethodType type;
    const char* method;
    const char* path; // after the address, for requests that hold one
    Decoder decode = nullptr;
};

// The decoder as a response extractor; none for a request whose answer is not decoded.
TQ_EXPORT tq::ResponseExtractor extractorOf(Decoder decode);

template<class Member>
bool isSent(const Member& value, Send when)
{
    if constexpr (std::is_same_v<Member, QString>) {
        return when == Send::Always || !value.isEmpty();
    } else if constexpr (std::is_arithmetic_v<Member> && !std::is_same_v<Member, bool>) {
        switch (when) {
        case Send::Positive: return value > 0;
        case Send::NotNegative: return value >= 0;
        case Send::NotZero: return value != 0;
        case Send::NotMinusOne: return qint64(value) != -1;
        default: return true;
        }
    } else {
        return true;
    }
}

template<class Member>
QString wireText(const Member& value)
{
    if constexpr (std::is_same_v<Member, QString>)
        return value;
    else if constexpr (std::is_same_v<Member, bool>)
        return value ? QStringLiteral("true") : QStringLiteral("false");
    else if constexpr (std::is_enum_v<Member>)
        return tq::WireStrings<Member>::dictionary().key(value);
    else
        return QString::number(qint64(value));
}

template<class R, class Owner, class Member>
void appendItem(const R& request, const Param<Owner, Member>& p, QStringList& items)
{
    const Member& value = request.*p.member;
    if (isSent(value, p.when))
        items.append(queryItem(QLatin1String(p.key), wireText(value)));
}

template<class R>
void appendItem(const R&, const ClientTime& p, QStringList& items)
{
    items.append(queryItem(QLatin1String(p.key), QString::number(currentEpochSeconds())));
}

template<class R>
class Request : public tq::AbstractRequest
{
public:
    std::function<tq::RequestRawData()> rawDataCreator() const override
    {
        return [request = static_cast<const R&>(*this)] { return request.rawData(); };
    }

    tq::RequestRawData rawData() const
    {
        const R& self = static_cast<const R&>(*this);
        constexpr Exchange exchange = R::exchange;
        tq::RequestRawData raw(extractorOf(exchange.decode));
        raw.httpMethod = QString::fromLatin1(exchange.method);
        raw.methodType = exchange.type;
        raw.methodSpecialization = methodSpecialization();
        raw.path = QString::fromLatin1(exchange.path);
        if constexpr (!std::is_same_v<std::decay_t<decltype(R::address)>, std::nullptr_t>) {
            const QString& address = self.*R::address;
            raw.path.prepend(address);
            raw.isAbsoluteUrl = true;
            raw.isValid = !address.isEmpty();
        }
        std::apply([&](const auto&... p) { (appendItem(self, p, raw.queryItems), ...); }, R::query());
        raw.body = self.body();
        self.finish(raw);
        return raw;
    }

    // Defaults a request replaces by declaring its own.
    static constexpr std::nullptr_t address = nullptr;
    static constexpr std::tuple<> query() { return {}; }
    QByteArray body() const { return {}; }
    void finish(tq::RequestRawData&) const {}
};

// The answer's top-level object decoded as T; anything else gives the default T.
template<class T>
QVariant decodeJson(const QByteArray& body)
{
    T answer;
    const QJsonObject json = QJsonDocument::fromJson(body).object();
    if (!json.isEmpty())
        answer.fromJson(json);
    return QVariant::fromValue(answer);
}

// A request whose only datum is a complete address: pixels, tracking calls, images, texts.
template<tq::MethodType Type, Decoder Decode = nullptr>
class AddressRequest : public Request<AddressRequest<Type, Decode>>
{
public:
    AddressRequest() = default;
    explicit AddressRequest(QString address) : url(std::move(address)) {}

    QString url;

    static constexpr Exchange exchange{Type, "GET", "", Decode};
    static constexpr auto address = &AddressRequest::url;
};

} // namespace tq::kit
