#include "transport/newcachebackend_p.h"

#include "transport/configwrapper.h"
#include "transport/httprequestworker_p.h"

#include <QStringBuilder>
#include <QUrl>

using stbcore::IRequestHeaderPropertyProvider;
using Store = stbconfig::ConfigurationManager;

namespace tq {

QList<MethodType> NewCacheBackend::types()
{
    return {MethodType::TqAnalytics, MethodType::TqApi, MethodType::TqDiscover, MethodType::TqImage};
}

QString NewCacheBackend::languageCode() const
{
    const QLocale::Language language = QLocale().language();
    if (language != m_language || m_languageCode.isEmpty()) {
        m_language = language;
        m_languageCode = QLocale::languageToCode(language, QLocale::ISO639Part3);
    }
    return m_languageCode;
}

RequestSettings NewCacheBackend::composeRequest(const RequestRawData& data, Store* store,
                                                const IRequestHeaderPropertyProvider* provider) const
{
    RequestSettings settings;
    const TqConfigWrapper config(store);
    switch (data.methodType) {
    case MethodType::TqApi:
        settings.methodPath = builtPath(data);
        // "/api/v<n>" between the host and the path, built in one allocation: every
        // request of the platform's API passes here.
        settings.urls.append(config.apiUrl() % QLatin1String("/api/v") % QString::number(data.apiVersion)
                             % settings.methodPath);
        settings.priority = QNetworkRequest::HighPriority;
        break;
    case MethodType::TqAnalytics:
        settings.urls.append(config.spyUrl());
        settings.priority = QNetworkRequest::LowPriority;
        break;
    case MethodType::TqDiscover:
        settings.urls.append(data.path);
        break;
    case MethodType::TqImage:
        if (!data.path.isEmpty()) {
            settings.cacheKey = data.isAbsoluteUrl ? data.path : config.imageUrl() + data.path;
            settings.urls.append(settings.cacheKey);
        }
        settings.image = true;
        break;
    default:
        return settings; // not ours: no URL, so the dispatcher refuses it
    }
    addQuery(settings, QStringList(), data.queryItems);

    // Without a provider the platform gets no headers at all rather than a partial set.
    if (!provider)
        return settings;
    settings.headers.insert(QStringLiteral("Accept"), data.responseCborExtractor
                                                          ? QStringLiteral("application/cbor, application/json")
                                                          : QStringLiteral("application/json"));
    addPlatformHeaders(settings, *provider);
    setHeader(settings, QStringLiteral("x-kv-language"), languageCode());
    QString session = config.sessionId();
    if (session.isEmpty() && data.methodSpecialization == MethodSpecializaton::NewSession)
        session = config.invalidatedSessionId();
    setHeader(settings, QStringLiteral("session_id"), session);
    return settings;
}

int NewCacheBackend::failureAction(const RequestError& error) const
{
    if (error.methodType != MethodType::TqApi)
        return AbstractBackend::failureAction(error);
    if (isGatewayError(error.httpStatusCode) || error.networkError == QNetworkReply::ConnectionRefusedError
        || error.networkError == QNetworkReply::TimeoutError
        || error.networkError == QNetworkReply::OperationCanceledError)
        return Rebalance;
    if (error.errorCode == static_cast<int>(RequestError::TqReason::SessionReplacementRequired))
        return UpdateSessionToken;
    // Losing a playback position is cheaper than a retry storm when the server refuses it.
    if (error.httpMethod == httpPostMethod() && error.path == QLatin1String("/user/media_positions"))
        return HandOn;
    return AbstractBackend::failureAction(error);
}

void NewCacheBackend::prepareResend(HttpRequestWorker* worker, Store* store,
                                    const IRequestHeaderPropertyProvider* provider, Resend reason) const
{
    if (!worker)
        return;
    const RequestRawData& data = worker->rawData();
    QNetworkRequest& request = worker->networkRequest();
    if (reason == Resend::AfterRebalance && !data.isAbsoluteUrl) {
        const TqConfigWrapper config(store);
        QString configured;
        switch (data.methodType) {
        case MethodType::TqApi: configured = config.apiUrl(); break;
        case MethodType::TqImage: configured = config.imageUrl(); break;
        case MethodType::TqAnalytics: configured = config.spyUrl(); break;
        default: break;
        }
        const QUrl target(configured);
        QUrl url = request.url();
        if (!configured.isEmpty() && (url.host() != target.host() || url.port() != target.port())) {
            url.setHost(target.host());
            url.setPort(target.port());
            request.setUrl(url);
        }
    }
    // A new session replaces the one it names: it keeps the header it was built with.
    if (!provider || data.methodSpecialization == MethodSpecializaton::NewSession)
        return;
    const QByteArray session = provider->sessionId().toLatin1();
    if (session.isEmpty())
        request.setRawHeader("session_id", QByteArray()); // an empty header is never sent
    else
        request.setRawHeader("session_id", session);
}

qint64 NewCacheBackend::requestTimeout(const RequestRawData&, Store* store) const
{
    return TqConfigWrapper(store).newCacheRequestTimeoutInterval().count() * 1000;
}

std::chrono::seconds NewCacheBackend::connectionCacheExpiryTimeout(const RequestRawData&, Store* store) const
{
    return TqConfigWrapper(store).newCacheConnectionCacheExpiryTimeout();
}

} // namespace tq
