#pragma once
// Time as the library sees it. Every wait (a server-given delay, reconnect ladders, pings,
// polling, token renewal) is measured on a monotonic clock, so a wall clock set by the
// network after boot (often years off) neither releases nor holds anything. Only texts that
// name a date (a token's "expire_at", a "Retry-After" date) are read against the wall clock.
//
// Objects that wait take a Clock (null: the system clock) and use ClockTimer instead of
// QTimer. Tests give them a ManualClock and run hours of timers in milliseconds:
//
//   tq::ManualClock clock;
//   receiver.setClock(&clock);
//   clock.advance(std::chrono::minutes(30)); // every timer due fires, at its deadline, in order

#include "tqglobal.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <chrono>

namespace tq {

class ClockTimer;

class TQ_EXPORT Clock
{
public:
    virtual ~Clock();
    // Milliseconds since an arbitrary start; never goes back and never jumps.
    virtual qint64 monotonicMs() const = 0;
    // The wall clock, which may jump by years.
    virtual QDateTime currentUtc() const = 0;

    // The process's real clock.
    static Clock* system();

protected:
    friend class ClockTimer;
    // A clock that runs timers itself (a virtual one) schedules them here; the system clock
    // leaves them to Qt's timers.
    virtual bool runsTimers() const { return false; }
    virtual void schedule(ClockTimer* timer, qint64 deadlineMs, quint64 generation);
    virtual void unschedule(ClockTimer* timer);
};

// A timer measured on a Clock: the QTimer operations the library uses, nothing more.
// Lives on the thread that creates it; its timeout() is emitted there.
class TQ_EXPORT ClockTimer : public QObject
{
    Q_OBJECT
public:
    explicit ClockTimer(QObject* parent = nullptr);
    ~ClockTimer() override;

    // Null: the system clock. A running timer is stopped.
    void setClock(Clock* clock);
    Clock* clock() const { return m_clock; }

    void setInterval(qint64 ms);
    void setInterval(std::chrono::milliseconds interval) { setInterval(qint64(interval.count())); }
    qint64 interval() const { return m_interval; }
    void setSingleShot(bool singleShot) { m_singleShot = singleShot; }
    bool isSingleShot() const { return m_singleShot; }

    void start();
    void start(qint64 ms);
    void stop();
    bool isActive() const { return m_active; }
    // Milliseconds until the timeout, 0 when due; -1 when not active.
    qint64 remainingMs() const;

Q_SIGNALS:
    void timeout();

private:
    friend class ManualClock;
    void fire(quint64 generation);
    void arm();

    Clock* m_clock;
    QTimer m_timer; // the system clock's timer
    qint64 m_interval = 0;
    qint64 m_deadline = 0;
    quint64 m_generation = 0;
    bool m_singleShot = false;
    bool m_active = false;
};

// A clock that moves only when told. Thread-safe: timers on other threads fire there (queued),
// timers on the advancing thread fire synchronously, each at its deadline, in deadline order.
class TQ_EXPORT ManualClock : public Clock
{
public:
    explicit ManualClock(const QDateTime& utc = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
    ~ManualClock() override;

    qint64 monotonicMs() const override;
    QDateTime currentUtc() const override;

    // Moves both clocks forward, firing every timer that falls due on the way (timers started
    // by a timeout fire too when they fall due before the end).
    void advance(qint64 ms);
    void advance(std::chrono::milliseconds by) { advance(qint64(by.count())); }
    // Sets the wall clock alone, as the network does after boot; monotonic time stays.
    void setUtc(const QDateTime& utc);
    // Timers waiting on this clock.
    int activeTimers() const;
    // Monotonic milliseconds until the next timer is due; -1 when none waits.
    qint64 nextTimeoutMs() const;

protected:
    bool runsTimers() const override { return true; }
    void schedule(ClockTimer* timer, qint64 deadlineMs, quint64 generation) override;
    void unschedule(ClockTimer* timer) override;

private:
    class Private;
    Private* d;
};

} // namespace tq
