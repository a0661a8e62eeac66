#include "sessionkeeper.h"

#include "api/sessionrequests.h"
#include "engine/notifier.h"
#include "engine/tqcontext.h"
#include "transport/configwrapper.h"

namespace demo {

SessionKeeper::SessionKeeper(tq::TqContext& context) : m_context(context), m_screen(context, QStringLiteral("Session"))
{
    tq::TqNotifier* notifier = context.notifier();
    QObject::connect(notifier, &tq::TqNotifier::updateSessionTokenRequired, &m_screen.client(), [this] { renewSession(); });
    QObject::connect(notifier, &tq::TqNotifier::rebalanceRequired, &m_screen.client(), [this] { rebalance(); });
}

bool SessionKeeper::start()
{
    const QString balancer = tq::TqConfigWrapper(m_context.configurationManager()).balancerUrl();
    say(QStringLiteral("host: discovery at the balancer %1").arg(balancer));
    const auto services = m_screen.ask<tq::DiscoverServicesResponse>(tq::DiscoveryRequest(balancer));
    if (!services || !services->isValid())
        return false;
    adopt(*services);
    say(QStringLiteral("host: platform API at %1, images at %2, push at %3")
            .arg(services->apiUrl, services->imgUrl, services->wsUrl));

    tq::NewSessionRequest newSession;
    newSession.body.fingerprint = QStringLiteral("tqdemo-box");
    const auto session = m_screen.ask<tq::NewSessionResponse>(newSession);
    if (!session || session->sessionId.isEmpty())
        return false;
    adoptSession(session->sessionId);
    say(QStringLiteral("host: new session \"%1\"").arg(session->sessionId));
    return true;
}

QString SessionKeeper::sessionId() const
{
    return tq::TqConfigWrapper(m_context.configurationManager()).sessionId();
}

void SessionKeeper::adopt(const tq::DiscoverServicesResponse& services)
{
    m_services = services;
    tq::TqConfigWrapper config(m_context.configurationManager());
    config.setApiUrl(services.apiUrl);
    config.setSpyUrl(services.spyUrl);
    config.setImageUrl(services.imgUrl);
}

void SessionKeeper::adoptSession(const QString& id)
{
    tq::TqConfigWrapper(m_context.configurationManager()).setSessionId(id);
}

void SessionKeeper::renewSession()
{
    ++m_renewals;
    m_recovering = true;
    say(QStringLiteral("library: session token update required"));
    say(QStringLiteral("host: renewing the token of session \"%1\"").arg(sessionId()));
    m_screen.send(tq::UpdateTokenRequest(), [this](const QVariant& answer) {
        m_recovering = false;
        const auto renewed = answer.value<tq::UpdateTokenResponse>();
        if (renewed.sessionId.isEmpty()) {
            say(QStringLiteral("host: no new session; the held requests are given up"));
            Q_EMIT m_context.notifier()->rebalanceFailed();
            return;
        }
        adoptSession(renewed.sessionId);
        say(QStringLiteral("host: session renewed as \"%1\"; releasing the held requests").arg(renewed.sessionId));
        Q_EMIT m_context.notifier()->rebalanceCompleted(); // sends them again with the new session
    });
}

void SessionKeeper::rebalance()
{
    ++m_rebalances;
    m_recovering = true;
    say(QStringLiteral("library: rebalance required (only discovery goes out until it is done)"));
    const QString balancer = tq::TqConfigWrapper(m_context.configurationManager()).balancerUrl();
    say(QStringLiteral("host: asking the balancer again"));
    m_screen.send(tq::DiscoveryRequest(balancer), [this](const QVariant& answer) {
        m_recovering = false;
        const auto services = answer.value<tq::DiscoverServicesResponse>();
        if (!services.isValid()) {
            say(QStringLiteral("host: no front end; the held requests are given up"));
            Q_EMIT m_context.notifier()->rebalanceFailed();
            return;
        }
        adopt(services);
        say(QStringLiteral("host: the balancer names %1; releasing the held requests").arg(services.apiUrl));
        Q_EMIT m_context.notifier()->rebalanceCompleted(); // sends them again to the new front end
    });
}

} // namespace demo
