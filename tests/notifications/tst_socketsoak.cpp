// A seeded, randomized schedule of a host and of misbehaving servers against the push
// receiver, the device-management poller and the party-games client, on a virtual clock
// (hours of reconnect ladder per schedule). The host starts, stops, restarts and deletes the
// three, also from inside their signals; the servers refuse, drop (during openings and
// sessions), refuse tokens with 1008, open slowly, go silent, restart, hand out tokens
// already expired or without an expiry, and the box's wall clock jumps. Checked throughout:
// token requests <= refusals + expiries (+ the host's resets and failed requests), every
// reconnection exactly on the ladder of its IncrementalTimerParams (reset by a pong), pings,
// polls and party reconnections never sooner than their floors, each pushed notification
// delivered at most once, no hang; after each schedule, with the faults gone, all three work
// again. Memory faults are the sanitizers' (./tq soak-sockets runs it under ASan + UBSan).
//
//   TQ_SOAK_SECONDS=n  keep starting new seeds for n seconds (default 4)
//   TQ_SOAK_SEED=n     replay seed n once, with the library's log

#include "clockdriver.h"
#include "fakehttpserver.h"
#include "fakenotificationserver.h"
#include "fakepartystation.h"

#include "engine/requestlistener.h"
#include "engine/tqcontext.h"
#include "notifications/notification.h"
#include "notifications/notificationsreceiver.h"
#include "partystation/partystationclient.h"
#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "platform/requestheaderpropertyprovider.h"
#include "rdm/poller.h"
#include "transport/configwrapper.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

#include <atomic>
#include <optional>
#include <set>

using namespace tq;
using fake::FakeNotificationServer;

namespace {

constexpr qint64 second = 1000;

QMutex findingsMutex;
QStringList findings; // Qt's warnings and the library's faults
bool showLibraryLog = false;
QtMessageHandler previousHandler = nullptr;
class SocketSoakRun;
std::atomic<SocketSoakRun*> currentRun{nullptr}; // the engine logs on its own thread

void watchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message);

// Requests the engine holds: a dropped one may still reach a server until the engine ends it.
class EngineWatch : public ITqRequestListener
{
public:
    void requestEvent(const RequestEvent& event) override
    {
        const QMutexLocker lock(&mutex);
        if (event.kind == RequestEvent::Queued)
            open.insert(event.requestId);
        else if (event.kind == RequestEvent::Answered || event.kind == RequestEvent::Failed
                 || event.kind == RequestEvent::Evicted || event.kind == RequestEvent::Dropped)
            open.remove(event.requestId);
    }
    bool idle()
    {
        const QMutexLocker lock(&mutex);
        return open.isEmpty();
    }

private:
    QMutex mutex;
    QSet<qint64> open;
};

// The reconnect ladder as the configuration describes it: interval, then multiplied by the
// multiplier until interval x multiplier^count; never below 1 s; without parameters 30 s.
struct Ladder
{
    qint64 interval = 30;
    qint64 multiplier = 1;
    qint64 ceiling = 30;
    qint64 delay = 30;

    explicit Ladder(std::optional<IncrementalTimerParams> params)
    {
        if (!params)
            return;
        interval = std::max<qint64>(params->interval, 1);
        multiplier = std::max<qint64>(params->multiplier, 1);
        ceiling = interval;
        for (qint64 i = 0; i < params->multiplicationsCount; ++i)
            ceiling *= multiplier;
        delay = interval;
    }
    qint64 take()
    {
        const qint64 now = delay;
        if (delay < ceiling)
            delay = std::min(delay * multiplier, ceiling);
        return now;
    }
};

