#include "services/thumbnails.h"

#include "model/fieldcodec.h"

namespace thumbnails {

void PlaylistRequest::finish(tq::RequestRawData& raw) const
{
    raw.path = QStringLiteral("/%1/playlist.json").arg(id);
    if (profile == 0 || profile == 1)
        raw.queryItems.append(tq::kit::queryItem(QStringLiteral("profile"), profile == 0 ? "fhd" : "hd"));
}

void ImageRequest::finish(tq::RequestRawData& raw) const
{
    raw.path = QStringLiteral("/%1/%2").arg(first, second);
    raw.checkImageSize = false;
}

TQ_DEFINE_OBJECT(Size)
TQ_DEFINE_OBJECT(Image)
TQ_DEFINE_OBJECT(Region)
TQ_DEFINE_OBJECT(Thumb)
TQ_DEFINE_ANSWER(PlaylistResponse)

} // namespace thumbnails
