// The HTTP worker against the fake server, one worker at a time on a real
// QNetworkAccessManager. Only the re-send error comes from a scripted manager: Qt raises
// it when it cannot rewind an upload, which the worker's byte-array bodies never allow.

#include "fakehttpserver.h"
#include "scriptednetworkaccessmanager.h"

#include "transport/responsecache_p.h"
#include "model/response.h"
#include "platform/logging.h"
#include "transport/backends_p.h"
#include "transport/httprequestworker_p.h"

#include <QBuffer>
#include <QDateTime>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

using namespace tq;
using fake::HttpResponse;

namespace {

// What one exchange delivered.
struct Exchange
{
    RequestToken token = RequestToken::create(7);
    bool done = false;
    int responses = 0;
    int failures = 0;
    int resends = 0;
    QVariant response;
    RequestError error;
};

QVariant tagged(const char* tag, const QByteArray& body)
{
    return QString::fromLatin1(tag) + QString::fromUtf8(body);
}

// A backend that runs out of memory while judging a body.
class ExhaustedBackend : public GeneralRequestBackend
{
public:
    int responseErrorStatus(const QByteArray&) const override { throw std::bad_alloc(); }
};

// A PNG whose header announces 0x0 pixels (no encoder writes one): signature, IHDR, IEND.
const char* const EmptyPngHex = "89504e470d0a1a0a0000000d4948445200000000000000000802000000b4e9eb450000000049454e44ae426082";

QByteArray encoded(QImage image, const char* format)
{
    if (image.format() == QImage::Format_Indexed8)
        image.setColorTable({qRgb(200, 0, 0), qRgb(0, 0, 200)}); // not grey, or it is saved as grey
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

class TestHttpRequestWorker : public QObject
{
    Q_OBJECT

private:
    stbconfig::ConfigurationManager m_store;
    stbcore::FixedPropertyProvider m_provider;
    BackendSet m_backends = createBackends();
    ResponseCache m_cache;
    std::unique_ptr<fake::FakeHttpServer> m_server;
    std::unique_ptr<QNetworkAccessManager> m_manager;

    RequestRawData request(const QString& path, MethodType type = MethodType::GeneralRequest,
                           const QString& method = QStringLiteral("GET"))
    {
        RequestRawData data([](const QByteArray& body) { return tagged("json:", body); });
        data.responseCborExtractor = [](const QByteArray& body) { return tagged("cbor:", body); };
        data.httpMethod = method;
        data.path = m_server->url(path).toString();
        data.methodType = type;
        data.isAbsoluteUrl = true;
        return data;
    }

    HttpRequestWorker* worker(const RequestRawData& data, QSize imageLimit = QSize(-1, -1), QObject* parent = nullptr)
    {
        AbstractBackend* backend = m_backends.byType.value(data.methodType);
        const RequestSettings settings = backend->composeRequest(data, &m_store, &m_provider);
        return createHttpRequestWorker(data, settings, backend, {&m_store, false, &m_cache, imageLimit},
                                       parent ? parent : m_manager.get());
    }

    // Wires the worker the way the dispatcher does and executes it.
    std::shared_ptr<Exchange> start(HttpRequestWorker* w, QNetworkAccessManager* manager = nullptr)
    {
        manager = manager ? manager : m_manager.get();
        auto ex = std::make_shared<Exchange>();
        connect(w, &HttpRequestWorker::finished, w, &HttpRequestWorker::handleReply);
        connect(w, &HttpRequestWorker::responseReceived, w, [ex](qint64, const QVariant& response) {
            ++ex->responses;
            ex->response = response;
            ex->done = true;
        });
        connect(w, &HttpRequestWorker::requestFailureInspectionRequired, w, [ex](qint64, const RequestError& error) {
            ++ex->failures;
            ex->error = error;
            ex->done = true;
        });
        connect(w, &HttpRequestWorker::resendRequired, w, [ex, w, manager] {
            ++ex->resends;
            w->execute(manager, ex->token);
        });
        w->execute(manager, ex->token);
        return ex;
    }

    void route(const QString& path, const HttpResponse& response, fake::Faults faults = {})
    {
        m_server->route("*", path, [response](const fake::HttpRequest&) { return response; }, faults);
    }

private slots:
    void initTestCase()
    {
        logging::setLogLevel(logging::Verbose); // some cases expect trace lines
    }

    void init()
    {
        m_store.setValue(QStringLiteral("Network"), QStringLiteral("requestTimeout"), 30, stbconfig::Runtime);
        m_provider.agent = QStringLiteral("box/1.0");
        m_server = std::make_unique<fake::FakeHttpServer>();
        QVERIFY(m_server->isListening());
        m_manager = std::make_unique<QNetworkAccessManager>();
        m_cache.clear();
    }

    void cleanup()
    {
        m_manager.reset(); // workers are its children
        m_server.reset();
    }

    void factoryConfiguresTheRequest_data()
    {
        QTest::addColumn<MethodType>("type");
        QTest::addColumn<int>("priority");
        QTest::addColumn<bool>("http2");
        QTest::addColumn<int>("expiry");
        QTest::addColumn<int>("timeout");
        QTest::newRow("platform call") << MethodType::TqApi << int(QNetworkRequest::HighPriority) << false << 45 << 7000;
        QTest::newRow("image") << MethodType::TqImage << int(QNetworkRequest::NormalPriority) << true << 45 << 7000;
        QTest::newRow("audit") << MethodType::AdBannerAudit << int(QNetworkRequest::LowPriority) << false << 9 << 2000;
    }

    void factoryConfiguresTheRequest()
    {
        QFETCH(MethodType, type);
        QFETCH(int, priority);
        QFETCH(bool, http2);
        QFETCH(int, expiry);
        QFETCH(int, timeout);
        m_store.setValue(QStringLiteral("TQ"), QStringLiteral("requestTimeout"), 7, stbconfig::Runtime);
        m_store.setValue(QStringLiteral("TQ"), QStringLiteral("connectionCacheExpiryTimeout"), 45, stbconfig::Runtime);
        m_store.setValue(QStringLiteral("AdBanner"), QStringLiteral("pixelsRequestTimeout"), 2, stbconfig::Runtime);
        m_store.setValue(QStringLiteral("Ad"), QStringLiteral("connectionCacheExpiryTimeout"), 9, stbconfig::Runtime);

        const QNetworkRequest r = worker(request(QStringLiteral("/x"), type))->networkRequest();
        QCOMPARE(int(r.priority()), priority);
        QCOMPARE(r.attribute(QNetworkRequest::Http2AllowedAttribute).toBool(), http2);
        QCOMPARE(r.attribute(QNetworkRequest::RedirectPolicyAttribute).toInt(),
                 int(QNetworkRequest::UserVerifiedRedirectPolicy));
        QCOMPARE(r.attribute(QNetworkRequest::ConnectionCacheExpiryTimeoutSecondsAttribute).toInt(), expiry);
        QCOMPARE(r.transferTimeout(), timeout);
        QCOMPARE(r.rawHeader("User-Agent"), QByteArray("box/1.0"));
    }

    void successByContentType_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QVariant>("expected");

        QTest::newRow("204 with json type") << 204 << QByteArray("application/json") << QByteArray() << QVariant();
        QTest::newRow("204 with image type") << 204 << QByteArray("image/png") << QByteArray() << QVariant();
        QTest::newRow("json") << 200 << QByteArray("application/json; charset=utf-8") << QByteArray("{\"a\":1}")
                              << tagged("json:", "{\"a\":1}");
        QTest::newRow("json, empty body") << 200 << QByteArray("application/json") << QByteArray()
                                          << tagged("json:", "");
        QTest::newRow("xml") << 200 << QByteArray("application/xml") << QByteArray("<VAST/>") << tagged("json:", "<VAST/>");
        QTest::newRow("octet-stream") << 200 << QByteArray("application/octet-stream") << QByteArray("\x01\x02")
                                      << tagged("json:", "\x01\x02");
        QTest::newRow("cbor") << 200 << QByteArray("application/cbor") << fake::cborBody(QCborValue(5))
                              << tagged("cbor:", fake::cborBody(QCborValue(5)));
        QTest::newRow("text") << 200 << QByteArray("text/plain; charset=utf-8") << QByteArray("h\xc3\xa9llo")
                              << QVariant(QStringLiteral("h\u00e9llo"));
        QTest::newRow("html") << 200 << QByteArray("text/html") << QByteArray("<p>x</p>")
                              << QVariant(QStringLiteral("<p>x</p>"));
        QTest::newRow("empty text") << 200 << QByteArray("text/plain") << QByteArray() << QVariant();
        QTest::newRow("unknown type") << 200 << QByteArray("application/zip") << QByteArray("PK") << QVariant();
        // Ad servers answer VAST as text/xml too: that is XML, for the extractor.
        QTest::newRow("text/xml") << 200 << QByteArray("text/xml") << QByteArray("<VAST/>") << tagged("json:", "<VAST/>");
        QTest::newRow("text/xml, parameters") << 200 << QByteArray("Text/XML ; charset=UTF-8") << QByteArray("<VAST/>")
                                              << tagged("json:", "<VAST/>");
        QTest::newRow("text/xml-like type") << 200 << QByteArray("text/xmlish") << QByteArray("<VAST/>") << QVariant();
    }

    void successByContentType()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        QFETCH(QVariant, expected);
        route(QStringLiteral("/r"), HttpResponse::withBody(status, contentType, body));

        const auto ex = start(worker(request(QStringLiteral("/r"), MethodType::ThumbnailsApi)));
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->failures, 0);
        QCOMPARE(ex->response, expected);
    }

    // A missing or throwing extractor costs the answer, never the request's end.
    void brokenExtractorGivesEmptyResponse_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<bool>("throws");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("message");
        QTest::newRow("json, none") << QByteArray("application/json") << false << int(QtWarningMsg)
                                    << "responseExtractor is null";
        QTest::newRow("cbor, none") << QByteArray("application/cbor") << false << int(QtWarningMsg)
                                    << "responseCborExtractor is null";
        QTest::newRow("json, throws") << QByteArray("application/json") << true << int(QtCriticalMsg)
                                      << "extracting the response caused an unexpected exception";
    }

    void brokenExtractorGivesEmptyResponse()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(bool, throws);
        QFETCH(int, level);
        QFETCH(QString, message);
        route(QStringLiteral("/r"), HttpResponse::withBody(200, contentType, "{}"));
        RequestRawData data = request(QStringLiteral("/r"));
        data.responseExtractor = nullptr;
        data.responseCborExtractor = nullptr;
        if (throws)
            data.responseExtractor = [](const QByteArray&) -> QVariant { throw std::runtime_error("broken"); };

        QTest::ignoreMessage(QtMsgType(level), QRegularExpression(QRegularExpression::escape(message)));
        const auto ex = start(worker(data));
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->responses, 1);
        QVERIFY(!ex->response.isValid());
    }

    void errorRecord()
    {
        const QJsonObject body{
            {"error_code", 1000053},
            {"description", "session must be replaced"},
            {"debug_message", "sid expired"},
            {"details", QJsonArray{QJsonObject{{"key", "balance"}, {"value", 15}, {"description", "on account"}},
                                   QJsonObject{{"key", "shoe_size"}, {"value", 44}}}}};
        route(QStringLiteral("/user/info"), HttpResponse::json(403, body).header("X-Trace", "t1"));
        RequestRawData data = request(QStringLiteral("/user/info"), MethodType::GeneralRequest, httpPostMethod());
        data.body = "{}";
        data.queryItems = QStringList{QStringLiteral("a=1")};

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("uknown error details key received: shoe_size"));
        HttpRequestWorker* w = worker(data);
        w->setSenderName(QStringLiteral("client-1"));
        const auto ex = start(w);
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->failures, 1);
        const RequestError& e = ex->error;
        QCOMPARE(e.reason, RequestError::HttpClientError);
        QCOMPARE(e.tqReason, RequestError::TqReason::SessionReplacementRequired);
        QCOMPARE(e.errorCode, 1000053);
        QCOMPARE(e.httpStatusCode, 403);
        QCOMPARE(e.networkError, QNetworkReply::ContentAccessDenied);
        QCOMPARE(e.description, QStringLiteral("session must be replaced"));
        QCOMPARE(e.debugMessage, QStringLiteral("sid expired"));
        QCOMPARE(e.httpMethod, QStringLiteral("POST"));
        QCOMPARE(e.path, data.path);
        QCOMPARE(e.queryItems, data.queryItems);
        QCOMPARE(e.senderName, QStringLiteral("client-1"));
        QCOMPARE(e.url, m_server->url(QStringLiteral("/user/info?a=1")));
        QCOMPARE(e.methodType, MethodType::GeneralRequest);
        QVERIFY(e.rawHeaders.contains(qMakePair(QByteArray("X-Trace"), QByteArray("t1"))));
        QCOMPARE(e.details.size(), 1);
        QCOMPARE(e.details[0].key, ErrorDetailsKey::Balance);
        QCOMPARE(e.details[0].value, QVariant(15.0));
        QCOMPARE(e.details[0].keyName, QStringLiteral("balance"));
    }

    void errorBodyIsTracedAsWarning()
    {
        route(QStringLiteral("/r"), HttpResponse::withBody(400, "application/json", "{\"error_code\":5}"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(R"(reply for request\(7\) 400 Bad Request \{"error_code":5\} \(\d+ msecs\)$)"));
        const auto ex = start(worker(request(QStringLiteral("/r"))));
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->error.errorCode, 5);
    }

    void errorWithoutJsonUsesReplyText_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("reason");
        QTest::newRow("server error") << 503 << int(RequestError::HttpServerError);
        QTest::newRow("client error") << 404 << int(RequestError::HttpClientError);
    }

    void errorWithoutJsonUsesReplyText()
    {
        QFETCH(int, status);
        QFETCH(int, reason);
        route(QStringLiteral("/r"), HttpResponse::withBody(status, "text/html", "<h1>down</h1>"));
        const auto ex = start(worker(request(QStringLiteral("/r"))));
        QTRY_VERIFY(ex->done);
        QCOMPARE(int(ex->error.reason), reason);
        QCOMPARE(ex->error.tqReason, RequestError::TqReason::Unknown);
        QVERIFY2(ex->error.description.contains(httpReasonPhrase(status)), qPrintable(ex->error.description));
    }

    void connectionRefused()
    {
        RequestRawData data = request(QStringLiteral("/r"));
        const quint16 port = m_server->port();
        m_server.reset(); // nobody listens on that port any more
        data.path = QStringLiteral("http://127.0.0.1:%1/r").arg(port);
        const auto ex = start(worker(data));
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->error.networkError, QNetworkReply::ConnectionRefusedError);
        QCOMPARE(ex->error.reason, RequestError::Unknown);
        QCOMPARE(ex->error.httpStatusCode, 0);
    }

    void retryAfter_data()
    {
        const QDateTime now = QDateTime::currentDateTime();
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<qint64>("minimum"); // -1: no delay
        QTest::addColumn<qint64>("maximum");
        QTest::addColumn<bool>("warned");

        QTest::newRow("seconds") << 429 << QByteArray("120") << qint64(120) << qint64(120) << false;
        QTest::newRow("text date ahead") << 429 << now.addSecs(600).toString(Qt::TextDate).toLatin1()
                                         << qint64(590) << qint64(600) << false;
        QTest::newRow("text date passed") << 429 << now.addSecs(-600).toString(Qt::TextDate).toLatin1()
                                          << qint64(-1) << qint64(-1) << false;
        QTest::newRow("RFC 1123 date") << 429 << QByteArray("Wed, 21 Oct 2065 07:28:00 GMT") << qint64(-1)
                                       << qint64(-1) << true;
        QTest::newRow("not a 429") << 503 << QByteArray("120") << qint64(-1) << qint64(-1) << false;
    }

    void retryAfter()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, value);
        QFETCH(qint64, minimum);
        QFETCH(qint64, maximum);
        QFETCH(bool, warned);
        route(QStringLiteral("/r"), HttpResponse::json(status, {}).header("Retry-After", value));
        if (warned)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not supported Retry-After format: Wed, 21 Oct"));

        const auto ex = start(worker(request(QStringLiteral("/r"), MethodType::StaticDataApi)));
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->error.httpStatusCode, status);
        QCOMPARE(ex->error.retryAfter.has_value(), minimum >= 0);
        if (minimum >= 0) {
            QVERIFY(*ex->error.retryAfter >= minimum && *ex->error.retryAfter <= maximum);
            QCOMPARE(m_backends.byType.value(MethodType::StaticDataApi)->failureAction(ex->error), int(AbstractBackend::RetryLater));
        }
    }

    void transferTimeout()
    {
        m_store.setValue(QStringLiteral("Network"), QStringLiteral("requestTimeout"), 1, stbconfig::Runtime);
        fake::Faults silent;
        silent.neverAnswer = true;
        route(QStringLiteral("/slow"), HttpResponse(), silent);

        const auto ex = start(worker(request(QStringLiteral("/slow"))));
        QTRY_VERIFY_WITH_TIMEOUT(ex->done, 10000);
        QCOMPARE(ex->error.networkError, QNetworkReply::OperationCanceledError);
        QVERIFY2(ex->error.description.endsWith(QStringLiteral(" (timeout 1 seconds)")),
                 qPrintable(ex->error.description));
    }

    void contentResend_data()
    {
        QTest::addColumn<MethodType>("type");
        QTest::addColumn<int>("resends");
        QTest::newRow("platform call: two resends") << MethodType::TqDiscover << 2;
        QTest::newRow("audit: none") << MethodType::AdBannerAudit << 0;
    }

    void contentResend()
    {
        QFETCH(MethodType, type);
        QFETCH(int, resends);
        fake::ScriptedNetworkAccessManager scripted;
        for (int i = 0; i < 3; ++i)
            scripted.enqueue({QNetworkReply::ContentReSendError, 0, {}, {}});

        const auto ex = start(worker(request(QStringLiteral("/r"), type)), &scripted);
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->resends, resends);
        QCOMPARE(scripted.scriptedRequests(), resends + 1);
        QCOMPARE(ex->failures, 1);
        QCOMPARE(ex->error.networkError, QNetworkReply::ContentReSendError);
    }

    void redirectsAreFollowedAndRecorded_data()
    {
        QTest::addColumn<int>("finalStatus");
        QTest::newRow("to an answer") << 200;
        QTest::newRow("to a failure") << 404;
    }

    void redirectsAreFollowedAndRecorded()
    {
        QFETCH(int, finalStatus);
        route(QStringLiteral("/old"), HttpResponse::withBody(302, "", "").header("Location", "/moved"));
        route(QStringLiteral("/moved"), HttpResponse::withBody(301, "", "").header("Location", "/new"));
        route(QStringLiteral("/new"), HttpResponse::withBody(finalStatus, "text/plain", "here"));

        HttpRequestWorker* w = worker(request(QStringLiteral("/old")));
        const auto ex = start(w);
        QTRY_VERIFY(ex->done);
        const QList<QUrl> expected{m_server->url(QStringLiteral("/moved")), m_server->url(QStringLiteral("/new"))};
        QCOMPARE(m_server->requestCount(QStringLiteral("/new")), 1);
        QCOMPARE(w->redirects(), expected);
        if (finalStatus == 200)
            QCOMPARE(ex->response, QVariant(QStringLiteral("here")));
        else
            QCOMPARE(ex->error.redirects, expected);

        // Executed again (a retry after weeks of them): the record is of the last exchange only.
        const auto again = start(w);
        QTRY_VERIFY(again->done);
        QCOMPARE(w->redirects(), expected);
    }

    // Nothing the reply handling throws leaves the worker: the request still ends, once.
    void exceptionWhileHandlingTheReplyEndsTheRequest()
    {
        route(QStringLiteral("/r"), HttpResponse::withBody(200, "text/plain", "fine"));
        ExhaustedBackend backend;
        const RequestRawData data = request(QStringLiteral("/r"));
        HttpRequestWorker* w = createHttpRequestWorker(data, backend.composeRequest(data, &m_store, &m_provider), &backend,
                                                       {&m_store, false, &m_cache, QSize(-1, -1)}, m_manager.get());
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("handling the reply caused std::bad_alloc"));
        const auto ex = start(w);
        QTRY_VERIFY(ex->done);
        QCoreApplication::processEvents();
        QCOMPARE(ex->failures, 1);
        QCOMPARE(ex->responses, 0);
        QVERIFY2(ex->error.description.startsWith(QStringLiteral("handling the reply caused std::bad_alloc")),
                 qPrintable(ex->error.description));
        QCOMPARE(ex->error.methodType, MethodType::GeneralRequest);
    }

    void requestOnTheWire_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("GET") << QStringLiteral("GET") << QByteArray();
        QTest::newRow("HEAD") << QStringLiteral("HEAD") << QByteArray();
        QTest::newRow("POST") << QStringLiteral("POST") << QByteArray("{\"a\":1}");
        QTest::newRow("PUT") << QStringLiteral("PUT") << QByteArray("{\"b\":2}");
        QTest::newRow("PATCH") << QStringLiteral("PATCH") << QByteArray("{\"c\":3}");
    }

    void requestOnTheWire()
    {
        QFETCH(QString, method);
        QFETCH(QByteArray, body);
        route(QStringLiteral("/api/v2/user/x"), HttpResponse::withBody(204, "", ""));
        m_store.setValue(QStringLiteral("TQ"), QStringLiteral("apiUrl"), m_server->baseUrl(), stbconfig::Runtime);
        m_store.setValue(QStringLiteral("TqClientFacade"), QStringLiteral("session_id"), "s-1", stbconfig::Runtime);
        RequestRawData data = request(QString(), MethodType::TqApi, method);
        data.path = QStringLiteral("/user/x");
        data.queryItems = QStringList{QStringLiteral("q=%20")};
        data.body = body;

        const auto ex = start(worker(data));
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->responses, 1);
        const QList<fake::HttpRequest> seen = m_server->requests();
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].method, method.toLatin1());
        QCOMPARE(seen[0].path, QStringLiteral("/api/v2/user/x"));
        QCOMPARE(seen[0].query.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded), QStringLiteral(" "));
        QCOMPARE(seen[0].body, body);
        QCOMPARE(seen[0].header("Content-Type"), body.isEmpty() ? QByteArray() : QByteArray("application/json"));
        QCOMPARE(seen[0].header("session_id"), QByteArray("s-1"));
        QCOMPARE(seen[0].header("User-Agent"), QByteArray("box/1.0"));
        QCOMPARE(seen[0].header("Accept"), QByteArray("application/cbor, application/json"));
    }

    void imageFailures_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QSize>("limit");
        QTest::addColumn<QString>("message"); // a regular expression

        const QSize none(-1, -1);
        QImage noisy(300, 300, QImage::Format_RGB32);
        for (int y = 0; y < noisy.height(); ++y)
            for (int x = 0; x < noisy.width(); ++x)
                noisy.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x * y) % 256));
        QByteArray noisyPng;
        QBuffer buffer(&noisyPng);
        buffer.open(QIODevice::WriteOnly);
        noisy.save(&buffer, "PNG");

        QTest::newRow("empty") << QByteArray() << QByteArray("image/png") << none
                               << QStringLiteral("^image response body is empty$");
        QTest::newRow("unsupported format") << QByteArray("no image here") << QByteArray("image/jpeg") << none
                                            << QStringLiteral("^unsupported image format: image/jpeg, supported "
                                                              "image formats: \\(.*png.*\\)$");
        // libpng refuses to read the size of a 0x0 header, which counts as an empty size too.
        QTest::newRow("0x0") << QByteArray::fromHex(EmptyPngHex) << QByteArray("image/png") << none
                             << QStringLiteral("^image size is empty$");
        QTest::newRow("too wide for the hard limit")
            << fake::pngBody(QSize(5000, 10)) << QByteArray("image/png") << QSize(4095, 4095)
            << QStringLiteral("^image http://127.0.0.1:\\d+/img with size \\(5000, 10\\) is larger than maximum "
                              "size \\(4095, 4095\\)$");
        QTest::newRow("limit clamped") << fake::pngBody(QSize(10, 4096)) << QByteArray("image/png") << QSize(9000, 9000)
                                       << QStringLiteral("^image .* with size \\(10, 4096\\) is larger than maximum "
                                                         "size \\(4095, 4095\\)$");
        QTest::newRow("larger area") << fake::jpegBody(QSize(60, 60)) << QByteArray("image/jpeg") << QSize(50, 50)
                                     << QStringLiteral("^image .* with size \\(60, 60\\) is larger than maximum "
                                                       "size \\(50, 50\\)$");
        QTest::newRow("size before pixel format") << fake::pngBody(QSize(60, 60), true) << QByteArray("image/png")
                                                  << QSize(50, 50) << QStringLiteral("^image .* is larger than .*$");
        QTest::newRow("pixel format") << fake::pngBody(QSize(8, 8), true) << QByteArray("image/png") << none
                                      << QStringLiteral("^unsupported pixel format: Format_Grayscale8$");
        QTest::newRow("16-bit pixels") << encoded(QImage(4, 4, QImage::Format_RGBA64), "PNG") << QByteArray("image/png")
                                       << none << QStringLiteral("^unsupported pixel format: Format_RGBA64$");
        QTest::newRow("truncated data") << noisyPng.left(noisyPng.size() * 6 / 10) << QByteArray("image/png") << none
                                        << QStringLiteral("^reading image failed: .+");
    }

    void imageFailures()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(QSize, limit);
        QFETCH(QString, message);
        route(QStringLiteral("/img"), HttpResponse::withBody(200, contentType, body));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(message.mid(1)));
        const auto ex = start(worker(request(QStringLiteral("/img"), MethodType::TqImage), limit));
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->failures, 1);
        QVERIFY2(QRegularExpression(message).match(ex->error.description).hasMatch(),
                 qPrintable(ex->error.description));
        QCOMPARE(ex->error.reason, RequestError::HttpClientError);
        QCOMPARE(ex->error.networkError, QNetworkReply::UnknownContentError);
        QCOMPARE(m_cache.count(), 0);
    }

    // "Content-Length" against the body, which comes chunked (the only way a false length gets
    // past the HTTP layer). A value that is no length is nobody's; Qt joins repeats with ", ".
    void imageContentLength_data()
    {
        QTest::addColumn<QByteArrayList>("values");
        QTest::addColumn<bool>("decoded");
        const QByteArray size = QByteArray::number(fake::pngBody(QSize(8, 8)).size());
        QTest::newRow("repeated, same") << QByteArrayList{size, size} << true;
        QTest::newRow("100 more") << QByteArrayList{QByteArray::number(size.toInt() + 100)} << false;
        QTest::newRow("signed") << QByteArrayList{"+" + size} << false;
        QTest::newRow("garbage after the digits") << QByteArrayList{size + "abc"} << false;
        QTest::newRow("repeated, different") << QByteArrayList{size, "7"} << false;
    }

    void imageContentLength()
    {
        QFETCH(QByteArrayList, values);
        QFETCH(bool, decoded);
        const QByteArray png = fake::pngBody(QSize(8, 8));
        HttpResponse response = HttpResponse::withBody(200, "image/png", png).header("Transfer-Encoding", "chunked");
        for (const QByteArray& value : values)
            response.header("Content-Length", value);
        route(QStringLiteral("/img"), response);
        const QString message = QStringLiteral("image response body is incomplete, %1 (body size) != %2 (Content-Length)")
                                    .arg(png.size())
                                    .arg(QString::fromLatin1(values.join(", ")));
        if (!decoded)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(message)));

        const auto ex = start(worker(request(QStringLiteral("/img"), MethodType::TqImage)));
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->error.description, decoded ? QString() : message);
        QCOMPARE(ex->response.value<ImageResponse>().toQImage().size(), decoded ? QSize(8, 8) : QSize(0, 0));
    }

    // The five accepted pixel formats that the readers produce; the cache keeps the body and
    // restores the same pixels.
    void imageDecodedAndCached_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<MethodType>("type");
        QTest::addColumn<bool>("cacheable");
        QTest::addColumn<bool>("checkSize");
        QTest::addColumn<bool>("cached");
        QTest::addColumn<QSize>("size"); // invalid: no image expected
        QTest::addColumn<int>("format");

        const QByteArray png = fake::pngBody(QSize(40, 30));
        const int rgb = QImage::Format_RGB32;
        QTest::newRow("png") << png << QByteArray("image/png") << MethodType::TqImage << true << true << true
                             << QSize(40, 30) << rgb;
        QTest::newRow("jpeg") << fake::jpegBody(QSize(16, 24)) << QByteArray("image/jpeg") << MethodType::TqImage
                              << true << true << true << QSize(16, 24) << rgb;
        QTest::newRow("mono") << encoded(QImage(9, 3, QImage::Format_Mono), "PNG") << QByteArray("image/png")
                              << MethodType::TqImage << true << true << true << QSize(9, 3) << int(QImage::Format_Mono);
        QTest::newRow("indexed") << encoded(QImage(5, 5, QImage::Format_Indexed8), "PNG") << QByteArray("image/png")
                                 << MethodType::TqImage << true << true << true << QSize(5, 5)
                                 << int(QImage::Format_Indexed8);
        QTest::newRow("alpha") << encoded(QImage(6, 2, QImage::Format_ARGB32), "PNG") << QByteArray("image/png")
                               << MethodType::TqImage << true << true << true << QSize(6, 2)
                               << int(QImage::Format_ARGB32);
        QTest::newRow("not cacheable") << png << QByteArray("image/png") << MethodType::TqImage << false << true
                                       << false << QSize(40, 30) << rgb;
        QTest::newRow("no size check") << fake::pngBody(QSize(5000, 2)) << QByteArray("image/png")
                                       << MethodType::TqImage << true << false << true << QSize(5000, 2) << rgb;
        QTest::newRow("audit is not decoded") << png << QByteArray("image/png") << MethodType::AdStreamAudit << true
                                              << true << false << QSize() << 0;
    }

    void imageDecodedAndCached()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(MethodType, type);
        QFETCH(bool, cacheable);
        QFETCH(bool, checkSize);
        QFETCH(bool, cached);
        QFETCH(QSize, size);
        QFETCH(int, format);
        route(QStringLiteral("/img"), HttpResponse::withBody(200, contentType, body));
        RequestRawData data = request(QStringLiteral("/img"), type);
        data.isCacheable = cacheable;
        data.checkImageSize = checkSize;

        const auto ex = start(worker(data, QSize(100, 100)));
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->responses, 1);
        QCOMPARE(ex->response.isValid(), size.isValid());
        const QImage image = ex->response.value<ImageResponse>().toQImage();
        QCOMPARE(ex->response.value<ImageResponse>().imageIsNull(), !size.isValid());
        if (size.isValid()) {
            QCOMPARE(image.size(), size);
            QCOMPARE(int(image.format()), format);
        }
        QCOMPARE(m_cache.contains(data.path), cached);
        if (!cached)
            return;
        QCOMPARE(m_cache.value(data.path), body);
        const QVariant restored = m_backends.byType.value(type)->responseFromCache(data, m_cache.value(data.path));
        QCOMPARE(restored.value<ImageResponse>().toQImage(), image);
    }

    void paymentStatus_data()
    {
        QTest::addColumn<QJsonObject>("body");
        QTest::addColumn<bool>("success");
        QTest::addColumn<int>("errorCode");
        QTest::newRow("accepted") << QJsonObject{{"reqStatus", 0}} << true << 0;
        QTest::newRow("declined") << QJsonObject{{"reqStatus", 7}, {"reqUserNote", "card declined"}, {"reqNote", "r7"}}
                                  << false << 7;
        QTest::newRow("no status") << QJsonObject{{"reqUserNote", "?"}} << false << -1000;
    }

    void paymentStatus()
    {
        QFETCH(QJsonObject, body);
        QFETCH(bool, success);
        QFETCH(int, errorCode);
        route(QStringLiteral("/pay"), HttpResponse::json(200, body));
        const auto ex = start(worker(request(QStringLiteral("/pay"), MethodType::PaymentServiceApi, httpPostMethod())));
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->responses, success ? 1 : 0);
        if (success)
            return;
        QCOMPARE(ex->error.errorCode, errorCode);
        QCOMPARE(ex->error.description, body.value("reqUserNote").toString());
        QCOMPARE(ex->error.debugMessage, body.value("reqNote").toString());
    }

    // The client dropped the request before the worker thread got to it.
    void droppedRequestSendsNothing()
    {
        route(QStringLiteral("/r"), HttpResponse::json(200, {}));
        HttpRequestWorker* w = worker(request(QStringLiteral("/r")));
        const RequestTokenRef gone = RequestToken::create(1);
        w->execute(m_manager.get(), gone);
        const auto later = start(worker(request(QStringLiteral("/r"))));
        QTRY_VERIFY(later->done); // the first had its chance to reach the server
        QCOMPARE(m_server->requestCount(QStringLiteral("/r")), 1);
    }

    void cancelReportsNothingAndAllowsReuse()
    {
        fake::Faults silent;
        silent.neverAnswer = true;
        route(QStringLiteral("/hang"), HttpResponse(), silent);
        route(QStringLiteral("/ok"), HttpResponse::withBody(200, "text/plain", "ok"));
        HttpRequestWorker* w = worker(request(QStringLiteral("/hang")));
        QSignalSpy received(m_server.get(), &fake::FakeHttpServer::requestReceived);
        const auto ex = start(w);
        QTRY_COMPARE(received.count(), 1);

        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("request\\(7\\) canceled \\(\\d+ msecs\\)"));
        w->cancel();
        w->networkRequest().setUrl(m_server->url(QStringLiteral("/ok")));
        w->execute(m_manager.get(), ex->token);
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->responses, 1);
        QCOMPARE(ex->failures, 0);
        QCOMPARE(ex->response, QVariant(QStringLiteral("ok")));
    }

    // A pause cancels replies whose failure Qt may already be delivering, or has begun to:
    // either way Qt must not be told of a second failure (it warns, and on 6.4 of any).
    void cancelWhileTheFailureArrivesStaysQuiet_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("cutMidBody");
        QTest::newRow("after the headers of an error answer") << 500 << false;
        QTest::newRow("after the failure, before the end") << 200 << true;
    }
    void cancelWhileTheFailureArrivesStaysQuiet()
    {
        QFETCH(int, status);
        QFETCH(bool, cutMidBody);
        fake::Faults faults;
        if (cutMidBody)
            faults.close = fake::Faults::Close::MidBody;
        route(QStringLiteral("/cut"), HttpResponse::withBody(status, "text/plain", QByteArray(4000, 'x')), faults);
        HttpRequestWorker* w = worker(request(QStringLiteral("/cut")));
        const auto ex = start(w);
        const QPointer<QNetworkReply> reply = m_manager->findChild<QNetworkReply*>();
        QVERIFY(reply);
        if (cutMidBody)
            connect(reply, &QNetworkReply::errorOccurred, w, &HttpRequestWorker::cancel);
        else
            connect(reply, &QNetworkReply::metaDataChanged, w, &HttpRequestWorker::cancel);
        QTest::failOnWarning(QRegularExpression(QStringLiteral("Internal problem")));
        QTRY_VERIFY(reply.isNull());
        QCOMPARE(ex->responses + ex->failures, 0);
    }

    void secondExecuteWhileInFlightIsRefused()
    {
        route(QStringLiteral("/r"), HttpResponse::withBody(200, "text/plain", "one"));
        HttpRequestWorker* w = worker(request(QStringLiteral("/r")));
        const auto ex = start(w);
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("worker is alredy executing"));
        w->execute(m_manager.get(), ex->token);
        QTRY_VERIFY(ex->done);
        QCOMPARE(ex->responses, 1);
        QCOMPARE(m_server->requestCount(QStringLiteral("/r")), 1);
    }
};

QTEST_GUILESS_MAIN(TestHttpRequestWorker)
#include "tst_httprequestworker.moc"
