#pragma once
// How a row of the platform catalogue is written. The requests differ only in data, so a
// request names its family, its route, its answer and its query items, and
// PlatformRequest<R, Family> builds the raw data from them:
//
//     class GetChannelByIdRequest : public PlatformRequest<GetChannelByIdRequest, RequestById>
//     {
//     public:
//         using PlatformRequest::PlatformRequest;
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
// A row without members of its own is one line: TQ_PLATFORM_REQUEST(Name, Family, route, Answer).
//
// - route: method, path (below "/api/v<version>"), API version; .cbor() also decodes CBOR
//   answers, .specialization(s) fixes the record's specialization, .notDeferrable(),
//   .type(t) another MethodType.
// - Path placeholders: "{id}" and "{content_id}" take the request's id, any other "{name}"
//   its text value (as it is, not percent-encoded); "%1" takes the content kind, and then an
//   id of -1 drops the "/{id}" segment.
// - query(): the items in sending order. item() picks the rule from the member's type:
//   numbers when greater than 0, texts and lists when not empty, bool when true,
//   std::optional<bool> when set (as "true" or "false"), enumerations (and their lists) as
//   wire strings when known. always() sends the value whatever it is; year() only from 1896.
// - The body: RequestWithBody's parameter object as compact JSON, or the row's own
//   QByteArray encodedBody() const.
// - A row that also derives from FilterCollection appends the filter arguments last.
//
// The creator captures a copy of the request, so the object may go as soon as it is sent.

#include "tqglobal.h"

#include "api/requestfamilies.h"
#include "model/constantsdictionary.h"
#include "model/decode.h"

#include <optional>
#include <tuple>
#include <type_traits>

namespace tq {

struct TQ_EXPORT Route
{
    const char* method;
    const char* path;
    int api = 2;
    MethodType methodType = MethodType::TqApi;
    MethodSpecializaton fixedSpecialization = MethodSpecializaton::Unknown;
    bool specializationFixed = false;
    bool deferrable = true;
    bool cborAnswer = false;

