#pragma once
// The conversions behind the field declarations of fields.h. Included only by the .cpp
// files that define objects (TQ_DEFINE_OBJECT / TQ_DEFINE_ANSWER below): each object's
// conversions are compiled there once, and nested objects are reached through their own
// (non-template) functions.
//
// JSON (a missing key and a JSON null read like a value of another type):
// - QString: toString() (else empty); bool: toBool(false); qint64 / int: toInteger(the
//   field's default: 0, -1 for ids, byDefault(n)), an int clamped to its range; double:
//   toDouble() (else 0); QColor:
//   the colour text (color_p.h, else invalid); enumerations: the text's dictionary lookup
//   (an integer for integer dictionaries), else the dictionary's unknown value.
// - optional<bool / qint64>: set only by a JSON boolean / number, else absent;
//   optional<object>: engaged and read only by a non-empty object, else left as it is.
// - A declared object: read only from a non-empty object, else left as it is.
// - QList: an array, each element by these rules (else empty); QMap / QHash of QString:
//   an object, each member by these rules (else empty).
// - QJsonValue / QJsonArray / QJsonObject: the value as received (toArray() / toObject()).
// CBOR (an absent key leaves the member as it is):
// - QString: a text string, else unchanged; qint64 / int: an integer, else -1; bool: a
//   boolean, else false; double: a 64-bit float, else 0.0; QColor: a text, else invalid;
//   enumerations: a text (integer dictionaries: an integer), else the lookup of "".
// - optional<bool / qint64>: set by a boolean / integer, else unchanged.
// - Objects (plain or optional): read only from a map (tags before it skipped), else the
//   value is skipped and the member unchanged; an object without a CBOR form skips it.
// - QList: an array, else unchanged; maps: a map, else unchanged; QJsonArray /
//   QJsonObject: an array / a map, else unchanged; QJsonValue: any item.

#include "model/cborreader_p.h"
#include "model/color_p.h"
#include "model/constantsdictionary.h"
#include "model/fields.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QLatin1String>
#include <QMap>
#include <QMetaType>

#include <algorithm>
#include <climits>
#include <limits>
#include <optional>
#include <utility>

// The CBOR field dispatch is the streaming decode's hot path: optimised builds inline it
// into each object's reader; unoptimised ones keep it shared (faster to compile).
#ifdef __OPTIMIZE__
#define TQ_DECODE_INLINE Q_ALWAYS_INLINE
#else
#define TQ_DECODE_INLINE
#endif

namespace tq {

template<class T>
inline constexpr auto fieldsOf = FieldAccess::fields<T>();

// What a value's conversion needs beyond its type: the integer default, and for the
// outer level of a map the key under which each value sits.
struct ValueRules
{
    qint64 fallback = 0;
    const char* valueKey = nullptr;
    qsizetype valueKeyLength = 0;
    bool lenient = false;

