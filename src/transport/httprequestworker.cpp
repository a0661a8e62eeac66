#include "transport/httprequestworker_p.h"

#include "transport/responsecache_p.h"
#include "model/response.h"
#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "transport/abstractbackend_p.h"
#include "transport/configwrapper.h"
#include "transport/imagedecoder_p.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QScopedPointer>
#if QT_CONFIG(ssl)
#include <QSslConfiguration>
#endif
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
#include <QHttp1Configuration>
#endif

#include <algorithm>
#include <limits>
#include <new>
#include <optional>

namespace tq {
namespace {

const QString& context()
{
    static const QString name = QStringLiteral("HttpRequestWorker");
    return name;
}

constexpr qsizetype MaxRedirectsKept = 50; // as many as Qt follows for one exchange

bool isAuditType(MethodType type)
{
    return type == MethodType::AdBannerAudit || type == MethodType::AdStreamAudit
           || type == MethodType::GetShopAdAudit || type == MethodType::GetShopAudit;
}

// The delay a "Retry-After" header asks for, in seconds. Only a header of exactly that name
// counts (names are case-insensitive; "Retry-After-Extra" is another header), its first value
// when it is repeated. A base-10 integer is taken as seconds, saturating instead of
// overflowing (the dispatcher bounds the wait); a date in Qt's text form later than now gives
// the remaining seconds; any other value is logged and ignored.
std::optional<qint64> retryAfter(const QList<QPair<QByteArray, QByteArray>>& headers)
{
    const auto it = std::find_if(headers.cbegin(), headers.cend(), [](const auto& header) {
        return header.first.compare("Retry-After", Qt::CaseInsensitive) == 0;
    });
    if (it == headers.cend())
        return std::nullopt;
    // Qt joins a repeated header's values with ", "; the first value counts.
    const QByteArray value = it->second.split(',').constFirst().trimmed();
    const bool negative = value.startsWith('-');
    const QByteArray digits = negative || value.startsWith('+') ? value.mid(1) : value;
    if (!digits.isEmpty() && std::all_of(digits.cbegin(), digits.cend(), [](char c) { return c >= '0' && c <= '9'; })) {
        constexpr qint64 saturated = std::numeric_limits<qint64>::max() / 10;
        qint64 seconds = 0;
        for (char c : digits)
            seconds = seconds >= saturated ? saturated : seconds * 10 + (c - '0');
        return negative ? -seconds : seconds;
    }
    const QDateTime date = QDateTime::fromString(QString::fromLatin1(value), Qt::TextDate);
    if (!date.isValid()) {
        TQ_LOG(logging::Warning, context()) << "not supported Retry-After format:" << it->second;
        return std::nullopt;
    }
    const QDateTime now = QDateTime::currentDateTime();
    if (date > now)
        return now.secsTo(date);
    return std::nullopt;
}

// "text/xml", with or without parameters: ad servers answer VAST so as often as
// "application/xml", and it is XML all the same.
bool isTextXml(const QString& contentType)
{
    const QStringView type = QStringView(contentType).left(contentType.indexOf(u';')).trimmed();
    return type.compare(u"text/xml", Qt::CaseInsensitive) == 0;
}

} // namespace

class HttpRequestWorkerPrivate
{
public:
    explicit HttpRequestWorkerPrivate(HttpRequestWorker* worker) : q(worker) {}

    HttpRequestWorker* const q;
    int jsonLengthLimit = 0;
    int resendAttempts = 0;
    bool jsonFormattingEnabled = false;
    bool loggingEnabled = true;
    qint64 requestId = -1;
    RequestTokenRef request;
    // When the exchange went out. Monotonic: the wall clock may jump, and reading local
    // time looks the time zone up on every call.
    QElapsedTimer startTime;
    QString cacheKey;
    QPointer<QNetworkReply> reply;
    ResponseCache* responseCache = nullptr;
    QNetworkRequest networkRequest;
    RequestRawData data;
    QString senderName;
    AbstractBackend* backend = nullptr;
    QList<QUrl> redirects;
    QSize maxImageSize{-1, -1};
    bool measured = false;
    bool recorded = false;
    bool ended = false; // the reply being handled has ended the request (or asked for a resend)
    HttpRequestWorker::ExchangeFacts facts;
    TlsPolicy::Mode tlsMode = TlsPolicy::Mode::AcceptAll;
    QString tlsRefusal; // why the last handshake was refused

