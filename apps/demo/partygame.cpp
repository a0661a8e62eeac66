#include "partygame.h"
#include "demohost.h"

#include "fakepartystation.h"
#include "fakeservices.h"

#include "engine/tqcontext.h"
#include "partystation/partystationclient.h"
#include "partystation/partystationrequests.h"
#include "transport/configwrapper.h"

using demo::say;
using demo::waitUntil;

bool playPartyGame(tq::TqContext& context, const fake::FakeServices& services)
{
    tq::TqConfigWrapper(context.configurationManager()).setPartyStationUrl(services.url(QStringLiteral("/party/")));
    fake::FakePartyStation partyService;

    // The room, over HTTP through the engine.
    demo::Screen http(context, QStringLiteral("Party"));
    const auto answer = http.ask<pstv::CreateRoomResponse>(pstv::CreateRoomRequest());
    if (!answer)
        return false;
    const pstv::CreateRoomResponse& room = *answer;
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