    ValueRules inner() const { return {fallback, nullptr, 0, lenient}; }
};

// Lenient reads: a JSON number, or text holding a decimal integer (`fallback` otherwise);
// JSON text, or a number written in decimal (empty otherwise).
qint64 integerOrText(const QJsonValue& value, qint64 fallback);
QString textOrNumber(const QJsonValue& value);

namespace detail {

template<class T>
struct IsOptional : std::false_type {};
template<class T>
struct IsOptional<std::optional<T>> : std::true_type {};
template<class T>
struct IsList : std::false_type {};
template<class T>
struct IsList<QList<T>> : std::true_type {};
template<class T>
struct IsTextMap : std::false_type {};
template<class V>
struct IsTextMap<QMap<QString, V>> : std::true_type {};
template<class V>
struct IsTextMap<QHash<QString, V>> : std::true_type {};
template<class T>
struct IsSelection : std::false_type {};
template<class... Choices>
struct IsSelection<Selection<Choices...>> : std::true_type {};

template<class T, class = void>
struct IsDeclared : std::false_type {};
template<class T>
struct IsDeclared<T, std::void_t<decltype(FieldAccess::fields<T>())>> : std::true_type {};

template<class T, class = void>
struct HasIsValid : std::false_type {};
template<class T>
struct HasIsValid<T, std::void_t<decltype(std::declval<const T&>().isValid())>> : std::true_type {};

template<class T, class = void>
struct HasEquality : std::false_type {};
template<class T>
struct HasEquality<T, std::void_t<decltype(std::declval<const T&>() == std::declval<const T&>())>>
    : std::true_type {};

template<class M>
inline constexpr bool IsJsonKept =
    std::is_same_v<M, QJsonValue> || std::is_same_v<M, QJsonArray> || std::is_same_v<M, QJsonObject>;

template<class M>
inline constexpr bool IsInteger = std::is_same_v<M, qint64> || std::is_same_v<M, int>;

// The dictionary of an enumeration: the field's own when it names one.
template<auto Dictionary, class Enum>
const auto& dictionaryOf()
{
    if constexpr (std::is_same_v<std::decay_t<decltype(Dictionary)>, std::nullptr_t>)
        return WireStrings<Enum>::dictionary();
    else
        return Dictionary();
}

template<auto Dictionary, class Enum>
inline constexpr bool TextKeys =
    std::is_same_v<std::decay_t<decltype(dictionaryOf<Dictionary, Enum>().key(Enum{}))>, QString>;

inline qint64 boundedInt(std::optional<qint64> number, bool* ok)
{
    *ok = number && *number >= INT_MIN && *number <= INT_MAX;
    return *ok ? *number : 0;
}

template<auto Dictionary, class Enum>
Enum enumFromJson(const QJsonValue& value)
{
    const auto& dictionary = dictionaryOf<Dictionary, Enum>();
    if constexpr (TextKeys<Dictionary, Enum>) {
        return dictionary.value(value.toString());
    } else {
        bool ok = false;
        const qint64 number =
            boundedInt(value.isDouble() ? std::optional<qint64>(value.toInteger(qint64(INT_MIN) - 1)) : std::nullopt, &ok);
        return ok ? dictionary.value(int(number)) : dictionary.unknown();
    }
}

template<auto Dictionary, class Enum>
Enum enumFromCbor(CborReader& reader)
{
    const auto& dictionary = dictionaryOf<Dictionary, Enum>();
    if constexpr (TextKeys<Dictionary, Enum>) {
        // A value that is not text decodes like an empty text.
        return reader.readUtf8([&dictionary](const char* bytes, qsizetype length) {
            return dictionary.valueUtf8(bytes ? bytes : "", bytes ? length : 0);
        });
    } else {
        bool ok = false;
        const qint64 number = boundedInt(reader.readOptionalInt64(), &ok);
        return ok ? dictionary.value(int(number)) : dictionary.unknown();
    }
}

// A map's value that sits under `rules.valueKey` of its own object.
inline QJsonValue valueUnder(const QJsonValue& value, const ValueRules& rules)
{
    return rules.valueKey ? value.toObject().value(QLatin1String(rules.valueKey, rules.valueKeyLength)) : value;
}

} // namespace detail

// One JSON value into a member.
template<auto Dictionary = nullptr, class M>
void readJsonValue(const QJsonValue& value, M& member, const ValueRules& rules = {})
{
    if constexpr (std::is_same_v<M, QString>) {
        member = rules.lenient ? textOrNumber(value) : value.toString();
    } else if constexpr (std::is_same_v<M, bool>) {
        member = value.toBool(false);
    } else if constexpr (detail::IsInteger<M>) {
        // Clamped to the member's width: a huge count reads as the largest one, not as garbage.
        const qint64 wide = rules.lenient ? integerOrText(value, rules.fallback) : value.toInteger(rules.fallback);
        member = M(std::clamp<qint64>(wide, std::numeric_limits<M>::min(), std::numeric_limits<M>::max()));
    } else if constexpr (std::is_same_v<M, double>) {
        member = value.toDouble();
    } else if constexpr (std::is_same_v<M, QColor>) {
        member = colorFromHexString(value.toString());
    } else if constexpr (std::is_enum_v<M>) {
        member = detail::enumFromJson<Dictionary, M>(value);
    } else if constexpr (std::is_same_v<M, QJsonValue>) {
        member = value;
    } else if constexpr (std::is_same_v<M, QJsonArray>) {
        member = value.toArray();
    } else if constexpr (std::is_same_v<M, QJsonObject>) {
        member = value.toObject();
    } else if constexpr (detail::IsOptional<M>::value) {
        using V = typename M::value_type;
        if constexpr (std::is_same_v<V, bool>) {
            member = value.isBool() ? std::optional<bool>(value.toBool()) : std::nullopt;
        } else if constexpr (std::is_same_v<V, qint64>) {
            member = value.isDouble() ? std::optional<qint64>(value.toInteger(rules.fallback)) : std::nullopt;
        } else {
            const QJsonObject object = value.toObject();
            if (!object.isEmpty()) {
                if (!member)
                    member.emplace();
                member->fromJson(object);
            }
        }
    } else if constexpr (detail::IsList<M>::value) {
        const QJsonArray array = value.toArray();
        member.clear();
        member.reserve(array.size());
        for (const QJsonValue& element : array) {
            if constexpr (detail::IsDeclared<typename M::value_type>::value) {
                if (rules.lenient && !element.isObject())
                    continue;
            }
            readJsonValue<Dictionary>(element, member.emplace_back(), rules.inner());
        }
    } else if constexpr (detail::IsTextMap<M>::value) {
        const QJsonObject object = value.toObject();
        member.clear();
        for (auto it = object.begin(); it != object.end(); ++it) {
            typename M::mapped_type element{};
            readJsonValue<Dictionary>(detail::valueUnder(it.value(), rules), element, rules.inner());
            member.insert(it.key(), std::move(element));
        }
    } else {
        // A declared object: an empty one leaves the member as it is.
        const QJsonObject object = value.toObject();
        if (!object.isEmpty())
            member.fromJson(object);
    }
}

// A member as a JSON value; an absent optional gives an undefined value (key not written).
template<auto Dictionary = nullptr, class M>
QJsonValue writeJsonValue(const M& member, const ValueRules& rules = {})
{
    if constexpr (std::is_same_v<M, QString> || std::is_same_v<M, bool> || std::is_same_v<M, qint64>
                  || std::is_same_v<M, int> || std::is_same_v<M, double> || detail::IsJsonKept<M>) {
        return QJsonValue(member);
    } else if constexpr (std::is_same_v<M, QColor>) {
        return colorToHexString(member);
    } else if constexpr (std::is_enum_v<M>) {
        const auto& dictionary = detail::dictionaryOf<Dictionary, M>();
        if constexpr (detail::TextKeys<Dictionary, M>)
            return QJsonValue(dictionary.key(member));
        else // an integer code without an entry (Unknown) is written as itself, to read back the same
            return QJsonValue(dictionary.unknown() == member ? int(member) : dictionary.key(member));
    } else if constexpr (detail::IsOptional<M>::value) {
        return member ? writeJsonValue<Dictionary>(*member, rules) : QJsonValue(QJsonValue::Undefined);
    } else if constexpr (detail::IsList<M>::value) {
        QJsonArray array;
        for (const auto& element : member)
            array.append(writeJsonValue<Dictionary>(element, rules.inner()));
        return array;
    } else if constexpr (detail::IsTextMap<M>::value) {
        QJsonObject object;
        for (auto it = member.begin(); it != member.end(); ++it) {
            QJsonValue element = writeJsonValue<Dictionary>(it.value(), rules.inner());
            if (rules.valueKey)
                element = QJsonObject{{QLatin1String(rules.valueKey, rules.valueKeyLength), element}};
            object.insert(it.key(), element);
        }
        return object;
    } else {
        return member.toJson();
    }
}

// A declared object from the current CBOR item, read only when it is a map (tags before it
// skipped); any other item is skipped. True when the object was read.
template<class M>
bool readCborObject(CborReader& reader, M& object)
{
    reader.skipTags();
    if constexpr (std::is_base_of_v<AbstractCborObject, M>) {
        if (reader.isMap()) {
            object.fromCbor(reader);
            return true;
        }
    } else {
        (void)object; // an object without a CBOR form
    }
    reader.next();
    return false;
}

template<class M>
void readCborUnder(CborReader& reader, M& member, const ValueRules& rules);

// One CBOR value into a member; consumes the value whatever its type.
template<auto Dictionary = nullptr, class M>
void readCborValue(CborReader& reader, M& member, const ValueRules& rules = {})
{
    if constexpr (std::is_same_v<M, QString>) {
        reader.readText(member);
    } else if constexpr (std::is_same_v<M, bool>) {
        member = reader.readBool();
    } else if constexpr (std::is_same_v<M, qint64>) {
        member = reader.readInt64();
    } else if constexpr (std::is_same_v<M, int>) {
        member = reader.readInt32();
    } else if constexpr (std::is_same_v<M, double>) {
        member = reader.readDouble();
    } else if constexpr (std::is_same_v<M, QColor>) {
        member = reader.readColor();
    } else if constexpr (std::is_enum_v<M>) {
        member = detail::enumFromCbor<Dictionary, M>(reader);
    } else if constexpr (detail::IsJsonKept<M>) {
        reader.skipTags();
        if constexpr (std::is_same_v<M, QJsonArray>) {
            if (!reader.isArray()) {
                reader.next();
                return;
            }
        } else if constexpr (std::is_same_v<M, QJsonObject>) {
            if (!reader.isMap()) {
                reader.next();
                return;
            }
        }
        // A value cut short by a stream error is half built: Qt 6.4 may crash converting it.
        const QCborValue value = QCborValue::fromCbor(reader);
        if (!reader.hasError())
            readJsonValue(value.toJsonValue(), member);
    } else if constexpr (std::is_same_v<M, std::optional<qint64>>) {
        if (auto value = reader.readOptionalInt64())
            member = value;
    } else if constexpr (std::is_same_v<M, std::optional<bool>>) {
        if (auto value = reader.readOptionalBool())
            member = value;
    } else if constexpr (detail::IsOptional<M>::value) {
        reader.skipTags();
        if (!std::is_base_of_v<AbstractCborObject, typename M::value_type> || !reader.isMap()) {
            reader.next(); // engaged only by a map it can read
            return;
        }
        if (!member)
            member.emplace();
        readCborObject(reader, *member);
    } else if constexpr (detail::IsList<M>::value) {
        if (!reader.isArray()) {
            reader.next(); // not a list: the member keeps its elements
            return;
        }
        member.clear();
        if (!reader.enterArray(member))
            return;
        while (!reader.hasError() && reader.hasNext())
            readCborValue<Dictionary>(reader, member.emplace_back(), rules.inner()); // built in place
        reader.leave();
    } else if constexpr (detail::IsTextMap<M>::value) {
        reader.skipTags();
        if (!reader.isMap()) {
            reader.next();
            return;
        }
        member.clear();
        if (!reader.enterContainer())
            return;
        QString key;
        while (!reader.hasError() && reader.hasNext() && reader.readTextKey(key)) {
            typename M::mapped_type& element = member[key];
            if (rules.valueKey)
                readCborUnder(reader, element, rules);
            else
                readCborValue<Dictionary>(reader, element, rules.inner());
        }
        reader.leave();
    } else {
        readCborObject(reader, member);
    }
}

// The value under `rules.valueKey` of the current CBOR map; the map's other keys are skipped.
template<class M>
void readCborUnder(CborReader& reader, M& member, const ValueRules& rules)
{
    reader.skipTags();
    if (!reader.isMap()) {
        reader.next();
        return;
    }
    const quint32 hash = cborKeyHash(rules.valueKey, rules.valueKeyLength);
    if (!reader.enterContainer())
        return;
    while (!reader.hasError() && reader.hasNext() && reader.readKey()) {
        if (reader.keyIs(rules.valueKey, rules.valueKeyLength, hash))
            readCborValue(reader, member, rules.inner());
        else
            reader.next();
    }
    reader.leave();
}

namespace detail {

inline ValueRules rulesOf(const FieldKey& f)
{
    return {f.fallback, f.valueKey, f.valueKeyLength, (f.flags & Lenient) != 0};
}

// The JSON value of a field: under its parent, parsed from its text; false when the field
// is not read from JSON or its guarded key is absent.
bool jsonFieldValue(const QJsonObject& json, const FieldKey& f, QJsonValue* value);
// Writes a field's value (not when undefined): under its parent, as text.
void insertJsonField(QJsonObject& json, const FieldKey& f, QJsonValue value);
// The value of an asJsonText() field: an object or an array as the text of its compact JSON.
QJsonValue jsonTextValue(const QJsonValue& value);
// A CBOR text holding JSON, parsed (an object, an array, or an empty object).
QJsonValue cborJsonText(CborReader& reader);

// The conversions of one field, compiled once per member type (and dictionary) for every
// object that has such a member.
template<auto Dictionary, class M>
void readJsonMember(M& member, const QJsonObject& json, const FieldKey& f)
{
    if (!f.parent && !(f.flags & (CborOnly | JsonText))) { // the usual field, kept inline
        const QJsonValue value = json.value(QLatin1String(f.key, f.keyLength));
        if (!(f.flags & WhenPresent) || !value.isUndefined())
            readJsonValue<Dictionary>(value, member, rulesOf(f));
        return;
    }
    QJsonValue value;
    if (!jsonFieldValue(json, f, &value))
        return;
    if constexpr (IsDeclared<M>::value) {
        if (f.flags & JsonText) { // the object the text holds, whatever it holds
            member.fromJson(value.toObject());
            return;
        }
    }
    readJsonValue<Dictionary>(value, member, rulesOf(f));
}

template<auto Dictionary, class M>
void writeJsonMember(const M& member, QJsonObject& json, const FieldKey& f)
{
    if (f.flags & (CborOnly | ReadOnly))
        return;
    if constexpr (HasIsValid<M>::value) {
        if ((f.flags & WrittenWhenValid) && !member.isValid())
            return;
    }
    insertJsonField(json, f, writeJsonValue<Dictionary>(member, rulesOf(f)));
}

// A CBOR member carried as a text holding JSON.
template<auto Dictionary, class M>
void readCborJsonText(M& member, CborReader& reader, const FieldKey& f)
{
    const QJsonValue value = cborJsonText(reader);
    if constexpr (IsDeclared<M>::value)
        member.fromJson(value.toObject());
    else
        readJsonValue<Dictionary>(value, member, rulesOf(f));
}

template<auto Dictionary, class M>
TQ_DECODE_INLINE void readCborMember(M& member, CborReader& reader, const FieldKey& f)
{
    if (f.flags & JsonText)
        readCborJsonText<Dictionary>(member, reader, f);
    else
        readCborValue<Dictionary>(reader, member, rulesOf(f));
}

// The member a field names (in the object or its shared block), and the same through
// accessors: a copy read with the getter and written back with the setter.
template<class T, class Owner, class Member, auto Dictionary>
void readJsonField(T& object, const QJsonObject& json, const Field<Owner, Member, Dictionary>& f)
{
    readJsonMember<Dictionary>(FieldAccess::target<Owner>(object).*f.member, json, f);
}

template<class T, class Owner, class Member, class G, class S>
void readJsonField(T& object, const QJsonObject& json, const Property<Owner, Member, G, S>& f)
{
    Owner& owner = FieldAccess::target<Owner>(object);
    Member value = (owner.*f.get)();
    readJsonMember<nullptr>(value, json, f);
    (owner.*f.set)(value);
}

template<class T, class Owner, class Member, auto Dictionary>
const Member& memberOf(const T& object, const Field<Owner, Member, Dictionary>& f)
{
    return FieldAccess::target<Owner>(object).*f.member;
}

template<class T, class Owner, class Member, class G, class S>
Member memberOf(const T& object, const Property<Owner, Member, G, S>& f)
{
    return (FieldAccess::target<Owner>(object).*f.get)();
}

template<class T, class F>
void writeJsonField(const T& object, QJsonObject& json, const F& f)
{
    writeJsonMember<F::dictionary>(memberOf(object, f), json, f);
}

template<class T, class Owner, class Member, auto Dictionary>
TQ_DECODE_INLINE bool readCborField(T& object, CborReader& reader, const Field<Owner, Member, Dictionary>& f)
{
    if ((f.flags & JsonOnly) || !reader.keyIs(f.cborName, f.cborNameLength, f.cborHash))
        return false;
    readCborMember<Dictionary>(FieldAccess::target<Owner>(object).*f.member, reader, f);
    return true;
}

template<class T, class Owner, class Member, class G, class S>
bool readCborField(T& object, CborReader& reader, const Property<Owner, Member, G, S>& f)
{
    if ((f.flags & JsonOnly) || !reader.keyIs(f.cborName, f.cborNameLength, f.cborHash))
        return false;
    Owner& owner = FieldAccess::target<Owner>(object);
    Member value = (owner.*f.get)();
    readCborMember<nullptr>(value, reader, f);
    (owner.*f.set)(value);
    return true;
}

template<class T, class C>
auto& choiceMember(T& object, const C& c)
{
    return FieldAccess::target<typename C::OwnerType>(object).*c.member;
}

template<class C>
bool choiceMatches(const C& c, const QString& type)
{
    const QLatin1String name(c.name, c.nameLength);
    return c.name && (c.prefix ? type.startsWith(name) : type == name);
}

template<class T, class... Choices>
void readJsonField(T& object, const QJsonObject& json, const Selection<Choices...>& s)
{
    const QString type = json.value(QLatin1String(s.typeKey, s.typeKeyLength)).toString();
    std::apply([&](const auto&... c) { (choiceMember(object, c).reset(), ...); }, s.choices);
    bool chosen = false;
    const auto take = [&](const auto& c) {
        chosen = true;
        const QJsonObject source = c.whole ? json : json.value(QLatin1String(c.key, c.keyLength)).toObject();
        if (!source.isEmpty())
            choiceMember(object, c).emplace().fromJson(source);
    };
    // A named alternative first; the one without a name takes any other type.
    std::apply([&](const auto&... c) { ((!chosen && choiceMatches(c, type) ? take(c) : void()), ...); }, s.choices);
    std::apply([&](const auto&... c) { ((!chosen && !c.name ? take(c) : void()), ...); }, s.choices);
}

template<class T, class... Choices>
void writeJsonField(const T& object, QJsonObject& json, const Selection<Choices...>& s)
{
    // The first engaged alternative only (several alternatives may share one member).
    bool written = false;
    const auto write = [&](const auto& c) {
        const auto& member = choiceMember(object, c);
        if (written || !member)
            return;
        written = true;
        const QJsonObject value = member->toJson();
        if (!c.whole) {
            json.insert(QLatin1String(c.key, c.keyLength), value);
            return;
        }
        for (auto it = value.begin(); it != value.end(); ++it)
            json.insert(it.key(), it.value());
    };
    std::apply([&](const auto&... c) { (write(c), ...); }, s.choices);
}

template<class T, class... Choices>
bool readCborField(T& object, CborReader& reader, const Selection<Choices...>& s)
{
    const auto read = [&](const auto& c) {
        if (c.whole || !reader.keyIs(c.key, c.keyLength, c.cborHash))
            return false;
        readCborValue(reader, choiceMember(object, c));
        return true;
    };
    return std::apply([&](const auto&... c) { return (read(c) || ...); }, s.choices);
}

} // namespace detail

// The declared conversions of T, behind its TQ_DECODED functions.
template<class T>
struct Codec
{
    static constexpr auto Fields = std::make_index_sequence<std::tuple_size_v<std::decay_t<decltype(fieldsOf<T>)>>>();

