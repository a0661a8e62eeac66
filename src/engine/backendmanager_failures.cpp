#include "engine/backendmanager_parts_p.h"

#include "transport/abstractbackend_p.h"

namespace tq {

namespace {

// A server's delay is waited for within these bounds: "0" (or less) would make a loop at the
// network's pace, and a delay of years (a date read against a wrong clock, or a huge number)
// would hold the request for ever and overflow the deadline.
constexpr qint64 MinRetryAfterSeconds = 1;
constexpr qint64 MaxRetryAfterSeconds = 3600;

qint64 deferralMs(qint64 retryAfterSeconds)
{
    return std::clamp(retryAfterSeconds, MinRetryAfterSeconds, MaxRetryAfterSeconds) * 1000;
}

} // namespace

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
    d->endAtClient(it->sender, d->failure(requestId, error));
    d->releaseAt(it);
}

void BackendManager::executeDeferredWorker(HttpRequestWorker* worker)
{
    const auto it = d->find(worker);
    if (it != d->queue.end())
        d->send(*it);
}

} // namespace tq
