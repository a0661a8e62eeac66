#include "engine/backendmanager_parts_p.h"

#include "engine/clock.h"
#include "transport/configwrapper.h"

#include <QCoreApplication>
#include <QThread>

#include <utility>

namespace tq {

namespace {

// The dispatcher's state belongs to its thread: a host-thread call runs there and waits.
template<class F>
void onDispatcherThread(const QObject* dispatcher, F f)
{
    if (QThread::currentThread() == dispatcher->thread())
        f();
    else
        QMetaObject::invokeMethod(const_cast<QObject*>(dispatcher), std::move(f), Qt::BlockingQueuedConnection);
}

} // namespace

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

void BackendManagerPrivate::retire(HttpRequestWorker* worker)
{
    if (retired.contains(worker)) // a worker that reports after it was released
        return;
    if (retired.isEmpty())
        QCoreApplication::postEvent(q, new QEvent(QEvent::Type(RetiredWorkersEventType)));
    retired.append(worker);
}

void BackendManagerPrivate::deleteRetired()
{
    // Deleting a worker runs no code of ours that could retire another, but take the list
    // first all the same.
    const QList<HttpRequestWorker*> workers = std::exchange(retired, {});
    qDeleteAll(workers);
}

// Tells the client that a request ended without a report, so that it forgets the request.
void BackendManagerPrivate::discard(const ClientRef& sender, qint64 requestId)
{
    endAtClient(sender, std::make_unique<RequestEndEvent>(RequestEndEvent::Discarded, requestId));
}

void BackendManagerPrivate::endAtClient(const ClientRef& sender, std::unique_ptr<RequestEndEvent> end)
{
    const ClientLock lock(context->clientsStorage(), sender);
    if (lock)
        post(sender, std::move(end));
}

void BackendManagerPrivate::post(const ClientRef& sender, std::unique_ptr<RequestEndEvent> end)
{
    QCoreApplication::postEvent(const_cast<QObject*>(sender.client), end.release());
}

std::unique_ptr<RequestEndEvent> BackendManagerPrivate::answer(qint64 requestId, const QVariant& response)
{
    auto end = std::make_unique<RequestEndEvent>(RequestEndEvent::Answered, requestId);
    end->response = response;
    return end;
}

std::unique_ptr<RequestEndEvent> BackendManagerPrivate::failure(qint64 requestId, const RequestError& error)
{
    auto end = std::make_unique<RequestEndEvent>(RequestEndEvent::Failed, requestId);
    end->error = error;
    return end;
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

QList<QueueEntry>::iterator BackendManagerPrivate::releaseAt(QList<QueueEntry>::iterator it)
{
    const bool freesConnection = it->state == EntryState::Sent && it->useProxy;
    const QUrl host = it->worker->networkRequest().url();
    deferredQueue.remove(it->worker);
    retire(it->worker);
    const qsizetype index = it - queue.begin();
    queue.erase(it);
    if (freesConnection)
        sendConnectionWaiters(host); // sending never adds or removes entries
    return queue.begin() + index;
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
    d->deleteRetired();
}

void BackendManager::setBackends(const QHash<MethodType, AbstractBackend*>& backends)
{
    d->backends = backends;
}

PendingRequestCounts BackendManager::pendingRequests() const
{
    PendingRequestCounts counts;
    onDispatcherThread(this, [this, &counts] { counts = {int(d->queue.size()), d->deferredQueue.size()}; });
    return counts;
}

void BackendManager::setNetworkAccessManagerFactory(NetworkAccessManagerFactory factory)
{
    onDispatcherThread(this, [this, &factory] {
        d->managerFactory = std::move(factory);
        d->replaceNetworkManagers();
    });
}

void BackendManager::setTrafficRecorder(TrafficRecorder* recorder)
{
    onDispatcherThread(this, [this, recorder] { d->recorder = recorder; });
}

void BackendManager::setClock(Clock* clock)
{
    onDispatcherThread(this, [this, clock] { d->deferredQueue.setClock(clock); });
}

void BackendManager::setRequestListener(ITqRequestListener* listener)
{
    onDispatcherThread(this, [this, listener] { d->listener = listener; });
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
    case RetiredWorkersEventType:
        d->deleteRetired();
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

void BackendManager::setImagesSizeLimit(const QSize& maxSize)
{
    d->imagesSizeLimit = maxSize;
}

} // namespace tq
