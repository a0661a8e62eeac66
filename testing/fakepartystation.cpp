#include "fakepartystation.h"

#include "clockdriver.h"

#include "engine/clock.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTcpSocket>
#include <QWebSocket>

namespace fake {
namespace {

QJsonObject envelope(const char* type, const QJsonObject& data)
{
    return {{"type", QLatin1String(type)}, {"data", data}};
}

QJsonObject video(int id, const char* name)
{
    const QString base = QStringLiteral("https://cdn.party.example/v/%1").arg(id);
    return {{"id", id},
            {"originalName", QLatin1String(name)},
            {"variants", QJsonArray{QJsonObject{{"hls_ott", base + "/ott.m3u8"}, {"hls_iptv", base + "/iptv.m3u8"}},
                                    QJsonObject{{"hls_ott", base + "/low.m3u8"}}}}};
}

QJsonObject gameBlock(int block)
{
    switch (block) {
    case 1:
        return {{"block", QJsonObject{{"id", 101}, {"name", "Welcome"}, {"type", 1}}},
                {"infoParams", QJsonObject{{"tvVideo", video(501, "intro.mp4")}, {"timer", 15}, {"timerDelay", 2},
                                           {"resultDisplayType", 0}, {"transitionType", 1}}},
                {"questionParams", QJsonObject()}};
    case 2:
        return {{"block", QJsonObject{{"id", 102}, {"name", "Who said it?"}, {"type", 2}}},
                {"infoParams", QJsonObject()},
                {"questionParams", QJsonObject{{"tvQuestionVideo", video(502, "question-1.mp4")}, {"timer", 20},
                                               {"timerDelay", 3}}}};
    case 3:
        return {{"block", QJsonObject{{"id", 103}, {"name", "Scores"}, {"type", 3}}},
                {"infoParams", QJsonObject{{"resultDisplayType", 2}, {"transitionType", 2}}}};
    default:
        return {};
    }
}

QJsonObject results(bool final)
{
    const auto result = [](int place, int points, const char* text) {
        return QJsonObject{{"correctAnswers", points / 100}, {"correctRoundAnswers", points / 100},
                           {"place", place}, {"points", points}, {"roundPoints", points},
                           {"roundQuestions", 1}, {"text", QLatin1String(text)}};
    };
    QJsonObject texts{{"102", QJsonObject{{"p1", result(1, 100, "Brilliant!")}, {"p2", result(2, 0, "Next time")}}}};
    if (final)
        texts.insert("103", QJsonObject{{"p1", result(1, 100, "Winner")}, {"p2", result(2, 0, "Runner-up")}});
    return texts;
}

} // namespace

FakePartyStation::FakePartyStation(QObject* parent)
    : QObject(parent), m_server(QStringLiteral("fake party station"), QWebSocketServer::NonSecureMode),
      m_clock(tq::Clock::system())
{
    m_server.setHandshakeTimeout(-1); // slow openings are the clock's business
    connect(&m_server, &QWebSocketServer::newConnection, this, &FakePartyStation::onConnection);
    m_back.listen(QHostAddress::LocalHost, 0);
    connect(&m_back, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_back.nextPendingConnection()) {
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1); // no Nagle wait for an ACK
            m_server.handleConnection(socket);
        }
    });
    m_front.listen(QHostAddress::LocalHost, 0);
    connect(&m_front, &QTcpServer::newConnection, this, &FakePartyStation::onFrontConnection);
}

void FakePartyStation::setClock(tq::Clock* clock)
{
    m_clock = clock ? clock : tq::Clock::system();
}

void FakePartyStation::onFrontConnection()
{
    while (QTcpSocket* client = m_front.nextPendingConnection()) {
        client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        if (m_droppingOpenings) {
            client->abort();
            continue;
        }
        if (m_openingDelayMs <= 0) {
            relay(client);
            continue;
        }
        // Held: its bytes wait, unread, until the delay has passed on the clock.
        holdConnection(client, m_clock, m_openingDelayMs, m_heldOpenings, [this, client] { relay(client); });
    }
}

void FakePartyStation::relay(QTcpSocket* client)
{
    auto* service = new QTcpSocket(client);
    connect(service, &QTcpSocket::connected, service,
            [service] { service->setSocketOption(QAbstractSocket::LowDelayOption, 1); });
    service->connectToHost(QHostAddress::LocalHost, m_back.serverPort());
    const auto pipe = [this](QTcpSocket* from, QTcpSocket* to) {
        const auto pass = [this, from, to] {
            const QByteArray bytes = from->readAll();
            if (m_silent)
                m_heldBytes.append({to, bytes});
            else if (to->isOpen()) // the other end may have gone meanwhile
                to->write(bytes);
        };
        connect(from, &QTcpSocket::readyRead, to, pass);
        connect(from, &QTcpSocket::disconnected, to, &QTcpSocket::disconnectFromHost);
        return pass;
    };
    const auto passWaiting = pipe(client, service);
    pipe(service, client);
    if (client->bytesAvailable() > 0)
        passWaiting(); // what arrived while the connection was held
}

