#include "model/offers.h"

#include "model/fieldcodec_p.h"

namespace tq {

TQ_DEFINE_OBJECT(Currency)
TQ_DEFINE_OBJECT(PurchaseFeature)
TQ_DEFINE_OBJECT(Option::Content)
TQ_DEFINE_OBJECT(Option::Service)
TQ_DEFINE_OBJECT(Option::Period::Price::Trial)
TQ_DEFINE_OBJECT(Option::Period::Price::Intro)
TQ_DEFINE_OBJECT(Option::Period::Price::Discount)
TQ_DEFINE_OBJECT(Option::Period::Price::BonusProgram)
TQ_DEFINE_OBJECT(Option::Period::Price)
TQ_DEFINE_OBJECT(Option::Period)
TQ_DEFINE_OBJECT(Option)
TQ_DEFINE_OBJECT(PurchaseVariant)
TQ_DEFINE_OBJECT(PurchaseState::Service::Autopayment)
TQ_DEFINE_OBJECT(PurchaseState::Service::ChargeDetails::Details)
TQ_DEFINE_OBJECT(PurchaseState::Service::ChargeDetails)
TQ_DEFINE_OBJECT(PurchaseState::Service::ParentService)
TQ_DEFINE_OBJECT(PurchaseState::Service::ExternalBilling)
TQ_DEFINE_OBJECT(PurchaseState::Service)
TQ_DEFINE_OBJECT(PurchaseState)
TQ_DEFINE_OBJECT(Action)

} // namespace tq
