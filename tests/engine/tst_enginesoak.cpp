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

#include <memory>
#include <vector>

using namespace tq;
using fake::Faults;
using fake::FakeHttpServer;
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

// The host keeps the session id in the store; the store is safe to read from any thread.
class StoreProvider : public stbcore::IRequestHeaderPropertyProvider
{
public:
    explicit StoreProvider(stbconfig::ConfigurationManager* store) : m_store(store) {}
    QString macAddress() const override { return QStringLiteral("00:1a:2b:3c:4d:5e"); }
    QString san() const override { return QString(); }
    QString userAgent() const override { return QStringLiteral("soak"); }
    QString sessionId() const override { return TqConfigWrapper(m_store).sessionId(); }
    QString uid() const override { return QString(); }
    QString mrf() const override { return QString(); }

private:
    stbconfig::ConfigurationManager* m_store;
};

struct Tracked
{
    int client = -1;
    int ends = 0;
    bool dropped = false;     // an answer already on its way may still arrive, once
    bool discardable = false; // in flight when a rebalance failed: silently discarded
};

class SoakRun;

// Records the errors of one client; now and then deletes its client or edits the chain from
// inside the walk, as a screen closing on an error would.
class ClientHandler : public ITqRequestErrorHandler
{
public:
    enum class Mutation { None, DeleteClient, EditChain };
    ClientHandler(SoakRun* run, int client, bool takes) : run(run), client(client), takes(takes) {}
    bool handleRequestError(qint64 id, const RequestError& error) override;

    SoakRun* run;
    int client;
    bool takes;
    Mutation pending = Mutation::None;
};

class PassingHandler : public ITqRequestErrorHandler
{
public:
    bool handleRequestError(qint64, const RequestError&) override { return false; }
};

