// A seeded, randomized schedule of host actions against the whole engine, two front ends that
// misbehave and a poster host. After each run:
// - every request of a live client ended exactly once (an answer or an error) unless the host
//   dropped it or a failed rebalance discarded it (as the dispatcher reported), nothing reached
//   a destroyed client, and every live client forgot all its requests;
// - the dispatcher holds nothing, every request it queued ended there once, nothing after;
// - what reached the wire is what the host asked for: method, path, query and body; a poster
//   only at its own host; a platform request at another front end only after a completed
//   rebalance; a request sent again carries the session read for that sending (a new session
//   keeps the one it was built with); every exchange on the wire was sent by the dispatcher,
//   which sends nothing after a request's end;
// - Qt warned about nothing and the library logged no fault.
// Some runs end by destroying the clients and the context with requests in every queue.
//
//   TQ_SOAK_SECONDS=n  keep starting new seeds for n seconds (default 4)
//   TQ_SOAK_SEED=n     replay seed n once and print the library's log
//
// The schedule depends on the seed alone (soakschedule.h); the library logs at the same level
// in every run, into memory, printed only when a run fails or is replayed.

#include "enginetestsupport.h"
#include "scriptednetworkaccessmanager.h"
#include "soakschedule.h"

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
#include <QTimer>
#include <QtTest>

#include <deque>
#include <optional>
#include <stdexcept>

using namespace tq;
using fake::Faults;
using fake::HttpRequest;
using fake::HttpResponse;
using soak::Action;
using soak::Kind;

namespace {

// ---- the log: kept in memory, the same in every run ----

QMutex logMutex;
std::deque<QString> logLines;   // the library's last lines
QStringList findings;           // Qt's warnings and the library's faults
QtMessageHandler previousHandler = nullptr;
constexpr size_t LogLinesKept = 4000;

// Faults the schedule provokes on purpose.
bool expectedFault(const QString& message)
{
    return message.contains(QLatin1String("with null request")) || message.contains(QLatin1String("with null dataFunc"));
}

// Qt 6.4's HTTP reply warns when its transfer timeout fires after it already reported another
// error (a connection broken off), which a starved event loop allows: a thousand requests in
// flight under the sanitizers. The reply ends once all the same, as the run's checks confirm.
bool qtQuirk(const QString& message)
{
    return message.startsWith(QLatin1String("QNetworkReplyImplPrivate::error: Internal problem"));
}

void watchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const bool library = qstrcmp(context.category, "tqapi") == 0;
    const QMutexLocker lock(&logMutex);
    if (library) {
        logLines.push_back(message);
        if (logLines.size() > LogLinesKept)
            logLines.pop_front();
        if (type == QtCriticalMsg && !expectedFault(message))
            findings.append(message);
        return;
    }
    if ((type == QtWarningMsg || type == QtCriticalMsg) && !qtQuirk(message))
        findings.append(message);
    previousHandler(type, context, message);
}

// ---- what the host knows ----

// The session last read through the provider on the worker thread: the one a request that
// goes out again was given.
thread_local std::optional<QString> sessionRead;

struct StoreProvider : stbcore::IRequestHeaderPropertyProvider
{
    stbconfig::ConfigurationManager* store;
    explicit StoreProvider(stbconfig::ConfigurationManager* store) : store(store) {}
    QString macAddress() const override { return QStringLiteral("00:1a:2b:3c:4d:5e"); }
    QString san() const override { return {}; }
    QString userAgent() const override { return QStringLiteral("soak"); }
    QString sessionId() const override
    {
        const QString session = TqConfigWrapper(store).sessionId();
        sessionRead = session;
        return session;
    }
    QString uid() const override { return {}; }
    QString mrf() const override { return {}; }
};

struct Tracked
{
    int client = -1;
    Kind kind = Kind::General;
    int number = -1;          // in the query as n=<number>; -1 for images
    QByteArray method;
    QByteArray body;
    int ends = 0;
    bool dropped = false;     // an answer already on its way may still arrive, once
};

struct Arrival
{
    int server = -1; // 0, 1: the front ends; 2: the poster host
    qint64 atNs = 0;
    HttpRequest request;
};

