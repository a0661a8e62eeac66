#pragma once
// Reports of successful device-management commands: POST "/user/commands/{id}/report" with
// {"result": {...}}. A report lists its "result" members as fields; failures and commands
// without data go through CommandsReportRequest (rdm/commands.h).

#include "tqglobal.h"

#include "rdm/commands.h"
#include "model/fields.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace rdm {

// A report whose "result" is the report's declared fields.
template<class Self>
class Report : public tq::Request<Self>
{
public:
    qint64 commandId = -1;

    using Answer = tq::SuccessResponse;
    static constexpr tq::Route route = detail::reportRoute;
    QByteArray encodedBody() const
    {
        const QJsonObject result = static_cast<const Self&>(*this).toJson();
        return tq::AbstractRequest::jsonToRaw(QJsonObject{{QStringLiteral("result"), result}});
    }
    void finish(tq::RequestRawData& raw) const { detail::fillCommandId(raw, commandId); }
};

#define TQ_RDM_REPORT(Name)                                                                        \
    TQ_DECODED(Name)                                                                               \
public:                                                                                            \
    explicit Name(qint64 id = -1) { commandId = id; }

class TQ_EXPORT RouteHop : public tq::DecodedObject<RouteHop>
{
    TQ_DECODED(RouteHop)
public:
    qint32 hopNumber = 0;
    QString host;
    QList<double> rtTimes; // one per probe
    static constexpr auto fields()
    {
        return std::make_tuple(tq::field("hop_number", &RouteHop::hopNumber), tq::field("host", &RouteHop::host),
                               tq::field("rttime", &RouteHop::rtTimes));
    }
};

class TQ_EXPORT Endpoints : public tq::DecodedObject<Endpoints>
{
    TQ_DECODED(Endpoints)
public:
    QString apiUrl;
    QString wsUrl;
    QString spyUrl;
    QString imgUrl;
    QString proxyUrl;
    static constexpr auto fields()
    {
        using E = Endpoints;
        return std::make_tuple(tq::field("api_url", &E::apiUrl), tq::field("ws_url", &E::wsUrl),
                               tq::field("spy_url", &E::spyUrl), tq::field("img_url", &E::imgUrl),
                               tq::field("proxy_url", &E::proxyUrl));
    }
};

class TQ_EXPORT NetworkInterface : public tq::DecodedObject<NetworkInterface>
{
    TQ_DECODED(NetworkInterface)
public:
    QString name;
    QString state;
    QString mac;
    qint64 mtu = 0;
    QString ipv4;
    QString netmask;
    QString ipRules;
    QString gateway;
    static constexpr auto fields()
    {
        using N = NetworkInterface;
        return std::make_tuple(tq::field("name", &N::name), tq::field("state", &N::state), tq::field("mac", &N::mac),
                               tq::field("mtu", &N::mtu), tq::field("ipv4", &N::ipv4),
                               tq::field("netmask", &N::netmask), tq::field("ip_rules", &N::ipRules),
                               tq::field("gateway", &N::gateway));
    }
};

class TQ_EXPORT NetworkState : public tq::DecodedObject<NetworkState>
{
    TQ_DECODED(NetworkState)
public:
    QList<NetworkInterface> interfaces;
    QStringList dns;
    static constexpr auto fields()
    {
        return std::make_tuple(tq::field("interfaces", &NetworkState::interfaces), tq::field("dns", &NetworkState::dns));
    }
};

class TQ_EXPORT TimeState : public tq::DecodedObject<TimeState>
{
    TQ_DECODED(TimeState)
public:
    QString current;
    qint64 uptime = 0;
    QString uptimeSince;
    QString ntpd;    // left out when empty
    QString status;  // left out when empty
    QStringList ntp; // left out when empty

    QJsonObject toJson() const;
    static constexpr auto fields()
    {
        using T = TimeState;
        return std::make_tuple(tq::field("current", &T::current), tq::field("uptime", &T::uptime),
                               tq::field("uptime_since", &T::uptimeSince), tq::field("ntpd", &T::ntpd),
                               tq::field("status", &T::status), tq::field("ntp", &T::ntp));
    }
};

class TQ_EXPORT ApplicationState : public tq::DecodedObject<ApplicationState>
{
    TQ_DECODED(ApplicationState)
public:
    QString platform;
    QString tqApi;
    QString websocket;
    QString updaterd;
    Endpoints endpoints;
    static constexpr auto fields()
    {
        using A = ApplicationState;
        return std::make_tuple(tq::field("platform", &A::platform), tq::field("tq_api", &A::tqApi),
                               tq::field("websocket", &A::websocket), tq::field("updaterd", &A::updaterd),
                               tq::field("endpoints", &A::endpoints));
    }
};

class TQ_EXPORT LoggingState : public tq::DecodedObject<LoggingState>
{
    TQ_DECODED(LoggingState)
public:
    qint64 level = 0;
    static constexpr auto fields() { return std::make_tuple(tq::field("level", &LoggingState::level)); }
};

// ---- the reports ----

