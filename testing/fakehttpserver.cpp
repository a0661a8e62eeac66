#include "fakehttpserver.h"

#include "engine/request.h"

#include <QBuffer>
#include <QCborValue>
#include <QHostAddress>
#include <QImage>
#include <QJsonDocument>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace fake {

QByteArray HttpRequest::header(const QByteArray& name) const
{
    for (const auto& h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return QByteArray();
}

HttpResponse& HttpResponse::header(const QByteArray& name, const QByteArray& value)
{
    headers.append({name, value});
    return *this;
}

HttpResponse HttpResponse::withBody(int status, const QByteArray& contentType, const QByteArray& body)
{
    HttpResponse response;
    response.status = status;
    response.body = body;
    if (!contentType.isEmpty())
        response.header("Content-Type", contentType);
    return response;
}

HttpResponse HttpResponse::json(int status, const QJsonObject& object)
{
    return withBody(status, "application/json", jsonBody(object));
}

HttpResponse HttpResponse::cbor(int status, const QCborValue& value)
{
    return withBody(status, "application/cbor", cborBody(value));
}

// One client connection: parses requests one after the other and answers each in turn.
class Connection : public QObject
{
public:
    Connection(FakeHttpServer* server, QTcpSocket* socket) : QObject(socket), m_server(server), m_socket(socket)
    {
        connect(socket, &QTcpSocket::readyRead, this, &Connection::onReadyRead);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    void onReadyRead()
    {
        m_buffer += m_socket->readAll();
        processBuffered();
    }

    // Takes the next complete request off the buffer, unless one is still being answered.
    void processBuffered()
    {
        while (!m_busy) {
            const qsizetype headEnd = m_buffer.indexOf("\r\n\r\n");
            if (headEnd < 0)
                return;
            const QList<QByteArray> lines = m_buffer.left(headEnd).split('\n');
            HttpRequest request;
            const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
            request.method = requestLine.value(0);
            const QUrl target = QUrl::fromEncoded(requestLine.value(1));
            request.path = target.path();
            request.query = QUrlQuery(target);
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const qsizetype colon = lines[i].indexOf(':');
                if (colon > 0)
                    request.headers.append({lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
            }
            const auto tunnel = m_server->m_tunnels.constFind(request.path);
            if (tunnel != m_server->m_tunnels.cend() && request.header("Upgrade").toLower().contains("websocket")) {
                m_server->m_requests.append(request);
                emit m_server->requestReceived(request);
                passOn(*tunnel);
                return;
            }
            const qsizetype length = request.header("Content-Length").toLongLong();
            if (m_buffer.size() < headEnd + 4 + length)
                return; // the body is still on its way
            request.body = m_buffer.mid(headEnd + 4, length);
            m_buffer.remove(0, headEnd + 4 + length);
            m_busy = true;
            handle(request);
        }
    }

    // From here on the connection belongs to the server on `port`: what is buffered (the
    // opening request) goes first, then everything either side sends, until one side leaves.
    void passOn(quint16 port)
    {
        disconnect(m_socket, &QTcpSocket::readyRead, this, &Connection::onReadyRead);
        auto* far = new QTcpSocket(this);
        const auto forward = [this, far] {
            if (far->state() == QAbstractSocket::ConnectedState)
                far->write(m_socket->readAll());
        };
        connect(far, &QTcpSocket::connected, this, [this, far, forward] {
            far->write(std::exchange(m_buffer, {}));
            forward();
        });
        connect(m_socket, &QTcpSocket::readyRead, this, forward);
        connect(far, &QTcpSocket::readyRead, this, [this, far] { m_socket->write(far->readAll()); });
        connect(far, &QTcpSocket::disconnected, m_socket, &QTcpSocket::disconnectFromHost);
        connect(far, &QTcpSocket::errorOccurred, m_socket, &QTcpSocket::disconnectFromHost);
        connect(m_socket, &QTcpSocket::disconnected, far, &QTcpSocket::disconnectFromHost);
        far->connectToHost(QHostAddress::LocalHost, port);
    }

    void handle(const HttpRequest& request)
    {
        m_server->m_requests.append(request);
        emit m_server->requestReceived(request);
        const std::optional<HttpResponse> first = m_server->m_first ? m_server->m_first(request) : std::nullopt;
        const FakeHttpServer::Route* route = first ? nullptr : m_server->findRoute(request.method, request.path);
        const HttpResponse response = first   ? *first
                                      : route ? route->handler(request)
                                              : HttpResponse::withBody(404, "text/plain", "");
        const Faults faults = response.faults ? *response.faults : route ? route->faults : Faults();
        m_closeAfter = request.header("Connection").compare("close", Qt::CaseInsensitive) == 0;
        if (faults.neverAnswer)
            return; // stays busy: later requests on this connection are never read either
        const bool head = request.method == "HEAD";
        if (faults.delayMs > 0)
            QTimer::singleShot(faults.delayMs, this, [=] { answer(response, faults, head); });
        else
            answer(response, faults, head);
    }

    void answer(const HttpResponse& response, const Faults& faults, bool head)
    {
        if (faults.close == Faults::Close::BeforeAnswer) {
            m_socket->disconnectFromHost();
            return;
        }
        bool chunked = false;
        bool hasLength = false;
        QByteArray wire = "HTTP/1.1 " + QByteArray::number(response.status) + ' '
                          + tq::httpReasonPhrase(response.status).toLatin1() + "\r\n";
        for (const auto& h : response.headers) {
            chunked |= h.first.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0 && h.second.contains("chunked");
            hasLength |= h.first.compare("Content-Length", Qt::CaseInsensitive) == 0;
            wire += h.first + ": " + h.second + "\r\n";
        }
        const bool lies = faults.contentLength >= 0 && faults.contentLength != response.body.size();
        if (faults.contentLength >= 0)
            wire += "Content-Length: " + QByteArray::number(faults.contentLength) + "\r\n";
        else if (!hasLength && !chunked)
            wire += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        // After a false length the client cannot find the next answer, so the connection ends.
        m_closeAfter |= lies;
        if (m_closeAfter)
            wire += "Connection: close\r\n";
        wire += "\r\n";

        QByteArray body;
        if (!head && response.status != 204 && response.status != 304)
            body = chunked ? chunkedEncoding(response.body) : response.body;
        if (faults.close == Faults::Close::MidBody) {
            m_socket->write(wire + body.left(body.size() / 2));
            m_socket->disconnectFromHost();
            return;
        }
        if (faults.chunkSize > 0) {
            m_socket->write(wire);
            writeSlowly(body, faults.chunkSize, faults.chunkIntervalMs);
            return;
        }
        m_socket->write(wire + body);
        finish();
    }

    void writeSlowly(const QByteArray& rest, int size, int interval)
    {
        if (rest.isEmpty()) {
            finish();
            return;
        }
        m_socket->write(rest.left(size));
        const QByteArray next = rest.mid(size);
        QTimer::singleShot(interval, this, [=] { writeSlowly(next, size, interval); });
    }

    static QByteArray chunkedEncoding(const QByteArray& body)
    {
        QByteArray encoded;
        if (!body.isEmpty())
            encoded = QByteArray::number(body.size(), 16) + "\r\n" + body + "\r\n";
        return encoded + "0\r\n\r\n";
    }

    void finish()
    {
        m_busy = false;
        if (m_closeAfter) {
            m_socket->disconnectFromHost();
            return;
        }
        processBuffered();
    }

    FakeHttpServer* m_server;
    QTcpSocket* m_socket;
    QByteArray m_buffer;
    bool m_busy = false;
    bool m_closeAfter = false;
};

FakeHttpServer::FakeHttpServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &FakeHttpServer::onNewConnection);
    m_server.listen(QHostAddress::LocalHost, 0);
}

bool FakeHttpServer::listen(quint16 port)
{
    m_server.close();
    return m_server.listen(QHostAddress::LocalHost, port);
}

FakeHttpServer::~FakeHttpServer()
{
    // Connections refer to the routes, so they go first.
    m_server.close();
    qDeleteAll(m_server.findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly)); // a tunnel's own socket goes with its client
}

