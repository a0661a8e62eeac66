#include "model/screens.h"

#include "model/fieldcodec_p.h"
#include "model/items.h"

#include <algorithm>

namespace tq {

void MediaViewItemUnion::fromJson(const QJsonObject& json)
{
    DecodedObject::fromJson(json);
    shareMediaPosition(*this);
}

const stbcore::AbstractDataItem* MediaViewItemUnion::dataItem() const
{
    const stbcore::AbstractDataItem* item = nullptr;
    visitSelected(*this, [&item](const stbcore::AbstractDataItem& member) { item = &member; });
    return item;
}

QJsonObject MediaViewItemUnion::toAnalyticsJson() const
{
    if (channel)
        return channel->toAnalyticsJson();
    if (epg)
        return epg->toAnalyticsJson();
    if (mediaItem)
        return mediaItem->toAnalyticsJson();
    if (karaokeItem)
        return karaokeItem->toAnalyticsJson();
    if (collection)
        return analyticsItem(ContentItemType::Collection, collection->id());
    if (service)
        return analyticsItem(ContentItemType::Service, service->id());
    if (banner) // banners are not content: a kind of their own
        return QJsonObject{{QLatin1String("type"), QLatin1String("banner")}, {QLatin1String("id"), banner->id()}};
    return {};
}

QList<const stbcore::AbstractDataItem*> MediaBlockRendered::extractMediaViewItemUnion() const
{
    QList<const stbcore::AbstractDataItem*> extracted;
    extracted.reserve(items.size());
    for (const MediaViewItemUnion& item : items) {
        if (const stbcore::AbstractDataItem* member = item.dataItem())
            extracted.append(member);
    }
    return extracted;
}

bool MediaBlockRendered::isValid() const
{
    const QList<const stbcore::AbstractDataItem*> extracted = extractMediaViewItemUnion();
    return !extracted.isEmpty()
        && std::all_of(extracted.begin(), extracted.end(), [](const auto* item) { return item->id() > 0; });
}

QJsonObject MediaBlockRendered::toAnalyticsJson() const
{
    QJsonArray analyticsItems;
    for (const MediaViewItemUnion& item : items)
        analyticsItems.append(item.toAnalyticsJson());
    return QJsonObject{{QLatin1String("type"), type},
                       {QLatin1String("display_type"), displayTypeDictionary().key(displayType)},
                       {QLatin1String("name"), name},
                       {QLatin1String("target"), target.toJson()},
                       {QLatin1String("items"), analyticsItems},
                       {QLatin1String("ab_test"), abTest.toAnalyticsJson()},
                       {QLatin1String("tag"), tag},
                       {QLatin1String("recom_aux"), recomAux}};
}

TQ_DEFINE_OBJECT(AbTestTemplate)
TQ_DEFINE_OBJECT(MediaViewItemUnion)
TQ_DEFINE_OBJECT(MediaBlockRendered)
TQ_DEFINE_ANSWER(MediaViewRendered)
TQ_DEFINE_OBJECT(ScreensaverMediaFile)
TQ_DEFINE_ANSWER(GetSplashScreenResponse)
TQ_DEFINE_OBJECT(RecomColdStartContent)
TQ_DEFINE_OBJECT(RecomColdStartGenreBrief)
TQ_DEFINE_ANSWER(GetColdStartGenresResponse)
TQ_DEFINE_ANSWER(GetColdStartContentResponse)

} // namespace tq
