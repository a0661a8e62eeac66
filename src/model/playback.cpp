#include "model/playback.h"

#include "model/fieldcodec_p.h"

namespace tq {

bool ChannelSource::operator==(const ChannelSource& other) const
{
    return fieldsEqual(*this, other);
}

bool ContentAsset::operator==(const ContentAsset& other) const
{
    return fieldsEqual(*this, other);
}

TQ_DEFINE_OBJECT(CdnToken)
TQ_DEFINE_OBJECT(ChannelSource)
TQ_DEFINE_OBJECT(ContentAsset)
TQ_DEFINE_OBJECT(Assets)
TQ_DEFINE_ANSWER(GetDrmSettingsResponse)

} // namespace tq
