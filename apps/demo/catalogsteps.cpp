// The session's catalogue requests, each answer told by what it holds.

#include "steps.h"

#include "api/catalogue.h"

#include <QDateTime>

namespace demo {

namespace {

QString clockTime(qint64 secsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secsSinceEpoch, Qt::UTC).toString(QStringLiteral("HH:mm"));
}

QString listed(const QStringList& names)
{
    return names.isEmpty() ? QStringLiteral("(none)") : names.join(QStringLiteral(", "));
}

} // namespace

bool channelList(Demo& demo)
{
    const auto channels = demo.guide.ask<tq::GetChannelsResponse>(tq::GetChannelsRequest());
    if (!channels || channels->items.isEmpty())
        return false;
    demo.channels = channels->items;
    QStringList names;
    for (const tq::ChannelBrief& channel : channels->items)
        names.append(channel.name());
    say(QStringLiteral("%1 channels: %2").arg(names.size()).arg(names.join(QStringLiteral(", "))));

    // The front end answers in CBOR exactly when the box says it takes it.
    const QByteArray accept = lastRequest(demo.world.frontEndServing(demo.session), QStringLiteral("/api/v3/user/channels"))
                                  .header("Accept");
    say(QStringLiteral("the request said \"Accept: %1\", so the line-up came as %2")
            .arg(QString::fromLatin1(accept), accept.contains("application/cbor") ? "CBOR" : "JSON"));
    return true;
}

bool programmeGuide(Demo& demo)
{
    tq::GetEpgRequest request;
    for (const tq::ChannelBrief& channel : demo.channels.mid(0, 2))
        request.channelsIds.append(channel.id());
    const qint64 hour = QDateTime::currentSecsSinceEpoch() / 3600 * 3600;
    request.startTime = hour;
    request.endTime = hour + 3 * 3600;
    request.limit = 3;
    const auto epg = demo.guide.ask<tq::GetEPGResponse>(request);
    if (!epg || epg->items.isEmpty())
        return false;
    say(QStringLiteral("guide: %1 channels, %2 programmes each").arg(epg->items.size()).arg(epg->items.first().channelPrograms.size()));
    for (const tq::ChannelEpg& channel : epg->items) {
        QStringList programmes;
        for (const tq::EPGItemBrief& programme : channel.channelPrograms)
            programmes.append(QStringLiteral("%1 \"%2\"").arg(clockTime(programme.startTime()), programme.name()));
        say(QStringLiteral("  channel %1: %2").arg(channel.channelId).arg(programmes.join(QStringLiteral(", "))));
    }
    return true;
}

bool contentPage(Demo& demo)
{
    tq::GetMediaViewAliasRequest request(QStringLiteral("home"));
    request.limit = 10;
    const auto page = demo.guide.ask<tq::MediaViewRendered>(request);
    if (!page)
        return false;
    say(QStringLiteral("content page '%1': %2 of %3 sections sent")
            .arg(page->name)
            .arg(page->mediaBlocks.size())
            .arg(page->totalBlocks));
    for (const tq::MediaBlockRendered& block : page->mediaBlocks) {
        QStringList kinds;
        for (const tq::MediaViewItemUnion& item : block.items)
            kinds.append(item.type);
        say(QStringLiteral("  section '%1': %2 items (%3)").arg(block.name).arg(block.items.size()).arg(kinds.join(QStringLiteral(", "))));
    }
    return !page->name.isEmpty();
}

bool favourites(Demo& demo)
{
    if (demo.channels.size() < 3)
        return false;
    const tq::ChannelBrief& channel = demo.channels.at(2);
    tq::CreateFavoriteRequest add;
    add.body.contentId = channel.id();
    add.body.contentType = tq::ContentItemType::Channel;
    const auto added = demo.guide.ask<tq::IdFavoriteResponse>(add);
    if (!added)
        return false;
    const QStringList afterAdding = demo.world.platformServing(demo.session).favourites();
    say(QStringLiteral("added %1 (%2); the platform's favourites: %3").arg(channel.name()).arg(added->contentId).arg(listed(afterAdding)));

    const tq::DeleteFavoriteByIdRequest remove(QStringLiteral("channel"), channel.id());
    const auto removed = demo.guide.ask<tq::SuccessResponse>(remove);
    if (!removed || !removed->success)
        return false;
    const QStringList afterRemoving = demo.world.platformServing(demo.session).favourites();
    say(QStringLiteral("removed it; the platform's favourites: %1").arg(listed(afterRemoving)));

    say(QStringLiteral("removing it again (the platform's error reaches the screen's handler):"));
    const qint64 again = demo.guide.send(remove);
    return demo.guide.wait({again}) && demo.guide.errors.contains(again) && afterAdding.size() == 1 && afterRemoving.isEmpty();
}

} // namespace demo