class SocketSoakRun : public QObject
{
public:
    explicit SocketSoakRun(quint32 seed) : host(seed), network(seed ^ 0x5bd1e995u), driver(clock)
    {
        push.setClock(&clock);
        party.setClock(&clock);
        push.serveTokens(api);
        connect(&push, &FakeNotificationServer::tokenRequested, this, &SocketSoakRun::onTokenRequest);
        connect(&push, &FakeNotificationServer::clientRejected, this, [this] { tokenReason(); });
        api.route("GET", QStringLiteral("/rdm/api/v1/user/commands/poll"), [this](const fake::HttpRequest&) {
            onPoll();
            return pollAnswer;
        });
        api.route("POST", QStringLiteral("/rdm/api/v1/user/commands/{id}/report"), [](const fake::HttpRequest&) {
            return fake::HttpResponse::json(200, QJsonObject{{"success", true}});
        });
        TqConfigWrapper(&store).setApiUrl(api.baseUrl());
        rdm::ConfigWrapper(&store).setUrl(api.baseUrl() + QStringLiteral("/rdm/api/v1"), stbconfig::Runtime);
        provider.session = QStringLiteral("soak");
        context = std::make_unique<TqContext>(&store);
        context->setPropertyProvider(&provider);
        context->setRequestListener(&engine);
        driver.watch([this] { return (!poller || !poller->isPolling()) && engine.idle(); });
        currentRun = this;
    }

    ~SocketSoakRun() override
    {
        currentRun = nullptr;
        delete receiver;
        delete poller;
        delete partyClient;
        context->setRequestListener(nullptr);
        context.reset();
    }

    void run(int steps)
    {
        start(Receiver);
        start(Poller);
        start(Party);
        settleOrFail(driver.settle(), "start");
        for (int i = 0; i < steps && problems.isEmpty(); ++i) {
            if (host.bounded(3) != 0)
                act();
            if (network.bounded(3) == 0)
                misbehave();
            for (quint32 n = network.bounded(4); n > 0; --n) // traffic
                push.sendText(QStringLiteral(R"({"event_code": "message", "event_type": "display", "message_id": "n%1"})")
                                  .arg(++pushed));
            pollAnswer = drawPollAnswer();
            settleOrFail(driver.advance(drawAdvance()), "advance");
        }
        if (problems.isEmpty())
            recover();
    }

    QStringList problems;
    qint64 virtualMs() { return clock.monotonicMs(); }

    // The receiver's log: where reconnections happen (the log texts the receiver writes), timed on the clock.
    void libraryLine(const QString& line)
    {
        static const QString receiverTag = QStringLiteral("NotificationsReceiver:");
        static const QString partyTag = QStringLiteral("PartyStationClient:");
        const qint64 now = clock.monotonicMs();
        if (line.contains(receiverTag))
            receiverLine(line, now);
        else if (line.contains(partyTag))
            partyLine(line, now);
    }

private:
    void fail(const QString& what)
    {
        if (problems.size() < 5)
            problems.append(QStringLiteral("at %1 s: %2").arg(double(clock.monotonicMs()) / 1000).arg(what));
    }

    // A replay tells what the schedule does.
    void note(const QString& what)
    {
        if (showLibraryLog)
            qDebug().noquote() << QStringLiteral("%1 s soak:").arg(double(clock.monotonicMs()) / 1000, 0, 'f', 3) << what;
    }

    void settleOrFail(bool settled, const char* where)
    {
        if (!settled)
            fail(QStringLiteral("the network did not settle (%1): %2").arg(QLatin1String(where), driver.lastBusy()));
    }

    // Host calls: what they log is the host's doing, not a timer's.
    template<class F>
    void hostCall(F f)
    {
        ++hostCalling;
        f();
        --hostCalling;
    }

    // ---- the host ----

    enum Target { Receiver, Poller, Party };

