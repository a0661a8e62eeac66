#pragma once
// Field declarations of the decoded objects.
//
// A decoded object declares its members once, as a constexpr list of (key, member, kind)
// returned by a static fields(); fromJson, toJson and readCborField all follow from it:
//
//     class Label : public DecodedObject<Label, AbstractCborObject>
//     {
//     public:
//         QColor color;
//         QString text;
//         static constexpr auto fields()
//         {
//             return std::make_tuple(field("color", &Label::color), field("text", &Label::text));
//         }
//     };
//
// - The conversion follows the member's type: QString, bool, qint64, int, double, QColor,
//   enumerations (through WireStrings<E>, see constantsdictionary.h), std::optional of
//   qint64 / bool / an object, nested objects, and QList of any of these.
// - Modifiers: idField(...) reads a missing id as -1; .whenPresent() leaves the member
//   untouched when the JSON key is absent; .jsonOnly() / .cborOnly() limit a field to one
//   format; .cborKey("k") names a CBOR key that differs from the JSON key.
// - itemId() and accessor(key, getter, setter) reach values behind accessors, such as
//   the data item's id.
// - Members kept in an implicitly shared block: point the fields into the private struct
//   (&ChannelBriefPrivate::name), hold it as `QSharedDataPointer<...> d` and declare
//   `friend struct FieldAccess;`. Decoding detaches the block; encoding never does.
// - A derived object derives DecodedObject<Derived, Base> and lists the base fields
//   first: std::tuple_cat(Base::fields(), std::make_tuple(...)).
// - Extra steps (unions, keys with custom rules) override fromJson/readCborField and call
//   readJsonFields / writeJsonFields / readCborFields for the declared part.
//
// CBOR dispatch compares the reader's key hash with each field's compile-time hash and
// confirms the match on the key text; an unknown key's value is skipped whole.

#include "model/cborobject.h"
#include "model/color.h"
#include "model/constantsdictionary.h"
#include "platform/abstractdataitem.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1String>
#include <QList>

#include <climits>
#include <optional>
#include <tuple>
#include <type_traits>
#include <utility>

namespace tq {

enum FieldFlag : unsigned {
    IdField = 1,     // a missing or mistyped JSON value reads as -1
    WhenPresent = 2, // the JSON key is read only when present
    JsonOnly = 4,
    CborOnly = 8,
};

// Key data and modifiers shared by every kind of field.
template<class Self>
struct FieldBase
{
    const char* key;
    qsizetype keyLength;
    const char* cborName;
    qsizetype cborNameLength;
    quint32 cborHash;
    unsigned flags;

    constexpr FieldBase(const char* k, unsigned f)
        : key(k), keyLength(constLength(k)), cborName(k), cborNameLength(keyLength),
          cborHash(cborKeyHash(k, keyLength)), flags(f)
    {}

    constexpr Self whenPresent() const { return with(WhenPresent); }
    constexpr Self jsonOnly() const { return with(JsonOnly); }
    constexpr Self cborOnly() const { return with(CborOnly); }
    constexpr Self cborKey(const char* k) const
    {
        Self self = static_cast<const Self&>(*this);
        self.cborName = k;
        self.cborNameLength = constLength(k);
        self.cborHash = cborKeyHash(k, self.cborNameLength);
        return self;
    }

private:
    constexpr Self with(unsigned flag) const
    {
        Self self = static_cast<const Self&>(*this);
        self.flags |= flag;
        return self;
    }
};

// A data member of the object, or of its shared block.
template<class Owner, class Member>
struct Field : FieldBase<Field<Owner, Member>>
{
    using OwnerType = Owner;
    Member Owner::*member;
    constexpr Field(const char* k, Member Owner::*m, unsigned f)
        : FieldBase<Field>(k, f), member(m) {}
};

// A value behind a getter and a setter.
template<class Owner, class Member>
struct Property : FieldBase<Property<Owner, Member>>
{
    using OwnerType = Owner;
    Member (Owner::*get)() const;
    void (Owner::*set)(Member);
    constexpr Property(const char* k, Member (Owner::*g)() const, void (Owner::*s)(Member), unsigned f)
        : FieldBase<Property>(k, f), get(g), set(s) {}
};

template<class Owner, class Member>
constexpr Field<Owner, Member> field(const char* key, Member Owner::*member)
{
    return {key, member, 0};
}

// A member holding an identifier: -1 when missing.
template<class Owner, class Member>
constexpr Field<Owner, Member> idField(const char* key, Member Owner::*member)
{
    return {key, member, IdField};
}

template<class Owner, class Member>
constexpr Property<Owner, Member> accessor(const char* key, Member (Owner::*get)() const,
                                           void (Owner::*set)(Member))
{
    return {key, get, set, 0};
}

// The data item's own id; setting it also sets the item's validity.
constexpr Property<stbcore::AbstractDataItem, qint64> itemId(const char* key = "id")
{
    return {key, &stbcore::AbstractDataItem::id, &stbcore::AbstractDataItem::setId, IdField};
}

// Reaches an object's field list and the members of its shared block.
struct FieldAccess
{
    template<class T>
    static constexpr auto fields() { return T::fields(); }

