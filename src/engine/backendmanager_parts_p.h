#pragma once
// The dispatcher's private part, shared by its files:
//   backendmanager.cpp           construction, settings, events, the queue's bookkeeping, drops
//   backendmanager_admission.cpp a request's way into the queue: refusals, cache, overflow
//   backendmanager_send.cpp      sending, holding and the proxied hosts' connection count
//   backendmanager_replies.cpp   finished exchanges, read a few per pass, and answers
//   backendmanager_failures.cpp  what a failure leads to, and deferral
//   backendmanager_recovery.cpp  rebalance and session renewal: holding back, resending, discarding
//   backendmanager_network.cpp   pause and resume, the network managers, the proxy

#include "engine/backendmanager_p.h"

#include "engine/clientfacade.h"
#include "engine/clientsstorage.h"
#include "engine/deferredqueue_p.h"
#include "engine/notifier.h"
#include "engine/requestlistener.h"
#include "transport/responsecache_p.h"
#include "engine/trafficrecorder_p.h"
#include "engine/tqcontext.h"
#include "platform/configurationmanager.h"
#include "platform/logging.h"
#include "transport/httprequestworker_p.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QNetworkAccessManager>

namespace tq {

// A queued entry's life. A request becomes an entry once its worker is made; one refused
// before that (InvalidRequest), without a creator (discarded), answered from the cache,
// dropped before it arrived or whose client has gone never is one.
//
//   New       queued, not yet through send()
//   Sent      its exchange runs
//   Blocked   held: network paused; a rebalance running (all but TqDiscover); its proxied host
//             at the configured connection count (awaitsConnection); held back by a pause, a
//             recovery or new network managers (interrupted, never cleared); sending threw (broken)
//   Deferred  in the deferred queue for the server's Retry-After, clamped to 1 s .. 1 h
//   Finished  its reply is in, waiting for its turn to be read
//   Reading   the worker handles its reply
//
//   event                                                      -> state
//   send(): paused, or rebalance running and not TqDiscover    -> Blocked
//   send(): otherwise prepared again unless New, then:
//     its proxied host busy                                    -> Blocked, awaitsConnection
//     not busy                                                 -> Sent
//     something threw                                          -> Blocked, broken; fails next pass
//   worker finished                                            -> Finished (HighPriority: Reading)
//   reply batch, 4 Finished per pass of the event loop         -> Reading
//   pause, rebalance or session renewal begins, network        Sent/Finished/Reading -> Blocked,
//     managers replaced                                          interrupted
//   resume; rebalance completed (every entry prepared again)   Blocked -> send()
//   proxied exchange to its host ends; proxy removed           Blocked awaitsConnection -> send()
//   worker asks to resend (a connection broke on re-send)      -> send()
//   failure, Rebalance/UpdateSessionToken, recovery allowed    -> that recovery begins and the
//     and entry not interrupted                                  deferred queue stops
//   failure, RetryLater, deferrable, Retry-After given         -> Deferred (already Deferred:
//                                                                the failure is ignored)
//   deferred delay over (while the deferred queue runs)        Deferred -> send()
//
// A recovery is allowed again after the next TqApi answer. A rebalance blocks sending until
// the host reports its end; a session renewal holds only what ran, until the host resumes
// (or a rebalance completes).
// The deferred queue stops with a pause or a recovery begun by a failure, and runs again on
// resume, on rebalance completed (unless paused) and on the next deferral.
//
//   ending                                                 client gets          listener
//   answer                                                 the answer           Answered
//   any other failure (HandOn; recovery not allowed or     the error            Failed
//     interrupted; not deferrable, no Retry-After or
//     deferred queue full)
//   failure of a worker without a backend                  nothing: the entry stays
//   sending threw                                          InvalidRequest       Failed
//   overflow: a new request finds more than QueueLimit;    InvalidRequest       Evicted
//     Blocked entries go by evictionOrder, each type from
//     the back of the queue, until fewer than QueueLimit
//   overflow victim its client had dropped                 nothing              Dropped
//   dropped by its client                                  nothing              Dropped
//   rebalance failed: every entry, deferred queue cleared  processRequestDiscarded  Discarded
//   dispatcher destroyed                                   nothing              nothing

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

// A failure the dispatcher decides without an HTTP answer.
inline RequestError invalidRequestError(const RequestRawData& raw, const QString& message)
{
    RequestError error;
    error.reason = RequestError::InvalidRequest;
    error.methodType = raw.methodType;
    error.httpMethod = raw.httpMethod;
    error.path = raw.path;
    error.description = message;
    return error;
}

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
    // A worker whose request has ended is deleted on a later pass of the event loop (it may
    // be in one of its own calls now), together with the others of that pass: one posted
    // event for them all instead of a deleteLater each.
    void retire(HttpRequestWorker* worker);
    void deleteRetired();
    void failBrokenEntries();
    void discard(const ClientRef& sender, qint64 requestId);
    // The one way an ending reaches a client: a posted event, while the client is registered
    // (it may have gone, and a new one may live at its address). post() wants the lock held.
    void endAtClient(const ClientRef& sender, std::unique_ptr<RequestEndEvent> end);
    static void post(const ClientRef& sender, std::unique_ptr<RequestEndEvent> end);
    static std::unique_ptr<RequestEndEvent> answer(qint64 requestId, const QVariant& response);
    static std::unique_ptr<RequestEndEvent> failure(qint64 requestId, const RequestError& error);
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
    QList<HttpRequestWorker*> retired; // see retire()
    bool proxyActive = false;
    ITqRequestListener* listener = nullptr;
    TrafficRecorder* recorder = nullptr;
    NetworkAccessManagerFactory managerFactory;
    QElapsedTimer clock;

    // The host asks for the current proxy from its own thread; this copy is all it reads.
    mutable QMutex proxyMutex;
    QNetworkProxy proxySnapshot;
};

} // namespace tq
