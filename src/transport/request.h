#pragma once
// What a request is before it becomes an HTTP exchange: the request base class, the
// record that travels to the worker thread, and the HTTP helpers shared by all services.

#include "tqglobal.h"

#include "model/enums.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace tq {

using ResponseExtractor = std::function<QVariant(const QByteArray&)>;

// One exchange, by value. Produced on the worker thread by a request's creator.
struct TQ_EXPORT RequestRawData
{
    RequestRawData() = default;
    explicit RequestRawData(ResponseExtractor extractor) : responseExtractor(std::move(extractor)) {}

    bool isValid = true;
    QString httpMethod;
    QString path;
    std::function<QString(const QString&)> pathCreator;
    QStringList queryItems; // "key=value", already percent-encoded
    QByteArray body;
    ResponseExtractor responseExtractor;
    ResponseExtractor responseCborExtractor;
    MethodType methodType = MethodType::TqApi;
    MethodSpecializaton methodSpecialization = MethodSpecializaton::Unknown;
    bool isCacheable = true;
    bool isAbsoluteUrl = false;
    bool isDeferrable = true;
    bool checkImageSize = true;
    int apiVersion = 2;
};

class TQ_EXPORT AbstractRequest
{
public:
    AbstractRequest() = default;
    AbstractRequest(const AbstractRequest&) = default;
    AbstractRequest& operator=(const AbstractRequest&) = default;
    virtual ~AbstractRequest();

    // The callable runs later on the worker thread: it must capture values, never `this`.
    virtual std::function<RequestRawData()> rawDataCreator() const;

    MethodSpecializaton methodSpecialization() const { return m_methodSpecialization; }
    void setMethodSpecialization(MethodSpecializaton value) { m_methodSpecialization = value; }

    // Compact JSON text of a request body.
    static QByteArray jsonToRaw(const QJsonObject& object);

private:
    MethodSpecializaton m_methodSpecialization = MethodSpecializaton::Unknown;
};

TQ_EXPORT QString httpGetMethod();
TQ_EXPORT QString httpPostMethod();
TQ_EXPORT QString httpPatchMethod();
TQ_EXPORT QString httpPutMethod();
TQ_EXPORT QString httpDeleteMethod();
TQ_EXPORT QString httpHeadMethod();

constexpr bool isHttpClientError(int code) { return code >= 400 && code <= 499; }
constexpr bool isHttpServerError(int code) { return code >= 500 && code <= 599; }
constexpr bool isGatewayError(int code) { return code == 502 || code == 504; }
constexpr bool isServiceUpdateError(int code) { return code == 408 || code == 500 || code == 503; }

TQ_EXPORT bool isImageMethod(MethodType type);
TQ_EXPORT QString httpReasonPhrase(int code);

} // namespace tq

Q_DECLARE_METATYPE(tq::RequestRawData)
