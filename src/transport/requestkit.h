#pragma once
// How a request is written, for every service: the platform's catalogue, the ads, SCTE-35,
// shopping banners, audience measurement, party games, device management, payments and the
// small services. Requests differ only in data, so a request declares its route, query,
// body and answer once and Request<R, Family> builds the record from them. Family is the
// base the request's members come from: AbstractRequest, or one of the platform's families
// (api/requestfamilies.h).
//
// Plain, a row without members of its own: one line.
//
//     TQ_REQUEST(GetLanguagesRequest, AbstractRequest, get("/user/languages"), GetLanguagesResponse)
//
// With query:
//
//     class GetChannelByIdRequest : public Request<GetChannelByIdRequest, RequestById>
//     {
//     public:
//         using Request::Request;
//         using Answer = Channel;
//         static constexpr Route route = get("/user/channels/{id}", 3);
//         int epgLimit = 0;
//         bool withEpg = false;
//         static constexpr auto query()
//         {
//             using R = GetChannelByIdRequest;
//             return std::make_tuple(item("epg_limit", &R::epgLimit), item("with_epg", &R::withEpg));
//         }
//     };
//
// With body (a family such as RequestWithBody<T> may give encodedBody() instead):
//
//     class LogEventsRequest : public tq::Request<LogEventsRequest>
//     {
//     public:
//         static constexpr tq::Route route = tq::post("/client/log").type(tq::MethodType::GetShopApi);
//         QString eventId;
//         QList<LogEvent> events;
//         QByteArray encodedBody() const;
//     };
//
// With a complete address:
//
//     class AdStreamAliveRequest : public tq::Request<AdStreamAliveRequest>
//     {
//     public:
//         static constexpr tq::Route route = tq::get("/vast3").type(tq::MethodType::AdStreamApi).decodedBy(&decodeVast);
//         QString serverUrl;
//         static constexpr auto address = &AdStreamAliveRequest::serverUrl;
//     };
//
// With a CBOR answer: TQ_REQUEST(..., get("/user/channels", 3).cbor(), GetChannelsResponse).
//
// - route: get/post/put/patch/del(path, API version = 2), then the switches that differ:
//   .type(t) another MethodType than TqApi; .cbor() also decodes CBOR answers;
//   .specialization(s) fixes the record's specialization (else the request's own is sent);
//   .notDeferrable(), .notCacheable(), .noImageSizeCheck(); .decodedBy(f) for an answer
//   that is not a JSON object (VAST, plain text), decoded by f.
// - Answer: the type a JSON answer is decoded into, by decodeJson (model/decode.h). A request
//   with neither Answer nor decodedBy has no decoder: only its success matters.
// - Path placeholders: "{id}" and "{content_id}" take the request's `id`, any other "{name}"
//   its text `value` (as it is, not percent-encoded); "%1" takes `contentType`, and then an
//   id of -1 drops the "/{id}" segment. The record keeps the template and a path creator
//   fills it. A request without `id` and `value` fills its placeholders in finish().
// - query(): the arguments in sending order, each formatted by queryItem:
//   item(key, &R::member [, rule]) a member's value, or a const member function's;
//   clientTime(key = "client_time") the current time in seconds when the record is built;
//   fixed(key, text) a text that never changes.
//   Send rules: WhenSet (the default): texts and lists when not empty, bool when true,
//   std::optional<bool> when set (as "true" or "false"; an unset one never goes out),
//   enumerations (and their lists) as wire strings when known, numbers when greater than 0.
//   Always: whatever the value. For numbers only: NotNegative, NotZero, NotMinusOne, and
//   Year (from 1896).
// - address: `static constexpr auto address = &R::member;` a complete URL: the path is that
//   address followed by the route's path, isAbsoluteUrl is set, and an empty address makes
//   the request invalid (refused before anything is sent).
// - QByteArray encodedBody() const, when the request or its family declares it: the body.
// - A request that also derives from FilterCollection appends the filter arguments last.
// - void finish(RequestRawData&) const, when declared, runs last: for a path built from
//   members, switches taken from members, or validity rules of its own.
//
// The creator captures a copy of the request, so the object may go as soon as it is sent.

#include "tqglobal.h"

#include "model/cborkey.h"
#include "model/constantsdictionary.h"
#include "model/decode.h"
#include "transport/request.h"

#include <QAnyStringView>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <tuple>
#include <type_traits>

