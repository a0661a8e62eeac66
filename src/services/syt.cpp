#define TQ_DEFINE_WIRE_STRINGS_IN // the dictionary of syt.h is built here
#include "services/syt.h"

#include "model/fieldcodec_p.h"

namespace syt {

QJsonObject StatusRequest::toJson() const
{
    QJsonObject json;
    if (!userId.isEmpty())
        json.insert(QLatin1String("userId"), userId);
    if (videoId > 0)
        json.insert(QLatin1String("videoId"), videoId);
    if (channelId > 0)
        json.insert(QLatin1String("channelId"), channelId);
    json.insert(QLatin1String("timestamp"), timestamp);
    json.insert(QLatin1String("second"), second);
    json.insert(QLatin1String("status"), eventStatusDictionary().key(status));
    if (!platform.isEmpty())
        json.insert(QLatin1String("platform"), platform);
    return json;
}

TQ_DEFINE_OBJECT(Qr)
TQ_DEFINE_ANSWER(QrResponse)

namespace {
const int statusResponseType = qRegisterMetaType<StatusResponse>();
}

} // namespace syt
