#include "partystationentry.h"

#include "partystation/messages.h"

namespace pstv::fuzzing {

int partyFrame(const uint8_t* data, size_t size)
{
    const DecodedFrame frame =
        decodeFrame(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    qint64 sum = frame.typeName.size();
    if (const auto* state = dynamic_cast<const GameStateMessage*>(frame.message.get())) {
        sum += state->room.pausedAt + state->players.size() + state->current.game.id;
        sum += state->current.block.infoParams.tvVideo.hlsOtt.size() +
               state->current.block.questionParams.tvQuestionVideo.hlsIptv.size();
        for (const BlockResults& block : state->current.resultTexts) {
            sum += block.blockId;
            for (const PlayerResult& result : block.results)
                sum += result.points + result.playerId.size() + result.text.size();
        }
    } else if (const auto* player = dynamic_cast<const PlayerIdMessage*>(frame.message.get())) {
        sum += player->playerId.size();
    } else if (const auto* room = dynamic_cast<const RoomIdMessage*>(frame.message.get())) {
        sum += room->roomId.size();
    }
    return sum == -1 ? 0 : 0; // the sum only keeps the reads
}

} // namespace pstv::fuzzing
