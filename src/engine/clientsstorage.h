#pragma once
// The register of client facades that still exist. The worker thread holds the read
// lock only around one access to a facade; a facade's destructor removes itself under
// the write lock, so it waits for such an access to end and is never touched afterwards.
//
// A client is recognised by its address and its serial number together: a client destroyed
// while its answers are on their way may be followed by a new one at the same address, which
// must never receive them.

#include "tqglobal.h"

#include <QList>
#include <QReadWriteLock>

class QObject;

namespace tq {

class TqClientFacade;

// Who sent a request, as the worker thread may hold it: never dereferenced unless registered.
struct TQ_EXPORT ClientRef
{
    const QObject* client = nullptr;
    quint64 serial = 0;
    bool operator==(const ClientRef& other) const { return client == other.client && serial == other.serial; }
};

class TQ_EXPORT ClientsStorage
{
public:
    void add(const ClientRef& client);
    void remove(const ClientRef& client);
    // True with the read lock held (release it with unlock()); false with no lock held.
    bool lockIfContains(const ClientRef& client);
    void unlock();

private:
    QList<ClientRef> m_clients;
    QReadWriteLock m_lock; // non-recursive on purpose: a nested read would deadlock a waiting writer
};

// Holds the read lock for a scope when the client is registered.
class TQ_EXPORT ClientLock
{
public:
    ClientLock(ClientsStorage* storage, const ClientRef& client)
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
