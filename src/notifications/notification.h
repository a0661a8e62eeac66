#pragma once
// Push notifications: the common header every message carries and the payload objects of
// the codes that carry one. Device-management commands are notifications too
// (rdm/commands.h). Notification::createNotificationFromJson builds the object of a message;
// which code becomes which class is one table in notificationfactory.cpp, except for the
// device-management commands, whose folder registers its classes (registerNotificationMaker).
//
// Notifications reach the host as QSharedPointer<Notification>; the host looks at
// eventCode (or eventType) and casts with qSharedPointerCast to the class of the code.

#include "tqglobal.h"

#include "model/devices.h"
#include "model/enums.h"
#include "model/fields.h"
#include "model/menus.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QSharedPointer>
#include <QString>

namespace tq {

class TQ_EXPORT Notification
{
    Q_GADGET
public:
    NotificationEventCode eventCode = NotificationEventCode::Unrecognized;
    NotificationEventType eventType = NotificationEventType::Unrecognized;
    NotificationPriority priority = NotificationPriority::Low;
    QString messageId;

    Notification() = default;
    Notification(NotificationEventCode code, NotificationEventType type, NotificationPriority priority)
        : eventCode(code), eventType(type), priority(priority) {}

    bool isRecognized() const { return eventCode != NotificationEventCode::Unrecognized; }

    // Never null: an unknown or unusable message gives an unrecognized notification.
    static QSharedPointer<Notification> createNotificationFromJson(const QJsonObject& message);

    // Payload classes have none; lets the factory treat every class alike.
    static constexpr std::tuple<> fields() { return {}; }
};

// The "event_code" text of a code; empty for codes that never travel.
TQ_EXPORT QString notificationEventCodeName(NotificationEventCode code);

// How a code's class is built from its message: the class `T` made with the code and the
// payload type, then its fields read.
using NotificationMaker = QSharedPointer<Notification> (*)(NotificationEventCode, NotificationEventType,
                                                           const QJsonObject&);
template<class T>
QSharedPointer<Notification> makeNotification(NotificationEventCode code, NotificationEventType type,
                                              const QJsonObject& message)
{
    QSharedPointer<T> notification = QSharedPointer<T>::create(code, type, NotificationPriority::Low);
    notification->fromJson(message);
    return notification;
}

// Classes defined above this folder (the device-management commands) register the maker of
// each of their codes when the library is loaded; a code the factory's table leaves to a
// registration and that has none is built as a plain Notification of its code and type.
TQ_EXPORT void registerNotificationMaker(NotificationEventCode code, NotificationMaker make);

// ---- payloads (each read from one member of the message, named in its fields) ----

class TQ_EXPORT NotificationBackground : public DecodedObject<NotificationBackground>
{
    TQ_DECODED(NotificationBackground)
public:
    QString image;
    ImageOrientation imageOrientation = ImageOrientation::Unknown;
    int blurRadius = 0;

    static constexpr auto fields()
    {
        using B = NotificationBackground;
        return std::make_tuple(field("image", &B::image), field("image_orientation", &B::imageOrientation),
                               field("blur_radius", &B::blurRadius));
    }
};

// What a message shows on screen.
class TQ_EXPORT NotificationDisplay : public DecodedObject<NotificationDisplay>
{
    TQ_DECODED(NotificationDisplay)
public:
    NotificationDisplayType displayType = NotificationDisplayType::Unknown;
    NotificationPopupType popupType = NotificationPopupType::Unknown;
    ImageOrientation imageOrientation = ImageOrientation::Unknown;
    QString image;
    QJsonObject target; // a menu target, as received
    QJsonObject item;
    bool forceDisplay = false;
    qint64 duration = 0;
    NotificationBackground background;

    static constexpr auto fields()
    {
        using D = NotificationDisplay;
        return std::make_tuple(field("display_type", &D::displayType), field("popup_type", &D::popupType),
                               field("image_orientation", &D::imageOrientation), field("image", &D::image),
                               field("target", &D::target), field("item", &D::item),
                               field("force_display", &D::forceDisplay), field("duration", &D::duration),
                               field("background", &D::background));
    }
};

class TQ_EXPORT DisplayNotification : public DecodedObject<DisplayNotification, Notification>
{
    TQ_DECODED(DisplayNotification)
public:
    using DecodedObject::DecodedObject;
    NotificationDisplay display;
    static constexpr auto fields() { return std::make_tuple(field("display", &DisplayNotification::display)); }
};

class TQ_EXPORT AccountStatusNotification : public DecodedObject<AccountStatusNotification, Notification>
{
    TQ_DECODED(AccountStatusNotification)
public:
    using DecodedObject::DecodedObject;
    QString status;
    QString reason;
    qint64 checkInDate = 0;