    static void read(T& object, const QJsonObject& json) { read(object, json, Fields); }
    static void write(const T& object, QJsonObject& json) { write(object, json, Fields); }
    static int readCborField(T& object, CborReader& reader)
    {
        if constexpr (std::is_base_of_v<AbstractCborObject, T>) {
            if (!readCbor(object, reader, Fields))
                reader.next();
        } else {
            (void)object;
            reader.next(); // only objects with a CBOR form are read from CBOR
        }
        return reader.errorCode();
    }

private:
    template<std::size_t... I>
    static void read(T& object, const QJsonObject& json, std::index_sequence<I...>)
    {
        (detail::readJsonField(object, json, std::get<I>(fieldsOf<T>)), ...);
    }
    template<std::size_t... I>
    static void write(const T& object, QJsonObject& json, std::index_sequence<I...>)
    {
        (detail::writeJsonField(object, json, std::get<I>(fieldsOf<T>)), ...);
    }
    template<std::size_t... I>
    static bool readCbor(T& object, CborReader& reader, std::index_sequence<I...>)
    {
        return (detail::readCborField(object, reader, std::get<I>(fieldsOf<T>)) || ...);
    }
};

namespace detail {

template<class M>
bool equalValues(const M& a, const M& b);

template<class T, class F>
bool equalField(const T& a, const T& b, const F& f)
{
    if constexpr (IsSelection<F>::value) {
        return std::apply([&](const auto&... c) { return (equalValues(choiceMember(a, c), choiceMember(b, c)) && ...); },
                          f.choices);
    } else {
        return equalValues(memberOf(a, f), memberOf(b, f));
    }
}

template<class M>
bool equalValues(const M& a, const M& b)
{
    if constexpr (HasEquality<M>::value && !IsList<M>::value && !IsOptional<M>::value && !IsTextMap<M>::value) {
        return a == b;
    } else if constexpr (IsOptional<M>::value) {
        return bool(a) == bool(b) && (!a || equalValues(*a, *b));
    } else if constexpr (IsList<M>::value) {
        if (a.size() != b.size())
            return false;
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (!equalValues(a.at(i), b.at(i)))
                return false;
        }
        return true;
    } else if constexpr (IsTextMap<M>::value) {
        return a == b;
    } else {
        return std::apply([&](const auto&... f) { return (equalField(a, b, f) && ...); }, fieldsOf<M>);
    }
}

} // namespace detail

