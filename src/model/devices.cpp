#include "model/devices.h"

#include "model/fieldcodec_p.h"

namespace tq {

TQ_DEFINE_OBJECT(DeviceUserBrief)
TQ_DEFINE_ANSWER(ListDevicesResponse)
TQ_DEFINE_OBJECT(VideoOutput)
TQ_DEFINE_OBJECT(Assistant)
TQ_DEFINE_ANSWER(AssistantConnectionResponse)
TQ_DEFINE_ANSWER(NewAssistantCodeResponse)

} // namespace tq
