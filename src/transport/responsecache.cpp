#include "transport/responsecache_p.h"

#include "platform/logging.h"

#include <algorithm>

namespace tq {
namespace {
const QString& context()
{
    static const QString name = QStringLiteral("ResponseCache");
    return name;
}
} // namespace

ResponseCache::ResponseCache(int limitMiB)
{
    setLimit(limitMiB);
}

void ResponseCache::setLimit(int limitMiB)
{
    m_budget = qint64(std::clamp(limitMiB, 0, MaxLimitMiB)) * 1024 * 1024;
    evict();
}

void ResponseCache::add(const QString& key, const QByteArray& data)
{
    remove(key);
    m_items.insert(key, data);
    m_order.append(key);
    m_total += data.size();
    TQ_LOG(logging::Verbose, context()) << QStringLiteral("create cache item %1, size: %2").arg(key).arg(data.size());
    evict();
}

void ResponseCache::remove(const QString& key)
{
    const auto it = m_items.constFind(key);
    if (it == m_items.cend())
        return;
    const qsizetype size = it->size();
    m_total -= size;
    m_items.erase(it);
    m_order.removeOne(key);
    TQ_LOG(logging::Verbose, context()) << QStringLiteral("release cache item %1, size: %2").arg(key).arg(size);
}

void ResponseCache::clear()
{
    while (!m_order.isEmpty())
        remove(QString(m_order.constFirst())); // a copy: removing it frees the listed key
}

void ResponseCache::evict()
{
    while (m_total > m_budget && !m_order.isEmpty())
        remove(QString(m_order.constFirst()));
}

} // namespace tq
