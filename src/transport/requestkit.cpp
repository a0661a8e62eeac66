#include "transport/requestkit.h"

#include <QDateTime>
#include <QUrl>

#include <algorithm>

namespace tq {

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

template<class Number>
QString joined(const QList<Number>& values)
{
    QString text;
    for (const Number value : values) {
        if (!text.isEmpty())
            text += QLatin1Char(',');
        text += QString::number(value);
    }
    return text;
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

QString queryItem(const QString& key, int value)
{
    return queryItem(key, QString::number(value));
}

QString queryItem(const QString& key, qint64 value)
{
    return queryItem(key, QString::number(value));
}

QString queryItem(const QString& key, quint64 value)
{
    return queryItem(key, QString::number(value));
}

QString queryItem(const QString& key, bool value)
{
    return queryItem(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

QString queryItem(const QString& key, const QList<int>& values)
{
    return queryItem(key, joined(values));
}

QString queryItem(const QString& key, const QList<qint64>& values)
{
    return queryItem(key, joined(values));
}

QString queryItem(const QString& key, const QStringList& values)
{
    return queryItem(key, values.join(QLatin1Char(',')));
}

namespace kit {

qint64 currentEpochSeconds()
{
    return QDateTime::currentSecsSinceEpoch();
}

ResponseExtractor extractorOf(Decoder decoder)
{
    return decoder ? ResponseExtractor(decoder) : ResponseExtractor();
}

std::function<QString(const QString&)> pathFiller(qint64 id, const QString& value, bool kindInPath)
{
    return [id, value, kindInPath](const QString& pattern) {
        QString path = pattern;
        if (kindInPath && id == -1)
            path.replace(QLatin1String("/{id}/"), QLatin1String("/"));
        const QString idText = QString::number(id);
        path.replace(QLatin1String("{id}"), idText);
        path.replace(QLatin1String("{content_id}"), idText);
        // The one named text placeholder, if any.
        const qsizetype open = path.indexOf(QLatin1Char('{'));
        if (open >= 0) {
            const qsizetype close = path.indexOf(QLatin1Char('}'), open);
            if (close > open)
                path.replace(open, close - open + 1, value);
        }
        return path;
    };
}

} // namespace kit

} // namespace tq