class TQ_EXPORT CommandsPingReportRequest : public tq::DecodedObject<CommandsPingReportRequest, Report<CommandsPingReportRequest>>
{
    TQ_RDM_REPORT(CommandsPingReportRequest)
    qint32 successCount = 0;
    qint32 failureCount = 0;
    double averageResponseTime = 0;
    double minimumResponseTime = 0;
    double maximumResponseTime = 0;
    static constexpr auto fields()
    {
        using R = CommandsPingReportRequest;
        return std::make_tuple(tq::field("success_count", &R::successCount), tq::field("failure_count", &R::failureCount),
                               tq::field("average_response_time", &R::averageResponseTime),
                               tq::field("minimum_response_time", &R::minimumResponseTime),
                               tq::field("maximum_response_time", &R::maximumResponseTime));
    }
};

class TQ_EXPORT CommandsTracerouteReportRequest
    : public tq::DecodedObject<CommandsTracerouteReportRequest, Report<CommandsTracerouteReportRequest>>
{
    TQ_RDM_REPORT(CommandsTracerouteReportRequest)
    QList<RouteHop> routeHops;
    qint32 routeHopsCount = 0; // sent as held
    static constexpr auto fields()
    {
        using R = CommandsTracerouteReportRequest;
        return std::make_tuple(tq::field("route_hops", &R::routeHops), tq::field("route_hops_count", &R::routeHopsCount));
    }
};

class TQ_EXPORT CommandsNslookupReportRequest
    : public tq::DecodedObject<CommandsNslookupReportRequest, Report<CommandsNslookupReportRequest>>
{
    TQ_RDM_REPORT(CommandsNslookupReportRequest)
    QString name;
    QString server;
    QStringList response;
    static constexpr auto fields()
    {
        using R = CommandsNslookupReportRequest;
        return std::make_tuple(tq::field("name", &R::name), tq::field("server", &R::server),
                               tq::field("response", &R::response));
    }
};

class TQ_EXPORT CommandsCurlReportRequest : public tq::DecodedObject<CommandsCurlReportRequest, Report<CommandsCurlReportRequest>>
{
    TQ_RDM_REPORT(CommandsCurlReportRequest)
    qint32 responseCode = 0;
    QString responseBody;
    static constexpr auto fields()
    {
        return std::make_tuple(tq::field("response_code", &CommandsCurlReportRequest::responseCode),
                               tq::field("response_body", &CommandsCurlReportRequest::responseBody));
    }
};

class TQ_EXPORT CommandsCheckMulticastReportRequest
    : public tq::DecodedObject<CommandsCheckMulticastReportRequest, Report<CommandsCheckMulticastReportRequest>>
{
    TQ_RDM_REPORT(CommandsCheckMulticastReportRequest)
    QString status;
    double bitrate = 0;
    qint64 bytes = 0;
    double seconds = 0;
    static constexpr auto fields()
    {
        using R = CommandsCheckMulticastReportRequest;
        return std::make_tuple(tq::field("status", &R::status), tq::field("bitrate", &R::bitrate),
                               tq::field("bytes", &R::bytes), tq::field("seconds", &R::seconds));
    }
};

class TQ_EXPORT CommandsCheckFirmwareUpdateReportRequest
    : public tq::DecodedObject<CommandsCheckFirmwareUpdateReportRequest, Report<CommandsCheckFirmwareUpdateReportRequest>>
{
    TQ_RDM_REPORT(CommandsCheckFirmwareUpdateReportRequest)
    QString firmwareVersionOld;
    QString firmwareVersionNew;
    static constexpr auto fields()
    {
        using R = CommandsCheckFirmwareUpdateReportRequest;
        return std::make_tuple(tq::field("firmware_version_old", &R::firmwareVersionOld),
                               tq::field("firmware_version_new", &R::firmwareVersionNew));
    }
};

class TQ_EXPORT CommandsRebalanceReportRequest
    : public tq::DecodedObject<CommandsRebalanceReportRequest, Report<CommandsRebalanceReportRequest>>
{
    TQ_RDM_REPORT(CommandsRebalanceReportRequest)
    Endpoints oldEndpoints;
    Endpoints newEndpoints;
    static constexpr auto fields()
    {
        return std::make_tuple(tq::field("old_endpoints", &CommandsRebalanceReportRequest::oldEndpoints),
                               tq::field("new_endpoints", &CommandsRebalanceReportRequest::newEndpoints));
    }
};

class TQ_EXPORT CommandsSendLogsReportRequest
    : public tq::DecodedObject<CommandsSendLogsReportRequest, Report<CommandsSendLogsReportRequest>>
{
    TQ_RDM_REPORT(CommandsSendLogsReportRequest)
    QString currentLog;
    static constexpr auto fields() { return std::make_tuple(tq::field("currentlog", &CommandsSendLogsReportRequest::currentLog)); }
};

class TQ_EXPORT CommandsHealthcheckReportRequest
    : public tq::DecodedObject<CommandsHealthcheckReportRequest, Report<CommandsHealthcheckReportRequest>>
{
    TQ_RDM_REPORT(CommandsHealthcheckReportRequest)
    NetworkState network;
    TimeState time;
    ApplicationState vemo;
    LoggingState logging;
    static constexpr auto fields()
    {
        using R = CommandsHealthcheckReportRequest;
        return std::make_tuple(tq::field("network", &R::network), tq::field("time", &R::time),
                               tq::field("vemo", &R::vemo), tq::field("logging", &R::logging));
    }
};

#undef TQ_RDM_REPORT

} // namespace rdm
