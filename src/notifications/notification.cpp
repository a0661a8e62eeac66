#include "notifications/notification.h"

#include "model/fieldcodec_p.h"
#include "model/decode.h"
#include "platform/logging.h"

#include <QJsonDocument>

namespace tq {

namespace {

const QString& logContext()
{
    static const QString name = QStringLiteral("Notification");
    return name;
}

} // namespace

FontSizeType SystemSetting::fontSize() const
{
    return fontSizeTypeDictionary().value(value.toString());
}

QList<VideoOutput> SystemSetting::videoOutputs() const
{
    QList<VideoOutput> outputs;
    for (const QJsonValue& element : value.toArray()) {
        VideoOutput output;
        output.fromJson(element.toObject());
        outputs.append(output);
    }
    return outputs;
}

void ChangeSystemSettingsNotification::fromJson(const QJsonObject& message)
{
    const QJsonObject members = message.value(QLatin1String("system_settings")).toObject();
    for (auto it = members.constBegin(); it != members.constEnd(); ++it) {
        const SystemSettingType type = systemSettingsTypeDictionary().value(it.key());
        if (type == SystemSettingType::Unknown) {
            TQ_LOG(logging::Warning, logContext()) << "unknown system settings type" << it.key();
            continue;
        }
        SystemSetting setting;
        setting.fromJson(it.value().toObject());
        settings.insert(type, setting);
    }
}

QJsonObject ChangeSystemSettingsNotification::toJson() const
{
    QJsonObject members;
    for (auto it = settings.constBegin(); it != settings.constEnd(); ++it)
        members.insert(systemSettingsTypeDictionary().key(it.key()), it.value().toJson());
    return QJsonObject{{QStringLiteral("system_settings"), members}};
}

void AssistCommandNotification::fromJson(const QJsonObject& message)
{
    DecodedObject::fromJson(message);
    if (command.type == VoiceAssistCommandType::Unknown) {
        TQ_LOG(logging::Warning, logContext())
            << "unknown assist commant type"
            << message.value(QLatin1String("assist_command")).toObject().value(QLatin1String("type")).toString();
    }
}

QSharedPointer<Notification> AssistCommandNotification::fromCommand(const QString& command)
{
    QJsonObject object = QJsonDocument::fromJson(command.toUtf8()).object();
    if (object.isEmpty())
        object.insert(QStringLiteral("type"), command);
    auto notification = QSharedPointer<AssistCommandNotification>::create(
        NotificationEventCode::AssistCommand, NotificationEventType::AssistCommand, NotificationPriority::Low);
    notification->fromJson(QJsonObject{{QStringLiteral("assist_command"), object}});
    return notification;
}

QSharedPointer<Notification> RemoteTargetNotification::fromStringJsonTarget(const QString& json)
{
    auto notification = QSharedPointer<RemoteTargetNotification>::create(
        NotificationEventCode::RemoteTarget, NotificationEventType::Target, NotificationPriority::Low);
    notification->target.fromJson(QJsonDocument::fromJson(json.toUtf8()).object());
    return notification;
}

TQ_DEFINE_OBJECT(NotificationBackground)
TQ_DEFINE_OBJECT(NotificationDisplay)
TQ_DEFINE_OBJECT(DisplayNotification)
TQ_DEFINE_OBJECT(AccountStatusNotification)
TQ_DEFINE_OBJECT(UpdateNotification)
TQ_DEFINE_OBJECT(AssistantNotification)
TQ_DEFINE_OBJECT(AssistCommand)
TQ_DEFINE_OBJECT(AssistCommandNotification)
TQ_DEFINE_OBJECT(BonusesChangedNotification)
TQ_DEFINE_OBJECT(ProfileReference)
TQ_DEFINE_OBJECT(UpdateProfileNotification)
TQ_DEFINE_OBJECT(SystemSetting)
TQ_DEFINE_OBJECT(PaymentDetailsNotification)
TQ_DEFINE_OBJECT(RemoteSearchNotification)
TQ_DEFINE_OBJECT(RemoteTargetNotification)
TQ_DEFINE_OBJECT(RemoteSetChannelNotification)
TQ_DEFINE_OBJECT(RemoteSetVolumeNotification)
TQ_DEFINE_OBJECT(SshTunnelNotification)
TQ_DEFINE_OBJECT(SyncPurchaseNotification)
TQ_DEFINE_OBJECT(SyncServicesNotification)

} // namespace tq
