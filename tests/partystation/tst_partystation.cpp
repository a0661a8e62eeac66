// The party-games client: frames on bytes alone (envelopes out, game state in), then whole
// games against the fake service on a real websocket, with each of its misbehaviours, on a
// virtual clock.

#include "clockdriver.h"
#include "fakepartystation.h"
#include "partystationentry.h"

#include "partystation/partystationclient_p.h"
#include "platform/logging.h"

#include <QDir>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace pstv;
using namespace std::chrono_literals;

namespace {

template<class M, class Fill>
QSharedPointer<OutcomingMessage> message(Fill fill)
{
    auto m = QSharedPointer<M>::create();
    fill(*m);
    return m;
}

template<class M>
const M* as(const IncomingMessageSharedPtr& message)
{
    return dynamic_cast<const M*>(message.get());
}

// The host's side of a room: the messages it received, by type name, in arrival order.
struct Host
{
    explicit Host(PartyStationClient& client) : client(client)
    {
        QObject::connect(&client, &PartyStationClient::messageReceived, [this](const IncomingMessageSharedPtr& m) {
            received.append(m);
            if (const auto* state = as<GameStateMessage>(m))
                lastState = *state;
        });
    }
    int count(IncomingMessage::Type type) const
    {
        return int(std::count_if(received.begin(), received.end(), [type](const auto& m) { return m->type() == type; }));
    }
    bool send(const QSharedPointer<OutcomingMessage>& m) { return client.sendMessage(m); }
    bool next() // advance from the block on screen
    {
        return send(message<ShowNextGameBlockMessage>([&](auto& m) {
            m.currentBlockId = lastState.current.block.block.id;
            m.videoEnded = true;
        }));
    }

    PartyStationClient& client;
    QList<IncomingMessageSharedPtr> received;
    GameStateMessage lastState;
};

} // namespace

class TestPartyStation : public QObject
{
    Q_OBJECT

    std::unique_ptr<tq::ManualClock> m_clock;
    std::unique_ptr<fake::ClockDriver> m_driver;
    std::unique_ptr<fake::FakePartyStation> m_service;
    std::unique_ptr<PartyStationClient> m_client;

    void connectClient()
    {
        QSignalSpy connected(m_client.get(), &PartyStationClient::connected);
        m_client->startListen(m_service->url());
        QTRY_COMPARE(connected.size(), 1);
    }

    // Identify, open the room and select the quiz; true when the host saw the game start.
    void openRoomAndSelectGame(Host& host)
    {
        QVERIFY(host.send(message<GetPlayerIdMessage>([](auto& m) { m.client = 905; })));
        QVERIFY(host.send(message<OpenRoomMessage>([](auto& m) {
            m.roomId = "room-4817"; m.client = 905; m.utcOffset = "+03:00";
        })));
        QVERIFY(host.send(message<SelectGameMessage>([](auto& m) { m.gameId = 7; })));
        QVERIFY(host.send(message<GetGameStateMessage>([](auto& m) { m.roomId = "room-4817"; })));
        QTRY_COMPARE(host.lastState.current.block.block.id, 101);
    }

private slots:
    void init()
    {
        m_clock = std::make_unique<tq::ManualClock>();
        m_driver = std::make_unique<fake::ClockDriver>(*m_clock);
        m_service = std::make_unique<fake::FakePartyStation>();
        m_service->setClock(m_clock.get());
        m_client = std::make_unique<PartyStationClient>();
        m_client->setClock(m_clock.get());
        m_driver->watch(m_client.get(), m_service.get());
    }

    void cleanup()
    {
        m_driver.reset();
        m_client.reset();
        m_service.reset();
        m_clock.reset();
    }

