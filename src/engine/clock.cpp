#include "engine/clock.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QThread>

#include <algorithm>
#include <climits>
#include <vector>

namespace tq {
namespace {

class SystemClock final : public Clock
{
public:
    qint64 monotonicMs() const override
    {
        QElapsedTimer timer;
        timer.start();
        return timer.msecsSinceReference();
    }
    QDateTime currentUtc() const override { return QDateTime::currentDateTimeUtc(); }
};

} // namespace

Clock::~Clock() = default;

Clock* Clock::system()
{
    static SystemClock clock;
    return &clock;
}

void Clock::schedule(ClockTimer*, qint64, quint64) {}
void Clock::unschedule(ClockTimer*) {}

// ---- ClockTimer ----

ClockTimer::ClockTimer(QObject* parent) : QObject(parent), m_clock(Clock::system())
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { fire(m_generation); });
}

ClockTimer::~ClockTimer()
{
    stop();
}

void ClockTimer::setClock(Clock* clock)
{
    stop();
    m_clock = clock ? clock : Clock::system();
}

void ClockTimer::setInterval(qint64 ms)
{
    m_interval = std::max<qint64>(ms, 0);
}

void ClockTimer::start(qint64 ms)
{
    setInterval(ms);
    start();
}

void ClockTimer::start()
{
    stop();
    m_active = true;
    m_deadline = m_clock->monotonicMs() + m_interval;
    arm();
}

void ClockTimer::arm()
{
    ++m_generation;
    if (m_clock->runsTimers()) {
        m_clock->schedule(this, m_deadline, m_generation);
        return;
    }
    // QTimer takes an int; a longer wait is cut into parts, each re-armed on its timeout.
    const qint64 wait = std::max<qint64>(m_deadline - m_clock->monotonicMs(), 0);
    m_timer.start(int(std::min<qint64>(wait, INT_MAX)));
}

void ClockTimer::stop()
{
    if (!m_active)
        return;
    m_active = false;
    ++m_generation;
    m_timer.stop();
    m_clock->unschedule(this);
}

qint64 ClockTimer::remainingMs() const
{
    if (!m_active)
        return -1;
    return std::max<qint64>(m_deadline - m_clock->monotonicMs(), 0);
}

void ClockTimer::fire(quint64 generation)
{
    if (!m_active || generation != m_generation)
        return; // stopped or restarted since this was scheduled
    if (!m_clock->runsTimers() && m_deadline > m_clock->monotonicMs()) {
        arm(); // a part of a wait longer than QTimer holds
        return;
    }
    if (m_singleShot) {
        m_active = false;
        ++m_generation;
    } else {
        // A zero interval would never let a virtual clock move on.
        m_deadline += std::max<qint64>(m_interval, 1);
        if (!m_clock->runsTimers())
            m_deadline = std::max(m_deadline, m_clock->monotonicMs());
        arm();
    }
    Q_EMIT timeout(); // last: a receiver may delete this timer
}

// ---- ManualClock ----

class ManualClock::Private
{
public:
    struct Entry
    {
        ClockTimer* timer;
        qint64 deadline;
        quint64 generation;
        quint64 order; // ties fire in the order they were scheduled
    };

    mutable QMutex mutex;
    qint64 now = 0;
    QDateTime utcAtZero;
    std::vector<Entry> entries;
    quint64 nextOrder = 0;

    void remove(ClockTimer* timer)
    {
        entries.erase(std::remove_if(entries.begin(), entries.end(), [timer](const Entry& e) { return e.timer == timer; }),
                      entries.end());
    }
};

ManualClock::ManualClock(const QDateTime& utc) : d(new Private)
{
    d->utcAtZero = utc.toUTC();
}

ManualClock::~ManualClock()
{
    delete d;
}

qint64 ManualClock::monotonicMs() const
{
    const QMutexLocker lock(&d->mutex);
    return d->now;
}

QDateTime ManualClock::currentUtc() const
{
    const QMutexLocker lock(&d->mutex);
    return d->utcAtZero.addMSecs(d->now);
}

void ManualClock::setUtc(const QDateTime& utc)
{
    const QMutexLocker lock(&d->mutex);
    d->utcAtZero = utc.toUTC().addMSecs(-d->now);
}

int ManualClock::activeTimers() const
{
    const QMutexLocker lock(&d->mutex);
    return int(d->entries.size());
}

qint64 ManualClock::nextTimeoutMs() const
{
    const QMutexLocker lock(&d->mutex);
    if (d->entries.empty())
        return -1;
    const auto next = std::min_element(d->entries.cbegin(), d->entries.cend(),
                                       [](const auto& a, const auto& b) { return a.deadline < b.deadline; });
    return std::max<qint64>(next->deadline - d->now, 0);
}

void ManualClock::schedule(ClockTimer* timer, qint64 deadlineMs, quint64 generation)
{
    const QMutexLocker lock(&d->mutex);
    d->remove(timer);
    d->entries.push_back({timer, deadlineMs, generation, d->nextOrder++});
}

void ManualClock::unschedule(ClockTimer* timer)
{
    const QMutexLocker lock(&d->mutex);
    d->remove(timer);
}

void ManualClock::advance(qint64 ms)
{
    QMutexLocker lock(&d->mutex);
    const qint64 target = d->now + std::max<qint64>(ms, 0);
    for (;;) {
        const auto due = std::min_element(d->entries.begin(), d->entries.end(), [](const auto& a, const auto& b) {
            return a.deadline != b.deadline ? a.deadline < b.deadline : a.order < b.order;
        });
        if (due == d->entries.end() || due->deadline > target)
            break;
        const Private::Entry entry = *due;
        d->entries.erase(due);
        d->now = std::max(d->now, entry.deadline);
        ClockTimer* timer = entry.timer;
        if (timer->thread() != QThread::currentThread()) {
            // Posted while the lock keeps the timer's destructor waiting in unschedule(); a
            // timer destroyed later takes its posted call with it.
            QMetaObject::invokeMethod(
                timer, [timer, generation = entry.generation] { timer->fire(generation); }, Qt::QueuedConnection);
            continue;
        }
        lock.unlock();
        timer->fire(entry.generation);
        lock.relock();
    }
    d->now = target;
}

} // namespace tq
