#include "model/records.h"

#include "model/jsonwriter_p.h"

namespace tq {

TQ_DEFINE_OBJECT(AgeLevel)
TQ_DEFINE_OBJECT(NamedId)
TQ_DEFINE_OBJECT(MediaPositionBrief)
TQ_DEFINE_OBJECT(SeriesMediaPosition)
TQ_DEFINE_OBJECT(Ratings)
TQ_DEFINE_OBJECT(Label)
TQ_DEFINE_OBJECT(MediaFile)
TQ_DEFINE_OBJECT(SkippableFragment)
TQ_DEFINE_ANSWER(PreviewDurationBrief)
TQ_DEFINE_OBJECT(ContentType)
TQ_DEFINE_OBJECT(LanguageBrief)
TQ_DEFINE_OBJECT(TrackInfo)
TQ_DEFINE_BODY(ReminderBrief)
TQ_DEFINE_OBJECT(LocationBrief)
TQ_DEFINE_OBJECT(FilteredChannels)

} // namespace tq
