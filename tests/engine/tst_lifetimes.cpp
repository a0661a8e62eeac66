// What a box meets over weeks: hosts that delete the context or a client from inside a
// handler, clients that come and go at the same address, host code that throws, and every
// way a request ends, each of which leaves nothing behind.

#include "enginetestsupport.h"

#include "engine/notifier.h"
#include "engine/requestlistener.h"

#include <QThread>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <stdexcept>

using namespace tq;
using enginetest::answeredIds;
using enginetest::EngineFixture;
using enginetest::RecordingHandler;
using enginetest::TestRequest;
using enginetest::text;
using fake::HttpRequest;

namespace {

// A request whose creator, on the worker thread, says it has started and then waits: the test
// acts while the dispatcher is inside it. It is then refused (no backend).
class HoldingRequest : public AbstractRequest
{
public:
    QSemaphore entered;
    QSemaphore gate;
    QThread* thread = nullptr;

    std::function<RequestRawData()> rawDataCreator() const override
    {
        auto* self = const_cast<HoldingRequest*>(this);
        return [self] {
            self->thread = QThread::currentThread();
            self->entered.release();
            self->gate.acquire();
            RequestRawData raw;
            raw.methodType = MethodType::FirmwareFile;
            return raw;
        };
    }
};

struct Handler : ITqRequestErrorHandler
{
    std::function<bool()> act;
    int calls = 0;
    bool handleRequestError(qint64, const RequestError&) override
    {
        ++calls;
        return act ? act() : false;
    }
};

// Host code that throws where it is told to.
struct ThrowingProvider : stbcore::FixedPropertyProvider
{
    bool throwOnMac = false;
    bool throwOnSession = false;
    QString macAddress() const override
    {
        if (throwOnMac)
            throw std::runtime_error("no mac");
        return mac;
    }
    QString sessionId() const override
    {
        if (throwOnSession)
            throw std::bad_alloc();
        return session;
    }
};

class ThrowingRequest : public AbstractRequest
{
public:
    std::function<RequestRawData()> rawDataCreator() const override
    {
        return []() -> RequestRawData { throw std::runtime_error("cannot build"); };
    }
};

} // namespace

class TestLifetimes : public QObject
{
    Q_OBJECT

    EngineFixture f;

    void pause()
    {
        QSignalSpy paused(f.context->notifier(), &TqNotifier::networkActivityPaused);
        Q_EMIT f.context->notifier()->pauseNetworkActivityRequired();
        QVERIFY(QTest::qWaitFor([&] { return paused.size() == 1; }));
    }

    // New clients until one lands at a dead one's address (the last), or 64 of them.
    std::vector<std::unique_ptr<TqClientFacade>> clientsUpTo(const void* address, ITqRequestErrorHandler* handler)
    {
        std::vector<std::unique_ptr<TqClientFacade>> clients;
        bool reused = false;
        for (int i = 0; i < 64 && !reused; ++i) {
            clients.emplace_back(f.context->createClient(handler));
            reused = clients.back().get() == address;
        }
        if (!reused)
            qInfo("the allocator gave no client the old address (a sanitizer keeps freed memory aside)");
        return clients;
    }

private Q_SLOTS:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    // A context-wide handler may close everything: the walk stops there, nothing is asked
    // through the destroyed context, and a client destroyed after its context is harmless.
    void contextDestroyedFromItsOwnChain_data()
    {
        QTest::addColumn<bool>("clientFirst");
        QTest::newRow("client, then context") << true;
        QTest::newRow("context alone, client later") << false;
    }
    void contextDestroyedFromItsOwnChain()
    {
        QFETCH(bool, clientFirst);
        RecordingHandler earlier(false); // appended first, so asked after the destroyer
        Handler destroyer;
        f.context->appendClientsErrorHandler(&earlier);
        f.context->appendClientsErrorHandler(&destroyer);
        std::unique_ptr<TqClientFacade> client(f.context->createClient());
        destroyer.act = [&] {
            if (clientFirst)
                client.reset();
            f.context.reset();
            return false;
        };
        const TestRequest firmware(MethodType::FirmwareFile, QStringLiteral("/fw.bin"));
        client->sendRequest(&firmware);
        QTRY_COMPARE(destroyer.calls, 1);
        QVERIFY(!f.context);
        QVERIFY(earlier.errors.isEmpty());
        client.reset();
    }

    // A client destroyed while the worker thread handles its request, and a new one at the same
    // address: the refusal meant for the old one reaches nobody.
    void newClientAtADeadOnesAddressGetsNothing()
    {
        HoldingRequest held;
        RecordingHandler oldHandler;
        RecordingHandler newHandler;
        TqClientFacade* old = f.context->createClient(&oldHandler);
        const void* address = old;
        old->sendRequest(&held);
        held.entered.acquire(); // the dispatcher is past its checks of the request
        delete old;
        const auto clients = clientsUpTo(address, &newHandler);
        held.gate.release();
        QSignalSpy answers(clients.back().get(), &TqClientFacade::dataReceived);
        QVERIFY(f.sentinelAnswered(clients.back().get(), answers));
        QVERIFY(newHandler.errors.isEmpty());
        QVERIFY(oldHandler.errors.isEmpty());
    }

