#include "transport/requestkit.h"

#include <QDateTime>
#include <QUrl>


namespace tq::kit {

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

tq::ResponseExtractor extractorOf(Decoder decode)
{
    return decode ? tq::ResponseExtractor(decode) : tq::ResponseExtractor();
}

qint64 currentEpochSeconds()
{
    return QDateTime::currentSecsSinceEpoch();
}

} // namespace tq::kit
