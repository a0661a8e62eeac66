#pragma once
// FakePlatform: the TV platform on a FakeHttpServer, for the tests, the demo and the
// standalone apps/fakeplatform.
//
//   fake::FakeHttpServer server;
//   fake::FakePlatform platform(server);     // discovery at server.url("/discovery")
//
// Every request of the catalogue (api/catalogue.h) has a route under "/api/v<version>",
// answered with the sample of its answer type from testing/objectsamples/ (the samples the
// object tests decode). The API answers only a request whose "session_id" header holds a
// session this platform issued ("POST /api/v3/ulp/sessions"); after expireSessions() those
// answer 1000053 until "POST /api/v3/user/update_token" replaces them. On top of the
// samples: a channel line-up in JSON or CBOR (by the Accept header), guide items for those
// channels, favourites that POST adds and DELETE removes, a PNG for any image under
// "/images", and the push-notification websocket at discovery's "ws_url" (its tokens from
// "POST /api/v2/user/ws_token"; push() sends). Faults are switched per route.

#include "fakehttpserver.h"
#include "fakenotificationserver.h"

#include <QHash>
#include <QJsonObject>
#include <QSet>
#include <QStringList>

namespace fake {

// The default line-up's size.
constexpr int fakeChannelCount = 6;

// What a route does instead of answering normally.
struct PlatformFault
{
    int status = 0;        // an HTTP status to answer with (0: answer normally)
    int errorCode = 0;     // with a status: the platform's error body {error_code, description, details}
    QString description;
    QJsonObject details;
    int retryAfter = -1;   // seconds, sent as Retry-After when >= 0
    int times = -1;        // how many answers it affects (-1: until cleared)
    int delayMs = 0;       // a slow answer (with or without a status)
};

class FakePlatform
{
public:
    explicit FakePlatform(FakeHttpServer& server);

    FakeHttpServer& server() { return m_server; }
    QString discoveryUrl() const;

    // path as the request gives it, below the version ("/user/channels", "/user/epg/{id}").
    void setFault(const QByteArray& method, const QString& path, const PlatformFault& fault);
    void clearFault(const QByteArray& method, const QString& path);
    // Every API route (not discovery, not new sessions): a gateway storm and the like.
    void setFaultEverywhere(const PlatformFault& fault);
    void clearFaults();

    // Every live session answers 1000053 until it is replaced through update_token.
    void expireSessions();
    QStringList liveSessions() const;
    void addSession(const QString& id) { m_sessions.insert(id); }
    // Every session id is one this platform issued (a replay, whose sessions were redacted).
    void acceptAnySession() { m_anySession = true; }

    // The favourites as "content_type/content_id".
    QStringList favourites() const;

    // How many channels the line-up and the guide hold (fakeChannelCount unless set): a
    // benchmark makes it large so that decoding the line-up matters.
    void setChannelCount(int count)
    {
        m_channelCount = count;
        m_lineUp[0] = m_lineUp[1] = HttpResponse();
    }

    // The sample of an object or answer by name ("ChannelBrief", "GetEPGResponse"); empty when none.
    static QJsonObject sample(const QString& name);

    // The push-notification websocket, at discovery's "ws_url": "/ws" on this platform's own
    // address, passed on to push().
    QString webSocketUrl() const;
    FakeNotificationServer& push() { return m_push; }

private:
    struct Live;
    HttpResponse api(const QByteArray& method, const QString& route, const HttpRequest& request,
                     const std::function<HttpResponse(const HttpRequest&)>& answer);
    // orEverywhere: a route without a fault of its own takes the all-route one (discovery and
    // new sessions do not).
    std::optional<HttpResponse> fault(const QString& key, bool orEverywhere = true);
    void addCatalogueRoutes();
    void addOwnRoutes();
    QString newSession();

    FakeHttpServer& m_server;
    FakeNotificationServer m_push;
    QHash<QString, PlatformFault> m_faults; // "METHOD route", "*" for every route
    QSet<QString> m_sessions;
    QSet<QString> m_expired;
    int m_sessionCounter = 0;
    bool m_anySession = false;
    QStringList m_favourites;
    int m_favouriteIds = 100;
    int m_channelCount = fakeChannelCount;
    HttpResponse m_lineUp[2]; // the line-up's answer in JSON and in CBOR, once built
};

// The channel line-up every answer about channels agrees on (names repeat past the sixth).
QJsonObject fakeChannel(int index);

} // namespace fake
