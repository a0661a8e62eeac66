#include "transport/requestkit.h"

#include <QDateTime>
#include <QUrl>
#include <QVarLengthArray>

#include <iterator>
#include <type_traits>

namespace tq {

namespace {
bool unreserved(char16_t u)
{
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' || u == '.' ||
           u == '_' || u == '~';
}

// The length of `text` percent-encoded, or -1 when it holds a surrogate (left to QUrl).
qsizetype encodedLength(const QString& text)
{
    qsizetype length = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            length += unreserved(u) ? 1 : 3;
        else if (u < 0x800)
            length += 6;
        else if (QChar::isSurrogate(u))
            return -1;
        else
            length += 9;
    }
    return length;
}

// Unreserved characters as they are, every other one as the %XX of its UTF-8 bytes; the
// end of what was written.
QChar* writeEncoded(QChar* d, const QString& text)
{
    static const char hex[] = "0123456789ABCDEF";
    const auto byte = [&d](unsigned b) {
        *d++ = QLatin1Char('%');
        *d++ = QLatin1Char(hex[b >> 4]);
        *d++ = QLatin1Char(hex[b & 0xf]);
    };
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 && unreserved(u)) {
            *d++ = c;
        } else if (u < 0x80) {
            byte(u);
        } else if (u < 0x800) {
            byte(0xc0 | (u >> 6));
            byte(0x80 | (u & 0x3f));
        } else {
            byte(0xe0 | (u >> 12));
            byte(0x80 | ((u >> 6) & 0x3f));
            byte(0x80 | (u & 0x3f));
        }
    }
    return d;
}
} // namespace

// One allocation: the item's exact length is counted first.
QString queryItem(const QString& key, const QString& value)
{
    const qsizetype keyLength = encodedLength(key);
    const qsizetype valueLength = encodedLength(value);
    if (keyLength < 0 || valueLength < 0) // a surrogate: QUrl knows what becomes of one without its pair
        return QLatin1String(QUrl::toPercentEncoding(key)) + QLatin1Char('=')
               + QLatin1String(QUrl::toPercentEncoding(value));
    QString item(keyLength + 1 + valueLength, Qt::Uninitialized);
    QChar* d = writeEncoded(item.data(), key);
    *d++ = QLatin1Char('=');
    writeEncoded(d, value);
    return item;
}

namespace {
// Texts for the items built on the stack: QString::fromRawData() wraps them without a copy.
using Digits = QVarLengthArray<char16_t, 256>;

template<class Number>
void appendDigits(Digits& text, Number value)
{
    char16_t digits[24];
    char16_t* end = digits + std::size(digits);
    char16_t* d = end;
    std::make_unsigned_t<Number> magnitude = value < 0 ? 0 - std::make_unsigned_t<Number>(value) : value;
    do {
        *--d = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        *--d = u'-';
    text.append(d, end - d);
}

template<class Number>
QString numberItem(const QString& key, Number value)
{
    Digits text;
    appendDigits(text, value);
    return queryItem(key, QString::fromRawData(reinterpret_cast<const QChar*>(text.constData()), text.size()));
}

template<class Number>
QString numbersItem(const QString& key, const QList<Number>& values)
{
    Digits text;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            text.append(u',');
        appendDigits(text, qint64(values.at(i)));
    }
    return queryItem(key, QString::fromRawData(reinterpret_cast<const QChar*>(text.constData()), text.size()));
}
} // namespace

QString queryItem(const QString& key, int value)
{
    return numberItem(key, qint64(value));
}

QString queryItem(const QString& key, qint64 value)
{
    return numberItem(key, value);
}

QString queryItem(const QString& key, quint64 value)
{
    return numberItem(key, value);
}

QString queryItem(const QString& key, bool value)
{
    return queryItem(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

QString queryItem(const QString& key, const QList<int>& values)
{
    return numbersItem(key, values);
}

QString queryItem(const QString& key, const QList<qint64>& values)
{
    return numbersItem(key, values);
}

QString queryItem(const QString& key, const QStringList& values)
{
    if (values.size() == 1)
        return queryItem(key, values.first());
    Digits text;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            text.append(u',');
        text.append(reinterpret_cast<const char16_t*>(values.at(i).utf16()), values.at(i).size());
    }
    return queryItem(key, QString::fromRawData(reinterpret_cast<const QChar*>(text.constData()), text.size()));
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