void FakePartyStation::setSilent(bool silent)
{
    m_silent = silent;
    if (silent)
        return;
    for (const auto& [to, bytes] : std::exchange(m_heldBytes, {})) {
        if (to && to->isOpen())
            to->write(bytes);
    }
}

void FakePartyStation::restart()
{
    for (QTcpSocket* client : m_front.findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly))
        client->abort();
}

FakePartyStation::~FakePartyStation() = default;

QString FakePartyStation::url() const
{
    return QStringLiteral("ws://127.0.0.1:%1").arg(m_front.serverPort());
}

QJsonObject FakePartyStation::gameState() const
{
    const int status = m_block > blockCount ? 2 : m_gameSelected ? 1 : 0;
    QJsonObject room{{"id", m_roomId}, {"status", status}};
    if (m_paused)
        room.insert("pausedAt", 1733475600 + m_block), room.insert("pausedBy", m_pausedBy);
    const QJsonArray players{
        QJsonObject{{"id", "p1"}, {"name", "Anna"}, {"icon", "cat"}, {"online", true}, {"isHost", true}},
        QJsonObject{{"id", "p2"}, {"name", "Boris"}, {"icon", "fox"}, {"online", true}, {"isHost", false}}};
    QJsonObject current;
    if (m_gameSelected) {
        current = {{"game", QJsonObject{{"id", 7}, {"name", "Movie quiz"}, {"questionBlocksCount", 1}}},
                   {"block", gameBlock(m_block)}};
        if (m_block >= 3)
            current.insert("resultTexts", results(m_block > blockCount));
    }
    return {{"state", QJsonObject{{"room", room}, {"players", players}, {"current", current}}}};
}

void FakePartyStation::onConnection()
{
    while (QWebSocket* socket = m_server.nextPendingConnection()) {
        ++m_connections;
        socket->setParent(this);
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, socket](const QString& text) { onCommand(socket, text); });
        connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void FakePartyStation::onCommand(QWebSocket* socket, const QString& text)
{
    const QJsonObject command = QJsonDocument::fromJson(text.toUtf8()).object();
    m_commands.append(command);
    emit commandReceived(command);
    const QString type = command.value("type").toString();
    const QJsonObject data = command.value("data").toObject();

    if (type == "showNextGameBlock" && m_misbehaviour == Misbehaviour::DropMidGame && !m_dropped) {
        m_dropped = true;
        socket->abort(); // gone without an answer or a close frame
        return;
    }

    QList<QJsonObject> answers;
    if (type == "getPlayerId") {
        answers.append(envelope("playerId", {{"playerId", QStringLiteral("tv-%1").arg(data.value("client").toInteger())}}));
    } else if (type == "openRoom") {
        m_roomId = data.value("roomId").toString(m_roomId);
        answers.append(envelope("roomId", {{"roomId", m_roomId}}));
    } else if (type == "selectGame") {
        m_gameSelected = true;
        m_block = 1;
    } else if (type == "showNextGameBlock") {
        // A stale block id (a command sent twice) changes nothing.
        if (m_gameSelected && data.value("currentBlockId").toInteger() == 100 + m_block && m_block <= blockCount)
            ++m_block;
    } else if (type == "setPauseState") {
        m_paused = data.value("pause").toBool();
        m_pausedBy = data.value("pausedBy").toString();
    } else if (type != "getGameState") {
        return; // not a command of this service
    }
    if (type != "getPlayerId")
        answers.append(envelope("gameState", gameState()));

    if (m_misbehaviour == Misbehaviour::OutOfOrder) {
        std::swap(m_held, answers);
        if (type == "getGameState") // nothing left behind
            answers = m_held + answers, m_held.clear();
        std::reverse(answers.begin(), answers.end());
    }
    for (const QJsonObject& answer : answers)
        this->answer(socket, answer);
}

void FakePartyStation::answer(QWebSocket* socket, const QJsonObject& envelope)
{
    const auto send = [socket](const QByteArray& text) { socket->sendTextMessage(QString::fromUtf8(text)); };
    if (m_misbehaviour == Misbehaviour::Noise) {
        send("}{ not json");
        send(R"({"data": {"playerId": "intruder"}})");
        send(R"({"type": "confetti", "data": {"colour": "gold"}})");
        send(R"({"type": "gameState", "data": [1, 2, 3]})");
    }
    send(QJsonDocument(envelope).toJson(QJsonDocument::Compact));
}

} // namespace fake
