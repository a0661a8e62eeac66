#include "engine/tqcontext.h"

#include "engine/backendmanager_p.h"
#include "engine/clientfacade.h"
#include "engine/clientsstorage.h"
#include "engine/notifier.h"
#include "engine/tqcontext_p.h"
#include "platform/logging.h"
#include "transport/backends_p.h"
#include "transport/configwrapper.h"

#include <QMutex>
#include <QSaveFile>
#include <QWaitCondition>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tq {

Thread::Thread(TqContext* context, QObject* parent) : QThread(parent), m_context(context)
{
    setObjectName(QStringLiteral("TqThread"));
}

void Thread::run()
{
    // Lowering a thread's nice value needs root; as anyone else leave the default.
    if (geteuid() == 0)
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), m_priority);
    if (!m_startCondition || !m_startMutex)
        return;

    m_startMutex->lock();
    auto backends = createBackends();
    auto* manager = new BackendManager(m_context);
    manager->setBackends(backends.byType);
    m_backendManager.storeRelease(manager);
    m_startCondition->wakeAll();
    m_startMutex->unlock();

    exec();

    m_backendManager.storeRelease(nullptr);
    delete manager;
    backends.owned.clear();
}

TqContextPrivate::~TqContextPrivate()
{
    thread->quit();
    thread->wait();
    configurationManager = nullptr;
    clientsErrorHandlers.clear();
    delete thread;
    delete notifier;
    delete clientsStorage;
}

bool TqContextPrivate::handleRequestError(qint64 requestId, const RequestError& error)
{
    const Lifetime self = life;
    return runErrorHandlerChain(clientsErrorHandlers, requestId, error, {self});
}

TqContext::TqContext(stbconfig::ConfigurationManager* configuration) : d(std::make_unique<TqContextPrivate>(this))
{
    d->configurationManager = configuration;
    d->clientsStorage = new ClientsStorage;
    d->notifier = new TqNotifier;
    d->thread = new Thread(this);
    d->thread->setNiceValue(TqConfigWrapper(configuration).requestThreadPriority());

    QWaitCondition started;
    QMutex mutex;
    d->thread->setStartCondition(&started);
    d->thread->setStartMutex(&mutex);
    mutex.lock();
    d->thread->start(QThread::InheritPriority);
    started.wait(&mutex);
    mutex.unlock();
    d->thread->setStartCondition(nullptr);
    d->thread->setStartMutex(nullptr);
}

TqContext::~TqContext() = default;

TqClientFacade* TqContext::createClient(ITqRequestErrorHandler* handler)
{
    auto* client = new TqClientFacade(this, d->thread->backendManager(), nullptr);
    client->appendErrorHandler(d.get());
    if (handler)
        client->appendErrorHandler(handler);
    d->clientsStorage->add(client->ref());
    return client;
}

stbconfig::ConfigurationManager* TqContext::configurationManager() const { return d->configurationManager; }
TqNotifier* TqContext::notifier() const { return d->notifier; }
stbcore::IRequestHeaderPropertyProvider* TqContext::propertyProvider() const { return d->propertyProvider; }
ClientsStorage* TqContext::clientsStorage() const { return d->clientsStorage; }

void TqContext::setPropertyProvider(stbcore::IRequestHeaderPropertyProvider* provider)
{
    d->propertyProvider = provider;
}

void TqContext::stopTqThread()
{
    if (d->thread->isRunning()) {
        d->thread->quit();
        d->thread->wait();
    }
}

QNetworkProxy TqContext::currentProxy() const
{
    BackendManager* manager = d->thread->backendManager();
    return manager ? manager->currentProxy() : QNetworkProxy();
}

void TqContext::setRequestListener(ITqRequestListener* listener)
{
    if (BackendManager* manager = d->thread->backendManager())
        manager->setRequestListener(listener);
}

void TqContext::setTrafficRecording(const TrafficRecording& recording)
{
    BackendManager* manager = d->thread->backendManager();
    // Off: the dispatcher lets go first, so that nothing arrives after the records are gone.
    if (recording.exchanges <= 0 && manager)
        manager->setTrafficRecorder(nullptr);
    d->recorder.setLimits(recording);
    if (recording.exchanges > 0 && manager)
        manager->setTrafficRecorder(&d->recorder);
}

bool TqContext::writeTrafficArchive(const QString& fileName) const
{
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(d->recorder.archive()) >= 0 && file.commit())
        return true;
    TQ_LOG(logging::Warning, QStringLiteral("TqContext"))
        << QStringLiteral("the traffic archive could not be written to %1: %2").arg(fileName, file.errorString());
    return false;
}

void TqContext::setNetworkAccessManagerFactory(NetworkAccessManagerFactory factory)
{
    if (BackendManager* manager = d->thread->backendManager())
        manager->setNetworkAccessManagerFactory(std::move(factory));
}

void TqContext::setClock(Clock* clock)
{
    if (BackendManager* manager = d->thread->backendManager())
        manager->setClock(clock);
}

PendingRequestCounts TqContext::pendingRequests() const
{
    BackendManager* manager = d->thread->backendManager();
    return manager ? manager->pendingRequests() : PendingRequestCounts();
}

void TqContext::appendClientsErrorHandler(ITqRequestErrorHandler* handler)
{
    if (!d->clientsErrorHandlers.contains(handler))
        d->clientsErrorHandlers.append(handler);
}

void TqContext::removeClientsErrorHandler(ITqRequestErrorHandler* handler)
{
    d->clientsErrorHandlers.removeAll(handler);
}

} // namespace tq
