#pragma once
// The families the platform's requests are built from: what each one carries (an id, a
// text, a body, paging, filters) and how its arguments go out. Every member is a plain
// value; creators copy them, so a request may be destroyed right after sendRequest.
//
// The requests themselves are rows of the catalogue (api/platformrequest.h explains the
// form); the image request is the one family that is a complete request on its own.

#include "model/compactjson.h"
#include "transport/request.h"

#include <QList>
#include <QMap>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tq {

// Query keys shared by the list requests.
extern const QString offsetQueryKey;
extern const QString limitQueryKey;
extern const QString sortByQueryKey;
extern const QString sortDirQueryKey;

// "key=value", each side percent-encoded on its own (letters, digits and "-._~" stay as
// they are). Lists are joined with "," first, so the separator goes out as %2C.
QString queryItem(const QString& key, const QString& value);
QString queryItem(const QString& key, int value);
QString queryItem(const QString& key, qint64 value);
QString queryItem(const QString& key, quint64 value);
QString queryItem(const QString& key, bool value);
QString queryItem(const QString& key, const QList<int>& values);
QString queryItem(const QString& key, const QList<qint64>& values);
QString queryItem(const QString& key, const QStringList& values);

class RequestById : public AbstractRequest
{
public:
    RequestById(long long requestId = -1) : id(requestId) {}
    qint64 id = -1;
};

// The content kind fills "%1" of the path ("collections", "channels", ...); an id of -1
// leaves the id segment out.
class RequestByContentTypeAndId : public RequestById
{
public:
    RequestByContentTypeAndId() = default;
    RequestByContentTypeAndId(QString kind, long long requestId) : RequestById(requestId), contentType(std::move(kind)) {}
    QString contentType;
};

class StringValueRequest : public AbstractRequest
{
public:
    StringValueRequest() = default;
    StringValueRequest(const QString& text) : value(text) {}
    QString value;
};

class StringValueWithIdRequest : public StringValueRequest
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
class CollectionRequest : public AbstractRequest
{
public:
    quint64 offset = 0;
    quint64 limit = 0;
};

class CollectionWithIdRequest : public CollectionRequest
{
public:
    CollectionWithIdRequest(long long requestId = -1) : id(requestId) {}
    qint64 id = -1;
};

class CollectionWithValueRequest : public CollectionRequest
{
public:
    CollectionWithValueRequest() = default;
    CollectionWithValueRequest(const QString& text) : value(text) {}
    QString value;
};

// The filter arguments of the filterable lists, appended after the request's own items.
class FilterCollection
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

class AbstractImageRequest : public AbstractRequest
{
public:
    bool isCacheable = true;
};

class ImageRequest : public AbstractImageRequest
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
    std::function<RequestRawData()> rawDataCreator() const override;
};

} // namespace tq