    void create(Target target)
    {
        switch (target) {
        case Receiver: {
            receiver = new NotificationsReceiver;
            receiver->setClock(&clock);
            std::optional<IncrementalTimerParams> params;
            if (host.bounded(4) != 0) {
                static const qint64 intervals[] = {0, 1, 5, 30};
                params = IncrementalTimerParams{qint64(host.bounded(4)), intervals[host.bounded(4)], qint64(host.bounded(6))};
                receiver->setReconnectParams(*params);
            }
            ladder = Ladder(params);
            receiver->init(context.get());
            driver.watch(receiver, &push);
            tokenReason(); // a new receiver has no token
            receiverSession = false;
            expectReconnectAt = -1;
            tokenDriven = false;
            lastPong = -1;
            NotificationsReceiver* r = receiver;
            connect(r, &NotificationsReceiver::notificationReceived, this, [this](QSharedPointer<Notification> n) {
                if (!n->messageId.isEmpty() && !delivered.insert(n->messageId).second)
                    fail(QStringLiteral("notification %1 delivered twice").arg(n->messageId));
                onSignal(Receiver, "notificationReceived");
            });
            connect(r, &NotificationsReceiver::pong, this, [this] {
                const qint64 now = clock.monotonicMs();
                if (lastPong != -1 && now - lastPong < 60 * second)
                    fail(QStringLiteral("pongs %1 ms apart").arg(now - lastPong));
                lastPong = now;
                ladder.delay = ladder.interval;
                onSignal(Receiver, "pong");
            });
            connect(r, &NotificationsReceiver::connected, this, [this] { onSignal(Receiver, "connected"); });
            connect(r, &NotificationsReceiver::disconnected, this, [this] { onSignal(Receiver, "disconnected"); });
            connect(r, &NotificationsReceiver::pongTimeout, this, [this] { onSignal(Receiver, "pongTimeout"); });
            connect(r, &NotificationsReceiver::errorOccurred, this, [this] { onSignal(Receiver, "errorOccurred"); });
            connect(r, &NotificationsReceiver::webSocketErrorOccurred, this,
                    [this] { onSignal(Receiver, "webSocketErrorOccurred"); });
            break;
        }
        case Poller: {
            poller = new rdm::CommandsPoller(context.get(), &store);
            poller->setClock(&clock);
            poller->macAddress = QStringLiteral("00:1A:2B:3C:4D:5E");
            pollDueAt = -1;
            static const int limits[] = {0, 30, 60, 600};
            const int limit = limits[host.bounded(4)]; // equal limits: the same wait in a replay
            store.setValue("RDM", "requestPollMinInterval", limit, stbconfig::Runtime);
            store.setValue("RDM", "requestPollMaxInterval", limit, stbconfig::Runtime);
            connect(poller, &rdm::CommandsPoller::commandReceived, this, [this] { onSignal(Poller, "commandReceived"); });
            connect(poller, &rdm::CommandsPoller::nextPollScheduled, this, [this](qint64 seconds) {
                if (seconds < 60)
                    fail(QStringLiteral("next poll in %1 s").arg(seconds));
                pollDueAt = clock.monotonicMs() + seconds * second;
                onSignal(Poller, "nextPollScheduled");
            });
            break;
        }
        case Party: {
            partyClient = new pstv::PartyStationClient;
            partyClient->setClock(&clock);
            driver.watch(partyClient, &party);
            partyExpectReconnectAt = -1;
            partyConnected = false;
            pstv::PartyStationClient* c = partyClient;
            connect(c, &pstv::PartyStationClient::connected, this, [this] {
                partyConnected = true;
                onSignal(Party, "connected");
            });
            connect(c, &pstv::PartyStationClient::disconnected, this, [this] {
                partyConnected = false;
                onSignal(Party, "disconnected");
            });
            connect(c, &pstv::PartyStationClient::messageReceived, this, [this] { onSignal(Party, "messageReceived"); });
            break;
        }
        }
    }

    // A poll at the moment the host starts, stops or deletes the poller is the host's doing.
    void start(Target target)
    {
        if ((target == Receiver && !receiver) || (target == Poller && !poller) || (target == Party && !partyClient))
            create(target);
        switch (target) {
        case Receiver: hostCall([this] { receiver->startListen(push.url()); }); break;
        case Poller:
            pollerHostAt = clock.monotonicMs();
            pollDueAt = -1;
            poller->start();
            break;
        case Party:
            partyListening = true;
            hostCall([this] { partyClient->startListen(party.url()); });
            partyExpectReconnectAt = -1;
            partyOpenedAt = clock.monotonicMs();
            break;
        }
    }

    void stop(Target target)
    {
        if (target == Receiver && receiver) {
            hostCall([this] { receiver->stopListen(); });
            receiverSession = false;
            tokenReason();
            expectReconnectAt = -1;
            tokenDriven = false;
        } else if (target == Poller && poller) {
            pollerHostAt = clock.monotonicMs();
            pollDueAt = -1;
            poller->stop();
        } else if (target == Party && partyClient) {
            partyListening = false;
            hostCall([this] { partyClient->stopListen(); });
            partyExpectReconnectAt = -1;
        }
    }

