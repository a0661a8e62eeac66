#include "engine/clientfacade.h"

#include "engine/clientsstorage.h"
#include "engine/tqcontext.h"
#include "engine/tqcontext_p.h"
#include "platform/logging.h"

#include <QCoreApplication>
#include <QHash>

#include <atomic>
#include <climits>

namespace tq {
namespace {
// One counter for the whole library, so ids never collide across clients.
std::atomic<qint64> nextRequestId{0};
// Tells a client from an earlier one that lived at the same address.
std::atomic<quint64> nextClientSerial{1};
} // namespace

class TqClientFacadePrivate
{
public:
    TqContext* context = nullptr;
    Lifetime contextLife;
    std::shared_ptr<const char> life = std::make_shared<const char>();
    quint64 serial = nextClientSerial++;
    QList<ITqRequestErrorHandler*> errorHandlers;
    QHash<qint64, RequestToken> activeRequests;
    QPointer<QObject> dispatcher;
};

TqClientFacade::TqClientFacade(TqContext* context, QObject* dispatcher, QObject* parent)
    : QObject(parent), d(std::make_unique<TqClientFacadePrivate>())
{
    setObjectName(QStringLiteral("TqClientFacade"));
    d->context = context;
    if (context)
        d->contextLife = context->d->life;
    d->dispatcher = dispatcher;
}

TqClientFacade::~TqClientFacade()
{
    dropAllRequests();
    // A host that destroyed the context first leaves nothing to leave.
    if (d->context && !d->contextLife.expired())
        d->context->clientsStorage()->remove(ref());
}

ClientRef TqClientFacade::ref() const
{
    return {this, d->serial};
}

qint64 TqClientFacade::sendRequest(const AbstractRequest* request)
{
    if (!request) {
        TQ_LOG(logging::Fault, objectName()) << "unexpected call" << "sendRequest" << "with null request";
        return -1;
    }
    const qint64 id = nextRequestId++;
    const RequestToken token = RequestToken::create(id);
    d->activeRequests.insert(id, token);
    if (d->dispatcher) {
        QCoreApplication::postEvent(d->dispatcher,
                                    new SendRequestEvent(token, id, ref(), objectName(), request->rawDataCreator()),
                                    Qt::NormalEventPriority);
    }
    return id;
}

void TqClientFacade::dropRequest(qint64 requestId)
{
    dropRequests({requestId});
}

void TqClientFacade::dropRequests(const QList<qint64>& requestIds)
{
    for (qint64 id : requestIds)
        d->activeRequests.remove(id);
    // Drops overtake any send event still waiting in the dispatcher's queue.
    if (d->dispatcher)
        QCoreApplication::postEvent(d->dispatcher, new DropRequestEvent(requestIds), INT_MAX);
}

void TqClientFacade::dropAllRequests()
{
    const QList<qint64> ids = d->activeRequests.keys();
    d->activeRequests.clear();
    if (d->dispatcher && !ids.isEmpty())
        QCoreApplication::postEvent(d->dispatcher, new DropRequestEvent(ids), INT_MAX);
}

void TqClientFacade::appendErrorHandler(ITqRequestErrorHandler* handler)
{
    d->errorHandlers.append(handler);
}

void TqClientFacade::removeErrorHandler(ITqRequestErrorHandler* handler)
{
    d->errorHandlers.removeAll(handler);
}

QList<ITqRequestErrorHandler*> TqClientFacade::errorHandlers() const
{
    return d->errorHandlers;
}

int TqClientFacade::activeRequestCount() const
{
    return int(d->activeRequests.size());
}

void TqClientFacade::processDataReceived(qint64 requestId, const QVariant& response)
{
    d->activeRequests.remove(requestId);
    try {
        Q_EMIT dataReceived(requestId, response);
    } catch (...) {
        // The host's code on the event loop: whatever it throws stays here.
        TQ_LOG(logging::Warning, objectName())
            << QStringLiteral("request(%1) receiver of the answer threw an exception").arg(requestId);
    }
}

void TqClientFacade::processRequestError(qint64 requestId, const RequestError& error)
{
    d->activeRequests.remove(requestId);
    // A handler may delete this client (a screen closing on an error), or the context with it:
    // the walk stops with whichever goes first. The context's own handler leads to its chain.
    const Lifetime self = d->life;
    runErrorHandlerChain(d->errorHandlers, requestId, error, {self, d->contextLife});
}

void TqClientFacade::processRequestDiscarded(qint64 requestId)
{
    d->activeRequests.remove(requestId);
}

void TqClientFacade::customEvent(QEvent* event)
{
    if (event->type() != QEvent::Type(RequestEndEventType)) {
        QObject::customEvent(event);
        return;
    }
    auto* end = static_cast<RequestEndEvent*>(event);
    switch (end->ending) {
    case RequestEndEvent::Answered: processDataReceived(end->requestId, end->response); break;
    case RequestEndEvent::Failed: processRequestError(end->requestId, end->error); break;
    case RequestEndEvent::Discarded: processRequestDiscarded(end->requestId); break;
    }
}

} // namespace tq
