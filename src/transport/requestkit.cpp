#include "transport/requestkit.h"

#include <QDateTime>
#include <QUrl>

namespace tq::kit {

QString queryItem(const QString& key, const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(key) + '=' + QUrl::toPercentEncoding(value));
}

tq::ResponseExtractor extractorOf(Decoder decode)
{
    return decode ? tq::ResponseExtractor(decode) : tq::ResponseExtractor();
}

qint64 currentEpochSeconds()
{
    return QDateTime::currentSecsSinceEpoch();
}

} // namespace tq::kit