    void envelopes_data()
    {
        QTest::addColumn<QSharedPointer<OutcomingMessage>>("message");
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("pause, nobody named: nulls") << message<SetPauseStateMessage>([](auto& m) { m.pause = true; })
            << QByteArray(R"({"type":"setPauseState","playerId":null,"language":null,"data":{"pause":true,"pausedBy":null}})");
        QTest::newRow("open room, all set") << message<OpenRoomMessage>([](auto& m) {
                m.playerId = "p1"; m.language = "ru"; m.roomId = "r"; m.client = 9007199254740993;
                m.deviceId = "d"; m.utcOffset = "-02:30";
            }) << QByteArray(R"({"type":"openRoom","playerId":"p1","language":"ru","data":{"roomId":"r",)"
                             R"("client":9007199254740993,"deviceId":"d","utcOffset":"-02:30"}})");
        QTest::newRow("open room, empty texts: nulls") << message<OpenRoomMessage>([](auto&) {})
            << QByteArray(R"({"type":"openRoom","playerId":null,"language":null,"data":{"roomId":null,"client":0,)"
                          R"("deviceId":null,"utcOffset":null}})");
        QTest::newRow("next block") << message<ShowNextGameBlockMessage>([](auto& m) { m.currentBlockId = -1; })
            << QByteArray(R"({"type":"showNextGameBlock","playerId":null,"language":null,"data":{"currentBlockId":-1,"videoEnded":false}})");
        QTest::newRow("player id") << message<GetPlayerIdMessage>([](auto& m) { m.client = 5; })
            << QByteArray(R"({"type":"getPlayerId","playerId":null,"language":null,"data":{"client":5}})");
        QTest::newRow("select game") << message<SelectGameMessage>([](auto& m) { m.gameId = 7; })
            << QByteArray(R"({"type":"selectGame","playerId":null,"language":null,"data":{"gameId":7}})");
        QTest::newRow("game state") << message<GetGameStateMessage>([](auto&) {})
            << QByteArray(R"({"type":"getGameState","playerId":null,"language":null,"data":{"roomId":null}})");
    }

    void envelopes()
    {
        QFETCH(QSharedPointer<OutcomingMessage>, message);
        QFETCH(QByteArray, json);
        QCOMPARE(QJsonDocument(message->toJson()).toJson(QJsonDocument::Compact),
                 QJsonDocument::fromJson(json).toJson(QJsonDocument::Compact));
        // What the service receives is that envelope, indented.
        connectClient();
        QSignalSpy commands(m_service.get(), &fake::FakePartyStation::commandReceived);
        QVERIFY(m_client->sendMessage(message));
        QTRY_COMPARE(commands.size(), 1);
        QCOMPARE(commands[0][0].toJsonObject(), message->toJson());
    }

    void sendLog_data()
    {
        QTest::addColumn<int>("limit"); // INT_MIN: never set
        QTest::addColumn<bool>("formatted");
        QTest::addColumn<QByteArray>("logged");
        const QByteArray compact = R"({"data":{"gameId":7},"language":null,"playerId":null,"type":"selectGame"})";
        QTest::newRow("initial limit: nothing shown") << INT_MIN << false << QByteArray("...");
        QTest::newRow("12 bytes") << 12 << false << compact.left(12) + "...";
        QTest::newRow("limit above the length") << 500 << false << compact;
        QTest::newRow("negative: everything") << -1 << false << compact;
        QTest::newRow("formatted") << -1 << true << QJsonDocument::fromJson(compact).toJson(QJsonDocument::Indented);
    }

    void sendLog()
    {
        QFETCH(int, limit);
        QFETCH(bool, formatted);
        QFETCH(QByteArray, logged);
        const int level = logging::logLevel();
        logging::setLogLevel(logging::Trace);
        connectClient();
        if (limit != INT_MIN)
            m_client->setJsonLengthLimit(limit);
        m_client->setJsonFormattingEnabled(formatted);
        QTest::ignoreMessage(QtDebugMsg, "[4] PartyStationClient: sendMessage:\n" + logged);
        QVERIFY(m_client->sendMessage(message<SelectGameMessage>([](auto& m) { m.gameId = 7; })));
        logging::setLogLevel(level);
    }