    // The body for the log: re-indented JSON when asked for, cut to the length limit.
    QString excerpt(const QByteArray& body, bool json) const
    {
        QByteArray text = body;
        if (json && jsonFormattingEnabled) {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(body, &error);
            if (error.error == QJsonParseError::NoError)
                text = document.toJson(QJsonDocument::Indented);
        }
        const QString result = QString::fromUtf8(text);
        return jsonLengthLimit > 0 ? result.left(jsonLengthLimit) : result;
    }

    qint64 elapsedMs() const { return startTime.isValid() ? startTime.elapsed() : 0; }

    // Drops the reply: no more signals reach the worker, and it is deleted later, which also
    // ends its exchange. Never abort(): Qt may already be delivering the reply's own failure,
    // and a second failure makes it warn.
    void releaseReply()
    {
        if (!reply)
            return;
        QNetworkReply* r = reply;
        reply = nullptr;
        r->disconnect(q);
        r->deleteLater();
    }

    QByteArray readBody(QNetworkReply& r) const;
    void traceReply(QNetworkReply& r, qint64 id, int status, const QString& contentType, bool image,
                    const QByteArray& body, qint64 elapsed) const;
    RequestError buildError(const QNetworkReply& r, const QJsonObject& json) const;
    QVariant extract(const ResponseExtractor& extractor, const QByteArray& body) const;
    void endAfterException(const QString& message);
    QString decodeImage(const QNetworkReply& r, const QByteArray& body, QVariant* result) const;
};

// ---- configuration ----

HttpRequestWorker::HttpRequestWorker(QObject* parent)
    : QObject(parent), d(std::make_unique<HttpRequestWorkerPrivate>(this))
{
    setObjectName(QStringLiteral("HttpRequestWorker"));
}

HttpRequestWorker::~HttpRequestWorker()
{
    d->releaseReply();
}

void HttpRequestWorker::setBackend(AbstractBackend* backend) { d->backend = backend; }
AbstractBackend* HttpRequestWorker::backend() const { return d->backend; }
void HttpRequestWorker::setRawData(const RequestRawData& data) { d->data = data; }
const RequestRawData& HttpRequestWorker::rawData() const { return d->data; }
void HttpRequestWorker::setCacheKey(const QString& key) { d->cacheKey = key; }
void HttpRequestWorker::setResponseCache(ResponseCache* cache) { d->responseCache = cache; }
void HttpRequestWorker::setMaxImageSize(const QSize& size) { d->maxImageSize = size; }
void HttpRequestWorker::setTlsMode(TlsPolicy::Mode mode) { d->tlsMode = mode; }
QNetworkRequest& HttpRequestWorker::networkRequest() { return d->networkRequest; }
const QNetworkRequest& HttpRequestWorker::networkRequest() const { return d->networkRequest; }
MethodType HttpRequestWorker::methodType() const { return d->data.methodType; }
qint64 HttpRequestWorker::requestId() const { return d->requestId; }
QString HttpRequestWorker::senderName() const { return d->senderName; }
void HttpRequestWorker::setSenderName(const QString& name) { d->senderName = name; }
int HttpRequestWorker::resendAttempts() const { return d->resendAttempts; }
QList<QUrl> HttpRequestWorker::redirects() const { return d->redirects; }

void HttpRequestWorker::setUrl(const QString& url)
{
    d->networkRequest.setUrl(QUrl(url, QUrl::TolerantMode)); // as QUrl::fromEncoded() reads it, without the round trip
}

void HttpRequestWorker::setLogSettings(int jsonLengthLimit, bool jsonFormattingEnabled, bool loggingEnabled)
{
    d->jsonLengthLimit = jsonLengthLimit;
    d->jsonFormattingEnabled = jsonFormattingEnabled;
    d->loggingEnabled = loggingEnabled;
}

namespace {
// What every request carries alike, set once per thread and kind: a copy shares Qt's
// attribute table (whose first entry allocates a whole hash) until something changes it.
QNetworkRequest requestTemplate(bool image, std::optional<qint64> connectionCacheExpiry)
{
    struct Template
    {
        bool made = false;
        std::optional<qint64> connectionCacheExpiry;
        QNetworkRequest request;
    };
    thread_local Template templates[2]; // other requests, images
    Template& t = templates[image];
    if (!t.made || t.connectionCacheExpiry != connectionCacheExpiry) {
        QNetworkRequest request;
        request.setAttribute(QNetworkRequest::Http2AllowedAttribute, image);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
        if (connectionCacheExpiry)
            request.setAttribute(QNetworkRequest::ConnectionCacheExpiryTimeoutSecondsAttribute, *connectionCacheExpiry);
        t = {true, connectionCacheExpiry, request};
    }
    return t.request;
}
} // namespace

HttpRequestWorker* createHttpRequestWorker(const RequestRawData& data, const RequestSettings& settings,
                                           AbstractBackend* backend, const WorkerEnvironment& environment,
                                           QObject* parent)
{
    auto* worker = new HttpRequestWorker(parent);
    const stbconfig::LogsConfigWrapper logs(environment.store);
    worker->setBackend(backend);
    worker->setLogSettings(logs.jsonLengthLimit(), logs.jsonFormattingEnabled(),
                           settings.image ? logs.imageRequestsEnabled() : true);
    std::optional<qint64> connectionCacheExpiry;
    if (backend)
        connectionCacheExpiry = qint64(backend->connectionCacheExpiryTimeout(data, environment.store).count());
    worker->networkRequest() = requestTemplate(settings.image, connectionCacheExpiry);
    worker->setUrl(settings.urls.value(0));
    worker->setRawData(data);
    worker->setCacheKey(settings.cacheKey);
    if (data.isCacheable)
        worker->setResponseCache(environment.responseCache);

    QNetworkRequest& request = worker->networkRequest();
    // Qt 6.4 has no per-request HTTP/1 configuration; from 6.5 on, proxied requests share
    // the proxy's small connection budget.
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    if (settings.useProxy && environment.proxyActive) {
        QHttp1Configuration http1;
        http1.setNumberOfConnectionsPerHost(TqConfigWrapper(environment.store).numberOfConnectionsWithProxy());
        request.setHttp1Configuration(http1);
    }
#endif
    worker->setTlsMode(TlsPolicy::mode(environment.store));
#if QT_CONFIG(ssl)
    if (settings.sslProtocol != -1) {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.setProtocol(static_cast<QSsl::SslProtocol>(settings.sslProtocol));
        request.setSslConfiguration(ssl);
    }
#endif
    if (backend) {
        request.setTransferTimeout(int(std::min<qint64>(backend->requestTimeout(data, environment.store),
                                                        std::numeric_limits<int>::max())));
    }
    request.setPriority(static_cast<QNetworkRequest::Priority>(settings.priority));
    for (auto it = settings.headers.cbegin(); it != settings.headers.cend(); ++it)
        request.setRawHeader(it.key().toUtf8(), it.value().toUtf8());
    if (settings.image) {
        // A negative dimension means the host set no limit; anything else is capped
        // below the dimension no image may reach.
        const QSize limit = environment.imagesSizeLimit;
        if (limit.width() >= 0 && limit.height() >= 0)
            worker->setMaxImageSize(QSize(std::clamp(limit.width(), 0, ImageDimensionLimit - 1),
                                          std::clamp(limit.height(), 0, ImageDimensionLimit - 1)));
    }
    return worker;
}

// ---- the exchange ----

void HttpRequestWorker::execute(QNetworkAccessManager* manager, const RequestTokenRef& request)
{
    if (d->reply) {
        TQ_LOG(logging::Fault, context()) << "worker is alredy executing";
        return;
    }
    const qint64 id = requestIdOf(request);
    if (id == -1)
        return; // the client dropped the request: nothing is sent
    if (!manager) {
        TQ_LOG(logging::Fault, context()) << QStringLiteral("request(%1) has no network access manager").arg(id);
        return;
    }
    const QByteArray& body = d->data.body;
    if (d->loggingEnabled && logging::checkLogLevel(logging::Trace)) {
        QString line = QStringLiteral("execute request(%1): %2 %3 (from %4)")
                           .arg(QString::number(id), d->data.httpMethod,
                                d->networkRequest.url().toString(), d->senderName);
        if (!body.isEmpty())
            line += QLatin1Char('\n') + d->excerpt(body, true);
        TQ_LOG(logging::Trace, context()) << line;
    }
    if (!body.isEmpty())
        d->networkRequest.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));

    const QString& method = d->data.httpMethod;
    QNetworkReply* reply = nullptr;
    if (method == QLatin1String("GET"))
        reply = manager->get(d->networkRequest);
    else if (method == QLatin1String("POST"))
        reply = manager->post(d->networkRequest, body);
    else if (method == QLatin1String("PUT"))
        reply = manager->put(d->networkRequest, body);
    else if (method == QLatin1String("HEAD"))
        reply = manager->head(d->networkRequest);
    else
        reply = manager->sendCustomRequest(d->networkRequest, method.toLatin1(), body);

    d->reply = reply;
    d->requestId = id;
    d->request = request;
    d->startTime.start();
    d->redirects.clear(); // an error describes the exchange that failed, not every earlier one

