#pragma once
// Paying: payment methods and linked bank cards, tickets and the purchase history, the
// answers of a purchase, bonus programmes and certificates.

#include "tqglobal.h"

#include "model/abstractresponse.h"
#include "model/enums.h"
#include "model/fields.h"
#include "model/menus.h"
#include "model/responsewithitems.h"

#include <QList>
#include <QString>

namespace tq {

class TQ_EXPORT BankCardUser : public DecodedObject<BankCardUser>
{
    TQ_DECODED(BankCardUser)
public:
    QString cardNumber;
    QString type;
    qint64 id = -1;

    static constexpr auto fields()
    {
        return std::make_tuple(field("card_number", &BankCardUser::cardNumber), field("type", &BankCardUser::type),
                               idField("id", &BankCardUser::id));
    }
};

// A payment method offered to the subscriber; valid when the platform named a known method.
class TQ_EXPORT PaymentMethodUser : public DecodedObject<PaymentMethodUser, stbcore::AbstractDataItem>
{
    TQ_DECODED(PaymentMethodUser)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override;
    bool hasTitles() const override { return m_method != PaymentMethod::Unknown; }
    bool isValid() const { return m_method != PaymentMethod::Unknown; }

    PaymentMethod method() const { return m_method; }
    // Also the item's validity flag, which the interface reads through the data-item base.
    void setMethod(PaymentMethod method);

    QString paymentUrl;
    QString paymentQrcode;
    BankCardUser bankCard;

    static constexpr auto fields()
    {
        using P = PaymentMethodUser;
        return std::make_tuple(itemId(), accessor("name", &P::method, &P::setMethod),
                               field("payment_url", &P::paymentUrl), field("payment_qrcode", &P::paymentQrcode),
                               field("bank_card", &P::bankCard).whenPresent());
    }

private:
    PaymentMethod m_method = PaymentMethod::Unknown;
};

class TQ_EXPORT PaymentTypeUser : public DecodedObject<PaymentTypeUser>
{
    TQ_DECODED(PaymentTypeUser)
public:
    QString name;
    QList<PaymentMethodUser> paymentMethods;
    qint64 refillAmountMax = 0;
    qint64 refillAmountMin = 0;

    static constexpr auto fields()
    {
        using P = PaymentTypeUser;
        return std::make_tuple(field("name", &P::name), field("payment_methods", &P::paymentMethods),
                               field("refill_amount_max", &P::refillAmountMax),
                               field("refill_amount_min", &P::refillAmountMin));
    }
};

class TQ_EXPORT GetPaymentMethodsByTypesResponse : public DecodedObject<GetPaymentMethodsByTypesResponse, AbstractResponse>
{
    TQ_DECODED(GetPaymentMethodsByTypesResponse)
public:
    QList<PaymentTypeUser> paymentTypes;

    static constexpr auto fields()
    {
        return std::make_tuple(field("payment_types", &GetPaymentMethodsByTypesResponse::paymentTypes));
    }
};

// A card linked to the account.
class TQ_EXPORT BankCard : public DecodedObject<BankCard, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(BankCard)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 21; }
    bool hasTitles() const override { return false; }

    QString cardNumber;
    QString type;
    bool isDefault = false;

    static constexpr auto fields()
    {
        return std::make_tuple(itemId(), field("card_number", &BankCard::cardNumber), field("type", &BankCard::type),
                               field("is_default", &BankCard::isDefault));
    }
};

class TQ_EXPORT GetBankCardsResponse : public ResponseWithItemsOf<GetBankCardsResponse, BankCard>
{
    TQ_DECODED(GetBankCardsResponse)
};

class TQ_EXPORT AddBankCardResponse : public DecodedObject<AddBankCardResponse, AbstractResponse>
{
    TQ_DECODED(AddBankCardResponse)
public:
    QString orderId;
    qint64 payAmount = 0;
    QString reqId;
    QString ticketId;

    static constexpr auto fields()
    {
        using R = AddBankCardResponse;
        return std::make_tuple(field("order_id", &R::orderId), field("pay_amount", &R::payAmount),
                               field("req_id", &R::reqId), field("ticket_id", &R::ticketId));
    }
};

class TQ_EXPORT BuyContentResponse : public DecodedObject<BuyContentResponse, AbstractResponse>
{
    TQ_DECODED(BuyContentResponse)
public:
    QString orderId;
    TicketStatus status = TicketStatus::Unknown;
    bool success = false;
    QString ticketId;

    static constexpr auto fields()
    {
        using R = BuyContentResponse;
        return std::make_tuple(field("order_id", &R::orderId), field("status", &R::status),
                               field("success", &R::success), field("ticket_id", &R::ticketId));
    }
};

