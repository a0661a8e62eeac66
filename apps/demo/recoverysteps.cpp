// The session breaking and the network going away: what the library holds back, what the
// host does about it, and the held requests answered afterwards.

#include "steps.h"

#include "api/catalogue.h"
#include "engine/notifier.h"
#include "engine/tqcontext.h"

#include <algorithm>

namespace demo {

namespace {

tq::GetEpgRequest guideOf(qint64 channelId)
{
    tq::GetEpgRequest request;
    request.channelsIds = {channelId};
    request.limit = 1;
    return request;
}

} // namespace

bool sessionExpiry(Demo& demo)
{
    const QString expired = demo.session.sessionId();
    demo.world.platformServing(demo.session).expireSessions();
    say(QStringLiteral("platform: session \"%1\" expired (every request answers 1000053 until its token is updated)").arg(expired));

    const int renewals = demo.session.renewals();
    const qint64 held = demo.guide.send(guideOf(1));
    say(QStringLiteral("Guide: the guide of channel 1 (#%1)").arg(held));
    if (!demo.guide.wait({held}) || !demo.guide.answers.contains(held))
        return false;
    const QByteArray sentWith = lastRequest(demo.world.frontEndServing(demo.session), QStringLiteral("/api/v2/user/epg")).header("session_id");
    say(QStringLiteral("held request #%1 answered: %2 programme(s); the front end saw it with session \"%3\"")
            .arg(held)
            .arg(demo.guide.answers.value(held).value<tq::GetEPGResponse>().items.value(0).channelPrograms.size())
            .arg(QString::fromLatin1(sentWith)));
    return demo.session.renewals() == renewals + 1 && sentWith == demo.session.sessionId().toLatin1()
        && demo.session.sessionId() != expired;
}

bool gatewayStorm(Demo& demo)
{
    FakeWorld& world = demo.world;
    fake::FakeHttpServer& before = world.frontEndServing(demo.session);
    // The platform's front ends share their sessions; the balancer steers boxes away from the failing one.
    world.platform2.addSession(demo.session.sessionId());
    world.balancerTarget = world.platform2.discoveryUrl();
    fake::PlatformFault badGateway;
    badGateway.status = 502;
    world.platform1.setFaultEverywhere(badGateway);
    fake::PlatformFault gatewayTimeout;
    gatewayTimeout.status = 504;
    world.platform1.setFault("GET", QStringLiteral("/user/channels"), gatewayTimeout);
    say(QStringLiteral("platform: front end 1 answers 502 everywhere, 504 for the line-up; the balancer now names front end 2, which shares the platform's sessions"));

    const int rebalances = demo.session.rebalances();
    const int seenBefore = before.requests().size();
    tq::GetMediaViewAliasRequest page(QStringLiteral("home"));
    const QList<qint64> storm{demo.guide.send(tq::GetChannelsRequest()), demo.guide.send(guideOf(2)), demo.guide.send(page)};
    say(QStringLiteral("Guide: line-up #%1, guide #%2, content page #%3").arg(storm[0]).arg(storm[1]).arg(storm[2]));
    const bool finished = demo.guide.wait(storm);
    world.platform1.clearFaults();
    if (!finished)
        return false;

    fake::FakeHttpServer& after = world.frontEndServing(demo.session);
    const int answered = int(std::count_if(storm.begin(), storm.end(), [&](qint64 id) { return demo.guide.answers.contains(id); }));
    const int replayed = after.requestCount(QStringLiteral("/api/v3/user/channels")) + after.requestCount(QStringLiteral("/api/v2/user/epg"))
                       + after.requestCount(QStringLiteral("/api/v4/user/media_views/alias/home"));
    say(QStringLiteral("front end 1 got %1 of the %2 requests and answered with gateway errors; the library asked for %3 "
                       "rebalance; %4 answered, front end %5 received %6 of them")
            .arg(before.requests().size() - seenBefore)
            .arg(storm.size())
            .arg(demo.session.rebalances() - rebalances)
            .arg(answered)
            .arg(&after == &world.frontEnd2 ? 2 : 1)
            .arg(replayed));
    return demo.session.rebalances() == rebalances + 1 && answered == storm.size() && &after != &before && replayed == storm.size();
}

bool pauseAndResume(Demo& demo)
{
    tq::TqNotifier* notifier = demo.context.notifier();
    QObject scope; // ends the connections below with the step
    bool paused = false;
    QObject::connect(notifier, &tq::TqNotifier::networkActivityPaused, &scope, [&paused] { paused = true; });
    say(QStringLiteral("host: the box goes to sleep: pause"));
    Q_EMIT notifier->pauseNetworkActivityRequired();
    if (!waitUntil([&paused] { return paused; }))
        return false;

    fake::FakeHttpServer& frontEnd = demo.world.frontEndServing(demo.session);
    const int seen = frontEnd.requests().size();
    const qint64 id = demo.guide.send(guideOf(3));
    say(QStringLiteral("Guide: the guide of channel 3 (#%1) while paused").arg(id));
    waitUntil([] { return false; }, 300); // long enough for an exchange that should not happen
    const bool answeredWhilePaused = demo.guide.finished(id);
    const int sentWhilePaused = frontEnd.requests().size() - seen;
    say(QStringLiteral("300 ms later: %1, the front end saw %2 request(s)")
            .arg(answeredWhilePaused ? QStringLiteral("answered") : QStringLiteral("not answered"))
            .arg(sentWhilePaused));

    say(QStringLiteral("host: the box wakes up: resume"));
    Q_EMIT notifier->resumeNetworkActivityRequired();
    if (!demo.guide.wait({id}) || !demo.guide.answers.contains(id))
        return false;
    say(QStringLiteral("#%1 answered after the resume").arg(id));
    return !answeredWhilePaused && sentWhilePaused == 0;
}

} // namespace demo
