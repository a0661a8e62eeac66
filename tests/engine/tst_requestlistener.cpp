// The request listener against the real engine: each path of a request's life is seen in
// order, with the facts of its exchange; a listener cannot break a request.

#include "enginetestsupport.h"
#include "fakehttpserver.h"

#include "engine/clientfacade.h"
#include "engine/notifier.h"
#include "engine/requestlistener.h"
#include "engine/tqcontext.h"
#include "platform/configurationmanager.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QMutex>
#include <QtTest>

using namespace tq;
using enginetest::answerFor;
using enginetest::RecordingHandler;
using enginetest::TestRequest;
using enginetest::text;
using fake::FakeHttpServer;
using fake::HttpRequest;

namespace {

class RecordingListener : public ITqRequestListener
{
public:
    void requestEvent(const RequestEvent& event) override
    {
        const QMutexLocker lock(&mutex);
        events.append(event);
        if (throws)
            throw std::runtime_error("listener failure");
    }
    QList<RequestEvent> eventsOf(qint64 id)
    {
        const QMutexLocker lock(&mutex);
        QList<RequestEvent> of;
        for (const RequestEvent& e : events) {
            if (e.requestId == id)
                of.append(e);
        }
        return of;
    }
    QString kindsOf(qint64 id)
    {
        static const char* const names[] = {"queued", "sent",    "resent", "answered", "failed",
                                            "deferred", "evicted", "held",   "dropped", "discarded"};
        QStringList kinds;
        for (const RequestEvent& e : eventsOf(id))
            kinds.append(QLatin1String(names[e.kind]));
        return kinds.join(QLatin1Char(' '));
    }
    qsizetype count()
    {
        const QMutexLocker lock(&mutex);
        return events.size();
    }

    bool throws = false;

private:
    QMutex mutex;
    QList<RequestEvent> events;
};

} // namespace

class TestRequestListener : public QObject
{
    Q_OBJECT

    std::unique_ptr<stbconfig::ConfigurationManager> store;
    std::unique_ptr<stbcore::FixedPropertyProvider> provider;
    std::unique_ptr<FakeHttpServer> server;
    std::unique_ptr<TqContext> context;
    std::unique_ptr<RecordingListener> recorder;

private Q_SLOTS:
    void init()
    {
        store = std::make_unique<stbconfig::ConfigurationManager>();
        provider = std::make_unique<stbcore::FixedPropertyProvider>();
        server = std::make_unique<FakeHttpServer>();
        TqConfigWrapper(store.get()).setApiUrl(server->baseUrl());
        store->setValue(QStringLiteral("StaticData"), QStringLiteral("url"), server->baseUrl(), stbconfig::Runtime);
        context = std::make_unique<TqContext>(store.get());
        context->setPropertyProvider(provider.get());
        recorder = std::make_unique<RecordingListener>();
        context->setRequestListener(recorder.get());
    }

    void cleanup()
    {
        context.reset();
        recorder.reset();
        server.reset();
        provider.reset();
        store.reset();
    }

    void lifeSeenInOrder_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<int>("lastStatus");
        QTest::newRow("answered") << "ok" << "queued sent answered" << 200;
        QTest::newRow("failed") << "missing" << "queued sent failed" << 404;
        QTest::newRow("deferred, then answered") << "busy" << "queued sent deferred resent answered" << 200;
        QTest::newRow("held by a pause, resent on resume") << "pause" << "queued sent held resent answered" << 200;
        QTest::newRow("dropped on the wire") << "drop" << "queued sent dropped" << 0;
        QTest::newRow("refused before queueing") << "invalid" << "failed" << 0;
    }
    void lifeSeenInOrder()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, kinds);
        QFETCH(int, lastStatus);
        auto calls = std::make_shared<int>(0);
        fake::Faults slow;
        slow.delayMs = 300;
        server->route("GET", QStringLiteral("/ok"), [](const HttpRequest&) { return text("ok"); });
        server->route("GET", QStringLiteral("/missing"), [](const HttpRequest&) { return text("no", 404); });
        server->route("GET", QStringLiteral("/busy"), [calls](const HttpRequest&) {
            return ++*calls == 1 ? text("later", 429).header("Retry-After", "0") : text("done");
        });
        server->route("GET", QStringLiteral("/pause"), [](const HttpRequest&) { return text("late"); }, slow);
        server->route("GET", QStringLiteral("/drop"), [](const HttpRequest&) { return text("late"); }, slow);

        RecordingHandler handler;
        std::unique_ptr<TqClientFacade> client(context->createClient(&handler));
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        TestRequest request(MethodType::StaticDataApi, QLatin1Char('/') + scenario);
        request.valid = scenario != QLatin1String("invalid");
        const qint64 id = client->sendRequest(&request);
        if (scenario == QLatin1String("pause") || scenario == QLatin1String("drop")) {
            QTRY_COMPARE(server->requestCount(QLatin1Char('/') + scenario), 1);
            if (scenario == QLatin1String("drop")) {
                client->dropRequest(id);
            } else {
                Q_EMIT context->notifier()->pauseNetworkActivityRequired();
                Q_EMIT context->notifier()->resumeNetworkActivityRequired();
            }
        }
        const QString lastKind = kinds.section(QLatin1Char(' '), -1);
        QTRY_VERIFY2(recorder->kindsOf(id).endsWith(lastKind), qPrintable(recorder->kindsOf(id)));
        QCOMPARE(recorder->kindsOf(id), kinds);

        const QList<RequestEvent> events = recorder->eventsOf(id);
        const RequestEvent& last = events.last();
        QCOMPARE(last.httpStatus, lastStatus);
        QCOMPARE(last.methodType, MethodType::StaticDataApi);
        if (last.kind == RequestEvent::Answered) {
            QTRY_VERIFY(answerFor(answers, id).isValid()); // the host hears of it after the listener
            QCOMPARE(last.bytes, qint64(answerFor(answers, id).toString().size()));
            QVERIFY(last.exchangeNs > 0);
            QVERIFY(last.queueWaitNs >= 0);
        }
        for (const RequestEvent& e : events) {
            if (e.kind == RequestEvent::Sent || e.kind == RequestEvent::Resent)
                QCOMPARE(e.host, QStringLiteral("127.0.0.1"));
            if (e.kind == RequestEvent::Deferred)
                QCOMPARE(e.delayMs, qint64(1000)); // "0" waits a second
        }
        if (scenario == QLatin1String("invalid"))
            QCOMPARE(last.reason, RequestError::InvalidRequest);
        if (scenario == QLatin1String("missing"))
            QCOMPARE(last.reason, RequestError::HttpClientError);
    }

    // A listener that throws costs nothing but its own event; one removed is never called again.
    void listenerCannotBreakRequests()
    {
        server->route("GET", QStringLiteral("/ok"), [](const HttpRequest&) { return text("ok"); });
        std::unique_ptr<TqClientFacade> client(context->createClient());
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        const TestRequest request(MethodType::StaticDataApi, QStringLiteral("/ok"));
        recorder->throws = true;
        const qint64 first = client->sendRequest(&request);
        QTRY_COMPARE(answers.size(), 1);
        QCOMPARE(recorder->kindsOf(first), QStringLiteral("queued sent answered"));

        context->setRequestListener(nullptr);
        const qsizetype seen = recorder->count();
        client->sendRequest(&request);
        QTRY_COMPARE(answers.size(), 2);
        QCOMPARE(recorder->count(), seen);
    }
};

QTEST_MAIN(TestRequestListener)
#include "tst_requestlistener.moc"