class SoakRun : public QObject, public ITqRequestErrorHandler
{
public:
    explicit SoakRun(quint32 seed) : rng(seed)
    {
        for (auto& server : frontEnds) {
            server = std::make_unique<FakeHttpServer>();
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
        const auto set = [this](const char* group, const char* key, const QVariant& value) {
            store.setValue(QString::fromLatin1(group), QString::fromLatin1(key), value, stbconfig::Runtime);
        };
        set("StaticData", "url", base + QStringLiteral("/static"));
        set("TQ", "requestTimeout", 1);
        set("Network", "requestTimeout", 1);
        set("GetShop", "micrositeRequestTimeout", 1);
        set("TqClientFacade", "session_id", QStringLiteral("S0"));

        context = std::make_unique<TqContext>(&store);
        context->setPropertyProvider(&provider);
        context->appendClientsErrorHandler(this);
        TqNotifier* n = context->notifier();
        connect(n, &TqNotifier::rebalanceRequired, this, [this] {
            later(int(rng.bounded(200)), [this] { send(0, MethodType::TqDiscover); });
            later(int(rng.bounded(100, 600)), [this] { endRebalance(draining || rng.bounded(8) != 0); });
        });
        connect(n, &TqNotifier::updateSessionTokenRequired, this, [this] {
            later(int(rng.bounded(300)), [this] { renewSession(); });
        });
        addClient(); // the host's own client, which asks for discovery; it lives for the whole run
    }

    ~SoakRun() override
    {
        for (Client& c : clients)
            c.facade.reset();
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

    bool handleRequestError(qint64 id, const RequestError&) override
    {
        // Context-wide: reached after a client handler declined. The end was counted there.
        const auto it = tracked.constFind(id);
        if (it != tracked.cend() && !clients[it->client].facade)
            violation(QStringLiteral("request %1 of a destroyed client reached the context's handlers").arg(id));
        return false;
    }

    void ended(int client, qint64 id)
    {
        const auto it = tracked.find(id);
        if (it == tracked.end())
            return violation(QStringLiteral("an end for request %1, which was never sent").arg(id));
        if (it->client != client || !clients[client].facade)
            violation(QStringLiteral("request %1 ended at client %2, not at its live client %3").arg(id).arg(client).arg(it->client));
        if (++it->ends > 1)
            violation(QStringLiteral("request %1 ended %2 times").arg(id).arg(it->ends));
    }

    void destroyClient(int index)
    {
        clients[index].facade.reset();
    }

    void editChain(int index)
    {
        TqClientFacade* facade = clients[index].facade.get();
        facade->removeErrorHandler(clients[index].handler);
        for (int i = 0; i < 20; ++i)
            facade->appendErrorHandler(&passing);
        facade->removeErrorHandler(&passing);
        facade->appendErrorHandler(clients[index].handler);
    }

    QStringList violations;
    int sent = 0;

private:
    struct Client
    {
        std::unique_ptr<TqClientFacade> facade; // null once destroyed
        ClientHandler* handler;
    };

    template<class F>
    void later(int ms, F f)
    {
        QTimer::singleShot(ms, this, f);
    }

    void violation(const QString& text) { violations.append(text); }

    HttpResponse answer(const HttpRequest& r)
    {
        const bool platform = r.path.startsWith(QLatin1String("/api/"));
        if (platform && storm)
            return HttpResponse::withBody(rng.bounded(2) ? 502 : 504, "text/plain", "storm");
        HttpResponse response = r.path.startsWith(QLatin1String("/img/"))
                                    ? HttpResponse::withBody(200, "image/png", fake::pngBody(QSize(4, 3)))
                                    : HttpResponse::withBody(200, "text/plain", r.path.toUtf8());
        Faults faults;
        if (rng.bounded(4) == 0)
            faults.delayMs = int(rng.bounded(300));
        const int roll = int(rng.bounded(100));
        if (roll < 3)
            faults.neverAnswer = true; // ends by the transfer timeout
        else if (roll < 6)
            faults.close = Faults::Close::MidBody;
        else if (roll < 8)
            faults.close = Faults::Close::BeforeAnswer;
        else if (roll < 12)
            response = HttpResponse::withBody(429, "text/plain", "").header("Retry-After", "0");
        else if (roll < 14)
            response = HttpResponse::withBody(429, "text/plain", "").header("Retry-After", "1");
        else if (roll < 16) // a date less than two seconds ahead
            response = HttpResponse::withBody(429, "text/plain", "").header(
                "Retry-After", QDateTime::currentDateTime().addSecs(1).toString(Qt::TextDate).toLatin1());
        else if (roll < 19 && platform)
            response = HttpResponse::json(401, QJsonObject{{"error_code", 1000053}});
        else if (roll < 21)
            response = HttpResponse::withBody(500, "text/plain", "");
        response.faults = faults;
        return response;
    }

    int addClient()
    {
        const int index = int(clients.size());
        handlers.push_back(std::make_unique<ClientHandler>(this, index, rng.bounded(2) == 0));
        clients.push_back({std::unique_ptr<TqClientFacade>(context->createClient(handlers.back().get())),
                           handlers.back().get()});
        connect(clients.back().facade.get(), &TqClientFacade::dataReceived, this,
                [this, index](qint64 id) { ended(index, id); });
        return index;
    }

    QList<int> liveClients(bool includeHost) const
    {
        QList<int> live;
        for (int i = includeHost ? 0 : 1; i < int(clients.size()); ++i) {
            if (clients[i].facade)
                live.append(i);
        }
        return live;
    }

    int anyClient(bool includeHost = true)
    {
        const QList<int> live = liveClients(includeHost);
        return live.isEmpty() ? -1 : live.at(int(rng.bounded(live.size())));
    }

    void send(int client, MethodType type)
    {
        QString path;
        const QString base = frontEnds[0]->baseUrl();
        switch (type) {
        case MethodType::TqApi: path = QStringLiteral("/p"); break;
        case MethodType::StaticDataApi: path = QStringLiteral("/s"); break;
        case MethodType::GetShopApi: path = QStringLiteral("/x"); break;
        case MethodType::TqImage: path = QStringLiteral("/img/%1.png").arg(rng.bounded(3)); break;
        case MethodType::TqDiscover: path = base + QStringLiteral("/discover"); break;
        default: path = base + QStringLiteral("/g"); break;
        }
        fake::PathRequest request(type, path);
        request.deferrable = rng.bounded(10) != 0;
        const qint64 id = clients[client].facade->sendRequest(&request);
        tracked.insert(id, Tracked{client});
        ++sent;
    }

    void sendRandom(int client)
    {
        static const MethodType types[] = {MethodType::TqApi,         MethodType::TqApi,      MethodType::TqApi,
                                           MethodType::StaticDataApi, MethodType::GeneralRequest,
                                           MethodType::TqAnalytics,   MethodType::GetShopApi, MethodType::TqImage,
                                           MethodType::FirmwareFile};
        send(client, types[rng.bounded(int(std::size(types)))]);
    }

    QList<qint64> openRequests(int client) const
    {
        QList<qint64> open;
        for (auto it = tracked.cbegin(); it != tracked.cend(); ++it) {
            if (it->client == client && it->ends == 0 && !it->dropped)
                open.append(it.key());
        }
        return open;
    }

    void drop(int client, const QList<qint64>& ids)
    {
        for (qint64 id : ids)
            tracked[id].dropped = true;
        clients[client].facade->dropRequests(ids);
    }

    void endRebalance(bool completed)
    {
        TqNotifier* n = context->notifier();
        if (completed) {
            // The host moves to whichever front end the discovery named.
            TqConfigWrapper(&store).setApiUrl(frontEnds[rng.bounded(2)]->baseUrl());
            Q_EMIT n->rebalanceCompleted();
            return;
        }
        for (Tracked& t : tracked) {
            if (t.ends == 0)
                t.discardable = true;
        }
        Q_EMIT n->rebalanceFailed();
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
        const int client = anyClient();
        const int roll = int(rng.bounded(100));
        if (roll < 45) {
            sendRandom(client);
        } else if (roll < 49) {
            for (int i = 0; i < 12; ++i)
                sendRandom(client);
        } else if (roll < 56) {
            const QList<qint64> open = openRequests(client);
            if (!open.isEmpty())
                drop(client, {open.at(int(rng.bounded(open.size())))});
        } else if (roll < 58) {
            drop(client, openRequests(client));
        } else if (roll < 61) {
            const int victim = anyClient(false);
            if (victim > 0)
                destroyClient(victim);
            if (liveClients(false).size() < 2)
                addClient();
        } else if (roll < 63) {
            if (liveClients(true).size() < 7)
                addClient();
        } else if (roll < 67) {
            Q_EMIT n->pauseNetworkActivityRequired();
        } else if (roll < 72) {
            Q_EMIT n->resumeNetworkActivityRequired();
        } else if (roll < 74) {
            Q_EMIT n->resumeNetworkActivityRequired();
            Q_EMIT n->resumeNetworkActivityRequired();
        } else if (roll < 76) {
            Q_EMIT n->rebalanceRequested();
        } else if (roll < 77) {
            endRebalance(true);
        } else if (roll < 78) {
            endRebalance(false);
        } else if (roll < 80) {
            renewSession();
        } else if (roll < 82) {
            Q_EMIT n->proxyChangeRequired();
        } else if (roll < 84) {
            Q_EMIT n->removeProxyRequired();
        } else if (roll < 86) {
            storm = true;
            later(int(rng.bounded(100, 600)), [this] { storm = false; });
        } else if (roll < 91) {
            const int target = anyClient(false);
            if (target > 0)
                clients[target].handler->pending =
                    rng.bounded(2) ? ClientHandler::Mutation::DeleteClient : ClientHandler::Mutation::EditChain;
        } else if (roll < 93) {
            clients[client].facade->setObjectName(QStringLiteral("Screen%1").arg(rng.bounded(100)));
        } else if (roll < 94) {
            Q_EMIT n->imagesSizeLimitChanged(QSize(int(rng.bounded(8)), int(rng.bounded(8))));
        } else {
            QTest::qWait(int(rng.bounded(200))); // let things settle for a while
        }
    }

    bool waitingFor(qint64* example) const
    {
        for (auto it = tracked.cbegin(); it != tracked.cend(); ++it) {
            if (it->ends == 0 && !it->dropped && !it->discardable && clients[it->client].facade) {
                *example = it.key();
                return true;
            }
        }
        return false;
    }

    void drain()
    {
        draining = true;
        storm = false;
        Q_EMIT context->notifier()->resumeNetworkActivityRequired();
        // A sentinel last: whatever was queued before it has had its chance to arrive.
        send(0, MethodType::GeneralRequest);
        QElapsedTimer waited;
        waited.start();
        qint64 example = -1;
        while (waitingFor(&example) && waited.elapsed() < 60000)
            QTest::qWait(20);
        if (waitingFor(&example)) {
            violation(QStringLiteral("request %1 never ended").arg(example));
            return;
        }
        const PendingRequestCounts pending = context->pendingRequests();
        if (pending.queued != 0 || pending.deferred != 0)
            violation(QStringLiteral("the dispatcher still holds %1 requests, %2 of them deferred")
                          .arg(pending.queued)
                          .arg(pending.deferred));
    }

    QRandomGenerator rng;
    stbconfig::ConfigurationManager store;
    StoreProvider provider{&store};
    std::unique_ptr<FakeHttpServer> frontEnds[2];
    std::unique_ptr<TqContext> context;
    std::vector<Client> clients;
    std::vector<std::unique_ptr<ClientHandler>> handlers; // outlive their clients
    PassingHandler passing;
    QHash<qint64, Tracked> tracked;
    bool storm = false;
    bool draining = false;
    int sessions = 0;
};

bool ClientHandler::handleRequestError(qint64 id, const RequestError&)
{
    run->ended(client, id);
    const Mutation mutation = std::exchange(pending, Mutation::None);
    if (mutation == Mutation::DeleteClient) {
        run->destroyClient(client);
        return false; // the walk stops anyway: the context's handlers must not see it
    }
    if (mutation == Mutation::EditChain)
        run->editChain(client);
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
            QStringList violations;
            {
                SoakRun run(seed);
                const int count = 40 + int(QRandomGenerator(seed).bounded(80));
                run.run(count);
                violations = run.violations;
                actions += count;
                requests += run.sent;
            }
            {
                const QMutexLocker lock(&findingsMutex);
                for (const QString& finding : std::as_const(findings))
                    violations.append(QStringLiteral("logged: ") + finding);
            }
            if (!violations.isEmpty()) {
                qInstallMessageHandler(previousHandler);
                QFAIL(qPrintable(QStringLiteral("seed %1 (replay with TQ_SOAK_SEED=%1):\n  %2")
                                     .arg(seed)
                                     .arg(violations.join(QStringLiteral("\n  ")))));
            }
            ++seeds;
            ++seed;
        } while (replay.isEmpty() && clock.elapsed() < seconds * 1000);
        qInstallMessageHandler(previousHandler);
        qInfo("soak: %d seeds, %d host actions, %d requests in %lld s", seeds, actions, requests,
              clock.elapsed() / 1000);
    }
};

QTEST_GUILESS_MAIN(TestEngineSoak)
#include "tst_enginesoak.moc"
