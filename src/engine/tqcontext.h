#pragma once
// The object the host creates first and destroys last. It ties the library to the box's
// configuration store, owns the notifier, the register of clients, the context-wide chain
// of error handlers and the worker thread on which every exchange runs.
//
// The constructor returns once the worker thread's dispatcher exists, so a client created
// right after can send at once. Destroy every client before the context.

#include "tqglobal.h"

#include "transport/requesterror.h"

#include <QNetworkProxy>

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace stbconfig { class ConfigurationManager; }
namespace stbcore { class IRequestHeaderPropertyProvider; }

namespace tq {

class ClientsStorage;
class Clock;
class ITqRequestListener;
class TqClientFacade;
class TqContextPrivate;
class TqNotifier;

// Makes a network access manager on the library's worker thread; the engine owns the result.
using NetworkAccessManagerFactory = std::function<QNetworkAccessManager*()>;

// What the dispatcher holds: every request still in its queue, and how many of those wait
// for a delay the server asked for.
struct TQ_EXPORT PendingRequestCounts
{
    int queued = 0;
    int deferred = 0;
};

// What the traffic recorder keeps (TqContext::setTrafficRecording).
struct TQ_EXPORT TrafficRecording
{
    int exchanges = 0;                 // the latest this many exchanges; 0: recording is off
    qint64 maxBytes = 2 * 1024 * 1024; // all kept exchanges together, bodies included
    qint64 maxBodyBytes = 64 * 1024;   // each body: a longer text is cut, a longer binary one left out
};

class TQ_EXPORT TqContext
{
public:
    explicit TqContext(stbconfig::ConfigurationManager* configuration);
    ~TqContext();
    TqContext(const TqContext&) = delete;
    TqContext& operator=(const TqContext&) = delete;

    // The host owns the client. Its error chain starts with the context's own handler,
    // then `handler` when given.
    TqClientFacade* createClient(ITqRequestErrorHandler* handler = nullptr);

    stbconfig::ConfigurationManager* configurationManager() const;
    TqNotifier* notifier() const;
    stbcore::IRequestHeaderPropertyProvider* propertyProvider() const;
    ClientsStorage* clientsStorage() const;
    void setPropertyProvider(stbcore::IRequestHeaderPropertyProvider* provider);

    // Ends the worker thread's event loop and waits for it.
    void stopTqThread();
    QNetworkProxy currentProxy() const;
    // Asked on the worker thread and waited for (diagnostics, such as before a standby); zeros
    // when the thread does not run.
    PendingRequestCounts pendingRequests() const;
    // Sees every request's life on the worker thread (engine/requestlistener.h); nullptr
    // removes it. Once this returns, the previous listener is never called again. The host
    // keeps the listener alive while it is set. Ignored once the worker thread has stopped.
    void setRequestListener(ITqRequestListener* listener);
    // Keeps the latest exchanges the engine performs (method, URL, request and answer headers,
    // status, the listener's timings, bodies within the limit), for a field engineer to see
    // what a box exchanged. Session ids, tokens, passwords and PINs are replaced by
    // "[redacted]" before anything is kept. Off by default; may be changed any time (what no
    // longer fits is dropped, oldest first; exchanges = 0 forgets everything).
    void setTrafficRecording(const TrafficRecording& recording);
    // Writes the kept exchanges, oldest first, as an HTTP Archive (HAR 1.2, the format of the
    // browsers' developer tools; binary bodies such as CBOR and images in base64). False, and
    // logged, when the file cannot be written.
    bool writeTrafficArchive(const QString& fileName) const;
    // Measures the engine's waits (server-given delays) on this clock; null: the system clock.
    // For tests that run hours of delays in milliseconds (engine/clock.h). The clock must
    // outlive its use: set null before destroying it.
    void setClock(Clock* clock);
    // The engine's network access managers come from `factory` (null: plain ones), from now on
    // and whenever a resume makes them anew: for a host with its own manager subclass, and for
    // tests that script replies no server can provoke. Exchanges running now are held back and
    // sent again through the new managers. Called on the worker thread, it must not block.
    void setNetworkAccessManagerFactory(NetworkAccessManagerFactory factory);

    void appendClientsErrorHandler(ITqRequestErrorHandler* handler);
    void removeClientsErrorHandler(ITqRequestErrorHandler* handler);

private:
    friend class TqClientFacade;
    std::unique_ptr<TqContextPrivate> d;
};

} // namespace tq
