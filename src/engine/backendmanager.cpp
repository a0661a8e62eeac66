#include "engine/backendmanager.h"

#include "engine/clientfacade.h"
#include "engine/clock.h"
#include "engine/clientsstorage.h"
#include "engine/deferredqueue.h"
#include "engine/notifier.h"
#include "engine/requestlistener.h"
#include "transport/responsecache.h"
#include "engine/trafficrecorder_p.h"
#include "engine/tqcontext.h"
#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "transport/abstractbackend.h"
#include "transport/configwrapper.h"
#include "transport/httprequestworker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QThread>

#include <array>

namespace tq {
namespace {

enum class EntryState { New = 0, Sent = 1, Blocked = 2, Deferred = 3, Finished = 4, Reading = 5 };

struct QueueEntry
{
    HttpRequestWorker* worker = nullptr; // owned; released with deleteLater
    qint64 requestId = -1;
    RequestTokenRef requestToken;
    ClientRef sender; // only touched while registered in the clients storage
    MethodType methodType = MethodType::TqApi;
    EntryState state = EntryState::New;
    int priority = QNetworkRequest::NormalPriority;
    bool useProxy = false;
    bool interrupted = false;
    bool deferrable = true;
    bool awaitsConnection = false; // Blocked until a connection to its proxied host is free
    bool broken = false;           // sending it threw: it fails on the next pass of the event loop
    // For the request listener only (0: not measured).
    qint64 queuedNs = 0;
    qint64 firstSentNs = 0;
    qint64 sentNs = 0;
};

bool sameHost(const QUrl& a, const QUrl& b)
{
    return a.port() == b.port() && a.host() == b.host();
}

// Overflow victims, least valuable first. The platform API comes last; discovery, payments,
// party games, measurement and general requests are never evicted.
constexpr std::array<MethodType, 24> evictionOrder{
    MethodType::SytApi, MethodType::SytStatus, MethodType::TqAnalytics, MethodType::AdBannerAudit,
    MethodType::GetShopAdAudit, MethodType::GetShopAudit, MethodType::AdStreamAudit, MethodType::ThumbnailsImage,
    MethodType::ThumbnailsApi, MethodType::TqImage, MethodType::StaticDataImage, MethodType::RdmApi,
    MethodType::ReleaseNotesHtml, MethodType::ReleaseNotesImage, MethodType::Scte35Nsc, MethodType::Scte35PostMedia,
    MethodType::Scte35NscAudit, MethodType::Scte35PostMediaAudit, MethodType::GetShopTextPlain, MethodType::GetShopApi,
    MethodType::GetShopAdApi, MethodType::AdStreamApi, MethodType::StaticDataApi, MethodType::TqApi};

constexpr int RepliesPerBatch = 4;

// A server's delay is waited for within these bounds: "0" (or less) would make a loop at the
// network's pace, and a delay of years (a date read against a wrong clock, or a huge number)
// would hold the request for ever and overflow the deadline.
constexpr qint64 MinRetryAfterSeconds = 1;
constexpr qint64 MaxRetryAfterSeconds = 3600;

qint64 deferralMs(qint64 retryAfterSeconds)
{
    return std::clamp(retryAfterSeconds, MinRetryAfterSeconds, MaxRetryAfterSeconds) * 1000;
}

// A failure the dispatcher decides without an HTTP answer.
RequestError invalidRequestError(const RequestRawData& raw, const QString& message)
{
    RequestError error;
    error.reason = RequestError::InvalidRequest;
    error.methodType = raw.methodType;
    error.httpMethod = raw.httpMethod;
    error.path = raw.path;
    error.description = message;
    return error;
}

} // namespace

class BackendManagerPrivate
{
public:
    BackendManagerPrivate(BackendManager* q, TqContext* context) : q(q), context(context) {}

    QString name() const { return q->objectName(); }
    // The per-request notifications cost a wake-up of the host thread each; skip them when
    // the host does not listen.
    template<class Signal>
    bool notifierListens(Signal signal) const
    {
        return context->notifier()->hasListeners(signal);
    }
    stbconfig::ConfigurationManager* store() const { return context->configurationManager(); }

