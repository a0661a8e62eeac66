#pragma once
// The dispatcher: lives on the worker thread, receives requests and drops from the clients
// as posted events, turns each request into an HTTP worker through the request's backend,
// keeps every request in flight in one priority-ordered queue, decides whether it is sent,
// held or deferred, inspects failures, and routes answers back to the sending client.

#include "transport/requesterror.h"
#include "engine/tqcontext.h"

#include <QHash>
#include <QNetworkProxy>
#include <QObject>
#include <QSize>

#include <memory>

namespace tq {

class AbstractBackend;
class BackendManagerPrivate;
class Clock;
class HttpRequestWorker;
class ITqRequestListener;
class TqContext;
class TrafficRecorder;

class BackendManager : public QObject
{
    Q_OBJECT
public:
    static constexpr int QueueLimit = 100;

    explicit BackendManager(TqContext* context, QObject* parent = nullptr);
    ~BackendManager() override;

    void setBackends(const QHash<MethodType, AbstractBackend*>& backends);

    // Safe from any thread: the proxy the proxied requests currently use.
    QNetworkProxy currentProxy() const;
    // Safe from any thread but blocks the caller until the worker thread has counted.
    PendingRequestCounts pendingRequests() const;
    // Safe from any thread; blocks until the worker thread has switched listeners, so the
    // previous one is never called after this returns.
    void setRequestListener(ITqRequestListener* listener);
    // Safe from any thread; blocks until the worker thread records into `recorder` (null: no
    // longer records), so nothing is recorded into the previous one after this returns.
    void setTrafficRecorder(TrafficRecorder* recorder);
    // Safe from any thread; blocks until the worker thread measures its waits on `clock`.
    void setClock(Clock* clock);
    // Safe from any thread; blocks until the worker thread has made new network managers with it.
    void setNetworkAccessManagerFactory(NetworkAccessManagerFactory factory);

Q_SIGNALS:
    void proxySettingCompleted();
    void networkActivityPaused();
    void networkActivityResumed();
    void rebalanceRequired();
    void updateSessionTokenRequired();
    void tqMethodRequested(tq::MethodSpecializaton specialization, const QString& method);
    void tqResponseReceived();
    void networkErrorOccurred(const tq::RequestError& error);

protected:
    void customEvent(QEvent* event) override;

private Q_SLOTS:
    void dropRequests(const QList<qint64>& requestIds);
    void handleRebalanceRequired();
    void handleUpdateSessionTokenRequired();
    void processRebalanceCompleted();
    void processRebalanceFailed();
    void pauseNetworkActivity();
    void resumeNetworkActivity();
    void applyProxy();
    void removeProxy();
    void setImagesSizeLimit(const QSize& maxSize);
    void executeDeferredWorker(tq::HttpRequestWorker* worker);

private:
    // A worker's signals, each connected with its worker bound: QObject::sender() would walk
    // every connection made to the manager, four per request in flight.
    void processWorkerFinished(HttpRequestWorker* worker);
    void processWorkerResendRequired(HttpRequestWorker* worker);
    void processResponseReceived(HttpRequestWorker* worker, const QVariant& response);
    void inspectFailure(HttpRequestWorker* worker, qint64 requestId, const tq::RequestError& error);

    friend class BackendManagerPrivate;
    std::unique_ptr<BackendManagerPrivate> d;
};

} // namespace tq
