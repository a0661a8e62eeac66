#pragma once
// Requests waiting for a server-given delay. Looked at once a second while it holds anything;
// at most 1000 items. Deadlines are milliseconds of the queue's monotonic clock, so a wall
// clock set after boot neither releases nor holds anything.

#include "engine/clock.h"

#include <QList>
#include <QObject>

namespace tq {

class HttpRequestWorker;

class DeferredQueue : public QObject
{
    Q_OBJECT
public:
    static constexpr int Capacity = 1000;

    explicit DeferredQueue(QObject* parent = nullptr);

    // Null: the system clock.
    void setClock(Clock* clock);
    qint64 now() const { return m_clock->monotonicMs(); }

    // False (and nothing kept) when the queue is full.
    bool enqueue(qint64 deadlineMs, HttpRequestWorker* worker);
    void remove(HttpRequestWorker* worker);
    void start(); // process due items, then track the rest
    void stop();  // stop tracking; items stay
    void clear();
    int size() const { return int(m_items.size()); }
    bool isTracking() const { return m_timer.isActive(); }

Q_SIGNALS:
    void executeWorkerRequired(tq::HttpRequestWorker* worker);

private Q_SLOTS:
    void onTrackingTimeout();

private:
    struct Item
    {
        qint64 deadline;
        HttpRequestWorker* worker;
    };
    void processDueItems();

    QList<Item> m_items;
    Clock* m_clock;
    ClockTimer m_timer;
};

} // namespace tq
