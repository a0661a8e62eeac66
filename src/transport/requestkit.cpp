#include "transport/requestkit.h"

#include <QDateTime>
#include <QUrl>

#include <algorithm>

namespace tq::kit {

namespace {
// Most keys and values (names, numbers, wire strings) need no encoding: they are copied
// as they are, and the item costs one allocation instead of six.
void appendEncoded(QString& item, const QString& text)
{
    const auto unreserved = [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' ||
               u == '.' || u == '_' || u == '~';
    };
    if (std::all_of(text.cbegin(), text.cend(), unreserved))
        item += text;
    else
        item += QLatin1String(QUrl::toPercentEncoding(text));
}
} // namespace

QString queryItem(const QString& key, const QString& value)
{
    QString item;
    item.reserve(key.size() + 1 + value.size());
    appendEncoded(item, key);
    item += QLatin1Char('=');
    appendEncoded(item, value);
    return item;
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
