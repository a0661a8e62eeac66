#include "model/epg.h"

#include "model/fieldcodec_p.h"

namespace tq {

QJsonObject analyticsItem(ContentItemType type, qint64 id)
{
    return QJsonObject{{QLatin1String("type"), contentItemType().key(type)}, {QLatin1String("id"), id}};
}

EPGItemBrief::EPGItemBrief(qint64 id) : DecodedObject(id), d(new EPGItemBriefPrivate) {}

void EPGItemBrief::fromJsonWithChannelInfo(const QJsonObject& json, const ChannelInfo* channelInfo)
{
    DecodedObject::fromJson(json);
    if (channelInfo)
        setChannelInfo(*channelInfo);
    else if (json.value(QLatin1String("channel_info")).toObject().isEmpty())
        setChannelInfo(ChannelInfo());
}

void EPGItemBrief::setChannelInfo(const ChannelInfo& info)
{
    if (fieldsEqual(info, ChannelInfo()))
        d->channelInfo.reset();
    else
        d->channelInfo = std::make_shared<const ChannelInfo>(info);
}

QJsonObject EPGItemBrief::toAnalyticsJson() const
{
    return analyticsItem(ContentItemType::Epg, id());
}

TQ_DEFINE_OBJECT(ChannelInfo)
TQ_DEFINE_OBJECT(TimeshiftOptionsEpg)
TQ_DEFINE_ANSWER(EPGItemBrief)
TQ_REGISTER_ANSWER(GetEPGByIDResponse)
TQ_DEFINE_OBJECT(ChannelEpg)
TQ_DEFINE_ANSWER(GetEPGResponse)

} // namespace tq
