#pragma once
// Field declarations of the decoded objects.
//
// An object lists its members once, in a static constexpr fields(); fromJson, toJson and
// readCborField follow from that list. A family's header declares its objects, each
// starting with TQ_DECODED; the family's .cpp includes "model/fieldcodec_p.h" and names each
// object once, which compiles its conversions there and nowhere else:
//
//     // model/widgets.h
//     class Size : public DecodedObject<Size>             // no base class: JSON only
//     {
//         TQ_DECODED(Size)
//     public:
//         int width = 1;                                  // as constructed; byDefault: read from JSON
//         static constexpr auto fields() { return std::make_tuple(field("width", &Size::width).byDefault(1)); }
//     };
//     class Widget : public DecodedObject<Widget, stbcore::AbstractDataItem, AbstractCborObject>
//     {
//         TQ_DECODED(Widget)
//     public:
//         using DecodedObject::DecodedObject;             // Widget(qint64 id)
//         int dataItemType() const override { return 40; }
//         bool hasTitles() const override { return !name.isEmpty(); }
//         QString name;
//         Size size;
//         static constexpr auto fields()
//         {
//             return std::make_tuple(itemId(), field("name", &Widget::name), field("size", &Widget::size));
//         }
//     };
//     class GetWidgetsResponse : public ResponseWithItemsOf<GetWidgetsResponse, Widget>
//     {
//         TQ_DECODED(GetWidgetsResponse)
//     };
//
//     // model/widgets.cpp, one line per object (at the end, inside namespace tq)
//     TQ_DEFINE_OBJECT(Size)
//     TQ_DEFINE_OBJECT(Widget)
//     TQ_DEFINE_ANSWER(GetWidgetsResponse)                // also a meta-type, registered at load
//
// An answer that is another object under its own name derives from it without TQ_DECODED
// and is named once with TQ_REGISTER_ANSWER(GetWidgetByIdResponse): the meta-type only.
//
// Forgetting either macro fails the build. Headers include only what their members need;
// fieldcodec_p.h (Qt's JSON and CBOR machinery) stays in the .cpp files. model/playback.h
// and .cpp are a complete family to copy.
//
// Member types (the absent / null / mistyped rules are listed in fieldcodec_p.h): QString,
// bool, qint64, int, double, QColor, enumerations (WireStrings<E>, constantsdictionary.h),
// std::optional of qint64 / bool / an object, declared objects, QList of any of these,
// QMap / QHash from QString to any of these (a JSON object), QJsonValue / QJsonArray /
// QJsonObject kept as received.
//
// Fields: field(key, &Class::member); idField(key, m) for identifiers (-1 when missing);
// accessor(key, getter, setter) for values behind accessors (setter by value or const&);
// itemId() for the data item's id (setting it sets the item's validity). Modifiers chain:
//   .byDefault(n)       the integer a missing, null or mistyped JSON value reads as
//   .whenPresent()      an absent JSON key leaves the member untouched
//   .jsonOnly() / .cborOnly()   one format only
//   .cborKey("k")       the CBOR key differs from the JSON key
//   .under("links")     the JSON key sits in the object "links"; CBOR reads it flat
//                       (with .whenPresent(): an absent "links" leaves the member)
//   .asJsonText()       the value travels as a text holding compact JSON
//   .valuesUnder("k")   a map whose values each sit under "k" of their own object
//   .writtenWhenValid() toJson leaves the key out unless member.isValid()
//   .readOnly()         read from JSON, never written by toJson
//   .lenient()          JSON only: an integer may arrive as decimal text, a text as a number,
//                       and a list of objects skips elements that are not objects
//   .through<dictionaryAccessor>()  an enumeration read and written through that dictionary
//
// Shared blocks: point the fields into the private struct (&ChannelBriefPrivate::name),
// hold it as `QSharedDataPointer<ChannelBriefPrivate> d` and declare
// `friend struct tq::FieldAccess;`. Decoding detaches the block; encoding never does.
// Derived objects: DecodedObject<Derived, Base>; fields() returns
// std::tuple_cat(Base::fields(), std::make_tuple(...)). List answers derive from
// ResponseWithItemsOf<Self, Item> ("items", "total_items", "applied_filters",
// "applied_sort") and declare keys of their own the same way.
// Unions: fields() holds selectedBy("type", choice("channel", &U::channel), ...): JSON
// engages at most the optional the "type" text names, nothing for an unknown type;
// visitSelected() (fieldcodec_p.h) reaches the engaged one.
// isValid(): an object with both a data-item and a response base answers from the data
// item (valid when it has an id) unless it declares its own.
// Extra steps: declare the override in the class, define it in the family's .cpp and call
// DecodedObject::fromJson / toJson / readCborField there for the declared part;
// fieldsEqual(a, b) (fieldcodec_p.h) gives an operator== over every declared field.
//
// CBOR dispatch compares the reader's key hash with each field's compile-time hash and
// confirms the match on the key text; an unknown key's value is skipped whole.

#include "tqglobal.h"

