#pragma once
// Offers family: the ways to buy an item (purchase variants, their options, periods and
// prices), what the subscriber already holds for it (purchase state) and the actions the
// box may offer on it. Channels, films, karaoke and services all embed these.

#include "tqglobal.h"

#include "model/enums.h"
#include "model/fields.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tq {

class TQ_EXPORT Currency : public DecodedObject<Currency, AbstractCborObject>
{
    TQ_DECODED(Currency)
public:
    QString code;
    QString displayName;
    QString symbol;

    static constexpr auto fields()
    {
        return std::make_tuple(field("code", &Currency::code), field("display_name", &Currency::displayName),
                               field("symbol", &Currency::symbol));
    }
};

class TQ_EXPORT PurchaseFeature : public DecodedObject<PurchaseFeature, AbstractCborObject>
{
    TQ_DECODED(PurchaseFeature)
public:
    bool isActive = false;
    QString title;

    static constexpr auto fields()
    {
        return std::make_tuple(field("is_active", &PurchaseFeature::isActive), field("title", &PurchaseFeature::title));
    }
};

// One purchasable option of a variant; its id is the platform's "seq_id".
class TQ_EXPORT Option : public DecodedObject<Option, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(Option)
public:
    using DecodedObject::DecodedObject;

    class Content : public DecodedObject<Content, AbstractCborObject>
    {
        TQ_DECODED(Content)
    public:
        qint64 id = -1;
        QString type;
        MediaItemType mediaItemType = MediaItemType::Unknown;
        QString name;
        int seasonNumber = 0;
        QString quality;

        static constexpr auto fields()
        {
            return std::make_tuple(idField("id", &Content::id), field("type", &Content::type),
                                   field("media_item_type", &Content::mediaItemType), field("name", &Content::name),
                                   field("season_number", &Content::seasonNumber), field("quality", &Content::quality));
        }
    };

    class Service : public DecodedObject<Service, AbstractCborObject>
    {
        TQ_DECODED(Service)
    public:
        qint64 id = -1;
        ServiceType type = ServiceType::Unknown;
        QString contentType;
        QString name;
        QString image;

        static constexpr auto fields()
        {
            return std::make_tuple(idField("id", &Service::id), field("type", &Service::type),
                                   field("content_type", &Service::contentType), field("name", &Service::name),
                                   field("image", &Service::image));
        }
    };

    class Period : public DecodedObject<Period, AbstractCborObject>
    {
        TQ_DECODED(Period)
    public:
        class Price : public DecodedObject<Price, AbstractCborObject>
        {
            TQ_DECODED(Price)
        public:
            class Trial : public DecodedObject<Trial, AbstractCborObject>
            {
                TQ_DECODED(Trial)
            public:
                int duration = 0;
                DurationUnit durationUnit = DurationUnit::Unknown;

                static constexpr auto fields()
                {
                    return std::make_tuple(field("duration", &Trial::duration),
                                           field("duration_unit", &Trial::durationUnit));
                }
            };
            class Intro : public DecodedObject<Intro, AbstractCborObject>
            {
                TQ_DECODED(Intro)
            public:
                int duration = 0;
                DurationUnit durationUnit = DurationUnit::Unknown;
                int periods = 0;

                static constexpr auto fields()
                {
                    return std::make_tuple(field("duration", &Intro::duration),
                                           field("duration_unit", &Intro::durationUnit),
                                           field("periods", &Intro::periods));
                }
            };
            class Discount : public DecodedObject<Discount, AbstractCborObject>
            {
                TQ_DECODED(Discount)
            public:
                QString description;

                static constexpr auto fields() { return std::make_tuple(field("description", &Discount::description)); }
            };
            class BonusProgram : public DecodedObject<BonusProgram, AbstractCborObject>
            {
                TQ_DECODED(BonusProgram)
            public:
                qint64 id = -1;
                QStringList actions;
                QString description;
                QString icon;
                QString name;
                BonusProgramStatus status = BonusProgramStatus::Unknown;

                static constexpr auto fields()
                {
                    using B = BonusProgram;
                    return std::make_tuple(idField("id", &B::id), field("actions", &B::actions),
                                           field("description", &B::description), field("icon", &B::icon),
                                           field("name", &B::name), field("status", &B::status));
                }
            };

            qint64 priceId = -1;
            qint64 paymentMethodId = -1;
            PriceType type = PriceType::Unknown;
            int amount = 0;
            int originalAmount = 0;
            Currency currency;
            Trial trial;
            Intro intro;
            Discount discount;
            BonusProgram bonusProgram;

            static constexpr auto fields()
            {
                return std::make_tuple(idField("price_id", &Price::priceId),
                                       idField("payment_method_id", &Price::paymentMethodId),
                                       field("type", &Price::type), field("amount", &Price::amount),
                                       field("original_amount", &Price::originalAmount).cborKey("originalAmount"),
                                       field("currency", &Price::currency), field("trial", &Price::trial),
                                       field("intro", &Price::intro), field("discount", &Price::discount),
                                       field("bonus_program", &Price::bonusProgram).cborKey("bonusProgram"));
            }
        };

        int duration = 0;
        DurationUnit durationUnit = DurationUnit::Unknown;
        QList<Price> prices;

        static constexpr auto fields()
        {
            return std::make_tuple(field("duration", &Period::duration), field("duration_unit", &Period::durationUnit),
                                   field("prices", &Period::prices));
        }
    };

    int dataItemType() const override { return 26; }
    // The option is titled by what it sells.
    bool hasTitles() const override { return !content.name.isEmpty() || !service.name.isEmpty(); }

    UsageModel usageModel = UsageModel::Unknown;
    bool isQuickPurchase = false;
    Content content;
    Service service;
    QList<PurchaseFeature> features;
    QList<Period> periods;

    static constexpr auto fields()
    {
        return std::make_tuple(itemId("seq_id"), field("usage_model", &Option::usageModel),
                               field("is_quick_purchase", &Option::isQuickPurchase), field("content", &Option::content),
                               field("service", &Option::service), field("features", &Option::features),
                               field("periods", &Option::periods));
    }
};

