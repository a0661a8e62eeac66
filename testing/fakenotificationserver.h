#pragma once
// FakeNotificationServer: the platform's push-notification websocket for tests and the demo.
//
//   fake::FakeNotificationServer push;                 // a real QWebSocketServer, 127.0.0.1, free port
//   push.serveTokens(platformHttpServer);              // POST /api/v2/user/ws_token issues tokens
//   receiver.startListen(push.url());                  // "ws://127.0.0.1:<port>/ws"
//   push.sendText(R"({"event_code": "message", ...})"); // to every connected client
//
// A connection whose "token" the server did not issue (or that has expired) is closed with
// 1008, as the platform does. Fault switches: refuse connections, close every connection
// with 1008, stop reading (pings go unanswered), drop openings (at once, or right after the
// upgrade), hold openings for a while of the clock (a slow network), drop every session,
// restart (drop everything, listen again on the same port), expire every token issued so
// far, and answer token requests badly (below). Times are read from the clock given to
// setClock() (the system clock by default), the same one the receiver under test uses.

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QWebSocketServer>

class QTcpSocket;
class QWebSocket;

namespace tq {
class Clock;
}

namespace fake {

class FakeHttpServer;

class FakeNotificationServer : public QObject
{
    Q_OBJECT
public:
    explicit FakeNotificationServer(QObject* parent = nullptr); // already listening
    ~FakeNotificationServer() override;

    quint16 port() const { return m_port; }
    QString url() const; // without the token

    // The token request of the platform on `http` (path as the engine sends it).
    void serveTokens(FakeHttpServer& http, const QString& path = QStringLiteral("/api/v2/user/ws_token"));
    QString issueToken(); // what the route hands out
    qint64 tokenLifetimeSeconds = 3600;
    // What the token route answers instead of a good token.
    enum class TokenFault { None, ExpiredAlready, NoExpiry, TextExpiry, EmptyToken, BadRequest };
    TokenFault tokenFault = TokenFault::None;
    void setClock(tq::Clock* clock); // null: the system clock

    void sendText(const QString& text);
    void sendBinary(const QByteArray& data);

    // Faults.
    void setRefusing(bool refusing);    // stop listening: connections are refused
    void setRejectingAll(bool rejecting); // close each new connection with 1008
    void setSilent(bool silent);        // stop reading from clients: pings go unanswered;
                                        // when it ends, the connections that went silent are dropped
    enum class OpeningDrop { None, AtAccept, AfterUpgrade };
    void setDroppingOpenings(OpeningDrop drop) { m_openingDrop = drop; }
    void setOpeningDelay(qint64 ms) { m_openingDelayMs = ms; } // new connections wait this long
    void expireTokens();                // tokens issued so far are refused from now on
    void dropConnections();             // every client, without a close frame
    void restart();                     // drop every client, listen again on the same port

    int clientCount() const { return m_clients.size(); }
    int handshakeCount() const { return m_handshakes; } // accepted websocket handshakes
    QStringList tokensSeen() const { return m_tokensSeen; }
    int tokensIssued() const { return m_issued; }
    bool isSilent() const { return m_silent; }
    int heldOpenings() const { return m_held; } // connections waiting out the opening delay

signals:
    void clientConnected(const QString& token);
    void clientRejected(const QString& token);
    // Each token request answered: the token (empty when the answer is a fault) and its
    // "expire_at" (0 when none was sent).
    void tokenRequested(const QString& token, qint64 expireAt);

private:
    void listen();
    void onNewConnection(QTcpSocket* socket);
    void onNewWebSocket();

    QTcpServer m_tcp;
    QWebSocketServer m_server{QStringLiteral("fake notifications"), QWebSocketServer::NonSecureMode};
    quint16 m_port = 0;
    QList<QWebSocket*> m_clients;
    QList<QWebSocket*> m_silenced; // connected when the server went silent
    QList<QPointer<QTcpSocket>> m_sockets;
    QSet<QString> m_validTokens;
    QStringList m_tokensSeen;
    int m_issued = 0;
    int m_handshakes = 0;
    int m_held = 0;
    bool m_rejecting = false;
    bool m_silent = false;
    OpeningDrop m_openingDrop = OpeningDrop::None;
    qint64 m_openingDelayMs = 0;
    tq::Clock* m_clock;
};

} // namespace fake
