#pragma once
// The platform's colour text: six or eight hexadecimal digits without '#', red, green and
// blue pairs, then an optional alpha pair (alpha last, unlike QColor::name()).

#include <QColor>
#include <QString>
#include <QStringView>

namespace tq {

// A text of neither 6 nor 8 characters gives an invalid colour; a pair that is not
// hexadecimal gives 0 for that component; six digits are opaque.
QColor colorFromHexString(QStringView text);
QColor colorFromHexString(const char* utf8, qsizetype length);
// Eight lowercase digits, alpha last. An invalid colour gives an empty text, so that it
// decodes back to an invalid colour instead of opaque black.
QString colorToHexString(const QColor& color);

} // namespace tq
