#pragma once
// The writer behind compactJson() (model/compactjson.h). Included, like fieldcodec_p.h, only
// by the .cpp files that define bodies:
//
//     TQ_DEFINE_BODY(PatchProfileParams)     // in place of TQ_DEFINE_OBJECT
//
// It follows toJson() rule by rule: keys in QJsonObject's order (sorted), the same fields
// left out (CBOR-only, read-only, invalid under writtenWhenValid, absent optionals), texts
// escaped and integers written as Qt's writer does them. Texts, integers, booleans,
// enumerations, colours, lists and nested objects are written here; what Qt formats in
// ways of its own (numbers with fractions, JSON kept as received, maps) goes through Qt's
// writer, and so does an object whose layout toJson() shapes beyond a flat list of keys
// (a union, a key under a parent, a toJson() of its own).

#include "model/compactjson.h"
#include "model/fieldcodec_p.h"

#include <QStringView>

#include <array>
#include <cstddef>

namespace tq {
namespace jsonwriter {

// A text as Qt's compact writer gives it: quoted; '"', '\\' and control characters escaped
// (\b \f \n \r \t, the others \u00xx); a surrogate without its pair as \uxxxx; the rest
// in UTF-8.
void appendText(QByteArray& out, QStringView text);
// The same for valid UTF-8 (compact JSON written before).
void appendUtf8Text(QByteArray& out, const QByteArray& utf8);
void appendInteger(QByteArray& out, qint64 value);
// Through Qt's own writer.
void appendValue(QByteArray& out, const QJsonValue& value);
void appendObject(QByteArray& out, const QJsonObject& object);

template<class T>
void writeObject(const T& object, QByteArray& out);

namespace detail {

using namespace ::tq::detail;

template<class M>
struct MemberClass;
template<class R, class C>
struct MemberClass<R (C::*)() const>
{
    using type = C;
};

// T replaces the declared toJson() with one of its own.
template<class T>
inline constexpr bool OwnToJson = std::is_same_v<typename MemberClass<decltype(&T::toJson)>::type, T>;

// The member types written here rather than through Qt's writer.
template<class M>
constexpr bool writtenDirectly()
{
    if constexpr (std::is_same_v<M, QString> || std::is_same_v<M, bool> || IsInteger<M> || std::is_same_v<M, QColor>
                  || std::is_enum_v<M>) {
        return true;
    } else if constexpr (IsOptional<M>::value) {
        return writtenDirectly<typename M::value_type>();
    } else if constexpr (IsList<M>::value) {
        return !IsOptional<typename M::value_type>::value && writtenDirectly<typename M::value_type>();
    } else {
        return IsDeclared<M>::value;
    }
}

template<class M>
struct Unwrapped
{
    using type = M;
};
template<class V>
struct Unwrapped<std::optional<V>>
{
    using type = V;
};

template<class F>
constexpr const char* keyOf(const F& f)
{
    if constexpr (IsSelection<F>::value) {
        (void)f;
        return nullptr;
    } else {
        return f.key;
    }
}

template<class F>
constexpr bool writesKey(const F& f)
{
    if constexpr (IsSelection<F>::value) {
        (void)f;
        return true;
    } else {
        return !(f.flags & (CborOnly | ReadOnly));
    }
}

constexpr int compareKeys(const char* a, const char* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return int(static_cast<unsigned char>(*a)) - int(static_cast<unsigned char>(*b));
}

constexpr bool plainKey(const char* key)
{
    for (; *key; ++key) {
        if (*key < 0x20 || *key > 0x7e || *key == '"' || *key == '\\')
            return false;
    }
    return true;
}

template<class T>
inline constexpr std::size_t FieldCount = std::tuple_size_v<std::decay_t<decltype(fieldsOf<T>)>>;

// The keys of T's fields in declaration order (null for a union); those not written as null too.
template<class T>
constexpr auto writtenKeys()
{
    return std::apply(
        [](const auto&... f) {
            return std::array<const char*, sizeof...(f)>{(writesKey(f) ? keyOf(f) : "")...};
        },
        fieldsOf<T>);
}

template<class T>
constexpr bool hasParent()
{
    return std::apply(
        [](const auto&... f) {
            const auto parentOf = [](const auto& one) {
                if constexpr (IsSelection<std::decay_t<decltype(one)>>::value)
                    return false;
                else
                    return one.parent != nullptr;
            };
            return (false || ... || parentOf(f));
        },
        fieldsOf<T>);
}

// Written here field by field: no union, no key under a parent, no key written twice, keys
// that need no escaping, and the declared toJson().
template<class T>
constexpr bool flatLayout()
{
    if constexpr (OwnToJson<T>) {
        return false;
    } else {
        constexpr auto keys = writtenKeys<T>();
        if (hasParent<T>())
            return false;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (!keys[i] || !plainKey(keys[i]))
                return false;
            for (std::size_t j = 0; j < i; ++j) {
                if (*keys[i] && compareKeys(keys[i], keys[j]) == 0)
                    return false;
            }
        }
        return true;
    }
}

// The fields' indices in the order QJsonObject keeps their keys.
template<class T>
constexpr auto sortedOrder()
{
    constexpr auto keys = writtenKeys<T>();
    std::array<std::size_t, keys.size()> order{};
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    for (std::size_t i = 1; i < order.size(); ++i) { // insertion sort, at compile time
        for (std::size_t j = i; j > 0 && compareKeys(keys[order[j]], keys[order[j - 1]]) < 0; --j) {
            const std::size_t swapped = order[j];
            order[j] = order[j - 1];
            order[j - 1] = swapped;
        }
    }
    return order;
}

template<class T>
inline constexpr auto Order = sortedOrder<T>();

inline void appendKey(QByteArray& out, const FieldKey& f, bool& first)
{
    if (!first)
        out.append(',');
    first = false;
    out.append('"');
    out.append(f.key, f.keyLength);
    out.append("\":", 2);
}

template<auto Dictionary, class M>
void writeValue(const M& member, QByteArray& out)
{
    if constexpr (std::is_same_v<M, QString>) {
        appendText(out, member);
    } else if constexpr (std::is_same_v<M, bool>) {
        out.append(member ? "true" : "false");
    } else if constexpr (IsInteger<M>) {
        appendInteger(out, member);
    } else if constexpr (std::is_same_v<M, QColor>) {
        appendText(out, colorToHexString(member));
    } else if constexpr (std::is_enum_v<M>) {
        const auto& dictionary = dictionaryOf<Dictionary, M>();
        if constexpr (TextKeys<Dictionary, M>)
            appendText(out, dictionary.key(member));
        else // an integer code without an entry is written as itself (as toJson does)
            appendInteger(out, dictionary.unknown() == member ? int(member) : dictionary.key(member));
    } else if constexpr (IsOptional<M>::value) {
        writeValue<Dictionary>(*member, out);
    } else if constexpr (IsList<M>::value) {
        out.append('[');
        for (qsizetype i = 0; i < member.size(); ++i) {
            if (i)
                out.append(',');
            writeValue<Dictionary>(member.at(i), out);
        }
        out.append(']');
    } else {
        writeObject(member, out);
    }
}

template<class T, class F>
void writeField(const T& object, QByteArray& out, const F& f, bool& first)
{
    if (f.flags & (CborOnly | ReadOnly))
        return;
    const auto& member = memberOf(object, f);
    using M = std::decay_t<decltype(member)>;
    if constexpr (HasIsValid<M>::value) {
        if ((f.flags & WrittenWhenValid) && !member.isValid())
            return;
    }
    if constexpr (writtenDirectly<M>()) {
        if constexpr (IsOptional<M>::value) {
            if (!member)
                return;
        }
        appendKey(out, f, first);
        using V = typename Unwrapped<M>::type;
        if constexpr (IsDeclared<V>::value || IsList<V>::value) {
            if (f.flags & JsonText) { // an object or a list travels as the text of its compact JSON
                QByteArray text;
                writeValue<F::dictionary>(member, text);
                appendUtf8Text(out, text);
                return;
            }
        }
        writeValue<F::dictionary>(member, out);
    } else {
        QJsonValue value = writeJsonValue<F::dictionary>(member, rulesOf(f));
        if (value.isUndefined())
            return;
        if (f.flags & JsonText)
            value = jsonTextValue(value);
        appendKey(out, f, first);
        appendValue(out, value);
    }
}

template<class T, std::size_t... K>
void writeFields(const T& object, QByteArray& out, std::index_sequence<K...>)
{
    bool first = true;
    (writeField(object, out, std::get<Order<T>[K]>(fieldsOf<T>), first), ...);
}

// Room for the keys and a short value each; longer texts grow the array.
template<class T>
constexpr qsizetype sizeHint()
{
    qsizetype size = 2;
    for (const char* key : writtenKeys<T>())
        size += constLength(key ? key : "") + 16;
    return size;
}

} // namespace detail

template<class T>
void writeObject(const T& object, QByteArray& out)
{
    if constexpr (detail::flatLayout<T>()) {
        out.append('{');
        detail::writeFields(object, out, std::make_index_sequence<detail::FieldCount<T>>());
        out.append('}');
    } else {
        appendObject(out, object.toJson());
    }
}

} // namespace jsonwriter

template<class T>
QByteArray compactJson(const T& object)
{
    QByteArray out;
    out.reserve(jsonwriter::detail::sizeHint<T>());
    jsonwriter::writeObject(object, out);
    return out;
}

} // namespace tq

// TQ_DEFINE_OBJECT, and the body's compact JSON (compactJson(), model/compactjson.h).
#define TQ_DEFINE_BODY(Type)                                                                       \
    TQ_DEFINE_OBJECT(Type)                                                                         \
    template auto ::tq::compactJson<Type>(const Type&)->QByteArray;
