#define ADS_DEFINE_WIRE_STRINGS // the dictionaries of getshop.h are built here
#include "ads/getshop.h"

namespace gs {

const QStringList& remoteKeyNames()
{
    static const QStringList names{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
                                   "ok", "left", "right", "up", "down", "back", "delete"};
    return names;
}

QJsonObject LogEvent::toJson() const
{
    QJsonObject json = ShopObject::toJson();
    for (auto it = json.begin(); it != json.end();) {
        const bool unset = it->isString() ? it->toString().isEmpty() : it->toInteger() <= 0;
        it = unset ? json.erase(it) : it + 1;
    }
    return json;
}

namespace detail {

qint64 numberOrText(const QJsonValue& value)
{
    if (value.isString()) {
        bool ok = false;
        const qint64 number = value.toString().toLongLong(&ok, 10);
        return ok ? number : 0;
    }
    return value.toInteger(0);
}

QString textOrNumber(const QJsonValue& value)
{
    if (!value.isDouble())
        return value.toString();
    const qint64 integer = value.toInteger(LLONG_MIN);
    return integer != LLONG_MIN ? QString::number(integer) : QString::number(value.toDouble());
}

} // namespace detail

} // namespace gs
