#include "transport/abstractbackend_p.h"

#include "model/response.h"
#include "transport/configwrapper.h"

#include <QUrl>

namespace tq {

AbstractBackend::~AbstractBackend() = default;

int AbstractBackend::failureAction(const RequestError& error) const
{
    return error.httpStatusCode == 429 && error.retryAfter.has_value() ? RetryLater : HandOn;
}

void AbstractBackend::prepareResend(HttpRequestWorker*, stbconfig::ConfigurationManager*,
                                    const stbcore::IRequestHeaderPropertyProvider*, Resend) const
{
}

QVariant AbstractBackend::responseFromCache(const RequestRawData&, const QByteArray& cached) const
{
    ImageResponse response;
    response.fromData(cached);
    return QVariant::fromValue(response);
}

int AbstractBackend::responseErrorStatus(const QByteArray&) const
{
    return 0;
}

qint64 AbstractBackend::requestTimeout(const RequestRawData&, stbconfig::ConfigurationManager* store) const
{
    return TqConfigWrapper(store).requestTimeoutInterval().count() * 1000;
}

QString AbstractBackend::builtPath(const RequestRawData& data)
{
    return data.pathCreator ? data.pathCreator(data.path) : data.path;
}

QString AbstractBackend::extraParameter(const QString& name, const QString& value)
{
    if (value.isEmpty())
        return QString();
    return QStringLiteral("%1=%2").arg(name, QString::fromLatin1(QUrl::toPercentEncoding(value)));
}

void AbstractBackend::addQuery(RequestSettings& settings, const QStringList& extraParameters,
                               const QStringList& queryItems, QChar separator)
{
    QStringList parameters;
    for (const QStringList* list : {&extraParameters, &queryItems}) {
        for (const QString& item : *list) {
            if (!item.trimmed().isEmpty())
                parameters.append(item);
        }
    }
    if (parameters.isEmpty())
        return;
    const QString query = separator + parameters.join(QLatin1Char('&'));
    for (QString& url : settings.urls)
        url += query;
    if (!settings.methodPath.isEmpty())
        settings.methodPath += query;
    if (!settings.cacheKey.isEmpty())
        settings.cacheKey += query;
}

void AbstractBackend::setHeader(RequestSettings& settings, const QString& name, const QString& value)
{
    if (!value.isEmpty())
        settings.headers.insert(name, value);
}

void AbstractBackend::addPlatformHeaders(RequestSettings& settings,
                                         const stbcore::IRequestHeaderPropertyProvider& provider)
{
    setHeader(settings, QStringLiteral("User-Agent"), provider.userAgent());
    setHeader(settings, QStringLiteral("x-kv-mac"), provider.macAddress());
    setHeader(settings, QStringLiteral("x-kv-uid"), provider.uid());
    setHeader(settings, QStringLiteral("x-kv-san"), provider.san());
}

} // namespace tq
