#pragma once
// The families the platform's requests are built from: what each one carries (an id, a
// text, a body, paging, filters) and how its arguments go out. Every member is a plain
// value; creators copy them, so a request may be destroyed right after sendRequest.
//
// The requests themselves are rows of the catalogue, written with the request kit
// (transport/requestkit.h); the image request is the one family that is a complete
// request on its own.

#include "tqglobal.h"

#include "model/compactjson.h"
#include "transport/requestkit.h"

#include <QList>
#include <QMap>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tq {

// Query keys shared by the list requests.
extern TQ_EXPORT const QString offsetQueryKey;
extern TQ_EXPORT const QString limitQueryKey;
extern TQ_EXPORT const QString sortByQueryKey;
extern TQ_EXPORT const QString sortDirQueryKey;

class TQ_EXPORT RequestById : public AbstractRequest
{
public:
    RequestById(long long requestId = -1) : id(requestId) {}
    qint64 id = -1;
};

// The content kind fills "%1" of the path ("collections", "channels", ...); an id of -1
// leaves the id segment out.
class TQ_EXPORT RequestByContentTypeAndId : public RequestById
{
public:
    RequestByContentTypeAndId() = default;
    RequestByContentTypeAndId(QString kind, long long requestId) : RequestById(requestId), contentType(std::move(kind)) {}
    QString contentType;
};

class TQ_EXPORT StringValueRequest : public AbstractRequest
{
public:
    StringValueRequest() = default;
    StringValueRequest(const QString& text) : value(text) {}
    QString value;
};

class TQ_EXPORT StringValueWithIdRequest : public StringValueRequest
{
public:
    StringValueWithIdRequest() = default;
    StringValueWithIdRequest(const QString& text, long long requestId) : StringValueRequest(text), id(requestId) {}
    qint64 id = -1;
};

template<class T>
class RequestWithBody : public AbstractRequest
{
public:
    RequestWithBody() = default;
    RequestWithBody(const T& params) : body(params) {}
    T body;

    QByteArray encodedBody() const { return compactJson(body); }
};

// A body request whose path also names an id ("/user/profiles/{id}").
template<class T>
class RequestWithBodyAndId : public RequestWithBody<T>
{
public:
    RequestWithBodyAndId() = default;
    RequestWithBodyAndId(long long requestId, const T& params = {}) : RequestWithBody<T>(params), id(requestId) {}
    qint64 id = -1;
};

// Paging: 0 is not sent.
class TQ_EXPORT CollectionRequest : public AbstractRequest
{
public:
    quint64 offset = 0;
    quint64 limit = 0;
};

// Paging as most lists send it.
constexpr auto offsetLimit()
{
    return std::make_tuple(item("offset", &CollectionRequest::offset), item("limit", &CollectionRequest::limit));
}
constexpr auto limitOffset()
{
    return std::make_tuple(item("limit", &CollectionRequest::limit), item("offset", &CollectionRequest::offset));
}

class TQ_EXPORT CollectionWithIdRequest : public CollectionRequest
{
public:
    CollectionWithIdRequest(long long requestId = -1) : id(requestId) {}
    qint64 id = -1;
};

class TQ_EXPORT CollectionWithValueRequest : public CollectionRequest
{
public:
    CollectionWithValueRequest() = default;
    CollectionWithValueRequest(const QString& text) : value(text) {}
    QString value;
};

// The filter arguments of the filterable lists, appended after the request's own items.
class TQ_EXPORT FilterCollection
{
public:
    QString filterTheme;
    // Filter alias -> the selected option texts. Ordered, so that equal selections give
    // equal queries (and cache keys).
    QMap<QString, QStringList> filters;
    QString sorting;
    QStringList customFilters;

    void setupFilterArguments(RequestRawData& raw) const;
};

class TQ_EXPORT AbstractImageRequest : public AbstractRequest
{
public:
    bool isCacheable = true;
};

// The record's path is the url; its method type, isCacheable, isAbsoluteUrl and
// checkImageSize are the request's own. The worker decodes image answers itself.
class TQ_EXPORT ImageRequest : public Request<ImageRequest, AbstractImageRequest>
{
public:
    ImageRequest() = default;
    ImageRequest(const QString& imageUrl, const QSize& imageSize, int blur = 0, bool keepAspect = false,
                 bool cropped = false, MethodType type = MethodType::TqImage);

    QString url;
    int width = 0;
    int height = 0;
    int size = 0;
    int blurRadius = 0;
    bool keepRatio = false;
    bool crop = false;
    bool borderless = false;
    bool bestSize = false;
    MethodType methodType = MethodType::TqImage;
    bool isAbsoluteUrl = false;
    bool checkImageSize = true;

    MethodType imageRequestType() const { return methodType; }

    static constexpr Route route = get("").type(MethodType::TqImage).specialization(MethodSpecializaton::Unknown);
    static constexpr auto query()
    {
        using R = ImageRequest;
        return std::make_tuple(item("width", &R::width), item("height", &R::height), item("size", &R::size),
                               item("blur_radius", &R::blurRadius), item("keep_ratio", &R::keepRatio),
                               item("borderless", &R::borderless), item("crop", &R::crop),
                               item("best_size", &R::bestSize));
    }
    void finish(RequestRawData& raw) const;
};

} // namespace tq
