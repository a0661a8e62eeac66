#include "fakeadserver.h"

namespace fake {

struct FakeAdServer::State
{
    QByteArray vast;
    QStringList pixelHits;
    QList<HttpRequest> adRequests;
    Behaviour behaviour = Behaviour::Normal;
};

namespace {

const QStringList adPaths{"/avod/vast", "/alive/vast", "/vast3", "/ads/vast/get"};

} // namespace

const QStringList& FakeAdServer::pixelNames()
{
    static const QStringList names{"impression",    "error",    "creativeView", "start", "firstQuartile",
                                   "midpoint",      "thirdQuartile", "complete", "skip",  "custom"};
    return names;
}

QByteArray FakeAdServer::sampleVast(const QString& pixelBase)
{
    const auto pixel = [&pixelBase](const char* name) { return (pixelBase + QLatin1String(name)).toUtf8(); };
    QByteArray tracking;
    for (const char* event : {"creativeView", "start", "firstQuartile", "midpoint", "thirdQuartile", "complete", "skip"})
        tracking += "<Tracking event=\"" + QByteArray(event) + "\">" + pixel(event) + "</Tracking>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<VAST version=\"3.0\"><Ad id=\"demo-1\"><InLine><AdSystem>fake</AdSystem><AdTitle>Sample</AdTitle>"
           "<Impression><![CDATA[" + pixel("impression") + "]]></Impression>"
           "<Error>" + pixel("error") + "</Error>"
           "<Creatives><Creative id=\"c1\"><Linear skipoffset=\"00:00:05\"><Duration>00:00:30</Duration>"
           "<TrackingEvents>" + tracking + "</TrackingEvents>"
           "<MediaFiles>"
           "<MediaFile delivery=\"progressive\" type=\"video/mp4\" bitrate=\"1500\" width=\"1280\" height=\"720\">"
           "http://media.example/ad-720.mp4</MediaFile>"
           "<MediaFile delivery=\"progressive\" type=\"video/mp4\" bitrate=\"600\" width=\"640\" height=\"360\">"
           "http://media.example/ad-360.mp4</MediaFile>"
           "</MediaFiles></Linear></Creative></Creatives>"
           "<Extensions><Extension type=\"CustomTracking\"><Tracking event=\"start\">" + pixel("custom") + "</Tracking>"
           "</Extension><Extension type=\"AdTune\">{\"show\": 1, \"token\": \"t-1\", \"advertiserInfo\": \"Fake advertiser\"}"
           "</Extension></Extensions></InLine></Ad></VAST>";
}

FakeAdServer::FakeAdServer(FakeHttpServer* server, const QString& prefix)
    : m_server(server), m_prefix(prefix), m_state(std::make_shared<State>())
{
    m_state->vast = sampleVast(pixelUrl(QString()));
    const std::shared_ptr<State> state = m_state;
    for (const QString& path : adPaths) {
        server->route("GET", prefix + path, [state](const HttpRequest& request) {
            state->adRequests.append(request);
            switch (state->behaviour) {
            case Behaviour::Truncated:
                return HttpResponse::withBody(200, "application/xml", state->vast.left(state->vast.size() / 2));
            case Behaviour::ServerError:
                return HttpResponse::withBody(500, "text/plain", "ad server failure");
            default:
                return HttpResponse::withBody(200, "application/xml", state->vast);
            }
        });
    }
    for (const QString& name : pixelNames()) {
        server->route("GET", prefix + QStringLiteral("/pixel/") + name, [state, name](const HttpRequest&) {
            state->pixelHits.append(name);
            return HttpResponse::withBody(200, "", "");
        });
    }
}

QString FakeAdServer::baseUrl() const
{
    return m_server->baseUrl() + m_prefix;
}

QString FakeAdServer::pixelUrl(const QString& name) const
{
    return baseUrl() + QStringLiteral("/pixel/") + name;
}

void FakeAdServer::setVast(const QByteArray& document)
{
    m_state->vast = document;
}

void FakeAdServer::setBehaviour(Behaviour behaviour, int slowMs)
{
    m_state->behaviour = behaviour;
    Faults faults;
    if (behaviour == Behaviour::Slow)
        faults.delayMs = slowMs;
    faults.close = behaviour == Behaviour::HangUp ? Faults::Close::MidBody : Faults::Close::Never;
    faults.neverAnswer = behaviour == Behaviour::Silent;
    for (const QString& path : adPaths)
        m_server->setFaults("GET", m_prefix + path, faults);
}

QStringList FakeAdServer::pixelHits() const
{
    return m_state->pixelHits;
}

QList<HttpRequest> FakeAdServer::adRequests() const
{
    return m_state->adRequests;
}

void FakeAdServer::clear()
{
    m_state->pixelHits.clear();
    m_state->adRequests.clear();
}

} // namespace fake
