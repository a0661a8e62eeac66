// A seeded, randomized schedule of host actions against the whole engine and two misbehaving
// front ends. After each run: every request of a live client ended exactly once (an answer
// or an error) unless it was dropped or discarded by a failed rebalance; nothing reached a
// destroyed client; the dispatcher holds nothing; Qt warned about nothing and the library
// logged no fault.
//
//   TQ_SOAK_SECONDS=n  keep starting new seeds for n seconds (default 4)
//   TQ_SOAK_SEED=n     replay seed n once, with the library's log

#include "fakehttpserver.h"
#include "pathrequest.h"

#include "engine/clientfacade.h"
#include "engine/notifier.h"
#include "engine/requestlistener.h"
#include "engine/tqcontext.h"
#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/configwrapper.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QMutex>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

using namespace tq;
using fake::Faults;
using fake::HttpRequest;
using fake::HttpResponse;

namespace {

// Qt's warnings (the network module's above all) and the library's faults found during a run.
QMutex findingsMutex;
QStringList findings;
bool showLibraryLog = false;
QtMessageHandler previousHandler = nullptr;

void watchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const bool library = qstrcmp(context.category, "tqapi") == 0;
    if (library ? type == QtCriticalMsg : (type == QtWarningMsg || type == QtCriticalMsg)) {
        const QMutexLocker lock(&findingsMutex);
        findings.append(message);
    }
    if (showLibraryLog || !library)
        previousHandler(type, context, message);
}

// The host keeps the session id in the store, which any thread may read.
struct StoreProvider : stbcore::IRequestHeaderPropertyProvider
{
    stbconfig::ConfigurationManager* store;
    explicit StoreProvider(stbconfig::ConfigurationManager* store) : store(store) {}
    QString macAddress() const override { return QStringLiteral("00:1a:2b:3c:4d:5e"); }
    QString san() const override { return {}; }
    QString userAgent() const override { return QStringLiteral("soak"); }
    QString sessionId() const override { return TqConfigWrapper(store).sessionId(); }
    QString uid() const override { return {}; }
    QString mrf() const override { return {}; }
};

struct Tracked
{
    int client = -1;
    int ends = 0;
    bool dropped = false;     // an answer already on its way may still arrive, once
    bool discardable = false; // in flight when a rebalance failed: silently discarded
};

class SoakRun;

// The dispatcher's side of the same promise, through the request listener: every request
// it queued ends there exactly once, and nothing follows its end.
class LifeChecker : public ITqRequestListener
{
public:
    void requestEvent(const RequestEvent& event) override
    {
        const QMutexLocker lock(&mutex);
        Life& life = lives[event.requestId];
        if (life.ended)
            problems.append(QStringLiteral("request %1: event %2 after its end").arg(event.requestId).arg(event.kind));
        if (event.kind == RequestEvent::Queued)
            life.queued = true;
        life.ended = event.kind == RequestEvent::Answered || event.kind == RequestEvent::Failed
                     || event.kind == RequestEvent::Evicted || event.kind == RequestEvent::Dropped;
    }
    // Once the dispatcher is empty.
    QStringList findings()
    {
        const QMutexLocker lock(&mutex);
        QStringList all = problems;
        for (auto it = lives.cbegin(); it != lives.cend(); ++it) {
            if (it->queued && !it->ended)
                all.append(QStringLiteral("request %1 was queued and never ended in the dispatcher").arg(it.key()));
        }
        return all;
    }

private:
    struct Life
    {
        bool queued = false;
        bool ended = false;
    };
    QMutex mutex;
    QHash<qint64, Life> lives;
    QStringList problems;
};

// A client's error handler, which now and then deletes its client or edits the chain from
// inside the walk, as a screen closing on an error would.
struct ClientHandler : ITqRequestErrorHandler
{
    enum class Mutation { None, DeleteClient, EditChain };
    ClientHandler(SoakRun* run, int client, bool takes) : run(run), client(client), takes(takes) {}
    bool handleRequestError(qint64 id, const RequestError&) override;

    SoakRun* run;
    int client;
    bool takes;
    Mutation pending = Mutation::None;
};