#include "model/cborkey.h"
#include "model/cborobject.h"
#include "platform/abstractdataitem.h"

#include <QJsonObject>

#include <cstddef>
#include <tuple>
#include <type_traits>

namespace tq {

class AbstractResponse;

enum FieldFlag : unsigned {
    WhenPresent = 1,      // the JSON key is read only when present
    JsonOnly = 2,
    CborOnly = 4,
    JsonText = 8,         // the value travels as a text holding JSON
    WrittenWhenValid = 16, // toJson writes the key only when the member isValid()
    Lenient = 32,          // numbers may come as numeric text, texts as numbers; list
                           // elements that are not objects are skipped
    ReadOnly = 64          // read from JSON, never written
};

// Keys, defaults and modifiers shared by every kind of field.
struct TQ_EXPORT FieldKey
{
    const char* key;
    qsizetype keyLength;
    const char* cborName;
    qsizetype cborNameLength;
    quint32 cborHash;
    const char* parent = nullptr; // the JSON object holding the key, if any
    qsizetype parentLength = 0;
    const char* valueKey = nullptr; // maps: the key under which each value sits
    qsizetype valueKeyLength = 0;
    qint64 fallback = 0; // integers: the value of a missing, null or mistyped JSON value
    unsigned flags = 0;

    constexpr explicit FieldKey(const char* k)
        : key(k), keyLength(constLength(k)), cborName(k), cborNameLength(keyLength),
          cborHash(cborKeyHash(k, keyLength))
    {}
};

template<class Self>
struct FieldBase : FieldKey
{
    using FieldKey::FieldKey;