    QList<QueueEntry>::iterator find(const HttpRequestWorker* worker);
    void insert(const QueueEntry& entry);
    void send(QueueEntry& entry);
    // Releases the entry's worker and removes the entry; returns the entry after it.
    QList<QueueEntry>::iterator releaseAt(QList<QueueEntry>::iterator it);
    void failBrokenEntries();
    void discard(const ClientRef& sender, qint64 requestId);
    void refuse(const RequestRawData& raw, const SendRequestEvent& event, const QString& message);
    void dispatch(SendRequestEvent* event);
    // True when the request was answered from the cache (or its client has gone).
    bool restoreFromCache(const SendRequestEvent& event, const RequestRawData& raw, const RequestSettings& settings,
                          const AbstractBackend& backend);
    void evictOverflow();
    void readReplyBatch();
    void holdBackRunningRequests();
    void sendBlockedEntries();
    bool proxiedHostBusy(const QueueEntry& entry) const;
    void sendConnectionWaiters(const QUrl& freedHost);
    // Calls f on every entry in queue order. Sending can finish and remove entries at once,
    // so the walk goes over a snapshot of the workers and finds each entry again.
    template<class F>
    void forEachEntry(F f)
    {
        QList<HttpRequestWorker*> workers;
        for (const QueueEntry& entry : queue)
            workers.append(entry.worker);
        for (HttpRequestWorker* worker : workers) {
            const auto it = find(worker);
            if (it != queue.end())
                f(*it);
        }
    }
    // The only place the network managers are (re)made. Replies belong to their manager and
    // die with it without ever finishing, so whatever still runs is held back first.
    void replaceNetworkManagers();
    void applyConfiguredProxy();
    void setProxy(const QNetworkProxy& proxy);

    // The listener's view (and the recorder's timings); nothing is measured or built while
    // neither is set.
    qint64 now() const { return clock.nsecsElapsed(); }
    bool measures() const { return listener || recorder; }
    RequestEvent eventOf(RequestEvent::Kind kind, const QueueEntry& entry) const
    {
        RequestEvent event;
        event.kind = kind;
        event.requestId = entry.requestId;
        event.methodType = entry.methodType;
        event.priority = entry.priority;
        if (entry.queuedNs && entry.firstSentNs)
            event.queueWaitNs = entry.firstSentNs - entry.queuedNs;
        return event;
    }
    template<class Fill>
    void tell(RequestEvent::Kind kind, const QueueEntry& entry, Fill fill)
    {
        if (Q_LIKELY(!listener))
            return;
        RequestEvent event = eventOf(kind, entry);
        fill(event);
        deliver(event);
    }
    void tell(RequestEvent::Kind kind, const QueueEntry& entry)
    {
        tell(kind, entry, [](RequestEvent&) {});
    }
    // An answer or a failure: what the worker saw of the exchange.
    void fillEnd(RequestEvent& event, const QueueEntry& entry, RequestError::Reason reason) const
    {
        const HttpRequestWorker::ExchangeFacts facts = entry.worker->exchangeFacts();
        event.httpStatus = facts.httpStatus;
        event.bytes = facts.bytes;
        event.decodeNs = facts.decodeNs;
        event.reason = reason;
        if (entry.sentNs)
            event.exchangeNs = now() - entry.sentNs;
    }
    void tellEnd(RequestEvent::Kind kind, const QueueEntry& entry, RequestError::Reason reason)
    {
        tell(kind, entry, [this, &entry, reason](RequestEvent& event) { fillEnd(event, entry, reason); });
    }
    // Every reply a worker handled is an exchange for the recorder, whatever becomes of the
    // request next (answered, deferred, held for a recovery, failed).
    void record(const QueueEntry& entry, const RequestError* failure)
    {
        if (Q_LIKELY(!recorder))
            return;
        RequestEvent event = eventOf(failure ? RequestEvent::Failed : RequestEvent::Answered, entry);
        fillEnd(event, entry, failure ? failure->reason : RequestError::Unknown);
        if (entry.sentNs != entry.firstSentNs)
            event.queueWaitNs = 0; // a later exchange: the queue's wait came before the first
        try {
            recorder->record(*entry.worker, event, failure && !failure->httpStatusCode ? failure->description : QString());
        } catch (...) {
            TQ_LOG(logging::Warning, name()) << QStringLiteral("request(%1) could not be recorded").arg(entry.requestId);
        }
    }
    void deliver(const RequestEvent& event) const;

    BackendManager* q;
    TqContext* context;
    std::unique_ptr<QNetworkAccessManager> mainNetworkManager;
    std::unique_ptr<QNetworkAccessManager> proxyNetworkManager;
    QHash<MethodType, AbstractBackend*> backends;
    QList<QueueEntry> queue;
    std::unique_ptr<ResponseCache> responseCache;
    DeferredQueue deferredQueue;
    QSize imagesSizeLimit{-1, -1};
    bool sessionBlocked = false;
    bool recoveryAllowed = true;
    bool networkActivityPaused = false;
    bool replyBatchPosted = false;
    bool proxyActive = false;
    ITqRequestListener* listener = nullptr;
    TrafficRecorder* recorder = nullptr;
    NetworkAccessManagerFactory managerFactory;
    QElapsedTimer clock;