    static constexpr auto fields()
    {
        using N = AccountStatusNotification;
        return std::make_tuple(field("status", &N::status).under("account_status"),
                               field("reason", &N::reason).under("account_status"),
                               field("check_in_date", &N::checkInDate).under("account_status"));
    }
};

class TQ_EXPORT UpdateNotification : public DecodedObject<UpdateNotification, Notification>
{
    TQ_DECODED(UpdateNotification)
public:
    using DecodedObject::DecodedObject;
    bool force = false;
    static constexpr auto fields() { return std::make_tuple(field("force", &UpdateNotification::force).under("update")); }
};

class TQ_EXPORT AssistantNotification : public DecodedObject<AssistantNotification, Notification>
{
    TQ_DECODED(AssistantNotification)
public:
    using DecodedObject::DecodedObject;
    QString name;
    QString model;
    static constexpr auto fields()
    {
        return std::make_tuple(field("name", &AssistantNotification::name).under("assistant"),
                               field("model", &AssistantNotification::model).under("assistant"));
    }
};

// One voice command. Each kind of command sits in its own object ("playback": {"action":
// ...}); only the object of the command's type is present.
class TQ_EXPORT AssistCommand : public DecodedObject<AssistCommand>
{
    TQ_DECODED(AssistCommand)
public:
    VoiceAssistCommandType type = VoiceAssistCommandType::Unknown;
    qint64 commandId = -1;
    VoiceAssistPlaybackCommandType playback = VoiceAssistPlaybackCommandType::Unknown;
    VoiceAssistChannelCommandType channel = VoiceAssistChannelCommandType::Unknown;
    VoiceAssistProgramCommandType program = VoiceAssistProgramCommandType::Unknown;
    VoiceAssistFocusCommandType focus = VoiceAssistFocusCommandType::Unknown;
    VoiceAssistScreenCommandType screen = VoiceAssistScreenCommandType::Unknown;
    VoiceAssistVolumeCommandType volume = VoiceAssistVolumeCommandType::Unknown;
    VoiceAssistMediaItemActionType mediaItem = VoiceAssistMediaItemActionType::Unknown;
    QString searchText;
    qint64 hours = 0;   // playback: the position to go to
    qint64 minutes = 0;
    qint64 seconds = 0;
    qint64 level = 0;   // volume
    qint64 number = -1; // channel
    QJsonObject target; // screen
    QString query;      // media item

    static constexpr auto fields()
    {
        using C = AssistCommand;
        return std::make_tuple(
            field("type", &C::type), idField("command_id", &C::commandId),
            field("action", &C::playback).under("playback"), field("action", &C::channel).under("channel"),
            field("action", &C::program).under("program"), field("action", &C::focus).under("focus"),
            field("action", &C::screen).under("screen"), field("action", &C::volume).under("volume"),
            field("action", &C::mediaItem).under("media_item"), field("text", &C::searchText).under("search"),
            field("hours", &C::hours).under("time"), field("minutes", &C::minutes).under("time"),
            field("seconds", &C::seconds).under("time"), field("level", &C::level).under("volume"),
            idField("number", &C::number).under("channel"), field("target", &C::target).under("screen"),
            field("query", &C::query).under("media_item"));
    }
};

class TQ_EXPORT AssistCommandNotification : public DecodedObject<AssistCommandNotification, Notification>
{
    TQ_DECODED(AssistCommandNotification)
public:
    using DecodedObject::DecodedObject;
    AssistCommand command;

    void fromJson(const QJsonObject& message); // logs an unknown command type
    static constexpr auto fields() { return std::make_tuple(field("assist_command", &AssistCommandNotification::command)); }

    // A command made on the box: the JSON text of an "assist_command" object, or just the
    // command's type ("on", "off", ...).
    static QSharedPointer<Notification> fromCommand(const QString& command);
};

class TQ_EXPORT BonusesChangedNotification : public DecodedObject<BonusesChangedNotification, Notification>
{
    TQ_DECODED(BonusesChangedNotification)
public:
    using DecodedObject::DecodedObject;
    QJsonObject bonusProgram;
    static constexpr auto fields()
    {
        return std::make_tuple(field("bonus_program", &BonusesChangedNotification::bonusProgram).under("item"));
    }
};

class TQ_EXPORT ProfileReference : public DecodedObject<ProfileReference>
{
    TQ_DECODED(ProfileReference)
public:
    qint64 id = -1;
    static constexpr auto fields() { return std::make_tuple(idField("id", &ProfileReference::id)); }
};

class TQ_EXPORT UpdateProfileNotification : public DecodedObject<UpdateProfileNotification, Notification>
{
    TQ_DECODED(UpdateProfileNotification)
public:
    using DecodedObject::DecodedObject;
    ProfileReference profile;
    static constexpr auto fields()
    {
        return std::make_tuple(field("profile", &UpdateProfileNotification::profile).under("item"));
    }
};

// One setting: {"enabled": bool, "value": ...}; the value's type depends on the setting.
class TQ_EXPORT SystemSetting : public DecodedObject<SystemSetting>
{
    TQ_DECODED(SystemSetting)
public:
    bool enabled = false;
    QJsonValue value;

