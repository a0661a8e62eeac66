// The push-notification receiver against a real websocket server on 127.0.0.1, its token
// requests through the engine to a fake platform, on a virtual clock: reconnect ladders,
// pings and token lifetimes of hours run in moments.

#include "clockdriver.h"
#include "fakehttpserver.h"
#include "fakenotificationserver.h"

#include "engine/clientfacade.h"
#include "engine/tqcontext.h"
#include "notifications/notification.h"
#include "notifications/notificationsreceiver_p.h"
#include "platform/configurationmanager.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QSignalSpy>
#include <QtTest>

using namespace tq;
using fake::FakeNotificationServer;
using TokenFault = FakeNotificationServer::TokenFault;
Q_DECLARE_METATYPE(TokenFault)

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

constexpr qint64 second = 1000;

} // namespace

class TestNotificationsReceiver : public QObject
{
    Q_OBJECT

    std::unique_ptr<ManualClock> clock;
    std::unique_ptr<stbconfig::ConfigurationManager> store;
    stbcore::FixedPropertyProvider provider;
    std::unique_ptr<fake::FakeHttpServer> platform;
    std::unique_ptr<FakeNotificationServer> push;
    std::unique_ptr<TqContext> context;
    std::unique_ptr<fake::ClockDriver> driver;

    // Reconnects after 5, 10, 20, 40, 40 ... s.
    std::unique_ptr<NotificationsReceiver> makeReceiver()
    {
        auto receiver = std::make_unique<NotificationsReceiver>();
        receiver->setClock(clock.get());
        receiver->setReconnectParams(IncrementalTimerParams{2, 5, 3});
        receiver->init(context.get());
        driver->watch(receiver.get(), push.get());
        return receiver;
    }

    int tokenPosts() const { return platform->requestCount(QStringLiteral("/api/v2/user/ws_token")); }

private slots:
    void init()
    {
        clock = std::make_unique<ManualClock>();
        driver = std::make_unique<fake::ClockDriver>(*clock);
        store = std::make_unique<stbconfig::ConfigurationManager>();
        platform = std::make_unique<fake::FakeHttpServer>();
        push = std::make_unique<FakeNotificationServer>();
        push->setClock(clock.get());
        push->tokenLifetimeSeconds = 1000000; // no renewal during a test unless it asks
        push->serveTokens(*platform);
        TqConfigWrapper(store.get()).setApiUrl(platform->baseUrl());
        provider.session = QStringLiteral("s1");
        context = std::make_unique<TqContext>(store.get());
        context->setPropertyProvider(&provider);
    }

    void cleanup()
    {
        driver.reset();
        context.reset();
        push.reset();
        platform.reset();
        store.reset();
        clock.reset();
    }

    // Bad messages are skipped, each good one arrives once, also across reconnects.
    void badMessagesAreSkippedAndNothingArrivesTwice()
    {
        auto receiver = makeReceiver();
        QSignalSpy received(receiver.get(), &NotificationsReceiver::notificationReceived);
        QSignalSpy connected(receiver.get(), &NotificationsReceiver::connected);
        receiver->startListen(push->url());
        QVERIFY(driver->settle());
        QCOMPARE(connected.size(), 1);
        QCOMPARE(push->tokensSeen(), QStringList{"token-1"});

        push->sendText(message("m1"));
        push->sendText(QStringLiteral("{\"event_code\": "));   // malformed
        push->sendText(QStringLiteral("[1, 2]"));               // not an object
        push->sendBinary(QByteArray("\x00\x01binary", 8));
        push->sendText(message("m2"));
        QTRY_COMPARE(messageIds(received), (QStringList{"m1", "m2"}));

        push->sendText(QString((1 << 20) + 1, QLatin1Char('x'))); // over the limit: the connection goes
        QTRY_VERIFY(!receiver->isListening());
        QVERIFY(driver->advance(5 * second));
        QCOMPARE(connected.size(), 2);
        push->restart();
        QVERIFY(driver->advance(10 * second));
        QCOMPARE(connected.size(), 3);
        push->sendText(message("m3"));
        QTRY_COMPARE(messageIds(received), (QStringList{"m1", "m2", "m3"}));
        QCOMPARE(push->tokensSeen(), (QStringList{"token-1", "token-1", "token-1"}));
    }

    // Whatever ended the connection, one loss is one rung of the ladder; a pong goes back to
    // the first rung.
    void reconnectsFollowTheLadder_data()
    {
        QTest::addColumn<QString>("loss");
        QTest::newRow("refused") << "refused";
        QTest::newRow("closed with 1008") << "1008";
        QTest::newRow("dropped") << "dropped";
        QTest::newRow("pong timeout") << "pong timeout";
        QTest::newRow("opening timeout") << "opening timeout";
        QTest::newRow("token request failed") << "token failed";
    }

