#pragma once
// A backend knows one remote service: its base URL, path prefix, query parameters and
// headers, its timeouts, and how its failures are judged. Backends are stateless apart
// from small caches and are only called on the worker thread.

#include "transport/request.h"
#include "transport/requesterror.h"
#include "platform/configurationmanager.h"
#include "platform/requestheaderpropertyprovider.h"
#include "transport/requestsettings_p.h"

#include <QVariant>

#include <chrono>

namespace tq {

class HttpRequestWorker;

class AbstractBackend
{
public:
    // What the dispatcher does with a failure (the result of `failureAction`).
    enum FailureAction : int {
        HandOn = 0,
        Rebalance = 1,
        UpdateSessionToken = 2,
        RetryLater = 3,
    };

    AbstractBackend() = default;
    AbstractBackend(const AbstractBackend&) = delete;
    AbstractBackend& operator=(const AbstractBackend&) = delete;
    virtual ~AbstractBackend();

    // provider may be null (the host has not set one yet).
    virtual RequestSettings composeRequest(const RequestRawData& data,
                                           stbconfig::ConfigurationManager* store,
                                           const stbcore::IRequestHeaderPropertyProvider* provider) const = 0;
    // Default: retry later when the server asked for a delay with 429, else hand on.
    virtual int failureAction(const RequestError& error) const;
    // Why a request goes out again: the host completed a rebalance (the service's server may
    // have changed), or any other re-execution (a delay, a pause, a held recovery, a re-send).
    enum class Resend { AfterRebalance, Again };
    // Adjusts a worker's request before it is executed again. Default: nothing.
    virtual void prepareResend(HttpRequestWorker* worker, stbconfig::ConfigurationManager* store,
                               const stbcore::IRequestHeaderPropertyProvider* provider, Resend reason) const;
    // Cached bytes back into a response. Default: an ImageResponse decoded from them.
    virtual QVariant responseFromCache(const RequestRawData& data, const QByteArray& cached) const;
    // A status judged from a body received without a network error; 0 = a normal answer.
    virtual int responseErrorStatus(const QByteArray& body) const;
    // Transfer timeout in milliseconds. Default: the general request timeout.
    virtual qint64 requestTimeout(const RequestRawData& data, stbconfig::ConfigurationManager* store) const;
    virtual std::chrono::seconds connectionCacheExpiryTimeout(const RequestRawData& data,
                                                              stbconfig::ConfigurationManager* store) const = 0;

    // Composition steps shared by the backends.

    // `pathCreator` applied to the path when the request has one, else the path.
    static QString builtPath(const RequestRawData& data);
    // "name=value" with the value percent-encoded; empty when the value is empty.
    static QString extraParameter(const QString& name, const QString& value);
    // Appends the extra parameters and the request's query items, blank ones dropped, to
    // every URL, to methodPath and to cacheKey.
    static void addQuery(RequestSettings& settings, const QStringList& extraParameters,
                         const QStringList& queryItems, QChar separator = QLatin1Char('?'));
    // Sets a header unless its value is empty (an empty header is never sent).
    static void setHeader(RequestSettings& settings, const QString& name, const QString& value);
    // "User-Agent", "x-kv-mac", "x-kv-uid", "x-kv-san".
    static void addPlatformHeaders(RequestSettings& settings,
                                   const stbcore::IRequestHeaderPropertyProvider& provider);
};

} // namespace tq
