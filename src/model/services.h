#pragma once
// Services family: subscriptions and packages the subscriber can hold, as the content
// lists and screens show them.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/enums.h"
#include "model/fields.h"
#include "model/offers.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tq {

class TQ_EXPORT Service : public DecodedObject<Service, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(Service)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 29; }
    bool hasTitles() const override { return !name.isEmpty(); }

    bool active = false;
    qint64 endTime = 0;
    QString image;
    QString name;

    static constexpr auto fields()
    {
        return std::make_tuple(field("active", &Service::active), field("end_time", &Service::endTime), itemId(),
                               field("image", &Service::image), field("name", &Service::name));
    }
};

class TQ_EXPORT SubServiceBrief : public DecodedObject<SubServiceBrief, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(SubServiceBrief)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 33; }
    bool hasTitles() const override { return !name.isEmpty(); }

    QStringList colors;
    QString descriptionShort;
    QString icon;
    QString image;
    qint64 mediaViewId = -1;
    QString motto;
    QString name;
    ServiceType type = ServiceType::Unknown;

    static constexpr auto fields()
    {
        using S = SubServiceBrief;
        return std::make_tuple(field("colors", &S::colors), field("description_short", &S::descriptionShort),
                               field("icon", &S::icon), itemId(), field("image", &S::image),
                               idField("media_view_id", &S::mediaViewId), field("motto", &S::motto),
                               field("name", &S::name), field("type", &S::type));
    }
};

// A service's card: the sub-service keys first, then what it offers and costs.
class TQ_EXPORT ServiceBrief : public DecodedObject<ServiceBrief, SubServiceBrief, AbstractResponse>
{
    TQ_DECODED(ServiceBrief)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 30; }

    bool active = false;
    qint64 channelsCount = 0;
    qint64 mediaItemsCount = 0;
    QString description;
    QStringList promoLabelColor;
    QString promoLabelText;
    QList<PurchaseVariant> purchaseVariants;
    QList<Action> actions;
    PurchaseState purchaseState;
    QString serviceCondition;
    QList<SubServiceBrief> subservices;
    QList<PurchaseFeature> features;

    static constexpr auto fields()
    {
        using S = ServiceBrief;
        return std::tuple_cat(
            SubServiceBrief::fields(),
            std::make_tuple(field("active", &S::active), field("channels_count", &S::channelsCount),
                            field("media_items_count", &S::mediaItemsCount), field("description", &S::description),
                            field("promo_label_color", &S::promoLabelColor),
                            field("promo_label_text", &S::promoLabelText),
                            field("purchase_variants", &S::purchaseVariants), field("actions", &S::actions),
                            field("purchase_state", &S::purchaseState),
                            field("service_condition", &S::serviceCondition), field("subservices", &S::subservices),
                            field("features", &S::features)));
    }
};

} // namespace tq
