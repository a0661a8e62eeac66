// The push-notification receiver against a real websocket server on 127.0.0.1, its token
// requests through the engine to a fake platform. Every wait of the receiver is shrunk to
// milliseconds ("seconds" are 1 ms), so whole reconnect ladders run in a test.

#include "fakehttpserver.h"
#include "fakenotificationserver.h"

#include "engine/tqcontext.h"
#include "notifications/notification.h"
#include "notifications/notificationsreceiver.h"
#include "platform/configurationmanager.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QSignalSpy>
#include <QtTest>

using namespace tq;
using fake::FakeNotificationServer;

namespace {

class RefusePing : public platform::INotificationsPlatformFilter
{
public:
    bool isAllowed(const QString& code) override { return code != QLatin1String("ping"); }
};

QString message(const QString& id)
{
    return QStringLiteral(R"({"event_code": "message", "event_type": "display", "message_id": "%1"})").arg(id);
}

QStringList messageIds(const QSignalSpy& spy)
{
    QStringList ids;
    for (const QList<QVariant>& args : spy)
        ids.append(args.at(0).value<QSharedPointer<Notification>>()->messageId);
    return ids;
}

} // namespace

class TestNotificationsReceiver : public QObject
{
    Q_OBJECT

    std::unique_ptr<stbconfig::ConfigurationManager> store;
    stbcore::FixedPropertyProvider provider;
    std::unique_ptr<fake::FakeHttpServer> platform;
    std::unique_ptr<FakeNotificationServer> push;
    std::unique_ptr<TqContext> context;
    QDateTime now = QDateTime::currentDateTimeUtc();

    std::unique_ptr<NotificationsReceiver> makeReceiver()
    {
        auto receiver = std::make_unique<NotificationsReceiver>();
        NotificationsReceiver::Timing timing;
        timing.pingIntervalMs = 20;
        timing.pongTimeoutMs = 60;
        timing.connectTimeoutMs = 200;
        timing.msPerSecond = 1;
        timing.maxMessageSize = 4096;
        timing.clock = [this] { return now; };
        receiver->setTiming(timing);
        receiver->setReconnectParams(IncrementalTimerParams{2, 5, 3}); // 5, 10, 20, 40, 40 ms
        receiver->init(context.get());
        return receiver;
    }

private slots:
    void init()
    {
        store = std::make_unique<stbconfig::ConfigurationManager>();
        platform = std::make_unique<fake::FakeHttpServer>();
        push = std::make_unique<FakeNotificationServer>();
        push->clock = [this] { return now; };
        push->tokenLifetimeSeconds = 1000000; // no renewal during a test unless it asks
        push->serveTokens(*platform);
        TqConfigWrapper(store.get()).setApiUrl(platform->baseUrl());
        provider.session = QStringLiteral("s1");
        context = std::make_unique<TqContext>(store.get());
        context->setPropertyProvider(&provider);
    }

    void cleanup()
    {
        context.reset();
        push.reset();
        platform.reset();
        store.reset();
    }

    void reconnectDelaysGrowToTheCeiling()
    {
        const IncrementalTimerParams defaults; // 2, 30, 6
        QList<qint64> delays{30};
        for (int i = 0; i < 8; ++i)
            delays.append(nextReconnectDelay(delays.last(), defaults));
        QCOMPARE(delays, (QList<qint64>{30, 60, 120, 240, 480, 960, 1920, 1920, 1920}));
        QCOMPARE(nextReconnectDelay(30, IncrementalTimerParams{0, 0, 0}), 30); // without parameters: constant
    }

    // Bad messages are skipped, each good one arrives once, also across reconnects.
    void badMessagesAreSkippedAndNothingArrivesTwice()
    {
        auto receiver = makeReceiver();
        QSignalSpy received(receiver.get(), &NotificationsReceiver::notificationReceived);
        QSignalSpy connected(receiver.get(), &NotificationsReceiver::connected);
        receiver->startListen(push->url());
        QTRY_COMPARE(connected.size(), 1);
        QCOMPARE(push->tokensSeen(), QStringList{"token-1"});

        push->sendText(message("m1"));
        push->sendText(QStringLiteral("{\"event_code\": "));   // malformed
        push->sendText(QStringLiteral("[1, 2]"));               // not an object
        push->sendBinary(QByteArray("\x00\x01binary", 8));
        push->sendText(message("m2"));
        QTRY_COMPARE(messageIds(received), (QStringList{"m1", "m2"}));

        push->sendText(QString(5000, QLatin1Char('x')));        // over the limit: Qt drops the connection
        QTRY_COMPARE(connected.size(), 2);
        push->restart();
        QTRY_COMPARE(connected.size(), 3);
        push->sendText(message("m3"));
        QTRY_COMPARE(messageIds(received), (QStringList{"m1", "m2", "m3"}));
        QCOMPARE(push->clientCount(), 1);
    }