    // The host asks for the current proxy from its own thread; this copy is all it reads.
    mutable QMutex proxyMutex;
    QNetworkProxy proxySnapshot;
};

QList<QueueEntry>::iterator BackendManagerPrivate::find(const HttpRequestWorker* worker)
{
    return std::find_if(queue.begin(), queue.end(), [worker](const QueueEntry& e) { return e.worker == worker; });
}

void BackendManagerPrivate::insert(const QueueEntry& entry)
{
    // After every entry of the same or a more urgent priority: equal priorities keep arrival order.
    auto it = std::find_if(queue.begin(), queue.end(),
                           [&entry](const QueueEntry& e) { return e.priority > entry.priority; });
    queue.insert(it, entry);
}

void BackendManagerPrivate::send(QueueEntry& entry)
{
    if (networkActivityPaused || (sessionBlocked && entry.methodType != MethodType::TqDiscover)) {
        if (entry.state != EntryState::Blocked)
            tell(RequestEvent::Held, entry);
        entry.state = EntryState::Blocked;
        TQ_LOG(logging::Trace, name()) << QStringLiteral("request(%1) sending was blocked").arg(entry.requestId);
        return;
    }
    try {
        // Going out again: the session may have been renewed while it waited; the address stays.
        if (entry.state != EntryState::New) {
            if (AbstractBackend* backend = backends.value(entry.methodType))
                backend->prepareResend(entry.worker, store(), context->propertyProvider(), AbstractBackend::Resend::Again);
        }
        entry.awaitsConnection = proxiedHostBusy(entry);
        if (entry.awaitsConnection) {
            if (entry.state != EntryState::Blocked)
                tell(RequestEvent::Held, entry);
            entry.state = EntryState::Blocked;
            return;
        }
        entry.state = EntryState::Sent;
        if (measures()) {
            const bool first = entry.firstSentNs == 0;
            entry.sentNs = now();
            if (first)
                entry.firstSentNs = entry.sentNs;
            tell(first ? RequestEvent::Sent : RequestEvent::Resent, entry,
                 [&entry](RequestEvent& event) { event.host = entry.worker->networkRequest().url().host(); });
        }
        entry.worker->execute(entry.useProxy ? proxyNetworkManager.get() : mainNetworkManager.get(),
                              entry.requestToken);
    } catch (...) {
        // The host's property provider runs here, and memory may run out: the request ends,
        // the engine goes on. Callers walk the queue, so the entry leaves it a moment later.
        TQ_LOG(logging::Fault, name()) << QStringLiteral("request(%1) sending caused an exception").arg(entry.requestId);
        entry.worker->cancel();
        entry.state = EntryState::Blocked;
        entry.awaitsConnection = false;
        entry.broken = true;
        QMetaObject::invokeMethod(q, [this] { failBrokenEntries(); }, Qt::QueuedConnection);
    }
}

void BackendManagerPrivate::failBrokenEntries()
{
    for (auto it = queue.begin(); it != queue.end();) {
        if (!it->broken) {
            ++it;
            continue;
        }
        RequestError error = invalidRequestError(it->worker->rawData(), QStringLiteral("sending the request caused an exception"));
        error.senderName = it->worker->senderName();
        tell(RequestEvent::Failed, *it, [](RequestEvent& e) { e.reason = RequestError::InvalidRequest; });
        Q_EMIT it->worker->requestFailed(it->requestId, error);
        it = releaseAt(it);
    }
}

// Tells the client that a request ended without a report, so that it forgets the request.
void BackendManagerPrivate::discard(const ClientRef& sender, qint64 requestId)
{
    const ClientLock lock(context->clientsStorage(), sender);
    if (lock)
        QMetaObject::invokeMethod(const_cast<QObject*>(sender.client), "processRequestDiscarded", Qt::QueuedConnection,
                                  Q_ARG(qint64, requestId));
}

void BackendManagerPrivate::deliver(const RequestEvent& event) const
{
    // The host's code on our thread: whatever it throws stays here.
    try {
        listener->requestEvent(event);
    } catch (...) {
        TQ_LOG(logging::Warning, name()) << QStringLiteral("request(%1) listener threw an exception").arg(event.requestId);
    }
}

// Qt 6.4 cannot limit a proxied host's connections per request, so the queue does it: an
// exchange beyond the configured count waits for one of that host's exchanges to finish.
bool BackendManagerPrivate::proxiedHostBusy(const QueueEntry& entry) const
{
    if (!entry.useProxy || !proxyActive)
        return false;
    const QUrl host = entry.worker->networkRequest().url();
    const auto running = std::count_if(queue.cbegin(), queue.cend(), [&host](const QueueEntry& e) {
        return e.state == EntryState::Sent && e.useProxy && sameHost(e.worker->networkRequest().url(), host);
    });
    return running >= TqConfigWrapper(store()).numberOfConnectionsWithProxy();
}

void BackendManagerPrivate::sendConnectionWaiters(const QUrl& freedHost)
{
    const auto waits = [&freedHost](const QueueEntry& e) {
        return e.awaitsConnection && e.state == EntryState::Blocked
               && (freedHost.isEmpty() || sameHost(e.worker->networkRequest().url(), freedHost));
    };
    if (std::none_of(queue.cbegin(), queue.cend(), waits))
        return;
    forEachEntry([this, &waits](QueueEntry& entry) {
        if (waits(entry))
            send(entry);
    });
}

QList<QueueEntry>::iterator BackendManagerPrivate::releaseAt(QList<QueueEntry>::iterator it)
{
    const bool freesConnection = it->state == EntryState::Sent && it->useProxy;
    const QUrl host = it->worker->networkRequest().url();
    deferredQueue.remove(it->worker);
    it->worker->deleteLater();
    const qsizetype index = it - queue.begin();
    queue.erase(it);
    if (freesConnection)
        sendConnectionWaiters(host); // sending never adds or removes entries
    return queue.begin() + index;
}

void BackendManagerPrivate::refuse(const RequestRawData& raw, const SendRequestEvent& event, const QString& message)
{
    RequestError error = invalidRequestError(raw, message);
    QueueEntry none;
    none.requestId = event.requestId;
    none.methodType = raw.methodType;
    tell(RequestEvent::Failed, none, [](RequestEvent& e) { e.reason = RequestError::InvalidRequest; });
    const ClientLock lock(context->clientsStorage(), event.sender);
    if (lock)
        error.senderName = event.senderName;
    TQ_LOG(logging::Warning, name()) << error.fullInfo();
    if (lock)
        QMetaObject::invokeMethod(const_cast<QObject*>(event.sender.client), "processRequestError",
                                  Qt::QueuedConnection, Q_ARG(qint64, event.requestId), Q_ARG(tq::RequestError, error));
}

void BackendManagerPrivate::dispatch(SendRequestEvent* event)
{
    if (!event->creator) {
        TQ_LOG(logging::Fault, name()) << "unexpected call" << "sendRequest" << "with null dataFunc";
        discard(event->sender, event->requestId);
        return;
    }
    if (queue.size() > BackendManager::QueueLimit) {
        TQ_LOG(logging::Warning, name()) << "network request queue exceeded its limits, queue size:" << queue.size()
                                         << ", limit:" << BackendManager::QueueLimit;
        evictOverflow();
    }
    if (event->token.isNull())
        return; // dropped before it got here

    // The request's creator and the host's property provider run here: what they throw
    // refuses this request and goes no further.
    RequestRawData raw;
    try {
        raw = event->creator();
    } catch (...) {
        refuse(raw, *event, QStringLiteral("creating the request caused an exception"));
        return;
    }
    if (!raw.isValid) {
        refuse(raw, *event, QStringLiteral("network request is not valid, request won't be executed"));
        return;
    }
    AbstractBackend* backend = backends.value(raw.methodType);
    if (!backend) {
        refuse(raw, *event,
               QStringLiteral("the backend for the request is null, the request won't be executed"));
        return;
    }
    RequestSettings settings;
    try {
        settings = backend->composeRequest(raw, store(), context->propertyProvider());
    } catch (...) {
        refuse(raw, *event, QStringLiteral("composing the request caused an exception"));
        return;
    }
    if (!settings.methodPath.isEmpty() && notifierListens(&TqNotifier::tqMethodRequested))
        Q_EMIT q->tqMethodRequested(raw.methodSpecialization, settings.methodPath);

    if (!settings.cacheKey.isEmpty() && restoreFromCache(*event, raw, settings, *backend))
        return;
    if (settings.urls.isEmpty()) {
        refuse(raw, *event, QStringLiteral("url is empty, the request won't be executed"));
        return;
    }

    WorkerEnvironment environment;
    environment.store = store();
    environment.responseCache = raw.isCacheable ? responseCache.get() : nullptr;
    environment.imagesSizeLimit = imagesSizeLimit;
    environment.proxyActive = proxyActive;
    HttpRequestWorker* worker = nullptr;
    try {
        worker = createHttpRequestWorker(raw, settings, backend, environment);
    } catch (...) {
        refuse(raw, *event, QStringLiteral("creating the request's worker caused an exception"));
        return;
    }
    worker->setMeasured(measures());
    worker->setRecorded(recorder != nullptr);

    QObject::connect(worker, &HttpRequestWorker::finished, q, [this, worker] { q->processWorkerFinished(worker); });
    QObject::connect(worker, &HttpRequestWorker::resendRequired, q,
                     [this, worker] { q->processWorkerResendRequired(worker); });
    QObject::connect(worker, &HttpRequestWorker::responseReceived, q,
                     [this, worker] { q->processResponseReceived(worker); });
    QObject::connect(worker, &HttpRequestWorker::requestFailureInspectionRequired, q,
                     [this, worker](qint64 requestId, const RequestError& error) {
                         q->inspectFailure(worker, requestId, error);
                     });
    {
        const ClientLock lock(context->clientsStorage(), event->sender);
        if (!lock) {
            worker->deleteLater();
            return;
        }
        auto* facade = static_cast<TqClientFacade*>(const_cast<QObject*>(event->sender.client));
        worker->setSenderName(event->senderName);
        QObject::connect(worker, &HttpRequestWorker::responseReceived, facade, &TqClientFacade::processDataReceived,
                         Qt::QueuedConnection);
        QObject::connect(worker, &HttpRequestWorker::requestFailed, facade, &TqClientFacade::processRequestError,
                         Qt::QueuedConnection);
    }

    QueueEntry entry;
    entry.worker = worker;
    entry.requestId = event->requestId;
    entry.requestToken = event->token;
    entry.sender = event->sender;
    entry.methodType = raw.methodType;
    entry.priority = settings.priority;
    entry.useProxy = settings.useProxy;
    entry.deferrable = raw.isDeferrable;
    if (measures())
        entry.queuedNs = now();
    insert(entry);
    tell(RequestEvent::Queued, entry);
    send(*find(worker));
}

bool BackendManagerPrivate::restoreFromCache(const SendRequestEvent& event, const RequestRawData& raw,
                                             const RequestSettings& settings, const AbstractBackend& backend)
{
    responseCache->setLimit(TqConfigWrapper(store()).responseCacheLimit()); // the host may change it any time
    if (!responseCache->contains(settings.cacheKey))
        return false;
    QVariant response;
    try {
        response = backend.responseFromCache(raw, responseCache->value(settings.cacheKey));
    } catch (...) {
        // A decode that ran out of memory: the network has the same answer.
        TQ_LOG(logging::Warning, name()) << QStringLiteral("request(%1) could not be restored from cache").arg(event.requestId);
        return false;
    }
    const ClientLock lock(context->clientsStorage(), event.sender);
    if (!lock)
        return true;
    QueueEntry cached;
    cached.requestId = event.requestId;
    cached.methodType = raw.methodType;
    cached.priority = settings.priority;
    tell(RequestEvent::Answered, cached, [](RequestEvent& e) { e.fromCache = true; });
    if (!isImageMethod(raw.methodType) || stbconfig::LogsConfigWrapper(store()).imageRequestsEnabled()) {
        TQ_LOG(logging::Trace, name()) << QStringLiteral("request(%1) restored from cache: %2 %3")
                                              .arg(event.requestId)
                                              .arg(raw.httpMethod, settings.urls.value(0));
    }
    QMetaObject::invokeMethod(const_cast<QObject*>(event.sender.client), "processDataReceived", Qt::QueuedConnection,
                              Q_ARG(qint64, event.requestId), Q_ARG(QVariant, response));
    return true;
}

void BackendManagerPrivate::evictOverflow()
{
    for (MethodType type : evictionOrder) {
        for (int i = int(queue.size()) - 1; i >= 0; --i) {
            if (queue.size() < BackendManager::QueueLimit)
                return;
            QueueEntry& entry = queue[i];
            if (entry.methodType != type || entry.state != EntryState::Blocked)
                continue;
            if (entry.requestToken.isNull()) {
                // Dropped by its client, whose drop has not arrived yet: nobody is told.
                tell(RequestEvent::Dropped, entry);
                releaseAt(queue.begin() + i);
                continue;
            }
            const RequestError error =
                invalidRequestError(entry.worker->rawData(), QStringLiteral("exceeding the request limit"));
            TQ_LOG(logging::Warning, name()) << QStringLiteral("request(%1) evicted:").arg(entry.requestId)
                                             << error.fullInfo();
            tell(RequestEvent::Evicted, entry, [](RequestEvent& e) { e.reason = RequestError::InvalidRequest; });
            Q_EMIT entry.worker->requestFailed(entry.requestId, error);
            releaseAt(queue.begin() + i);
        }
    }
}

void BackendManagerPrivate::readReplyBatch()
{
    replyBatchPosted = false;
    int read = 0;
    QList<HttpRequestWorker*> batch;
    for (QueueEntry& entry : queue) {
        if (entry.state != EntryState::Finished)
            continue;
        if (read == RepliesPerBatch) {
            replyBatchPosted = true;
            QCoreApplication::postEvent(q, new QEvent(QEvent::Type(ReplyBatchEventType)));
            break;
        }
        entry.state = EntryState::Reading;
        batch.append(entry.worker);
        ++read;
    }
    // Reading a reply can remove entries or hold the rest back (a recovery), so the batch is
    // collected first and each is read only while it is still due.
    for (HttpRequestWorker* worker : batch) {
        const auto it = find(worker);
        if (it != queue.end() && it->state == EntryState::Reading)
            worker->handleReply();
    }
}

void BackendManagerPrivate::holdBackRunningRequests()
{
    for (QueueEntry& entry : queue) {
        if (entry.state != EntryState::Sent && entry.state != EntryState::Finished && entry.state != EntryState::Reading)
            continue;
        entry.worker->cancel();
        entry.state = EntryState::Blocked;
        entry.interrupted = true;
        TQ_LOG(logging::Notice, name()) << QStringLiteral("request(%1) is pending").arg(entry.requestId);
        tell(RequestEvent::Held, entry);
    }
}

void BackendManagerPrivate::sendBlockedEntries()
{
    forEachEntry([this](QueueEntry& entry) {
        if (entry.state == EntryState::Blocked)
            send(entry);
    });
}

void BackendManagerPrivate::replaceNetworkManagers()
{
    holdBackRunningRequests();
    const auto make = [this] {
        return std::unique_ptr<QNetworkAccessManager>(managerFactory ? managerFactory() : new QNetworkAccessManager);
    };
    mainNetworkManager = make();
    proxyNetworkManager = make();
    if (proxyActive)
        applyConfiguredProxy();
    else
        setProxy(QNetworkProxy());
}

void BackendManagerPrivate::setProxy(const QNetworkProxy& proxy)
{
    proxyNetworkManager->setProxy(proxy);
    const QMutexLocker lock(&proxyMutex);
    proxySnapshot = proxy;
}

void BackendManagerPrivate::applyConfiguredProxy()
{
    const QUrl url(TqConfigWrapper(store()).proxyUrl());
    setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, url.host(QUrl::FullyDecoded), quint16(url.port(-1))));
    Q_EMIT q->proxySettingCompleted();
}

