#include "partystation/messages.h"

#include "model/fieldcodec_p.h"

#include <QJsonDocument>

namespace pstv {
namespace {

QJsonValue textOrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

} // namespace

QString OutcomingMessage::typeName() const
{
    static const char* const names[] = {"", "getPlayerId", "openRoom", "selectGame", "setPauseState",
                                        "getGameState", "showNextGameBlock"};
    return QString::fromLatin1(m_type >= 0 && m_type <= ShowNextGameBlock ? names[m_type] : "");
}

QJsonObject OutcomingMessage::toJson(const QJsonObject& data) const
{
    return {{QLatin1String("type"), typeName()},
            {QLatin1String("playerId"), textOrNull(playerId)},
            {QLatin1String("language"), textOrNull(language)},
            {QLatin1String("data"), data}};
}

QJsonObject GetPlayerIdMessage::toJson() const
{
    return OutcomingMessage::toJson({{QLatin1String("client"), client}});
}

QJsonObject OpenRoomMessage::toJson() const
{
    return OutcomingMessage::toJson({{QLatin1String("roomId"), textOrNull(roomId)},
                                     {QLatin1String("client"), client},
                                     {QLatin1String("deviceId"), textOrNull(deviceId)},
                                     {QLatin1String("utcOffset"), textOrNull(utcOffset)}});
}

QJsonObject SelectGameMessage::toJson() const
{
    return OutcomingMessage::toJson({{QLatin1String("gameId"), gameId}});
}

QJsonObject SetPauseStateMessage::toJson() const
{
    return OutcomingMessage::toJson(
        {{QLatin1String("pause"), pause}, {QLatin1String("pausedBy"), textOrNull(pausedBy)}});
}

QJsonObject GetGameStateMessage::toJson() const
{
    return OutcomingMessage::toJson({{QLatin1String("roomId"), textOrNull(roomId)}});
}

QJsonObject ShowNextGameBlockMessage::toJson() const
{
    return OutcomingMessage::toJson(
        {{QLatin1String("currentBlockId"), currentBlockId}, {QLatin1String("videoEnded"), videoEnded}});
}

void TvVideo::fromJson(const QJsonObject& json)
{
    DecodedObject::fromJson(json);
    const QJsonObject first = json.value(QLatin1String("variants")).toArray().at(0).toObject();
    hlsOtt = first.value(QLatin1String("hls_ott")).toString();
    hlsIptv = first.value(QLatin1String("hls_iptv")).toString();
}

void Current::fromJson(const QJsonObject& json)
{
    DecodedObject::fromJson(json);
    resultTexts.clear();
    const QJsonObject texts = json.value(QLatin1String("resultTexts")).toObject();
    for (auto block = texts.begin(); block != texts.end(); ++block) {
        const QJsonObject players = block.value().toObject();
        if (players.isEmpty())
            continue;
        BlockResults results;
        bool ok = false;
        results.blockId = block.key().toLongLong(&ok);
        if (!ok)
            results.blockId = -1;
        for (auto player = players.begin(); player != players.end(); ++player) {
            const QJsonObject result = player.value().toObject();
            if (result.isEmpty())
                continue;
            PlayerResult entry;
            entry.fromJson(result);
            entry.playerId = player.key();
            results.results.append(entry);
        }
        resultTexts.append(results);
    }
}

QSharedPointer<IncomingMessage> IncomingMessage::create(const QString& typeName)
{
    if (typeName == QLatin1String("playerId"))
        return QSharedPointer<PlayerIdMessage>::create();
    if (typeName == QLatin1String("roomId"))
        return QSharedPointer<RoomIdMessage>::create();
    if (typeName == QLatin1String("gameState"))
        return QSharedPointer<GameStateMessage>::create();
    return {};
}

void PlayerIdMessage::fromJson(const QJsonObject& data)
{
    playerId = data.value(QLatin1String("playerId")).toString();
}

void RoomIdMessage::fromJson(const QJsonObject& data)
{
    roomId = data.value(QLatin1String("roomId")).toString();
}

void GameStateMessage::fromJson(const QJsonObject& data)
{
    const QJsonObject state = data.value(QLatin1String("state")).toObject();
    const QJsonObject roomJson = state.value(QLatin1String("room")).toObject();
    if (!roomJson.isEmpty())
        room.fromJson(roomJson);
    players.clear();
    const QJsonArray list = state.value(QLatin1String("players")).toArray();
    for (const QJsonValue& value : list) {
        Player player;
        player.fromJson(value.toObject());
        players.append(player);
    }
    const QJsonObject currentJson = state.value(QLatin1String("current")).toObject();
    if (!currentJson.isEmpty())
        current.fromJson(currentJson);
}

DecodedFrame decodeFrame(const QByteArray& utf8)
{
    DecodedFrame frame;
    frame.envelope = QJsonDocument::fromJson(utf8).object();
    const QJsonValue type = frame.envelope.value(QLatin1String("type"));
    frame.hasType = !type.isUndefined();
    if (!frame.hasType)
        return frame;
    frame.typeName = type.toString();
    frame.message = IncomingMessage::create(frame.typeName);
    if (frame.message)
        frame.message->fromJson(frame.envelope.value(QLatin1String("data")).toObject());
    return frame;
}

TQ_DEFINE_OBJECT(Room)
TQ_DEFINE_OBJECT(Player)
TQ_DEFINE_OBJECT(Game)
TQ_DEFINE_OBJECT(Block)
TQ_DEFINE_OBJECT(TvVideo)
TQ_DEFINE_OBJECT(InfoParams)
TQ_DEFINE_OBJECT(QuestionParams)
TQ_DEFINE_OBJECT(GameBlock)
TQ_DEFINE_OBJECT(PlayerResult)
TQ_DEFINE_OBJECT(Current)

namespace {
const int sharedMessageType = qRegisterMetaType<IncomingMessageSharedPtr>("IncomingMessageSharedPtr");
}

} // namespace pstv