namespace tq {

// "key=value", each side percent-encoded on its own (letters, digits and "-._~" stay as
// they are). Lists are joined with "," first, so the separator goes out as %2C.
TQ_EXPORT QString queryItem(QAnyStringView key, const QString& value);
TQ_EXPORT QString queryItem(QAnyStringView key, int value);
TQ_EXPORT QString queryItem(QAnyStringView key, qint64 value);
TQ_EXPORT QString queryItem(QAnyStringView key, quint64 value);
TQ_EXPORT QString queryItem(QAnyStringView key, bool value);
TQ_EXPORT QString queryItem(QAnyStringView key, const QList<int>& values);
TQ_EXPORT QString queryItem(QAnyStringView key, const QList<qint64>& values);
TQ_EXPORT QString queryItem(QAnyStringView key, const QStringList& values);

using Decoder = QVariant (*)(const QByteArray&);

struct TQ_EXPORT Route
{
    const char* method;
    const char* path;
    int api = 2;
    MethodType methodType = MethodType::TqApi;
    Decoder decoder = nullptr; // for an answer that is no JSON object
    bool cborAnswer = false;
    MethodSpecializaton fixedSpecialization = MethodSpecializaton::Unknown;
    bool specializationFixed = false;
    bool deferrable = true;
    bool cacheable = true;
    bool checkImageSize = true;

private:
    // Defined before the switches that use it: clang evaluates them in constant expressions.
    template<class Field>
    constexpr Route with(Field Route::*field, Field value) const
    {
        Route changed = *this;
        changed.*field = value;
        return changed;
    }

public:
    constexpr Route type(MethodType t) const { return with(&Route::methodType, t); }
    constexpr Route cbor() const { return with(&Route::cborAnswer, true); }
    constexpr Route specialization(MethodSpecializaton s) const
    {
        return with(&Route::fixedSpecialization, s).with(&Route::specializationFixed, true);
    }
    constexpr Route notDeferrable() const { return with(&Route::deferrable, false); }
    constexpr Route notCacheable() const { return with(&Route::cacheable, false); }
    constexpr Route noImageSizeCheck() const { return with(&Route::checkImageSize, false); }
    constexpr Route decodedBy(Decoder d) const { return with(&Route::decoder, d); }
};

constexpr Route get(const char* path, int api = 2) { return {"GET", path, api}; }
constexpr Route post(const char* path, int api = 2) { return {"POST", path, api}; }
constexpr Route put(const char* path, int api = 2) { return {"PUT", path, api}; }
constexpr Route patch(const char* path, int api = 2) { return {"PATCH", path, api}; }
constexpr Route del(const char* path, int api = 2) { return {"DELETE", path, api}; }

enum class Send { WhenSet, Always, NotNegative, NotZero, NotMinusOne, Year };

namespace kit {

template<class Owner, class Member>
struct QueryArgument
{
    const char* key;
    Member Owner::*member;
    Send rule;
    // What the member holds, or what the member function returns.
    using Value = std::decay_t<std::invoke_result_t<Member Owner::*, const Owner&>>;
};

struct TQ_EXPORT ClientTime
{
    const char* key;
};

struct TQ_EXPORT Fixed
{
    const char* key;
    const char* text;
};

TQ_EXPORT qint64 currentEpochSeconds();
// The decoder as an extractor; none without a decoder. A function of its own: a sanitizing
// build does not fold a function's address in a constant expression.
TQ_EXPORT ResponseExtractor extractorOf(Decoder decoder);

template<class Value>
constexpr bool isList = false;
template<class Element>
constexpr bool isList<QList<Element>> = true;
template<class Value>
constexpr bool isEnumList = false;
template<class Element>
constexpr bool isEnumList<QList<Element>> = std::is_enum_v<Element>;
template<class Value>
constexpr bool isNumber = std::is_arithmetic_v<Value> && !std::is_same_v<Value, bool>;

// Not constexpr: a number's rule given to another type stops the compilation where the
// request's query() is evaluated.
inline void ruleAppliesToNumbersOnly() {}

template<class Value>
bool isSent(const Value& value, Send rule)
{
    if constexpr (std::is_same_v<Value, std::optional<bool>>) {
        return value.has_value();
    } else {
        if (rule == Send::Always)
            return true;
        if constexpr (std::is_same_v<Value, QString> || isList<Value>) {
            return !value.isEmpty();
        } else if constexpr (std::is_same_v<Value, bool>) {
            return value;
        } else if constexpr (std::is_enum_v<Value>) {
            return !WireStrings<Value>::dictionary().key(value).isEmpty();
        } else {
            static_assert(isNumber<Value>, "no query rule for this member type");
            switch (rule) {
            case Send::NotNegative:
                if constexpr (std::is_signed_v<Value>)
                    return value >= 0;
                else
                    return true;
            case Send::NotZero: return value != 0;
            case Send::NotMinusOne: return qint64(value) != -1;
            case Send::Year: return value >= 1896;
            default: return value > 0;
            }
        }
    }
}

template<class Value>
QString formatted(QLatin1String key, const Value& value)
{
    if constexpr (std::is_same_v<Value, std::optional<bool>>) {
        return queryItem(key, *value);
    } else if constexpr (std::is_enum_v<Value>) {
        return queryItem(key, WireStrings<Value>::dictionary().key(value));
    } else if constexpr (isEnumList<Value>) {
        QStringList texts;
        for (const auto element : value)
            texts.append(WireStrings<typename Value::value_type>::dictionary().key(element));
        return queryItem(key, texts);
    } else if constexpr (std::is_integral_v<Value> && !std::is_same_v<Value, bool>) {
        return queryItem(key, std::conditional_t<std::is_signed_v<Value>, qint64, quint64>(value));
    } else {
        return queryItem(key, value);
    }
}

template<class R, class Owner, class Member>
int countSent(const R& request, const QueryArgument<Owner, Member>& argument)
{
    return isSent(std::invoke(argument.member, request), argument.rule);
}
template<class R>
int countSent(const R&, const ClientTime&)
{
    return 1;
}
template<class R>
int countSent(const R&, const Fixed&)
{
    return 1;
}

template<class R, class Owner, class Member>
void append(const R& request, const QueryArgument<Owner, Member>& argument, QStringList& items)
{
    const auto& value = std::invoke(argument.member, request);
    if (isSent(value, argument.rule))
        items.append(formatted(QLatin1String(argument.key), value));
}
template<class R>
void append(const R&, const ClientTime& argument, QStringList& items)
{
    items.append(queryItem(QLatin1String(argument.key), currentEpochSeconds()));
}
template<class R>
void append(const R&, const Fixed& argument, QStringList& items)
{
    items.append(queryItem(QLatin1String(argument.key), QLatin1String(argument.text)));
}

// What a request declares, found by name: declares<R, IdMember> and so on.
template<class R, template<class> class Declared, class = void>
constexpr bool declares = false;
template<class R, template<class> class Declared>
constexpr bool declares<R, Declared, std::void_t<Declared<R>>> = true;

template<class R>
using IdMember = decltype(std::declval<const R&>().id);
template<class R>
using ValueMember = decltype(std::declval<const R&>().value);
template<class R>
using AnswerType = typename R::Answer;
template<class R>
using AddressMember = decltype(R::address);
template<class R>
using QueryArguments = decltype(R::query());
template<class R>
using BodyFunction = decltype(std::declval<const R&>().encodedBody());
template<class R>
using FilterFunction = decltype(std::declval<const R&>().setupFilterArguments(std::declval<RequestRawData&>()));
template<class R>
using FinishFunction = decltype(std::declval<const R&>().finish(std::declval<RequestRawData&>()));

// The path creator of a template with placeholders.
TQ_EXPORT std::function<QString(const QString&)> pathFiller(qint64 id, const QString& value, bool kindInPath);

constexpr bool contains(const char* text, char c)
{
    for (; *text; ++text) {
        if (*text == c)
            return true;
    }
    return false;
}

// A Latin-1 text widened at compile time, with its terminating zero.
template<qsizetype N>
constexpr std::array<char16_t, std::size_t(N) + 1> widened(const char* text)
{
    std::array<char16_t, std::size_t(N) + 1> units{};
    for (qsizetype i = 0; i < N; ++i)
        units[i] = static_cast<unsigned char>(text[i]);
    return units;
}

// A route's method and path as UTF-16 in the binary: the record refers to them, no copy made.
template<class R>
struct RouteTexts
{
    static constexpr auto method = widened<constLength(R::route.method)>(R::route.method);
    static constexpr auto path = widened<constLength(R::route.path)>(R::route.path);
};

template<std::size_t N>
QString staticText(const std::array<char16_t, N>& units)
{
    return QString::fromRawData(reinterpret_cast<const QChar*>(units.data()), qsizetype(N - 1));
}

} // namespace kit

template<class Owner, class Member>
constexpr kit::QueryArgument<Owner, Member> item(const char* key, Member Owner::*member, Send rule = Send::WhenSet)
{
    using Value = typename kit::QueryArgument<Owner, Member>::Value;
    if (rule != Send::WhenSet && rule != Send::Always && !kit::isNumber<Value>)
        kit::ruleAppliesToNumbersOnly();
    return {key, member, rule};
}

constexpr kit::ClientTime clientTime(const char* key = "client_time")
{
    return {key};
}

constexpr kit::Fixed fixed(const char* key, const char* text)
{
    return {key, text};
}

template<class R, class Family = AbstractRequest>
class Request : public Family
{
public:
    using Family::Family;