#if QT_CONFIG(ssl)
    d->tlsRefusal.clear();
    connect(reply, &QNetworkReply::sslErrors, this, [this, reply](const QList<QSslError>& errors) {
        TQ_LOG(logging::Trace, context()) << QStringLiteral("request(%1) ssl errors occurred:").arg(d->requestId)
                                          << errors;
        const std::optional<QString> refusal = TlsPolicy::refusal(errors, d->tlsMode);
        if (!refusal) {
            reply->ignoreSslErrors();
            return;
        }
        // Not ignored: Qt ends the handshake and the reply fails; the error names why.
        d->tlsRefusal = *refusal;
        TQ_LOG(logging::Warning, context()) << QStringLiteral("request(%1) %2").arg(QString::number(d->requestId), *refusal);
    });
#endif
    connect(reply, &QNetworkReply::redirected, this, [this, reply](const QUrl& url) {
        TQ_LOG(logging::Trace, context()) << QStringLiteral("request(%1) redirected to").arg(d->requestId)
                                          << url.toString();
        if (d->redirects.size() < MaxRedirectsKept)
            d->redirects.append(url);
        // Qt 6.4 connects redirectAllowed() to the reply's follow-up once more on every hop,
        // so from the second hop on one permission is followed several times (duplicate
        // requests, lost body). Keep exactly one connection before giving permission.
        if (QObject::disconnect(reply, SIGNAL(redirectAllowed()), reply, SLOT(followRedirect())))
            QObject::connect(reply, SIGNAL(redirectAllowed()), reply, SLOT(followRedirect()), Qt::QueuedConnection);
        emit reply->redirectAllowed();
    });
    connect(reply, &QNetworkReply::finished, this, &HttpRequestWorker::finished);
}

