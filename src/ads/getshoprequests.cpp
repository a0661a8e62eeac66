#include "ads/getshoprequests.h"

#include <QJsonArray>

namespace gs {

QByteArray LogEventsRequest::encodedBody() const
{
    QJsonArray array;
    for (const LogEvent& event : events)
        array.append(event.toJson());
    return jsonToRaw(QJsonObject{{QStringLiteral("event_id"), eventId}, {QStringLiteral("events"), array}});
}

namespace detail {

QVariant decodeText(const QByteArray& body)
{
    return QString::fromUtf8(body);
}

} // namespace detail

} // namespace gs
