#pragma once
// FakeAdServer: the ad servers of the tests and the demo, mounted on a FakeHttpServer.
//
//   fake::FakeHttpServer http;
//   fake::FakeAdServer ads(&http, "/ads");     // routes under /ads
//   config.setAdUrl(ads.baseUrl());            // GetShop ad server; also usable as the
//                                              // ad-stream, nsc and post-media address
//   ... ads.pixelHits() == {"impression", "start", ...}
//
// Every ad path ("/avod/vast", "/alive/vast", "/vast3", "/ads/vast/get") answers the same
// VAST document, by default sampleVast() whose pixels point back at this server; each
// pixel ("/pixel/<name>") answers 200 with no body and is recorded. setBehaviour() makes
// the ad paths slow, broken, failing or silent.

#include "fakehttpserver.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace fake {

class FakeAdServer
{
public:
    enum class Behaviour {
        Normal,
        Slow,        // the answer comes after slowMs
        Truncated,   // a complete HTTP answer whose XML stops half-way
        ServerError, // 500
        HangUp,      // the connection closes in the middle of the body
        Silent,      // the request is read, never answered
    };

    FakeAdServer(FakeHttpServer* server, const QString& prefix = QString());

    QString baseUrl() const;
    QString pixelUrl(const QString& name) const;

    void setVast(const QByteArray& document);
    void setBehaviour(Behaviour behaviour, int slowMs = 1000);

    QStringList pixelHits() const;   // pixel names in arrival order
    QList<HttpRequest> adRequests() const;
    void clear();

    // The pixel names sampleVast() uses; each has a route.
    static const QStringList& pixelNames();
    // One in-line 3.0 ad of 30 s, skippable after 5 s: an impression, an error pixel, two
    // media files, creativeView/start/quartile/complete/skip tracking, a custom tracking
    // extension ("custom" on start) and an AdTune block. Pixels under `pixelBase`.
    static QByteArray sampleVast(const QString& pixelBase);

private:
    struct State;
    FakeHttpServer* m_server;
    QString m_prefix;
    std::shared_ptr<State> m_state; // shared with the routes, which may outlive this object
};

} // namespace fake