    FontSizeType fontSize() const;                 // "font_size"
    QList<VideoOutput> videoOutputs() const; // "video_outputs"

    static constexpr auto fields()
    {
        return std::make_tuple(field("enabled", &SystemSetting::enabled), field("value", &SystemSetting::value));
    }
};

class TQ_EXPORT ChangeSystemSettingsNotification : public Notification
{
public:
    using Notification::Notification;
    QMap<SystemSettingType, SystemSetting> settings; // only the settings the message names

    void fromJson(const QJsonObject& message); // unknown setting keys are logged and skipped
    QJsonObject toJson() const;
};

class TQ_EXPORT PaymentDetailsNotification : public DecodedObject<PaymentDetailsNotification, Notification>
{
    TQ_DECODED(PaymentDetailsNotification)
public:
    using DecodedObject::DecodedObject;
    QString ticketId;
    QJsonObject item;
    QJsonObject service;
    static constexpr auto fields()
    {
        using N = PaymentDetailsNotification;
        return std::make_tuple(field("ticket_id", &N::ticketId).under("payment_details").lenient(),
                               field("item", &N::item).under("payment_details"),
                               field("service", &N::service).under("payment_details"));
    }
};

class TQ_EXPORT RemoteSearchNotification : public DecodedObject<RemoteSearchNotification, Notification>
{
    TQ_DECODED(RemoteSearchNotification)
public:
    using DecodedObject::DecodedObject;
    QString text;
    static constexpr auto fields() { return std::make_tuple(field("text", &RemoteSearchNotification::text).under("search")); }
};

class TQ_EXPORT RemoteTargetNotification : public DecodedObject<RemoteTargetNotification, Notification>
{
    TQ_DECODED(RemoteTargetNotification)
public:
    using DecodedObject::DecodedObject;
    TargetForMenu target;
    static constexpr auto fields() { return std::make_tuple(field("target", &RemoteTargetNotification::target)); }

    // A target made on the box from the JSON text of a menu target.
    static QSharedPointer<Notification> fromStringJsonTarget(const QString& json);
};

// Channel number or volume, sent as text in {"payload": {"value": "12"}}.
template<class Self>
class RemoteValueNotification : public DecodedObject<Self, Notification>
{
public:
    using DecodedObject<Self, Notification>::DecodedObject;
    qint64 value = -1;
    static constexpr auto fields() { return std::make_tuple(idField("value", &Self::value).under("payload").lenient()); }
};

class TQ_EXPORT RemoteSetChannelNotification : public RemoteValueNotification<RemoteSetChannelNotification>
{
    TQ_DECODED(RemoteSetChannelNotification)
public:
    using RemoteValueNotification::RemoteValueNotification;
};

class TQ_EXPORT RemoteSetVolumeNotification : public RemoteValueNotification<RemoteSetVolumeNotification>
{
    TQ_DECODED(RemoteSetVolumeNotification)
public:
    using RemoteValueNotification::RemoteValueNotification;
};

class TQ_EXPORT SshTunnelNotification : public DecodedObject<SshTunnelNotification, Notification>
{
    TQ_DECODED(SshTunnelNotification)
public:
    using DecodedObject::DecodedObject;
    QString server;
    qint64 port = 0;
    static constexpr auto fields()
    {
        return std::make_tuple(field("server", &SshTunnelNotification::server).under("ssh_tunnel"),
                               field("port", &SshTunnelNotification::port).under("ssh_tunnel").lenient());
    }
};

class TQ_EXPORT SyncPurchaseNotification : public DecodedObject<SyncPurchaseNotification, Notification>
{
    TQ_DECODED(SyncPurchaseNotification)
public:
    using DecodedObject::DecodedObject;
    QJsonObject item;
    QJsonObject mediaItem;
    static constexpr auto fields()
    {
        return std::make_tuple(field("item", &SyncPurchaseNotification::item),
                               field("media_item", &SyncPurchaseNotification::mediaItem));
    }
};

class TQ_EXPORT SyncServicesNotification : public DecodedObject<SyncServicesNotification, Notification>
{
    TQ_DECODED(SyncServicesNotification)
public:
    using DecodedObject::DecodedObject;
    QJsonArray services;
    static constexpr auto fields() { return std::make_tuple(field("services", &SyncServicesNotification::services)); }
};

// Installed as the decoders' hook for notifications embedded in answers (decode.h): the
// notification the receiver would emit for the same object, with priority High.
TQ_EXPORT QSharedPointer<Notification> createEmbeddedNotification(const QJsonObject& notification);

} // namespace tq

Q_DECLARE_METATYPE(QSharedPointer<tq::Notification>)
