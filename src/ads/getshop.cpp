#define TQ_DEFINE_WIRE_STRINGS_IN // the dictionaries of getshop.h are built here
#include "ads/getshop.h"
#include "model/fieldcodec_p.h"

namespace gs {

const QStringList& remoteKeyNames()
{
    static const QStringList names{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
                                   "ok", "left", "right", "up", "down", "back", "delete"};
    return names;
}

QJsonObject LogEvent::toJson() const
{
    QJsonObject json = DecodedObject::toJson();
    for (auto it = json.begin(); it != json.end();) {
        const bool unset = it->isString() ? it->toString().isEmpty() : it->toInteger() <= 0;
        it = unset ? json.erase(it) : it + 1;
    }
    return json;
}

TQ_DEFINE_OBJECT(AuditPixels)
TQ_DEFINE_OBJECT(AutoUpdate)
TQ_DEFINE_OBJECT(Banner)
TQ_DEFINE_OBJECT(Event)
TQ_DEFINE_OBJECT(PlaylistResponse)
TQ_DEFINE_OBJECT(Image)
TQ_DEFINE_OBJECT(Caption)
TQ_DEFINE_OBJECT(ButtonImages)
TQ_DEFINE_OBJECT(Button)
TQ_DEFINE_OBJECT(Input)
TQ_DEFINE_OBJECT(TextArea)
TQ_DEFINE_OBJECT(TimerText)
TQ_DEFINE_OBJECT(Timer)
TQ_DEFINE_OBJECT(ScreenAutoUpdate)
TQ_DEFINE_OBJECT(Screen)
TQ_DEFINE_OBJECT(Microsite)
TQ_DEFINE_OBJECT(PhoneInfo)
TQ_DEFINE_OBJECT(ClientInfoResponse)
TQ_DEFINE_OBJECT(TextResponse)
TQ_DEFINE_OBJECT(LogEvent)

} // namespace gs
