#include "engine/clientfacade.h"

#include "engine/clientsstorage.h"
#include "engine/tqcontext.h"

#include <QCoreApplication>
#include <QHash>

#include <atomic>
#include <climits>

namespace tq {
namespace {
// One counter for the whole library, so ids never collide across clients.
std::atomic<qint64> nextRequestId{0};
} // namespace

class TqClientFacadePrivate
{
public:
    TqContext* context = nullptr;
    QList<ITqRequestErrorHandler*> errorHandlers;
    QHash<qint64, RequestToken> activeRequests;
    QPointer<QObject> dispatcher;
};

TqClientFacade::TqClientFacade(TqContext* context, QObject* dispatcher, QObject* parent)
    : QObject(parent), d(std::make_unique<TqClientFacadePrivate>())
{
    setObjectName(QStringLiteral("TqClientFacade"));
    d->context = context;
    d->dispatcher = dispatcher;
}

TqClientFacade::~TqClientFacade()
{
    dropAllRequests();
    if (d->context)
        d->context->clientsStorage()->remove(this);
}

qint64 TqClientFacade::sendRequest(const AbstractRequest* request)
{
    const qint64 id = nextRequestId++;
    const RequestToken token = RequestToken::create(id);
    d->activeRequests.insert(id, token);
    if (d->dispatcher && request) {
        QCoreApplication::postEvent(d->dispatcher, new SendRequestEvent(token, id, this, request->rawDataCreator()),
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

void TqClientFacade::processDataReceived(qint64 requestId, const QVariant& response)
{
    d->activeRequests.remove(requestId);
    Q_EMIT dataReceived(requestId, response);
}

void TqClientFacade::processRequestError(qint64 requestId, const RequestError& error)
{
    d->activeRequests.remove(requestId);
    // A handler may delete this client (a screen closing on an error): the walk then stops.
    const QPointer<TqClientFacade> alive(this);
    runErrorHandlerChain(d->errorHandlers, requestId, error, [&alive] { return !alive.isNull(); });
}

} // namespace tq
