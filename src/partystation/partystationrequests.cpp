#include "partystation/partystationrequests.h"

#include "model/fieldcodec_p.h"

namespace pstv {
namespace {

QMap<QString, QString> texts(const QJsonObject& object)
{
    QMap<QString, QString> map;
    for (auto it = object.begin(); it != object.end(); ++it)
        map.insert(it.key(), it.value().toString());
    return map;
}

} // namespace

void SettingsResponse::fromJson(const QJsonObject& json)
{
    const QJsonObject vemo = json.value(QLatin1String("response")).toObject().value(QLatin1String("vemo")).toObject();
    if (vemo.isEmpty())
        return;
    icons = texts(vemo.value(QLatin1String("icons")).toObject());
    places = texts(vemo.value(QLatin1String("places")).toObject());
    for (const char* name : {"host-crown", "connection-error", "star-active", "star-off"}) {
        const QLatin1String key(name);
        if (vemo.contains(key))
            places.insert(key, vemo.value(key).toString());
    }
    const std::pair<const char*, Pictures*> sets[] = {
        {"loader", &loader}, {"onboarding", &onboarding}, {"qr-code", &qrCode}, {"empty-room", &emptyRoom},
        {"pause", &pause}};
    for (const auto& [name, pictures] : sets) {
        const QJsonValue value = vemo.value(QLatin1String(name));
        if (value.isObject())
            pictures->fromJson(value.toObject());
    }
}

TQ_DEFINE_OBJECT(Pictures)
TQ_DEFINE_ANSWER(CreateRoomResponse)

namespace {
const int settingsType = qRegisterMetaType<SettingsResponse>();
}

} // namespace pstv
