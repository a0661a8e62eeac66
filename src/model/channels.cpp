#include "model/channels.h"

#include "model/fieldcodec_p.h"

namespace tq {

ChannelBrief::ChannelBrief(qint64 id) : DecodedObject(id), d(new ChannelBriefPrivate) {}

QJsonObject ChannelBrief::toAnalyticsJson() const
{
    return analyticsItem(ContentItemType::Channel, id());
}

qsizetype ChannelBrief::removeFirstProgram()
{
    if (d->epgs.isEmpty())
        return 0;
    d->epgs.removeFirst();
    return d->epgs.size();
}

bool Channel::operator==(const Channel& other) const
{
    return fieldsEqual(*this, other);
}

TQ_DEFINE_OBJECT(TimeshiftOptionsChannel)
TQ_DEFINE_ANSWER(ChannelBrief)
TQ_DEFINE_ANSWER(Channel)
TQ_DEFINE_ANSWER(GetChannelsResponse)
TQ_DEFINE_ANSWER(GetProfileChannelsResponse)
TQ_DEFINE_ANSWER(GetTvDictionariesResponse)
TQ_DEFINE_OBJECT(RadioChannelSourceUser)
TQ_DEFINE_ANSWER(RadioChannel)
TQ_DEFINE_ANSWER(GetRadioChannelsResponse)
TQ_DEFINE_OBJECT(CanvasResponse::Item)
TQ_DEFINE_ANSWER(CanvasResponse)

} // namespace tq