    void gameStateDecoding()
    {
        QFile seed(TQ_FUZZ_CORPUS "/game-state");
        QVERIFY(seed.open(QIODevice::ReadOnly));
        const DecodedFrame frame = decodeFrame(seed.readAll());
        const auto* state = as<GameStateMessage>(frame.message);
        QVERIFY(state);
        QCOMPARE(state->room.pausedAt, 1733475602);
        QCOMPARE(state->players.size(), 2);
        QCOMPARE(state->players[1].isHost, false);
        const GameBlock& block = state->current.block;
        QCOMPARE(block.infoParams.timer, -1); // its object was empty
        QCOMPARE(block.questionParams.tvQuestionVideo.hlsIptv, QString("https://cdn/iptv.m3u8"));
        QCOMPARE(block.questionParams.timerDelay, 3);
        // "102" and "x" hold objects (7 is skipped); "p2" is empty and skipped.
        QCOMPARE(state->current.resultTexts.size(), 2);
        QCOMPARE(state->current.resultTexts[0].blockId, 102);
        QCOMPARE(state->current.resultTexts[0].results.size(), 1);
        const PlayerResult& anna = state->current.resultTexts[0].results[0];
        QCOMPARE(anna.playerId, QString("p1"));
        QCOMPARE(anna.points, 100);
        QCOMPARE(anna.roundPoints, -1);
        QCOMPARE(state->current.resultTexts[1].blockId, -1); // "x" is no number
    }

    // Every seed decodes without a fault (sanitizer builds catch the rest).
    void fuzzSeeds()
    {
        const QDir dir(TQ_FUZZ_CORPUS);
        const QStringList files = dir.entryList(QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString& name : files) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QCOMPARE(fuzzing::partyFrame(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0);
        }
    }

    void wholeGame()
    {
        connectClient();
        Host host(*m_client);
        openRoomAndSelectGame(host);
        QCOMPARE(as<PlayerIdMessage>(host.received[0])->playerId, QString("tv-905"));
        QCOMPARE(as<RoomIdMessage>(host.received[1])->roomId, QString("room-4817"));
        QCOMPARE(host.lastState.current.block.infoParams.tvVideo.hlsOtt, QString("https://cdn.party.example/v/501/ott.m3u8"));

        QVERIFY(host.send(message<SetPauseStateMessage>([](auto& m) { m.pause = true; m.pausedBy = "p1"; })));
        QTRY_COMPARE(host.lastState.room.pausedBy, QString("p1"));
        QVERIFY(host.send(message<SetPauseStateMessage>([](auto& m) { m.pause = false; })));
        QTRY_COMPARE(host.lastState.room.pausedAt, -1);

        for (qint64 block : {102, 103}) {
            QVERIFY(host.next());
            QTRY_COMPARE(host.lastState.current.block.block.id, block);
        }
        QCOMPARE(host.lastState.current.resultTexts.size(), 1);
        QVERIFY(host.next());
        QTRY_COMPARE(host.lastState.room.status, 2); // over
        QCOMPARE(host.lastState.current.block.block.id, -1);
        QCOMPARE(host.lastState.current.resultTexts.size(), 2);
        QCOMPARE(host.lastState.current.resultTexts[1].results[0].text, QString("Winner"));
        QCOMPARE(m_service->connectionCount(), 1);
    }

    // The service vanishes mid-game: the client says so, refuses to send into the void,
    // reconnects by itself, and the game goes on from where it was.
    void dropMidGame()
    {
        m_service->setMisbehaviour(fake::FakePartyStation::Misbehaviour::DropMidGame);
        connectClient();
        Host host(*m_client);
        openRoomAndSelectGame(host);
        QSignalSpy disconnected(m_client.get(), &PartyStationClient::disconnected);
        QSignalSpy connected(m_client.get(), &PartyStationClient::connected);
        bool sentWhileDown = true;
        connect(m_client.get(), &PartyStationClient::disconnected, m_client.get(),
                [&] { sentWhileDown = host.next(); });
        QVERIFY(host.next());
        QTRY_COMPARE(disconnected.size(), 1);
        QVERIFY(!sentWhileDown); // not connected: reported, not lost silently
        QVERIFY(m_driver->advance(5s));
        QCOMPARE(connected.size(), 1);
        QVERIFY(host.next()); // sent again after connected()
        QTRY_COMPARE(host.lastState.current.block.block.id, 102);
        QCOMPARE(m_service->connectionCount(), 2);
    }