// ---- BackendManager ----

BackendManager::BackendManager(TqContext* context, QObject* parent)
    : QObject(parent), d(std::make_unique<BackendManagerPrivate>(this, context))
{
    setObjectName(QStringLiteral("BackendManager"));
    d->clock.start();
    d->replaceNetworkManagers();
    d->responseCache = std::make_unique<ResponseCache>(TqConfigWrapper(context->configurationManager()).responseCacheLimit());
    connect(&d->deferredQueue, &DeferredQueue::executeWorkerRequired, this, &BackendManager::executeDeferredWorker);

    TqNotifier* n = context->notifier();
    connect(n, &TqNotifier::removeProxyRequired, this, &BackendManager::removeProxy);
    connect(n, &TqNotifier::proxyChangeRequired, this, &BackendManager::applyProxy);
    connect(n, &TqNotifier::rebalanceRequested, this, &BackendManager::handleRebalanceRequired);
    connect(n, &TqNotifier::rebalanceCompleted, this, &BackendManager::processRebalanceCompleted);
    connect(n, &TqNotifier::rebalanceFailed, this, &BackendManager::processRebalanceFailed);
    connect(n, &TqNotifier::pauseNetworkActivityRequired, this, &BackendManager::pauseNetworkActivity);
    connect(n, &TqNotifier::resumeNetworkActivityRequired, this, &BackendManager::resumeNetworkActivity);
    connect(n, &TqNotifier::imagesSizeLimitChanged, this, &BackendManager::setImagesSizeLimit);
    connect(this, &BackendManager::proxySettingCompleted, n, &TqNotifier::proxySettingCompleted);
    connect(this, &BackendManager::networkActivityPaused, n, &TqNotifier::networkActivityPaused);
    connect(this, &BackendManager::networkActivityResumed, n, &TqNotifier::networkActivityResumed);
    connect(this, &BackendManager::rebalanceRequired, n, &TqNotifier::rebalanceRequired);
    connect(this, &BackendManager::updateSessionTokenRequired, n, &TqNotifier::updateSessionTokenRequired);
    connect(this, &BackendManager::tqMethodRequested, n, &TqNotifier::tqMethodRequested);
    connect(this, &BackendManager::tqResponseReceived, n, &TqNotifier::tqResponseReceived);
    connect(this, &BackendManager::networkErrorOccurred, n, &TqNotifier::networkErrorOccurred);
}

