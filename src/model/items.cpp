#include "model/items.h"

#include "model/fieldcodec_p.h"

namespace tq {

QJsonObject ItemUnionBrief::toAnalyticsJson() const
{
    QJsonObject analytics;
    visitSelected(*this, [&analytics](const auto& member) { analytics = member.toAnalyticsJson(); });
    return analytics;
}

void MediaPositionItemUnion::fromJson(const QJsonObject& json)
{
    DecodedObject::fromJson(json);
    shareMediaPosition(*this);
}

int MediaPositionItemUnion::readCborField(CborReader& reader)
{
    // The position and the member may come in either order.
    const int status = DecodedObject::readCborField(reader);
    shareMediaPosition(*this);
    return status;
}

TQ_DEFINE_OBJECT(ItemUnionBrief)
TQ_DEFINE_OBJECT(SearchItemUnion)
TQ_DEFINE_OBJECT(SearchItemUnionGroup)
TQ_DEFINE_OBJECT(MediaPositionItemUnion)
TQ_DEFINE_ANSWER(GetSearchResponse)
TQ_DEFINE_ANSWER(GetGroupSearchResponse)
TQ_DEFINE_ANSWER(GetRemindersResponse)
TQ_DEFINE_ANSWER(GetServiceItemsResponse)
TQ_DEFINE_ANSWER(ListMyCollectionResponse)
TQ_DEFINE_ANSWER(GetMediaPositionsResponse)
TQ_DEFINE_ANSWER(Person)
TQ_DEFINE_OBJECT(PersonContentItems)
TQ_DEFINE_ANSWER(GetMediaItemPersonsResponse)
TQ_DEFINE_ANSWER(GetPersonRolesResponse)
TQ_DEFINE_ANSWER(GetPersonContentItemsResponse)

} // namespace tq
