#pragma once
// Messages of the party-games websocket. Each text frame is one JSON envelope:
// {"type": <name>, "playerId": <text or null>, "language": <text or null>, "data": {...}}.
// The TV sends OutcomingMessage subclasses and receives IncomingMessage subclasses; the
// game state it renders arrives in GameStateMessage.

#include "tqglobal.h"

#include "model/fields.h"

#include <QJsonObject>
#include <QList>
#include <QMetaType>
#include <QSharedPointer>
#include <QString>

namespace pstv {

using tq::field;

// ---- outgoing ----

class TQ_EXPORT OutcomingMessage
{
public:
    enum Type { Unknown = 0, GetPlayerId = 1, OpenRoom = 2, SelectGame = 3, SetPauseState = 4, GetGameState = 5,
                ShowNextGameBlock = 6 };

    explicit OutcomingMessage(Type type) : m_type(type) {}
    virtual ~OutcomingMessage() = default;

    Type type() const { return m_type; }
    QString typeName() const;
    QString playerId;
    QString language;

    // The whole envelope.
    virtual QJsonObject toJson() const = 0;

protected:
    QJsonObject toJson(const QJsonObject& data) const;

private:
    Type m_type;
};

class TQ_EXPORT GetPlayerIdMessage : public OutcomingMessage
{
public:
    GetPlayerIdMessage() : OutcomingMessage(GetPlayerId) {}
    qint64 client = 0;
    QJsonObject toJson() const override;
};

class TQ_EXPORT OpenRoomMessage : public OutcomingMessage
{
public:
    OpenRoomMessage() : OutcomingMessage(OpenRoom) {}
    QString roomId;
    qint64 client = 0;
    QString deviceId;
    QString utcOffset;
    QJsonObject toJson() const override;
};

class TQ_EXPORT SelectGameMessage : public OutcomingMessage
{
public:
    SelectGameMessage() : OutcomingMessage(SelectGame) {}
    qint64 gameId = 0;
    QJsonObject toJson() const override;
};

class TQ_EXPORT SetPauseStateMessage : public OutcomingMessage
{
public:
    SetPauseStateMessage() : OutcomingMessage(SetPauseState) {}
    bool pause = false;
    QString pausedBy;
    QJsonObject toJson() const override;
};

class TQ_EXPORT GetGameStateMessage : public OutcomingMessage
{
public:
    GetGameStateMessage() : OutcomingMessage(GetGameState) {}
    QString roomId;
    QJsonObject toJson() const override;
};

class TQ_EXPORT ShowNextGameBlockMessage : public OutcomingMessage
{
public:
    ShowNextGameBlockMessage() : OutcomingMessage(ShowNextGameBlock) {}
    qint64 currentBlockId = 0;
    bool videoEnded = false;
    QJsonObject toJson() const override;
};

// ---- game state ----

class TQ_EXPORT Room : public tq::DecodedObject<Room>
{
    TQ_DECODED(Room)
public:
    QString id;
    qint64 status = 0;
    qint64 pausedAt = -1;
    QString pausedBy;
    static constexpr auto fields()
    {
        return std::make_tuple(field("id", &Room::id), field("status", &Room::status),
                               tq::idField("pausedAt", &Room::pausedAt), field("pausedBy", &Room::pausedBy));
    }
};

class TQ_EXPORT Player : public tq::DecodedObject<Player>
{
    TQ_DECODED(Player)
public:
    QString id;
    QString name;
    QString icon;
    bool online = false;
    bool isHost = false;
    static constexpr auto fields()
    {
        return std::make_tuple(field("id", &Player::id), field("name", &Player::name), field("icon", &Player::icon),
                               field("online", &Player::online), field("isHost", &Player::isHost));
    }
};

class TQ_EXPORT Game : public tq::DecodedObject<Game>
{
    TQ_DECODED(Game)
public:
    qint64 id = -1;
    QString name;
    qint64 questionBlocksCount = -1;
    static constexpr auto fields()
    {
        return std::make_tuple(tq::idField("id", &Game::id), field("name", &Game::name),
                               tq::idField("questionBlocksCount", &Game::questionBlocksCount));
    }
};

class TQ_EXPORT Block : public tq::DecodedObject<Block>
{
    TQ_DECODED(Block)
public:
    qint64 id = -1;
    QString name;
    qint64 type = 0;
    static constexpr auto fields()
    {
        return std::make_tuple(tq::idField("id", &Block::id), field("name", &Block::name),
                               field("type", &Block::type));
    }
};

// A video shown on the TV; the service lists variants, the first one is played.
class TQ_EXPORT TvVideo : public tq::DecodedObject<TvVideo>
{
    TQ_DECODED(TvVideo)
public:
    qint64 id = -1;
    QString originalName;
    QString hlsOtt;
    QString hlsIptv;
    static constexpr auto fields()
    {
        return std::make_tuple(tq::idField("id", &TvVideo::id), field("originalName", &TvVideo::originalName));
    }
    void fromJson(const QJsonObject& json);
};

class TQ_EXPORT InfoParams : public tq::DecodedObject<InfoParams>
{
    TQ_DECODED(InfoParams)
public:
    TvVideo tvVideo;
    qint64 timer = -1;
    qint64 timerDelay = -1;
    qint64 resultDisplayType = 0;
    qint64 transitionType = 0;
    static constexpr auto fields()
    {
        using P = InfoParams;
        return std::make_tuple(field("tvVideo", &P::tvVideo), tq::idField("timer", &P::timer),
                               tq::idField("timerDelay", &P::timerDelay),
                               field("resultDisplayType", &P::resultDisplayType),
                               field("transitionType", &P::transitionType));
    }
};

class TQ_EXPORT QuestionParams : public tq::DecodedObject<QuestionParams>
{
    TQ_DECODED(QuestionParams)
public:
    TvVideo tvQuestionVideo;
    qint64 timer = -1;
    qint64 timerDelay = -1;
    static constexpr auto fields()
    {
        using P = QuestionParams;
        return std::make_tuple(field("tvQuestionVideo", &P::tvQuestionVideo), tq::idField("timer", &P::timer),
                               tq::idField("timerDelay", &P::timerDelay));
    }
};

// Members whose object is empty keep their defaults.
class TQ_EXPORT GameBlock : public tq::DecodedObject<GameBlock>
{
    TQ_DECODED(GameBlock)
public:
    Block block;
    InfoParams infoParams;
    QuestionParams questionParams;
    static constexpr auto fields()
    {
        return std::make_tuple(field("block", &GameBlock::block), field("infoParams", &GameBlock::infoParams),
                               field("questionParams", &GameBlock::questionParams));
    }
};

class TQ_EXPORT PlayerResult : public tq::DecodedObject<PlayerResult>
{
    TQ_DECODED(PlayerResult)
public:
    QString playerId; // the key it stands under
    qint64 correctAnswers = -1;
    qint64 correctRoundAnswers = -1;
    qint64 place = -1;
    qint64 points = -1;
    qint64 roundPoints = -1;
    qint64 roundQuestions = -1;
    QString text;
    static constexpr auto fields()
    {
        using R = PlayerResult;
        return std::make_tuple(tq::idField("correctAnswers", &R::correctAnswers),
                               tq::idField("correctRoundAnswers", &R::correctRoundAnswers),
                               tq::idField("place", &R::place), tq::idField("points", &R::points),
                               tq::idField("roundPoints", &R::roundPoints),
                               tq::idField("roundQuestions", &R::roundQuestions), field("text", &R::text));
    }
};

// The results of one block, one per player, in the order the service listed them.
struct TQ_EXPORT BlockResults
{
    qint64 blockId = -1; // the key it stands under
    QList<PlayerResult> results;
};

class TQ_EXPORT Current : public tq::DecodedObject<Current>
{
    TQ_DECODED(Current)
public:
    Game game;
    GameBlock block;
    QList<BlockResults> resultTexts;
    static constexpr auto fields()
    {
        return std::make_tuple(field("game", &Current::game), field("block", &Current::block));
    }
    void fromJson(const QJsonObject& json);
};

// ---- incoming ----

class TQ_EXPORT IncomingMessage
{
public:
    enum Type { Unknown = 0, PlayerId = 1, RoomId = 2, GameState = 3 };

