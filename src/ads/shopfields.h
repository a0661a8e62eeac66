#pragma once
// Field kinds the shopping-banner service needs beyond model/fields.h, kept here until
// the shared declarations offer them:
// - numbers that may arrive as numeric text ("123"),
// - texts that may arrive as numbers (an id sent as 42 reads "42"),
// - lists of objects that skip elements which are not objects.
// An object declares these in lenientFields() next to its fields(); ShopObject decodes
// and encodes both lists, each field written once.

#include "model/fields.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

#include <tuple>
#include <type_traits>

namespace gs::detail {

template<class Owner, class Member>
struct LenientField
{
    const char* key;
    Member Owner::*member;
};

template<class Owner, class Member>
constexpr LenientField<Owner, Member> lenient(const char* key, Member Owner::*member)
{
    return {key, member};
}

// A JSON number, or text holding a decimal integer; 0 otherwise.
qint64 numberOrText(const QJsonValue& value);
// JSON text, or a number written in decimal; empty otherwise.
QString textOrNumber(const QJsonValue& value);

template<class M>
void readLenient(const QJsonValue& value, M& member)
{
    if constexpr (std::is_same_v<M, QString>) {
        member = textOrNumber(value);
    } else if constexpr (std::is_integral_v<M>) {
        member = M(numberOrText(value));
    } else {
        const QJsonArray array = value.toArray();
        member.clear();
        for (const QJsonValue& element : array) {
            if (element.isObject())
                member.emplace_back().fromJson(element.toObject());
        }
    }
}

template<class M>
QJsonValue writeLenient(const M& member)
{
    if constexpr (std::is_same_v<M, QString> || std::is_integral_v<M>) {
        return QJsonValue(member);
    } else {
        QJsonArray array;
        for (const auto& element : member)
            array.append(element.toJson());
        return array;
    }
}

// Base of the service's objects: the declared fields through model/fields.h, then the
// lenient ones. An object without one of the lists simply does not declare it.
template<class T, class... Bases>
class ShopObject : public tq::DecodedObject<T, Bases...>
{
public:
    static constexpr std::tuple<> fields() { return {}; }
    static constexpr std::tuple<> lenientFields() { return {}; }

    void fromJson(const QJsonObject& json)
    {
        tq::DecodedObject<T, Bases...>::fromJson(json);
        T& self = static_cast<T&>(*this);
        std::apply([&](const auto&... f) { (readLenient(json.value(QLatin1String(f.key)), self.*f.member), ...); },
                   T::lenientFields());
    }

    QJsonObject toJson() const
    {
        QJsonObject json = tq::DecodedObject<T, Bases...>::toJson();
        const T& self = static_cast<const T&>(*this);
        std::apply([&](const auto&... f) { (json.insert(QLatin1String(f.key), writeLenient(self.*f.member)), ...); },
                   T::lenientFields());
        return json;
    }
};

} // namespace gs::detail
