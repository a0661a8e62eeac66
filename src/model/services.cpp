#include "model/services.h"

#include "model/fieldcodec_p.h"

namespace tq {

TQ_DEFINE_OBJECT(Service)
TQ_DEFINE_OBJECT(SubServiceBrief)
TQ_DEFINE_ANSWER(ServiceBrief)

} // namespace tq
