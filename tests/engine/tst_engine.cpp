// End to end through the real worker thread: client facade -> dispatcher -> HTTP worker ->
// in-process fake services on 127.0.0.1 -> back to the client's signal or error handlers.

#include "enginetestsupport.h"
#include "fakehttpserver.h"
#include "forwardproxy.h"

#include "engine/clientfacade.h"
#include "engine/notifier.h"
#include "engine/tqcontext.h"
#include "model/response.h"
#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QJsonObject>
#include <QMutex>
#include <QtTest>

using namespace tq;
using enginetest::answeredIds;
using enginetest::answerFor;
using enginetest::GateRequest;
using enginetest::RecordingHandler;
using enginetest::TestRequest;
using enginetest::text;
using fake::FakeHttpServer;
using fake::HttpRequest;
using fake::HttpResponse;

namespace {

// Collects the "execute request(N)" trace lines to see the order in which requests are sent.
QMutex traceMutex;
QStringList executeTrace;
QtMessageHandler previousHandler = nullptr;

void traceHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("execute request("))) {
        const QMutexLocker lock(&traceMutex);
        executeTrace.append(message.section(QLatin1String("execute request("), 1).section(QLatin1Char(')'), 0, 0));
    }
    previousHandler(type, context, message);
}

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT

    std::unique_ptr<stbconfig::ConfigurationManager> store;
    std::unique_ptr<stbcore::FixedPropertyProvider> provider;
    std::unique_ptr<TqContext> context;
    std::unique_ptr<FakeHttpServer> server;

    TqConfigWrapper config() { return TqConfigWrapper(store.get()); }

    // A request and a later sentinel: once the sentinel is answered, anything the first
    // would have produced has had its chance to arrive.
    void waitForSentinel(TqClientFacade* client, QSignalSpy& answers)
    {
        const TestRequest sentinel(MethodType::GeneralRequest, server->url(QStringLiteral("/sentinel")).toString());
        const qint64 id = client->sendRequest(&sentinel);
        QTRY_VERIFY(answeredIds(answers).contains(id));
    }