BackendManager::~BackendManager()
{
    // Workers go before the network managers their replies belong to.
    for (QueueEntry& entry : d->queue) {
        entry.worker->cancel();
        delete entry.worker;
    }
    d->queue.clear();
    d->deferredQueue.clear();
}

void BackendManager::setBackends(const QHash<MethodType, AbstractBackend*>& backends)
{
    d->backends = backends;
}

PendingRequestCounts BackendManager::pendingRequests() const
{
    PendingRequestCounts counts;
    const auto count = [this, &counts] { counts = {int(d->queue.size()), d->deferredQueue.size()}; };
    if (QThread::currentThread() == thread())
        count();
    else
        QMetaObject::invokeMethod(const_cast<BackendManager*>(this), count, Qt::BlockingQueuedConnection);
    return counts;
}

void BackendManager::setNetworkAccessManagerFactory(NetworkAccessManagerFactory factory)
{
    const auto set = [this, &factory] {
        d->managerFactory = std::move(factory);
        d->replaceNetworkManagers();
    };
    if (QThread::currentThread() == thread())
        set();
    else
        QMetaObject::invokeMethod(this, set, Qt::BlockingQueuedConnection);
}

void BackendManager::setTrafficRecorder(TrafficRecorder* recorder)
{
    const auto set = [this, recorder] { d->recorder = recorder; };
    if (QThread::currentThread() == thread())
        set();
    else
        QMetaObject::invokeMethod(this, set, Qt::BlockingQueuedConnection);
}