// Overflow victims, least valuable first; the types not listed are never evicted.
const QList<MethodType> evictionOrder{
    MethodType::SytApi, MethodType::SytStatus, MethodType::TqAnalytics, MethodType::AdBannerAudit,
    MethodType::GetShopAdAudit, MethodType::GetShopAudit, MethodType::AdStreamAudit, MethodType::ThumbnailsImage,
    MethodType::ThumbnailsApi, MethodType::TqImage, MethodType::StaticDataImage, MethodType::RdmApi,
    MethodType::ReleaseNotesHtml, MethodType::ReleaseNotesImage, MethodType::Scte35Nsc, MethodType::Scte35PostMedia,
    MethodType::Scte35NscAudit, MethodType::Scte35PostMediaAudit, MethodType::GetShopTextPlain, MethodType::GetShopApi,
    MethodType::GetShopAdApi, MethodType::AdStreamApi, MethodType::StaticDataApi, MethodType::TqApi};

// The dispatcher's side, through the request listener: every request it queued ends there
// exactly once and nothing follows its end; which requests a failed rebalance discarded; the
// sessions read for each request that went out again; and, from a mirror of which requests are
// held, that an eviction takes the least valuable held request, the newest of its type, and
// only from a queue over its limit.
class LifeChecker : public ITqRequestListener
{
public:
    void requestEvent(const RequestEvent& event) override
    {
        const std::optional<QString> read = std::exchange(sessionRead, std::nullopt);
        const QMutexLocker lock(&mutex);
        Life& life = lives[event.requestId];
        if (life.ended)
            problems.append(QStringLiteral("request %1: event %2 after its end").arg(event.requestId).arg(event.kind));
        if (event.kind == RequestEvent::Queued) {
            life.queued = true;
            life.queuedAtNs = clock->nsecsElapsed();
            life.order = queuedCount++;
            life.type = event.methodType;
            life.priority = event.priority;
            queued.insert(event.requestId);
        }
        if (event.kind == RequestEvent::Evicted)
            checkEviction(event.requestId, life);
        life.held = event.kind == RequestEvent::Held || (life.held && event.kind != RequestEvent::Sent
                                                         && event.kind != RequestEvent::Resent
                                                         && event.kind != RequestEvent::Deferred);
        if (event.kind == RequestEvent::Resent && read)
            life.sessionsResent.insert(*read);
        if (event.kind == RequestEvent::Sent || event.kind == RequestEvent::Resent)
            ++life.sends;
        if (event.kind == RequestEvent::Discarded)
            life.discarded = true;
        life.ended = event.kind == RequestEvent::Answered || event.kind == RequestEvent::Failed
                     || event.kind == RequestEvent::Evicted || event.kind == RequestEvent::Dropped
                     || event.kind == RequestEvent::Discarded;
        if (life.ended)
            queued.remove(event.requestId);
    }
    explicit LifeChecker(const QElapsedTimer* clock) : clock(clock) {}
    qint64 queuedAtNs(qint64 id)
    {
        const QMutexLocker lock(&mutex);
        return lives.value(id).queuedAtNs;
    }
    bool discarded(qint64 id)
    {
        const QMutexLocker lock(&mutex);
        return lives.value(id).discarded;
    }
    int sends(qint64 id)
    {
        const QMutexLocker lock(&mutex);
        return lives.value(id).sends;
    }
    QSet<QString> sessionsResent(qint64 id)
    {
        const QMutexLocker lock(&mutex);
        return lives.value(id).sessionsResent;
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
        bool discarded = false;
        bool held = false;
        qint64 order = 0; // arrival in the queue
        qint64 queuedAtNs = -1;
        int sends = 0; // handed to the network
        MethodType type = MethodType::TqApi;
        int priority = 0;
        QSet<QString> sessionsResent;
    };

    void checkEviction(qint64 id, const Life& victim)
    {
        const qsizetype rank = evictionOrder.indexOf(victim.type);
        if (rank < 0 || !victim.held || queued.size() < 100) {
            problems.append(QStringLiteral("request %1 of type %2 evicted (held: %3, queue: %4)")
                                .arg(id).arg(int(victim.type)).arg(victim.held).arg(queued.size()));
            return;
        }
        for (qint64 other : std::as_const(queued)) {
            const Life& o = lives[other];
            if (!o.held || other == id)
                continue;
            const qsizetype otherRank = evictionOrder.indexOf(o.type);
            // Newer means later in the queue: a lower priority, or the same one and a later arrival.
            const bool newer = o.priority > victim.priority || (o.priority == victim.priority && o.order > victim.order);
            if ((otherRank >= 0 && otherRank < rank) || (otherRank == rank && newer))
                problems.append(QStringLiteral("request %1 (type %2) evicted while %3 (type %4) was held")
                                    .arg(id).arg(int(victim.type)).arg(other).arg(int(o.type)));
        }
    }

