// Requests that go out more than once: after a server-given delay, a pause, a held recovery or
// a rebalance. What goes out again is the request the record describes: the same address
// (unless a completed rebalance moved a platform request to the new front end), with the
// session current at that moment (unless it is the request that makes a new session).

#include "enginetestsupport.h"

#include "engine/clock.h"
#include "engine/notifier.h"
#include "platform/logging.h"

#include <QtTest>

using namespace tq;
using enginetest::answeredIds;
using enginetest::answerFor;
using enginetest::EngineFixture;
using enginetest::RecordingHandler;
using enginetest::TestRequest;
using enginetest::text;
using fake::FakeHttpServer;
using fake::HttpRequest;
using fake::HttpResponse;

using Headers = QList<QPair<QByteArray, QByteArray>>;
Q_DECLARE_METATYPE(Headers)

class TestReexecution : public QObject
{
    Q_OBJECT

    EngineFixture f;
    ManualClock clock;

    int deferred() const { return f.context->pendingRequests().deferred; }

private Q_SLOTS:
    void init()
    {
        f.setUp();
        f.context->setClock(&clock);
    }
    void cleanup()
    {
        f.context->setClock(nullptr);
        f.tearDown();
    }

    // The server's "Retry-After" is waited for on the monotonic clock, at least a second (a
    // loop at the network's pace otherwise) and at most an hour; the tracking looks once a
    // second, so a request leaves within a second after its delay. -1: handed to the client.
    void serverDelays_data()
    {
        QTest::addColumn<Headers>("headers");
        QTest::addColumn<bool>("deferrable");
        QTest::addColumn<qint64>("delayMs");
        QTest::addColumn<bool>("wallClockJumps");
        const auto ra = [](const char* value) { return Headers{{"Retry-After", value}}; };
        QTest::newRow("seconds") << ra("7") << true << qint64(7000) << false;
        QTest::newRow("zero waits a second") << ra("0") << true << qint64(1000) << false;
        QTest::newRow("negative waits a second") << ra("-30") << true << qint64(1000) << false;
        QTest::newRow("a year waits an hour") << ra("31536000") << true << qint64(3600000) << false;
        QTest::newRow("beyond 64 bits waits an hour") << ra("99999999999999999999999") << true << qint64(3600000)
                                                      << false;
        QTest::newRow("wall clock set years ahead meanwhile") << ra("20") << true << qint64(20000) << true;
        QTest::newRow("name in other case") << Headers{{"retry-after", "3"}} << true << qint64(3000) << false;
        QTest::newRow("repeated: the first counts") << Headers{{"Retry-After", "2"}, {"Retry-After", "600"}} << true
                                                    << qint64(2000) << false;
        QTest::newRow("a longer name is another header") << Headers{{"Retry-After-Backup", "5"}} << true << qint64(-1)
                                                         << false;
        const QByteArray past = QDateTime::currentDateTime().addSecs(-3600).toString(Qt::TextDate).toLatin1();
        QTest::newRow("a date already past") << Headers{{"Retry-After", past}} << true << qint64(-1) << false;
        QTest::newRow("not deferrable") << ra("1") << false << qint64(-1) << false;
    }
    void serverDelays()
    {
        QFETCH(Headers, headers);
        QFETCH(bool, deferrable);
        QFETCH(qint64, delayMs);
        QFETCH(bool, wallClockJumps);
        auto calls = std::make_shared<int>(0);
        f.server->route("GET", QStringLiteral("/busy"), [calls, headers](const HttpRequest&) {
            HttpResponse busy = text("later", 429);
            busy.headers = headers;
            return ++*calls == 1 ? busy : text("done");
        });
        RecordingHandler handler;
        std::unique_ptr<TqClientFacade> client(f.context->createClient(&handler));
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        TestRequest request(MethodType::StaticDataApi, QStringLiteral("/busy"));
        request.deferrable = deferrable;
        const qint64 id = client->sendRequest(&request);
        if (delayMs < 0) {
            QTRY_COMPARE(handler.errors.size(), 1);
            QCOMPARE(handler.errors.first().second.httpStatusCode, 429);
            QVERIFY(f.sentinelAnswered(client.get(), answers));
            QCOMPARE(*calls, 1);
            return;
        }
        QTRY_COMPARE(deferred(), 1);
        if (wallClockJumps)
            clock.setUtc(clock.currentUtc().addYears(7));
        clock.advance(delayMs - 1);
        QCOMPARE(deferred(), 1);
        clock.advance(1000);
        QTRY_VERIFY(answeredIds(answers).contains(id));
        QCOMPARE(answerFor(answers, id).toString(), QStringLiteral("done"));
        QCOMPARE(*calls, 2);
        QVERIFY(handler.errors.isEmpty());
    }

