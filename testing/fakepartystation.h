#pragma once
// FakePartyStation: the party-games websocket service of the tests and the demo, on a real
// QWebSocketServer (127.0.0.1, a free port), playing one short scripted quiz:
//
//   getPlayerId            -> playerId "tv-<client>"
//   openRoom               -> roomId, then the lobby's gameState
//   selectGame             -> gameState at block 1 (an info block with a video)
//   showNextGameBlock(n)   -> gameState at block n+1 (2: a question, 3: the scores);
//                             after the last block, the final scores and status 2 (over)
//   setPauseState          -> gameState with the room paused (pausedAt, pausedBy) or not
//   getGameState           -> the current gameState
//
// The room outlives a connection, so a client that reconnects finds its game where it was.
// Misbehaviours: drop the connection once, at the first showNextGameBlock, before
// answering; surround each answer with noise (text that is no JSON, an envelope without
// "type", an unknown type, a gameState whose "data" is no object); or hold each answer
// back and send it after the answer to the next command (the last one comes with a
// getGameState). setSilent() turns the network into a black hole: the connection stays
// open, but nothing gets through either way (not even pongs) until it is turned off; then
// what was held back arrives, late, as TCP would deliver it.
// Network faults: drop each new connection at once, hold each new connection for a while of
// the clock given to setClock() before it reaches the service (a slow opening), drop every
// connection (a restart; the room stays).

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QWebSocketServer>

class QTcpSocket;
class QWebSocket;

namespace tq {
class Clock;
}

namespace fake {

class FakePartyStation : public QObject
{
    Q_OBJECT
public:
    enum class Misbehaviour { None, DropMidGame, Noise, OutOfOrder };
    static constexpr int blockCount = 3;

    explicit FakePartyStation(QObject* parent = nullptr);
    ~FakePartyStation() override;

    QString url() const; // "ws://127.0.0.1:<port>"
    void setMisbehaviour(Misbehaviour misbehaviour) { m_misbehaviour = misbehaviour; }
    void setSilent(bool silent);
    bool isSilent() const { return m_silent; }
    void setClock(tq::Clock* clock); // null: the system clock
    void setDroppingOpenings(bool dropping) { m_droppingOpenings = dropping; }
    void setOpeningDelay(qint64 ms) { m_openingDelayMs = ms; }
    int heldOpenings() const { return m_heldOpenings; }
    void restart(); // every connection dropped without a close frame

    QList<QJsonObject> commands() const { return m_commands; } // envelopes in arrival order
    int connectionCount() const { return m_connections; }
    // The state the next gameState answer carries ("data" of the envelope).
    QJsonObject gameState() const;

signals:
    void commandReceived(const QJsonObject& envelope);

private:
    void onFrontConnection();
    void relay(QTcpSocket* client);
    void onConnection();
    void onCommand(QWebSocket* socket, const QString& text);
    void answer(QWebSocket* socket, const QJsonObject& envelope);

    QTcpServer m_front; // relays to m_back, so that traffic can be swallowed
    QTcpServer m_back;  // hands its connections to m_server
    QWebSocketServer m_server;
    bool m_silent = false;
    QList<QPair<QPointer<QTcpSocket>, QByteArray>> m_heldBytes; // while silent, in order
    bool m_droppingOpenings = false;
    qint64 m_openingDelayMs = 0;
    int m_heldOpenings = 0;
    tq::Clock* m_clock;
    Misbehaviour m_misbehaviour = Misbehaviour::None;
    QList<QJsonObject> m_commands;
    QList<QJsonObject> m_held; // OutOfOrder: answers waiting for the next command
    int m_connections = 0;
    bool m_dropped = false;
    QString m_roomId = QStringLiteral("room-4817");
    bool m_gameSelected = false;
    int m_block = 0; // 0: none yet; blockCount + 1: the game is over
    bool m_paused = false;
    QString m_pausedBy;
};

} // namespace fake