// Whether two objects hold the same values in every declared field (nested objects
// compared the same way unless they have an operator== of their own).
template<class T>
bool fieldsEqual(const T& a, const T& b)
{
    return std::apply([&](const auto&... f) { return (detail::equalField(a, b, f) && ...); }, fieldsOf<T>);
}

// Calls `visit` with the engaged alternative of the union's selection (not at all when
// none is engaged); for analytics forms and the displayable member of a union.
template<class T, class Visit>
void visitSelected(const T& object, Visit&& visit)
{
    bool visited = false;
    const auto visitChoice = [&](const auto& c) {
        const auto& member = detail::choiceMember(object, c);
        if (!visited && member) {
            visited = true;
            visit(*member);
        }
    };
    const auto visitField = [&](const auto& f) {
        if constexpr (detail::IsSelection<std::decay_t<decltype(f)>>::value)
            std::apply([&](const auto&... c) { (visitChoice(c), ...); }, f.choices);
    };
    std::apply([&](const auto&... f) { (visitField(f), ...); }, fieldsOf<T>);
}

template<class T>
QCborMap cborFormOf(const QJsonObject& json);

namespace detail {

// A JSON value of a member in the CBOR form of its type.
template<class M>
QCborValue cborValueOf(const QJsonValue& value)
{
    if constexpr (IsOptional<M>::value && !std::is_same_v<M, std::optional<bool>>
                  && !std::is_same_v<M, std::optional<qint64>>) {
        return cborValueOf<typename M::value_type>(value);
    } else if constexpr (IsList<M>::value) {
        if (!value.isArray())
            return QCborValue::fromJsonValue(value);
        QCborArray array;
        for (const QJsonValue& element : value.toArray())
            array.append(cborValueOf<typename M::value_type>(element));
        return array;
    } else if constexpr (IsDeclared<M>::value) {
        return value.isObject() ? QCborValue(cborFormOf<M>(value.toObject())) : QCborValue::fromJsonValue(value);
    } else if constexpr (std::is_same_v<M, double>) {
        return value.isDouble() ? QCborValue(value.toDouble()) : QCborValue::fromJsonValue(value); // never an integer
    } else {
        return QCborValue::fromJsonValue(value);
    }
}

template<class T, class F>
void insertCborForm(QCborMap& map, const QJsonObject& json, const F& f)
{
    if constexpr (IsSelection<F>::value) {
        std::apply(
            [&](const auto&... c) {
                const auto one = [&](const auto& choice) {
                    using Member = std::decay_t<decltype(choiceMember(std::declval<T&>(), choice))>;
                    const QLatin1String key(choice.key, choice.keyLength);
                    if (!choice.whole && json.contains(key))
                        map.insert(key, cborValueOf<Member>(json.value(key)));
                };
                (one(c), ...);
            },
            f.choices);
    } else {
        if (f.flags & (JsonOnly | CborOnly))
            return;
        const QLatin1String key(f.key, f.keyLength);
        const QJsonValue value =
            f.parent ? json.value(QLatin1String(f.parent, f.parentLength)).toObject().value(key) : json.value(key);
        if (value.isUndefined())
            return;
        using Member = std::decay_t<decltype(memberOf(std::declval<const T&>(), f))>;
        map.insert(QLatin1String(f.cborName, f.cborNameLength), cborValueOf<Member>(value));
    }
}

} // namespace detail

