#include "engine/deferredqueue_p.h"

#include "platform/logging.h"

namespace tq {

DeferredQueue::DeferredQueue(QObject* parent) : QObject(parent), m_clock(Clock::system())
{
    setObjectName(QStringLiteral("DeferredQueue"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(1000);
    connect(&m_timer, &ClockTimer::timeout, this, &DeferredQueue::onTrackingTimeout);
}

void DeferredQueue::setClock(Clock* clock)
{
    const bool tracking = m_timer.isActive();
    m_clock = clock ? clock : Clock::system();
    m_timer.setClock(m_clock);
    if (tracking)
        m_timer.start();
}

bool DeferredQueue::enqueue(qint64 deadline, HttpRequestWorker* worker)
{
    if (m_items.size() >= Capacity) {
        TQ_LOG(logging::Trace, objectName()) << "queue is full";
        return false;
    }
    m_items.append({deadline, worker});
    if (!m_timer.isActive())
        start();
    return true;
}

void DeferredQueue::remove(HttpRequestWorker* worker)
{
    m_items.removeIf([worker](const Item& item) { return item.worker == worker; });
}

void DeferredQueue::start()
{
    processDueItems();
    if (!m_items.isEmpty())
        m_timer.start();
}

void DeferredQueue::stop()
{
    m_timer.stop();
}

void DeferredQueue::clear()
{
    m_items.clear();
}

void DeferredQueue::onTrackingTimeout()
{
    // A receiver of executeWorkerRequired may restart the timer itself; only restart when it did not.
    processDueItems();
    while (!m_items.isEmpty() && !m_timer.isActive()) {
        processDueItems();
        m_timer.start();
    }
}

void DeferredQueue::processDueItems()
{
    const qint64 now = m_clock->monotonicMs();
    QList<HttpRequestWorker*> due;
    for (auto it = m_items.begin(); it != m_items.end();) {
        if (it->deadline <= now) {
            due.append(it->worker);
            it = m_items.erase(it);
        } else {
            ++it;
        }
    }
    // Emitted after the walk: a receiver may enqueue or remove items.
    for (HttpRequestWorker* worker : due)
        Q_EMIT executeWorkerRequired(worker);
}

} // namespace tq