    template<class Owner, class T>
    static Owner& target(T& object)
    {
        if constexpr (std::is_base_of_v<Owner, T>)
            return object;
        else
            return *object.d; // QSharedDataPointer: detaches before the write
    }
    template<class Owner, class T>
    static const Owner& target(const T& object)
    {
        if constexpr (std::is_base_of_v<Owner, T>)
            return object;
        else
            return *object.d;
    }
};

template<class T>
inline constexpr auto fieldsOf = FieldAccess::fields<T>();

namespace detail {

template<class T>
struct IsOptional : std::false_type {};
template<class T>
struct IsOptional<std::optional<T>> : std::true_type {};
template<class T>
struct IsList : std::false_type {};
template<class T>
struct IsList<QList<T>> : std::true_type {};

template<class Enum>
using DictionaryKey = std::decay_t<decltype(WireStrings<Enum>::dictionary().key(Enum{}))>;

template<class Enum>
Enum enumFromJson(const QJsonValue& value)
{
    const auto& dictionary = WireStrings<Enum>::dictionary();
    if constexpr (std::is_same_v<DictionaryKey<Enum>, QString>) {
        return dictionary.value(value.toString());
    } else {
        const qint64 number = value.isDouble() ? value.toInteger(qint64(INT_MIN) - 1) : qint64(INT_MIN) - 1;
        return number < INT_MIN || number > INT_MAX ? dictionary.unknown() : dictionary.value(int(number));
    }
}

template<class Enum>
Enum enumFromCbor(CborReader& reader)
{
    const auto& dictionary = WireStrings<Enum>::dictionary();
    if constexpr (std::is_same_v<DictionaryKey<Enum>, QString>) {
        // A value that is not text decodes like an empty text.
        return reader.readUtf8([&dictionary](const char* bytes, qsizetype length) {
            return dictionary.valueUtf8(bytes ? bytes : "", bytes ? length : 0);
        });
    } else {
        const std::optional<qint64> number = reader.readOptionalInt64();
        return !number || *number < INT_MIN || *number > INT_MAX ? dictionary.unknown()
                                                                  : dictionary.value(int(*number));
    }
}

} // namespace detail

// One JSON value into a member (the conversion rules of every field kind).
template<class M>
void readJsonValue(const QJsonValue& value, M& member, unsigned flags)
{
    if constexpr (std::is_same_v<M, QString>) {
        member = value.toString();
    } else if constexpr (std::is_same_v<M, bool>) {
        member = value.toBool(false);
    } else if constexpr (std::is_same_v<M, qint64> || std::is_same_v<M, int>) {
        member = M(value.toInteger((flags & IdField) ? -1 : 0));
    } else if constexpr (std::is_same_v<M, double>) {
        member = value.toDouble();
    } else if constexpr (std::is_same_v<M, QColor>) {
        member = colorFromHexString(value.toString());
    } else if constexpr (std::is_enum_v<M>) {
        member = detail::enumFromJson<M>(value);
    } else if constexpr (detail::IsOptional<M>::value) {
        using V = typename M::value_type;
        if constexpr (std::is_same_v<V, bool>) {
            member = value.isBool() ? std::optional<bool>(value.toBool()) : std::nullopt;
        } else if constexpr (std::is_same_v<V, qint64>) {
            member = value.isDouble() ? std::optional<qint64>(value.toInteger((flags & IdField) ? -1 : 0))
                                      : std::nullopt;
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
            typename M::value_type item{};
            readJsonValue(element, item, flags);
            member.append(std::move(item));
        }
    } else {
        // A nested object: an empty one leaves the member as it is.
        const QJsonObject object = value.toObject();
        if (!object.isEmpty())
            member.fromJson(object);
    }
}

// A member as a JSON value; an absent optional gives an undefined value (key not written).
template<class M>
QJsonValue writeJsonValue(const M& member)
{
    if constexpr (std::is_same_v<M, QString> || std::is_same_v<M, bool> || std::is_same_v<M, qint64>
                  || std::is_same_v<M, int> || std::is_same_v<M, double>) {
        return QJsonValue(member);
    } else if constexpr (std::is_same_v<M, QColor>) {
        return colorToHexString(member);
    } else if constexpr (std::is_enum_v<M>) {
        const auto& dictionary = WireStrings<M>::dictionary();
        if constexpr (std::is_same_v<detail::DictionaryKey<M>, QString>)
            return QJsonValue(dictionary.key(member));
        else // an integer code without an entry (Unknown) is written as itself, to read back the same
            return QJsonValue(dictionary.unknown() == member ? int(member) : dictionary.key(member));
    } else if constexpr (detail::IsOptional<M>::value) {
        return member ? writeJsonValue(*member) : QJsonValue(QJsonValue::Undefined);
    } else if constexpr (detail::IsList<M>::value) {
        QJsonArray array;
        for (const auto& element : member)
            array.append(writeJsonValue(element));
        return array;
    } else {
        return member.toJson();
    }
}

// One CBOR value into a member; consumes the value whatever its type.
template<class M>
void readCborValue(CborReader& reader, M& member)
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
        member = detail::enumFromCbor<M>(reader);
    } else if constexpr (std::is_same_v<M, std::optional<qint64>>) {
        if (auto value = reader.readOptionalInt64())
            member = value;
    } else if constexpr (std::is_same_v<M, std::optional<bool>>) {
        if (auto value = reader.readOptionalBool())
            member = value;
    } else if constexpr (detail::IsOptional<M>::value) {
        reader.skipTags();
        if (!reader.isMap()) {
            reader.next();
            return;
        }
        if (!member)
            member.emplace();
        readCborValue(reader, *member);
    } else if constexpr (detail::IsList<M>::value) {
        if (!reader.isArray()) {
            reader.next(); // not a list: the member keeps its elements
            return;
        }
        member.clear();
        if (!reader.enterArray(member))
            return;
        while (!reader.hasError() && reader.hasNext())
            readCborValue(reader, member.emplace_back()); // built in place: no move per element
        reader.leaveArray();
    } else if constexpr (std::is_base_of_v<AbstractCborObject, M>) {
        reader.skipTags();
        if (reader.isContainer())
            member.fromCbor(reader);
        else
            reader.next();
    } else {
        reader.next(); // an object that has no CBOR form
    }
}

