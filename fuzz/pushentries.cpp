#include "pushentries.h"

#include "model/decode.h"
#include "model/account.h"
#include "notifications/notification.h"
#include "rdm/commands.h"

#include <QJsonDocument>

namespace tq::fuzzing {

namespace {

QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Encodes what the payload classes hold, so that a half-read member would show.
void encode(const QSharedPointer<Notification>& n)
{
    switch (n->eventType) {
    case NotificationEventType::Display: qSharedPointerCast<DisplayNotification>(n)->toJson(); break;
    case NotificationEventType::AssistCommand: qSharedPointerCast<AssistCommandNotification>(n)->toJson(); break;
    case NotificationEventType::SystemSettings: {
        const auto settings = qSharedPointerCast<ChangeSystemSettingsNotification>(n);
        settings->toJson();
        for (const SystemSetting& setting : std::as_const(settings->settings)) {
            setting.fontSize();
            setting.videoOutputs();
        }
        break;
    }
    case NotificationEventType::NoEventType:
    case NotificationEventType::Options: qSharedPointerCast<rdm::Command>(n)->toJson(); break;
    default: break;
    }
}

} // namespace

int notificationJson(const uint8_t* data, size_t size)
{
    const QByteArray body = bytes(data, size);
    encode(Notification::createNotificationFromJson(QJsonDocument::fromJson(body).object()));
    const SuccessResponse embedded =
        decodeJson<SuccessResponse>("{\"notification\": " + body + "}").value<SuccessResponse>();
    if (embedded.notification())
        encode(embedded.notification());
    return 0;
}

int rdmCommandJson(const uint8_t* data, size_t size)
{
    static const char* const commands[] = {"change_logging", "check_firmware_update", "check_multicast",
                                           "check_settings", "curl", "healthcheck", "nslookup", "ping", "rebalance",
                                           "reboot", "send_logs", "send_system_status", "standby", "traceroute",
                                           "tune_channel", "vemo_reset"};
    const QByteArray body = bytes(data, size);
    const QJsonObject poll = decodeJson<rdm::CommandsPollResponse>(body).value<rdm::CommandsPollResponse>().object;
    encode(Notification::createNotificationFromJson(poll));
    // The bytes after the first as the options (and identifier) of the command the first picks.
    if (!body.isEmpty()) {
        const char* code = commands[uchar(body.at(0)) % std::size(commands)];
        const QJsonValue options = QJsonDocument::fromJson("[" + body.mid(1) + "]").array().at(0);
        encode(Notification::createNotificationFromJson(
            QJsonObject{{"event_code", QLatin1String(code)}, {"command_id", options}, {"options", options}}));
    }
    const auto settings = decodeJson<rdm::SettingsResponse>(body).value<rdm::SettingsResponse>();
    settings.toJson();
    rdm::helpers::settingsFromListByVersion(settings.settings, QStringLiteral("1"));
    decodeJson<rdm::UpdateFirmwareResponse>(body).value<rdm::UpdateFirmwareResponse>().toJson();
    return 0;
}

} // namespace tq::fuzzing
