#pragma once
// Base of the paged list answers, with the filters and sort the platform applied.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/fields.h"

#include <QList>
#include <QString>

namespace tq {

class TQ_EXPORT AppliedContentFilter : public DecodedObject<AppliedContentFilter, AbstractCborObject>
{
    TQ_DECODED(AppliedContentFilter)
public:
    QString alias;
    QString name;
    QString param;
    QString type;

    static constexpr auto fields()
    {
        return std::make_tuple(field("alias", &AppliedContentFilter::alias),
                               field("name", &AppliedContentFilter::name),
                               field("param", &AppliedContentFilter::param),
                               field("type", &AppliedContentFilter::type));
    }
};

class TQ_EXPORT AppliedContentSort : public DecodedObject<AppliedContentSort, AbstractCborObject>
{
    TQ_DECODED(AppliedContentSort)
public:
    QString alias;
    QString name;

    bool isValid() const { return !alias.isEmpty() || !name.isEmpty(); }

    static constexpr auto fields()
    {
        return std::make_tuple(field("alias", &AppliedContentSort::alias),
                               field("name", &AppliedContentSort::name));
    }
};

class TQ_EXPORT ResponseWithItems : public AbstractResponse, public AbstractCborObject
{
public:
    qint64 totalItems = 0;
    QList<AppliedContentFilter> appliedFilters;
    AppliedContentSort appliedSort;

    // The derived answer's list under the key "items" (ResponseWithItemsOf implements them).
    virtual void itemsFromJson(const QJsonObject& json) = 0;
    virtual void itemsToJson(QJsonObject& json) const = 0;
    virtual void itemsFromCbor(CborReader& reader);

    static constexpr auto fields()
    {
        return std::make_tuple(
            field("total_items", &ResponseWithItems::totalItems),
            field("applied_filters", &ResponseWithItems::appliedFilters).whenPresent(),
            field("applied_sort", &ResponseWithItems::appliedSort).whenPresent().writtenWhenValid());
    }
};

// A list answer `Self` holding `Item`s: "items" first, then the paging keys. Self starts
// with TQ_DECODED(Self) like any object; an answer with keys of its own declares them on top:
//     static constexpr auto fields()
//     {
//         return std::tuple_cat(ResponseWithItemsOf::fields(),
//                               std::make_tuple(field("unread_count", &GetMessagesResponse::unreadCount)));
//     }
template<class Self, class Item>
class ResponseWithItemsOf : public DecodedObject<Self, ResponseWithItems>
{
public:
    using ItemType = Item;
    QList<Item> items;

    // The hooks reuse the declared conversions: "items" alone through a scratch answer.
    void itemsFromJson(const QJsonObject& json) override
    {
        Self scratch;
        Self::readFields(scratch, QJsonObject{{QLatin1String("items"), json.value(QLatin1String("items"))}});
        items = scratch.items;
    }
    void itemsToJson(QJsonObject& json) const override
    {
        json.insert(QLatin1String("items"), this->toJson().value(QLatin1String("items")));
    }
    void itemsFromCbor(CborReader& reader) override { this->readCborField(reader); } // on the key "items"

    static constexpr auto fields()
    {
        return std::tuple_cat(std::make_tuple(field("items", &ResponseWithItemsOf::items)),
                              ResponseWithItems::fields());
    }
};

} // namespace tq
