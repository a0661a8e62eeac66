#pragma once
// JSON fixtures for tests. moc cannot parse raw string literals, so fixtures are written
// with single quotes: json("{'a':1}") gives {"a":1}.

#include <QByteArray>

namespace fake {

inline QByteArray json(const char* text)
{
    return QByteArray(text).replace('\'', '"');
}

} // namespace fake