void BackendManager::setClock(Clock* clock)
{
    const auto set = [this, clock] { d->deferredQueue.setClock(clock); };
    if (QThread::currentThread() == thread())
        set();
    else
        QMetaObject::invokeMethod(this, set, Qt::BlockingQueuedConnection);
}

void BackendManager::setRequestListener(ITqRequestListener* listener)
{
    const auto set = [this, listener] { d->listener = listener; };
    if (QThread::currentThread() == thread())
        set();
    else
        QMetaObject::invokeMethod(this, set, Qt::BlockingQueuedConnection);
}

QNetworkProxy BackendManager::currentProxy() const
{
    const QMutexLocker lock(&d->proxyMutex);
    return d->proxySnapshot;
}

void BackendManager::customEvent(QEvent* event)
{
    switch (int(event->type())) {
    case SendRequestEventType:
        d->dispatch(static_cast<SendRequestEvent*>(event));
        break;
    case DropRequestEventType:
        dropRequests(static_cast<DropRequestEvent*>(event)->requestIds);
        break;
    case ReplyBatchEventType:
        d->readReplyBatch();
        break;
    default:
        QObject::customEvent(event);
    }
}

void BackendManager::dropRequests(const QList<qint64>& requestIds)
{
    for (auto it = d->queue.begin(); it != d->queue.end();) {
        if (requestIds.contains(it->requestId)) {
            d->tell(RequestEvent::Dropped, *it);
            it->worker->cancel();
            it = d->releaseAt(it);
        } else {
            ++it;
        }
    }
}

