#include "model/payments.h"

#include "model/fieldcodec_p.h"

namespace tq {

int PaymentMethodUser::dataItemType() const
{
    switch (m_method) {
    case PaymentMethod::AccountPrepaid:
    case PaymentMethod::AccountCredit:
        return 20;
    case PaymentMethod::LinkedCard:
        return 21;
    default:
        return 0;
    }
}

void PaymentMethodUser::setMethod(PaymentMethod method)
{
    m_method = method;
    setValid(method != PaymentMethod::Unknown);
}

void PurchaseHistoryUser::setTicketId(const QString& ticketId)
{
    m_ticketId = ticketId;
    setValid(!ticketId.isEmpty());
}

TQ_DEFINE_OBJECT(BankCardUser)
TQ_DEFINE_OBJECT(PaymentMethodUser)
TQ_DEFINE_OBJECT(PaymentTypeUser)
TQ_DEFINE_ANSWER(GetPaymentMethodsByTypesResponse)
TQ_DEFINE_OBJECT(BankCard)
TQ_DEFINE_ANSWER(GetBankCardsResponse)
TQ_DEFINE_ANSWER(AddBankCardResponse)
TQ_DEFINE_ANSWER(BuyContentResponse)
TQ_REGISTER_ANSWER(AccountRefillResponse)
TQ_DEFINE_ANSWER(TicketUser)
TQ_DEFINE_ANSWER(PurchaseAvailabilityResponse)
TQ_DEFINE_ANSWER(ContentAvailabilityResponse)
TQ_DEFINE_OBJECT(PurchaseHistoryPaymentMethod)
TQ_DEFINE_OBJECT(PurchaseHistoryUser)
TQ_DEFINE_ANSWER(GetPurchasesHistoryResponse)
TQ_DEFINE_ANSWER(GetPurchasesHistoryByIDResponse)
TQ_DEFINE_OBJECT(UserBonusProgramCurrency)
TQ_DEFINE_OBJECT(UserBonusProgramBrief)
TQ_DEFINE_ANSWER(GetBonusProgramByIdResponse)
TQ_DEFINE_ANSWER(GetBonusProgramsResponse)
TQ_DEFINE_ANSWER(ActionBonusProgramResponse)
TQ_REGISTER_ANSWER(RegisterBonusProgramResponse)
TQ_REGISTER_ANSWER(ChangeLoginBonusProgramResponse)
TQ_DEFINE_ANSWER(ConfirmBonusProgramResponse)
TQ_DEFINE_OBJECT(Certificate)
TQ_DEFINE_ANSWER(GetCertificatesResponse)

} // namespace tq