class SoakRun : public QObject, public ITqRequestErrorHandler
{
public:
    explicit SoakRun(quint32 seed) : rng(seed)
    {
        for (auto& server : frontEnds) {
            server = std::make_unique<fake::FakeHttpServer>();
            for (const char* path : {"/api/v2/p", "/static/s", "/g", "/spy", "/shop/x", "/discover", "/img/0.png",
                                     "/img/1.png", "/img/2.png"})
                server->route("*", QString::fromLatin1(path), [this](const HttpRequest& r) { return answer(r); });
        }
        const QString base = frontEnds[0]->baseUrl();
        TqConfigWrapper config(&store);
        config.setApiUrl(base);
        config.setImageUrl(base);
        config.setSpyUrl(base + QStringLiteral("/spy"));
        config.setGetShopUrl(base + QStringLiteral("/shop"));
        config.setProxyUrl(base); // the front end answers absolute-form requests as a proxy would
        for (const auto& [group, key, value] : {std::tuple<const char*, const char*, QVariant>{"StaticData", "url", base + "/static"},
                                                {"TQ", "requestTimeout", 1},
                                                {"Network", "requestTimeout", 1},
                                                {"GetShop", "micrositeRequestTimeout", 1},
                                                {"TqClientFacade", "session_id", "S0"}})
            store.setValue(QString::fromLatin1(group), QString::fromLatin1(key), value, stbconfig::Runtime);

        context = std::make_unique<TqContext>(&store);
        context->setPropertyProvider(&provider);
        context->setRequestListener(&lifeChecker);
        context->appendClientsErrorHandler(this);
        TqNotifier* n = context->notifier();
        connect(n, &TqNotifier::rebalanceRequired, this, [this] {
            later(200, [this] { send(0, MethodType::TqDiscover); });
            later(600, [this] { endRebalance(draining || rng.bounded(8) != 0); });
        });
        connect(n, &TqNotifier::updateSessionTokenRequired, this, [this] { later(300, [this] { renewSession(); }); });
        addClient(); // the host's own client, which asks for discovery; it lives for the whole run
    }

    ~SoakRun() override
    {
        for (auto& client : clients)
            client.reset();
        context.reset();
    }

    void run(int actionCount)
    {
        for (int i = 0; i < actionCount; ++i) {
            act();
            QTest::qWait(int(rng.bounded(25)));
        }
        drain();
    }

    // Context-wide: reached after a client's handler declined; the end was counted there.
    bool handleRequestError(qint64 id, const RequestError&) override
    {
        const auto it = tracked.constFind(id);
        if (it != tracked.cend() && !clients[it->client])
            violations.append(QStringLiteral("request %1 of a destroyed client reached the context").arg(id));
        return false;
    }

    void ended(int client, qint64 id)
    {
        const auto it = tracked.find(id);
        if (it == tracked.end() || it->client != client || !clients[client])
            violations.append(QStringLiteral("request %1 ended at client %2, which did not send it or is gone")
                                  .arg(id)
                                  .arg(client));
        else if (++it->ends > 1)
            violations.append(QStringLiteral("request %1 ended %2 times").arg(id).arg(it->ends));
    }

    void destroyClient(int index) { clients[index].reset(); }

    void editChain(int index)
    {
        ITqRequestErrorHandler* handler = handlers[index].get();
        for (int i = 0; i < 20; ++i) // enough to move the list's storage
            clients[index]->appendErrorHandler(handler);
        clients[index]->removeErrorHandler(handler); // every occurrence
        clients[index]->appendErrorHandler(handler);
    }

    QStringList violations;
    int sent = 0;

private:
    template<class F>
    void later(quint32 maxMs, F f)
    {
        QTimer::singleShot(int(rng.bounded(maxMs)), this, f);
    }

    HttpResponse answer(const HttpRequest& r)
    {
        const bool platform = r.path.startsWith(QLatin1String("/api/"));
        if (platform && storm)
            return HttpResponse::withBody(rng.bounded(2) ? 502 : 504, "text/plain", "storm");
        HttpResponse response = r.path.startsWith(QLatin1String("/img/"))
                                    ? HttpResponse::withBody(200, "image/png", fake::pngBody(QSize(4, 3)))
                                    : HttpResponse::withBody(200, "text/plain", r.path.toUtf8());
        const auto busy = [](const QByteArray& retryAfter) {
            return HttpResponse::withBody(429, "text/plain", "").header("Retry-After", retryAfter);
        };
        Faults faults;
        faults.delayMs = rng.bounded(4) == 0 ? int(rng.bounded(300)) : 0;
        const int roll = int(rng.bounded(100));
        if (roll < 3)
            faults.neverAnswer = true; // ends by the transfer timeout
        else if (roll < 8)
            faults.close = roll < 6 ? Faults::Close::MidBody : Faults::Close::BeforeAnswer;
        else if (roll < 16) // now, a second ahead, or a date less than two seconds ahead
            response = busy(roll < 12   ? QByteArray("0")
                            : roll < 14 ? QByteArray("1")
                                        : QDateTime::currentDateTime().addSecs(1).toString(Qt::TextDate).toLatin1());
        else if (roll < 19 && platform)
            response = HttpResponse::json(401, QJsonObject{{"error_code", 1000053}});
        else if (roll < 21)
            response = HttpResponse::withBody(500, "text/plain", "");
        response.faults = faults;
        return response;
    }

