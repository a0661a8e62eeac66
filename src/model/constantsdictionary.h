#pragma once
// Immutable wire-string tables of the enumerations.
//
// A dictionary maps the text the platform sends to an enumerator and back. It is built
// once, on first use (a function-local static, so thread-safe), and only read afterwards,
// so any thread may use it without locking. A miss decodes to the dictionary's "unknown" value (the enumeration's
// Unknown member) and encodes to an empty key.

#include "tqglobal.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <cstring>
#include <initializer_list>
#include <utility>

namespace tq {

template<class Key, class Value>
class ConstantsDictionary
{
public:
    ConstantsDictionary(std::initializer_list<std::pair<Key, Value>> entries, Value unknown)
        : m_entries(entries.begin(), entries.end()), m_unknown(unknown)
    {
        m_hash.reserve(m_entries.size());
        for (const auto& entry : m_entries) {
            m_hash.insert(entry.first, entry.second);
            if constexpr (std::is_same_v<Key, QString>)
                m_utf8.append(entry.first.toUtf8());
        }
    }

    // The enumerator whose key equals `key` exactly; the unknown value when none does.
    Value value(const Key& key) const { return m_hash.value(key, m_unknown); }

    // The same lookup on UTF-8 bytes, for the CBOR reader: it avoids building a QString
    // per value. The tables are small, so a linear scan beats hashing here.
    Value valueUtf8(const char* bytes, qsizetype length) const
    {
        static_assert(std::is_same_v<Key, QString>, "only text dictionaries take UTF-8 keys");
        for (qsizetype i = 0; i < m_utf8.size(); ++i) {
            const QByteArray& key = m_utf8.at(i);
            if (key.size() == length && (length == 0 || std::memcmp(key.constData(), bytes, size_t(length)) == 0))
                return m_entries.at(i).second;
        }
        return m_unknown;
    }

    // The key of the first entry holding `value`; an empty key when none does.
    Key key(Value value) const
    {
        for (const auto& entry : m_entries) {
            if (entry.second == value)
                return entry.first;
        }
        return Key();
    }

    bool contains(const Key& key) const { return m_hash.contains(key); }
    Value unknown() const { return m_unknown; }
    qsizetype size() const { return m_entries.size(); }

private:
    QList<std::pair<Key, Value>> m_entries; // declaration order, for key()
    QHash<Key, Value> m_hash;
    QList<QByteArray> m_utf8;               // keys as UTF-8, parallel to m_entries
    Value m_unknown;
};

// Finds the dictionary of an enumeration for the generic decoders. Specialised next to
// each enumeration by TQ_WIRE_STRINGS.
template<class Enum>
struct WireStrings;

} // namespace tq

// Declares the dictionary of `Enum` with its accessor `accessor()` right below the
// enumeration, so that numbers and wire strings are written in one place. Inside the
// entries `E` names the enumeration: TQ_WIRE_STRINGS(Kind, kindsDictionary, {"a", E::A}).
// A string the table does not hold decodes as E::Unknown.
//
// Enumerations of other namespaces (the ad services' ad::, gs::, syt::, ...) are declared at
// global scope with their namespace and the value a miss decodes as:
//   TQ_WIRE_STRINGS_IN(gs, InputType, inputTypeDictionary, Unknown, {"phone", E::Phone}, ...)
//
// Units that include such a header see the accessor's declaration only. One source file per
// header builds the tables: it defines TQ_DEFINE_WIRE_STRINGS (model/enums.cpp for enums.h)
// or, for a header of TQ_WIRE_STRINGS_IN, TQ_DEFINE_WIRE_STRINGS_IN before including it (two
// switches, so that such a unit never builds enums.h's tables a second time). Built in every
// unit that includes the header, the tables' hash instantiations and initialisers would cost
// about ten seconds of compilation per unit.
#define TQ_WIRE_STRINGS_TABLE(Enum, accessor, miss, ...)                                           \
    TQ_EXPORT const ::tq::ConstantsDictionary<QString, Enum>& accessor()                           \
    {                                                                                              \
        using E = Enum;                                                                            \
        static const ::tq::ConstantsDictionary<QString, Enum> table({__VA_ARGS__}, E::miss);       \
        return table;                                                                              \
    }
#define TQ_WIRE_STRINGS_DECLARATION(Enum, accessor, miss, ...)                                     \
    TQ_EXPORT const ::tq::ConstantsDictionary<QString, Enum>& accessor();

#ifdef TQ_DEFINE_WIRE_STRINGS
#define TQ_WIRE_STRINGS_BODY TQ_WIRE_STRINGS_TABLE
#else
#define TQ_WIRE_STRINGS_BODY TQ_WIRE_STRINGS_DECLARATION
#endif
#ifdef TQ_DEFINE_WIRE_STRINGS_IN
#define TQ_WIRE_STRINGS_IN_BODY TQ_WIRE_STRINGS_TABLE
#else
#define TQ_WIRE_STRINGS_IN_BODY TQ_WIRE_STRINGS_DECLARATION
#endif

#define TQ_WIRE_STRINGS(Enum, accessor, ...)                                                       \
    TQ_WIRE_STRINGS_BODY(Enum, accessor, Unknown, __VA_ARGS__)                                     \
    TQ_WIRE_STRINGS_LOOKUP(Enum, accessor)

#define TQ_WIRE_STRINGS_IN(ns, Enum, accessor, miss, ...)                                          \
    namespace ns {                                                                                 \
    TQ_WIRE_STRINGS_IN_BODY(Enum, accessor, miss, __VA_ARGS__)                                     \
    }                                                                                              \
    namespace tq {                                                                                 \
    TQ_WIRE_STRINGS_LOOKUP(ns::Enum, ns::accessor)                                                 \
    }

#define TQ_WIRE_STRINGS_LOOKUP(Enum, accessor)                                                     \
    template<>                                                                                     \
    struct WireStrings<Enum>                                                                       \
    {                                                                                              \
        static const ::tq::ConstantsDictionary<QString, Enum>& dictionary() { return accessor(); } \
    };
