#pragma once
// Platform requests: live television — channels, the programme guide, radio, channel
// previews and recordings.

#include "api/platformrequest.h"
#include "api/requestparams.h"
#include "model/account.h"

#include <optional>

namespace tq {

TQ_PLATFORM_REQUEST(EpgRecordingRequest, RequestById, post("/user/epg/{id}/recording"), SuccessResponse)

TQ_PLATFORM_REQUEST(DeleteEpgRecordingRequest, RequestById, del("/user/epg/{id}/recording"), SuccessResponse)

using ChannelRequests = std::tuple<EpgRecordingRequest, DeleteEpgRecordingRequest>;

} // namespace tq