void BackendManager::processWorkerFinished(HttpRequestWorker* worker)
{
    auto it = d->find(worker);
    if (it == d->queue.end())
        return;
    it->state = EntryState::Finished;
    if (it->useProxy) {
        const qsizetype index = it - d->queue.begin();
        d->sendConnectionWaiters(worker->networkRequest().url());
        it = d->queue.begin() + index; // sending never adds or removes entries
    }
    // Platform answers are read at once; the rest a few per pass of the event loop.
    if (it->priority == QNetworkRequest::HighPriority) {
        it->state = EntryState::Reading;
        worker->handleReply();
    } else if (!d->replyBatchPosted) {
        d->replyBatchPosted = true;
        QCoreApplication::postEvent(this, new QEvent(QEvent::Type(ReplyBatchEventType)));
    }
}

void BackendManager::processWorkerResendRequired(HttpRequestWorker* worker)
{
    const auto it = d->find(worker);
    if (it != d->queue.end())
        d->send(*it);
}

void BackendManager::processResponseReceived(HttpRequestWorker* worker)
{
    const auto it = d->find(worker);
    if (it == d->queue.end()) {
        worker->deleteLater();
        return;
    }
    if (it->methodType == MethodType::TqApi)
        d->recoveryAllowed = true;
    if ((it->methodType == MethodType::TqApi || it->methodType == MethodType::TqDiscover)
        && d->notifierListens(&TqNotifier::tqResponseReceived)) {
        Q_EMIT tqResponseReceived();
    }
    d->tellEnd(RequestEvent::Answered, *it, RequestError::Unknown);
    d->record(*it, nullptr);
    d->releaseAt(it);
}