QString FakeHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

QUrl FakeHttpServer::url(const QString& pathAndQuery) const
{
    return QUrl(baseUrl() + pathAndQuery);
}

void FakeHttpServer::route(const QByteArray& method, const QString& path, Handler handler, Faults faults)
{
    m_routes.insert(QString::fromLatin1(method) + QLatin1Char(' ') + path, Route{std::move(handler), faults});
}

void FakeHttpServer::setFaults(const QByteArray& method, const QString& path, Faults faults)
{
    const auto it = m_routes.find(QString::fromLatin1(method) + QLatin1Char(' ') + path);
    if (it != m_routes.end())
        it->faults = faults;
}

const FakeHttpServer::Route* FakeHttpServer::findRoute(const QByteArray& method, const QString& path) const
{
    auto it = m_routes.constFind(QString::fromLatin1(method) + QLatin1Char(' ') + path);
    if (it == m_routes.cend())
        it = m_routes.constFind(QStringLiteral("* ") + path);
    if (it != m_routes.cend())
        return &*it;
    // Patterns: a segment "{name}" or "%1" stands for any one segment; the pattern with the
    // literal segments nearest the end wins ("/user/%1/filters" over "/user/channels/{id}").
    const QList<QStringView> segments = QStringView(path).split(QLatin1Char('/'));
    const Route* best = nullptr;
    qsizetype bestLiterals = -1;
    for (auto route = m_routes.cbegin(); route != m_routes.cend(); ++route) {
        const QString& key = route.key();
        const qsizetype space = key.indexOf(QLatin1Char(' '));
        const QStringView routeMethod = QStringView(key).left(space);
        if (routeMethod != QLatin1String(method) && routeMethod != QLatin1String("*"))
            continue;
        const QList<QStringView> pattern = QStringView(key).mid(space + 1).split(QLatin1Char('/'));
        if (pattern.size() != segments.size())
            continue;
        bool matches = true;
        qsizetype literals = 0;
        for (qsizetype i = 0; matches && i < pattern.size(); ++i) {
            const bool any = pattern[i].startsWith(QLatin1Char('{')) || pattern[i] == QLatin1String("%1");
            matches = any || pattern[i] == segments[i];
            literals += any ? 0 : qsizetype(1) << i;
        }
        if (matches && literals > bestLiterals) {
            best = &*route;
            bestLiterals = literals;
        }
    }
    return best;
}

int FakeHttpServer::requestCount(const QString& path) const
{
    return int(std::count_if(m_requests.cbegin(), m_requests.cend(),
                             [&path](const HttpRequest& r) { return r.path == path; }));
}

void FakeHttpServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++m_connections;
        new Connection(this, socket);
    }
}

// ---- bodies ----

namespace {
QByteArray encodedImage(const QSize& size, QImage::Format format, const char* type)
{
    QImage image(size, format);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, type);
    return buffer.data();
}
} // namespace

QByteArray pngBody(const QSize& size, bool grayscale)
{
    return encodedImage(size, grayscale ? QImage::Format_Grayscale8 : QImage::Format_RGB32, "PNG");
}

QByteArray jpegBody(const QSize& size)
{
    return encodedImage(size, QImage::Format_RGB32, "JPEG");
}

QByteArray jsonBody(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray cborBody(const QCborValue& value)
{
    return value.toCbor();
}

} // namespace fake