    const QElapsedTimer* clock; // the run's, shared with the host thread
    QMutex mutex;
    QHash<qint64, Life> lives;
    QSet<qint64> queued; // queued and not ended: the dispatcher's queue
    qint64 queuedCount = 0;
    QStringList problems;
};

class SoakRun;

// A client's error handler, which at its next error may delete its client, edit the chain,
// throw, or close the whole context, as a host's screen might.
struct ClientHandler : ITqRequestErrorHandler
{
    ClientHandler(SoakRun* run, int slot, bool takes) : run(run), slot(slot), takes(takes) {}
    bool handleRequestError(qint64 id, const RequestError&) override;

    SoakRun* run;
    int slot;
    bool takes;
    std::optional<Action::Mutation> pending;
};

class SoakRun : public QObject, public ITqRequestErrorHandler
{
public:
    explicit SoakRun(quint32 seed) : seed(seed), schedule(soak::makeSchedule(seed))
    {
        clock.start();
        for (int i = 0; i < 3; ++i) {
            servers[i] = std::make_unique<fake::FakeHttpServer>();
            connect(servers[i].get(), &fake::FakeHttpServer::requestReceived, this,
                    [this, i](const HttpRequest& r) { arrivals.append({i, clock.nsecsElapsed(), r}); });
        }
        for (const char* path : {"/api/v2/p", "/api/v2/post", "/api/v3/ulp/sessions", "/spy", "/discover", "/static/s",
                                 "/static/busy", "/shop/x", "/g", "/sentinel"}) {
            for (int i = 0; i < 2; ++i)
                servers[i]->route("*", QString::fromLatin1(path), [this](const HttpRequest& r) { return answer(r); });
        }
        const QByteArray png = fake::pngBody(QSize(4, 3));
        const auto image = [png](const HttpRequest&) { return HttpResponse::withBody(200, "image/png", png); };
        for (int k = 0; k < 3; ++k) {
            for (int i = 0; i < 2; ++i)
                servers[i]->route("GET", QStringLiteral("/img/%1.png").arg(k), image);
            servers[2]->route("GET", QStringLiteral("/poster/%1.png").arg(k), image);
        }
        const QString base = servers[0]->baseUrl();
        moveTo(0);
        TqConfigWrapper config(&store);
        config.setGetShopUrl(base + QStringLiteral("/shop"));
        config.setProxyUrl(base); // the front end answers absolute-form requests as a proxy would
        config.setNumberOfConnectionsWithProxy(2);
        for (const auto& [group, key, value] : {std::tuple<const char*, const char*, QVariant>{"StaticData", "url", base + "/static"},
                                                {"TQ", "requestTimeout", 1},
                                                {"Network", "requestTimeout", 1},
                                                {"GetShop", "micrositeRequestTimeout", 1},
                                                {"TqClientFacade", "session_id", "S0"}})
            store.setValue(QString::fromLatin1(group), QString::fromLatin1(key), value, stbconfig::Runtime);

        context = std::make_unique<TqContext>(&store);
        context->setPropertyProvider(&provider);
        context->setRequestListener(&lifeChecker);
        context->setNetworkAccessManagerFactory([this] {
            auto* manager = new fake::ScriptedNetworkAccessManager;
            manager->setDecider([this](const QNetworkRequest& r) { return contentResend(r); });
            return manager;
        });
        context->appendClientsErrorHandler(this);
        TqNotifier* n = context->notifier();
        connect(n, &TqNotifier::rebalanceRequired, this, [this] {
            const quint64 k = rebalances++;
            later(soak::draw(this->seed, soak::Rebalance, k, 200), [this] { send(0, Kind::Discover); });
            later(soak::draw(this->seed, soak::Rebalance, k + 1000000, 600), [this, k] {
                endRebalance(draining || soak::draw(this->seed, soak::RebalanceOutcome, k, 8) != 0);
            });
        });
        connect(n, &TqNotifier::updateSessionTokenRequired, this, [this] {
            later(soak::draw(this->seed, soak::Renewal, renewals++, 300), [this] { renewSession(); });
        });
        addClient(); // the host's own client, which asks for discovery; it lives for the whole run
    }

