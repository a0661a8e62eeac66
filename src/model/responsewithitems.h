#pragma once
// Base of the paged list answers, with the filters and sort the platform applied.

#include "model/fields.h"
#include "model/response.h"

namespace tq {

class AppliedContentFilter : public DecodedObject<AppliedContentFilter, AbstractCborObject>
{
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

class AppliedContentSort : public DecodedObject<AppliedContentSort, AbstractCborObject>
{
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

class ResponseWithItems : public AbstractResponse, public AbstractCborObject
{
public:
    qint64 totalItems = 0;
    QList<AppliedContentFilter> appliedFilters;
    AppliedContentSort appliedSort;

    // The derived answer's items come first, then the paging keys.
    void fromJson(const QJsonObject& json) override;
    QJsonObject toJson() const override;
    int readCborField(CborReader& reader) override;

    // The derived answer's list under the key "items".
    virtual void itemsFromJson(const QJsonObject& json) = 0;
    virtual void itemsToJson(QJsonObject& json) const = 0;
    // Default: the items have no CBOR form and are skipped.
    virtual void itemsFromCbor(CborReader& reader);

    static constexpr auto fields()
    {
        return std::make_tuple(field("total_items", &ResponseWithItems::totalItems),
                               field("applied_filters", &ResponseWithItems::appliedFilters).whenPresent(),
                               field("applied_sort", &ResponseWithItems::appliedSort).whenPresent());
    }
};

// A list answer holding `Item`s; the CBOR form is read when Item has one.
template<class Item>
class ResponseWithItemsOf : public ResponseWithItems
{
public:
    QList<Item> items;

    void itemsFromJson(const QJsonObject& json) override
    {
        readJsonValue(json.value(QLatin1String("items")), items, 0);
    }
    void itemsToJson(QJsonObject& json) const override
    {
        json.insert(QLatin1String("items"), writeJsonValue(items));
    }
    void itemsFromCbor(CborReader& reader) override
    {
        if constexpr (std::is_base_of_v<AbstractCborObject, Item>)
            readCborValue(reader, items);
        else
            ResponseWithItems::itemsFromCbor(reader);
    }
};

} // namespace tq
