#pragma once
// The platform's routes as the box sees them: discovery at "/discovery", whose answer points
// every service at this same server, and the API under "/api/v<version>/user/...", which
// answers only a request carrying a "session_id" header, as the platform does.
//
// A new operation is one row in the table of platformroutes.cpp.

namespace fake {
class FakeHttpServer;
}

namespace fakeplatform {

void addPlatformRoutes(fake::FakeHttpServer& server);

} // namespace fakeplatform
