#include "transport/requestkit.h"

#include <QDateTime>
#include <QUrl>
#include <QVarLengthArray>

#include <array>
#include <iterator>
#include <type_traits>

namespace tq {

namespace {
// The characters that stay as they are in a percent-encoded text, by ASCII code.
constexpr auto unreservedTable = [] {
    std::array<bool, 128> table{};
    for (char16_t u = 0; u < 128; ++u)
        table[u] = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' ||
                   u == '.' || u == '_' || u == '~';
    return table;
}();

bool unreserved(char16_t u)
{
    return u < 0x80 && unreservedTable[u];
}

// A code unit of either kind of text.
char16_t unit(QChar c)
{
    return c.unicode();
}
char16_t unit(char c)
{
    return uchar(c);
}

// The length of `text` percent-encoded, or -1 when it holds a surrogate (left to QUrl).
// Latin-1 and UTF-16 texts alike: a code unit from 0x80 is a character of its own.
template<class View>
qsizetype encodedLength(View text)
{
    qsizetype length = 0;
    for (const auto c : text) {
        const char16_t u = unit(c);
        if (u < 0x80)
            length += unreservedTable[u] ? 1 : 3;
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
template<class View>
QChar* writeEncoded(QChar* d, View text, qsizetype encodedLength)
{
    if (encodedLength == text.size()) { // nothing to escape, the usual case: copied unit for unit
        for (const auto c : text)
            *d++ = QChar(unit(c));
        return d;
    }
    static const char hex[] = "0123456789ABCDEF";
    const auto byte = [&d](unsigned b) {
        *d++ = QLatin1Char('%');
        *d++ = QLatin1Char(hex[b >> 4]);
        *d++ = QLatin1Char(hex[b & 0xf]);
    };
    for (const auto c : text) {
        const char16_t u = unit(c);
        if (unreserved(u)) {
            *d++ = QChar(u);
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

template<class Key>
QString encodedItem(Key key, const QString& value)
{
    const qsizetype keyLength = encodedLength(key);
    const qsizetype valueLength = encodedLength(QStringView(value));
    if (keyLength < 0 || valueLength < 0) // a surrogate: QUrl knows what becomes of one without its pair
        return QLatin1String(QUrl::toPercentEncoding(key.toString())) + QLatin1Char('=')
               + QLatin1String(QUrl::toPercentEncoding(value));
    QString item(keyLength + 1 + valueLength, Qt::Uninitialized);
    QChar* d = writeEncoded(item.data(), key, keyLength);
    *d++ = QLatin1Char('=');
    writeEncoded(d, QStringView(value), valueLength);
    return item;
}

} // namespace

// One allocation: the item's exact length is counted first. The request kit's keys come as
// Latin-1 and are not converted on the way.
QString queryItem(QAnyStringView key, const QString& value)
{
    return key.visit([&value](auto view) {
        if constexpr (std::is_same_v<decltype(view), QUtf8StringView>)
            return encodedItem(QStringView(view.toString()), value); // no such key in the library
        else
            return encodedItem(view, value);
    });
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
QString numberItem(QAnyStringView key, Number value)
{
    Digits text;
    appendDigits(text, value);
    return queryItem(key, QString::fromRawData(reinterpret_cast<const QChar*>(text.constData()), text.size()));
}

template<class Number>
QString numbersItem(QAnyStringView key, const QList<Number>& values)
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

QString queryItem(QAnyStringView key, int value)
{
    return numberItem(key, qint64(value));
}

QString queryItem(QAnyStringView key, qint64 value)
{
    return numberItem(key, value);
}

QString queryItem(QAnyStringView key, quint64 value)
{
    return numberItem(key, value);
}

QString queryItem(QAnyStringView key, bool value)
{
    return queryItem(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

QString queryItem(QAnyStringView key, const QList<int>& values)
{
    return numbersItem(key, values);
}

QString queryItem(QAnyStringView key, const QList<qint64>& values)
{
    return numbersItem(key, values);
}

QString queryItem(QAnyStringView key, const QStringList& values)
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
