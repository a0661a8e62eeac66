#include "objectsamples.h"

#include "model/channels.h"
#include "model/fieldcodec_p.h"

#include <QDir>
#include <QFile>
#include <QCborValue>
#include <QJsonArray>
#include <QJsonDocument>

namespace tq::samples {

QStringList objectSampleFamilies()
{
    QStringList families = QDir(QStringLiteral(TQ_OBJECT_SAMPLES)).entryList({QStringLiteral("*.json")}, QDir::Files);
    for (QString& family : families)
        family.chop(5);
    return families;
}

QJsonObject objectSamples(const QString& family)
{
    QFile file(QStringLiteral(TQ_OBJECT_SAMPLES "/%1.json").arg(family));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

} // namespace tq::samples

namespace tq::samples {

QJsonObject channelList(int channels, int guideItems)
{
    const QJsonObject channel = objectSamples(QStringLiteral("channels")).value(QLatin1String("ChannelBrief")).toObject();
    const QJsonObject programme = objectSamples(QStringLiteral("epg")).value(QLatin1String("EPGItemBrief")).toObject();
    QJsonArray items;
    for (int c = 0; c < channels; ++c) {
        QJsonObject item = channel;
        const qint64 id = 1000 + c;
        item.insert(QLatin1String("id"), id);
        item.insert(QLatin1String("number"), c + 1);
        item.insert(QLatin1String("tq_channel_id"), 500 + c);
        item.insert(QLatin1String("name"), QStringLiteral("Channel %1").arg(c + 1));
        item.insert(QLatin1String("logo"), QStringLiteral("https://img.tv.example/ch/%1.png").arg(id));
        item.insert(QLatin1String("is_favorite"), c % 7 == 0);
        QJsonObject source = item.value(QLatin1String("source")).toObject();
        source.insert(QLatin1String("url"), QStringLiteral("https://cdn1.tv.example/live/%1/index.m3u8").arg(id));
        item.insert(QLatin1String("source"), source);
        QJsonArray guide;
        for (int g = 0; g < guideItems; ++g) {
            QJsonObject entry = programme;
            const qint64 start = 1700000000 + qint64(g) * 3600;
            entry.insert(QLatin1String("id"), id * 100 + g);
            entry.insert(QLatin1String("name"), QStringLiteral("Programme %1 of channel %2").arg(g + 1).arg(c + 1));
            entry.insert(QLatin1String("start_time"), start);
            entry.insert(QLatin1String("end_time"), start + 3600);
            entry.insert(QLatin1String("has_reminder"), g % 4 == 0);
            // Guide items inside a channel carry no channel of their own, and the list sends
            // neither their pictures nor viewing positions (the guide screen asks for those).
            entry.remove(QLatin1String("channel_info"));
            entry.remove(QLatin1String("logo"));
            entry.remove(QLatin1String("media_position"));
            guide.append(entry);
        }
        item.insert(QLatin1String("epgs"), guide);
        items.append(item);
    }
    return QJsonObject{{QLatin1String("items"), items},
                       {QLatin1String("total_items"), channels},
                       {QLatin1String("applied_filters"), QJsonArray()}};
}

QByteArray channelListJson(int channels, int guideItems)
{
    return QJsonDocument(channelList(channels, guideItems)).toJson(QJsonDocument::Compact);
}

QByteArray channelListCbor(int channels, int guideItems)
{
    return QCborValue(cborFormOf<GetChannelsResponse>(channelList(channels, guideItems))).toCbor();
}

} // namespace tq::samples