    void addClient()
    {
        const int index = int(clients.size());
        handlers.push_back(std::make_unique<ClientHandler>(this, index, rng.bounded(2) == 0));
        clients.emplace_back(context->createClient(handlers.back().get()));
        connect(clients.back().get(), &TqClientFacade::dataReceived, this, [this, index](qint64 id) { ended(index, id); });
    }

    QList<int> liveClients(bool withHost) const
    {
        QList<int> live;
        for (int i = withHost ? 0 : 1; i < int(clients.size()); ++i) {
            if (clients[i])
                live.append(i);
        }
        return live;
    }

    int anyClient(bool withHost)
    {
        const QList<int> live = liveClients(withHost);
        return live.isEmpty() ? -1 : live.at(int(rng.bounded(live.size())));
    }

    void send(int client, MethodType type)
    {
        const QString base = frontEnds[0]->baseUrl();
        const QString path = type == MethodType::TqApi           ? QStringLiteral("/p")
                             : type == MethodType::StaticDataApi ? QStringLiteral("/s")
                             : type == MethodType::GetShopApi    ? QStringLiteral("/x")
                             : type == MethodType::TqImage       ? QStringLiteral("/img/%1.png").arg(rng.bounded(3))
                             : type == MethodType::TqDiscover    ? base + QStringLiteral("/discover")
                                                                 : base + QStringLiteral("/g");
        fake::PathRequest request(type, path);
        request.deferrable = rng.bounded(10) != 0;
        tracked.insert(clients[client]->sendRequest(&request), Tracked{client});
        ++sent;
    }

    void sendAny(int client)
    {
        static const MethodType types[] = {MethodType::TqApi,      MethodType::TqApi,         MethodType::TqApi,
                                           MethodType::TqAnalytics, MethodType::StaticDataApi, MethodType::GetShopApi,
                                           MethodType::TqImage,    MethodType::GeneralRequest, MethodType::FirmwareFile};
        send(client, types[rng.bounded(int(std::size(types)))]);
    }

    void drop(int client, bool all)
    {
        QList<qint64> open;
        for (auto it = tracked.cbegin(); it != tracked.cend(); ++it) {
            if (it->client == client && it->ends == 0 && !it->dropped)
                open.append(it.key());
        }
        if (!all && !open.isEmpty())
            open = {open.at(int(rng.bounded(open.size())))};
        for (qint64 id : std::as_const(open))
            tracked[id].dropped = true;
        clients[client]->dropRequests(open);
    }

    void endRebalance(bool completed)
    {
        if (completed) {
            // The host moves to whichever front end the discovery named.
            TqConfigWrapper(&store).setApiUrl(frontEnds[rng.bounded(2)]->baseUrl());
            Q_EMIT context->notifier()->rebalanceCompleted();
            return;
        }
        for (Tracked& t : tracked)
            t.discardable |= t.ends == 0;
        Q_EMIT context->notifier()->rebalanceFailed();
    }

    void renewSession()
    {
        store.setValue(QStringLiteral("TqClientFacade"), QStringLiteral("session_id"),
                       QStringLiteral("S%1").arg(++sessions), stbconfig::Runtime);
        if (rng.bounded(2))
            Q_EMIT context->notifier()->resumeNetworkActivityRequired();
        else
            Q_EMIT context->notifier()->rebalanceCompleted();
    }

    void act()
    {
        TqNotifier* n = context->notifier();
        const int client = anyClient(true);
        const int roll = int(rng.bounded(100));
        if (roll < 45) {
            sendAny(client);
        } else if (roll < 49) {
            for (int i = 0; i < 12; ++i)
                sendAny(client);
        } else if (roll < 58) {
            drop(client, roll >= 56);
        } else if (roll < 63) {
            const int other = anyClient(false);
            if (roll < 61 && other > 0)
                destroyClient(other);
            if (liveClients(false).size() < (roll < 61 ? 2 : 6))
                addClient();
        } else if (roll < 67) {
            Q_EMIT n->pauseNetworkActivityRequired();
        } else if (roll < 74) {
            Q_EMIT n->resumeNetworkActivityRequired();
            if (roll >= 72) // a double resume
                Q_EMIT n->resumeNetworkActivityRequired();
        } else if (roll < 76) {
            Q_EMIT n->rebalanceRequested();
        } else if (roll < 78) {
            endRebalance(roll == 76);
        } else if (roll < 80) {
            renewSession();
        } else if (roll < 84) {
            if (roll < 82)
                Q_EMIT n->proxyChangeRequired();
            else
                Q_EMIT n->removeProxyRequired();
        } else if (roll < 86) {
            storm = true;
            later(600, [this] { storm = false; });
        } else if (roll < 91) {
            const int other = anyClient(false);
            if (other > 0)
                handlers[other]->pending = rng.bounded(2) ? ClientHandler::Mutation::DeleteClient
                                                           : ClientHandler::Mutation::EditChain;
        } else if (roll < 93) {
            clients[client]->setObjectName(QStringLiteral("Screen%1").arg(rng.bounded(100)));
        } else if (roll < 94) {
            Q_EMIT n->imagesSizeLimitChanged(QSize(int(rng.bounded(8)), int(rng.bounded(8))));
        } else {
            QTest::qWait(int(rng.bounded(200))); // let things settle for a while
        }
    }