    void reconnectsFollowTheLadder()
    {
        QFETCH(QString, loss);
        auto receiver = makeReceiver();
        QSignalSpy connected(receiver.get(), &NotificationsReceiver::connected);
        QSignalSpy pongs(receiver.get(), &NotificationsReceiver::pong);
        push->setRefusing(loss == "refused");
        push->setRejectingAll(loss == "1008");
        push->setOpeningDelay(loss == "opening timeout" ? 3600 * second : 0);
        receiver->startListen(push->url());
        QVERIFY(driver->settle());
        if (loss == "dropped") {
            push->dropConnections();
        } else if (loss == "pong timeout") {
            push->setSilent(true);
            QVERIFY(driver->advance(63 * second)); // a ping after a minute, no pong 3 s later
        } else if (loss == "opening timeout") {
            QVERIFY(driver->advance(30 * second));
        } else if (loss == "token failed") {
            push->tokenFault = TokenFault::BadRequest;
            push->setRejectingAll(true); // the current token is refused, every new one fails
            push->dropConnections();
        }
        if (loss != "1008" && loss != "token failed")
            push->setRefusing(true);
        QVERIFY(driver->settle());
        for (qint64 delay : {5, 10, 20, 40, 40}) {
            QCOMPARE(clock->nextTimeoutMs(), delay * second);
            QVERIFY(driver->advance(delay * second));
        }

        push->setRefusing(false);
        push->setRejectingAll(false);
        push->setSilent(false);
        push->setOpeningDelay(0);
        push->tokenFault = TokenFault::None;
        QVERIFY(driver->advance(40 * second));
        QVERIFY(receiver->isListening());
        QVERIFY(driver->advance(60 * second));
        QCOMPARE(pongs.size(), 1);
        push->dropConnections();
        QVERIFY(driver->settle());
        QCOMPARE(clock->nextTimeoutMs(), 5 * second);
    }

    // An "expire_at" the box cannot use is not a reason to ask again; a short lifetime is
    // renewed no sooner than a reconnect would be.
    void tokenRequestsStayBounded_data()
    {
        QTest::addColumn<TokenFault>("fault");
        QTest::addColumn<qint64>("lifetime");
        QTest::addColumn<int>("posts"); // in 10 minutes
        QTest::newRow("no expire_at") << TokenFault::NoExpiry << qint64(3600) << 1;
        QTest::newRow("expire_at already past") << TokenFault::ExpiredAlready << qint64(3600) << 1;
        QTest::newRow("expire_at not a number") << TokenFault::TextExpiry << qint64(3600) << 1;
        QTest::newRow("1 s lifetime: renewed every 5 s") << TokenFault::None << qint64(1) << 1 + 600 / 5;
    }

    void tokenRequestsStayBounded()
    {
        QFETCH(TokenFault, fault);
        QFETCH(qint64, lifetime);
        QFETCH(int, posts);
        push->tokenFault = fault;
        push->tokenLifetimeSeconds = lifetime;
        auto receiver = makeReceiver();
        QSignalSpy received(receiver.get(), &NotificationsReceiver::notificationReceived);
        receiver->startListen(push->url());
        QVERIFY(driver->advance(600 * second));
        QCOMPARE(tokenPosts(), posts);
        QVERIFY(receiver->isListening());
        push->sendText(message("m"));
        QTRY_COMPARE(messageIds(received), QStringList{"m"});
    }

    // Qt remembers the close code of the last close across openings: a plain drop after an
    // earlier refusal is still a plain drop.
    void dropAfterRefusalIsNoRefusal()
    {
        auto receiver = makeReceiver();
        push->setRejectingAll(true);
        receiver->startListen(push->url());
        QVERIFY(driver->settle());
        push->setRejectingAll(false);
        QVERIFY(driver->advance(5 * second));
        QVERIFY(receiver->isListening());
        QCOMPARE(tokenPosts(), 2);

        QVERIFY(driver->advance(40 * second)); // past the refusal grace of the token
        push->dropConnections();
        QVERIFY(driver->settle());
        QCOMPARE(tokenPosts(), 2);
        QCOMPARE(clock->nextTimeoutMs(), 10 * second);
        QVERIFY(driver->advance(10 * second));
        QVERIFY(receiver->isListening());
        QCOMPARE(push->tokensSeen(), (QStringList{"token-1", "token-2", "token-2"}));
    }

    // A refusal soon after the token arrived forgets it: the next rung asks for one. A later
    // one asks at once and connects with the answer.
    void refusedTokenIsReplaced_data()
    {
        QTest::addColumn<qint64>("tokenAge");
        QTest::addColumn<bool>("old");
        QTest::newRow("fresh token: forgotten") << qint64(0) << false;
        QTest::newRow("old token: replaced at once") << qint64(30) << true;
    }

