#pragma once
// FakeServices: the auxiliary services and the party-games HTTP side, mounted on a
// FakeHttpServer, answering with the samples of testing/servicesamples.json.
//
//   fake::FakeHttpServer http;
//   fake::FakeServices services(&http);
//   services.configure(&store);          // points every service of the store at `http`
//
// Routes (under the server's base URL): thumbnails "/thumbs/rec42/playlist.json" and
// "/thumbs/rec42/sprite-0.jpg"; static data "/static/hd1080/qr.png"; release notes
// "/rn/4.2/index.html" and "/rn/4.2/new-guide.png"; partner service
// "/syt/api/partners/v1/qr" and ".../user_event"; the hotel playlist
// "/api/v2/user/b2b_hotel/playlist"; payments "/pay" (accepted, or denied for the card
// deniedCard()); party games "/party/app/settings", "/party/app/room/tv" and
// "/party/img/cat.png".

#include "fakehttpserver.h"

#include <QJsonValue>

namespace stbconfig {
class ConfigurationManager;
}

namespace fake {

class FakeServices
{
public:
    explicit FakeServices(FakeHttpServer* server);

    void configure(stbconfig::ConfigurationManager* store) const;
    QString url(const QString& path) const { return m_server->baseUrl() + path; }

    static QString deniedCard() { return QStringLiteral("4000000000000002"); }
    // One sample of servicesamples.json by its name ("hotel/playlist", ...).
    static QJsonValue sample(const QString& name);

private:
    FakeHttpServer* m_server;
};

} // namespace fake
