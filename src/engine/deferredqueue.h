#pragma once
// Requests waiting for a server-given delay. Looked at once a second while it holds anything;
// at most 1000 items.

#include <QList>
#include <QObject>
#include <QTimer>

namespace tq {

class HttpRequestWorker;

class DeferredQueue : public QObject
{
    Q_OBJECT
public:
    static constexpr int Capacity = 1000;

    explicit DeferredQueue(QObject* parent = nullptr);

    // False (and nothing kept) when the queue is full.
    bool enqueue(qint64 deadlineMsecsSinceEpoch, HttpRequestWorker* worker);
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
    QTimer m_timer;
};

} // namespace tq
