#include "model/jsonwriter_p.h"

namespace tq::jsonwriter {

namespace {

char hexDigit(unsigned value)
{
    return char(value < 10 ? '0' + value : 'a' + value - 10);
}

// The escape of an ASCII character, or 0 when it goes out as itself.
char shortEscape(char16_t c)
{
    switch (c) {
    case '"': return '"';
    case '\\': return '\\';
    case '\b': return 'b';
    case '\f': return 'f';
    case '\n': return 'n';
    case '\r': return 'r';
    case '\t': return 't';
    default: return 0;
    }
}

qsizetype asciiLength(char16_t c)
{
    if (shortEscape(c))
        return 2;
    return c < 0x20 ? 6 : 1;
}

char* writeAscii(char* out, char16_t c)
{
    if (const char escape = shortEscape(c)) {
        *out++ = '\\';
        *out++ = escape;
    } else if (c < 0x20) {
        *out++ = '\\';
        *out++ = 'u';
        *out++ = '0';
        *out++ = '0';
        *out++ = hexDigit(c >> 4);
        *out++ = hexDigit(c & 0xf);
    } else {
        *out++ = char(c);
    }
    return out;
}

// Room for `length` more bytes at the end of `out`; where they start.
char* extend(QByteArray& out, qsizetype length)
{
    const qsizetype start = out.size();
    out.resize(start + length);
    return out.data() + start;
}

} // namespace

void appendText(QByteArray& out, QStringView text)
{
    const char16_t* s = text.utf16();
    const qsizetype n = text.size();
    // The exact length first: one resize, no slack left in the body.
    qsizetype length = 2;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            length += asciiLength(c);
        } else if (c < 0x800) {
            length += 2;
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            length += 4;
            ++i;
        } else {
            length += QChar::isSurrogate(c) ? 6 : 3;
        }
    }
    char* d = extend(out, length);
    *d++ = '"';
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            d = writeAscii(d, c);
        } else if (c < 0x800) {
            *d++ = char(0xc0 | (c >> 6));
            *d++ = char(0x80 | (c & 0x3f));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            const char32_t u = QChar::surrogateToUcs4(c, s[++i]);
            *d++ = char(0xf0 | (u >> 18));
            *d++ = char(0x80 | ((u >> 12) & 0x3f));
            *d++ = char(0x80 | ((u >> 6) & 0x3f));
            *d++ = char(0x80 | (u & 0x3f));
        } else if (QChar::isSurrogate(c)) {
            *d++ = '\\';
            *d++ = 'u';
            *d++ = hexDigit(c >> 12);
            *d++ = hexDigit((c >> 8) & 0xf);
            *d++ = hexDigit((c >> 4) & 0xf);
            *d++ = hexDigit(c & 0xf);
        } else {
            *d++ = char(0xe0 | (c >> 12));
            *d++ = char(0x80 | ((c >> 6) & 0x3f));
            *d++ = char(0x80 | (c & 0x3f));
        }
    }
    *d = '"';
}

void appendUtf8Text(QByteArray& out, const QByteArray& utf8)
{
    // Bytes from 0x80 up belong to characters that go out as they are.
    qsizetype length = 2;
    for (const char byte : utf8)
        length += static_cast<unsigned char>(byte) < 0x80 ? asciiLength(char16_t(byte)) : 1;
    char* d = extend(out, length);
    *d++ = '"';
    for (const char byte : utf8) {
        if (static_cast<unsigned char>(byte) < 0x80)
            d = writeAscii(d, char16_t(byte));
        else
            *d++ = byte;
    }
    *d = '"';
}

void appendInteger(QByteArray& out, qint64 value)
{
    char digits[24];
    char* end = digits + sizeof digits;
    char* d = end;
    quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
    do {
        *--d = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        *--d = '-';
    out.append(d, end - d);
}

void appendValue(QByteArray& out, const QJsonValue& value)
{
    // Qt writes documents only: the value as the one element of an array, brackets dropped.
    const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    out.append(text.constData() + 1, text.size() - 2);
}

void appendObject(QByteArray& out, const QJsonObject& object)
{
    out.append(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace tq::jsonwriter