// The CBOR form of T's JSON object as the platform sends it: keys renamed to their CBOR
// names, keys nested in JSON flattened, JSON-only keys left out (unknown keys too). For
// the fake platform and the tests.
template<class T>
QCborMap cborFormOf(const QJsonObject& json)
{
    QCborMap map;
    std::apply([&](const auto&... f) { (detail::insertCborForm<T>(map, json, f), ...); }, fieldsOf<T>);
    return map;
}

template<class T>
struct MetaTypeRegistration
{
    MetaTypeRegistration() { qRegisterMetaType<T>(); }
};

} // namespace tq

#define TQ_FIELDS_CONCAT_(a, b) a##b
#define TQ_FIELDS_CONCAT(a, b) TQ_FIELDS_CONCAT_(a, b)

// Defines the TQ_DECODED functions of `Type` (at global scope with the qualified name, or
// inside the object's namespace).
#define TQ_DEFINE_OBJECT(Type)                                                                     \
    void Type::readFields(Type& object, const QJsonObject& json)                                   \
    {                                                                                              \
        ::tq::Codec<Type>::read(object, json);                                                     \
    }                                                                                              \
    void Type::writeFields(const Type& object, QJsonObject& json)                                  \
    {                                                                                              \
        ::tq::Codec<Type>::write(object, json);                                                    \
    }                                                                                              \
    int Type::readCborFields(Type& object, ::tq::CborReader& reader)                               \
    {                                                                                              \
        return ::tq::Codec<Type>::readCborField(object, reader);                                   \
    }

// The same for an answer, which is also registered as a meta-type when the library loads,
// so that it travels in a QVariant across threads and is found by its name.
#define TQ_DEFINE_ANSWER(Type)                                                                     \
    TQ_DEFINE_OBJECT(Type)                                                                         \
    TQ_REGISTER_ANSWER(Type)

// Only the registration, for an answer that is another object under its own name
// (`class GetThingByIdResponse : public Thing {}`): it reuses that object's conversions.
#define TQ_REGISTER_ANSWER(Type)                                                                   \
    namespace {                                                                                    \
    const ::tq::MetaTypeRegistration<Type> TQ_FIELDS_CONCAT(tqMetaTypeRegistration, __COUNTER__);  \
    }