    // A client destroyed after its request has ended on the worker thread but before the end
    // is handed over, and new ones (perhaps at its address): the answer or failure reaches
    // nobody, and nothing touches the dead client. A listener holds the worker thread there.
    void clientGoneAsItsRequestEnds_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("answered") << 200;
        QTest::newRow("failed") << 500;
    }
    void clientGoneAsItsRequestEnds()
    {
        QFETCH(int, status);
        f.server->route("*", QStringLiteral("/end"), [status](const HttpRequest&) { return text("end", status); });
        struct Holding : ITqRequestListener
        {
            std::atomic<qint64> heldId{-2};
            QSemaphore entered, gate;
            void requestEvent(const RequestEvent& e) override
            {
                if (e.requestId == heldId && (e.kind == RequestEvent::Answered || e.kind == RequestEvent::Failed)) {
                    entered.release();
                    gate.acquire();
                }
            }
        } listener;
        RecordingHandler oldHandler;
        RecordingHandler newHandler;
        TqClientFacade* old = f.context->createClient(&oldHandler);
        const void* address = old;
        f.context->setRequestListener(&listener);
        const TestRequest request(MethodType::GeneralRequest, f.server->url(QStringLiteral("/end")).toString());
        listener.heldId = old->sendRequest(&request); // the server answers on this thread, so not before this
        auto releaseWorker = qScopeGuard([&] { listener.gate.release(); }); // whatever fails below
        QVERIFY(QTest::qWaitFor([&] { return listener.entered.tryAcquire(); }, 10000));
        delete old;
        const auto clients = clientsUpTo(address, &newHandler);
        releaseWorker.dismiss();
        listener.gate.release();
        QSignalSpy answers(clients.back().get(), &TqClientFacade::dataReceived);
        QVERIFY(f.sentinelAnswered(clients.back().get(), answers));
        f.context->setRequestListener(nullptr);
        QCOMPARE(answeredIds(answers).size(), 1); // the sentinel's only
        QVERIFY(newHandler.errors.isEmpty());
        QVERIFY(oldHandler.errors.isEmpty());
    }

    // However a request ends, its client forgets it: over weeks nothing may pile up.
    void everyEndForgetsTheRequest_data()
    {
        QTest::addColumn<QString>("end");
        for (const char* end : {"answered", "refused", "dropped", "discarded by a failed rebalance",
                                "creator without a callable", "null request"})
            QTest::newRow(end) << QString::fromLatin1(end);
    }
    void everyEndForgetsTheRequest()
    {
        QFETCH(QString, end);
        fake::Faults silent;
        silent.neverAnswer = true;
        f.server->route("*", QStringLiteral("/hang"), [](const HttpRequest&) { return text(""); }, silent);
        RecordingHandler handler;
        std::unique_ptr<TqClientFacade> client(f.context->createClient(&handler));
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        const TestRequest general(MethodType::GeneralRequest, f.server->url(QStringLiteral("/sentinel")).toString());
        const TestRequest hanging(MethodType::GeneralRequest, f.server->url(QStringLiteral("/hang")).toString());
        const TestRequest firmware(MethodType::FirmwareFile, QStringLiteral("/fw.bin"));
        const TestRequest platform(MethodType::TqApi, QStringLiteral("/p"));
        const AbstractRequest bare; // its creator is empty
        if (end == QLatin1String("answered")) {
            client->sendRequest(&general);
            QTRY_COMPARE(answers.size(), 1);
        } else if (end == QLatin1String("refused")) {
            client->sendRequest(&firmware);
            QTRY_COMPARE(handler.errors.size(), 1);
        } else if (end == QLatin1String("dropped")) {
            client->dropRequest(client->sendRequest(&hanging));
        } else if (end == QLatin1String("discarded by a failed rebalance")) {
            QSignalSpy rebalance(f.context->notifier(), &TqNotifier::rebalanceRequired);
            Q_EMIT f.context->notifier()->rebalanceRequested();
            QTRY_COMPARE(rebalance.size(), 1);
            client->sendRequest(&platform);
            QTRY_COMPARE(f.context->pendingRequests().queued, 1);
            Q_EMIT f.context->notifier()->rebalanceFailed();
        } else if (end == QLatin1String("creator without a callable")) {
            client->sendRequest(&bare);
        } else {
            QCOMPARE(client->sendRequest(nullptr), qint64(-1));
        }
        QTRY_COMPARE(f.context->pendingRequests().queued, 0);
        QTRY_COMPARE(client->activeRequestCount(), 0);
        QCOMPARE(handler.errors.size(), int(end == QLatin1String("refused")));
    }

    // A request its client dropped, evicted before the drop reaches the dispatcher: nobody is
    // told of it. The drop overtakes only what was posted after the dispatcher began a pass, so
    // the whole pass is queued while the worker thread waits in a timer.
    void droppedRequestIsNotReportedWhenEvicted()
    {
        f.server->route("*", QStringLiteral("/spy"), [](const HttpRequest&) { return text(""); });
        RecordingHandler handler;
        std::unique_ptr<TqClientFacade> client(f.context->createClient(&handler));
        HoldingRequest locate; // learns the worker thread
        locate.gate.release();
        client->sendRequest(&locate);
        locate.entered.acquire();
        QTRY_COMPARE(handler.errors.size(), 1);
        handler.errors.clear();
        pause();

        // Deleted on its thread whatever happens here.
        QScopedPointer<QObject, QScopedPointerDeleteLater> anchor(new QObject);
        anchor->moveToThread(locate.thread);
        QSemaphore inTimer, leaveTimer;
        QTimer::singleShot(1, anchor.data(), [&] {
            inTimer.release();
            leaveTimer.acquire();
        });
        inTimer.acquire();
        const TestRequest analytics(MethodType::TqAnalytics, QString());
        QList<qint64> ids;
        for (int i = 0; i < 100; ++i)
            ids.append(client->sendRequest(&analytics));
        HoldingRequest held; // the queue holds 100: no eviction yet
        client->sendRequest(&held);
        const TestRequest general(MethodType::GeneralRequest, f.server->url(QStringLiteral("/sentinel")).toString());
        client->sendRequest(&general); // the 101st
        client->sendRequest(&general); // finds 101 entries: evicts the two newest analytics requests
        leaveTimer.release();
        held.entered.acquire();
        client->dropRequest(ids.last());
        held.gate.release();
        QTRY_COMPARE(handler.errors.size(), 2); // the refused holding request, and one eviction
        Q_EMIT f.context->notifier()->resumeNetworkActivityRequired();
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        QVERIFY(f.sentinelAnswered(client.get(), answers));
        QCOMPARE(handler.errors.size(), 2);
        QCOMPARE(handler.errors.at(1).first, ids.at(98));
        QCOMPARE(handler.errors.at(1).second.description, QStringLiteral("exceeding the request limit"));
    }

    // Host code that throws ends the request it worked for; the engine goes on.
    void hostCodeThatThrowsEndsOnlyItsRequest_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("description"); // of the request's error; empty: it is answered
        QTest::newRow("error handler") << "handler" << "the backend for the request is null, the request won't be executed";
        QTest::newRow("receiver of the answer") << "receiver" << "";
        QTest::newRow("request's creator") << "creator" << "creating the request caused an exception";
        QTest::newRow("property provider, composing") << "compose" << "composing the request caused an exception";
        QTest::newRow("property provider, sending again") << "resend" << "sending the request caused an exception";
    }
    void hostCodeThatThrowsEndsOnlyItsRequest()
    {
        QFETCH(QString, where);
        QFETCH(QString, description);
        f.server->route("GET", QStringLiteral("/api/v2/p"), [](const HttpRequest&) { return text("p"); });
        ThrowingProvider provider;
        f.context->setPropertyProvider(&provider);
        RecordingHandler handler(false);
        Handler thrower;
        thrower.act = []() -> bool { throw std::runtime_error("handler failed"); };
        std::unique_ptr<TqClientFacade> client(f.context->createClient(&handler));
        if (where == QLatin1String("handler"))
            client->appendErrorHandler(&thrower);
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        if (where == QLatin1String("receiver"))
            connect(client.get(), &TqClientFacade::dataReceived, this, [] { throw std::runtime_error("slot failed"); });

        const TestRequest platform(MethodType::TqApi, QStringLiteral("/p"));
        const TestRequest firmware(MethodType::FirmwareFile, QStringLiteral("/fw.bin"));
        const ThrowingRequest throwing;
        qint64 id = -1;
        if (where == QLatin1String("handler")) {
            id = client->sendRequest(&firmware);
        } else if (where == QLatin1String("receiver")) {
            id = client->sendRequest(&platform);
        } else if (where == QLatin1String("creator")) {
            id = client->sendRequest(&throwing);
        } else if (where == QLatin1String("compose")) {
            provider.throwOnMac = true;
            id = client->sendRequest(&platform);
        } else {
            pause(); // held before it goes out, so that it goes out again on resume
            id = client->sendRequest(&platform);
            QTRY_COMPARE(f.context->pendingRequests().queued, 1);
            provider.throwOnSession = true;
            Q_EMIT f.context->notifier()->resumeNetworkActivityRequired();
        }
        if (description.isEmpty()) {
            QTRY_VERIFY(answeredIds(answers).contains(id));
        } else {
            QTRY_COMPARE(handler.errors.size(), 1); // reached although the handler after it threw
            QCOMPARE(handler.errors.first().first, id);
            QCOMPARE(handler.errors.first().second.reason, RequestError::InvalidRequest);
            QCOMPARE(handler.errors.first().second.description, description);
        }
        if (where == QLatin1String("handler"))
            QCOMPARE(thrower.calls, 1);
        provider.throwOnMac = provider.throwOnSession = false;
        const qint64 next = client->sendRequest(&platform);
        QTRY_VERIFY(answeredIds(answers).contains(next));
        QTRY_COMPARE(f.context->pendingRequests().queued, 0);
        f.context->setPropertyProvider(f.provider.get());
    }
};

QTEST_GUILESS_MAIN(TestLifetimes)
#include "tst_lifetimes.moc"