    void remove(Target target)
    {
        switch (target) {
        case Receiver:
            delete std::exchange(receiver, nullptr);
            tokenReason(); // its token request may still reach the platform
            expectReconnectAt = -1;
            break;
        case Poller:
            delete std::exchange(poller, nullptr);
            pollerHostAt = clock.monotonicMs(); // its poll may still reach the service
            pollDueAt = -1;
            break;
        case Party:
            delete std::exchange(partyClient, nullptr);
            partyListening = false;
            partyConnected = false;
            partyExpectReconnectAt = -1;
            break;
        }
    }

    // 0: stop, 1: stop and start again, 2: delete.
    void end(Target target, int action)
    {
        if (action == 2) {
            remove(target);
            return;
        }
        stop(target);
        if (action == 1)
            start(target);
    }

    // What the host does inside a signal handler, when armed for that signal.
    void onSignal(Target target, const char* signal)
    {
        Armed& armed = this->armed[target];
        if (!armed.signal || qstrcmp(armed.signal, signal) != 0)
            return;
        armed.signal = nullptr;
        end(target, armed.action);
    }

    void act()
    {
        static const std::vector<const char*> signalNames[] = {
            {"connected", "disconnected", "notificationReceived", "pong", "pongTimeout", "errorOccurred",
             "webSocketErrorOccurred"},
            {"commandReceived", "nextPollScheduled"},
            {"connected", "disconnected", "messageReceived"}};
        const auto target = Target(host.bounded(3));
        const quint32 verb = host.bounded(6);
        note(QStringLiteral("host: target %1, action %2").arg(target).arg(verb));
        switch (verb) {
        case 0: start(target); break;
        case 1: stop(target); break;
        case 2: end(target, 1); break;
        case 3: remove(target); break;
        case 4:
            armed[target] = {signalNames[target][host.bounded(quint32(signalNames[target].size()))], int(host.bounded(3))};
            break;
        default: // one of its own
            if (target == Receiver && receiver) {
                hostCall([this] { receiver->clearToken(); });
                tokenReason();
            } else if (target == Poller) {
                remove(Poller); // a new one, under new limits
                start(Poller);
            } else if (target == Party && partyClient) {
                partySend();
            }
            break;
        }
    }

    void receiverLine(const QString& line, qint64 now)
    {
        if (line.contains(QLatin1String("the socket is disconnected. try reconnect"))) {
            if (expectReconnectAt != -1)
                fail(QStringLiteral("a second reconnection scheduled while one waits"));
            expectReconnectAt = now + ladder.take() * second;
        } else if (line.contains(QLatin1String("listening will be started with the received token"))) {
            if (expectReconnectAt != -1)
                fail(QStringLiteral("a token answer connected while a reconnection waits"));
            tokenDriven = !hostCalling;
        } else if (line.contains(QLatin1String("listening already on"))) {
            tokenDriven = false;
        } else if (line.contains(QLatin1String("connect to ")) || line.contains(QLatin1String("ws-token will be requested"))) {
            receiverSession = receiverSession || line.contains(QLatin1String("connect to "));
            if (line.contains(QLatin1String("ws-token will be requested")))
                tokenReasonAt = now; // the token went earlier, for one of the reasons counted then
            if (hostCalling) {
                expectReconnectAt = -1;
            } else if (tokenDriven) {
                tokenDriven = false;
            } else if (expectReconnectAt == -1) {
                fail(QStringLiteral("a reconnection nobody scheduled"));
            } else if (now != expectReconnectAt) {
                fail(QStringLiteral("reconnected %1 ms after its time").arg(now - expectReconnectAt));
                expectReconnectAt = -1;
            } else {
                expectReconnectAt = -1;
            }
        }
    }

    // Each token request needs a reason, at that moment: a new or reset receiver, a refusal
    // (1008), a connection that found no usable token (after a failed request or a refusal of
    // a fresh token), or the end of the current token's life; and each reason allows one.
    void tokenReason()
    {
        ++tokenCredits;
        tokenReasonAt = clock.monotonicMs();
    }

