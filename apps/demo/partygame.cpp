#include "partygame.h"

#include "fakepartystation.h"
#include "fakeservices.h"

#include "engine/clientfacade.h"
#include "engine/tqcontext.h"
#include "partystation/partystationclient.h"
#include "partystation/partystationrequests.h"
#include "transport/configwrapper.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <memory>

namespace {

bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

} // namespace

bool playPartyGame(tq::TqContext& context, fake::FakeHttpServer& host, const std::function<void(const QString&)>& say)
{
    const fake::FakeServices services(&host);
    tq::TqConfigWrapper(context.configurationManager()).setPartyStationUrl(services.url(QStringLiteral("/party/")));
    fake::FakePartyStation partyService;

    // The room, over HTTP through the engine.
    std::unique_ptr<tq::TqClientFacade> http(context.createClient());
    QHash<qint64, QVariant> answers;
    QObject::connect(http.get(), &tq::TqClientFacade::dataReceived,
                     [&answers](qint64 id, const QVariant& answer) { answers.insert(id, answer); });
    const pstv::CreateRoomRequest createRoom;
    const qint64 roomRequest = http->sendRequest(&createRoom);
    if (!waitUntil([&] { return answers.contains(roomRequest); }))
        return false;
    const auto room = answers.value(roomRequest).value<pstv::CreateRoomResponse>();
    say(QStringLiteral("TV <- room code %1, players join at %2").arg(room.code, room.url));

    // The game, over the websocket.
    pstv::PartyStationClient tv;
    pstv::GameStateMessage state;
    QString playerId;
    QObject::connect(&tv, &pstv::PartyStationClient::messageReceived, [&](const pstv::IncomingMessageSharedPtr& m) {
        if (const auto* s = dynamic_cast<const pstv::GameStateMessage*>(m.get()))
            state = *s;
        else if (const auto* p = dynamic_cast<const pstv::PlayerIdMessage*>(m.get()))
            playerId = p->playerId;
    });
    bool connected = false;
    QObject::connect(&tv, &pstv::PartyStationClient::connected, [&connected] { connected = true; });
    tv.startListen(partyService.url());
    if (!waitUntil([&] { return connected; }))
        return false;

    auto identify = QSharedPointer<pstv::GetPlayerIdMessage>::create();
    identify->client = room.client;
    auto open = QSharedPointer<pstv::OpenRoomMessage>::create();
    open->client = room.client;
    auto select = QSharedPointer<pstv::SelectGameMessage>::create();
    select->gameId = 7;
    for (const QSharedPointer<pstv::OutcomingMessage>& m : {qSharedPointerCast<pstv::OutcomingMessage>(identify),
                                                              qSharedPointerCast<pstv::OutcomingMessage>(open),
                                                              qSharedPointerCast<pstv::OutcomingMessage>(select)})
        tv.sendMessage(m);
    if (!waitUntil([&] { return state.current.block.block.id > 0; }))
        return false;
    say(QStringLiteral("TV is %1; %2 players in the room; game \"%3\"")
            .arg(playerId)
            .arg(state.players.size())
            .arg(state.current.game.name));

    while (state.room.status != 2) {
        const qint64 block = state.current.block.block.id;
        say(QStringLiteral("TV shows block %1 \"%2\"%3")
                .arg(block)
                .arg(state.current.block.block.name,
                     state.current.block.infoParams.tvVideo.hlsOtt.isEmpty()
                         ? QString()
                         : QStringLiteral(", video %1").arg(state.current.block.infoParams.tvVideo.hlsOtt)));
        auto next = QSharedPointer<pstv::ShowNextGameBlockMessage>::create();
        next->currentBlockId = block;
        next->videoEnded = true;
        tv.sendMessage(next);
        if (!waitUntil([&] { return state.current.block.block.id != block || state.room.status == 2; }))
            return false;
    }
    for (const pstv::PlayerResult& result : state.current.resultTexts.value(state.current.resultTexts.size() - 1).results)
        say(QStringLiteral("  place %1: %2 with %3 points (%4)").arg(result.place).arg(result.playerId).arg(result.points).arg(result.text));
    tv.stopListen();
    return true;
}