void HttpRequestWorker::cancel()
{
    if (d->reply && d->loggingEnabled && d->reply->isRunning()) {
        TQ_LOG(logging::Trace, context())
            << QStringLiteral("request(%1) canceled (%2 msecs)").arg(d->requestId).arg(d->elapsedMs());
    }
    d->releaseReply();
}

void HttpRequestWorker::setMeasured(bool measured)
{
    d->measured = measured;
}

void HttpRequestWorker::setRecorded(bool recorded)
{
    d->recorded = recorded;
}

HttpRequestWorker::ExchangeFacts HttpRequestWorker::exchangeFacts() const
{
    return d->facts;
}

void HttpRequestWorker::handleReply()
{
    // Nothing the reply handling throws (std::bad_alloc is real on a 32-bit box: an image, an
    // error body, a trace) leaves the worker; the request still ends exactly once.
    d->ended = false;
    try {
        handleReplyUnguarded();
    } catch (const std::bad_alloc& e) {
        d->endAfterException(QStringLiteral("handling the reply caused std::bad_alloc: %1").arg(QLatin1String(e.what())));
    } catch (...) {
        d->endAfterException(QStringLiteral("handling the reply caused an unexpected exception"));
    }
}

void HttpRequestWorker::handleReplyUnguarded()
{
    const qint64 id = requestIdOf(d->request);
    if (id == -1) {
        d->releaseReply(); // nobody waits for the answer any more
        return;
    }
    if (!d->reply) {
        TQ_LOG(logging::Fault, context())
            << QStringLiteral("request(%1) unexpected %2 call").arg(QString::number(id), QStringLiteral("handleReply"));
        return;
    }
    const QNetworkReply::NetworkError error = d->reply->error();
    const MethodType type = d->data.methodType;

    d->facts = ExchangeFacts();
    if (error == QNetworkReply::OperationCanceledError) { // the transfer timeout fired
        RequestError failure = d->buildError(*d->reply, QJsonObject());
        const int seconds = d->networkRequest.transferTimeout() / 1000;
        failure.description += QStringLiteral(" (timeout %1 seconds)").arg(seconds);
        d->releaseReply();
        if (d->loggingEnabled) {
            TQ_LOG(logging::Trace, context())
                << QStringLiteral("request(%1) canceled by internal timeout (%2 seconds)").arg(id).arg(seconds);
        }
        d->ended = true;
        emit requestFailureInspectionRequired(id, failure);
        return;
    }
    // The connection broke while the request was being re-sent; audits are not worth it.
    if (error == QNetworkReply::ContentReSendError && !isAuditType(type) && ++d->resendAttempts < 3) {
        d->releaseReply();
        if (d->loggingEnabled) {
            TQ_LOG(logging::Trace, context())
                << QStringLiteral("request(%1) will be sent again, attempt %2").arg(id).arg(d->resendAttempts);
        }
        d->ended = true;
        emit resendRequired();
        return;
    }

    const QScopedPointer<QNetworkReply, QScopedPointerDeleteLater> reply(d->reply.data());
    d->reply = nullptr;
    // A finished reply sends nothing more; its finished() is cut all the same, so that a
    // second one (Qt has had such bugs) cannot pass for the next exchange's.
    disconnect(reply.data(), &QNetworkReply::finished, this, &HttpRequestWorker::finished);
    const qint64 elapsed = d->elapsedMs();
    const QByteArray body = d->readBody(*reply);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    d->facts.httpStatus = status;
    d->facts.bytes = body.size();
    if (d->recorded) {
        d->facts.http2 = reply->attribute(QNetworkRequest::Http2WasUsedAttribute).toBool();
        d->facts.headers = reply->rawHeaderPairs();
        d->facts.body = body;
    }
    const QString contentType = QString::fromLatin1(reply->rawHeader("Content-Type"));
    const bool image = contentType == QLatin1String("image/png") || contentType == QLatin1String("image/jpeg");
    if (d->loggingEnabled)
        d->traceReply(*reply, id, status, contentType, image, body, elapsed);

    const int bodyStatus = d->backend ? d->backend->responseErrorStatus(body) : 0;
    if (bodyStatus != 0 || error != QNetworkReply::NoError) {
        const QJsonObject json = QJsonDocument::fromJson(body).object();
        RequestError failure = d->buildError(*reply, json);
        if (type == MethodType::PaymentServiceApi) {
            failure.errorCode = bodyStatus;
            failure.description = json.value(QLatin1String("reqUserNote")).toString();
            failure.debugMessage = json.value(QLatin1String("reqNote")).toString();
        }
        d->ended = true;
        emit requestFailureInspectionRequired(id, failure);
        return;
    }

    QVariant result;
    QElapsedTimer decodeClock;
    if (d->measured)
        decodeClock.start();
    const auto typeHas = [&contentType](const char* part) { return contentType.contains(QLatin1String(part)); };
    if (status == 204) {
        // no content, whatever the type says
    } else if (image) {
        if (!isAuditType(type)) {
            const QString message = d->decodeImage(*reply, body, &result);
            if (!message.isEmpty()) {
                TQ_LOG(logging::Warning, context()) << message;
                RequestError failure = d->buildError(*reply, QJsonObject());
                failure.reason = RequestError::HttpClientError;
                failure.networkError = QNetworkReply::UnknownContentError;
                failure.description = message;
                d->ended = true;
                emit requestFailureInspectionRequired(id, failure);
                return;
            }
        }
    } else if (typeHas("application/json") || typeHas("application/xml") || typeHas("application/octet-stream")
               || isTextXml(contentType)) {
        if (d->data.responseExtractor) {
            if (body.isEmpty()) {
                TQ_LOG(logging::Trace, context()) << "nothing to parse";
            }
            result = d->extract(d->data.responseExtractor, body);
        } else if (!body.isEmpty()) {
            TQ_LOG(logging::Warning, context()) << "responseExtractor is null";
        }
    } else if (typeHas("application/cbor")) {
        if (d->data.responseCborExtractor)
            result = d->extract(d->data.responseCborExtractor, body);
        else
            TQ_LOG(logging::Warning, context()) << "responseCborExtractor is null";
    } else if (typeHas("text/plain") || typeHas("text/html")) {
        if (!body.isEmpty())
            result = QString::fromUtf8(body);
    } else if (type != MethodType::GeneralRequest && type != MethodType::TqAnalytics && type != MethodType::RdmApi) {
        TQ_LOG(logging::Trace, context()) << "not supported content type:" << contentType;
    }
    if (d->measured)
        d->facts.decodeNs = decodeClock.nsecsElapsed();
    d->ended = true;
    emit responseReceived(id, result);
}