    void onTokenRequest(const QString& token, qint64 expireAt)
    {
        const qint64 now = clock.monotonicMs();
        const bool expired = currentToken && currentToken->expired(now, clock.currentUtc());
        if (expired && !currentToken->credited) {
            currentToken->credited = true;
            ++tokenCredits;
        }
        if (now != tokenReasonAt && !expired)
            fail(QStringLiteral("token request without a refusal or expiry at that moment"));
        if (--tokenCredits < 0) {
            fail(QStringLiteral("more token requests than refusals and expiries"));
            tokenCredits = 0;
        }
        if (token.isEmpty()) {
            ++tokenCredits; // a failed request may be made again
            return;
        }
        const qint64 lifetimeMs = expireAt * 1000 - clock.currentUtc().toMSecsSinceEpoch();
        currentToken = Token{now, lifetimeMs, expireAt, lifetimeMs > 0, false};
    }

    void onPoll()
    {
        const qint64 now = clock.monotonicMs();
        if (now != pollerHostAt) {
            if (lastPoll != -1 && now - lastPoll < 60 * second)
                fail(QStringLiteral("polls %1 ms apart").arg(now - lastPoll));
            if (pollDueAt != -1 && now != pollDueAt)
                fail(QStringLiteral("polled %1 ms after its time").arg(now - pollDueAt));
        }
        pollDueAt = -1;
        lastPoll = now;
    }

    fake::HttpResponse drawPollAnswer()
    {
        switch (network.bounded(6)) {
        case 0: return fake::HttpResponse::json(200, QJsonObject{{"event_code", "reboot"}, {"command_id", 7}});
        case 1: return fake::HttpResponse::json(200, QJsonObject{{"event_code", "teleport"}, {"command_id", 8}});
        case 2: return fake::HttpResponse::withBody(200, "application/json", "{\"event_code\": ");
        case 3: return fake::HttpResponse::withBody(500, "text/plain", "down");
        default: return fake::HttpResponse::json(200, QJsonObject());
        }
    }

    void partyLine(const QString& line, qint64 now)
    {
        if (hostCalling)
            return;
        const bool lost = line.contains(QLatin1String("PartyStationClient: disconnected"))
                          || line.contains(QLatin1String("pong timer timeout, try reconnect"))
                          || line.contains(QLatin1String("no handshake within"));
        if (line.contains(QLatin1String("no handshake within")) && now - partyOpenedAt != 30 * second)
            fail(QStringLiteral("a party opening given up after %1 ms").arg(now - partyOpenedAt));
        if (lost && partyListening && partyExpectReconnectAt == -1)
            partyExpectReconnectAt = now + 5 * second;
        if (line.contains(QLatin1String("PartyStationClient: reconnect"))) {
            if (now != partyExpectReconnectAt)
                fail(QStringLiteral("party reconnection at %1 ms, expected %2").arg(now).arg(partyExpectReconnectAt));
            partyExpectReconnectAt = -1;
            partyOpenedAt = now;
        }
    }

    void partySend()
    {
        QSharedPointer<pstv::OutcomingMessage> message;
        switch (host.bounded(4)) {
        case 0: message = QSharedPointer<pstv::GetPlayerIdMessage>::create(); break;
        case 1: message = QSharedPointer<pstv::OpenRoomMessage>::create(); break;
        case 2: message = QSharedPointer<pstv::SelectGameMessage>::create(); break;
        default: message = QSharedPointer<pstv::GetGameStateMessage>::create(); break;
        }
        partyClient->sendMessage(message);
    }

    // ---- the schedule ----

    qint64 drawAdvance()
    {
        const quint32 kind = host.bounded(100);
        if (kind < 70)
            return host.bounded(70 * second);
        if (kind < 97)
            return 70 * second + host.bounded(30 * 60 * second);
        return 30 * 60 * second + host.bounded(90 * 60 * second);
    }

