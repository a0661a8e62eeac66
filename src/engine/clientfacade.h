#pragma once
// A client of the library: sends typed requests, delivers their answers as a signal and
// their failures to its chain of error handlers. Lives on the host thread; the host owns it
// and must destroy it before the context.
//
// Lifecycle of one request: sendRequest() returns its id and registers a token for it; the
// answer arrives exactly once as dataReceived(id, response), or the failure goes through the
// error handlers (last appended first; the context's own handlers are reached last) — unless
// the request is dropped first, or discarded by a failed rebalance, after which nothing is
// reported (an answer already on its way when it was dropped is still emitted). A handler or
// a receiver of dataReceived may delete the client, or the context, from inside the call.

#include "tqglobal.h"

#include "engine/clientsstorage.h"
#include "transport/request.h"
#include "transport/requesterror.h"
#include "transport/requesttoken.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QSharedPointer>
#include <QVariant>

#include <memory>

namespace tq {

class TqContext;
class TqClientFacadePrivate;

enum EngineEventType {
    SendRequestEventType = 1000,
    DropRequestEventType = 1001,
    ReplyBatchEventType = 1002,
    RetiredWorkersEventType = 1003,
    RequestEndEventType = 1004,
};

class TQ_EXPORT SendRequestEvent : public QEvent
{
public:
    SendRequestEvent(RequestTokenRef token, qint64 requestId, const ClientRef& sender, const QString& senderName,
                     std::function<RequestRawData()> creator)
        : QEvent(QEvent::Type(SendRequestEventType)), token(std::move(token)), requestId(requestId),
          sender(sender), senderName(senderName), creator(std::move(creator)) {}

    RequestTokenRef token;
    qint64 requestId;
    ClientRef sender; // only touched while registered in the clients storage
    // Taken on the sender's thread: the host may rename its client while the worker reads.
    QString senderName;
    std::function<RequestRawData()> creator;
};

class TQ_EXPORT DropRequestEvent : public QEvent
{
public:
    explicit DropRequestEvent(QList<qint64> ids)
        : QEvent(QEvent::Type(DropRequestEventType)), requestIds(std::move(ids)) {}

    QList<qint64> requestIds;
};

// The end of a request, posted by the worker thread to the client that sent it (while that
// client is registered): one event, however the request ended.
class TQ_EXPORT RequestEndEvent : public QEvent
{
public:
    enum Ending { Answered, Failed, Discarded };

    RequestEndEvent(Ending ending, qint64 requestId)
        : QEvent(QEvent::Type(RequestEndEventType)), ending(ending), requestId(requestId) {}

    Ending ending;
    qint64 requestId;
    QVariant response;  // Answered
    RequestError error; // Failed
};

class TQ_EXPORT TqClientFacade : public QObject
{
    Q_OBJECT
public:
    TqClientFacade(TqContext* context, QObject* dispatcher, QObject* parent = nullptr);
    ~TqClientFacade() override;

    // The request may be destroyed as soon as this returns. A null request is not sent: -1.
    qint64 sendRequest(const AbstractRequest* request);
    void dropRequest(qint64 requestId);
    void dropRequests(const QList<qint64>& requestIds);
    void dropAllRequests();

    void appendErrorHandler(ITqRequestErrorHandler* handler);
    void removeErrorHandler(ITqRequestErrorHandler* handler);
    QList<ITqRequestErrorHandler*> errorHandlers() const;
    // Requests sent and not yet answered, failed, discarded or dropped.
    int activeRequestCount() const;
    // How the worker thread recognises this client.
    ClientRef ref() const;

    Q_INVOKABLE void processDataReceived(qint64 requestId, const QVariant& response);
    Q_INVOKABLE void processRequestError(qint64 requestId, const tq::RequestError& error);
    // The request ended without an answer or an error (a failed rebalance discarded it).
    Q_INVOKABLE void processRequestDiscarded(qint64 requestId);

Q_SIGNALS:
    void dataReceived(qint64 requestId, const QVariant& response);

protected:
    void customEvent(QEvent* event) override;

private:
    std::unique_ptr<TqClientFacadePrivate> d;
};

} // namespace tq