// ---- reading and decoding ----

void HttpRequestWorkerPrivate::endAfterException(const QString& message)
{
    try {
        TQ_LOG(logging::Fault, context()) << QStringLiteral("request(%1)").arg(requestId) << message;
        releaseReply();
        if (ended)
            return; // a receiver of the ending signal threw: the request has its end
        ended = true;
        RequestError failure;
        failure.networkError = QNetworkReply::UnknownContentError;
        failure.methodType = data.methodType;
        failure.url = networkRequest.url();
        failure.httpMethod = data.httpMethod;
        failure.path = data.path;
        failure.senderName = senderName;
        failure.description = message;
        emit q->requestFailureInspectionRequired(requestId, failure);
    } catch (...) {
        // Out of memory even for the failure: the client drops the request or the dispatcher's
        // drop clears it; nothing may escape into the event loop.
    }
}

QByteArray HttpRequestWorkerPrivate::readBody(QNetworkReply& r) const
{
    try {
        return r.readAll();
    } catch (const std::bad_alloc& e) {
        TQ_LOG(logging::Fault, context()) << "reading the reply caused std::bad_alloc:" << e.what();
    } catch (...) {
        TQ_LOG(logging::Fault, context()) << "reading the reply caused an unexpected exception";
    }
    return QByteArray();
}

