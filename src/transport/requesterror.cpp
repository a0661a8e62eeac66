#include "transport/requesterror.h"

#include "platform/logging.h"

#include <QMetaEnum>

#include <algorithm>

namespace tq {
namespace {
// Queued calls across the worker thread find the type by name, before any other use.
void registerRequestError()
{
    qRegisterMetaType<RequestError>();
}
Q_CONSTRUCTOR_FUNCTION(registerRequestError)
} // namespace

QString RequestError::tqReasonName(TqReason reason)
{
    const char* key = QMetaEnum::fromType<TqReason>().valueToKey(static_cast<int>(reason));
    return key ? QString::fromLatin1(key) : QStringLiteral("unnamed");
}

QString RequestError::reasonName(Reason reason)
{
    const char* key = QMetaEnum::fromType<Reason>().valueToKey(reason);
    return key ? QString::fromLatin1(key) : QString::number(reason);
}

QString RequestError::fullInfo() const
{
    return QStringLiteral("reason: %1; http status code: %2; TQ error code: %3 (%4); "
                          "description: '%5'; debug message: '%6'")
        .arg(reasonName(reason),
             httpStatusCode < 1 ? QStringLiteral("undefined") : QString::number(httpStatusCode),
             QString::number(static_cast<int>(tqReason)), tqReasonName(tqReason), description,
             debugMessage);
}

bool operator==(const RequestError& a, const RequestError& b)
{
    return a.reason == b.reason && a.tqReason == b.tqReason && a.networkError == b.networkError
           && a.methodType == b.methodType && a.url == b.url && a.httpMethod == b.httpMethod
           && a.errorCode == b.errorCode && a.httpStatusCode == b.httpStatusCode;
}

bool runErrorHandlerChain(const QList<ITqRequestErrorHandler*>& chain, qint64 requestId,
                          const RequestError& error, std::initializer_list<Lifetime> owners)
{
    const auto ownersAlive = [&owners] {
        return std::none_of(owners.begin(), owners.end(), [](const Lifetime& owner) { return owner.expired(); });
    };
    // Handlers may edit the chain while it is walked, so the walk goes over a copy and skips
    // the handlers removed meanwhile; `chain` itself is only read while its owners live.
    const QList<ITqRequestErrorHandler*> snapshot = chain;
    for (auto it = snapshot.crbegin(); it != snapshot.crend(); ++it) {
        if (!ownersAlive())
            return false; // nobody is left to hand the error to
        if (!*it || !chain.contains(*it))
            continue;
        try {
            if ((*it)->handleRequestError(requestId, error))
                return true;
        } catch (...) {
            // The host's code on the event loop: whatever it throws stays here.
            TQ_LOG(logging::Warning, QStringLiteral("TqClientFacade"))
                << QStringLiteral("request(%1) error handler threw an exception").arg(requestId);
        }
    }
    return false;
}

} // namespace tq
