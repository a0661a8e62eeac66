#include "model/media.h"

#include "model/epg.h"
#include "model/fieldcodec_p.h"

namespace tq {

QJsonObject MediaItemBrief::toAnalyticsJson() const
{
    return analyticsItem(ContentItemType::MediaItem, id());
}

QJsonObject KaraokeItemBrief::toAnalyticsJson() const
{
    return analyticsItem(ContentItemType::KaraokeItem, id());
}

TQ_DEFINE_ANSWER(MediaItemBrief)
TQ_DEFINE_OBJECT(Genre)
TQ_DEFINE_OBJECT(ContentFilterOption)
TQ_DEFINE_OBJECT(ContentFilterUser)
TQ_DEFINE_OBJECT(ContentFilterUserBrief)
TQ_DEFINE_OBJECT(ContentFilterThemeUser)
TQ_DEFINE_OBJECT(SortBrief)
TQ_DEFINE_ANSWER(GetMediaItemByIDResponse)
TQ_DEFINE_ANSWER(GetMediaItemsResponse)
TQ_DEFINE_ANSWER(CollectionItemsResponse)
TQ_DEFINE_OBJECT(CollectionBrief)
TQ_DEFINE_ANSWER(CollectionResponse)
TQ_DEFINE_ANSWER(CollectionsResponse)
TQ_DEFINE_OBJECT(KaraokeArtist)
TQ_DEFINE_OBJECT(KaraokeItemBrief)
TQ_DEFINE_ANSWER(GetKaraokeItemsResponse)
TQ_DEFINE_ANSWER(GetKaraokeItemByIDResponse)
TQ_DEFINE_ANSWER(SortsResponse)
TQ_DEFINE_ANSWER(FiltersResponse)
TQ_DEFINE_ANSWER(ContentFilterThemesResponse)
TQ_DEFINE_ANSWER(GetContentTypesResponse)
TQ_DEFINE_ANSWER(GetAgeLimitsResponse)

} // namespace tq
