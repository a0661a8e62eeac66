#pragma once
// The library-wide signal hub, owned by the context and living on the host thread.
// The host listens to it for session, network and proxy events and drives the recovery
// flows through it; the dispatcher connects to it once, and every crossing is queued.

#include "tqglobal.h"

#include "transport/requesterror.h"

#include <QMetaMethod>
#include <QObject>
#include <QSize>

namespace tq {

class TQ_EXPORT TqNotifier : public QObject
{
    Q_OBJECT
public:
    explicit TqNotifier(QObject* parent = nullptr) : QObject(parent) {}

    // Whether anything is connected to one of its signals (&TqNotifier::signal); safe from any
    // thread. No lookup of the signal by its text: the dispatcher asks on every request.
    template<class Signal>
    bool hasListeners(Signal signal) const
    {
        return isSignalConnected(QMetaMethod::fromSignal(signal));
    }

Q_SIGNALS:
    void removeProxyRequired();
    void proxyChangeRequired();
    void proxySettingCompleted();
    void tqMethodRequested(tq::MethodSpecializaton specialization, const QString& method);
    void tqResponseReceived();
    void networkErrorOccurred(const tq::RequestError& error);
    void rebalanceRequired();
    void rebalanceRequested();
    void rebalanceCompleted();
    void rebalanceFailed();
    void pauseNetworkActivityRequired();
    void networkActivityPaused();
    void resumeNetworkActivityRequired();
    void networkActivityResumed();
    void updateSessionTokenRequired();
    void imagesSizeLimitChanged(const QSize& maxSize);
};

} // namespace tq
