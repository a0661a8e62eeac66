#include "model/color_p.h"

namespace tq {

namespace {

template<class Char>
int hexDigit(Char c)
{
    if (c >= '0' && c <= '9')
        return int(c - '0');
    if (c >= 'a' && c <= 'f')
        return int(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return int(c - 'A' + 10);
    return -1;
}

template<class Char>
int hexPair(const Char* pair)
{
    const int high = hexDigit(pair[0]);
    const int low = hexDigit(pair[1]);
    return high < 0 || low < 0 ? 0 : high * 16 + low;
}

template<class Char>
QColor decode(const Char* text, qsizetype length)
{
    if (length != 6 && length != 8)
        return QColor();
    const int alpha = length == 8 ? hexPair(text + 6) : 255;
    return QColor(hexPair(text), hexPair(text + 2), hexPair(text + 4), alpha);
}

} // namespace

QColor colorFromHexString(QStringView text)
{
    return decode(text.utf16(), text.size());
}

QColor colorFromHexString(const char* utf8, qsizetype length)
{
    return decode(utf8, length);
}

QString colorToHexString(const QColor& color)
{
    if (!color.isValid())
        return QString();
    const QRgb rgba = color.rgba();
    return QStringLiteral("%1%2")
        .arg(uint(rgba & 0xFFFFFFu), 6, 16, QLatin1Char('0'))
        .arg(uint(qAlpha(rgba)), 2, 16, QLatin1Char('0'));
}

} // namespace tq