    ~SoakRun() override { closeContext(); }

    void run()
    {
        for (const Action& action : std::as_const(schedule.actions)) {
            QTest::qWait(action.delayMs);
            if (!context)
                break; // a handler closed everything
            act(action);
        }
        if (!context)
            return;
        if (schedule.endInFlight) {
            closeContext();
            return;
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

    void ended(int slot, qint64 id)
    {
        const auto it = tracked.find(id);
        if (it == tracked.end() || it->client != slot || !clients[slot]) {
            violations.append(QStringLiteral("request %1 ended at client %2, which did not send it or is gone").arg(id).arg(slot));
            return;
        }
        if (++it->ends > 1)
            violations.append(QStringLiteral("request %1 ended %2 times").arg(id).arg(it->ends));
    }

    void destroyClient(int slot) { clients[slot].reset(); }

    void editChain(int slot)
    {
        ITqRequestErrorHandler* handler = handlers[slot].get();
        for (int i = 0; i < 20; ++i) // enough to move the list's storage
            clients[slot]->appendErrorHandler(handler);
        clients[slot]->removeErrorHandler(handler); // every occurrence
        clients[slot]->appendErrorHandler(handler);
    }

    void closeContext()
    {
        for (auto& client : clients)
            client.reset();
        if (context)
            context->setRequestListener(nullptr);
        context.reset();
    }

    const quint32 seed;
    QStringList violations;
    int sent = 0;

private:
    template<class F>
    void later(quint32 ms, F f)
    {
        QTimer::singleShot(int(ms), this, [this, f] {
            if (context)
                f();
        });
    }

    // ---- the servers ----

    static int numberOf(const HttpRequest& r)
    {
        bool ok = false;
        const int n = r.query.queryItemValue(QStringLiteral("n")).toInt(&ok);
        return ok ? n : -1;
    }

    HttpResponse answer(const HttpRequest& r)
    {
        const int n = numberOf(r);
        const int attempt = attempts[n]++;
        if (r.path == QLatin1String("/static/busy"))
            return attempt == 0 ? text(429, "").header("Retry-After", "1") : text(200, "done");
        const bool platform = r.path.startsWith(QLatin1String("/api/")) || r.path == QLatin1String("/spy");
        if (platform && storm)
            return text(soak::draw(seed, soak::Fault, quint64(n) << 8 | quint64(attempt), 2) ? 502 : 504, "storm");
        HttpResponse response = text(200, r.path.toUtf8());
        Faults faults;
        faults.delayMs = soak::draw(seed, soak::Delay, quint64(n) << 8 | quint64(attempt), 4) == 0
                             ? int(soak::draw(seed, soak::Delay, quint64(n) << 8 | quint64(attempt), 300))
                             : 0;
        const int roll = int(soak::draw(seed, soak::Fault, quint64(n) << 8 | quint64(attempt), 100));
        if (roll < 3)
            faults.neverAnswer = true; // ends by the transfer timeout
        else if (roll < 7)
            faults.close = Faults::Close::MidBody; // never before the answer: Qt would retry that on its own
        else if (roll < 15) // "0" (a second), a second ahead, or a date less than two seconds ahead
            response = text(429, "").header("Retry-After", roll < 10   ? QByteArray("0")
                                                          : roll < 13 ? QByteArray("1")
                                                                      : QDateTime::currentDateTime().addSecs(1).toString(Qt::TextDate).toLatin1());
        else if (roll < 18 && platform)
            response = HttpResponse::json(401, QJsonObject{{"error_code", 1000053}});
        else if (roll < 20)
            response = text(500, "");
        response.faults = faults;
        return response;
    }

    static HttpResponse text(int status, const QByteArray& body) { return HttpResponse::withBody(status, "text/plain", body); }

    // Qt's own re-send failure of an upload, which no server can provoke: some requests meet it
    // once, twice or three times (the third is reported) before reaching the network.
    std::optional<fake::ScriptedReply> contentResend(const QNetworkRequest& r)
    {
        bool ok = false;
        const int n = QUrlQuery(r.url()).queryItemValue(QStringLiteral("n")).toInt(&ok);
        if (!ok)
            return std::nullopt;
        const QMutexLocker lock(&resendMutex);
        const quint32 times = soak::draw(seed, soak::Resend, quint64(n), 40); // 1 to 3 for some, else none
        if (times == 0 || times > 3 || scriptedResends[n] >= int(times))
            return std::nullopt;
        ++scriptedResends[n];
        return fake::ScriptedReply{QNetworkReply::ContentReSendError, 0, {}, {}};
    }

    // ---- the host ----

    void addClient()
    {
        const int slot = int(clients.size());
        handlers.push_back(std::make_unique<ClientHandler>(this, slot, soak::draw(seed, soak::Release, slot, 2) == 0));
        clients.emplace_back(context->createClient(handlers.back().get()));
        connect(clients.back().get(), &TqClientFacade::dataReceived, this, [this, slot](qint64 id) { ended(slot, id); });
    }

    // The live client of a slot number, or -1: slot 0 is the host's own.
    int clientOf(int slot, bool withHost) const
    {
        QList<int> live;
        for (int i = withHost ? 0 : 1; i < int(clients.size()); ++i) {
            if (clients[i])
                live.append(i);
        }
        return live.isEmpty() ? -1 : live.at(slot % live.size());
    }

    void moveTo(int frontEnd)
    {
        TqConfigWrapper config(&store);
        const QString base = servers[frontEnd]->baseUrl();
        config.setApiUrl(base);
        config.setImageUrl(base);
        config.setSpyUrl(base + QStringLiteral("/spy"));
    }

    void send(int slot, Kind kind)
    {
        const QString fe0 = servers[0]->baseUrl();
        const int number = numberCount++;
        fake::PathRequest request(MethodType::GeneralRequest, QString());
        Tracked t;
        t.client = slot;
        t.kind = kind;
        t.method = "GET";
        const auto make = [&](MethodType type, const QString& path, const char* method = "GET") {
            request = fake::PathRequest(type, path, QString::fromLatin1(method));
            t.method = method;
            if (t.method == "POST") {
                t.body = QByteArray("{\"n\":") + QByteArray::number(number) + '}';
                request.body = t.body;
            }
        };
        const int image = int(soak::draw(seed, soak::Delay, quint64(number), 3));
        switch (kind) {
        case Kind::Platform: make(MethodType::TqApi, QStringLiteral("/p")); break;
        case Kind::PlatformPost: make(MethodType::TqApi, QStringLiteral("/post"), "POST"); break;
        case Kind::NewSession:
            make(MethodType::TqApi, QStringLiteral("/ulp/sessions"), "POST");
            request.apiVersion = 3;
            request.setMethodSpecialization(MethodSpecializaton::NewSession);
            break;
        case Kind::Analytics: make(MethodType::TqAnalytics, QString(), "POST"); break;
        case Kind::Image: make(MethodType::TqImage, QStringLiteral("/img/%1.png").arg(image)); break;
        case Kind::Poster:
            make(MethodType::TqImage, servers[2]->baseUrl() + QStringLiteral("/poster/%1.png").arg(image));
            request.absolute = true;
            break;
        case Kind::Discover: make(MethodType::TqDiscover, fe0 + QStringLiteral("/discover")); break;
        case Kind::Static: make(MethodType::StaticDataApi, QStringLiteral("/s")); break;
        case Kind::StaticBusy: make(MethodType::StaticDataApi, QStringLiteral("/busy")); break;
        case Kind::Shop: make(MethodType::GetShopApi, QStringLiteral("/x")); break;
        case Kind::General: make(MethodType::GeneralRequest, fe0 + QStringLiteral("/g")); break;
        case Kind::Firmware: make(MethodType::FirmwareFile, QStringLiteral("/fw.bin")); break;
        }
        if (kind != Kind::Image && kind != Kind::Poster) {
            t.number = number;
            request.query = QStringList{QStringLiteral("n=%1").arg(number)};
        }
        request.deferrable = soak::draw(seed, soak::Deferrable, quint64(number), 10) != 0;
        const qint64 id = clients[slot]->sendRequest(&request);
        tracked.insert(id, t);
        if (t.number >= 0)
            idOfNumber.insert(t.number, id);
        ++sent;
    }

    void sendAny(int slot, quint32 salt, int i)
    {
        static const Kind kinds[] = {Kind::Platform, Kind::Platform,  Kind::PlatformPost, Kind::NewSession,
                                     Kind::Analytics, Kind::Image,    Kind::Poster,       Kind::Static,
                                     Kind::Shop,     Kind::General,   Kind::Firmware};
        send(slot, kinds[soak::draw(salt, soak::Delay, quint64(i), quint32(std::size(kinds)))]);
    }

    void drop(int slot, bool all, quint32 salt)
    {
        QList<qint64> open;
        for (auto it = tracked.cbegin(); it != tracked.cend(); ++it) {
            if (it->client == slot && it->ends == 0 && !it->dropped)
                open.append(it.key());
        }
        std::sort(open.begin(), open.end());
        if (!all && !open.isEmpty())
            open = {open.at(int(salt % quint32(open.size())))};
        for (qint64 id : std::as_const(open))
            tracked[id].dropped = true;
        clients[slot]->dropRequests(open);
    }

    void endRebalance(bool completed)
    {
        if (completed) {
            // The host moves to whichever front end the discovery named.
            moveTo(int(soak::draw(seed, soak::FrontEnd, completions.size(), 2)));
            completions.append(clock.nsecsElapsed());
            Q_EMIT context->notifier()->rebalanceCompleted();
            return;
        }
        Q_EMIT context->notifier()->rebalanceFailed();
    }

    void renewSession()
    {
        const int k = ++sessions;
        store.setValue(QStringLiteral("TqClientFacade"), QStringLiteral("session_id"), QStringLiteral("S%1").arg(k),
                       stbconfig::Runtime);
        if (soak::draw(seed, soak::Release, quint64(k), 2)) {
            Q_EMIT context->notifier()->resumeNetworkActivityRequired();
        } else {
            completions.append(clock.nsecsElapsed());
            Q_EMIT context->notifier()->rebalanceCompleted();
        }
    }

    void act(const Action& a)
    {
        TqNotifier* n = context->notifier();
        const int client = clientOf(a.slot, true);
        const int other = clientOf(a.slot, false);
        switch (a.type) {
        case Action::Send: send(client, Kind(a.param)); break;
        case Action::Burst:
            for (int i = 0; i < 12; ++i)
                sendAny(client, a.salt, i);
            break;
        case Action::Flood:
            Q_EMIT n->pauseNetworkActivityRequired();
            for (int i = 0; i < 110; ++i)
                sendAny(client, a.salt, i);
            break;
        case Action::DeferredFlood:
            for (int i = 0; i < 1010; ++i)
                send(client, Kind::StaticBusy);
            break;
        case Action::Drop: drop(client, false, a.salt); break;
        case Action::DropAll: drop(client, true, a.salt); break;
        case Action::NewClient:
            if (other == -1 || clients.size() < 12)
                addClient();
            break;
        case Action::DestroyClient:
            if (other > 0)
                destroyClient(other);
            break;
        case Action::Pause: Q_EMIT n->pauseNetworkActivityRequired(); break;
        case Action::Resume: Q_EMIT n->resumeNetworkActivityRequired(); break;
        case Action::DoubleResume:
            Q_EMIT n->resumeNetworkActivityRequired();
            Q_EMIT n->resumeNetworkActivityRequired();
            break;
        case Action::RebalanceRequested: Q_EMIT n->rebalanceRequested(); break;
        case Action::RebalanceCompleted: endRebalance(true); break;
        case Action::RebalanceFailed: endRebalance(false); break;
        case Action::RenewSession: renewSession(); break;
        case Action::ProxyOn: Q_EMIT n->proxyChangeRequired(); break;
        case Action::ProxyOff: Q_EMIT n->removeProxyRequired(); break;
        case Action::Storm:
            storm = true;
            later(a.salt % 600, [this] { storm = false; });
            break;
        case Action::ArmHandler:
            if (other > 0)
                handlers[other]->pending = Action::Mutation(a.param);
            break;
        case Action::Rename: clients[client]->setObjectName(QStringLiteral("Screen%1").arg(a.salt % 100)); break;
        case Action::ImageLimit: Q_EMIT n->imagesSizeLimitChanged(QSize(int(a.salt % 8), int(a.salt / 8 % 8))); break;
        case Action::NullRequest: clients[client]->sendRequest(nullptr); break;
        case Action::EmptyCreator: {
            const AbstractRequest bare;
            tracked.insert(clients[client]->sendRequest(&bare), Tracked{client, Kind::Firmware, -1, "", "", 0, true});
            break;
        }
        case Action::Settle: QTest::qWait(a.param); break;
        }
    }

    // ---- the end of a run ----

    qint64 awaited()
    {
        for (auto it = tracked.cbegin(); it != tracked.cend(); ++it) {
            if (it->ends == 0 && !it->dropped && clients[it->client] && !lifeChecker.discarded(it.key()))
                return it.key();
        }
        return -1;
    }

    void drain()
    {
        draining = true;
        storm = false;
        Q_EMIT context->notifier()->resumeNetworkActivityRequired();
        send(0, Kind::General); // a sentinel: what was queued before it had its chance
        QElapsedTimer waited;
        waited.start();
        while (awaited() != -1 && waited.elapsed() < 60000)
            QTest::qWait(20);
        if (!context)
            return; // a handler closed everything while the queue drained
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
        for (int i = 0; i < int(clients.size()); ++i) {
            if (clients[i] && clients[i]->activeRequestCount() != 0)
                violations.append(QStringLiteral("client %1 still counts %2 requests").arg(i).arg(clients[i]->activeRequestCount()));
        }
        checkWire();
    }

    void checkWire()
    {
        QHash<int, QList<const Arrival*>> byNumber;
        for (const Arrival& a : std::as_const(arrivals)) {
            if (a.request.path == QLatin1String("/sentinel"))
                continue;
            // Images carry no number: the poster host's own address must never be replaced.
            const bool poster = a.request.path.startsWith(QLatin1String("/poster/"));
            if (poster || a.request.path.startsWith(QLatin1String("/img/"))) {
                if (poster != (a.server == 2) || a.request.method != "GET")
                    violations.append(QStringLiteral("%1 %2 reached server %3")
                                          .arg(QString::fromLatin1(a.request.method), a.request.path)
                                          .arg(a.server));
                continue;
            }
            const int n = numberOf(a.request);
            const auto id = idOfNumber.constFind(n);
            if (id == idOfNumber.cend()) {
                violations.append(QStringLiteral("%1 %2 reached server %3 but no request asked for it")
                                      .arg(QString::fromLatin1(a.request.method), a.request.path)
                                      .arg(a.server));
                continue;
            }
            const Tracked& t = tracked[*id];
            const QString what = QStringLiteral("request %1 (number %2)").arg(*id).arg(n);
            const bool onFrontEnd = a.server == 0 || (a.server == 1 && soak::isPlatform(t.kind));
            if (a.request.method != t.method || a.request.path != soak::arrivalPath(t.kind)
                || a.request.query.toString() != QStringLiteral("n=%1").arg(n) || a.request.body != t.body || !onFrontEnd)
                violations.append(QStringLiteral("%1 arrived as %2 %3?%4 at server %5")
                                      .arg(what, QString::fromLatin1(a.request.method), a.request.path,
                                           a.request.query.toString())
                                      .arg(a.server));
            byNumber[n].append(&a);
        }
        for (auto it = byNumber.cbegin(); it != byNumber.cend(); ++it) {
            const qint64 id = idOfNumber.value(it.key());
            const Tracked& t = tracked[id];
            const QList<const Arrival*>& seen = it.value();
            // Every exchange on the wire is one the dispatcher sent: no hidden second sending.
            if (seen.size() > lifeChecker.sends(id))
                violations.append(QStringLiteral("request %1 reached the wire %2 times, sent %3 times")
                                      .arg(id).arg(seen.size()).arg(lifeChecker.sends(id)));
            const QSet<QString> resent = lifeChecker.sessionsResent(id);
            // A completed rebalance moves a request however it is (even one on the wire), so it
            // must come during the request's life: after it was queued (less a second, for a
            // host that moves while the request is being composed) and before the arrival.
            const qint64 queuedAt = lifeChecker.queuedAtNs(id) - 1000000000;
            for (int i = 1; i < seen.size(); ++i) {
                const QString session = QString::fromLatin1(seen[i]->request.header("session_id"));
                if (seen[i]->server != seen[i - 1]->server
                    && std::none_of(completions.cbegin(), completions.cend(), [&](qint64 at) {
                           return at > queuedAt && at < seen[i]->atNs;
                       }))
                    violations.append(QStringLiteral("request %1 moved from server %2 to %3 without a completed rebalance")
                                          .arg(id).arg(seen[i - 1]->server).arg(seen[i]->server));
                if (!soak::isPlatform(t.kind))
                    continue;
                if (t.kind == Kind::NewSession) {
                    if (session != QString::fromLatin1(seen[0]->request.header("session_id")))
                        violations.append(QStringLiteral("new session %1 went out again with session %2 instead of %3")
                                              .arg(id).arg(session, QString::fromLatin1(seen[0]->request.header("session_id"))));
                } else if (!resent.contains(session)) {
                    violations.append(QStringLiteral("request %1 went out again with session '%2', not one read for it (%3)")
                                          .arg(id)
                                          .arg(session, QStringList(resent.cbegin(), resent.cend()).join(QLatin1Char(','))));
                }
            }
        }
    }

    soak::Schedule schedule;
    QElapsedTimer clock;
    stbconfig::ConfigurationManager store;
    StoreProvider provider{&store};
    std::unique_ptr<fake::FakeHttpServer> servers[3];
    LifeChecker lifeChecker{&clock};
    std::unique_ptr<TqContext> context;
    std::vector<std::unique_ptr<TqClientFacade>> clients;  // null once destroyed
    std::vector<std::unique_ptr<ClientHandler>> handlers; // outlive their clients
    QHash<qint64, Tracked> tracked;
    QHash<int, qint64> idOfNumber;
    QHash<int, int> attempts; // arrivals per request number, at the servers
    QList<Arrival> arrivals;
    QList<qint64> completions; // host times of rebalanceCompleted
    QMutex resendMutex;
    QHash<int, int> scriptedResends;
    int numberCount = 0;
    quint64 rebalances = 0;
    quint64 renewals = 0;
    bool storm = false;
    bool draining = false;
    int sessions = 0;
};

bool ClientHandler::handleRequestError(qint64 id, const RequestError&)
{
    run->ended(slot, id);
    const std::optional<Action::Mutation> mutation = std::exchange(pending, std::nullopt);
    if (!mutation)
        return takes;
    switch (*mutation) {
    case Action::DeleteClient:
        run->destroyClient(slot);
        return false; // the walk stops anyway: the context's handlers must not see it
    case Action::EditChain: run->editChain(slot); break;
    case Action::Throw: throw std::runtime_error("a screen's handler failed");
    case Action::DestroyContext: run->closeContext(); return false;
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
        logging::setLogLevel(logging::Trace);
        previousHandler = qInstallMessageHandler(watchMessages);
        quint32 seed = replay.isEmpty() ? QRandomGenerator::system()->generate() : replay.toUInt();
        QElapsedTimer clock;
        clock.start();
        int seeds = 0, actions = 0, requests = 0;
        do {
            {
                const QMutexLocker lock(&logMutex);
                findings.clear();
                logLines.clear();
            }
            QStringList violations;
            {
                SoakRun run(seed);
                run.run();
                violations = run.violations;
                requests += run.sent;
                actions += int(soak::makeSchedule(seed).actions.size());
            }
            const QMutexLocker lock(&logMutex);
            for (const QString& finding : std::as_const(findings))
                violations.append(QStringLiteral("logged: ") + finding);
            if (!violations.isEmpty() || !replay.isEmpty()) {
                qInstallMessageHandler(previousHandler);
                for (const QString& line : logLines)
                    qInfo().noquote() << line;
            }
            if (!violations.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1 (replay with TQ_SOAK_SEED=%1):\n  %2")
                                     .arg(seed)
                                     .arg(violations.join(QStringLiteral("\n  ")))));
            ++seeds;
            ++seed;
        } while (replay.isEmpty() && clock.elapsed() < seconds * 1000);
        qInstallMessageHandler(previousHandler);
        qInfo("soak: %d seeds, %d host actions, %d requests in %lld s", seeds, actions, requests, clock.elapsed() / 1000);
    }
};

QTEST_GUILESS_MAIN(TestEngineSoak)
#include "tst_enginesoak.moc"
