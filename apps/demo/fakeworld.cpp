#include "steps.h"

#include <algorithm>

namespace demo {

FakeWorld::FakeWorld() : balancerTarget(platform1.discoveryUrl())
{
    // The operator's balancer: a box's discovery is redirected to the front end it should use.
    services.route("GET", QStringLiteral("/balancer"), [this](const fake::HttpRequest&) {
        return fake::HttpResponse::withBody(302, "text/plain", QByteArray()).header("Location", balancerTarget.toLatin1());
    });
}

fake::FakeHttpServer& FakeWorld::frontEndServing(const SessionKeeper& session)
{
    return session.services().apiUrl == frontEnd2.baseUrl() ? frontEnd2 : frontEnd1;
}

fake::FakePlatform& FakeWorld::platformServing(const SessionKeeper& session)
{
    return &frontEndServing(session) == &frontEnd2 ? platform2 : platform1;
}

fake::HttpRequest lastRequest(const fake::FakeHttpServer& server, const QString& path)
{
    const QList<fake::HttpRequest> requests = server.requests();
    const auto it = std::find_if(requests.crbegin(), requests.crend(), [&path](const fake::HttpRequest& r) { return r.path == path; });
    return it == requests.crend() ? fake::HttpRequest() : *it;
}

} // namespace demo
