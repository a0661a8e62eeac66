#include "engine/backendmanager_parts_p.h"

#include "transport/abstractbackend_p.h"

namespace tq {

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
        d->retire(entry.worker);
        d->discard(entry.sender, entry.requestId);
    }
    d->queue.clear();
    d->deferredQueue.clear();
    d->sessionBlocked = false;
}

} // namespace tq
