#include "fakenotificationserver.h"

#include "clockdriver.h"
#include "fakehttpserver.h"

#include "engine/clock.h"

#include <QHostAddress>
#include <QJsonObject>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QWebSocket>

namespace fake {

FakeNotificationServer::FakeNotificationServer(QObject* parent) : QObject(parent), m_clock(tq::Clock::system())
{
    // The TCP side is ours so that a fault can hold or stop reading a client's bytes.
    connect(&m_tcp, &QTcpServer::newConnection, this, [this] {
        m_sockets.removeAll(nullptr);
        while (QTcpSocket* socket = m_tcp.nextPendingConnection())
            onNewConnection(socket);
    });
    // Slow openings are the clock's business, not the server's own timer.
    m_server.setHandshakeTimeout(-1);
    connect(&m_server, &QWebSocketServer::newConnection, this, &FakeNotificationServer::onNewWebSocket);
    listen();
}

FakeNotificationServer::~FakeNotificationServer()
{
    dropConnections();
}

void FakeNotificationServer::setClock(tq::Clock* clock)
{
    m_clock = clock ? clock : tq::Clock::system();
}

void FakeNotificationServer::listen()
{
    m_tcp.listen(QHostAddress::LocalHost, m_port);
    m_port = m_tcp.serverPort();
}

QString FakeNotificationServer::url() const
{
    return QStringLiteral("ws://127.0.0.1:%1/ws").arg(m_port);
}

void FakeNotificationServer::serveTokens(FakeHttpServer& http, const QString& path)
{
    http.route("POST", path, [this](const HttpRequest&) {
        const qint64 now = m_clock->currentUtc().toSecsSinceEpoch();
        QJsonObject answer;
        qint64 expireAt = 0;
        switch (tokenFault) {
        case TokenFault::EmptyToken:
            answer = {{"token", ""}, {"expire_at", now + tokenLifetimeSeconds}};
            break;
        case TokenFault::BadRequest:
            emit tokenRequested(QString(), 0);
            return HttpResponse::json(400, QJsonObject{{"error", "bad request"}});
        case TokenFault::NoExpiry:
            answer = {{"token", issueToken()}};
            break;
        case TokenFault::TextExpiry:
            answer = {{"token", issueToken()}, {"expire_at", "soon"}};
            break;
        case TokenFault::ExpiredAlready:
            expireAt = now - 3600;
            answer = {{"token", issueToken()}, {"expire_at", expireAt}};
            break;
        case TokenFault::None:
            expireAt = now + tokenLifetimeSeconds;
            answer = {{"token", issueToken()}, {"expire_at", expireAt}};
            break;
        }
        emit tokenRequested(answer.value("token").toString(), expireAt);
        return HttpResponse::json(200, answer);
    });
}

QString FakeNotificationServer::issueToken()
{
    const QString token = QStringLiteral("token-%1").arg(++m_issued);
    m_validTokens.insert(token);
    return token;
}

void FakeNotificationServer::onNewConnection(QTcpSocket* socket)
{
    if (m_openingDrop == OpeningDrop::AtAccept) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    m_sockets.append(socket);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1); // answers go out at once, not after an ACK
    socket->blockSignals(m_silent);
    if (m_openingDelayMs <= 0) {
        m_server.handleConnection(socket);
        return;
    }
    // Held: its upgrade request waits, unread, until the delay has passed on the clock.
    holdConnection(socket, m_clock, m_openingDelayMs, m_held, [this, socket] {
        m_server.handleConnection(socket);
        if (socket->bytesAvailable() > 0 && !socket->signalsBlocked())
            QMetaObject::invokeMethod(socket, "readyRead", Qt::QueuedConnection);
    });
}

void FakeNotificationServer::onNewWebSocket()
{
    while (QWebSocket* client = m_server.nextPendingConnection()) {
        ++m_handshakes;
        const QString token = QUrlQuery(client->requestUrl()).queryItemValue(QStringLiteral("token"));
        m_tokensSeen.append(token);
        if (m_openingDrop == OpeningDrop::AfterUpgrade) {
            client->abort();
            client->deleteLater();
            continue;
        }
        if (m_rejecting || !m_validTokens.contains(token)) {
            client->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("token refused"));
            client->deleteLater();
            emit clientRejected(token);
            continue;
        }
        m_clients.append(client);
        connect(client, &QWebSocket::disconnected, this, [this, client] {
            m_clients.removeOne(client);
            client->deleteLater();
        });
        emit clientConnected(token);
    }
}

void FakeNotificationServer::sendText(const QString& text)
{
    for (QWebSocket* client : std::as_const(m_clients))
        client->sendTextMessage(text);
}

void FakeNotificationServer::sendBinary(const QByteArray& data)
{
    for (QWebSocket* client : std::as_const(m_clients))
        client->sendBinaryMessage(data);
}

void FakeNotificationServer::setRefusing(bool refusing)
{
    if (refusing)
        m_tcp.close();
    else if (!m_tcp.isListening())
        listen();
}

void FakeNotificationServer::setRejectingAll(bool rejecting)
{
    m_rejecting = rejecting;
}

void FakeNotificationServer::setSilent(bool silent)
{
    m_silent = silent;
    if (silent) {
        m_silenced = m_clients;
    } else {
        for (QWebSocket* client : std::exchange(m_silenced, {})) {
            if (m_clients.removeOne(client)) {
                client->disconnect(this);
                client->abort();
                client->deleteLater();
            }
        }
    }
    const QList<QPointer<QTcpSocket>> sockets = m_sockets;
    for (const QPointer<QTcpSocket>& socket : sockets) {
        if (!socket)
            continue;
        const bool wasSilent = socket->signalsBlocked();
        socket->blockSignals(silent);
        // Clients gave up on what went unanswered; a real server would have timed it out.
        if (wasSilent && !silent)
            socket->abort();
    }
}

void FakeNotificationServer::expireTokens()
{
    m_validTokens.clear();
}

void FakeNotificationServer::dropConnections()
{
    const QList<QWebSocket*> clients = std::exchange(m_clients, {});
    m_silenced.clear();
    for (QWebSocket* client : clients) {
        client->disconnect(this);
        client->abort();
        client->deleteLater();
    }
    for (const QPointer<QTcpSocket>& socket : std::as_const(m_sockets)) {
        if (socket)
            socket->abort();
    }
    m_sockets.clear();
}

void FakeNotificationServer::restart()
{
    dropConnections();
    m_tcp.close();
    listen();
}

} // namespace fake