QVariant HttpRequestWorkerPrivate::extract(const ResponseExtractor& extractor, const QByteArray& body) const
{
    try {
        return extractor(body);
    } catch (const std::bad_alloc& e) {
        TQ_LOG(logging::Fault, context()) << "extracting the response caused std::bad_alloc:" << e.what();
    } catch (...) {
        TQ_LOG(logging::Fault, context()) << "extracting the response caused an unexpected exception";
    }
    return QVariant();
}

void HttpRequestWorkerPrivate::traceReply(QNetworkReply& r, qint64 id, int status, const QString& contentType,
                                          bool image, const QByteArray& body, qint64 elapsed) const
{
    // At the usual level only an error answer is written, and its body starts so: nothing
    // else is looked at for a record nobody reads.
    const bool errorBody = body.startsWith("{\"error");
    if (!logging::checkLogLevel(logging::Trace) && !(errorBody && logging::checkLogLevel(logging::Warning)))
        return;
    const auto typeHas = [&contentType](const char* part) { return contentType.contains(QLatin1String(part)); };
    enum class Shown { Image, Cbor, Text, Xml, Json, Nothing };
    const Shown shown = image                                                  ? Shown::Image
                        : typeHas("application/cbor")                          ? Shown::Cbor
                        : typeHas("text/plain") || typeHas("text/html")        ? Shown::Text
                        : typeHas("application/xml") || isTextXml(contentType) ? Shown::Xml
                        : typeHas("application/json")                          ? Shown::Json
                                                                               : Shown::Nothing;
    const logging::Level level = shown == Shown::Json && errorBody ? logging::Warning : logging::Trace;
    if (!logging::checkLogLevel(level))
        return;
    QString content;
    switch (shown) {
    case Shown::Image:
        content = QStringLiteral("image, raw data size = %1 bytes, HTTP/2 %2 used")
                      .arg(QString::number(body.size()),
                           r.attribute(QNetworkRequest::Http2WasUsedAttribute).toBool() ? QStringLiteral("was")
                                                                                        : QStringLiteral("was not"));
        break;
    case Shown::Cbor: content = QStringLiteral("[binary CBOR]"); break;
    case Shown::Text: content = excerpt(body, false); break;
    case Shown::Xml:
        if (data.methodType != MethodType::MediascopeApi && data.methodType != MethodType::TqAnalytics
            && data.methodType != MethodType::RdmApi) {
            for (const auto& header : r.rawHeaderPairs())
                content += QString::fromLatin1(header.first + ": " + header.second) + QLatin1Char('\n');
        }
        content += excerpt(body, false);
        break;
    case Shown::Json: content = excerpt(body, true); break;
    case Shown::Nothing: break;
    }
    TQ_LOG(level, context()) << QStringLiteral("reply for request(%1) %2 %3 %4 (%5 msecs)")
                                    .arg(QString::number(id), QString::number(status), httpReasonPhrase(status),
                                         content, QString::number(elapsed));
}

