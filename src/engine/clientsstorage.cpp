#include "engine/clientsstorage.h"

#include "engine/clientfacade.h"

namespace tq {

void ClientsStorage::add(TqClientFacade* client)
{
    const QWriteLocker lock(&m_lock);
    m_clients.append(client);
}

void ClientsStorage::remove(TqClientFacade* client)
{
    const QWriteLocker lock(&m_lock);
    m_clients.removeOne(client);
}

bool ClientsStorage::lockIfContains(const QObject* client)
{
    m_lock.lockForRead();
    if (client && m_clients.contains(client))
        return true;
    m_lock.unlock();
    return false;
}

void ClientsStorage::unlock()
{
    m_lock.unlock();
}

} // namespace tq
