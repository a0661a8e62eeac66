#pragma once
// A request's token: the client facade keeps the only strong reference to a heap copy of
// the request identifier; the worker thread holds weak ones. When the facade forgets the
// request (dropped, answered, or the facade destroyed) the weak references expire, which
// is how code on the worker thread learns that nobody waits for the answer any more.

#include <QSharedPointer>
#include <QWeakPointer>

namespace tq {

using RequestToken = QSharedPointer<qint64>;
using RequestTokenRef = QWeakPointer<qint64>;

// The identifier behind a weak token, or -1 when the request is gone.
inline qint64 requestIdOf(const RequestTokenRef& token)
{
    const RequestToken strong = token.toStrongRef();
    return strong ? *strong : -1;
}

} // namespace tq