// Refilling the account buys like any purchase.
class TQ_EXPORT AccountRefillResponse : public BuyContentResponse
{
};

// The state of a payment ticket, as polled after a purchase.
class TQ_EXPORT TicketUser : public DecodedObject<TicketUser, AbstractResponse>
{
    TQ_DECODED(TicketUser)
public:
    QString status;
    QString ticketId;

    static constexpr auto fields()
    {
        return std::make_tuple(field("status", &TicketUser::status), field("ticket_id", &TicketUser::ticketId));
    }
};

class TQ_EXPORT PurchaseAvailabilityResponse : public DecodedObject<PurchaseAvailabilityResponse, AbstractResponse>
{
    TQ_DECODED(PurchaseAvailabilityResponse)
public:
    bool isPinRequired = false;
    bool isPurchaseAllowed = false;
    bool success = false;

    static constexpr auto fields()
    {
        using R = PurchaseAvailabilityResponse;
        return std::make_tuple(field("is_pin_required", &R::isPinRequired),
                               field("is_purchase_allowed", &R::isPurchaseAllowed), field("success", &R::success));
    }
};

class TQ_EXPORT ContentAvailabilityResponse : public DecodedObject<ContentAvailabilityResponse, AbstractResponse>
{
    TQ_DECODED(ContentAvailabilityResponse)
public:
    qint64 availableUpTo = 0;
    bool isPurchased = false;
    qint64 purchaseCheckTimeout = 0;

    static constexpr auto fields()
    {
        using R = ContentAvailabilityResponse;
        return std::make_tuple(field("available_up_to", &R::availableUpTo), field("is_purchased", &R::isPurchased),
                               field("purchase_check_timeout", &R::purchaseCheckTimeout));
    }
};

class TQ_EXPORT PurchaseHistoryPaymentMethod : public DecodedObject<PurchaseHistoryPaymentMethod, AbstractCborObject>
{
    TQ_DECODED(PurchaseHistoryPaymentMethod)
public:
    QString description;
    QString name;

    static constexpr auto fields()
    {
        return std::make_tuple(field("description", &PurchaseHistoryPaymentMethod::description),
                               field("name", &PurchaseHistoryPaymentMethod::name));
    }
};

// One entry of the purchase history. The platform sends no numeric id; the entry counts
// as valid when it names its ticket.
class TQ_EXPORT PurchaseHistoryUser : public DecodedObject<PurchaseHistoryUser, stbcore::AbstractDataItem, AbstractCborObject>
{
    TQ_DECODED(PurchaseHistoryUser)
public:
    using DecodedObject::DecodedObject;

    int dataItemType() const override { return 25; }
    bool hasTitles() const override { return !description.isEmpty(); }

    QString ticketId() const { return m_ticketId; }
    void setTicketId(const QString& ticketId);

    qint64 amount = 0;
    PurchaseType contentType = PurchaseType::Unknown;
    QString description;
    PurchaseHistoryPaymentMethod paymentMethod;
    qint64 timestamp = 0;
    PurchaseStatus status = PurchaseStatus::Unknown;
    QString statusText;
    QString textAmount;

    static constexpr auto fields()
    {
        using P = PurchaseHistoryUser;
        return std::make_tuple(field("amount", &P::amount), field("content_type", &P::contentType),
                               field("description", &P::description), field("payment_method", &P::paymentMethod),
                               accessor("ticket_id", &P::ticketId, &P::setTicketId), field("timestamp", &P::timestamp),
                               field("status", &P::status), field("status_text", &P::statusText),
                               field("text_amount", &P::textAmount));
    }

private:
    QString m_ticketId;
};

// One purchase of the history with the content it bought.
class TQ_EXPORT GetPurchasesHistoryResponse : public ResponseWithItemsOf<GetPurchasesHistoryResponse, PurchaseHistoryUser>
{
    TQ_DECODED(GetPurchasesHistoryResponse)
};

class TQ_EXPORT GetPurchasesHistoryByIDResponse
    : public DecodedObject<GetPurchasesHistoryByIDResponse, PurchaseHistoryUser, AbstractResponse>
{
    TQ_DECODED(GetPurchasesHistoryByIDResponse)
public:
    using DecodedObject::DecodedObject;

    ContentInfo contentInfo;

    static constexpr auto fields()
    {
        return std::tuple_cat(PurchaseHistoryUser::fields(),
                              std::make_tuple(field("content_info", &GetPurchasesHistoryByIDResponse::contentInfo)));
    }
};

class TQ_EXPORT UserBonusProgramCurrency : public DecodedObject<UserBonusProgramCurrency>
{
    TQ_DECODED(UserBonusProgramCurrency)
public:
    QString code;
    QString displayName;

    static constexpr auto fields()
    {
        return std::make_tuple(field("code", &UserBonusProgramCurrency::code),
                               field("display_name", &UserBonusProgramCurrency::displayName));
    }
};

class TQ_EXPORT UserBonusProgramBrief : public DecodedObject<UserBonusProgramBrief>
{
    TQ_DECODED(UserBonusProgramBrief)
public:
    qint64 id = -1;
    QList<QString> actions;
    QString description;
    QString icon;
    QString name;
    QString activationTerms;
    BonusProgramLoginType requiredLoginType = BonusProgramLoginType::Unknown;
    BonusProgramStatus status = BonusProgramStatus::Unknown;

    static constexpr auto fields()
    {
        using B = UserBonusProgramBrief;
        return std::make_tuple(idField("id", &B::id), field("actions", &B::actions),
                               field("description", &B::description), field("icon", &B::icon),
                               field("name", &B::name), field("activation_terms", &B::activationTerms),
                               field("required_login_type", &B::requiredLoginType), field("status", &B::status));
    }
};

// One bonus programme in full, with the subscriber's balance and login in it.
class TQ_EXPORT GetBonusProgramByIdResponse
    : public DecodedObject<GetBonusProgramByIdResponse, UserBonusProgramBrief, AbstractResponse>
{
    TQ_DECODED(GetBonusProgramByIdResponse)
public:
    qint64 balance = 0;
    QString bonusType;
    QString login;
    BonusProgramLoginType loginType = BonusProgramLoginType::Unknown;
    UserBonusProgramCurrency currency;

    static constexpr auto fields()
    {
        using R = GetBonusProgramByIdResponse;
        return std::tuple_cat(UserBonusProgramBrief::fields(),
                              std::make_tuple(field("balance", &R::balance).whenPresent(),
                                              field("bonus_type", &R::bonusType), field("login", &R::login),
                                              field("login_type", &R::loginType), field("currency", &R::currency)));
    }
};

class TQ_EXPORT GetBonusProgramsResponse : public DecodedObject<GetBonusProgramsResponse, AbstractResponse>
{
    TQ_DECODED(GetBonusProgramsResponse)
public:
    QList<UserBonusProgramBrief> items;

    static constexpr auto fields() { return std::make_tuple(field("items", &GetBonusProgramsResponse::items)); }
};

class TQ_EXPORT ActionBonusProgramResponse : public DecodedObject<ActionBonusProgramResponse, AbstractResponse>
{
    TQ_DECODED(ActionBonusProgramResponse)
public:
    QString requestId;
    qint64 resendAfter = 0;
    BonusProgramStatus status = BonusProgramStatus::Unknown;

    static constexpr auto fields()
    {
        using R = ActionBonusProgramResponse;
        return std::make_tuple(field("request_id", &R::requestId), field("resend_after", &R::resendAfter),
                               field("status", &R::status));
    }
};

class TQ_EXPORT RegisterBonusProgramResponse : public ActionBonusProgramResponse
{
};

class TQ_EXPORT ChangeLoginBonusProgramResponse : public ActionBonusProgramResponse
{
};

class TQ_EXPORT ConfirmBonusProgramResponse : public DecodedObject<ConfirmBonusProgramResponse, AbstractResponse>
{
    TQ_DECODED(ConfirmBonusProgramResponse)
public:
    QString status;

    static constexpr auto fields() { return std::make_tuple(field("status", &ConfirmBonusProgramResponse::status)); }
};

class TQ_EXPORT Certificate : public DecodedObject<Certificate>
{
    TQ_DECODED(Certificate)
public:
    qint64 id = -1;
    CertificateStatus status = CertificateStatus::Unknown;
    QString title;
    QString subtitle;
    QString image;
    qint64 startDate = 0;
    qint64 endDate = 0;

    static constexpr auto fields()
    {
        using C = Certificate;
        return std::make_tuple(idField("id", &C::id), field("status", &C::status), field("title", &C::title),
                               field("subtitle", &C::subtitle), field("image", &C::image),
                               field("start_date", &C::startDate), field("end_date", &C::endDate));
    }
};

class TQ_EXPORT GetCertificatesResponse : public ResponseWithItemsOf<GetCertificatesResponse, Certificate>
{
    TQ_DECODED(GetCertificatesResponse)
public:
    int viewedCount = 0;
    QString defaultImage;

    static constexpr auto fields()
    {
        using R = GetCertificatesResponse;
        return std::tuple_cat(ResponseWithItemsOf::fields(),
                              std::make_tuple(field("viewed_count", &R::viewedCount),
                                              field("default_image", &R::defaultImage)));
    }
};

} // namespace tq