    void misbehave()
    {
        using Fault = FakeNotificationServer::TokenFault;
        const quint32 fault = network.bounded(15);
        note(QStringLiteral("network: fault %1").arg(fault));
        switch (fault) {
        case 0: push.setRefusing(network.bounded(2) == 0); break;
        case 1: push.setRejectingAll(network.bounded(3) == 0); break;
        case 2: push.setSilent(network.bounded(3) == 0); break;
        case 3: {
            static const qint64 delays[] = {0, 10 * second, 40 * second, 3600 * second};
            push.setOpeningDelay(delays[network.bounded(4)]);
            break;
        }
        case 4: push.setDroppingOpenings(FakeNotificationServer::OpeningDrop(network.bounded(3))); break;
        case 5: push.dropConnections(); break;
        case 6: push.restart(); break;
        case 7: push.expireTokens(); break;
        case 8: {
            push.tokenFault = Fault(network.bounded(6));
            static const qint64 lifetimes[] = {1, 45, 600, 86400};
            push.tokenLifetimeSeconds = lifetimes[network.bounded(4)];
            break;
        }
        case 9: {
            // The box's clock set by the network, years either way.
            const int years = int(network.bounded(21)) - 10;
            clock.setUtc(clock.currentUtc().addYears(years));
            break;
        }
        case 10: party.setSilent(network.bounded(3) == 0); break;
        case 11: party.setOpeningDelay(network.bounded(2) == 0 ? 0 : qint64(network.bounded(45)) * second); break;
        case 12: party.setDroppingOpenings(network.bounded(3) == 0); break;
        case 13: party.restart(); break;
        default: party.setMisbehaviour(fake::FakePartyStation::Misbehaviour(network.bounded(4))); break;
        }
    }

    // With the faults gone, whatever the host left listening works again by itself; the rest
    // is started again.
    void recover()
    {
        note(QStringLiteral("faults cleared"));
        push.setRefusing(false);
        push.setRejectingAll(false);
        push.setSilent(false);
        push.setOpeningDelay(0);
        push.setDroppingOpenings(FakeNotificationServer::OpeningDrop::None);
        push.tokenFault = FakeNotificationServer::TokenFault::None;
        party.setSilent(false);
        party.setOpeningDelay(0);
        party.setDroppingOpenings(false);
        party.setMisbehaviour(fake::FakePartyStation::Misbehaviour::None);
        armed[Receiver] = armed[Poller] = armed[Party] = Armed();
        if (!receiver || !receiverSession)
            start(Receiver);
        if (!poller || !poller->isActive())
            start(Poller);
        if (!partyListening)
            start(Party);
        // The longest waits: the ladder at its ceiling after a held opening, a poll.
        const qint64 start = clock.monotonicMs();
        const qint64 end = start + (std::max<qint64>(ladder.ceiling, 600) + 120) * second;
        const auto working = [&] { return receiver->isListening() && partyConnected && lastPoll >= start; };
        while (!working() && clock.monotonicMs() < end && problems.isEmpty())
            settleOrFail(driver.advance(std::min<qint64>(5 * second, end - clock.monotonicMs())), "recovery");
        if (!receiver->isListening())
            fail(QStringLiteral("the receiver did not reconnect once the faults were gone"));
        if (!partyConnected)
            fail(QStringLiteral("the party client did not reconnect once the faults were gone"));
        if (lastPoll < start)
            fail(QStringLiteral("no poll once the faults were gone"));
        const QString id = QStringLiteral("n%1").arg(++pushed);
        push.sendText(QStringLiteral(R"({"event_code": "message", "message_id": "%1"})").arg(id));
        settleOrFail(driver.settle(), "last notification");
        if (!delivered.count(id))
            fail(QStringLiteral("the last notification was not delivered"));
    }

    struct Token
    {
        qint64 issuedAt;   // monotonic ms
        qint64 lifetimeMs; // by the box's clock when it arrived
        qint64 expireAt;   // seconds since the epoch
        bool dated;        // the box could tell when it expires
        bool credited;
        bool expired(qint64 now, const QDateTime& utc) const
        {
            return dated && (now - issuedAt >= lifetimeMs || utc.toSecsSinceEpoch() >= expireAt);
        }
    };