    void keepsReconnectingThroughFaults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("refused") << "refused";
        QTest::newRow("closed with 1008") << "1008";
        QTest::newRow("pings unanswered") << "silent";
    }

    void keepsReconnectingThroughFaults()
    {
        QFETCH(QString, fault);
        auto receiver = makeReceiver();
        QSignalSpy connected(receiver.get(), &NotificationsReceiver::connected);
        QSignalSpy errors(receiver.get(), &NotificationsReceiver::webSocketErrorOccurred);
        QSignalSpy timeouts(receiver.get(), &NotificationsReceiver::pongTimeout);
        QSignalSpy received(receiver.get(), &NotificationsReceiver::notificationReceived);
        receiver->startListen(push->url());
        QTRY_COMPARE(connected.size(), 1);

        if (fault == "refused") {
            push->setRefusing(true);
            push->restart();
            push->setRefusing(true);
            QTRY_VERIFY(errors.size() >= 4); // several refused attempts
            push->setRefusing(false);
        } else if (fault == "1008") {
            push->setRejectingAll(true);
            push->restart();
            QTRY_VERIFY(push->handshakeCount() >= 5);
            push->setRejectingAll(false);
        } else {
            push->setSilent(true);
            QTRY_VERIFY(timeouts.size() >= 1);
            QTRY_VERIFY(errors.size() >= 2); // the pong timeout, then given-up handshakes
            push->setSilent(false);
        }
        QTRY_VERIFY(connected.size() >= 2);
        QTRY_COMPARE(push->clientCount(), 1);
        push->sendText(message("after"));
        QTRY_COMPARE(messageIds(received), QStringList{"after"});
        QVERIFY(receiver->isListening());
    }

    // A refusal soon after the token arrived forgets it; a later one asks for a new one at
    // once. Either way the next connection carries a fresh token.
    void refusedTokenIsReplaced_data()
    {
        QTest::addColumn<int>("tokenAgeSeconds");
        QTest::newRow("fresh token") << 5;
        QTest::newRow("old token") << 31;
    }

    void refusedTokenIsReplaced()
    {
        QFETCH(int, tokenAgeSeconds);
        auto receiver = makeReceiver();
        QSignalSpy connected(receiver.get(), &NotificationsReceiver::connected);
        receiver->startListen(push->url());
        QTRY_COMPARE(connected.size(), 1);
        now = now.addSecs(tokenAgeSeconds);
        push->expireTokens();
        push->restart();
        QTRY_VERIFY(push->tokensSeen().size() >= 3);
        QTRY_COMPARE(push->clientCount(), 1);
        const QStringList seen = push->tokensSeen();
        QCOMPARE(seen.count("token-1"), 2); // the first connection and the refused one
        QCOMPARE(seen.size(), 3);
        QVERIFY(seen.last() != "token-1");
    }

    void tokenIsRenewedBeforeItExpires()
    {
        push->tokenLifetimeSeconds = 100; // 100 ms here
        auto receiver = makeReceiver();
        QSignalSpy received(receiver.get(), &NotificationsReceiver::notificationReceived);
        receiver->startListen(push->url());
        QTRY_VERIFY(push->tokensSeen().contains("token-3"));
        QTRY_COMPARE(push->clientCount(), 1);
        push->sendText(message("m"));
        QTRY_COMPARE(messageIds(received), QStringList{"m"});
    }

    void stopListenEndsReconnecting()
    {
        auto stopped = makeReceiver();
        auto witness = makeReceiver();
        QSignalSpy stoppedConnected(stopped.get(), &NotificationsReceiver::connected);
        QSignalSpy witnessConnected(witness.get(), &NotificationsReceiver::connected);
        stopped->startListen(push->url());
        witness->startListen(push->url());
        QTRY_COMPARE(stoppedConnected.size(), 1);
        QTRY_COMPARE(witnessConnected.size(), 1);

        stopped->stopListen();
        QVERIFY(!stopped->isListening());
        // The witness, on the same ladder, reconnects through three restarts meanwhile.
        for (int round = 2; round <= 4; ++round) {
            push->restart();
            QTRY_COMPARE(witnessConnected.size(), round);
        }
        QCOMPARE(stoppedConnected.size(), 1);
        QCOMPARE(push->clientCount(), 1);

        QSignalSpy timeouts(stopped.get(), &NotificationsReceiver::pongTimeout);
        stopped->ping();
        QCOMPARE(timeouts.size(), 1);
    }

    void sameAddressTwiceStaysOnTheConnection()
    {
        auto receiver = makeReceiver();
        QSignalSpy connected(receiver.get(), &NotificationsReceiver::connected);
        receiver->startListen(push->url());
        QTRY_COMPARE(connected.size(), 1);
        receiver->startListen(push->url());
        QTRY_COMPARE(connected.size(), 2);
        QCOMPARE(push->handshakeCount(), 1);
    }

    void filterKeepsRefusedCodesOut()
    {
        RefusePing filter;
        auto receiver = makeReceiver();
        receiver->setNotificationsFilter(&filter);
        QSignalSpy received(receiver.get(), &NotificationsReceiver::notificationReceived);
        QSignalSpy connected(receiver.get(), &NotificationsReceiver::connected);
        receiver->startListen(push->url());
        QTRY_COMPARE(connected.size(), 1);
        push->sendText(QStringLiteral(R"({"event_code": "ping", "message_id": "p"})"));
        push->sendText(message("m"));
        QTRY_COMPARE(messageIds(received), QStringList{"m"});
    }

    void failedTokenRequestIsReported()
    {
        platform->route("POST", QStringLiteral("/api/v2/user/ws_token"), [](const fake::HttpRequest&) {
            return fake::HttpResponse::json(200, QJsonObject{{"token", ""}});
        });
        auto receiver = makeReceiver();
        QSignalSpy errors(receiver.get(), &NotificationsReceiver::errorOccurred);
        receiver->startListen(push->url());
        QTRY_COMPARE(errors.size(), 1);
        QCOMPARE(errors.first().first().toString(),
                 QStringLiteral("empty token was received, application will be started without websocket"));
        QCOMPARE(push->handshakeCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestNotificationsReceiver)
#include "tst_notificationsreceiver.moc"