    std::function<RequestRawData()> rawDataCreator() const override
    {
        return [request = static_cast<const R&>(*this)] { return request.rawData(); };
    }

    RequestRawData rawData() const
    {
        const R& self = static_cast<const R&>(*this);
        constexpr Route route = R::route;
        RequestRawData raw;
        if constexpr (kit::declares<R, kit::AnswerType>) {
            static_assert(!route.decoder, "an answer type or a decoder, not both");
            raw.responseExtractor = &decodeJson<typename R::Answer>;
            if constexpr (route.cborAnswer)
                raw.responseCborExtractor = &decodeCbor<typename R::Answer>;
        } else {
            static_assert(!route.cborAnswer, "a CBOR answer needs its Answer type");
            raw.responseExtractor = kit::extractorOf(route.decoder);
        }
        raw.httpMethod = kit::staticText(kit::RouteTexts<R>::method);
        raw.path = kit::staticText(kit::RouteTexts<R>::path);
        raw.apiVersion = route.api;
        raw.methodType = route.methodType;
        raw.methodSpecialization = route.specializationFixed ? route.fixedSpecialization : this->methodSpecialization();
        raw.isDeferrable = route.deferrable;
        raw.isCacheable = route.cacheable;
        raw.checkImageSize = route.checkImageSize;
        if constexpr (kit::contains(route.path, '{') || kit::contains(route.path, '%')) {
            constexpr bool fromMembers = kit::declares<R, kit::IdMember> || kit::declares<R, kit::ValueMember>;
            static_assert(fromMembers || kit::declares<R, kit::FinishFunction>, "who fills the path's placeholders?");
            if constexpr (fromMembers)
                fillPlaceholders(self, raw);
        }
        if constexpr (kit::declares<R, kit::QueryArguments>) {
            constexpr auto arguments = R::query(); // evaluated here: a misplaced rule does not compile
            std::apply(
                [&](const auto&... argument) {
                    // The items to send are counted first: one allocation for the list.
                    raw.queryItems.reserve((0 + ... + kit::countSent(self, argument)));
                    (kit::append(self, argument, raw.queryItems), ...);
                },
                arguments);
        }
        if constexpr (kit::declares<R, kit::FilterFunction>)
            self.setupFilterArguments(raw);
        if constexpr (kit::declares<R, kit::AddressMember>) {
            const QString& address = std::invoke(R::address, self);
            raw.path.prepend(address);
            raw.isAbsoluteUrl = true;
            raw.isValid = !address.isEmpty();
        }
        if constexpr (kit::declares<R, kit::BodyFunction>)
            raw.body = self.encodedBody();
        if constexpr (kit::declares<R, kit::FinishFunction>)
            self.finish(raw);
        return raw;
    }

private:
    static void fillPlaceholders(const R& self, RequestRawData& raw)
    {
        qint64 id = -1;
        QString value;
        if constexpr (kit::declares<R, kit::IdMember>)
            id = self.id;
        if constexpr (kit::declares<R, kit::ValueMember>)
            value = self.value;
        constexpr bool kindInPath = kit::contains(R::route.path, '%');
        if constexpr (kindInPath)
            raw.path = raw.path.arg(self.contentType);
        raw.pathCreator = kit::pathFiller(id, value, kindInPath);
    }
};

// A request whose only datum is a complete address: pixels, tracking calls, images, texts.
template<MethodType Type, Decoder Decode = nullptr>
class AddressRequest : public Request<AddressRequest<Type, Decode>>
{
public:
    AddressRequest() = default;
    explicit AddressRequest(QString address) : url(std::move(address)) {}

    QString url;

    static constexpr Route route = get("").type(Type).decodedBy(Decode);
    static constexpr auto address = &AddressRequest::url;
};

} // namespace tq

// A request without members of its own.
#define TQ_REQUEST(Name, Family, RouteValue, AnswerType)                                           \
    class Name : public ::tq::Request<Name, Family>                                                \
    {                                                                                              \
    public:                                                                                        \
        using Request::Request;                                                                    \
        using Answer = AnswerType;                                                                 \
        static constexpr ::tq::Route route = RouteValue;                                           \
    };
