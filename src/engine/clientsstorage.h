#pragma once
// The register of client facades that still exist. The worker thread holds the read
// lock only around one access to a facade; a facade's destructor removes itself under
// the write lock, so it waits for such an access to end and is never touched afterwards.

#include <QList>
#include <QReadWriteLock>

class QObject;

namespace tq {

class TqClientFacade;

class ClientsStorage
{
public:
    void add(TqClientFacade* client);
    void remove(TqClientFacade* client);
    // True with the read lock held (release it with unlock()); false with no lock held.
    bool lockIfContains(const QObject* client);
    void unlock();

private:
    QList<const QObject*> m_clients;
    QReadWriteLock m_lock; // non-recursive on purpose: a nested read would deadlock a waiting writer
};

// Holds the read lock for a scope when the client is registered.
class ClientLock
{
public:
    ClientLock(ClientsStorage* storage, const QObject* client)
        : m_storage(storage), m_locked(storage && storage->lockIfContains(client)) {}
    ~ClientLock() { if (m_locked) m_storage->unlock(); }
    ClientLock(const ClientLock&) = delete;
    ClientLock& operator=(const ClientLock&) = delete;
    explicit operator bool() const { return m_locked; }

private:
    ClientsStorage* m_storage;
    bool m_locked;
};

} // namespace tq