namespace detail {

template<class T, class Owner, class Member, class Visit>
void visitMember(T& object, const Field<Owner, Member>& f, Visit&& visit)
{
    visit(FieldAccess::target<Owner>(object).*f.member);
}

template<class T, class Owner, class Member, class Visit>
void visitMember(T& object, const Property<Owner, Member>& f, Visit&& visit)
{
    Owner& owner = FieldAccess::target<Owner>(object);
    Member value = (owner.*f.get)();
    visit(value);
    (owner.*f.set)(value);
}

template<class T, class Owner, class Member>
const Member& memberOf(const T& object, const Field<Owner, Member>& f)
{
    return FieldAccess::target<Owner>(object).*f.member;
}

template<class T, class Owner, class Member>
Member memberOf(const T& object, const Property<Owner, Member>& f)
{
    return (FieldAccess::target<Owner>(object).*f.get)();
}

template<class T, class F>
void readJsonField(T& object, const QJsonObject& json, const F& f)
{
    if (f.flags & CborOnly)
        return;
    const QJsonValue value = json.value(QLatin1String(f.key, f.keyLength));
    if ((f.flags & WhenPresent) && value.isUndefined())
        return;
    visitMember(object, f, [&](auto& member) { readJsonValue(value, member, f.flags); });
}

template<class T, class F>
void writeJsonField(const T& object, QJsonObject& json, const F& f)
{
    if (f.flags & CborOnly)
        return;
    QJsonValue value = writeJsonValue(memberOf(object, f));
    if (!value.isUndefined())
        json.insert(QLatin1String(f.key, f.keyLength), std::move(value));
}

template<class T, class F>
bool readCborField(T& object, CborReader& reader, const F& f)
{
    if ((f.flags & JsonOnly) || !reader.keyIs(f.cborName, f.cborNameLength, f.cborHash))
        return false;
    visitMember(object, f, [&reader](auto& member) { readCborValue(reader, member); });
    return true;
}

} // namespace detail

template<class T>
void readJsonFields(T& object, const QJsonObject& json)
{
    std::apply([&](const auto&... f) { (detail::readJsonField(object, json, f), ...); }, fieldsOf<T>);
}

template<class T>
void writeJsonFields(const T& object, QJsonObject& json)
{
    std::apply([&](const auto&... f) { (detail::writeJsonField(object, json, f), ...); }, fieldsOf<T>);
}

// Reads the value of the reader's current key into the field it names. False when no
// field has that key (the value is then still unread).
template<class T>
bool readCborFields(T& object, CborReader& reader)
{
    return std::apply([&](const auto&... f) { return (detail::readCborField(object, reader, f) || ...); },
                      fieldsOf<T>);
}

// Base of a declared object: derives from `Bases` (in that order) and implements
// fromJson, toJson and readCborField from T::fields(). The functions override the bases'
// virtual ones where those exist.
template<class T, class... Bases>
class DecodedObject : public Bases...
{
public:
    using Bases::Bases...;

    void fromJson(const QJsonObject& json) { readJsonFields(self(), json); }
    QJsonObject toJson() const
    {
        QJsonObject json;
        writeJsonFields(self(), json);
        return json;
    }
    int readCborField(CborReader& reader)
    {
        if (!readCborFields(self(), reader))
            reader.next();
        return reader.errorCode();
    }

private:
    T& self() { return static_cast<T&>(*this); }
    const T& self() const { return static_cast<const T&>(*this); }
};

} // namespace tq
