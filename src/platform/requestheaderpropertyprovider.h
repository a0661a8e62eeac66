#pragma once
// Stand-in for the host's provider of the values that go into request headers and
// query items. Every accessor returns an empty string when the value is unknown.

#include "tqglobal.h"

#include <QString>

namespace stbcore {

class TQ_EXPORT IRequestHeaderPropertyProvider
{
public:
    virtual ~IRequestHeaderPropertyProvider() = default;
    virtual QString macAddress() const = 0;
    virtual QString san() const = 0;
    virtual QString userAgent() const = 0;
    virtual QString sessionId() const = 0;
    virtual QString uid() const = 0;
    virtual QString mrf() const = 0;
};

// Fixed values, for tests and the demo host. Not thread-safe to change while requests run.
class TQ_EXPORT FixedPropertyProvider : public IRequestHeaderPropertyProvider
{
public:
    QString macAddress() const override { return mac; }
    QString san() const override { return sanValue; }
    QString userAgent() const override { return agent; }
    QString sessionId() const override { return session; }
    QString uid() const override { return uidValue; }
    QString mrf() const override { return mrfValue; }

    QString mac, sanValue, agent, session, uidValue, mrfValue;
};

} // namespace stbcore