    void refusedTokenIsReplaced()
    {
        QFETCH(qint64, tokenAge);
        QFETCH(bool, old);
        auto receiver = makeReceiver();
        receiver->startListen(push->url());
        QVERIFY(driver->advance(tokenAge * second));
        push->expireTokens();
        push->dropConnections();
        QVERIFY(driver->advance(5 * second)); // the reconnection is refused, 5 s older
        QCOMPARE(tokenPosts(), old ? 2 : 1);
        QCOMPARE(receiver->isListening(), old);
        if (!old) {
            QCOMPARE(clock->nextTimeoutMs(), 10 * second);
            QVERIFY(driver->advance(10 * second));
        }
        QVERIFY(receiver->isListening());
        QCOMPARE(tokenPosts(), 2);
        QCOMPARE(push->tokensSeen(), (QStringList{"token-1", "token-1", "token-2"}));
    }

    // The keep-alive of an open connection goes on when its token cannot be renewed.
    void failedRenewalKeepsPinging()
    {
        push->tokenLifetimeSeconds = 100;
        auto receiver = makeReceiver();
        QSignalSpy errors(receiver.get(), &NotificationsReceiver::errorOccurred);
        QSignalSpy timeouts(receiver.get(), &NotificationsReceiver::pongTimeout);
        receiver->startListen(push->url());
        QVERIFY(driver->settle());
        push->tokenFault = TokenFault::BadRequest;
        QVERIFY(driver->advance(100 * second));
        QCOMPARE(errors.size(), 1);
        QVERIFY(receiver->isListening());
        push->setSilent(true);
        QVERIFY(driver->advance(23 * second)); // the ping 60 s after the pong at 60 s, 3 s more
        QCOMPARE(timeouts.size(), 1);
    }

    // Only the failure of the receiver's own token request is a token failure.
    void otherFailuresAreNoTokenFailures()
    {
        auto receiver = makeReceiver();
        QSignalSpy errors(receiver.get(), &NotificationsReceiver::errorOccurred);
        receiver->startListen(push->url()); // its token request is on its way
        auto* d = NotificationsReceiverPrivate::get(receiver.get());
        QVERIFY(d->tokenRequestId != -1);
        RequestError failure;
        failure.reason = RequestError::HttpClientError;
        failure.httpStatusCode = 400;
        d->client->processRequestError(d->tokenRequestId + 1000, failure);
        QVERIFY(driver->settle());
        QVERIFY(receiver->isListening());
        QCOMPARE(errors.size(), 0);
    }

    void stopListenEndsReconnecting()
    {
        auto stopped = makeReceiver();
        auto witness = makeReceiver();
        QSignalSpy stoppedConnected(stopped.get(), &NotificationsReceiver::connected);
        QSignalSpy witnessConnected(witness.get(), &NotificationsReceiver::connected);
        stopped->startListen(push->url());
        witness->startListen(push->url());
        QVERIFY(driver->settle());
        QCOMPARE(stoppedConnected.size(), 1);
        QCOMPARE(witnessConnected.size(), 1);

        stopped->stopListen();
        QVERIFY(!stopped->isListening());
        // The witness, on the same ladder, reconnects through three restarts meanwhile.
        for (int round = 2; round <= 4; ++round) {
            push->restart();
            QVERIFY(driver->advance(20 * second));
            QCOMPARE(witnessConnected.size(), round);
        }
        QCOMPARE(stoppedConnected.size(), 1);
        QCOMPARE(push->clientCount(), 1);

        QSignalSpy timeouts(stopped.get(), &NotificationsReceiver::pongTimeout);
        stopped->ping();
        QTRY_COMPARE(timeouts.size(), 1);
    }

    void sameAddressTwiceStaysOnTheConnection()
    {
        auto receiver = makeReceiver();
        QSignalSpy connected(receiver.get(), &NotificationsReceiver::connected);
        receiver->startListen(push->url());
        QVERIFY(driver->settle());
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
        receiver->startListen(push->url());
        QVERIFY(driver->settle());
        push->sendText(QStringLiteral(R"({"event_code": "ping", "message_id": "p"})"));
        push->sendText(message("m"));
        QTRY_COMPARE(messageIds(received), QStringList{"m"});
    }

    void failedTokenRequestIsReported()
    {
        push->tokenFault = TokenFault::EmptyToken;
        auto receiver = makeReceiver();
        QSignalSpy errors(receiver.get(), &NotificationsReceiver::errorOccurred);
        receiver->startListen(push->url());
        QVERIFY(driver->advance(3600 * second));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.first().first().toString(),
                 QStringLiteral("empty token was received, application will be started without websocket"));
        QCOMPARE(push->handshakeCount(), 0);
        QCOMPARE(tokenPosts(), 1);
    }
};

QTEST_GUILESS_MAIN(TestNotificationsReceiver)
#include "tst_notificationsreceiver.moc"
