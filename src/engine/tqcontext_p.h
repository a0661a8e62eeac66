#pragma once

#include "engine/tqcontext.h"
#include "engine/trafficrecorder_p.h"

#include <QAtomicPointer>
#include <QThread>

class QMutex;
class QWaitCondition;

namespace tq {

class BackendManager;

// The library's worker thread: builds the dispatcher and the backends, runs the event loop,
// and tears them down on this same thread.
class Thread : public QThread
{
    Q_OBJECT
public:
    explicit Thread(TqContext* context, QObject* parent = nullptr);

    void setStartCondition(QWaitCondition* condition) { m_startCondition = condition; }
    void setStartMutex(QMutex* mutex) { m_startMutex = mutex; }
    void setNiceValue(int niceValue) { m_priority = niceValue; }
    // Non-null exactly while the event loop runs.
    BackendManager* backendManager() const { return m_backendManager.loadAcquire(); }

protected:
    void run() override;

private:
    TqContext* m_context;
    QWaitCondition* m_startCondition = nullptr;
    QMutex* m_startMutex = nullptr;
    int m_priority = 0;
    QAtomicPointer<BackendManager> m_backendManager;
};

class TqContextPrivate : public ITqRequestErrorHandler
{
public:
    explicit TqContextPrivate(TqContext* q) : q(q) {}
    ~TqContextPrivate() override;

    bool handleRequestError(qint64 requestId, const RequestError& error) override;

    TqContext* q;
    stbconfig::ConfigurationManager* configurationManager = nullptr;
    stbcore::IRequestHeaderPropertyProvider* propertyProvider = nullptr;
    ClientsStorage* clientsStorage = nullptr;
    TqNotifier* notifier = nullptr;
    Thread* thread = nullptr;
    QList<ITqRequestErrorHandler*> clientsErrorHandlers;
    TrafficRecorder recorder; // outlives the worker thread, which records into it
    // Expires with the context: chains walked through it stop, clients outliving it leave it alone.
    std::shared_ptr<const char> life = std::make_shared<const char>();
};

} // namespace tq
