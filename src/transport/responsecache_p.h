#pragma once
// A size-bounded store of encoded image answers, keyed by the request's cache key (the
// image address). Oldest items go first when the budget is exceeded. Used on the worker
// thread only: the dispatcher looks items up, image workers add them.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace tq {

class ResponseCache
{
public:
    static constexpr int MaxLimitMiB = 30;

    // limitMiB: the configured budget, clamped to 0..30 MiB.
    explicit ResponseCache(int limitMiB = 2);

    // Sets the budget and evicts the oldest items while the total exceeds it.
    void setLimit(int limitMiB);
    qint64 budget() const { return m_budget; }

    // Replaces an item of the same key; then evicts the oldest while over budget
    // (an item larger than the whole budget therefore does not stay).
    void add(const QString& key, const QByteArray& data);
    bool contains(const QString& key) const { return m_items.contains(key); }
    QByteArray value(const QString& key) const { return m_items.value(key); }
    void remove(const QString& key);
    void clear();

    int count() const { return m_items.size(); }
    qint64 totalSize() const { return m_total; }

private:
    void evict();

    QHash<QString, QByteArray> m_items;
    QList<QString> m_order; // insertion order, oldest first
    qint64 m_total = 0;
    qint64 m_budget = 0;
};

} // namespace tq