class TQ_EXPORT PurchaseVariant : public DecodedObject<PurchaseVariant, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(PurchaseVariant)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 27; }
    bool hasTitles() const override { return !name.isEmpty(); }

    QString name;
    QList<Option> options;

    static constexpr auto fields()
    {
        return std::make_tuple(itemId(), field("name", &PurchaseVariant::name),
                               field("options", &PurchaseVariant::options));
    }
};

// What the subscriber holds for an item: the service that gives it.
class TQ_EXPORT PurchaseState : public DecodedObject<PurchaseState, AbstractCborObject>
{
    TQ_DECODED(PurchaseState)
public:
    class Service : public DecodedObject<Service, AbstractCborObject>
    {
        TQ_DECODED(Service)
    public:
        class Autopayment : public DecodedObject<Autopayment, AbstractCborObject>
        {
            TQ_DECODED(Autopayment)
        public:
            qint64 date = 0;
            AutopaymentStatus status = AutopaymentStatus::Unknown;

            static constexpr auto fields()
            {
                return std::make_tuple(field("date", &Autopayment::date), field("status", &Autopayment::status));
            }
        };
        class ChargeDetails : public DecodedObject<ChargeDetails, AbstractCborObject>
        {
            TQ_DECODED(ChargeDetails)
        public:
            class Details : public DecodedObject<Details, AbstractCborObject>
            {
                TQ_DECODED(Details)
            public:
                qint64 amount = 0;
                Currency currency;
                qint64 duration = 0;
                DurationUnit durationUnit = DurationUnit::Unknown;
                qint64 endDate = 0;
                PriceType type = PriceType::Unknown;

                static constexpr auto fields()
                {
                    return std::make_tuple(field("amount", &Details::amount), field("currency", &Details::currency),
                                           field("duration", &Details::duration),
                                           field("duration_unit", &Details::durationUnit),
                                           field("end_date", &Details::endDate), field("type", &Details::type));
                }
            };

            Details current;
            Details original;

            static constexpr auto fields()
            {
                return std::make_tuple(field("current", &ChargeDetails::current),
                                       field("original", &ChargeDetails::original));
            }
        };
        class ParentService : public DecodedObject<ParentService, AbstractCborObject>
        {
            TQ_DECODED(ParentService)
        public:
            qint64 id = -1;
            QString name;

            static constexpr auto fields()
            {
                return std::make_tuple(idField("id", &ParentService::id), field("name", &ParentService::name));
            }
        };
        class ExternalBilling : public DecodedObject<ExternalBilling, AbstractCborObject>
        {
            TQ_DECODED(ExternalBilling)
        public:
            QString name;

            static constexpr auto fields() { return std::make_tuple(field("name", &ExternalBilling::name)); }
        };

        qint64 id = -1;
        QString name;
        ServiceStatus status = ServiceStatus::Unknown;
        qint64 statusChangeDate = 0;
        Autopayment autopayment;
        ChargeDetails chargeDetails;
        ParentService parentService;
        ExternalBilling externalBilling;

        static constexpr auto fields()
        {
            return std::make_tuple(idField("id", &Service::id), field("name", &Service::name),
                                   field("status", &Service::status),
                                   field("status_change_date", &Service::statusChangeDate).whenPresent(),
                                   field("autopayment", &Service::autopayment),
                                   field("charge_details", &Service::chargeDetails),
                                   field("parent_service", &Service::parentService),
                                   field("external_billing", &Service::externalBilling));
        }
    };

    Service service;

    static constexpr auto fields() { return std::make_tuple(field("service", &PurchaseState::service)); }
};

// An action the box may offer on an item (buy, watch, ...); valid when its type is known.
class TQ_EXPORT Action : public DecodedObject<Action, AbstractCborObject>
{
    TQ_DECODED(Action)
public:
    ActionType type = ActionType::Unknown;

    bool isValid() const { return type != ActionType::Unknown; }

    static constexpr auto fields() { return std::make_tuple(field("type", &Action::type)); }
};

} // namespace tq