    // A delay already over sends the retry from inside the deferral; it still counts as running.
    void pausedWhileTheRetryIsOnTheWire()
    {
        fake::Faults slow;
        slow.delayMs = 300;
        auto calls = std::make_shared<int>(0);
        f.server->route("GET", QStringLiteral("/busy"), [calls](const HttpRequest&) {
            return ++*calls == 1 ? text("later", 429).header("Retry-After", "1") : text("done");
        }, slow);
        std::unique_ptr<TqClientFacade> client(f.context->createClient());
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        const TestRequest request(MethodType::StaticDataApi, QStringLiteral("/busy"));
        const qint64 id = client->sendRequest(&request);
        QTRY_COMPARE(deferred(), 1);
        clock.advance(1000);
        QTRY_COMPARE(*calls, 2);
        Q_EMIT f.context->notifier()->pauseNetworkActivityRequired();
        Q_EMIT f.context->notifier()->resumeNetworkActivityRequired();
        QTRY_VERIFY(answeredIds(answers).contains(id));
        QCOMPARE(answerFor(answers, id).toString(), QStringLiteral("done"));
    }

    // Held back by a delay, a request keeps its address: a poster on another host goes back
    // there, and a platform request stays with its front end although the configuration moved
    // (only a rebalance moves it). The session is the current one.
    void delayedRequestKeepsItsAddress_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("absolute");
        QTest::newRow("poster on another host") << int(MethodType::TqImage) << true;
        QTest::newRow("platform request") << int(MethodType::TqApi) << false;
    }
    void delayedRequestKeepsItsAddress()
    {
        QFETCH(int, type);
        QFETCH(bool, absolute);
        FakeHttpServer own;  // where the request was first sent
        FakeHttpServer moved; // what the configuration names meanwhile
        const QString path = type == int(MethodType::TqImage) ? QStringLiteral("/poster.png") : QStringLiteral("/api/v2/p");
        auto calls = std::make_shared<int>(0);
        const auto answer = [calls, type](const HttpRequest&) {
            if (++*calls == 1)
                return text("later", 429).header("Retry-After", "1");
            return type == int(MethodType::TqImage) ? HttpResponse::withBody(200, "image/png", fake::pngBody(QSize(3, 2)))
                                                    : text("p");
        };
        own.route("GET", path, answer);
        moved.route("GET", path, answer);
        f.config().setApiUrl(own.baseUrl());
        f.provider->session = QStringLiteral("S1");
        std::unique_ptr<TqClientFacade> client(f.context->createClient());
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        TestRequest request(MethodType(type), absolute ? own.url(path).toString() : QStringLiteral("/p"));
        request.absolute = absolute;
        const qint64 id = client->sendRequest(&request);
        QTRY_COMPARE(deferred(), 1);
        f.config().setApiUrl(moved.baseUrl());
        f.config().setImageUrl(moved.baseUrl());
        f.provider->session = QStringLiteral("S2");
        clock.advance(1000);
        QTRY_VERIFY(answeredIds(answers).contains(id));
        QCOMPARE(own.requestCount(path), 2);
        QCOMPARE(moved.requests().size(), 0);
        QCOMPARE(f.server->requests().size(), 0);
        QCOMPARE(own.requests().last().header("session_id"), QByteArray("S2"));
    }

    // A completed rebalance moves every queued platform request to the front end the host moved
    // to, except an address that is complete; a new session keeps the session it replaces.
    void rebalanceMovesWhatBelongsToTheFrontEnd()
    {
        FakeHttpServer newFrontEnd;
        FakeHttpServer posters;
        const QByteArray png = fake::pngBody(QSize(2, 2));
        const auto image = [png](const HttpRequest&) { return HttpResponse::withBody(200, "image/png", png); };
        for (FakeHttpServer* s : {f.server.get(), &newFrontEnd}) {
            s->route("GET", QStringLiteral("/api/v2/p"), [](const HttpRequest&) { return text("p"); });
            s->route("POST", QStringLiteral("/api/v3/ulp/sessions"), [](const HttpRequest&) { return text("new"); });
            s->route("GET", QStringLiteral("/own.png"), image);
        }
        posters.route("GET", QStringLiteral("/poster.png"), image);
        f.config().setInvalidatedSessionId(QStringLiteral("REPLACED"));
        std::unique_ptr<TqClientFacade> client(f.context->createClient());
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        QSignalSpy rebalance(f.context->notifier(), &TqNotifier::rebalanceRequired);
        Q_EMIT f.context->notifier()->rebalanceRequested();
        QTRY_COMPARE(rebalance.size(), 1);

        const TestRequest platform(MethodType::TqApi, QStringLiteral("/p"));
        const TestRequest ownImage(MethodType::TqImage, QStringLiteral("/own.png"));
        TestRequest poster(MethodType::TqImage, posters.url(QStringLiteral("/poster.png")).toString());
        poster.absolute = true;
        TestRequest newSession(MethodType::TqApi, QStringLiteral("/ulp/sessions"), httpPostMethod());
        newSession.setMethodSpecialization(MethodSpecializaton::NewSession);
        newSession.apiVersion = 3;
        QList<qint64> ids;
        for (const AbstractRequest* r : std::initializer_list<const AbstractRequest*>{&platform, &ownImage, &poster, &newSession})
            ids.append(client->sendRequest(r));
        // While rebalancing only discovery goes out: it is the sentinel here.
        const TestRequest discover(MethodType::TqDiscover, f.server->url(QStringLiteral("/sentinel")).toString());
        const qint64 sentinel = client->sendRequest(&discover);
        QTRY_VERIFY(answeredIds(answers).contains(sentinel));
        QCOMPARE(posters.requests().size(), 0);

        f.config().setApiUrl(newFrontEnd.baseUrl());
        f.config().setImageUrl(newFrontEnd.baseUrl());
        f.provider->session = QStringLiteral("S2");
        Q_EMIT f.context->notifier()->rebalanceCompleted();
        QTRY_COMPARE(answers.size(), 5);
        QCOMPARE(newFrontEnd.requestCount(QStringLiteral("/api/v2/p")), 1);
        QCOMPARE(newFrontEnd.requestCount(QStringLiteral("/own.png")), 1);
        QCOMPARE(newFrontEnd.requestCount(QStringLiteral("/api/v3/ulp/sessions")), 1);
        QCOMPARE(posters.requestCount(QStringLiteral("/poster.png")), 1);
        QCOMPARE(f.server->requests().size(), 1); // the sentinel alone
        for (const HttpRequest& r : newFrontEnd.requests()) {
            const QByteArray expected = r.path.endsWith(QLatin1String("sessions")) ? "REPLACED" : "S2";
            QCOMPARE(r.header("session_id"), expected);
        }
    }

    void rebalanceHoldsAndResendsToNewHost()
    {
        FakeHttpServer newHost;
        f.server->route("GET", QStringLiteral("/api/v2/a"), [](const HttpRequest&) { return text("down", 502); });
        fake::Faults slow;
        slow.delayMs = 30000;
        f.server->route("GET", QStringLiteral("/api/v2/b"), [](const HttpRequest&) { return text("late"); }, slow);
        f.server->route("GET", QStringLiteral("/discover"), [](const HttpRequest&) { return text("found"); });
        newHost.route("GET", QStringLiteral("/api/v2/a"), [](const HttpRequest&) { return text("a2"); });
        newHost.route("GET", QStringLiteral("/api/v2/b"), [](const HttpRequest&) { return text("down", 504); });
        newHost.route("GET", QStringLiteral("/api/v2/c"), [](const HttpRequest&) { return text("c2"); });

        RecordingHandler handler;
        std::unique_ptr<TqClientFacade> client(f.context->createClient(&handler));
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        QSignalSpy rebalance(f.context->notifier(), &TqNotifier::rebalanceRequired);
        const TestRequest a(MethodType::TqApi, QStringLiteral("/a"));
        const TestRequest b(MethodType::TqApi, QStringLiteral("/b"));
        const TestRequest c(MethodType::TqApi, QStringLiteral("/c"));
        const qint64 idB = client->sendRequest(&b);
        QTRY_COMPARE(f.server->requestCount(QStringLiteral("/api/v2/b")), 1); // b is in flight
        const qint64 idA = client->sendRequest(&a);
        QTRY_COMPARE(rebalance.size(), 1);

        // While rebalancing only discovery goes out.
        const qint64 idC = client->sendRequest(&c);
        const TestRequest discover(MethodType::TqDiscover, f.server->url(QStringLiteral("/discover")).toString());
        const qint64 idD = client->sendRequest(&discover);
        QTRY_VERIFY(answeredIds(answers).contains(idD));
        QCOMPARE(f.server->requestCount(QStringLiteral("/api/v2/c")), 0);

        f.config().setApiUrl(newHost.baseUrl());
        f.provider->session = QStringLiteral("S2");
        Q_EMIT f.context->notifier()->rebalanceCompleted();
        QTRY_VERIFY(answeredIds(answers).contains(idA) && answeredIds(answers).contains(idC));
        QCOMPARE(answerFor(answers, idA).toString(), QStringLiteral("a2"));
        // b was already held back once: its second gateway failure goes to the client, no new rebalance.
        QTRY_COMPARE(handler.errors.size(), 1);
        QCOMPARE(handler.errors.first().first, idB);
        QCOMPARE(handler.errors.first().second.httpStatusCode, 504);
        QCOMPARE(rebalance.size(), 1);
        for (const HttpRequest& r : newHost.requests())
            QCOMPARE(r.header("session_id"), QByteArray("S2"));
    }

    void rebalanceFailedDiscardsSilently()
    {
        f.server->route("GET", QStringLiteral("/api/v2/x"), [](const HttpRequest&) { return text("down", 502); });
        RecordingHandler handler;
        std::unique_ptr<TqClientFacade> client(f.context->createClient(&handler));
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        QSignalSpy rebalance(f.context->notifier(), &TqNotifier::rebalanceRequired);
        const TestRequest x(MethodType::TqApi, QStringLiteral("/x"));
        const TestRequest y(MethodType::TqApi, QStringLiteral("/y"));
        const qint64 idX = client->sendRequest(&x);
        QTRY_COMPARE(rebalance.size(), 1);
        const qint64 idY = client->sendRequest(&y);
        Q_EMIT f.context->notifier()->rebalanceFailed();
        QVERIFY(f.sentinelAnswered(client.get(), answers));
        QVERIFY(!answeredIds(answers).contains(idX) && !answeredIds(answers).contains(idY));
        QVERIFY(handler.errors.isEmpty());
        QCOMPARE(f.server->requestCount(QStringLiteral("/api/v2/y")), 0);
        QCOMPARE(client->activeRequestCount(), 0); // the client forgot them too
    }

    // The host renews the session and releases the held request with a resume: it goes back to
    // its front end with the new session.
    void sessionReplacementHoldsUntilHostReleases()
    {
        f.server->route("GET", QStringLiteral("/api/v2/me"), [](const HttpRequest& r) {
            return r.header("session_id") == "S2" ? text("renewed")
                                                  : HttpResponse::json(401, QJsonObject{{"error_code", 1000053}});
        });
        f.provider->session = QStringLiteral("S1");
        RecordingHandler handler;
        std::unique_ptr<TqClientFacade> client(f.context->createClient(&handler));
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        QSignalSpy update(f.context->notifier(), &TqNotifier::updateSessionTokenRequired);
        const TestRequest me(MethodType::TqApi, QStringLiteral("/me"));
        const qint64 id = client->sendRequest(&me);
        QTRY_COMPARE(update.size(), 1);
        QVERIFY(f.sentinelAnswered(client.get(), answers));
        QVERIFY(!answeredIds(answers).contains(id));
        f.provider->session = QStringLiteral("S2");
        Q_EMIT f.context->notifier()->resumeNetworkActivityRequired();
        QTRY_VERIFY(answeredIds(answers).contains(id));
        QCOMPARE(answerFor(answers, id).toString(), QStringLiteral("renewed"));
        QVERIFY(handler.errors.isEmpty());
        QCOMPARE(update.size(), 1);
    }

    // Whatever order the host emits its recovery signals in, a request on the wire still ends.
    void recoverySignalsNeverStrandARequest_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("steps"); // "send" and "wire" wait for the request's next arrival
        QTest::newRow("resume without pause") << int(MethodType::StaticDataApi) << QStringList{"send", "resume"};
        QTest::newRow("double resume") << int(MethodType::TqApi)
                                       << QStringList{"send", "pause", "resume", "wire", "resume"};
        QTest::newRow("resume during rebalance") << int(MethodType::TqDiscover)
                                                 << QStringList{"rebalance", "send", "resume"};
    }
    void recoverySignalsNeverStrandARequest()
    {
        QFETCH(int, type);
        QFETCH(QStringList, steps);
        fake::Faults slow;
        slow.delayMs = 400;
        f.server->route("GET", QStringLiteral("/static/s"), [](const HttpRequest&) { return text("s"); }, slow);
        f.server->route("GET", QStringLiteral("/api/v2/static/s"), [](const HttpRequest&) { return text("s"); }, slow);
        std::unique_ptr<TqClientFacade> client(f.context->createClient());
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        const TestRequest request(MethodType(type), type == int(MethodType::TqDiscover)
                                                        ? f.server->url(QStringLiteral("/static/s")).toString()
                                                        : QStringLiteral("/static/s"));
        TqNotifier* n = f.context->notifier();
        qint64 id = -1;
        int arrivals = 0;
        for (const QString& step : std::as_const(steps)) {
            if (step == QLatin1String("send"))
                id = client->sendRequest(&request);
            if (step == QLatin1String("send") || step == QLatin1String("wire")) {
                ++arrivals;
                QTRY_COMPARE(f.server->requests().size(), arrivals);
            }
            if (step == QLatin1String("pause"))
                Q_EMIT n->pauseNetworkActivityRequired();
            if (step == QLatin1String("resume"))
                Q_EMIT n->resumeNetworkActivityRequired();
            if (step == QLatin1String("rebalance"))
                Q_EMIT n->rebalanceRequested();
        }
        QTRY_VERIFY_WITH_TIMEOUT(answeredIds(answers).contains(id), 10000);
    }
};

QTEST_GUILESS_MAIN(TestReexecution)
#include "tst_reexecution.moc"
