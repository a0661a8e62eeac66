#include "engine/backendmanager_parts_p.h"

#include "transport/abstractbackend_p.h"
#include "transport/configwrapper.h"

#include <array>

namespace tq {

namespace {

// Overflow victims, least valuable first. The platform API comes last; discovery, payments,
// party games, measurement and general requests are never evicted.
constexpr std::array<MethodType, 24> evictionOrder{
    MethodType::SytApi, MethodType::SytStatus, MethodType::TqAnalytics, MethodType::AdBannerAudit,
    MethodType::GetShopAdAudit, MethodType::GetShopAudit, MethodType::AdStreamAudit, MethodType::ThumbnailsImage,
    MethodType::ThumbnailsApi, MethodType::TqImage, MethodType::StaticDataImage, MethodType::RdmApi,
    MethodType::ReleaseNotesHtml, MethodType::ReleaseNotesImage, MethodType::Scte35Nsc, MethodType::Scte35PostMedia,
    MethodType::Scte35NscAudit, MethodType::Scte35PostMediaAudit, MethodType::GetShopTextPlain, MethodType::GetShopApi,
    MethodType::GetShopAdApi, MethodType::AdStreamApi, MethodType::StaticDataApi, MethodType::TqApi};

} // namespace

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
        post(event.sender, failure(event.requestId, error));
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
                     [this, worker](qint64, const QVariant& response) { q->processResponseReceived(worker, response); });
    QObject::connect(worker, &HttpRequestWorker::requestFailureInspectionRequired, q,
                     [this, worker](qint64 requestId, const RequestError& error) {
                         q->inspectFailure(worker, requestId, error);
                     });
    {
        const ClientLock lock(context->clientsStorage(), event->sender);
        if (!lock) {
            delete worker; // nothing was sent and nothing runs in it
            return;
        }
        worker->setSenderName(event->senderName);
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
    post(event.sender, answer(event.requestId, response));
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
            endAtClient(entry.sender, failure(entry.requestId, error));
            releaseAt(queue.begin() + i);
        }
    }
}

} // namespace tq
