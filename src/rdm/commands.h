#pragma once
// Remote device management: the commands (they arrive as notifications, by poll or push),
// the outcome of a failed command, the service's answers and the requests of the cycle
// poll -> acknowledge -> carry out -> report. The reports of successful commands are in
// rdm/reports.h; rdm/poller.h polls on the configured schedule.

#include "tqglobal.h"

#include "transport/requestkit.h"
#include "model/abstractresponse.h"
#include "model/account.h"
#include "model/constantsdictionary.h"
#include "model/fields.h"
#include "notifications/notification.h"

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace rdm {
Q_NAMESPACE_EXPORT(TQ_EXPORT)

enum class UpdateModeType : int { Unknown = 0, Normal = 1, Force = 2 };
Q_ENUM_NS(UpdateModeType)
enum class ErrorReasonType : int { NoError = 0, UnknownCommand = 1, BadCommand = 2, Busy = 3, InternalError = 4, ExternalError = 5 };
Q_ENUM_NS(ErrorReasonType)
enum class VemoResetType : int { Unknown = 0, Factory = 1, Outputs = 2, Graphics = 3, Network = 4, Audio = 5 };
Q_ENUM_NS(VemoResetType)

TQ_EXPORT const tq::ConstantsDictionary<QString, UpdateModeType>& updateModeTypeDictionary();
TQ_EXPORT const tq::ConstantsDictionary<QString, VemoResetType>& vemoResetTypeDictionary();

// A command of the service: the notification header and the command's identifier. Commands
// with parameters read them from the message's "options" object.
class TQ_EXPORT Command : public tq::Notification
{
    TQ_DECODED(Command)
public:
    Command(tq::NotificationEventCode code, tq::NotificationEventType type, tq::NotificationPriority priority)
        : tq::Notification(code, type, priority) {}
    virtual ~Command();
    virtual void fromJson(const QJsonObject& message);
    QJsonObject toJson() const;

    qint64 commandId = -1;

    static constexpr auto fields() { return std::make_tuple(tq::idField("command_id", &Command::commandId)); }
};

template<class Self>
class CommandWithOptions : public tq::DecodedObject<Self, Command>
{
public:
    using tq::DecodedObject<Self, Command>::DecodedObject;
    void fromJson(const QJsonObject& message) override { tq::DecodedObject<Self, Command>::fromJson(message); }

protected:
    // An option of the command, read from "options".
    template<class Member>
    static constexpr auto option(const char* key, Member Self::*member)
    {
        return tq::field(key, member).under("options");
    }
};

#define TQ_RDM_COMMAND(Name)                                                                       \
    TQ_DECODED(Name)                                                                               \
public:                                                                                            \
    using CommandWithOptions::CommandWithOptions;

class TQ_EXPORT ChangeLoggingCommand : public CommandWithOptions<ChangeLoggingCommand>
{
    TQ_RDM_COMMAND(ChangeLoggingCommand)
    int level = -1;
    static constexpr auto fields()
    {
        return std::tuple_cat(Command::fields(), std::make_tuple(option("level", &ChangeLoggingCommand::level).byDefault(-1)));
    }
};

class TQ_EXPORT CheckMulticastCommand : public CommandWithOptions<CheckMulticastCommand>
{
    TQ_RDM_COMMAND(CheckMulticastCommand)
    QString multicastGroup;
    int port = 0;
    static constexpr auto fields()
    {
        using C = CheckMulticastCommand;
        return std::tuple_cat(Command::fields(),
                              std::make_tuple(option("multicast_group", &C::multicastGroup), option("port", &C::port)));
    }
};

class TQ_EXPORT CurlCommand : public CommandWithOptions<CurlCommand>
{
    TQ_RDM_COMMAND(CurlCommand)
    QString url;
    QString proxy;
    bool location = false;
    bool insecure = false;
    static constexpr auto fields()
    {
        using C = CurlCommand;
        return std::tuple_cat(Command::fields(),
                              std::make_tuple(option("url", &C::url), option("proxy", &C::proxy),
                                              option("location", &C::location), option("insecure", &C::insecure)));
    }
};

class TQ_EXPORT NslookupCommand : public CommandWithOptions<NslookupCommand>
{
    TQ_RDM_COMMAND(NslookupCommand)
    QString name;
    QString server;
    static constexpr auto fields()
    {
        return std::tuple_cat(Command::fields(), std::make_tuple(option("name", &NslookupCommand::name),
                                                                 option("server", &NslookupCommand::server)));
    }
};

class TQ_EXPORT PingCommand : public CommandWithOptions<PingCommand>
{
    TQ_RDM_COMMAND(PingCommand)
    QString host;
    int count = 5;
    int packetSize = 56;
    qint64 timeout = 3;
    static constexpr auto fields()
    {
        using C = PingCommand;
        return std::tuple_cat(Command::fields(),
                              std::make_tuple(option("host", &C::host), option("count", &C::count).byDefault(5),
                                              option("packet_size", &C::packetSize).byDefault(56),
                                              option("timeout", &C::timeout).byDefault(3)));
    }
};

class TQ_EXPORT StandbyCommand : public CommandWithOptions<StandbyCommand>
{
    TQ_RDM_COMMAND(StandbyCommand)
    QString mode;
    static constexpr auto fields() { return std::tuple_cat(Command::fields(), std::make_tuple(option("mode", &StandbyCommand::mode))); }
};

class TQ_EXPORT TracerouteCommand : public CommandWithOptions<TracerouteCommand>
{
    TQ_RDM_COMMAND(TracerouteCommand)
    QString host;
    int count = 3;
    int packetSize = 60;
    qint64 timeout = 3;
    int maxTtl = 30;
    static constexpr auto fields()
    {
        using C = TracerouteCommand;
        return std::tuple_cat(Command::fields(),
                              std::make_tuple(option("host", &C::host), option("count", &C::count).byDefault(3),
                                              option("packet_size", &C::packetSize).byDefault(60),
                                              option("timeout", &C::timeout).byDefault(3),
                                              option("max_ttl", &C::maxTtl).byDefault(30)));
    }
};

class TQ_EXPORT TuneChannelCommand : public CommandWithOptions<TuneChannelCommand>
{
    TQ_RDM_COMMAND(TuneChannelCommand)
    qint64 number = -1;
    static constexpr auto fields()
    {
        return std::tuple_cat(Command::fields(), std::make_tuple(option("number", &TuneChannelCommand::number).byDefault(-1)));
    }
};

class TQ_EXPORT VemoResetCommand : public CommandWithOptions<VemoResetCommand>
{
    TQ_RDM_COMMAND(VemoResetCommand)
    QString name; // one of vemoResetTypeDictionary()'s names
    VemoResetType resetType() const { return vemoResetTypeDictionary().value(name); }
    static constexpr auto fields() { return std::tuple_cat(Command::fields(), std::make_tuple(option("name", &VemoResetCommand::name))); }
};

#undef TQ_RDM_COMMAND

// Commands without parameters are plain rdm::Command objects (check_firmware_update,
// check_settings, healthcheck, rebalance, reboot, send_logs, send_system_status).
using CheckFirmwareUpdateCommand = Command;
using CheckSettingsCommand = Command;
using HealthcheckCommand = Command;
using RebalanceCommand = Command;
using RebootCommand = Command;
using SendLogsCommand = Command;
using SendSystemStatusCommand = Command;

// Why a command failed, for the plain report.
struct TQ_EXPORT CommandsError
{
    ErrorReasonType reason = ErrorReasonType::NoError;
    QString details;

    bool isEmpty() const { return reason == ErrorReasonType::NoError && details.isEmpty(); }
    QJsonObject toJson() const; // {"reason": "Busy", "details": ...}
};

// ---- answers ----

// The poll answer as received; Notification::createNotificationFromJson turns it into a command.
class TQ_EXPORT CommandsPollResponse : public tq::AbstractResponse
{
public:
    QJsonObject object;
    bool isValid() const override { return true; }
    void fromJson(const QJsonObject& json) override { object = json; }
    QJsonObject toJson() const override { return object; }
};

class TQ_EXPORT GeneralSettingsResponse : public tq::DecodedObject<GeneralSettingsResponse, tq::AbstractResponse>
{
    TQ_DECODED(GeneralSettingsResponse)
public:
    qint64 updateRequestInterval = 0;
    bool isValid() const override { return true; }
    static constexpr auto fields()
    {
        return std::make_tuple(tq::field("update_request_interval", &GeneralSettingsResponse::updateRequestInterval));
    }
};

class TQ_EXPORT UpdateMode : public tq::DecodedObject<UpdateMode>
{
    TQ_DECODED(UpdateMode)
public:
    UpdateModeType type = UpdateModeType::Unknown;
    qint64 delay = 0;
    static constexpr auto fields()
    {
        return std::make_tuple(tq::field("type", &UpdateMode::type).through<&updateModeTypeDictionary>(),
                               tq::field("delay", &UpdateMode::delay));
    }
};

class TQ_EXPORT UpdateFirmwareResponse : public tq::DecodedObject<UpdateFirmwareResponse, tq::AbstractResponse>
{
    TQ_DECODED(UpdateFirmwareResponse)
public:
    QString version;
    QString url;
    UpdateMode updateMode;
    bool isValid() const override { return true; }
    static constexpr auto fields()
    {
        using R = UpdateFirmwareResponse;
        return std::make_tuple(tq::field("version", &R::version), tq::field("url", &R::url),
                               tq::field("update_mode", &R::updateMode));
    }
};

// One map per element of "vemo"; the host picks its own with settingsFromListByVersion.
class TQ_EXPORT SettingsResponse : public tq::AbstractResponse
{
public:
    QList<QVariant> settings;
    bool isValid() const override { return true; }
    void fromJson(const QJsonObject& json) override;
    QJsonObject toJson() const override;
};

namespace helpers {
// The first map whose "version" equals `version`; empty when none does.
TQ_EXPORT QVariantMap settingsFromListByVersion(const QList<QVariant>& settings, const QString& version);
} // namespace helpers

// ---- requests ----

namespace detail {
// "{id}" of the path becomes the command's id: in the path at once, since the service's
// backend sends the path as it stands, and through the path creator.
TQ_EXPORT void fillCommandId(tq::RequestRawData& raw, qint64 commandId);
// Every report, plain or with data (rdm/reports.h), goes here.
inline constexpr tq::Route reportRoute =
    tq::post("/user/commands/{id}/report").type(tq::MethodType::RdmApi).notCacheable();
} // namespace detail

class TQ_EXPORT CommandsPoll : public tq::Request<CommandsPoll>
{
public:
    using Answer = CommandsPollResponse;
    static constexpr tq::Route route = tq::get("/user/commands/poll").type(tq::MethodType::RdmApi).notCacheable();
    QString macAddress; // sent in lower case
    static constexpr auto query()
    {
        return std::make_tuple(tq::item("mac_address", &CommandsPoll::lowerCaseMac, tq::Send::Always));
    }

private:
    QString lowerCaseMac() const { return macAddress.toLower(); }
};

class TQ_EXPORT CommandsAckRequest : public tq::Request<CommandsAckRequest>
{
public:
    explicit CommandsAckRequest(qint64 id = -1) : commandId(id) {}
    using Answer = tq::SuccessResponse;
    static constexpr tq::Route route =
        tq::post("/user/commands/{id}/ack").type(tq::MethodType::RdmApi).notCacheable();
    qint64 commandId;
    void finish(tq::RequestRawData& raw) const { detail::fillCommandId(raw, commandId); }
};

// The outcome of a command that failed, or of one whose success carries no data.
class TQ_EXPORT CommandsReportRequest : public tq::Request<CommandsReportRequest>
{
public:
    explicit CommandsReportRequest(qint64 id = -1, CommandsError e = {}) : commandId(id), error(std::move(e)) {}
    using Answer = tq::SuccessResponse;
    static constexpr tq::Route route = detail::reportRoute;
    qint64 commandId;
    CommandsError error;
    QByteArray encodedBody() const; // {"error": ...}; none without an error
    void finish(tq::RequestRawData& raw) const { detail::fillCommandId(raw, commandId); }
};

class TQ_EXPORT SettingsRequest : public tq::Request<SettingsRequest>
{
public:
    using Answer = SettingsResponse;
    static constexpr tq::Route route = tq::get("/user/settings").type(tq::MethodType::RdmApi).notCacheable();
    QString macAddress;
    QString version;
    static constexpr auto query()
    {
        using R = SettingsRequest;
        return std::make_tuple(tq::item("mac_address", &R::macAddress, tq::Send::Always),
                               tq::item("version", &R::version, tq::Send::Always));
    }
};

class TQ_EXPORT UpdateFirmwareRequest : public tq::Request<UpdateFirmwareRequest>
{
public:
    using Answer = UpdateFirmwareResponse;
    static constexpr tq::Route route =
        tq::get("/user/firmware_update").type(tq::MethodType::RdmApi).notCacheable();
    QString platform;
    QString model;
    QString macAddress;
    QString serialNumber;
    QString version;
    static constexpr auto query()
    {
        using R = UpdateFirmwareRequest;
        constexpr tq::Send always = tq::Send::Always;
        return std::make_tuple(tq::item("platform", &R::platform, always), tq::item("model", &R::model, always),
                               tq::fixed("project", "vemo"), tq::item("mac_address", &R::macAddress, always),
                               tq::item("serial_number", &R::serialNumber, always),
                               tq::item("version", &R::version, always));
    }
};

} // namespace rdm

Q_DECLARE_METATYPE(rdm::CommandsPollResponse)
Q_DECLARE_METATYPE(rdm::SettingsResponse)
