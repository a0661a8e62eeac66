#include "services/thumbnails.h"

#include "model/fieldcodec_p.h"

namespace thumbnails {

void PlaylistRequest::finish(tq::RequestRawData& raw) const
{
    raw.path = QStringLiteral("/%1/playlist.json").arg(id);
}

QString PlaylistRequest::profileName() const
{
    switch (profile) {
    case 0: return QStringLiteral("fhd");
    case 1: return QStringLiteral("hd");
    default: return {};
    }
}

void ImageRequest::finish(tq::RequestRawData& raw) const
{
    raw.path = QStringLiteral("/%1/%2").arg(first, second);
}

TQ_DEFINE_OBJECT(Size)
TQ_DEFINE_OBJECT(Image)
TQ_DEFINE_OBJECT(Region)
TQ_DEFINE_OBJECT(Thumb)
TQ_DEFINE_ANSWER(PlaylistResponse)

} // namespace thumbnails
