#include "model/profiles.h"

#include "model/fieldcodec_p.h"

namespace tq {

TQ_DEFINE_OBJECT(ProfileIcon)
TQ_DEFINE_ANSWER(GetProfileIconsResponse)
TQ_DEFINE_OBJECT(ProfileIconItem)
TQ_DEFINE_OBJECT(PurchaseLimits)
TQ_DEFINE_OBJECT(ViewLimits)
TQ_DEFINE_ANSWER(ProfileBrief)
TQ_DEFINE_ANSWER(ListProfilesResponse)
TQ_DEFINE_ANSWER(ContentViewResponse)
TQ_DEFINE_ANSWER(PostPreviewResponse)
TQ_DEFINE_ANSWER(MediaPositionIDResponse)

} // namespace tq
