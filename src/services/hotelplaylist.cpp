#define TQ_DEFINE_WIRE_STRINGS_IN // the dictionaries of hotelplaylist.h are built here
#include "services/hotelplaylist.h"

#include "model/fieldcodec_p.h"

namespace tq::b2b::playlist {

QJsonObject Item::toJson() const
{
    QJsonObject json = DecodedObject::toJson();
    json.remove(QLatin1String("start_offset"));
    return json;
}

TQ_DEFINE_OBJECT(StartTime)
TQ_DEFINE_OBJECT(Ticker)
TQ_DEFINE_OBJECT(ContentItem)
TQ_DEFINE_OBJECT(Item)
TQ_DEFINE_OBJECT(Block)
TQ_DEFINE_ANSWER(PlaylistResponse)

} // namespace tq::b2b::playlist
