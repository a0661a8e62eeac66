#include "engine/backendmanager_parts_p.h"

#include "transport/abstractbackend_p.h"
#include "transport/configwrapper.h"

namespace tq {

namespace {

bool sameHost(const QUrl& a, const QUrl& b)
{
    return a.port() == b.port() && a.host() == b.host();
}

} // namespace

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
        endAtClient(it->sender, failure(it->requestId, error));
        it = releaseAt(it);
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

void BackendManagerPrivate::sendBlockedEntries()
{
    forEachEntry([this](QueueEntry& entry) {
        if (entry.state == EntryState::Blocked)
            send(entry);
    });
}

void BackendManager::processWorkerResendRequired(HttpRequestWorker* worker)
{
    const auto it = d->find(worker);
    if (it != d->queue.end())
        d->send(*it);
}

} // namespace tq
