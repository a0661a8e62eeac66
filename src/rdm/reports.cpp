#include "rdm/reports.h"

#include "model/fieldcodec_p.h"
#include "rdm/commands.h"

#include <QJsonArray>

namespace rdm {

QJsonObject TimeState::toJson() const
{
    QJsonObject json = DecodedObject::toJson();
    if (ntpd.isEmpty())
        json.remove(QStringLiteral("ntpd"));
    if (status.isEmpty())
        json.remove(QStringLiteral("status"));
    if (ntp.isEmpty())
        json.remove(QStringLiteral("ntp"));
    return json;
}

TQ_DEFINE_OBJECT(RouteHop)
TQ_DEFINE_OBJECT(Endpoints)
TQ_DEFINE_OBJECT(NetworkInterface)
TQ_DEFINE_OBJECT(NetworkState)
TQ_DEFINE_OBJECT(TimeState)
TQ_DEFINE_OBJECT(ApplicationState)
TQ_DEFINE_OBJECT(LoggingState)
TQ_DEFINE_OBJECT(CommandsPingReportRequest)
TQ_DEFINE_OBJECT(CommandsTracerouteReportRequest)
TQ_DEFINE_OBJECT(CommandsNslookupReportRequest)
TQ_DEFINE_OBJECT(CommandsCurlReportRequest)
TQ_DEFINE_OBJECT(CommandsCheckMulticastReportRequest)
TQ_DEFINE_OBJECT(CommandsCheckFirmwareUpdateReportRequest)
TQ_DEFINE_OBJECT(CommandsRebalanceReportRequest)
TQ_DEFINE_OBJECT(CommandsSendLogsReportRequest)
TQ_DEFINE_OBJECT(CommandsHealthcheckReportRequest)

} // namespace rdm