    qint64 awaited() const
    {
        for (auto it = tracked.cbegin(); it != tracked.cend(); ++it) {
            if (it->ends == 0 && !it->dropped && !it->discardable && clients[it->client])
                return it.key();
        }
        return -1;
    }

    void drain()
    {
        draining = true;
        storm = false;
        Q_EMIT context->notifier()->resumeNetworkActivityRequired();
        send(0, MethodType::GeneralRequest); // a sentinel: what was queued before it had its chance
        QElapsedTimer waited;
        waited.start();
        while (awaited() != -1 && waited.elapsed() < 60000)
            QTest::qWait(20);
        if (const qint64 id = awaited(); id != -1) {
            violations.append(QStringLiteral("request %1 never ended").arg(id));
            return;
        }
        const PendingRequestCounts pending = context->pendingRequests();
        if (pending.queued != 0 || pending.deferred != 0)
            violations.append(QStringLiteral("the dispatcher still holds %1 requests, %2 of them deferred")
                                  .arg(pending.queued)
                                  .arg(pending.deferred));
        violations.append(lifeChecker.findings());
    }

    QRandomGenerator rng;
    stbconfig::ConfigurationManager store;
    StoreProvider provider{&store};
    std::unique_ptr<fake::FakeHttpServer> frontEnds[2];
    LifeChecker lifeChecker;
    std::unique_ptr<TqContext> context;
    std::vector<std::unique_ptr<TqClientFacade>> clients;  // null once destroyed
    std::vector<std::unique_ptr<ClientHandler>> handlers; // outlive their clients
    QHash<qint64, Tracked> tracked;
    bool storm = false;
    bool draining = false;
    int sessions = 0;
};

bool ClientHandler::handleRequestError(qint64 id, const RequestError&)
{
    run->ended(client, id);
    switch (std::exchange(pending, Mutation::None)) {
    case Mutation::DeleteClient:
        run->destroyClient(client);
        return false; // the walk stops anyway: the context's handlers must not see it
    case Mutation::EditChain: run->editChain(client); break;
    case Mutation::None: break;
    }
    return takes;
}

} // namespace

class TestEngineSoak : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void soak()
    {
        const QByteArray replay = qgetenv("TQ_SOAK_SEED");
        const int seconds = qEnvironmentVariableIsSet("TQ_SOAK_SECONDS") ? qEnvironmentVariableIntValue("TQ_SOAK_SECONDS") : 4;
        showLibraryLog = !replay.isEmpty();
        logging::setLogLevel(showLibraryLog ? logging::Trace : logging::Warning);
        previousHandler = qInstallMessageHandler(watchMessages);
        quint32 seed = replay.isEmpty() ? QRandomGenerator::system()->generate() : replay.toUInt();
        QElapsedTimer clock;
        clock.start();
        int seeds = 0, actions = 0, requests = 0;
        do {
            {
                const QMutexLocker lock(&findingsMutex);
                findings.clear();
            }
            const int count = 40 + int(QRandomGenerator(seed).bounded(80));
            QStringList violations;
            {
                SoakRun run(seed);
                run.run(count);
                violations = run.violations;
                requests += run.sent;
            }
            const QMutexLocker lock(&findingsMutex);
            for (const QString& finding : std::as_const(findings))
                violations.append(QStringLiteral("logged: ") + finding);
            if (!violations.isEmpty()) {
                qInstallMessageHandler(previousHandler);
                QFAIL(qPrintable(QStringLiteral("seed %1 (replay with TQ_SOAK_SEED=%1):\n  %2")
                                     .arg(seed)
                                     .arg(violations.join(QStringLiteral("\n  ")))));
            }
            ++seeds;
            ++seed;
            actions += count;
        } while (replay.isEmpty() && clock.elapsed() < seconds * 1000);
        qInstallMessageHandler(previousHandler);
        qInfo("soak: %d seeds, %d host actions, %d requests in %lld s", seeds, actions, requests,
              clock.elapsed() / 1000);
    }
};

QTEST_GUILESS_MAIN(TestEngineSoak)
#include "tst_enginesoak.moc"