    explicit IncomingMessage(Type type) : m_type(type) {}
    virtual ~IncomingMessage() = default;

    Type type() const { return m_type; }
    // `data`: the envelope's "data" object (empty when missing or not an object).
    virtual void fromJson(const QJsonObject& data) = 0;

    // A new message of the type the name stands for; null for a name not in the table.
    static QSharedPointer<IncomingMessage> create(const QString& typeName);

private:
    Type m_type;
};

class TQ_EXPORT PlayerIdMessage : public IncomingMessage
{
public:
    PlayerIdMessage() : IncomingMessage(PlayerId) {}
    QString playerId;
    void fromJson(const QJsonObject& data) override;
};

class TQ_EXPORT RoomIdMessage : public IncomingMessage
{
public:
    RoomIdMessage() : IncomingMessage(RoomId) {}
    QString roomId;
    void fromJson(const QJsonObject& data) override;
};

class TQ_EXPORT GameStateMessage : public IncomingMessage
{
public:
    GameStateMessage() : IncomingMessage(GameState) {}
    Room room;
    QList<Player> players;
    Current current;
    void fromJson(const QJsonObject& data) override;
};

using IncomingMessageSharedPtr = QSharedPointer<IncomingMessage>;

// One received text frame, decoded. `message` is null without a "type" or for an unknown
// type; `hasType` tells the two apart.
struct TQ_EXPORT DecodedFrame
{
    QJsonObject envelope;
    QString typeName;
    bool hasType = false;
    IncomingMessageSharedPtr message;
};
TQ_EXPORT DecodedFrame decodeFrame(const QByteArray& utf8);

} // namespace pstv

Q_DECLARE_METATYPE(pstv::IncomingMessageSharedPtr)