private Q_SLOTS:
    void initTestCase()
    {
        logging::setLogLevel(4);
        previousHandler = qInstallMessageHandler(traceHandler);
    }

    void init()
    {
        store = std::make_unique<stbconfig::ConfigurationManager>();
        provider = std::make_unique<stbcore::FixedPropertyProvider>();
        provider->agent = QStringLiteral("tq-test");
        server = std::make_unique<FakeHttpServer>();
        server->route("*", QStringLiteral("/sentinel"), [](const HttpRequest&) { return text("ok"); });
        config().setApiUrl(server->baseUrl());
        config().setImageUrl(server->baseUrl());
        config().setSpyUrl(server->baseUrl() + QStringLiteral("/spy"));
        store->setValue(QStringLiteral("StaticData"), QStringLiteral("url"), server->baseUrl(), stbconfig::Runtime);
        config().setGetShopUrl(server->baseUrl());
        context = std::make_unique<TqContext>(store.get());
        context->setPropertyProvider(provider.get());
    }

    void cleanup()
    {
        context.reset();
        server.reset();
        provider.reset();
        store.reset();
    }

    // Last appended first, the context-wide handlers last, stopping at the first that takes the
    // error; a handler may delete its client (a screen closing on an error) or edit the chain.
    void errorChains_data()
    {
        QTest::addColumn<QString>("action"); // of the last handler, before it answers
        QTest::addColumn<bool>("lastTakes");
        QTest::newRow("all decline") << "" << false;
        QTest::newRow("last takes") << "" << true;
        QTest::newRow("deletes its client") << "delete" << false;
        QTest::newRow("edits the chain") << "edit" << false;
    }
    void errorChains()
    {
        QFETCH(QString, action);
        QFETCH(bool, lastTakes);
        RecordingHandler contextWide(true);
        context->appendClientsErrorHandler(&contextWide);
        context->appendClientsErrorHandler(&contextWide); // no duplicate
        RecordingHandler first(false);
        RecordingHandler appended(false);
        QCOMPARE(std::unique_ptr<TqClientFacade>(context->createClient())->errorHandlers().size(), 1);
        std::unique_ptr<TqClientFacade> client(context->createClient(&first));
        struct Last : ITqRequestErrorHandler
        {
            std::function<bool()> act;
            bool handleRequestError(qint64, const RequestError&) override { return act(); }
        } last;
        int lastCalls = 0;
        last.act = [&] {
            ++lastCalls;
            if (action == QLatin1String("delete"))
                client.reset();
            for (int i = 0; action == QLatin1String("edit") && i < 64; ++i) // enough to move the list's storage
                client->appendErrorHandler(&appended);
            if (action == QLatin1String("edit"))
                client->removeErrorHandler(&first);
            return lastTakes;
        };
        client->appendErrorHandler(&last);
        const TestRequest firmware(MethodType::FirmwareFile, QStringLiteral("/fw.bin"));
        const qint64 id = client->sendRequest(&firmware);
        QTRY_COMPARE(lastCalls, 1);
        std::unique_ptr<TqClientFacade> other(context->createClient());
        QSignalSpy answers(other.get(), &TqClientFacade::dataReceived);
        waitForSentinel(other.get(), answers); // nothing else arrives later
        const bool walkGoesOn = !lastTakes && action != QLatin1String("delete");
        QCOMPARE(first.errors.size(), int(walkGoesOn && action.isEmpty())); // removed meanwhile when edited
        QVERIFY(appended.errors.isEmpty()); // not in the chain when the walk began
        QCOMPARE(contextWide.errors.size(), int(walkGoesOn));
        if (walkGoesOn)
            QCOMPARE(contextWide.errors.first().first, id);
        context->removeClientsErrorHandler(&contextWide);
    }

    void refusals_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("description");
        QTest::newRow("no backend") << int(MethodType::FirmwareFile) << "/fw.bin" << true
                                    << "the backend for the request is null, the request won't be executed";
        QTest::newRow("invalid") << int(MethodType::TqApi) << "/x" << false
                                 << "network request is not valid, request won't be executed";
        QTest::newRow("no url") << int(MethodType::TqImage) << "" << true << "url is empty, the request won't be executed";
    }
    void refusals()
    {
        QFETCH(int, type);
        QFETCH(QString, path);
        QFETCH(bool, valid);
        QFETCH(QString, description);
        RecordingHandler handler;
        std::unique_ptr<TqClientFacade> client(context->createClient(&handler));
        client->setObjectName(QStringLiteral("Screen"));
        TestRequest request(MethodType(type), path, httpPostMethod());
        request.valid = valid;
        const qint64 id = client->sendRequest(&request);
        QTRY_COMPARE(handler.errors.size(), 1);
        const RequestError error = handler.errors.first().second;
        QCOMPARE(handler.errors.first().first, id);
        QCOMPARE(error.reason, RequestError::InvalidRequest);
        QCOMPARE(error.description, description);
        QCOMPARE(error.methodType, MethodType(type));
        QCOMPARE(error.httpMethod, QStringLiteral("POST"));
        QCOMPARE(error.path, path);
        QCOMPARE(error.senderName, QStringLiteral("Screen"));
        QCOMPARE(server->requests().size(), 0);
    }

    void answersAndPlatformSignals()
    {
        server->route("GET", QStringLiteral("/api/v2/user/info"), [](const HttpRequest&) { return text("me"); });
        std::unique_ptr<TqClientFacade> client(context->createClient());
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        QSignalSpy methods(context->notifier(), &TqNotifier::tqMethodRequested);
        QSignalSpy responses(context->notifier(), &TqNotifier::tqResponseReceived);
        TestRequest request(MethodType::TqApi, QStringLiteral("/user/info"));
        request.setMethodSpecialization(MethodSpecializaton::Settings);
        const qint64 id = client->sendRequest(&request);
        QTRY_COMPARE(answers.size(), 1);
        QCOMPARE(answers.first().at(0).toLongLong(), id);
        QCOMPARE(answers.first().at(1).toString(), QStringLiteral("me"));
        QCOMPARE(methods.size(), 1);
        QCOMPARE(methods.first().at(0).value<MethodSpecializaton>(), MethodSpecializaton::Settings);
        QCOMPARE(methods.first().at(1).toString(), QStringLiteral("/user/info"));
        QTRY_COMPARE(responses.size(), 1);
        QCOMPARE(server->requests().first().header("User-Agent"), QByteArray("tq-test"));
    }

    void queueOrderFollowsPriority()
    {
        server->route("*", QStringLiteral("/spy"), [](const HttpRequest&) { return text(""); });
        server->route("*", QStringLiteral("/api/v2/p"), [](const HttpRequest&) { return text("p"); });
        std::unique_ptr<TqClientFacade> client(context->createClient());
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        QSignalSpy paused(context->notifier(), &TqNotifier::networkActivityPaused);
        Q_EMIT context->notifier()->pauseNetworkActivityRequired();
        QTRY_COMPARE(paused.size(), 1);

        const QString general = server->url(QStringLiteral("/sentinel")).toString();
        const TestRequest generalRequest(MethodType::GeneralRequest, general);
        const TestRequest analytics(MethodType::TqAnalytics, QString());
        const TestRequest platform(MethodType::TqApi, QStringLiteral("/p"));
        const qint64 normal1 = client->sendRequest(&generalRequest);
        const qint64 low = client->sendRequest(&analytics);
        const qint64 high = client->sendRequest(&platform);
        const qint64 normal2 = client->sendRequest(&generalRequest);
        {
            const QMutexLocker lock(&traceMutex);
            executeTrace.clear();
        }
        Q_EMIT context->notifier()->resumeNetworkActivityRequired();
        QTRY_COMPARE(answers.size(), 4);
        const QMutexLocker lock(&traceMutex);
        QCOMPARE(executeTrace, (QStringList{QString::number(high), QString::number(normal1),
                                            QString::number(normal2), QString::number(low)}));
    }

    // Above 100 entries the least valuable held requests make room, newest first within a
    // type; discovery, payments, party games, measurement, general requests and shopping
    // images are never evicted. Every second arrival finds 101 entries and evicts two.
    void overflowEvictsByValueThenNewestFirst()
    {
        using M = MethodType;
        const QList<M> evictionOrder{M::SytApi, M::SytStatus, M::TqAnalytics, M::AdBannerAudit, M::GetShopAdAudit,
                                     M::GetShopAudit, M::AdStreamAudit, M::ThumbnailsImage, M::ThumbnailsApi,
                                     M::TqImage, M::StaticDataImage, M::RdmApi, M::ReleaseNotesHtml,
                                     M::ReleaseNotesImage, M::Scte35Nsc, M::Scte35PostMedia, M::Scte35NscAudit,
                                     M::Scte35PostMediaAudit, M::GetShopTextPlain, M::GetShopApi, M::GetShopAdApi,
                                     M::AdStreamApi, M::StaticDataApi, M::TqApi};
        const QList<M> neverEvicted{M::GeneralRequest, M::MediascopeApi, M::TqDiscover, M::PartyStationApi,
                                    M::PartyStationImage, M::PaymentServiceApi, M::GetShopImage};
        RecordingHandler handler;
        std::unique_ptr<TqClientFacade> client(context->createClient(&handler));
        QSignalSpy paused(context->notifier(), &TqNotifier::networkActivityPaused);
        Q_EMIT context->notifier()->pauseNetworkActivityRequired();
        QTRY_COMPARE(paused.size(), 1);
        const QString path = server->url(QStringLiteral("/held")).toString();
        const auto send = [&](M type) { return client->sendRequest(std::make_unique<TestRequest>(type, path).get()); };
        // The most valuable first, so that arrival order cannot explain the result.
        QList<qint64> images;
        for (auto it = evictionOrder.crbegin(); it != evictionOrder.crend(); ++it) {
            const qint64 id = send(*it);
            if (*it == M::TqImage)
                images = {id, send(M::TqImage)}; // the older, then the newer
        }
        for (M type : neverEvicted)
            send(type);
        int sent = int(evictionOrder.size()) + 1 + int(neverEvicted.size());
        while (sent < 101) {
            send(M::GeneralRequest);
            ++sent;
        }
        QCOMPARE(context->pendingRequests().queued, 101); // the 101st is accepted...
        QCoreApplication::processEvents();
        QVERIFY(handler.errors.isEmpty()); // ...and nothing was evicted
        for (int i = 0; i < 40; ++i)
            send(M::GeneralRequest);
        QTRY_COMPARE(handler.errors.size(), 25);
        QList<M> evicted;
        for (const auto& failure : std::as_const(handler.errors)) {
            evicted.append(failure.second.methodType);
            QCOMPARE(failure.second.description, QStringLiteral("exceeding the request limit"));
            QCOMPARE(failure.second.reason, RequestError::InvalidRequest);
        }
        QList<M> expected = evictionOrder;
        expected.insert(expected.indexOf(M::TqImage), M::TqImage);
        QCOMPARE(evicted, expected);
        const qsizetype firstImage = evicted.indexOf(M::TqImage);
        QCOMPARE(handler.errors.at(firstImage).first, images.at(1));
        QCOMPARE(handler.errors.at(firstImage + 1).first, images.at(0));
        QCOMPARE(context->pendingRequests().queued, 101 + 40 - 25);
    }

    void droppedBeforeDispatchProducesNothing()
    {
        RecordingHandler handler;
        std::unique_ptr<TqClientFacade> client(context->createClient(&handler));
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        // The worker thread waits inside this request's creator until the drop is queued: a
        // drop overtakes the sends still waiting, not one the dispatcher has already handled.
        QSemaphore gate;
        const GateRequest held(&gate);
        std::unique_ptr<TqClientFacade> other(context->createClient());
        other->sendRequest(&held);
        const TestRequest request(MethodType::GeneralRequest, server->url(QStringLiteral("/sentinel")).toString());
        const TestRequest refused(MethodType::FirmwareFile, QString());
        const qint64 dropped = client->sendRequest(&request);
        const qint64 droppedRefusal = client->sendRequest(&refused);
        client->dropRequests({dropped, droppedRefusal});
        client->dropRequest(12345678); // never sent: no effect
        gate.release();
        waitForSentinel(client.get(), answers);
        QVERIFY(!answeredIds(answers).contains(dropped));
        QVERIFY(handler.errors.isEmpty());
    }

    void cachedImageAnsweredWithoutExchange()
    {
        const QByteArray png = fake::pngBody(QSize(8, 6));
        server->route("GET", QStringLiteral("/poster.png"),
                      [png](const HttpRequest&) { return HttpResponse::withBody(200, "image/png", png); });
        std::unique_ptr<TqClientFacade> client(context->createClient());
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        const TestRequest image(MethodType::TqImage, QStringLiteral("/poster.png"));
        client->sendRequest(&image);
        QTRY_COMPARE(answers.size(), 1);
        const qint64 second = client->sendRequest(&image);
        QTRY_COMPARE(answers.size(), 2);
        QCOMPARE(server->requestCount(QStringLiteral("/poster.png")), 1);
        const QVariant cached = answerFor(answers, second);
        QVERIFY(cached.canConvert<ImageResponse>());
        QCOMPARE(cached.value<ImageResponse>().image().size(), QSize(8, 6));

        // A client gone before its cached answer is delivered gets nothing, and nothing breaks.
        std::unique_ptr<TqClientFacade>(context->createClient())->sendRequest(&image);
        waitForSentinel(client.get(), answers);
        QCOMPARE(server->requestCount(QStringLiteral("/poster.png")), 1);
    }

    void proxySettings()
    {
        QSignalSpy completed(context->notifier(), &TqNotifier::proxySettingCompleted);
        config().setProxyUrl(QStringLiteral("http://127.0.0.1"));
        Q_EMIT context->notifier()->proxyChangeRequired();
        QTRY_COMPARE(completed.size(), 1);
        QCOMPARE(context->currentProxy().type(), QNetworkProxy::HttpProxy);
        QCOMPARE(context->currentProxy().port(), quint16(65535)); // no port given
        Q_EMIT context->notifier()->removeProxyRequired();
        QTRY_COMPARE(context->currentProxy(), QNetworkProxy());
        Q_EMIT context->notifier()->proxyChangeRequired();
        QTRY_COMPARE(completed.size(), 2);
        context->stopTqThread();
        QCOMPARE(context->currentProxy(), QNetworkProxy());
    }

    // Through a real forward proxy: only proxied types take it, and they share its small
    // budget of connections per host.
    void proxyCarriesProxiedTypesWithinTheirConnectionLimit()
    {
        if (const QString why = fake::ForwardProxy::unavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        fake::ForwardProxy proxy;
        QVERIFY(proxy.start());
        fake::Faults silent;
        silent.neverAnswer = true;
        server->route("GET", QStringLiteral("/shop"), [](const HttpRequest&) { return text("shop"); });
        server->route("GET", QStringLiteral("/hang"), [](const HttpRequest&) { return text(""); }, silent);
        server->route("GET", QStringLiteral("/api/v2/own"), [](const HttpRequest&) { return text("own"); });
        std::unique_ptr<TqClientFacade> client(context->createClient());
        QSignalSpy answers(client.get(), &TqClientFacade::dataReceived);
        QSignalSpy completed(context->notifier(), &TqNotifier::proxySettingCompleted);
        config().setProxyUrl(QStringLiteral("http://127.0.0.1:%1").arg(proxy.port()));
        config().setNumberOfConnectionsWithProxy(2);
        Q_EMIT context->notifier()->proxyChangeRequired();
        QTRY_COMPARE(completed.size(), 1);
        QCOMPARE(context->currentProxy().port(), proxy.port());

        const TestRequest shop(MethodType::GetShopApi, QStringLiteral("/shop"));
        const TestRequest own(MethodType::TqApi, QStringLiteral("/own"));
        client->sendRequest(&shop);
        client->sendRequest(&own);
        QTRY_COMPARE(answers.size(), 2);
        for (const HttpRequest& r : server->requests())
            QCOMPARE(r.header("Via").contains("tinyproxy"), r.path == QLatin1String("/shop"));

        const TestRequest hang(MethodType::GetShopApi, QStringLiteral("/hang"));
        const qint64 first = client->sendRequest(&hang);
        client->sendRequest(&hang);
        client->sendRequest(&hang);
        QTRY_COMPARE(server->requestCount(QStringLiteral("/hang")), 2);
        waitForSentinel(client.get(), answers);
        QCOMPARE(server->requestCount(QStringLiteral("/hang")), 2); // the third waits for a connection
        client->dropRequest(first);
        QTRY_COMPARE(server->requestCount(QStringLiteral("/hang")), 3);
    }

    void contextDestroyedWithRequestsInFlight()
    {
        fake::Faults silent;
        silent.neverAnswer = true;
        server->route("*", QStringLiteral("/api/v2/hang"), [](const HttpRequest&) { return text(""); }, silent);
        const TestRequest hang(MethodType::TqApi, QStringLiteral("/hang"));
        auto client = std::unique_ptr<TqClientFacade>(context->createClient());
        for (int i = 0; i < 10; ++i)
            client->sendRequest(&hang);
        QTRY_VERIFY(server->requestCount(QStringLiteral("/api/v2/hang")) > 0);
        client.reset();
        context.reset(); // workers, replies and network managers go with the worker thread
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