    constexpr Route cbor() const
    {
        Route r = *this;
        r.cborAnswer = true;
        return r;
    }
    constexpr Route specialization(MethodSpecializaton s) const
    {
        Route r = *this;
        r.fixedSpecialization = s;
        r.specializationFixed = true;
        return r;
    }
    constexpr Route notDeferrable() const
    {
        Route r = *this;
        r.deferrable = false;
        return r;
    }
    constexpr Route type(MethodType t) const
    {
        Route r = *this;
        r.methodType = t;
        return r;
    }
};

constexpr Route get(const char* path, int api = 2) { return {"GET", path, api}; }
constexpr Route post(const char* path, int api = 2) { return {"POST", path, api}; }
constexpr Route put(const char* path, int api = 2) { return {"PUT", path, api}; }
constexpr Route patch(const char* path, int api = 2) { return {"PATCH", path, api}; }
constexpr Route del(const char* path, int api = 2) { return {"DELETE", path, api}; }

namespace rowkit {

enum class SendRule { ByType, Always, Year };

template<class Owner, class Member>
struct QueryArgument
{
    const char* key;
    Member Owner::*member;
    SendRule rule;
};

template<class T>
struct IsList : std::false_type {};
template<class T>
struct IsList<QList<T>> : std::true_type {};
template<class T>
struct IsEnumList : std::false_type {};
template<class T>
struct IsEnumList<QList<T>> : std::is_enum<T> {};

template<class Member>
bool isSent(const Member& value, SendRule rule)
{
    if (rule == SendRule::Always)
        return true;
    if constexpr (std::is_same_v<Member, QString> || IsList<Member>::value) {
        return !value.isEmpty();
    } else if constexpr (std::is_same_v<Member, bool>) {
        return value;
    } else if constexpr (std::is_same_v<Member, std::optional<bool>>) {
        return value.has_value();
    } else if constexpr (std::is_enum_v<Member>) {
        return !WireStrings<Member>::dictionary().key(value).isEmpty();
    } else {
        static_assert(std::is_arithmetic_v<Member>, "no query rule for this member type");
        return rule == SendRule::Year ? value >= 1896 : value > 0;
    }
}

template<class Member>
QString formatted(const QString& key, const Member& value)
{
    if constexpr (std::is_same_v<Member, std::optional<bool>>) {
        return queryItem(key, *value);
    } else if constexpr (std::is_enum_v<Member>) {
        return queryItem(key, WireStrings<Member>::dictionary().key(value));
    } else if constexpr (IsEnumList<Member>::value) {
        QStringList texts;
        for (const auto element : value)
            texts.append(WireStrings<typename Member::value_type>::dictionary().key(element));
        return queryItem(key, texts);
    } else if constexpr (std::is_integral_v<Member> && !std::is_same_v<Member, bool>) {
        return queryItem(key, std::conditional_t<std::is_signed_v<Member>, qint64, quint64>(value));
    } else {
        return queryItem(key, value);
    }
}

template<class R, class Owner, class Member>
void append(const R& request, const QueryArgument<Owner, Member>& argument, QStringList& items)
{
    const Member& value = request.*argument.member;
    if (isSent(value, argument.rule))
        items.append(formatted(QLatin1String(argument.key), value));
}

template<class R, class = void>
struct HasId : std::false_type {};
template<class R>
struct HasId<R, std::void_t<decltype(std::declval<const R&>().id)>> : std::true_type {};
template<class R, class = void>
struct HasValue : std::false_type {};
template<class R>
struct HasValue<R, std::void_t<decltype(std::declval<const R&>().value)>> : std::true_type {};
template<class R, class = void>
struct HasAddress : std::false_type {};
template<class R>
struct HasAddress<R, std::void_t<decltype(std::declval<const R&>().address())>> : std::true_type {};
template<class R, class = void>
struct HasQuery : std::false_type {};
template<class R>
struct HasQuery<R, std::void_t<decltype(R::query())>> : std::true_type {};
template<class R, class = void>
struct HasBody : std::false_type {};
template<class R>
struct HasBody<R, std::void_t<decltype(std::declval<const R&>().encodedBody())>> : std::true_type {};

// The path creator of a template with placeholders (null when it has none).
TQ_EXPORT std::function<QString(const QString&)> pathFiller(qint64 id, const QString& value, bool collectionKind);

constexpr bool hasPlaceholders(const char* path)
{
    for (; *path; ++path) {
        if (*path == '{' || *path == '%')
            return true;
    }
    return false;
}

} // namespace rowkit

template<class Owner, class Member>
constexpr rowkit::QueryArgument<Owner, Member> item(const char* key, Member Owner::*member)
{
    return {key, member, rowkit::SendRule::ByType};
}
template<class Owner, class Member>
constexpr rowkit::QueryArgument<Owner, Member> always(const char* key, Member Owner::*member)
{
    return {key, member, rowkit::SendRule::Always};
}
template<class Owner, class Member>
constexpr rowkit::QueryArgument<Owner, Member> year(const char* key, Member Owner::*member)
{
    return {key, member, rowkit::SendRule::Year};
}

// Paging as most lists send it.
constexpr auto offsetLimit()
{
    return std::make_tuple(item("offset", &CollectionRequest::offset), item("limit", &CollectionRequest::limit));
}
constexpr auto limitOffset()
{
    return std::make_tuple(item("limit", &CollectionRequest::limit), item("offset", &CollectionRequest::offset));
}

template<class R, class Family>
class PlatformRequest : public Family
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
        using Answer = typename R::Answer;
        RequestRawData raw;
        // A response, so that a notification embedded in the answer is kept and posted.
        static_assert(std::is_base_of_v<AbstractResponse, Answer>, "an answer derives from AbstractResponse");
        raw.responseExtractor = &decodeJson<Answer>;
        if constexpr (route.cborAnswer)
            raw.responseCborExtractor = &decodeCbor<Answer>;
        raw.httpMethod = QLatin1String(route.method);
        raw.path = QLatin1String(route.path);
        raw.apiVersion = route.api;
        raw.methodType = route.methodType;
        raw.methodSpecialization = route.specializationFixed ? route.fixedSpecialization : this->methodSpecialization();
        raw.isDeferrable = route.deferrable;
        if constexpr (rowkit::hasPlaceholders(route.path)) {
            qint64 id = -1;
            QString value;
            if constexpr (rowkit::HasId<R>::value)
                id = self.id;
            if constexpr (rowkit::HasValue<R>::value)
                value = self.value;
            constexpr bool collectionKind = std::is_base_of_v<RequestByContentTypeAndId, R>;
            if constexpr (collectionKind)
                raw.path = raw.path.arg(self.contentType);
            raw.pathCreator = rowkit::pathFiller(id, value, collectionKind);
        }
        if constexpr (rowkit::HasQuery<R>::value) {
            std::apply(
                [&](const auto&... argument) {
                    // The items to send are counted first: one allocation for the list.
                    raw.queryItems.reserve((0 + ... + int(rowkit::isSent(self.*argument.member, argument.rule))));
                    (rowkit::append(self, argument, raw.queryItems), ...);
                },
                R::query());
        }
        if constexpr (std::is_base_of_v<FilterCollection, R>)
            self.setupFilterArguments(raw);
        if constexpr (rowkit::HasAddress<R>::value) { // a complete address instead of a path
            raw.path = self.address();
            raw.isValid = !raw.path.isEmpty();
        }
        if constexpr (rowkit::HasBody<R>::value)
            raw.body = self.encodedBody();
        return raw;
    }
};

} // namespace tq

// A row without members of its own.
#define TQ_PLATFORM_REQUEST(Name, Family, RouteValue, AnswerType)                                  \
    class Name : public ::tq::PlatformRequest<Name, Family>                                        \
    {                                                                                              \
    public:                                                                                        \
        using PlatformRequest::PlatformRequest;                                                    \
        using Answer = AnswerType;                                                                 \
        static constexpr ::tq::Route route = RouteValue;                                           \
    };
