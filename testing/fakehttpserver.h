#pragma once
// FakeHttpServer: an in-process HTTP/1.1 server for tests and the offline demo.
//
//   fake::FakeHttpServer server;          // listens on 127.0.0.1, a free port
//   server.route("GET", "/user/age_levels", [](const fake::HttpRequest&) {
//       return fake::HttpResponse::json(200, QJsonObject{{"items", QJsonArray()}});
//   });
//   QUrl url = server.url("/user/age_levels?x=1");
//
// It runs on the event loop of the thread that created it (no threads of its own), keeps
// connections alive between requests, answers unknown routes with 404 and records every
// request it parsed (requests()). A route can misbehave on purpose through Faults: wait
// before answering, send the body in slow pieces, announce a false Content-Length, close
// the connection before or in the middle of the answer, or never answer at all; a handler may
// also pick the faults of each answer itself. A path can lead to a websocket server (tunnel()).

#include <QByteArray>
#include <QCborValue>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSize>
#include <QString>
#include <QTcpServer>
#include <QUrl>
#include <QUrlQuery>

#include <functional>
#include <optional>

namespace fake {

using HeaderList = QList<QPair<QByteArray, QByteArray>>;

struct HttpRequest
{
    QByteArray method;
    QString path; // decoded, without the query
    QUrlQuery query;
    HeaderList headers; // in arrival order, names as sent
    QByteArray body;

    // The first header of that name, compared case-insensitively; empty when absent.
    QByteArray header(const QByteArray& name) const;
};

struct Faults
{
    enum class Close { Never, BeforeAnswer, MidBody };

    int delayMs = 0;             // wait this long before answering
    int chunkSize = 0;           // > 0: write the body in pieces of this many bytes...
    int chunkIntervalMs = 10;    // ...this far apart
    qint64 contentLength = -1;   // >= 0: announce this instead of the real body size
    Close close = Close::Never;  // hang up before the status line, or after half the body
    bool neverAnswer = false;    // read the request, then stay silent
};

struct HttpResponse
{
    int status = 200;
    HeaderList headers; // Content-Length is added unless given here
    QByteArray body;
    std::optional<Faults> faults; // replaces the route's faults for this answer

    HttpResponse& header(const QByteArray& name, const QByteArray& value);
    static HttpResponse withBody(int status, const QByteArray& contentType, const QByteArray& body);
    static HttpResponse json(int status, const QJsonObject& object);
    static HttpResponse cbor(int status, const QCborValue& value);
};

using Handler = std::function<HttpResponse(const HttpRequest&)>;

class FakeHttpServer : public QObject
{
    Q_OBJECT
public:
    explicit FakeHttpServer(QObject* parent = nullptr); // already listening
    ~FakeHttpServer() override;

    // Listens on that port of 127.0.0.1 instead (0: a free one); false when it is taken.
    bool listen(quint16 port);
    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    QString baseUrl() const; // "http://127.0.0.1:<port>"
    QUrl url(const QString& pathAndQuery) const;

    // method "*" matches any method. A later route for the same method and path replaces it.
    // A path segment "{name}" or "%1" matches any one segment, when no exact route does.
    void route(const QByteArray& method, const QString& path, Handler handler, Faults faults = {});
    void setFaults(const QByteArray& method, const QString& path, Faults faults);
    // Asked before the routes for every request: what it answers is the answer, nothing lets
    // the routes answer (a replay of recorded answers).
    void answerFirst(std::function<std::optional<HttpResponse>(const HttpRequest&)> handler)
    {
        m_first = std::move(handler);
    }
    // A websocket opening ("Upgrade: websocket") for `path` is passed on, byte for byte both
    // ways, to the server on that port of 127.0.0.1: a websocket endpoint on this address.
    void tunnel(const QString& path, quint16 port) { m_tunnels.insert(path, port); }

    QList<HttpRequest> requests() const { return m_requests; }
    int requestCount(const QString& path) const;
    int connectionCount() const { return m_connections; } // TCP connections accepted so far
    void clearRequests() { m_requests.clear(); }

signals:
    void requestReceived(const fake::HttpRequest& request);

private:
    struct Route
    {
        Handler handler;
        Faults faults;
    };
    friend class Connection;

    const Route* findRoute(const QByteArray& method, const QString& path) const;
    void onNewConnection();

    QTcpServer m_server;
    QHash<QString, Route> m_routes; // "METHOD path"
    QHash<QString, quint16> m_tunnels; // path -> port
    std::function<std::optional<HttpResponse>(const HttpRequest&)> m_first;
    QList<HttpRequest> m_requests;
    int m_connections = 0;
};

// Encoded images of a given size, filled with one colour.
QByteArray pngBody(const QSize& size, bool grayscale = false);
QByteArray jpegBody(const QSize& size);
QByteArray jsonBody(const QJsonObject& object);
QByteArray cborBody(const QCborValue& value);

} // namespace fake

Q_DECLARE_METATYPE(fake::HttpRequest)
