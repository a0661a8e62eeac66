#include "engine/clientsstorage.h"

namespace tq {

void ClientsStorage::add(const ClientRef& client)
{
    const QWriteLocker lock(&m_lock);
    m_clients.append(client);
}

void ClientsStorage::remove(const ClientRef& client)
{
    const QWriteLocker lock(&m_lock);
    m_clients.removeOne(client);
}

bool ClientsStorage::lockIfContains(const ClientRef& client)
{
    m_lock.lockForRead();
    if (client.client && m_clients.contains(client))
        return true;
    m_lock.unlock();
    return false;
}

void ClientsStorage::unlock()
{
    m_lock.unlock();
}

} // namespace tq