    // The network swallows everything, pongs included: the client gives up on the socket
    // after the pong wait and reconnects 5 s later once traffic flows again.
    void silentNetwork()
    {
        connectClient();
        QSignalSpy disconnected(m_client.get(), &PartyStationClient::disconnected);
        QSignalSpy connected(m_client.get(), &PartyStationClient::connected);
        m_service->setSilent(true);
        QVERIFY(m_driver->advance(13s)); // a ping after 10 s, no pong 3 s later
        QCOMPARE(disconnected.size(), 1);
        m_service->setSilent(false);
        QCOMPARE(m_clock->nextTimeoutMs(), 5000);
        QVERIFY(m_driver->advance(5s));
        QCOMPARE(connected.size(), 1);
        QCOMPARE(m_service->connectionCount(), 2);
    }

    // A slow network's handshake has its own bound (30 s), not the pong wait's 3 s.
    void openingHasItsOwnBound()
    {
        QSignalSpy connected(m_client.get(), &PartyStationClient::connected);
        m_service->setOpeningDelay(10000);
        m_client->startListen(m_service->url());
        QVERIFY(m_driver->advance(10s));
        QCOMPARE(connected.size(), 1);

        m_service->setOpeningDelay(3600 * 1000); // now one that never completes
        m_service->restart();
        QVERIFY(m_driver->advance(5s));
        QCOMPARE(m_clock->nextTimeoutMs(), 30000);
        QVERIFY(m_driver->advance(30s));
        QCOMPARE(m_clock->nextTimeoutMs(), 5000); // given up; the next opening in 5 s
        QCOMPARE(connected.size(), 1);
    }

    void stopListenEndsReconnection()
    {
        m_service->setMisbehaviour(fake::FakePartyStation::Misbehaviour::DropMidGame);
        connectClient();
        Host host(*m_client);
        openRoomAndSelectGame(host);
        QSignalSpy disconnected(m_client.get(), &PartyStationClient::disconnected);
        // Right after the client's own handling, i.e. during the reconnect wait.
        connect(m_client.get(), &PartyStationClient::disconnected, m_client.get(), &PartyStationClient::stopListen);
        QVERIFY(host.next());
        QTRY_COMPARE(disconnected.size(), 1);
        QVERIFY(m_driver->settle());
        QCOMPARE(m_clock->activeTimers(), 0); // nothing left to reconnect
        QCOMPARE(m_service->connectionCount(), 1);
    }

    // The host may delete the client from inside any of its signals.
    void hostDeletesClientInItsSignals_data()
    {
        QTest::addColumn<QString>("signal");
        QTest::newRow("connected") << "connected";
        QTest::newRow("messageReceived") << "messageReceived";
        QTest::newRow("disconnected") << "disconnected";
    }

    void hostDeletesClientInItsSignals()
    {
        QFETCH(QString, signal);
        auto* client = m_client.release();
        QPointer<PartyStationClient> alive(client);
        const auto remove = [client] { delete client; };
        if (signal == "connected")
            connect(client, &PartyStationClient::connected, this, remove);
        else if (signal == "messageReceived")
            connect(client, &PartyStationClient::messageReceived, this, remove);
        else
            connect(client, &PartyStationClient::disconnected, this, remove);
        client->startListen(m_service->url());
        QVERIFY(m_driver->settle());
        if (signal != "connected") {
            QVERIFY(client->sendMessage(message<GetPlayerIdMessage>([](auto& m) { m.client = 1; })));
            if (signal == "disconnected")
                m_service->restart();
        }
        QTRY_VERIFY(!alive);
        QVERIFY(m_driver->advance(1min));
        QCOMPARE(m_clock->activeTimers(), 0);
    }

