#include "rdm/commands.h"

#include "model/fieldcodec_p.h"

#include <QJsonArray>

namespace rdm {

const tq::ConstantsDictionary<QString, UpdateModeType>& updateModeTypeDictionary()
{
    static const tq::ConstantsDictionary<QString, UpdateModeType> table(
        {{"normal", UpdateModeType::Normal}, {"force", UpdateModeType::Force}}, UpdateModeType::Unknown);
    return table;
}

const tq::ConstantsDictionary<QString, VemoResetType>& vemoResetTypeDictionary()
{
    using V = VemoResetType;
    static const tq::ConstantsDictionary<QString, VemoResetType> table(
        {{"factory", V::Factory}, {"outputs", V::Outputs}, {"graphics", V::Graphics}, {"network", V::Network},
         {"audio", V::Audio}},
        V::Unknown);
    return table;
}

namespace {

// The notification factory builds these codes with the classes below.
const bool registered = [] {
    using C = tq::NotificationEventCode;
    using tq::makeNotification;
    using tq::registerNotificationMaker;
    registerNotificationMaker(C::ChangeLogging, &makeNotification<ChangeLoggingCommand>);
    registerNotificationMaker(C::CheckFirmwareUpdate, &makeNotification<Command>);
    registerNotificationMaker(C::CheckMulticast, &makeNotification<CheckMulticastCommand>);
    registerNotificationMaker(C::CheckSettings, &makeNotification<Command>);
    registerNotificationMaker(C::Curl, &makeNotification<CurlCommand>);
    registerNotificationMaker(C::Healthcheck, &makeNotification<Command>);
    registerNotificationMaker(C::Nslookup, &makeNotification<NslookupCommand>);
    registerNotificationMaker(C::Ping, &makeNotification<PingCommand>);
    registerNotificationMaker(C::Rebalance, &makeNotification<Command>);
    registerNotificationMaker(C::Reboot, &makeNotification<Command>);
    registerNotificationMaker(C::SendLogs, &makeNotification<Command>);
    registerNotificationMaker(C::SendSystemStatus, &makeNotification<Command>);
    registerNotificationMaker(C::Standby, &makeNotification<StandbyCommand>);
    registerNotificationMaker(C::Traceroute, &makeNotification<TracerouteCommand>);
    registerNotificationMaker(C::TuneChannel, &makeNotification<TuneChannelCommand>);
    registerNotificationMaker(C::VemoReset, &makeNotification<VemoResetCommand>);
    return true;
}();

} // namespace

Command::~Command() = default;

void Command::fromJson(const QJsonObject& message)
{
    readFields(*this, message);
}

QJsonObject Command::toJson() const
{
    QJsonObject json;
    writeFields(*this, json);
    return json;
}

QJsonObject CommandsError::toJson() const
{
    static const char* const reasons[] = {"", "Unknown command", "Bad command", "Busy", "Internal error",
                                          "External error"};
    const int index = int(reason);
    const char* text = index >= 0 && index < int(std::size(reasons)) ? reasons[index] : "";
    return QJsonObject{{QStringLiteral("reason"), QLatin1String(text)}, {QStringLiteral("details"), details}};
}

namespace {

// "channel_nums" and "sub_locations" of the ad-stream settings are lists of integers.
QVariant adStreamVariant(const QJsonObject& adStream)
{
    QVariantMap map;
    for (auto it = adStream.constBegin(); it != adStream.constEnd(); ++it) {
        if (it.key() == QLatin1String("channel_nums") || it.key() == QLatin1String("sub_locations")) {
            QList<qint64> numbers;
            for (const QJsonValue& element : it.value().toArray())
                numbers.append(element.toInteger(0));
            map.insert(it.key(), QVariant::fromValue(numbers));
        } else {
            map.insert(it.key(), it.value().toVariant());
        }
    }
    return map;
}

} // namespace

void SettingsResponse::fromJson(const QJsonObject& json)
{
    settings.clear();
    for (const QJsonValue& element : json.value(QLatin1String("vemo")).toArray()) {
        const QJsonObject object = element.toObject();
        QVariantMap map;
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            if (it.value().isObject() && it.key() == QLatin1String("AdStream"))
                map.insert(it.key(), adStreamVariant(it.value().toObject()));
            else
                map.insert(it.key(), it.value().toVariant());
        }
        settings.append(map);
    }
}

QJsonObject SettingsResponse::toJson() const
{
    QJsonArray vemo;
    for (const QVariant& element : settings)
        vemo.append(QJsonObject::fromVariantMap(element.toMap()));
    return QJsonObject{{QStringLiteral("vemo"), vemo}};
}

QVariantMap helpers::settingsFromListByVersion(const QList<QVariant>& settings, const QString& version)
{
    for (const QVariant& element : settings) {
        const QVariantMap map = element.toMap();
        const auto found = map.constFind(QStringLiteral("version"));
        if (found != map.constEnd() && found->toString() == version)
            return map;
    }
    return {};
}

void detail::fillCommandId(tq::RequestRawData& raw, qint64 commandId)
{
    raw.pathCreator = [commandId](const QString& pattern) {
        return QString(pattern).replace(QLatin1String("{id}"), QString::number(commandId));
    };
    raw.path = raw.pathCreator(raw.path);
}

QByteArray CommandsReportRequest::encodedBody() const
{
    if (error.isEmpty())
        return {};
    return jsonToRaw(QJsonObject{{QStringLiteral("error"), error.toJson()}});
}

TQ_DEFINE_OBJECT(Command)
TQ_DEFINE_OBJECT(ChangeLoggingCommand)
TQ_DEFINE_OBJECT(CheckMulticastCommand)
TQ_DEFINE_OBJECT(CurlCommand)
TQ_DEFINE_OBJECT(NslookupCommand)
TQ_DEFINE_OBJECT(PingCommand)
TQ_DEFINE_OBJECT(StandbyCommand)
TQ_DEFINE_OBJECT(TracerouteCommand)
TQ_DEFINE_OBJECT(TuneChannelCommand)
TQ_DEFINE_OBJECT(VemoResetCommand)
TQ_DEFINE_ANSWER(GeneralSettingsResponse)
TQ_DEFINE_OBJECT(UpdateMode)
TQ_DEFINE_ANSWER(UpdateFirmwareResponse)

} // namespace rdm

namespace {
// The answers without declared fields are meta-types too.
const tq::MetaTypeRegistration<rdm::CommandsPollResponse> pollRegistration;
const tq::MetaTypeRegistration<rdm::SettingsResponse> settingsRegistration;
} // namespace