RequestError HttpRequestWorkerPrivate::buildError(const QNetworkReply& r, const QJsonObject& json) const
{
    RequestError error;
    error.networkError = r.error();
    error.methodType = data.methodType;
    error.url = r.request().url();
    error.httpMethod = data.httpMethod;
    error.path = data.pathCreator ? data.pathCreator(data.path) : data.path;
    error.queryItems = data.queryItems;
    error.senderName = senderName;
    error.redirects = redirects;
    error.httpStatusCode = r.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    error.rawHeaders = r.rawHeaderPairs();
    if (error.httpStatusCode == 429)
        error.retryAfter = retryAfter(error.rawHeaders);
    error.reason = isHttpClientError(error.httpStatusCode)   ? RequestError::HttpClientError
                   : isHttpServerError(error.httpStatusCode) ? RequestError::HttpServerError
                                                             : RequestError::Unknown;

    const QJsonValue code = json.value(QLatin1String("error_code"));
    if (!code.isUndefined()) {
        error.errorCode = code.toInt();
        error.tqReason = static_cast<RequestError::TqReason>(error.errorCode);
    }
    const QJsonValue description = json.value(QLatin1String("description"));
    error.description = !description.isUndefined() ? description.toString()
                        : !tlsRefusal.isEmpty()       ? tlsRefusal
                                                      : r.errorString();
    error.debugMessage = json.value(QLatin1String("debug_message")).toString();
    for (const QJsonValue& item : json.value(QLatin1String("details")).toArray()) {
        const QJsonObject detail = item.toObject();
        const QString name = detail.value(QLatin1String("key")).toString();
        const ErrorDetailsKey key = errorDetailsKeysDictionary().value(name);
        if (key == ErrorDetailsKey::Unknown) {
            TQ_LOG(logging::Warning, context()) << QStringLiteral("uknown error details key received: %1").arg(name);
            continue;
        }
        error.details.append(ErrorDetail{key, detail.value(QLatin1String("value")).toVariant(), name});
    }
    return error;
}

QString HttpRequestWorkerPrivate::decodeImage(const QNetworkReply& r, const QByteArray& body, QVariant* result) const
{
    ImageAnswer answer;
    answer.body = body;
    if (r.hasRawHeader("Content-Length"))
        answer.contentLength = r.rawHeader("Content-Length");
    answer.contentType = r.rawHeader("Content-Type");
    answer.url = r.url();
    answer.checkSize = data.checkImageSize;
    answer.maxSize = maxImageSize;
    const DecodedImage decoded = decodeImageAnswer(answer);
    if (!decoded.failure.isEmpty())
        return decoded.failure;
    if (responseCache && !cacheKey.isEmpty())
        responseCache->add(cacheKey, body);
    *result = QVariant::fromValue(ImageResponse(decoded.image, body));
    return QString();
}

} // namespace tq
