#pragma once
// The demo's world and its steps. The fake side: two front ends of one TV platform, a
// balancer that redirects a box's discovery to the front end it should use, and one server
// for the services around the platform (ads, party games, partner QR codes). The host side:
// the store, the context, the session keeper and the screen the steps send through.
// Each step narrates what it does and returns false when something did not finish.

#include "demohost.h"
#include "sessionkeeper.h"

#include "fakehttpserver.h"
#include "fakeplatform.h"
#include "fakeservices.h"

#include "model/channels.h"

namespace stbconfig { class ConfigurationManager; }

namespace demo {

class FakeWorld
{
public:
    FakeWorld();

    fake::FakeHttpServer frontEnd1;
    fake::FakeHttpServer frontEnd2;
    fake::FakeHttpServer services;
    fake::FakePlatform platform1{frontEnd1};
    fake::FakePlatform platform2{frontEnd2};
    fake::FakeServices serviceRoutes{&services};

    QString balancerUrl() const { return services.baseUrl() + QStringLiteral("/balancer"); }
    // The discovery address the balancer sends boxes to.
    QString balancerTarget;

    // The front end the box's session is on now.
    fake::FakeHttpServer& frontEndServing(const SessionKeeper& session);
    fake::FakePlatform& platformServing(const SessionKeeper& session);
};

// The latest request the server recorded for that path; an empty one when there was none.
fake::HttpRequest lastRequest(const fake::FakeHttpServer& server, const QString& path);

struct Demo
{
    FakeWorld& world;
    stbconfig::ConfigurationManager& store;
    tq::TqContext& context;
    SessionKeeper& session;
    Screen& guide;
    QList<tq::ChannelBrief> channels; // the line-up, once it arrived
};

// Catalogue requests of a session: the line-up, the guide, a content page, favourites.
bool channelList(Demo& demo);
bool programmeGuide(Demo& demo);
bool contentPage(Demo& demo);
bool favourites(Demo& demo);

// The session breaking and the network going away.
bool sessionExpiry(Demo& demo);
bool gatewayStorm(Demo& demo);
bool pauseAndResume(Demo& demo);

// The rest of the box: images and their cache, the proxy switch.
bool imageAndCache(Demo& demo);
bool proxySwitch(Demo& demo);

} // namespace demo
