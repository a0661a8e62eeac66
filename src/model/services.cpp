#include "model/services.h"

#include "model/fieldcodec.h"

namespace tq {

TQ_DEFINE_OBJECT(Service)
TQ_DEFINE_OBJECT(SubServiceBrief)
TQ_DEFINE_ANSWER(ServiceBrief)

} // namespace tq