    QRandomGenerator host;    // the host's actions and the passing of time
    QRandomGenerator network; // the servers' faults and traffic
    ManualClock clock;
    fake::ClockDriver driver;
    stbconfig::ConfigurationManager store;
    stbcore::FixedPropertyProvider provider;
    fake::FakeHttpServer api;
    FakeNotificationServer push;
    fake::FakePartyStation party;
    EngineWatch engine;
    std::unique_ptr<TqContext> context;

    NotificationsReceiver* receiver = nullptr;
    Ladder ladder{std::nullopt};
    qint64 expectReconnectAt = -1;
    bool tokenDriven = false;
    bool receiverSession = false; // a connection was tried since the host last started it
    qint64 lastPong = -1;
    int tokenCredits = 0;
    qint64 tokenReasonAt = -1;
    std::optional<Token> currentToken;
    std::set<QString> delivered;
    int pushed = 0;

    rdm::CommandsPoller* poller = nullptr;
    fake::HttpResponse pollAnswer = fake::HttpResponse::json(200, QJsonObject());
    qint64 lastPoll = -1;
    qint64 pollDueAt = -1;
    qint64 pollerHostAt = -1;

    pstv::PartyStationClient* partyClient = nullptr;
    bool partyListening = false;
    bool partyConnected = false;
    qint64 partyExpectReconnectAt = -1;
    qint64 partyOpenedAt = -1;
    struct Armed
    {
        const char* signal = nullptr;
        int action = 0;
    };
    Armed armed[3];

    int hostCalling = 0;
};

void watchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const bool library = qstrcmp(context.category, "tqapi") == 0;
    SocketSoakRun* run = currentRun;
    if (library && run)
        run->libraryLine(message);
    if (library ? type == QtCriticalMsg : (type == QtWarningMsg || type == QtCriticalMsg)) {
        const QMutexLocker lock(&findingsMutex);
        findings.append(message);
    }
    if (showLibraryLog && library && run) // a replay: on the virtual clock
        previousHandler(type, context, QStringLiteral("%1 s ").arg(double(run->virtualMs()) / 1000, 0, 'f', 3) + message);
    else if (showLibraryLog || !library)
        previousHandler(type, context, message);
}

} // namespace

class TestSocketSoak : public QObject
{
    Q_OBJECT

private slots:
    void soak()
    {
        const QByteArray replay = qgetenv("TQ_SOAK_SEED");
        const int seconds = qEnvironmentVariableIsSet("TQ_SOAK_SECONDS") ? qEnvironmentVariableIntValue("TQ_SOAK_SECONDS") : 4;
        showLibraryLog = !replay.isEmpty();
        const int level = logging::logLevel();
        logging::setLogLevel(logging::Trace); // the reconnections are read from the log, replay or not
        previousHandler = qInstallMessageHandler(watchMessages);
        quint32 seed = replay.isEmpty() ? QRandomGenerator::system()->generate() : replay.toUInt();
        QElapsedTimer elapsed;
        elapsed.start();
        int schedules = 0;
        qint64 virtualMs = 0;
        do {
            {
                const QMutexLocker lock(&findingsMutex);
                findings.clear();
            }
            const int steps = 40 + int(QRandomGenerator(seed).bounded(80));
            QStringList problems;
            {
                SocketSoakRun run(seed);
                run.run(steps);
                problems = run.problems;
                virtualMs += run.virtualMs();
            }
            {
                const QMutexLocker lock(&findingsMutex);
                problems += findings;
            }
            if (!problems.isEmpty()) {
                qInstallMessageHandler(previousHandler);
                logging::setLogLevel(level);
                QFAIL(qPrintable(QStringLiteral("seed %1 (replay with TQ_SOAK_SEED=%1):\n  %2")
                                     .arg(seed)
                                     .arg(problems.join(QStringLiteral("\n  ")))));
            }
            ++schedules;
            ++seed;
        } while (replay.isEmpty() && elapsed.elapsed() < seconds * 1000LL);
        qInstallMessageHandler(previousHandler);
        logging::setLogLevel(level);
        qInfo("socket soak: %d schedules, %lld virtual hours in %lld s", schedules, virtualMs / 3600000,
              elapsed.elapsed() / 1000);
    }
};

QTEST_GUILESS_MAIN(TestSocketSoak)
#include "tst_socketsoak.moc"
