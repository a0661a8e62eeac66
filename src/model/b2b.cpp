#include "model/b2b.h"

#include "model/fieldcodec_p.h"

namespace tq {

TQ_DEFINE_OBJECT(B2bMenuItem::Size)
TQ_DEFINE_OBJECT(B2bMenuItem)
TQ_DEFINE_OBJECT(B2bSubMenuItem)
TQ_DEFINE_OBJECT(B2bImageBanner::Content)
TQ_DEFINE_OBJECT(B2bImageBanner)
TQ_DEFINE_OBJECT(B2bMediaViewItemUnion)
TQ_DEFINE_OBJECT(B2bMediaBlockRendered)
TQ_DEFINE_OBJECT(B2bMediaViewRendered::Background)
TQ_DEFINE_ANSWER(B2bMediaViewRendered)

} // namespace tq