void BackendManager::inspectFailure(HttpRequestWorker* worker, qint64 requestId, const RequestError& error)
{
    TQ_LOG(logging::Notice, objectName()) << QStringLiteral("request(%1) %2 failed with %3")
                                                 .arg(requestId)
                                                 .arg(worker->networkRequest().url().toString(), error.fullInfo());
    Q_EMIT networkErrorOccurred(error);

    const auto it = d->find(worker);
    if (it == d->queue.end()) {
        TQ_LOG(logging::Fault, objectName()) << "unexpected lack of a worker in the list";
        return;
    }
    d->record(*it, &error);
    if (!worker->backend()) {
        TQ_LOG(logging::Fault, objectName()) << "unexpected lack of a backend for a worker";
        return;
    }
    int action = worker->backend()->failureAction(error);
    if (it->interrupted && (action == AbstractBackend::Rebalance || action == AbstractBackend::UpdateSessionToken))
        action = AbstractBackend::HandOn;

    if ((action == AbstractBackend::Rebalance || action == AbstractBackend::UpdateSessionToken) && d->recoveryAllowed) {
        d->deferredQueue.stop();
        d->recoveryAllowed = false;
        if (action == AbstractBackend::Rebalance)
            handleRebalanceRequired();
        else
            handleUpdateSessionTokenRequired();
        return;
    }
    if (action == AbstractBackend::RetryLater && it->deferrable && error.retryAfter) {
        if (it->state == EntryState::Deferred)
            return;
        // Set first: a delay already over sends the request again from inside enqueue().
        it->state = EntryState::Deferred;
        // A full deferred queue cannot keep the request: it fails now rather than wait forever.
        const qint64 delayMs = deferralMs(*error.retryAfter);
        d->tell(RequestEvent::Deferred, *it, [delayMs](RequestEvent& e) { e.delayMs = delayMs; });
        if (d->deferredQueue.enqueue(d->deferredQueue.now() + delayMs, worker)) {
            TQ_LOG(logging::Notice, objectName()) << QStringLiteral("request(%1) is deferred").arg(requestId);
            return;
        }
    }
    d->tellEnd(RequestEvent::Failed, *it, error.reason);
    Q_EMIT worker->requestFailed(requestId, error);
    d->releaseAt(it);
}

void BackendManager::executeDeferredWorker(HttpRequestWorker* worker)
{
    const auto it = d->find(worker);
    if (it != d->queue.end())
        d->send(*it);
}

void BackendManager::handleRebalanceRequired()
{
    d->holdBackRunningRequests();
    if (d->sessionBlocked)
        return;
    d->sessionBlocked = true;
    TQ_LOG(logging::Notice, objectName()) << "rebalance required";
    Q_EMIT rebalanceRequired();
}

void BackendManager::handleUpdateSessionTokenRequired()
{
    d->holdBackRunningRequests();
    TQ_LOG(logging::Notice, objectName()) << "session token update required";
    Q_EMIT updateSessionTokenRequired();
}

void BackendManager::processRebalanceCompleted()
{
    TQ_LOG(logging::Notice, objectName()) << "rebalance completed";
    d->sessionBlocked = false;
    // Every request still queued now belongs to the front end the host moved to.
    for (QueueEntry& entry : d->queue) {
        AbstractBackend* backend = d->backends.value(entry.methodType);
        try {
            if (backend)
                backend->prepareResend(entry.worker, d->store(), d->context->propertyProvider(),
                                       AbstractBackend::Resend::AfterRebalance);
        } catch (...) {
            TQ_LOG(logging::Fault, objectName())
                << QStringLiteral("request(%1) could not be moved to the new front end").arg(entry.requestId);
        }
    }
    d->sendBlockedEntries();
    // The deferred queue was stopped when the recovery began; requests deferred before the
    // storm are due again now, not only after the next deferral or resume.
    if (!d->networkActivityPaused)
        d->deferredQueue.start();
}

void BackendManager::processRebalanceFailed()
{
    // Discarded without a report; the clients only forget them.
    for (QueueEntry& entry : d->queue) {
        d->tell(RequestEvent::Discarded, entry);
        entry.worker->cancel();
        entry.worker->deleteLater();
        d->discard(entry.sender, entry.requestId);
    }
    d->queue.clear();
    d->deferredQueue.clear();
    d->sessionBlocked = false;
}

void BackendManager::pauseNetworkActivity()
{
    d->networkActivityPaused = true;
    d->holdBackRunningRequests();
    d->deferredQueue.stop();
    Q_EMIT networkActivityPaused();
}

void BackendManager::resumeNetworkActivity()
{
    // Connections start afresh after a pause. A resume without one (the host releasing the
    // requests held for a session renewal, or a second resume) keeps the managers: their
    // replies are still running.
    if (d->networkActivityPaused) {
        d->networkActivityPaused = false;
        d->replaceNetworkManagers();
    }
    d->sendBlockedEntries();
    d->deferredQueue.start();
    Q_EMIT networkActivityResumed();
}

void BackendManager::applyProxy()
{
    d->proxyActive = true;
    d->applyConfiguredProxy();
}

void BackendManager::removeProxy()
{
    d->setProxy(QNetworkProxy());
    d->proxyActive = false;
    d->sendConnectionWaiters(QUrl()); // no limit without a proxy
}

void BackendManager::setImagesSizeLimit(const QSize& maxSize)
{
    d->imagesSizeLimit = maxSize;
}

} // namespace tq
