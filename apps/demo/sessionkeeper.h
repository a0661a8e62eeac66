#pragma once
// The host's side of the platform session: discovery at the balancer and a new session at
// start-up, then the answers to the library's recovery signals. On updateSessionTokenRequired
// it renews the token and releases the held requests; on rebalanceRequired it asks the
// balancer again, moves to the front end it names and releases them. The library sends
// nothing but discovery during a rebalance, so the held requests go out with the session the
// box already has: the platform's front ends share their sessions.

#include "demohost.h"

#include "model/account.h"

namespace demo {

class SessionKeeper
{
public:
    explicit SessionKeeper(tq::TqContext& context);

    // Discovery at the configured balancer, then a new session; false when either failed.
    bool start();

    QString sessionId() const;
    const tq::DiscoverServicesResponse& services() const { return m_services; }
    int rebalances() const { return m_rebalances; }
    int renewals() const { return m_renewals; }
    bool recovering() const { return m_recovering; }

private:
    void adopt(const tq::DiscoverServicesResponse& services);
    void adoptSession(const QString& id);
    void renewSession();
    void rebalance();

    tq::TqContext& m_context;
    Screen m_screen;
    tq::DiscoverServicesResponse m_services;
    int m_rebalances = 0;
    int m_renewals = 0;
    bool m_recovering = false;
};

} // namespace demo
