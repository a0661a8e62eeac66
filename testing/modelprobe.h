#pragma once
// Probe objects of the field declarations: one member of every supported kind, a list
// answer with keys of its own, and unions. The conversion rules are checked once on these
// (tests/model/tst_fields.cpp) and fuzzed with them, instead of again on every object.

#include "model/abstractresponse.h"
#include "model/enums.h"
#include "model/fields.h"
#include "model/responsewithitems.h"
#include "modelsamples.h"

#include <QColor>
#include <QHash>
#include <QJsonArray>
#include <QJsonValue>
#include <QMap>

#include <optional>

namespace tq::probe {

// Another dictionary of PriceType, for a field read through it.
const ConstantsDictionary<QString, PriceType>& shortPriceTypes();

class ProbeObject
    : public DecodedObject<ProbeObject, stbcore::AbstractDataItem, AbstractResponse, AbstractCborObject>
{
    TQ_DECODED(ProbeObject)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 99; }
    bool hasTitles() const override { return !text.isEmpty(); }

    QString text;
    bool flag = false;
    qint64 count = 0;
    int small = 0;
    double ratio = 0.0;
    QColor color;
    PriceType kind = PriceType::Unknown;
    SubscribeMode mode = SubscribeMode::Unknown;
    PriceType shortKind = PriceType::Unknown;
    qint64 refId = -1;
    int width = 1;
    qint64 guarded = 0;
    std::optional<qint64> maybeCount;
    std::optional<bool> maybeFlag;
    std::optional<samples::AgeLevel> maybeLevel;
    samples::AgeLevel level;
    QList<QString> names;
    QList<qint64> refIds;
    QList<samples::AgeLevel> levels;
    QList<PriceType> kinds;
    QMap<QString, QString> urls;
    QHash<QString, QMap<QString, QString>> servers;
    QJsonValue any;
    QJsonArray array;
    QJsonObject object;
    samples::AgeLevel track;
    QString clickUrl;

    QString label() const { return m_label; }
    void setLabel(const QString& label) { m_label = label; }

    static constexpr auto fields()
    {
        using P = ProbeObject;
        return std::make_tuple(
            itemId(), field("text", &P::text), field("flag", &P::flag), field("count", &P::count),
            field("small", &P::small), field("ratio", &P::ratio), field("color", &P::color),
            field("kind", &P::kind), field("mode", &P::mode),
            field("short_kind", &P::shortKind).through<shortPriceTypes>(), idField("ref_id", &P::refId),
            field("width", &P::width).byDefault(1), field("guarded", &P::guarded).whenPresent(),
            field("maybe_count", &P::maybeCount), field("maybe_flag", &P::maybeFlag),
            field("maybe_level", &P::maybeLevel), field("level", &P::level), field("names", &P::names),
            idField("ref_ids", &P::refIds), field("levels", &P::levels), field("kinds", &P::kinds),
            field("urls", &P::urls), field("servers", &P::servers).valuesUnder("urls"), field("any", &P::any),
            field("array", &P::array), field("object", &P::object), field("track", &P::track).asJsonText(),
            field("click_url", &P::clickUrl).under("links").whenPresent(),
            accessor("label", &P::label, &P::setLabel));
    }

private:
    QString m_label;
};

// A list answer with a key of its own.
class ProbeListResponse : public ResponseWithItemsOf<ProbeListResponse, samples::AgeLevel>
{
    TQ_DECODED(ProbeListResponse)
public:
    qint64 unreadCount = 0;

    static constexpr auto fields()
    {
        return std::tuple_cat(ResponseWithItemsOf::fields(),
                              std::make_tuple(field("unread_count", &ProbeListResponse::unreadCount)));
    }
};

// A union: "level" and "price" read their own key; a type beginning with "whole_" reads
// the union's own object as a level.
class ProbeUnion : public DecodedObject<ProbeUnion, AbstractCborObject>
{
    TQ_DECODED(ProbeUnion)
public:
    QString type;
    std::optional<samples::AgeLevel> level;
    std::optional<samples::Price> price;
    std::optional<samples::AgeLevel> whole;

    static constexpr auto fields()
    {
        using U = ProbeUnion;
        return std::make_tuple(field("type", &U::type),
                               selectedBy("type", choice("level", &U::level), choice("price", &U::price),
                                          choice("whole_", &U::whole).startsWith().wholeObject()));
    }
};

// A union whose unnamed alternative takes every type the others do not.
class ProbeFallbackUnion : public DecodedObject<ProbeFallbackUnion>
{
    TQ_DECODED(ProbeFallbackUnion)
public:
    std::optional<samples::Price> price;
    std::optional<samples::AgeLevel> other;

    static constexpr auto fields()
    {
        using U = ProbeFallbackUnion;
        return std::make_tuple(
            selectedBy("type", choice("price", &U::price), choice(nullptr, &U::other).wholeObject()));
    }
};

} // namespace tq::probe