    constexpr Self whenPresent() const { return with(WhenPresent); }
    constexpr Self jsonOnly() const { return with(JsonOnly); }
    constexpr Self cborOnly() const { return with(CborOnly); }
    constexpr Self asJsonText() const { return with(JsonText); }
    constexpr Self writtenWhenValid() const { return with(WrittenWhenValid); }
    constexpr Self lenient() const { return with(Lenient); }
    constexpr Self readOnly() const { return with(ReadOnly); }
    constexpr Self cborKey(const char* k) const
    {
        Self self = static_cast<const Self&>(*this);
        self.cborName = k;
        self.cborNameLength = constLength(k);
        self.cborHash = cborKeyHash(k, self.cborNameLength);
        return self;
    }
    constexpr Self under(const char* parentKey) const
    {
        Self self = static_cast<const Self&>(*this);
        self.parent = parentKey;
        self.parentLength = constLength(parentKey);
        return self;
    }
    constexpr Self valuesUnder(const char* k) const
    {
        Self self = static_cast<const Self&>(*this);
        self.valueKey = k;
        self.valueKeyLength = constLength(k);
        return self;
    }
    constexpr Self byDefault(qint64 value) const
    {
        Self self = static_cast<const Self&>(*this);
        self.fallback = value;
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

// A data member of the object, or of its shared block. `Dictionary` (a function returning
// a ConstantsDictionary) replaces the enumeration's own WireStrings when set.
template<class Owner, class Member, auto Dictionary = nullptr>
struct Field : FieldBase<Field<Owner, Member, Dictionary>>
{
    using OwnerType = Owner;
    static constexpr auto dictionary = Dictionary;
    Member Owner::*member;

    constexpr Field(const char* k, Member Owner::*m) : FieldBase<Field>(k), member(m) {}

    template<auto OtherDictionary>
    constexpr Field<Owner, Member, OtherDictionary> through() const
    {
        Field<Owner, Member, OtherDictionary> other(this->key, member);
        static_cast<FieldKey&>(other) = *this;
        return other;
    }
};

// A value behind a getter and a setter (by value or by const reference).
template<class Owner, class Member, class GetResult, class SetArgument>
struct Property : FieldBase<Property<Owner, Member, GetResult, SetArgument>>
{
    using OwnerType = Owner;
    static constexpr std::nullptr_t dictionary = nullptr;
    GetResult (Owner::*get)() const;
    void (Owner::*set)(SetArgument);

    constexpr Property(const char* k, GetResult (Owner::*g)() const, void (Owner::*s)(SetArgument))
        : FieldBase<Property>(k), get(g), set(s) {}
};

template<class Owner, class Member>
constexpr Field<Owner, Member> field(const char* key, Member Owner::*member)
{
    return {key, member};
}

// A member holding an identifier: -1 when missing.
template<class Owner, class Member>
constexpr Field<Owner, Member> idField(const char* key, Member Owner::*member)
{
    return field(key, member).byDefault(-1);
}

template<class Owner, class GetResult, class SetArgument>
constexpr auto accessor(const char* key, GetResult (Owner::*get)() const, void (Owner::*set)(SetArgument))
{
    using Member = std::decay_t<GetResult>;
    static_assert(std::is_same_v<Member, std::decay_t<SetArgument>>, "getter and setter of different types");
    return Property<Owner, Member, GetResult, SetArgument>(key, get, set);
}

// The data item's own id; setting it also sets the item's validity.
constexpr auto itemId(const char* key = "id")
{
    return accessor(key, &stbcore::AbstractDataItem::id, &stbcore::AbstractDataItem::setId).byDefault(-1);
}

// One alternative of a union: the optional `member` is engaged when the union's "type"
// text is `name` (or, with startsWith(), begins with it; a null name takes any type no
// other alternative takes). Its object is read from the key `name` (or the key given to
// withKey()), or, with wholeObject(), from the union's own JSON object.
template<class Owner, class Member>
struct Choice
{
    using OwnerType = Owner;
    const char* name;
    qsizetype nameLength;
    const char* key;
    qsizetype keyLength;
    quint32 cborHash;
    bool prefix = false;
    bool whole = false;
    Member Owner::*member;

    constexpr Choice(const char* n, Member Owner::*m)
        : name(n), nameLength(n ? constLength(n) : 0), key(n ? n : ""), keyLength(nameLength),
          cborHash(cborKeyHash(key, keyLength)), member(m)
    {}
    constexpr Choice startsWith() const
    {
        Choice self = *this;
        self.prefix = true;
        return self;
    }
    constexpr Choice wholeObject() const
    {
        Choice self = *this;
        self.whole = true;
        return self;
    }
    constexpr Choice withKey(const char* k) const
    {
        Choice self = *this;
        self.key = k;
        self.keyLength = constLength(k);
        self.cborHash = cborKeyHash(k, self.keyLength);
        return self;
    }
};

template<class Owner, class Member>
constexpr Choice<Owner, Member> choice(const char* name, Member Owner::*member)
{
    return {name, member};
}

// The alternatives of a union, selected by the text under `typeKey`. JSON: every
// alternative is reset, then the one the type names is engaged when its object is not
// empty; toJson writes the engaged one. CBOR: each alternative's key fills its member
// whatever the order (the type itself is an ordinary field of the union).
template<class... Choices>
struct Selection
{
    const char* typeKey;
    qsizetype typeKeyLength;
    std::tuple<Choices...> choices;
};

template<class... Choices>
constexpr Selection<Choices...> selectedBy(const char* typeKey, Choices... choices)
{
    return {typeKey, constLength(typeKey), std::tuple<Choices...>(choices...)};
}

// Reaches an object's field list and the members of its shared block.
struct TQ_EXPORT FieldAccess
{
    template<class T>
    static constexpr auto fields() -> decltype(T::fields())
    {
        return T::fields();
    }

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

namespace detail {

template<class... Bases>
inline constexpr bool anyItem = (std::is_base_of_v<stbcore::AbstractDataItem, Bases> || ...);
template<class... Bases>
inline constexpr bool anyResponse = (std::is_base_of_v<AbstractResponse, Bases> || ...);
template<class... Bases>
inline constexpr bool anyBoth =
    ((std::is_base_of_v<stbcore::AbstractDataItem, Bases> && std::is_base_of_v<AbstractResponse, Bases>) || ...);
// Both isValid()s meet for the first time in this object.
template<class... Bases>
inline constexpr bool joinsValidity = anyItem<Bases...> && anyResponse<Bases...> && !anyBoth<Bases...>;

} // namespace detail

template<bool JoinValidity, class... Bases>
class DecodedBases : public Bases...
{
public:
    using Bases::Bases...;
};

template<class... Bases>
class DecodedBases<true, Bases...> : public Bases...
{
public:
    using Bases::Bases...;
    // The response is valid exactly when the data item is (it has an id), without the
    // response's default warning.
    bool isValid() const override { return stbcore::AbstractDataItem::isValid(); }
};

// Base of a declared object: derives from `Bases` (in that order) and implements
// fromJson, toJson and readCborField from T::fields(). The functions override the bases'
// virtual ones where those exist. T starts its body with TQ_DECODED(T).
template<class T, class... Bases>
class DecodedObject : public DecodedBases<detail::joinsValidity<Bases...>, Bases...>
{
public:
    using DecodedBases<detail::joinsValidity<Bases...>, Bases...>::DecodedBases;

    void fromJson(const QJsonObject& json) { T::readFields(self(), json); }
    QJsonObject toJson() const
    {
        QJsonObject json;
        T::writeFields(self(), json);
        return json;
    }
    int readCborField(CborReader& reader) { return T::readCborFields(self(), reader); }

private:
    T& self() { return static_cast<T&>(*this); }
    const T& self() const { return static_cast<const T&>(*this); }
};

} // namespace tq

// The conversions of a declared object: plain functions, defined once by TQ_DEFINE_OBJECT
// in the family's .cpp (fieldcodec_p.h), so that no other file compiles them again. First in
// the class body; leaves the access private, like Q_OBJECT.
#define TQ_DECODED(Type)                                                                           \
public:                                                                                            \
    static void readFields(Type& object, const QJsonObject& json);                                 \
    static void writeFields(const Type& object, QJsonObject& json);                                \
    /* The value of the reader's current key into the field it names (skipped when none);   */   \
    /* the stream error code.                                                                */   \
    static int readCborFields(Type& object, ::tq::CborReader& reader);                            \
                                                                                                   \
private:
