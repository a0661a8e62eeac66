#pragma once
// Platform requests: purchases and payment — buying, subscriptions, the balance, bank
// cards, payment methods, bonus programmes, certificates, offers and promo codes.

#include "tqglobal.h"

#include "api/requestfamilies.h"
#include "api/requestparams.h"
#include "model/account.h"
#include "model/payments.h"

namespace tq {

TQ_REQUEST(BuyContentRequest, RequestWithBody<BuyContentParams>, post("/user/buy", 3), BuyContentResponse)
TQ_REQUEST(PurchaseAvailabilityRequest, RequestWithBody<BuyContentParams>, post("/user/purchase_availability"),
           PurchaseAvailabilityResponse)
TQ_REQUEST(AccountRefillRequest, RequestWithBody<AccountRefillParams>, post("/user/account_refill"),
           AccountRefillResponse)
TQ_REQUEST(CancelSubscriptionRequest, RequestWithBody<CancelSubscriptionParams>, post("/user/subscribe_cancel"),
           CancelSubscriptionResponse)

// The platform wants a body, even an empty object.
class TQ_EXPORT ConfirmTicketByIDRequest : public Request<ConfirmTicketByIDRequest, StringValueRequest>
{
public:
    using Request::Request;
    using Answer = TicketUser;
    static constexpr Route route = post("/user/tickets/{ticket_id}/confirm");
    QByteArray encodedBody() const { return QByteArrayLiteral("{}"); }
};

TQ_REQUEST(GetPurchasesHistoryByIdRequest, StringValueRequest, get("/user/purchases_history/{ticket_id}"),
           GetPurchasesHistoryByIDResponse)

class TQ_EXPORT GetPurchasesHistoryRequest : public Request<GetPurchasesHistoryRequest, CollectionRequest>
{
public:
    using Answer = GetPurchasesHistoryResponse;
    static constexpr Route route = get("/user/purchases_history");
    static constexpr auto query() { return limitOffset(); }
};

class TQ_EXPORT GetUserBankCardsRequest : public Request<GetUserBankCardsRequest, CollectionRequest>
{
public:
    using Answer = GetBankCardsResponse;
    static constexpr Route route = get("/user/bank_cards");
    static constexpr auto query() { return limitOffset(); }
};

TQ_REQUEST(AddUserBankCardRequest, AbstractRequest, post("/user/bank_cards"), AddBankCardResponse)
TQ_REQUEST(DeleteBankCardByIDRequest, RequestById, del("/user/bank_cards/{id}"), SuccessResponse)
TQ_REQUEST(SetDefaultUserBankCardRequest, RequestById, put("/user/bank_cards/{id}/set_default"), SuccessResponse)

class TQ_EXPORT GetPaymentMethodsByTypesRequest : public Request<GetPaymentMethodsByTypesRequest, AbstractRequest>
{
public:
    using Answer = GetPaymentMethodsByTypesResponse;
    static constexpr Route route = get("/user/payment_methods_by_types", 4);
    QStringList paymentTypes;
    static constexpr auto query()
    {
        return std::make_tuple(item("payment_type", &GetPaymentMethodsByTypesRequest::paymentTypes));
    }
};

TQ_REQUEST(GetBonusProgramsRequest, AbstractRequest, get("/user/bonuses", 3), GetBonusProgramsResponse)
TQ_REQUEST(GetBonusProgramByIdRequest, RequestById, get("/user/bonuses/{id}", 3), GetBonusProgramByIdResponse)
TQ_REQUEST(DeleteBonusProgramByIdRequest, RequestById, del("/user/bonuses/{id}", 3), SuccessResponse)
TQ_REQUEST(RegisterBonusProgramRequest, RequestWithBodyAndId<RegisterUserBonusProgramBody>,
           post("/user/bonuses/{id}/register", 3), RegisterBonusProgramResponse)
TQ_REQUEST(ChangeLoginBonusProgramRequest, RequestWithBodyAndId<ChangeLoginUserBonusProgramBody>,
           post("/user/bonuses/{id}/change_login", 3), ChangeLoginBonusProgramResponse)
TQ_REQUEST(ConfirmBonusProgramRequest, RequestWithBodyAndId<ConfirmUserBonusProgramBody>,
           post("/user/bonuses/{id}/confirm", 3), ConfirmBonusProgramResponse)

TQ_REQUEST(GetCertificatesRequest, AbstractRequest,
           get("/user/certificates").specialization(MethodSpecializaton::Content), GetCertificatesResponse)
TQ_REQUEST(CertificateActivateRequest, RequestById, post("/user/certificates/{id}/activate"), SuccessResponse)
TQ_REQUEST(GetOfferRequest, AbstractRequest, get("/user/offer"), OfferUser)
TQ_REQUEST(AcceptOfferRequest, AbstractRequest, post("/user/offer_accepted"), SuccessResponse)
TQ_REQUEST(ActivatePromoCodeRequest, RequestWithBody<ActivatePromoCodeBody>, post("/user/promo_code"), SuccessResponse)
TQ_REQUEST(ActivateOttTvCodeRequest, RequestWithBody<ActivateOttTvCodeBody>, post("/user/ott_tv_code"),
           SuccessResponse)

using CommerceRequests =
    std::tuple<BuyContentRequest, PurchaseAvailabilityRequest, AccountRefillRequest, CancelSubscriptionRequest,
               ConfirmTicketByIDRequest, GetPurchasesHistoryByIdRequest, GetPurchasesHistoryRequest,
               GetUserBankCardsRequest, AddUserBankCardRequest, DeleteBankCardByIDRequest, SetDefaultUserBankCardRequest,
               GetPaymentMethodsByTypesRequest, GetBonusProgramsRequest, GetBonusProgramByIdRequest,
               DeleteBonusProgramByIdRequest, RegisterBonusProgramRequest, ChangeLoginBonusProgramRequest,
               ConfirmBonusProgramRequest, GetCertificatesRequest, CertificateActivateRequest, GetOfferRequest,
               AcceptOfferRequest, ActivatePromoCodeRequest, ActivateOttTvCodeRequest>;

} // namespace tq
