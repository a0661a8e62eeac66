#include "fakenotificationserver.h"

#include "fakehttpserver.h"

#include <QHostAddress>
#include <QJsonObject>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QWebSocket>

namespace fake {

FakeNotificationServer::FakeNotificationServer(QObject* parent) : QObject(parent)
{
    // The TCP side is ours so that a fault can stop reading a client's bytes.
    connect(&m_tcp, &QTcpServer::newConnection, this, [this] {
        m_sockets.removeAll(nullptr);
        while (QTcpSocket* socket = m_tcp.nextPendingConnection()) {
            socket->blockSignals(m_silent);
            m_sockets.append(socket);
            m_server.handleConnection(socket);
        }
    });
    connect(&m_server, &QWebSocketServer::newConnection, this, &FakeNotificationServer::onNewWebSocket);
    listen();
}

FakeNotificationServer::~FakeNotificationServer()
{
    dropClients();
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
        const QDateTime now = clock ? clock() : QDateTime::currentDateTimeUtc();
        const QString token = issueToken();
        return HttpResponse::json(200, QJsonObject{{"token", token},
                                                   {"expire_at", now.toSecsSinceEpoch() + tokenLifetimeSeconds}});
    });
}

QString FakeNotificationServer::issueToken()
{
    const QString token = QStringLiteral("token-%1").arg(++m_issued);
    m_validTokens.insert(token);
    return token;
}

void FakeNotificationServer::onNewWebSocket()
{
    while (QWebSocket* client = m_server.nextPendingConnection()) {
        ++m_handshakes;
        const QString token = QUrlQuery(client->requestUrl()).queryItemValue(QStringLiteral("token"));
        m_tokensSeen.append(token);
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

void FakeNotificationServer::dropClients()
{
    const QList<QWebSocket*> clients = std::exchange(m_clients, {});
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
    dropClients();
    m_tcp.close();
    listen();
}

} // namespace fake
