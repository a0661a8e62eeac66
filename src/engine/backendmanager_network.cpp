#include "engine/backendmanager_parts_p.h"

#include "transport/configwrapper.h"

namespace tq {

void BackendManagerPrivate::replaceNetworkManagers()
{
    holdBackRunningRequests();
    const auto make = [this] {
        return std::unique_ptr<QNetworkAccessManager>(managerFactory ? managerFactory() : new QNetworkAccessManager);
    };
    mainNetworkManager = make();
    proxyNetworkManager = make();
    if (proxyActive)
        applyConfiguredProxy();
    else
        setProxy(QNetworkProxy());
}

void BackendManagerPrivate::setProxy(const QNetworkProxy& proxy)
{
    proxyNetworkManager->setProxy(proxy);
    const QMutexLocker lock(&proxyMutex);
    proxySnapshot = proxy;
}

void BackendManagerPrivate::applyConfiguredProxy()
{
    const QUrl url(TqConfigWrapper(store()).proxyUrl());
    setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, url.host(QUrl::FullyDecoded), quint16(url.port(-1))));
    Q_EMIT q->proxySettingCompleted();
}

QNetworkProxy BackendManager::currentProxy() const
{
    const QMutexLocker lock(&d->proxyMutex);
    return d->proxySnapshot;
}

void BackendManager::pauseNetworkActivity()
{
    d->networkActivityPaused = true;
    d->holdBackRunningRequests();
    d->deferredQueue.stop();
    Q_EMIT networkActivityPaused();
}

void BackendManager::resumeNetworkActivity()
{
    // Connections start afresh after a pause. A resume without one (the host releasing the
    // requests held for a session renewal, or a second resume) keeps the managers: their
    // replies are still running.
    if (d->networkActivityPaused) {
        d->networkActivityPaused = false;
        d->replaceNetworkManagers();
    }
    d->sendBlockedEntries();
    d->deferredQueue.start();
    Q_EMIT networkActivityResumed();
}

void BackendManager::applyProxy()
{
    d->proxyActive = true;
    d->applyConfiguredProxy();
}

void BackendManager::removeProxy()
{
    d->setProxy(QNetworkProxy());
    d->proxyActive = false;
    d->sendConnectionWaiters(QUrl()); // no limit without a proxy
}

} // namespace tq