    // One numbering for the whole process, whatever thread stores: no two frames share a file.
    void storedFramesAreNumberedOnce()
    {
        QTemporaryDir dir;
        PartyStationClient first, second;
        for (PartyStationClient* client : {&first, &second})
            client->setIncomingMessageStoragePath(dir.path());
        const QJsonObject frame{{"type", "gameState"}, {"data", QJsonObject()}};
        std::atomic<bool> go{false};
        const auto storeMany = [&frame, &go](PartyStationClient* client) {
            while (!go) {
            }
            for (int i = 0; i < 500; ++i)
                PartyStationClientPrivate::get(client)->store(frame, QStringLiteral("gameState"));
        };
        std::thread a(storeMany, &first), b(storeMany, &second);
        go = true;
        a.join();
        b.join();
        const QStringList runs = QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(runs.size(), 1);
        QCOMPARE(QDir(dir.filePath(runs[0])).entryList(QDir::Files).size(), 1000);
    }

    void notConnectedIsTracedNotWarned()
    {
        const int level = logging::logLevel();
        logging::setLogLevel(logging::Trace);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("sendMessage:\n"));
        QTest::ignoreMessage(QtDebugMsg, "[4] PartyStationClient: sendMessage: not connected, dropped selectGame");
        QVERIFY(!m_client->sendMessage(message<SelectGameMessage>([](auto& m) { m.gameId = 7; })));
        logging::setLogLevel(level);
    }

    // Noise around every answer: only the real messages and the one of a known type with
    // an unreadable "data" (default-valued) reach the host.
    void noise()
    {
        m_service->setMisbehaviour(fake::FakePartyStation::Misbehaviour::Noise);
        connectClient();
        Host host(*m_client);
        openRoomAndSelectGame(host);
        QCOMPARE(host.count(IncomingMessage::PlayerId), 1);
        QCOMPARE(as<PlayerIdMessage>(host.received[1])->playerId, QString("tv-905")); // never "intruder"
        // Five answers, each after a gameState whose "data" is an array: 3 real + 5 default.
        QCOMPARE(host.count(IncomingMessage::GameState), 3 + 5);
        const auto* unreadable = as<GameStateMessage>(host.received[0]);
        QVERIFY(unreadable);
        QCOMPARE(unreadable->current.game.id, -1);
        QCOMPARE(unreadable->room.pausedAt, -1);
        QVERIFY(unreadable->players.isEmpty());
    }

    // Answers held back and reversed: every one is delivered, in arrival order.
    void outOfOrder()
    {
        m_service->setMisbehaviour(fake::FakePartyStation::Misbehaviour::OutOfOrder);
        connectClient();
        Host host(*m_client);
        openRoomAndSelectGame(host);
        QTRY_COMPARE(host.received.size(), 5); // playerId, roomId, three game states
        QCOMPARE(host.count(IncomingMessage::PlayerId), 1);
        QCOMPARE(host.count(IncomingMessage::RoomId), 1);
        // The room's state came before the room id (both held until the next command).
        QCOMPARE(host.received[1]->type(), IncomingMessage::GameState);
        QCOMPARE(host.received[2]->type(), IncomingMessage::RoomId);
        QCOMPARE(host.lastState.current.block.block.id, 101);
    }

    void storedFramesReplay()
    {
        QTemporaryDir dir;
        m_client->setStoringIncomingMessageEnabled(true);
        m_client->setIncomingMessageStoragePath(dir.path());
        connectClient();
        Host host(*m_client);
        openRoomAndSelectGame(host);
        const QStringList runs = QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(runs.size(), 1);
        const QDir run(dir.filePath(runs[0]));
        const QStringList files = run.entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), host.received.size());
        QVERIFY2(files[0].endsWith("_playerId.json") && files[1].endsWith("_roomId.json"), qPrintable(files.join(' ')));

        PartyStationClient replaying; // never connected
        Host replay(replaying);
        replaying.setStoringIncomingMessageEnabled(true);
        replaying.readIncomingMessage(run.filePath(files.last()));
        QTRY_COMPARE(replay.lastState.current.block.block.id, 101);
        QCOMPARE(run.entryList(QDir::Files).size(), files.size()); // a replay is not stored again
    }
};

QTEST_GUILESS_MAIN(TestPartyStation)
#include "tst_partystation.moc"
