#include "model/responsewithitems.h"

#include "model/fieldcodec_p.h"

namespace tq {

void ResponseWithItems::itemsFromCbor(CborReader& reader)
{
    reader.next();
}

} // namespace tq

TQ_DEFINE_OBJECT(tq::AppliedContentFilter)
TQ_DEFINE_OBJECT(tq::AppliedContentSort)
