#pragma once
// One HTTP exchange for one request: sends it through a QNetworkAccessManager and turns
// the reply into a decoded response or a RequestError.
//
// Driving a worker (the dispatcher does this on the worker thread):
//   auto* w = createHttpRequestWorker(rawData, settings, backend, environment);
//   connect(w, &HttpRequestWorker::finished, ...);     // then call w->handleReply()
//   connect(w, &HttpRequestWorker::resendRequired, ...); // execute it again
//   w->execute(manager, requestToken);                 // nothing is sent if the token expired
// handleReply() ends in responseReceived or requestFailureInspectionRequired (or in
// resendRequired for a transient re-send error). cancel() drops the exchange silently.

#include "transport/request.h"
#include "transport/requesterror.h"
#include "transport/requesttoken.h"
#include "transport/requestsettings_p.h"
#include "transport/tlspolicy.h"

#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QSize>
#include <QUrl>
#include <QVariant>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace stbconfig {
class ConfigurationManager;
}

namespace tq {

class AbstractBackend;
class ResponseCache;
class HttpRequestWorkerPrivate;

class HttpRequestWorker : public QObject
{
    Q_OBJECT
public:
    explicit HttpRequestWorker(QObject* parent = nullptr);
    ~HttpRequestWorker() override; // a reply still in flight is aborted

    // ---- configuration (see createHttpRequestWorker) ----
    void setBackend(AbstractBackend* backend);
    AbstractBackend* backend() const;
    void setRawData(const RequestRawData& data);
    const RequestRawData& rawData() const;
    void setUrl(const QString& url); // UTF-8, parsed as an encoded URL
    void setLogSettings(int jsonLengthLimit, bool jsonFormattingEnabled, bool loggingEnabled);
    void setCacheKey(const QString& key);
    void setResponseCache(ResponseCache* cache);
    void setMaxImageSize(const QSize& size); // -1 = no limit
    void setTlsMode(TlsPolicy::Mode mode);   // how certificate problems are judged

    // The request as it will be sent; backends adjust it before a resend.
    QNetworkRequest& networkRequest();
    const QNetworkRequest& networkRequest() const;

    MethodType methodType() const;
    qint64 requestId() const;
    QString senderName() const;
    void setSenderName(const QString& name);
    int resendAttempts() const;
    QList<QUrl> redirects() const;

    // What the last answer handled was. The decoding is timed only when measured; the
    // answer's headers and body are kept only when recorded (the traffic recorder).
    struct ExchangeFacts
    {
        int httpStatus = 0;
        qint64 bytes = 0;
        qint64 decodeNs = 0;
        bool http2 = false;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
    };
    void setMeasured(bool measured);
    void setRecorded(bool recorded);
    ExchangeFacts exchangeFacts() const;

    // ---- the exchange ----
    void execute(QNetworkAccessManager* manager, const RequestTokenRef& request);
    void handleReply();
    void cancel();

signals:
    void finished();
    void resendRequired();
    void responseReceived(qint64 requestId, QVariant response);
    void requestFailureInspectionRequired(qint64 requestId, tq::RequestError error);

private:
    friend class HttpRequestWorkerPrivate;
    void handleReplyUnguarded();
    std::unique_ptr<HttpRequestWorkerPrivate> d;
};

// What the dispatcher knows beyond the request and its settings.
struct WorkerEnvironment
{
    stbconfig::ConfigurationManager* store = nullptr;
    bool proxyActive = false;              // the proxy connection carries a proxy
    ResponseCache* responseCache = nullptr; // given to cacheable requests
    QSize imagesSizeLimit{-1, -1};
};

// Builds a worker from the raw data, the backend's settings and the logging configuration.
HttpRequestWorker* createHttpRequestWorker(const RequestRawData& data, const RequestSettings& settings,
                                           AbstractBackend* backend, const WorkerEnvironment& environment,
                                           QObject* parent = nullptr);

} // namespace tq
